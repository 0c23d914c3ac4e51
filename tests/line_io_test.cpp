#include "rewriter/line_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>

using namespace std::string_literals;

namespace {

// The pieces as read, each followed by '|'.
std::string readAll(LineReader& reader) {
  std::string pieces;
  for (Line line; reader.next(line);) pieces.append(line.text()) += '|';
  return pieces;
}

std::string bytesOf(int fd) {
  std::string bytes(1 << 20, '\0');
  bytes.resize(std::size_t(::pread(fd, bytes.data(), bytes.size(), 0)));
  return bytes;
}

}  // namespace

// Lines come with their ends, a long one in pieces of MaxLinePiece, NUL bytes are
// ordinary, and a file read in blocks gives what memory gives.
TEST(LineIoTest, ReadersSplitAlikeIntoPieces) {
  std::string memory =
      "one\r\n" + std::string(9998, 'a') + "\n" + std::string(2 * 9999 + 5, 'c') + "\n\nlast";
  LineReader reader(memory);
  EXPECT_EQ(readAll(reader), "one\r\n|" + std::string(9998, 'a') + "\n|" + std::string(9999, 'c') + "|" +
                                 std::string(9999, 'c') + "|ccccc\n|\n|last|");

  // A line end at every place within and beyond the first bytes looked at.
  std::string everyLength;
  std::string lines;
  for (std::size_t size = 1; size <= 200; ++size) {
    everyLength += std::string(size - 1, 'x') + '\n';
    lines += std::string(size - 1, 'x') + "\n|";
  }
  LineReader lengths(everyLength);
  EXPECT_EQ(readAll(lengths), lines);

  std::string bytes;
  for (int i = 0; i < 700; ++i)
    bytes += std::string(std::size_t(i * 7 % 12001), char('a' + i % 26)) + "\0\n"s;
  bytes += "tail\0end"s;
  const int fd = ::memfd_create("lines", 0);
  ASSERT_TRUE(writeAll(fd, bytes));
  ::lseek(fd, 0, SEEK_SET);
  LineReader fromFile(fd);
  LineReader fromMemory(bytes);
  EXPECT_EQ(readAll(fromFile), readAll(fromMemory));
  EXPECT_FALSE(fromFile.failed());

  const int directory = ::open("/tmp", O_RDONLY | O_DIRECTORY);
  LineReader unreadable(directory);
  EXPECT_TRUE(readAll(unreadable).empty());
  EXPECT_TRUE(unreadable.failed());
  ::close(directory);

  // Growth keeps what is there, even bytes taken from the output itself, and
  // without a file even a large block waits in memory.
  Output grown;
  std::string expected = "a";
  grown.write("a");
  for (std::size_t size = 1; size < 70000; size = size * 3 + 1) {
    grown.write(std::string(size, char('a' + size % 26)));
    expected += std::string(size, char('a' + size % 26));
  }
  grown.writeBlock(grown.text());
  EXPECT_EQ(grown.text(), expected + expected);

  // Bytes stay in memory up to the threshold; a large block goes out at once behind them.
  ASSERT_EQ(::ftruncate(fd, 0) + ::lseek(fd, 0, SEEK_SET), 0);
  Output spilling(fd, 16);
  spilling.write("12345678");
  spilling.writeBlock("small");
  EXPECT_EQ(bytesOf(fd), "");
  EXPECT_FALSE(spilling.spilled());
  spilling.writeBlock(std::string(100000, 'L'));
  EXPECT_EQ(bytesOf(fd), "12345678small" + std::string(100000, 'L'));
  spilling.write("ab");
  EXPECT_TRUE(spilling.flush());
  EXPECT_EQ(bytesOf(fd), "12345678small" + std::string(100000, 'L') + "ab");
  ::close(fd);
}

// A failed open or write is remembered, and bytes after it are dropped, not piled up.
TEST(LineIoTest, OutputOpensLateAndRemembersFailures) {
  int opened = 0;
  Output lazy([&] { return ++opened, ::open("/dev/null", O_WRONLY); }, 4);
  lazy.write("abcd");
  EXPECT_EQ(opened, 0);
  lazy.write("efghij");
  EXPECT_TRUE(lazy.flush());
  EXPECT_EQ(opened, 1);

  const int readOnly = ::open("/dev/null", O_RDONLY);
  Output unwritable(readOnly, 4);
  Output unopenable([] { return -1; }, 4);
  for (Output* output : {&unwritable, &unopenable}) {
    output->write("abc");
    EXPECT_FALSE(output->flush());
    EXPECT_EQ(output->openFailed(), output == &unopenable);
    output->write("more bytes than four");
    output->writeBlock(std::string(100000, 'x'));
    EXPECT_EQ(output->text(), "");
    EXPECT_TRUE(output->failed());
  }
  ::close(readOnly);
}
