#pragma once
// Files the program writes by renaming a new file over a name (partition images, their block
// files, boot record backups). The rename replaces whatever stands at the name, so the name is
// checked first: a device node, FIFO, directory or symbolic link there, or the very file of a
// disk the program has open (an image file, also under another name of the same file), must
// never be replaced.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace korvex {

// A file as the system knows it: the same device and inode are the same file, whatever its name.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;

  bool operator==(const FileIdentity&) const = default;
};

// The file an open descriptor refers to; nothing when it cannot be asked.
std::optional<FileIdentity> IdentityOfDescriptor(int fd);
// The file path names, symbolic links followed; nothing when there is none.
std::optional<FileIdentity> IdentityOfPath(const std::string& path);

enum class OutputTarget {
  Free,      // nothing stands there, or a regular file that may be replaced
  NotAFile,  // a device node, FIFO, socket, directory or symbolic link
  OpenDisk,  // the file of one of diskFiles
};

// What stands at path (the name itself, a symbolic link is not followed).
OutputTarget CheckOutputTarget(const std::string& path, std::span<const FileIdentity> diskFiles);
// Why a new file must not be renamed over path, as a message; nothing when it may.
std::optional<std::string> OutputRefusal(const std::string& path, std::span<const FileIdentity> diskFiles);

}  // namespace korvex
