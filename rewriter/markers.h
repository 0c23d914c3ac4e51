#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "rewriter/text.h"

// Marker texts and tests that several handlers share.

// Code holds many braces but few 'Q', so the markers that begin with
// "{{{QZK " are found by its 'Q'.
inline constexpr Marker ClassifierMarker("{{{QZK classifier '", 'Q');

// Branch lines hold several '@' but one 'H', the one of "BRANCH".
inline constexpr Marker BranchMarker("@BRANCH MARK=TB ID=", 'H');

inline std::size_t findBranchMarker(std::string_view text) { return findMarker(text, BranchMarker); }

// The number between the branch marker at markerPos and the next blank; a
// marker without a blank after it does not make a numbered branch line.
inline std::optional<std::int32_t> readBranchNumber(std::string_view text, std::size_t markerPos) {
  std::size_t start = markerPos + BranchMarker.text.size();
  // Nearly always a few digits run right up to the blank: their end finds it
  // without a search, and up to nine of them cannot leave the 32-bit range.
  std::int32_t digits = 0;
  std::size_t end = start;
  for (; end < text.size() && end - start < 9 && text[end] >= '0' && text[end] <= '9'; ++end)
    digits = digits * 10 + (text[end] - '0');
  if (end != start && end < text.size() && text[end] == ' ') return digits;
  std::size_t blank = findText(text, " ", start);
  if (blank == NotFound) return std::nullopt;
  std::int32_t number = 0;
  parseDecimal(text.substr(start, blank - start), number);
  return number;
}

// Lines that open or close a region written by hand are not copied. Braces
// are common in code, 'U' is not.
inline constexpr Marker UserRegionStart("{{{USR", 'U');
inline constexpr Marker UserRegionEnd("}}}USR", 'U');

inline bool isUserRegionLine(std::string_view text) {
  return containsEither(text, UserRegionStart, UserRegionEnd);
}

// The ends of a node's code block: the line that closes it, or the end of the
// coverage model. The 'D' of "NODE" and of "MODEL" is rare in code.
inline constexpr Marker NodeCloseMarker("}@/BRANCH@@/NODE@", 'D');
inline constexpr Marker CoverageModelEnd("_COVMODEL", 'D');

inline Preference findNodeEnd(std::string_view text) {
  return findPreferred(text, NodeCloseMarker, CoverageModelEnd);
}

inline bool endsNode(std::string_view text) {
  return containsEither(text, NodeCloseMarker, CoverageModelEnd);
}
