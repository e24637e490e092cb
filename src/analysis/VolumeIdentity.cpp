#include "analysis/VolumeIdentity.h"

namespace korvex {
namespace {

constexpr std::uint64_t kUsualFat32Backup = 6;
constexpr std::uint64_t kNamingOffsets[] = {0, 2, kUsualFat32Backup, kMaxLookBehind};

}  // namespace

std::vector<ScanHit> HitsNaming(ISectorSource& sectors, std::uint64_t sector, std::uint64_t mediumSectors) {
  std::vector<ScanHit> naming;
  if (sector >= mediumSectors) return naming;
  for (const std::uint64_t offset : kNamingOffsets) {
    for (ScanHit& hit : ClassifyAt(sectors, sector + offset, mediumSectors)) {
      if (hit.sector == sector || (hit.range && hit.range->start == sector)) naming.push_back(std::move(hit));
    }
  }
  return naming;
}

std::optional<VolumeIdentity> IdentifyVolume(ISectorSource& sectors, std::uint64_t start, std::uint64_t mediumSectors) {
  for (ScanHit& hit : HitsNaming(sectors, start, mediumSectors)) {
    if (hit.kind != HitKind::FileSystem || (hit.range && hit.range->start != start)) continue;
    return VolumeIdentity{hit.fileSystem, std::move(hit.label), hit.range, hit.throughBackup};
  }
  return std::nullopt;
}

}  // namespace korvex
