#include "image/NtfsHiddenSectors.h"

#include <algorithm>

#include "volumes/NtfsBootSector.h"

namespace korvex {

void NtfsHiddenSectors::Apply(std::uint64_t offset, std::span<std::uint8_t> data) {
  const std::uint64_t sectors = data.size() / kSectorSize;
  const auto sectorAt = [&](std::uint64_t at) {
    return data.subspan(static_cast<std::size_t>((at - offset) * kSectorSize), kSectorSize);
  };
  if (offset == 0 && sectors > 0) {
    const auto boot = sectorAt(0);
    const auto ntfs = DecodeNtfsBootSector(boot);
    if (!ntfs || ntfs->hiddenSectors == target_.first) return;
    bootSector_.emplace();
    std::copy(boot.begin(), boot.end(), bootSector_->begin());
    // The backup copy lies in the sector after the counted ones.
    const std::uint64_t copyAt = ntfs->DiskSectors();
    if (copyAt < target_.count) copyAt_ = copyAt;
    SetNtfsHiddenSectors(boot, target_.first);
  }
  if (!bootSector_ || !copyAt_ || *copyAt_ < offset || *copyAt_ >= offset + sectors) return;
  const auto copy = sectorAt(*copyAt_);
  if (std::equal(copy.begin(), copy.end(), bootSector_->begin())) SetNtfsHiddenSectors(copy, target_.first);
  copyAt_.reset();
}

}  // namespace korvex
