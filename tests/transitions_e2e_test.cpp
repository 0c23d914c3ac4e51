#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "tests/e2e_support.h"

namespace fs = std::filesystem;

namespace {

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

const std::string Totals = "VelmarCov: 1 FDC Files updated\n";

class TransitionsEndToEndTest : public ::testing::Test {
 protected:
  ScratchDirectory scratch;
  fs::path in = scratch.make("in");
  fs::path out = scratch.make("out");

  // Runs untranslated on one input file and checks the run log beside it.
  ToolRun convert(const std::string& name, const std::string& input, const std::string& version,
                  const std::string& logged) {
    writeFile(in / name, input);
    ToolRun run = runUntranslated({in.string(), out.string(), version});
    EXPECT_EQ(run.status, 1);
    const std::map<std::string, std::string> inputs = {{name, input}, {"velcovstat.cov", logged}};
    EXPECT_EQ(directoryContents(in), inputs);
    return run;
  }

  std::string startLines(const std::string& name, const std::string& version) const {
    return ::startLines(in.string(), out.string(), version) + "VelmarCov: analysing " + name + "\n";
  }
};

}  // namespace

TEST_F(TransitionsEndToEndTest, LevelZeroSectionWithNodesAndChainsNamedAfterSourceStates) {
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
      "  // {{{QZK classifier 'Logical View::Pump' transition 'Stop' guard 'isRunning' }}}\n"
      "  @BRANCH MARK=TB ID=9 SUM=0@{@COMMENT@/*PXN_JUMP_NAME*=Stopped*/\n"
      "  // {{{QZK classifier 'Logical View::Pump' choicePoint 'Which' }}}\n"
      "  @BRANCH MARK=TB ID=10 SUM=0@{@COMMENT@/*PXN_JUMP_NAME* plain */\n"
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
      "@NODE TYPE=CHOICE_POINT NAME=\"Guard on Stop\"@Guard on 'Stop'\n"
      "@BRANCH MARK=TB ID=9 SUM=1 JUMP NAME=Stopped@@/JUMP /BRANCH /NODE@\n"
      "@NODE TYPE=CHOICE_POINT NAME=\"Which\"@ChoicePoint @BRANCH MARK=TB ID=10 SUM=1@'Which'@/BRANCH@\n"
      "@/NODE@\n"
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
  ToolRun run = convert("Pump.fdc", input, "6.4.100.0", summary(4, 1, 1) + Totals);
  EXPECT_EQ(run.output, startLines("Pump.fdc", "6.4.100.0") + summary(4, 1, 1) + Totals);
  EXPECT_EQ(directoryContents(out), (std::map<std::string, std::string>{{"Pump.fdc", expected}}));
}

TEST_F(TransitionsEndToEndTest, LevelOneChainsCarryTheirValuesIntoTheNextSection) {
  const std::string input =
      inputHeader("VE 3 Valve.cpp\n", "4711", "Valve") +
      "@NODE TYPE=FUNCTION NAME=\"void Valve_Actor::chain1_open()\"@Function @BRANCH MARK=TB ID=1 SUM=0@{\n"
      "  // {{{QZK classifier 'Logical View::Valve' transition 'Open' }}}\n"
      "  @BRANCH MARK=TB ID=5 SUM=0@{@COMMENT@/*PXN_JUMP_NAME*=Opened;state = OPEN;*/@/COMMENT@\n"
      "  // {{{QZK classifier 'Logical View::Valve' choicePoint 'IsStuck' }}}\n"
      "  @BRANCH MARK=TB ID=6 SUM=0@{\n"
      "  if (stuck) {\n"
      "  @{@COMMENT@/*PXN_JUMP_NAME*=Later;x*/\n"
      "}@/BRANCH@@/NODE@\n"
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
      "@NODE TYPE=FUNCTION NAME=\"void Valve_Actor::chain4_shut()\"@Function @BRANCH MARK=TB ID=2 SUM=0@{\n"
      "  // {{{QZK classifier 'Logical View::Valve' transition 'Shut' guard 'canShut' }}}\n"
      "  @BRANCH MARK=TB ID=8 SUM=0@{\n"
      "  return !stuck;\n"
      "}@/BRANCH@@/NODE@\n"
      "  // INLINE_CHAINS follow\n"
      "  rtgChainBegin( this );\n"
      "  rtgTransitionEnd();\n"
      "}@/BRANCH@@/NODE@\n";
  const std::string expected =
      outputHeader("VE 3 Valve.cpp Velmar 6.4.200.0\n", "4711", "Valve") +
      "@NODE TYPE=FUNCTION NAME=\"void Valve_Actor::chain1_open()\"@Function @BRANCH MARK=TB ID=1 SUM=0@{\n"
      "@NODE TYPE=TRANSITION NAME=\"Open\"@Transition @BRANCH MARK=TB ID=5 SUM=1@'Open'@/BRANCH@\n"
      "@BRANCH MARK=TB ID=5 SUM=1 JUMP NAME=Opened@state = OPEN;@/JUMP /BRANCH /NODE@\n"
      "@NODE TYPE=CHOICE_POINT NAME=\"IsStuck\"@ChoicePoint @BRANCH MARK=TB ID=6 SUM=1@'IsStuck'@/BRANCH"
      " LINK NAME=\"Valve,TIsStuck\"@\n"
      "  @BRANCH MARK=TB ID=6 SUM=0@{\n"
      "  if (stuck) {\n"
      "  @{@COMMENT@/*PXN_JUMP_NAME*=Later;x*/\n"
      "}@/BRANCH@@/NODE@\n"
      "@NODE TYPE=TRANSITION NAME=\"unknown transition\"@Transition @BRANCH MARK=TB ID=30 SUM=1"
      "@'unknown transition'@/BRANCH LINK NAME=\"Valve,Tunknown transition\"@\n"
      "@BRANCH MARK=TB ID=30 SUM=20@{\n@COMMENT@ @/COMMENT@\n}@/BRANCH@@/NODE@\n\n"
      "@NODE TYPE=TRANSITION NAME=\"Close\"@Transition @BRANCH MARK=TB ID=7 SUM=1@'Close'@/BRANCH"
      " LINK NAME=\"Valve,TClose\"@\n"
      "@BRANCH MARK=TB ID=007 SUM=20@{\n@COMMENT@ @/COMMENT@\n}@/BRANCH@@/NODE@\n\n" +
      SectionTrailer + outputHeader("VE 3 Valve.cpp part 2 Velmar 6.4.200.0\n", "4712", "Valve") +
      "@NODE TYPE=FUNCTION NAME=\"void Valve_Actor::chain4_shut()\"@Function @BRANCH MARK=TB ID=2 SUM=0@{\n"
      "@NODE TYPE=CHOICE_POINT NAME=\"Guard on Shut\" LINK NAME=\"Valve,TShut\"@Guard on 'Shut'\n"
      "  @BRANCH MARK=TB ID=8 SUM=0@{\n"
      "  return !stuck;\n"
      "}@/BRANCH@@/NODE@\n"
      "@NODE TYPE=TRANSITION NAME=\"Close\"@Transition @BRANCH MARK=TB ID=7 SUM=1@'Close'@/BRANCH"
      " LINK NAME=\"Valve,TClose\"@\n"
      "@BRANCH MARK=TB ID=007 SUM=20@{\n@COMMENT@ @/COMMENT@\n}@/BRANCH@@/NODE@\n\n" +
      SectionTrailer;
  const std::string first = summary(3, 0, 1);
  const std::string second = summary(1, 1, 0);
  ToolRun run = convert("Valve.fdc", input, "6.4.200.0", first + second + Totals);
  EXPECT_EQ(run.output, startLines("Valve.fdc", "6.4.200.0") + "ENQUEUE ... [unknown transition]!\n" +
                            "ENQUEUE ... [Close]!\n" + first + "ENQUEUE ... [Close]!\n" + second + Totals);
  EXPECT_EQ(directoryContents(out), (std::map<std::string, std::string>{{"Valve.fdc", expected}}));
}

TEST_F(TransitionsEndToEndTest, LevelTwoSectionWithNodesAndChainsNamedByTransitionComments) {
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
  ToolRun run = convert("Pump.fdc", input, "6.5.341.0", summary(3, 2, 1) + Totals);
  EXPECT_EQ(run.output, startLines("Pump.fdc", "6.5.341.0") + "ENQUEUE ... [Idle to Run]!\n" +
                            "ENQUEUE ... [Run to Idle]!\n" + summary(3, 2, 1) + Totals);
  EXPECT_EQ(directoryContents(out), (std::map<std::string, std::string>{{"Pump.fdc", expected}}));
}
