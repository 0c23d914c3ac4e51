#include "rewriter/handlers.h"
#include "rewriter/scan_state.h"
#include "rewriter/templates.h"

namespace {

void dispatch(Line& line, Output& output) {
  switch (scanState.rewriteState) {
    case RewriteState::SectionStart:
      startSection(line, output);
      break;
    case RewriteState::HeaderLines:
      handleHeaderLine(line, output);
      break;
    case RewriteState::ViewFunctions:
      handleViewFunctions(line, output);
      break;
    case RewriteState::ViewExits:
      handleViewExits(line, output);
      break;
    case RewriteState::ViewTail:
      handleViewTail(line, output);
      break;
    case RewriteState::FileNode:
      handleFileNode(line, output);
      break;
    case RewriteState::ElementScan:
      handleElementScan(line, output);
      break;
    case RewriteState::TransitionNode:
      handleTransitionNode(line, output);
      break;
    case RewriteState::InlineChain:
      if (scanState.generatorLevel == 0) {
        handleInlineChainLevel0(line, output);
      } else if (scanState.generatorLevel <= 2) {
        handleInlineChainLevel1or2(line, output);
      }
      break;
    case RewriteState::OperationBody:
      handleOperationBody(line, output);
      break;
    case RewriteState::EntryBody:
      handleEntryBody(line, output);
      break;
    case RewriteState::ExitBody:
      handleExitBody(line, output);
      break;
    case RewriteState::UpToDate:
      // Never reached: rewriteSection stops before dispatching in this state.
      break;
  }
}

}  // namespace

int rewriteSection(LineReader& input, Output& output) {
  scanState.stateList.clear();
  scanState.transitionList.clear();
  input.keepValid(scanState.previousLine);
  Line& line = scanState.lineBuffer;
  while (input.next(line)) {
    if (scanState.rewriteState == RewriteState::UpToDate) return 2;
    dispatch(line, output);
    if (scanState.rewriteState == RewriteState::SectionStart) {
      output.write(SectionTrailer);
      return 1;
    }
  }
  output.write(SectionTrailer);
  return 0;
}

void startSection(Line& line, Output& output) {
  std::string_view text = line.text();
  std::size_t end = text.find_first_of("\r\n");
  if (end == std::string_view::npos) end = text.size();
  output.write(text.substr(0, end));
  output.write(" Velmar ");
  output.write(scanState.generatorVersion);
  output.write(text.substr(end));
  scanState.rewriteState = RewriteState::HeaderLines;
  scanState.capsuleNodeWritten = false;
  scanState.resetSectionCounters();
}
