#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "rewriter/handlers.h"
#include "rewriter/scan_state.h"

// Rows run their lines through the rewriter as a file update does: every byte and the state left count.

namespace {
using S = RewriteState;
const std::string V = " Velmar 6.5." + std::string(300, '7');  // no fixed limit on the version
const std::string T = "@/NODE /RIK@\n";
const std::string U = "NODE TYPE=CAPSULE NAME=\"Unknown Capsule\"@\n\n";
const std::string P = "NODE TYPE=CAPSULE NAME=\"Pump\"@\n\n";
const std::string C = "/* {{{QZK classifier 'L::Pump'";  // element marker below level 2
const std::string Q = "/* {{{QZK";                       // element marker at level 2
const std::string END = "}@/BRANCH@@/NODE@\n";
const std::string BEH = "@NODE TYPE=FUNCTION NAME=\"void _ZOLTBehaviorPump()\"@\n";
const std::string FN = "@NODE TYPE=FUNCTION NAME=\"start\"@";
const std::string ExitIdle =
    "@NODE TYPE=METHOD NAME=\"Exit of Idle\" LINK NAME=\"Pump,XIdle\"@Exit Action of 'Idle'\n";
const std::string EntryIdle =
    "@NODE TYPE=METHOD NAME=\"Entry of Idle\" LINK NAME=\"Pump,TIdle\"@Entry Action of 'Idle'\n";
const std::string OpStart = "@NODE TYPE=METHOD NAME=\"start\" LINK NAME=\"Pump,Tstart\"@Operation 'start'\n";
const std::string States = "   (\"&States\"=0,\n";
const std::string Transitions = "    \"&Transitions\"=1),\n";

std::string br(const std::string& id) { return "@BRANCH MARK=TB ID=" + id + " SUM=0@{\n"; }
std::string jump(const std::string& t) {
  return "@BRANCH MARK=TB ID=12 SUM=0@{@COMMENT@/*PXN_JUMP_NAME*" + t;
}
// The jump branch that closes a node whose jump comment names `named` ("name@text").
std::string jumpClose(const std::string& named) {
  return "@BRANCH MARK=TB ID=12 SUM=1 JUMP NAME=" + named + "@/JUMP /BRANCH /NODE@\n";
}
std::string stateNode(const std::string& name, const std::string& id) {
  return "\n@NODE TYPE=STATE NAME=\"" + name + "\"@State @BRANCH MARK=TB ID=" + id + " SUM=0@'" + name +
         "'@/BRANCH@@/NODE@\n";
}
std::string head(const std::string& name, const std::string& id) {
  return "@NODE TYPE=TRANSITION NAME=\"" + name + "\"@Transition @BRANCH MARK=TB ID=" + id + " SUM=1@'" +
         name + "'@/BRANCH";
}
std::string linked(const std::string& name, const std::string& id) {
  return head(name, id) + " LINK NAME=\"Pump,T" + name + "\"@\n";
}
std::string close(const std::string& id) {
  return "@BRANCH MARK=TB ID=" + id + " SUM=20@{\n@COMMENT@ @/COMMENT@\n}@/BRANCH@@/NODE@\n\n";
}

struct Row {
  RewriteState start;
  std::uint32_t level;
  bool capsuleWritten;
  std::string in, out, after;
};

class RewriterTest : public ::testing::TestWithParam<Row> {
 protected:
  void TearDown() override { scanState = ScanState{}; }

  // Feeds the input as the file update does and returns the bytes written;
  // `after` gets the pass results and the state left (see summary).
  static std::string run(const Row& row, std::string& after) {
    scanState = ScanState{};
    scanState.rewriteState = row.start;
    scanState.generatorLevel = row.level;
    scanState.capsuleNodeWritten = row.capsuleWritten;
    scanState.capsuleName = "Pump";
    scanState.generatorVersion = V.substr(8);
    std::string input = row.in;
    LineReader reader(input);
    Output output;
    std::string results;
    testing::internal::CaptureStdout();
    for (;;) {
      const int result = rewriteSection(reader, output);
      results += std::to_string(result);
      if (result != 1) break;
      startSection(scanState.lineBuffer, output);
    }
    std::fflush(stdout);
    after = summary(results, testing::internal::GetCapturedStdout());
    return std::string(output.text());
  }

  // Pass results, state, the counters of states, transitions, choice points, guards, exits,
  // entries, operations, the behaviour mark and the listed states; w and what waits for its
  // branch line (M: an operation marker was just seen); the state and transition lists; the
  // held-back line; after > what went to standard output.
  static std::string summary(const std::string& results, const std::string& printed) {
    const ScanState& s = scanState;
    std::string text = results + " r" + std::to_string(static_cast<int>(s.rewriteState)) + " ";
    for (int n : {s.stateCount, s.transitionCount, s.choicePointCount, s.guardCount, s.exitActionCount,
                  s.entryActionCount, s.operationCount, s.behaviorMark, s.stateListLength}) {
      if (text.back() != ' ') text += ',';
      text += std::to_string(n);
    }
    std::string flags;
    for (auto [set, letter] : {std::pair{s.awaitingStateId, 'S'}, std::pair{s.awaitingExitId, 'X'},
                               std::pair{s.awaitingEntryId, 'E'}, std::pair{s.awaitingOperationId, 'O'},
                               std::pair{s.operationMarkerSeen, 'M'}})
      if (set) flags += letter;
    if (!flags.empty()) text += " w" + flags;
    for (const ElementRecord& r : s.stateList)
      text +=
          std::string(" ") + "-SEXO"[static_cast<int>(r.kind)] + r.name + ":" + std::to_string(r.branchId);
    for (const ElementRecord& r : s.transitionList) text += " T" + r.name + ":" + std::to_string(r.branchId);
    text += " |" + std::string(s.previousLine.text());
    return printed.empty() ? text : text + " >" + printed;
  }
};

TEST_P(RewriterTest, WritesTheBytesAndLeavesTheState) {
  std::string after;
  EXPECT_EQ(run(GetParam(), after), GetParam().out);
  EXPECT_EQ(after, GetParam().after);
}

using Rows = std::vector<Row>;
constexpr S ES = S::ElementScan;

INSTANTIATE_TEST_SUITE_P(
    Elements, RewriterTest,
    testing::ValuesIn(Rows{
        {ES, 1, true, C + " exit 'Idle'\n" + br("1") + "VE new\n#endif _COVMODEL\n",
         ExitIdle + br("1") + "VE new\n#endif _COVMODEL\n" + T, "0 r6 1,0,0,0,1,0,0,0,1 XIdle:1 |"},
        // The line after an operation marker holds NODE (here it is the branch line too).
        {ES, 1, true,
         C + " operation 'start' */\n" + FN + br("70000") + "a {{{QZKb }}}QZK c\nx }}}QZK y }}}QZK\n",
         OpStart + FN + br("70000") + "a" + std::string(7, ' ') + "b }}}QZK c\nx" + std::string(8, ' ') +
             "y }}}QZK\n" + T,
         "0 r9 0,0,0,0,0,0,1,0,0 |x" + std::string(8, ' ') + "y }}}QZK\n"},
        // A name listed under another kind is not listed again, but its action is written once.
        {ES, 1, true, C + " exit 'Idle'\n" + br("1") + END + C + " enter 'Idle'\n" + br("2") + END + br("3"),
         ExitIdle + br("1") + END + "\n" + EntryIdle + br("2") + END + "\n" + T,
         "0 r6 2,0,0,0,1,1,0,0,1 XIdle:1 |" + br("3")},
        // Body lines of 17 to 64 bytes are looked at 16 bytes at a time: a user-region marker in the
        // middle block only, and a node end in the last one only, still count.
        {ES, 1, true,
         C + " enter 'Idle'\n" + br("2") + "  a(); b(); c(); d(); // {{{USR more text here\n  mine();\n" +
             "  last(); // done here now " + END,
         EntryIdle + br("2") + "  mine();\n  last(); // done here now " + END + "\n" + T,
         "0 r6 1,0,0,0,0,1,0,0,1 EIdle:2 |"},
        // Records keep the low 16 bits; a number needs a blank after it. Nine digits are read as
        // they stand, ten or more count as the end of the 32-bit range.
        {ES, 1, true,
         BEH + C + " state 'S'\nx @BRANCH MARK=TB ID=70000 @BRANCH MARK=TB ID=9 \n" + C +
             " state 'T'\n@BRANCH MARK=TB ID=-1\n@BRANCH MARK=TB ID=-1 \n" + C +
             " state 'U'\n@BRANCH MARK=TB ID=4294967297 \n" + C +
             " state 'V'\n@BRANCH MARK=TB ID=123456789 \n",
         stateNode("S", "4464") + stateNode("T", "65535") + stateNode("U", "65535") +
             stateNode("V", "52501") + T,
         "0 r6 4,0,0,0,0,0,0,5,4 SS:4464 ST:65535 SU:65535 SV:52501 |@BRANCH MARK=TB ID=123456789 \n"},
        // A 'Q' or 'H' that starts no marker does not hide the marker behind it, on a short line (here
        // in the block that ends it) or a long one; the inline chains win over a branch marker before them.
        {ES, 2, true,
         "Q {{{QZ Q" + std::string(20, ' ') + "{{{QZK state 'A'\nH BRANCH H @BRANCH MARK=TB ID=5 \n" +
             std::string(60, 'Q') + Q + " state 'B'\n" + std::string(60, 'H') + "@BRANCH MARK=TB ID=6 \n" +
             "  @BRANCH MARK=TB ID=8 INLINE_CHAINS \n",
         T, "0 r8 2,0,0,0,0,0,0,0,2 SA:5 SB:6 |" + std::string(60, 'H') + "@BRANCH MARK=TB ID=6 \n"},
        // Level-2 markers mean nothing here; a branch line still writes the capsule node.
        {ES, 1, false, "  /* {{{QZK state 'Idle' */\n" + br("1") + "  /* {{{QZK transition 'Go' */\n", U + T,
         "0 r6 0,0,0,0,0,0,0,0,0 |  /* {{{QZK transition 'Go' */\n"},
        // The classifier cuts the line: the kinds behind it are not seen.
        {ES, 1, false, "/* {{{QZK classifier 'Top:::Valve' exit 'Idle'\n" + br("1"),
         "NODE TYPE=CAPSULE NAME=\":Valve\"@\n\n" + T, "0 r6 0,0,0,0,0,0,0,0,0 |" + br("1")},
        // At level 2 a classifier line is an element marker even when it names a transition, and an
        // element marker wins over the inline chains.
        {ES, 2, false, C + " transition 'Go'\n{{{QZK INLINE_CHAINS \n" + Q + " choicePoint 'Which' */\n",
         P + T, "0 r7 0,0,1,0,0,0,0,0,0 TWhich:0 |{{{QZK INLINE_CHAINS \n"},
    }));

Row jumpRow(const std::string& tail, const std::string& jumpName) {
  return {ES,
          1,
          true,
          C + " transition 'Tick'\n" + jump(tail),
          head("Tick", "12") + "@\n" + (jumpName.empty() ? "@/NODE@\n" : jumpClose(jumpName)) + T,
          "0 r6 0,1,0,0,0,0,0,0,0 TTick:0 |"};
}

INSTANTIATE_TEST_SUITE_P(
    Transitions, RewriterTest,
    testing::ValuesIn(Rows{
        // The held-back line goes before the head; the first numbered branch line opens the node.
        {ES, 2, false,
         Q + " enter 'Idle' */\n" + br("6") + END + "  plain();\n" + Q + " transition 'Go' state 'S' */\n" +
             "  // not yet\n@BRANCH MARK=TB ID=12\n" + br("70000") + "  go();\n{{{USR x\n  mine();\n" +
             jump("=Done;x*/\n") + "}}}USR }@/BRANCH@@/NODE@\n",
         U + EntryIdle + br("6") + END + "\n  plain();\n" + linked("Go", "70000") + br("70000") +
             "  go();\n  mine();\n" + jump("=Done;x*/\n") + T,
         "0 r6 1,1,0,0,0,1,0,0,1 EIdle:6 TGo:0 |"},
        {ES, 1, true,
         C + " transition 'Go' guard 'g'\n" + br("31") + END + C + " choicePoint 'Go' guard 'g'\n" +
             jump("=Done;x*/\n"),
         "@NODE TYPE=CHOICE_POINT NAME=\"Guard on Go\" LINK NAME=\"Pump,TGo\"@Guard on 'Go'\n" + br("31") +
             END + "@NODE TYPE=CHOICE_POINT NAME=\"Guard on Go\"@Guard on 'Go'\n" + jumpClose("Done@x") + T,
         "0 r6 0,0,0,2,0,0,0,0,0 TGo:0 TGo:0 |"},
        // A choice point after a transition gets a head of its own kind.
        {ES, 1, true, C + " transition 'Go'\n" + br("4") + END + C + " choicePoint 'Which'\n" + br("5") + END,
         linked("Go", "4") + br("4") + END +
             "@NODE TYPE=CHOICE_POINT NAME=\"Which\"@ChoicePoint @BRANCH MARK=TB ID=5 SUM=1@'Which'@/BRANCH "
             "LINK NAME=\"Pump,TWhich\"@\n" +
             br("5") + END + T,
         "0 r6 0,1,1,0,0,0,0,0,0 TGo:0 TWhich:0 |"},
        // The held-back line goes out once: a node closed by its jump branch line lets it go.
        {ES, 1, true,
         "  held();\n" + C + " transition 'Tick'\n" + jump("=Done\n") + C + " transition 'Tock'\n" +
             br("13") + END,
         "  held();\n" + head("Tick", "12") + "@\n" + jumpClose("Done@") + linked("Tock", "13") + br("13") +
             END + T,
         "0 r6 0,2,0,0,0,0,0,0,0 TTick:0 TTock:0 |"},
        // A nameless element runs through its node but writes nothing.
        {ES, 2, true,
         "  held();\n" + Q + " transition '' */\n" + br("1") + "  tick();\n" + END + Q +
             " transition '' guard 'g' */\n" + jump("=Done;x*/\n"),
         T, "0 r6 0,1,0,1,0,0,0,0,0 T:0 T:0 |"},
        // The jump text runs from the first ";" to the first "*/"; without ";" there is none, and
        // without the comment's "=" the node closes plainly.
        jumpRow("=Done;goto Done; y*/ z*/\n", "Done@goto Done; y"),
        jumpRow("=Done\n", "Done@"),
        jumpRow("", ""),
        // Level 0: source state and quoted name; the chain block drops the exit still waiting.
        {ES, 0, true,
         "  held();\n" + C + " exit 'Idle'\n  INLINE_CHAINS \nTransitionEnd();\nChainBegin(\"first\")\n" +
             "  // @// Source state Idle@ from here\n" + br("7") +
             "  rtgChainBegin( \"toRun\", 3 );\n  "
             "rtgTransitionEnd();\nChainBegin(\"toRun\")\nTransitionEnd\n" +
             "@// Source state Run@}@/BRANCH@@/NODE@\nChainBegin(\"open\r\nx.ChainBegin(\"go\"); "
             "TransitionEnd();\n" +
             "@COMMENT@/ transition 'T1' x\n#endif // X_COVMODEL\n" + br("5"),
         close("0") + linked(":first", "0") + linked("Idle:toRun", "7") + close("7") +
             linked("Run:open", "7") + linked("Run:go", "7") + T,
         "0 r6 0,4,0,0,0,0,0,0,0 T:first:0 TIdle:toRun:7 TRun:open:7 TRun:go:7 |" + br("5")},
        // A kind marker line is held back cut after its name.
        {ES, 1, true, C + " exit 'Idle' */\n" + C + " transition 'Go'\n" + br("6"),
         C + " exit 'Idle" + linked("Go", "6") + br("6") + T, "0 r7 0,1,0,0,0,0,0,0,0 wSX TGo:0 |"},
        // The chain block drops a waiting entry and operation too; a transition marker without its
        // closing quote is held back like any line.
        {ES, 1, true,
         C + " enter 'Idle'\nINLINE_CHAINS \n" + END + br("4") + C +
             " operation 'start' */\n@NODE INLINE_CHAINS \n" + END + br("5") + C + " transition 'Go\n" + C +
             " transition 'Ok'\n" + br("6"),
         C + " transition 'Go\n" + linked("Ok", "6") + br("6") + T, "0 r7 0,1,0,0,0,0,0,0,0 TOk:0 |"},
        // The chain values carry over to the next section; the transition list does not.
        {ES, 1, true,
         "INLINE_CHAINS \n@COMMENT@/ transition 'Tick'\n" + br("21") + "ChainBegin\n" + END +
             "VE 2\n@RIK\n   (\"&Functions\n    \"-&Exits\n    \"Functions and exits\nNODE TYPE=FILE @@ALT@\n"
             "INLINE_CHAINS \nChainBegin\nTransitionEnd\n",
         linked("Tick", "21") + T + "VE 2" + V + "\n@RIK\n" + States + Transitions + U +
             linked("Tick", "21") + close("21") + T,
         "10 r8 0,1,0,0,0,0,0,0,0 TTick:21 | >ENQUEUE ... [Tick]!\nENQUEUE ... [Tick]!\n"},
    }));

INSTANTIATE_TEST_SUITE_P(
    Sections, RewriterTest,
    testing::ValuesIn(Rows{
        // Header, view block and file node; a matching FD number ends the run at the next line.
        {S::SectionStart, 1, true,
         "VE 1\nFC 1\nXX dropped\nFD 8\n@RIK x\nVIEW\n   (\"&Functions\"=0,\n    \"&Other\"\n    "
         "\"-&Exits\"=1),\n"
         "    more\n    \"Functions and exits\"\n" +
             BEH +
             "NODE TYPE=FILE no alt\nNODE TYPE=FILE {{{QZK classifier 'A::B' @@ALT@ {{{QZK classifier "
             "'L::Pump' "
             "state 'S'\n" +
             C + " exit 'Idle'\n" + br("3") + END + "  if (VE ) {\nVE 2\nFD 0\nrest\n",
         "VE 1" + V + "\nFC 1\nFD 8\n@RIK x\nVIEW\n" + States + Transitions + BEH + P + ExitIdle + br("3") +
             END + "\n" + T + "VE 2" + V + "\nFD 0\n",
         "12 r12 0,0,0,0,0,0,0,0,0 |VE 2\n"},
        // The stamp goes before the first line-end byte, on a line of any length.
        {S::SectionStart, 2, true, std::string(MaxLinePiece, 'F'), std::string(MaxLinePiece, 'F') + V + T,
         "0 r1 0,0,0,0,0,0,0,0,0 |"},
    }));

}  // namespace
