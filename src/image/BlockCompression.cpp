#include "image/BlockCompression.h"

#include <bzlib.h>

#include <limits>

namespace korvex {
namespace {

constexpr int kBlockSize100k = 1;
constexpr int kVerbosity = 0;
constexpr int kWorkFactor = 30;
constexpr int kSmallMemory = 0;

char* AsChars(const std::uint8_t* bytes) { return reinterpret_cast<char*>(const_cast<std::uint8_t*>(bytes)); }

bool FitsUnsigned(std::size_t size) { return size <= std::numeric_limits<unsigned>::max(); }

}  // namespace

std::optional<std::uint32_t> CompressBlock(std::span<const std::uint8_t> input, std::span<std::uint8_t> output) {
  if (!FitsUnsigned(input.size()) || !FitsUnsigned(output.size())) return std::nullopt;
  auto length = static_cast<unsigned>(output.size());
  const int result = BZ2_bzBuffToBuffCompress(AsChars(output.data()), &length, AsChars(input.data()),
                                              static_cast<unsigned>(input.size()), kBlockSize100k, kVerbosity,
                                              kWorkFactor);
  if (result != BZ_OK) return std::nullopt;
  return length;
}

DecompressResult DecompressBlock(std::span<const std::uint8_t> input, std::span<std::uint8_t> output) {
  if (!FitsUnsigned(input.size()) || !FitsUnsigned(output.size())) return DecompressResult::Damaged;
  auto length = static_cast<unsigned>(output.size());
  const int result = BZ2_bzBuffToBuffDecompress(AsChars(output.data()), &length, AsChars(input.data()),
                                                static_cast<unsigned>(input.size()), kSmallMemory, kVerbosity);
  if (result == BZ_OUTBUFF_FULL) return DecompressResult::TooLong;
  if (result != BZ_OK) return DecompressResult::Damaged;
  return length == output.size() ? DecompressResult::Exact : DecompressResult::TooShort;
}

}  // namespace korvex
