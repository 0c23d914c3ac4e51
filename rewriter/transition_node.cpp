#include <cstdint>
#include <optional>
#include <string_view>

#include "rewriter/handlers.h"
#include "rewriter/markers.h"
#include "rewriter/scan_state.h"
#include "rewriter/templates.h"
#include "rewriter/text.h"

namespace {

// Branch lines hold many '@' and no 'J' but this one.
constexpr Marker JumpNameMarker("@{@COMMENT@/*PXN_JUMP_NAME*", 'J');

// Guards carry no branch number in the head; the link only goes with a node
// that copies its code.
void writeHead(std::int32_t branchNumber, bool withLink, Output& output) {
  const std::string& name = scanState.transitionName;
  const bool guard = scanState.transitionKind == 2;
  if (guard) {
    writeTemplate<GuardNodeHead>(output, name);
  } else if (scanState.transitionKind == 1) {
    writeTemplate<ChoicePointNodeHead>(output, name, branchNumber, name);
  } else {
    writeTemplate<TransitionNodeHead>(output, name, branchNumber, name);
  }
  if (withLink) writeTemplate<LinkSuffix>(output, scanState.capsuleName, name);
  if (guard) {
    writeTemplate<GuardLabel>(output, name);
  } else {
    output.write(HeadEnd);
  }
}

// The jump-name comment "=name;text*/" closes the node with a jump branch; any
// other comment closes it plainly. A name without ";" has no jump text.
void writeJumpClose(Line& line, std::size_t comment, std::int32_t branchNumber, Output& output) {
  std::string_view text = line.text();
  std::size_t equals = comment + JumpNameMarker.text.size();
  if (equals >= text.size() || text[equals] != '=') {
    output.write(NodeClose);
    return;
  }
  DelimitedValue name = valueUpTo(text, equals + 1, ";");
  std::string_view jumpText;
  if (name.delimiter == NotFound) {
    name = valueUpTo(text, equals + 1, "*/");
  } else {
    jumpText = valueUpTo(text, name.delimiter + 1, "*/").value;
    line.cutAt(name.delimiter);
  }
  writeTemplate<JumpBranch>(output, branchNumber, name.value, jumpText);
}

void awaitBranchLine(Line& line, Output& output) {
  std::size_t marker = findBranchMarker(line.text());
  if (marker == NotFound) return;
  std::optional<std::int32_t> branchNumber = readBranchNumber(line.text(), marker);
  if (!branchNumber) return;
  scanState.branchIdSeen = true;
  std::size_t comment = findMarker(line.text(), JumpNameMarker);
  output.write(scanState.previousLine.text());
  scanState.previousLine.clear();
  writeHead(*branchNumber, comment == NotFound, output);
  if (comment == NotFound) {
    output.write(line.text());
    return;
  }
  writeJumpClose(line, comment, *branchNumber, output);
  scanState.rewriteState = RewriteState::ElementScan;
}

// User-region marker lines belong to the code, not to the node.
void copyNodeLine(const Line& line, Output& output) {
  std::string_view text = line.text();
  if (isUserRegionLine(text)) return;
  output.write(text);
  scanState.previousLine = text;
}

void handleNodeLine(Line& line, Output& output) {
  if (scanState.branchIdSeen) {
    copyNodeLine(line, output);
  } else {
    awaitBranchLine(line, output);
  }
}

}  // namespace

void handleTransitionNode(Line& line, Output& output) {
  // A nameless element runs through the node like any other, but leaves no
  // trace in the output. Only then is an output made to discard it into.
  if (scanState.transitionName.empty()) {
    Output discarded;
    handleNodeLine(line, discarded);
  } else {
    handleNodeLine(line, output);
  }
  if (endsNode(line.text())) {
    scanState.rewriteState = RewriteState::ElementScan;
    scanState.previousLine.clear();
  }
}
