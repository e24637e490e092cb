#include "platform/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Texts.h"

namespace korvex {
namespace {

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return text::kFileIsDirectory;
  if (S_ISFIFO(mode)) return text::kFileIsFifo;
  if (S_ISSOCK(mode)) return text::kFileIsSocket;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return text::kFileIsDevice;
  return text::kFileIsNoRegularFile;
}

}  // namespace

bool InputFile::Open(const std::string& path) {
  Close();
  error_.clear();
  wrongType_ = false;
  // O_NONBLOCK: open returns at once for a FIFO (a socket fails with ENXIO); the type is then
  // checked on what was opened, so nothing can be swapped in between.
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) {
    const int error = errno;
    struct stat info {};
    wrongType_ = error == ENXIO && ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
    error_ = wrongType_ ? KindOf(info.st_mode) : std::strerror(error);
    return false;
  }
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    error_ = std::strerror(errno);
    Close();
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    wrongType_ = true;
    error_ = KindOf(info.st_mode);
    Close();
    return false;
  }
  // Reads of a regular file never block; the flag is cleared all the same, so that the file
  // behaves as one opened plainly.
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  size_ = static_cast<std::uint64_t>(info.st_size);
  return true;
}

void InputFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
}

}  // namespace korvex
