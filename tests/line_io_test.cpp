#include "rewriter/line_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

std::vector<std::string> readAll(LineReader& reader) {
  std::vector<std::string> lines;
  Line line;
  while (reader.next(line)) lines.emplace_back(line.text());
  return lines;
}

// A file that holds the bytes and is removed at the end of the test.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& bytes) {
    fd_ = ::mkstemp(path_);
    EXPECT_TRUE(writeAll(fd_, bytes));
    ::lseek(fd_, 0, SEEK_SET);
  }
  ~TemporaryFile() {
    ::close(fd_);
    ::unlink(path_);
  }
  int fd() const { return fd_; }
  const char* path() const { return path_; }

 private:
  char path_[32] = "/tmp/velmarcov-lineio-XXXXXX";
  int fd_ = -1;
};

std::string fileBytes(const char* path) {
  std::string bytes;
  int fd = ::open(path, O_RDONLY);
  char chunk[4096];
  for (ssize_t got; (got = ::read(fd, chunk, sizeof chunk)) > 0;)
    bytes.append(chunk, static_cast<std::size_t>(got));
  ::close(fd);
  return bytes;
}

}  // namespace

TEST(LineIoTest, LinesArriveWithTheirEndsAndLongLinesInPieces) {
  const std::string exact(MaxLinePiece - 1, 'a');  // 9998 bytes and the newline: exactly one piece
  const std::string longer(MaxLinePiece, 'b');     // 9999 bytes and the newline: two pieces
  const std::string huge(2 * MaxLinePiece + 5, 'c');
  std::string memory = "one\r\n" + exact + "\n" + longer + "\n" + huge + "\n" + "\n" + "last";
  LineReader reader(memory);
  std::vector<std::string> expected = {
      "one\r\n", exact + "\n", longer, "\n", std::string(MaxLinePiece, 'c'), std::string(MaxLinePiece, 'c'),
      "ccccc\n", "\n",         "last"};
  EXPECT_EQ(readAll(reader), expected);
  EXPECT_FALSE(reader.failed());

  std::string empty;
  LineReader none(empty);
  EXPECT_TRUE(readAll(none).empty());
  EXPECT_FALSE(none.failed());
}

// NUL bytes are ordinary bytes: the last line, "tail\0end", must arrive whole from both readers.
TEST(LineIoTest, FileReaderMatchesMemoryReaderAcrossBlockBoundaries) {
  // Lines of varied length, NUL bytes among them, spanning many read blocks.
  std::string bytes;
  for (int i = 0; i < 700; ++i) {
    bytes += std::string(static_cast<std::size_t>(i * 7 % 12001), static_cast<char>('a' + i % 26));
    if (i % 5 == 0) bytes += std::string(3, '\0');
    bytes += '\n';
  }
  bytes += "tail\0end"s;
  TemporaryFile file(bytes);
  LineReader fromFile(file.fd());
  std::string copy = bytes;
  LineReader fromMemory(copy);
  std::vector<std::string> lines = readAll(fromFile);
  EXPECT_EQ(lines, readAll(fromMemory));
  EXPECT_FALSE(fromFile.failed());
  std::string joined;
  for (const std::string& line : lines) {
    EXPECT_LE(line.size(), MaxLinePiece);
    joined += line;
  }
  EXPECT_EQ(joined, bytes);
  EXPECT_EQ(lines.back(), "tail\0end"s);
}

TEST(LineIoTest, ReadErrorIsFlaggedAndEndsTheInput) {
  int fd = ::open("/tmp", O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  LineReader reader(fd);
  Line line;
  EXPECT_FALSE(reader.next(line));
  EXPECT_TRUE(reader.failed());
  EXPECT_NE(reader.error(), 0);
  EXPECT_FALSE(reader.next(line));
  ::close(fd);
}

TEST(LineIoTest, CutLineShowsOnlyTheTextBeforeTheCut) {
  std::string memory = "name'rest\n";
  LineReader reader(memory);
  Line line;
  ASSERT_TRUE(reader.next(line));
  line.cutAt(4);
  EXPECT_EQ(line.text(), "name");
  line.cutAt(100);
  EXPECT_EQ(line.text(), "name");
}

TEST(LineIoTest, OutputKeepsBytesInMemoryUntilItSpills) {
  Output memory;
  memory.write("x=");
  memory.writeNumber(-2147483648LL);
  memory.write(" ");
  memory.writeUnsigned(65535);
  memory.write("\0!"s);
  EXPECT_EQ(memory.text(), "x=-2147483648 65535\0!"s);
  EXPECT_FALSE(memory.spilled());
  EXPECT_TRUE(memory.flush());
  // Growing keeps every byte already there, whatever the sizes written.
  std::string expected(memory.text());
  for (std::size_t size = 1; size < 70000; size = size * 3 + 1) {
    const std::string chunk(size, static_cast<char>('a' + size % 26));
    memory.write(chunk);
    memory.write("");
    expected += chunk;
  }
  EXPECT_EQ(memory.text(), expected);
  // Bytes taken from the output itself survive the growth they cause.
  memory.write(memory.text());
  EXPECT_EQ(memory.text(), expected + expected);

  TemporaryFile file("");
  Output spilling(file.fd(), 8);
  spilling.write("12345678");
  EXPECT_FALSE(spilling.spilled());
  EXPECT_EQ(fileBytes(file.path()), "");
  spilling.write("9");
  EXPECT_TRUE(spilling.spilled());
  EXPECT_EQ(spilling.text(), "");
  EXPECT_EQ(fileBytes(file.path()), "123456789");
  spilling.write("ab");
  EXPECT_EQ(fileBytes(file.path()), "123456789");
  EXPECT_TRUE(spilling.flush());
  EXPECT_EQ(fileBytes(file.path()), "123456789ab");
  EXPECT_FALSE(spilling.failed());
}

// A large block goes out at once behind the pending bytes; a small one, or any
// block when there is no file, waits in memory like other writes.
TEST(LineIoTest, OutputWritesLargeBlocksBehindPendingBytes) {
  const std::string large(100000, 'L');
  Output memory;
  memory.write("a");
  memory.writeBlock(large);
  EXPECT_EQ(memory.text(), "a" + large);
  EXPECT_FALSE(memory.spilled());

  TemporaryFile file("");
  Output output(file.fd(), 1 << 20);
  output.write("head ");
  output.writeBlock("small ");
  EXPECT_EQ(fileBytes(file.path()), "");
  output.writeBlock(large);
  EXPECT_TRUE(output.spilled());
  EXPECT_EQ(output.text(), "");
  EXPECT_EQ(fileBytes(file.path()), "head small " + large);
  output.writeBlock(large);  // nothing pending before it
  output.write(" tail");
  EXPECT_TRUE(output.flush());
  EXPECT_EQ(fileBytes(file.path()), "head small " + large + large + " tail");
}

// A file open only for reading makes the write fail; a file that cannot be opened fails the same way.
TEST(LineIoTest, OutputWriteOrOpenErrorIsRemembered) {
  TemporaryFile file("");
  int readOnly = ::open(file.path(), O_RDONLY);
  Output unwritable(readOnly, 4);
  Output unopenable([] { return -1; }, 4);
  for (Output* output : {&unwritable, &unopenable}) {
    output->write("abc");
    EXPECT_FALSE(output->flush());
    EXPECT_TRUE(output->failed());
    EXPECT_EQ(output->openFailed(), output == &unopenable);
    output->write("more bytes than four");
    EXPECT_EQ(output->text(), "");  // dropped, not piled up in memory
    EXPECT_FALSE(output->flush());
    output->write("abc");
    output->writeBlock(std::string(100000, 'x'));
    EXPECT_EQ(output->text(), "");
    EXPECT_TRUE(output->failed());
  }
  EXPECT_EQ(fileBytes(file.path()), "");
  ::close(readOnly);
}

TEST(LineIoTest, OutputOpensItsFileOnlyWhenBytesGoOut) {
  TemporaryFile file("");
  int opened = 0;
  int lazyFd = -1;
  Output lazy(
      [&] {
        ++opened;
        lazyFd = ::dup(file.fd());
        return lazyFd;
      },
      4);
  lazy.write("abcd");
  EXPECT_EQ(opened, 0);
  lazy.write("e");
  lazy.write("fghij");
  EXPECT_TRUE(lazy.flush());
  EXPECT_EQ(opened, 1);
  EXPECT_FALSE(lazy.openFailed());
  EXPECT_EQ(fileBytes(file.path()), "abcdefghij");
  ::close(lazyFd);
}
