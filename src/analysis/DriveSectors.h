#pragma once
// The transfers of a search: runs of sectors for the cylinder reader and single sectors for the
// probes, one at a time even when they come from two threads (a transport need not allow two
// transfers at once).
#include <functional>
#include <memory>
#include <mutex>

#include "analysis/SectorClassifier.h"
#include "disk/CPhysicalDrive.h"

namespace korvex {

class DriveSectors final : public ISectorSource {
 public:
  // Reads up to mediumSectors; the drive must outlive this object.
  DriveSectors(CPhysicalDrive& drive, std::uint64_t mediumSectors) : drive_(drive), mediumSectors_(mediumSectors) {}

  std::uint64_t MediumSectors() const { return mediumSectors_; }

  // Runs look over the sectors [first, first + count) where they lie, without a copy, when the
  // transport can show the medium in memory (with the limits on look that IMediumView::Visit
  // names); false when it cannot, or cannot read one of them: then they are to be read with
  // ReadRun. For one thread at a time.
  bool LookInPlace(std::uint64_t first, std::uint32_t count,
                   const std::function<void(std::span<const std::uint8_t>)>& look);

  // Reads count sectors from first into out (count × 512 bytes). Sectors that cannot be read
  // are zeroed and listed (as runs, in order) in unreadable; through the sector helper, the
  // first sector that fails on its own ends the run, and the rest of it is listed too.
  void ReadRun(std::uint64_t first, std::uint32_t count, std::span<std::uint8_t> out,
               std::vector<SectorRun>& unreadable);

  bool ReadSector(std::uint64_t lba, SectorBytes& out) override;

 private:
  bool ReadWhole(std::uint64_t first, std::uint32_t count, std::span<std::uint8_t> out);

  CPhysicalDrive& drive_;
  std::uint64_t mediumSectors_;
  std::mutex transfer_;
  std::unique_ptr<IMediumView> view_;  // made at the first look in place
  bool viewTried_ = false;
};

// The sectors a search covers: the medium to its real end, the partial last cylinder included;
// the whole cylinders of the geometry when the transport cannot tell the medium's size.
std::uint64_t SearchSectors(const CPhysicalDrive& drive);

}  // namespace korvex
