#pragma once

// Removes whatever is at path (a stale file or a symbolic link) and creates a
// new file there, so nothing is ever written through a link. Returns the
// descriptor, open for reading and writing, or -1.
int createFreshFile(const char* path);
