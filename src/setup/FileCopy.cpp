#include "setup/FileCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <string>

#include "platform/FileIo.h"

namespace korvex::setup {
namespace {

// Copies everything of in to out; false on a read or write error.
bool CopyContents(int in, int out) {
  std::array<std::uint8_t, 1 << 16> buffer{};
  while (true) {
    const auto count = ReadUpTo(in, buffer);
    if (!count) return false;
    if (*count == 0) return true;
    if (!WriteAll(out, std::span(buffer.data(), *count))) return false;
  }
}

}  // namespace

bool CopyFileReplacing(const std::filesystem::path& source, const std::filesystem::path& target) {
  const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat status {};
  std::string temporary = target.string() + ".XXXXXX";
  const int out = (::fstat(in, &status) == 0 && S_ISREG(status.st_mode)) ? ::mkstemp(temporary.data()) : -1;
  if (out < 0) {
    ::close(in);
    return false;
  }
  bool copied = CopyContents(in, out) && ::fchmod(out, status.st_mode & 0777) == 0 && ::fsync(out) == 0;
  ::close(in);
  copied = (::close(out) == 0) && copied;
  if (copied && ::rename(temporary.c_str(), target.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

}  // namespace korvex::setup
