#include "update/update_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "rewriter/line_io.h"

using namespace std::string_literals;

// The first line, or piece of a long line, that begins with "FD " gives the number,
// read like a decimal conversion and clamped to 32 bits.
TEST(UpdateFileTest, ReadFdNumberTakesTheFirstFdLine) {
  char path[] = "/tmp/velmarcov-fd-XXXXXX";
  ::close(::mkstemp(path));
  // clang-format off
  const std::pair<std::string, std::int32_t> cases[] = {
      {"", 0}, {"VE 1\nFC 3\nFD 42 x\nFD 43\n", 42}, {"FD 42", 42}, {"FD \t -17\r\n", -17}, {"FD 4\0 2\n"s, 4},
      {"FD\nFD7\nFDX 5\n FD 6\nFD 9\n", 9}, {"FD x 5\nFD 9\n", 0}, {"FD -\nFD 9\n", 0},
      {"FD 2147483648\n", INT32_MAX}, {"FD 4294967338\n", INT32_MAX}, {"FD -99999999999999999999\n", INT32_MIN},
      {std::string(MaxLinePiece, 'a') + "FD 5\nFD 6\n", 5}, {std::string(MaxLinePiece - 1, 'a') + "FD 5\nFD 6\n", 6},
      {std::string(300000, '\n') + "FD 77\n", 77}};
  // clang-format on
  for (const auto& [bytes, expected] : cases) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_EQ(readFdNumber(path), expected) << bytes.substr(0, 40);
  }
  ::unlink(path);
  EXPECT_EQ(readFdNumber(path), 0);
  EXPECT_EQ(readFdNumber("/tmp"), 0);
}
