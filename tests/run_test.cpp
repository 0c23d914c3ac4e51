#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

// Whole runs of the built tool on directories in and out, set up in a scratch directory per test.

namespace fs = std::filesystem;
using namespace std::string_literals;
using Files = std::map<std::string, std::string>;

namespace {

const std::string Plain = "LC_ALL=C QUARLODIR=/nonexistent ";
const std::string OutputLine = "VelmarCov: FDC Output Files Directory: out\n";
const std::string Dirs = "VelmarCov: FDC Input Files Directory: in\n" + OutputLine;
const std::string Start = Dirs + "Processing generated code from Velmar (ver:6.5.341.0).\n";
const std::string Summary =
    "VelmarCov: Finding\n0 Operation(s)\n1 State(s)\n-> 0 EntryAction(s)\n,-> 0 "
    "ExitAction(s)\n0 Transition(s)\n -> 0 Guard(s) \n0 ChoicePoint(s)\n";
const std::string UpToDate = "VelmarCov: the file is up to date\n";
std::string analysing(const std::string& name) { return "VelmarCov: analysing " + name + "\n"; }
std::string totals(int count) { return "VelmarCov: " + std::to_string(count) + " FDC Files updated\n"; }

void put(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
std::string get(const fs::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}
// Every entry of a directory with its bytes.
Files files(const fs::path& directory) {
  Files found;
  for (const auto& entry : fs::directory_iterator(directory)) {
    found[entry.path().filename()] = entry.is_directory() ? "<dir>" : get(entry);
  }
  return found;
}

struct Result {
  std::string out;
  int status;
  bool has(const std::string& text) const { return out.find(text) != std::string::npos; }
};
// The tool run by the shell on the words in arguments, after prefix (variables or commands).
Result tool(const std::string& arguments = "in out 6.5.341.0", const std::string& prefix = Plain) {
  std::string command = prefix;
  command.append("'" VELMARCOV_BINARY "' ").append(arguments).append(" >printed 2>&1");
  const int status = std::system(command.c_str());
  return {get("printed"), WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// One line that passes through unchanged; 3 MiB outgrow a pass kept in memory.
std::string filler(std::size_t bytes) { return "// " + std::string(bytes, 'x') + "\n"; }
const std::string Large = filler(3 << 20);

// The lines of a section of capsule P up to its first element marker.
std::string sectionHead(const std::string& fd, const std::string& lines = "") {
  return "VE 3\nFD " + fd + "\n@RIK\n   (\"&Functions\n    \"-&Exits\n    \"Functions and exits\n" + lines +
         "NODE TYPE=FILE NAME=\"P.cpp\"@@ALT@ {{{QZK classifier 'Logical View::P'\n";
}
// A section of capsule P with state S, queued and written after the capsule node line unless the
// behaviour function comes first, which has it written where it is found.
std::string section(const std::string& fd, const std::string& state = "S", const std::string& lines = "",
                    bool behaviourFirst = false) {
  return sectionHead(fd, lines) +
         (behaviourFirst ? "@NODE TYPE=FUNCTION NAME=\"void _ZOLTBehavior(P*)\"@b\n" : "") +
         "// {{{QZK state '" + state + "'\n@BRANCH MARK=TB ID=7 SUM=0@{\n}@/BRANCH@\n";
}
std::string converted(const std::string& fd, const std::string& state = "S", const std::string& lines = "",
                      bool behaviourFirst = false, const std::string& version = "6.5.341.0") {
  return "VE 3 Velmar " + version + "\nFD " + fd + "\n@RIK\n   (\"&States\"=0,\n    \"&Transitions\"=1),\n" +
         lines + "NODE TYPE=CAPSULE NAME=\"P\"@\n" + (behaviourFirst ? "\n" : "") +
         "\n@NODE TYPE=STATE NAME=\"" + state + "\"@State @BRANCH MARK=TB ID=7 SUM=0@'" + state +
         "'@/BRANCH@@/NODE@\n" + (behaviourFirst ? "" : "\n") + "@/NODE /RIK@\n";
}

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* directory : {"in", "out"}) fs::create_directories(root / directory);
    fs::current_path(root);
  }
  void TearDown() override { fs::remove_all(root); }
  const fs::path root = fs::temp_directory_path() / ("velmarcov-run-" + std::to_string(::getpid()));
};

}  // namespace

// None of these runs but the last reads an FDC file or leaves a file behind; a missing output
// directory gives up each file, with no summary, and is not made.
TEST_F(RunTest, WrongArgumentsRejectedVersionsAndUnreadableInputEndTheRun) {
  put("in/a.fdc", section("1"));
  const std::string usage =
      "Usage: VelmarCov <dir in> <dir out> <version>\n\t<dir in> : Directory where code FDC "
      "files are located\n\t<dir out>: Directory for new FDC files\n\t<version> : Velmar "
      "Version number (ex: \"6.5.341.0\")";
  const std::map<std::string, Result> runs = {
      {"", {usage + totals(0), 0}},
      {"in out 6.5.341", {Dirs + "VelmarCov: Malformed Version Number (x.y.z.t expected)\n", 255}},
      {"in out 5.9.999.0", {Dirs + "VelmarCov: Bad Version Number (6.5.x.y expected)\n", 255}},
      {"in out 6.5.102.7", {Dirs + "VelmarCov: Bad Version Number (6.5.104.y expected)\n", 255}}};
  for (const auto& [arguments, expected] : runs) {
    const Result result = tool(arguments);
    EXPECT_EQ(result.out, expected.out) << arguments;
    EXPECT_EQ(result.status, expected.status) << arguments;
  }
  const Result unreadable = tool("in/a.fdc out 6.5.341.0");
  EXPECT_TRUE(unreadable.status == 255 &&
              unreadable.out.ends_with(": Unable to open the directory in/a.fdc !\n"));
  EXPECT_TRUE(files("in") == (Files{{"a.fdc", section("1")}}) && files("out").empty());
  const Result noOutput = tool("in missing 6.5.341.0");
  EXPECT_TRUE(noOutput.has(analysing("a.fdc") + "VelmarCov: Unable to create the file missing/a.fdc !\n"));
  EXPECT_TRUE(noOutput.status == 0 && !noOutput.has("Finding") && !fs::exists("missing"));
}

// The exit status counts updated files up to 254, never wrapping to 0 nor reaching a rejection's
// 255. Descriptors are closed as each file ends (16 may be open), and NUL bytes are ordinary bytes.
TEST_F(RunTest, ManyFilesAndNulBytes) {
  for (int i = 0; i < 299; ++i) put("in/" + std::to_string(i) + ".fdc", section("1"));
  put("in/nul.fdc", section("1", "I\0dle"s, "pre\0amble\n"s) + "\0\n"s);
  const Result result = tool("in out 6.5.341.0", "ulimit -n 16; " + Plain);
  EXPECT_TRUE(result.status == 254 && result.out.ends_with(totals(300)));
  EXPECT_EQ(get("out/nul.fdc"), converted("1", "I\0dle"s, "pre\0amble\n"s));
}

// The line held back before a transition node still lies in the read buffer when the node's branch
// line runs over the end of the reader's first 256 KiB block; the refill must not overwrite it.
// Plain lines around the node write nothing, so the file without them gives the same output.
TEST_F(RunTest, HeldLineOutlivesTheRefillOfTheReadBuffer) {
  const std::string head = sectionHead("1");
  const std::string heldThenMarker = "  held();\n// {{{QZK transition 'T'\n";
  const std::string node = "@BRANCH MARK=TB ID=5 SUM=0@{\n}@/BRANCH@@/NODE@\n";
  const std::size_t branchLineStart = (256 << 10) - 8;
  put("in/padded.fdc", head +
                           filler(branchLineStart - head.size() - heldThenMarker.size() - filler(0).size()) +
                           heldThenMarker + node + filler(300 << 10));
  put("in/plain.fdc", head + heldThenMarker + node);
  tool();
  EXPECT_TRUE(get("out/plain.fdc").find("  held();\n@NODE TYPE=TRANSITION NAME=\"T\"") != std::string::npos);
  EXPECT_EQ(get("out/padded.fdc"), get("out/plain.fdc"));
}

// The run log replaces an earlier one only in a run that meets an FDC file, and keeps its working
// name when its final name is taken by a directory.
TEST_F(RunTest, RunLogHoldsTheSummariesAndTheTotals) {
  put("in/velcovstat.cov", "earlier run\n");
  EXPECT_EQ(tool().out, Start + totals(0));
  EXPECT_EQ(files("in"), (Files{{"velcovstat.cov", "earlier run\n"}}));
  put("in/a.fdc", section("1"));
  EXPECT_EQ(tool().out, Start + analysing("a.fdc") + Summary + totals(1));
  EXPECT_EQ(files("in"), (Files{{"a.fdc", section("1")}, {"velcovstat.cov", Summary + totals(1)}}));
  fs::remove("in/velcovstat.cov");
  fs::create_directories("in/velcovstat.cov/kept");
  EXPECT_EQ(tool().out, Start + analysing("a.fdc") + UpToDate + totals(0));
  EXPECT_EQ(files("in"),
            (Files{{"a.fdc", section("1")}, {"velcovstat.cov", "<dir>"}, {"velcovsync.cov", totals(0)}}));
}

// Sections go into one output in input order, their states queued or written at once; a section
// numbered like the old output ends the file, the ones before it replacing the old output in its mode.
// FD numbers are clamped to 32 bits, not wrapped; an up-to-date output whose name ends in '_' survives.
TEST_F(RunTest, UpToDateOutputsAndSections) {
  put("in/a.fdc", section("100", "A") + section("101", "B", "", true) + section("7") + section("102"));
  put("out/a.fdc", "VE 3\nFD 7\nold\n");
  fs::permissions("out/a.fdc", fs::perms(0600));
  put("in/b.fdc", section("2147483647"));
  put("out/b.fdc", "VE 3\nFD 99999999999\nold\n");
  put("in/c.fdc", section("100"));
  put("out/c.fdc", "VE 3\nFD 4294967396\nold\n");
  put("in/d.fdc_", section("5"));
  put("out/d.fdc_", "VE 3\nFD 5\nold\n");
  const Result result = tool();
  EXPECT_TRUE(result.has(analysing("a.fdc") + Summary + Summary + UpToDate));
  EXPECT_EQ(result.status, 2);
  EXPECT_TRUE(files("out") == (Files{{"a.fdc", converted("100", "A") + converted("101", "B", "", true)},
                                     {"b.fdc", "VE 3\nFD 99999999999\nold\n"},
                                     {"c.fdc", converted("100")},
                                     {"d.fdc_", "VE 3\nFD 5\nold\n"}}));
  EXPECT_EQ(fs::status("out/a.fdc").permissions(), fs::perms(0600));
}

// Under a limit of 200 kB per file, writes fail in an output replacing an old one, in a new output
// and in the scratch file of a section too large to stay in memory. Nothing is left of the new output.
TEST_F(RunTest, WriteErrorsLeaveOldOutputsAsTheyWere) {
  const std::string medium = section("1", "S", filler(600 << 10));
  for (const auto& [old, input] :
       Files{{"", medium}, {"old\n", medium}, {"older\n", section("1", "S", Large)}}) {
    fs::remove("out/a.fdc");
    if (!old.empty()) put("out/a.fdc", old);
    put("in/a.fdc", input);
    const Result result = tool("in out 6.5.341.0", "trap '' XFSZ; ulimit -f 400; " + Plain);
    EXPECT_EQ(result.out,
              Start + analysing("a.fdc") + "VelmarCov: Unable to create the file out/a.fdc !\n" + totals(0));
    EXPECT_TRUE(result.status == 0 && files("out") == (old.empty() ? Files{} : Files{{"a.fdc", old}}));
  }
}

// Each input is read to its end before its output replaces it, a numbered input is its own up-to-date
// output, and no file the run makes is taken as input (a.fdcx outgrows memory).
TEST_F(RunTest, SameInputAndOutputDirectory) {
  put("in/a.fdcx", section("-", "S", Large));
  put("in/c.fdc", section("5"));
  EXPECT_EQ(tool("in in 6.5.341.0").status, 1);
  EXPECT_TRUE(files("in") == (Files{{"a.fdcx", converted("-", "S", Large)},
                                    {"c.fdc", section("5")},
                                    {"velcovstat.cov", Summary + totals(1)}}));
}

// A link at an output or run log is replaced by a file and its target left alone, even a missing one.
TEST_F(RunTest, NothingIsWrittenThroughSymbolicLinks) {
  fs::create_directory("t");
  const Files targets = {{"output", "VE 3\nFD 5\nlinked\n"}, {"stat", "s\n"}, {"sync", "t\n"}};
  for (const auto& [name, bytes] : targets) put("t/" + name, bytes);
  put("in/a.fdc", section("1", "S", Large));
  put("in/b.fdc", section("1"));
  fs::create_symlink(root / "t/output", "out/a.fdc");
  fs::create_symlink(root / "t/missing", "out/b.fdc");
  fs::create_symlink(root / "t/stat", "in/velcovstat.cov");
  fs::create_symlink(root / "t/sync", "in/velcovsync.cov");
  EXPECT_EQ(tool().status, 2);
  EXPECT_EQ(files("t"), targets);
  EXPECT_TRUE(files("out") == (Files{{"a.fdc", converted("1", "S", Large)}, {"b.fdc", converted("1")}}));
  EXPECT_EQ(get("in/velcovstat.cov"), Summary + Summary + totals(2));
  EXPECT_FALSE(fs::is_symlink("in/velcovstat.cov") || fs::exists(fs::symlink_status("in/velcovsync.cov")));
}

// A new output is linked into place through /proc/self/fd; with that hidden it goes through a named
// file. The shell that hides it becomes the tool, so the pid is the tool's.
TEST_F(RunTest, NewOutputWithoutProcGoesThroughANamedFile) {
  const std::string hidden = "unshare -m sh -c 'mount -t tmpfs none /proc/$$/fd && exec env \"$@\"' sh ";
  if (std::system((hidden + "true").c_str()) != 0) GTEST_SKIP() << "needs a mount namespace";
  put("in/a.fdc", section("1"));
  EXPECT_EQ(tool("in out 6.5.341.0", hidden + Plain).status, 1);
  EXPECT_EQ(files("out"), (Files{{"a.fdc", converted("1")}}));
}

// Outside texts are used byte for byte, '%' and bytes above 127 included, whatever their length; a
// directory named like an FDC file abandons that entry alone.
TEST_F(RunTest, OutsideTextsAreTakenAsTheyAre) {
  const std::string in = "in%1 velcovsync.cov \xe9/", version = "6.5.341.0%1" + std::string(3000, 'x');
  fs::create_directories(in + "x%1.fdc");
  put(in + "P%2 \xe9.fdc", section("1"));
  const auto result =
      tool("'" + in + "' out " + version, "LC_ALL=C QUARLODIR=" + std::string(5000, 'q') + " ");
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(result.has("Directory: " + in + "\n" + OutputLine +
                         "Processing generated code from Velmar (ver:" + version + ").\n"));
  EXPECT_TRUE(result.has(analysing("P%2 \xe9.fdc") + Summary));
  EXPECT_TRUE(result.has(analysing("x%1.fdc") + "VelmarCov: Unable to open the file " + in + "/x%1.fdc !\n"));
  EXPECT_EQ(files("out"), (Files{{"P%2 \xe9.fdc", converted("1", "S", "", false, version)}}));
  EXPECT_EQ(get(in + "velcovstat.cov"), Summary + totals(1));
}

// Translations are looked up under an install directory of the test's own. The shipped French one
// changes every message of the run; another locale or none shows the source texts.
TEST_F(RunTest, Translations) {
  put("in/%1.fdc", "plain text\n");
  auto run = [](const std::string& lang) {
    return tool("in out 6.5.341.0", "LC_ALL= LC_MESSAGES= LANGUAGE= LANG=" + lang + " QUARLODIR=. ").out;
  };
  const std::string source =
      Start + analysing("%1.fdc") + "VelmarCov: No States and Transitions ... \n" + totals(0);
  EXPECT_EQ(run("fr_FR.UTF-8"), source);
  fs::create_directories("lib/locale");
  fs::copy_file(VELMARCOV_QM_DIR "/velmarcov_fr.qm", "lib/locale/velmarcov_fr.qm");
  EXPECT_EQ(run("de_DE.UTF-8"), source);
  const std::string french = "VelmarCov : 0 fichiers FDC mis à jour\n";
  EXPECT_EQ(run("fr_FR.UTF-8"),
            "VelmarCov : Répertoire des fichiers FDC d'entrée : in\nVelmarCov : Répertoire des "
            "fichiers FDC de sortie : out\nTraitement du code généré par Velmar (ver : 6.5.341.0)."
            "\nVelmarCov : analyse de %1.fdc\nVelmarCov : Aucun état ni transition ... \n" +
                french);
  EXPECT_EQ(get("in/velcovstat.cov"), french);
}
