#include "update/merge_states.h"

#include "rewriter/scan_state.h"

void mergeStates(LineReader& temporary, Output& output) {
  Line line;
  while (temporary.next(line)) output.write(line.text());
}

void writeQueuedStates(Output&) {}
