// "Übernehmen": found volumes become partitions again, exactly where they lie, with a fitting
// type; their own sectors survive the save; every refusal leaves the working copy as it was.
#include "analysis/AdoptHit.h"

#include <gtest/gtest.h>

#include "analysis/VolumeSectors.h"
#include "partition/PartitionEntry.h"
#include "partition/TableReader.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"
#include "support/EditingFixture.h"

namespace korvex {
namespace {

using test::Obj;
using test::Objects;
constexpr auto Free = PartitionState::Free;
constexpr auto Table = PartitionState::Table;
constexpr auto NewTable = PartitionState::NewTable;

class AdoptHitTest : public test::EditingTest {
 protected:
  void Put(std::uint32_t lba, const SectorBytes& bytes) { ASSERT_TRUE(image->WriteSector(lba, bytes)); }
  std::vector<std::uint8_t> Bytes(const SectorBytes& bytes) { return {bytes.begin(), bytes.end()}; }
  CPartition* Adopt(CHardDisk& disk, std::uint64_t sector, std::optional<std::uint8_t> type = std::nullopt) {
    const auto hit = HitAtSector(disk, sector);
    EXPECT_TRUE(hit && hit->DescribesVolume()) << "no volume at " << sector;
    return hit ? AdoptHit(disk, *hit, type, {}, prompt) : nullptr;
  }
};

TEST_F(AdoptHitTest, VolumesOnADiskWithoutTablesComeBackAsPrimaryPartitionsWithTheirSectorsIntact) {
  std::string error;
  image.emplace(*ImageBuilder::Create(dir.File("disk.img"), 20, 16, 63, error, 500));  // 20 160 sectors + 500
  const SectorBytes fat = test::FatBootSector(12000, 1);
  const SectorBytes ntfs = test::NtfsBootSector(4032);
  Put(1008, fat);
  Put(13104, ntfs);
  Put(17135, ntfs);  // the backup copy in the volume's last sector
  Put(20170, test::FatBootSector(400, 1));  // in the partial cylinder after the last whole one
  auto disk = Open();

  ASSERT_NE(Adopt(*disk, 1008), nullptr) << LastText();
  // The backup copy in the volume's last sector names the original, which alone is the volume.
  EXPECT_EQ(HitAtSector(*disk, 17135)->copyOf, 13104u);
  ASSERT_NE(Adopt(*disk, 13104), nullptr) << LastText();
  ASSERT_NE(Adopt(*disk, 20170), nullptr) << LastText();
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(Objects(disk->primary), (std::vector<Obj>{{Free, 63, 945},
                                                      {NewTable, 1008, 12000},
                                                      {Free, 13008, 96},
                                                      {NewTable, 13104, 4032},
                                                      {Free, 17136, 3034},
                                                      {NewTable, 20170, 400}}));
  const CPartition& adopted = At(disk->primary, 1008);
  EXPECT_EQ(adopted.type, 0x04);  // FAT16 of fewer than 65 536 sectors
  EXPECT_EQ(adopted.slot, 0);
  EXPECT_TRUE(adopted.isNew && !adopted.destructive && disk->IsModified());

  auto reread = SaveAndReopen(*disk);
  const auto sector0 = *image->ReadSector(0);
  // From cylinder 1, head 0, sector 1 to cylinder 12, head 14, sector 30 (sector 13 007).
  EXPECT_EQ(ReadTableEntry(sector0, 0), (PartitionEntry{0, 0, 1, 1, 0x04, 14, 30, 12, 1008, 12000}));
  EXPECT_EQ(ReadTableEntry(sector0, 1).type, 0x07);
  EXPECT_EQ(ReadTableEntry(sector0, 1).relativeStart, 13104u);
  EXPECT_EQ(ReadTableEntry(sector0, 1).length, 4032u);
  EXPECT_EQ(*image->ReadSector(1008), Bytes(fat));
  EXPECT_EQ(*image->ReadSector(13104), Bytes(ntfs));
  EXPECT_EQ(ReadTableEntry(sector0, 2).relativeStart, 20170u);
  EXPECT_EQ(Objects(reread->primary)[1], (Obj{Table, 1008, 12000}));
}

TEST_F(AdoptHitTest, VolumesInsideTheExtendedPartitionComeBackAsLogicalDrives) {
  auto& img = MakeImage(40, 16);  // 40 320 sectors
  ASSERT_TRUE(img.AddExtended(0, 0x05, 4032, 36288, {}));
  // An ext4 volume 1 MiB into the extended partition, as a 1-MiB layout leaves it, and a swap
  // area far behind it.
  Put(6082, test::ExtSuperblock(256, test::ExtGeneration::Ext4));
  Put(12002, test::SwapHeader(255));
  Put(12007, test::SwapSignature());
  auto disk = Open();

  CPartition* ext4 = Adopt(*disk, 6080);
  CPartition* swap = Adopt(*disk, 12000);
  ASSERT_TRUE(ext4 && swap) << LastText();
  // The first record goes where the free space begins, the second one track before its volume,
  // so the space between stays free.
  EXPECT_EQ(Objects(disk->logical), (std::vector<Obj>{{NewTable, 4032, 4096},
                                                      {Free, 8128, 3809},
                                                      {NewTable, 11937, 2111},
                                                      {Free, 14048, 26272}}));
  EXPECT_EQ(ext4->DataStart(), 6080u);
  EXPECT_EQ(ext4->type, 0x83);
  EXPECT_EQ(swap->DataStart(), 12000u);
  EXPECT_EQ(swap->type, 0x82);
  EXPECT_EQ(swap->slot, 1);

  auto reread = SaveAndReopen(*disk);
  const auto drives = reread->logical.Used();
  ASSERT_EQ(drives.size(), 2u);
  EXPECT_EQ((std::vector<std::uint64_t>{drives[0]->DataStart(), drives[0]->DataLength(), drives[1]->DataStart(),
                                        drives[1]->DataLength()}),
            (std::vector<std::uint64_t>{6080, 2048, 12000, 2048}));
  EXPECT_EQ(*image->ReadSector(12007), Bytes(test::SwapSignature()));
  EXPECT_EQ(*image->ReadSector(6082), Bytes(test::ExtSuperblock(256, test::ExtGeneration::Ext4)));
}

TEST_F(AdoptHitTest, RefusalsChangeNothing) {
  auto& img = MakeImage(20, 16);
  ASSERT_TRUE(img.AddPrimary(0, 0x83, 1008, 4032));
  ASSERT_TRUE(img.AddExtended(1, 0x05, 10080, 10080, {}));
  ASSERT_TRUE(img.AddPrimary(2, 0x06, 6048, 1008));
  auto disk = Open();
  const auto found = [](std::uint64_t start, std::uint64_t length) {
    return ScanHit{start, HitKind::FileSystem, FileSystemKind::Fat16, "", VolumeRange{start, length}};
  };
  ScanHit forged = found(8100, 100);
  forged.range.reset();
  struct Case {
    ScanHit hit;
    std::optional<std::uint8_t> type;
    std::string text;
  };
  const std::vector<Case> cases = {
      {forged, std::nullopt, text::kAdoptNoVolume},
      {found(3000, 2000), std::nullopt, StrFormat(text::kAdoptOverlap, 3000u, 4999u)},
      {found(900, 5200), std::nullopt, StrFormat(text::kAdoptOverlap, 900u, 6099u)},  // holds a partition whole
      {found(9000, 2000), std::nullopt, StrFormat(text::kAdoptAcrossExtended, 9000u, 10999u)},
      {found(10, 500), std::nullopt, text::kAdoptInTrackZero},
      {found(19000, 2000), std::nullopt, text::kAdoptPastDiskEnd},
      {found(8100, 100), 0x05, text::kAdoptTypeInvalid},
      {found(10080, 1000), std::nullopt, text::kAdoptNoRoomForRecord},
  };
  const auto primary = Objects(disk->primary);
  const auto logical = Objects(disk->logical);
  for (const Case& c : cases) {
    prompt.shown.clear();
    EXPECT_EQ(AdoptHit(*disk, c.hit, c.type, {}, prompt), nullptr) << c.text;
    ASSERT_EQ(prompt.shown.size(), 1u) << c.text;
    EXPECT_EQ(prompt.shown[0].text, c.text);
    EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Stop);
  }
  // The last free entry taken, a fitting place is refused for the full table.
  ASSERT_NE(AdoptHit(*disk, found(7056, 1008), std::nullopt, {}, prompt), nullptr) << LastText();
  prompt.shown.clear();
  EXPECT_EQ(AdoptHit(*disk, found(8100, 100), std::nullopt, {}, prompt), nullptr);
  EXPECT_EQ(LastText(), text::kTableFull);
  EXPECT_EQ(Objects(disk->logical), logical);
  EXPECT_EQ(Objects(disk->primary).size(), primary.size() + 1);  // only the one adopted partition was added
}

// The chain of logical drives holds 27 records, as many as the reader follows: a volume that
// would need a 28th is refused, whichever free area of the extended partition it lies in.
TEST_F(AdoptHitTest, AVolumeThatWouldNeedATwentyEighthRecordIsRefused) {
  auto& img = MakeImage(20, 16);
  ASSERT_TRUE(img.AddExtended(0, 0x05, 1008, 15000, test::ChainOfDrives(1008, 27, 200, 100)));
  auto disk = Open();
  ASSERT_EQ(disk->logical.Used().size(), 27u);
  const auto logical = Objects(disk->logical);
  const ScanHit hit{10000, HitKind::FileSystem, FileSystemKind::Fat16, "", VolumeRange{10000, 2000}};
  EXPECT_EQ(AdoptHit(*disk, hit, std::nullopt, {}, prompt), nullptr);
  EXPECT_EQ(LastText(), StrFormat(text::kChainFull, kMaxChainRecords));
  EXPECT_EQ(Objects(disk->logical), logical);
  EXPECT_FALSE(disk->IsModified());
}

TEST(FittingType, LbaTypesForFatVolumesPastCylinder1023) {
  constexpr std::uint64_t kCylinder = 255 * 63;
  constexpr std::uint64_t kChsEnd = 1024 * kCylinder;  // the first sector no CHS address reaches
  const VolumeRange small{63, 40000};
  const VolumeRange large{63, 200000};
  const VolumeRange crossing{kChsEnd - 100000, 100001};
  EXPECT_EQ(FittingType(FileSystemKind::Fat16, small, kCylinder), 0x04);
  EXPECT_EQ(FittingType(FileSystemKind::Fat16, large, kCylinder), 0x06);
  EXPECT_EQ(FittingType(FileSystemKind::Fat16, crossing, kCylinder), 0x0E);
  EXPECT_EQ(FittingType(FileSystemKind::Fat16, VolumeRange{kChsEnd - 100000, 100000}, kCylinder), 0x06);
  EXPECT_EQ(FittingType(FileSystemKind::Fat32, large, kCylinder), 0x0B);
  EXPECT_EQ(FittingType(FileSystemKind::Fat32, crossing, kCylinder), 0x0C);
  EXPECT_EQ(FittingExtendedType(large, kCylinder), 0x05);
  EXPECT_EQ(FittingExtendedType(crossing, kCylinder), 0x0F);
  EXPECT_EQ(FittingType(FileSystemKind::Ntfs, crossing, kCylinder), 0x07);
}

}  // namespace
}  // namespace korvex
