#include "update/merge_states.h"

#include <string.h>

#include <algorithm>
#include <cstring>

#include "rewriter/scan_state.h"
#include "rewriter/templates.h"
#include "rewriter/text.h"

namespace {

// The 'L' of "CAPSULE": far rarer in node text than the capsule text's first byte.
constexpr Marker CapsuleLineStart("NODE TYPE=CAPSULE NAME=\"", 'L');

// Where the next piece that the line reader would hand on begins with the
// capsule text, from pieceStart, a piece start, on: pieces begin at each line
// start and every MaxLinePiece bytes after it. The text is searched as a whole,
// which costs far less than splitting it into lines, and each byte is looked at
// for a line end once however many hits a long line holds.
std::size_t findCapsulePiece(std::string_view text, std::size_t pieceStart) {
  for (std::size_t from = pieceStart; from < text.size();) {
    const std::size_t at = findMarker(text, CapsuleLineStart, from);
    if (at == NotFound) return NotFound;
    if (const void* newline = ::memrchr(text.data() + from, '\n', at - from)) {
      pieceStart = static_cast<std::size_t>(static_cast<const char*>(newline) - text.data()) + 1;
    }
    if ((at - pieceStart) % MaxLinePiece == 0) return at;
    from = at + 1;
  }
  return NotFound;
}

// Where the piece that the line reader would hand on from start ends.
std::size_t pieceEnd(std::string_view text, std::size_t start) {
  const std::size_t length = lengthToLineEnd(text.data() + start, text.size() - start);
  return start + (length != 0 ? length : std::min(text.size() - start, MaxLinePiece));
}

}  // namespace

void mergeStates(LineReader& temporary, Output& output) {
  for (Line lines; temporary.nextLines(lines);) mergeStates(lines.text(), output);
}

void mergeStates(std::string_view text, Output& output) {
  std::size_t copied = 0;
  for (std::size_t capsule = findCapsulePiece(text, 0); capsule != NotFound;
       capsule = findCapsulePiece(text, copied)) {
    const std::size_t end = pieceEnd(text, capsule);
    output.writeBlock(text.substr(copied, end - copied));
    writeQueuedStates(output);
    copied = end;
  }
  output.writeBlock(text.substr(copied));
}

// The cursor advances for every record, written or not, so a second capsule
// line of the same pass lets only the first record through again.
void writeQueuedStates(Output& output) {
  for (const ElementRecord& record : scanState.stateList) {
    std::uint16_t cursor = scanState.behaviorMark++;
    if (scanState.stateListLength >= cursor) {
      writeTemplate<StateNode>(output, record.name, record.branchId, record.name);
    }
  }
}
