#include "platform/ExchangeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/FileIo.h"

namespace korvex {
namespace {

std::filesystem::path TemporaryDirectory() {
  std::error_code ec;
  auto directory = std::filesystem::temp_directory_path(ec);  // $TMPDIR, else /tmp
  return ec ? std::filesystem::path("/tmp") : directory;
}

}  // namespace

std::optional<ExchangeFile> ExchangeFile::Create(const std::string& prefix) {
  std::string pattern = (TemporaryDirectory() / (prefix + "XXXXXX")).string();
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);  // creates the file with mode 0600
  if (fd < 0) return std::nullopt;
  return ExchangeFile(std::move(pattern), fd);
}

ExchangeFile::ExchangeFile(ExchangeFile&& other) noexcept : path_(std::move(other.path_)), fd_(other.fd_) {
  other.path_.clear();
  other.fd_ = -1;
}

ExchangeFile::~ExchangeFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!path_.empty()) ::unlink(path_.c_str());
}

bool ExchangeFile::Fill(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0) return false;
  const bool written = WriteAll(fd_, bytes);
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  return written && closed;
}

bool ExchangeFile::ReadWhole(std::span<std::uint8_t> buffer) const {
  // Not blocking: a FIFO put in the file's place must not make the open wait for a writer.
  const int fd = ::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  const bool whole = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                     static_cast<std::uint64_t>(info.st_size) == buffer.size() && ReadUpTo(fd, buffer) == buffer.size();
  ::close(fd);
  return whole;
}

}  // namespace korvex
