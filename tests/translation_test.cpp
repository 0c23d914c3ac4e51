#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e_support.h"

namespace fs = std::filesystem;

namespace {

const std::string Version = "6.5.341.0";

// A translation for German that moves the tool name behind the outside text or the count.
const std::string SwappedTs = R"(<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Error message the VelmarCov tool</name>
    <message>
        <source>%1: FDC Input Files Directory: %2
</source>
        <comment>%1 is the name of the tool,%2 the name of a directorie</comment>
        <translation>[%2] read by %1
</translation>
    </message>
    <message>
        <source>%1: analysing %2
</source>
        <comment>%1 is the name of the tool, %2 the name of the FDC file</comment>
        <translation>[%2] analysed by %1
</translation>
    </message>
</context>
<context>
    <name>Usage message the VelmarCov tool</name>
    <message>
        <source>%1: %2 FDC Files updated
</source>
        <comment>%1 is the name of the tool, %2 the amount of files computed</comment>
        <translation>%2 updated by %1
</translation>
    </message>
</context>
</TS>
)";

}  // namespace

// An installation prefix of its own per test, and an input directory holding one file that has
// no FDC content, so every run prints the same few messages.
class TranslationTest : public ::testing::Test {
 protected:
  void SetUp() override { writeFile(in_ / "Note.fdc", "plain text\n"); }

  void installShippedFrench() const {
    fs::create_directories(locale_);
    fs::copy_file(fs::path(VELMARCOV_QM_DIR) / "velmarcov_fr.qm", locale_ / "velmarcov_fr.qm");
  }

  ToolRun run(const std::string& lang, const std::vector<std::string>& arguments) const {
    return runTool(arguments, "LC_ALL= LC_MESSAGES= LANGUAGE= LANG=" + lang +
                                  " QUARLODIR=" + shellQuote(prefix_.string()) + " ");
  }
  ToolRun run(const std::string& lang) const { return run(lang, {in_.string(), out_.string(), Version}); }

  std::string sourceTexts() const {
    return "VelmarCov: FDC Input Files Directory: " + in_.string() +
           "\nVelmarCov: FDC Output Files Directory: " + out_.string() +
           "\nProcessing generated code from Velmar (ver:" + Version +
           ").\nVelmarCov: analysing Note.fdc\nVelmarCov: No States and Transitions ... \n"
           "VelmarCov: 0 FDC Files updated\n";
  }

  ScratchDirectory scratch_;
  fs::path prefix_ = scratch_.make("prefix");
  fs::path locale_ = prefix_ / "lib" / "locale";
  fs::path in_ = scratch_.make("in");
  fs::path out_ = scratch_.make("out");
};

TEST_F(TranslationTest, ShippedFrenchTranslationChangesEveryMessage) {
  installShippedFrench();
  ToolRun converted = run("fr_FR.UTF-8");
  EXPECT_EQ(converted.output,
            "VelmarCov : Répertoire des fichiers FDC d'entrée : " + in_.string() +
                "\nVelmarCov : Répertoire des fichiers FDC de sortie : " + out_.string() +
                "\nTraitement du code généré par Velmar (ver : " + Version +
                ").\nVelmarCov : analyse de Note.fdc\nVelmarCov : Aucun état ni transition ... \n"
                "VelmarCov : 0 fichiers FDC mis à jour\n");
  EXPECT_EQ(converted.status, 0);
  EXPECT_EQ(readFile(in_ / "velcovstat.cov"), "VelmarCov : 0 fichiers FDC mis à jour\n");

  // The usage text has no final newline, so the totals line continues its last line.
  EXPECT_EQ(run("fr_FR.UTF-8", {}).output,
            "Usage : VelmarCov <rép entrée> <rép sortie> <version>\n"
            "\t<rép entrée> : Répertoire où se trouvent les fichiers FDC du code\n"
            "\t<rép sortie> : Répertoire des nouveaux fichiers FDC\n"
            "\t<version> : Numéro de version de Velmar (ex : \"6.5.341.0\")"
            "VelmarCov : 0 fichiers FDC mis à jour\n");
  EXPECT_EQ(run("fr_FR.UTF-8", {in_.string(), out_.string(), "6.5"}).output,
            "VelmarCov : Répertoire des fichiers FDC d'entrée : " + in_.string() +
                "\nVelmarCov : Répertoire des fichiers FDC de sortie : " + out_.string() +
                "\nVelmarCov : Numéro de version mal formé (x.y.z.t attendu)\n");
  const std::string missing = (scratch_.path() / "missing").string();
  EXPECT_EQ(run("fr_FR.UTF-8", {missing, out_.string(), Version}).output,
            "VelmarCov : Répertoire des fichiers FDC d'entrée : " + missing +
                "\nVelmarCov : Répertoire des fichiers FDC de sortie : " + out_.string() +
                "\nTraitement du code généré par Velmar (ver : " + Version +
                ").\nVelmarCov : Impossible d'ouvrir le répertoire " + missing + " !\n");
}

TEST_F(TranslationTest, ReorderedPlaceholdersStillGetTheToolNameFirst) {
  fs::create_directories(locale_);
  const fs::path ts = scratch_.path() / "velmarcov_de.ts";
  writeFile(ts, SwappedTs);
  const std::string compile = shellQuote(VELMARCOV_LRELEASE) + " -silent " + shellQuote(ts.string()) +
                              " -qm " + shellQuote((locale_ / "velmarcov_de.qm").string());
  ASSERT_EQ(std::system(compile.c_str()), 0);
  // A name that looks like a placeholder must not be filled by the tool name.
  fs::rename(in_ / "Note.fdc", in_ / "%1.fdc");

  EXPECT_EQ(run("de_DE.UTF-8").output,
            "[" + in_.string() + "] read by VelmarCov\nVelmarCov: FDC Output Files Directory: " +
                out_.string() + "\nProcessing generated code from Velmar (ver:" + Version +
                ").\n[%1.fdc] analysed by VelmarCov\nVelmarCov: No States and Transitions ... \n"
                "0 updated by VelmarCov\n");
}

TEST_F(TranslationTest, SourceTextsWithoutAMatchingTranslation) {
  EXPECT_EQ(run("fr_FR.UTF-8").output, sourceTexts());
  // Only the French translation is installed: a German locale finds none.
  installShippedFrench();
  EXPECT_EQ(run("de_DE.UTF-8").output, sourceTexts());
  EXPECT_EQ(run("C").output, sourceTexts());
}

TEST_F(TranslationTest, OutsideNamesArePrintedUnchanged) {
  installShippedFrench();
  const std::string name = "50% %1 caf\xe9 \xc3\xa9t\xc3\xa9 \xff.fdc";
  fs::rename(in_ / "Note.fdc", in_ / name);
  const fs::path in = scratch_.make("in %2 \xe9\xc3");
  fs::rename(in_ / name, in / name);
  const std::string version = "6.5.341.0%1";

  EXPECT_EQ(run("fr_FR.UTF-8", {in.string(), out_.string(), version}).output,
            "VelmarCov : Répertoire des fichiers FDC d'entrée : " + in.string() +
                "\nVelmarCov : Répertoire des fichiers FDC de sortie : " + out_.string() +
                "\nTraitement du code généré par Velmar (ver : " + version + ").\nVelmarCov : analyse de " +
                name +
                "\nVelmarCov : Aucun état ni transition ... \nVelmarCov : 0 fichiers FDC mis à jour\n");
}
