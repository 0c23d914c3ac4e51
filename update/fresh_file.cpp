#include "update/fresh_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <ctime>

namespace {

constexpr int Flags = O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;

// One seed per process, drawn from the kernel (or, without it, from the clock
// and the pid); the names come from it through splitmix64.
std::uint64_t nextRandom() {
  static std::uint64_t state = [] {
    std::uint64_t seed = 0;
    if (::getrandom(&seed, sizeof seed, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof seed)) {
      timespec now{};
      ::clock_gettime(CLOCK_REALTIME, &now);
      seed = static_cast<std::uint64_t>(now.tv_nsec) ^ (static_cast<std::uint64_t>(now.tv_sec) << 30) ^
             (static_cast<std::uint64_t>(::getpid()) << 20);
    }
    return seed;
  }();
  std::uint64_t z = (state += 0x9e3779b97f4a7c15);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
  z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
  return z ^ (z >> 31);
}

}  // namespace

int createFreshFile(const char* path) {
  int fd = ::open(path, Flags, 0666);
  if (fd >= 0 || errno != EEXIST) return fd;
  // A file left over from an earlier run is replaced, never written through.
  ::unlink(path);
  return ::open(path, Flags, 0666);
}

// Like mkstemp, but with the usual permission bits (0666 less the umask), which
// an output made this way keeps.
int createUniqueFile(const std::string& stem, std::string& path) {
  static constexpr char Symbols[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = stem;
    std::uint64_t bits = nextRandom();
    for (int i = 0; i < 6; ++i, bits /= sizeof Symbols - 1) path += Symbols[bits % (sizeof Symbols - 1)];
    int fd = ::open(path.c_str(), Flags, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}
