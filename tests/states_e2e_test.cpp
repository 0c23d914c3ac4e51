#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "tests/e2e_support.h"

namespace fs = std::filesystem;

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

class StatesEndToEndTest : public ::testing::Test {
 protected:
  ScratchDirectory scratch;
  fs::path in = scratch.make("in");
  fs::path out = scratch.make("out");

  // Converts one file and checks what the run prints and leaves in the output directory.
  void expectConversion(const std::string& input, const std::string& version, const std::string& expected,
                        const std::string& summaries) {
    writeFile(in / "Pump.fdc", input);
    ToolRun run = runUntranslated({in.string(), out.string(), version});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, startLines(in.string(), out.string(), version) + "VelmarCov: analysing Pump.fdc\n" +
                              summaries + "VelmarCov: 1 FDC Files updated\n");
    EXPECT_EQ(directoryContents(out), (std::map<std::string, std::string>{{"Pump.fdc", expected}}));
    EXPECT_EQ(readFile(in / "velcovstat.cov"), summaries + "VelmarCov: 1 FDC Files updated\n");
  }
};

}  // namespace

TEST_F(StatesEndToEndTest, LevelTwoQueuedStatesFollowTheCapsuleLine) {
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

TEST_F(StatesEndToEndTest, LevelZeroQueuedSectionThenInlineSection) {
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

TEST_F(StatesEndToEndTest, LevelOneCrlfInputKeepsItsLineEnds) {
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
