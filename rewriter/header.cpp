#include "rewriter/handlers.h"
#include "rewriter/markers.h"
#include "rewriter/scan_state.h"
#include "rewriter/templates.h"
#include "rewriter/text.h"

namespace {

constexpr std::size_t CapsuleNameLimit = 2000;

}  // namespace

void handleHeaderLine(Line& line, Output& output) {
  std::string_view text = line.text();
  if (beginsWith(text, "FC") || beginsWith(text, "FD") || beginsWith(text, "TC") || beginsWith(text, "DC")) {
    std::int32_t number = 0;
    if (beginsWith(text, "FD ") && parseDecimal(text.substr(2), number) &&
        number == scanState.existingFdNumber) {
      scanState.rewriteState = RewriteState::UpToDate;
    }
    output.write(text);
  } else if (beginsWith(text, "@RIK")) {
    output.write(text);
    scanState.rewriteState = RewriteState::ViewFunctions;
  }
}

void handleViewFunctions(Line& line, Output& output) {
  if (beginsWith(line.text(), "   (\"&Functions")) {
    output.write(StatesCategoryLine);
    scanState.rewriteState = RewriteState::ViewExits;
  } else {
    output.write(line.text());
  }
}

void handleViewExits(Line& line, Output& output) {
  if (beginsWith(line.text(), "    \"-&Exits")) {
    output.write(TransitionsCategoryLine);
    scanState.rewriteState = RewriteState::ViewTail;
  }
}

void handleViewTail(Line& line, Output&) {
  if (beginsWith(line.text(), "    \"Functions and exits")) scanState.rewriteState = RewriteState::FileNode;
}

void handleFileNode(Line& line, Output& output) {
  std::string_view text = line.text();
  if (!beginsWith(text, "NODE TYPE=FILE")) {
    output.write(text);
    return;
  }
  std::size_t alt = findText(text, "@@ALT@");
  if (alt == NotFound) return;
  std::size_t marker = findMarker(text, ClassifierMarker, alt + 6);
  if (marker != NotFound) {
    writeCapsuleNode(line, marker + ClassifierMarker.text.size(), output);
    scanState.capsuleNodeWritten = true;
  }
  scanState.rewriteState = RewriteState::ElementScan;
}

void writeCapsuleNode(Line& line, std::size_t classifierStart, Output& output) {
  std::string_view classifier = line.text().substr(classifierStart);
  std::size_t quote = classifier.find('\'');
  if (quote != std::string_view::npos) {
    line.cutAt(classifierStart + quote);
    classifier = classifier.substr(0, quote);
  } else {
    // An unclosed classifier must not carry the line end into the capsule name.
    classifier = withoutLineEnd(classifier);
  }
  // The last pair of colons decides; "a:::b" gives ":b".
  std::size_t nameStart = NotFound;
  for (std::size_t colons = findText(classifier, "::"); colons != NotFound;
       colons = findText(classifier, "::", colons + 2)) {
    nameStart = colons + 2;
  }
  if (nameStart != NotFound) scanState.capsuleName = classifier.substr(nameStart, CapsuleNameLimit);
  writeTemplate<CapsuleNode>(output, scanState.capsuleName);
}

void writeUnknownCapsuleNode(Output& output) { output.write(UnknownCapsuleNode); }
