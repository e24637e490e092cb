#include "image/ImageRestore.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <variant>

#include "image/BlockDecoding.h"
#include "image/ImageChecksums.h"
#include "image/ImageReading.h"
#include "image/ImageVerify.h"
#include "image/NtfsHiddenSectors.h"
#include "partition/PartitionEntry.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"
#include "platform/TransferErrors.h"

namespace korvex {
namespace {

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
    return {WorkEnd::Failed, SizeMismatchText(first.sectorCount, range->count), PromptIcon::Exclamation};
  }
  auto checked = RestoreTarget(disk, *request.entry, request.logical);
  if (auto* refusal = std::get_if<std::string>(&checked)) return WorkOutcome::Failed(*refusal);
  const SectorRange target = std::get<SectorRange>(checked);
  const auto written = [](std::uint32_t sectors) {
    return sectors == 0 ? std::string(text::kImageNothingWritten) : StrFormat(text::kImagePartlyWritten, sectors);
  };
  // Blocks are written whole and in order, so a block that fails before its write (the failure
  // is made on a worker, ahead of the writer) leaves exactly the blocks before it on the disk.
  const BlockFailure failure = [&](std::uint32_t index, BlockTrouble trouble, const std::string& what) {
    return WorkOutcome::Failed(BlockFailureText(index, trouble, what) + written(index * first.SectorsPerBlock()));
  };
  std::uint32_t sectorsWritten = 0;  // by the writer
  // The whole image is checked before the first write. A check against NAME.sha256 hashes on
  // one thread, so it runs while the first blocks are read and decompressed; a check by
  // decompression takes every core and buffers of its own, so it runs before anything else.
  const ImageChecksums checksums =
      request.checkFirst ? ReadImageChecksums(layout.files.front()) : ImageChecksums{};
  const auto checkImage = [&]() -> std::optional<WorkOutcome> {
    auto end = CheckBeforeWriting(layout, checksums, request.threads, progress, stop);
    if (end && end->end != WorkEnd::Cancelled) end = WorkOutcome::Failed(end->text + text::kImageNothingWritten);
    return end;
  };
  const bool checkAlongside = request.checkFirst && checksums.state != ImageChecksums::State::Absent;
  if (request.checkFirst && !checkAlongside) {
    if (auto end = checkImage()) {
      if (end->end == WorkEnd::Cancelled) return WorkOutcome::Cancelled(text::kImageRestoreCancelled + written(0));
      return *end;
    }
  }
  ImageDataReader reader(layout);
  PipelineStages stages = DecodingStages(layout, reader, failure);
  std::optional<RunProgress> run;  // from the first write on
  stages.beforeWriting = [&]() -> std::optional<WorkOutcome> {
    if (checkAlongside) {
      if (auto end = checkImage()) return end;
    }
    progress.SetStatus(text::kImageStatusWriting);
    run.emplace(progress, first.sectorCount);
    return std::nullopt;
  };
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
      const std::string before = sectorsWritten == 0 ? std::string() : written(sectorsWritten);
      return WorkOutcome::Failed(StrFormat(text::kImageTargetWriteFailed, disk.DeviceName().c_str(), at,
                                           at + sectors - 1, TransferErrorText(error != 0 ? error : EIO).c_str()) +
                                 before + StrFormat(text::kImageBlockMayBeWritten, at, at + sectors - 1));
    }
    sectorsWritten += sectors;
    run->Advance(sectors);
    return std::nullopt;
  };
  const PipelineShape shape{first.BlockCount(), DecodeBufferBytes(layout), ResolveWorkerCount(request.threads)};
  if (auto end = RunBlockPipeline(shape, stages, stop)) {
    if (end->end == WorkEnd::Cancelled) return WorkOutcome::Cancelled(text::kImageRestoreCancelled + written(sectorsWritten));
    return *end;
  }
  if (!disk.Transport()->Flush()) {
    return WorkOutcome::Failed(StrFormat(text::kFlushFailed, disk.DeviceName().c_str()) +
                               StrFormat(text::kImageWrittenNotFlushed, target.count));
  }
  return WorkOutcome::Done(text::kImageRestored);
}

std::string SizeMismatchText(std::uint32_t imageSectors, std::uint32_t partitionSectors) {
  return text::kImageSizeMismatch + StrFormat(text::kImageSizesDiffer, imageSectors, partitionSectors);
}

}  // namespace korvex
