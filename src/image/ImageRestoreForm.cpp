#include "image/ImageRestoreForm.h"

#include <variant>

#include "disk/FormatSize.h"
#include "image/ImageReading.h"
#include "image/ImageSaveForm.h"
#include "platform/DiskGeometry.h"
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
  if (first.state != FirstHeaderState::Read) return {std::nullopt, FirstHeaderRefusal(first, path), PromptIcon::Stop};
  check.summary = SummaryOf(first.header);
  if (first.header.sectorCount != expectedSectors) {
    check.message = SizeMismatchText(first.header.sectorCount, expectedSectors);
    check.icon = PromptIcon::Exclamation;
  }
  return check;
}

std::optional<ImageRestoreRequest> PrepareImageRestore(const ImageRestoreForm& form, CHardDisk& disk,
                                                       const CPartition& entry, bool logical, CPrompt& prompt) {
  const std::string path = TrimFileName(form.fileName);
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
    prompt.Message(FirstHeaderRefusal(first, path), PromptIcon::Stop);
    return std::nullopt;
  }
  if (first.header.sectorCount != range->count) {
    prompt.Message(SizeMismatchText(first.header.sectorCount, range->count), PromptIcon::Exclamation);
    return std::nullopt;
  }
  if (const auto checked = RestoreTarget(disk, entry, logical); const auto* refusal = std::get_if<std::string>(&checked)) {
    prompt.Message(*refusal, PromptIcon::Stop);
    return std::nullopt;
  }
  // Both below 2^32: ImageRangeRefusal took the range.
  const std::string question =
      StrFormat(text::kImageRestoreConfirm, disk.DeviceName().c_str(), static_cast<unsigned>(range->first),
                static_cast<unsigned>(range->End() - 1), FormatSize(std::uint64_t{range->count} * kSectorSize).c_str());
  if (prompt.Ask(question, PromptButtons::YesNoDefaultNo, PromptIcon::Question) != PromptAnswer::Yes) {
    return std::nullopt;
  }
  ImageRestoreRequest request;
  request.disk = &disk;
  request.entry = &entry;
  request.logical = logical;
  request.path = path;
  request.threads = form.threads;
  request.checkFirst = form.checkFirst;
  return request;
}

}  // namespace korvex
