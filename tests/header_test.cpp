#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace std::string_literals;

#include "rewriter/handlers.h"
#include "rewriter/scan_state.h"
#include "tests/handler_support.h"

namespace {

class HeaderTest : public ::testing::Test {
 protected:
  void SetUp() override { resetScanState(); }
  void TearDown() override { resetScanState(); }

  // Feeds the lines to the handler of the current state, as the dispatcher would.
  std::string feed(void (*handler)(Line&, Output&), std::initializer_list<std::string> lines) {
    for (const std::string& line : lines) feedLine(handler, line, output);
    return std::string(output.text());
  }

  Output output;
};

}  // namespace

TEST_F(HeaderTest, HeaderLinesKeepOnlyTheKnownPrefixes) {
  scanState.rewriteState = RewriteState::HeaderLines;
  scanState.existingFdNumber = 7;
  EXPECT_EQ(feed(handleHeaderLine, {"FC 1\n", "XX dropped\n", "\n", "FDX 7\n", "TC a\r\n", "DC b\n", "FD 8\n",
                                    "fd 7\n", "FD\n"}),
            "FC 1\nFDX 7\nTC a\r\nDC b\nFD 8\nFD\n");
  EXPECT_EQ(scanState.rewriteState, RewriteState::HeaderLines);
  EXPECT_EQ(feed(handleHeaderLine, {"@RIK x\n"}), "FC 1\nFDX 7\nTC a\r\nDC b\nFD 8\nFD\n@RIK x\n");
  EXPECT_EQ(scanState.rewriteState, RewriteState::ViewFunctions);
}

TEST_F(HeaderTest, MatchingFdNumberIsWrittenAndEndsThePass) {
  scanState.rewriteState = RewriteState::HeaderLines;
  scanState.existingFdNumber = -42;
  EXPECT_EQ(feed(handleHeaderLine, {"FD  -42 rest\n"}), "FD  -42 rest\n");
  EXPECT_EQ(scanState.rewriteState, RewriteState::UpToDate);

  resetScanState();
  scanState.rewriteState = RewriteState::HeaderLines;
  scanState.existingFdNumber = 2147483647;
  feedLine(handleHeaderLine, "FD 99999999999\n", output);
  EXPECT_EQ(scanState.rewriteState, RewriteState::UpToDate);
}

TEST_F(HeaderTest, ViewBlockBecomesStatesAndTransitions) {
  scanState.rewriteState = RewriteState::ViewFunctions;
  feed(handleViewFunctions, {"VIEW\n", "   (\"&Functions\"=0, anything\r\n"});
  EXPECT_EQ(scanState.rewriteState, RewriteState::ViewExits);
  feed(handleViewExits, {"    \"&Other\"\n", "    \"-&Exits\"=1),\n"});
  EXPECT_EQ(scanState.rewriteState, RewriteState::ViewTail);
  feed(handleViewTail, {"    more\n", "    \"Functions and exits\"\n"});
  EXPECT_EQ(scanState.rewriteState, RewriteState::FileNode);
  EXPECT_EQ(output.text(), "VIEW\n   (\"&States\"=0,\n    \"&Transitions\"=1),\n");
}

TEST_F(HeaderTest, FileNodeGivesWayToTheCapsuleNode) {
  scanState.rewriteState = RewriteState::FileNode;
  feed(handleFileNode, {"kept\n", "NODE TYPE=FILE no alt {{{QZK classifier 'A::B'\n"});
  EXPECT_EQ(scanState.rewriteState, RewriteState::FileNode);
  feed(handleFileNode, {"NODE TYPE=FILE x {{{QZK classifier 'Ignored::Before' @@ALT@ {{{QZK classifier "
                        "'Logical View::Pump' rest\n"});
  EXPECT_EQ(output.text(), "kept\nNODE TYPE=CAPSULE NAME=\"Pump\"@\n\n");
  EXPECT_EQ(scanState.capsuleName, "Pump");
  EXPECT_TRUE(scanState.capsuleNodeWritten);
  EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan);
}

TEST_F(HeaderTest, FileNodeWithoutClassifierWritesNothing) {
  scanState.rewriteState = RewriteState::FileNode;
  EXPECT_EQ(feed(handleFileNode, {"NODE TYPE=FILE @@ALT@ plain\n"}), "");
  EXPECT_FALSE(scanState.capsuleNodeWritten);
  EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan);
}

TEST_F(HeaderTest, CapsuleNameIsTakenAfterTheLastPairOfColons) {
  auto capsuleOf = [this](const std::string& line) {
    std::string left = feedLine([](Line& l, Output& o) { writeCapsuleNode(l, 1, o); }, line, output);
    return std::make_pair(scanState.capsuleName, left);
  };
  EXPECT_EQ(capsuleOf("'Top::Sub::Valve' state 'X'\n"), std::make_pair("Valve"s, "'Top::Sub::Valve"s));
  EXPECT_EQ(capsuleOf("'Top:::Valve'\n").first, ":Valve");
  // No colons: the previous capsule's name stays.
  EXPECT_EQ(capsuleOf("'Pump'\n").first, ":Valve");
  // No closing quote: the name stops before the line end and the line is not cut.
  EXPECT_EQ(capsuleOf("'View::Open\r\n"), std::make_pair("Open"s, "'View::Open\r\n"s));
  EXPECT_EQ(capsuleOf("'::" + std::string(2500, 'n') + "'\n").first, std::string(2000, 'n'));
  EXPECT_EQ(output.text().substr(0, 37), "NODE TYPE=CAPSULE NAME=\"Valve\"@\n\nNODE");
}

TEST_F(HeaderTest, EmptyAndUnknownCapsuleNodes) {
  Line empty;
  writeCapsuleNode(empty, 0, output);
  writeUnknownCapsuleNode(output);
  EXPECT_EQ(output.text(), "NODE TYPE=CAPSULE NAME=\"\"@\n\nNODE TYPE=CAPSULE NAME=\"Unknown Capsule\"@\n\n");
}
