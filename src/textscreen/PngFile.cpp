#include "textscreen/PngFile.h"

#include <zlib.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kColourTypeRgb = 2;
constexpr std::uint8_t kFilterNone = 0;

void AppendBe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A chunk: length, type, data, and the CRC over type and data.
void AppendChunk(std::vector<std::uint8_t>& out, std::string_view type, const std::vector<std::uint8_t>& data) {
  AppendBe32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
  AppendBe32(out, static_cast<std::uint32_t>(crc));
}

// The file's bytes; nothing when the picture cannot be compressed.
std::optional<std::vector<std::uint8_t>> EncodePng(const RgbImage& image) {
  std::vector<std::uint8_t> header;
  AppendBe32(header, image.width);
  AppendBe32(header, image.height);
  header.insert(header.end(), {kBitDepth, kColourTypeRgb, 0, 0, 0});  // compression, filter, interlace
  // Every row starts with its filter byte.
  const std::size_t rowBytes = std::size_t{image.width} * 3;
  std::vector<std::uint8_t> raw;
  raw.reserve((rowBytes + 1) * image.height);
  for (unsigned y = 0; y < image.height; ++y) {
    raw.push_back(kFilterNone);
    const auto row = image.pixels.begin() + static_cast<std::ptrdiff_t>(y * rowBytes);
    raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
  }
  uLongf compressedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> compressed(compressedSize);
  if (compress2(compressed.data(), &compressedSize, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) !=
      Z_OK) {
    return std::nullopt;
  }
  compressed.resize(compressedSize);
  std::vector<std::uint8_t> file(kSignature.begin(), kSignature.end());
  AppendChunk(file, "IHDR", header);
  AppendChunk(file, "IDAT", compressed);
  AppendChunk(file, "IEND", {});
  return file;
}

}  // namespace

std::optional<std::string> WritePng(const std::string& path, const RgbImage& image) {
  const std::string failed = StrFormat(text::kImageCannotWrite, path.c_str());
  if (image.pixels.size() != std::size_t{image.width} * image.height * 3) return failed;
  const auto bytes = EncodePng(image);
  if (!bytes) return failed;
  const std::string temporary = path + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
    file.close();
    if (!file) {
      std::remove(temporary.c_str());
      return failed;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::remove(temporary.c_str());
    return failed;
  }
  return std::nullopt;
}

}  // namespace korvex
