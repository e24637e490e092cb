#include "image/ImageRestore.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <variant>

#include "image/BlockCompression.h"
#include "image/BlockPipeline.h"
#include "image/ImageReading.h"
#include "image/NtfsHiddenSectors.h"
#include "partition/PartitionEntry.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"
#include "platform/TransferErrors.h"

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

// Buffers hold the largest record's data and the largest block's sectors (the first block, the
// only one when the image is shorter than a cylinder): what the records need, not what their
// headers allow, so that a small damaged image never claims buffers for cylinders it lacks.
std::size_t BufferBytes(const ImageLayout& layout) {
  std::size_t bytes = std::size_t{layout.first.SectorsOfBlock(0)} * kSectorSize;
  for (const ImageRecord& record : layout.records) bytes = std::max<std::size_t>(bytes, record.header.dataSize);
  return bytes;
}

std::string BlockFault(std::uint32_t index, const std::string& what) {
  return StrFormat(text::kImageBlockFault, index, what.c_str());
}

}  // namespace

std::variant<SectorRange, std::string> RestoreTarget(const CHardDisk& disk, const CPartition& entry, bool logical) {
  if (auto refusal = ImageRangeRefusal(entry, logical)) return *refusal + text::kImageNothingWritten;
  const auto range = ImagedRange(entry, logical);
  const std::uint64_t end = range->End();
  const auto overlap = [&](const std::string& what) {
    // Both below 2^32: ImageRangeRefusal took the range.
    return StrFormat(text::kImageTargetOverlaps, static_cast<unsigned>(range->first), static_cast<unsigned>(end - 1),
                     what.c_str());
  };
  if (range->first == 0) return overlap(text::kImageTargetSectorZero);
  if (disk.EngineInstalled() && range->first < kEngineTrackSectors) return overlap(text::kImageTargetEngineTrack);
  // A logical drive lies inside the extended partition that holds it; nothing else may share a
  // sector with the range, and every other logical drive begins with its extended boot record.
  const CPartition* holder = logical ? disk.FindExtended() : nullptr;
  if (const CPartition* other = disk.UsedObjectIn(range->first, end, {&entry, holder})) {
    const bool otherLogical = disk.logical.FindFirst([&](const CPartition& p) { return &p == other; }) != nullptr;
    return overlap(StrFormat(otherLogical ? text::kImageTargetLogical : text::kImageTargetPartition, other->start));
  }
  const std::uint64_t mediumSectors = disk.MediumSectors();
  if (!disk.IsUsable() || (mediumSectors != 0 && end > mediumSectors)) {
    return StrFormat(text::kImageTargetBeyondDisk, disk.DeviceName().c_str());
  }
  return *range;
}

std::optional<std::string> RestoreTargetRefusal(const CHardDisk& disk, const CPartition& entry, bool logical) {
  auto checked = RestoreTarget(disk, entry, logical);
  if (auto* refusal = std::get_if<std::string>(&checked)) return std::move(*refusal);
  return std::nullopt;
}

WorkOutcome RestoreImage(const ImageRestoreRequest& request, IProgressSink& progress, const StopFlag& stop) {
  CHardDisk& disk = *request.disk;
  const auto range = ImagedRange(*request.entry, request.logical);
  if (!range) return WorkOutcome::Failed(text::kImageNoRange);
  if (const IDiskTransport* transport = disk.Transport()) {
    if (auto mounted = FindMountedOverlap(transport->Describe(), range->first, range->count, request.mounts)) {
      return WorkOutcome::Failed(
          StrFormat(text::kImageTargetMounted, mounted->device.c_str(), mounted->mountPoint.c_str()));
    }
  }
  auto reading = ReadImageLayout(request.path);
  if (auto* refusal = std::get_if<std::string>(&reading)) return WorkOutcome::Failed(*refusal + text::kImageNothingWritten);
  const ImageLayout& layout = std::get<ImageLayout>(reading);
  const ImageBlockHeader& first = layout.first;
  if (first.sectorCount != range->count) {
    return {WorkEnd::Failed, text::kImageSizeMismatch, PromptIcon::Exclamation};
  }
  auto checked = RestoreTarget(disk, *request.entry, request.logical);
  if (auto* refusal = std::get_if<std::string>(&checked)) return WorkOutcome::Failed(*refusal);
  const SectorRange target = std::get<SectorRange>(checked);

  // Every block before index is whole, so exactly index cylinders are on the disk when a
  // block fails before its write.
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
  NtfsHiddenSectors hiddenSectors(target);
  // Each block holds exactly its cylinder of the range (checked by the walk and the decoder),
  // so the writes stay inside the target.
  stages.write = [&](PipelineBlock& block) -> std::optional<WorkOutcome> {
    const std::uint32_t sectors = first.SectorsOfBlock(block.index);
    const std::uint32_t offset = block.index * first.SectorsPerBlock();
    const std::uint32_t at = target.first + offset;
    hiddenSectors.Apply(offset, block.Data());
    if (!disk.WriteSectors(at, sectors, block.Data())) {
      // A failed write may have changed any of its sectors, however little it reports.
      const int error = disk.Transport() != nullptr ? disk.Transport()->LastErrorNumber() : 0;
      const std::string before = block.index == 0 ? std::string() : written(block.index);
      return WorkOutcome::Failed(StrFormat(text::kImageTargetWriteFailed, disk.DeviceName().c_str(), at,
                                           at + sectors - 1, TransferErrorText(error != 0 ? error : EIO).c_str()) +
                                 before + StrFormat(text::kImageBlockMayBeWritten, at, at + sectors - 1));
    }
    run.Advance(sectors);
    return std::nullopt;
  };
  const std::size_t bufferBytes = BufferBytes(layout);
  const PipelineShape shape{first.BlockCount(), bufferBytes, ResolveWorkerCount(request.threads)};
  if (auto end = RunBlockPipeline(shape, stages, stop)) return *end;
  if (!disk.Transport()->Flush()) {
    return WorkOutcome::Failed(StrFormat(text::kFlushFailed, disk.DeviceName().c_str()) +
                               StrFormat(text::kImageWrittenNotFlushed, target.count));
  }
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
  const PipelineShape shape{first.BlockCount(), BufferBytes(layout), ResolveWorkerCount(threads)};
  if (auto end = RunBlockPipeline(shape, stages, stop)) return *end;
  return WorkOutcome::Done(StrFormat(text::kImageVerified, first.BlockCount(), first.sectorCount));
}

}  // namespace korvex
