// What the tree's labels add after type and size: the catalogue's type name, the partition's
// number (as sfdisk gives it on an image, the kernel's name on a block device) and the file
// system with its label, probed once per load of a disk.
#include "shell/ObjectDetails.h"

#include <filesystem>

#include "analysis/VolumeSectors.h"
#include "bootengine/EngineDiskFixture.h"
#include "bootengine/LoaderRecognition.h"
#include "parttypes/PartTypeCatalogue.h"
#include "shell/DeviceTree.h"
#include "support/FakeMounts.h"

namespace korvex {
namespace {

using test::PartStart;

class ObjectDetailsTest : public test::EngineDiskTest {
 protected:
  void SetUp() override { PutCatalogue({{6, "FAT16"}, {7, "NTFS"}, {15, "Erweitert+BIOS"}, {131, "Typ 131"}}); }
  void PutCatalogue(const std::vector<std::pair<std::uint32_t, std::string>>& entries) {
    ASSERT_TRUE(RegWriteDword(registry, RegRoot::CurrentUser, kPartTypesKey, "Anzahl", entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::string key = std::string(kPartTypesKey) + "\\" + std::to_string(i + 1);
      ASSERT_TRUE(RegWriteString(registry, RegRoot::CurrentUser, key, "Name", entries[i].second));
      ASSERT_TRUE(RegWriteDword(registry, RegRoot::CurrentUser, key, "Id", entries[i].first));
    }
  }
  // A disk without the engine: an NTFS-typed partition holding a FAT12 volume "ALTDATEN", a
  // type-15 extended partition with two logical drives (the second one holding a FAT12 volume
  // "LAUFWERK"), free space behind.
  ImageBuilder PlainDisk(const std::string& name) {
    std::string error;
    auto image = ImageBuilder::Create(dir.File(name), 30, 16, 63, error);
    EXPECT_TRUE(image->AddPrimary(0, 0x07, 63, 2016 - 63));
    EXPECT_TRUE(image->AddExtended(1, 0x0F, 2016, 8064, {{2016, 2079, 1953, 0x06}, {4032, 4095, 3969, 0x83}}));
    PutLabel(*image, 63, 2016 - 63, "ALTDATEN   ");
    PutLabel(*image, 4095, 3969, "LAUFWERK   ");
    return *image;
  }
  static void PutLabel(ImageBuilder& image, std::uint32_t start, std::uint32_t length, const std::string& label) {
    const SectorBytes boot = test::FatBootSector(length, 4, false, label);
    EXPECT_TRUE(image.WriteSector(start, boot));
  }
  // Loads the devices as disks 0, 1, … of a working copy.
  void Load(std::vector<DeviceEntry> entries) {
    devices = DeviceList(std::move(entries));
    for (unsigned n = 0; n < devices.size(); ++n) {
      registry.AddScsiUnit("Scsi Port " + std::to_string(n) + "\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0",
                           "DiskPeripheral", "Image " + std::to_string(n) + ".img 1.0");
    }
    copy.emplace(DiskEnvironment{devices, OsVersion{}, registry, prompt, HoldsOurLoader});
    copy->LoadAll();
  }
  void LoadImages(const std::vector<std::string>& specs) {
    std::string error;
    Load(DeviceList::FromSpecs(specs, error)->entries());
  }
  // The labels of a disk's objects, primary level and logical drives in tree order.
  std::vector<std::string> Labels(ObjectDetailsSource& details, unsigned disk = 0) {
    std::vector<std::string> labels;
    const DeviceNode root = BuildDeviceTree(*copy, "werkstatt", &details);
    for (const DeviceNode& node : root.children.at(disk).children) {
      labels.push_back(node.label);
      for (const DeviceNode& drive : node.children) labels.push_back("  " + drive.label);
    }
    return labels;
  }

  test::MemoryRegistry registry;
  DeviceList devices;
  std::optional<WorkingCopy> copy;
};

TEST_F(ObjectDetailsTest, AnImageNamesTypesNumbersAsSfdiskAndFileSystemsWithTheirLabels) {
  LoadImages({PlainDisk("plain.img").Spec()});
  ObjectDetailsSource details(*copy, registry);
  // The catalogue's name "Typ 131" only repeats the type: it is left out.
  EXPECT_EQ(Labels(details), (std::vector<std::string>{
                                 "Typ 7  976.50 kB  NTFS  Nr. 1  FAT12 'ALTDATEN'",
                                 "Typ 15  3.94 MB  Erweitert+BIOS  Nr. 2",
                                 "  Typ 6  1008.00 kB  FAT16  Nr. 5",
                                 "  Typ 131  1.97 MB  Nr. 6  FAT12 'LAUFWERK'",
                                 "  1008.00 kB frei",
                                 "9.84 MB frei",
                             }));
  const CHardDisk& disk = *copy->Find(0);
  const ObjectDetails drive = details.Of(*copy->Find(0), LevelKind::Logical, *disk.logical.Used()[1]);
  EXPECT_EQ(drive, (ObjectDetails{"", 6u, "Nr. 6", FileSystemKind::Fat12, "LAUFWERK"}));
  // A drive made in the working copy takes the next number; the type name follows the catalogue.
  PutCatalogue({{131, "Linux"}});
  EXPECT_EQ(Labels(details)[3], "  Typ 131  1.97 MB  Linux  Nr. 6  FAT12 'LAUFWERK'");
}

TEST_F(ObjectDetailsTest, VolumesAreReadOncePerLoadAndAgainAfterAReloadOrASave) {
  ImageBuilder image = PlainDisk("plain.img");
  LoadImages({image.Spec()});
  ObjectDetailsSource details(*copy, registry);
  ASSERT_EQ(Labels(details)[0], "Typ 7  976.50 kB  NTFS  Nr. 1  FAT12 'ALTDATEN'");
  const auto readingTime = details.ReadingTime();

  // A label written behind the working copy's back is not seen while the disk is only edited:
  // the tree is rebuilt without reading the disk again.
  PutLabel(image, 63, 2016 - 63, "NEU        ");
  copy->Find(0)->MarkModified();
  EXPECT_EQ(Labels(details)[0], "Typ 7  976.50 kB  NTFS  Nr. 1  FAT12 'ALTDATEN'");
  EXPECT_EQ(details.ReadingTime(), readingTime);

  // After a save (which may write boot sectors) and after a reload it is read anew.
  copy->Find(0)->MarkSaved();
  EXPECT_EQ(Labels(details)[0], "Typ 7  976.50 kB  NTFS  Nr. 1  FAT12 'NEU'");
  PutLabel(image, 63, 2016 - 63, "WIEDER     ");
  ASSERT_TRUE(copy->ReloadDisk(0));
  EXPECT_EQ(Labels(details)[0], "Typ 7  976.50 kB  NTFS  Nr. 1  FAT12 'WIEDER'");
  PutLabel(image, 63, 2016 - 63, "GANZ NEU   ");
  copy->LoadAll();
  EXPECT_EQ(Labels(details)[0], "Typ 7  976.50 kB  NTFS  Nr. 1  FAT12 'GANZ NEU'");
  PutLabel(image, 63, 2016 - 63, "VERGESSEN  ");
  details.Forget(0);
  EXPECT_EQ(Labels(details)[0], "Typ 7  976.50 kB  NTFS  Nr. 1  FAT12 'VERGESSEN'");
}

// A block device: the partitions carry the kernel's names, as sysfs lists them, matched by the
// sector where their data begins; a partition made since the kernel read the table has none.
TEST_F(ObjectDetailsTest, ABlockDeviceShowsTheKernelsPartitionNames) {
  const ImageBuilder image = PlainDisk("sdz");
  const std::filesystem::path sys = dir.File("sys");
  for (const auto& [name, start] : std::vector<std::pair<std::string, std::uint32_t>>{
           {"sdz1", 63}, {"sdz2", 2016}, {"sdz5", 2079}, {"sdz6", 4095}}) {
    test::WriteText(sys / "block/sdz" / name / "partition", name.substr(3));
    test::WriteText(sys / "block/sdz" / name / "start", std::to_string(start));
  }
  Load({DeviceEntry{image.path(), image.path(), false, 16, 63}});
  ASSERT_NE(copy->Find(0), nullptr);
  ObjectDetailsSource details(*copy, registry, sys.string());
  EXPECT_EQ(Labels(details), (std::vector<std::string>{
                                 "Typ 7  976.50 kB  NTFS  sdz1  FAT12 'ALTDATEN'",
                                 "Typ 15  3.94 MB  Erweitert+BIOS  sdz2",
                                 "  Typ 6  1008.00 kB  FAT16  sdz5",
                                 "  Typ 131  1.97 MB  sdz6  FAT12 'LAUFWERK'",
                                 "  1008.00 kB frei",
                                 "9.84 MB frei",
                             }));
  CHardDisk& disk = *copy->Find(0);
  EXPECT_EQ(details.Of(disk, LevelKind::Primary, *disk.primary.Used()[0]).number, 1u);
  CPartition& made = *disk.primary.Used()[0];
  made.isNew = true;
  EXPECT_EQ(details.Of(disk, LevelKind::Primary, made).partitionName, "");
}

// Menu entries live in the engine's table, not in sector 0: they have no number; a table
// partition keeps the entry it is written to.
TEST_F(ObjectDetailsTest, BootMenuEntriesHaveNoNumber) {
  LoadImages({MakeEngineDisk("engine.img", {.menu = {0, 1}, .table = {{2, 0}}})});
  ObjectDetailsSource details(*copy, registry);
  CHardDisk& disk = *copy->Find(0);
  ASSERT_TRUE(disk.EngineInstalled());
  const auto at = [&](std::uint32_t start) { return disk.primary.FindFirst([&](const CPartition& p) { return p.start == start; }); };
  const CPartition& entry = *at(PartStart(0));
  const CPartition& table = *at(PartStart(2));
  EXPECT_EQ(details.Of(disk, LevelKind::Primary, entry).number, std::nullopt);
  EXPECT_EQ(details.Of(disk, LevelKind::Primary, entry).typeName, "NTFS");
  EXPECT_EQ(details.Of(disk, LevelKind::Primary, table).number, 1u);
}

TEST(KernelPartitionsTest, AreFoundThroughTheDevicesLinkAndNameTheirNumberAndStart) {
  test::TempDir dir;
  const std::filesystem::path sys = dir.File("sys");
  test::WriteText(sys / "block/nvme0n1/nvme0n1p5/partition", "5");
  test::WriteText(sys / "block/nvme0n1/nvme0n1p5/start", "4096");
  test::WriteText(sys / "block/nvme0n1/nvme0n1p5/size", "2048");
  test::WriteText(sys / "block/nvme0n1/queue/rotational", "0");  // no partition
  test::WriteText(dir.File("dev/nvme0n1"), "");
  std::filesystem::create_directories(dir.File("by-id"));
  std::filesystem::create_symlink(dir.File("dev/nvme0n1"), dir.File("by-id/nvme-Festplatte"));
  const auto partitions = KernelPartitionsOf(dir.File("by-id/nvme-Festplatte"), sys.string());
  ASSERT_EQ(partitions.size(), 1u);
  EXPECT_EQ(partitions[0], (KernelPartition{"nvme0n1p5", 5, 4096, 2048, ""}));
  EXPECT_TRUE(KernelPartitionsOf(dir.File("dev/sdq"), sys.string()).empty());
}

}  // namespace
}  // namespace korvex
