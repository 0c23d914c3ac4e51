#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Every text the tool shows, looked up through the installed translator when
// it is composed and returned in the locale's 8-bit encoding. Texts that come
// from outside the program (arguments, entry names, paths) are inserted last
// and byte for byte.

struct SectionCounts {
  std::uint16_t operations = 0;
  std::uint16_t states = 0;
  std::uint16_t entryActions = 0;
  std::uint16_t exitActions = 0;
  std::uint16_t transitions = 0;
  std::uint16_t guards = 0;
  std::uint16_t choicePoints = 0;
};

namespace catalog {

std::string usage();
std::string filesUpdated(std::int32_t count);
std::string cannotOpenTranslation();
std::string inputDirectory(std::string_view directory);
std::string outputDirectory(std::string_view directory);
std::string malformedVersion();
std::string badMajorVersion();
std::string badMinorVersion();
std::string processing(std::string_view version);
std::string analysing(std::string_view entryName);
std::string unableToOpenFile(std::string_view path);
std::string unableToCreateTemporary();
std::string unableToCreateFile(std::string_view path);
std::string upToDate();
std::string noStatesAndTransitions();
std::string sectionSummary(const SectionCounts& counts);
std::string unableToOpenDirectory(std::string_view directory);

}  // namespace catalog
