#include "rewriter/handlers.h"
#include "rewriter/scan_state.h"

void handleTransitionNode(Line&, Output&) {}
