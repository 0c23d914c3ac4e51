#pragma once

#include "rewriter/scan_state.h"

// A clean scan state for each test: the run keeps one for its whole life.
inline void resetScanState() { scanState = ScanState{}; }
