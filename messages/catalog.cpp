#include "messages/catalog.h"

#include <QCoreApplication>
#include <QString>
#include <initializer_list>
#include <optional>
#include <vector>

namespace {

const QString ToolName = QStringLiteral("VelmarCov");

// Mark i stands for outside text i until the message has been converted, so
// the texts' own bytes never pass through any conversion or placeholder filling.
constexpr char16_t FirstOutsideMark = u'\uFDD0';

QString outsideMark(std::size_t outside) {
  return QString(QChar(static_cast<char16_t>(FirstOutsideMark + outside)));
}

std::string toBytes(const QString& text) {
  QByteArray bytes = text.toLocal8Bit();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// A converted message cut at the marks of its outside texts: each piece but
// the last is followed by the outside text that `outsides` names for it.
struct CutMessage {
  std::vector<std::string> pieces;
  std::vector<std::size_t> outsides;
};

CutMessage cutAtMarks(const QString& marked, std::size_t outsideCount) {
  const std::string bytes = toBytes(marked);
  std::vector<std::string> marks;
  for (std::size_t outside = 0; outside < outsideCount; ++outside)
    marks.push_back(toBytes(outsideMark(outside)));
  CutMessage message;
  for (std::size_t start = 0;;) {
    std::size_t hit = std::string::npos;
    std::size_t outside = 0;
    for (std::size_t i = 0; i < outsideCount; ++i) {
      const std::size_t at = bytes.find(marks[i], start);
      if (at < hit) {
        hit = at;
        outside = i;
      }
    }
    message.pieces.push_back(bytes.substr(start, hit - start));
    if (hit == std::string::npos) return message;
    message.outsides.push_back(outside);
    start = hit + marks[outside].size();
  }
}

std::string filled(const CutMessage& message, std::initializer_list<std::string_view> outsides) {
  std::size_t size = 0;
  for (const std::string& piece : message.pieces) size += piece.size();
  for (std::size_t outside : message.outsides) size += outsides.begin()[outside].size();
  std::string result;
  result.reserve(size);
  for (std::size_t i = 0; i < message.outsides.size(); ++i) {
    result += message.pieces[i];
    result += outsides.begin()[message.outsides[i]];
  }
  result += message.pieces.back();
  return result;
}

std::string withOutside(const QString& text, std::string_view outside) {
  return filled(cutAtMarks(text.arg(outsideMark(0)), 1), {outside});
}

// The cut of a message that comes once per section or per file, made anew
// only when its translation changes: filling and converting it through the
// toolkit each time cost more than rewriting a small section.
class KeptMessage {
 public:
  // mark(translation) fills the translation's placeholders, with the marks of
  // the outside texts for those texts.
  template <typename Mark>
  const CutMessage& cut(const QString& translation, std::size_t outsideCount, Mark mark) {
    if (!cut_ || translation != translation_) {
      translation_ = translation;
      cut_ = cutAtMarks(mark(translation), outsideCount);
    }
    return *cut_;
  }

 private:
  QString translation_;
  std::optional<CutMessage> cut_;
};

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
  static KeptMessage kept;
  const QString translation =
      QCoreApplication::translate("Error message the VelmarCov tool", "%1: analysing %2\n",
                                  "%1 is the name of the tool, %2 the name of the FDC file");
  return filled(
      kept.cut(translation, 1, [](const QString& text) { return text.arg(ToolName).arg(outsideMark(0)); }),
      {entryName});
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
  static KeptMessage kept;
  const QString translation = QCoreApplication::translate(
      "Work message the VelmarCov tool",
      "%1: Finding\n%2 Operation(s)\n%3 State(s)\n-> %4 EntryAction(s)\n,-> %5 ExitAction(s)\n%6 "
      "Transition(s)\n -> %7 Guard(s) \n%8 ChoicePoint(s)\n",
      "%1 is the name of the tool,%2 the amount of Operation,%3the amount of States;%4 The amount of "
      "enter "
      "state, %5 the amount of exit state, %6 the amount of transitions, %7 the amount of Guard, %8 the "
      "amount of choice points");
  // The counts go in as outside texts: their digits are the same in every encoding.
  const CutMessage& cut = kept.cut(translation, 7, [](const QString& text) {
    // One pass fills every placeholder.
    return text.arg(ToolName, outsideMark(0), outsideMark(1), outsideMark(2), outsideMark(3), outsideMark(4),
                    outsideMark(5), outsideMark(6));
  });
  return filled(cut, {std::to_string(counts.operations), std::to_string(counts.states),
                      std::to_string(counts.entryActions), std::to_string(counts.exitActions),
                      std::to_string(counts.transitions), std::to_string(counts.guards),
                      std::to_string(counts.choicePoints)});
}

std::string unableToOpenDirectory(std::string_view directory) {
  return withOutside(QCoreApplication::translate("Error message the VelmarCov tool",
                                                 "%1: Unable to open the directory %2 !\n",
                                                 "%1 is the name of the tool, %2 the name of a directory")
                         .arg(ToolName),
                     directory);
}

}  // namespace catalog
