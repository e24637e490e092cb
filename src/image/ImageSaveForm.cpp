#include "image/ImageSaveForm.h"

#include <algorithm>
#include <ctime>
#include <limits>

#include "platform/Cp437.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr long long kSplitMegabytesLimit = 4096;  // 4096 × 1 048 576 no longer fits 32 bits
constexpr std::uint32_t kMegabyte = 1024 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

CalendarDate LocalDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string DefaultImageFileName(const CPartition& entry, const std::string& diskLabel, CalendarDate date) {
  const std::string title = entry.GetTitle();
  std::string name = title.empty() ? diskLabel : Cp437ToUtf8(title);
  std::replace(name.begin(), name.end(), '/', '_');
  return name + StrFormat("-%d-%d-%d.pim", date.year, date.month, date.day);
}

long long LeadingNumber(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  long long value = 0;
  constexpr long long kMax = std::numeric_limits<long long>::max();
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    const int digit = text[at] - '0';
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
  }
  return negative ? -value : value;
}

std::optional<std::uint32_t> SplitLimitFromText(std::string_view sizeText) {
  const long long megabytes = LeadingNumber(sizeText);
  if (megabytes <= 0 || megabytes >= kSplitMegabytesLimit) return std::nullopt;
  return static_cast<std::uint32_t>(megabytes) * kMegabyte;
}

std::string TrimFileName(std::string_view name) {
  while (!name.empty() && IsBlank(name.front())) name.remove_prefix(1);
  while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
  return std::string(name);
}

std::optional<ImageSaveRequest> PrepareImageSave(const ImageSaveForm& form, CHardDisk& disk, const CPartition& entry,
                                                 bool logical, CPrompt& prompt, const MountSources& mounts) {
  ImageSaveRequest request;
  request.path = TrimFileName(form.fileName);
  if (request.path.empty()) {
    prompt.Message(text::kImageNameMissing, PromptIcon::Stop);
    return std::nullopt;
  }
  request.diskFiles = disk.DiskFiles();
  if (const auto refusal = OutputRefusal(request.path, request.diskFiles)) {
    prompt.Message(*refusal, PromptIcon::Stop);
    return std::nullopt;
  }
  if (form.split) {
    request.splitLimit = SplitLimitFromText(form.sizeText);
    if (!request.splitLimit) {
      prompt.Message(text::kImageSplitSizeWrong, PromptIcon::Stop);
      return std::nullopt;
    }
  }
  if (auto refusal = ImageRangeRefusal(entry, logical)) {
    prompt.Message(*refusal, PromptIcon::Stop);
    return std::nullopt;
  }
  const auto range = ImagedRange(entry, logical);
  if (const IDiskTransport* transport = disk.Transport()) {
    const auto mounted = FindMountedOverlap(transport->Describe(), range->first, range->count, mounts);
    if (mounted && prompt.Ask(StrFormat(text::kImageSourceMounted, mounted->device.c_str(), mounted->mountPoint.c_str()),
                              PromptButtons::YesNo, PromptIcon::Question) != PromptAnswer::Yes) {
      return std::nullopt;
    }
  }
  request.disk = &disk;
  request.range = *range;
  request.partitionType = entry.type;
  request.compressed = form.compressed;
  request.threads = form.threads;
  return request;
}

}  // namespace korvex
