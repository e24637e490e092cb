#include "image/ImageRestore.h"

#include <algorithm>
#include <array>
#include <functional>
#include <variant>

#include "image/BlockCompression.h"
#include "image/BlockPipeline.h"
#include "image/ImageReading.h"
#include "partition/PartitionEntry.h"
#include "partition/SectorRanges.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

enum class BlockTrouble { Unreadable, Undecodable };
// The outcome of a block that cannot be read from its file or decompressed.
using BlockFailure = std::function<WorkOutcome(std::uint32_t index, BlockTrouble trouble, const std::string& what)>;

// Stages that read each record's data and, for a compressed image, decompress it on the
// workers into exactly the sectors the block must hold.
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
                                        std::vector<std::uint8_t>& scratch) -> std::optional<WorkOutcome> {
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

// Buffers hold a record's data and what it decompresses to.
std::size_t BufferBytes(const ImageBlockHeader& first) {
  return first.compressed == 1 ? CompressedBound(first.blockBytes) : first.blockBytes;
}

std::string BlockFault(std::uint32_t index, const std::string& what) {
  return StrFormat(text::kImageBlockFault, index, what.c_str());
}

// NTFS boot code finds its volume by the hidden-sector field, which must hold the volume's
// absolute first sector wherever the image came from. The volume's last sector keeps a copy of
// the boot sector; while it is an exact copy inside the target, it gets the same field.
std::optional<WorkOutcome> SetNtfsHiddenSectors(CPhysicalDrive& disk, const SectorRange& target) {
  using Sector = std::array<std::uint8_t, kSectorSize>;
  constexpr std::string_view kNtfsId = "NTFS    ";
  constexpr std::size_t kIdOffset = 3, kBytesPerSectorLow = 11, kHiddenSectors = 28, kVolumeSectors = 40;
  Sector boot{};
  if (!disk.ReadSectors(target.first, 1, boot)) return std::nullopt;
  if (!std::equal(kNtfsId.begin(), kNtfsId.end(), boot.begin() + kIdOffset) || boot[kBytesPerSectorLow] != 0 ||
      ReadLe32(std::span(boot).subspan(kHiddenSectors)) == target.first) {
    return std::nullopt;
  }
  const std::uint64_t volumeSectors = ReadLe32(std::span(boot).subspan(kVolumeSectors)) |
                                      std::uint64_t{ReadLe32(std::span(boot).subspan(kVolumeSectors + 4))} << 32;
  std::vector<std::uint32_t> copies = {static_cast<std::uint32_t>(target.first)};  // below 2^32: checked first
  Sector backup{};
  if (volumeSectors < target.count && disk.ReadSectors(static_cast<std::uint32_t>(target.first + volumeSectors), 1, backup) &&
      backup == boot) {
    copies.push_back(static_cast<std::uint32_t>(target.first + volumeSectors));
  }
  WriteLe32(std::span(boot).subspan(kHiddenSectors), target.first);
  for (const std::uint32_t sector : copies) {
    if (!disk.WriteSectors(sector, 1, boot)) {
      return WorkOutcome::Failed(StrFormat(text::kImageTargetWriteFailed, disk.DeviceName().c_str(), sector, sector));
    }
  }
  return std::nullopt;
}

}  // namespace

WorkOutcome RestoreImage(const ImageRestoreRequest& request, IProgressSink& progress, const StopFlag& stop) {
  CPhysicalDrive& disk = *request.disk;
  const SectorRange target = request.target;
  if (const IDiskTransport* transport = disk.Transport()) {
    if (auto mounted = FindMountedOverlap(transport->Describe(), target.first, target.count, request.mounts)) {
      return WorkOutcome::Failed(
          StrFormat(text::kImageTargetMounted, mounted->device.c_str(), mounted->mountPoint.c_str()));
    }
  }
  auto reading = ReadImageLayout(request.path);
  if (auto* refusal = std::get_if<std::string>(&reading)) return WorkOutcome::Failed(*refusal + text::kImageNothingWritten);
  const ImageLayout& layout = std::get<ImageLayout>(reading);
  const ImageBlockHeader& first = layout.first;
  if (first.sectorCount != target.count) {
    return {WorkEnd::Failed, text::kImageSizeMismatch, PromptIcon::Exclamation};
  }
  const std::uint64_t mediumSectors = disk.MediumSectors();
  if (!MbrAddressable(target.first, target.count)) {
    return WorkOutcome::Failed(NotAddressableText(target.first) + text::kImageNothingWritten);
  }
  if (!disk.IsUsable() || (mediumSectors != 0 && target.End() > mediumSectors)) {
    return WorkOutcome::Failed(StrFormat(text::kImageTargetBeyondDisk, disk.DeviceName().c_str()));
  }

  // Every block before index is whole, so exactly index cylinders are on the disk when a
  // block fails.
  const auto written = [&](std::uint32_t index) {
    const std::uint32_t sectors = index * first.SectorsPerBlock();
    return sectors == 0 ? std::string(text::kImageNothingWritten) : StrFormat(text::kImagePartlyWritten, sectors);
  };
  const BlockFailure failure = [&](std::uint32_t index, BlockTrouble trouble, const std::string& what) {
    const std::string lead = trouble == BlockTrouble::Undecodable
                                 ? std::string(text::kImageDecompressionFailed) + "\n" + BlockFault(index, what)
                                 : StrFormat(text::kImageDamaged, BlockFault(index, what).c_str());
    return WorkOutcome::Failed(lead + written(index));
  };
  ImageDataReader reader(layout);
  PipelineStages stages = DecodingStages(layout, reader, failure);
  RunProgress run(progress, first.sectorCount);
  // Each block holds exactly its cylinder of the range (checked by the walk and the decoder),
  // so the writes stay inside the target.
  stages.write = [&](PipelineBlock& block) -> std::optional<WorkOutcome> {
    const std::uint32_t sectors = first.SectorsOfBlock(block.index);
    const std::uint32_t at = target.first + block.index * first.SectorsPerBlock();
    if (!disk.WriteSectors(at, sectors, block.Data())) {
      return WorkOutcome::Failed(
          StrFormat(text::kImageTargetWriteFailed, disk.DeviceName().c_str(), at, at + sectors - 1) +
          written(block.index));
    }
    run.Advance(sectors);
    return std::nullopt;
  };
  const PipelineShape shape{first.BlockCount(), BufferBytes(first), ResolveWorkerCount(request.threads)};
  if (auto end = RunBlockPipeline(shape, stages, stop)) return *end;
  if (!disk.Transport()->Flush()) return WorkOutcome::Failed(StrFormat(text::kFlushFailed, disk.DeviceName().c_str()));
  if (auto failed = SetNtfsHiddenSectors(disk, target)) return *failed;
  return WorkOutcome::Done(text::kImageRestored);
}

WorkOutcome VerifyImage(const std::string& path, unsigned threads, IProgressSink& progress, const StopFlag& stop) {
  auto reading = ReadImageLayout(path);
  if (auto* refusal = std::get_if<std::string>(&reading)) return WorkOutcome::Failed(*refusal);
  const ImageLayout& layout = std::get<ImageLayout>(reading);
  const ImageBlockHeader& first = layout.first;
  const BlockFailure failure = [](std::uint32_t index, BlockTrouble, const std::string& what) {
    return WorkOutcome::Failed(StrFormat(text::kImageDamaged, BlockFault(index, what).c_str()));
  };
  ImageDataReader reader(layout);
  PipelineStages stages = DecodingStages(layout, reader, failure);
  RunProgress run(progress, first.sectorCount);
  stages.write = [&](PipelineBlock& block) -> std::optional<WorkOutcome> {
    run.Advance(first.SectorsOfBlock(block.index));
    return std::nullopt;
  };
  const PipelineShape shape{first.BlockCount(), BufferBytes(first), ResolveWorkerCount(threads)};
  if (auto end = RunBlockPipeline(shape, stages, stop)) return *end;
  return WorkOutcome::Done(StrFormat(text::kImageVerified, first.BlockCount(), first.sectorCount));
}

}  // namespace korvex
