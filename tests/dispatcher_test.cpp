#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "rewriter/handlers.h"
#include "rewriter/scan_state.h"
#include "rewriter/templates.h"
#include "tests/handler_support.h"

using namespace std::string_literals;

namespace {

class DispatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetScanState();
    scanState.generatorVersion = "6.5.341.0";
    scanState.generatorLevel = 2;
  }
  void TearDown() override { resetScanState(); }

  // Sets every field that startSection resets, and a few it must keep.
  static void dirtySectionFields() {
    scanState.rewriteState = RewriteState::SectionStart;
    scanState.capsuleNodeWritten = true;
    scanState.behaviorMark = 3;
    scanState.stateListLength = 4;
    scanState.choicePointCount = 5;
    scanState.guardCount = 6;
    scanState.exitActionCount = 7;
    scanState.entryActionCount = 8;
    scanState.operationCount = 9;
    scanState.transitionCount = 10;
    scanState.stateCount = 11;
    scanState.capsuleName = "Pump";
    scanState.existingFdNumber = 42;
  }

  static std::string stamp(const std::string& line) {
    Output output;
    feedLine(startSection, line, output);
    return std::string(output.text());
  }

  static std::string nextLine(LineReader& reader) {
    Line line;
    return reader.next(line) ? std::string(line.text()) : "<end>";
  }
};

}  // namespace

TEST_F(DispatcherTest, StartSectionStampsBeforeTheLineEnd) {
  EXPECT_EQ(stamp("ABC\n"), "ABC Velmar 6.5.341.0\n");
  EXPECT_EQ(stamp("ABC\r\n"), "ABC Velmar 6.5.341.0\r\n");
  EXPECT_EQ(stamp("ABC"), "ABC Velmar 6.5.341.0");
  EXPECT_EQ(stamp("A\rB\n"), "A Velmar 6.5.341.0\rB\n");
  EXPECT_EQ(stamp("\n"), " Velmar 6.5.341.0\n");
  EXPECT_EQ(stamp(""), " Velmar 6.5.341.0");
  EXPECT_EQ(stamp("VE\0x\n"s), "VE\0x Velmar 6.5.341.0\n"s);

  // No fixed limit on the stamped line, nor on the version.
  const std::string longText(MaxLinePiece - 1, 'v');
  EXPECT_EQ(stamp(longText + "\r\n"), longText + " Velmar 6.5.341.0\r\n");
  scanState.generatorVersion = "6.5.341.0" + std::string(300, 'x');
  EXPECT_EQ(stamp(longText), longText + " Velmar " + scanState.generatorVersion);
}

TEST_F(DispatcherTest, StartSectionResetsTheSectionAndKeepsTheRest) {
  dirtySectionFields();
  scanState.stateList.append({ElementKind::State, "Idle", 12});
  Output output;
  feedLine(startSection, "VE 3\n", output);
  EXPECT_EQ(scanState.rewriteState, RewriteState::HeaderLines);
  EXPECT_FALSE(scanState.capsuleNodeWritten);
  EXPECT_FALSE(scanState.anyCounterSet());
  EXPECT_EQ(scanState.behaviorMark, 0);
  EXPECT_EQ(scanState.stateListLength, 0);
  EXPECT_EQ(scanState.capsuleName, "Pump");
  EXPECT_EQ(scanState.existingFdNumber, 42);
  EXPECT_EQ(scanState.generatorLevel, 2u);
  EXPECT_EQ(scanState.stateList.size(), 1u);  // the lists belong to the pass, not the section
}

// Empty input is covered at the end of UpToDateConsumesOneLineAndWritesNoTrailer.
TEST_F(DispatcherTest, EndOfInputWritesTheTrailerAndStampsAFirstLineWithoutEnd) {
  // The only line is a full 9999-byte piece without a line end: stamped whole, then the trailer.
  dirtySectionFields();
  std::string input(MaxLinePiece, 'F');
  LineReader reader(input);
  Output output;
  EXPECT_EQ(rewriteSection(reader, output), 0);
  EXPECT_EQ(output.text(),
            std::string(MaxLinePiece, 'F') + " Velmar 6.5.341.0" + std::string(SectionTrailer));
  EXPECT_EQ(scanState.rewriteState, RewriteState::HeaderLines);
  EXPECT_FALSE(scanState.anyCounterSet());
}

TEST_F(DispatcherTest, UpToDateConsumesOneLineAndWritesNoTrailer) {
  scanState.rewriteState = RewriteState::UpToDate;
  scanState.stateList.append({ElementKind::State, "Idle", 12});
  scanState.transitionList.append({ElementKind::None, "Go", 0});
  std::string input = "first\nsecond\n";
  LineReader reader(input);
  Output output;
  EXPECT_EQ(rewriteSection(reader, output), 2);
  EXPECT_EQ(output.text(), "");
  EXPECT_EQ(nextLine(reader), "second\n");
  EXPECT_TRUE(scanState.stateList.empty());
  EXPECT_TRUE(scanState.transitionList.empty());
  EXPECT_EQ(scanState.stateList.findFirst("Idle"), nullptr);
  EXPECT_EQ(scanState.transitionList.findFirst("Go"), nullptr);

  // At the end of the input there is no line to consume: the pass ends as usual.
  std::string empty;
  LineReader none(empty);
  Output trailerOnly;
  EXPECT_EQ(rewriteSection(none, trailerOnly), 0);
  EXPECT_EQ(trailerOnly.text(), "@/NODE /RIK@\n");
}

// An unknown state value, and the inline-chain state at levels that have no chain handler.
TEST_F(DispatcherTest, LinesWithoutAHandlerAreDroppedPieceByPiece) {
  const std::string input = std::string(3 * MaxLinePiece + 1, 'x') + "\nshort\n";
  for (auto [state, level] :
       {std::pair{RewriteState::InlineChain, 3u}, std::pair{RewriteState::InlineChain, 4000000000u},
        std::pair{static_cast<RewriteState>(13), 2u}}) {
    scanState.rewriteState = state;
    scanState.generatorLevel = level;
    std::string copy = input;
    LineReader reader(copy);
    Output output;
    EXPECT_EQ(rewriteSection(reader, output), 0) << level;
    EXPECT_EQ(output.text(), "@/NODE /RIK@\n");
    EXPECT_EQ(scanState.rewriteState, state);
    EXPECT_EQ(scanState.lineBuffer.text(), "short\n");
  }
}

// Relies only on the element scanner's first rule: a line beginning "VE " begins the next section.
TEST_F(DispatcherTest, NewSectionLineEndsThePassAndStaysInTheLineBuffer) {
  scanState.rewriteState = RewriteState::ElementScan;
  scanState.capsuleNodeWritten = true;
  scanState.stateList.append({ElementKind::State, "Idle", 12});
  std::string input = "plain code\nVE 2 second\r\nFC after\n";
  LineReader reader(input);
  Output first;
  EXPECT_EQ(rewriteSection(reader, first), 1);
  EXPECT_EQ(first.text(), "@/NODE /RIK@\n");
  EXPECT_EQ(scanState.rewriteState, RewriteState::SectionStart);
  EXPECT_EQ(scanState.lineBuffer.text(), "VE 2 second\r\n");
  EXPECT_TRUE(scanState.stateList.empty());

  Output second;
  startSection(scanState.lineBuffer, second);
  EXPECT_EQ(second.text(), "VE 2 second Velmar 6.5.341.0\r\n");
  EXPECT_EQ(nextLine(reader), "FC after\n");
}
