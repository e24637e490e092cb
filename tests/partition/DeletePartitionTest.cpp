// Deleting partitions and logical drives, passing on the default mark, and the active mark:
// the working copy afterwards and what the disk holds after saving.
#include <gtest/gtest.h>

#include "EngineLayout.h"
#include "partition/PartitionEditing.h"
#include "partition/PartitionEntry.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"
#include "support/EditingFixture.h"

namespace korvex {
namespace {

using test::Obj;
using test::Objects;
constexpr auto Free = PartitionState::Free;
constexpr auto Table = PartitionState::Table;

// 200 cylinders of 16 heads and 63 sectors: 201 600 sectors.
constexpr std::uint32_t kSectors = 200 * 16 * 63;

class DeletePartitionTest : public test::EditingTest {
 protected:
  // A primary partition and an extended partition [20 000, 120 000) with three drives.
  test::DiskInCopy DiskWithThreeDrives() {
    auto& img = MakeImage(200, 16);
    EXPECT_TRUE(img.AddPrimary(0, 0x06, 63, 10000));
    EXPECT_TRUE(img.AddExtended(1, 0x05, 20000, 100000,
                                {{20000, 20063, 9937}, {30000, 30063, 9937}, {40000, 40063, 9937}}));
    return Open();
  }
};

TEST_F(DeletePartitionTest, DeletingTheExtendedPartitionRemovesEveryLogicalDrive) {
  auto disk = DiskWithThreeDrives();
  prompt.answers = {PromptAnswer::Yes};
  ASSERT_TRUE(DeletePartition(disk.copy(), disk.Ref(At(disk->primary, 20000)), prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, text::kDeleteExtended);
  EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Exclamation);
  EXPECT_TRUE(disk->logical.empty());
  EXPECT_EQ(Objects(disk->primary), (std::vector<Obj>{{Table, 63, 10000}, {Free, 10063, kSectors - 10063}}));
  EXPECT_TRUE(disk->IsModified());

  auto reread = SaveAndReopen(*disk);
  EXPECT_EQ(reread->FindExtended(), nullptr);
  EXPECT_TRUE(reread->logical.empty());
  EXPECT_EQ(ReadTableEntry(*image->ReadSector(0), 1).type, 0);
}

TEST_F(DeletePartitionTest, AnythingButYesChangesNothing) {
  auto disk = DiskWithThreeDrives();
  const auto primary = Objects(disk->primary);
  const auto logical = Objects(disk->logical);
  for (const PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Cancel}) {
    prompt.answers = {answer};
    EXPECT_FALSE(DeletePartition(disk.copy(), disk.Ref(At(disk->primary, 20000)), prompt));
    EXPECT_FALSE(DeletePartition(disk.copy(), disk.Ref(At(disk->logical, 30000)), prompt));
  }
  EXPECT_EQ(prompt.shown.back().text, text::kDeletePartition);
  EXPECT_EQ(Objects(disk->primary), primary);
  EXPECT_EQ(Objects(disk->logical), logical);
  EXPECT_FALSE(disk->IsModified());
}

TEST_F(DeletePartitionTest, DeletedLogicalDriveBecomesFreeSpaceMergedWithItsNeighbours) {
  auto disk = DiskWithThreeDrives();
  // The drives end at 30 000, 40 000 and 50 000; the gaps around the middle drive are empty,
  // so its space and the trailing gap after the third drive stay apart.
  prompt.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
  ASSERT_TRUE(DeletePartition(disk.copy(), disk.Ref(At(disk->logical, 30000)), prompt));
  EXPECT_EQ(Objects(disk->logical), (std::vector<Obj>{{Table, 20000, 10000},
                                                      {Free, 30000, 10000},
                                                      {Table, 40000, 10000},
                                                      {Free, 50000, 70000}}));
  EXPECT_EQ(At(disk->logical, 40000).slot, 1);  // renumbered chain position
  ASSERT_TRUE(DeletePartition(disk.copy(), disk.Ref(At(disk->logical, 40000)), prompt));
  EXPECT_EQ(Objects(disk->logical), (std::vector<Obj>{{Table, 20000, 10000}, {Free, 30000, 90000}}));

  auto reread = SaveAndReopen(*disk);
  EXPECT_EQ(Objects(reread->logical), Objects(disk->logical));
  EXPECT_EQ(reread->logical.Used()[0]->DataStart(), 20063u);
}

TEST_F(DeletePartitionTest, DeletingTheFirstLogicalDriveKeepsTheOthersInPlace) {
  auto disk = DiskWithThreeDrives();
  ASSERT_TRUE(image->AddBootSector(30063, "drive 2"));
  prompt.answers = {PromptAnswer::Yes};
  ASSERT_TRUE(DeletePartition(disk.copy(), disk.Ref(At(disk->logical, 20000)), prompt));
  EXPECT_EQ(Objects(disk->logical).front(), (Obj{Free, 20000, 10000}));

  auto reread = SaveAndReopen(*disk);
  ASSERT_EQ(reread->logical.Used().size(), 2u);
  EXPECT_EQ(reread->logical.Used()[0]->DataStart(), 30063u);
  EXPECT_EQ(reread->logical.Used()[1]->DataStart(), 40063u);
  const auto data = *image->ReadSector(30063);
  EXPECT_EQ(std::string(data.begin() + 3, data.begin() + 10), "drive 2");  // the data was not touched
}

TEST_F(DeletePartitionTest, ASecondExtendedPartitionKeepsItsDrivesWhenTheFirstIsDeleted) {
  auto& img = MakeImage(200, 16);
  ASSERT_TRUE(img.AddExtended(0, 0x05, 63, 40000, {{63, 126, 9937}}));
  ASSERT_TRUE(img.AddExtended(1, 0x0F, 50000, 50000, {{50000, 50063, 20000}}));
  auto disk = Open();
  ASSERT_EQ(disk->FindExtended()->start, 63u);
  prompt.answers = {PromptAnswer::Yes};
  ASSERT_TRUE(DeletePartition(disk.copy(), disk.Ref(At(disk->primary, 63)), prompt));
  // The other extended partition now owns the logical level, with the drive its chain holds.
  ASSERT_EQ(disk->FindExtended()->start, 50000u);
  ASSERT_EQ(disk->logical.Used().size(), 1u);
  EXPECT_EQ(disk->logical.Used()[0]->DataStart(), 50063u);

  auto reread = SaveAndReopen(*disk);
  ASSERT_EQ(reread->logical.Used().size(), 1u);
  EXPECT_EQ(reread->logical.Used()[0]->DataStart(), 50063u);
  EXPECT_EQ(reread->logical.Used()[0]->DataLength(), 20000u);
}

TEST_F(DeletePartitionTest, AFreeAreaCannotBeDeleted) {
  auto disk = DiskWithThreeDrives();
  EXPECT_FALSE(DeletePartition(disk.copy(), disk.Ref(At(disk->primary, 10063)), prompt));
  EXPECT_EQ(LastText(), text::kFreeAreaNotDeletable);
  EXPECT_FALSE(disk->IsModified());
}

// --- the default mark of the boot menu

class DefaultEntryTest : public DeletePartitionTest {
 protected:
  void SetUp() override {
    auto& img = MakeImage(200, 16);
    ASSERT_TRUE(img.AddPrimary(0, 0x06, 63, 10000));
    ASSERT_TRUE(img.AddPrimary(2, 0x07, 20000, 10000));
    disk = Open();
    disk->engineArea[0] = 0xE9;  // the engine counts as installed
    disk->engineArea[1] = 0x69;
    disk->sector0[layout::LOADER_DEFAULT_ENTRY] = 1;
    first = &At(disk->primary, 63);
    second = &At(disk->primary, 20000);
    first->SetMenu();
    first->slot = 0;
    second->SetMenu();
    second->slot = 1;
    second->isDefault = true;
    prompt.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
  }
  test::DiskInCopy disk;
  CPartition* first = nullptr;
  CPartition* second = nullptr;
};

TEST_F(DefaultEntryTest, TheDefaultMarkPassesToTheFirstRemainingMenuEntry) {
  ASSERT_TRUE(DeletePartition(disk.copy(), disk.Ref(*second), prompt));
  EXPECT_TRUE(first->isDefault);
  EXPECT_EQ(prompt.shown.size(), 1u);  // only the question
}

TEST_F(DefaultEntryTest, DeletingTheLastMenuEntryWarnsThatNothingIsLeftToBoot) {
  first->SetTable();
  ASSERT_TRUE(DeletePartition(disk.copy(), disk.Ref(*second), prompt));
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_EQ(prompt.shown[1].text, LoadResString(IDS_NO_PRIMARY_LEFT));
  EXPECT_EQ(prompt.shown[1].icon, PromptIcon::Exclamation);
  EXPECT_EQ(disk->sector0[layout::LOADER_DEFAULT_ENTRY], 0);
}

// --- the active mark

TEST_F(DeletePartitionTest, ActivateAndDeactivateATablePartition) {
  auto disk = DiskWithThreeDrives();
  CPartition& p = At(disk->primary, 63);
  ASSERT_TRUE(ActivatePartition(disk.copy(), disk.Ref(p), prompt));
  EXPECT_TRUE(p.IsActiveTable());
  auto reread = SaveAndReopen(*disk);
  EXPECT_EQ(ReadTableEntry(*image->ReadSector(0), 0).bootIndicator, 0x80);
  CPartition& again = At(reread->primary, 63);
  ASSERT_TRUE(again.IsActiveTable());
  ASSERT_TRUE(DeactivatePartition(reread.copy(), reread.Ref(again), prompt));
  EXPECT_TRUE(again.IsTable());
  EXPECT_TRUE(reread->IsModified());
  SaveAndReopen(*reread);
  EXPECT_EQ(ReadTableEntry(*image->ReadSector(0), 0).bootIndicator, 0);
}

// One active partition per disk; none of an extended partition; and none at all where the boot
// engine decides what starts. Each refusal is a stop message and changes nothing.
TEST_F(DeletePartitionTest, OneActivePartitionNoExtendedOneAndNoneOnADiskWithTheEngine) {
  auto disk = DiskWithThreeDrives();
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(At(disk->primary, 10063)), CreateRequest{}, prompt));
  CPartition& first = At(disk->primary, 63);
  CPartition& second = At(disk->primary, 10063);
  const auto refused = [&](bool activate, const CPartition& p, const char* text) {
    disk->MarkSaved();
    prompt.shown.clear();
    const ObjectRef ref = disk.Ref(p);
    EXPECT_FALSE(activate ? ActivatePartition(disk.copy(), ref, prompt)
                          : DeactivatePartition(disk.copy(), ref, prompt));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, text);
    EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Stop);
    EXPECT_FALSE(disk->IsModified());
  };
  refused(false, second, text::kNotActive);
  ASSERT_TRUE(ActivatePartition(disk.copy(), disk.Ref(first), prompt));
  refused(true, second, text::kAlreadyActive);
  refused(true, first, text::kAlreadyActive);
  refused(true, At(disk->primary, 20000), text::kExtendedNotActivatable);
  EXPECT_FALSE(second.IsActiveTable());
  disk->engineArea[0] = 0xE9;
  disk->engineArea[1] = 0x69;
  refused(false, first, text::kActivationWithEngine);
  refused(true, second, text::kActivationWithEngine);
  EXPECT_TRUE(first.IsActiveTable());
}

TEST_F(DeletePartitionTest, OnlyPrimaryTablePartitionsCanBeActivated) {
  auto disk = DiskWithThreeDrives();
  EXPECT_FALSE(ActivatePartition(disk.copy(), disk.Ref(At(disk->logical, 20000)), prompt));
  EXPECT_EQ(LastText(), text::kNotATablePartition);
  EXPECT_FALSE(ActivatePartition(disk.copy(), disk.Ref(At(disk->primary, 10063)), prompt));
  EXPECT_FALSE(DeactivatePartition(disk.copy(), disk.Ref(At(disk->primary, 10063)), prompt));
  EXPECT_FALSE(disk->IsModified());
}

}  // namespace
}  // namespace korvex
