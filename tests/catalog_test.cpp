#include "messages/catalog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// No translator is installed in this binary, so every message shows its source text. Messages that
// take an outside text are checked in OutsideTextsAreInsertedByteForByte.
TEST(CatalogTest, SourceTextsWithoutTranslator) {
  EXPECT_EQ(
      catalog::usage(),
      "Usage: VelmarCov <dir in> <dir out> <version>\n\t<dir in> : Directory where code FDC files are "
      "located\n"
      "\t<dir out>: Directory for new FDC files\n\t<version> : Velmar Version number (ex: \"6.5.341.0\")");
  EXPECT_EQ(catalog::filesUpdated(0), "VelmarCov: 0 FDC Files updated\n");
  EXPECT_EQ(catalog::filesUpdated(-2147483647 - 1), "VelmarCov: -2147483648 FDC Files updated\n");
  EXPECT_EQ(catalog::cannotOpenTranslation(), "VelmarCov: Cannot Open the translation file");
  EXPECT_EQ(catalog::malformedVersion(), "VelmarCov: Malformed Version Number (x.y.z.t expected)\n");
  EXPECT_EQ(catalog::badMajorVersion(), "VelmarCov: Bad Version Number (6.5.x.y expected)\n");
  EXPECT_EQ(catalog::badMinorVersion(), "VelmarCov: Bad Version Number (6.5.104.y expected)\n");
  EXPECT_EQ(catalog::unableToCreateTemporary(),
            "VelmarCov: Unable to create a temporary file on the current directory!\n");
  // The comment names a "%2" that the text does not hold: no file name is printed.
  EXPECT_EQ(catalog::upToDate(), "VelmarCov: the file is up to date\n");
  EXPECT_EQ(catalog::noStatesAndTransitions(), "VelmarCov: No States and Transitions ... \n");
}

// Every counter lands in its own place, and the largest 16-bit value is not wrapped.
TEST(CatalogTest, SectionSummaryKeepsItsLineStructure) {
  const SectionCounts all{1, 2, 3, 4, 5, 6, 65535};
  EXPECT_EQ(catalog::sectionSummary(all),
            "VelmarCov: Finding\n1 Operation(s)\n2 State(s)\n-> 3 EntryAction(s)\n,-> 4 ExitAction(s)\n"
            "5 Transition(s)\n -> 6 Guard(s) \n65535 ChoicePoint(s)\n");
}

TEST(CatalogTest, OutsideTextsAreInsertedByteForByte) {
  struct Message {
    std::function<std::string(std::string_view)> compose;
    std::string before;
    std::string after;
  };
  const std::vector<Message> messages = {
      {catalog::inputDirectory, "VelmarCov: FDC Input Files Directory: ", "\n"},
      {catalog::outputDirectory, "VelmarCov: FDC Output Files Directory: ", "\n"},
      {catalog::processing, "Processing generated code from Velmar (ver:", ").\n"},
      {catalog::analysing, "VelmarCov: analysing ", "\n"},
      {catalog::unableToOpenFile, "VelmarCov: Unable to open the file ", " !\n"},
      {catalog::unableToCreateFile, "VelmarCov: Unable to create the file ", " !\n"},
      {catalog::unableToOpenDirectory, "VelmarCov: Unable to open the directory ", " !\n"},
  };
  const std::vector<std::string> outsides = {
      "100%",
      "%1",
      "a%1b%2%3",
      "%%1",
      "%L1",
      "caf\xe9.fdc",
      "\xff\xfe\x80",
      "caf\xc3\xa9.fdc",
      "",
      "\xef\xb7\x90",  // the last is U+FDD0
      "x\xef\xb7\x90%1\xef\xb7",
  };
  for (const Message& message : messages) {
    for (const std::string& outside : outsides) {
      EXPECT_EQ(message.compose(outside), message.before + outside + message.after) << message.before;
    }
  }
}
