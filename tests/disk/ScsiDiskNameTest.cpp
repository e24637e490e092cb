// Disk names from the SCSI device map.
#include <gtest/gtest.h>

#include "disk/ScsiDiskName.h"
#include "support/DiskFixtures.h"

namespace korvex {
namespace {

TEST(ScsiDiskNameTest, CountsOnlyDiskPeripheralsAndCutsTheRevisionField) {
  test::MemoryRegistry registry;
  registry.AddScsiUnit("Scsi Port 0\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0", "CdRomPeripheral", "ATAPI CD 1.0");
  registry.AddScsiUnit("Scsi Port 0\\Scsi Bus 0\\Target Id 1\\Logical Unit Id 0", "DiskPeripheral",
                       "IBM     DDRS-34560    S97B");
  registry.AddScsiUnit("Scsi Port 1\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0", "DiskPeripheralX", "Not counted 1");
  registry.AddScsiUnit("Scsi Port 1\\Scsi Bus 0\\Initiator Id 7\\Logical Unit Id 0", "DiskPeripheral", "Skipped 1");
  registry.AddScsiUnit("Scsi Port 2\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0", "DiskPeripheral", "COMPAQ  BD00962373 3B0");
  registry.AddScsiUnit("Scsi Port 3\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0", "DiskPeripheral", "NOBLANKS");

  EXPECT_EQ(ScsiDiskName(registry, 0), "IBM     DDRS-34560");
  EXPECT_EQ(ScsiDiskName(registry, 1), "SEAGATE  BD00962373");
  EXPECT_EQ(ScsiDiskName(registry, 2), "NOBLANKS");
  EXPECT_EQ(ScsiDiskName(registry, 3), std::nullopt);
}

TEST(ScsiDiskNameTest, NoDeviceMapMeansNoName) {
  test::MemoryRegistry registry;
  EXPECT_EQ(ScsiDiskName(registry, 0), std::nullopt);
}

}  // namespace
}  // namespace korvex
