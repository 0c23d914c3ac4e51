#pragma once

#include <cstdint>
#include <string>

// The number of the first "FD " line of the file, or 0.
std::int32_t readFdNumber(const std::string& path);

// Brings the output FDC file up to date with the input FDC file; returns 1
// when the output was written, 0 otherwise.
int updateFile(const std::string& inputPath, const std::string& outputPath);
