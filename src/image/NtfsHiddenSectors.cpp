#include "image/NtfsHiddenSectors.h"

#include <algorithm>
#include <string_view>

#include "platform/LittleEndian.h"

namespace korvex {
namespace {

constexpr std::string_view kNtfsId = "NTFS    ";
constexpr std::size_t kIdOffset = 3, kBytesPerSectorLow = 11, kHiddenSectors = 28, kVolumeSectors = 40;

}  // namespace

void NtfsHiddenSectors::Apply(std::uint64_t offset, std::span<std::uint8_t> data) {
  const std::uint64_t sectors = data.size() / kSectorSize;
  const auto sectorAt = [&](std::uint64_t at) {
    return data.subspan(static_cast<std::size_t>((at - offset) * kSectorSize), kSectorSize);
  };
  if (offset == 0 && sectors > 0) {
    const auto boot = sectorAt(0);
    if (!std::equal(kNtfsId.begin(), kNtfsId.end(), boot.begin() + kIdOffset) || boot[kBytesPerSectorLow] != 0 ||
        ReadLe32(boot.subspan(kHiddenSectors)) == target_.first) {
      return;
    }
    bootSector_.emplace();
    std::copy(boot.begin(), boot.end(), bootSector_->begin());
    const std::uint64_t volumeSectors =
        ReadLe32(boot.subspan(kVolumeSectors)) | std::uint64_t{ReadLe32(boot.subspan(kVolumeSectors + 4))} << 32;
    if (volumeSectors > 0 && volumeSectors < target_.count) copyAt_ = volumeSectors;
    WriteLe32(boot.subspan(kHiddenSectors), target_.first);
  }
  if (!bootSector_ || !copyAt_ || *copyAt_ < offset || *copyAt_ >= offset + sectors) return;
  const auto copy = sectorAt(*copyAt_);
  if (std::equal(copy.begin(), copy.end(), bootSector_->begin())) {
    WriteLe32(copy.subspan(kHiddenSectors), target_.first);
  }
  copyAt_.reset();
}

}  // namespace korvex
