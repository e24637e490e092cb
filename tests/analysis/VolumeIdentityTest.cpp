// What file system begins at a sector, as a partition's label needs it: each kind with its
// label, a FAT32 volume whose first sector is lost, and places where none begins.
#include "analysis/VolumeIdentity.h"

#include <gtest/gtest.h>

#include "analysis/VolumeSectors.h"

namespace korvex {
namespace {

constexpr std::uint64_t kMedium = 500'000;

struct SectorMap final : test::SectorMap {
  SectorMap() : test::SectorMap(kMedium) {}
  std::optional<VolumeIdentity> At(std::uint64_t start) { return IdentifyVolume(*this, start, kMedium); }
};

VolumeIdentity Identity(FileSystemKind fs, std::string label, VolumeRange range, bool throughBackup = false) {
  return VolumeIdentity{fs, std::move(label), range, throughBackup};
}

TEST(VolumeIdentity, EachFileSystemWithItsLabelWhereItBegins) {
  SectorMap disk;
  disk.sectors[1002] = test::ExtSuperblock(1000, test::ExtGeneration::Ext4, "home");
  disk.sectors[20000] = test::NtfsBootSector(8192);
  disk.sectors[40000] = test::FatBootSector(100000, 1, true, "DATEN      ");
  disk.sectors[150002] = test::SwapHeader(255);
  disk.sectors[150007] = test::SwapSignature();
  EXPECT_EQ(disk.At(1000), Identity(FileSystemKind::Ext4, "home", VolumeRange{1000, 8000}));
  EXPECT_EQ(disk.At(20000), Identity(FileSystemKind::Ntfs, "", VolumeRange{20000, 8192}));
  EXPECT_EQ(disk.At(40000), Identity(FileSystemKind::Fat32, "DATEN", VolumeRange{40000, 100000}));
  EXPECT_EQ(disk.At(150000), Identity(FileSystemKind::LinuxSwap, "", VolumeRange{150000, 2048}));
  // The superblock's own sector, an empty place, a place past the medium.
  EXPECT_EQ(disk.At(1002), std::nullopt);
  EXPECT_EQ(disk.At(300000), std::nullopt);
  EXPECT_EQ(disk.At(kMedium), std::nullopt);

  // The FAT32 volume's first sector lost: its backup 6 sectors on tells, its first FAT confirms.
  disk.sectors[40006] = disk.sectors[40000];
  disk.sectors.erase(40000);
  disk.sectors[40032][0] = 0xF8, disk.sectors[40032][1] = 0xFF, disk.sectors[40032][2] = 0xFF;
  disk.sectors[40032][3] = 0x0F;
  EXPECT_EQ(disk.At(40000), Identity(FileSystemKind::Fat32, "DATEN", VolumeRange{40000, 100000}, true));
}

}  // namespace
}  // namespace korvex
