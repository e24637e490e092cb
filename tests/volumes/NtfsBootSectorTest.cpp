// The NTFS parameter block that the search and the image restore both read: what it accepts,
// what each broken field makes it refuse, and the sizes it derives.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "analysis/VolumeSectors.h"
#include "platform/OnDiskFields.h"
#include "volumes/NtfsBootSector.h"

namespace korvex {
namespace {

constexpr std::uint64_t kLength = 80000;  // sectors of the test volume

TEST(NtfsBootSectorTest, AFormattersBootSectorIsDecodedFieldByField) {
  SectorBytes sector = test::NtfsBootSector(kLength);
  test::Put(sector, 0x1C, 2048, 4);
  const auto ntfs = DecodeNtfsBootSector(sector);
  ASSERT_TRUE(ntfs.has_value());
  EXPECT_EQ(ntfs->bytesPerSector, 512u);
  EXPECT_EQ(ntfs->clusterSectors, 8u);
  EXPECT_EQ(ntfs->hiddenSectors, 2048u);
  EXPECT_EQ(ntfs->volumeSectors, kLength - 1);
  EXPECT_EQ(ntfs->mftCluster, 4u);
  EXPECT_EQ(ntfs->mirrorCluster, (kLength - 1) / 16);
  EXPECT_EQ(ntfs->RecordBytes(), 1024u);  // code F6h: 2^10
  EXPECT_EQ(ntfs->DiskSectors(), kLength - 1);
  EXPECT_EQ(ntfs->ClusterDiskSector(4), 32u);
}

TEST(NtfsBootSectorTest, LargerSectorsScaleEveryPlaceToDiskSectors) {
  // 4096-byte sectors, 2^(256 - F4h) = 4096 of them a cluster, records of two clusters.
  SectorBytes sector = test::NtfsBootSector(kLength);
  test::Put(sector, 0x0B, 4096, 2);
  sector[0x0D] = 0xF4;
  test::Put(sector, 0x28, 99999, 8);
  test::Put(sector, 0x30, 1, 8);
  test::Put(sector, 0x38, 2, 8);
  sector[0x40] = 2;
  const auto ntfs = DecodeNtfsBootSector(sector);
  ASSERT_TRUE(ntfs.has_value());
  EXPECT_EQ(ntfs->Scale(), 8u);
  EXPECT_EQ(ntfs->clusterSectors, 4096u);
  EXPECT_EQ(ntfs->DiskSectors(), 99999u * 8);  // where the backup copy lies on the disk
  EXPECT_EQ(ntfs->ClusterDiskSector(2), 2u * 4096 * 8);
  EXPECT_EQ(ntfs->RecordBytes(), 2u * 4096 * 4096);  // larger than any record the search reads
}

TEST(NtfsBootSectorTest, EveryBrokenFieldMakesItNoNtfsBootSector) {
  const std::vector<std::pair<const char*, std::function<void(SectorBytes&)>>> damages = {
      {"another name", [](SectorBytes& s) { test::PutText(s, 3, "NTFS   X"); }},
      {"256-byte sectors", [](SectorBytes& s) { test::Put(s, 0x0B, 256, 2); }},
      {"8192-byte sectors", [](SectorBytes& s) { test::Put(s, 0x0B, 8192, 2); }},
      {"sectors not a power of two", [](SectorBytes& s) { test::Put(s, 0x0B, 1536, 2); }},
      {"no cluster size", [](SectorBytes& s) { s[0x0D] = 0; }},
      {"cluster size not a power of two", [](SectorBytes& s) { s[0x0D] = 3; }},
      {"cluster shift past 12", [](SectorBytes& s) { s[0x0D] = 0xF3; }},
      {"no sectors", [](SectorBytes& s) { test::Put(s, 0x28, 0, 8); }},
      {"reserved sectors", [](SectorBytes& s) { test::Put(s, 0x0E, 1, 2); }},
      {"FATs", [](SectorBytes& s) { s[0x10] = 2; }},
      {"root entries", [](SectorBytes& s) { test::Put(s, 0x11, 512, 2); }},
      {"16-bit sector count", [](SectorBytes& s) { test::Put(s, 0x13, 100, 2); }},
      {"FAT size", [](SectorBytes& s) { test::Put(s, 0x16, 9, 2); }},
      {"32-bit sector count", [](SectorBytes& s) { test::Put(s, 0x20, 100, 4); }},
      {"master file table past the end", [](SectorBytes& s) { test::Put(s, 0x30, (kLength - 1) / 8, 8); }},
      {"mirror past the end", [](SectorBytes& s) { test::Put(s, 0x38, (kLength - 1) / 8, 8); }},
  };
  for (const auto& [what, damage] : damages) {
    SectorBytes sector = test::NtfsBootSector(kLength);
    damage(sector);
    EXPECT_FALSE(DecodeNtfsBootSector(sector).has_value()) << what;
  }
}

TEST(NtfsBootSectorTest, ShortBytesAreReadWithinTheirBounds) {
  const SectorBytes sector = test::NtfsBootSector(kLength);
  // Cut in the middle of the sector count: the count reads as 0, nothing is read past the end.
  EXPECT_FALSE(DecodeNtfsBootSector(std::span(sector).first(0x2C)).has_value());
  EXPECT_FALSE(DecodeNtfsBootSector(std::span(sector).first(5)).has_value());
}

TEST(NtfsBootSectorTest, TheHiddenSectorFieldIsTheOnlyOneWritten) {
  SectorBytes sector = test::NtfsBootSector(kLength);
  const SectorBytes before = sector;
  SetNtfsHiddenSectors(sector, 0x01020304);
  EXPECT_EQ(ReadLe32(sector, 0x1C), 0x01020304u);
  for (std::size_t i = 0; i < sector.size(); ++i) {
    if (i < 0x1C || i >= 0x20) {
      EXPECT_EQ(sector[i], before[i]) << i;
    }
  }
  EXPECT_EQ(DecodeNtfsBootSector(sector)->hiddenSectors, 0x01020304u);
}

}  // namespace
}  // namespace korvex
