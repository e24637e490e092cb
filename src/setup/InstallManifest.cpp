#include "setup/InstallManifest.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <sstream>

#include "platform/FileIo.h"
#include "platform/StringFormat.h"
#include "setup/Distribution.h"

namespace korvex::setup {
namespace {

constexpr const char* kFirstLine = "Korvex-Installation";
constexpr std::size_t kLargestManifest = 4096;

bool IsDistributionFile(const std::string& name) {
  return std::any_of(kDistributionFiles.begin(), kDistributionFiles.end(),
                     [&](const char* listed) { return name == listed; });
}

// The bytes of a regular file (never a FIFO or device, and no symbolic link is followed), up to
// limit bytes plus one; nothing when it cannot be read.
std::optional<std::string> ReadRegularFile(const std::filesystem::path& path, std::uint64_t limit) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::optional<std::string> bytes;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) <= limit) {
    std::string content(static_cast<std::size_t>(info.st_size) + 1, '\0');
    const auto read = ReadUpTo(fd, std::span(reinterpret_cast<std::uint8_t*>(content.data()), content.size()));
    if (read) {
      content.resize(*read);
      bytes = std::move(content);
    }
  }
  ::close(fd);
  return bytes;
}

}  // namespace

std::optional<InstalledFile> DescribeFile(const std::filesystem::path& folder, const std::string& name) {
  const int fd = ::open((folder / name).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::optional<InstalledFile> file;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    InstalledFile described{name, 0, static_cast<std::uint32_t>(::crc32(0, nullptr, 0))};
    std::array<std::uint8_t, 1 << 16> buffer{};
    for (;;) {
      const auto count = ReadUpTo(fd, buffer);
      if (!count) break;
      if (*count == 0) {
        file = described;
        break;
      }
      described.size += *count;
      described.crc = static_cast<std::uint32_t>(::crc32(described.crc, buffer.data(), static_cast<uInt>(*count)));
    }
  }
  ::close(fd);
  return file;
}

bool WriteManifest(const std::filesystem::path& folder, const std::vector<InstalledFile>& files) {
  std::string text = std::string(kFirstLine) + "\n";
  for (const InstalledFile& file : files) {
    text += StrFormat("%s %llu %08x\n", file.name.c_str(), static_cast<unsigned long long>(file.size), file.crc);
  }
  const std::filesystem::path target = folder / kManifestFile;
  std::string temporary = target.string() + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  const bool written = ::fchmod(fd, 0644) == 0 &&
                       WriteAll(fd, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())) &&
                       ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (written && closed && ::rename(temporary.c_str(), target.c_str()) == 0) return SyncDirectory(folder);
  ::unlink(temporary.c_str());
  return false;
}

std::optional<std::vector<InstalledFile>> ReadManifest(const std::filesystem::path& folder) {
  const auto text = ReadRegularFile(folder / kManifestFile, kLargestManifest);
  if (!text) return std::nullopt;
  std::istringstream lines(*text);
  std::string line;
  if (!std::getline(lines, line) || line != kFirstLine) return std::nullopt;
  std::vector<InstalledFile> files;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    InstalledFile file;
    std::string crc, rest;
    if (!(fields >> file.name >> file.size >> crc) || (fields >> rest) || !IsDistributionFile(file.name) ||
        crc.size() != 8 || crc.find_first_not_of("0123456789abcdef") != std::string::npos) {
      return std::nullopt;
    }
    file.crc = static_cast<std::uint32_t>(std::stoul(crc, nullptr, 16));
    files.push_back(file);
  }
  return files;
}

}  // namespace korvex::setup
