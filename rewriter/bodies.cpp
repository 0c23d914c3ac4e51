#include "rewriter/handlers.h"
#include "rewriter/scan_state.h"

void handleOperationBody(Line&, Output&) {}
void handleEntryBody(Line&, Output&) {}
void handleExitBody(Line&, Output&) {}
