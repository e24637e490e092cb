// The self test of an installed engine: the report word for word, what counts as one error,
// the repairs, the disaster recovery at exactly five errors, and the check that changes nothing.
#include "bootengine/EngineFixture.h"
#include "bootengine/EngineInstall.h"
#include "bootengine/SelfTest.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

class SelfTestTest : public test::EngineFixture {
 protected:
  // A disk with the engine as it is after a save and a fresh load.
  test::DiskInCopy SavedEngineDisk() {
    auto disk = Open();
    prompt.answers = {PromptAnswer::Yes};
    EXPECT_TRUE(InstallEngine(*disk, {0, 1}, "", prompt));
    auto reread = SaveAndReopen(*disk);
    TakeTexts();
    return reread;
  }
  std::span<const std::uint8_t> MbrCopy(const CHardDisk& disk) {
    return std::span(disk.engineArea).subspan(layout::AREA_MBR_COPY, 512);
  }
};

std::string Report(const char* mode, const char* loader, const char* messages, const char* signature,
                   const char* menu, const char* table, const std::string& tail) {
  return std::string("Beginne Selbsttest ") + mode + "Bootstraploader ... " + loader + "\r\nMeldungen ..." +
         messages + "\r\nSignatur ... " + signature + "\r\nBoottabellen ... " + menu + "\r\nDatentabellen ... " +
         table + "\r\n" + tail;
}

constexpr const char* kRepair = "und korregiere gegebenenfalls Fehler\r\n";
constexpr const char* kCheck = "ohne Fehlerkorrektur:\r\n";
constexpr const char* kFixed = "mit Fehlern! ... Korregiert!";

TEST_F(SelfTestTest, AFreshlySavedDiskHasNoErrors) {
  auto disk = SavedEngineDisk();
  const auto sector0 = disk->sector0;
  const SelfTestReport report = SelfTest(*disk, false);
  EXPECT_EQ(report.text, Report(kRepair, "Ok!", "Ok!", "Ok!", "Ok!", "Ok!", "\r\n\r\n0 Fehler gefunden!"));
  EXPECT_EQ(report.errors, 0u);
  EXPECT_EQ(disk->sector0, sector0);
  EXPECT_FALSE(disk->IsModified());
}

TEST_F(SelfTestTest, ADiskWithoutTheEngineIsNotTestedAndNotTouched) {
  auto disk = Open();
  const auto sector0 = disk->sector0;
  const SelfTestReport report = SelfTest(*disk, false);
  EXPECT_FALSE(report.tested);
  EXPECT_EQ(report.text, text::kNoEngineInstalled);
  EXPECT_EQ(disk->sector0, sector0);
  EXPECT_FALSE(disk->IsModified());
}

TEST_F(SelfTestTest, TheBootSlotAndTheDefaultEntryAreNotCompared) {
  auto disk = SavedEngineDisk();
  disk->sector0[layout::LOADER_DEFAULT_ENTRY] = 1;  // what the engine changes at each boot
  disk->sector0[layout::LOADER_DIRECT_BOOT] = 1;
  disk->sector0[layout::LOADER_BOOT_SLOT + 8] ^= 0xFF;
  EXPECT_EQ(SelfTest(*disk, false).errors, 0u);
  EXPECT_FALSE(disk->IsModified());
}

TEST_F(SelfTestTest, AMissingSignatureAloneIsOneErrorAndIsRepaired) {
  auto disk = SavedEngineDisk();
  disk->sector0[510] = 0;
  const SelfTestReport report = SelfTest(*disk, false);
  EXPECT_EQ(report.text, Report(kRepair, "Ok!", "Ok!", kFixed, "Ok!", "Ok!", "\r\n\r\n1 Fehler gefunden!"));
  EXPECT_EQ(report.errors, 1u);
  EXPECT_EQ(disk->sector0[510], 0x55);
  // The repair must reach the disk with the next save.
  EXPECT_TRUE(disk->IsModified());
}

// A sector 0 that lost its signature on the disk: the tables are still read from the engine's
// master copy, and the repaired disk is saved with its menu and partition table.
TEST_F(SelfTestTest, ASignatureLostOnTheDiskIsRepairedWithoutLosingTheTables) {
  auto saved = SavedEngineDisk();
  const auto tables = test::Model(*saved);
  auto sector0 = Sector(0);
  sector0[510] = sector0[511] = 0;
  ASSERT_TRUE(image->WriteSector(0, sector0));
  auto disk = Open();
  EXPECT_EQ(test::Model(*disk), tables);
  EXPECT_EQ(SelfTest(*disk, false).errors, 1u);
  EXPECT_EQ(test::Model(*disk), tables);
  auto reread = SaveAndReopen(*disk);
  EXPECT_EQ(test::Model(*reread), tables);
  EXPECT_EQ(TableEntry(0, 3).relativeStart, test::kLinuxStart);
}

TEST_F(SelfTestTest, TablesCountOneErrorPerDifferingEntryAndTakeTheMastersEntry) {
  auto disk = SavedEngineDisk();
  const auto master = std::vector<std::uint8_t>(MbrCopy(*disk).begin(), MbrCopy(*disk).end());
  disk->sector0[layout::LOADER_MENU_TABLE + 16 + 8] ^= 1;   // menu entry 1, two bytes
  disk->sector0[layout::LOADER_MENU_TABLE + 16 + 12] ^= 1;
  disk->sector0[kPartitionTableOffset + 3 * 16 + 4] = 0x0B;  // table entry 3
  const SelfTestReport report = SelfTest(*disk, false);
  EXPECT_EQ(report.text, Report(kRepair, "Ok!", "Ok!", "Ok!", kFixed, kFixed, "\r\n\r\n2 Fehler gefunden!"));
  EXPECT_TRUE(std::equal(master.begin(), master.end(), disk->sector0.begin()));
}

TEST_F(SelfTestTest, ExactlyFiveErrorsRestoreTheWholeSectorFromTheMasterCopy) {
  auto disk = SavedEngineDisk();
  for (std::size_t i = 0; i < 5; ++i) disk->sector0[0x10 + i] ^= 0xFF;  // five loader bytes
  disk->sector0[layout::LOADER_BOOT_SLOT] = 0;   // not compared, but the recovery copies it too
  const SelfTestReport report = SelfTest(*disk, false);
  EXPECT_EQ(report.text, Report(kRepair, kFixed, "Ok!", "Ok!", "Ok!", "Ok!",
                                "\r\nKatastrophenwiederherstellung durchgeführt!\r\n\r\n5 Fehler gefunden!"));
  EXPECT_TRUE(std::equal(disk->sector0.begin(), disk->sector0.end(), MbrCopy(*disk).begin()));
}

TEST_F(SelfTestTest, SixErrorsAreRepairedOneByOneWithoutTheRecovery) {
  auto disk = SavedEngineDisk();
  const auto saved = disk->sector0;
  for (std::size_t i = 0; i < 5; ++i) disk->sector0[0x10 + i] ^= 0xFF;
  disk->sector0[layout::LOADER_TEXT + 2] = 'X';
  disk->sector0[layout::LOADER_BOOT_SLOT] = 0;
  const SelfTestReport report = SelfTest(*disk, false);
  EXPECT_EQ(report.errors, 6u);
  EXPECT_EQ(report.text, Report(kRepair, kFixed, kFixed, "Ok!", "Ok!", "Ok!", "\r\n\r\n6 Fehler gefunden!"));
  EXPECT_EQ(disk->sector0[layout::LOADER_BOOT_SLOT], 0);  // proves that no whole-sector copy ran
  disk->sector0[layout::LOADER_BOOT_SLOT] = saved[layout::LOADER_BOOT_SLOT];
  EXPECT_EQ(disk->sector0, saved);
}

TEST_F(SelfTestTest, CheckOnlyReportsWithoutRepairingOrRecovering) {
  auto disk = SavedEngineDisk();
  for (std::size_t i = 0; i < 4; ++i) disk->sector0[0x10 + i] ^= 0xFF;
  disk->sector0[511] = 0;
  const auto damaged = disk->sector0;
  const auto area = disk->engineArea;
  const SelfTestReport report = SelfTest(*disk, true);
  EXPECT_EQ(report.text, Report(kCheck, "mit Fehlern!", "Ok!", "mit Fehlern!", "Ok!", "Ok!",
                                "\r\n\r\n5 Fehler gefunden!"));
  EXPECT_EQ(disk->sector0, damaged);
  EXPECT_EQ(disk->engineArea, area);
  EXPECT_FALSE(disk->IsModified());
}

}  // namespace
}  // namespace korvex

namespace korvex {
namespace {

// Damaged engine code in LBA 1..7 (here a wiped stretch of LBA 3) is found and repaired from the
// template; its configuration, titles and passwords are not compared.
TEST_F(SelfTestTest, DamagedEngineCodeIsFoundAndRepaired) {
  auto disk = SavedEngineDisk();
  const auto area = disk->engineArea;
  std::fill_n(disk->engineArea.begin() + 2 * 512 + 100, 10, std::uint8_t{0x90});  // engine code
  disk->engineArea[layout::AREA_TIMEOUT] = 0x05;                                  // configuration
  const SelfTestReport report = SelfTest(*disk, false);
  EXPECT_EQ(report.text, Report(kRepair, kFixed, "Ok!", "Ok!", "Ok!", "Ok!", "\r\n\r\n10 Fehler gefunden!"));
  EXPECT_EQ(disk->engineArea[layout::AREA_TIMEOUT], 0x05);
  disk->engineArea[layout::AREA_TIMEOUT] = area[layout::AREA_TIMEOUT];
  EXPECT_EQ(disk->engineArea, area);
  EXPECT_TRUE(disk->IsModified());
}

// The engine's copy of sector 0 is the damaged one (its signature lost, a menu entry moved):
// sector 0 matches the partitions the reader found, so sector 0 stays and the copy is repaired.
TEST_F(SelfTestTest, ACopyThatDoesNotMatchThePartitionsIsRepairedFromSectorZero) {
  SavedEngineDisk();
  const auto sector0 = Sector(0);
  auto copy = Sector(5);
  copy[510] = 0;
  copy[layout::LOADER_MENU_TABLE + 8] ^= 0x40;
  ASSERT_TRUE(image->WriteSector(5, copy));
  auto disk = Open();
  const SelfTestReport report = SelfTest(*disk, false);
  EXPECT_EQ(report.errors, 2u);
  EXPECT_TRUE(std::equal(sector0.begin(), sector0.end(), disk->sector0.begin()));
  EXPECT_TRUE(std::equal(MbrCopy(*disk).begin() + layout::LOADER_MENU_TABLE, MbrCopy(*disk).begin() + 512,
                         sector0.begin() + layout::LOADER_MENU_TABLE));
}

// Neither sector 0 nor its copy fits the partitions of the working copy: reported, nothing
// changed (and no disaster recovery).
TEST_F(SelfTestTest, WhenNeitherFitsThePartitionsNothingIsChanged) {
  auto disk = SavedEngineDisk();
  disk->sector0[layout::LOADER_MENU_TABLE + 8] ^= 0x01;
  for (std::size_t i = 0; i < 4; ++i) disk->sector0[0x10 + i] ^= 0xFF;
  disk->MenuObjectsBySlot()[0]->start += 2;  // the working copy says something else again
  const auto area = disk->engineArea;
  const auto table = std::vector<std::uint8_t>(disk->sector0.begin() + layout::LOADER_MENU_TABLE,
                                               disk->sector0.begin() + 512);
  const SelfTestReport report = SelfTest(*disk, false);
  EXPECT_EQ(report.errors, 5u);
  EXPECT_NE(report.text.find(std::string("Boottabellen ... mit Fehlern!") + text::kSelfTestNeitherMatches),
            std::string::npos) << report.text;
  EXPECT_EQ(report.text.find("Katastrophen"), std::string::npos);
  EXPECT_EQ(disk->engineArea, area);
  EXPECT_TRUE(std::equal(table.begin(), table.end(), disk->sector0.begin() + layout::LOADER_MENU_TABLE));
}

}  // namespace
}  // namespace korvex
