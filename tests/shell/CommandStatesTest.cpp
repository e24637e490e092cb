// The device tree's kinds and labels, the command states and the context menus, on working
// copies read from images: a disk with the boot engine and a full menu, and a disk without it
// holding an active partition and a type-15 extended partition with logical drives.
#include "bootengine/LoaderRecognition.h"
#include "shell/CommandStates.h"

#include <cerrno>
#include <fstream>

#include "bootengine/EngineDiskFixture.h"
#include "bootengine/MenuConfig.h"
#include "partition/PartitionEditing.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

using test::PartStart;

class CommandStatesTest : public test::EngineDiskTest {
 protected:
  // Loads the images as disks 0, 1, … of a working copy.
  void Load(const std::vector<std::string>& specs) {
    std::string error;
    devices = *DeviceList::FromSpecs(specs, error);
    for (unsigned n = 0; n < specs.size(); ++n) {
      registry.AddScsiUnit("Scsi Port " + std::to_string(n) + "\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0",
                           "DiskPeripheral", "Image " + std::to_string(n) + ".img 1.0");
    }
    copy.emplace(DiskEnvironment{devices, OsVersion{}, registry, prompt, HoldsOurLoader});
    copy->LoadAll();
  }
  // The disk without the engine: an active NTFS partition, a type-15 extended partition with two
  // logical drives, free space behind them.
  std::string PlainDisk() {
    std::string error;
    auto image = ImageBuilder::Create(dir.File("plain.img"), 30, 16, 63, error);
    EXPECT_TRUE(image->AddPrimary(0, 0x07, 63, 2016 - 63, true));
    EXPECT_TRUE(image->AddExtended(1, 0x0F, 2016, 8064, {{2016, 2079, 1953}, {4032, 4095, 3969}}));
    return image->Spec();
  }
  NodeRef Node(unsigned device, LevelKind level, std::uint32_t start) {
    return NodeRef::Object(*FindObjectAt(*copy, device, level, start));
  }
  bool Enabled(CommandId command, std::optional<NodeRef> node) {
    return IsCommandEnabled(command, {*copy, node, RightPane::SystemInfo, false});
  }

  test::MemoryRegistry registry;
  DeviceList devices;
  std::optional<WorkingCopy> copy;
};

TEST_F(CommandStatesTest, TheMenuTakesATwelfthEntryOnlyWhileItHoldsEleven) {
  Load({MakeEngineDisk("0.img", {.menu = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, .table = {{12, 0}}})});
  const NodeRef data = Node(0, LevelKind::Primary, PartStart(12));
  EXPECT_EQ(KindOf(*copy, data), NodeKind::DataPartition);
  EXPECT_FALSE(Enabled(CommandId::MenuAdd, data));  // 12 entries in state Menu

  // An entry created for the menu but not yet saved counts as well: the engine's table holds
  // 12 entries in all, and AddToMenu refuses a 13th.
  Part(*copy->Find(0), 11).state = PartitionState::NewMenu;
  EXPECT_FALSE(Enabled(CommandId::MenuAdd, data));
  EXPECT_FALSE(AddToMenu(*copy, data.object, prompt));
  Part(*copy->Find(0), 11).state = PartitionState::Table;
  EXPECT_TRUE(Enabled(CommandId::MenuAdd, data));
  const NodeRef menu = Node(0, LevelKind::Primary, PartStart(0));
  EXPECT_EQ(KindOf(*copy, menu), NodeKind::MenuPartition);
  EXPECT_TRUE(Enabled(CommandId::Password, menu) && Enabled(CommandId::Boot, menu) && Enabled(CommandId::MenuRemove, menu));
  EXPECT_FALSE(Enabled(CommandId::Activate, menu));  // the engine owns the boot decision
  EXPECT_EQ(ContextMenuFor(*copy, menu)->resource, 139);
  EXPECT_EQ(ContextMenuFor(*copy, data)->resource, 142);
}

TEST_F(CommandStatesTest, TheComputerNodeHasNoDiskAndSavesWhenAnyDiskIsModified) {
  Load({MakeEngineDisk("0.img", {.menu = {0}}), PlainDisk()});
  const NodeRef computer = NodeRef::Computer();
  for (const CommandId command : {CommandId::BootManager, CommandId::SelfTest, CommandId::BootMenu, CommandId::SaveDisk,
                                  CommandId::Save, CommandId::Create, CommandId::Analysis}) {
    EXPECT_FALSE(Enabled(command, computer)) << static_cast<int>(command);
  }
  EXPECT_TRUE(Enabled(CommandId::FloppyPasswordA, computer));  // one disk has the engine
  copy->Find(1)->MarkModified();
  EXPECT_TRUE(Enabled(CommandId::SaveDisk, computer) && Enabled(CommandId::Save, std::nullopt));
  EXPECT_FALSE(Enabled(CommandId::SaveDisk, NodeRef::Disk(0)));
  EXPECT_TRUE(Enabled(CommandId::SaveDisk, NodeRef::Disk(1)));
  EXPECT_TRUE(Enabled(CommandId::SelfTest, NodeRef::Disk(0)) && !Enabled(CommandId::SelfTest, NodeRef::Disk(1)));
  EXPECT_FALSE(Enabled(CommandId::Apply, computer));
  EXPECT_TRUE(IsCommandEnabled(CommandId::Apply, {*copy, computer, RightPane::Overview, true}));
}

TEST_F(CommandStatesTest, TreeOfADiskWithATypeFifteenExtendedPartitionAndItsMenus) {
  Load({PlainDisk()});
  const DeviceNode root = BuildDeviceTree(*copy, "werkstatt");
  ASSERT_EQ(root.children.size(), 1u);
  const DeviceNode& disk = root.children[0];
  EXPECT_EQ(disk.kind, NodeKind::Disk);
  ASSERT_EQ(disk.children.size(), 3u);  // active partition, extended partition, free space
  EXPECT_EQ(disk.children[0].kind, NodeKind::MenuPartition);
  const DeviceNode& extended = disk.children[1];
  EXPECT_EQ(extended.kind, NodeKind::ExtendedPartition);
  EXPECT_EQ(extended.label.rfind("Typ 15  ", 0), 0u) << extended.label;
  EXPECT_EQ(disk.children[2].kind, NodeKind::FreeSpace);
  EXPECT_NE(disk.children[2].label.find(" frei"), std::string::npos);
  ASSERT_EQ(extended.children.size(), 3u);  // two drives and the free space behind them
  EXPECT_EQ(extended.children[0].kind, NodeKind::DataPartition);
  EXPECT_EQ(extended.children[0].ref.object.level, LevelKind::Logical);
  EXPECT_EQ(extended.children[2].kind, NodeKind::FreeSpace);

  // A logical drive has no boot indicator of its own: it can neither activate nor deactivate.
  const NodeRef drive = extended.children[0].ref;
  EXPECT_FALSE(Enabled(CommandId::Deactivate, drive));
  EXPECT_FALSE(Enabled(CommandId::Activate, drive));
  EXPECT_TRUE(Enabled(CommandId::Deactivate, disk.children[0].ref));
  EXPECT_FALSE(Enabled(CommandId::MenuAdd, drive));  // no engine on that disk

  // Context menus: the first entry is greyed for the logical drive, the extended partition
  // (type 15 too) and, while another partition is active, for a data partition.
  const auto driveMenu = ContextMenuFor(*copy, drive);
  EXPECT_EQ(driveMenu->resource, 159);
  EXPECT_FALSE(driveMenu->entries.front().enabled);
  EXPECT_TRUE(driveMenu->entries[1].enabled);
  EXPECT_FALSE(ContextMenuFor(*copy, extended.ref)->entries.front().enabled);
  EXPECT_EQ(ContextMenuFor(*copy, disk.children[0].ref)->resource, 156);
  EXPECT_EQ(ContextMenuFor(*copy, disk.children[2].ref)->resource, 143);
  EXPECT_EQ(ContextMenuFor(*copy, disk.ref)->resource, 146);

  ASSERT_TRUE(DeactivatePartition(*copy, disk.children[0].ref.object, prompt));
  EXPECT_EQ(KindOf(*copy, disk.children[0].ref), NodeKind::DataPartition);
  const auto primaryMenu = ContextMenuFor(*copy, disk.children[0].ref);
  EXPECT_TRUE(primaryMenu->entries.front().enabled);  // nothing active any more
  EXPECT_EQ(ComputerName(registry), "unbekannt");  // the store holds no computer name
}

TEST_F(CommandStatesTest, ADiskThatWasNotReadWholeSaysSoInTheTree) {
  Load({PlainDisk(), PlainDisk()});
  copy->Find(1)->readFailures.push_back({2016, 1, EIO});
  const DeviceNode root = BuildDeviceTree(*copy, "werkstatt");
  ASSERT_EQ(root.children.size(), 2u);
  EXPECT_EQ(root.children[0].label, copy->Find(0)->label);
  EXPECT_EQ(root.children[1].label, copy->Find(1)->label + text::kUnreadDiskMark);
  copy->Find(0)->logicalChainBroken = true;
  EXPECT_EQ(BuildDeviceTree(*copy, "werkstatt").children[0].label, copy->Find(0)->label + text::kBrokenChainMark);
}

// An engine in LBA 1..7 whose loader another program replaced in sector 0: the disk shows as a
// disk without the engine, but the self test (which can put the loader back) stays available.
TEST_F(CommandStatesTest, TheSelfTestStaysForAnEngineWhoseLoaderIsMissing) {
  const std::string spec = MakeEngineDisk("0.img", {.menu = {0}});
  const std::string path = spec.substr(0, spec.find('@'));
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.write(std::string(layout::LOADER_CODE_SIZE, '\x90').data(), layout::LOADER_CODE_SIZE);  // a foreign loader
  file.close();
  Load({spec});
  ASSERT_TRUE(copy->Find(0)->engineWithoutLoader);
  EXPECT_EQ(KindOf(*copy, NodeRef::Disk(0)), NodeKind::Disk);
  EXPECT_TRUE(Enabled(CommandId::SelfTest, NodeRef::Disk(0)));
  EXPECT_FALSE(Enabled(CommandId::BootMenu, NodeRef::Disk(0)));
}

}  // namespace
}  // namespace korvex
