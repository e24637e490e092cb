#pragma once
// Checked transfers on open file descriptors, shared by the files the program owns (backups,
// partition images): every byte is accounted for, interrupted calls are resumed.
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <span>

namespace korvex {

// Writes all of bytes at the file position; false when any byte could not be written.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes);
// Reads up to buffer.size() bytes from the file position; the count read, or -1 on a read error.
ssize_t ReadUpTo(int fd, std::span<std::uint8_t> buffer);
// Reads exactly buffer.size() bytes at offset; false when the file ends first or a read fails.
bool ReadExactAt(int fd, std::uint64_t offset, std::span<std::uint8_t> buffer);
// Makes renames in directory durable; a file system that cannot flush a directory counts as done.
bool SyncDirectory(const std::filesystem::path& directory);

}  // namespace korvex
