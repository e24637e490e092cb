#pragma once
// One physical hard disk: its name, its geometry and the byte and sector transfers every
// other part of the program uses. The bytes move through a transport (the device or image
// opened directly, or the sector helper program).
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/DiskGeometry.h"
#include "platform/DiskTransport.h"
#include "platform/OsIdentity.h"

namespace korvex {

struct ChsAddress {
  std::uint16_t cylinder = 0;
  std::uint8_t head = 0;
  std::uint8_t sector = 1;  // counted from 1

  bool operator==(const ChsAddress&) const = default;
};

class CPhysicalDrive {
 public:
  // A carrier without a device: empty name, not usable.
  CPhysicalDrive();
  // The drive with device number n, reached through transport; the geometry is queried once.
  CPhysicalDrive(std::uint8_t deviceNumber, std::unique_ptr<IDiskTransport> transport, OsVersion os);
  virtual ~CPhysicalDrive();
  CPhysicalDrive(const CPhysicalDrive&) = delete;
  CPhysicalDrive& operator=(const CPhysicalDrive&) = delete;

  // Byte transfers at a 64-bit offset. Both move count bytes and return the number moved, 0
  // when the buffer is smaller than count or the transfer failed. Read zero-fills the buffer
  // first, so a failed read leaves zeros.
  virtual std::int32_t Write(std::uint64_t offset, std::uint32_t count, std::span<const std::uint8_t> buffer);
  virtual std::int32_t Read(std::uint64_t offset, std::uint32_t count, std::span<std::uint8_t> buffer);

  bool IsUsable() const;
  const std::string& DeviceName() const { return deviceName_; }
  std::uint8_t DeviceNumber() const { return deviceNumber_; }
  const DiskGeometry& Geometry() const { return geometry_; }
  std::uint32_t Heads() const { return geometry_.TracksPerCylinder; }
  std::uint32_t SectorsPerTrack() const { return geometry_.SectorsPerTrack; }
  std::int64_t Cylinders() const { return geometry_.Cylinders; }
  const OsVersion& Os() const { return os_; }
  IDiskTransport* Transport() { return transport_.get(); }
  const IDiskTransport* Transport() const { return transport_.get(); }

  bool SameGeometry(const DiskGeometry& other) const { return geometry_ == other; }
  // Cylinders × sectors per track × heads × 512 bytes.
  std::uint64_t Capacity() const;
  // The last sector that whole cylinders cover, in 64 bits: a disk larger than a partition table
  // can address keeps its true size here.
  std::uint64_t LastSector() const;
  // Sectors of the medium itself, the partial last cylinder included.
  std::uint64_t MediumSectors() const;
  // Sectors a partition may occupy: the medium, or the whole cylinders when its size is unknown.
  std::uint64_t UsableSectors() const;

  // Sector transfers by LBA: false without any transfer when buffer holds fewer than count
  // sectors. Each succeeds only when every byte was moved: a short read is a read error (its
  // bytes are never taken for the sectors' contents).
  bool ReadSectors(std::uint32_t lba, std::uint32_t count, std::span<std::uint8_t> buffer);
  bool WriteSectors(std::uint32_t lba, std::uint32_t count, std::span<const std::uint8_t> buffer);
  // Reads like ReadSectors, but tells a failure from the end of the medium: nothing when every
  // sector that lies on the medium was read (sectors past its end stay zeros), else the error
  // number of the failed read (EIO when the transport does not know it).
  std::optional<int> ReadSectorsChecked(std::uint32_t lba, std::uint32_t count, std::span<std::uint8_t> buffer);
  bool ReadChs(std::uint16_t cylinder, std::uint8_t head, std::uint8_t sector, std::uint32_t count,
               std::span<std::uint8_t> buffer);

  std::uint32_t ChsToLba(std::uint16_t cylinder, std::uint8_t head, std::uint8_t sector) const;
  ChsAddress LbaToChs(std::uint32_t lba) const;
  // Prepares a CHS pair for a table entry: bits 8..9 of the cylinder go to bits 6..7 of the
  // sector byte, the cylinder keeps its low eight bits.
  static void PackChs(std::uint16_t& cylinder, std::uint8_t& sector);

 private:
  std::uint8_t deviceNumber_ = 0;
  std::string deviceName_;
  std::unique_ptr<IDiskTransport> transport_;
  DiskGeometry geometry_;
  OsVersion os_;
};

}  // namespace korvex
