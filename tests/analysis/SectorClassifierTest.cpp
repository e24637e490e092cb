// What the search makes of single sectors: file systems with their ranges (backup copies naming
// the original volume), and parameter blocks that must not give a range or a file system. The
// kinds by first byte are checked over a whole disk in DiskScanTest.
#include "analysis/SectorClassifier.h"

#include <gtest/gtest.h>

#include <map>

#include "analysis/VolumeSectors.h"

namespace korvex {
namespace {

using test::ExtGeneration;

constexpr std::uint64_t kMedium = 1'000'000;

// The disk around the tested sector.
struct SectorMap final : test::SectorMap {
  SectorMap() : test::SectorMap(kMedium) {}
  std::vector<ScanHit> Classify(std::uint64_t lba) {
    return ClassifySector(ProbeContext{lba, sectors.at(lba), *this, kMedium});
  }
};

ScanHit Hit(std::uint64_t sector, HitKind kind, FileSystemKind fs = FileSystemKind::None, std::string label = "",
            std::optional<VolumeRange> range = std::nullopt) {
  return ScanHit{sector, kind, fs, std::move(label), range};
}

// The first sector of a FAT (media byte F8h, then ones) and of a file record.
SectorBytes FatStart() {
  SectorBytes s{};
  s[0] = 0xF8, s[1] = 0xFF, s[2] = 0xFF, s[3] = 0x0F;
  return s;
}
SectorBytes FileRecord() {
  SectorBytes s{};
  test::PutText(s, 0, "FILE");
  return s;
}

ScanHit ThroughBackup(std::uint64_t sector, FileSystemKind fs, std::string label, VolumeRange range) {
  ScanHit hit = Hit(sector, HitKind::FileSystem, fs, std::move(label), range);
  hit.throughBackup = true;
  return hit;
}

TEST(SectorClassifier, FatAndNtfsVolumesAreListedOnceWhenBothBootSectorCopiesSurvive) {
  SectorMap disk;
  disk.sectors[63] = test::FatBootSector(4000, 4, false, "KLEIN      ");
  disk.sectors[5000] = test::FatBootSector(20000, 1, false, "NO NAME    ");
  disk.sectors[30000] = test::FatBootSector(100000, 1, true, "DATEN      ");
  disk.sectors[30006] = disk.sectors[30000];
  disk.sectors[200000] = test::NtfsBootSector(65536);
  disk.sectors[265535] = disk.sectors[200000];
  EXPECT_EQ(disk.Classify(63), std::vector<ScanHit>{Hit(63, HitKind::FileSystem, FileSystemKind::Fat12, "KLEIN",
                                                        VolumeRange{63, 4000})});
  EXPECT_EQ(disk.Classify(5000), std::vector<ScanHit>{Hit(5000, HitKind::FileSystem, FileSystemKind::Fat16, "",
                                                          VolumeRange{5000, 20000})});
  EXPECT_EQ(disk.Classify(30000), std::vector<ScanHit>{Hit(30000, HitKind::FileSystem, FileSystemKind::Fat32, "DATEN",
                                                           VolumeRange{30000, 100000})});
  // The copies agree with their originals: plain boot sectors that name them.
  ScanHit fatCopy = Hit(30006, HitKind::BootSector);
  fatCopy.copyOf = 30000;
  EXPECT_EQ(disk.Classify(30006), std::vector<ScanHit>{fatCopy});
  // The NTFS volume counts one sector less than it occupies; its backup lies in that sector.
  EXPECT_EQ(disk.Classify(200000).front().range, (VolumeRange{200000, 65536}));
  ScanHit ntfsCopy = Hit(265535, HitKind::BootSector);
  ntfsCopy.copyOf = 200000;
  EXPECT_EQ(disk.Classify(265535), std::vector<ScanHit>{ntfsCopy});
}

TEST(SectorClassifier, AVolumeWhoseFirstSectorIsLostIsFoundThroughItsBackupAtItsRealStart) {
  SectorMap disk;
  // FAT32 from 30000: the first sector zeroed, the backup 6 on, the first FAT 32 on.
  disk.sectors[30006] = test::FatBootSector(100000, 1, true, "DATEN      ");
  disk.sectors[30032] = FatStart();
  EXPECT_EQ(disk.Classify(30006),
            std::vector<ScanHit>{ThroughBackup(30006, FileSystemKind::Fat32, "DATEN", VolumeRange{30000, 100000})});
  // Without the FAT behind it the sector stands for a volume of its own (it may be one).
  disk.sectors.erase(30032);
  EXPECT_EQ(disk.Classify(30006).front().range, (VolumeRange{30006, 100000}));

  // NTFS from 200000: the first sector zeroed, the master file table 32 sectors on.
  disk.sectors[265535] = test::NtfsBootSector(65536);
  disk.sectors[200032] = FileRecord();
  EXPECT_EQ(disk.Classify(265535),
            std::vector<ScanHit>{ThroughBackup(265535, FileSystemKind::Ntfs, "", VolumeRange{200000, 65536})});
  // A backup so near the medium's end that no volume can begin there, without other evidence.
  disk.sectors[kMedium - 1] = test::NtfsBootSector(4096);
  EXPECT_EQ(disk.Classify(kMedium - 1).front().range, (VolumeRange{kMedium - 4096, 4096}));
}

TEST(SectorClassifier, ADeletedNtfsVolumeWithASmallerFat32OverItsStartShowsBoth) {
  SectorMap disk;
  disk.sectors[200000] = test::FatBootSector(100000, 1, true, "NEU        ");
  disk.sectors[200006] = disk.sectors[200000];
  disk.sectors[200032] = FatStart();        // over the master file table
  disk.sectors[200000 + 4095 * 8] = FileRecord();  // its mirror, in the middle of the volume, survives
  disk.sectors[265535] = test::NtfsBootSector(65536);
  EXPECT_EQ(disk.Classify(200000).front().range, (VolumeRange{200000, 100000}));
  EXPECT_EQ(disk.Classify(265535),
            std::vector<ScanHit>{ThroughBackup(265535, FileSystemKind::Ntfs, "", VolumeRange{200000, 65536})});
}

TEST(SectorClassifier, ForgedParameterBlocksGiveNoRange) {
  SectorMap disk;
  SectorBytes noClusters = test::FatBootSector(20000, 1);
  noClusters[0x0D] = 0;
  disk.sectors[100] = noClusters;
  SectorBytes pastTheEnd = test::FatBootSector(0, 1);
  test::Put(pastTheEnd, 0x20, kMedium, 4);  // a volume from sector 200 reaching past the medium
  disk.sectors[200] = pastTheEnd;
  SectorBytes ntfsPastTheEnd = test::NtfsBootSector(UINT64_MAX);
  disk.sectors[300] = ntfsPastTheEnd;
  SectorBytes ntfsNoClusters = test::NtfsBootSector(4096);
  ntfsNoClusters[0x0D] = 0;
  disk.sectors[400] = ntfsNoClusters;
  EXPECT_EQ(disk.Classify(100), std::vector<ScanHit>{Hit(100, HitKind::BootSector)});
  EXPECT_EQ(disk.Classify(200), std::vector<ScanHit>{Hit(200, HitKind::FileSystem, FileSystemKind::Fat16, "TESTVOL")});
  EXPECT_EQ(disk.Classify(300), std::vector<ScanHit>{Hit(300, HitKind::FileSystem, FileSystemKind::Ntfs)});
  EXPECT_EQ(disk.Classify(400), std::vector<ScanHit>{Hit(400, HitKind::BootSector)});
}

TEST(SectorClassifier, LinuxVolumesNameTheirFirstSector) {
  SectorMap disk;
  disk.sectors[1002] = test::ExtSuperblock(1000, ExtGeneration::Ext2, "alt");
  disk.sectors[9002] = test::ExtSuperblock(1000, ExtGeneration::Ext3);
  disk.sectors[17002] = test::ExtSuperblock(1000, ExtGeneration::Ext4, "wurzel");
  disk.sectors[25002] = test::ExtSuperblock(1000, ExtGeneration::Ext4, "", 1);  // a backup superblock
  disk.sectors[33002] = test::ExtSuperblock(250000, ExtGeneration::Ext4);       // past the medium
  disk.sectors[40002] = test::SwapHeader(255, "auslagerung");
  disk.sectors[40007] = test::SwapSignature();
  disk.sectors[50002] = test::SwapHeader(255);
  disk.sectors[50002][0] = 2;  // a version this probe does not know
  disk.sectors[50007] = test::SwapSignature();
  EXPECT_EQ(disk.Classify(1002), std::vector<ScanHit>{Hit(1000, HitKind::FileSystem, FileSystemKind::Ext2, "alt",
                                                          VolumeRange{1000, 8000})});
  EXPECT_EQ(disk.Classify(9002).front().fileSystem, FileSystemKind::Ext3);
  EXPECT_EQ(disk.Classify(17002).front().fileSystem, FileSystemKind::Ext4);
  EXPECT_EQ(disk.Classify(17002).front().label, "wurzel");
  EXPECT_TRUE(disk.Classify(25002).empty());
  EXPECT_EQ(disk.Classify(33002).front().range, std::nullopt);
  EXPECT_EQ(disk.Classify(40007), std::vector<ScanHit>{Hit(40000, HitKind::FileSystem, FileSystemKind::LinuxSwap,
                                                           "auslagerung", VolumeRange{40000, 2048})});
  EXPECT_TRUE(disk.Classify(50007).empty());
}

TEST(SectorClassifier, ExtendedBootRecordsWithTheirDriveAndLink) {
  const auto record = [](std::initializer_list<std::pair<unsigned, std::array<std::uint32_t, 3>>> entries) {
    SectorBytes s{};
    for (const auto& [index, entry] : entries) {
      const std::size_t at = 0x1BE + index * 16;
      s[at + 4] = static_cast<std::uint8_t>(entry[0]);
      test::Put(s, at + 8, entry[1], 4);
      test::Put(s, at + 12, entry[2], 4);
    }
    s[510] = 0x55, s[511] = 0xAA;
    return s;
  };
  SectorMap disk;
  disk.sectors[1000] = record({{0, {0x07, 63, 5000}}, {1, {0x05, 6000, 7000}}});
  disk.sectors[2000] = record({{1, {0x0F, 100, 200}}});      // a first record without a drive
  disk.sectors[3000] = record({{0, {0x0C, 2048, 9000}}});    // the last record
  disk.sectors[4000] = record({{0, {0x07, 63, 5000}}, {2, {0x83, 10, 10}}});  // a third entry: a table
  disk.sectors[5000] = record({{0, {0x05, 63, 5000}}});      // a drive of an extended type
  disk.sectors[6000] = record({{1, {0x83, 63, 5000}}});      // a link that is no extended partition
  disk.sectors[0] = disk.sectors[1000];                      // sector 0 is the master boot record
  EXPECT_EQ(disk.Classify(1000).front().record, (ExtendedRecord{63, 5000, 0x07, 6000, 0x05}));
  EXPECT_EQ(disk.Classify(2000).front().record, (ExtendedRecord{0, 0, 0, 100, 0x0F}));
  EXPECT_EQ(disk.Classify(3000).front().record, (ExtendedRecord{2048, 9000, 0x0C, 0, 0}));
  for (const std::uint64_t other : {4000, 5000, 6000, 0}) {
    EXPECT_EQ(disk.Classify(other).front().record, std::nullopt) << other;
    EXPECT_EQ(disk.Classify(other).front().kind, HitKind::OtherSignature) << other;
  }
}

}  // namespace
}  // namespace korvex
