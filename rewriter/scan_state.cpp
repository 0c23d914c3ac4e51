#include "rewriter/scan_state.h"

#include <algorithm>
#include <functional>
#include <utility>

ScanState scanState;

namespace {

constexpr std::size_t MinSlots = 64;
// A list grown by one large section is given back, so that clearing it for
// every small section after it does not cost its whole size.
constexpr std::size_t KeptSlots = 4096;

}  // namespace

std::uint32_t ElementList::hashOf(std::string_view name) {
  return static_cast<std::uint32_t>(std::hash<std::string_view>{}(name));
}

void ElementList::append(const ElementRecord& record) {
  if (2 * (records_.size() + 1) > slots_.size()) grow();
  const std::uint32_t hash = hashOf(record.name);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    Slot& slot = slots_[i];
    if (slot.place == 0) {
      records_.push_back(record);
      slot = {hash, static_cast<std::uint32_t>(records_.size())};
      return;
    }
    // Only the first record of a name is indexed.
    if (slot.hash == hash && records_[slot.place - 1].name == record.name) break;
  }
  records_.push_back(record);
}

const ElementRecord* ElementList::findFirst(std::string_view name) const {
  if (slots_.empty()) return nullptr;
  const std::uint32_t hash = hashOf(name);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.place == 0) return nullptr;
    const ElementRecord& record = records_[slot.place - 1];
    if (slot.hash == hash && record.name == name) return &record;
  }
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
