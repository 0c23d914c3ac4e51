#pragma once

#include "rewriter/line_io.h"

// Copies a pass's text into the output, writing the queued state nodes after
// each capsule node line.
void mergeStates(LineReader& temporary, Output& output);
void writeQueuedStates(Output& output);
