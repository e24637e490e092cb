// Removing the boot engine in its three ways, checked on the disk after the save: the empty
// master boot record, the backup file, and menu partitions kept in the partition table.
#include <cerrno>
#include <cstring>

#include "backup/BackupFile.h"
#include "bootengine/EngineFixture.h"
#include "bootengine/EngineInstall.h"
#include "bootengine/EngineRemoval.h"
#include "bootengine/MenuConfig.h"
#include "partition/TableReader.h"
#include "partition/TableWriter.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

using test::kExtendedStart;
using test::kFatStart;
using test::kLinuxStart;
using test::kNtfsStart;

class EngineRemovalTest : public test::EngineFixture {
 protected:
  // Installs with the given choices (and a backup when named), saves and loads the disk again.
  test::DiskInCopy Installed(const std::vector<unsigned>& chosen, const std::string& backup = "") {
    auto disk = Open();
    if (backup.empty()) prompt.answers = {PromptAnswer::Yes};
    EXPECT_TRUE(InstallEngine(*disk, chosen, backup, prompt));
    auto reread = SaveAndReopen(*disk);
    TakeTexts();
    EXPECT_TRUE(reread->EngineInstalled());
    return reread;
  }
  bool Lba1StartsTheEngine() const {
    const auto lba1 = Sector(1);
    return lba1[0] == 0xE9 && lba1[1] == 0x69;
  }
  std::vector<std::uint32_t> TableStarts() const {
    std::vector<std::uint32_t> starts;
    for (unsigned i = 0; i < 4; ++i) starts.push_back(TableEntry(0, i).type == 0 ? 0 : TableEntry(0, i).relativeStart);
    return starts;
  }
};

// Three menu entries and one table partition: afterwards the table holds only the table
// partition, and LBA 1 no longer starts the engine.
TEST_F(EngineRemovalTest, EmptyMbrDropsTheMenuPartitionsAndTheEngineSignatureOnTheDisk) {
  auto disk = Installed({0, 1, 3});
  ASSERT_TRUE(RemoveEngine(*disk, {RemovalMode::EmptyMbr, "", {}}, prompt));
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{text::kEngineRemoved});
  EXPECT_FALSE(disk->EngineInstalled());
  EXPECT_TRUE(disk->IsModified());
  EXPECT_EQ(disk->MenuEntryCount(), 0);
  // The free areas are derived anew: the menu partitions' places are free now.
  const CPartition* first = disk->primary.items().front().object.get();
  EXPECT_TRUE(first->IsFree());
  EXPECT_EQ(first->start, kNtfsStart);
  EXPECT_EQ(first->End(), kExtendedStart);
  EXPECT_EQ(CheckTableSlots(*disk), std::nullopt);

  auto reread = SaveAndReopen(*disk);
  EXPECT_FALSE(Lba1StartsTheEngine());
  EXPECT_EQ(TableStarts(), (std::vector<std::uint32_t>{0, 0, kExtendedStart, 0}));
  EXPECT_FALSE(reread->EngineInstalled());
  EXPECT_EQ(reread->logical.Used().size(), 2u);
  // The menu partitions' data is untouched.
  EXPECT_EQ(Sector(kFatStart)[3], 'B');
  EXPECT_EQ(Sector(kLinuxStart)[510], 0x55);
  // The loader stays in sector 0; it takes its emergency path without the signature.
  EXPECT_EQ(Sector(0)[0], disk->sector0[0]);
}

TEST_F(EngineRemovalTest, KeepMovesCheckedEntriesToTheLowestFreeTableSlots) {
  // One table partition (NTFS, active) in entry 0 and three menu entries; two of them are kept.
  ASSERT_TRUE(image->SetEntry(0, 2, {0, 0x83, kExtendedStart, 150 * test::kCylinder}));  // no extended chain
  auto disk = Installed({1, 2, 3});
  const auto choices = RemovalChoices(*disk);
  ASSERT_EQ(choices.size(), 3u);
  ASSERT_TRUE(RemoveEngine(*disk, {RemovalMode::KeepPartitions, "", {0, 2}}, prompt));
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{std::string(text::kEngineRemoved) +
                                                  StrFormat(text::kKeptPartitionActive, kFatStart, 0x0C)});
  EXPECT_EQ(At(*disk, kFatStart)->slot, 1);
  EXPECT_EQ(At(*disk, kLinuxStart)->slot, 2);
  EXPECT_TRUE(At(*disk, kExtendedStart)->IsMenu());  // unchecked: stays in the menu, written nowhere
  // The engine's default entry (FAT, the first of the menu) boots now; nothing else is active.
  EXPECT_TRUE(At(*disk, kFatStart)->IsActiveTable());
  EXPECT_TRUE(At(*disk, kLinuxStart)->IsTable());
  EXPECT_TRUE(At(*disk, kNtfsStart)->IsTable());

  auto reread = SaveAndReopen(*disk);
  EXPECT_FALSE(Lba1StartsTheEngine());
  EXPECT_EQ(TableStarts(), (std::vector<std::uint32_t>{kNtfsStart, kFatStart, kLinuxStart, 0}));
  EXPECT_EQ(reread->MenuEntryCount(), 0);
  EXPECT_EQ((std::vector<int>{TableEntry(0, 0).bootIndicator, TableEntry(0, 1).bootIndicator,
                              TableEntry(0, 2).bootIndicator}),
            (std::vector<int>{0, 0x80, 0}));
}

// Without the engine the disk boots its active partition: the engine's default entry when it is
// kept.
TEST_F(EngineRemovalTest, KeepMakesTheDefaultEntryActive) {
  auto disk = Installed({0, 1, 3});
  ASSERT_TRUE(SetDefaultPartition(disk.copy(), disk.Ref(*At(*disk, kLinuxStart)), prompt));
  disk = SaveAndReopen(*disk);
  ASSERT_TRUE(At(*disk, kLinuxStart)->isDefault);
  // Linux (the default, the third check box) and FAT are kept: Linux is active.
  ASSERT_TRUE(RemoveEngine(*disk, {RemovalMode::KeepPartitions, "", {1, 2}}, prompt));
  EXPECT_TRUE(At(*disk, kLinuxStart)->IsActiveTable());
  EXPECT_TRUE(At(*disk, kFatStart)->IsTable());
  auto reread = SaveAndReopen(*disk);
  EXPECT_TRUE(At(*reread, kLinuxStart)->IsActiveTable());
  EXPECT_EQ(reread->primary.Count([](const CPartition& p) { return p.IsActiveTable(); }), 1u);

}

// The default entry (NTFS) is not kept: the first kept entry (FAT) becomes the only active
// partition, also when a table partition (Linux) was active from before the installation.
TEST_F(EngineRemovalTest, KeepMakesTheFirstKeptEntryActiveWhenTheDefaultGoes) {
  auto disk = Open();
  At(*disk, kLinuxStart)->SetActiveTable();
  prompt.answers = {PromptAnswer::Yes};
  ASSERT_TRUE(InstallEngine(*disk, {0, 1}, "", prompt));
  disk = SaveAndReopen(*disk);
  TakeTexts();
  ASSERT_TRUE(At(*disk, kLinuxStart)->IsActiveTable());
  ASSERT_TRUE(At(*disk, kNtfsStart)->isDefault);
  ASSERT_TRUE(RemoveEngine(*disk, {RemovalMode::KeepPartitions, "", {1}}, prompt));
  EXPECT_EQ(TakeTexts().back(), std::string(text::kEngineRemoved) +
                                    StrFormat(text::kKeptPartitionActive, kFatStart, 0x0C));
  EXPECT_TRUE(At(*disk, kFatStart)->IsActiveTable());
  EXPECT_TRUE(At(*disk, kLinuxStart)->IsTable());
}

TEST_F(EngineRemovalTest, KeepRefusesMoreEntriesThanTheTableHasRoomFor) {
  // Two table partitions (NTFS, extended) and three menu entries, all three checked: 3 > 4 - 2.
  auto disk = Installed({1, 3});
  auto third = std::make_unique<CPartition>(350 * test::kCylinder, 10 * test::kCylinder, 2);
  third->MarkNew(PartitionState::NewMenu);
  third->type = 0x83;
  disk->primary.Insert(std::move(third));
  RebuildFreeAreas(*disk);
  disk->MarkSaved();
  const auto model = test::Model(*disk);
  const auto area = disk->engineArea;
  EXPECT_FALSE(RemoveEngine(*disk, {RemovalMode::KeepPartitions, "", {0, 1, 2}}, prompt));
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{LoadResString(IDS_TOO_MANY_TO_KEEP)});
  EXPECT_EQ(test::Model(*disk), model);
  EXPECT_EQ(disk->engineArea, area);
  EXPECT_FALSE(disk->IsModified());

  EXPECT_FALSE(RemoveEngine(*disk, {RemovalMode::KeepPartitions, "", {5}}, prompt));
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{StrFormat(text::kKeepChoiceInvalid, 6u)});
  EXPECT_TRUE(disk->EngineInstalled());

  // Two of them fit; the new menu partition becomes a new table partition.
  ASSERT_TRUE(RemoveEngine(*disk, {RemovalMode::KeepPartitions, "", {1, 2}}, prompt));
  const CPartition* kept = At(*disk, 350 * test::kCylinder);
  EXPECT_TRUE(kept->IsNewTable());
  EXPECT_TRUE(kept->isNew);
  EXPECT_EQ(CheckTableSlots(*disk), std::nullopt);
}

TEST_F(EngineRemovalTest, FromBackupRestoresTheOldTablesOnTheDisk) {
  const std::string backup = dir.File("MBR.save");
  const auto before = test::Model(*Open());
  const auto oldSector0 = Sector(0);
  const auto oldLba1 = Sector(1);
  auto disk = Installed({0, 3}, backup);
  ASSERT_TRUE(RemoveEngine(*disk, {RemovalMode::FromBackup, backup, {}}, prompt));
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{text::kEngineRemoved});
  EXPECT_EQ(test::Model(*disk), before);
  EXPECT_TRUE(disk->IsModified());

  auto reread = SaveAndReopen(*disk);
  // Sector 0 and LBA 1 are the old ones again, so the next load finds no engine.
  EXPECT_EQ(Sector(0), oldSector0);
  EXPECT_EQ(Sector(1), oldLba1);
  EXPECT_FALSE(reread->EngineInstalled());
  EXPECT_EQ(test::Model(*reread), before);
}

TEST_F(EngineRemovalTest, FromBackupRefusalsAndADiskWithoutEngineChangeNothing) {
  auto disk = Installed({0});
  const auto model = test::Model(*disk);
  EXPECT_FALSE(RemoveEngine(*disk, {RemovalMode::FromBackup, "", {}}, prompt));
  const std::string missing = dir.File("missing.save");
  EXPECT_FALSE(RemoveEngine(*disk, {RemovalMode::FromBackup, missing, {}}, prompt));
  // The message names the file and the system's reason after the program's text.
  EXPECT_EQ(TakeTexts(), (std::vector<std::string>{
                             LoadResString(IDS_NO_BACKUP_FILE),
                             LoadResString(IDS_BACKUP_CANNOT_OPEN) +
                                 StrFormat(text::kPathAndReason, missing.c_str(), std::strerror(ENOENT))}));
  EXPECT_TRUE(disk->EngineInstalled());
  EXPECT_EQ(test::Model(*disk), model);
  EXPECT_FALSE(disk->IsModified());

  ASSERT_TRUE(RemoveEngine(*disk, {RemovalMode::EmptyMbr, "", {}}, prompt));
  auto removed = SaveAndReopen(*disk);
  TakeTexts();
  EXPECT_FALSE(RemoveEngine(*removed, {RemovalMode::EmptyMbr, "", {}}, prompt));
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{text::kNoEngineInstalled});
  EXPECT_FALSE(removed->IsModified());
}

}  // namespace
}  // namespace korvex
