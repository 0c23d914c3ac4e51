#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "tests/e2e_support.h"

namespace fs = std::filesystem;

// Whole sections converted by the built tool, one input file per run: states, actions and operations,
// then transitions, guards, choice points and inline chains, at each generator level.

namespace {

// Every line end of the text as "\r\n".
std::string crlf(const std::string& text) {
  std::string converted;
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

const std::string ViewBlock = "   (\"&Functions\"=0,\n    \"-&Exits\"=1),\n    \"Functions and exits\"=2\n";
const std::string NewViewBlock = "   (\"&States\"=0,\n    \"&Transitions\"=1),\n";

// The header of one section as the generator writes it, up to the file node.
std::string inputHeader(const std::string& firstLine, const std::string& fdNumber,
                        const std::string& capsule) {
  return firstLine + "FC 17\nFD " + fdNumber + "\nSRC " + capsule + ".cpp\nTC 3\nDC 2\n@RIK\nVIEW\n" +
         "   (\"&Functions\"=0,\n    \"Calls\",\n    \"-&Exits\"=1),\n    \"Lines\",\n" +
         "    \"Functions and exits\"\n@FILES@\nNODE TYPE=FILE NAME=\"" + capsule + ".cpp\"@\n" +
         "NODE TYPE=FILE NAME=\"" + capsule + ".cpp\"@@ALT@ {{{QZK classifier 'Logical View::" + capsule +
         "' }}}\n";
}

// The same header converted, with the capsule node and its empty line.
std::string outputHeader(const std::string& stampedFirstLine, const std::string& fdNumber,
                         const std::string& capsule) {
  return stampedFirstLine + "FC 17\nFD " + fdNumber + "\nTC 3\nDC 2\n@RIK\nVIEW\n" +
         "   (\"&States\"=0,\n    \"&Transitions\"=1),\n@FILES@\nNODE TYPE=CAPSULE NAME=\"" + capsule +
         "\"@\n\n";
}

std::string summary(int transitions, int guards, int choicePoints) {
  return sectionSummary(0, 0, 0, 0, transitions, guards, choicePoints);
}

class ConversionTest : public ::testing::Test {
 protected:
  ScratchDirectory scratch;
  fs::path in = scratch.make("in");
  fs::path out = scratch.make("out");

  // Converts in/Pump.fdc. printed is what the run shows between the file's name and the totals, logged
  // what the run log beside the input holds before them.
  void expectConversion(const std::string& input, const std::string& version, const std::string& expected,
                        const std::string& printed, const std::string& logged) {
    const std::string totals = "VelmarCov: 1 FDC Files updated\n";
    writeFile(in / "Pump.fdc", input);
    ToolRun run = runUntranslated({in.string(), out.string(), version});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, startLines(in.string(), out.string(), version) + "VelmarCov: analysing Pump.fdc\n" +
                              printed + totals);
    EXPECT_EQ(directoryContents(out), (std::map<std::string, std::string>{{"Pump.fdc", expected}}));
    EXPECT_EQ(directoryContents(in),
              (std::map<std::string, std::string>{{"Pump.fdc", input}, {"velcovstat.cov", logged + totals}}));
  }
  void expectConversion(const std::string& input, const std::string& version, const std::string& expected,
                        const std::string& summaries) {
    expectConversion(input, version, expected, summaries, summaries);
  }
};

}  // namespace

TEST_F(ConversionTest, StatesLevelTwoQueuedStatesFollowTheCapsuleLine) {
  const std::string input =
      "VE 3 src/Pump.cpp\nFC 1\nFD 11\nXX dropped\n@RIK\n" + ViewBlock +
      "@/VIEW\n"
      "NODE TYPE=FILE NAME=\"Pump.cpp\"@@ALT@ {{{QZK classifier 'Logical View::Pump'\n"
      "// {{{QZK operation 'start'\n"
      "@NODE TYPE=FUNCTION NAME=\"void start()\"@start @BRANCH MARK=TB ID=1 SUM=0@{\n"
      "    running = true; // {{{QZK keep\n"
      "    // {{{USR\n"
      "}@/BRANCH@@/NODE@\n"
      "// {{{QZK state 'Idle'\n"
      "@NODE TYPE=FUNCTION NAME=\"void enter_Idle()\"@e @BRANCH MARK=TB ID=2 SUM=0@{\n"
      "    current = Idle;\n"
      "}@/BRANCH@@/NODE@\n"
      "// {{{QZK exit 'Idle'\n"
      "@NODE TYPE=FUNCTION NAME=\"void exit_Idle()\"@x @BRANCH MARK=TB ID=3 SUM=0@{\n"
      "    timer.stop();\n"
      "}@/BRANCH@@/NODE@\n"
      "@NODE TYPE=FUNCTION NAME=\"void _ZOLTBehavior(Pump*)\"@b @BRANCH MARK=TB ID=9 SUM=0@{\n"
      "}@/BRANCH@@/NODE@\n";
  const std::string expected =
      "VE 3 src/Pump.cpp Velmar 6.5.341.0\nFC 1\nFD 11\n@RIK\n" + NewViewBlock +
      "@/VIEW\n"
      "NODE TYPE=CAPSULE NAME=\"Pump\"@\n" +
      stateNode("Idle", 2) +
      "\n"
      "@NODE TYPE=METHOD NAME=\"start\" LINK NAME=\"Pump,Tstart\"@Operation 'start'\n"
      "@NODE TYPE=FUNCTION NAME=\"void start()\"@start @BRANCH MARK=TB ID=1 SUM=0@{\n"
      "    running = true; //        keep\n"
      "}@/BRANCH@@/NODE@\n\n"
      "@NODE TYPE=METHOD NAME=\"Exit of Idle\" LINK NAME=\"Pump,XIdle\"@Exit Action of 'Idle'\n"
      "@NODE TYPE=FUNCTION NAME=\"void exit_Idle()\"@x @BRANCH MARK=TB ID=3 SUM=0@{\n"
      "    timer.stop();\n"
      "}@/BRANCH@@/NODE@\n\n" +
      SectionTrailer;
  expectConversion(input, "6.5.341.0", expected, sectionSummary(1, 2, 0, 1));
}

TEST_F(ConversionTest, StatesLevelZeroQueuedSectionThenInlineSection) {
  const std::string input =
      "VE 3\nFD 11\n@RIK\n" + ViewBlock +
      "NODE TYPE=FILE NAME=\"Pump.cpp\"@@ALT@ {{{QZK classifier 'Logical View::Pump'\n"
      "// {{{QZK classifier 'Logical View::Pump' state 'Idle'\n"
      "@BRANCH MARK=TB ID=5 SUM=0@{\n"
      "}@/BRANCH@@/NODE@\n"
      "VE 4\nFD 12\n@RIK\n" +
      ViewBlock +
      "NODE TYPE=FILE NAME=\"Valve.cpp\"@@ALT@ {{{QZK classifier 'Logical View::Valve'\n"
      "@NODE TYPE=FUNCTION NAME=\"void _ZOLTBehavior(Valve*)\"@b\n"
      "// {{{QZK classifier 'Logical View::Valve' state 'Open'\n"
      "@BRANCH MARK=TB ID=70000 SUM=0@{\n"
      "// {{{QZK classifier 'Logical View::Valve' enter 'Open'\n"
      "@BRANCH MARK=TB ID=-1 SUM=0@{\n"
      "  open();\r\n"
      "}@/BRANCH@@/NODE@\n";
  const std::string expected =
      "VE 3 Velmar 6.4.100.0\nFD 11\n@RIK\n" + NewViewBlock + "NODE TYPE=CAPSULE NAME=\"Pump\"@\n" +
      stateNode("Idle", 5) + "\n" + SectionTrailer + "VE 4 Velmar 6.4.100.0\nFD 12\n@RIK\n" + NewViewBlock +
      "NODE TYPE=CAPSULE NAME=\"Valve\"@\n\n" + stateNode("Open", 4464) +
      "@NODE TYPE=METHOD NAME=\"Entry of Open\" LINK NAME=\"Valve,TOpen\"@Entry Action of 'Open'\n"
      "@BRANCH MARK=TB ID=-1 SUM=0@{\n"
      "  open();\r\n"
      "}@/BRANCH@@/NODE@\n\n" +
      SectionTrailer;
  expectConversion(input, "6.4.100.0", expected, sectionSummary(0, 1, 0, 0) + sectionSummary(0, 2, 1, 0));
}

TEST_F(ConversionTest, StatesLevelOneCrlfInputKeepsItsLineEnds) {
  const std::string input =
      crlf("VE 5\nFD 7\n@RIK\n" + ViewBlock +
           "NODE TYPE=FILE NAME=\"M.cpp\"@@ALT@ {{{QZK classifier 'Logical View::Motor'\n"
           "// {{{QZK classifier 'Logical View::Motor' exit 'Off'\n"
           "@NODE TYPE=FUNCTION NAME=\"void exit_Off()\"@x @BRANCH MARK=TB ID=21 SUM=0@{\n"
           "  stop();\n"
           "}@/BRANCH@@/NODE@\n");
  const std::string expected =
      "VE 5 Velmar 6.4.200.0\r\nFD 7\r\n@RIK\r\n" + NewViewBlock + "NODE TYPE=CAPSULE NAME=\"Motor\"@\n" +
      stateNode("Off", 21) +
      "\n"
      "@NODE TYPE=METHOD NAME=\"Exit of Off\" LINK NAME=\"Motor,XOff\"@Exit Action of 'Off'\n"
      "@NODE TYPE=FUNCTION NAME=\"void exit_Off()\"@x @BRANCH MARK=TB ID=21 SUM=0@{\r\n"
      "  stop();\r\n"
      "}@/BRANCH@@/NODE@\r\n\n" +
      SectionTrailer;
  expectConversion(input, "6.4.200.0", expected, sectionSummary(0, 1, 0, 1));
}

TEST_F(ConversionTest, TransitionsLevelZeroSectionWithNodesAndChainsNamedAfterSourceStates) {
  const std::string input =
      inputHeader("VE 3 Pump.cpp\n", "4711", "Pump") +
      "@NODE TYPE=FUNCTION NAME=\"void Pump_Actor::chain1_start()\"@Function @BRANCH MARK=TB ID=1 SUM=0@{\n"
      "  // {{{QZK classifier 'Logical View::Pump' transition 'Start' }}}\n"
      "  motor.prepare();\n"
      "  @BRANCH MARK=TB ID=70000 SUM=0@{\n"
      "  motor.on();\r\n"
      "  {{{USR 'Start'\n"
      "  log(\"start\");\n"
      "  }}}USR\n"
      "}@/BRANCH@@/NODE@\n"
      "  // INLINE_CHAINS of Pump\n"
      "  rtgChainBegin( \"boot\" );\n"
      "  rtgTransitionEnd();\n"
      "  // @// Source state Idle@ chains\n"
      "  @BRANCH MARK=TB ID=20 SUM=0@{\n"
      "  rtgChainBegin( \"toRun\" );\n"
      "  rtgTransitionEnd();\n"
      "  @BRANCH MARK=TB ID=21 SUM=0@{\n"
      "  rtgChainBegin( \"toRun\" );\n"
      "  rtgTransitionEnd();\n"
      "  @// Source state Run@}@/BRANCH@@/NODE@\n"
      "  rtgChainBegin( \"toIdle\" ); rtgTransitionEnd();\n"
      "  rtgTransitionEnd();\n"
      "  @BRANCH MARK=TB ID=22 SUM=0@}@/BRANCH@@/NODE@\n"
      "  return;\n"
      "}@/BRANCH@@/NODE@\n";
  const std::string expected =
      outputHeader("VE 3 Pump.cpp Velmar 6.4.100.0\n", "4711", "Pump") +
      "@NODE TYPE=FUNCTION NAME=\"void Pump_Actor::chain1_start()\"@Function @BRANCH MARK=TB ID=1 SUM=0@{\n"
      "@NODE TYPE=TRANSITION NAME=\"Start\"@Transition @BRANCH MARK=TB ID=70000 SUM=1@'Start'@/BRANCH"
      " LINK NAME=\"Pump,TStart\"@\n"
      "  @BRANCH MARK=TB ID=70000 SUM=0@{\n"
      "  motor.on();\r\n"
      "  log(\"start\");\n"
      "}@/BRANCH@@/NODE@\n"
      "@NODE TYPE=TRANSITION NAME=\":boot\"@Transition @BRANCH MARK=TB ID=0 SUM=1@':boot'@/BRANCH"
      " LINK NAME=\"Pump,T:boot\"@\n"
      "@BRANCH MARK=TB ID=0 SUM=20@{\n@COMMENT@ @/COMMENT@\n}@/BRANCH@@/NODE@\n\n"
      "@NODE TYPE=TRANSITION NAME=\"Idle:toRun\"@Transition @BRANCH MARK=TB ID=20 SUM=1@'Idle:toRun'@/BRANCH"
      " LINK NAME=\"Pump,TIdle:toRun\"@\n"
      "@BRANCH MARK=TB ID=20 SUM=20@{\n@COMMENT@ @/COMMENT@\n}@/BRANCH@@/NODE@\n\n"
      "@NODE TYPE=TRANSITION NAME=\"Run:toIdle\"@Transition @BRANCH MARK=TB ID=21 SUM=1@'Run:toIdle'@/BRANCH"
      " LINK NAME=\"Pump,TRun:toIdle\"@\n"
      "@BRANCH MARK=TB ID=21 SUM=20@{\n@COMMENT@ @/COMMENT@\n}@/BRANCH@@/NODE@\n\n" +
      SectionTrailer;
  expectConversion(input, "6.4.100.0", expected, summary(4, 0, 0));
}

TEST_F(ConversionTest, TransitionsLevelOneChainsCarryTheirValuesIntoTheNextSection) {
  const std::string input =
      inputHeader("VE 3 Valve.cpp\n", "4711", "Valve") +
      "@NODE TYPE=FUNCTION NAME=\"void Valve_Actor::chain1_open()\"@Function @BRANCH MARK=TB ID=1 SUM=0@{\n"
      "  // {{{QZK classifier 'Logical View::Valve' transition 'Open' }}}\n"
      "  @BRANCH MARK=TB ID=5 SUM=0@{@COMMENT@/*PXN_JUMP_NAME*=Opened;state = OPEN;*/@/COMMENT@\n"
      "  // INLINE_CHAINS follow\n"
      "  @BRANCH MARK=TB ID=30 SUM=0@{\n"
      "  rtgChainBegin( this );\n"
      "  rtgTransitionEnd();\n"
      "  @COMMENT@/ transition 'Open' @/COMMENT@\n"
      "  @BRANCH MARK=TB ID=31 SUM=0@{\n"
      "  rtgChainBegin( this );\n"
      "  rtgTransitionEnd();\n"
      "  @COMMENT@/ transition 'Close' @/COMMENT@\n"
      "  @BRANCH MARK=TB ID=007 SUM=0@}@/BRANCH@@/NODE@\n"
      "  rtgChainBegin( this );\n"
      "  rtgTransitionEnd();\n"
      "#endif // VALVE_COVMODEL\n"
      "  done();\n" +
      inputHeader("VE 3 Valve.cpp part 2\n", "4712", "Valve") +
      "  // INLINE_CHAINS follow\n"
      "  rtgChainBegin( this );\n"
      "  rtgTransitionEnd();\n"
      "}@/BRANCH@@/NODE@\n";
  const std::string expected =
      outputHeader("VE 3 Valve.cpp Velmar 6.4.200.0\n", "4711", "Valve") +
      "@NODE TYPE=FUNCTION NAME=\"void Valve_Actor::chain1_open()\"@Function @BRANCH MARK=TB ID=1 SUM=0@{\n"
      "@NODE TYPE=TRANSITION NAME=\"Open\"@Transition @BRANCH MARK=TB ID=5 SUM=1@'Open'@/BRANCH@\n"
      "@BRANCH MARK=TB ID=5 SUM=1 JUMP NAME=Opened@state = OPEN;@/JUMP /BRANCH /NODE@\n"
      "@NODE TYPE=TRANSITION NAME=\"unknown transition\"@Transition @BRANCH MARK=TB ID=30 SUM=1"
      "@'unknown transition'@/BRANCH LINK NAME=\"Valve,Tunknown transition\"@\n"
      "@BRANCH MARK=TB ID=30 SUM=20@{\n@COMMENT@ @/COMMENT@\n}@/BRANCH@@/NODE@\n\n"
      "@NODE TYPE=TRANSITION NAME=\"Close\"@Transition @BRANCH MARK=TB ID=7 SUM=1@'Close'@/BRANCH"
      " LINK NAME=\"Valve,TClose\"@\n"
      "@BRANCH MARK=TB ID=007 SUM=20@{\n@COMMENT@ @/COMMENT@\n}@/BRANCH@@/NODE@\n\n" +
      SectionTrailer + outputHeader("VE 3 Valve.cpp part 2 Velmar 6.4.200.0\n", "4712", "Valve") +
      "@NODE TYPE=TRANSITION NAME=\"Close\"@Transition @BRANCH MARK=TB ID=7 SUM=1@'Close'@/BRANCH"
      " LINK NAME=\"Valve,TClose\"@\n"
      "@BRANCH MARK=TB ID=007 SUM=20@{\n@COMMENT@ @/COMMENT@\n}@/BRANCH@@/NODE@\n\n" +
      SectionTrailer;
  const std::string first = summary(3, 0, 0);
  const std::string second = summary(1, 0, 0);
  expectConversion(
      input, "6.4.200.0", expected,
      "ENQUEUE ... [unknown transition]!\nENQUEUE ... [Close]!\n" + first + "ENQUEUE ... [Close]!\n" + second,
      first + second);
}

TEST_F(ConversionTest, TransitionsLevelTwoSectionWithNodesAndChainsNamedByTransitionComments) {
  const std::string input =
      inputHeader("VE 3 Pump.cpp\r\n", "4711", "Pump") +
      "@NODE TYPE=FUNCTION NAME=\"void Pump_Actor::chain3_tick(const Msg*)\"@Function @BRANCH MARK=TB ID=1 "
      "SUM=0@{\n"
      "  // {{{QZK transition 'Tick' }}}\n"
      "  pump.tick();\n"
      "  @BRANCH MARK=TB ID=12 SUM=0@{\n"
      "  {{{USR 'Tick' user code\n"
      "  count++;\n"
      "  }}}USR\n"
      "}@/BRANCH@@/NODE@\n"
      "  int level = sensor.read();\n"
      "  // {{{QZK choicePoint 'IsFull' }}}\n"
      "  @BRANCH MARK=TB ID=13 SUM=0@{@COMMENT@/*PXN_JUMP_NAME*=Full;return FULL;*/@/COMMENT@\n"
      "  // {{{QZK transition 'Drain' guard 'isEmpty' }}}\n"
      "  @BRANCH MARK=TB ID=14 SUM=0@{\n"
      "  return level == 0;\n"
      "}@/BRANCH@@/NODE@\n"
      "  // {{{QZK transition 'Fill' guard 'isLow' }}}\n"
      "  @BRANCH MARK=TB ID=15 SUM=0@{@COMMENT@/*PXN_JUMP_NAME*=Low;goto low;\r\n"
      "  // INLINE_CHAINS of Pump\n"
      "  @COMMENT@/ transition 'Idle to Run' @/COMMENT@\n"
      "  @BRANCH MARK=TB ID=20 SUM=0@{\n"
      "  rtgChainBegin( &rtg_Idle_to_Run );\n"
      "  rtgTransitionEnd();\n"
      "  @COMMENT@/ transition 'Tick' @/COMMENT@\n"
      "  @BRANCH MARK=TB ID=21 SUM=0@{\n"
      "  rtgChainBegin( &rtg_Tick );\n"
      "  rtgTransitionEnd();\n"
      "  @BRANCH MARK=TB ID=70000 SUM=0@{\n"
      "  @COMMENT@/ transition 'Run to Idle' @/COMMENT@\n"
      "  rtgChainBegin( &rtg_Run_to_Idle ); rtgTransitionEnd();\n"
      "}@/BRANCH@@/NODE@\n"
      "  return;\n";
  const std::string expected =
      outputHeader("VE 3 Pump.cpp Velmar 6.5.341.0\r\n", "4711", "Pump") +
      "@NODE TYPE=FUNCTION NAME=\"void Pump_Actor::chain3_tick(const Msg*)\"@Function @BRANCH MARK=TB ID=1 "
      "SUM=0@{\n"
      "@NODE TYPE=TRANSITION NAME=\"Tick\"@Transition @BRANCH MARK=TB ID=12 SUM=1@'Tick'@/BRANCH"
      " LINK NAME=\"Pump,TTick\"@\n"
      "  @BRANCH MARK=TB ID=12 SUM=0@{\n"
      "  count++;\n"
      "}@/BRANCH@@/NODE@\n"
      "  int level = sensor.read();\n"
      "@NODE TYPE=CHOICE_POINT NAME=\"IsFull\"@ChoicePoint @BRANCH MARK=TB ID=13 SUM=1@'IsFull'@/BRANCH@\n"
      "@BRANCH MARK=TB ID=13 SUM=1 JUMP NAME=Full@return FULL;@/JUMP /BRANCH /NODE@\n"
      "@NODE TYPE=CHOICE_POINT NAME=\"Guard on Drain\" LINK NAME=\"Pump,TDrain\"@Guard on 'Drain'\n"
      "  @BRANCH MARK=TB ID=14 SUM=0@{\n"
      "  return level == 0;\n"
      "}@/BRANCH@@/NODE@\n"
      "@NODE TYPE=CHOICE_POINT NAME=\"Guard on Fill\"@Guard on 'Fill'\n"
      "@BRANCH MARK=TB ID=15 SUM=1 JUMP NAME=Low@goto low;@/JUMP /BRANCH /NODE@\n"
      "@NODE TYPE=TRANSITION NAME=\"Idle to Run\"@Transition @BRANCH MARK=TB ID=20 SUM=1@'Idle to "
      "Run'@/BRANCH"
      " LINK NAME=\"Pump,TIdle to Run\"@\n"
      "@BRANCH MARK=TB ID=20 SUM=20@{\n@COMMENT@ @/COMMENT@\n}@/BRANCH@@/NODE@\n\n"
      "@NODE TYPE=TRANSITION NAME=\"Run to Idle\"@Transition @BRANCH MARK=TB ID=70000 SUM=1@'Run to Idle'"
      "@/BRANCH LINK NAME=\"Pump,TRun to Idle\"@\n"
      "@BRANCH MARK=TB ID=70000 SUM=20@{\n@COMMENT@ @/COMMENT@\n}@/BRANCH@@/NODE@\n\n" +
      SectionTrailer;
  expectConversion(input, "6.5.341.0", expected,
                   "ENQUEUE ... [Idle to Run]!\nENQUEUE ... [Run to Idle]!\n" + summary(3, 2, 1),
                   summary(3, 2, 1));
}
