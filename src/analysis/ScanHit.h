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

// The two entries of a sector that reads as an extended boot record: the logical drive it
// describes (counted from the record itself) and the link to the next record (counted from the
// start of the extended partition, which no record names).
struct ExtendedRecord {
  std::uint32_t driveOffset = 0;  // entry 0: from the record to the drive's data
  std::uint32_t driveLength = 0;
  std::uint8_t driveType = 0;     // 0 when the record describes no drive (a first record that only links on)
  std::uint32_t linkOffset = 0;   // entry 1: the next record, counted from the extended partition's start
  std::uint8_t linkType = 0;      // 0 at the end of the chain

  bool HasDrive() const { return driveType != 0; }
  bool HasLink() const { return linkType != 0; }
  bool operator==(const ExtendedRecord&) const = default;
};

// The sectors a volume occupies, the whole partition it needs included (an NTFS volume's backup
// boot sector follows its counted sectors).
struct VolumeRange {
  std::uint64_t start = 0;
  std::uint64_t length = 0;
  std::uint64_t End() const { return start + length; }
  bool operator==(const VolumeRange&) const = default;
};

// The partition type for a volume: FAT12 01h; FAT16 04h below 65536 sectors, else 06h, and 0Eh
// (LBA) when it reaches past cylinder 1023; FAT32 0Bh, and 0Ch past cylinder 1023; NTFS 07h;
// ext2/3/4 83h; Linux swap 82h; 0 for None.
std::uint8_t FittingType(FileSystemKind fileSystem, const VolumeRange& range, std::uint64_t sectorsPerCylinder);
// The type of an extended partition: 05h, and 0Fh (LBA) when it reaches past cylinder 1023.
std::uint8_t FittingExtendedType(const VolumeRange& range, std::uint64_t sectorsPerCylinder);

struct ScanHit {
  // The sector found; for a superblock or swap signature the volume's first sector.
  std::uint64_t sector = 0;
  HitKind kind = HitKind::OtherSignature;
  FileSystemKind fileSystem = FileSystemKind::None;
  std::string label;  // UTF-8, empty when the volume has none
  // Nothing when the hit names no volume, or when the one it describes cannot lie on this disk.
  std::optional<VolumeRange> range;
  // A FAT32 or NTFS volume whose first sector is lost, found through the backup boot sector at
  // sector: its range begins where the backup says the volume began.
  bool throughBackup = false;
  // A backup boot sector whose original survives (and agrees): the original's sector. The
  // volume is listed once, under the original.
  std::optional<std::uint64_t> copyOf{};
  // The entries of a sector that reads as an extended boot record.
  std::optional<ExtendedRecord> record{};

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
