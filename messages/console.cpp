#include "messages/console.h"

#include <cstdio>

void printText(std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }
