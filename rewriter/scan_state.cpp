#include "rewriter/scan_state.h"

#include <algorithm>
#include <utility>

ScanState scanState;

namespace {

constexpr std::size_t MinSlots = 64;
// The room of a list grown by one large section is given back rather than
// kept for the rest of the run.
constexpr std::size_t KeptSlots = 4096;

}  // namespace

void ElementList::append(const ElementRecord& record, const Place& place) {
  // Only the first record of a name is indexed.
  Slot& slot = slots_[place.slot_];
  if (size_ == records_.size()) records_.emplace_back();
  // Refilled field by field, so that the kept name keeps its room.
  ElementRecord& appended = records_[size_++];
  appended.kind = record.kind;
  assignName(appended.name, record.name);
  appended.branchId = record.branchId;
  if (slot.place == 0) {
    slot = {place.hash_, static_cast<std::uint32_t>(size_)};
    used_.push_back(static_cast<std::uint32_t>(place.slot_));
  }
}

void ElementList::grow() {
  std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(std::max(MinSlots, 2 * slots_.size())));
  const std::size_t mask = slots_.size() - 1;
  for (std::uint32_t& at : used_) {
    const Slot& slot = old[at];
    std::size_t i = slot.hash & mask;
    while (slots_[i].place != 0) i = (i + 1) & mask;
    slots_[i] = slot;
    at = static_cast<std::uint32_t>(i);
  }
}

void ElementList::clear() {
  if (slots_.size() > KeptSlots) {
    records_ = {};
    size_ = 0;
    slots_ = {};
    used_ = {};
  } else {
    size_ = 0;
    for (std::uint32_t at : used_) slots_[at] = Slot{};
    used_.clear();
  }
}

void ScanState::resetSectionCounters() {
  transitionCount = 0;
  choicePointCount = 0;
  stateCount = 0;
  guardCount = 0;
  operationCount = 0;
  entryActionCount = 0;
  exitActionCount = 0;
  behaviorMark = 0;
  stateListLength = 0;
}
