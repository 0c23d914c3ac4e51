#include "rewriter/scan_state.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

// Enough names for the index to grow many times; a small round in between keeps
// the table, a large one after it gives it back.
TEST(ElementListTest, FindsTheFirstRecordOfANameAndForgetsAllOnClear) {
  ElementList list;
  for (const int names : {20000, 10, 20000}) {
    for (int i = 0; i < names; ++i) list.append({ElementKind::State, std::to_string(i), std::uint16_t(i)});
    for (int i = 0; i < names; i += 2) list.append({ElementKind::Exit, std::to_string(i), 7});
    list.append({ElementKind::Enter, "a\0b"s, 1});
    EXPECT_EQ(list.size(), std::size_t(names + names / 2 + 1));
    for (int i = 0; i < names; ++i) ASSERT_EQ(list.find(std::to_string(i)).first()->branchId, i);
    EXPECT_EQ(list.find("a\0b"s).first()->kind, ElementKind::Enter);
    EXPECT_EQ(list.find("a").first(), nullptr);
    EXPECT_EQ(std::prev(list.end())->name, "a\0b"s);
    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.find("0").first(), nullptr);
  }
}
