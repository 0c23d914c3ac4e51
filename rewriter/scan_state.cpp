#include "rewriter/scan_state.h"

#include <algorithm>
#include <utility>

ScanState scanState;

namespace {

constexpr std::size_t MinSlots = 64;
// A list grown by one large section is given back, so that clearing it for
// every small section after it does not cost its whole size.
constexpr std::size_t KeptSlots = 4096;

}  // namespace

void ElementList::append(const ElementRecord& record, const Place& place) {
  // Only the first record of a name is indexed.
  Slot& slot = slots_[place.slot_];
  records_.push_back(record);
  if (slot.place == 0) slot = {place.hash_, static_cast<std::uint32_t>(records_.size())};
}

void ElementList::grow() {
  std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(std::max(MinSlots, 2 * slots_.size())));
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.place == 0) continue;
    std::size_t i = slot.hash & mask;
    while (slots_[i].place != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

void ElementList::clear() {
  if (slots_.size() > KeptSlots) {
    records_ = {};
    slots_ = {};
  } else {
    records_.clear();
    std::fill(slots_.begin(), slots_.end(), Slot{});
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
