#pragma once

#include <string>
#include <string_view>

#include "rewriter/line_io.h"
#include "rewriter/scan_state.h"

// Gives one line to a handler the way the dispatcher does and returns the
// line as the handler left it.
template <typename Handler>
std::string feedLine(Handler handler, std::string_view text, Output& output) {
  std::string buffer(text);
  Line line{buffer.data(), buffer.size()};
  handler(line, output);
  return std::string(line.text());
}

// A clean scan state for each test: the run keeps one for its whole life.
inline void resetScanState() { scanState = ScanState{}; }
