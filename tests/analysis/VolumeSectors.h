#pragma once
// Sectors that file-system formatters write, built field by field for the search tests: FAT and
// NTFS boot sectors, an ext superblock's first sector, a swap area's header and signature.
#include <cstring>
#include <map>
#include <ostream>
#include <string>

#include "analysis/SectorClassifier.h"

namespace korvex {

// Readable failure messages for hits and ranges.
inline void PrintTo(const VolumeRange& range, std::ostream* os) { *os << "[" << range.start << "+" << range.length << "]"; }
inline void PrintTo(const ScanHit& hit, std::ostream* os) {
  *os << "{" << hit.sector << " kind " << static_cast<int>(hit.kind) << " " << FileSystemName(hit.fileSystem) << " \""
      << hit.label << "\" ";
  if (hit.range) PrintTo(*hit.range, os);
  *os << "}";
}

}  // namespace korvex

namespace korvex::test {

// A disk of medium sectors for the probes, as a map of the sectors that hold anything (the rest
// read as zeros); sectors past the medium cannot be read.
struct SectorMap : ISectorSource {
  explicit SectorMap(std::uint64_t medium) : medium(medium) {}
  bool ReadSector(std::uint64_t lba, SectorBytes& out) override {
    if (lba >= medium) return false;
    const auto it = sectors.find(lba);
    out = it == sectors.end() ? SectorBytes{} : it->second;
    return true;
  }
  std::uint64_t medium;
  std::map<std::uint64_t, SectorBytes> sectors;
};

inline void Put(SectorBytes& s, std::size_t offset, std::uint64_t value, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) s[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
inline void PutText(SectorBytes& s, std::size_t offset, const std::string& text) {
  std::memcpy(s.data() + offset, text.data(), text.size());
}

// A FAT boot sector of a volume of total sectors: FAT16 layout (or FAT32 with its backup boot
// sector 6 sectors on), 2 FATs, 512-byte sectors, the label in the extended parameter block.
inline SectorBytes FatBootSector(std::uint32_t total, std::uint8_t clusterSectors, bool fat32 = false,
                                 const std::string& label = "TESTVOL    ") {
  SectorBytes s{};
  s[0] = 0xEB, s[1] = fat32 ? 0x58 : 0x3C, s[2] = 0x90;
  PutText(s, 3, "MSDOS5.0");
  Put(s, 0x0B, 512, 2);
  s[0x0D] = clusterSectors;
  Put(s, 0x0E, fat32 ? 32 : 1, 2);
  s[0x10] = 2;
  Put(s, 0x11, fat32 ? 0 : 512, 2);
  s[0x15] = 0xF8;
  Put(s, total < 65536 ? 0x13 : 0x20, total, total < 65536 ? 2 : 4);
  if (fat32) {
    Put(s, 0x24, 600, 4);
    Put(s, 0x32, 6, 2);
    s[0x42] = 0x29;
    PutText(s, 0x47, label);
  } else {
    Put(s, 0x16, 40, 2);
    s[0x26] = 0x29;
    PutText(s, 0x2B, label);
  }
  s[510] = 0x55, s[511] = 0xAA;
  return s;
}

// An NTFS boot sector of a volume of length sectors (it counts one less: the last sector holds
// the backup copy), clusters of 8 sectors, records of 1 KiB.
inline SectorBytes NtfsBootSector(std::uint64_t length) {
  SectorBytes s{};
  s[0] = 0xEB, s[1] = 0x52, s[2] = 0x90;
  PutText(s, 3, "NTFS    ");
  Put(s, 0x0B, 512, 2);
  s[0x0D] = 8;
  s[0x15] = 0xF8;
  Put(s, 0x28, length - 1, 8);
  Put(s, 0x30, 4, 8);
  Put(s, 0x38, (length - 1) / 16, 8);
  s[0x40] = 0xF6;
  Put(s, 0x48, 0x1234567890ABCDEF, 8);
  s[510] = 0x55, s[511] = 0xAA;
  return s;
}

enum class ExtGeneration { Ext2, Ext3, Ext4 };

// The first sector of an ext superblock (byte 1024 of the volume, its third sector) of blocks
// blocks of 4 KiB; group is the block group it lies in (0 for the primary one).
inline SectorBytes ExtSuperblock(std::uint32_t blocks, ExtGeneration generation, const std::string& label = "",
                                 std::uint16_t group = 0) {
  SectorBytes s{};
  Put(s, 0x00, 1024, 4);
  Put(s, 0x04, blocks, 4);
  Put(s, 0x18, 2, 4);  // 1024 << 2
  Put(s, 0x20, 32768, 4);
  Put(s, 0x28, 1024, 4);
  Put(s, 0x38, 0xEF53, 2);
  Put(s, 0x4C, 1, 4);
  Put(s, 0x5A, group, 2);
  if (generation != ExtGeneration::Ext2) Put(s, 0x5C, 0x4, 4);      // journal
  Put(s, 0x60, generation == ExtGeneration::Ext4 ? 0x2C2 : 0x2, 4);  // extents, flex groups, 64 bit
  PutText(s, 0x78, label);
  return s;
}

// A swap area's header (its third sector) and signature (its eighth).
inline SectorBytes SwapHeader(std::uint32_t lastPage, const std::string& label = "") {
  SectorBytes s{};
  Put(s, 0, 1, 4);
  Put(s, 4, lastPage, 4);
  PutText(s, 28, label);
  return s;
}
inline SectorBytes SwapSignature() {
  SectorBytes s{};
  PutText(s, 502, "SWAPSPACE2");
  return s;
}

}  // namespace korvex::test
