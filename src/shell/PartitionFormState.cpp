#include "shell/PartitionFormState.h"

#include <charconv>

namespace korvex {
namespace {

bool SameChs(const ChsAddress& a, const ChsAddress& b) {
  return a.cylinder == b.cylinder && a.head == b.head && a.sector == b.sector;
}

}  // namespace

PartitionForm FormShownFor(const CHardDisk& disk, const CPartition& object) {
  PartitionForm form = FormFromObject(disk, object);
  if (!object.InMenu()) form.title.clear();
  return form;
}

std::optional<std::uint32_t> ParseFormNumber(const std::string& text, std::uint32_t max) {
  const auto first = text.find_first_not_of(' ');
  const auto last = text.find_last_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  std::uint64_t value = 0;
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc{} || stop != end || value > max) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

bool FormDiffers(const PartitionForm& form, const PartitionForm& shown, bool compareType) {
  return !SameChs(form.startChs, shown.startChs) || !SameChs(form.endChs, shown.endChs) ||
         form.relativeStart != shown.relativeStart || form.length != shown.length || form.title != shown.title ||
         (compareType && form.type != shown.type);
}

}  // namespace korvex
