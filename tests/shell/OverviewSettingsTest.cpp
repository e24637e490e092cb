// The overview's automatic-boot settings on engine disks: what the form shows, when it counts
// as changed, and what applying writes (seconds as two decimal digits, the default by object).
#include "bootengine/LoaderRecognition.h"
#include "shell/OverviewSettings.h"

#include "bootengine/EngineConfig.h"
#include "bootengine/EngineDiskFixture.h"
#include "shell/SystemInfo.h"

namespace korvex {
namespace {

using test::PartStart;

class OverviewSettingsTest : public test::EngineDiskTest {};

TEST_F(OverviewSettingsTest, SecondsAreStoredAsTwoDecimalDigitsAndAbove99Refused) {
  auto disk = Open(MakeEngineDisk("0.img", {.menu = {0, 1}}));
  const auto choices = BootChoices(*disk);
  BootSettingsForm form = BootSettingsOf(*disk, choices);
  for (const auto& [text, stored] : {std::pair{"15", 0x15}, {"7", 0x07}}) {
    form.secondsText = text;
    ASSERT_TRUE(ApplyBootSettings(disk.copy(), *disk, choices, form, prompt));
    EXPECT_EQ(disk->engineArea[layout::AREA_TIMEOUT], stored);
    EXPECT_FALSE(BootSettingsModified(*disk, choices, form));
  }
  form.secondsText = "07";  // compared as text
  EXPECT_TRUE(BootSettingsModified(*disk, choices, form));

  disk->MarkSaved();
  for (const char* bad : {"120", "", "5s"}) {
    form.secondsText = bad;
    form.choice = 1;
    EXPECT_FALSE(ApplyBootSettings(disk.copy(), *disk, choices, form, prompt)) << bad;
    EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Stop);
  }
  EXPECT_EQ(disk->engineArea[layout::AREA_TIMEOUT], 0x07);
  EXPECT_EQ(Defaults(*disk), std::vector<unsigned>{0});
  EXPECT_FALSE(disk->IsModified());
}

TEST_F(OverviewSettingsTest, TheDefaultIsChosenByObjectEvenWhenTitlesRepeat) {
  const std::string spec = MakeEngineDisk("0.img", {.menu = {0, 1, 2}, .defaultPosition = 0});
  auto disk = Open(spec);
  Part(*disk, 1).SetTitle("Linux");
  Part(*disk, 2).SetTitle("Linux");
  const auto choices = BootChoices(*disk);
  ASSERT_EQ(choices.size(), 4u);
  EXPECT_EQ(choices[2].title, "Linux");
  EXPECT_EQ(choices[3].object, nullptr);
  BootSettingsForm form = BootSettingsOf(*disk, choices);
  EXPECT_EQ(form.choice, 0u);
  form.choice = 2;
  ASSERT_TRUE(ApplyBootSettings(disk.copy(), *disk, choices, form, prompt));
  EXPECT_EQ(Defaults(*disk), std::vector<unsigned>{2});

  // "der zuletzt gebooteten Partition": remember-last, no entry keeps the mark.
  form.choice = 3;
  ASSERT_TRUE(ApplyBootSettings(disk.copy(), *disk, choices, form, prompt));
  EXPECT_TRUE(ReadEngineConfig(*disk).rememberLast);
  EXPECT_TRUE(Defaults(*disk).empty());
  EXPECT_EQ(BootSettingsOf(*disk, choices).choice, 3u);
}

TEST_F(OverviewSettingsTest, WithoutADefaultEntryTheLastChoiceShowsAndCountsAsAChange) {
  auto disk = Open(MakeEngineDisk("0.img", {.menu = {0, 1}}));
  for (CPartition* entry : disk->MenuObjectsBySlot()) entry->isDefault = false;
  const auto choices = BootChoices(*disk);
  const BootSettingsForm form = BootSettingsOf(*disk, choices);
  EXPECT_EQ(form.choice, 2u);
  EXPECT_TRUE(BootSettingsModified(*disk, choices, form));
}

TEST_F(OverviewSettingsTest, TheSystemInformationNamesEachDisk) {
  const std::string first = MakeEngineDisk("0.img", {.menu = {0}});
  const std::string second = MakeEngineDisk("1.img", {.menu = {0}});
  std::string error;
  const auto devices = DeviceList::FromSpecs({first, second}, error);
  test::MemoryRegistry registry;
  registry.AddScsiUnit("Scsi Port 0\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0", "DiskPeripheral", "Image a.img 1.0");
  registry.AddScsiUnit("Scsi Port 1\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0", "DiskPeripheral", "Image b.img 1.0");
  WorkingCopy copy(DiskEnvironment{*devices, OsVersion{}, registry, prompt, HoldsOurLoader});
  copy.LoadAll();
  EXPECT_EQ(SystemInfoText(copy, registry),
            "1.Festplatte\r\n\tName : Image a.img\r\n2.Festplatte\r\n\tName : Image b.img\r\n");
}

// An image file that cannot be used between two disks: the disk after it keeps its device
// number, and is shown as the third disk in the list as in its overview.
TEST_F(OverviewSettingsTest, TheListCountsDisksAsTheirOverviewsDo) {
  const std::string first = MakeEngineDisk("0.img", {.menu = {0}});
  const std::string third = MakeEngineDisk("2.img", {.menu = {0}});
  std::string error;
  const auto devices = DeviceList::FromSpecs({first, dir.File("fehlt.img"), third}, error);
  test::MemoryRegistry registry;
  for (const char* port : {"0", "1", "2"}) {
    registry.AddScsiUnit(std::string("Scsi Port ") + port + "\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0",
                         "DiskPeripheral", std::string("Image ") + port + ".img 1.0");
  }
  WorkingCopy copy(DiskEnvironment{*devices, OsVersion{}, registry, prompt, HoldsOurLoader});
  copy.LoadAll();
  ASSERT_EQ(copy.disks().size(), 2u);
  EXPECT_EQ(ShownDiskNumber(*copy.Find(2)), 3u);
  EXPECT_EQ(SystemInfoText(copy, registry),
            "1.Festplatte\r\n\tName : Image 0.img\r\n3.Festplatte\r\n\tName : Image 2.img\r\n");
}

}  // namespace
}  // namespace korvex
