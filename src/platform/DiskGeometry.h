#pragma once
#include <cstdint>

namespace korvex {

// The drive geometry as the system reports it; BytesPerSector is stored but never used for
// arithmetic (a sector is always 512 bytes).
struct DiskGeometry {
  std::int64_t Cylinders = 0;
  std::uint32_t MediaType = 0;
  std::uint32_t TracksPerCylinder = 0;
  std::uint32_t SectorsPerTrack = 0;
  std::uint32_t BytesPerSector = 0;

  bool operator==(const DiskGeometry&) const = default;
};

inline constexpr std::uint32_t kSectorSize = 512;
inline constexpr std::uint32_t kFixedMediaType = 12;  // "fixed hard disk media"

}  // namespace korvex
