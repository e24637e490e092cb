// Reading partition tables into the working copy: primary gaps, extended chains, the boot
// menu, and chains that are broken in every way a disk can break them.
#include <gtest/gtest.h>

#include <cstring>

#include "EngineLayout.h"
#include "bootengine/LoaderRecognition.h"
#include "bootengine/Templates.h"
#include "demo/ImageBuilder.h"
#include "partition/DiskSaver.h"
#include "partition/PartitionEditing.h"
#include "partition/PartitionEntry.h"
#include "partition/TableReader.h"
#include "platform/StringTable.h"
#include "support/DiskInCopy.h"
#include "support/FaultyTransport.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

using test::OpenDisk;
using test::ScriptedPrompt;

struct Obj {
  PartitionState state;
  std::uint32_t start;
  std::uint32_t length;
  bool operator==(const Obj&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Obj& o) {
  return os << StateName(o.state) << "(" << o.start << "+" << o.length << ")";
}

std::vector<Obj> Objects(const PartitionLevel& level) {
  std::vector<Obj> objects;
  for (const auto& item : level.items()) objects.push_back({item.object->state, item.object->start, item.object->length});
  return objects;
}

class TableReaderTest : public ::testing::Test {
 protected:
  // 1000 cylinders of 16 heads and 63 sectors: 1 008 000 sectors.
  ImageBuilder MakeImage(std::uint32_t cylinders = 1000, std::uint32_t heads = 16, std::uint32_t extra = 0) {
    std::string error;
    auto image = ImageBuilder::Create(dir.File("disk.img"), cylinders, heads, 63, error, extra);
    EXPECT_TRUE(image) << error;
    return *image;
  }

  test::TempDir dir;
  ScriptedPrompt prompt;
};

TEST_F(TableReaderTest, SectorZeroWithoutSignatureIsOneFreeAreaFromSectorZero) {
  auto image = MakeImage();
  image.SetEntry(0, 0, EntrySpec{0, 0x06, 63, 1000});  // an entry, but no 55AA
  auto disk = OpenDisk(image, prompt);
  EXPECT_EQ(Objects(disk->primary), (std::vector<Obj>{{PartitionState::Free, 0, 1008000}}));
  EXPECT_TRUE(disk->logical.empty());
}

TEST_F(TableReaderTest, PrimaryGapsStartAtHeadOneAndEndAtTheLastSector) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddPrimary(0, 0x06, 1008, 10000));
  ASSERT_TRUE(image.AddPrimary(2, 0x83, 20000, 5000, true));
  auto disk = OpenDisk(image, prompt);
  EXPECT_EQ(Objects(disk->primary), (std::vector<Obj>{{PartitionState::Free, 63, 945},
                                                      {PartitionState::Table, 1008, 10000},
                                                      {PartitionState::Free, 11008, 8992},
                                                      {PartitionState::ActiveTable, 20000, 5000},
                                                      {PartitionState::Free, 25000, 1008000 - 25000}}));
  EXPECT_EQ(disk->primary.items()[1].object->slot, 0);
  EXPECT_EQ(disk->primary.items()[3].object->slot, 2);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(TableReaderTest, ATrailingGapOfOneSectorIsNotShown) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddPrimary(0, 0x06, 63, 1008000 - 63 - 1));
  auto disk = OpenDisk(image, prompt);
  EXPECT_EQ(Objects(disk->primary), (std::vector<Obj>{{PartitionState::Table, 63, 1008000 - 64}}));
}

TEST_F(TableReaderTest, LogicalDrivesOneTrackAfterTheirRecordsWithGapsBetween) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddExtended(0, 0x05, 100000, 10000,
                                {{100000, 100063, 1000, 0x06}, {102063, 102126, 1000, 0x83}}));
  auto disk = OpenDisk(image, prompt);
  // Drives start at their records and are one track plus their data long.
  EXPECT_EQ(Objects(disk->logical), (std::vector<Obj>{{PartitionState::Table, 100000, 1063},
                                                      {PartitionState::Free, 101063, 1000},
                                                      {PartitionState::Table, 102063, 1063},
                                                      {PartitionState::Free, 103126, 110000 - 103126}}));
  const auto& first = *disk->logical.items()[0].object;
  EXPECT_EQ(first.type, 0x06);
  EXPECT_EQ(first.slot, 0);
  EXPECT_EQ(disk->logical.items()[2].object->slot, 1);
  EXPECT_EQ(disk->FindExtended()->start, 100000u);
}

TEST_F(TableReaderTest, TheLastLogicalGapEndsWithTheExtendedPartitionAndIsNeverOneSector) {
  // The extended partition covers [100 000, 110 000); the drive's data ends two sectors before.
  auto image = MakeImage();
  ASSERT_TRUE(image.AddExtended(0, 0x05, 100000, 10000, {{100000, 100063, 9935, 0x06}}));
  auto disk = OpenDisk(image, prompt);
  EXPECT_EQ(Objects(disk->logical), (std::vector<Obj>{{PartitionState::Table, 100000, 9998},
                                                      {PartitionState::Free, 109998, 2}}));
  // One sector before the end is left over, too small to show as free: not when the disk is
  // read, and not when the free areas are derived anew after an edit.
  auto oneShort = MakeImage();
  ASSERT_TRUE(oneShort.AddExtended(0, 0x05, 100000, 10000, {{100000, 100063, 9936, 0x06}}));
  disk = OpenDisk(oneShort, prompt);
  const std::vector<Obj> alone = {{PartitionState::Table, 100000, 9999}};
  EXPECT_EQ(Objects(disk->logical), alone);
  RebuildFreeAreas(*disk);
  EXPECT_EQ(Objects(disk->logical), alone);
  // The extended partition itself ends where it says; the primary free area behind it begins there.
  EXPECT_EQ(disk->FindExtended()->End(), 110000u);
  EXPECT_EQ(disk->primary.items().back().object->start, 110000u);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(TableReaderTest, ALogicalDriveNestedInAnotherLeavesTheFreeRestWhereItIs) {
  // The second record lies inside the first drive; the free rest starts where the first ends.
  auto image = MakeImage();
  ASSERT_TRUE(image.AddExtended(0, 0x05, 10000, 10000, {{10000, 10063, 5000, 0x06}, {11000, 11063, 500, 0x83}}));
  auto disk = OpenDisk(image, prompt);
  EXPECT_EQ(Objects(disk->logical), (std::vector<Obj>{{PartitionState::Table, 10000, 5063},
                                                      {PartitionState::Table, 11000, 563},
                                                      {PartitionState::Free, 15063, 4937}}));
}

TEST_F(TableReaderTest, LogicalDriveKeepsItsOwnDistanceFromRecordToData) {
  // Current partitioning tools put the data one MiB after the record.
  auto image = MakeImage();
  ASSERT_TRUE(image.AddExtended(0, 0x0F, 2048, 200000, {{2048, 4096, 50000, 0x83}, {60000, 62048, 3000, 0x82}}));
  auto disk = OpenDisk(image, prompt);
  const auto drives = disk->logical.Used();
  ASSERT_EQ(drives.size(), 2u);
  EXPECT_EQ(drives[0]->start, 2048u);
  EXPECT_EQ(drives[0]->DataStart(), 4096u);
  EXPECT_EQ(drives[0]->DataLength(), 50000u);
  EXPECT_EQ(drives[1]->DataStart(), 62048u);
  EXPECT_EQ(drives[1]->length, 2048u + 3000u);
  // The free area between them begins where the first drive's data ends, not a track after its record.
  EXPECT_EQ(disk->logical.items()[1].object->start, 4096u + 50000u);
}

TEST_F(TableReaderTest, EmptyFirstRecordGivesOneFreeAreaSpanningTheExtendedPartition) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddExtended(1, 0x05, 5000, 8000, {}));
  auto disk = OpenDisk(image, prompt);
  EXPECT_EQ(Objects(disk->logical), (std::vector<Obj>{{PartitionState::Free, 5000, 8000}}));
  EXPECT_EQ(disk->logical.items()[0].object->slot, kSlotNone);
}

TEST_F(TableReaderTest, EmptyDataEntryWithAUsedLinkIsFollowed) {
  auto image = MakeImage();
  // The record at the extended start describes no drive but links to the one at 15000.
  ASSERT_TRUE(image.AddExtended(0, 0x05, 10000, 20000, {{15000, 15063, 2000, 0x07}}));
  ASSERT_EQ((*image.ReadSector(10000))[0x1BE + 4], 0);
  auto disk = OpenDisk(image, prompt);
  EXPECT_EQ(Objects(disk->logical), (std::vector<Obj>{{PartitionState::Free, 10000, 5000},
                                                      {PartitionState::Table, 15000, 2063},
                                                      {PartitionState::Free, 17063, 30000 - 17063}}));
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(TableReaderTest, OnlyTheFirstExtendedPartitionInTableOrderHasItsChainRead) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddExtended(2, 0x05, 10000, 5000, {{10000, 10063, 1000, 0x06}}));
  ASSERT_TRUE(image.AddExtended(3, 0x0F, 1008, 5000, {{1008, 1071, 1000, 0x83}}));
  auto disk = OpenDisk(image, prompt);
  ASSERT_EQ(disk->logical.Used().size(), 1u);
  EXPECT_EQ(disk->logical.Used()[0]->type, 0x06);
  // The level's owner is found although another extended partition comes first by start.
  EXPECT_EQ(disk->FindExtended()->start, 10000u);
}

TEST_F(TableReaderTest, ProtectiveGptEntryMarksTheDisk) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddPrimary(0, kTypeGptProtective, 1, 1008000 - 1));
  auto disk = OpenDisk(image, prompt);
  EXPECT_TRUE(disk->gpt);
  ASSERT_EQ(disk->primary.Used().size(), 1u);
  EXPECT_EQ(disk->primary.Used()[0]->type, kTypeGptProtective);
}

// --- broken chains: each ends with a definite model, the message where one is due, no hang.

class BrokenChainTest : public TableReaderTest {
 protected:
  void ExpectWholeExtendedFree(const CHardDisk& disk, std::uint32_t start, std::uint32_t length) {
    EXPECT_EQ(Objects(disk.logical), (std::vector<Obj>{{PartitionState::Free, start, length}}));
  }
  void ExpectChainMessage() {
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, LoadResString(IDS_LOGICAL_CHAIN_BROKEN));
    EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Stop);
  }
};

TEST_F(BrokenChainTest, LoopBackToAnEarlierRecordReportsAndFreesTheExtendedPartition) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddExtended(0, 0x05, 10000, 20000, {{10000, 10063, 1000, 0x06}, {12000, 12063, 1000, 0x06}}));
  ASSERT_TRUE(image.SetEntry(12000, 1, EntrySpec{0, 0x05, 0, 1063}, 10000));  // links back to the first
  auto disk = OpenDisk(image, prompt);
  ExpectChainMessage();
  ExpectWholeExtendedFree(*disk, 10000, 20000);
}

TEST_F(BrokenChainTest, RecordLinkingToItselfIsALoop) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddExtended(0, 0x05, 10000, 20000, {{10000, 10063, 1000, 0x06}}));
  ASSERT_TRUE(image.SetEntry(10000, 1, EntrySpec{0, 0x05, 0, 1063}, 10000));
  auto disk = OpenDisk(image, prompt);
  ExpectChainMessage();
  ExpectWholeExtendedFree(*disk, 10000, 20000);
}

TEST_F(BrokenChainTest, LinkPastTheEndOfTheDiskEndsTheWalkWithTheDrivesReadSoFar) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddExtended(0, 0x05, 1000000, 8000, {{1000000, 1000063, 1000, 0x06}}));
  ASSERT_TRUE(image.SetEntry(1000000, 1, EntrySpec{0, 0x05, 4000000, 1063}, 1000000));
  auto disk = OpenDisk(image, prompt);
  EXPECT_TRUE(prompt.shown.empty());
  ASSERT_EQ(disk->logical.Used().size(), 1u);
  EXPECT_EQ(disk->logical.Used()[0]->start, 1000000u);
}

TEST_F(BrokenChainTest, LinkOutsideTheExtendedPartitionIsNotFollowed) {
  auto image = MakeImage();
  // A valid-looking record lies beyond the extended partition's end; it must not be read.
  ASSERT_TRUE(image.AddExtended(0, 0x05, 10000, 5000, {{10000, 10063, 1000, 0x06}}));
  ASSERT_TRUE(image.SetEntry(10000, 1, EntrySpec{0, 0x05, 6000, 1063}, 10000));
  ASSERT_TRUE(image.SetEntry(16000, 0, EntrySpec{0, 0x83, 63, 1000}, 16000));
  ASSERT_TRUE(image.SetSignature(16000));
  auto disk = OpenDisk(image, prompt);
  ASSERT_EQ(disk->logical.Used().size(), 1u);
  EXPECT_EQ(disk->logical.Used()[0]->type, 0x06);
}

std::vector<LogicalSpec> ManyDrives(std::uint32_t extStart, std::uint32_t count) {
  return test::ChainOfDrives(extStart, count, 1000, 900);
}

TEST_F(BrokenChainTest, ThirtyRecordsReportOnceAndFreeTheExtendedPartition) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddExtended(0, 0x05, 10000, 40000, ManyDrives(10000, 30)));
  auto disk = OpenDisk(image, prompt);
  ExpectChainMessage();
  ExpectWholeExtendedFree(*disk, 10000, 40000);
}

TEST_F(BrokenChainTest, TwentySevenRecordsWhoseLastEndsTheChainAreAllRead) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddExtended(0, 0x05, 10000, 40000, ManyDrives(10000, 27)));
  auto disk = OpenDisk(image, prompt);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(disk->logical.Used().size(), 27u);
  EXPECT_FALSE(disk->logicalChainBroken);
}

// Whatever breaks the chain marks the disk, which keeps it from being saved (the drives the
// reader dropped are still on the disk); reading the disk anew clears the mark with the chain.
TEST_F(BrokenChainTest, ABrokenChainMarksTheDisk) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddExtended(0, 0x05, 10000, 40000, ManyDrives(10000, 28)));
  EXPECT_TRUE(OpenDisk(image, prompt)->logicalChainBroken);
  ASSERT_TRUE(image.SetEntry(10000, 1, EntrySpec{0, 0x05, 0, 1063}, 10000));  // links to itself
  EXPECT_TRUE(OpenDisk(image, prompt)->logicalChainBroken);
  ASSERT_TRUE(image.AddExtended(0, 0x05, 10000, 40000, ManyDrives(10000, 2)));
  auto disk = OpenDisk(image, prompt);
  EXPECT_FALSE(disk->logicalChainBroken);
  EXPECT_EQ(disk->logical.Used().size(), 2u);
}
TEST_F(BrokenChainTest, TwentyEightRecordsAreOneMoreThanTheChainMayHold) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddExtended(0, 0x05, 10000, 40000, ManyDrives(10000, 28)));
  auto disk = OpenDisk(image, prompt);
  ExpectChainMessage();
  ExpectWholeExtendedFree(*disk, 10000, 40000);
}

// An unreadable record ends the walk, but it is not taken for an empty one: the failure is
// reported with the sector and its error, and the disk is never saved from that working copy
// (an unrelated edit would otherwise drop the drives behind the record).
TEST_F(BrokenChainTest, UnreadableRecordIsReportedAndTheDiskIsNotSaved) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddExtended(0, 0x05, 10000, 9000,
                                {{10000, 10063, 400, 0x06}, {10500, 10563, 400, 0x07}, {11000, 11063, 400, 0x83}}));
  const auto record = *image.ReadSector(10000);
  std::string error;
  auto transport = std::make_unique<test::FaultyTransport>(OpenFileDevice(*ParseDeviceSpec(image.Spec(), error)));
  transport->unreadableSectors = {10500};
  test::DiskInCopy disk(std::make_unique<CHardDisk>(0, std::move(transport), OsVersion{}, HoldsOurLoader, prompt), prompt);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_NE(prompt.shown[0].text.find("Lesefehler auf PHYSICALDRIVE0"), std::string::npos);
  EXPECT_NE(prompt.shown[0].text.find("bei Sektor 10500: Input/output error"), std::string::npos) << prompt.shown[0].text;
  EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Stop);
  ASSERT_EQ(disk->logical.Used().size(), 1u);
  EXPECT_EQ(disk->logical.Used()[0]->type, 0x06);

  const auto sector0 = *image.ReadSector(0);
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(*disk->primary.items()[0].object), CreateRequest{}, prompt));
  EXPECT_FALSE(WriteDisk(*disk, prompt));
  EXPECT_NE(prompt.shown.back().text.find("Sektor 10500"), std::string::npos);
  EXPECT_EQ(*image.ReadSector(10000), record);
  EXPECT_EQ(*image.ReadSector(0), sector0);  // the new partition is not in the table
}

// A failed read of sector 0 does not show a blank disk that a save would then write over.
TEST_F(BrokenChainTest, UnreadableSectorZeroShowsNoObjectsAndIsNotSaved) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddPrimary(0, 0x07, 63, 8000));
  const auto sector0 = *image.ReadSector(0);
  std::string error;
  auto transport = std::make_unique<test::FaultyTransport>(OpenFileDevice(*ParseDeviceSpec(image.Spec(), error)));
  transport->unreadableSectors = {0};
  CHardDisk disk(0, std::move(transport), OsVersion{}, HoldsOurLoader, prompt);
  ASSERT_FALSE(prompt.shown.empty());
  EXPECT_NE(prompt.shown[0].text.find("bei Sektor 0:"), std::string::npos);
  EXPECT_TRUE(disk.primary.empty());
  disk.MarkModified();
  EXPECT_FALSE(WriteDisk(disk, prompt));
  EXPECT_EQ(*image.ReadSector(0), sector0);
}

// An extended partition that starts past the end of the image: nothing is read there, and no
// free area is shown where there is no medium.
TEST_F(BrokenChainTest, AnExtendedPartitionPastTheMediumHasNoFreeArea) {
  auto image = MakeImage();
  ASSERT_TRUE(image.AddPrimary(0, 0x05, 1200000, 8000));  // starts beyond the end of the image
  auto disk = OpenDisk(image, prompt);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_TRUE(disk->logical.empty());
  ASSERT_NE(disk->FindExtended(), nullptr);
}

// --- the boot menu of a disk with the engine

class MenuReadBackTest : public TableReaderTest {
 protected:
  void SetUp() override {
    image_ = MakeImage();
    // Sector 0 holds the engine's loader (without it the engine does not count as installed),
    // with the default-entry and direct-boot bytes an installation leaves.
    std::copy(kLoaderTemplate.begin(), kLoaderTemplate.end(), sector0_.begin());
    sector0_[layout::LOADER_DEFAULT_ENTRY] = 0;
    sector0_[layout::LOADER_DIRECT_BOOT] = 0;
    area_.fill(0);
    area_[0] = 0xE9;
    area_[1] = 0x69;
    area_[2] = 0x03;
    MbrCopy()[510] = 0x55;  // a valid copy of sector 0: the engine's tables are read from it
    MbrCopy()[511] = 0xAA;
  }
  std::uint8_t* MbrCopy() { return area_.data() + layout::AREA_MBR_COPY; }
  void SetMenuEntry(unsigned i, std::uint8_t drive, std::uint8_t type, std::uint32_t start, std::uint32_t length) {
    EncodeEntry(PartitionEntry{drive, 0, 0, 0, type, 0, 0, 0, start, length},
                std::span<std::uint8_t>(MbrCopy() + layout::LOADER_MENU_TABLE + i * 16, 16));
  }
  void SetTitle(unsigned i, const char* title) {
    std::memcpy(area_.data() + layout::AREA_SCREEN_LINES + (5 + i) * 48 + 3, title, std::strlen(title) + 1);
  }
  test::DiskInCopy Open() {
    EXPECT_TRUE(image_->WriteSector(0, sector0_));
    for (unsigned s = 0; s < 7; ++s) {
      EXPECT_TRUE(image_->WriteSector(1 + s, std::span<const std::uint8_t>(area_.data() + s * 512, 512)));
    }
    return OpenDisk(*image_, prompt);
  }

  std::optional<ImageBuilder> image_;
  SectorImage sector0_{};
  EngineAreaImage area_{};
};

TEST_F(MenuReadBackTest, MenuStopsAtTheFirstEntryBelow80hAndCarriesTitlesDefaultAndPasswords) {
  SetMenuEntry(0, 0x80, 0x07, 63, 1000);
  SetMenuEntry(1, 0x80, 0x0B, 2000, 1000);
  SetMenuEntry(2, 0x80, 0x83, 4000, 1000);
  SetMenuEntry(3, 0x00, 0x83, 6000, 1000);  // ends the menu
  SetMenuEntry(4, 0x80, 0x83, 8000, 1000);  // looks valid but is never read
  SetTitle(0, "Windows");
  SetTitle(1, "Daten   ");
  SetTitle(2, "Linux");
  MbrCopy()[layout::LOADER_DEFAULT_ENTRY] = 1;
  sector0_[layout::LOADER_DEFAULT_ENTRY] = 1;
  area_[layout::AREA_PASSWORDS + 2 * 16] = 0x42;
  // The boot slot of the engine's copy is never read, whatever it holds; the sector-0 table
  // of a disk with the engine is not the one that counts.
  WriteTableEntry(std::span<std::uint8_t>(MbrCopy(), 512), 1, PartitionEntry{0x80, 0, 0, 0, 0x07, 0, 0, 0, 63, 1000});
  WriteTableEntry(std::span<std::uint8_t>(MbrCopy(), 512), 3, PartitionEntry{0, 0, 0, 0, 0x06, 0, 0, 0, 20000, 500});
  WriteTableEntry(sector0_, 2, PartitionEntry{0, 0, 0, 0, 0x06, 0, 0, 0, 30000, 500});
  auto disk = Open();

  const auto menu = disk->MenuEntriesBySlot();
  ASSERT_EQ(menu.size(), 3u);
  EXPECT_EQ(menu[0].GetTitle(), "Windows");
  EXPECT_EQ(menu[1].GetTitle(), "Daten");
  EXPECT_EQ(menu[2].start, 4000u);
  EXPECT_FALSE(menu[0].isDefault);
  EXPECT_TRUE(menu[1].isDefault);
  EXPECT_TRUE(menu[2].passwordSet);
  EXPECT_FALSE(menu[1].passwordSet);
  const auto used = disk->primary.Used();
  ASSERT_EQ(used.size(), 4u);  // three menu entries and the table partition of entry 3
  EXPECT_EQ(used[3]->start, 20000u);
  EXPECT_EQ(used[3]->slot, 3);
  EXPECT_TRUE(used[3]->IsTable());
}

TEST_F(MenuReadBackTest, EngineWithoutMenuEntriesHasNoMenuObjects) {
  auto disk = Open();
  EXPECT_TRUE(disk->EngineInstalled());
  EXPECT_EQ(disk->MenuEntryCount(), 0);
}

}  // namespace
}  // namespace korvex
