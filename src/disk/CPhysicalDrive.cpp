#include "disk/CPhysicalDrive.h"

#include <algorithm>
#include <cerrno>

namespace korvex {

CPhysicalDrive::CPhysicalDrive() = default;

CPhysicalDrive::CPhysicalDrive(std::uint8_t deviceNumber, std::unique_ptr<IDiskTransport> transport,
                               OsVersion os)
    : deviceNumber_(deviceNumber),
      deviceName_("PHYSICALDRIVE" + std::to_string(deviceNumber)),
      transport_(std::move(transport)),
      os_(os) {
  if (transport_ && transport_->IsOpen()) {
    if (auto geometry = transport_->QueryGeometry()) geometry_ = *geometry;
  }
}

CPhysicalDrive::~CPhysicalDrive() = default;

bool CPhysicalDrive::IsUsable() const { return transport_ && transport_->IsOpen(); }

std::int32_t CPhysicalDrive::Read(std::uint64_t offset, std::uint32_t count, std::span<std::uint8_t> buffer) {
  if (buffer.size() < count) return 0;
  const auto target = buffer.first(count);
  std::fill(target.begin(), target.end(), std::uint8_t{0});
  if (!IsUsable()) return 0;
  return transport_->Read(offset, target);
}

std::int32_t CPhysicalDrive::Write(std::uint64_t offset, std::uint32_t count,
                                   std::span<const std::uint8_t> buffer) {
  if (buffer.size() < count || !IsUsable()) return 0;
  return transport_->Write(offset, buffer.first(count));
}

std::uint64_t CPhysicalDrive::Capacity() const {
  return static_cast<std::uint64_t>(geometry_.Cylinders) * geometry_.SectorsPerTrack *
         geometry_.TracksPerCylinder * kSectorSize;
}

std::uint64_t CPhysicalDrive::LastSector() const {
  const std::uint64_t sectors = Capacity() / kSectorSize;
  // A medium smaller than one cylinder has no whole cylinder.
  return sectors == 0 ? 0 : sectors - 1;
}

std::uint64_t CPhysicalDrive::MediumSectors() const {
  return transport_ ? transport_->SizeBytes() / kSectorSize : 0;
}

std::uint64_t CPhysicalDrive::UsableSectors() const {
  return std::max<std::uint64_t>(MediumSectors(), std::uint64_t{LastSector()} + 1);
}

bool CPhysicalDrive::ReadSectors(std::uint32_t lba, std::uint32_t count, std::span<std::uint8_t> buffer) {
  const std::uint64_t bytes = std::uint64_t{count} * kSectorSize;
  if (buffer.size() < bytes || bytes > INT32_MAX) return false;
  return Read(std::uint64_t{lba} * kSectorSize, static_cast<std::uint32_t>(bytes), buffer) ==
         static_cast<std::int32_t>(bytes);
}

bool CPhysicalDrive::WriteSectors(std::uint32_t lba, std::uint32_t count, std::span<const std::uint8_t> buffer) {
  const std::uint64_t bytes = std::uint64_t{count} * kSectorSize;
  if (buffer.size() < bytes || bytes > INT32_MAX) return false;
  return Write(std::uint64_t{lba} * kSectorSize, static_cast<std::uint32_t>(bytes), buffer) ==
         static_cast<std::int32_t>(bytes);
}

std::optional<int> CPhysicalDrive::ReadSectorsChecked(std::uint32_t lba, std::uint32_t count,
                                                      std::span<std::uint8_t> buffer) {
  const std::uint64_t bytes = std::uint64_t{count} * kSectorSize;
  if (buffer.size() < bytes || bytes > INT32_MAX) return EINVAL;
  const std::uint64_t medium = MediumSectors();
  const std::uint64_t onMedium =
      medium == 0 ? count : std::min<std::uint64_t>(count, medium > lba ? medium - lba : 0);
  const std::int32_t read = Read(std::uint64_t{lba} * kSectorSize, static_cast<std::uint32_t>(bytes), buffer);
  if (static_cast<std::uint64_t>(read) >= onMedium * kSectorSize) return std::nullopt;
  const int error = transport_ ? transport_->LastErrorNumber() : 0;
  return error != 0 ? error : EIO;
}

bool CPhysicalDrive::ReadChs(std::uint16_t cylinder, std::uint8_t head, std::uint8_t sector, std::uint32_t count,
                             std::span<std::uint8_t> buffer) {
  const std::uint64_t spt = geometry_.SectorsPerTrack;
  const std::uint64_t lba = std::uint64_t{cylinder} * geometry_.TracksPerCylinder * spt + head * spt + sector - 1;
  const std::uint64_t bytes = std::uint64_t{count} * kSectorSize;
  if (buffer.size() < bytes || bytes > INT32_MAX) return false;
  return Read(lba * kSectorSize, static_cast<std::uint32_t>(bytes), buffer) == static_cast<std::int32_t>(bytes);
}

std::uint32_t CPhysicalDrive::ChsToLba(std::uint16_t cylinder, std::uint8_t head, std::uint8_t sector) const {
  const std::uint32_t spt = geometry_.SectorsPerTrack;
  return sector + geometry_.TracksPerCylinder * spt * cylinder + spt * head - 1;
}

ChsAddress CPhysicalDrive::LbaToChs(std::uint32_t lba) const {
  const std::uint32_t spt = geometry_.SectorsPerTrack;
  const std::uint32_t perCylinder = geometry_.TracksPerCylinder * spt;
  if (perCylinder == 0) return ChsAddress{};
  const std::uint32_t rest = lba % perCylinder;
  return ChsAddress{static_cast<std::uint16_t>(lba / perCylinder), static_cast<std::uint8_t>(rest / spt),
                    static_cast<std::uint8_t>(rest % spt + 1)};
}

void CPhysicalDrive::PackChs(std::uint16_t& cylinder, std::uint8_t& sector) {
  sector = static_cast<std::uint8_t>((sector & 0x3F) | ((cylinder >> 2) & 0xC0));
  cylinder = static_cast<std::uint16_t>(cylinder & 0xFF);
}

}  // namespace korvex
