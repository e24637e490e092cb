// The device list: image specs with geometry, KORVEX_DISKS and the whole disks of sysfs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/Cp437.h"
#include "platform/DeviceList.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

TEST(DeviceListTest, ParsesImageSpecsWithAndWithoutGeometry) {
  std::string error;
  const auto plain = ParseDeviceSpec("/tmp/a@b.img", error);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->heads, 0u);
  EXPECT_EQ(plain->path, "/tmp/a@b.img") << "an @ without a geometry is part of the name";
  const auto given = ParseDeviceSpec("disk.img@255x63", error);
  ASSERT_TRUE(given);
  EXPECT_EQ(given->path, "disk.img");
  EXPECT_EQ(given->heads, 255u);
  EXPECT_EQ(given->sectors, 63u);
  EXPECT_FALSE(ParseDeviceSpec("disk.img@256x63", error));
  EXPECT_FALSE(ParseDeviceSpec("disk.img@16x64", error));
  EXPECT_FALSE(ParseDeviceSpec("disk.img@0x63", error));
  EXPECT_FALSE(ParseDeviceSpec("@16x63", error));
  EXPECT_FALSE(error.empty());
}

TEST(DeviceListTest, EnvironmentListsImagesInOrder) {
  ::setenv("KORVEX_DISKS", "one.img@16x63:two.img", 1);
  std::string error;
  const auto list = DeviceList::FromEnvironment(error);
  ::unsetenv("KORVEX_DISKS");
  ASSERT_TRUE(list) << error;
  ASSERT_EQ(list->size(), 2u);
  EXPECT_EQ(list->At(0)->path, "one.img");
  EXPECT_EQ(list->At(1)->path, "two.img");
  EXPECT_EQ(list->At(2), nullptr);
  EXPECT_EQ(list->ToEnvironmentValue(), "one.img@16x63:two.img");
}

TEST(DeviceListTest, SysfsWholeDisksInNaturalOrderWithoutVirtualDevices) {
  test::TempDir sysfs;
  for (const char* name : {"sdb", "loop0", "nvme10n1", "sda", "ram0", "zram0", "dm-0", "md127", "sr0", "fd0",
                           "nvme2n1", "vda"}) {
    std::filesystem::create_directory(sysfs.path() / name);
  }
  EXPECT_EQ(ListWholeDisks(sysfs.path().string()),
            (std::vector<std::string>{"nvme2n1", "nvme10n1", "sda", "sdb", "vda"}));
}

TEST(Cp437Test, RoundTripsUmlautsAndBoxCharactersAndRefusesTheRest) {
  const std::string cp437 = "Taste dr\x81" "cken \xC9\xCD\xBB";
  EXPECT_EQ(Cp437ToUtf8(cp437), "Taste drücken ╔═╗");
  EXPECT_EQ(Utf8ToCp437("Taste drücken ╔═╗"), cp437);
  EXPECT_EQ(Utf8ToCp437("€"), std::nullopt);
  EXPECT_EQ(Utf8ToCp437("\xC3"), std::nullopt);  // truncated sequence
}

// A title for the boot screen: taken as its code page 437 bytes, or refused naming the first
// character the screen cannot show.
TEST(Cp437Test, ABootScreenTextNamesTheCharacterItCannotShow) {
  test::ScriptedPrompt prompt;
  EXPECT_EQ(BootScreenText("Windows 10 Ä", prompt), "Windows 10 \x8E");
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(BootScreenText("Windows 10 €", prompt), std::nullopt);
  EXPECT_EQ(BootScreenText("\xC3", prompt), std::nullopt);
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_EQ(prompt.shown[0].text, StrFormat(text::kTitleNotCp437, "€"));
  EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Stop);
  EXPECT_EQ(prompt.shown[1].text, StrFormat(text::kTitleNotCp437, "\uFFFD"));
}

}  // namespace
}  // namespace korvex
