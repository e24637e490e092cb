// What an engine disk keeps through failures and unrelated saves: a signature without a valid
// copy of sector 0 behind it, or without the engine's loader in sector 0, is not trusted (the
// self test puts a missing loader back), no save empties the tables without asking, nothing
// may lie in sectors 0..7, disks shorter than the engine are refused before the first write, the
// disk identifier survives, and the default entry comes from the menu the user saw.
#include "backup/BackupFile.h"
#include "bootengine/EngineConfig.h"
#include "bootengine/EngineFixture.h"
#include "bootengine/EngineInstall.h"
#include "bootengine/EngineRemoval.h"
#include "bootengine/MenuConfig.h"
#include "bootengine/SelfTest.h"
#include "bootengine/Templates.h"
#include "partition/PartitionEditing.h"
#include "partition/PositionChecks.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr std::uint8_t kIdentifier[6] = {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x00};

class EngineSafetyTest : public test::EngineFixture {
 protected:
  // The disk with the engine over the NTFS and FAT partitions, saved and read back.
  test::DiskInCopy Installed() {
    auto disk = Open();
    prompt.answers = {PromptAnswer::Yes};
    EXPECT_TRUE(InstallEngine(*disk, {0, 1}, "", prompt));
    return SaveAndReopen(*disk);
  }
  std::vector<std::uint32_t> Starts(const CHardDisk& disk) {
    std::vector<std::uint32_t> starts;
    for (const CPartition* p : disk.primary.Used()) starts.push_back(p->start);
    return starts;
  }
};

// An installation that stopped after LBA 1: the signature is there, the engine's copy of
// sector 0 is still empty. The disk reads with all its partitions from sector 0, and the
// natural next steps (self test, removal) do not save an empty table.
TEST_F(EngineSafetyTest, ASignatureWithoutAValidCopyIsNotTrusted) {
  const auto plain = Starts(*Open());
  std::vector<std::uint8_t> lba1(kEngineTemplate.begin(), kEngineTemplate.begin() + 512);
  ASSERT_TRUE(image->WriteSector(1, lba1));
  const auto sector0 = Sector(0);
  prompt.shown.clear();
  auto disk = Open();
  EXPECT_EQ(Starts(*disk), plain);
  EXPECT_TRUE(disk->engineDamaged);
  EXPECT_FALSE(disk->EngineInstalled());
  ASSERT_FALSE(prompt.shown.empty());
  EXPECT_EQ(prompt.shown[0].text, StrFormat(text::kEngineNotStarted, "PHYSICALDRIVE0"));
  EXPECT_EQ(SelfTest(*disk, false).text, text::kNoEngineInstalled);
  EXPECT_FALSE(RemoveEngine(*disk, {RemovalMode::EmptyMbr, "", {}}, prompt));
  disk->MarkModified();
  ASSERT_TRUE(WriteDisk(*disk, prompt));
  EXPECT_EQ(Sector(0), sector0);
  // Installing again is possible and completes the disk.
  prompt.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
  ASSERT_TRUE(InstallEngine(*disk, {0}, "", prompt)) << prompt.Texts().back();
  EXPECT_TRUE(SaveAndReopen(*disk)->EngineInstalled());
}

// An installation torn before sector 0: LBA 1..7 hold the engine with a valid copy of sector 0,
// sector 0 still holds another program's loader and the old table. The engine does not count as
// installed and every partition of sector 0 is read (also the one in entry 1, the engine's boot
// slot); an unrelated save keeps sector 0's loader and table layout and leaves LBA 1..7 alone.
// The self test finds the loader missing and, asked to repair, puts the engine's sector 0 back.
TEST_F(EngineSafetyTest, AnEngineWhoseLoaderIsNotInSectorZeroIsNotInstalled) {
  auto foreign = Sector(0);
  for (std::size_t i = 0; i < kDiskIdentifierOffset; ++i) foreign[i] = static_cast<std::uint8_t>(0xA0 + i % 13);
  std::copy(std::begin(kIdentifier), std::end(kIdentifier), foreign.begin() + kDiskIdentifierOffset);
  ASSERT_TRUE(image->WriteSector(0, foreign));
  const auto plain = Starts(*Open());
  const auto installed = test::Model(*Installed());
  std::vector<std::vector<std::uint8_t>> area;
  for (std::uint32_t lba = 1; lba < 8; ++lba) area.push_back(Sector(lba));
  ASSERT_TRUE(image->WriteSector(0, foreign));  // the write of sector 0 never happened

  prompt.shown.clear();
  auto disk = Open();
  EXPECT_FALSE(disk->EngineInstalled());
  EXPECT_TRUE(disk->engineWithoutLoader);
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{StrFormat(text::kEngineLoaderMissing, "PHYSICALDRIVE0")});
  EXPECT_EQ(Starts(*disk), plain);
  ASSERT_TRUE(DeactivatePartition(disk.copy(), disk.Ref(*At(*disk, test::kNtfsStart)), prompt));
  disk = SaveAndReopen(*disk);
  const auto sector0 = Sector(0);
  EXPECT_TRUE(std::equal(foreign.begin(), foreign.begin() + kPartitionTableOffset, sector0.begin()));
  EXPECT_EQ(TableEntry(0, 1).relativeStart, test::kFatStart);  // no boot slot
  EXPECT_EQ(TableEntry(0, 0).bootIndicator, 0);
  for (std::uint32_t lba = 1; lba < 8; ++lba) EXPECT_EQ(Sector(lba), area[lba - 1]) << lba;

  // The check reports the missing loader and changes nothing.
  const auto model = test::Model(*disk);
  const SelfTestReport check = SelfTest(*disk, true);
  EXPECT_TRUE(check.tested);
  EXPECT_GT(check.errors, 0u);
  EXPECT_NE(check.text.find(text::kSelfTestLoaderMissing), std::string::npos);
  EXPECT_FALSE(disk->EngineInstalled());
  EXPECT_EQ(std::vector<std::uint8_t>(disk->sector0.begin(), disk->sector0.end()), sector0);
  EXPECT_EQ(test::Model(*disk), model);
  EXPECT_FALSE(disk->IsModified());

  // The repair: the engine's sector 0 with this disk's identifier, the menu of the engine.
  const SelfTestReport repair = SelfTest(*disk, false);
  EXPECT_NE(repair.text.find(text::kSelfTestDisaster), std::string::npos) << repair.text;
  EXPECT_TRUE(disk->EngineInstalled());
  EXPECT_FALSE(disk->engineWithoutLoader);
  EXPECT_TRUE(disk->IsModified());
  EXPECT_EQ(test::Model(*disk), installed);
  auto reread = SaveAndReopen(*disk);
  EXPECT_TRUE(reread->EngineInstalled());
  EXPECT_EQ(test::Model(*reread), installed);
  const auto repaired = Sector(0);
  EXPECT_TRUE(std::equal(kLoaderTemplate.begin(), kLoaderTemplate.begin() + layout::LOADER_CODE_SIZE,
                         repaired.begin()));
  EXPECT_TRUE(std::equal(std::begin(kIdentifier), std::end(kIdentifier), repaired.begin() + kDiskIdentifierOffset));
}

// The copy lost its signature while sector 0 still holds the engine's loader: the tables come
// from sector 0, the engine stays, and the next save renews the copy.
TEST_F(EngineSafetyTest, ADamagedCopyBehindOurLoaderIsReadFromSectorZeroAndRenewed) {
  const auto model = test::Model(*Installed());
  auto copySector = Sector(5);
  copySector[510] = 0;
  copySector[layout::LOADER_MENU_TABLE + 8] ^= 0x40;  // menu entry 0 moved
  ASSERT_TRUE(image->WriteSector(5, copySector));
  auto disk = Open();
  EXPECT_TRUE(disk->EngineInstalled());
  EXPECT_TRUE(disk->engineDamaged);
  EXPECT_EQ(test::Model(*disk), model);
  disk->MarkModified();
  auto reread = SaveAndReopen(*disk);
  EXPECT_FALSE(reread->engineDamaged);
  EXPECT_EQ(test::Model(*reread), model);
}

// Removing the engine of a disk whose partitions are all menu entries would leave empty tables:
// the save asks, and No leaves the disk as it was.
TEST_F(EngineSafetyTest, NoSaveEmptiesTheTablesWithoutAsking) {
  std::string error;
  image.emplace(*ImageBuilder::Create(dir.File("two.img"), 100, test::kHeads, test::kSpt, error));
  ASSERT_TRUE(image->AddPrimary(0, 0x07, test::kSpt, 10 * test::kCylinder));
  auto disk = Open();
  prompt.answers = {PromptAnswer::Yes};
  ASSERT_TRUE(InstallEngine(*disk, {0}, "", prompt));
  disk = SaveAndReopen(*disk);
  const auto before = Sector(0);
  const auto area = Sector(1);
  ASSERT_TRUE(RemoveEngine(*disk, {RemovalMode::EmptyMbr, "", {}}, prompt));
  prompt.shown.clear();
  EXPECT_FALSE(WriteDisk(*disk, prompt));
  ASSERT_FALSE(prompt.shown.empty());
  EXPECT_TRUE(prompt.shown[0].question);
  EXPECT_EQ(prompt.shown[0].text, StrFormat(text::kEmptyTableQuestion, "PHYSICALDRIVE0", std::size_t{1}));
  EXPECT_EQ(Sector(0), before);
  EXPECT_EQ(Sector(1), area);
  prompt.answers = {PromptAnswer::Yes};
  EXPECT_TRUE(WriteDisk(*disk, prompt));
  EXPECT_EQ(TableEntry(0, 0).type, 0);
}

// The partition form cannot move a partition of an engine disk into sectors 0..7, and a disk
// read that way is never saved (every save would write the engine over the partition).
TEST_F(EngineSafetyTest, NothingMayCoverSectorsZeroToSeven) {
  auto disk = Installed();
  CPartition& ntfs = *At(*disk, test::kNtfsStart);
  PartitionForm form = FormFromObject(*disk, ntfs);
  form.relativeStart = 1;
  form.length = 99999;
  RelativeToAbsolute(*disk, form);
  EXPECT_EQ(ApplyPartitionForm(disk.copy(), disk.Ref(ntfs), form, prompt), FormApplyResult::Refused);
  EXPECT_NE(prompt.shown.back().text.find(text::kEngineTrackInForm), std::string::npos);
  EXPECT_EQ(ntfs.start, test::kNtfsStart);

  ntfs.start = 1;  // as a foreign tool might have left it
  disk->MarkModified();
  const auto area = Sector(1);
  EXPECT_FALSE(WriteDisk(*disk, prompt));
  EXPECT_EQ(prompt.shown.back().text, StrFormat(text::kEngineTrackCovered, "PHYSICALDRIVE0", 1u));
  EXPECT_EQ(Sector(1), area);
}

// A disk of seven sectors cannot hold the engine: install refuses it, and a save that would
// write past the end refuses before its first write.
TEST_F(EngineSafetyTest, ADiskShorterThanTheEngineIsRefusedBeforeTheFirstWrite) {
  std::string error;
  image.emplace(*ImageBuilder::Create(dir.File("short.img"), 0, 1, 1, error, 7));
  ASSERT_TRUE(image->SetSignature(0));
  auto disk = OpenDisk(image->path() + "@1x1", prompt);
  prompt.answers = {PromptAnswer::Yes};
  EXPECT_FALSE(InstallEngine(*disk, {0}, "", prompt));
  EXPECT_EQ(prompt.shown.back().text, StrFormat(text::kDiskTooShortForEngine, "PHYSICALDRIVE0", 7ull));
  // The images as an installation would leave them: the save refuses them whole.
  std::copy(kEngineTemplate.begin(), kEngineTemplate.end(), disk->engineArea.begin());
  std::copy(kLoaderTemplate.begin(), kLoaderTemplate.end(), disk->sector0.begin());
  std::vector<std::vector<std::uint8_t>> before;
  for (std::uint32_t lba = 0; lba < 7; ++lba) before.push_back(Sector(lba));
  EXPECT_FALSE(WriteDisk(*disk, prompt));
  EXPECT_EQ(prompt.shown.back().text, StrFormat(text::kSectorBeyondMedium, "PHYSICALDRIVE0", 7u, 7ull));
  for (std::uint32_t lba = 0; lba < 7; ++lba) EXPECT_EQ(Sector(lba), before[lba]) << lba;
}

// The disk identifier in sector 0 survives install, saves, self test and removal, in sector 0
// and in the engine's copy of it.
TEST_F(EngineSafetyTest, TheDiskIdentifierIsKept) {
  auto sector0 = Sector(0);
  std::copy(std::begin(kIdentifier), std::end(kIdentifier), sector0.begin() + kDiskIdentifierOffset);
  ASSERT_TRUE(image->WriteSector(0, sector0));
  const auto identifierIn = [](const std::vector<std::uint8_t>& sector, std::size_t at = kDiskIdentifierOffset) {
    return std::equal(std::begin(kIdentifier), std::end(kIdentifier), sector.begin() + static_cast<long>(at));
  };
  auto disk = Installed();
  EXPECT_TRUE(identifierIn(Sector(0)));
  EXPECT_TRUE(identifierIn(Sector(5)));  // the engine's copy of sector 0 is LBA 5
  disk->sector0[0x10] ^= 0xFF;
  SelfTest(*disk, false);
  disk = SaveAndReopen(*disk);
  EXPECT_TRUE(identifierIn(Sector(0)));
  ASSERT_TRUE(RemoveEngine(*disk, {RemovalMode::KeepPartitions, "", {0, 1}}, prompt));
  SaveAndReopen(*disk);
  EXPECT_TRUE(identifierIn(Sector(0)));
}

// Sector 0's default-entry byte and the copy's disagree, as a save that stopped between the two
// leaves them: the copy's default (the one of the menu read from the copy) is the one shown
// everywhere, the load says that the next save writes it to sector 0, and an unrelated save
// does. With remember-last, the entry booted last (as the engine left it in sector 0) stays the
// one highlighted, also after the menu is reordered.
TEST_F(EngineSafetyTest, TheDefaultEntryComesFromTheMenuAndTheEntryBootedLastIsKept) {
  auto disk = Installed();
  auto sector0 = Sector(0);
  sector0[layout::LOADER_DEFAULT_ENTRY] = 1;
  ASSERT_TRUE(image->WriteSector(0, sector0));
  prompt.shown.clear();
  disk = Open();
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{StrFormat(text::kDefaultEntriesApart, "PHYSICALDRIVE0", 2u, 1u)});
  EXPECT_TRUE(At(*disk, test::kNtfsStart)->isDefault);
  EXPECT_FALSE(At(*disk, test::kFatStart)->isDefault);
  EXPECT_EQ(ReadEngineConfig(*disk).defaultEntry, 0);  // one default: the flag and the byte agree
  ASSERT_TRUE(SetMenuTitle(disk.copy(), disk.Ref(*At(*disk, test::kFatStart)), "Daten", prompt));
  disk = SaveAndReopen(*disk);
  EXPECT_EQ(Sector(0)[layout::LOADER_DEFAULT_ENTRY], 0);
  EXPECT_TRUE(At(*disk, test::kNtfsStart)->isDefault);

  ASSERT_TRUE(SetRememberLast(*disk, true, prompt));
  disk = SaveAndReopen(*disk);
  sector0 = Sector(0);
  sector0[layout::LOADER_DEFAULT_ENTRY] = 1;  // the engine booted the FAT entry
  ASSERT_TRUE(image->WriteSector(0, sector0));
  disk = Open();
  ASSERT_TRUE(MoveMenuEntry(disk.copy(), disk.Ref(*At(*disk, test::kFatStart)), 0, prompt));
  SaveAndReopen(*disk);
  EXPECT_EQ(Sector(0)[layout::LOADER_DEFAULT_ENTRY], 0);           // where the FAT entry is now
  EXPECT_EQ(Sector(5)[layout::LOADER_DEFAULT_ENTRY], 2);           // the copy: nothing booted yet
}

}  // namespace
}  // namespace korvex
