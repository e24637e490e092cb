#pragma once
// One image block through bzip2, buffer to buffer: compressed with block size 1 (100 000
// bytes), verbosity 0 and work factor 30; decompressed with the small-memory mode off.
#include <cstdint>
#include <optional>
#include <span>

namespace korvex {

// The compressed length written into output; nothing when bzip2 failed or output was too small.
std::optional<std::uint32_t> CompressBlock(std::span<const std::uint8_t> input, std::span<std::uint8_t> output);

enum class DecompressResult { Exact, TooLong, TooShort, Damaged };
// Decompresses input into output, which must come out exactly full: a stream that yields more
// is TooLong (nothing beyond output is written), one that ends earlier TooShort.
DecompressResult DecompressBlock(std::span<const std::uint8_t> input, std::span<std::uint8_t> output);

}  // namespace korvex
