#include "backup/BackupFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>

#include "partition/PartitionEntry.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

using BackupBytes = std::array<std::uint8_t, kBackupFileSize>;

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t done = ::write(fd, data, size);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    data += done;
    size -= static_cast<std::size_t>(done);
  }
  return true;
}

// Reads up to buffer.size() bytes; the count read, or -1 on a read error.
ssize_t ReadUpTo(int fd, std::span<std::uint8_t> buffer) {
  std::size_t total = 0;
  while (total < buffer.size()) {
    const ssize_t done = ::read(fd, buffer.data() + total, buffer.size() - total);
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) return -1;
    if (done == 0) break;
    total += static_cast<std::size_t>(done);
  }
  return static_cast<ssize_t>(total);
}

// Makes the rename itself durable; file systems that cannot flush a directory say EINVAL.
bool SyncDirectory(const std::filesystem::path& directory) {
  const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
  return ::close(fd) == 0 && synced;
}

// The temporary file beside target, written, flushed and renamed over target.
bool WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
  std::string temp = target.string() + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  const bool written = ::fchmod(fd, 0644) == 0 && WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return SyncDirectory(target.parent_path());
}

}  // namespace

bool ExportBackup(const CHardDisk& disk, const std::string& path, CPrompt& prompt) {
  // The file is renamed into place: a device node, FIFO, directory or symbolic link there would
  // be replaced by it. Nothing is followed.
  struct stat existing {};
  if (!path.empty() && ::lstat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
    prompt.Message(StrFormat(text::kBackupTargetNotAFile, path.c_str()), PromptIcon::Stop);
    return false;
  }
  BackupBytes bytes{};
  std::copy(disk.sector0.begin(), disk.sector0.end(), bytes.begin());
  std::copy_n(disk.engineArea.begin(), kSectorSize, bytes.begin() + kSectorSize);
  if (path.empty() || !WriteFileAtomically(path, bytes)) {
    prompt.Message(text::kBackupCannotCreate, PromptIcon::Exclamation);
    return false;
  }
  return true;
}

bool ImportBackup(CHardDisk& disk, const std::string& path, CPrompt& prompt) {
  if (path.empty()) {
    prompt.Message(LoadResString(IDS_NO_BACKUP_FILE), PromptIcon::Information);
    return false;
  }
  if (disk.gpt) {
    prompt.Message(StrFormat(text::kGptUnchanged, disk.DeviceName().c_str()), PromptIcon::Stop);
    return false;
  }
  BackupBytes bytes{};
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  const ssize_t length = fd < 0 ? -1 : ReadUpTo(fd, bytes);
  if (fd >= 0) ::close(fd);
  if (length < 0) {
    prompt.Message(LoadResString(IDS_BACKUP_CANNOT_OPEN), PromptIcon::Exclamation);
    return false;
  }
  const auto first = std::span<const std::uint8_t>(bytes).first(kSectorSize);
  if (static_cast<std::size_t>(length) >= kSectorSize && !HasBootSignature(first)) {
    prompt.Message(LoadResString(IDS_NOT_A_BACKUP), PromptIcon::Exclamation);
    return false;
  }
  if (static_cast<std::size_t>(length) < kBackupFileSize) {
    prompt.Message(StrFormat(text::kBackupTooShort, static_cast<unsigned>(length)), PromptIcon::Exclamation);
    return false;
  }
  std::copy(first.begin(), first.end(), disk.sector0.begin());
  std::copy_n(bytes.begin() + kSectorSize, kSectorSize, disk.engineArea.begin());
  disk.Reparse(prompt);
  // LBA 1 on the disk must become the restored sector as well: left as it is, it would still
  // start the engine's jump and the next load would read the removed engine's tables.
  disk.engineAreaToWrite = true;
  disk.modified = true;
  return true;
}

}  // namespace korvex
