#include "platform/OutputTarget.h"

#include <sys/stat.h>

#include <algorithm>

#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

FileIdentity IdentityOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace

std::optional<FileIdentity> IdentityOfDescriptor(int fd) {
  struct stat info {};
  if (fd < 0 || ::fstat(fd, &info) != 0) return std::nullopt;
  return IdentityOf(info);
}

std::optional<FileIdentity> IdentityOfPath(const std::string& path) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return std::nullopt;
  return IdentityOf(info);
}

OutputTarget CheckOutputTarget(const std::string& path, std::span<const FileIdentity> diskFiles) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return OutputTarget::Free;
  if (!S_ISREG(info.st_mode)) return OutputTarget::NotAFile;
  const bool disk = std::find(diskFiles.begin(), diskFiles.end(), IdentityOf(info)) != diskFiles.end();
  return disk ? OutputTarget::OpenDisk : OutputTarget::Free;
}

std::optional<std::string> OutputRefusal(const std::string& path, std::span<const FileIdentity> diskFiles) {
  switch (CheckOutputTarget(path, diskFiles)) {
    case OutputTarget::NotAFile:
      return StrFormat(text::kOutputNotAFile, path.c_str());
    case OutputTarget::OpenDisk:
      return StrFormat(text::kOutputIsOpenDisk, path.c_str());
    case OutputTarget::Free:
      break;
  }
  return std::nullopt;
}

}  // namespace korvex
