#include "update/merge_states.h"

#include "rewriter/scan_state.h"
#include "rewriter/templates.h"
#include "rewriter/text.h"

void mergeStates(LineReader& temporary, Output& output) {
  Line line;
  while (temporary.next(line)) {
    output.write(line.text());
    if (beginsWith(line.text(), "NODE TYPE=CAPSULE NAME=\"")) writeQueuedStates(output);
  }
}

// The cursor advances for every record, written or not, so a second capsule
// line of the same pass lets only the first record through again.
void writeQueuedStates(Output& output) {
  for (const ElementRecord& record : scanState.stateList) {
    std::uint16_t cursor = scanState.behaviorMark++;
    if (scanState.stateListLength >= cursor) {
      writeTemplate(output, StateNode, {record.name, record.branchId, record.name});
    }
  }
}
