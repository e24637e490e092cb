#include "image/ImageRestoreForm.h"

#include <variant>

#include "image/ImageReading.h"
#include "image/ImageSaveForm.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr std::uint32_t kSectorsPerMegabyte = 2048;

}  // namespace

ImageSummary SummaryOf(const ImageBlockHeader& first) {
  return {first.sectorCount / kSectorsPerMegabyte, first.partitionType, first.compressed != 0};
}

ImageFileCheck CheckImageFile(const std::string& path, std::uint32_t expectedSectors) {
  ImageFileCheck check;
  if (path.empty()) return check;
  const FirstHeader first = ReadFirstHeader(path);
  if (first.state == FirstHeaderState::CannotOpen) return check;
  if (first.state != FirstHeaderState::Read) return {false, std::nullopt, FirstHeaderRefusal(first.state, path), PromptIcon::Stop};
  check.canStart = true;
  check.summary = SummaryOf(first.header);
  if (first.header.sectorCount != expectedSectors) {
    check.message = text::kImageSizeMismatch;
    check.icon = PromptIcon::Exclamation;
  }
  return check;
}

std::optional<ImageRestoreRequest> PrepareImageRestore(const std::string& fileName, CHardDisk& disk,
                                                       const CPartition& entry, bool logical, unsigned threads,
                                                       CPrompt& prompt) {
  const std::string path = TrimFileName(fileName);
  if (path.empty()) {
    prompt.Message(text::kImageNameMissing, PromptIcon::Stop);
    return std::nullopt;
  }
  if (auto refusal = ImageRangeRefusal(entry, logical)) {
    prompt.Message(*refusal, PromptIcon::Stop);
    return std::nullopt;
  }
  const auto range = ImagedRange(entry, logical);
  const FirstHeader first = ReadFirstHeader(path);
  if (first.state != FirstHeaderState::Read) {
    prompt.Message(FirstHeaderRefusal(first.state, path), PromptIcon::Stop);
    return std::nullopt;
  }
  if (first.header.sectorCount != range->count) {
    prompt.Message(text::kImageSizeMismatch, PromptIcon::Exclamation);
    return std::nullopt;
  }
  if (const auto checked = RestoreTarget(disk, entry, logical); const auto* refusal = std::get_if<std::string>(&checked)) {
    prompt.Message(*refusal, PromptIcon::Stop);
    return std::nullopt;
  }
  ImageRestoreRequest request;
  request.disk = &disk;
  request.entry = &entry;
  request.logical = logical;
  request.path = path;
  request.threads = threads;
  return request;
}

}  // namespace korvex
