// The 1 MiB layout of new partitions: data on multiples of 2048 sectors, a logical drive's
// record 2048 sectors before its data, a part's end before the next boundary; and the default
// alignment, which follows the disk's layout.
#include <gtest/gtest.h>

#include "partition/PartitionEditing.h"
#include "platform/Texts.h"
#include "support/EditingFixture.h"

namespace korvex {
namespace {

using test::Obj;
using test::Objects;
constexpr auto Free = PartitionState::Free;
constexpr auto NewTable = PartitionState::NewTable;
constexpr std::uint32_t kMiB = 2048;
constexpr std::uint32_t kGiB = 1024 * kMiB;
// 1044 cylinders of 255 heads and 63 sectors: just under 8 GiB.
constexpr std::uint32_t kCylinders = 1044;
constexpr std::uint32_t kSectors = kCylinders * 255 * 63;

CreateRequest Part(float value, CreateUnit unit, std::uint8_t type = 0x83) {
  CreateRequest request;
  request.wholeSpace = false;
  request.value = value;
  request.unit = unit;
  request.type = type;
  return request;
}

CreateRequest WholeArea(std::uint8_t type) {
  CreateRequest request;
  request.type = type;
  return request;
}

class MiBAlignmentTest : public test::EditingTest {};

TEST_F(MiBAlignmentTest, TheDefaultFollowsTheLayoutOfTheDisk) {
  auto& img = MakeImage(100, 255);
  EXPECT_EQ(DefaultAlignment(*Open()), CreateAlignment::MiB) << "a blank disk";
  ASSERT_TRUE(img.AddExtended(0, 0x05, kMiB, 100 * kMiB, {{kMiB, 2 * kMiB, 10 * kMiB, 0x83}}));
  ASSERT_TRUE(img.AddPrimary(1, 0x07, 200 * kMiB, 10 * kMiB));
  EXPECT_EQ(DefaultAlignment(*Open()), CreateAlignment::MiB) << "as sfdisk lays disks out";
  // A logical drive whose data lies one track after its record: the classic layout.
  ASSERT_TRUE(img.AddExtended(0, 0x05, kMiB, 100 * kMiB, {{kMiB, kMiB + 63, 10 * kMiB, 0x83}}));
  EXPECT_EQ(DefaultAlignment(*Open()), CreateAlignment::Cylinder);
  ASSERT_TRUE(img.AddExtended(0, 0x05, kMiB, 100 * kMiB, {}));
  ASSERT_TRUE(img.AddPrimary(2, 0x06, 63, 1000));
  EXPECT_EQ(DefaultAlignment(*Open()), CreateAlignment::Cylinder) << "a partition at sector 63";
}

TEST_F(MiBAlignmentTest, PrimaryExtendedAndTwoLogicalDrivesOnABlankDiskWithTheDefault) {
  MakeImage(kCylinders, 255);
  auto disk = Open();
  WorkingCopy& copy = disk.copy();
  ASSERT_TRUE(CreatePartition(copy, disk.Ref(At(disk->primary, 0)), Part(1, CreateUnit::GByte, 0x07), prompt));
  // Key assertion: the first partition begins at 2048, not 63, and ends on a boundary.
  EXPECT_EQ(Objects(disk->primary),
            (std::vector<Obj>{{Free, 0, kMiB}, {NewTable, kMiB, kGiB}, {Free, kMiB + kGiB, kSectors - kMiB - kGiB}}));

  ASSERT_TRUE(CreatePartition(copy, disk.Ref(At(disk->primary, kMiB + kGiB)), Part(4, CreateUnit::GByte, 0x05), prompt));
  const std::uint32_t ext = kMiB + kGiB;
  EXPECT_EQ(At(disk->primary, ext).length, 4 * kGiB);

  // A part of 1 GByte is a drive of 1 GiB of data, its record 2048 sectors before it.
  ASSERT_TRUE(CreatePartition(copy, disk.Ref(At(disk->logical, ext)), Part(1, CreateUnit::GByte), prompt));
  const CPartition& first = At(disk->logical, ext);
  EXPECT_EQ(first.dataOffset, kMiB);
  EXPECT_EQ(first.DataStart(), ext + kMiB);
  EXPECT_EQ(first.DataLength(), kGiB);
  // The rest of the extended partition: again a record on a boundary and the data 1 MiB later.
  const std::uint32_t second = ext + kMiB + kGiB;
  ASSERT_TRUE(CreatePartition(copy, disk.Ref(At(disk->logical, second)), WholeArea(0x07), prompt));
  EXPECT_EQ(At(disk->logical, second).DataStart(), second + kMiB);
  EXPECT_EQ(At(disk->logical, second).End(), ext + 4 * kGiB);

  // Read back as the next start reads it: every start where it was put.
  auto again = SaveAndReopen(*disk);
  const auto drives = again->logical.Used();
  ASSERT_EQ(drives.size(), 2u);
  EXPECT_EQ(drives[0]->start, ext);
  EXPECT_EQ(drives[0]->dataOffset, kMiB);
  EXPECT_EQ(drives[1]->start, second);
  EXPECT_EQ(drives[1]->dataOffset, kMiB);
  EXPECT_EQ(DefaultAlignment(*again), CreateAlignment::MiB);
}

TEST_F(MiBAlignmentTest, APartEndsOnABoundaryRoundedUpOrAtTheEndOfTheAreaRoundedDown) {
  auto& img = MakeImage(100, 255);
  ASSERT_TRUE(img.AddPrimary(0, 0x83, kMiB, 10 * kMiB));
  ASSERT_TRUE(img.AddPrimary(1, 0x83, 20 * kMiB + 100, 10 * kMiB));  // not on a boundary: cylinder default
  auto disk = Open();
  ASSERT_EQ(DefaultAlignment(*disk), CreateAlignment::Cylinder);
  // The free area [11 MiB, 20 MiB + 100): 500 kByte round up to one MiB.
  CreateRequest small = Part(500, CreateUnit::KByte);
  small.alignment = CreateAlignment::MiB;
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(At(disk->primary, 11 * kMiB)), small, prompt)) << LastText();
  EXPECT_EQ(At(disk->primary, 11 * kMiB).length, kMiB);
  // 8.02 MByte from 12 MiB, rounded up, would pass the area's end: it ends at 20 MiB instead.
  CreateRequest large = Part(8.02f, CreateUnit::MByte);
  large.alignment = CreateAlignment::MiB;
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(At(disk->primary, 12 * kMiB)), large, prompt)) << LastText();
  EXPECT_EQ(At(disk->primary, 12 * kMiB).End(), 20 * kMiB);
  EXPECT_TRUE(At(disk->primary, 20 * kMiB).IsFree()) << "the 100 sectors before the next partition stay free";
}

TEST_F(MiBAlignmentTest, AnAreaThatDoesNotBeginOnABoundaryLeavesAFreePieceInFront) {
  auto& img = MakeImage(100, 255);
  ASSERT_TRUE(img.AddPrimary(0, 0x83, 63, 16065 - 63));  // the classic first partition
  ASSERT_TRUE(img.AddExtended(1, 0x05, 16065, 40 * kMiB, {}));
  auto disk = Open();
  CreateRequest whole = WholeArea(0x07);
  whole.alignment = CreateAlignment::MiB;
  // A logical drive in the unaligned extended partition: its record on the first boundary.
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(At(disk->logical, 16065)), whole, prompt)) << LastText();
  const std::uint32_t record = 8 * kMiB;  // 16065 rounded up to a multiple of 2048 is 16384
  EXPECT_EQ(Objects(disk->logical), (std::vector<Obj>{{Free, 16065, record - 16065},
                                                       {NewTable, record, 16065 + 40 * kMiB - record}}));
  EXPECT_EQ(At(disk->logical, record).DataStart(), record + kMiB);
}

TEST_F(MiBAlignmentTest, TheGapInFrontOfTheFirstMiBHoldsNoPartitionOnADiskLaidOutThatWay) {
  ASSERT_TRUE(MakeImage(100, 255).AddPrimary(0, 0x83, kMiB, 10 * kMiB));
  auto disk = Open();
  const CPartition& gap = At(disk->primary, 63);
  ASSERT_TRUE(gap.IsFree());
  EXPECT_EQ(CreateRefusal(*disk, gap, false), std::string(text::kPartitionTooSmall));
  EXPECT_FALSE(CreatePartition(disk.copy(), disk.Ref(gap), WholeArea(0x06), prompt));
  EXPECT_EQ(LastText(), text::kPartitionTooSmall);
  EXPECT_FALSE(disk->IsModified());
  // In the classic layout the gap takes a partition from sector 63.
  CreateRequest classic = WholeArea(0x06);
  classic.alignment = CreateAlignment::Sector;
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(gap), classic, prompt)) << LastText();
  EXPECT_EQ(At(disk->primary, 63).length, kMiB - 63);
}

}  // namespace
}  // namespace korvex
