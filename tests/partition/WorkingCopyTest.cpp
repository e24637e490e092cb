// Loading the disks of the device list: an image that cannot be used is reported and skipped;
// enumeration of the machine's disks stops at the first that cannot be loaded, and device 0
// that cannot be opened is reported as missing rights.
#include <gtest/gtest.h>

#include "bootengine/LoaderRecognition.h"
#include "demo/ImageBuilder.h"
#include "partition/DiskSaver.h"
#include "partition/PartitionEditing.h"
#include "partition/WorkingCopy.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"
#include "support/DiskFixtures.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

class WorkingCopyTest : public ::testing::Test {
 protected:
  std::string Image(const std::string& name) {
    std::string error;
    auto image = ImageBuilder::Create(dir.File(name), 20, 16, 63, error);
    EXPECT_TRUE(image) << error;
    return image->path();
  }
  void Name(unsigned port, const std::string& identifier) {
    registry.AddScsiUnit("Scsi Port " + std::to_string(port) + "\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0",
                         "DiskPeripheral", identifier);
  }
  WorkingCopy Load(const std::vector<std::string>& specs) {
    std::string error;
    devices = *DeviceList::FromSpecs(specs, error);
    WorkingCopy copy(DiskEnvironment{devices, OsVersion{}, registry, prompt, HoldsOurLoader});
    copy.LoadAll();
    return copy;
  }

  test::TempDir dir;
  test::MemoryRegistry registry;
  test::ScriptedPrompt prompt;
  DeviceList devices;
};

TEST_F(WorkingCopyTest, LoadsEveryDiskUnderItsDeviceNameWithItsLabel) {
  Name(0, "Image a.img 1.0");
  Name(1, "Image b.img 1.0");
  const auto copy = Load({Image("a.img"), Image("b.img")});
  ASSERT_EQ(copy.disks().size(), 2u);
  EXPECT_EQ(copy.Find(1)->label, "Image b.img");
  EXPECT_EQ(copy.disks().begin()->first, "PHYSICALDRIVE0");
  EXPECT_EQ(copy.Find(1)->diskIndex, 1);
  EXPECT_TRUE(prompt.shown.empty());
}

// A named image that cannot be used is reported with its path and the reason, and the images
// after it are still loaded under their own device numbers.
TEST_F(WorkingCopyTest, AnImageThatCannotBeUsedIsReportedAndTheOthersKeepTheirNumbers) {
  Name(0, "Image a.img 1.0");
  Name(1, "Image b.img 1.0");
  Name(2, "Image x 1.0");
  Name(3, "Image c.img 1.0");
  const auto copy = Load({Image("a.img"), dir.File("missing.img"), dir.path().string(), Image("c.img")});
  EXPECT_EQ(copy.disks().size(), 2u);
  EXPECT_NE(copy.Find(3), nullptr);
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_EQ(prompt.shown[0].text,
            StrFormat(text::kDiskImageNotUsable, dir.File("missing.img").c_str(), "No such file or directory"));
  EXPECT_EQ(prompt.shown[1].text, StrFormat(text::kDiskImageNotUsable, dir.path().c_str(), "ist ein Verzeichnis"));
  EXPECT_EQ(copy.UnusableImages(), (std::vector<std::string>{dir.File("missing.img"), dir.path().string()}));
}

// The machine's own disks: enumeration stops at the first that cannot be opened, and disk 0
// that cannot be opened is reported as missing rights.
TEST_F(WorkingCopyTest, AMachineDiskThatCannotBeOpenedEndsEnumeration) {
  Name(0, "Image a.img 1.0");
  Name(1, "Image b.img 1.0");
  const auto machineDisk = [&](const std::string& path) { return DeviceEntry{path, path, false, 0, 0}; };
  devices = DeviceList({machineDisk(dir.File("missing")), machineDisk(Image("b.img"))});
  WorkingCopy copy(DiskEnvironment{devices, OsVersion{}, registry, prompt, HoldsOurLoader});
  copy.LoadAll();
  EXPECT_TRUE(copy.disks().empty());
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, LoadResString(IDS_NO_RIGHTS));
  EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Information);
}

TEST_F(WorkingCopyTest, DiskWithoutNameInTheDeviceMapEndsEnumeration) {
  Name(0, "Image a.img 1.0");
  const auto copy = Load({Image("a.img"), Image("b.img")});
  EXPECT_EQ(copy.disks().size(), 1u);
}

TEST_F(WorkingCopyTest, MarkModifiedFindsTheDiskByNumber) {
  Name(0, "Image a.img 1.0");
  auto copy = Load({Image("a.img")});
  EXPECT_FALSE(copy.AnyModified());
  EXPECT_TRUE(copy.MarkModified(0));
  EXPECT_FALSE(copy.MarkModified(1));
  EXPECT_TRUE(copy.AnyModified());
}

// Counts what the working copy tells its observers.
struct EventLog final : IChangeObserver {
  void OnWorkingCopyChange(ChangeEvent event, unsigned device) override { events.emplace_back(event, device); }
  std::vector<std::pair<ChangeEvent, unsigned>> events;
};

TEST_F(WorkingCopyTest, ObserversHearEveryEditSaveAndReloadAndAReloadKeepsTheOtherDisksEdits) {
  for (unsigned port = 0; port < 3; ++port) Name(port, "Image " + std::to_string(port) + ".img 1.0");
  auto copy = Load({Image("0.img"), Image("1.img"), Image("2.img")});
  EventLog log;
  copy.Subscribe(log);

  CHardDisk& first = *copy.Find(0);
  CreateRequest request;
  request.type = 7;
  ASSERT_TRUE(CreatePartition(copy, *RefOf(first, *first.primary.items().front().object), request, prompt));
  ASSERT_FALSE(log.events.empty());
  EXPECT_EQ(log.events.back(), std::make_pair(ChangeEvent::DiskChanged, 0u));
  copy.MarkModified(1);
  EXPECT_EQ(log.events.back(), std::make_pair(ChangeEvent::DiskChanged, 1u));

  log.events.clear();
  EXPECT_TRUE(copy.ReloadDisk(1));
  EXPECT_EQ(log.events, (std::vector<std::pair<ChangeEvent, unsigned>>{{ChangeEvent::DiskReloaded, 1}}));
  EXPECT_FALSE(copy.Find(1)->IsModified());
  EXPECT_TRUE(copy.Find(0)->IsModified());  // disk 0 keeps its new partition
  EXPECT_EQ(copy.Find(0)->primary.Count([](const CPartition& p) { return p.IsNewTable(); }), 1u);

  log.events.clear();
  ASSERT_TRUE(WriteDisk(*copy.Find(0), prompt));
  EXPECT_EQ(log.events.back(), std::make_pair(ChangeEvent::DiskChanged, 0u));
  EXPECT_FALSE(copy.AnyModified());

  copy.LoadAll();
  EXPECT_EQ(log.events.back(), std::make_pair(ChangeEvent::AllReloaded, 0u));
  copy.Find(2)->MarkModified();  // disks loaded anew report to the same observers
  EXPECT_EQ(log.events.back(), std::make_pair(ChangeEvent::DiskChanged, 2u));

  copy.Unsubscribe(log);
  log.events.clear();
  copy.Find(2)->MarkModified();
  EXPECT_TRUE(log.events.empty());
}

}  // namespace
}  // namespace korvex
