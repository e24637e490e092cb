#pragma once
// Little-endian 32-bit numbers in byte buffers: the on-disk records and the sector helper's
// geometry file store them this way.
#include <cstdint>
#include <span>

namespace korvex {

inline std::uint32_t ReadLe32(std::span<const std::uint8_t> bytes) {
  return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
         std::uint32_t{bytes[3]} << 24;
}

inline void WriteLe32(std::span<std::uint8_t> bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace korvex
