#include "demo/ImageBuilder.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "EngineLayout.h"
#include "platform/DiskGeometry.h"
#include "platform/OnDiskFields.h"

namespace korvex {
namespace {

// The builder writes tables by hand, independently of the program's own writer, but at the
// places the layout table names.
constexpr std::uint32_t kSector = kSectorSize;

bool TransferSector(const std::string& path, std::uint32_t lba, std::uint8_t* bytes, bool write) {
  const int fd = ::open(path.c_str(), write ? O_WRONLY | O_CLOEXEC : O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const off_t offset = static_cast<off_t>(lba) * kSector;
  const ssize_t n = write ? ::pwrite(fd, bytes, kSector, offset) : ::pread(fd, bytes, kSector, offset);
  const bool closed = ::close(fd) == 0;
  return n == static_cast<ssize_t>(kSector) && closed;
}

}  // namespace

std::optional<ImageBuilder> ImageBuilder::Create(const std::string& path, std::uint32_t cylinders,
                                                 std::uint32_t heads, std::uint32_t sectors, std::string& error,
                                                 std::uint32_t extraSectors) {
  const std::uint64_t total = std::uint64_t{cylinders} * heads * sectors + extraSectors;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = "Kann Abbilddatei nicht anlegen: " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  const bool sized = ::ftruncate(fd, static_cast<off_t>(total * kSector)) == 0;
  const bool closed = ::close(fd) == 0;
  if (!sized || !closed) {
    error = "Kann Abbilddatei nicht vergrößern: " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  return ImageBuilder(path, heads, sectors, total);
}

std::string ImageBuilder::Spec() const {
  return path_ + "@" + std::to_string(heads_) + "x" + std::to_string(sectors_);
}

void ImageBuilder::PutChs(std::uint8_t* bytes, std::uint32_t lba) const {
  const std::uint32_t perCylinder = heads_ * sectors_;
  std::uint32_t cylinder = lba / perCylinder;
  const std::uint32_t rest = lba % perCylinder;
  if (cylinder > 1023) cylinder = 1023;
  bytes[0] = static_cast<std::uint8_t>(rest / sectors_);
  bytes[1] = static_cast<std::uint8_t>((rest % sectors_ + 1) | ((cylinder >> 2) & 0xC0));
  bytes[2] = static_cast<std::uint8_t>(cylinder & 0xFF);
}

bool ImageBuilder::SetEntry(std::uint32_t sectorLba, unsigned index, const EntrySpec& entry,
                            std::uint32_t chsBase) {
  auto sector = ReadSector(sectorLba);
  if (!sector || index >= layout::CONST_TABLE_ENTRIES) return false;
  const auto bytes = std::span(*sector).subspan(layout::LOADER_PARTITION_TABLE + index * layout::CONST_ENTRY_SIZE,
                                                layout::CONST_ENTRY_SIZE);
  std::fill(bytes.begin(), bytes.end(), std::uint8_t{0});
  if (entry.type != 0 || entry.length != 0) {
    bytes[layout::CONST_ENTRY_BOOT_INDICATOR] = entry.bootIndicator;
    bytes[layout::CONST_ENTRY_TYPE] = entry.type;
    const std::uint32_t first = chsBase + entry.relativeStart;
    PutChs(&bytes[layout::CONST_ENTRY_START_HEAD], first);
    PutChs(&bytes[layout::CONST_ENTRY_END_HEAD], first + (entry.length ? entry.length - 1 : 0));
    WriteLe32(bytes, layout::CONST_ENTRY_LBA, entry.relativeStart);
    WriteLe32(bytes, layout::CONST_ENTRY_LENGTH, entry.length);
  }
  return WriteSector(sectorLba, *sector);
}

bool ImageBuilder::SetSignature(std::uint32_t sectorLba) {
  auto sector = ReadSector(sectorLba);
  if (!sector) return false;
  WriteLe16(*sector, layout::LOADER_SIGNATURE, layout::CONST_BOOT_SIGNATURE);
  return WriteSector(sectorLba, *sector);
}

bool ImageBuilder::WriteSector(std::uint32_t lba, std::span<const std::uint8_t> bytes) {
  if (bytes.size() != kSector || lba >= totalSectors_) return false;
  std::uint8_t copy[kSector];
  std::memcpy(copy, bytes.data(), kSector);
  return TransferSector(path_, lba, copy, true);
}

std::optional<std::vector<std::uint8_t>> ImageBuilder::ReadSector(std::uint32_t lba) const {
  std::vector<std::uint8_t> sector(kSector);
  if (lba >= totalSectors_ || !TransferSector(path_, lba, sector.data(), false)) return std::nullopt;
  return sector;
}

bool ImageBuilder::AddPrimary(unsigned index, std::uint8_t type, std::uint32_t start, std::uint32_t length,
                              bool active) {
  return SetEntry(0, index, EntrySpec{static_cast<std::uint8_t>(active ? layout::CONST_BOOT_INDICATOR_ACTIVE : 0), type, start, length}) &&
         SetSignature(0);
}

bool ImageBuilder::AddExtended(unsigned index, std::uint8_t type, std::uint32_t start, std::uint32_t length,
                               const std::vector<LogicalSpec>& drives) {
  if (!AddPrimary(index, type, start, length)) return false;
  if (drives.empty()) return SetSignature(start);
  // A chain always begins at the extended partition's start: when the first drive lies later,
  // a record there without a drive links to it.
  if (drives.front().ebr != start) {
    const LogicalSpec& first = drives.front();
    const EntrySpec link{0, 0x05, first.ebr - start, first.dataStart + first.dataLength - first.ebr};
    if (!SetEntry(start, 0, EntrySpec{}) || !SetEntry(start, 1, link, start) || !SetSignature(start)) return false;
  }
  for (size_t k = 0; k < drives.size(); ++k) {
    const LogicalSpec& drive = drives[k];
    bool ok = SetEntry(drive.ebr, 0, EntrySpec{0, drive.type, drive.dataStart - drive.ebr, drive.dataLength}, drive.ebr);
    if (k + 1 < drives.size()) {
      const LogicalSpec& next = drives[k + 1];
      ok = ok && SetEntry(drive.ebr, 1,
                          EntrySpec{0, 0x05, next.ebr - start, next.dataStart + next.dataLength - next.ebr}, start);
    } else {
      ok = ok && SetEntry(drive.ebr, 1, EntrySpec{});
    }
    if (!ok || !SetSignature(drive.ebr)) return false;
  }
  return true;
}

bool ImageBuilder::AddBootSector(std::uint32_t lba, const std::string& marker) {
  std::vector<std::uint8_t> sector(kSector, 0);
  sector[0] = 0xEB;  // jmp short over the marker, then hlt in a loop
  sector[1] = 0x3C;
  sector[0x3E] = 0xF4;
  sector[0x3F] = 0xEB;
  sector[0x40] = 0xFD;
  std::memcpy(sector.data() + 3, marker.data(), std::min<size_t>(marker.size(), 8));
  sector[510] = 0x55;
  sector[511] = 0xAA;
  return WriteSector(lba, sector);
}

}  // namespace korvex
