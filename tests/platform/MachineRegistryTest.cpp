// The synthesized HKEY_LOCAL_MACHINE: the SCSI device map of the device list and the computer
// name, read-only.
#include "platform/MachineRegistry.h"
#include "platform/RegistryStore.h"
#include "platform/RegTestSupport.h"

namespace korvex {
namespace {

constexpr RegRoot kMachine = RegRoot::LocalMachine;

DeviceEntry Image(const std::string& path) {
  DeviceEntry entry;
  entry.path = path;
  entry.spec = path;
  return entry;
}

DeviceEntry BlockDevice(const std::string& name) {
  DeviceEntry entry;
  entry.path = "/dev/" + name;
  entry.spec = entry.path;
  entry.isImage = false;
  return entry;
}

class MachineRegistryTest : public ::testing::Test {
 protected:
  std::unique_ptr<RegistryStore> Open(const DeviceList& devices, const std::string& computerName) {
    std::string error;
    auto store = OpenRegistryStore(dir_.path() / "user.reg", devices, computerName, error, sysfs_);
    if (!store) ADD_FAILURE() << error;
    return store;
  }

  // The logical units of the device map in enumeration order, as "Type|Identifier".
  static std::vector<std::string> Units(const RegistryStore& store) {
    std::vector<std::string> units;
    for (const auto& port : store.EnumKeys(kMachine, kScsiDeviceMapKey)) {
      const std::string portKey = std::string(kScsiDeviceMapKey) + "\\" + port;
      for (const auto& bus : store.EnumKeys(kMachine, portKey)) {
        for (const auto& target : store.EnumKeys(kMachine, portKey + "\\" + bus)) {
          const std::string targetKey = portKey + "\\" + bus + "\\" + target;
          for (const auto& unit : store.EnumKeys(kMachine, targetKey)) {
            const std::string unitKey = targetKey + "\\" + unit;
            units.push_back(store.ReadString(kMachine, unitKey, "Type").value_or("?") + "|" +
                            store.ReadString(kMachine, unitKey, "Identifier").value_or("?"));
          }
        }
      }
    }
    return units;
  }

  void WriteAttribute(const std::string& device, const std::string& name, const std::string& text) {
    test::WriteBytes(sysfs_ / device / "device" / name, text);
  }

  test::ScratchDir dir_;
  std::filesystem::path sysfs_ = dir_.path() / "sys" / "block";
};

TEST_F(MachineRegistryTest, ImagesBecomeDisksInDeviceOrder) {
  auto store = Open(DeviceList({Image("/srv/images/disk1.img"), Image("rel/zweite Platte.img"), Image("c.img")}),
                    "werkbank");
  ASSERT_TRUE(store);
  EXPECT_EQ((std::vector<std::string>{"Scsi Port 0", "Scsi Port 1", "Scsi Port 2"}),
            store->EnumKeys(kMachine, "hardware\\devicemap\\scsi"));
  EXPECT_EQ((std::vector<std::string>{"DiskPeripheral|Image disk1.img 1.0",
                                      "DiskPeripheral|Image zweite Platte.img 1.0",
                                      "DiskPeripheral|Image c.img 1.0"}),
            Units(*store));
  EXPECT_TRUE(store->KeyExists(kMachine,
                               "HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port 1\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0"));
  EXPECT_EQ("werkbank", RegReadString(*store, kMachine, "System\\CurrentControlSet\\Control\\Computername\\Computername",
                                      "ComputerName", "unbekannt"));
}

TEST_F(MachineRegistryTest, BlockDevicesTakeTheirNamesFromSysfs) {
  WriteAttribute("sda", "vendor", "ATA     \n");
  WriteAttribute("sda", "model", "Samsung SSD 860 \n");
  WriteAttribute("sda", "rev", "4B6Q\n");
  WriteAttribute("nvme0n1", "model", "WD Blue SN570 1TB                       \n");  // no vendor file
  WriteAttribute("nvme0n1", "firmware_rev", "234110WD\n");
  WriteAttribute("vda", "vendor", "0x1af4\n");  // virtio: a numeric id, no model, no revision
  WriteAttribute("sdb", "vendor", "Generic\n");
  WriteAttribute("sdb", "model", "Flash Disk\n");
  WriteAttribute("sdb", "rev", "8.07 beta\n");  // a revision with a blank stays one field
  auto store = Open(DeviceList({BlockDevice("sda"), BlockDevice("nvme0n1"), BlockDevice("vda"), BlockDevice("sdb"),
                                BlockDevice("sdz")}),
                    "");
  ASSERT_TRUE(store);
  EXPECT_EQ((std::vector<std::string>{"DiskPeripheral|ATA Samsung SSD 860 4B6Q",
                                      "DiskPeripheral|WD Blue SN570 1TB 234110WD", "DiskPeripheral|vda -",
                                      "DiskPeripheral|Generic Flash Disk 8.07_beta", "DiskPeripheral|sdz -"}),
            Units(*store));
  EXPECT_FALSE(store->KeyExists(kMachine, kComputerNameKey));  // no name, no value to read
}

TEST_F(MachineRegistryTest, LongImageNamesAreShortenedToFitTheReaderBuffer) {
  // 6 bytes "Image ", 4 bytes " 1.0": 117 bytes remain for the name, and the 117th would be
  // the first byte of "ä", so the cut falls before it instead of splitting it.
  const std::string longName = std::string(116, 'a') + "äöü.img";
  EXPECT_EQ("Image " + std::string(116, 'a') + " 1.0", ScsiIdentifier(Image("/x/" + longName), sysfs_));
  const std::string shortName = std::string(117, 'a');
  EXPECT_EQ(kMaxScsiIdentifierBytes, ScsiIdentifier(Image(shortName), sysfs_).size());
}

TEST_F(MachineRegistryTest, MachinePartRefusesEveryWrite) {
  auto store = Open(DeviceList({Image("disk.img")}), "werkbank");
  ASSERT_TRUE(store);
  const std::string unit = "HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port 0\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0";
  EXPECT_EQ(0, RegWriteString(*store, kMachine, unit, "Type", "Anderes"));
  EXPECT_EQ(0, RegWriteDword(*store, kMachine, unit, "Zahl", 1));
  EXPECT_FALSE(store->CreateKey(kMachine, "SOFTWARE\\Neu"));
  EXPECT_FALSE(store->DeleteValue(kMachine, unit, "Type"));
  EXPECT_FALSE(store->DeleteKey(kMachine, kScsiDeviceMapKey));
  EXPECT_EQ("DiskPeripheral", store->ReadString(kMachine, unit, "Type"));
  EXPECT_FALSE(store->KeyExists(kMachine, "SOFTWARE\\Neu"));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "user.reg"));  // nothing went to the user hive
  EXPECT_FALSE(store->KeyExists(RegRoot::CurrentUser, "HARDWARE"));
}

}  // namespace
}  // namespace korvex
