#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rewriter/line_io.h"

enum class RewriteState : std::uint16_t {
  SectionStart = 0,
  HeaderLines = 1,
  ViewFunctions = 2,
  ViewExits = 3,
  ViewTail = 4,
  FileNode = 5,
  ElementScan = 6,
  TransitionNode = 7,
  InlineChain = 8,
  OperationBody = 9,
  EntryBody = 10,
  ExitBody = 11,
  UpToDate = 12,
};

// Records of the transition list carry no kind.
enum class ElementKind : std::uint8_t { None, State, Enter, Exit, Operation };

struct ElementRecord {
  ElementKind kind = ElementKind::None;
  std::string name;
  std::uint16_t branchId = 0;
};

// A list of records in order of appending, with an index that finds the first
// record of a name without walking the list. The index is one flat table that
// keeps each name's hash: in sections with many thousands of names, the nodes
// of a node-based map cost a cache miss each.
class ElementList {
 public:
  ElementList() = default;
  ElementList(const ElementList&) = delete;
  ElementList& operator=(const ElementList&) = delete;
  ElementList(ElementList&&) = default;
  ElementList& operator=(ElementList&&) = default;

  // Where a name stands in the index: its first record, or the free slot that
  // an append would give it. One hash serves the look-up and the append after it.
  class Place {
   public:
    // The first record appended under the name, or nullptr; valid until the next append.
    const ElementRecord* first() const { return first_; }

   private:
    friend ElementList;
    const ElementRecord* first_ = nullptr;
    std::uint32_t hash_ = 0;
    std::size_t slot_ = 0;
  };

  // The place is good for one append of a record of that name, made before
  // any other change to the list. Inline, with the hash and the probe: each
  // state, transition and chain is looked up by its name, and the call cost
  // more than the look-up.
  Place find(std::string_view name);
  void append(const ElementRecord& record, const Place& place);
  void append(const ElementRecord& record) { append(record, find(record.name)); }
  void clear();

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  auto begin() const { return records_.begin(); }
  auto end() const { return records_.begin() + static_cast<std::ptrdiff_t>(size_); }

 private:
  // A record's place in the list plus one, so that 0 marks an empty slot.
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t place = 0;
  };
  void grow();
  // The slot that holds the name, or the free slot where the probe for it ends.
  std::size_t probe(std::uint32_t hash, std::string_view name) const;
  static std::uint32_t hashOf(std::string_view name);
  static std::uint64_t load64(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
  }
  static std::uint64_t load32(const char* bytes) {
    std::uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
  }

  // Kept from section to section, so that a list stops allocating once it has
  // grown to the size of the sections at hand: the first size_ are the list,
  // the others keep their room for the names of the next section.
  std::vector<ElementRecord> records_;
  std::size_t size_ = 0;
  // Open addressing with linear probing; the size is a power of two and at
  // most half the slots are used.
  std::vector<Slot> slots_;
  // The slots in use, so that clearing the index costs one store per name of
  // the section, not one per slot of a table that a larger one grew.
  std::vector<std::uint32_t> used_;
};

// Names are a few bytes long, so they are read a word at a time, the last
// word overlapping the one before; std::hash went byte by byte and cost more
// than the probe.
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

inline ElementList::Place ElementList::find(std::string_view name) {
  // Grown before the look-up, so that the slot found is still the one for the append.
  if (2 * (size_ + 1) > slots_.size()) grow();
  Place place;
  place.hash_ = hashOf(name);
  place.slot_ = probe(place.hash_, name);
  const std::uint32_t listed = slots_[place.slot_].place;
  if (listed != 0) place.first_ = &records_[listed - 1];
  return place;
}

// Everything the rewriter keeps between lines, sections and files of a run.
struct ScanState {
  RewriteState rewriteState = RewriteState::SectionStart;
  std::uint32_t generatorLevel = 0;
  std::string generatorVersion;

  std::string runLogPath;
  int runLog = -1;
  // Summaries come one per section; buffered, they cost a write per many files.
  std::unique_ptr<Output> runLogText;

  // Section counters; 16 bits wide and wrapping, as the summary reports them.
  std::uint16_t behaviorMark = 0;
  std::uint16_t stateListLength = 0;
  std::uint16_t choicePointCount = 0;
  std::uint16_t guardCount = 0;
  std::uint16_t exitActionCount = 0;
  std::uint16_t entryActionCount = 0;
  std::uint16_t operationCount = 0;
  std::uint16_t transitionCount = 0;
  std::uint16_t stateCount = 0;

  Line lineBuffer;
  std::int32_t existingFdNumber = 0;

  ElementList stateList;
  ElementList transitionList;

  std::int32_t transitionKind = 0;
  bool branchIdSeen = false;
  std::string transitionName;
  bool capsuleNodeWritten = false;
  bool duplicateTransition = false;
  // Empty until an inline chain first gives them a value in this run.
  std::optional<std::string> chainSourceState;
  std::optional<std::string> chainBranchId;

  ElementRecord currentStateElement;
  ElementRecord currentOperation;
  ElementRecord currentTransition;
  bool awaitingStateId = false;
  bool awaitingOperationId = false;
  bool awaitingExitId = false;
  bool awaitingEntryId = false;
  bool operationMarkerSeen = false;
  bool nodeTagInLine = false;

  std::string capsuleName;
  HeldLine previousLine;

  // A counter is set: the section found something worth writing.
  bool anyCounterSet() const {
    return stateCount != 0 || transitionCount != 0 || operationCount != 0 || entryActionCount != 0 ||
           exitActionCount != 0 || guardCount != 0 || choicePointCount != 0;
  }
  // The seven counters, behaviorMark and stateListLength.
  void resetSectionCounters();
};

extern ScanState scanState;
