#include "driver/version.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "level N", or the name of the rejection, so a failure shows both at once.
std::string verdictOf(const std::string& version) {
  VersionVerdict verdict = classifyVersion(version);
  switch (verdict.result) {
    case VersionVerdict::Accepted:
      return "level " + std::to_string(verdict.generatorLevel);
    case VersionVerdict::Malformed:
      return "malformed";
    case VersionVerdict::BadMajor:
      return "bad major";
    case VersionVerdict::BadMinor:
      return "bad minor";
  }
  return "?";
}

}  // namespace

TEST(VersionTest, BoundsOfTheGeneratorLevels) {
  EXPECT_EQ(verdictOf("6.4.155.0"), "level 0");
  EXPECT_EQ(verdictOf("6.4.-7.0"), "level 0");
  EXPECT_EQ(verdictOf("6.4.156.0"), "level 1");
  EXPECT_EQ(verdictOf("6.4.344.9"), "level 1");
  EXPECT_EQ(verdictOf("6.4.345.0"), "level 2");
  EXPECT_EQ(verdictOf("6.5.102.7"), "bad minor");
  EXPECT_EQ(verdictOf("6.5.-1.0"), "bad minor");
  EXPECT_EQ(verdictOf("6.5.103.0"), "level 2");
  EXPECT_EQ(verdictOf("6.5.341.0"), "level 2");
  EXPECT_EQ(verdictOf("6.3.0.0"), "level 2");
  EXPECT_EQ(verdictOf("6.6.0.0"), "level 2");
  EXPECT_EQ(verdictOf("6.-4.0.0"), "level 2");
  EXPECT_EQ(verdictOf("7.0.0.0"), "level 2");
  EXPECT_EQ(verdictOf("7.5.1.0"), "level 2");
  EXPECT_EQ(verdictOf("5.9.999.0"), "bad major");
  EXPECT_EQ(verdictOf("5.4.100.0"), "bad major");
  EXPECT_EQ(verdictOf("0.0.0.0"), "bad major");
  EXPECT_EQ(verdictOf("-6.4.0.0"), "bad major");
}

TEST(VersionTest, ReadLikeFourDecimalConversionsSeparatedByDots) {
  // Anything after the fourth number is ignored; the fourth plays no part.
  EXPECT_EQ(verdictOf("6.5.341.0beta"), "level 2");
  EXPECT_EQ(verdictOf("6.4.155.99999.3"), "level 0");
  EXPECT_EQ(verdictOf("6.4.155.-5"), "level 0");
  // White space and a sign before each number.
  EXPECT_EQ(verdictOf(" 6. 4.\t+156. -1"), "level 1");
  EXPECT_EQ(verdictOf("+6.+5.+103.+0"), "level 2");

  EXPECT_EQ(verdictOf("6.5.341"), "malformed");
  EXPECT_EQ(verdictOf("6.5.341."), "malformed");
  EXPECT_EQ(verdictOf(""), "malformed");
  EXPECT_EQ(verdictOf("v6.5.341.0"), "malformed");
  EXPECT_EQ(verdictOf("6..5.341.0"), "malformed");
  EXPECT_EQ(verdictOf("6 .5.341.0"), "malformed");
  EXPECT_EQ(verdictOf("6,5,341,0"), "malformed");
  EXPECT_EQ(verdictOf("6.5.341.+"), "malformed");
  EXPECT_EQ(verdictOf("6.5.341.x"), "malformed");
}

TEST(VersionTest, NumbersBeyondThirtyTwoBitsCountAsTheNearestEnd) {
  EXPECT_EQ(verdictOf("6.4.99999999999999999999.0"), "level 2");
  EXPECT_EQ(verdictOf("6.4.-99999999999999999999.0"), "level 0");
  EXPECT_EQ(verdictOf("6.5.4294967298.0"), "level 2");  // modulo 2^32 this would be 2
  EXPECT_EQ(verdictOf("6.4.4294967452.0"), "level 2");  // modulo 2^32 this would be 156
  EXPECT_EQ(verdictOf("4294967302.4.0.0"), "level 2");  // modulo 2^32 this would be 6
  EXPECT_EQ(verdictOf("-4294967290.0.0.0"), "bad major");
  EXPECT_EQ(verdictOf("6.4294967301.0.0"), "level 2");  // modulo 2^32 this would be 5
  EXPECT_EQ(verdictOf("6.4.155.99999999999999999999999"), "level 0");
}
