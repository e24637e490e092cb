// Lost extended partitions put together from the search's hits: whole chains, chains whose first
// or middle record is lost, the end of the extended partition, its type, and hostile links.
#include "analysis/LostExtended.h"

#include <gtest/gtest.h>

#include "analysis/VolumeSectors.h"

namespace korvex {

// Readable failure messages.
void PrintTo(const LostDrive& d, std::ostream* os) {
  *os << "{record " << d.record << (d.recordFound ? "" : " lost") << " [" << d.data.start << "+" << d.data.length
      << "] type " << int{d.type} << " " << FileSystemName(d.fileSystem) << "}";
}

namespace {

constexpr std::uint64_t kMedium = 400'000;
constexpr std::uint64_t kCylinder = 16 * 63;
constexpr std::uint8_t kLinkType = 0x05;

ScanHit Record(std::uint64_t lba, std::uint32_t driveOffset, std::uint32_t driveLength, std::uint8_t type,
               std::uint32_t linkOffset = 0) {
  ScanHit hit{lba, HitKind::OtherSignature, FileSystemKind::None, "", std::nullopt};
  hit.record = ExtendedRecord{driveOffset, driveLength, type, linkOffset, static_cast<std::uint8_t>(linkOffset != 0 ? kLinkType : 0)};
  return hit;
}

ScanHit Volume(std::uint64_t start, std::uint64_t length, FileSystemKind fs, std::string label = "") {
  return ScanHit{start, HitKind::FileSystem, fs, std::move(label), VolumeRange{start, length}};
}

LostDrive Drive(std::uint64_t record, std::uint64_t start, std::uint64_t length, std::uint8_t type,
                FileSystemKind fs = FileSystemKind::None, std::string label = "") {
  return LostDrive{record, VolumeRange{start, length}, type, true, fs, std::move(label), std::nullopt};
}

// Three drives of a 1-MiB layout, each record 2048 sectors before its data; the extended
// partition starts at 100 000.
std::vector<ScanHit> ThreeDriveChain() {
  return {Record(100000, 2048, 20000, 0x0C, 22048),   // data 102 048 … 122 047, next record 122 048
          Volume(102048, 20000, FileSystemKind::Fat32, "EINS"),
          Record(122048, 2048, 30000, 0x07, 54096),   // data 124 096 … 154 095, next record 154 096
          Volume(124096, 30000, FileSystemKind::Ntfs, "ZWEI"),
          Record(154096, 2048, 10000, 0x83),          // the last record
          Volume(156144, 9992, FileSystemKind::Ext4, "drei")};  // ext4 rounded down to its blocks
}

TEST(LostExtended, AChainOfThreeDrivesWithThePartitionsLengthsAndTypes) {
  const auto found = FindLostExtended(ThreeDriveChain(), kMedium, kCylinder);
  ASSERT_EQ(found.size(), 1u);
  // Nothing follows the chain: the extended partition reaches the medium's end.
  EXPECT_EQ(found[0].range, (VolumeRange{100000, kMedium - 100000}));
  EXPECT_EQ(found[0].type, 0x05);
  // The third drive keeps the record's length, not the file system's rounded one.
  EXPECT_EQ(found[0].drives, (std::vector<LostDrive>{Drive(100000, 102048, 20000, 0x0C, FileSystemKind::Fat32, "EINS"),
                                                     Drive(122048, 124096, 30000, 0x07, FileSystemKind::Ntfs, "ZWEI"),
                                                     Drive(154096, 156144, 10000, 0x83, FileSystemKind::Ext4, "drei")}));
}

TEST(LostExtended, TheExtendedPartitionEndsWhereTheNextVolumeOrForeignRecordBegins) {
  auto hits = ThreeDriveChain();
  hits.push_back(Volume(200000, 50000, FileSystemKind::Fat16));
  EXPECT_EQ(FindLostExtended(hits, kMedium, kCylinder).at(0).range, (VolumeRange{100000, 100000}));
  // Past cylinder 1023 (1 032 192 sectors of 1008) the type is the LBA one.
  EXPECT_EQ(FindLostExtended(ThreeDriveChain(), 2'000'000, kCylinder).at(0).type, 0x0F);
}

TEST(LostExtended, AChainWhoseFirstRecordIsLostStartsWhereTheSecondRecordsLinkSays) {
  auto hits = ThreeDriveChain();
  hits.erase(hits.begin());  // the record at 100 000 is gone; the FAT32 volume behind it is not
  const auto found = FindLostExtended(hits, kMedium, kCylinder);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].range.start, 100000u);  // 154 096 − the second record's link 54 096
  ASSERT_EQ(found[0].drives.size(), 3u);
  LostDrive first = Drive(100000, 102048, 20000, 0x0B, FileSystemKind::Fat32, "EINS");  // a fitting type
  first.recordFound = false;
  EXPECT_EQ(found[0].drives[0], first);
  EXPECT_EQ(found[0].drives[2].data.start, 156144u);
}

TEST(LostExtended, ALostMiddleRecordLeavesItsVolumeAsTheDriveAndTheChainGoesOn) {
  auto hits = ThreeDriveChain();
  hits.erase(hits.begin() + 2);  // the record at 122 048
  const auto found = FindLostExtended(hits, kMedium, kCylinder);
  ASSERT_EQ(found.size(), 1u);
  ASSERT_EQ(found[0].drives.size(), 3u);
  EXPECT_EQ(found[0].drives[1].record, 122048u);
  EXPECT_FALSE(found[0].drives[1].recordFound);
  EXPECT_EQ(found[0].drives[1].data, (VolumeRange{124096, 30000}));
  EXPECT_EQ(found[0].drives[1].type, 0x07);
  EXPECT_TRUE(found[0].drives[2].recordFound);
}

TEST(LostExtended, HostileRecordsGiveNoLoopAndNoPartitionWithoutDrives) {
  const std::vector<ScanHit> hits = {
      Record(1000, 63, 500, 0x06, 2000),  // links on to 3000 (counted from 1000)
      Record(3000, 63, 500, 0x06, 1),     // links back to 1001: not followed
      Record(5000, 0, 0, 0, 7000),        // no drive, and its link reaches no record
      Record(9000, 63, 50000, 0x06),
      Record(20000, 63, kMedium, 0x06),   // a drive past the medium's end
  };
  const auto found = FindLostExtended(hits, kMedium, kCylinder);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].range, (VolumeRange{1000, 4000}));  // the foreign record at 5000 ends it
  EXPECT_EQ(found[0].drives.size(), 2u);
  EXPECT_EQ(found[1].range, (VolumeRange{9000, kMedium - 9000}));
  EXPECT_EQ(found[1].drives.size(), 1u);
}

}  // namespace
}  // namespace korvex
