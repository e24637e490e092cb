#pragma once
// Checked transfers on open file descriptors, shared by the files the program owns (backups,
// partition images): every byte is accounted for, interrupted calls are resumed.
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace korvex {

// Writes all of bytes at the file position; false when any byte could not be written.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes);
// Reads until buffer is full or the file ends: the number of bytes read, nothing on a read error.
std::optional<std::size_t> ReadUpTo(int fd, std::span<std::uint8_t> buffer);
// Reads exactly buffer.size() bytes at offset; false when the file ends first or a read fails.
bool ReadExactAt(int fd, std::uint64_t offset, std::span<std::uint8_t> buffer);
// Makes renames in directory durable; a file system that cannot flush a directory counts as done.
bool SyncDirectory(const std::filesystem::path& directory);

}  // namespace korvex
