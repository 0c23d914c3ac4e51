#pragma once

#include <string>

// Removes whatever is at path (a stale file or a symbolic link) and creates a
// new file there, so nothing is ever written through a link. Returns the
// descriptor, open for reading and writing, or -1.
int createFreshFile(const char* path);

// Creates a new file named stem followed by six random letters and digits and
// stores that name in path. A name already taken is never opened or removed but
// another is drawn, so runs that share a directory never touch each other's
// files. Returns the descriptor, open for reading and writing, or -1.
int createUniqueFile(const std::string& stem, std::string& path);
