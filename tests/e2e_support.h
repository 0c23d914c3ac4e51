#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

// Runs the built tool on real directories, as a user would.

struct ToolRun {
  std::string output;
  int status = -1;
};

inline std::string shellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// prefix is put in front of the command, e.g. "LANG=fr_FR.UTF-8 " or "ulimit -f 1; ".
inline ToolRun runTool(const std::vector<std::string>& arguments, const std::string& prefix = "") {
  std::string command = prefix + shellQuote(VELMARCOV_BINARY);
  for (const std::string& argument : arguments) command += " " + shellQuote(argument);
  command += " 2>&1";
  ToolRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char chunk[4096];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) run.output.append(chunk, got);
  int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Every file of a directory (not recursive) with its bytes.
inline std::map<std::string, std::string> directoryContents(const std::filesystem::path& directory) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    contents[entry.path().filename().string()] =
        entry.is_regular_file() ? readFile(entry.path()) : "<not a file>";
  }
  return contents;
}

// A fresh directory under the system's temporary directory, removed afterwards.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmarcov-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path make(const std::string& name) const {
    std::filesystem::create_directories(path_ / name);
    return path_ / name;
  }

 private:
  std::filesystem::path path_;
};

// Texts the tool writes, as the tests expect them untranslated.

inline const std::string SectionTrailer = "@/NODE /RIK@\n";

// A run in which no translation can be found, so every message shows its source text.
inline ToolRun runUntranslated(const std::vector<std::string>& arguments, const std::string& prefix = "") {
  return runTool(arguments, prefix + "LC_ALL=C QUARLODIR=/nonexistent ");
}

inline std::string sectionSummary(int operations, int states, int entries = 0, int exits = 0,
                                  int transitions = 0, int guards = 0, int choicePoints = 0) {
  auto n = [](int value) { return std::to_string(value); };
  return "VelmarCov: Finding\n" + n(operations) + " Operation(s)\n" + n(states) + " State(s)\n-> " +
         n(entries) + " EntryAction(s)\n,-> " + n(exits) + " ExitAction(s)\n" + n(transitions) +
         " Transition(s)\n -> " + n(guards) + " Guard(s) \n" + n(choicePoints) + " ChoicePoint(s)\n";
}

inline std::string stateNode(const std::string& name, int branchId) {
  return "\n@NODE TYPE=STATE NAME=\"" + name + "\"@State @BRANCH MARK=TB ID=" + std::to_string(branchId) +
         " SUM=0@'" + name + "'@/BRANCH@@/NODE@\n";
}

// The lines every accepted run starts with.
inline std::string startLines(const std::string& in, const std::string& out,
                              const std::string& version = "6.5.341.0") {
  return "VelmarCov: FDC Input Files Directory: " + in + "\nVelmarCov: FDC Output Files Directory: " + out +
         "\nProcessing generated code from Velmar (ver:" + version + ").\n";
}
