#include "rewriter/handlers.h"
#include "rewriter/scan_state.h"

void handleHeaderLine(Line&, Output&) {}
void handleViewFunctions(Line&, Output&) {}
void handleViewExits(Line&, Output&) {}
void handleViewTail(Line&, Output&) {}
void handleFileNode(Line&, Output&) {}
void writeCapsuleNode(Line&, std::size_t, Output&) {}
void writeUnknownCapsuleNode(Output&) {}
