// Traces of Linux volumes, which leave no boot signature: the primary superblock of an
// ext2/3/4 file system (magic EF53h 1080 bytes into the volume) and the signature of a swap
// area (the last ten bytes of its first 4 KiB page).
#include "platform/OnDiskFields.h"
#include "analysis/VolumeProbes.h"

namespace korvex {
namespace {

constexpr std::uint64_t kSuperblockSector = 2;  // byte 1024 of the volume
constexpr std::uint32_t kMaxBlockShift = 6;     // blocks of 1 KiB to 64 KiB
constexpr std::uint32_t kCompatJournal = 0x0004;
constexpr std::uint32_t kIncompat64Bit = 0x0080;
// What ext2 and ext3 know of; a file system with any other feature needs ext4.
constexpr std::uint32_t kIncompatExt3 = 0x0002 | 0x0004 | 0x0010;  // file type, recovery, meta groups
constexpr std::uint32_t kRoCompatExt3 = 0x0001 | 0x0002 | 0x0004;  // sparse super, large file, b-tree dirs

constexpr std::uint64_t kSwapSignatureSector = 7;  // "SWAPSPACE2" ends the first 4 KiB page
constexpr std::uint64_t kSwapHeaderSector = 2;     // version, last page and label at byte 1024
constexpr std::uint64_t kSwapPageSectors = 8;
constexpr std::uint32_t kSwapMinPages = 10;

FileSystemKind ExtGeneration(std::span<const std::uint8_t> s) {
  const bool journal = (ReadLe32(s, 0x5C) & kCompatJournal) != 0;
  const bool ext3Features = (ReadLe32(s, 0x60) & ~kIncompatExt3) == 0 && (ReadLe32(s, 0x64) & ~kRoCompatExt3) == 0;
  if (!ext3Features) return FileSystemKind::Ext4;
  return journal ? FileSystemKind::Ext3 : FileSystemKind::Ext2;
}

}  // namespace

std::optional<ScanHit> ProbeExtSuperblock(const ProbeContext& context) {
  const auto s = context.sector;
  if (ReadLe16(s, 0x38) != 0xEF53 || context.lba < kSuperblockSector) return std::nullopt;
  const std::uint32_t blockShift = ReadLe32(s, 0x18);
  if (blockShift > kMaxBlockShift) return std::nullopt;
  const std::uint64_t blockSectors = std::uint64_t{2} << blockShift;
  const std::uint32_t firstDataBlock = ReadLe32(s, 0x14);
  // A backup superblock (its group number is not 0) names a volume that began far earlier; the
  // primary one is enough to find it.
  if (ReadLe32(s, 0x00) == 0 || ReadLe32(s, 0x20) == 0 || ReadLe32(s, 0x28) == 0 || ReadLe32(s, 0x4C) > 1 ||
      ReadLe16(s, 0x5A) != 0 || firstDataBlock != (blockShift == 0 ? 1u : 0u)) {
    return std::nullopt;
  }
  std::uint64_t blocks = ReadLe32(s, 0x04);
  if ((ReadLe32(s, 0x60) & kIncompat64Bit) != 0) blocks |= std::uint64_t{ReadLe32(s, 0x150)} << 32;
  const std::uint64_t start = context.lba - kSuperblockSector;
  ScanHit hit{start, HitKind::FileSystem, ExtGeneration(s), Utf8Label(FixedText(s, 0x78, 16)), std::nullopt};
  if (blocks != 0 && blocks <= context.mediumSectors / blockSectors) {  // else past the medium
    hit.range = RangeOnMedium(start, blocks * blockSectors, context.mediumSectors);
  }
  return hit;
}

std::optional<ScanHit> ProbeSwapSignature(const ProbeContext& context) {
  if (context.lba < kSwapSignatureSector) return std::nullopt;
  const std::uint64_t start = context.lba - kSwapSignatureSector;
  SectorBytes header{};
  if (!context.around.ReadSector(start + kSwapHeaderSector, header)) return std::nullopt;
  const std::uint32_t lastPage = ReadLe32(header, 4);
  if (ReadLe32(header, 0) != 1 || lastPage + 1 < kSwapMinPages) return std::nullopt;
  ScanHit hit{start, HitKind::FileSystem, FileSystemKind::LinuxSwap, Utf8Label(FixedText(header, 28, 16)),
              std::nullopt};
  hit.range = RangeOnMedium(start, (std::uint64_t{lastPage} + 1) * kSwapPageSectors, context.mediumSectors);
  return hit;
}

}  // namespace korvex
