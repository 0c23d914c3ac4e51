#pragma once

#include <string_view>

// The one path to standard output: every byte the tool prints goes through
// here, so what appears on screen is in the order of the code.
void printText(std::string_view bytes);
