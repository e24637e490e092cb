// Loading the working copy on the helper transport: korvex95 serves the same disks the direct
// transport opens, under the labels "1.Festplatte", "2.Festplatte", ….
#include <gtest/gtest.h>

#include "bootengine/EngineFixture.h"
#include "bootengine/LoaderRecognition.h"
#include "partition/WorkingCopy.h"
#include "platform/ProgramSettings.h"
#include "support/DiskInCopy.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

TEST(DiskAccessTest, TheHelperTransportLoadsWhatTheDirectTransportReadsUnderNumberedLabels) {
  test::TempDir dir;
  std::string error;
  auto first = *ImageBuilder::Create(dir.File("first.img"), 20, 16, 63, error);
  ASSERT_TRUE(first.AddPrimary(0, 0x07, 63, 10 * 16 * 63 - 63, true));
  ASSERT_TRUE(first.AddExtended(1, 0x05, 10 * 16 * 63, 10 * 16 * 63, {{10 * 16 * 63, 10 * 16 * 63 + 63, 2000}}));
  const auto second = *ImageBuilder::Create(dir.File("second.img"), 30, 32, 63, error);
  // The third device does not exist: enumeration ends after the second, without a message.
  const auto devices = *DeviceList::FromSpecs({first.path(), second.Spec(), dir.File("missing.img")}, error);

  test::MemoryRegistry registry;
  test::ScriptedPrompt prompt;
  ASSERT_TRUE(registry.WriteString(RegRoot::CurrentUser, kSettingsKey, kHelperProgramValue, KORVEX95_PATH));
  WorkingCopy helper(DiskEnvironment{devices, OsVersion{kPlatformHelper}, registry, prompt, HoldsOurLoader});
  helper.LoadAll();

  ASSERT_EQ(helper.disks().size(), 2u);
  EXPECT_TRUE(prompt.shown.empty());
  for (std::uint8_t n = 0; n < 2; ++n) {
    const CHardDisk& disk = *helper.Find(n);
    const auto direct = test::OpenDisk(devices.At(n)->spec, prompt, n);
    EXPECT_EQ(disk.label, std::to_string(n + 1) + ".Festplatte");
    EXPECT_EQ(disk.DeviceName(), direct->DeviceName());
    EXPECT_EQ(std::tuple(disk.Cylinders(), disk.Heads(), disk.SectorsPerTrack()),
              std::tuple(direct->Cylinders(), direct->Heads(), direct->SectorsPerTrack()));
    EXPECT_EQ(test::Model(disk), test::Model(*direct));
  }
  EXPECT_EQ(helper.Find(0)->logical.Used().size(), 1u);
}

}  // namespace
}  // namespace korvex
