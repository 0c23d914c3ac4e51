#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rewriter/handlers.h"
#include "rewriter/scan_state.h"
#include "rewriter/templates.h"
#include "tests/handler_support.h"

namespace {

const std::string CodeLine = "  counter = 0;\n";
const std::string BranchLine = "@BRANCH MARK=TB ID=12 SUM=0@{\n";
const std::string EndLine = "}@/BRANCH@@/NODE@\n";
const std::string TickHead =
    "@NODE TYPE=TRANSITION NAME=\"Tick\"@Transition @BRANCH MARK=TB ID=12 SUM=1@'Tick'@/BRANCH";
const std::string TickLink = " LINK NAME=\"Pump,TTick\"";

class TransitionNodeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetScanState();
    enter("Tick", 0);
    scanState.capsuleName = "Pump";
  }
  void TearDown() override { resetScanState(); }

  // The state the element scanner leaves on a transition marker line.
  static void enter(const std::string& name, int kind) {
    scanState.rewriteState = RewriteState::TransitionNode;
    scanState.transitionName = name;
    scanState.transitionKind = kind;
    scanState.branchIdSeen = false;
  }

  // Feeds the lines in order and returns everything written.
  static std::string feed(const std::vector<std::string>& lines) {
    Output output;
    for (const std::string& line : lines) feedLine(handleTransitionNode, line, output);
    return std::string(output.text());
  }

  // A branch line with number 12 carrying a jump-name comment followed by tail.
  static std::string jumpLine(const std::string& tail) {
    return "@BRANCH MARK=TB ID=12 SUM=0@{@COMMENT@/*PXN_JUMP_NAME*" + tail;
  }

  static void expectNodeLeft() {
    EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan);
    EXPECT_EQ(scanState.previousLine.text(), "");
  }
};

}  // namespace

TEST_F(TransitionNodeTest, TransitionWithoutJumpNameCopiesItsBlockUpToTheEndLine) {
  scanState.previousLine = CodeLine;
  Output output;
  EXPECT_EQ(feedLine(handleTransitionNode, "  // not yet the branch\n", output), "  // not yet the branch\n");
  EXPECT_EQ(output.text(), "");
  EXPECT_EQ(scanState.previousLine.text(), CodeLine);
  EXPECT_FALSE(scanState.branchIdSeen);

  EXPECT_EQ(feedLine(handleTransitionNode, BranchLine, output), BranchLine);
  EXPECT_EQ(output.text(), CodeLine + TickHead + TickLink + "@\n" + BranchLine);
  EXPECT_TRUE(scanState.branchIdSeen);
  EXPECT_EQ(scanState.rewriteState, RewriteState::TransitionNode);
  EXPECT_EQ(scanState.previousLine.text(), "");

  Output body;
  feedLine(handleTransitionNode, "  tick();\r\n", body);
  EXPECT_EQ(scanState.previousLine.text(), "  tick();\r\n");
  feedLine(handleTransitionNode, "{{{USR user code\n", body);
  feedLine(handleTransitionNode, "  mine();\n", body);
  feedLine(handleTransitionNode, "}}}USR\n", body);
  EXPECT_EQ(scanState.previousLine.text(), "  mine();\n");
  // Only the branch line can carry a jump, and only the first branch line opens the head.
  feedLine(handleTransitionNode, jumpLine("=Done;x*/\n"), body);
  feedLine(handleTransitionNode, EndLine, body);
  EXPECT_EQ(body.text(), "  tick();\r\n  mine();\n" + jumpLine("=Done;x*/\n") + EndLine);
  expectNodeLeft();
  EXPECT_TRUE(scanState.branchIdSeen);
}

TEST_F(TransitionNodeTest, HeadsOfTheThreeKindsWithAndWithoutJump) {
  enter("Which", 1);
  EXPECT_EQ(feed({"@BRANCH MARK=TB ID=5 SUM=0@{\n"}),
            "@NODE TYPE=CHOICE_POINT NAME=\"Which\"@ChoicePoint @BRANCH MARK=TB ID=5 SUM=1@'Which'@/BRANCH"
            " LINK NAME=\"Pump,TWhich\"@\n@BRANCH MARK=TB ID=5 SUM=0@{\n");
  enter("Which", 1);
  EXPECT_EQ(feed({"@BRANCH MARK=TB ID=5 SUM=0@{@COMMENT@/*PXN_JUMP_NAME*=Back;b*/\n"}),
            "@NODE TYPE=CHOICE_POINT NAME=\"Which\"@ChoicePoint @BRANCH MARK=TB ID=5 SUM=1@'Which'@/BRANCH@\n"
            "@BRANCH MARK=TB ID=5 SUM=1 JUMP NAME=Back@b@/JUMP /BRANCH /NODE@\n");
  expectNodeLeft();

  // A guard's number goes only into its jump branch.
  enter("g", 2);
  EXPECT_EQ(feed({"@BRANCH MARK=TB ID=31 SUM=0@{\n"}),
            "@NODE TYPE=CHOICE_POINT NAME=\"Guard on g\" LINK NAME=\"Pump,Tg\"@Guard on 'g'\n"
            "@BRANCH MARK=TB ID=31 SUM=0@{\n");
  EXPECT_EQ(scanState.rewriteState, RewriteState::TransitionNode);
  enter("g", 2);
  EXPECT_EQ(feed({jumpLine("=Done;x*/\n")}),
            "@NODE TYPE=CHOICE_POINT NAME=\"Guard on g\"@Guard on 'g'\n"
            "@BRANCH MARK=TB ID=12 SUM=1 JUMP NAME=Done@x@/JUMP /BRANCH /NODE@\n");
  expectNodeLeft();

  // Names of any length are written whole.
  const std::string name(1500, 'n');
  enter(name, 0);
  EXPECT_EQ(feed({BranchLine}), "@NODE TYPE=TRANSITION NAME=\"" + name +
                                    "\"@Transition @BRANCH MARK=TB ID=12 SUM=1@'" + name +
                                    "'@/BRANCH LINK NAME=\"Pump,T" + name + "\"@\n" + BranchLine);
}

TEST_F(TransitionNodeTest, JumpNameCommentClosesTheNodeOnItsBranchLine) {
  struct Form {
    std::string tail;
    std::string jump;  // what goes between "JUMP NAME=" and "@/JUMP", or "" for a plain close
    std::string lineLeft;
  };
  const std::vector<Form> forms = {
      {"=Done;x*/@/COMMENT@\n", "Done@x", jumpLine("=Done")},
      // The jump text runs to the first "*/" after the first ";".
      {"=Done;goto Done; y*/ z*/\n", "Done@goto Done; y", jumpLine("=Done")},
      {"=;*/\n", "@", jumpLine("=")},
      // Without "*/" the jump text stops before the line end.
      {"=Done;x\n", "Done@x", jumpLine("=Done")},
      {"=Done;x\r\n", "Done@x", jumpLine("=Done")},
      {"=Done;", "Done@", jumpLine("=Done")},
      // Without ";" there is no jump text and the line stays whole.
      {"=Done*/ y\n", "Done@", jumpLine("=Done*/ y\n")},
      {"=Done\n", "Done@", jumpLine("=Done\n")},
      {"=Done\r\n", "Done@", jumpLine("=Done\r\n")},
      // No "=" right after the marker.
      {" =Done;x*/\n", "", jumpLine(" =Done;x*/\n")},
      {"\n", "", jumpLine("\n")},
      {"", "", jumpLine("")},
  };
  for (const Form& form : forms) {
    SCOPED_TRACE(form.tail);
    enter("Tick", 0);
    scanState.previousLine = CodeLine;
    Output jumpOutput;
    EXPECT_EQ(feedLine(handleTransitionNode, jumpLine(form.tail), jumpOutput), form.lineLeft);
    const std::string close =
        form.jump.empty() ? std::string("@/NODE@\n")
                          : "@BRANCH MARK=TB ID=12 SUM=1 JUMP NAME=" + form.jump + "@/JUMP /BRANCH /NODE@\n";
    EXPECT_EQ(jumpOutput.text(), CodeLine + TickHead + "@\n" + close);
    expectNodeLeft();
    EXPECT_TRUE(scanState.branchIdSeen);
  }
}

TEST_F(TransitionNodeTest, BranchNumberNeedsABlankAndIsWrittenWhole) {
  Output output;
  // No blank after the number: not a branch line.
  feedLine(handleTransitionNode, "@BRANCH MARK=TB ID=12\n", output);
  feedLine(handleTransitionNode, "@BRANCH MARK=TB ID=12\tSUM=0@{\r\n", output);
  EXPECT_EQ(output.text(), "");
  EXPECT_FALSE(scanState.branchIdSeen);
  EXPECT_EQ(scanState.rewriteState, RewriteState::TransitionNode);

  const std::vector<std::pair<std::string, std::string>> numbers = {
      {"007", "7"},
      {"70000", "70000"},
      {"-3", "-3"},
      {"+4", "4"},
      {"abc", "0"},
      {"", "0"},
      {"\t9", "9"},
      {"99999999999", "2147483647"},
      {"-99999999999", "-2147483648"},
  };
  for (const auto& [text, written] : numbers) {
    SCOPED_TRACE(text);
    enter("Tick", 0);
    const std::string line = "x@BRANCH MARK=TB ID=" + text + " SUM=0@{\n";
    EXPECT_EQ(feed({line}), "@NODE TYPE=TRANSITION NAME=\"Tick\"@Transition @BRANCH MARK=TB ID=" + written +
                                " SUM=1@'Tick'@/BRANCH" + TickLink + "@\n" + line);
  }
}

TEST_F(TransitionNodeTest, EndOfNodeInEveryMode) {
  // Before the branch line: nothing is written and the held-back line is dropped.
  scanState.previousLine = CodeLine;
  EXPECT_EQ(feed({"  x; }@/BRANCH@@/NODE@\n"}), "");
  expectNodeLeft();
  EXPECT_FALSE(scanState.branchIdSeen);
  enter("Tick", 0);
  scanState.previousLine = CodeLine;
  EXPECT_EQ(feed({"#ifdef X_COVMODEL\n"}), "");
  expectNodeLeft();

  // A branch line that also ends the node is written and ends it.
  enter("Tick", 0);
  const std::string both = "@BRANCH MARK=TB ID=12 SUM=0@{}@/BRANCH@@/NODE@\n";
  EXPECT_EQ(feed({both}), TickHead + TickLink + "@\n" + both);
  expectNodeLeft();

  // A user-region line is not written but still ends the node.
  enter("Tick", 0);
  EXPECT_EQ(feed({BranchLine, "  a();\n", "}}}USR }@/BRANCH@@/NODE@\n"}),
            TickHead + TickLink + "@\n" + BranchLine + "  a();\n");
  expectNodeLeft();

  // The jump line is tested for the end only up to its cut, which changes nothing more.
  enter("Tick", 0);
  EXPECT_EQ(
      feed({jumpLine("=Done;}@/BRANCH@@/NODE@*/\n")}),
      TickHead + "@\n@BRANCH MARK=TB ID=12 SUM=1 JUMP NAME=Done@}@/BRANCH@@/NODE@@/JUMP /BRANCH /NODE@\n");
  expectNodeLeft();
}

TEST_F(TransitionNodeTest, EmptyNameRunsThroughTheNodeWritingNothing) {
  enter("", 0);
  scanState.previousLine = CodeLine;
  Output output;
  feedLine(handleTransitionNode, BranchLine, output);
  EXPECT_TRUE(scanState.branchIdSeen);
  EXPECT_EQ(scanState.previousLine.text(), "");
  EXPECT_EQ(scanState.rewriteState, RewriteState::TransitionNode);
  feedLine(handleTransitionNode, "  tick();\n", output);
  EXPECT_EQ(scanState.previousLine.text(), "  tick();\n");
  feedLine(handleTransitionNode, "{{{USR\n", output);
  EXPECT_EQ(scanState.previousLine.text(), "  tick();\n");
  feedLine(handleTransitionNode, EndLine, output);
  expectNodeLeft();
  EXPECT_EQ(output.text(), "");

  enter("", 2);
  scanState.previousLine = CodeLine;
  EXPECT_EQ(feed({"  dropped\n", jumpLine("=Done;x*/\n")}), "");
  expectNodeLeft();
}
