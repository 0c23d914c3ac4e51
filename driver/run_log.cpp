#include "driver/run_log.h"

#include <unistd.h>
#include <cstdio>
#include <memory>
#include <string>

#include "rewriter/line_io.h"
#include "rewriter/scan_state.h"
#include "update/fresh_file.h"

namespace {

constexpr std::string_view SyncName = "velcovsync.cov";
constexpr std::string_view FinalName = "velcovstat.cov";
constexpr std::size_t RunLogFlushSize = 64 * 1024;

}  // namespace

void openRunLog(std::string_view directory) {
  if (scanState.runLog >= 0) return;
  std::string path(directory);
  path += '/';
  path += SyncName;
  int fd = createFreshFile(path.c_str());
  if (fd < 0) return;
  scanState.runLog = fd;
  scanState.runLogText = std::make_unique<Output>(fd, RunLogFlushSize);
  scanState.runLogPath = std::move(path);
}

void writeToRunLog(std::string_view bytes) {
  if (scanState.runLog >= 0) scanState.runLogText->write(bytes);
}

void closeRunLog() {
  if (scanState.runLog < 0 || scanState.runLogPath.empty()) return;
  std::string finalPath = scanState.runLogPath;
  finalPath.replace(finalPath.size() - SyncName.size(), SyncName.size(), FinalName);
  scanState.runLogText->flush();
  scanState.runLogText.reset();
  ::close(scanState.runLog);
  scanState.runLog = -1;
  // A run log that cannot get its final name keeps its working name rather than being lost.
  std::rename(scanState.runLogPath.c_str(), finalPath.c_str());
  scanState.runLogPath.clear();
}
