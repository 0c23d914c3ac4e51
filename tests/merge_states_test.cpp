#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

#include "rewriter/line_io.h"
#include "rewriter/scan_state.h"
#include "tests/handler_support.h"
#include "update/merge_states.h"

namespace {

class MergeStatesTest : public ::testing::Test {
 protected:
  void SetUp() override { resetScanState(); }
  void TearDown() override { resetScanState(); }

  void queue(std::initializer_list<std::pair<const char*, std::uint16_t>> states) {
    for (const auto& [name, branchId] : states) {
      scanState.stateList.append({ElementKind::State, name, branchId});
      ++scanState.stateListLength;
    }
  }
  // The line-by-line copy (a pass read back from its file) and the search
  // (a pass still in memory) must agree byte for byte and leave the same cursor.
  std::string merge(std::string temporary) {
    const std::uint16_t cursor = scanState.behaviorMark;
    Output searched;
    mergeStates(std::string_view(temporary), searched);
    const std::uint16_t cursorAfterSearch = scanState.behaviorMark;
    scanState.behaviorMark = cursor;
    LineReader reader(temporary);
    Output copied;
    mergeStates(reader, copied);
    EXPECT_EQ(searched.text(), copied.text());
    EXPECT_EQ(cursorAfterSearch, scanState.behaviorMark);
    return std::string(copied.text());
  }
};

const std::string IdleNode =
    "\n@NODE TYPE=STATE NAME=\"Idle\"@State @BRANCH MARK=TB ID=12 SUM=0@'Idle'@/BRANCH@@/NODE@\n";
const std::string RunNode =
    "\n@NODE TYPE=STATE NAME=\"Run\"@State @BRANCH MARK=TB ID=14 SUM=0@'Run'@/BRANCH@@/NODE@\n";

}  // namespace

TEST_F(MergeStatesTest, QueuedStatesFollowEachCapsuleLineAsTheCursorAllows) {
  queue({{"Idle", 12}, {"Run", 14}});
  const std::string capsule = "NODE TYPE=CAPSULE NAME=\"Pump\"@\n";
  EXPECT_EQ(
      merge("head\n" + capsule + "\nbody\n" + capsule + "\n" + capsule + "tail"),
      "head\n" + capsule + IdleNode + RunNode + "\nbody\n" + capsule + IdleNode + "\n" + capsule + "tail");
  EXPECT_EQ(scanState.behaviorMark, 6);
  EXPECT_EQ(scanState.stateListLength, 2);
}

TEST_F(MergeStatesTest, OnlyLinesBeginningWithTheCapsuleTextCount) {
  queue({{"Idle", 12}});
  EXPECT_EQ(merge(" NODE TYPE=CAPSULE NAME=\"X\"@\n"), " NODE TYPE=CAPSULE NAME=\"X\"@\n");
  // The capsule text alone is a capsule line; one byte short of it is not.
  EXPECT_EQ(merge("NODE TYPE=CAPSULE NAME=\""), "NODE TYPE=CAPSULE NAME=\"" + IdleNode);
  scanState.behaviorMark = 0;
  EXPECT_EQ(merge("LL\nNODE TYPE=CAPSULE NAME="), "LL\nNODE TYPE=CAPSULE NAME=");
  // A piece of a long line that begins with the capsule text counts as a capsule line.
  const std::string longLine = std::string(9999, 'a') + "NODE TYPE=CAPSULE NAME=\"Unknown Capsule\"@\n";
  EXPECT_EQ(merge(longLine),
            std::string(9999, 'a') + "NODE TYPE=CAPSULE NAME=\"Unknown Capsule\"@\n" + IdleNode);
}

TEST_F(MergeStatesTest, PiecesAreCountedFromTheLineStart) {
  queue({{"Idle", 12}});
  const std::string capsule = "NODE TYPE=CAPSULE NAME=\"P\"@";
  EXPECT_EQ(merge("x\n" + std::string(9998, 'a') + capsule + "\n"),
            "x\n" + std::string(9998, 'a') + capsule + "\n");
  EXPECT_EQ(merge("x\n" + std::string(19998, 'a') + capsule),
            "x\n" + std::string(19998, 'a') + capsule + IdleNode);
  // Of several capsule texts in one long line, only those at piece starts count.
  scanState.behaviorMark = 0;
  std::string line = "x\n" + std::string(25000, 'a');
  for (std::size_t at : {2, 100, 10001, 15000, 20000}) line.replace(at, capsule.size(), capsule);
  merge(line);
  EXPECT_EQ(scanState.behaviorMark, 3);
  // A capsule line longer than a piece gets its states after its first piece.
  scanState.behaviorMark = 0;
  line = capsule + std::string(10000, 'n');
  EXPECT_EQ(merge(line + "\n"), line.substr(0, 9999) + IdleNode + line.substr(9999) + "\n");
}

TEST_F(MergeStatesTest, EmptyStateListIsAPlainCopy) {
  const std::string text = "NODE TYPE=CAPSULE NAME=\"Pump\"@\n\0x\r\n"s;
  EXPECT_EQ(merge(text), text);
  EXPECT_EQ(scanState.behaviorMark, 0);
}
