#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "rewriter/handlers.h"
#include "rewriter/scan_state.h"
#include "tests/handler_support.h"

namespace {

const std::string Classifier = "  /* {{{QZK classifier 'Logic::Pump'";
// What is left of a classifier line that named the capsule.
const std::string ClassifierCut = "  /* {{{QZK classifier 'Logic::Pump";
const std::string UnknownCapsule = "NODE TYPE=CAPSULE NAME=\"Unknown Capsule\"@\n\n";
const std::string IdleExitHead =
    "@NODE TYPE=METHOD NAME=\"Exit of Idle\" LINK NAME=\"Pump,XIdle\"@Exit Action of 'Idle'\n";
const std::string IdleEntryHead =
    "@NODE TYPE=METHOD NAME=\"Entry of Idle\" LINK NAME=\"Pump,TIdle\"@Entry Action of 'Idle'\n";
const std::string StartHead =
    "@NODE TYPE=METHOD NAME=\"start\" LINK NAME=\"Pump,Tstart\"@Operation 'start'\n";

std::string branch(const std::string& number) { return "@BRANCH MARK=TB ID=" + number + " SUM=0@{\n"; }

std::string stateNode(const std::string& name, const std::string& number) {
  return "\n@NODE TYPE=STATE NAME=\"" + name + "\"@State @BRANCH MARK=TB ID=" + number + " SUM=0@'" + name +
         "'@/BRANCH@@/NODE@\n";
}

class ElementScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetScanState();
    scanState.rewriteState = RewriteState::ElementScan;
    scanState.generatorLevel = 1;
    scanState.capsuleName = "Pump";
    scanState.capsuleNodeWritten = true;
  }
  void TearDown() override { resetScanState(); }

  // An element marker line of the current level holding the given kind markers.
  static std::string marker(const std::string& kinds) {
    return (scanState.generatorLevel == 2 ? std::string("  /* {{{QZK") : Classifier) + kinds + " */\n";
  }

  // Feeds the lines in order and returns everything written.
  static std::string feed(const std::vector<std::string>& lines) {
    Output output;
    for (const std::string& line : lines) feedLine(handleElementScan, line, output);
    return std::string(output.text());
  }

  static void expectListed(const ElementList& list, const std::vector<ElementRecord>& expected) {
    ASSERT_EQ(list.size(), expected.size());
    std::size_t i = 0;
    for (const ElementRecord& record : list) {
      EXPECT_EQ(record.kind, expected[i].kind) << i;
      EXPECT_EQ(record.name, expected[i].name) << i;
      EXPECT_EQ(record.branchId, expected[i].branchId) << i;
      ++i;
    }
  }
};

}  // namespace

TEST_F(ElementScanTest, ExitMarkerGetsItsNumberAndHeadAtTheNextBranchLine) {
  Output output;
  EXPECT_EQ(feedLine(handleElementScan, marker(" exit 'Idle' x"), output), Classifier + " exit 'Idle");
  EXPECT_EQ(scanState.previousLine.text(), Classifier + " exit 'Idle");
  feedLine(handleElementScan, "  stop();\n", output);
  EXPECT_EQ(output.text(), "");
  EXPECT_EQ(scanState.previousLine.text(), "  stop();\n");
  feedLine(handleElementScan, branch("17"), output);

  EXPECT_EQ(output.text(), IdleExitHead + branch("17"));
  expectListed(scanState.stateList, {{ElementKind::Exit, "Idle", 17}});
  EXPECT_EQ(scanState.stateCount, 1);
  EXPECT_EQ(scanState.exitActionCount, 1);
  EXPECT_EQ(scanState.stateListLength, 1);
  EXPECT_EQ(scanState.behaviorMark, 0);
  EXPECT_EQ(scanState.rewriteState, RewriteState::ExitBody);
  EXPECT_FALSE(scanState.awaitingStateId || scanState.awaitingExitId);
  EXPECT_EQ(scanState.previousLine.text(), branch("17"));
}

TEST_F(ElementScanTest, BehaviourFunctionFirstWritesEveryStateAtOnce) {
  const std::string behaviour = "@NODE TYPE=FUNCTION NAME=\"void _ZOLTBehaviorPump()\"@\n";
  EXPECT_EQ(feed({behaviour}), "");
  EXPECT_EQ(scanState.behaviorMark, 1);
  EXPECT_EQ(feed({marker(" exit 'Idle'"), branch("17")}),
            stateNode("Idle", "17") + IdleExitHead + branch("17"));
  EXPECT_EQ(scanState.behaviorMark, 2);
  // Two markers of one name are both listed and both written.
  scanState.rewriteState = RewriteState::ElementScan;
  EXPECT_EQ(feed({marker(" state 'Run'"), branch("3"), marker(" state 'Run'"), branch("4")}),
            stateNode("Run", "3") + stateNode("Run", "4"));
  expectListed(
      scanState.stateList,
      {{ElementKind::Exit, "Idle", 17}, {ElementKind::State, "Run", 3}, {ElementKind::State, "Run", 4}});
  EXPECT_EQ(scanState.behaviorMark, 4);
  EXPECT_EQ(scanState.stateListLength, 3);
  // Once the list holds a state, a behaviour line counts no more, nor does one that is a branch line.
  feed({behaviour, behaviour + branch("5")});
  EXPECT_EQ(scanState.behaviorMark, 4);
}

TEST_F(ElementScanTest, MarkersOfEachLevel) {
  for (std::uint32_t level : {0u, 1u}) {
    SetUp();
    scanState.generatorLevel = level;
    // Without the classifier marker a kind marker is no element marker at levels 0 and 1.
    feed({"  /* {{{QZK state 'Idle' */\n", branch("1")});
    EXPECT_TRUE(scanState.stateList.empty()) << level;
    feed({Classifier + " state 'Idle'\n", branch("2")});
    expectListed(scanState.stateList, {{ElementKind::State, "Idle", 2}});
    // Nor is a level-2 transition marker a transition marker here.
    feed({"  /* {{{QZK transition 'Go' */\n"});
    EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan) << level;
    EXPECT_EQ(scanState.previousLine.text(), "  /* {{{QZK transition 'Go' */\n");
    EXPECT_TRUE(scanState.transitionList.empty());
  }

  SetUp();
  scanState.generatorLevel = 2;
  feed({"  /* {{{QZK enter 'Idle' */\n", branch("6")});
  expectListed(scanState.stateList, {{ElementKind::Enter, "Idle", 6}});
  EXPECT_EQ(scanState.rewriteState, RewriteState::EntryBody);
  // A classifier line with a transition kind is only an element marker line without a kind here.
  scanState.rewriteState = RewriteState::ElementScan;
  scanState.capsuleNodeWritten = false;
  EXPECT_EQ(feed({Classifier + " transition 'Go'\n"}), "NODE TYPE=CAPSULE NAME=\"Pump\"@\n\n");
  EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan);
  EXPECT_EQ(scanState.previousLine.text(), ClassifierCut);
  // Holding the element marker wins over the inline chains.
  feed({"{{{QZK INLINE_CHAINS \n"});
  EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan);
  feed({"  /* {{{QZK choicePoint 'Which' */\n"});
  EXPECT_EQ(scanState.rewriteState, RewriteState::TransitionNode);
  EXPECT_EQ(scanState.transitionKind, 1);
}

TEST_F(ElementScanTest, CapsuleNodeComesFromTheFirstElementMarkerOrIsUnknown) {
  scanState.capsuleNodeWritten = false;
  scanState.capsuleName = "Old";
  Output output;
  // The classifier cuts the line before the kinds behind it.
  EXPECT_EQ(feedLine(handleElementScan, Classifier + " exit 'Idle'\n", output), ClassifierCut);
  EXPECT_EQ(output.text(), "NODE TYPE=CAPSULE NAME=\"Pump\"@\n\n");
  EXPECT_EQ(scanState.capsuleName, "Pump");
  EXPECT_TRUE(scanState.capsuleNodeWritten);
  EXPECT_FALSE(scanState.awaitingStateId || scanState.awaitingExitId);
  EXPECT_EQ(scanState.previousLine.text(), ClassifierCut);

  for (const std::string& first : {std::string("  /* {{{QZK transition 'Go' state 'S' */\n"), branch("1"),
                                   std::string("INLINE_CHAINS \n")}) {
    SetUp();
    scanState.generatorLevel = 2;
    scanState.capsuleNodeWritten = false;
    EXPECT_EQ(feed({"  plain();\n", first, branch("2")}), UnknownCapsule) << first;
    EXPECT_TRUE(scanState.capsuleNodeWritten);
  }
  // A classifier on a transition marker line does not name the capsule.
  SetUp();
  scanState.capsuleNodeWritten = false;
  EXPECT_EQ(feed({Classifier + " transition 'Go'\n"}), UnknownCapsule);
  EXPECT_EQ(scanState.capsuleName, "Pump");
}

TEST_F(ElementScanTest, KindsArePreferredInTheOrderExitEnterStateOperation) {
  Output output;
  EXPECT_EQ(feedLine(handleElementScan, marker(" state 'Run' exit 'Idle' tail"), output),
            Classifier + " state 'Run' exit 'Idle");
  EXPECT_EQ(scanState.currentStateElement.kind, ElementKind::State);
  EXPECT_EQ(scanState.currentStateElement.name, "Idle");
  EXPECT_TRUE(scanState.awaitingStateId);
  EXPECT_FALSE(scanState.awaitingExitId);
  feedLine(handleElementScan, branch("9"), output);
  EXPECT_EQ(output.text(), "");
  expectListed(scanState.stateList, {{ElementKind::State, "Idle", 9}});

  // Exit is named first, enter made last: the entry action of the exit's name is due.
  EXPECT_EQ(feed({marker(" enter 'Run' exit 'Idle'"), branch("7")}), IdleEntryHead + branch("7"));
  expectListed(scanState.stateList, {{ElementKind::State, "Idle", 9}});
  EXPECT_EQ(scanState.rewriteState, RewriteState::EntryBody);

  // State and operation: the state's name, and only the operation waits.
  feed({marker(" operation 'x' state 'start'"), "@NODE TYPE=FUNCTION NAME=\"start\"@\n"});
  EXPECT_EQ(scanState.currentStateElement.name, "start");
  EXPECT_EQ(scanState.currentOperation.name, "start");
  EXPECT_FALSE(scanState.awaitingStateId);
  EXPECT_TRUE(scanState.awaitingOperationId);
  EXPECT_EQ(feed({branch("10")}), StartHead + branch("10"));
  EXPECT_EQ(scanState.stateCount, 2);
  expectListed(scanState.stateList, {{ElementKind::State, "Idle", 9}});
}

TEST_F(ElementScanTest, StateListRuleForNamesListedUnderAnotherKind) {
  const std::vector<std::pair<ElementKind, std::string>> kinds = {{ElementKind::State, " state 'Idle'"},
                                                                  {ElementKind::Enter, " enter 'Idle'"},
                                                                  {ElementKind::Exit, " exit 'Idle'"}};
  for (const auto& [firstKind, firstMarker] : kinds) {
    for (const auto& [secondKind, secondMarker] : kinds) {
      SetUp();
      feed({marker(firstMarker), branch("1")});
      scanState.rewriteState = RewriteState::ElementScan;
      std::string written = feed({marker(secondMarker), branch("2")});
      SCOPED_TRACE(firstMarker + " then" + secondMarker);
      std::vector<ElementRecord> expected = {{firstKind, "Idle", 1}};
      if (firstKind == secondKind) expected.push_back({secondKind, "Idle", 2});
      expectListed(scanState.stateList, expected);
      EXPECT_EQ(static_cast<std::size_t>(scanState.stateListLength), expected.size());
      EXPECT_EQ(scanState.stateCount, 2);
      // A record left out of the list still gets its action head.
      EXPECT_EQ(written, secondKind == ElementKind::Exit    ? IdleExitHead + branch("2")
                         : secondKind == ElementKind::Enter ? IdleEntryHead + branch("2")
                                                            : "");
    }
  }
}

TEST_F(ElementScanTest, OperationIsWrittenOnlyWhenTheNextLineHoldsNode) {
  Output output;
  feedLine(handleElementScan, marker(" operation 'start'"), output);
  EXPECT_TRUE(scanState.operationMarkerSeen);
  feedLine(handleElementScan, "  int a;\n", output);
  EXPECT_FALSE(scanState.operationMarkerSeen);
  feedLine(handleElementScan, "@NODE TYPE=FUNCTION NAME=\"start\"@\n", output);
  feedLine(handleElementScan, branch("5"), output);
  EXPECT_EQ(output.text(), "");
  EXPECT_EQ(scanState.operationCount, 0);
  EXPECT_FALSE(scanState.awaitingOperationId);
  EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan);

  // The line right after the marker may itself be the branch line.
  const std::string nodeBranch = "@NODE TYPE=FUNCTION NAME=\"start\"@" + branch("70000");
  EXPECT_EQ(feed({marker(" operation 'start'"), nodeBranch}), StartHead + nodeBranch);
  EXPECT_EQ(scanState.operationCount, 1);
  EXPECT_EQ(scanState.currentOperation.branchId, 4464);
  EXPECT_EQ(scanState.rewriteState, RewriteState::OperationBody);
  EXPECT_TRUE(scanState.stateList.empty());
}

TEST_F(ElementScanTest, UnclosedNamesMakeNoRecord) {
  feed({marker(" state 'Idle'"), marker(" operation 'start")});
  EXPECT_EQ(scanState.previousLine.text(), marker(" operation 'start"));
  EXPECT_TRUE(scanState.operationMarkerSeen);
  EXPECT_TRUE(scanState.awaitingStateId);
  EXPECT_FALSE(scanState.awaitingOperationId);
  EXPECT_EQ(scanState.currentStateElement.name, "Idle");

  scanState.previousLine = "kept\n";
  feed({Classifier + " transition 'Go\n"});
  EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan);
  EXPECT_EQ(scanState.previousLine.text(), Classifier + " transition 'Go\n");
  EXPECT_TRUE(scanState.transitionList.empty());
  EXPECT_EQ(scanState.transitionCount, 0);
}

TEST_F(ElementScanTest, TransitionMarkersSetKindAndCountAndKeepTheHeldBackLine) {
  struct Case {
    std::string kinds;
    std::int32_t kind;
    std::uint16_t transitions, choicePoints, guards;
  };
  const std::string longName(1500, 'n');
  for (const Case& c :
       {Case{" transition 'Go' guard 'g'", 2, 0, 0, 1}, Case{" transition 'Go'", 0, 1, 0, 0},
        Case{" choicePoint 'Go' guard 'g'", 2, 0, 0, 1}, Case{" choicePoint 'Go'", 1, 0, 1, 0},
        Case{" choicePoint 'c' transition 'Go'", 0, 1, 0, 0}}) {
    SetUp();
    scanState.branchIdSeen = true;
    feed({marker(" state 'Idle' x"), Classifier + c.kinds + "\n"});
    SCOPED_TRACE(c.kinds);
    EXPECT_EQ(scanState.previousLine.text(), Classifier + " state 'Idle");
    EXPECT_EQ(scanState.rewriteState, RewriteState::TransitionNode);
    EXPECT_EQ(scanState.transitionName, "Go");
    EXPECT_FALSE(scanState.branchIdSeen);
    EXPECT_EQ(scanState.transitionKind, c.kind);
    EXPECT_EQ(scanState.transitionCount, c.transitions);
    EXPECT_EQ(scanState.choicePointCount, c.choicePoints);
    EXPECT_EQ(scanState.guardCount, c.guards);
    expectListed(scanState.transitionList, {{ElementKind::None, "Go", 0}});
  }
  // Names of any length are kept whole.
  SetUp();
  scanState.generatorLevel = 2;
  feed({"{{{QZK transition '" + longName + "'\n"});
  EXPECT_EQ(scanState.transitionName, longName);
}

TEST_F(ElementScanTest, BranchNumberForms) {
  const std::vector<std::pair<std::string, std::uint16_t>> forms = {
      {"17", 17}, {"70000", 4464}, {"-1", 65535}, {"0042", 42},          {"", 0},
      {"+3x", 3}, {"x7", 0},       {"65536", 0},  {"4294967296", 65535}, {"-4294967296", 0}};
  for (const auto& [text, number] : forms) {
    SetUp();
    scanState.behaviorMark = 1;
    std::string written =
        feed({marker(" state 'S'"), "x @BRANCH MARK=TB ID=" + text + " @BRANCH MARK=TB ID=9 \n"});
    expectListed(scanState.stateList, {{ElementKind::State, "S", number}});
    EXPECT_EQ(written, stateNode("S", std::to_string(number))) << text;
  }
  // No space after the number: nothing is completed and the element keeps waiting.
  SetUp();
  EXPECT_EQ(feed({marker(" exit 'Idle'"), "@BRANCH MARK=TB ID=17\n"}), "");
  EXPECT_TRUE(scanState.awaitingStateId && scanState.awaitingExitId);
  EXPECT_EQ(scanState.stateCount, 0);
  EXPECT_EQ(scanState.previousLine.text(), "@BRANCH MARK=TB ID=17\n");
  EXPECT_EQ(feed({branch("18")}), IdleExitHead + branch("18"));
}

TEST_F(ElementScanTest, SectionStartAndInlineChains) {
  feed({marker(" enter 'Idle'"), "  if (VE ) {\n"});
  EXPECT_EQ(scanState.rewriteState, RewriteState::ElementScan);
  feed({"VE 2\n"});
  EXPECT_EQ(scanState.rewriteState, RewriteState::SectionStart);
  EXPECT_EQ(scanState.previousLine.text(), "VE 2\n");
  // A later step's state stands.
  feed({"VE " + Classifier.substr(2) + " transition 'Go'\n"});
  EXPECT_EQ(scanState.rewriteState, RewriteState::TransitionNode);

  // The pending entry is completed in the next section.
  scanState.resetSectionCounters();
  scanState.stateList.clear();
  scanState.rewriteState = RewriteState::ElementScan;
  EXPECT_EQ(feed({branch("4")}), IdleEntryHead + branch("4"));
  expectListed(scanState.stateList, {{ElementKind::Enter, "Idle", 4}});
  EXPECT_EQ(scanState.entryActionCount, 1);

  // An unclosed operation marker leaves operationMarkerSeen set with no operation waiting.
  scanState.rewriteState = RewriteState::ElementScan;
  feed({marker(" exit 'Idle'"), marker(" operation 'start"), "  INLINE_CHAINS \n"});
  EXPECT_EQ(scanState.rewriteState, RewriteState::InlineChain);
  EXPECT_FALSE(scanState.awaitingOperationId || scanState.awaitingStateId || scanState.awaitingExitId);
  EXPECT_EQ(scanState.previousLine.text(), marker(" operation 'start"));
  EXPECT_TRUE(scanState.operationMarkerSeen);
  scanState.rewriteState = RewriteState::ElementScan;
  EXPECT_EQ(feed({branch("5")}), "");
}
