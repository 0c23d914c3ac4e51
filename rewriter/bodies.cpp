#include <cstring>

#include "rewriter/handlers.h"
#include "rewriter/markers.h"
#include "rewriter/scan_state.h"
#include "rewriter/text.h"

namespace {

enum class Blanking { GeneratorMarkers, None };
enum class KeepLine { Yes, No };

constexpr Marker GeneratorMarkerStart("{{{QZK", 'Q');
constexpr Marker GeneratorMarkerEnd("}}}QZK", 'Q');

// Each pair of markers looked for in a body line is found by the anchor byte
// of its first, which the second shares: a line without any of those bytes
// holds none of the markers. Most body lines hold none, and one pass over
// such a line costs less than the searches.
bool mayHoldBodyMarker(std::string_view text, Blanking blanking) {
  constexpr char UserRegion = UserRegionStart.anchorByte();
  constexpr char NodeEnd = NodeCloseMarker.anchorByte();
  return blanking == Blanking::GeneratorMarkers
             ? mayHoldAnyOf<UserRegion, NodeEnd, GeneratorMarkerStart.anchorByte()>(text)
             : mayHoldAnyOf<UserRegion, NodeEnd>(text);
}

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
  if (!mayHoldBodyMarker(text, blanking)) {
    copyBodyLine(text, output, keepLine);
    return;
  }
  if (!isUserRegionLine(text)) {
    if (blanking == Blanking::GeneratorMarkers) {
      const Preference found = findPreferred(text, GeneratorMarkerStart, GeneratorMarkerEnd);
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
