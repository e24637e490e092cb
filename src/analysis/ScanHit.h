#pragma once
// What the lost-partition search reports for one sector: its kind (the tree image the dialog
// shows), and for a file system the volume it belongs to.
#include <cstdint>
#include <optional>
#include <string>

namespace korvex {

// The kinds are the image numbers of the result tree.
enum class HitKind : std::uint8_t {
  OtherSignature = 13,  // ends in 55h AAh, first byte neither FAh nor EBh
  FileSystem = 14,      // a valid FAT or NTFS boot sector, an ext2/3/4 superblock, a swap signature
  PartitionTable = 15,  // ends in 55h AAh, first byte FAh
  BootSector = 16,      // ends in 55h AAh, first byte EBh
};

enum class FileSystemKind : std::uint8_t { None, Fat12, Fat16, Fat32, Ntfs, Ext2, Ext3, Ext4, LinuxSwap };

// "FAT16", "NTFS", "ext4", "swap", …; empty for None.
const char* FileSystemName(FileSystemKind kind);

// The sectors a volume occupies, the whole partition it needs included (an NTFS volume's backup
// boot sector follows its counted sectors).
struct VolumeRange {
  std::uint64_t start = 0;
  std::uint64_t length = 0;
  std::uint64_t End() const { return start + length; }
  bool operator==(const VolumeRange&) const = default;
};

struct ScanHit {
  // The sector found; for a superblock or swap signature the volume's first sector.
  std::uint64_t sector = 0;
  HitKind kind = HitKind::OtherSignature;
  FileSystemKind fileSystem = FileSystemKind::None;
  std::string label;  // UTF-8, empty when the volume has none
  // Nothing when the hit names no volume, or when the one it describes cannot lie on this disk.
  std::optional<VolumeRange> range;

  bool DescribesVolume() const { return kind == HitKind::FileSystem && range.has_value(); }
  bool operator==(const ScanHit&) const = default;
};

// A run of sectors that could not be read.
struct SectorRun {
  std::uint64_t first = 0;
  std::uint64_t count = 0;
  bool operator==(const SectorRun&) const = default;
};

}  // namespace korvex
