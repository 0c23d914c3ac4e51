#include "driver/version.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Levels by their bounds, the rejections, the four-number reading (white space and
// a sign before each number, text after the fourth ignored) and numbers beyond 32
// bits, which count as the nearest end instead of wrapping.
TEST(VersionTest, LevelsBoundsAndReading) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"level 0",
       {"6.4.155.0", "6.4.-7.0", "6.4.155.99999.3", "6.4.-99999999999999999999.0",
        "6.4.155.99999999999999999999999"}},
      {"level 1", {"6.4.156.0", "6.4.344.9", " 6. 4.\t+156. -1"}},
      {"level 2",
       {"6.4.345.0", "6.5.103.0", "6.3.0.0", "6.6.0.0", "6.-4.0.0", "7.0.0.0", "6.5.341.0beta",
        "+6.+5.+103.+0", "6.4.99999999999999999999.0", "6.5.4294967298.0", "6.4.4294967452.0",
        "4294967302.4.0.0", "6.4294967301.0.0"}},
      {"minor", {"6.5.102.7", "6.5.-1.0"}},
      {"major", {"5.9.999.0", "-6.4.0.0", "-4294967290.0.0.0"}},
      {"malformed", {"6.5.341", "6.5.341.", "", "v6.5.341.0", "6 .5.341.0", "6.5.341.+"}}};
  for (const auto& [expected, versions] : cases) {
    for (const std::string& version : versions) {
      const VersionVerdict verdict = classifyVersion(version);
      const char* const rejections[] = {"", "malformed", "major", "minor"};
      EXPECT_EQ(verdict.result == VersionVerdict::Accepted ? "level " + std::to_string(verdict.generatorLevel)
                                                           : rejections[verdict.result],
                expected)
          << '"' << version << '"';
    }
  }
}
