#include "messages/catalog.h"

#include <gtest/gtest.h>

#include <string>

// Outside texts go in byte for byte, however they look: placeholders, '%', bytes
// that are no valid text and noncharacters must come out as they went in.
TEST(CatalogTest, CountsAndOutsideTextsLandInTheirPlaces) {
  EXPECT_EQ(catalog::sectionSummary({1, 2, 3, 4, 5, 6, 65535}),
            "VelmarCov: Finding\n1 Operation(s)\n2 State(s)\n-> 3 EntryAction(s)\n,-> 4 ExitAction(s)\n"
            "5 Transition(s)\n -> 6 Guard(s) \n65535 ChoicePoint(s)\n");
  EXPECT_EQ(catalog::filesUpdated(-2147483647 - 1), "VelmarCov: -2147483648 FDC Files updated\n");
  for (const std::string outside :
       {"100%", "a%1b%2%3", "%%1", "%L1", "caf\xe9", "\xff\xfe\x80", "", "x\xef\xb7\x90%1"}) {
    EXPECT_EQ(catalog::analysing(outside), "VelmarCov: analysing " + outside + "\n");
    EXPECT_EQ(catalog::unableToCreateFile(outside),
              "VelmarCov: Unable to create the file " + outside + " !\n");
    EXPECT_EQ(catalog::processing(outside), "Processing generated code from Velmar (ver:" + outside + ").\n");
  }
}
