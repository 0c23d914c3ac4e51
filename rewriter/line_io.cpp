#include "rewriter/line_io.h"

#include <sys/uio.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

namespace {

constexpr std::size_t ReadBlock = 256 * 1024;
// From this size on, a block goes to the file with a system call of its own
// rather than through the buffer: the kernel copies it anyway, and copying it
// into the buffer first costs more than the call. Whole sections of output
// are mostly larger.
constexpr std::size_t DirectBlockSize = 4 * 1024;

}  // namespace

// The block is read into before it is looked at, so it is left uninitialised:
// zeroing it cost more than reading a typical file.
LineReader::LineReader(int fd) : fd_(fd), storage_(std::make_unique_for_overwrite<char[]>(ReadBlock)) {
  buffer_ = storage_.get();
  capacity_ = ReadBlock;
}

LineReader::LineReader(std::string& memory)
    : buffer_(memory.data()), capacity_(memory.size()), end_(memory.size()), atEnd_(true) {}

bool LineReader::refill() {
  if (atEnd_ || error_ != 0) return false;
  if (begin_ > 0) {
    if (held_ != nullptr) held_->keepCopy();
    std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  for (;;) {
    ssize_t got = ::read(fd_, buffer_ + end_, capacity_ - end_);
    if (got > 0) {
      end_ += static_cast<std::size_t>(got);
      return true;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error_ = errno;
    atEnd_ = true;
    return false;
  }
}

bool LineReader::nextWithoutLineEnd(Line& line) {
  const std::size_t available = end_ - begin_;
  if (available >= MaxLinePiece) return take(MaxLinePiece, line);
  if (refill()) return next(line);
  if (error_ != 0 || available == 0) return false;
  return take(available, line);
}

Output::Output(int fd, std::size_t flushAt) : Output([fd] { return fd; }, flushAt) {}

Output::Output(std::function<int()> openFile, std::size_t flushAt)
    : toFile_(true), openFile_(std::move(openFile)), flushAt_(flushAt) {
  // Room for what may pile up before a flush, left uninitialised like every
  // buffer here: each byte is written before it is read.
  capacity_ = flushAt_ + 2 * MaxLinePiece;
  buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
}

void Output::growAndWrite(std::string_view bytes) {
  const std::unique_ptr<char[]> old = grow(bytes.size());
  std::memcpy(buffer_.get() + size_, bytes.data(), bytes.size());
  size_ += bytes.size();
}

std::unique_ptr<char[]> Output::grow(std::size_t size) {
  std::size_t capacity = capacity_ < 256 ? 256 : capacity_;
  while (capacity - size_ < size) capacity *= 2;
  auto grown = std::make_unique_for_overwrite<char[]>(capacity);
  if (size_ != 0) std::memcpy(grown.get(), buffer_.get(), size_);
  capacity_ = capacity;
  return std::exchange(buffer_, std::move(grown));
}

bool Output::open() {
  if (fd_ < 0 && error_ == 0) {
    fd_ = std::exchange(openFile_, nullptr)();
    if (fd_ < 0) {
      openFailed_ = true;
      error_ = errno != 0 ? errno : EBADF;
    }
  }
  return fd_ >= 0;
}

void Output::sendPendingThen(std::string_view bytes) {
  spilled_ = true;
  // After a failed write the bytes have nowhere to go; keeping them would only grow memory.
  if (open() && error_ == 0 && !writeAll(fd_, text(), bytes)) error_ = errno != 0 ? errno : EIO;
  size_ = 0;
}

void Output::writeBlock(std::string_view bytes) {
  if (!toFile_ || bytes.size() < DirectBlockSize) {
    write(bytes);
  } else {
    sendPendingThen(bytes);
  }
}

bool Output::flush() {
  if (toFile_ && size_ != 0) sendPendingThen({});
  return error_ == 0;
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

bool writeAll(int fd, std::string_view first, std::string_view second) {
  while (!first.empty()) {
    iovec blocks[2] = {{const_cast<char*>(first.data()), first.size()},
                       {const_cast<char*>(second.data()), second.size()}};
    ssize_t put = ::writev(fd, blocks, 2);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = EIO;
      return false;
    }
    const auto written = static_cast<std::size_t>(put);
    if (written < first.size()) {
      first.remove_prefix(written);
    } else {
      second.remove_prefix(written - first.size());
      first = {};
    }
  }
  return writeAll(fd, second);
}
