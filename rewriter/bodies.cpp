#include <cstring>

#include "rewriter/handlers.h"
#include "rewriter/markers.h"
#include "rewriter/scan_state.h"
#include "rewriter/text.h"

namespace {

enum class Blanking { GeneratorMarkers, None };
enum class KeepLine { Yes, No };

void copyBodyLine(std::string_view text, Output& output, KeepLine keepLine) {
  output.write(text);
  if (keepLine == KeepLine::Yes) {
    scanState.previousLine = text;
  } else {
    scanState.previousLine.clear();
  }
}

// Copies one line of an operation or action body and ends the body at its
// closing line.
void handleBody(Line& line, Output& output, Blanking blanking, KeepLine keepLine) {
  std::string_view text = line.text();
  // Every marker looked for here holds a 'U' or a 'D', or a 'Q' where generator
  // markers are blanked. Most body lines hold none, and one pass over such a
  // line costs less than the searches.
  const bool plain = blanking == Blanking::GeneratorMarkers ? !mayHoldAnyOf<'U', 'D', 'Q'>(text)
                                                            : !mayHoldAnyOf<'U', 'D'>(text);
  if (plain) {
    copyBodyLine(text, output, keepLine);
    return;
  }
  if (!isUserRegionLine(text)) {
    if (blanking == Blanking::GeneratorMarkers) {
      const Preference found = findPreferred(text, Marker("{{{QZK", 'Q'), Marker("}}}QZK", 'Q'));
      const std::size_t marker = found.preferred != NotFound ? found.preferred : found.fallback;
      if (marker != NotFound) std::memset(line.data + marker, ' ', 6);
    }
    copyBodyLine(text, output, keepLine);
  }
  const Preference end = findNodeEnd(text);
  if (end.preferred != NotFound) {
    scanState.rewriteState = RewriteState::ElementScan;
    output.write("\n");
    scanState.previousLine.clear();
  } else if (end.fallback != NotFound) {
    scanState.rewriteState = RewriteState::ElementScan;
    scanState.previousLine.clear();
  }
}

}  // namespace

void handleOperationBody(Line& line, Output& output) {
  handleBody(line, output, Blanking::GeneratorMarkers, KeepLine::Yes);
}

void handleEntryBody(Line& line, Output& output) { handleBody(line, output, Blanking::None, KeepLine::No); }

void handleExitBody(Line& line, Output& output) { handleBody(line, output, Blanking::None, KeepLine::Yes); }
