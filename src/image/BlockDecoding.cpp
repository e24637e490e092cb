#include "image/BlockDecoding.h"

#include <algorithm>

#include "image/BlockCompression.h"
#include "platform/DiskGeometry.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {

PipelineStages DecodingStages(const ImageLayout& layout, ImageDataReader& reader, const BlockFailure& failure) {
  const ImageBlockHeader& first = layout.first;
  PipelineStages stages;
  stages.read = [&layout, &reader, failure](PipelineBlock& block) -> std::optional<WorkOutcome> {
    const ImageRecord& record = layout.records[block.index];
    block.size = record.header.dataSize;
    if (reader.Read(block.index, block.buffer)) return std::nullopt;
    return failure(block.index, BlockTrouble::Unreadable,
                   StrFormat(text::kImageFileUnreadable, layout.files[record.file].c_str()));
  };
  if (first.compressed == 1) {
    stages.transform = [first, failure](PipelineBlock& block,
                                        BlockBuffer& scratch) -> std::optional<WorkOutcome> {
      const std::uint32_t sectors = first.SectorsOfBlock(block.index);
      const std::size_t bytes = std::size_t{sectors} * kSectorSize;
      switch (DecompressBlock(block.Data(), std::span(scratch).first(bytes))) {
        case DecompressResult::Exact:
          std::swap(block.buffer, scratch);
          block.size = bytes;
          return std::nullopt;
        case DecompressResult::TooLong:
          return failure(block.index, BlockTrouble::Undecodable, StrFormat(text::kImageDataTooLong, sectors));
        case DecompressResult::TooShort:
          return failure(block.index, BlockTrouble::Undecodable, StrFormat(text::kImageDataTooShort, sectors));
        case DecompressResult::Damaged:
          break;
      }
      return failure(block.index, BlockTrouble::Undecodable, text::kImageDataDamaged);
    };
  }
  return stages;
}

std::size_t DecodeBufferBytes(const ImageLayout& layout) {
  std::size_t bytes = std::size_t{layout.first.SectorsOfBlock(0)} * kSectorSize;
  for (const ImageRecord& record : layout.records) bytes = std::max<std::size_t>(bytes, record.header.dataSize);
  return bytes;
}

std::string BlockFault(std::uint32_t index, const std::string& what) {
  return StrFormat(text::kImageBlockFault, index, what.c_str());
}

std::string BlockFailureText(std::uint32_t index, BlockTrouble trouble, const std::string& what) {
  if (trouble == BlockTrouble::Undecodable) {
    return std::string(text::kImageDecompressionFailed) + "\n" + BlockFault(index, what);
  }
  return StrFormat(text::kImageDamaged, BlockFault(index, what).c_str());
}

}  // namespace korvex
