#include "update/merge_states.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>
#include <utility>

#include "rewriter/line_io.h"
#include "rewriter/scan_state.h"

using namespace std::string_literals;

namespace {

// A pass read back from its file, block by block, and one still in memory
// must merge alike byte for byte and leave the same cursor.
std::string merge(std::string pass) {
  const std::uint16_t cursor = scanState.behaviorMark;
  Output searched, copied;
  mergeStates(std::string_view(pass), searched);
  const std::uint16_t cursorAfterSearch = std::exchange(scanState.behaviorMark, cursor);
  const int fd = ::memfd_create("pass", 0);
  EXPECT_TRUE(writeAll(fd, pass) && ::lseek(fd, 0, SEEK_SET) == 0);
  LineReader reader(fd);
  mergeStates(reader, copied);
  ::close(fd);
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
  // Too large for one read: capsule lines, and long lines each of whose pieces
  // begins with the capsule text, lie across every refill of the reader.
  scanState.stateListLength = UINT16_MAX;
  const std::string piece = capsule + std::string(MaxLinePiece - capsule.size(), 'n');
  std::string pass;
  std::size_t capsulePieces = 0;
  for (int i = 0; pass.size() < (1 << 20); ++i) {
    const bool withPieces = i % 5000 == 0;
    pass += capsule + std::string(std::size_t(i % 7), 'n') + "\n" +
            (withPieces ? piece + piece + capsule + "\n" : "");
    capsulePieces += withPieces ? 4 : 1;
  }
  EXPECT_EQ(merge(pass).size(), pass.size() + capsulePieces * (idle + run).size());
}
