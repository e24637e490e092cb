#pragma once
// The two rules every run of sectors of a partition obeys, wherever it comes from (the form,
// a creation, an adopted volume, an image restore, the save): a partition table can name it,
// and it shares no sector with another partition of its level.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "partition/PartitionLevel.h"

namespace korvex {

// Sector numbers and lengths in a partition table are 32 bits: no sector past this one can be
// named there, and nothing from 2^32 on is ever offered as free space.
inline constexpr std::uint64_t kMbrSectorLimit = std::uint64_t{1} << 32;

// Every sector of [start, start + length) lies below 2^32.
bool MbrAddressable(std::uint64_t start, std::uint64_t length);
// The refusal of a run from first on that MbrAddressable rejects.
std::string NotAddressableText(std::uint64_t first);

// [aStart, aStart + aLength) and [bStart, bStart + bLength) have at least one sector in common.
// A run wholly inside the other shares its sectors, too; an empty run shares none.
bool RunsShareSector(std::uint64_t aStart, std::uint64_t aLength, std::uint64_t bStart, std::uint64_t bLength);

// The first used object of level (in level order), other than except, that shares a sector with
// [start, start + length); nothing when the run is clear of them.
const CPartition* FirstSharingObject(const PartitionLevel& level, std::uint64_t start, std::uint64_t length,
                                     const CPartition* except = nullptr);

// The first two used objects of level (in level order) that share a sector; nothing when no two
// do.
std::optional<std::pair<const CPartition*, const CPartition*>> OverlappingPair(const PartitionLevel& level);

}  // namespace korvex
