#include <gtest/gtest.h>

#include <string>

#include "rewriter/handlers.h"
#include "rewriter/scan_state.h"
#include "tests/handler_support.h"

namespace {

class BodiesTest : public ::testing::Test {
 protected:
  void SetUp() override { resetScanState(); }
  void TearDown() override { resetScanState(); }

  Output output;
};

}  // namespace

TEST_F(BodiesTest, OperationBodyBlanksOneGeneratorMarkerPerLine) {
  scanState.rewriteState = RewriteState::OperationBody;
  feedLine(handleOperationBody, "a {{{QZK b }}}QZK c\n", output);
  feedLine(handleOperationBody, "x }}}QZK y }}}QZK\n", output);
  EXPECT_EQ(scanState.previousLine.text(), "x        y }}}QZK\n");
  feedLine(handleOperationBody, "// {{{USR user\n", output);
  EXPECT_EQ(scanState.previousLine.text(), "x        y }}}QZK\n");
  feedLine(handleOperationBody, "}@/BRANCH@@/NODE@\n", output);
  EXPECT_EQ(output.text(), "a        b }}}QZK c\nx        y }}}QZK\n}@/BRANCH@@/NODE@\n\n");
  EXPECT_EQ(scanState.previousLine.text(), "");
  EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan);
}

TEST_F(BodiesTest, ActionBodiesCopyMarkersAndDifferInWhatTheyKeep) {
  scanState.rewriteState = RewriteState::EntryBody;
  feedLine(handleEntryBody, "e {{{QZK\n", output);
  EXPECT_EQ(scanState.previousLine.text(), "");
  scanState.rewriteState = RewriteState::ExitBody;
  feedLine(handleExitBody, "x }}}QZK\n", output);
  EXPECT_EQ(scanState.previousLine.text(), "x }}}QZK\n");
  feedLine(handleExitBody, "end _COVMODEL\n", output);
  EXPECT_EQ(output.text(), "e {{{QZK\nx }}}QZK\nend _COVMODEL\n");
  EXPECT_EQ(scanState.previousLine.text(), "");
  EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan);
}

TEST_F(BodiesTest, UserMarkerLinesStillEndTheBody) {
  scanState.rewriteState = RewriteState::EntryBody;
  feedLine(handleEntryBody, "}}}USR }@/BRANCH@@/NODE@\n", output);
  EXPECT_EQ(output.text(), "\n");
  EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan);

  scanState.rewriteState = RewriteState::ExitBody;
  feedLine(handleExitBody, "VE new section\n", output);
  EXPECT_EQ(scanState.rewriteState, RewriteState::ExitBody);
  feedLine(handleExitBody, "_COVMODEL }@/BRANCH@@/NODE@\n", output);
  EXPECT_EQ(output.text(), "\nVE new section\n_COVMODEL }@/BRANCH@@/NODE@\n\n");
}
