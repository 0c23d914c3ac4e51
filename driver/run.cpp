#include "driver/run.h"

#include <dirent.h>

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/run_log.h"
#include "driver/version.h"
#include "messages/catalog.h"
#include "messages/console.h"
#include "rewriter/scan_state.h"
#include "update/update_file.h"

namespace {

constexpr int RejectedStatus = 255;
// The status keeps only 8 bits: a count taken as it is would wrap to 0 at 256
// updated files and read as a rejected run at 255, so it stops below that.
constexpr std::int32_t MostUpdatedStatus = 254;

QString translationsDirectory() {
  std::string directory;
  if (const char* install = std::getenv("QUARLODIR")) {
    directory = install;
    directory += "/././.";
  }
  directory += "/lib/locale/";
  return QString::fromLocal8Bit(directory.data(), static_cast<qsizetype>(directory.size()));
}

// Entry names are read in full before the first file is touched, so the
// files this run creates are never taken as its input.
bool listFdcEntries(const char* directory, std::vector<std::string>& names) {
  DIR* stream = ::opendir(directory);
  if (stream == nullptr) return false;
  while (const dirent* entry = ::readdir(stream)) {
    std::string_view name(entry->d_name);
    if (name.find(".fdc") != std::string_view::npos) names.emplace_back(name);
  }
  ::closedir(stream);
  return true;
}

}  // namespace

int runVelmarCov(int& argc, char** argv) {
  std::int32_t updated = 0;
  QCoreApplication application(argc, argv);
  QTranslator translator;
  const QString translationFile = QStringLiteral("velmarcov_") + QLocale::system().name();
  if (translator.load(translationFile, translationsDirectory())) {
    QCoreApplication::installTranslator(&translator);
  } else {
    // The warning is composed but not shown: running untranslated is the normal case.
    catalog::cannotOpenTranslation();
  }

  if (argc != 4) {
    printText(catalog::usage());
  } else {
    const std::string_view inputDirectory(argv[1]);
    const std::string_view outputDirectory(argv[2]);
    printText(catalog::inputDirectory(inputDirectory));
    printText(catalog::outputDirectory(outputDirectory));

    VersionVerdict verdict = classifyVersion(argv[3]);
    if (verdict.result == VersionVerdict::Malformed) {
      printText(catalog::malformedVersion());
      return RejectedStatus;
    }
    scanState.generatorVersion = argv[3];
    if (verdict.result == VersionVerdict::BadMajor) {
      printText(catalog::badMajorVersion());
      return RejectedStatus;
    }
    if (verdict.result == VersionVerdict::BadMinor) {
      printText(catalog::badMinorVersion());
      return RejectedStatus;
    }
    scanState.generatorLevel = verdict.generatorLevel;
    printText(catalog::processing(scanState.generatorVersion));

    std::vector<std::string> entries;
    if (!listFdcEntries(argv[1], entries)) {
      printText(catalog::unableToOpenDirectory(inputDirectory));
      return RejectedStatus;
    }
    for (const std::string& name : entries) {
      openRunLog(inputDirectory);
      std::string inputPath(inputDirectory);
      inputPath += '/';
      inputPath += name;
      printText(catalog::analysing(name));
      std::string outputPath(outputDirectory);
      outputPath += '/';
      outputPath += name;
      updated += updateFile(inputPath, outputPath);
    }
  }

  std::string totals = catalog::filesUpdated(updated);
  printText(totals);
  writeToRunLog(totals);
  closeRunLog();
  return std::min(updated, MostUpdatedStatus);
}
