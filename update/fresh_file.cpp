#include "update/fresh_file.h"

#include <fcntl.h>
#include <unistd.h>

int createFreshFile(const char* path) {
  ::unlink(path);
  return ::open(path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}
