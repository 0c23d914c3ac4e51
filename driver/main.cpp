#include <QtGlobal>
#include <cstdio>

#include "driver/run.h"

namespace {

// The toolkit's own diagnostics would go to standard error, which the tool never writes.
void ignoreToolkitMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(ignoreToolkitMessage);
  int status = runVelmarCov(argc, argv);
  std::fflush(stdout);
  return status;
}
