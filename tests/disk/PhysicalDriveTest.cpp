// Sector transfers and address conversions of a physical drive.
#include <gtest/gtest.h>

#include "demo/ImageBuilder.h"
#include "disk/CPhysicalDrive.h"
#include "platform/FileDevice.h"
#include "support/FaultyTransport.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

// Counts transfers and can return short reads.
class CountingTransport final : public IDiskTransport {
 public:
  int reads = 0;
  int writes = 0;
  std::size_t shortRead = 0;  // bytes a read returns when non-zero
  bool IsOpen() const override { return true; }
  std::optional<DiskGeometry> QueryGeometry() override { return DiskGeometry{1000, 12, 16, 63, 512}; }
  std::uint64_t SizeBytes() const override { return 1000ull * 16 * 63 * 512; }
  std::int32_t Read(std::uint64_t, std::span<std::uint8_t> buffer) override {
    ++reads;
    const std::size_t n = shortRead ? shortRead : buffer.size();
    std::fill_n(buffer.begin(), n, std::uint8_t{0xAB});
    return static_cast<std::int32_t>(n);
  }
  std::int32_t Write(std::uint64_t, std::span<const std::uint8_t> buffer) override {
    ++writes;
    return static_cast<std::int32_t>(buffer.size());
  }
  bool Flush() override { return true; }
  TableReload RereadPartitionTable() override { return TableReload::NotNeeded; }
  std::string Describe() const override { return "counting"; }
};

struct Drive {
  CountingTransport* transport;
  std::unique_ptr<CPhysicalDrive> drive;
};

Drive MakeDrive() {
  auto transport = std::make_unique<CountingTransport>();
  auto* raw = transport.get();
  return {raw, std::make_unique<CPhysicalDrive>(3, std::move(transport), OsVersion{})};
}

TEST(PhysicalDriveTest, NameGeometryAndCapacity) {
  auto [transport, drive] = MakeDrive();
  EXPECT_EQ(drive->DeviceName(), "PHYSICALDRIVE3");
  EXPECT_TRUE(drive->IsUsable());
  EXPECT_EQ(drive->Capacity(), 1000ull * 16 * 63 * 512);
  EXPECT_EQ(drive->LastSector(), 1000u * 16 * 63 - 1);
  EXPECT_TRUE(drive->SameGeometry(DiskGeometry{1000, 12, 16, 63, 512}));
  EXPECT_FALSE(drive->SameGeometry(DiskGeometry{1000, 12, 16, 63, 4096}));
}

TEST(PhysicalDriveTest, TooSmallBuffersAreRefusedWithoutAnyTransfer) {
  auto [transport, drive] = MakeDrive();
  std::vector<std::uint8_t> buffer(1023);
  EXPECT_FALSE(drive->ReadSectors(0, 2, buffer));
  EXPECT_FALSE(drive->WriteSectors(0, 2, buffer));
  EXPECT_EQ(drive->Read(0, 1024, buffer), 0);
  EXPECT_EQ(transport->reads, 0);
  EXPECT_EQ(transport->writes, 0);
}

// A read that moves fewer bytes than asked is a read error: its zeros must never be taken for
// the sectors' contents (a boot sector whose rest reads as zeros would be written back so).
TEST(PhysicalDriveTest, AShortReadIsAReadErrorAndLeavesZerosBehindTheData) {
  auto [transport, drive] = MakeDrive();
  transport->shortRead = 100;
  std::vector<std::uint8_t> buffer(1024, 0x11);
  EXPECT_FALSE(drive->ReadSectors(5, 2, buffer));
  EXPECT_FALSE(drive->ReadChs(0, 0, 6, 2, buffer));
  EXPECT_EQ(buffer[99], 0xAB);
  EXPECT_EQ(buffer[100], 0x00);
  EXPECT_EQ(buffer[1023], 0x00);
  transport->shortRead = 0;
  EXPECT_TRUE(drive->ReadSectors(5, 2, buffer));
  EXPECT_TRUE(drive->ReadChs(0, 0, 6, 2, buffer));
}

TEST(PhysicalDriveTest, AddressConversions) {
  auto [transport, drive] = MakeDrive();
  const ChsAddress first = drive->LbaToChs(0);
  EXPECT_EQ(first.cylinder, 0);
  EXPECT_EQ(first.head, 0);
  EXPECT_EQ(first.sector, 1);
  EXPECT_EQ(drive->ChsToLba(0, 1, 1), 63u);
  EXPECT_EQ(drive->ChsToLba(0, 0, 1), 0u);
  const ChsAddress some = drive->LbaToChs(123456);
  EXPECT_EQ(drive->ChsToLba(some.cylinder, some.head, some.sector), 123456u);
  EXPECT_EQ(some.cylinder, 122);  // 123456 / 1008
}

TEST(PhysicalDriveTest, PackChsPutsCylinderBitsIntoTheSectorByte) {
  std::uint16_t cylinder = 1023;
  std::uint8_t sector = 63;
  CPhysicalDrive::PackChs(cylinder, sector);
  EXPECT_EQ(cylinder, 0xFF);
  EXPECT_EQ(sector, 0xFF);
  cylinder = 256;
  sector = 1;
  CPhysicalDrive::PackChs(cylinder, sector);
  EXPECT_EQ(cylinder, 0x00);
  EXPECT_EQ(sector, 0x41);
}

TEST(PhysicalDriveTest, ImageFilesNeverGrowAndPartialWritesFail) {
  test::TempDir dir;
  std::string error;
  auto image = ImageBuilder::Create(dir.File("d.img"), 10, 16, 63, error);
  ASSERT_TRUE(image) << error;
  const auto entry = ParseDeviceSpec(image->Spec(), error);
  CPhysicalDrive drive(0, OpenFileDevice(*entry), OsVersion{});
  std::vector<std::uint8_t> two(1024, 0x5A);
  const std::uint32_t last = 10 * 16 * 63 - 1;
  EXPECT_TRUE(drive.WriteSectors(last - 1, 2, two));
  EXPECT_FALSE(drive.WriteSectors(last, 2, two));  // would pass the end: nothing is written
  EXPECT_EQ(std::filesystem::file_size(image->path()), 10u * 16 * 63 * 512);
  EXPECT_EQ((*image->ReadSector(last))[0], 0x5A);
}

TEST(PhysicalDriveTest, ImageGeometryFollowsTheLbaAssistRuleOrTheGivenGeometry) {
  test::TempDir dir;
  std::string error;
  auto image = ImageBuilder::Create(dir.File("d.img"), 600, 32, 63, error);  // about 590 MiB
  ASSERT_TRUE(image) << error;
  CPhysicalDrive assisted(0, OpenFileDevice(*ParseDeviceSpec(image->path(), error)), OsVersion{});
  EXPECT_EQ(assisted.Heads(), 32u);
  EXPECT_EQ(assisted.SectorsPerTrack(), 63u);
  EXPECT_EQ(assisted.Cylinders(), 600);
  CPhysicalDrive given(0, OpenFileDevice(*ParseDeviceSpec(image->path() + "@255x63", error)), OsVersion{});
  EXPECT_EQ(given.Heads(), 255u);
  EXPECT_EQ(given.Cylinders(), 600 * 32 / 255);
  EXPECT_EQ(LbaAssistHeads(504ull << 20), 16u);
  EXPECT_EQ(LbaAssistHeads((504ull << 20) + 1), 32u);
  EXPECT_EQ(LbaAssistHeads(5000ull << 20), 255u);
}

TEST(PhysicalDriveTest, MissingFileIsNotUsable) {
  std::string error;
  CPhysicalDrive drive(0, OpenFileDevice(*ParseDeviceSpec("/nonexistent/disk.img", error)), OsVersion{});
  EXPECT_FALSE(drive.IsUsable());
  std::vector<std::uint8_t> buffer(512, 0x77);
  EXPECT_FALSE(drive.ReadSectors(0, 1, buffer) && buffer[0] != 0);
  EXPECT_EQ(buffer[0], 0);  // a failed read leaves zeros
}

}  // namespace
}  // namespace korvex
