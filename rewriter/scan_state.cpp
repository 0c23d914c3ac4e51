#include "rewriter/scan_state.h"

#include <algorithm>
#include <functional>
#include <utility>

ScanState scanState;

namespace {

constexpr std::size_t MinSlots = 64;
// A table grown by one large section is given back, so that clearing it for
// every small section after it does not cost its whole size.
constexpr std::size_t KeptSlots = 4096;

std::size_t hashOf(std::string_view name) { return std::hash<std::string_view>{}(name); }

}  // namespace

void ElementList::append(const ElementRecord& record) {
  if (2 * (records_.size() + 1) > slots_.size()) grow();
  const std::size_t hash = hashOf(record.name);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    Slot& slot = slots_[i];
    if (slot.record == nullptr) {
      slot = {hash, &records_.emplace_back(record)};
      return;
    }
    // Only the first record of a name is indexed.
    if (slot.hash == hash && slot.record->name == record.name) break;
  }
  records_.push_back(record);
}

const ElementRecord* ElementList::findFirst(std::string_view name) const {
  if (slots_.empty()) return nullptr;
  const std::size_t hash = hashOf(name);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.record == nullptr) return nullptr;
    if (slot.hash == hash && slot.record->name == name) return slot.record;
  }
}

void ElementList::grow() {
  std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(std::max(MinSlots, 2 * slots_.size())));
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.record == nullptr) continue;
    std::size_t i = slot.hash & mask;
    while (slots_[i].record != nullptr) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

void ElementList::clear() {
  records_.clear();
  if (slots_.size() > KeptSlots) {
    slots_ = {};
  } else {
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
