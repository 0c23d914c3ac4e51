#include "messages/catalog.h"

#include <QCoreApplication>
#include <QString>

namespace {

const QString ToolName = QStringLiteral("VelmarCov");

// Stands for the outside text until the message has been converted, so the
// text's own bytes never pass through any conversion or placeholder filling.
constexpr char16_t OutsideMark = u'\uFDD0';

std::string toBytes(const QString& text) {
  QByteArray bytes = text.toLocal8Bit();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string withOutside(const QString& text, std::string_view outside) {
  std::string bytes = toBytes(text.arg(QString(QChar(OutsideMark))));
  const std::string mark = toBytes(QString(QChar(OutsideMark)));
  std::string result;
  result.reserve(bytes.size() + outside.size());
  std::size_t start = 0;
  for (std::size_t hit = bytes.find(mark); hit != std::string::npos; hit = bytes.find(mark, start)) {
    result.append(bytes, start, hit - start);
    result.append(outside);
    start = hit + mark.size();
  }
  result.append(bytes, start);
  return result;
}

}  // namespace

namespace catalog {

std::string usage() {
  return toBytes(QCoreApplication::translate(
      "Usage message the VelmarCov tool",
      "Usage: VelmarCov <dir in> <dir out> <version>\n\t<dir in> : Directory where code FDC files are "
      "located\n\t<dir out>: Directory for new FDC files\n\t<version> : Velmar Version number (ex: "
      "\"6.5.341.0\")"));
}

std::string filesUpdated(std::int32_t count) {
  return toBytes(QCoreApplication::translate("Usage message the VelmarCov tool", "%1: %2 FDC Files updated\n",
                                             "%1 is the name of the tool, %2 the amount of files computed")
                     .arg(ToolName)
                     .arg(static_cast<qint64>(count)));
}

std::string cannotOpenTranslation() {
  return toBytes(QCoreApplication::translate("Warning about the translator file load",
                                             "%1: Cannot Open the translation file",
                                             "%1 is the name of the tool")
                     .arg(ToolName));
}

std::string inputDirectory(std::string_view directory) {
  return withOutside(
      QCoreApplication::translate("Error message the VelmarCov tool", "%1: FDC Input Files Directory: %2\n",
                                  "%1 is the name of the tool,%2 the name of a directorie")
          .arg(ToolName),
      directory);
}

std::string outputDirectory(std::string_view directory) {
  return withOutside(
      QCoreApplication::translate("Error message the VelmarCov tool", "%1: FDC Output Files Directory: %2\n",
                                  "%1 is the name of the tool,%2 the name of a directorie")
          .arg(ToolName),
      directory);
}

std::string malformedVersion() {
  return toBytes(QCoreApplication::translate("Error message the VelmarCov tool",
                                             "%1: Malformed Version Number (x.y.z.t expected)\n",
                                             "%1 is the name of the tool")
                     .arg(ToolName));
}

std::string badMajorVersion() {
  return toBytes(QCoreApplication::translate("Error message the VelmarCov tool",
                                             "%1: Bad Version Number (6.5.x.y expected)\n",
                                             "%1 is the name of the tool")
                     .arg(ToolName));
}

std::string badMinorVersion() {
  return toBytes(QCoreApplication::translate("Error message the VelmarCov tool",
                                             "%1: Bad Version Number (6.5.104.y expected)\n",
                                             "%1 is the name of the tool")
                     .arg(ToolName));
}

std::string processing(std::string_view version) {
  return withOutside(QCoreApplication::translate("Error message the VelmarCov tool",
                                                 "Processing generated code from Velmar (ver:%1).\n",
                                                 "%1 is the version of the Velmar tool"),
                     version);
}

std::string analysing(std::string_view entryName) {
  return withOutside(QCoreApplication::translate("Error message the VelmarCov tool", "%1: analysing %2\n",
                                                 "%1 is the name of the tool, %2 the name of the FDC file")
                         .arg(ToolName),
                     entryName);
}

std::string unableToOpenFile(std::string_view path) {
  return withOutside(
      QCoreApplication::translate("Error message the VelmarCov tool", "%1: Unable to open the file %2 !\n",
                                  "%1 is the name of the tool, %2 the name of a file")
          .arg(ToolName),
      path);
}

std::string unableToCreateTemporary() {
  return toBytes(
      QCoreApplication::translate("Error message the VelmarCov tool",
                                  "%1: Unable to create a temporary file on the current directory!\n",
                                  "%1 is the name of the tool")
          .arg(ToolName));
}

std::string unableToCreateFile(std::string_view path) {
  return withOutside(
      QCoreApplication::translate("Error message the VelmarCov tool", "%1: Unable to create the file %2 !\n",
                                  "%1 is the name of the tool, %2 the name of a file")
          .arg(ToolName),
      path);
}

std::string upToDate() {
  return toBytes(QCoreApplication::translate("Error message the VelmarCov tool",
                                             "%1: the file is up to date\n",
                                             "%1 is the name of the tool,%2 the name of a file")
                     .arg(ToolName));
}

std::string noStatesAndTransitions() {
  return toBytes(QCoreApplication::translate("Error message the VelmarCov tool",
                                             "%1: No States and Transitions ... \n",
                                             "%1 is the name of the tool")
                     .arg(ToolName));
}

std::string sectionSummary(const SectionCounts& counts) {
  return toBytes(
      QCoreApplication::translate(
          "Work message the VelmarCov tool",
          "%1: Finding\n%2 Operation(s)\n%3 State(s)\n-> %4 EntryAction(s)\n,-> %5 ExitAction(s)\n%6 "
          "Transition(s)\n -> %7 Guard(s) \n%8 ChoicePoint(s)\n",
          "%1 is the name of the tool,%2 the amount of Operation,%3the amount of States;%4 The amount of "
          "enter "
          "state, %5 the amount of exit state, %6 the amount of transitions, %7 the amount of Guard, %8 the "
          "amount of choice points")
          // One pass fills every placeholder: a summary is made for every section.
          .arg(ToolName, QString::number(counts.operations), QString::number(counts.states),
               QString::number(counts.entryActions), QString::number(counts.exitActions),
               QString::number(counts.transitions), QString::number(counts.guards),
               QString::number(counts.choicePoints)));
}

std::string unableToOpenDirectory(std::string_view directory) {
  return withOutside(QCoreApplication::translate("Error message the VelmarCov tool",
                                                 "%1: Unable to open the directory %2 !\n",
                                                 "%1 is the name of the tool, %2 the name of a directory")
                         .arg(ToolName),
                     directory);
}

}  // namespace catalog
