#pragma once
// Whole-buffer transfers on a file descriptor, carried on across interruptions and short
// transfers.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace korvex {

// True when every byte was written.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes);
// Reads until buffer is full or the file ends: the number of bytes read, nothing on an error.
std::optional<std::size_t> ReadUpTo(int fd, std::span<std::uint8_t> buffer);

}  // namespace korvex
