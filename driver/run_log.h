#pragma once

#include <string_view>

// The run log lives in the input directory as "velcovsync.cov" while the run
// goes on and is renamed "velcovstat.cov" at its end.
void openRunLog(std::string_view directory);
void closeRunLog();
// Appends to the run log when it is open.
void writeToRunLog(std::string_view bytes);
