// The reads of a search when a run of sectors fails: each sector on its own, except through the
// sector helper, where one failed retry gives up the rest of the run (every retry starts the
// helper once more, and a failing helper would be started once per sector of the disk).
#include "analysis/DriveSectors.h"

#include <gtest/gtest.h>

#include "demo/ImageBuilder.h"
#include "platform/FileDevice.h"
#include "platform/OsIdentity.h"
#include "support/FaultyTransport.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

constexpr std::uint32_t kCylinder = 16 * 63;

class DriveSectorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    image.emplace(*ImageBuilder::Create(dir.File("disk.img"), 4, 16, 63, error));
    auto transport = std::make_unique<test::FaultyTransport>(OpenFileDevice(*ParseDeviceSpec(image->Spec(), error)));
    faulty = transport.get();
    drive = std::make_unique<CPhysicalDrive>(0, std::move(transport), OsVersion{});
    SectorBytes marked{};
    marked.fill(0x5A);
    for (std::uint32_t s = kCylinder; s < 2 * kCylinder; ++s) ASSERT_TRUE(image->WriteSector(s, marked));
  }
  // Reads the second cylinder; the unreadable runs it lists.
  std::vector<SectorRun> ReadSecondCylinder(std::vector<std::uint8_t>& buffer) {
    DriveSectors sectors(*drive, 4 * kCylinder);
    std::vector<SectorRun> unreadable;
    faulty->readsDone = 0;
    sectors.ReadRun(kCylinder, kCylinder, buffer, unreadable);
    return unreadable;
  }

  test::TempDir dir;
  std::optional<ImageBuilder> image;
  test::FaultyTransport* faulty = nullptr;
  std::unique_ptr<CPhysicalDrive> drive;
};

TEST_F(DriveSectorsTest, OnADiskEachSectorOfAFailedRunIsTriedOnItsOwn) {
  faulty->unreadableSectors = {kCylinder + 10, kCylinder + 11};
  std::vector<std::uint8_t> buffer(kCylinder * 512, 0xEE);
  EXPECT_EQ(ReadSecondCylinder(buffer), (std::vector<SectorRun>{{kCylinder + 10, 2}}));
  EXPECT_EQ(faulty->readsDone, 1 + static_cast<int>(kCylinder));
  EXPECT_EQ(buffer[12 * 512], 0x5A) << "the sectors after the bad ones are read";
  EXPECT_EQ(buffer[10 * 512], 0x00) << "an unreadable sector holds zeros, never older bytes";
}

TEST_F(DriveSectorsTest, ThroughTheSectorHelperTheFirstFailedRetryGivesUpTheRestOfTheRun) {
  faulty->startsPrograms = true;
  faulty->unreadableSectors = {kCylinder + 10};
  std::vector<std::uint8_t> buffer(kCylinder * 512, 0xEE);
  EXPECT_EQ(ReadSecondCylinder(buffer), (std::vector<SectorRun>{{kCylinder + 10, kCylinder - 10}}));
  EXPECT_EQ(faulty->readsDone, 1 + 11) << "the run, then sectors 0..10 on their own";
  EXPECT_EQ(buffer[9 * 512], 0x5A);
  EXPECT_EQ(std::count(buffer.begin() + 10 * 512, buffer.end(), 0), (kCylinder - 10) * 512);

  // A helper that fails every read costs two runs of the helper a cylinder.
  faulty->readsBeforeFailure = 0;
  EXPECT_EQ(ReadSecondCylinder(buffer), (std::vector<SectorRun>{{kCylinder, kCylinder}}));
  EXPECT_EQ(faulty->readsDone, 2);
}

}  // namespace
}  // namespace korvex
