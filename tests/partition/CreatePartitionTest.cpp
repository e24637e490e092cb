// Creating partitions and logical drives in free areas: where the new partition lies, which free
// pieces remain, every refusal, and what the disk holds after saving.
#include <gtest/gtest.h>

#include "partition/PartitionEditing.h"
#include "partition/PartitionEntry.h"
#include "partition/PositionChecks.h"
#include "partition/TableReader.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"
#include "support/EditingFixture.h"

namespace korvex {
namespace {

using test::Obj;
using test::Objects;
constexpr auto Free = PartitionState::Free;
constexpr auto Table = PartitionState::Table;
constexpr auto NewTable = PartitionState::NewTable;

// 20 cylinders of 255 heads and 63 sectors (16 065 sectors each): 321 300 sectors.
constexpr std::uint32_t kSectors = 20 * 16065;

CreateRequest Partial(float value, CreateUnit unit, CreateAlignment alignment, std::uint8_t type = 6) {
  CreateRequest request;
  request.wholeSpace = false;
  request.value = value;
  request.unit = unit;
  request.alignment = alignment;
  request.type = type;
  return request;
}

// The whole free area in the classic layout (cylinder alignment leaves the area as it is; the
// default of a blank disk is the 1 MiB layout, see MiBAlignmentTest).
CreateRequest Whole(std::uint8_t type = 6) {
  CreateRequest request;
  request.type = type;
  request.alignment = CreateAlignment::Cylinder;
  return request;
}

class CreatePartitionTest : public test::EditingTest {
 protected:
  // Partitions at 63 and 200 000 leave the free area [100 000, 200 000) between them.
  test::DiskInCopy DiskWithGapAt100000() {
    auto& img = MakeImage(20, 255);
    EXPECT_TRUE(img.AddPrimary(0, 0x83, 63, 99937));
    EXPECT_TRUE(img.AddPrimary(1, 0x07, 200000, 100000));
    return Open();
  }
};

TEST_F(CreatePartitionTest, TenMegabytesWithCylinderAlignmentFromSector100000) {
  auto disk = DiskWithGapAt100000();
  ASSERT_TRUE(image->AddBootSector(112455, "old data"));
  ASSERT_TRUE(image->AddBootSector(112455 + 63, "old data"));
  CPartition& area = At(disk->primary, 100000);
  ASSERT_TRUE(
      CreatePartition(disk.copy(), disk.Ref(area), Partial(10, CreateUnit::MByte, CreateAlignment::Cylinder), prompt))
      << LastText();
  // Start moves to 7 × 16 065; 20 480 requested sectors end at 132 934, rounded up to 144 584.
  EXPECT_EQ(Objects(disk->primary), (std::vector<Obj>{{Table, 63, 99937},
                                                      {Free, 100000, 12455},
                                                      {NewTable, 112455, 32130},
                                                      {Free, 144585, 55415},
                                                      {Table, 200000, 100000},
                                                      {Free, 300000, kSectors - 300000}}));
  EXPECT_EQ(area.slot, 2);  // entries 0 and 1 are taken
  EXPECT_EQ(At(disk->primary, 100000).slot, kSlotNone);
  EXPECT_TRUE(area.isNew && area.destructive && disk->IsModified());
  EXPECT_TRUE(prompt.shown.empty());

  auto reread = SaveAndReopen(*disk);
  const auto entry = ReadTableEntry(*image->ReadSector(0), 2);
  EXPECT_EQ(entry.type, 6);
  EXPECT_EQ(entry.relativeStart, 112455u);
  EXPECT_EQ(entry.length, 32130u);
  EXPECT_EQ(*image->ReadSector(112455), std::vector<std::uint8_t>(512, 0));
  EXPECT_EQ(*image->ReadSector(112455 + 63), std::vector<std::uint8_t>(512, 0));
  EXPECT_EQ(At(reread->primary, 144585).length, 55415u);
}

TEST_F(CreatePartitionTest, ZeroingStopsAtTheNewPartitionsLastSector) {
  // A new partition zeroes its first sector and the one a track later, when that is its own.
  for (const std::uint32_t sectors : {63u, 64u}) {
    SCOPED_TRACE(sectors);
    auto disk = DiskWithGapAt100000();
    ASSERT_TRUE(image->AddBootSector(100000 + 63, "next"));
    CPartition& area = At(disk->primary, 100000);
    ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(area),
                                Partial(static_cast<float>(sectors * 512), CreateUnit::Byte, CreateAlignment::Sector),
                                prompt))
        << LastText();
    ASSERT_EQ(area.start, 100000u);
    ASSERT_EQ(area.length, sectors);
    SaveAndReopen(*disk);
    const bool trackLaterZeroed = *image->ReadSector(100000 + 63) == std::vector<std::uint8_t>(512, 0);
    EXPECT_EQ(trackLaterZeroed, sectors == 64);
  }
}

TEST_F(CreatePartitionTest, RequestThatRoundedUpWouldPassTheEndIsRoundedDown) {
  auto disk = DiskWithGapAt100000();
  // 85 000 sectors from 112 455 end at 197 454; the next boundary (208 844) lies past 199 999,
  // so the end goes back to 192 779 (192 780 = 12 × 16 065).
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(At(disk->primary, 100000)),
                              Partial(85000.0f * 512, CreateUnit::Byte, CreateAlignment::Cylinder), prompt));
  EXPECT_EQ(At(disk->primary, 112455).length, 80325u);
  EXPECT_EQ(At(disk->primary, 192780).length, 7220u);
  EXPECT_TRUE(At(disk->primary, 192780).IsFree());
}

TEST_F(CreatePartitionTest, PartOfAFreeAreaAtSectorZeroStartsOneTrackLater) {
  MakeImage(20, 255);  // no signature: one free area from sector 0
  auto disk = Open();
  ASSERT_EQ(Objects(disk->primary), (std::vector<Obj>{{Free, 0, kSectors}}));
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(At(disk->primary, 0)),
                              Partial(1, CreateUnit::MByte, CreateAlignment::Track), prompt));
  // 2 048 sectors from 63 end at 2 110, rounded up to the track end 2 141; no free piece is
  // split off before the partition (track 0 is never free space).
  EXPECT_EQ(Objects(disk->primary), (std::vector<Obj>{{NewTable, 63, 2079}, {Free, 2142, kSectors - 2142}}));

  auto reread = SaveAndReopen(*disk);
  EXPECT_EQ(At(reread->primary, 63).length, 2079u);
  EXPECT_EQ(At(reread->primary, 63).type, 6);
}

TEST_F(CreatePartitionTest, WholeFreeSpaceTakesTheFreeAreaExactly) {
  auto& img = MakeImage(20, 255);
  ASSERT_TRUE(img.SetSignature(0));  // an empty partition table
  auto disk = Open();
  ASSERT_EQ(Objects(disk->primary), (std::vector<Obj>{{Free, 63, kSectors - 63}}));
  CPartition& area = At(disk->primary, 63);
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(area), Whole(0x83), prompt));
  EXPECT_EQ(Objects(disk->primary), (std::vector<Obj>{{NewTable, 63, kSectors - 63}}));
  EXPECT_EQ(area.slot, 0);
  EXPECT_EQ(area.type, 0x83);
}

TEST_F(CreatePartitionTest, WholeSpaceOfABlankDiskNeverBeginsInTrackZero) {
  MakeImage(20, 255);
  auto disk = Open();
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(At(disk->primary, 0)), Whole(), prompt));
  EXPECT_EQ(Objects(disk->primary), (std::vector<Obj>{{NewTable, 63, kSectors - 63}}));
}

TEST_F(CreatePartitionTest, ExplicitEntryAndMenuTitle) {
  auto disk = DiskWithGapAt100000();
  CreateRequest request = Whole();
  request.tableEntry = 4;
  CPartition& area = At(disk->primary, 100000);
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(area), request, prompt));
  EXPECT_EQ(area.slot, 3);

  // The boot engine counts as installed by its first two bytes; the menu takes the partition.
  disk->engineArea[0] = 0xE9;
  disk->engineArea[1] = 0x69;
  CreateRequest toMenu = Whole();
  toMenu.toMenu = true;
  CPartition& tail = At(disk->primary, 300000);
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(tail), toMenu, prompt));
  EXPECT_TRUE(tail.IsNewMenu());
  EXPECT_EQ(tail.slot, 0) << "a new entry goes after the last one; positions stay 0..N-1";
  EXPECT_EQ(tail.GetTitle(), "Neu");
}

// --- refusals: a stop message and nothing changed

class CreateRefusalTest : public CreatePartitionTest {
 protected:
  void ExpectRefused(const test::DiskInCopy& disk, CPartition& area, const CreateRequest& request,
                     const std::string& text) {
    const ObjectRef ref = disk.Ref(area);
    const PartitionLevel& level = LevelOf(*disk, ref.level);
    const auto before = Objects(level);
    const auto logicalBefore = Objects(disk->logical);
    disk->MarkSaved();
    prompt.shown.clear();
    EXPECT_FALSE(CreatePartition(disk.copy(), ref, request, prompt));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, text);
    EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Stop);
    EXPECT_EQ(Objects(level), before);
    EXPECT_EQ(Objects(disk->logical), logicalBefore);
    EXPECT_FALSE(disk->IsModified());
  }
};

TEST_F(CreateRefusalTest, ExtendedTypesWhereTheDiskAlreadyHasAnExtendedPartition) {
  auto& img = MakeImage(20, 255);
  ASSERT_TRUE(img.AddExtended(0, 0x05, 63, 99937, {{63, 126, 5000}}));
  auto disk = Open();
  CPartition& area = At(disk->primary, 100000);
  ExpectRefused(disk, area, Whole(5), LoadResString(IDS_ONE_TYPE5_PER_DISK));
  // Type 15 passes the type-5 rule but would be a second extended partition of the disk.
  ExpectRefused(disk, area, Whole(15), text::kSecondExtended);
  // Inside the extended partition: type 5 meets the type-5 rule first, type 15 the logical one.
  CPartition& inside = At(disk->logical, 5126);
  ExpectRefused(disk, inside, Whole(5), LoadResString(IDS_ONE_TYPE5_PER_DISK));
  ExpectRefused(disk, inside, Whole(15), text::kLogicalNotExtended);
}

TEST_F(CreateRefusalTest, ExtendedTypesInTheBootMenuAndMenuWithoutEngine) {
  auto disk = DiskWithGapAt100000();
  CPartition& area = At(disk->primary, 100000);
  CreateRequest request = Whole(6);
  request.toMenu = true;
  ExpectRefused(disk, area, request, text::kMenuUnavailable);
  disk->engineArea[0] = 0xE9;
  disk->engineArea[1] = 0x69;
  request.type = 5;
  ExpectRefused(disk, area, request, LoadResString(IDS_TYPE5_NOT_HERE));
  request.type = 15;
  ExpectRefused(disk, area, request, text::kType15NotHere);
  ExpectRefused(disk, area, Whole(0), text::kTypeZeroLine);
}

TEST_F(CreateRefusalTest, SizesThatAreNotPositiveOrTooLarge) {
  auto disk = DiskWithGapAt100000();
  CPartition& area = At(disk->primary, 100000);
  ExpectRefused(disk, area, Partial(0, CreateUnit::MByte, CreateAlignment::Cylinder), text::kSizeNotPositive);
  ExpectRefused(disk, area, Partial(-3, CreateUnit::MByte, CreateAlignment::Cylinder), text::kSizeNotPositive);
  ExpectRefused(disk, area, Partial(51200512, CreateUnit::Byte, CreateAlignment::Sector), text::kSizeTooLarge);
  // 2 TiB is 2^32 sectors, whose low 32 bits are 0: the whole count must be compared.
  ExpectRefused(disk, area, Partial(2048, CreateUnit::GByte, CreateAlignment::Sector), text::kSizeTooLarge);
}

TEST_F(CreateRefusalTest, PartitionsOfFewerThanTwoSectors) {
  auto disk = DiskWithGapAt100000();
  CPartition& area = At(disk->primary, 100000);
  ExpectRefused(disk, area, Partial(512, CreateUnit::Byte, CreateAlignment::Sector), text::kPartitionTooSmall);
  ExpectRefused(disk, area, Partial(100, CreateUnit::Byte, CreateAlignment::Sector), text::kPartitionTooSmall);
  ASSERT_TRUE(
      CreatePartition(disk.copy(), disk.Ref(area), Partial(1024, CreateUnit::Byte, CreateAlignment::Sector), prompt));
  EXPECT_EQ(area.start, 100000u);
  EXPECT_EQ(area.length, 2u);
}

TEST_F(CreateRefusalTest, LogicalDriveNeedsATrackAndTwoDataSectors) {
  auto& img = MakeImage(20, 255);
  // A gap of 64 sectors between two drives: one track for the record leaves one data sector.
  ASSERT_TRUE(img.AddExtended(0, 0x05, 63, 99937, {{63, 126, 937}, {1127, 1190, 5000}}));
  auto disk = Open();
  ASSERT_EQ(At(disk->logical, 1063).length, 64u);
  ExpectRefused(disk, At(disk->logical, 1063), Whole(0x83), text::kPartitionTooSmall);
}

TEST_F(CreateRefusalTest, FullPartitionTable) {
  auto& img = MakeImage(20, 255);
  ASSERT_TRUE(img.AddPrimary(0, 0x83, 63, 1000));
  ASSERT_TRUE(img.AddPrimary(1, 0x83, 2000, 1000));
  ASSERT_TRUE(img.AddPrimary(2, 0x83, 4000, 1000));
  auto disk = Open();
  CPartition& area = At(disk->primary, 5000);
  CreateRequest request = Whole();
  request.tableEntry = 2;
  ExpectRefused(disk, area, request, "Der Eintrag 2 der Partitionstabelle ist nicht frei.");
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(area), Whole(), prompt));
  EXPECT_EQ(area.slot, 3);

  // Without the boot engine nothing can take a fifth primary partition.
  prompt.shown.clear();
  EXPECT_FALSE(CreateInFreeArea(disk.copy(), disk.Ref(At(disk->primary, 1063)), Whole(), prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, text::kTableFull);
  EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Information);
  // The operation itself refuses the same, whoever calls it.
  ExpectRefused(disk, At(disk->primary, 1063), Whole(), text::kTableFull);
  // With the engine the menu can still take it, and entry 1 (the boot slot) counts as taken.
  disk->engineArea[0] = 0xE9;
  disk->engineArea[1] = 0x69;
  EXPECT_TRUE(CanCreatePrimary(*disk, prompt));
  EXPECT_TRUE(FreeTableEntries(*disk).empty());
  ExpectRefused(disk, At(disk->primary, 1063), Whole(), text::kNoFreeTableEntry);
}

// The boundary of the overlap rule: one shared sector, at either end of the new partition.
TEST_F(CreateRefusalTest, ACreationSharingExactlyOneSectorWithAPartitionIsRefused) {
  auto disk = DiskWithGapAt100000();
  CPartition& area = At(disk->primary, 100000);
  CPartition& before = At(disk->primary, 63);
  CPartition& after = At(disk->primary, 200000);
  before.length += 1;  // now ends on the free area's first sector
  ExpectRefused(disk, area, Whole(), StrFormat(text::kSpaceInUse, 100000u, 199999u, 63u));
  before.length -= 1;
  after.start -= 1;  // now begins on the free area's last sector
  after.length += 1;
  ExpectRefused(disk, area, Whole(), StrFormat(text::kSpaceInUse, 100000u, 199999u, 199999u));
  after.start += 1;
  after.length -= 1;
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(area), Whole(), prompt)) << LastText();
  EXPECT_EQ(area.start, 100000u);
  EXPECT_EQ(area.End(), 200000u);
}

// The reader follows 27 extended boot records; a 28th would cost every logical drive at the
// next start, so neither the last free area nor any other one takes another drive.
TEST_F(CreateRefusalTest, TheChainOfLogicalDrivesTakesNoMoreRecordsThanTheReaderFollows) {
  auto& img = MakeImage(20, 255);
  ASSERT_TRUE(img.AddExtended(0, 0x05, 10000, 100000, test::ChainOfDrives(10000, 27, 1000, 900)));
  auto disk = Open();
  ASSERT_EQ(disk->logical.Used().size(), 27u);
  const std::string full = StrFormat(text::kChainFull, kMaxChainRecords);
  ExpectRefused(disk, At(disk->logical, 36963), Whole(0x83), full);
  ExpectRefused(disk, At(disk->logical, 10963), Whole(0x83), full);  // a gap between two drives
}

TEST_F(CreatePartitionTest, ADriveAtTheExtendedStartSavesTheLeadRecordAndFitsTheChain) {
  // 26 drives behind a free area at the extended partition's start: the chain has a lead
  // record there, 27 in all. A drive in the trailing free area would make 28; one at the start
  // takes the lead record's place.
  auto& img = MakeImage(20, 255);
  ASSERT_TRUE(img.AddExtended(0, 0x05, 10000, 100000, test::ChainOfDrives(11000, 26, 1000, 900)));
  auto disk = Open();
  EXPECT_EQ(CreateRefusal(*disk, At(disk->logical, 36963), true), StrFormat(text::kChainFull, kMaxChainRecords));
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(At(disk->logical, 10000)), Whole(0x83), prompt)) << LastText();
  auto reread = SaveAndReopen(*disk);
  EXPECT_EQ(reread->logical.Used().size(), 27u);
  EXPECT_FALSE(reread->logicalChainBroken);
  EXPECT_EQ(reread->logical.Used()[0]->start, 10000u);
}

TEST_F(CreateRefusalTest, ATableEntryIsOnlyForATablePartition) {
  auto& img = MakeImage(20, 255);
  ASSERT_TRUE(img.AddExtended(0, 0x05, 63, 99937, {{63, 126, 5000}}));
  auto disk = Open();
  disk->engineArea[0] = 0xE9;
  disk->engineArea[1] = 0x69;
  CreateRequest request = Whole();
  request.tableEntry = 3;
  request.toMenu = true;
  ExpectRefused(disk, At(disk->primary, 100000), request, text::kTableEntryOnlyForTable);
  request.toMenu = false;
  ExpectRefused(disk, At(disk->logical, 5126), request, text::kTableEntryOnlyForTable);
}

// --- extended partitions and logical drives

TEST_F(CreatePartitionTest, NewExtendedPartitionOwnsTheLogicalLevelAndTakesDrives) {
  auto disk = DiskWithGapAt100000();
  CPartition& ext = At(disk->primary, 100000);
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(ext), Whole(0x0F), prompt));
  EXPECT_TRUE(ext.holdsLogicalDrives);
  EXPECT_TRUE(ext.destructive);
  EXPECT_EQ(disk->FindExtended(), &ext);
  EXPECT_EQ(Objects(disk->logical), (std::vector<Obj>{{Free, 100000, 100000}}));

  CPartition& first = At(disk->logical, 100000);
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(first), Partial(5, CreateUnit::MByte, CreateAlignment::Track, 0x83),
                              prompt));
  // A logical drive keeps its start (its record); 10 240 sectors are rounded up to the track end.
  EXPECT_EQ(Objects(disk->logical), (std::vector<Obj>{{NewTable, 100000, 10250}, {Free, 110250, 89750}}));
  EXPECT_EQ(first.dataOffset, 63u);
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(At(disk->logical, 110250)), Whole(0x07), prompt));
  EXPECT_EQ(At(disk->logical, 110250).slot, 1);

  auto reread = SaveAndReopen(*disk);
  ASSERT_EQ(reread->logical.Used().size(), 2u);
  const CPartition& drive = *reread->logical.Used()[0];
  EXPECT_EQ(drive.DataStart(), 100063u);
  EXPECT_EQ(drive.DataLength(), 10250u - 63);
  EXPECT_EQ(drive.type, 0x83);
  EXPECT_EQ(reread->logical.Used()[1]->DataStart(), 110250u + 63);
  EXPECT_EQ(reread->logical.Used()[1]->End(), 200000u);
}

}  // namespace
}  // namespace korvex

namespace korvex {
namespace {

// A partition nested inside another one, and an extended partition that overlaps a primary one:
// no free area lies over the outer partition, and creating there is refused; nothing changes.
TEST_F(CreatePartitionTest, NoPartitionIsCreatedOverSectorsThatAnotherOneUses) {
  auto& img = MakeImage(20, 255);
  ASSERT_TRUE(img.AddPrimary(0, 0x07, 63, 150000));            // outer
  ASSERT_TRUE(img.AddPrimary(1, 0x83, 16065, 16065));          // nested inside it
  ASSERT_TRUE(img.AddExtended(2, 0x05, 100000, 100000, {}));   // overlaps the outer one
  auto disk = Open();
  for (const auto& item : disk->primary.items()) {
    if (item.object->IsFree()) {
      EXPECT_GE(item.object->start, 200000u) << "free area inside a partition";
    }
  }
  // The logical level's free area lies partly over the outer primary partition.
  CPartition& logicalFree = At(disk->logical, 100000);
  ASSERT_TRUE(logicalFree.IsFree());
  const auto before = Objects(disk->logical);
  EXPECT_FALSE(CreatePartition(disk.copy(), disk.Ref(logicalFree), Whole(0x83), prompt));
  EXPECT_EQ(LastText(), StrFormat(text::kSpaceInUse, 100000u, 199999u, 63u));
  EXPECT_EQ(Objects(disk->logical), before);
}

// An extended partition reaching past the end of a small image: its free area ends at the
// medium, a new logical drive stays on it, and "Prüfen" names a partition past the end.
TEST_F(CreatePartitionTest, FreeAreasAndNewDrivesEndAtTheMediumAndCheckReportsThePartitionPastIt) {
  auto& img = MakeImage(16, 16);  // 16 128 sectors
  ASSERT_TRUE(img.AddExtended(0, 0x05, 1008, 100000, {}));
  auto disk = Open();
  CPartition& area = At(disk->logical, 1008);
  EXPECT_EQ(area.End(), 16128u);
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(area), Whole(0x83), prompt)) << LastText();
  EXPECT_LE(disk->logical.Used()[0]->End(), 16128u);
  const CPartition& ext = At(disk->primary, 1008);
  EXPECT_EQ(CheckPartition(disk->primary, ext, nullptr, disk->UsableSectors()),
            std::string(text::kBeyondDiskEnd));
}

}  // namespace
}  // namespace korvex
