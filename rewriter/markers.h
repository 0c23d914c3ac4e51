#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "rewriter/text.h"

// Marker texts and tests that several handlers share.

inline constexpr std::string_view BranchMarker = "@BRANCH MARK=TB ID=";

// Branch lines hold several '@' but one 'H', the one of "BRANCH".
inline std::size_t findBranchMarker(std::string_view text) {
  return findTextByByte(text, BranchMarker, BranchMarker.find('H'));
}

// The number between the branch marker at markerPos and the next blank; a
// marker without a blank after it does not make a numbered branch line.
inline std::optional<std::int32_t> readBranchNumber(std::string_view text, std::size_t markerPos) {
  std::size_t start = markerPos + BranchMarker.size();
  std::size_t blank = findText(text, " ", start);
  if (blank == NotFound) return std::nullopt;
  std::int32_t number = 0;
  parseDecimal(text.substr(start, blank - start), number);
  return number;
}

// Lines that open or close a region written by hand are not copied.
inline bool isUserRegionLine(std::string_view text) {
  return containsText(text, "{{{USR") || containsText(text, "}}}USR");
}

// The line that closes the code block of a node.
inline bool closesNode(std::string_view text) { return containsText(text, "}@/BRANCH@@/NODE@"); }
// '_' is common in identifiers, 'V' is rare in generated code.
inline bool endsCoverageModel(std::string_view text) {
  constexpr std::string_view Marker = "_COVMODEL";
  return findTextByByte(text, Marker, Marker.find('V')) != NotFound;
}
