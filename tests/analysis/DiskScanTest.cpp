// The search over whole disk images: every sector tested, hits in disk order across cylinder
// boundaries, the partial last cylinder, unreadable sectors, cancelling and starting again, and
// what the front end hears while it runs.
#include "analysis/DiskScan.h"

#include <gtest/gtest.h>

#include "analysis/VolumeSectors.h"
#include "demo/ImageBuilder.h"
#include "platform/FileDevice.h"
#include "platform/OsIdentity.h"
#include "support/FaultyTransport.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

using test::ExtGeneration;

// 16 heads of 63 sectors: 1008 sectors a cylinder.
constexpr std::uint32_t kCylinder = 16 * 63;

struct RecordingProgress final : IProgressSink {
  void SetRange(std::uint64_t r) override { range = r; }
  void SetPosition(std::uint64_t p) override { position = p; }
  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  void SetEstimate(const TimeEstimate&) override {}
  std::uint64_t range = 0;
  std::uint64_t position = 0;
  std::vector<std::string> statuses;
};

class DiskScanTest : public ::testing::Test {
 protected:
  ImageBuilder& MakeImage(std::uint32_t cylinders, std::uint32_t extraSectors = 0) {
    std::string error;
    image.emplace(*ImageBuilder::Create(dir.File("disk.img"), cylinders, 16, 63, error, extraSectors));
    return *image;
  }
  void Put(std::uint32_t lba, const SectorBytes& bytes) { ASSERT_TRUE(image->WriteSector(lba, bytes)); }
  // The image as a drive, reached through a transport that fails the reads of chosen sectors.
  std::unique_ptr<CPhysicalDrive> Drive(std::set<std::uint64_t> unreadable = {}) {
    std::string error;
    auto transport = std::make_unique<test::FaultyTransport>(OpenFileDevice(*ParseDeviceSpec(image->Spec(), error)));
    transport->unreadableSectors = std::move(unreadable);
    return std::make_unique<CPhysicalDrive>(0, std::move(transport), OsVersion{});
  }
  std::vector<std::uint64_t> Sectors(const ScanResults& results) {
    std::vector<std::uint64_t> sectors;
    for (const ScanHit& hit : results.hits) sectors.push_back(hit.sector);
    return sectors;
  }

  test::TempDir dir;
  std::optional<ImageBuilder> image;
  StopFlag stop;
};

SectorBytes Signed(std::uint8_t first) {
  SectorBytes s{};
  s[0] = first;
  s[510] = 0x55, s[511] = 0xAA;
  return s;
}

TEST_F(DiskScanTest, EverySectorTestedAndHitsReportedInDiskOrderAcrossCylinders) {
  MakeImage(20);
  Put(0, Signed(0xFA));
  Put(63, test::FatBootSector(4000, 4));
  ASSERT_TRUE(image->AddBootSector(4100, "KORVEX"));  // EBh without a parameter block
  Put(5001, Signed(0xE9));                             // in the middle of a track
  // A swap area from 2010 whose signature lies in the next cylinder (2017): its hit must come
  // before the one at 2013 although that one was found first.
  Put(2012, test::SwapHeader(99));
  Put(2013, Signed(0x00));
  Put(2017, test::SwapSignature());
  Put(8002, test::ExtSuperblock(100, ExtGeneration::Ext4));
  Put(8001, Signed(0x33));

  auto drive = Drive();
  ScanResults results;
  RecordingProgress progress;
  std::vector<std::uint64_t> announced;
  const auto outcome = ScanDisk(*drive, results, progress, stop, [&](const ScanHit& hit) { announced.push_back(hit.sector); });
  EXPECT_EQ(outcome.end, WorkEnd::Done);
  EXPECT_EQ(outcome.text, "");
  EXPECT_EQ(Sectors(results), (std::vector<std::uint64_t>{0, 63, 2010, 2013, 4100, 5001, 8000, 8001}));
  EXPECT_EQ(announced, Sectors(results));
  std::vector<HitKind> kinds;
  for (const ScanHit& hit : results.hits) kinds.push_back(hit.kind);
  using enum HitKind;
  EXPECT_EQ(kinds, (std::vector<HitKind>{PartitionTable, FileSystem, FileSystem, OtherSignature, BootSector,
                                         OtherSignature, FileSystem, OtherSignature}));
  EXPECT_EQ(results.hits[2].range, (VolumeRange{2010, 800}));
  EXPECT_TRUE(results.unreadable.empty());

  EXPECT_EQ(progress.range, 20u * kCylinder);
  EXPECT_EQ(progress.position, 20u * kCylinder);
  ASSERT_FALSE(progress.statuses.empty());
  EXPECT_EQ(progress.statuses.front(), "Lese ab Sektor 0");
  EXPECT_EQ(std::count(progress.statuses.begin(), progress.statuses.end(), "Lese ab Sektor 19152"), 1);
  EXPECT_EQ(std::count(progress.statuses.begin(), progress.statuses.end(), "Treffer"), 8);
  EXPECT_EQ(progress.statuses.back(), "Suche beendet");
}

TEST_F(DiskScanTest, TestingTheSectorsWhereTheyLieFindsWhatReadingCopiesFinds) {
  MakeImage(20, 300);
  Put(0, Signed(0xFA));
  Put(1007, Signed(0xEB));  // the last sector of a cylinder
  Put(1008, Signed(0x00));  // the first of the next
  Put(2012, test::SwapHeader(99));
  Put(2017, test::SwapSignature());  // its header lies in the cylinder before
  Put(3026, test::ExtSuperblock(100, ExtGeneration::Ext4));  // the volume begins in the cylinder before
  Put(20 * kCylinder + 299, Signed(0xEB));  // the last sector of the medium
  // The file device shows the medium in memory; the faulty transport around it only copies.
  std::string error;
  CPhysicalDrive inPlace(0, OpenFileDevice(*ParseDeviceSpec(image->Spec(), error)), OsVersion{});
  ASSERT_NE(inPlace.Transport()->ViewForReading(), nullptr);
  ASSERT_EQ(Drive()->Transport()->ViewForReading(), nullptr);
  ScanResults viewed;
  ScanResults copied;
  RecordingProgress progress;
  ASSERT_TRUE(ScanDisk(inPlace, viewed, progress, stop, nullptr).Succeeded());
  ASSERT_TRUE(ScanDisk(*Drive(), copied, progress, stop, nullptr).Succeeded());
  EXPECT_EQ(Sectors(viewed), (std::vector<std::uint64_t>{0, 1007, 1008, 2010, 3024, 20 * kCylinder + 299}));
  EXPECT_EQ(viewed.hits, copied.hits);
}

TEST_F(DiskScanTest, ThePartialCylinderAtTheEndOfTheMediumIsSearchedToo) {
  MakeImage(20, 700);  // 700 sectors after the last whole cylinder
  const std::uint32_t tail = 20 * kCylinder;
  Put(tail + 100, test::FatBootSector(600, 4));
  Put(tail + 699, Signed(0xEB));
  auto drive = Drive();
  ScanResults results;
  RecordingProgress progress;
  EXPECT_TRUE(ScanDisk(*drive, results, progress, stop, nullptr).Succeeded());
  EXPECT_EQ(results.searchedSectors, tail + 700);
  ASSERT_EQ(Sectors(results), (std::vector<std::uint64_t>{tail + 100, tail + 699}));
  EXPECT_EQ(results.hits[0].range, (VolumeRange{tail + 100, 600}));
}

TEST_F(DiskScanTest, UnreadableSectorsAreSkippedAndListedAndNeverHoldOlderBytes) {
  MakeImage(6);
  Put(100, Signed(0xFA));
  Put(kCylinder + 300, Signed(0xEB));
  Put(2 * kCylinder + 50, Signed(0xEB));
  // Unreadable sectors where the cylinder before had a hit: bytes left over from that cylinder
  // would give false hits at kCylinder + 100 and 3 * kCylinder + 50.
  std::set<std::uint64_t> unreadable = {kCylinder + 99, kCylinder + 100, kCylinder + 101};
  for (std::uint64_t s = 3 * kCylinder; s <= 4 * kCylinder; ++s) unreadable.insert(s);  // a cylinder and one more
  Put(4 * kCylinder + 1, test::SwapSignature());  // its header sector lies in the unreadable run
  Put(5 * kCylinder + 2, Signed(0x00));
  auto drive = Drive(unreadable);
  ScanResults results;
  RecordingProgress progress;
  const auto outcome = ScanDisk(*drive, results, progress, stop, nullptr);
  EXPECT_EQ(outcome.end, WorkEnd::Done);
  EXPECT_EQ(outcome.icon, PromptIcon::Exclamation);
  EXPECT_NE(outcome.text.find("Nicht lesbare Sektoren: 1012."), std::string::npos) << outcome.text;
  EXPECT_EQ(Sectors(results), (std::vector<std::uint64_t>{100, kCylinder + 300, 2 * kCylinder + 50, 5 * kCylinder + 2}));
  EXPECT_EQ(results.unreadable, (std::vector<SectorRun>{{kCylinder + 99, 3}, {3 * kCylinder, kCylinder + 1}}));
}

TEST_F(DiskScanTest, ACancelledSearchKeepsItsHitsAndANewRunStartsANewList) {
  MakeImage(12);
  for (std::uint32_t c : {0u, 4u, 8u, 11u}) Put(c * kCylinder + 10, Signed(0xEB));
  auto drive = Drive();
  RecordingProgress progress;
  ScanResults complete;
  ASSERT_TRUE(ScanDisk(*drive, complete, progress, stop, nullptr).Succeeded());
  ASSERT_EQ(complete.hits.size(), 4u);

  ScanResults results;
  const auto cancelled = ScanDisk(*drive, results, progress, stop, [&](const ScanHit&) { stop.Request(); });
  EXPECT_EQ(cancelled.end, WorkEnd::Cancelled);
  EXPECT_EQ(cancelled.text, "");
  ASSERT_FALSE(results.hits.empty());
  EXPECT_LT(results.hits.size(), complete.hits.size());
  EXPECT_EQ(results.hits.front(), complete.hits.front());

  stop.Reset();
  EXPECT_TRUE(ScanDisk(*drive, results, progress, stop, nullptr).Succeeded());
  EXPECT_EQ(results.hits, complete.hits);
}

TEST_F(DiskScanTest, ACompleteSearchProposesTheLostExtendedPartitionAndACancelledOneDoesNot) {
  MakeImage(12);
  // The chain of two drives at 2016 without a partition table pointing at it.
  ASSERT_TRUE(image->AddExtended(1, 0x05, 2016, 10080, {{2016, 2079, 3000, 0x06}, {5079, 5142, 4000, 0x0B}}));
  Put(0, SectorBytes{});
  auto drive = Drive();
  ScanResults results;
  RecordingProgress progress;
  ASSERT_TRUE(ScanDisk(*drive, results, progress, stop, nullptr).Succeeded());
  ASSERT_EQ(results.extended.size(), 1u);
  EXPECT_EQ(results.extended[0].range, (VolumeRange{2016, 12 * kCylinder - 2016}));
  EXPECT_EQ(results.extended[0].drives.size(), 2u);

  const auto cancelled = ScanDisk(*drive, results, progress, stop, [&](const ScanHit&) { stop.Request(); });
  EXPECT_EQ(cancelled.end, WorkEnd::Cancelled);
  EXPECT_TRUE(results.extended.empty());
  EXPECT_EQ(progress.statuses.back(), "Suche abgebrochen");
}

TEST_F(DiskScanTest, ADriveThatCannotBeReadFailsWithoutSearching) {
  CPhysicalDrive closed;
  ScanResults results;
  RecordingProgress progress;
  const auto outcome = ScanDisk(closed, results, progress, stop, nullptr);
  EXPECT_EQ(outcome.end, WorkEnd::Failed);
  EXPECT_FALSE(outcome.text.empty());
  EXPECT_TRUE(progress.statuses.empty());
}

}  // namespace
}  // namespace korvex
