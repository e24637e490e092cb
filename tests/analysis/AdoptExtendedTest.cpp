// Logical drives and lost extended partitions brought back: whole, at their old places, with the
// partition's own lengths; a refused drive takes the whole adoption back; a logical drive alone
// never becomes a primary partition; a volume found through its backup gets its boot sector back.
#include <gtest/gtest.h>

#include "analysis/AdoptHit.h"
#include "analysis/DiskScan.h"
#include "analysis/VolumeSectors.h"
#include "partition/PartitionEntry.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"
#include "support/EditingFixture.h"

namespace korvex {
namespace {

using test::Obj;
using test::Objects;
constexpr auto NewTable = PartitionState::NewTable;

// 40 cylinders of 16 × 63 sectors (40 320). A FAT16 primary partition, and an extended partition
// from 4032 to the end with three logical drives, each record one track before its data; the
// third file system (ext4) is shorter than its partition by its own block rounding.
constexpr std::uint32_t kExtStart = 4032;
const std::vector<LogicalSpec> kDrives = {{4032, 4095, 6000, 0x06}, {10095, 10158, 5000, 0x07}, {15158, 15221, 4099, 0x83}};

class AdoptExtendedTest : public test::EditingTest {
 protected:
  void SetUp() override {
    auto& img = MakeImage(40, 16);
    ASSERT_TRUE(img.AddPrimary(0, 0x06, 63, 3969));
    ASSERT_TRUE(img.AddExtended(1, 0x05, kExtStart, 40320 - kExtStart, kDrives));
    Put(63, test::FatBootSector(3969, 1));
    Put(4095, test::FatBootSector(6000, 1));
    Put(10158, test::NtfsBootSector(5000));
    Put(15223, test::ExtSuperblock(512, test::ExtGeneration::Ext4));  // 4096 sectors
  }
  void Put(std::uint32_t lba, const SectorBytes& bytes) { ASSERT_TRUE(image->WriteSector(lba, bytes)); }
  void LoseSector(std::uint32_t lba) { Put(lba, SectorBytes{}); }
  ScanResults Search(CHardDisk& disk) {
    ScanResults results;
    NullProgress progress;
    StopFlag stop;
    EXPECT_TRUE(ScanDisk(disk, results, progress, stop, nullptr).Succeeded());
    return results;
  }
  std::vector<std::vector<std::uint32_t>> Drives(const CHardDisk& disk) {
    std::vector<std::vector<std::uint32_t>> drives;
    for (const CPartition* d : disk.logical.Used()) drives.push_back({d->start, static_cast<std::uint32_t>(d->DataStart()), d->DataLength(), d->type});
    return drives;
  }
  const std::vector<std::vector<std::uint32_t>> kOldDrives = {
      {4032, 4095, 6000, 0x06}, {10095, 10158, 5000, 0x07}, {15158, 15221, 4099, 0x83}};
};

TEST_F(AdoptExtendedTest, ALostExtendedPartitionComesBackWholeAndARepeatIsTakenBackWhole) {
  LoseSector(0);
  auto disk = Open();
  const ScanResults found = Search(*disk);
  ASSERT_EQ(found.extended.size(), 1u);
  const LostExtended& lost = found.extended[0];
  EXPECT_EQ(lost.range, (VolumeRange{kExtStart, 40320 - kExtStart}));

  CPartition* ext = AdoptLostExtended(*disk, lost, prompt);
  ASSERT_NE(ext, nullptr) << LastText();
  EXPECT_EQ((Obj{ext->state, ext->start, ext->length}), (Obj{NewTable, kExtStart, 40320 - kExtStart}));
  EXPECT_EQ(ext->type, 0x05);
  EXPECT_FALSE(ext->destructive);
  EXPECT_EQ(Drives(*disk), kOldDrives);

  auto reread = SaveAndReopen(*disk);
  EXPECT_EQ(Drives(*reread), kOldDrives);
  EXPECT_EQ(ReadTableEntry(*image->ReadSector(0), 0).relativeStart, kExtStart);
  const SectorBytes superblock = test::ExtSuperblock(512, test::ExtGeneration::Ext4);
  EXPECT_EQ(*image->ReadSector(15223), std::vector<std::uint8_t>(superblock.begin(), superblock.end()));

  // Again on the saved disk: the extended partition is there, its first drive overlaps itself;
  // nothing stays of the attempt, not even the modified mark.
  const auto primary = Objects(reread->primary);
  const auto logical = Objects(reread->logical);
  prompt.shown.clear();
  EXPECT_EQ(AdoptLostExtended(*reread, lost, prompt), nullptr);
  EXPECT_EQ(LastText(), StrFormat(text::kAdoptOverlap, 4095u, 10094u));
  EXPECT_EQ(Objects(reread->primary), primary);
  EXPECT_EQ(Objects(reread->logical), logical);
  EXPECT_FALSE(reread->IsModified());
}

TEST_F(AdoptExtendedTest, ADriveThatIsRefusedTakesTheNewExtendedPartitionBack) {
  LoseSector(0);
  auto disk = Open();
  const auto primary = Objects(disk->primary);
  LostExtended lost = Search(*disk).extended.at(0);
  lost.drives[2].record = lost.drives[1].record + 10;  // its record inside the drive before
  EXPECT_EQ(AdoptLostExtended(*disk, lost, prompt), nullptr);
  EXPECT_EQ(LastText(), text::kAdoptNoRoomForRecord);
  EXPECT_EQ(Objects(disk->primary), primary);
  EXPECT_TRUE(disk->logical.empty());
  EXPECT_EQ(disk->FindExtended(), nullptr);
  EXPECT_FALSE(disk->IsModified());
}

TEST_F(AdoptExtendedTest, RefusalsOfTheExtendedPartitionItself) {
  LoseSector(0);
  auto disk = Open();
  const LostExtended lost = Search(*disk).extended.at(0);
  const auto refused = [&](LostExtended changed, const std::string& text) {
    prompt.shown.clear();
    EXPECT_EQ(AdoptLostExtended(*disk, changed, prompt), nullptr) << text;
    EXPECT_EQ(LastText(), text);
  };
  LostExtended noDrives = lost;
  noDrives.drives.clear();
  refused(noDrives, text::kAdoptExtendedWithoutDrives);
  LostExtended notExtended = lost;
  notExtended.type = 0x83;
  refused(notExtended, text::kAdoptExtendedType);
  LostExtended pastTheEnd = lost;
  pastTheEnd.range.length += 1;
  refused(pastTheEnd, text::kAdoptPastDiskEnd);
  EXPECT_TRUE(disk->logical.empty());

  // Another extended partition in the working copy: only one per disk.
  ASSERT_TRUE(image->AddExtended(2, 0x05, 30240, 1008, {}));
  auto other = Open();
  prompt.shown.clear();
  EXPECT_EQ(AdoptLostExtended(*other, lost, prompt), nullptr);
  EXPECT_EQ(LastText(), text::kSecondExtended);
}

TEST_F(AdoptExtendedTest, ALogicalDriveAloneIsRefusedAndGoesIntoASurvivingExtendedPartitionAtItsRecord) {
  LoseSector(0);
  auto disk = Open();
  const auto primary = Objects(disk->primary);
  const ScanResults found = Search(*disk);
  const auto ntfs = HitAtSector(*disk, 10158);
  ASSERT_TRUE(ntfs && ntfs->DescribesVolume());
  EXPECT_EQ(AdoptHit(*disk, *ntfs, std::nullopt, found.extended, prompt), nullptr);
  EXPECT_EQ(LastText(), StrFormat(text::kAdoptInLostExtended, 10158u, kExtStart));
  // Without the search's results the record before the volume tells the same.
  EXPECT_EQ(AdoptHit(*disk, *ntfs, std::nullopt, {}, prompt), nullptr);
  EXPECT_EQ(LastText(), StrFormat(text::kAdoptNamedByRecord, 10158u, 10095u));
  EXPECT_EQ(Objects(disk->primary), primary);

  // Sector 0 intact, only the first record lost: the extended partition is in the table with an
  // empty chain, and the ext4 volume goes in at its record, with the record's length and type.
  ASSERT_TRUE(image->AddPrimary(0, 0x06, 63, 3969));
  ASSERT_TRUE(image->AddPrimary(1, 0x05, kExtStart, 40320 - kExtStart));
  LoseSector(kExtStart);
  auto table = Open();
  ASSERT_TRUE(table->logical.Used().empty());
  const auto ext4 = HitAtSector(*table, 15221);
  ASSERT_TRUE(ext4 && ext4->DescribesVolume());
  EXPECT_EQ(ext4->range->length, 4096u);  // the file system's own length
  CPartition* drive = AdoptHit(*table, *ext4, std::nullopt, {}, prompt);
  ASSERT_NE(drive, nullptr) << LastText();
  EXPECT_EQ((std::vector<std::uint32_t>{drive->start, static_cast<std::uint32_t>(drive->DataStart()), drive->DataLength(),
                                        drive->type}),
            kOldDrives[2]);
}

// A FAT32 volume of 100 000 sectors at 1008 whose first sector is lost: its backup 6 sectors on
// and its first FAT 32 sectors on survive.
class AdoptBootSectorTest : public test::EditingTest {
 protected:
  void SetUp() override {
    MakeImage(200, 16);
    SectorBytes fat{};
    fat[0] = 0xF8, fat[1] = 0xFF, fat[2] = 0xFF, fat[3] = 0x0F;
    ASSERT_TRUE(image->WriteSector(1008 + 6, boot));
    ASSERT_TRUE(image->WriteSector(1008 + 32, fat));
  }
  const SectorBytes boot = test::FatBootSector(100000, 1, true, "DATEN      ");
};

TEST_F(AdoptBootSectorTest, AVolumeFoundThroughItsBackupGetsItsBootSectorBackAtTheSave) {
  auto disk = Open();
  const auto hit = HitAtSector(*disk, 1008);  // asked at the real start
  ASSERT_TRUE(hit && hit->DescribesVolume());
  EXPECT_TRUE(hit->throughBackup);
  EXPECT_EQ(hit->range, (VolumeRange{1008, 100000}));
  CPartition* adopted = AdoptHit(*disk, *hit, std::nullopt, {}, prompt);
  ASSERT_NE(adopted, nullptr) << LastText();
  EXPECT_EQ(adopted->type, 0x0B);
  EXPECT_EQ(*image->ReadSector(1008), std::vector<std::uint8_t>(512, 0));  // nothing written before the save
  auto reread = SaveAndReopen(*disk);
  EXPECT_EQ(*image->ReadSector(1008), std::vector<std::uint8_t>(boot.begin(), boot.end()));
  EXPECT_EQ(reread->primary.Used().front()->start, 1008u);
}

TEST_F(AdoptBootSectorTest, ABootSectorOfAnotherFileSystemWhereTheLostOneBeganIsNotOverwritten) {
  const SectorBytes other = test::FatBootSector(20000, 1);
  ASSERT_TRUE(image->WriteSector(1008, other));
  auto disk = Open();
  const auto hit = HitAtSector(*disk, 1014);  // the backup, naming the volume from 1008
  ASSERT_TRUE(hit && hit->throughBackup);
  EXPECT_EQ(AdoptHit(*disk, *hit, std::nullopt, {}, prompt), nullptr);
  EXPECT_EQ(LastText(), StrFormat(text::kAdoptOtherFileSystemAtStart, 1008ull, "FAT16"));
  EXPECT_FALSE(disk->IsModified());
}

}  // namespace
}  // namespace korvex
