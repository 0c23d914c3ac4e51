// Feeds arbitrary bytes through the whole per-file update. The first byte
// picks the generator level and whether an earlier output is kept.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "rewriter/line_io.h"
#include "rewriter/scan_state.h"
#include "update/update_file.h"

namespace {

struct Scratch {
  std::string directory;
  std::string input;
  std::string output;

  Scratch() {
    char pattern[] = "/tmp/velmarcov-fuzz-XXXXXX";
    directory = ::mkdtemp(pattern);
    input = directory + "/in.fdc";
    output = directory + "/out.fdc";
    // Messages are not what is being tested here.
    int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::close(null);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Scratch scratch;
  if (size == 0) return 0;
  const std::uint8_t control = data[0];
  std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  int fd = ::open(scratch.input.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0 || !writeAll(fd, bytes)) std::abort();
  ::close(fd);
  if ((control & 4) == 0) ::unlink(scratch.output.c_str());

  scanState = ScanState{};
  scanState.generatorLevel = control % 3;
  scanState.generatorVersion = "6.5.341.0";
  updateFile(scratch.input, scratch.output);
  return 0;
}
