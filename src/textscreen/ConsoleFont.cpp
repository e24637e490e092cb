#include "textscreen/ConsoleFont.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

#include "platform/Cp437.h"
#include "platform/OnDiskFields.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"
#include "platform/Utf8.h"

namespace korvex {
namespace {

// Font files are a few tens of kilobytes; anything far larger is not a console font.
constexpr std::size_t kMaxFileBytes = 1 << 20;
constexpr std::size_t kMaxFontBytes = 8 << 20;
constexpr unsigned kMaxGlyphSide = 64;
constexpr std::uint32_t kMaxGlyphs = 65536;

constexpr std::array<std::uint8_t, 2> kPsf1Magic = {0x36, 0x04};
constexpr std::uint8_t kPsf1Mode512 = 0x01;
constexpr std::uint8_t kPsf1ModeHasTable = 0x02;
constexpr std::uint8_t kPsf1ModeHasSequences = 0x04;
constexpr std::size_t kPsf1HeaderSize = 4;
constexpr unsigned kPsf1Width = 8;
constexpr std::uint16_t kPsf1Separator = 0xFFFF;
constexpr std::uint16_t kPsf1StartSequence = 0xFFFE;

constexpr std::array<std::uint8_t, 4> kPsf2Magic = {0x72, 0xB5, 0x4A, 0x86};
constexpr std::size_t kPsf2HeaderSize = 32;
constexpr std::uint32_t kPsf2HasUnicodeTable = 0x01;
constexpr std::uint8_t kPsf2Separator = 0xFF;
constexpr std::uint8_t kPsf2StartSequence = 0xFE;

constexpr std::array<std::uint8_t, 2> kGzipMagic = {0x1F, 0x8B};
constexpr int kGzipWindowBits = 15 + 16;  // zlib: a gzip stream with the largest window

// Of Debian's VGA 8 × 16 fonts only the 512-glyph ones keep double frame lines apart from single
// ones; FullGreek lacks a few Western letters, which Lat15 has.
constexpr const char* kPreviewFont = "/usr/share/consolefonts/FullGreek-VGA16.psf.gz";
constexpr const char* kPreviewFallbackFont = "/usr/share/consolefonts/Lat15-VGA16.psf.gz";

using GlyphMap = std::unordered_map<char32_t, std::uint32_t>;

template <std::size_t N>
bool StartsWith(std::span<const std::uint8_t> bytes, const std::array<std::uint8_t, N>& magic) {
  return bytes.size() >= N && std::equal(magic.begin(), magic.end(), bytes.begin());
}

// The PSF2 table: per glyph UTF-8 characters, then sequences (each after FEh) that are not
// single characters, ended by FFh. The first glyph named for a character keeps it.
std::optional<GlyphMap> ReadPsf2Table(std::span<const std::uint8_t> table, std::uint32_t glyphs) {
  const std::string_view text(reinterpret_cast<const char*>(table.data()), table.size());
  GlyphMap map;
  std::uint32_t glyph = 0;
  bool inSequence = false;
  for (std::size_t at = 0; at < table.size() && glyph < glyphs;) {
    if (table[at] == kPsf2Separator) {
      ++glyph;
      inSequence = false;
      ++at;
    } else if (table[at] == kPsf2StartSequence) {
      inSequence = true;
      ++at;
    } else {
      const auto character = DecodeUtf8(text, at);
      if (!character) return std::nullopt;
      if (!inSequence) map.emplace(*character, glyph);
    }
  }
  return map;
}

// The PSF1 table: the same with 16-bit little-endian values, FFFEh and FFFFh.
GlyphMap ReadPsf1Table(std::span<const std::uint8_t> table, std::uint32_t glyphs) {
  GlyphMap map;
  std::uint32_t glyph = 0;
  bool inSequence = false;
  for (std::size_t at = 0; at + 1 < table.size() && glyph < glyphs; at += 2) {
    const std::uint16_t value = ReadLe16(table, at);
    if (value == kPsf1Separator) {
      ++glyph;
      inSequence = false;
    } else if (value == kPsf1StartSequence) {
      inSequence = true;
    } else if (!inSequence) {
      map.emplace(value, glyph);
    }
  }
  return map;
}

FontResult Damaged(std::string_view source, const char* detail) {
  return FontResult{std::nullopt, StrFormat(text::kFontDamaged, std::string(source).c_str(), detail)};
}

// The glyph bitmaps and the table behind them, once the header has told their sizes.
FontResult BuildFont(std::span<const std::uint8_t> bytes, std::string_view source, std::size_t bitmapStart,
                     std::uint64_t glyphs, unsigned width, unsigned height, bool psf2) {
  if (glyphs == 0 || glyphs > kMaxGlyphs || width == 0 || width > kMaxGlyphSide || height == 0 ||
      height > kMaxGlyphSide) {
    return Damaged(source, text::kFontBadHeader);
  }
  const std::uint64_t bitmapBytes = glyphs * height * ((width + 7) / 8);
  if (bitmapStart > bytes.size() || bytes.size() - bitmapStart < bitmapBytes) {
    return Damaged(source, text::kFontTruncated);
  }
  const auto bitmaps = bytes.subspan(bitmapStart, bitmapBytes);
  const auto table = bytes.subspan(bitmapStart + bitmapBytes);
  const auto count = static_cast<std::uint32_t>(glyphs);
  std::optional<GlyphMap> map = psf2 ? ReadPsf2Table(table, count) : ReadPsf1Table(table, count);
  if (!map) return Damaged(source, text::kFontBadUnicode);
  return FontResult{ConsoleFont(width, height, {bitmaps.begin(), bitmaps.end()}, std::move(*map)), {}};
}

FontResult ParsePsf1(std::span<const std::uint8_t> bytes, std::string_view source) {
  if (bytes.size() < kPsf1HeaderSize) return Damaged(source, text::kFontTruncated);
  const std::uint8_t mode = bytes[2];
  if ((mode & (kPsf1ModeHasTable | kPsf1ModeHasSequences)) == 0) return Damaged(source, text::kFontNoUnicode);
  const std::uint64_t glyphs = (mode & kPsf1Mode512) ? 512 : 256;
  return BuildFont(bytes, source, kPsf1HeaderSize, glyphs, kPsf1Width, bytes[3], false);
}

FontResult ParsePsf2(std::span<const std::uint8_t> bytes, std::string_view source) {
  if (bytes.size() < kPsf2HeaderSize) return Damaged(source, text::kFontTruncated);
  const std::uint32_t headerSize = ReadLe32(bytes, 8);
  const std::uint32_t flags = ReadLe32(bytes, 12);
  const std::uint32_t glyphs = ReadLe32(bytes, 16);
  const std::uint32_t glyphBytes = ReadLe32(bytes, 20);
  const std::uint32_t height = ReadLe32(bytes, 24);
  const std::uint32_t width = ReadLe32(bytes, 28);
  if ((flags & kPsf2HasUnicodeTable) == 0) return Damaged(source, text::kFontNoUnicode);
  if (headerSize < kPsf2HeaderSize || width > kMaxGlyphSide || height > kMaxGlyphSide ||
      std::uint64_t{glyphBytes} != std::uint64_t{height} * ((width + 7) / 8)) {
    return Damaged(source, text::kFontBadHeader);
  }
  return BuildFont(bytes, source, headerSize, glyphs, width, height, true);
}

// The gzip stream inflated; nothing when it is damaged or inflates beyond any console font.
std::optional<std::vector<std::uint8_t>> Gunzip(std::span<const std::uint8_t> compressed) {
  z_stream stream{};
  if (inflateInit2(&stream, kGzipWindowBits) != Z_OK) return std::nullopt;
  std::vector<std::uint8_t> out;
  std::array<std::uint8_t, 16384> chunk{};
  stream.next_in = const_cast<Bytef*>(compressed.data());  // zlib does not write to its input
  stream.avail_in = static_cast<uInt>(compressed.size());
  int status = Z_OK;
  while (status == Z_OK && out.size() <= kMaxFontBytes) {
    stream.next_out = chunk.data();
    stream.avail_out = static_cast<uInt>(chunk.size());
    status = inflate(&stream, Z_NO_FLUSH);
    out.insert(out.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(chunk.size() - stream.avail_out));
    if (status == Z_OK && stream.avail_in == 0 && stream.avail_out != 0) status = Z_DATA_ERROR;  // stream cut short
  }
  inflateEnd(&stream);
  if (status != Z_STREAM_END || out.size() > kMaxFontBytes) return std::nullopt;
  return out;
}

}  // namespace

ConsoleFont::ConsoleFont(unsigned width, unsigned height, std::vector<std::uint8_t> bitmaps, GlyphMap glyphOf)
    : width_(width), height_(height), bitmaps_(std::move(bitmaps)), glyphOf_(std::move(glyphOf)) {}

std::optional<std::uint32_t> ConsoleFont::GlyphFor(char32_t character) const {
  const auto found = glyphOf_.find(character);
  if (found == glyphOf_.end()) return std::nullopt;
  return found->second;
}

bool ConsoleFont::Pixel(std::uint32_t glyph, unsigned x, unsigned y) const {
  if (glyph >= GlyphCount() || x >= width_ || y >= height_) return false;
  const std::size_t rowBytes = (width_ + 7) / 8;
  const std::uint8_t byte = bitmaps_[glyph * GlyphBytes() + y * rowBytes + x / 8];
  return (byte & (0x80 >> (x % 8))) != 0;
}

void ConsoleFont::AddMissingGlyphs(const ConsoleFont& other) {
  if (other.width_ != width_ || other.height_ != height_) return;
  std::unordered_map<std::uint32_t, std::uint32_t> copied;  // glyph of other -> glyph here
  for (const auto& [character, glyph] : other.glyphOf_) {
    if (glyphOf_.contains(character) || glyph >= other.GlyphCount()) continue;
    auto [place, added] = copied.emplace(glyph, static_cast<std::uint32_t>(GlyphCount()));
    if (added) {
      const auto first = other.bitmaps_.begin() + static_cast<std::ptrdiff_t>(glyph * GlyphBytes());
      bitmaps_.insert(bitmaps_.end(), first, first + static_cast<std::ptrdiff_t>(GlyphBytes()));
    }
    glyphOf_.emplace(character, place->second);
  }
}

FontResult ParseConsoleFont(std::span<const std::uint8_t> bytes, std::string_view source) {
  if (StartsWith(bytes, kPsf2Magic)) return ParsePsf2(bytes, source);
  if (StartsWith(bytes, kPsf1Magic)) return ParsePsf1(bytes, source);
  return Damaged(source, text::kFontNoMagic);
}

FontResult LoadConsoleFont(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<std::uint8_t> bytes;
  if (file) {
    bytes.resize(kMaxFileBytes + 1);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
  }
  if (!file && !file.eof()) return FontResult{std::nullopt, StrFormat(text::kFontUnreadable, path.c_str())};
  if (bytes.size() > kMaxFileBytes) return Damaged(path, text::kFontTooLarge);
  if (!StartsWith(bytes, kGzipMagic)) return ParseConsoleFont(bytes, path);
  const auto inflated = Gunzip(bytes);
  if (!inflated) return Damaged(path, text::kFontBadGzip);
  return ParseConsoleFont(*inflated, path);
}

FontResult LoadPreviewFont() {
  std::error_code error;
  if (!std::filesystem::is_regular_file(kPreviewFont, error)) return FontResult{std::nullopt, text::kNoPreviewFont};
  FontResult result = LoadConsoleFont(kPreviewFont);
  if (!result.font || !std::filesystem::is_regular_file(kPreviewFallbackFont, error)) return result;
  FontResult fallback = LoadConsoleFont(kPreviewFallbackFont);
  if (!fallback.font) return fallback;
  result.font->AddMissingGlyphs(*fallback.font);
  return result;
}

}  // namespace korvex
