#include "update/update_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "rewriter/line_io.h"
#include "tests/handler_support.h"

using namespace std::string_literals;

namespace {

class UpdateFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetScanState();
    std::string pattern = (std::filesystem::temp_directory_path() / "velmarcov-fd-XXXXXX").string();
    directory_ = ::mkdtemp(pattern.data());
  }
  void TearDown() override {
    std::filesystem::remove_all(directory_);
    resetScanState();
  }

  std::int32_t fdNumberOf(const std::string& bytes) {
    std::string path = (directory_ / "out.fdc").string();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return readFdNumber(path);
  }

  std::filesystem::path directory_;
};

}  // namespace

TEST_F(UpdateFileTest, ReadFdNumberTakesTheFirstFdLine) {
  EXPECT_EQ(readFdNumber((directory_ / "missing.fdc").string()), 0);
  EXPECT_EQ(readFdNumber(directory_.string()), 0);  // a directory reads as an error
  EXPECT_EQ(fdNumberOf(""), 0);
  EXPECT_EQ(fdNumberOf("VE 1\nFC 3\nFD 42 x\nFD 43\n"), 42);
  EXPECT_EQ(fdNumberOf("FD 42"), 42);
  EXPECT_EQ(fdNumberOf("FD \t -17\r\n"), -17);
  EXPECT_EQ(fdNumberOf("FD +8\n"), 8);
  EXPECT_EQ(fdNumberOf("FD 4\0 2\n"s), 4);
  // Only lines that begin with "FD " count, and only the first of them.
  EXPECT_EQ(fdNumberOf("FD\nFD7\nFDX 5\n FD 6\nFD 9\n"), 9);
  EXPECT_EQ(fdNumberOf("FD x 5\nFD 9\n"), 0);
  EXPECT_EQ(fdNumberOf("FD \nFD 9\n"), 0);
  EXPECT_EQ(fdNumberOf("FD -\nFD 9\n"), 0);
  EXPECT_EQ(fdNumberOf("VE 1\nFC 3\n"), 0);
}

TEST_F(UpdateFileTest, ReadFdNumberClampsAndReadsInPieces) {
  EXPECT_EQ(fdNumberOf("FD 2147483647\n"), INT32_MAX);
  EXPECT_EQ(fdNumberOf("FD 2147483648\n"), INT32_MAX);
  EXPECT_EQ(fdNumberOf("FD 4294967338\n"), INT32_MAX);  // not 42 taken modulo 2^32
  EXPECT_EQ(fdNumberOf("FD -2147483648\n"), INT32_MIN);
  EXPECT_EQ(fdNumberOf("FD -99999999999999999999999\n"), INT32_MIN);
  // A long line arrives in pieces, and a piece that begins with "FD " counts like a line.
  EXPECT_EQ(fdNumberOf(std::string(MaxLinePiece, 'a') + "FD 5\nFD 6\n"), 5);
  EXPECT_EQ(fdNumberOf(std::string(MaxLinePiece - 1, 'a') + "FD 5\nFD 6\n"), 6);
  EXPECT_EQ(fdNumberOf(std::string(300000, '\n') + "FD 77\n"), 77);
}
