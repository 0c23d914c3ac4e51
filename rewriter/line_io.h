#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "rewriter/text.h"

// Copies a line or a name. Most are a few dozen bytes, for which a few
// overlapping moves cost less than a call to memcpy.
inline void copyBytes(char* to, const char* from, std::size_t size) {
  const auto copyPair = [to, from, size]<std::size_t Width>() {
    char first[Width];
    char last[Width];
    std::memcpy(first, from, Width);
    std::memcpy(last, from + size - Width, Width);
    std::memcpy(to, first, Width);
    std::memcpy(to + size - Width, last, Width);
  };
  if (size > 32) {
    std::memcpy(to, from, size);
  } else if (size >= 16) {
    copyPair.template operator()<16>();
  } else if (size >= 8) {
    copyPair.template operator()<8>();
  } else if (size >= 4) {
    copyPair.template operator()<4>();
  } else if (size != 0) {
    to[0] = from[0];
    to[size / 2] = from[size / 2];
    to[size - 1] = from[size - 1];
  }
}

// Replaces a string's bytes with a name's. The string keeps its room from one
// name to the next, and the name, a few bytes, is copied without a call.
inline void assignName(std::string& to, std::string_view name) {
  to.resize(name.size());
  copyBytes(to.data(), name.data(), name.size());
}

// Longest piece handed on as one line: a longer line arrives in several pieces.
inline constexpr std::size_t MaxLinePiece = 9999;

// The length of the line that starts at data, line end included, when that
// end comes within the first MaxLinePiece of the available bytes; 0 otherwise.
// Most lines end within 64 bytes and nearly all within 160, which are looked
// at 32 at a time inline: a memchr call cost more to set up than such a line
// takes to scan.
inline std::size_t lengthToLineEnd(const char* data, std::size_t available) {
  constexpr std::size_t Step = 32;
  const std::size_t searched = available < MaxLinePiece ? available : MaxLinePiece;
  std::size_t from = 0;
  if (searched >= 2 * Step) {
    // The first two written out, which most lines need: as one loop with the
    // next three, which the longer lines need, the split cost 0.6% more.
    if (const std::uint64_t ends = bytesPlaces<'\n'>({data, Step})[0])
      return static_cast<std::size_t>(__builtin_ctzll(ends)) + 1;
    if (const std::uint64_t ends = bytesPlaces<'\n'>({data + Step, Step})[0])
      return Step + static_cast<std::size_t>(__builtin_ctzll(ends)) + 1;
    from = 2 * Step;
    if (searched >= 5 * Step) {
      for (; from < 5 * Step; from += Step) {
        if (const std::uint64_t ends = bytesPlaces<'\n'>({data + from, Step})[0])
          return from + static_cast<std::size_t>(__builtin_ctzll(ends)) + 1;
      }
    }
  }
  const void* newline = std::memchr(data + from, '\n', searched - from);
  return newline == nullptr ? 0 : static_cast<std::size_t>(static_cast<const char*>(newline) - data) + 1;
}

// One line (or piece of a line) as read, with its line end. It points into the
// reader's buffer, so handlers can cut it in place without copying; it stays
// valid until the reader is asked for the next line.
struct Line {
  char* data = nullptr;
  std::size_t size = 0;

  std::string_view text() const { return {data, size}; }
  // Later tests and writes see only the text before the cut.
  void cutAt(std::size_t pos) {
    if (pos < size) size = pos;
  }
};

// One line kept from one handler call to the next. Handlers hold back nearly
// every line they read, so it views the line where the reader put it instead
// of copying it each time; only when the reader is about to move or free those
// bytes does it copy them into its own room, which holds the longest piece the
// reader hands on.
class HeldLine {
 public:
  HeldLine() = default;
  // A copy keeps its own bytes: the original's view may lie in the original.
  HeldLine(const HeldLine& other) { keep(other.text()); }
  HeldLine& operator=(const HeldLine& other) {
    if (this != &other) keep(other.text());
    return *this;
  }
  HeldLine& operator=(std::string_view text) {
    text_ = {text.data(), text.size() < MaxLinePiece ? text.size() : MaxLinePiece};
    return *this;
  }
  void clear() { text_ = {}; }
  std::string_view text() const { return text_; }
  // Copies the line into this one's room, for when the bytes viewed go.
  void keepCopy() {
    if (text_.data() != bytes_.data()) keep(text_);
  }

 private:
  void keep(std::string_view text) {
    if (!text.empty()) std::memmove(bytes_.data(), text.data(), text.size());
    text_ = {bytes_.data(), text.size()};
  }

  std::array<char, MaxLinePiece> bytes_;
  std::string_view text_;
};

// Splits a file (or a block of memory) into lines of at most MaxLinePiece
// bytes, reading large blocks so that lines are never copied one by one.
class LineReader {
 public:
  explicit LineReader(int fd);
  explicit LineReader(std::string& memory);
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;
  ~LineReader() {
    if (held_ != nullptr) held_->keepCopy();
  }

  // False at the end of the input or after a read error. Inline for the
  // common case, a line end already in the buffer.
  bool next(Line& line) {
    const std::size_t length = lengthToLineEnd(buffer_ + begin_, end_ - begin_);
    return length != 0 ? take(length, line) : nextWithoutLineEnd(line);
  }
  // Every whole line the buffer holds from the next one on, as one block, for
  // a reader that only copies or searches them: splitting them one by one cost
  // more than the copy. A single piece, as next gives it, when the buffer
  // holds no line end. Blocks begin where pieces begin.
  bool nextLines(Line& lines) {
    const void* last = begin_ == end_ ? nullptr : ::memrchr(buffer_ + begin_, '\n', end_ - begin_);
    if (last == nullptr) return next(lines);
    return take(static_cast<std::size_t>(static_cast<const char*>(last) - (buffer_ + begin_)) + 1, lines);
  }
  bool failed() const { return error_ != 0; }
  int error() const { return error_; }
  // The held line may view this reader's bytes; it is made to copy them
  // before they move or go.
  void keepValid(HeldLine& held) { held_ = &held; }

 private:
  // No line end in what the buffer holds of the piece: a whole piece, a
  // refill or the input's last line.
  bool nextWithoutLineEnd(Line& line);
  bool take(std::size_t length, Line& line) {
    line.data = buffer_ + begin_;
    line.size = length;
    begin_ += length;
    return true;
  }
  bool refill();

  int fd_ = -1;
  HeldLine* held_ = nullptr;
  std::unique_ptr<char[]> storage_;
  char* buffer_ = nullptr;
  std::size_t capacity_ = 0;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool atEnd_ = false;
  int error_ = 0;
};

// Buffered sink for output bytes. Without a file it only collects bytes in
// memory (tests read them back with text()); with a file it writes them out
// whenever more than flushAt bytes are pending. A file that may never be needed
// is opened through openFile only when the first bytes go out to it.
class Output {
 public:
  Output() = default;
  Output(int fd, std::size_t flushAt);
  Output(std::function<int()> openFile, std::size_t flushAt);
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // Most writes are a few bytes of a line or a template, so the common case
  // is one copy into room already there.
  void write(std::string_view bytes) {
    if (bytes.size() > capacity_ - size_) {
      growAndWrite(bytes);
    } else {
      copyBytes(buffer_.get() + size_, bytes.data(), bytes.size());
      size_ += bytes.size();
    }
    if (size_ > flushAt_) flush();
  }
  // For bytes that stay where they are until the call returns: a block large
  // enough goes to the file from there, with the pending bytes, in one system
  // call, since copying it into the buffer would cost more than that call.
  void writeBlock(std::string_view bytes);
  // Room for `size` more bytes, for a writer that copies several pieces with
  // one check for all: it fills them from the returned place on and hands the
  // end of what it filled to commit. No piece may lie in this output's buffer.
  char* reserve(std::size_t size) {
    if (size > capacity_ - size_) grow(size);
    return buffer_.get() + size_;
  }
  void commit(const char* end) {
    size_ = static_cast<std::size_t>(end - buffer_.get());
    if (size_ > flushAt_) flush();
  }

  // Writes every pending byte to the file; false once any write (or the
  // opening of the file) has failed.
  bool flush();
  bool failed() const { return error_ != 0; }
  // True when the file could not be opened.
  bool openFailed() const { return openFailed_; }
  // True once bytes have gone to the file; otherwise everything is in text().
  bool spilled() const { return spilled_; }
  std::string_view text() const { return {buffer_.get(), size_}; }

 private:
  // The old buffer goes only after the bytes are copied: they may lie in it.
  void growAndWrite(std::string_view bytes);
  // Room for `size` more bytes after the written ones; hands back the old
  // buffer, for the caller to free once nothing is copied from it any more.
  std::unique_ptr<char[]> grow(std::size_t size);
  // Opens the file on the first bytes that go out; false once opening failed.
  bool open();
  // Writes the pending bytes and then these to the file, leaving the buffer empty.
  void sendPendingThen(std::string_view bytes);

  bool toFile_ = false;
  int fd_ = -1;
  std::function<int()> openFile_;
  // Never reached without a file, so that a write tests one bound.
  std::size_t flushAt_ = SIZE_MAX;
  std::unique_ptr<char[]> buffer_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  bool spilled_ = false;
  bool openFailed_ = false;
  int error_ = 0;
};

// write(2) of the whole block, retrying short writes; false on failure.
bool writeAll(int fd, std::string_view bytes);
// The same for two blocks, one after the other, with writev(2).
bool writeAll(int fd, std::string_view first, std::string_view second);
