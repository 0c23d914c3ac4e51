#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

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
      marks_[placeholders_] = text.substr(pos, 2);
      ++placeholders_;
      start = pos + 2;
      ++pos;
    }
    texts_[placeholders_] = text.substr(start);
  }

  std::size_t placeholders() const { return placeholders_; }
  // The text before placeholder i; i == placeholders() gives the text after the last.
  std::string_view textBefore(std::size_t i) const { return texts_[i]; }
  // The placeholder as it stands in the template.
  std::string_view mark(std::size_t i) const { return marks_[i]; }

 private:
  std::array<std::string_view, MaxPlaceholders + 1> texts_{};
  std::array<std::string_view, MaxPlaceholders> marks_{};
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

// One value for a template placeholder: a text for "%s", a number for "%d".
class TemplateValue {
 public:
  TemplateValue(std::string_view text) : text_(text) {}
  TemplateValue(const std::string& text) : text_(text) {}
  TemplateValue(const char* text) : text_(text) {}
  template <typename Integer, typename = std::enable_if_t<std::is_integral_v<Integer>>>
  TemplateValue(Integer number) : isNumber_(true), number_(static_cast<long long>(number)) {}

  void writeTo(Output& output) const {
    if (isNumber_) {
      output.writeNumber(number_);
    } else {
      output.write(text_);
    }
  }

 private:
  std::string_view text_;
  bool isNumber_ = false;
  long long number_ = 0;
};

// Writes a template with its placeholders filled by the values, in order; a
// placeholder left without a value is written as it stands.
inline void writeTemplate(Output& output, const NodeTemplate& node,
                          std::initializer_list<TemplateValue> values) {
  const TemplateValue* value = values.begin();
  for (std::size_t i = 0; i < node.placeholders(); ++i) {
    output.write(node.textBefore(i));
    if (value != values.end()) {
      (value++)->writeTo(output);
    } else {
      output.write(node.mark(i));
    }
  }
  output.write(node.textBefore(node.placeholders()));
}
