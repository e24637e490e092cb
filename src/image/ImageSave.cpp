#include "image/ImageSave.h"

#include "image/BlockCompression.h"
#include "image/BlockPipeline.h"
#include "image/ImageFileHashes.h"
#include "image/ImageFileWriter.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

// Reads sectors [first, first + count) whole into buffer; nothing when every byte came, else
// the first sector that cannot be read.
std::optional<std::uint64_t> ReadRun(IDiskTransport& disk, std::uint64_t first, std::uint32_t count,
                                     std::span<std::uint8_t> buffer) {
  const std::size_t bytes = std::size_t{count} * kSectorSize;
  if (disk.Read(first * kSectorSize, buffer.first(bytes)) == static_cast<std::int32_t>(bytes)) return std::nullopt;
  // Sector by sector to name the one that fails.
  for (std::uint32_t i = 0; i < count; ++i) {
    const auto sector = buffer.subspan(std::size_t{i} * kSectorSize, kSectorSize);
    if (disk.Read((first + i) * kSectorSize, sector) != static_cast<std::int32_t>(kSectorSize)) return first + i;
  }
  return first;  // the run failed although each of its sectors reads: report its start
}

}  // namespace

WorkOutcome SaveImage(const ImageSaveRequest& request, IProgressSink& progress, const StopFlag& stop) {
  CPhysicalDrive& disk = *request.disk;
  const std::uint64_t sectorsPerBlock = std::uint64_t{disk.Heads()} * disk.SectorsPerTrack();
  if (sectorsPerBlock == 0 || sectorsPerBlock * kSectorSize > kMaxBlockBytes || !disk.IsUsable()) {
    return WorkOutcome::Failed(
        StrFormat(text::kImageBadGeometry, disk.DeviceName().c_str(), disk.Heads(), disk.SectorsPerTrack()));
  }
  ImageBlockHeader image;  // the fields every record's header shares
  image.blockBytes = static_cast<std::uint32_t>(sectorsPerBlock * kSectorSize);
  image.startSector = request.range.first;
  image.sectorCount = request.range.count;
  image.partitionType = request.partitionType;
  image.compressed = request.compressed ? 1 : 0;
  image.split = request.splitLimit ? 1 : 0;
  const auto recordHeader = [image](const PipelineBlock& block) {
    ImageBlockHeader header = image;
    header.blockIndex = block.index;
    header.dataSize = static_cast<std::uint32_t>(block.size);
    return header;
  };

  std::vector<FileIdentity> diskFiles = request.diskFiles;
  if (const auto own = disk.Transport()->Identity()) diskFiles.push_back(*own);
  ImageFileWriter files(request.path, request.splitLimit, std::move(diskFiles));
  // Why the files could not be written: a refused name, else the message of its kind followed
  // by the file and the system's reason.
  const auto failed = [&](const std::string& otherwise) {
    if (!files.Refusal().empty()) return WorkOutcome::Failed(files.Refusal());
    if (files.FailedPath().empty()) return WorkOutcome::Failed(otherwise);
    return WorkOutcome::Failed(
        otherwise + StrFormat(text::kPathAndReason, files.FailedPath().c_str(), files.FailureReason().c_str()));
  };
  if (!files.Open()) return failed(LoadResString(IDS_BACKUP_CANNOT_OPEN));

  IDiskTransport& source = *disk.Transport();
  RunProgress run(progress, image.sectorCount);
  PipelineStages stages;
  stages.read = [&](PipelineBlock& block) -> std::optional<WorkOutcome> {
    const std::uint32_t sectors = image.SectorsOfBlock(block.index);
    block.size = std::size_t{sectors} * kSectorSize;
    const std::uint64_t first = image.startSector + std::uint64_t{block.index} * sectorsPerBlock;
    if (auto bad = ReadRun(source, first, sectors, block.buffer)) {
      return WorkOutcome::Failed(
          StrFormat(text::kImageReadFailed, disk.DeviceName().c_str(), static_cast<unsigned>(*bad)));
    }
    return std::nullopt;
  };
  if (request.compressed) {
    stages.transform = [](PipelineBlock& block, BlockBuffer& scratch) -> std::optional<WorkOutcome> {
      const auto length = CompressBlock(block.Data(), scratch);
      if (!length) return WorkOutcome::Failed(text::kImageCompressionFailed);
      std::swap(block.buffer, scratch);
      block.size = *length;
      return std::nullopt;
    };
  }
  stages.write = [&](PipelineBlock& block) -> std::optional<WorkOutcome> {
    if (!files.WriteRecord(recordHeader(block), block.Data())) return failed(text::kImageSaveWriteFailed);
    run.Advance(image.SectorsOfBlock(block.index));
    return std::nullopt;
  };
  ImageFileHashes hashes(request.splitLimit);
  stages.alongside = [&](const PipelineBlock& block) {
    hashes.Add(recordHeader(block), block.Data());
  };
  const std::size_t bufferBytes = request.compressed ? CompressedBound(image.blockBytes) : image.blockBytes;
  const PipelineShape shape{image.BlockCount(), bufferBytes, ResolveWorkerCount(request.threads)};
  if (auto end = RunBlockPipeline(shape, stages, stop)) {
    files.Discard();
    if (end->end == WorkEnd::Cancelled) return WorkOutcome::Cancelled(text::kImageSaveCancelled);
    return *end;
  }
  if (!files.Commit(hashes.Finish())) return failed(text::kImageSaveWriteFailed);
  return WorkOutcome::Done(text::kImageSaved + files.SurplusNotice());
}

}  // namespace korvex
