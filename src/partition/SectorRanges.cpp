#include "partition/SectorRanges.h"

#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {

bool MbrAddressable(std::uint64_t start, std::uint64_t length) {
  return start <= kMbrSectorLimit && length <= kMbrSectorLimit - start;
}

std::string NotAddressableText(std::uint64_t first) {
  return StrFormat(text::kSpaceNotAddressable, static_cast<unsigned long long>(first));
}

bool RunsShareSector(std::uint64_t aStart, std::uint64_t aLength, std::uint64_t bStart, std::uint64_t bLength) {
  if (aLength == 0 || bLength == 0) return false;
  const std::uint64_t aEnd = aStart + aLength;
  const std::uint64_t bEnd = bStart + bLength;
  return !(bEnd <= aStart || aEnd <= bStart);
}

const CPartition* FirstSharingObject(const PartitionLevel& level, std::uint64_t start, std::uint64_t length,
                                     const CPartition* except) {
  for (const CPartition* used : level.Used()) {
    if (used != except && RunsShareSector(start, length, used->start, used->length)) return used;
  }
  return nullptr;
}

std::optional<std::pair<const CPartition*, const CPartition*>> OverlappingPair(const PartitionLevel& level) {
  const auto used = level.Used();
  for (std::size_t i = 0; i < used.size(); ++i) {
    for (std::size_t k = i + 1; k < used.size(); ++k) {
      if (RunsShareSector(used[i]->start, used[i]->length, used[k]->start, used[k]->length)) {
        return std::pair<const CPartition*, const CPartition*>(used[i], used[k]);
      }
    }
  }
  return std::nullopt;
}

}  // namespace korvex
