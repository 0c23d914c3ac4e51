#pragma once

#include <string_view>

#include "rewriter/line_io.h"

// Copies a pass's text into the output, writing the queued state nodes after
// each capsule node line.
void mergeStates(LineReader& temporary, Output& output);
// The same for a pass's text that is still in memory.
void mergeStates(std::string_view text, Output& output);
void writeQueuedStates(Output& output);
