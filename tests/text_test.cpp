#include "rewriter/text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

using namespace std::string_literals;

// Each one-pass search must agree with plain searches for one needle at a time, from
// any start and whichever byte it steps by; needles may end alike or lie inside one another.
TEST(TextTest, OnePassSearchesAgreeWithPlainSearches) {
  const std::string texts[] = {"",
                               "@BRANCH MARK=",
                               "'e '",
                               "// {{{QZK exit 'a' state 'b' exit 'c'\n",
                               "st\0te ' state\0' exit '\r\n"s,
                               "HHHH@BRANCH MARK=@BRANCH MARK\0@BRANCH MARK=\r\n"s,
                               "_MODE }@/NODE _MODEL\0}@/NODE@ _MODEL"s};
  constexpr std::array<std::string_view, 4> alike = {" state '", " exit '", "e '", "'"};
  constexpr std::string_view branch = "@BRANCH MARK=";
  constexpr Marker preferred("}@/NODE@", 'D');
  for (const std::string_view text : texts) {
    const auto found = findEachEndingAlike(text, alike);
    for (std::size_t i = 0; i < alike.size(); ++i) EXPECT_EQ(found[i], text.find(alike[i])) << text;
    for (std::size_t anchor = 0; anchor < branch.size(); ++anchor)
      for (std::size_t from = 0; from <= text.size() + 1; ++from)
        EXPECT_EQ(findTextByByte(text, branch, anchor, from), text.find(branch, from))
            << text << anchor << from;
    for (const Marker& fallback : {Marker("_MODEL", 'D'), Marker("/NODE", 'D')}) {
      const Preference got = findPreferred(text, preferred, fallback);
      EXPECT_EQ(got.preferred, text.find(preferred.text)) << text;
      EXPECT_EQ(got.fallback, got.preferred == NotFound ? text.find(fallback.text) : NotFound) << text;
    }
  }
}
