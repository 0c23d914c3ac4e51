#include "driver/version.h"

#include "rewriter/text.h"

VersionVerdict classifyVersion(std::string_view version) {
  std::int32_t numbers[4] = {};
  std::size_t pos = 0;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (pos >= version.size() || version[pos] != '.') return {};
      ++pos;
    }
    std::size_t consumed = 0;
    if (!parseDecimal(version.substr(pos), numbers[i], &consumed)) return {};
    pos += consumed;
  }
  const std::int32_t major = numbers[0];
  const std::int32_t minor = numbers[1];
  const std::int32_t build = numbers[2];
  if (major <= 5) return {VersionVerdict::BadMajor};
  if (major == 6 && minor == 4) {
    if (build <= 155) return {VersionVerdict::Accepted, 0};
    if (build <= 344) return {VersionVerdict::Accepted, 1};
    return {VersionVerdict::Accepted, 2};
  }
  if (major == 6 && minor == 5 && build <= 102) return {VersionVerdict::BadMinor};
  return {VersionVerdict::Accepted, 2};
}
