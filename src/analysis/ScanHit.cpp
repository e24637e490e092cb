#include "analysis/ScanHit.h"

namespace korvex {
namespace {

constexpr std::uint64_t kSmallFat16Sectors = 65536;  // fits the 16-bit sector count of DOS 3
constexpr std::uint64_t kChsCylinders = 1024;

// Whether the last sector of range lies within the cylinders a CHS address can name.
bool WithinChs(const VolumeRange& range, std::uint64_t sectorsPerCylinder) {
  return sectorsPerCylinder != 0 && range.length != 0 && (range.End() - 1) / sectorsPerCylinder < kChsCylinders;
}

}  // namespace

const char* FileSystemName(FileSystemKind kind) {
  switch (kind) {
    case FileSystemKind::None: return "";
    case FileSystemKind::Fat12: return "FAT12";
    case FileSystemKind::Fat16: return "FAT16";
    case FileSystemKind::Fat32: return "FAT32";
    case FileSystemKind::Ntfs: return "NTFS";
    case FileSystemKind::Ext2: return "ext2";
    case FileSystemKind::Ext3: return "ext3";
    case FileSystemKind::Ext4: return "ext4";
    case FileSystemKind::LinuxSwap: return "swap";
  }
  return "";
}

std::uint8_t FittingType(FileSystemKind fileSystem, const VolumeRange& range, std::uint64_t sectorsPerCylinder) {
  const bool withinChs = WithinChs(range, sectorsPerCylinder);
  switch (fileSystem) {
    case FileSystemKind::Fat12: return 0x01;
    case FileSystemKind::Fat16: return !withinChs ? 0x0E : range.length < kSmallFat16Sectors ? 0x04 : 0x06;
    case FileSystemKind::Fat32: return withinChs ? 0x0B : 0x0C;
    case FileSystemKind::Ntfs: return 0x07;
    case FileSystemKind::Ext2:
    case FileSystemKind::Ext3:
    case FileSystemKind::Ext4: return 0x83;
    case FileSystemKind::LinuxSwap: return 0x82;
    case FileSystemKind::None: return 0;
  }
  return 0;
}

std::uint8_t FittingExtendedType(const VolumeRange& range, std::uint64_t sectorsPerCylinder) {
  return WithinChs(range, sectorsPerCylinder) ? 0x05 : 0x0F;
}

}  // namespace korvex
