#include "rewriter/handlers.h"
#include "rewriter/scan_state.h"

void handleInlineChainLevel0(Line&, Output&) {}
void handleInlineChainLevel1or2(Line&, Output&) {}
