#include "rewriter/scan_state.h"

#include <algorithm>
#include <cstring>
#include <utility>

ScanState scanState;

namespace {

constexpr std::size_t MinSlots = 64;
// A list grown by one large section is given back, so that clearing it for
// every small section after it does not cost its whole size.
constexpr std::size_t KeptSlots = 4096;

std::uint64_t load64(const char* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

std::uint64_t load32(const char* bytes) {
  std::uint32_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

}  // namespace

// Names are a few bytes long, so they are read a word at a time, the last
// word overlapping the one before; std::hash went byte by byte and cost more
// than the probe. Inline, like the probe: each state, transition and chain is
// looked up by its name, and the calls cost as much as the hash.
inline std::uint32_t ElementList::hashOf(std::string_view name) {
  constexpr std::uint64_t Multiplier = 0x9e3779b97f4a7c15;
  const char* bytes = name.data();
  const std::size_t size = name.size();
  std::uint64_t hash = size * Multiplier;
  if (size >= 8) {
    for (std::size_t at = 0; at + 8 < size; at += 8) hash = (hash ^ load64(bytes + at)) * Multiplier;
    hash = (hash ^ load64(bytes + size - 8)) * Multiplier;
  } else if (size >= 4) {
    hash = (hash ^ (load32(bytes) << 32 | load32(bytes + size - 4))) * Multiplier;
  } else if (size > 0) {
    const auto byte = [bytes](std::size_t at) {
      return std::uint64_t{static_cast<unsigned char>(bytes[at])};
    };
    hash = (hash ^ (byte(0) << 16 | byte(size / 2) << 8 | byte(size - 1))) * Multiplier;
  }
  return static_cast<std::uint32_t>(hash >> 32 ^ hash);
}

inline std::size_t ElementList::probe(std::uint32_t hash, std::string_view name) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.place == 0 || (slot.hash == hash && records_[slot.place - 1].name == name)) return i;
  }
}

ElementList::Place ElementList::find(std::string_view name) {
  // Grown before the look-up, so that the slot found is still the one for the append.
  if (2 * (records_.size() + 1) > slots_.size()) grow();
  Place place;
  place.hash_ = hashOf(name);
  place.slot_ = probe(place.hash_, name);
  const std::uint32_t listed = slots_[place.slot_].place;
  if (listed != 0) place.first_ = &records_[listed - 1];
  return place;
}

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
