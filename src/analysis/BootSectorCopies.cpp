#include "analysis/BootSectorCopies.h"

#include <algorithm>

namespace korvex {
namespace {

bool SameLeadingBytes(const ProbeContext& context, std::uint64_t lba, std::size_t count) {
  SectorBytes other{};
  return context.around.ReadSector(lba, other) && std::equal(other.begin(), other.begin() + count, context.sector.begin());
}

}  // namespace

CopyRole CopyRoleOf(const ProbeContext& context, const CopyLayout& layout) {
  if (layout.distance == 0) return CopyRole::Original;
  const std::size_t compared = std::min<std::size_t>(layout.comparedBytes, kSectorSize);
  const bool mayBeBackup = layout.distance <= context.lba;
  const std::uint64_t originalPlace = mayBeBackup ? context.lba - layout.distance : 0;
  if (mayBeBackup && SameLeadingBytes(context, originalPlace, compared)) return CopyRole::BackupOfIntact;
  // The probes keep distance below the medium's size, so the sum cannot wrap.
  if (SameLeadingBytes(context, context.lba + layout.distance, compared)) return CopyRole::Original;
  const auto fits = [&](std::uint64_t start) {
    return start < context.mediumSectors && layout.volumeSectors <= context.mediumSectors - start;
  };
  if (fits(context.lba) && layout.structuresAt(context.lba)) return CopyRole::Original;
  if (mayBeBackup && fits(originalPlace) && (layout.structuresAt(originalPlace) || !fits(context.lba))) {
    return CopyRole::BackupOfLost;
  }
  return CopyRole::Original;
}

}  // namespace korvex
