#include "image/ImageFormat.h"

#include <algorithm>

#include "partition/PartitionEntry.h"
#include "platform/OnDiskFields.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

// Field offsets of the 23-byte header.
constexpr std::size_t kOffIndex = 0;
constexpr std::size_t kOffBlockBytes = 4;
constexpr std::size_t kOffDataSize = 8;
constexpr std::size_t kOffStartSector = 12;
constexpr std::size_t kOffSectorCount = 16;
constexpr std::size_t kOffType = 20;
constexpr std::size_t kOffCompressed = 21;
constexpr std::size_t kOffSplit = 22;
static_assert(kOffSplit + 1 == kImageHeaderSize);

// The fields every header repeats (offsets 4..22).
bool SameImageFields(const ImageBlockHeader& a, const ImageBlockHeader& b) {
  return a.blockBytes == b.blockBytes && a.startSector == b.startSector && a.sectorCount == b.sectorCount &&
         a.partitionType == b.partitionType && a.compressed == b.compressed && a.split == b.split;
}

}  // namespace

std::uint32_t ImageBlockHeader::BlockCount() const {
  const std::uint32_t perBlock = SectorsPerBlock();
  return perBlock == 0 ? 0 : static_cast<std::uint32_t>((std::uint64_t{sectorCount} + perBlock - 1) / perBlock);
}

std::uint32_t ImageBlockHeader::SectorsOfBlock(std::uint32_t index) const {
  const std::uint64_t first = std::uint64_t{index} * SectorsPerBlock();
  if (first >= sectorCount) return 0;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(SectorsPerBlock(), sectorCount - first));
}

HeaderBytes EncodeHeader(const ImageBlockHeader& header) {
  HeaderBytes bytes{};
  const std::span<std::uint8_t> out(bytes);
  WriteLe32(out, kOffIndex, header.blockIndex);
  WriteLe32(out, kOffBlockBytes, header.blockBytes);
  WriteLe32(out, kOffDataSize, header.dataSize);
  WriteLe32(out, kOffStartSector, header.startSector);
  WriteLe32(out, kOffSectorCount, header.sectorCount);
  bytes[kOffType] = header.partitionType;
  bytes[kOffCompressed] = header.compressed;
  bytes[kOffSplit] = header.split;
  return bytes;
}

ImageBlockHeader DecodeHeader(std::span<const std::uint8_t, kImageHeaderSize> bytes) {
  ImageBlockHeader header;
  header.blockIndex = ReadLe32(bytes, kOffIndex);
  header.blockBytes = ReadLe32(bytes, kOffBlockBytes);
  header.dataSize = ReadLe32(bytes, kOffDataSize);
  header.startSector = ReadLe32(bytes, kOffStartSector);
  header.sectorCount = ReadLe32(bytes, kOffSectorCount);
  header.partitionType = bytes[kOffType];
  header.compressed = bytes[kOffCompressed];
  header.split = bytes[kOffSplit];
  return header;
}

std::uint32_t CompressedBound(std::uint32_t blockBytes) { return blockBytes + blockBytes / 100 + 600; }

std::string BlockFileName(const std::string& mainFile, unsigned n) { return StrFormat("%s.%3.3d", mainFile.c_str(), n); }

bool SplitPoints::NextStartsFile(std::size_t dataBytes) {
  const bool starts = limit_ && dataInFile_ + dataBytes > *limit_;
  if (starts) dataInFile_ = 0;
  dataInFile_ += dataBytes;
  return starts;
}

std::optional<std::string> HeaderFault(const ImageBlockHeader& header, const ImageBlockHeader& first,
                                       std::uint32_t expectedIndex) {
  const auto fault = [&](const std::string& what) {
    return std::optional<std::string>(StrFormat(text::kImageBlockFault, expectedIndex, what.c_str()));
  };
  if (first.blockBytes == 0 || first.blockBytes % kSectorSize != 0 || first.blockBytes > kMaxBlockBytes) {
    return fault(StrFormat(text::kImageBadBlockBytes, first.blockBytes, kMaxBlockBytes));
  }
  if (first.sectorCount == 0) return fault(text::kImageNoSectors);
  if (first.compressed > 1) return fault(StrFormat(text::kImageBadCompressedFlag, unsigned{first.compressed}));
  if (first.split > 1) return fault(StrFormat(text::kImageBadSplitFlag, unsigned{first.split}));
  if (header.blockIndex != expectedIndex) return fault(StrFormat(text::kImageBadIndex, header.blockIndex));
  if (!SameImageFields(header, first)) return fault(text::kImageHeaderDiffers);
  const std::uint32_t rawBytes = first.SectorsOfBlock(expectedIndex) * kSectorSize;
  if (header.compressed == 0 && header.dataSize != rawBytes) {
    return fault(StrFormat(text::kImageRawSizeWrong, header.dataSize, rawBytes));
  }
  if (header.compressed == 1 && (header.dataSize == 0 || header.dataSize > CompressedBound(first.blockBytes))) {
    return fault(StrFormat(text::kImageCompressedSizeWrong, header.dataSize, CompressedBound(first.blockBytes)));
  }
  return std::nullopt;
}

}  // namespace korvex
