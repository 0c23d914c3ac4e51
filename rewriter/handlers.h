#pragma once

#include <string_view>

#include "rewriter/line_io.h"

// One handler per rewrite state. Each takes the current line, which it may
// cut in place, and the output of the pass; it talks to the others only
// through scanState.

// Returns 0 at the end of the input, 1 when a new section begins (its first
// line stays in scanState.lineBuffer) and 2 when the output is up to date.
int rewriteSection(LineReader& input, Output& output);

void startSection(Line& line, Output& output);

void handleHeaderLine(Line& line, Output& output);
void handleViewFunctions(Line& line, Output& output);
void handleViewExits(Line& line, Output& output);
void handleViewTail(Line& line, Output& output);
void handleFileNode(Line& line, Output& output);
// classifierStart is the offset just after the classifier marker in the line.
void writeCapsuleNode(Line& line, std::size_t classifierStart, Output& output);
void writeUnknownCapsuleNode(Output& output);

void handleElementScan(Line& line, Output& output);
void handleTransitionNode(Line& line, Output& output);
void handleInlineChainLevel0(Line& line, Output& output);
void handleInlineChainLevel1or2(Line& line, Output& output);
void handleOperationBody(Line& line, Output& output);
void handleEntryBody(Line& line, Output& output);
void handleExitBody(Line& line, Output& output);
