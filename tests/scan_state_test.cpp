#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

#include "rewriter/scan_state.h"

namespace {

// Enough names to make the index grow many times and to give back its table on clear.
constexpr int ManyNames = 20000;

std::string nameOf(int i) { return "State" + std::to_string(i); }

TEST(ElementListTest, FindsTheFirstRecordOfEachNameAndKeepsEveryRecordInOrder) {
  ElementList list;
  EXPECT_EQ(list.findFirst("S0"), nullptr);
  for (int i = 0; i < ManyNames; ++i)
    list.append({ElementKind::State, nameOf(i), static_cast<std::uint16_t>(i)});
  // A second record of a name is listed, but never found in place of the first.
  for (int i = 0; i < ManyNames; i += 2) list.append({ElementKind::Exit, nameOf(i), 7});
  list.append({ElementKind::Enter, "a\0b"s, 1});
  list.append({ElementKind::Enter, "a", 2});

  EXPECT_EQ(list.size(), static_cast<std::size_t>(ManyNames + ManyNames / 2 + 2));
  for (int i = 0; i < ManyNames; ++i) {
    const ElementRecord* found = list.findFirst(nameOf(i));
    ASSERT_NE(found, nullptr) << i;
    EXPECT_EQ(found->kind, ElementKind::State);
    EXPECT_EQ(found->branchId, static_cast<std::uint16_t>(i));
  }
  EXPECT_EQ(list.findFirst("a\0b"s)->branchId, 1);
  EXPECT_EQ(list.findFirst("a")->branchId, 2);
  EXPECT_EQ(list.findFirst("a\0"s), nullptr);
  EXPECT_EQ(list.findFirst(nameOf(ManyNames)), nullptr);

  std::vector<std::string> order;
  for (const ElementRecord& record : list) order.push_back(record.name);
  EXPECT_EQ(order[ManyNames - 1], nameOf(ManyNames - 1));
  EXPECT_EQ(order[ManyNames], nameOf(0));
  EXPECT_EQ(order.back(), "a");
}

TEST(ElementListTest, ClearForgetsEveryNameAndTheListIsUsableAgain) {
  ElementList list;
  for (int round = 0; round < 3; ++round) {
    // Large and small rounds alternate, so that the index is given back and kept.
    const int names = round == 1 ? 10 : ManyNames;
    for (int i = 0; i < names; ++i)
      list.append({ElementKind::State, nameOf(i), static_cast<std::uint16_t>(round)});
    EXPECT_EQ(list.findFirst(nameOf(names - 1))->branchId, round);
    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.findFirst(nameOf(0)), nullptr);
    EXPECT_EQ(list.findFirst(nameOf(names - 1)), nullptr);
  }
}

}  // namespace
