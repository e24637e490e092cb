#include "image/ImageVerify.h"

#include <variant>

#include "image/BlockDecoding.h"
#include "image/ImageChecksums.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

// Reads (and decompresses) every block; nothing is done with the data.
std::optional<WorkOutcome> DecodeEveryBlock(const ImageLayout& layout, unsigned threads, const BlockFailure& failure,
                                            IProgressSink& progress, const StopFlag& stop) {
  progress.SetStatus(text::kImageStatusBlocks);
  ImageDataReader reader(layout);
  PipelineStages stages = DecodingStages(layout, reader, failure);
  RunProgress run(progress, layout.first.sectorCount);
  stages.write = [&](PipelineBlock& block) -> std::optional<WorkOutcome> {
    run.Advance(layout.first.SectorsOfBlock(block.index));
    return std::nullopt;
  };
  const PipelineShape shape{layout.first.BlockCount(), DecodeBufferBytes(layout), ResolveWorkerCount(threads)};
  return RunBlockPipeline(shape, stages, stop);
}

std::optional<WorkOutcome> CompareWithChecksums(const ImageLayout& layout, const ImageChecksums& checksums,
                                                IProgressSink& progress, const StopFlag& stop) {
  if (checksums.state == ImageChecksums::State::Unusable) return WorkOutcome::Failed(checksums.problem);
  progress.SetStatus(text::kImageStatusChecksums);
  return CompareChecksums(layout, checksums, progress, stop);
}

}  // namespace

std::optional<WorkOutcome> CheckBeforeWriting(const ImageLayout& layout, const ImageChecksums& checksums,
                                              unsigned threads, IProgressSink& progress, const StopFlag& stop) {
  if (checksums.state != ImageChecksums::State::Absent) return CompareWithChecksums(layout, checksums, progress, stop);
  const BlockFailure failure = [](std::uint32_t index, BlockTrouble trouble, const std::string& what) {
    return WorkOutcome::Failed(BlockFailureText(index, trouble, what));
  };
  return DecodeEveryBlock(layout, threads, failure, progress, stop);
}

WorkOutcome VerifyImage(const std::string& path, unsigned threads, IProgressSink& progress, const StopFlag& stop) {
  auto reading = ReadImageLayout(path);
  if (auto* refusal = std::get_if<std::string>(&reading)) return WorkOutcome::Failed(*refusal);
  const ImageLayout& layout = std::get<ImageLayout>(reading);
  const ImageBlockHeader& first = layout.first;
  const ImageChecksums checksums = ReadImageChecksums(path);
  if (checksums.state != ImageChecksums::State::Absent) {
    if (auto end = CompareWithChecksums(layout, checksums, progress, stop)) return *end;
  }
  const BlockFailure failure = [](std::uint32_t index, BlockTrouble, const std::string& what) {
    return WorkOutcome::Failed(StrFormat(text::kImageDamaged, BlockFault(index, what).c_str()));
  };
  if (auto end = DecodeEveryBlock(layout, threads, failure, progress, stop)) return *end;
  std::string report = StrFormat(text::kImageVerified, first.BlockCount(), first.sectorCount);
  if (checksums.state == ImageChecksums::State::Read) {
    report += StrFormat(text::kImageChecksumsMatch, checksums.path.c_str());
  } else {
    report += StrFormat(text::kImageNoChecksumFile, checksums.path.c_str());
    if (first.compressed == 0) report += text::kImageRawUnchecked;
  }
  return WorkOutcome::Done(report);
}

}  // namespace korvex
