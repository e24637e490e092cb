#include "backup/BackupFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "partition/PartitionEntry.h"
#include "platform/FileIo.h"
#include "platform/InputFile.h"
#include "platform/OutputTarget.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

using BackupBytes = std::array<std::uint8_t, kBackupFileSize>;

// The temporary file beside target, written, flushed and renamed over target; the system's
// reason when that fails.
std::optional<std::string> WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
  std::string temp = target.string() + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return std::strerror(errno);
  const auto failed = [&](int error) {
    ::unlink(temp.c_str());
    return std::optional<std::string>(std::strerror(error));
  };
  if (::fchmod(fd, 0644) != 0 || !WriteAll(fd, bytes) || ::fsync(fd) != 0) {
    const int error = errno;
    ::close(fd);
    return failed(error);
  }
  if (::close(fd) != 0 || ::rename(temp.c_str(), target.c_str()) != 0) return failed(errno);
  if (!SyncDirectory(target.parent_path())) return std::strerror(errno);
  return std::nullopt;
}

}  // namespace

bool ExportBackup(CHardDisk& disk, const std::string& path, CPrompt& prompt) {
  // The file is renamed into place: a device node, FIFO, directory or symbolic link there, or
  // the file of an open disk, would be replaced by it. Nothing is followed.
  if (const auto refusal = path.empty() ? std::nullopt : OutputRefusal(path, disk.DiskFiles())) {
    prompt.Message(*refusal, PromptIcon::Stop);
    return false;
  }
  // The two sectors as they are on the disk, not the working copy's images: the reader may
  // have changed those (a signature it does not trust is cleared), and edits change them.
  BackupBytes bytes{};
  for (std::uint32_t lba = 0; lba < 2 && !path.empty(); ++lba) {
    const auto sector = std::span<std::uint8_t>(bytes).subspan(lba * kSectorSize, kSectorSize);
    if (const auto error = disk.ReadSectorsChecked(lba, 1, sector)) {
      prompt.Message(StrFormat(text::kBackupReadFailed, lba, disk.DeviceName().c_str(), std::strerror(*error)),
                     PromptIcon::Stop);
      return false;
    }
  }
  if (path.empty()) {
    prompt.Message(text::kBackupCannotCreate, PromptIcon::Exclamation);
    return false;
  }
  if (const auto reason = WriteFileAtomically(path, bytes)) {
    prompt.Message(text::kBackupCannotCreate + StrFormat(text::kPathAndReason, path.c_str(), reason->c_str()),
                   PromptIcon::Exclamation);
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
  InputFile file;
  const auto read = file.Open(path) ? ReadUpTo(file.fd(), bytes) : std::nullopt;
  if (!read) {
    const std::string reason = file.fd() < 0 ? file.Error() : std::strerror(errno);
    prompt.Message(LoadResString(IDS_BACKUP_CANNOT_OPEN) + StrFormat(text::kPathAndReason, path.c_str(), reason.c_str()),
                   PromptIcon::Exclamation);
    return false;
  }
  const auto first = std::span<const std::uint8_t>(bytes).first(kSectorSize);
  if (*read >= kSectorSize && !HasBootSignature(first)) {
    prompt.Message(LoadResString(IDS_NOT_A_BACKUP), PromptIcon::Exclamation);
    return false;
  }
  if (*read < kBackupFileSize) {
    prompt.Message(StrFormat(text::kBackupTooShort, static_cast<unsigned>(*read)), PromptIcon::Exclamation);
    return false;
  }
  std::copy(first.begin(), first.end(), disk.sector0.begin());
  std::copy_n(bytes.begin() + kSectorSize, kSectorSize, disk.engineArea.begin());
  disk.Reparse(prompt);
  // LBA 1 on the disk must become the restored sector as well: left as it is, it would still
  // start the engine's jump and the next load would read the removed engine's tables.
  disk.engineAreaToWrite = true;
  disk.MarkModified();
  return true;
}

}  // namespace korvex
