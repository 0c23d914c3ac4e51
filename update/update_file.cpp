#include "update/update_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "driver/run_log.h"
#include "messages/catalog.h"
#include "messages/console.h"
#include "rewriter/handlers.h"
#include "rewriter/scan_state.h"
#include "rewriter/text.h"
#include "update/fresh_file.h"
#include "update/merge_states.h"

namespace {

// A pass's text stays in memory up to this size and only larger sections go
// through the temporary file.
constexpr std::size_t PassSpillSize = 1024 * 1024;
constexpr std::size_t OutputFlushSize = 256 * 1024;

std::string directoryOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Scratch files live beside the output, so that a new output is renamed into
// place on the same file system. Their names begin with ".velcov" and end in a
// random part that no other run picks, and never contain ".fdc", so a later
// run over the directory does not take a file left by a killed run as input.
std::string scratchStem(const std::string& outputPath, std::string_view role) {
  std::string stem = directoryOf(outputPath);
  stem += "/.velcov";
  stem += role;
  stem += '.';
  return stem;
}

// Copies a file from its start, block by block as the line reader hands it on.
bool copyFromStart(int fd, Output& output) {
  if (::lseek(fd, 0, SEEK_SET) != 0) return false;
  LineReader reader(fd);
  for (Line lines; reader.nextLines(lines);) output.writeBlock(lines.text());
  return !reader.failed();
}

// A file this call creates beside the output (a pass's temporary file or the
// new output), with the bytes not yet written to it; removed unless put in place.
// Only a file this call has created is ever removed.
struct ScratchFile {
  explicit ScratchFile(std::string nameStem) : stem(std::move(nameStem)) {}
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  ~ScratchFile() { discard(); }

  bool create(std::size_t flushAt) {
    fd = createUniqueFile(stem, path);
    if (fd < 0) return false;
    text = std::make_unique<Output>(fd, flushAt);
    return true;
  }
  // Most passes fit in memory, and creating a file costs more than reading
  // and rewriting a typical section, so the file is made only when needed.
  void createOnSpill(std::size_t flushAt) {
    text = std::make_unique<Output>(
        [this] {
          fd = createUniqueFile(stem, path);
          return fd;
        },
        flushAt);
  }
  // A file without a name in the directory, which no one sees before it is
  // linked into place whole.
  bool createUnnamed(const std::string& directory, std::size_t flushAt) {
    fd = ::open(directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    unnamed = true;
    text = std::make_unique<Output>(fd, flushAt);
    return true;
  }
  void discard() {
    if (fd < 0) return;
    ::close(fd);
    if (!unnamed) ::unlink(path.c_str());
    fd = -1;
  }
  // Renames the file over outputPath, keeping the permission bits of the
  // regular file it replaces; a file without a name is linked there instead.
  bool putInPlace(const std::string& outputPath) {
    if (unnamed) return linkInPlace(outputPath);
    struct stat replaced {};
    if (::lstat(outputPath.c_str(), &replaced) == 0 && S_ISREG(replaced.st_mode)) {
      ::fchmod(fd, replaced.st_mode & 07777);
    }
    bool written = text->flush();
    written = ::close(fd) == 0 && written;
    fd = -1;
    if (written && ::rename(path.c_str(), outputPath.c_str()) == 0) return true;
    ::unlink(path.c_str());
    return false;
  }

  // Without /proc, or with a file that has appeared at outputPath since, the
  // bytes are copied into a named file, which is renamed there as usual.
  bool linkInPlace(const std::string& outputPath) {
    bool written = text->flush();
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    if (written && ::linkat(AT_FDCWD, link.c_str(), AT_FDCWD, outputPath.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      written = ::close(fd) == 0;
      fd = -1;
      return written;
    }
    ScratchFile named(stem);
    const bool copied = written && named.create(OutputFlushSize) && copyFromStart(fd, *named.text);
    discard();
    return copied && named.putInPlace(outputPath);
  }

  std::string stem;
  std::string path;
  int fd = -1;
  bool unnamed = false;
  std::unique_ptr<Output> text;
};

// Linking a whole file into place costs less than renaming one over a name,
// so a new output that replaces no file is made without a name.
bool createNewOutput(ScratchFile& file, const std::string& outputPath, bool outputMissing) {
  return (outputMissing && file.createUnnamed(directoryOf(outputPath), OutputFlushSize)) ||
         file.create(OutputFlushSize);
}

// Adds a finished pass to the new output: sections whose state nodes were
// written inline go in as they are, the others through the merge.
bool appendPass(ScratchFile& pass, Output& output) {
  bool inline_ = scanState.behaviorMark > scanState.stateListLength;
  if (!pass.text->spilled()) {
    if (inline_) {
      output.writeBlock(pass.text->text());
    } else {
      mergeStates(pass.text->text(), output);
    }
    return true;
  }
  if (!pass.text->flush()) return false;
  if (inline_) return copyFromStart(pass.fd, output);
  if (::lseek(pass.fd, 0, SEEK_SET) != 0) return false;
  LineReader reader(pass.fd);
  mergeStates(reader, output);
  return !reader.failed();
}

void reportSection() {
  std::string summary = catalog::sectionSummary(
      {scanState.operationCount, scanState.stateCount, scanState.entryActionCount, scanState.exitActionCount,
       scanState.transitionCount, scanState.guardCount, scanState.choicePointCount});
  printText(summary);
  writeToRunLog(summary);
}

}  // namespace

std::int32_t readFdNumber(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return 0;
  std::int32_t number = 0;
  LineReader reader(fd);
  Line line;
  while (reader.next(line)) {
    if (beginsWith(line.text(), "FD ")) {
      parseDecimal(line.text().substr(3), number);
      break;
    }
  }
  ::close(fd);
  return number;
}

int updateFile(const std::string& inputPath, const std::string& outputPath) {
  scanState.rewriteState = RewriteState::SectionStart;
  scanState.resetSectionCounters();
  // A missing output has no number; knowing that it is missing also lets the
  // new output be made without a name, from this one look-up.
  struct stat existing {};
  const bool outputMissing = ::lstat(outputPath.c_str(), &existing) != 0 && errno == ENOENT;
  scanState.existingFdNumber = outputMissing ? 0 : readFdNumber(outputPath);

  int inputFd = ::open(inputPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (inputFd < 0) {
    printText(catalog::unableToOpenFile(inputPath));
    return 0;
  }
  LineReader input(inputFd);
  // Open only once a section has gone into it.
  ScratchFile newOutput(scratchStem(outputPath, "new"));
  const std::string passStem = scratchStem(outputPath, "pass");
  bool failed = false;

  for (int passResult = 0;;) {
    ScratchFile pass(passStem);
    pass.createOnSpill(PassSpillSize);
    if (passResult == 1) startSection(scanState.lineBuffer, *pass.text);
    passResult = rewriteSection(input, *pass.text);

    if (input.failed()) {
      printText(catalog::unableToOpenFile(inputPath));
      failed = true;
      break;
    }
    // The sections before this one alone would make an output that lacks the rest.
    if (pass.text->openFailed()) {
      printText(catalog::unableToCreateTemporary());
      failed = true;
      break;
    }
    if (scanState.anyCounterSet()) {
      // A section that has nowhere to go is lost like one whose writing failed,
      // and the file is given up: its other sections alone would make an
      // output that lacks this one. Its bytes are written out before its
      // summary is printed, so that a full disk never follows a summary.
      if ((newOutput.fd < 0 && !createNewOutput(newOutput, outputPath, outputMissing)) ||
          !appendPass(pass, *newOutput.text) || pass.text->failed() || !newOutput.text->flush()) {
        printText(catalog::unableToCreateFile(outputPath));
        failed = true;
        break;
      }
      pass.discard();
      reportSection();
    } else {
      pass.discard();
      if (passResult == 2) {
        printText(catalog::upToDate());
        break;
      }
      printText(catalog::noStatesAndTransitions());
    }
    if (passResult == 0) break;
  }
  ::close(inputFd);

  if (failed || newOutput.fd < 0) return 0;
  if (!newOutput.putInPlace(outputPath)) {
    printText(catalog::unableToCreateFile(outputPath));
    return 0;
  }
  return 1;
}
