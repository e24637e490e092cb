#pragma once
// Fields of on-disk records and files, at a byte offset: little-endian numbers and fixed-width
// texts. Every access is bounded: a field that does not lie wholly inside the bytes reads as 0
// (or as no text) and is not written, so a decoder of untrusted bytes never reaches past its
// buffer.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace korvex {

inline bool FieldInside(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
  return offset <= bytes.size() && width <= bytes.size() - offset;
}

// The width-byte little-endian number at offset (width at most 8).
inline std::uint64_t ReadLe(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
  if (!FieldInside(bytes, offset, width)) return 0;
  std::uint64_t value = 0;
  for (std::size_t i = width; i-- > 0;) value = value << 8 | bytes[offset + i];
  return value;
}
inline std::uint16_t ReadLe16(std::span<const std::uint8_t> bytes, std::size_t offset = 0) {
  return static_cast<std::uint16_t>(ReadLe(bytes, offset, 2));
}
inline std::uint32_t ReadLe32(std::span<const std::uint8_t> bytes, std::size_t offset = 0) {
  return static_cast<std::uint32_t>(ReadLe(bytes, offset, 4));
}
inline std::uint64_t ReadLe64(std::span<const std::uint8_t> bytes, std::size_t offset = 0) {
  return ReadLe(bytes, offset, 8);
}

// Stores the low width bytes of value at offset; false, with nothing written, outside bytes.
inline bool WriteLe(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t width, std::uint64_t value) {
  if (!FieldInside(bytes, offset, width)) return false;
  for (std::size_t i = 0; i < width; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  return true;
}
inline bool WriteLe16(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
  return WriteLe(bytes, offset, 2, value);
}
inline bool WriteLe32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
  return WriteLe(bytes, offset, 4, value);
}
inline bool WriteLe64(std::span<std::uint8_t> bytes, std::size_t offset, std::uint64_t value) {
  return WriteLe(bytes, offset, 8, value);
}
// The same at the start of bytes.
inline bool WriteLe32(std::span<std::uint8_t> bytes, std::uint32_t value) { return WriteLe32(bytes, 0, value); }

// Whether the bytes at offset spell text exactly.
inline bool HasTextAt(std::span<const std::uint8_t> bytes, std::size_t offset, std::string_view text) {
  if (!FieldInside(bytes, offset, text.size())) return false;
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

}  // namespace korvex
