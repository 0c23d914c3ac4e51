#include <cstdint>
#include <string>
#include <string_view>

#include "messages/console.h"
#include "rewriter/handlers.h"
#include "rewriter/markers.h"
#include "rewriter/scan_state.h"
#include "rewriter/templates.h"
#include "rewriter/text.h"

namespace {

// Matched without its first letter: whatever stands before it, or nothing, counts.
constexpr Marker ChainBeginMarker("hainBegin", 'B');

// The id text up to " SUM", kept unconverted for the close line.
void readChainBranchId(Line& line, bool cutLine) {
  std::string_view text = line.text();
  std::size_t marker = findBranchMarker(text);
  if (marker == NotFound) return;
  DelimitedValue id = valueUpTo(text, marker + BranchMarker.text.size(), " SUM");
  scanState.chainBranchId.emplace(id.value);
  if (cutLine) line.cutAt(id.delimiter);
}

void readSourceState(Line& line) {
  constexpr std::string_view Marker = "@// Source state ";
  std::size_t marker = findText(line.text(), Marker);
  if (marker == NotFound) return;
  DelimitedValue name = valueUpTo(line.text(), marker + Marker.size(), "@");
  scanState.chainSourceState.emplace(name.value);
  line.cutAt(name.delimiter);
}

void readTransitionComment(Line& line) {
  constexpr Marker TransitionComment("transition '", '\'');
  std::string_view text = line.text();
  std::size_t marker = findMarker(text, TransitionComment);
  if (marker == NotFound || !containsText(text, "@COMMENT@/")) return;
  DelimitedValue name = valueUpTo(text, marker + TransitionComment.text.size(), "'");
  scanState.chainSourceState.emplace(name.value);
  line.cutAt(name.delimiter);
}

// The text between the first two double quotes after the chain-begin marker;
// empty when no quote follows.
std::string_view readChainName(Line& line, std::size_t from) {
  std::size_t open = findText(line.text(), "\"", from);
  if (open == NotFound) return {};
  DelimitedValue name = valueUpTo(line.text(), open + 1, "\"");
  line.cutAt(name.delimiter);
  return name.value;
}

// A chain whose name is not listed yet in this pass becomes a transition and
// opens its node; a listed one is left out together with its close line.
void beginChain(const std::string& name, bool showProgress, Output& output) {
  std::int32_t branchNumber = 0;
  if (scanState.chainBranchId) parseDecimal(*scanState.chainBranchId, branchNumber);
  const ElementList::Place place = scanState.transitionList.find(name);
  scanState.duplicateTransition = place.first() != nullptr;
  if (scanState.duplicateTransition) return;
  ++scanState.transitionCount;
  scanState.transitionList.append({ElementKind::None, name, static_cast<std::uint16_t>(branchNumber)}, place);
  if (showProgress) printText("ENQUEUE ... [" + name + "]!\n");
  writeTemplate<ChainTransitionNode>(output, name, branchNumber, name, scanState.capsuleName, name);
}

void endChain(const Line& line, Output& output) {
  if (findMarker(line.text(), Marker("ransitionEnd", 'E')) == NotFound) return;
  if (!scanState.duplicateTransition) {
    writeTemplate<ChainTransitionClose>(output, scanState.chainBranchId.value_or("0"));
  }
  scanState.previousLine.clear();
}

void endBlock(const Line& line) {
  if (endsNode(line.text())) {
    scanState.rewriteState = RewriteState::ElementScan;
    scanState.previousLine.clear();
  }
}

}  // namespace

void handleInlineChainLevel0(Line& line, Output& output) {
  readChainBranchId(line, false);
  readSourceState(line);
  std::size_t begin = findMarker(line.text(), ChainBeginMarker);
  if (begin != NotFound) {
    std::string_view chainName = readChainName(line, begin + ChainBeginMarker.text.size());
    std::string name = scanState.chainSourceState.value_or("");
    name += ':';
    name.append(chainName);
    beginChain(name, false, output);
  }
  endChain(line, output);
  endBlock(line);
}

void handleInlineChainLevel1or2(Line& line, Output& output) {
  readChainBranchId(line, true);
  readTransitionComment(line);
  if (findMarker(line.text(), ChainBeginMarker) != NotFound) {
    beginChain(scanState.chainSourceState.value_or("unknown transition"), true, output);
  }
  endChain(line, output);
  endBlock(line);
}
