#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "rewriter/handlers.h"
#include "rewriter/scan_state.h"
#include "rewriter/templates.h"
#include "tests/handler_support.h"

namespace {

const std::string EndLine = "}@/BRANCH@@/NODE@\n";

// The node line a new chain opens, with its number as written.
std::string chainNode(const std::string& name, const std::string& number) {
  return "@NODE TYPE=TRANSITION NAME=\"" + name + "\"@Transition @BRANCH MARK=TB ID=" + number + " SUM=1@'" +
         name + "'@/BRANCH LINK NAME=\"Pump,T" + name + "\"@\n";
}

std::string chainClose(const std::string& id) {
  return "@BRANCH MARK=TB ID=" + id + " SUM=20@{\n@COMMENT@ @/COMMENT@\n}@/BRANCH@@/NODE@\n\n";
}

class InlineChainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetScanState();
    scanState.rewriteState = RewriteState::InlineChain;
    scanState.capsuleName = "Pump";
  }
  void TearDown() override { resetScanState(); }

  struct Fed {
    std::string written;
    std::string printed;
  };

  // Feeds the lines to the handler of the level, capturing standard output.
  static Fed feed(std::uint32_t level, const std::vector<std::string>& lines) {
    scanState.generatorLevel = level;
    Output output;
    testing::internal::CaptureStdout();
    for (const std::string& line : lines) {
      feedLine(level == 0 ? handleInlineChainLevel0 : handleInlineChainLevel1or2, line, output);
    }
    std::fflush(stdout);
    return {std::string(output.text()), testing::internal::GetCapturedStdout()};
  }

  // The line as the handler of the level leaves it.
  static std::string lineLeft(std::uint32_t level, const std::string& line) {
    Output output;
    return feedLine(level == 0 ? handleInlineChainLevel0 : handleInlineChainLevel1or2, line, output);
  }
};

}  // namespace

TEST_F(InlineChainTest, LevelZeroChainNamedAfterSourceStateAndQuotedName) {
  scanState.previousLine = "  held();\n";
  Fed fed = feed(0, {"  // @// Source state Idle@ from here\n", "@BRANCH MARK=TB ID=7 SUM=0@{\n",
                     "  rtgChainBegin( \"toRun\", 3 );\n", "  rtgTransitionEnd();\n", EndLine});
  EXPECT_EQ(fed.written, chainNode("Idle:toRun", "7") + chainClose("7"));
  EXPECT_EQ(fed.printed, "");
  EXPECT_EQ(scanState.transitionCount, 1);
  ASSERT_EQ(scanState.transitionList.size(), 1u);
  const ElementRecord& record = *scanState.transitionList.begin();
  EXPECT_EQ(record.name, "Idle:toRun");
  EXPECT_EQ(record.branchId, 7);
  EXPECT_EQ(record.kind, ElementKind::None);
  EXPECT_EQ(scanState.chainSourceState, "Idle");
  EXPECT_EQ(scanState.chainBranchId, "7");
  EXPECT_FALSE(scanState.duplicateTransition);
  EXPECT_EQ(scanState.previousLine.text(), "");
  EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan);
}

TEST_F(InlineChainTest, BranchIdTextIsReadWholeAndNumberClamped) {
  struct Case {
    std::string idLine;
    std::string number;  // in the node line
    std::uint16_t branchId;
    std::string closeId;
  };
  const std::vector<Case> cases = {
      {"@BRANCH MARK=TB ID=007 SUM=0@{\n", "7", 7, "007"},
      {"@BRANCH MARK=TB ID=70000 SUM=0@{\n", "70000", 4464, "70000"},
      {"@BRANCH MARK=TB ID=-1 SUM=0@{\n", "-1", 65535, "-1"},
      {"@BRANCH MARK=TB ID=99999999999 SUM=0@{\n", "2147483647", 65535, "99999999999"},
      {"@BRANCH MARK=TB ID= 12x SUM=0@{\n", "12", 12, " 12x"},
      // Without " SUM" the id stops before the line end.
      {"@BRANCH MARK=TB ID=12\n", "12", 12, "12"},
      {"@BRANCH MARK=TB ID=13\r\n", "13", 13, "13"},
      {"@BRANCH MARK=TB ID=\n", "0", 0, ""},
  };
  for (std::uint32_t level : {0u, 1u}) {
    for (const Case& test : cases) {
      SCOPED_TRACE(test.idLine + " at level " + std::to_string(level));
      scanState.transitionList.clear();
      scanState.chainSourceState = "S";
      const std::string name = level == 0 ? "S:c" : "S";
      Fed fed = feed(level, {test.idLine, "ChainBegin(\"c\");\n", "TransitionEnd();\n"});
      EXPECT_EQ(fed.written, chainNode(name, test.number) + chainClose(test.closeId));
      ASSERT_EQ(scanState.transitionList.size(), 1u);
      EXPECT_EQ(scanState.transitionList.begin()->branchId, test.branchId);
    }
  }
}

TEST_F(InlineChainTest, ListedNameGetsNeitherNodeNorClose) {
  scanState.transitionList.append({ElementKind::None, "Idle:fromScan", 0});
  scanState.transitionCount = 4;
  Fed fed =
      feed(0, {"@// Source state Idle@\n", "@BRANCH MARK=TB ID=8 SUM=0@{\n", "ChainBegin(\"fromScan\")\n",
               "TransitionEnd\n", "ChainBegin(\"second\")\n", "TransitionEnd\n", "ChainBegin(\"second\")\n",
               "@BRANCH MARK=TB ID=9 SUM=0@{\n", "TransitionEnd\n"});
  EXPECT_EQ(fed.written, chainNode("Idle:second", "8") + chainClose("8"));
  EXPECT_EQ(scanState.transitionCount, 5);
  EXPECT_EQ(scanState.transitionList.size(), 2u);
  EXPECT_TRUE(scanState.duplicateTransition);

  // The close carries the id current at the end line, and the flag of the latest chain.
  fed = feed(0, {"ChainBegin(\"third\")\n", "@BRANCH MARK=TB ID=10 SUM=0@{\n", "TransitionEnd\n"});
  EXPECT_EQ(fed.written, chainNode("Idle:third", "9") + chainClose("10"));
  EXPECT_EQ(scanState.transitionCount, 6);
}

TEST_F(InlineChainTest, LevelZeroWithoutValuesOrDelimiters) {
  // Nothing seen yet in the run: empty source text, number 0, close with "0".
  Fed fed = feed(0, {"ChainBegin(\"toRun\")\n", "TransitionEnd\n"});
  EXPECT_EQ(fed.written, chainNode(":toRun", "0") + chainClose("0"));
  EXPECT_EQ(scanState.transitionList.begin()->branchId, 0);
  EXPECT_FALSE(scanState.chainBranchId.has_value());

  scanState.chainSourceState = "Idle";
  EXPECT_EQ(lineLeft(0, "ChainBegin();\n"), "ChainBegin();\n");
  EXPECT_TRUE(scanState.transitionList.findFirst("Idle:") != nullptr);
  // No closing quote: the name stops before the line end and the line is not cut.
  EXPECT_EQ(lineLeft(0, "ChainBegin(\"open\r\n"), "ChainBegin(\"open\r\n");
  EXPECT_TRUE(scanState.transitionList.findFirst("Idle:open") != nullptr);
  EXPECT_EQ(lineLeft(0, "@// Source state Run\r\n"), "@// Source state Run\r\n");
  EXPECT_EQ(scanState.chainSourceState, "Run");
  EXPECT_EQ(lineLeft(0, "@// Source state \n"), "@// Source state \n");
  EXPECT_EQ(scanState.chainSourceState, "");
  EXPECT_EQ(scanState.rewriteState, RewriteState::InlineChain);
}

TEST_F(InlineChainTest, LevelZeroCutRules) {
  // The branch id comes from a copy: the end marker behind " SUM" still counts.
  EXPECT_EQ(lineLeft(0, "@BRANCH MARK=TB ID=3 SUM=0@}@/BRANCH@@/NODE@\n"),
            "@BRANCH MARK=TB ID=3 SUM=0@}@/BRANCH@@/NODE@\n");
  EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan);

  // Cut at the "@" after the source state: the end marker behind it is not seen.
  scanState.rewriteState = RewriteState::InlineChain;
  EXPECT_EQ(lineLeft(0, "@// Source state Idle@}@/BRANCH@@/NODE@\n"), "@// Source state Idle");
  EXPECT_EQ(scanState.rewriteState, RewriteState::InlineChain);

  // Cut at the closing quote: a chain end behind it is not seen.
  scanState.previousLine = "kept\n";
  Fed fed = feed(0, {"x.ChainBegin(\"go\"); TransitionEnd();\n"});
  EXPECT_EQ(fed.written, chainNode("Idle:go", "3"));
  EXPECT_EQ(lineLeft(0, "x.ChainBegin(\"go2\"); TransitionEnd();\n"), "x.ChainBegin(\"go2");
  EXPECT_EQ(scanState.previousLine.text(), "kept\n");

  // A transition comment means nothing at level 0.
  EXPECT_EQ(lineLeft(0, "@COMMENT@/ transition 'T1' x\n"), "@COMMENT@/ transition 'T1' x\n");
  EXPECT_EQ(scanState.chainSourceState, "Idle");

  EXPECT_EQ(lineLeft(0, "#endif // X_COVMODEL\n"), "#endif // X_COVMODEL\n");
  EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan);
  EXPECT_EQ(scanState.previousLine.text(), "");
}

TEST_F(InlineChainTest, LevelOneAndTwoNameFromTransitionCommentWithProgressLine) {
  Fed fed = feed(2, {"@BRANCH MARK=TB ID=4 SUM=0@{\n", "ChainBegin(this);\n", "TransitionEnd();\n",
                     "ChainBegin(this);\n", "TransitionEnd();\n"});
  EXPECT_EQ(fed.written, chainNode("unknown transition", "4") + chainClose("4"));
  EXPECT_EQ(fed.printed, "ENQUEUE ... [unknown transition]!\n");
  EXPECT_EQ(scanState.transitionCount, 1);

  fed = feed(1, {"@COMMENT@/ transition 'Idle to Run' of Pump\n", "@BRANCH MARK=TB ID=5 SUM=0@{\n",
                 "xChainBegin(); yTransitionEnd();\n", "// transition 'Run to Idle' @COMMENT@/\n",
                 "ChainBegin(\"ignored\");\n", "TransitionEnd();\n", EndLine});
  EXPECT_EQ(fed.written, chainNode("Idle to Run", "5") + chainClose("5") + chainNode("Run to Idle", "5") +
                             chainClose("5"));
  EXPECT_EQ(fed.printed, "ENQUEUE ... [Idle to Run]!\nENQUEUE ... [Run to Idle]!\n");
  EXPECT_EQ(scanState.transitionCount, 3);
  EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan);
}

TEST_F(InlineChainTest, LevelOneAndTwoCutRules) {
  // Cut at " SUM": the end marker behind it is not seen.
  EXPECT_EQ(lineLeft(1, "@BRANCH MARK=TB ID=9 SUM=0@}@/BRANCH@@/NODE@\n"), "@BRANCH MARK=TB ID=9");
  EXPECT_EQ(scanState.chainBranchId, "9");
  EXPECT_EQ(lineLeft(2, "@BRANCH MARK=TB ID=10\r\n"), "@BRANCH MARK=TB ID=10\r\n");
  EXPECT_EQ(scanState.chainBranchId, "10");
  EXPECT_EQ(scanState.rewriteState, RewriteState::InlineChain);

  // Cut at the quote closing the comment's name.
  EXPECT_EQ(lineLeft(2, "@COMMENT@/ transition 'T1' }@/BRANCH@@/NODE@\n"), "@COMMENT@/ transition 'T1");
  EXPECT_EQ(scanState.chainSourceState, "T1");
  EXPECT_EQ(scanState.rewriteState, RewriteState::InlineChain);
  EXPECT_EQ(lineLeft(2, "@COMMENT@/ transition 'T2\r\n"), "@COMMENT@/ transition 'T2\r\n");
  EXPECT_EQ(scanState.chainSourceState, "T2");
  // Without the comment marker the name is not taken.
  EXPECT_EQ(lineLeft(2, "// transition 'T3'\n"), "// transition 'T3'\n");
  EXPECT_EQ(scanState.chainSourceState, "T2");
  // Source state lines mean nothing at these levels.
  EXPECT_EQ(lineLeft(1, "@// Source state Idle@ x\n"), "@// Source state Idle@ x\n");
  EXPECT_EQ(scanState.chainSourceState, "T2");

  // Nothing of the block is written but the chain lines.
  Fed fed = feed(1, {"  code();\n", "@BRANCH MARK=TB ID=11 SUM=0@{ChainBegin();TransitionEnd();\n"});
  EXPECT_EQ(fed.written, "");
  EXPECT_EQ(scanState.chainBranchId, "11");
}

TEST_F(InlineChainTest, ValuesCarryOverToTheNextPass) {
  feed(1, {"@COMMENT@/ transition 'Tick'\n", "@BRANCH MARK=TB ID=21 SUM=0@{\n", "ChainBegin\n", EndLine});
  // A new pass with an emptied list, in a new section.
  scanState.transitionList.clear();
  scanState.resetSectionCounters();
  scanState.rewriteState = RewriteState::InlineChain;
  Fed fed = feed(1, {"ChainBegin\n", "TransitionEnd\n"});
  EXPECT_EQ(fed.written, chainNode("Tick", "21") + chainClose("21"));
  EXPECT_EQ(fed.printed, "ENQUEUE ... [Tick]!\n");
  EXPECT_EQ(scanState.transitionCount, 1);
}
