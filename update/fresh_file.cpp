#include "update/fresh_file.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

int createFreshFile(const char* path) {
  constexpr int Flags = O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::open(path, Flags, 0666);
  if (fd >= 0 || errno != EEXIST) return fd;
  // A file left over from an earlier run is replaced, never written through.
  ::unlink(path);
  return ::open(path, Flags, 0666);
}
