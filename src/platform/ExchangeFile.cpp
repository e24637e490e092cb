#include "platform/ExchangeFile.h"

#include <fcntl.h>
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

std::optional<std::size_t> ExchangeFile::ReadInto(std::span<std::uint8_t> buffer) const {
  const int fd = ::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  const auto done = ReadUpTo(fd, buffer);
  ::close(fd);
  return done;
}

}  // namespace korvex
