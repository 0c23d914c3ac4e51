#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "rewriter/handlers.h"
#include "rewriter/markers.h"
#include "rewriter/scan_state.h"
#include "rewriter/templates.h"
#include "rewriter/text.h"

namespace {

// Found by its 'Q', like the classifier marker.
constexpr Marker Level2ElementMarker("{{{QZK ", 'Q');
constexpr std::string_view Level2TransitionMarker = "{{{QZK transition '";
constexpr std::string_view Level2ChoicePointMarker = "{{{QZK choicePoint '";
constexpr std::string_view TransitionKindMarker = " transition '";
constexpr std::string_view ChoicePointKindMarker = " choicePoint '";
constexpr std::string_view GuardKindMarker = " guard '";
// Code lines hold few 'H', branch lines only the one of "BRANCH".
constexpr Marker InlineChainsMarker("INLINE_CHAINS ", 'H');
// Branch lines hold many '@', code lines few 'Z'.
constexpr Marker BehaviorFunctionMarker("@NODE TYPE=FUNCTION NAME=\"void _ZOLTBehavior", 'Z');

// The order of preference for the name, and the order in which records are made.
constexpr std::array<ElementKind, 4> MarkedKinds = {ElementKind::Exit, ElementKind::Enter, ElementKind::State,
                                                    ElementKind::Operation};
constexpr std::array<std::string_view, 4> KindMarkers = {" exit '", " enter '", " state '", " operation '"};

void ensureCapsuleNode(Output& output) {
  if (scanState.capsuleNodeWritten) return;
  writeUnknownCapsuleNode(output);
  scanState.capsuleNodeWritten = true;
}

// The line read right after an operation marker decides whether the
// operation is written at all.
void inspectLineAfterOperationMarker(std::string_view text) {
  if (!scanState.awaitingOperationId || !scanState.operationMarkerSeen) return;
  scanState.operationMarkerSeen = false;
  scanState.nodeTagInLine = containsText(text, "NODE");
}

// An element marker line that holds "{{{QZK " first at generatorMarker; the
// markers that begin with it cannot stand before. Quotes are the places of
// its single quotes.
bool isTransitionMarkerLine(std::string_view text, std::size_t generatorMarker, std::uint64_t quotes) {
  if (scanState.generatorLevel == 2) {
    // Both markers are "{{{QZK " and a kind, so each "{{{QZK " is looked at
    // once, and only where the shorter of them still fits before the line's end:
    // on most marker lines that leaves nothing to search after the first.
    constexpr std::size_t KindRoom = Level2TransitionMarker.size() - Level2ElementMarker.text.size();
    const std::string_view searched = text.substr(0, text.size() > KindRoom ? text.size() - KindRoom : 0);
    for (std::size_t at = generatorMarker; at != NotFound;
         at = findMarker(searched, Level2ElementMarker, at + 1)) {
      const std::string_view marked = text.substr(at);
      // The kinds differ in the byte after "{{{QZK ", which rules out most
      // markers without comparing the rest.
      constexpr std::size_t KindAt = Level2ElementMarker.text.size();
      const char kind = marked.size() > KindAt ? marked[KindAt] : 0;
      if ((kind == Level2TransitionMarker[KindAt] && beginsWith(marked, Level2TransitionMarker)) ||
          (kind == Level2ChoicePointMarker[KindAt] && beginsWith(marked, Level2ChoicePointMarker)))
        return true;
    }
    return false;
  }
  const auto [transition, choicePoint] =
      findEachEndingAlike(text, std::array{TransitionKindMarker, ChoicePointKindMarker}, quotes);
  return transition != NotFound || choicePoint != NotFound;
}

// At level 2, "{{{QZK " alone marks an element. Transition markers are
// element markers too.
bool isElementMarkerLine(std::string_view text, std::size_t generatorMarker) {
  return scanState.generatorLevel == 2 || findMarker(text, ClassifierMarker, generatorMarker) != NotFound;
}

// The name after a marker found at pos, up to the next single quote; none
// without that quote.
struct MarkedName {
  std::string_view name;
  std::size_t closingQuote = NotFound;
};

// Inline: on a short marker line the call cost more than the search.
inline std::optional<MarkedName> nameAfter(std::string_view text, std::uint64_t quotes, std::size_t pos,
                                           std::string_view marker) {
  std::size_t start = pos + marker.size();
  std::size_t quote = findByte(text, '\'', start, quotes);
  if (quote == NotFound) return std::nullopt;
  return MarkedName{text.substr(start, quote - start), quote};
}

// Marker lines remake a record each, so the record keeps its room for the name.
void remakeRecord(ElementRecord& record, ElementKind kind, std::string_view name) {
  record.kind = kind;
  assignName(record.name, name);
  record.branchId = 0;
}

// The last record made sets the pending flags.
void makeElementRecord(ElementKind kind, std::string_view name) {
  remakeRecord(kind == ElementKind::Operation ? scanState.currentOperation : scanState.currentStateElement,
               kind, name);
  scanState.awaitingStateId = kind != ElementKind::Operation;
  scanState.awaitingExitId = kind == ElementKind::Exit;
  scanState.awaitingEntryId = kind == ElementKind::Enter;
  scanState.awaitingOperationId = kind == ElementKind::Operation;
}

// A classifier written as the capsule node cuts the line, so kinds
// behind it are not seen.
void handleElementMarkerLine(Line& line, std::uint64_t quotes, Output& output) {
  if (!scanState.capsuleNodeWritten) {
    std::size_t classifier = findMarker(line.text(), ClassifierMarker);
    if (classifier != NotFound) {
      writeCapsuleNode(line, classifier + ClassifierMarker.text.size(), output);
      quotes = bytePlaces<'\''>(line.text());
    } else {
      writeUnknownCapsuleNode(output);
    }
    scanState.capsuleNodeWritten = true;
  }
  std::string_view text = line.text();
  const std::array<std::size_t, KindMarkers.size()> found = findEachEndingAlike(text, KindMarkers, quotes);
  std::size_t preferred = NotFound;
  for (std::size_t i = 0; i < KindMarkers.size(); ++i) {
    if (found[i] == NotFound) continue;
    if (preferred == NotFound) preferred = i;
    if (MarkedKinds[i] == ElementKind::Operation) scanState.operationMarkerSeen = true;
  }
  if (preferred == NotFound) return;
  std::optional<MarkedName> marked = nameAfter(text, quotes, found[preferred], KindMarkers[preferred]);
  if (!marked) return;
  line.cutAt(marked->closingQuote);
  for (std::size_t i = 0; i < KindMarkers.size(); ++i) {
    if (found[i] != NotFound) makeElementRecord(MarkedKinds[i], marked->name);
  }
}

// An inline-chain block drops every element still waiting for its branch line.
void enterInlineChains(Output& output) {
  scanState.awaitingStateId = false;
  scanState.awaitingOperationId = false;
  scanState.awaitingEntryId = false;
  scanState.awaitingExitId = false;
  scanState.rewriteState = RewriteState::InlineChain;
  ensureCapsuleNode(output);
}

void countTransitionKind(bool transition, bool guard) {
  if (guard) {
    scanState.transitionKind = 2;
    ++scanState.guardCount;
  } else if (transition) {
    scanState.transitionKind = 0;
    ++scanState.transitionCount;
  } else {
    scanState.transitionKind = 1;
    ++scanState.choicePointCount;
  }
}

// Returns false when the name has no closing quote: the line is then
// held back like any other.
bool handleTransitionMarkerLine(Line& line, std::uint64_t quotes, Output& output) {
  ensureCapsuleNode(output);
  std::string_view text = line.text();
  const auto [transition, choicePoint, guard] = findEachEndingAlike(
      text, std::array{TransitionKindMarker, ChoicePointKindMarker, GuardKindMarker}, quotes);
  std::optional<MarkedName> marked = transition != NotFound
                                         ? nameAfter(text, quotes, transition, TransitionKindMarker)
                                         : nameAfter(text, quotes, choicePoint, ChoicePointKindMarker);
  if (!marked) return false;
  assignName(scanState.transitionName, marked->name);
  scanState.branchIdSeen = false;
  countTransitionKind(transition != NotFound, guard != NotFound);
  scanState.rewriteState = RewriteState::TransitionNode;
  remakeRecord(scanState.currentTransition, ElementKind::None, marked->name);
  scanState.transitionList.append(scanState.currentTransition);
  return true;
}

// A name first listed under another kind keeps its record; this one
// is counted but not appended.
void completeStateElement(std::uint16_t branchId, Output& output) {
  ElementRecord& element = scanState.currentStateElement;
  element.branchId = branchId;
  ++scanState.stateCount;
  scanState.awaitingStateId = false;
  const ElementList::Place place = scanState.stateList.find(element.name);
  if (place.first() != nullptr && place.first()->kind != element.kind) return;
  if (scanState.behaviorMark != 0) {
    writeTemplate<StateNode>(output, element.name, element.branchId, element.name);
    ++scanState.behaviorMark;
  }
  ++scanState.stateListLength;
  scanState.stateList.append(element, place);
}

// The node head, then the branch line that opens the body.
template <const NodeTemplate& Head>
void writeActionHead(std::string_view name, std::string_view branchLine, RewriteState body, Output& output) {
  writeTemplate<Head>(output, name, scanState.capsuleName, name, name);
  output.write(branchLine);
  scanState.rewriteState = body;
}

void writeActions(std::string_view branchLine, std::uint16_t branchId, Output& output) {
  const std::string& stateName = scanState.currentStateElement.name;
  if (scanState.awaitingExitId) {
    ++scanState.exitActionCount;
    writeActionHead<ExitActionNode>(stateName, branchLine, RewriteState::ExitBody, output);
    scanState.awaitingExitId = false;
  }
  if (scanState.awaitingEntryId) {
    ++scanState.entryActionCount;
    writeActionHead<EntryActionNode>(stateName, branchLine, RewriteState::EntryBody, output);
    scanState.awaitingEntryId = false;
  }
  if (scanState.awaitingOperationId) {
    scanState.awaitingOperationId = false;
    if (!scanState.nodeTagInLine) return;
    ++scanState.operationCount;
    scanState.currentOperation.branchId = branchId;
    writeActionHead<OperationNode>(scanState.currentOperation.name, branchLine, RewriteState::OperationBody,
                                   output);
  }
}

// A branch line gives the waiting elements their number and opens their bodies.
void handleBranchLine(std::string_view text, std::size_t marker, Output& output) {
  ensureCapsuleNode(output);
  std::optional<std::int32_t> number = readBranchNumber(text, marker);
  if (!number) return;
  // Records keep the low 16 bits.
  const auto branchId = static_cast<std::uint16_t>(*number);
  if (scanState.awaitingStateId) completeStateElement(branchId, output);
  writeActions(text, branchId, output);
}

// Only while the state list is empty, so that either every state of
// the section is written at once or none is.
void countBehaviorFunction(std::string_view text) {
  if (scanState.stateListLength == 0 && findMarker(text, BehaviorFunctionMarker) != NotFound)
    ++scanState.behaviorMark;
}

}  // namespace

void handleElementScan(Line& line, Output& output) {
  if (line.size != 0 && line.data[0] == 'V' && beginsWith(line.text(), "VE "))
    scanState.rewriteState = RewriteState::SectionStart;
  inspectLineAfterOperationMarker(line.text());
  // Every element and transition marker of every level begins with "{{{QZK ",
  // so most lines are ruled out by one search. Most other lines hold a 'H',
  // mostly not a marker's; on a short line the places of both bytes are noted
  // in one pass and the searches step through them.
  const bool noted = line.size >= 16 && line.size <= MaskedTextSize;
  const auto [generatorPlaces, branchPlaces] =
      noted ? bytesPlaces<Level2ElementMarker.anchorByte(), BranchMarker.anchorByte()>(line.text())
            : std::array<std::uint64_t, 2>{};
  const std::size_t generatorMarker = noted ? findMarkerIn(line.text(), Level2ElementMarker, generatorPlaces)
                                            : findMarker(line.text(), Level2ElementMarker);
  // The tests and handlers of a marker line all look for the single quotes
  // that close its names, so their places are noted once.
  const bool elementMarker = generatorMarker != NotFound && isElementMarkerLine(line.text(), generatorMarker);
  const std::uint64_t quotes = elementMarker ? bytePlaces<'\''>(line.text()) : 0;
  if (elementMarker && isTransitionMarkerLine(line.text(), generatorMarker, quotes)) {
    if (handleTransitionMarkerLine(line, quotes, output)) return;
  } else if (elementMarker) {
    handleElementMarkerLine(line, quotes, output);
  } else if (const Preference found =
                 noted ? findPreferredIn(line.text(), InlineChainsMarker, BranchMarker, branchPlaces)
                       : findPreferred(line.text(), InlineChainsMarker, BranchMarker);
             found.preferred != NotFound) {
    enterInlineChains(output);
    return;
  } else if (found.fallback != NotFound) {
    handleBranchLine(line.text(), found.fallback, output);
  } else {
    countBehaviorFunction(line.text());
  }
  scanState.previousLine = line.text();
}
