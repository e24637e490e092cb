#pragma once
// NTFS boot code finds its volume by the hidden-sector field of the boot sector, which must hold
// the volume's absolute first sector wherever the image came from. The restore sets it in the
// blocks as they go to the disk, so the field is written with the block that holds it (and
// flushed with everything else), never read back from the disk and written again. The volume's
// last sector keeps a copy of the boot sector; while it is an exact copy inside the target, it
// gets the same field.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "image/ImageRange.h"
#include "platform/DiskGeometry.h"

namespace korvex {

class NtfsHiddenSectors {
 public:
  explicit NtfsHiddenSectors(SectorRange target) : target_(target) {}

  // Sets the field in the sectors of data that need it. data holds the target's sectors from
  // offset (counted from the target's first sector) on; blocks come in order, the first one
  // from offset 0.
  void Apply(std::uint64_t offset, std::span<std::uint8_t> data);

 private:
  using Sector = std::array<std::uint8_t, kSectorSize>;

  SectorRange target_;
  std::optional<Sector> bootSector_;      // the volume's boot sector as the image holds it
  std::optional<std::uint64_t> copyAt_;   // where its copy is expected, from the target's start
};

}  // namespace korvex
