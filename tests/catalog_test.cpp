#include "messages/catalog.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>
#include <string>
#include <string_view>

namespace {

// Stands in for a loaded translation file that translates one message.
class OneMessage : public QTranslator {
 public:
  OneMessage(std::string_view source, const char* translation) : source_(source), translation_(translation) {}
  bool isEmpty() const override { return false; }
  QString translate(const char*, const char* sourceText, const char*, int) const override {
    return source_ == sourceText ? QString::fromUtf8(translation_) : QString();
  }

 private:
  std::string_view source_;
  const char* translation_;
};

constexpr std::string_view SummarySource =
    "%1: Finding\n%2 Operation(s)\n%3 State(s)\n-> %4 EntryAction(s)\n,-> %5 ExitAction(s)\n%6 "
    "Transition(s)\n -> %7 Guard(s) \n%8 ChoicePoint(s)\n";

}  // namespace

// The messages shown for every section and file are kept from one call to the
// next; they still follow a translation installed or removed in between, with
// its own order of placeholders, and outside texts stay as they are.
TEST(CatalogTest, KeptMessagesFollowTheTranslation) {
  int argc = 1;
  char name[] = "catalog_test";
  char* argv[] = {name, nullptr};
  QCoreApplication application(argc, argv);
  const SectionCounts counts{1, 2, 3, 4, 5, 6, 7};
  const std::string english =
      "VelmarCov: Finding\n1 Operation(s)\n2 State(s)\n-> 3 EntryAction(s)\n,-> 4 ExitAction(s)\n5 "
      "Transition(s)\n -> 6 Guard(s) \n7 ChoicePoint(s)\n";
  EXPECT_EQ(catalog::sectionSummary(counts), english);
  EXPECT_EQ(catalog::analysing("a.fdc"), "VelmarCov: analysing a.fdc\n");
  {
    OneMessage summary(SummarySource,
                       "%8 choice points, %7 guards, %6 transitions, %5 exits, %4 entries, %3 "
                       "states, %2 operations (%1)\n");
    OneMessage analysing("%1: analysing %2\n", "%2 <- %1\n");
    QCoreApplication::installTranslator(&summary);
    QCoreApplication::installTranslator(&analysing);
    EXPECT_EQ(
        catalog::sectionSummary(counts),
        "7 choice points, 6 guards, 5 transitions, 4 exits, 3 entries, 2 states, 1 operations (VelmarCov)\n");
    EXPECT_EQ(catalog::analysing("%1 b.fdc"), "%1 b.fdc <- VelmarCov\n");
  }
  // A translator removes itself when it goes.
  EXPECT_EQ(catalog::sectionSummary(counts), english);
  EXPECT_EQ(catalog::analysing("c.fdc"), "VelmarCov: analysing c.fdc\n");
}
