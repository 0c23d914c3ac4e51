#pragma once

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "rewriter/line_io.h"
#include "rewriter/text.h"

// The texts of every node the tool adds to an FDC file. "%s" takes a text and
// "%d" a decimal number; values are written as they are, without escaping.

// A template cut, once and at compile time, into the texts around its
// placeholders, so that writing it never searches it.
class NodeTemplate {
 public:
  static constexpr std::size_t MaxPlaceholders = 5;

  consteval NodeTemplate(const char* literal) {
    const std::string_view text(literal);
    std::size_t start = 0;
    for (std::size_t pos = 0; pos + 1 < text.size(); ++pos) {
      if (text[pos] != '%' || (text[pos + 1] != 's' && text[pos + 1] != 'd')) continue;
      if (placeholders_ == MaxPlaceholders) throw "too many placeholders";
      texts_[placeholders_] = text.substr(start, pos - start);
      numbers_[placeholders_] = text[pos + 1] == 'd';
      ++placeholders_;
      start = pos + 2;
      ++pos;
    }
    texts_[placeholders_] = text.substr(start);
  }

  constexpr std::size_t placeholders() const { return placeholders_; }
  // The text before placeholder i; i == placeholders() gives the text after the last.
  constexpr std::string_view textBefore(std::size_t i) const { return texts_[i]; }
  // True for "%d", which takes a number; "%s" takes a text.
  constexpr bool takesNumber(std::size_t i) const { return numbers_[i]; }

 private:
  std::array<std::string_view, MaxPlaceholders + 1> texts_{};
  std::array<bool, MaxPlaceholders> numbers_{};
  std::size_t placeholders_ = 0;
};

inline constexpr NodeTemplate CapsuleNode = "NODE TYPE=CAPSULE NAME=\"%s\"@\n\n";
inline constexpr std::string_view UnknownCapsuleNode = "NODE TYPE=CAPSULE NAME=\"Unknown Capsule\"@\n\n";
inline constexpr NodeTemplate StateNode =
    "\n@NODE TYPE=STATE NAME=\"%s\"@State @BRANCH MARK=TB ID=%d SUM=0@'%s'@/BRANCH@@/NODE@\n";
inline constexpr NodeTemplate OperationNode =
    "@NODE TYPE=METHOD NAME=\"%s\" LINK NAME=\"%s,T%s\"@Operation '%s'\n";
inline constexpr NodeTemplate EntryActionNode =
    "@NODE TYPE=METHOD NAME=\"Entry of %s\" LINK NAME=\"%s,T%s\"@Entry Action of '%s'\n";
inline constexpr NodeTemplate ExitActionNode =
    "@NODE TYPE=METHOD NAME=\"Exit of %s\" LINK NAME=\"%s,X%s\"@Exit Action of '%s'\n";
inline constexpr NodeTemplate ChainTransitionNode =
    "@NODE TYPE=TRANSITION NAME=\"%s\"@Transition @BRANCH MARK=TB ID=%d SUM=1@'%s'@/BRANCH LINK "
    "NAME=\"%s,T%s\"@\n";
inline constexpr NodeTemplate ChainTransitionClose =
    "@BRANCH MARK=TB ID=%s SUM=20@{\n@COMMENT@ @/COMMENT@\n}@/BRANCH@@/NODE@\n\n";
inline constexpr NodeTemplate TransitionNodeHead =
    "@NODE TYPE=TRANSITION NAME=\"%s\"@Transition @BRANCH MARK=TB ID=%d SUM=1@'%s'@/BRANCH";
inline constexpr NodeTemplate ChoicePointNodeHead =
    "@NODE TYPE=CHOICE_POINT NAME=\"%s\"@ChoicePoint @BRANCH MARK=TB ID=%d SUM=1@'%s'@/BRANCH";
inline constexpr NodeTemplate GuardNodeHead = "@NODE TYPE=CHOICE_POINT NAME=\"Guard on %s\"";
inline constexpr NodeTemplate LinkSuffix = " LINK NAME=\"%s,T%s\"";
inline constexpr std::string_view HeadEnd = "@\n";
inline constexpr NodeTemplate GuardLabel = "@Guard on '%s'\n";
inline constexpr NodeTemplate JumpBranch =
    "@BRANCH MARK=TB ID=%d SUM=1 JUMP NAME=%s@%s@/JUMP /BRANCH /NODE@\n";
inline constexpr std::string_view NodeClose = "@/NODE@\n";
inline constexpr std::string_view SectionTrailer = "@/NODE /RIK@\n";

inline constexpr std::string_view StatesCategoryLine = "   (\"&States\"=0,\n";
inline constexpr std::string_view TransitionsCategoryLine = "    \"&Transitions\"=1),\n";

// A text fills a "%s", a number a "%d". The room for a value is taken
// before it is filled: a number needs at most 20 bytes.
inline std::size_t roomFor(std::string_view text) { return text.size(); }

template <typename Integer>
requires std::is_integral_v<Integer>
constexpr std::size_t roomFor(Integer) { return 20; }

inline char* putValue(char* at, std::string_view text) {
  copyBytes(at, text.data(), text.size());
  return at + text.size();
}

template <typename Integer>
requires std::is_integral_v<Integer>
char* putValue(char* at, Integer number) {
  return std::to_chars(at, at + 20, static_cast<long long>(number)).ptr;
}

// Text i of the template, copied with a size known at compile time.
template <const NodeTemplate& Node, std::size_t I>
char* putText(char* at) {
  constexpr std::string_view text = Node.textBefore(I);
  std::memcpy(at, text.data(), text.size());
  return at + text.size();
}

template <const NodeTemplate& Node, typename... Values, std::size_t... Index>
void writeFilled(Output& output, std::index_sequence<Index...>, const Values&... values) {
  static_assert(((Node.takesNumber(Index) == std::is_integral_v<Values>)&&...),
                "a number for each \"%d\", a text for each \"%s\"");
  constexpr std::size_t textSize =
      (Node.textBefore(Index).size() + ... + Node.textBefore(sizeof...(Index)).size());
  char* at = output.reserve((textSize + ... + roomFor(values)));
  ((at = putText<Node, Index>(at), at = putValue(at, values)), ...);
  output.commit(putText<Node, sizeof...(Index)>(at));
}

// Writes the template with its placeholders filled by the values, in order.
// The template is known when the call compiles, so each of its texts is
// copied with a size known there, all of them after one check for room, and
// a call without a value for every placeholder does not compile.
template <const NodeTemplate& Node, typename... Values>
void writeTemplate(Output& output, const Values&... values) {
  static_assert(sizeof...(Values) == Node.placeholders(), "one value for each placeholder");
  writeFilled<Node>(output, std::index_sequence_for<Values...>(), values...);
}
