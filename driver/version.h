#pragma once

#include <cstdint>
#include <string_view>

// What the generator version given on the command line allows.
struct VersionVerdict {
  enum Result { Accepted, Malformed, BadMajor, BadMinor };
  Result result = Malformed;
  std::uint32_t generatorLevel = 0;
};

// Reads "%d.%d.%d.%d" (text after the fourth number is ignored) and picks the
// marker conventions of that generator.
VersionVerdict classifyVersion(std::string_view version);
