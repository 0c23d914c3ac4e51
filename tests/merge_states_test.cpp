#include "update/merge_states.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "rewriter/line_io.h"
#include "rewriter/scan_state.h"

using namespace std::string_literals;

namespace {

// The line-by-line copy (a pass read back from its file) and the search (a pass
// still in memory) must agree byte for byte and leave the same cursor.
std::string merge(std::string pass) {
  const std::uint16_t cursor = scanState.behaviorMark;
  Output searched, copied;
  mergeStates(std::string_view(pass), searched);
  const std::uint16_t cursorAfterSearch = std::exchange(scanState.behaviorMark, cursor);
  LineReader reader(pass);
  mergeStates(reader, copied);
  EXPECT_EQ(searched.text(), copied.text());
  EXPECT_EQ(cursorAfterSearch, scanState.behaviorMark);
  return std::string(copied.text());
}

}  // namespace

// Each capsule line, or piece of a long line that begins with the capsule text,
// gets the queued states the cursor has not passed yet.
TEST(MergeStatesTest, QueuedStatesFollowCapsuleLinesAsTheCursorAllows) {
  scanState = ScanState{};
  EXPECT_EQ(merge("NODE TYPE=CAPSULE NAME=\"P\"@\n\0x"s), "NODE TYPE=CAPSULE NAME=\"P\"@\n\0x"s);
  scanState.stateList.append({ElementKind::State, "Idle", 12});
  scanState.stateList.append({ElementKind::State, "Run", 14});
  scanState.stateListLength = 2;
  const std::string capsule = "NODE TYPE=CAPSULE NAME=\"P\"@";
  const std::string idle =
      "\n@NODE TYPE=STATE NAME=\"Idle\"@State @BRANCH MARK=TB ID=12 SUM=0@'Idle'@/BRANCH@@/NODE@\n";
  const std::string run =
      "\n@NODE TYPE=STATE NAME=\"Run\"@State @BRANCH MARK=TB ID=14 SUM=0@'Run'@/BRANCH@@/NODE@\n";
  EXPECT_EQ(merge("h\n" + capsule + "\n\n" + capsule + "\n" + capsule + "\n"),
            "h\n" + capsule + "\n" + idle + run + "\n" + capsule + "\n" + idle + capsule + "\n");
  EXPECT_EQ(scanState.behaviorMark, 6);
  scanState.behaviorMark = 0;
  EXPECT_EQ(merge("NODE TYPE=CAPSULE NAME=\""), "NODE TYPE=CAPSULE NAME=\"" + idle + run);
  scanState.behaviorMark = 0;
  EXPECT_EQ(merge(" " + capsule + "\nNODE TYPE=CAPSULE NAME=\n"),
            " " + capsule + "\nNODE TYPE=CAPSULE NAME=\n");
  EXPECT_EQ(merge(std::string(9998, 'a') + capsule + "\n"), std::string(9998, 'a') + capsule + "\n");
  EXPECT_EQ(merge(std::string(19998, 'a') + capsule), std::string(19998, 'a') + capsule + idle + run);
  // The cursor stands at 2: of the two records only the first passes.
  const std::string longLine = capsule + std::string(10000, 'n');
  EXPECT_EQ(merge(longLine), longLine.substr(0, 9999) + idle + longLine.substr(9999));
}
