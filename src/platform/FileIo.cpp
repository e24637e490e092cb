#include "platform/FileIo.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace korvex {

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t done = ::write(fd, bytes.data(), bytes.size());
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(done));
  }
  return true;
}

std::optional<std::size_t> ReadUpTo(int fd, std::span<std::uint8_t> buffer) {
  std::size_t total = 0;
  while (total < buffer.size()) {
    const ssize_t done = ::read(fd, buffer.data() + total, buffer.size() - total);
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) return std::nullopt;
    if (done == 0) break;
    total += static_cast<std::size_t>(done);
  }
  return total;
}

bool ReadExactAt(int fd, std::uint64_t offset, std::span<std::uint8_t> buffer) {
  std::size_t total = 0;
  while (total < buffer.size()) {
    const ssize_t done = ::pread(fd, buffer.data() + total, buffer.size() - total, static_cast<off_t>(offset + total));
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    total += static_cast<std::size_t>(done);
  }
  return true;
}

bool SyncDirectory(const std::filesystem::path& directory) {
  const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
  return ::close(fd) == 0 && synced;
}

}  // namespace korvex
