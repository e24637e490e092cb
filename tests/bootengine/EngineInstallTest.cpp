// Installing the boot engine: what the working copy and, after the save, the disk hold; what is
// refused before anything changes; the partition on the boot slot; foreign data in track 0.
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "bootengine/EngineFixture.h"
#include "bootengine/EngineInstall.h"
#include "bootengine/Templates.h"
#include "disk/FormatSize.h"
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
using test::kSpt;

constexpr unsigned kNtfs = 0, kFat = 1, kExtended = 2, kLinux = 3;  // install choices

class EngineInstallTest : public test::EngineFixture {};

std::string Title(std::uint32_t sectors, int type) {
  return StrFormat("%s Typ %d", FormatSize(std::uint64_t{sectors} * 512).c_str(), type);
}

TEST_F(EngineInstallTest, ChoicesAreTheFirstFourObjectsAndOnlyPartitionsThatCanBootAreEnabled) {
  auto disk = Open();
  const auto choices = InstallChoices(*disk);
  ASSERT_EQ(choices.size(), 4u);
  EXPECT_EQ(choices[kNtfs].text, Title(50 * test::kCylinder - kSpt, 7));
  EXPECT_TRUE(choices[kNtfs].bootable);
  EXPECT_TRUE(choices[kFat].bootable);
  EXPECT_FALSE(choices[kExtended].bootable);  // type 15
  EXPECT_EQ(choices[kLinux].partition->start, kLinuxStart);
  // The trailing free area is the fifth object and is not offered.
  EXPECT_EQ(disk->primary.size(), 5u);
}

TEST_F(EngineInstallTest, InstallSaveAndRereadGiveTheMenuTemplatesAndBootSlot) {
  auto disk = Open();
  const std::string backup = dir.File("MBR.save");
  ASSERT_TRUE(InstallEngine(*disk, {kNtfs, kFat}, backup, prompt));
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{text::kEngineInstalled});
  EXPECT_TRUE(disk->IsModified());
  EXPECT_TRUE(disk->EngineInstalled());
  EXPECT_TRUE(std::equal(kLoaderTemplate.begin(), kLoaderTemplate.begin() + layout::LOADER_DEFAULT_ENTRY,
                         disk->sector0.begin()));
  EXPECT_EQ(disk->engineArea[layout::CONST_VERSION_MINOR_AREA], '1');
  EXPECT_EQ(disk->sector0[layout::LOADER_DEFAULT_ENTRY], 0);
  EXPECT_EQ(disk->sector0[layout::LOADER_DIRECT_BOOT], 0);
  EXPECT_EQ(disk->engineArea[layout::AREA_REMEMBER_LAST], 0);
  // Chosen partitions keep their table slots as menu positions.
  EXPECT_TRUE(At(*disk, kNtfsStart)->IsMenu());
  EXPECT_EQ(At(*disk, kFatStart)->slot, 1);
  EXPECT_EQ(At(*disk, kFatStart)->GetTitle(), Title(50 * test::kCylinder, 12));
  EXPECT_EQ(CheckTableSlots(*disk), std::nullopt);
  // The backup holds sector 0 and LBA 1 as they were before the installation.
  EXPECT_EQ(std::filesystem::file_size(backup), 1024u);

  auto reread = SaveAndReopen(*disk);
  ASSERT_TRUE(reread->EngineInstalled());
  const auto menu = reread->MenuEntriesBySlot();
  ASSERT_EQ(menu.size(), 2u);
  EXPECT_EQ(menu[0].start, kNtfsStart);
  EXPECT_EQ(menu[0].GetTitle(), Title(50 * test::kCylinder - kSpt, 7));
  EXPECT_TRUE(menu[0].isDefault);
  EXPECT_EQ(menu[1].start, kFatStart);
  // The boot slot holds menu entry 0; the table keeps the extended and the Linux partition.
  const auto sector0 = Sector(0);
  EXPECT_EQ(ReadTableEntry(sector0, 1), DecodeEntry(std::span(sector0).subspan(layout::LOADER_MENU_TABLE, 16)));
  EXPECT_EQ(TableEntry(0, 1).relativeStart, kNtfsStart);
  EXPECT_EQ(TableEntry(0, 2).relativeStart, kExtendedStart);
  EXPECT_EQ(TableEntry(0, 3).relativeStart, kLinuxStart);
  EXPECT_EQ(TableEntry(0, 0).type, 0);
  EXPECT_EQ(reread->logical.Used().size(), 2u);
  // The MBR copy is sector 0; the engine's code on the disk is the template's.
  const auto mbrCopy = Sector(1 + layout::AREA_MBR_COPY / 512);
  EXPECT_EQ(mbrCopy, sector0);
  std::vector<std::uint8_t> area;
  for (std::uint32_t lba = 1; lba <= 7; ++lba) {
    const auto s = Sector(lba);
    area.insert(area.end(), s.begin(), s.end());
  }
  EXPECT_TRUE(std::equal(kEngineTemplate.begin() + layout::AREA_ENTRY,
                         kEngineTemplate.begin() + layout::AREA_MBR_COPY, area.begin() + layout::AREA_ENTRY));
  EXPECT_EQ(area[layout::AREA_TIMEOUT], 0x60);
  EXPECT_EQ(area[layout::CONST_VERSION_MINOR_AREA], '1');
}

TEST_F(EngineInstallTest, RefusalsChangeNothing) {
  struct Case {
    const char* what;
    std::vector<unsigned> chosen;
    std::string backup;
    std::vector<PromptAnswer> answers;
    std::string expected;
  };
  const std::string missingDir = dir.File("no/such/dir/MBR.save");
  const std::vector<Case> cases = {
      {"nothing chosen", {}, "", {}, LoadResString(IDS_NO_MENU_PARTITION)},
      {"only the extended partition", {kExtended}, "", {}, text::kNoBootPartitionChosen},
      {"an index past the offered objects", {7}, "", {}, text::kNoBootPartitionChosen},
      {"a bootable and an extended partition", {kNtfs, kExtended}, "", {}, StrFormat(text::kChoiceNotBootable, 3u)},
      {"no backup, answered No", {kNtfs}, "", {PromptAnswer::No}, LoadResString(IDS_NO_BACKUP_NAME)},
      {"no backup, answered Cancel", {kNtfs}, "", {PromptAnswer::Cancel}, LoadResString(IDS_NO_BACKUP_NAME)},
      {"backup cannot be created", {kNtfs}, missingDir, {},
       text::kBackupCannotCreate + StrFormat(text::kPathAndReason, missingDir.c_str(), std::strerror(ENOENT))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto disk = Open();
    const auto model = test::Model(*disk);
    const auto sector0 = disk->sector0;
    const auto area = disk->engineArea;
    prompt.answers.assign(c.answers.begin(), c.answers.end());
    EXPECT_FALSE(InstallEngine(*disk, c.chosen, c.backup, prompt));
    EXPECT_EQ(TakeTexts(), std::vector<std::string>{c.expected});
    EXPECT_EQ(test::Model(*disk), model);
    EXPECT_EQ(disk->sector0, sector0);
    EXPECT_EQ(disk->engineArea, area);
    EXPECT_FALSE(disk->IsModified());
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "no"));
}

TEST_F(EngineInstallTest, AnInstalledEngineAndAGptDiskAreRefused) {
  auto disk = Open();
  prompt.answers = {PromptAnswer::Yes};
  ASSERT_TRUE(InstallEngine(*disk, {kNtfs}, "", prompt));
  TakeTexts();
  const auto area = disk->engineArea;
  EXPECT_FALSE(InstallEngine(*disk, {kFat}, "", prompt));
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{text::kEngineAlreadyInstalled});
  EXPECT_TRUE(At(*disk, kFatStart)->IsTable());
  EXPECT_EQ(disk->engineArea, area);

  ASSERT_TRUE(image->SetEntry(0, 3, {0, 0xEE, 1, 1000}));
  auto gpt = Open();
  ASSERT_TRUE(gpt->gpt);
  const auto sector0 = gpt->sector0;
  EXPECT_FALSE(InstallEngine(*gpt, {kNtfs}, "", prompt));
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{StrFormat(text::kGptUnchanged, gpt->DeviceName().c_str())});
  EXPECT_EQ(gpt->sector0, sector0);
  EXPECT_FALSE(gpt->EngineInstalled());
}

TEST_F(EngineInstallTest, YesToNoBackupInstallsWithoutAFile) {
  auto disk = Open();
  prompt.answers = {PromptAnswer::Yes};
  ASSERT_TRUE(InstallEngine(*disk, {kLinux, kFat}, "", prompt));
  EXPECT_EQ(TakeTexts(), (std::vector<std::string>{LoadResString(IDS_NO_BACKUP_NAME), text::kEngineInstalled}));
  const auto files = std::distance(std::filesystem::directory_iterator(dir.path()), {});
  EXPECT_EQ(files, 1);  // the disk image alone
  // Menu order is table order: FAT (slot 1) before Linux (slot 3); the FAT entry is the default.
  const auto menu = disk->MenuEntriesBySlot();
  ASSERT_EQ(menu.size(), 2u);
  EXPECT_EQ(menu[0].start, kFatStart);
  EXPECT_TRUE(menu[0].isDefault);
  EXPECT_FALSE(menu[1].isDefault);
}

// The FAT partition sits on slot 1 and stays in the table while the engine takes entry 1 as its
// boot slot; the writer would put it into entry 2, where the extended partition already is.
TEST_F(EngineInstallTest, APartitionLeftOnTheBootSlotMovesToTheLowestFreeEntry) {
  auto disk = Open();
  prompt.answers = {PromptAnswer::Yes};
  ASSERT_TRUE(InstallEngine(*disk, {kNtfs}, "", prompt));
  const auto texts = TakeTexts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[1], StrFormat(text::kBootSlotMoved, kFatStart, 1u));
  EXPECT_EQ(At(*disk, kFatStart)->slot, 0);
  EXPECT_EQ(CheckTableSlots(*disk), std::nullopt);

  auto reread = SaveAndReopen(*disk);
  EXPECT_EQ(TableEntry(0, 0).relativeStart, kFatStart);
  EXPECT_EQ(TableEntry(0, 1).relativeStart, kNtfsStart);  // the boot slot: menu entry 0
  EXPECT_EQ(TableEntry(0, 2).relativeStart, kExtendedStart);
  EXPECT_EQ(TableEntry(0, 3).relativeStart, kLinuxStart);
  EXPECT_EQ(reread->logical.Used().size(), 2u);
}

TEST_F(EngineInstallTest, WithoutAFreeEntryForThePartitionOnTheBootSlotTheInstallIsRefused) {
  auto disk = Open();
  // A new menu partition before all others is the only choice; the four table partitions stay.
  auto extra = std::make_unique<CPartition>(kSpt, 1000, kSlotUnplacedMenu);
  extra->MarkNew(PartitionState::NewMenu);
  extra->type = 0x83;
  At(*disk, kNtfsStart)->start = kSpt + 1000;
  disk->primary.Insert(std::move(extra));
  disk->primary.SortByStart();
  const auto model = test::Model(*disk);
  EXPECT_FALSE(InstallEngine(*disk, {0}, "", prompt));
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{StrFormat(text::kBootSlotNoRoom, kFatStart)});
  EXPECT_EQ(test::Model(*disk), model);
  EXPECT_FALSE(disk->EngineInstalled());
}

TEST_F(EngineInstallTest, ForeignDataInTrackZeroIsOnlyOverwrittenAfterYes) {
  std::vector<std::uint8_t> loader(512, 0x90);  // another boot loader's code in LBA 3
  ASSERT_TRUE(image->WriteSector(3, loader));
  auto disk = Open();
  const auto area = disk->engineArea;
  EXPECT_FALSE(InstallEngine(*disk, {kNtfs}, dir.File("MBR.save"), prompt));  // answered No
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{text::kForeignTrackData});
  EXPECT_EQ(disk->engineArea, area);
  EXPECT_FALSE(std::filesystem::exists(dir.File("MBR.save")));

  prompt.answers = {PromptAnswer::Yes};
  EXPECT_TRUE(InstallEngine(*disk, {kNtfs}, dir.File("MBR.save"), prompt));
  EXPECT_EQ(TakeTexts().front(), text::kForeignTrackData);
}

TEST_F(EngineInstallTest, ARemovedEngineOfOurOwnIsNoForeignData) {
  std::vector<std::uint8_t> area(kEngineTemplate.begin(), kEngineTemplate.end());
  area[0] = area[1] = 0;                                 // as a removal leaves it
  area[layout::AREA_AUTOBOOT_SWITCH] = layout::CONST_AUTOBOOT_OFF;  // configured before
  for (std::uint32_t s = 0; s < 7; ++s) {
    ASSERT_TRUE(image->WriteSector(1 + s, std::span(area).subspan(s * 512, 512)));
  }
  auto disk = Open();
  ASSERT_FALSE(disk->EngineInstalled());
  prompt.answers = {PromptAnswer::Yes};
  EXPECT_TRUE(InstallEngine(*disk, {kNtfs, kFat}, "", prompt));
  EXPECT_EQ(TakeTexts(), (std::vector<std::string>{LoadResString(IDS_NO_BACKUP_NAME), text::kEngineInstalled}));
}

}  // namespace
}  // namespace korvex
