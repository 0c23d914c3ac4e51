#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "rewriter/line_io.h"
#include "rewriter/text.h"

// The texts of every node the tool adds to an FDC file. "%s" takes a text and
// "%d" a decimal number; values are written as they are, without escaping.

inline constexpr std::string_view CapsuleNode = "NODE TYPE=CAPSULE NAME=\"%s\"@\n\n";
inline constexpr std::string_view UnknownCapsuleNode = "NODE TYPE=CAPSULE NAME=\"Unknown Capsule\"@\n\n";
inline constexpr std::string_view StateNode =
    "\n@NODE TYPE=STATE NAME=\"%s\"@State @BRANCH MARK=TB ID=%d SUM=0@'%s'@/BRANCH@@/NODE@\n";
inline constexpr std::string_view OperationNode =
    "@NODE TYPE=METHOD NAME=\"%s\" LINK NAME=\"%s,T%s\"@Operation '%s'\n";
inline constexpr std::string_view EntryActionNode =
    "@NODE TYPE=METHOD NAME=\"Entry of %s\" LINK NAME=\"%s,T%s\"@Entry Action of '%s'\n";
inline constexpr std::string_view ExitActionNode =
    "@NODE TYPE=METHOD NAME=\"Exit of %s\" LINK NAME=\"%s,X%s\"@Exit Action of '%s'\n";
inline constexpr std::string_view ChainTransitionNode =
    "@NODE TYPE=TRANSITION NAME=\"%s\"@Transition @BRANCH MARK=TB ID=%d SUM=1@'%s'@/BRANCH LINK "
    "NAME=\"%s,T%s\"@\n";
inline constexpr std::string_view ChainTransitionClose =
    "@BRANCH MARK=TB ID=%s SUM=20@{\n@COMMENT@ @/COMMENT@\n}@/BRANCH@@/NODE@\n\n";
inline constexpr std::string_view TransitionNodeHead =
    "@NODE TYPE=TRANSITION NAME=\"%s\"@Transition @BRANCH MARK=TB ID=%d SUM=1@'%s'@/BRANCH";
inline constexpr std::string_view ChoicePointNodeHead =
    "@NODE TYPE=CHOICE_POINT NAME=\"%s\"@ChoicePoint @BRANCH MARK=TB ID=%d SUM=1@'%s'@/BRANCH";
inline constexpr std::string_view GuardNodeHead = "@NODE TYPE=CHOICE_POINT NAME=\"Guard on %s\"";
inline constexpr std::string_view LinkSuffix = " LINK NAME=\"%s,T%s\"";
inline constexpr std::string_view HeadEnd = "@\n";
inline constexpr std::string_view GuardLabel = "@Guard on '%s'\n";
inline constexpr std::string_view JumpBranch =
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

// Writes a template with its placeholders filled by the values, in order.
inline void writeTemplate(Output& output, std::string_view text,
                          std::initializer_list<TemplateValue> values) {
  const TemplateValue* value = values.begin();
  std::size_t start = 0;
  // Templates hold few '%', so jumping from one to the next beats a byte loop.
  for (std::size_t pos = text.find('%'); pos != NotFound && pos + 1 < text.size();
       pos = text.find('%', pos + 1)) {
    if ((text[pos + 1] == 's' || text[pos + 1] == 'd') && value != values.end()) {
      output.write(text.substr(start, pos - start));
      (value++)->writeTo(output);
      start = pos + 2;
      ++pos;
    }
  }
  output.write(text.substr(start));
}
