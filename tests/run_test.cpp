#include <dirent.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/e2e_support.h"

namespace fs = std::filesystem;
using namespace std::string_literals;
using Contents = std::map<std::string, std::string>;

namespace {

const std::string Version = "6.5.341.0";
const std::string NoStates = "VelmarCov: No States and Transitions ... \n";
const std::string UpToDate = "VelmarCov: the file is up to date\n";
const std::string Usage =
    "Usage: VelmarCov <dir in> <dir out> <version>\n\t<dir in> : Directory where code FDC files are located\n"
    "\t<dir out>: Directory for new FDC files\n\t<version> : Velmar Version number (ex: \"6.5.341.0\")";
// The node line of the capsule's behaviour function: states found after it are written at once.
const std::string BehaviorLine = "@NODE TYPE=FUNCTION NAME=\"void _ZOLTBehavior(Pump*)\"@rtBehavior\n";

std::string directoryLines(const std::string& in, const std::string& out) {
  return "VelmarCov: FDC Input Files Directory: " + in + "\nVelmarCov: FDC Output Files Directory: " + out +
         "\n";
}

std::string analysing(const std::string& name) { return "VelmarCov: analysing " + name + "\n"; }
std::string totals(int count) { return "VelmarCov: " + std::to_string(count) + " FDC Files updated\n"; }
std::string unableToCreate(const std::string& path) {
  return "VelmarCov: Unable to create the file " + path + " !\n";
}

// The code of one state: its marker comment, then the branch line that opens its body.
std::string stateCode(const std::string& name, int branchId) {
  return "// {{{QZK state '" + name + "'\n@BRANCH MARK=TB ID=" + std::to_string(branchId) +
         " SUM=0@{\n  current = " + name + ";\n}@/BRANCH@\n";
}

// One section of an FDC file of generated capsule code.
struct Section {
  std::string fdLine = "FD 100\n";
  std::string capsule = "Pump";
  std::string preamble;  // lines between the view block and the file node, copied unchanged
  std::string body;      // the instrumented code after the file node
  std::string firstLine = "VE 3\n";

  std::string input() const {
    return firstLine + "FC 1\n" + fdLine + "TC 0\nDC 0\nIN " + capsule +
           ".cpp\n@RIK\nVIEW\n   (\"&Functions\"=0,\n" +
           "    \"-&Exits\"=1),\n    \"Functions and exits\"\n" + preamble + "NODE TYPE=FILE NAME=\"" +
           capsule + ".cpp\"@@ALT@ {{{QZK classifier 'Logical View::" + capsule + "'\n" + body;
  }
  // The converted section up to and including the capsule node line.
  std::string head(const std::string& version = Version) const {
    std::size_t end = firstLine.find_first_of("\r\n");
    return firstLine.substr(0, end) + " Velmar " + version + firstLine.substr(end) + "FC 1\n" + fdLine +
           "TC 0\nDC 0\n@RIK\nVIEW\n   (\"&States\"=0,\n    \"&Transitions\"=1),\n" + preamble +
           "NODE TYPE=CAPSULE NAME=\"" + capsule + "\"@\n";
  }
  // States queued during the section are written after the capsule node line.
  std::string queued(const std::string& stateNodes, const std::string& version = Version) const {
    return head(version) + stateNodes + "\n" + SectionTrailer;
  }
  // States found after the behaviour function line are written where they are found.
  std::string written(const std::string& stateNodes) const {
    return head() + "\n" + stateNodes + SectionTrailer;
  }
};

Section stateSection(const std::string& name, int branchId, const std::string& fdLine = "FD 100\n") {
  Section section;
  section.fdLine = fdLine;
  section.body = stateCode(name, branchId);
  return section;
}

// Entries containing ".fdc" in the order the system returns them, as the tool meets them.
std::vector<std::string> fdcEntries(const fs::path& directory) {
  std::vector<std::string> names;
  DIR* stream = ::opendir(directory.c_str());
  while (const dirent* entry = ::readdir(stream)) {
    std::string name = entry->d_name;
    if (name.find(".fdc") != std::string::npos) names.push_back(name);
  }
  ::closedir(stream);
  return names;
}

// What a run prints up to its totals: the start lines, then each entry in the order the tool meets
// it with the report made for it.
std::string transcript(const std::string& in, const fs::path& out,
                       const std::function<std::string(const std::string&)>& report) {
  std::string text = startLines(in, out.string());
  for (const std::string& name : fdcEntries(in)) text += analysing(name) + report(name);
  return text;
}

// Lines of filler code, about the given number of bytes, that pass through unchanged.
std::string filler(std::size_t bytes) {
  std::string text;
  for (int i = 0; text.size() < bytes; ++i)
    text += "// generated filler line " + std::to_string(i) + " ......\n";
  return text;
}

bool isSymlink(const fs::path& path) { return fs::is_symlink(fs::symlink_status(path)); }

class RunTest : public ::testing::Test {
 protected:
  ScratchDirectory scratch;
  fs::path in = scratch.make("in");
  fs::path out = scratch.make("out");
};

}  // namespace

// A wrong argument count prints the usage and the totals on one line; a rejected version ends the
// run after the directory lines. Neither touches a file.
TEST_F(RunTest, WrongArgumentCountOrRejectedVersionEndsTheRunEarly) {
  writeFile(in / "a.fdc", stateSection("Idle", 12).input());
  const Contents before = directoryContents(in);
  const std::vector<std::vector<std::string>> argumentLists = {
      {}, {in.string(), out.string()}, {in.string(), out.string(), Version, "extra"}};
  for (const auto& arguments : argumentLists) {
    ToolRun result = runUntranslated(arguments);
    EXPECT_EQ(result.output, Usage + totals(0));
    EXPECT_EQ(result.status, 0);
  }
  const std::map<std::string, std::string> messages = {
      {"6.5.341", "VelmarCov: Malformed Version Number (x.y.z.t expected)\n"},
      {"6.5", "VelmarCov: Malformed Version Number (x.y.z.t expected)\n"},
      {"5.9.999.0", "VelmarCov: Bad Version Number (6.5.x.y expected)\n"},
      {"6.5.102.7", "VelmarCov: Bad Version Number (6.5.104.y expected)\n"},
  };
  for (const auto& [version, message] : messages) {
    ToolRun result = runUntranslated({in.string(), out.string(), version});
    EXPECT_EQ(result.output, directoryLines(in.string(), out.string()) + message) << version;
    EXPECT_EQ(result.status, 255) << version;
  }
  EXPECT_EQ(directoryContents(in), before);
  EXPECT_TRUE(directoryContents(out).empty());
}

TEST_F(RunTest, DirectoryWithoutFdcFilesLeavesNoRunLog) {
  writeFile(in / "notes.txt", "not an FDC file\n");
  writeFile(in / "velcovstat.cov", "log of an earlier run\n");
  const Contents before = directoryContents(in);
  ToolRun result = runUntranslated({in.string(), out.string(), "6.5.341.0beta"});
  EXPECT_EQ(result.output, startLines(in.string(), out.string(), "6.5.341.0beta") + totals(0));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(directoryContents(in), before);
  EXPECT_TRUE(directoryContents(out).empty());
}

TEST_F(RunTest, InputDirectoryThatCannotBeOpenedEndsTheRun) {
  writeFile(scratch.path() / "plain.fdc", "VE 3\n");
  for (const fs::path& directory : {scratch.path() / "missing", scratch.path() / "plain.fdc"}) {
    ToolRun result = runUntranslated({directory.string(), out.string(), Version});
    EXPECT_EQ(result.output, startLines(directory.string(), out.string()) +
                                 "VelmarCov: Unable to open the directory " + directory.string() + " !\n");
    EXPECT_EQ(result.status, 255);
  }
  EXPECT_TRUE(directoryContents(out).empty());
  EXPECT_FALSE(fs::exists(scratch.path() / "missing"));
}

// Trailing "/", "%" and "sync.cov" in names are taken as they are; a directory named like an FDC
// file is a read error that abandons only that entry.
TEST_F(RunTest, NamesAreTakenAsTheyAreAndUnreadableEntriesAreAbandoned) {
  fs::path odd = scratch.make("in%1 velcovsync.cov");
  fs::path oddOut = scratch.make("out%2");
  writeFile(odd / "P%2%s.fdc", "VE 3\nplain code\n");
  writeFile(odd / "empty.fdc", "");
  writeFile(odd / "notes.txt", "skipped\n");
  fs::create_directory(odd / "x%1.fdc");
  writeFile(oddOut / "x%1.fdc", "existing output\n");
  const std::string inArgument = odd.string() + "/";
  auto report = [&](const std::string& name) {
    return name == "x%1.fdc" ? "VelmarCov: Unable to open the file " + inArgument + "/x%1.fdc !\n" : NoStates;
  };
  const std::string expected = transcript(inArgument, oddOut, report) + totals(0);
  ToolRun result = runUntranslated({inArgument, oddOut.string(), Version});
  EXPECT_EQ(result.output, expected);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(directoryContents(odd), (Contents{{"P%2%s.fdc", "VE 3\nplain code\n"},
                                              {"empty.fdc", ""},
                                              {"notes.txt", "skipped\n"},
                                              {"x%1.fdc", "<not a file>"},
                                              {"velcovstat.cov", totals(0)}}));
  EXPECT_EQ(directoryContents(oddOut), (Contents{{"x%1.fdc", "existing output\n"}}));
}

TEST_F(RunTest, RunLogThatCannotBeRenamedKeepsItsWorkingName) {
  writeFile(in / "a.fdc", "VE 3\n");
  fs::create_directory(in / "velcovstat.cov");
  writeFile(in / "velcovstat.cov" / "keep", "kept\n");
  ToolRun result = runUntranslated({in.string(), out.string(), Version});
  EXPECT_EQ(result.output, startLines(in.string(), out.string()) + analysing("a.fdc") + NoStates + totals(0));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(
      directoryContents(in),
      (Contents{{"a.fdc", "VE 3\n"}, {"velcovstat.cov", "<not a file>"}, {"velcovsync.cov", totals(0)}}));
  EXPECT_EQ(readFile(in / "velcovstat.cov" / "keep"), "kept\n");

  // A run log that cannot be created is left out without a word; the totals go to the screen only.
  fs::path blocked = scratch.make("blocked");
  writeFile(blocked / "a.fdc", "VE 3\n");
  writeFile(blocked / "b.fdc", "VE 3\n");
  fs::create_directory(blocked / "velcovsync.cov");
  writeFile(blocked / "velcovsync.cov" / "keep", "kept\n");
  const std::string expected =
      transcript(blocked.string(), out, [](const std::string&) { return NoStates; }) + totals(0);
  ToolRun unlogged = runUntranslated({blocked.string(), out.string(), Version});
  EXPECT_EQ(unlogged.output, expected);
  EXPECT_EQ(directoryContents(blocked),
            (Contents{{"a.fdc", "VE 3\n"}, {"b.fdc", "VE 3\n"}, {"velcovsync.cov", "<not a file>"}}));
  EXPECT_TRUE(directoryContents(out).empty());
}

// Every section with a counter set goes into one output, in input order, which replaces the old
// output once and keeps its permission bits.
TEST_F(RunTest, SectionsOfOneFileGoIntoOneOutputInOrder) {
  const Section first = stateSection("Idle", 12, "FD 100\n");
  Section second = stateSection("Run", 14, "FD 101\n");
  second.capsule = "Valve";
  second.body = BehaviorLine + stateCode("Run", 14) + stateCode("Stop", 15);
  Section third = stateSection("Idle", 12, "FD 102\n");
  third.body = "plain code\n";
  Section fourth = stateSection("Halt", 16, "FD 103\n");
  fourth.body += stateCode("Wait", 17);
  writeFile(in / "Pump.fdc", first.input() + second.input() + third.input() + fourth.input());
  writeFile(out / "Pump.fdc", "VE 3\nFD 55\nolder output\n");
  fs::permissions(out / "Pump.fdc", fs::perms(0640));
  ToolRun result = runUntranslated({in.string(), out.string(), Version});

  const std::string sections = sectionSummary(0, 1) + sectionSummary(0, 2) + NoStates + sectionSummary(0, 2);
  EXPECT_EQ(result.output,
            startLines(in.string(), out.string()) + analysing("Pump.fdc") + sections + totals(1));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(directoryContents(out),
            (Contents{{"Pump.fdc", first.queued(stateNode("Idle", 12)) +
                                       second.written(stateNode("Run", 14) + stateNode("Stop", 15)) +
                                       fourth.queued(stateNode("Halt", 16) + stateNode("Wait", 17))}}));
  EXPECT_EQ(fs::status(out / "Pump.fdc").permissions(), fs::perms(0640));
  EXPECT_EQ(readFile(in / "velcovstat.cov"),
            sectionSummary(0, 1) + sectionSummary(0, 2) + sectionSummary(0, 2) + totals(1));
}

TEST_F(RunTest, UpToDateSectionPutsEarlierSectionsInPlace) {
  const Section first = stateSection("Idle", 12, "FD 100\n");
  const Section current = stateSection("Run", 14, "FD 7\n");
  const Section later = stateSection("Stop", 15, "FD 101\n");
  writeFile(in / "Pump.fdc", first.input() + current.input() + later.input());
  writeFile(out / "Pump.fdc", "VE 3\nFD 7\nolder output\n");
  fs::permissions(out / "Pump.fdc", fs::perms(0600));
  ToolRun result = runUntranslated({in.string(), out.string(), Version});
  EXPECT_EQ(result.output, startLines(in.string(), out.string()) + analysing("Pump.fdc") +
                               sectionSummary(0, 1) + UpToDate + totals(1));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(directoryContents(out), (Contents{{"Pump.fdc", first.queued(stateNode("Idle", 12))}}));
  EXPECT_EQ(fs::status(out / "Pump.fdc").permissions(), fs::perms(0600));
}

// The numbers are compared after clamping to the 32-bit range, not after wrapping.
TEST_F(RunTest, FdNumbersBeyondThirtyTwoBitsCountAsTheNearestEnd) {
  const Section clamped = stateSection("Idle", 12, "FD 2147483647\n");
  const Section wrapped = stateSection("Run", 14, "FD 100\n");
  const Section fresh = stateSection("Stop", 15, "FD 0\n");
  writeFile(in / "a.fdc", clamped.input());
  writeFile(in / "b.fdc", wrapped.input());
  writeFile(in / "c.fdc", fresh.input());
  writeFile(out / "a.fdc", "VE 3\nFD 99999999999\nolder output\n");
  writeFile(out / "b.fdc", "VE 3\nFD 4294967396\nolder output\n");
  const std::string expected =
      transcript(in.string(), out,
                 [](const std::string& name) { return name == "b.fdc" ? sectionSummary(0, 1) : UpToDate; }) +
      totals(1);
  ToolRun result = runUntranslated({in.string(), out.string(), Version});
  EXPECT_EQ(result.output, expected);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(directoryContents(out), (Contents{{"a.fdc", "VE 3\nFD 99999999999\nolder output\n"},
                                              {"b.fdc", wrapped.queued(stateNode("Run", 14))}}));
}

// The output directory is mounted read-only, so nothing can be created in it: Pump.fdc is given up
// at its first section, without a summary and with its old output untouched, and Large.fdc, whose
// section is larger than a pass keeps in memory, at its temporary file.
TEST_F(RunTest, NewOutputOrTemporaryFileThatCannotBeCreatedAbandonsTheFile) {
  const std::string readOnly = "unshare -m sh -c 'mount -o bind,ro \"$0\" \"$0\" && exec env \"$@\"' " +
                               shellQuote(out.string()) + " ";
  if (std::system((readOnly + "true").c_str()) != 0) GTEST_SKIP() << "needs a mount namespace";
  const Section first = stateSection("Idle", 12, "FD 100\n");
  const Section second = stateSection("Run", 14, "FD 101\n");
  Section large = stateSection("Stop", 15);
  large.preamble = filler(3 * 1024 * 1024);
  writeFile(in / "Pump.fdc", first.input() + second.input());
  writeFile(in / "Large.fdc", large.input());
  writeFile(out / "Pump.fdc", "VE 3\nFD 55\nolder output\n");
  auto report = [&](const std::string& name) {
    return name == "Pump.fdc" ? unableToCreate((out / name).string())
                              : "VelmarCov: Unable to create a temporary file on the current directory!\n";
  };
  const std::string expected = transcript(in.string(), out, report) + totals(0);
  ToolRun result = runUntranslated({in.string(), out.string(), Version}, readOnly);
  EXPECT_EQ(result.output, expected);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(directoryContents(out), (Contents{{"Pump.fdc", "VE 3\nFD 55\nolder output\n"}}));
  EXPECT_EQ(readFile(in / "velcovstat.cov"), totals(0));
}

// Files of others beside the outputs, here directories at Pump.fd_ and Small.fd_, are left alone,
// also while a section too large to stay in memory goes through a temporary file; the output path
// of Dir.fdc is blocked by a directory.
TEST_F(RunTest, FilesBesideTheOutputAreLeftAloneAndABlockedOutputPathFails) {
  Section large = stateSection("Idle", 12);
  large.preamble = filler(3 * 1024 * 1024);
  const Section small = stateSection("Open", 20);
  writeFile(in / "Pump.fdc", small.input() + large.input());
  writeFile(in / "Dir.fdc", stateSection("Run", 14).input());
  writeFile(in / "Small.fdc", small.input());
  fs::create_directory(out / "Small.fd_");
  writeFile(out / "Pump.fdc", "older output\n");
  fs::create_directory(out / "Pump.fd_");
  writeFile(out / "Pump.fd_" / "keep", "kept\n");
  fs::create_directory(out / "Dir.fdc");
  writeFile(out / "Dir.fdc" / "keep", "kept\n");
  auto report = [&](const std::string& name) {
    if (name == "Pump.fdc") return sectionSummary(0, 1) + sectionSummary(0, 1);
    if (name == "Dir.fdc") return sectionSummary(0, 1) + unableToCreate((out / "Dir.fdc").string());
    return sectionSummary(0, 1);
  };
  const std::string expected = transcript(in.string(), out, report) + totals(2);
  ToolRun result = runUntranslated({in.string(), out.string(), Version});
  EXPECT_EQ(result.output, expected);
  EXPECT_EQ(result.status, 2);
  // Too large to print.
  EXPECT_TRUE(directoryContents(out) == (Contents{{"Pump.fdc", small.queued(stateNode("Open", 20)) +
                                                                   large.queued(stateNode("Idle", 12))},
                                                  {"Pump.fd_", "<not a file>"},
                                                  {"Dir.fdc", "<not a file>"},
                                                  {"Small.fdc", small.queued(stateNode("Open", 20))},
                                                  {"Small.fd_", "<not a file>"}}));
  EXPECT_EQ(readFile(out / "Pump.fd_" / "keep"), "kept\n");
  EXPECT_EQ(readFile(out / "Dir.fdc" / "keep"), "kept\n");
}

// An input read to its end before its output replaces it, and files the run creates (a.fdcx has
// the temporary name a.fdc_) are never taken as input.
TEST_F(RunTest, SameInputAndOutputDirectory) {
  Section large = stateSection("Idle", 12, "");
  large.preamble = filler(3 * 1024 * 1024);  // more than a pass keeps in memory
  const Section small = stateSection("Run", 14, "");
  Section numbered = stateSection("Stop", 15, "FD 100\n");
  writeFile(in / "a.fdcx", large.input());
  writeFile(in / "b.fdc", small.input());
  writeFile(in / "c.fdc", numbered.input());
  const std::string expected =
      transcript(in.string(), in,
                 [](const std::string& name) { return name == "c.fdc" ? UpToDate : sectionSummary(0, 1); }) +
      totals(2);
  ToolRun result = runUntranslated({in.string(), in.string(), Version});
  EXPECT_EQ(result.output, expected);
  EXPECT_EQ(result.status, 2);
  Contents contents = directoryContents(in);
  EXPECT_EQ(contents.size(), 4u);
  EXPECT_TRUE(contents["a.fdcx"] == large.queued(stateNode("Idle", 12)));  // too large to print
  EXPECT_EQ(contents["b.fdc"], small.queued(stateNode("Run", 14)));
  EXPECT_EQ(contents["c.fdc"], numbered.input());
  EXPECT_EQ(contents["velcovstat.cov"], sectionSummary(0, 1) + sectionSummary(0, 1) + totals(2));
}

// An output path ending in '_' never serves as its own temporary file (an up-to-date output would
// be lost); a file at a temporary path that a small section never needs is left alone.
TEST_F(RunTest, TemporaryFileBesideTheOutput) {
  Section pump = stateSection("Idle", 12);
  pump.preamble = filler(3 * 1024 * 1024);
  const Section valve = stateSection("Open", 30);
  const Section current = stateSection("Shut", 31);
  writeFile(in / "Pump.fdc_", pump.input());
  writeFile(in / "Valve.fdc", valve.input());
  writeFile(in / "Current.fdc_", current.input());
  writeFile(out / "Pump.fdc_", "older output\n");
  writeFile(out / "Valve.fd_", "stale temporary file\n");
  writeFile(out / "Current.fdc_", "VE 3\nFD 100\nup to date\n");
  auto report = [](const std::string& name) {
    return name == "Current.fdc_" ? UpToDate : sectionSummary(0, 1);
  };
  const std::string expected = transcript(in.string(), out, report) + totals(2);
  ToolRun result = runUntranslated({in.string(), out.string(), Version});
  EXPECT_EQ(result.output, expected);
  EXPECT_EQ(result.status, 2);
  EXPECT_TRUE(directoryContents(out) == (Contents{{"Pump.fdc_", pump.queued(stateNode("Idle", 12))},
                                                  {"Valve.fdc", valve.queued(stateNode("Open", 30))},
                                                  {"Valve.fd_", "stale temporary file\n"},
                                                  {"Current.fdc_", "VE 3\nFD 100\nup to date\n"}}));
}

TEST_F(RunTest, NothingIsWrittenThroughSymbolicLinks) {
  fs::path targets = scratch.make("targets");
  const Contents originals = {{"temporary", "t1\n"},
                              {"output", "VE 3\nFD 5\nlinked output\n"},
                              {"new", "t3\n"},
                              {"sync", "t4\n"},
                              {"stat", "t5\n"}};
  for (const auto& [name, bytes] : originals) writeFile(targets / name, bytes);
  Section pump = stateSection("Idle", 12);
  pump.preamble = filler(3 * 1024 * 1024);  // goes through the temporary file
  writeFile(in / "Pump.fdc", pump.input());
  fs::create_symlink(targets / "temporary", out / "Pump.fd_");
  fs::create_symlink(targets / "output", out / "Pump.fdc");
  fs::create_symlink(targets / "new", out / "velcovnew.tmp");
  fs::create_symlink(targets / "sync", in / "velcovsync.cov");
  fs::create_symlink(targets / "stat", in / "velcovstat.cov");
  fs::create_symlink(targets / "missing", out / "Dangling.fdc");
  ToolRun result = runUntranslated({in.string(), out.string(), Version});
  EXPECT_EQ(result.output,
            startLines(in.string(), out.string()) + analysing("Pump.fdc") + sectionSummary(0, 1) + totals(1));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(directoryContents(targets), originals);
  EXPECT_FALSE(isSymlink(out / "Pump.fdc"));
  EXPECT_FALSE(isSymlink(in / "velcovstat.cov"));
  EXPECT_TRUE(isSymlink(out / "Dangling.fdc"));
  // Links at names that are not the run's own are someone else's, and stay.
  EXPECT_TRUE(isSymlink(out / "Pump.fd_"));
  EXPECT_TRUE(isSymlink(out / "velcovnew.tmp"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(in / "velcovsync.cov")));
  EXPECT_TRUE(readFile(out / "Pump.fdc") == pump.queued(stateNode("Idle", 12)));  // too large to print
  EXPECT_EQ(readFile(in / "velcovstat.cov"), sectionSummary(0, 1) + totals(1));
}

// A new output is linked into place from a file without a name through /proc/self/fd. With
// that directory hidden it goes through a named file instead, with the same result and nothing
// left beside it. The shell that hides it becomes the tool, so the pid is the tool's.
TEST_F(RunTest, NewOutputWithoutProcGoesThroughANamedFile) {
  const std::string isolated = "unshare -m sh -c 'mount -t tmpfs none /proc/$$/fd && exec env \"$@\"' sh ";
  if (std::system((isolated + "true").c_str()) != 0) GTEST_SKIP() << "needs a mount namespace";
  const Section pump = stateSection("Idle", 12);
  const Section valve = stateSection("Open", 30);
  writeFile(in / "Pump.fdc", pump.input());
  writeFile(in / "Valve.fdc", valve.input());
  writeFile(out / "Valve.fdc", "older output\n");
  ToolRun result = runUntranslated({in.string(), out.string(), Version}, isolated);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(directoryContents(out), (Contents{{"Pump.fdc", pump.queued(stateNode("Idle", 12))},
                                              {"Valve.fdc", valve.queued(stateNode("Open", 30))}}));
}

// A file-size limit makes writes fail: in the new output (a.fdc, and d.fdc that has no output
// yet) and in the temporary file of a section too large to stay in memory (b.fdc). The outputs
// stay as they were, and d.fdc gets none.
TEST_F(RunTest, WriteErrorsLeaveTheOutputAsItWas) {
  Section medium = stateSection("Idle", 12);
  medium.preamble = filler(600 * 1024);
  Section large = stateSection("Run", 14);
  large.preamble = filler(3 * 1024 * 1024);
  const Section small = stateSection("Stop", 15);
  writeFile(in / "a.fdc", medium.input());
  writeFile(in / "b.fdc", large.input());
  writeFile(in / "c.fdc", small.input());
  writeFile(in / "d.fdc", medium.input());
  for (const char* name : {"a.fdc", "b.fdc", "c.fdc"}) writeFile(out / name, "older output\n");
  // 400 blocks of 512 bytes.
  auto report = [&](const std::string& name) {
    return name == "c.fdc" ? sectionSummary(0, 1) : unableToCreate((out / name).string());
  };
  const std::string expected = transcript(in.string(), out, report) + totals(1);
  ToolRun result = runUntranslated({in.string(), out.string(), Version}, "trap '' XFSZ; ulimit -f 400; ");
  EXPECT_EQ(result.output, expected);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(directoryContents(out), (Contents{{"a.fdc", "older output\n"},
                                              {"b.fdc", "older output\n"},
                                              {"c.fdc", small.queued(stateNode("Stop", 15))}}));
}

TEST_F(RunTest, NulBytesAreOrdinaryBytes) {
  Section section = stateSection("Id\0le"s, 12);
  section.firstLine = "VE 3\0tail\n"s;
  section.preamble = "pre\0amble\n"s;
  section.body += "\0\n"s;
  writeFile(in / "Pump.fdc", section.input());
  ToolRun result = runUntranslated({in.string(), out.string(), Version});
  EXPECT_EQ(result.output,
            startLines(in.string(), out.string()) + analysing("Pump.fdc") + sectionSummary(0, 1) + totals(1));
  EXPECT_EQ(directoryContents(out), (Contents{{"Pump.fdc", section.queued(stateNode("Id\0le"s, 12))}}));
}

TEST_F(RunTest, LongPathsVersionsAndInstallDirectories) {
  fs::path deepIn = in;
  fs::path deepOut = out;
  for (int i = 0; i < 14; ++i) {
    deepIn /= std::string(200, static_cast<char>('a' + i));
    deepOut /= std::string(200, static_cast<char>('A' + i));
  }
  fs::create_directories(deepIn);
  fs::create_directories(deepOut);
  const std::string name = std::string(240, 'p') + ".fdc";
  const std::string version = Version + std::string(3000, 'x');
  Section section = stateSection("Idle", 12);
  section.firstLine = "VE 3 " + std::string(5000, 'h') + "\r\n";
  writeFile(deepIn / name, section.input());
  ToolRun result = runTool({deepIn.string(), deepOut.string(), version},
                           "LC_ALL=C QUARLODIR=/" + std::string(5000, 'q') + " ");
  EXPECT_EQ(result.output, startLines(deepIn.string(), deepOut.string(), version) + analysing(name) +
                               sectionSummary(0, 1) + totals(1));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(directoryContents(deepOut), (Contents{{name, section.queued(stateNode("Idle", 12), version)}}));
  EXPECT_EQ(readFile(deepIn / "velcovstat.cov"), sectionSummary(0, 1) + totals(1));
}

// Inputs far beyond everyday sizes: a 50 MB line is handed on whole, and a file of 100,000 sections
// gives one output holding every section, in order.
TEST_F(RunTest, HugeLinesAndManySections) {
  Section wide = stateSection("Idle", 12);
  wide.preamble = "// " + std::string(50 * 1000 * 1000, 'w') + "\n";
  writeFile(in / "Wide.fdc", wide.input());
  std::string many;
  std::string manyExpected;
  std::string summaries;
  for (int i = 0; i < 100000; ++i) {
    Section section = stateSection("S" + std::to_string(i), i % 60000, "FD " + std::to_string(i + 1) + "\n");
    many += section.input();
    manyExpected += section.queued(stateNode("S" + std::to_string(i), i % 60000));
    summaries += sectionSummary(0, 1);
  }
  writeFile(in / "Many.fdc", many);
  auto report = [&](const std::string& name) {
    return name == "Many.fdc" ? summaries : sectionSummary(0, 1);
  };
  const std::string expected = transcript(in.string(), out, report) + totals(2);
  ToolRun result = runUntranslated({in.string(), out.string(), Version});
  EXPECT_TRUE(result.output == expected);
  EXPECT_EQ(result.status, 2);
  Contents contents = directoryContents(out);
  EXPECT_EQ(contents.size(), 2u);
  EXPECT_TRUE(contents["Wide.fdc"] == wide.queued(stateNode("Idle", 12)));
  EXPECT_TRUE(contents["Many.fdc"] == manyExpected);
}

// 10,000 files, some named with every byte but '/' and NUL; random bytes and a file whose last line
// has no line end among them. More than 254 files are updated, so the exit status stops at 254.
TEST_F(RunTest, ManyFilesOddNamesAndOddBytes) {
  std::map<std::string, std::string> expectedOutputs;
  auto add = [&](const std::string& name, const Section& section, const std::string& stateName, int id) {
    writeFile(in / name, section.input());
    expectedOutputs[name] = section.queued(stateNode(stateName, id));
  };
  for (int i = 0; i < 10000; ++i)
    add("File" + std::to_string(i) + ".fdc", stateSection("Idle", i % 500), "Idle", i % 500);
  std::string bytes;
  for (int c = 1; c < 256; ++c) {
    if (c != '/') bytes += static_cast<char>(c);
  }
  for (std::size_t start = 0; start < bytes.size(); start += 200)
    add(bytes.substr(start, 200) + ".fdc", stateSection("Odd", 7), "Odd", 7);

  Section truncated = stateSection("Cut", 9);
  truncated.body.pop_back();
  add("Truncated.fdc", truncated, "Cut", 9);
  std::string noise(64 * 1024, '\0');
  std::uint32_t seed = 12345;
  for (char& c : noise) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  writeFile(in / "Noise.fdc", noise);

  ToolRun result = runUntranslated({in.string(), out.string(), Version});
  const int updated = static_cast<int>(expectedOutputs.size());
  EXPECT_EQ(result.status, 254);
  EXPECT_TRUE(result.output.ends_with(totals(updated)));
  Contents contents = directoryContents(out);
  contents.erase("Noise.fdc");
  EXPECT_TRUE(contents == expectedOutputs);
}
