#pragma once
// Little-endian fields of on-disk records, read at a byte offset. A field that does not lie
// wholly inside the bytes reads as 0, so a probe never reads past its buffer.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace korvex::ondisk {

inline std::uint64_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
  if (offset > bytes.size() || width > bytes.size() - offset) return 0;
  std::uint64_t value = 0;
  for (std::size_t i = width; i-- > 0;) value = value << 8 | bytes[offset + i];
  return value;
}
inline std::uint16_t Le16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(LittleEndian(bytes, offset, 2));
}
inline std::uint32_t Le32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(LittleEndian(bytes, offset, 4));
}
inline std::uint64_t Le64(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return LittleEndian(bytes, offset, 8);
}

// Whether the bytes at offset spell text exactly.
inline bool HasText(std::span<const std::uint8_t> bytes, std::size_t offset, std::string_view text) {
  if (offset > bytes.size() || text.size() > bytes.size() - offset) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (bytes[offset + i] != static_cast<std::uint8_t>(text[i])) return false;
  }
  return true;
}

// A fixed-width text field up to its first zero byte, trailing blanks removed.
inline std::string FixedText(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
  std::string text;
  for (std::size_t i = 0; i < width && offset + i < bytes.size() && bytes[offset + i] != 0; ++i) {
    text += static_cast<char>(bytes[offset + i]);
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace korvex::ondisk
