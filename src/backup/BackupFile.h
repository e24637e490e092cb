#pragma once
// The boot record backup file: 1024 bytes without header, the disk's sector 0 followed by its
// LBA 1 (the first sector of the engine area). The installation of the boot engine writes it
// before it changes any image; the removal can load it back.
#include <cstddef>
#include <string>

#include "partition/CHardDisk.h"
#include "platform/Prompt.h"

namespace korvex {

inline constexpr std::size_t kBackupFileSize = 1024;

// Writes sector 0 and LBA 1 of disk, read from the disk itself (the working copy's images may
// differ from them), to path: into a temporary file beside it, flushed and then renamed over
// path, so that path holds either its old content or the complete backup. A path that exists
// and is not a regular file (device, FIFO, directory, symbolic link), or that is the file of a
// disk of the working copy (CHardDisk::DiskFiles), is refused with a message and left alone; a
// sector that cannot be read is reported and no file is written. False after the "cannot open"
// message when any other step fails; nothing of disk changes either way.
bool ExportBackup(CHardDisk& disk, const std::string& path, CPrompt& prompt);

// Loads a backup file into disk's sector-0 image and the first sector of its engine area
// image, rebuilds both levels from them and marks the disk modified; the next save writes
// sector 0 and, so that LBA 1 on the disk matches the restored image, the engine area too.
// Refused with a message and nothing changed: an empty path, a file that cannot be opened or
// read, a file shorter than 1024 bytes, a first sector without 55h AAh, a GPT disk.
bool ImportBackup(CHardDisk& disk, const std::string& path, CPrompt& prompt);

}  // namespace korvex
