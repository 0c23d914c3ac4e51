#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

using namespace std::string_literals;

#include "rewriter/text.h"

namespace {

// The one-pass search must give, for every needle, the first occurrence that a
// search for that needle alone gives.
TEST(TextTest, SearchForNeedlesEndingAlikeAgreesWithOneSearchPerNeedle) {
  // "e '" is the tail of " state '", so both can end at the same byte.
  constexpr std::array<std::string_view, 4> needles = {" state '", " exit '", "e '", "'"};
  const std::string texts[] = {
      "",
      "'",
      "e '",
      " state '",
      "// {{{QZK state 'Idle'\n",
      "// {{{QZK exit 'a' state 'b' exit 'c'\n",
      "xx exit ' state ' state '",
      "st\0te ' state\0' exit '\r\n"s,
      "no marker here\n",
      "state '",
  };
  for (const std::string& text : texts) {
    const std::array<std::size_t, needles.size()> found = findEachEndingAlike(text, needles);
    for (std::size_t i = 0; i < needles.size(); ++i) {
      EXPECT_EQ(found[i], findText(text, needles[i])) << '"' << text << "\" needle " << i;
    }
  }
}

// Whichever byte of the needle the search steps by, it must find the first
// occurrence from any start.
TEST(TextTest, SearchByAnyByteOfTheNeedleAgreesWithSearchByItsFirst) {
  constexpr std::string_view needle = "@BRANCH MARK=";
  const std::string texts[] = {
      "",
      "@BRANCH MARK",
      "@BRANCH MARK=",
      "@NODE @BRANCH MARK=TB @BRANCH MARK=X\n",
      "HHHH@BRANCH MARK=@BRANCH MARK=",
      "@BRANCH MARK\0@BRANCH MARK=\r\n"s,
  };
  for (const std::string& text : texts) {
    for (std::size_t anchor = 0; anchor < needle.size(); ++anchor) {
      for (std::size_t from = 0; from <= text.size() + 1; ++from) {
        EXPECT_EQ(findTextByByte(text, needle, anchor, from), std::string_view(text).find(needle, from))
            << '"' << text << "\" anchor " << anchor << " from " << from;
      }
    }
  }
}

// The one-pass search for two markers stepping by the same byte must give the
// preferred marker's first occurrence, or else the fallback's, as two searches do;
// the fallback may stand before, after or inside the preferred marker.
TEST(TextTest, SearchForPreferredMarkerAgreesWithTwoSearches) {
  constexpr Marker preferred("}@/NODE@", 'D');
  constexpr Marker fallback("_MODEL", 'D');
  constexpr Marker inner("/NODE", 'D');
  const std::string texts[] = {
      "",
      "D",
      "_MODEL",
      "x}@/NODE@x",
      "_MODEL }@/NODE@",
      "}@/NODE@ _MODEL",
      "_MODE _MODEL _MODEL\n",
      "}@/NODE _MODEL\0}@/NODE@\r\n"s,
      "DDDD}@/NODE",
  };
  for (const std::string& text : texts) {
    for (const Marker& second : {fallback, inner}) {
      const Preference found = findPreferred(text, preferred, second);
      const std::size_t first = std::string_view(text).find(preferred.text);
      EXPECT_EQ(found.preferred, first) << '"' << text << '"';
      EXPECT_EQ(found.fallback, first == NotFound ? std::string_view(text).find(second.text) : NotFound)
          << '"' << text << '"';
    }
  }
}

}  // namespace
