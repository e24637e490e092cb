// Loaded with LD_PRELOAD into korvex-cli by the boot tests: the n-th pwrite of the process
// (KORVEX_FAIL_PWRITE=n, counted from 1) fails with EIO, as a disk that fails in mid-save.
#include <dlfcn.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdlib>

namespace {

using PwriteFunction = ssize_t (*)(int, const void*, size_t, off_t);

ssize_t Forward(const char* name, int fd, const void* buffer, size_t count, off_t offset) {
  static int calls = 0;
  static const char* setting = std::getenv("KORVEX_FAIL_PWRITE");
  if (setting != nullptr && ++calls == std::atoi(setting)) {
    errno = EIO;
    return -1;
  }
  const auto real = reinterpret_cast<PwriteFunction>(dlsym(RTLD_NEXT, name));
  return real(fd, buffer, count, offset);
}

}  // namespace

extern "C" ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
  return Forward("pwrite", fd, buffer, count, offset);
}

extern "C" ssize_t pwrite64(int fd, const void* buffer, size_t count, off_t offset) {
  return Forward("pwrite64", fd, buffer, count, offset);
}
