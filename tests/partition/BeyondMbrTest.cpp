// Disks larger than a partition table can address (2^32 sectors and more, sparse images of
// 2 and 3 TiB): their true size, no free space from sector 2^32 on, and every run of sectors
// that reaches past sector 2^32 - 1 refused by the form, the check, creation, adoption and the
// save.
#include <gtest/gtest.h>

#include "partition/AdoptVolume.h"
#include "partition/PartitionEditing.h"
#include "partition/PositionChecks.h"
#include "partition/SectorRanges.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"
#include "support/EditingFixture.h"

namespace korvex {
namespace {

constexpr std::uint64_t k2To32 = std::uint64_t{1} << 32;
// 3 TiB at 255 heads and 63 sectors: 401 024 cylinders, more than 16 bits hold.
constexpr std::uint32_t kCylinders3TiB = 401024;
constexpr std::uint64_t kSectors3TiB = std::uint64_t{kCylinders3TiB} * 255 * 63;

TEST(SectorRangesTest, AddressableUpToSectorTwoToThe32MinusOne) {
  EXPECT_TRUE(MbrAddressable(0, k2To32));
  EXPECT_TRUE(MbrAddressable(k2To32 - 1, 1));
  EXPECT_FALSE(MbrAddressable(k2To32 - 1, 2));
  EXPECT_FALSE(MbrAddressable(k2To32, 1));
  EXPECT_TRUE(MbrAddressable(k2To32, 0));
  EXPECT_FALSE(MbrAddressable(UINT64_MAX, 2));  // no wrap
}

TEST(SectorRangesTest, RunsShareASectorWhenEitherReachesIntoOrHoldsTheOther) {
  EXPECT_TRUE(RunsShareSector(100, 10, 109, 5));    // the other begins on the last sector
  EXPECT_FALSE(RunsShareSector(100, 10, 110, 5));   // right behind
  EXPECT_TRUE(RunsShareSector(109, 5, 100, 10));
  EXPECT_FALSE(RunsShareSector(110, 5, 100, 10));
  EXPECT_TRUE(RunsShareSector(100, 100, 120, 10));  // wholly inside
  EXPECT_TRUE(RunsShareSector(120, 10, 100, 100));
  EXPECT_FALSE(RunsShareSector(100, 0, 100, 10));   // an empty run shares nothing
}

class BeyondMbrTest : public test::EditingTest {};

TEST_F(BeyondMbrTest, ThreeTebibytesKeepTheirSizeAndOfferFreeSpaceOnlyBelowTwoToThe32) {
  auto& img = MakeImage(kCylinders3TiB, 255);
  auto blank = Open();
  EXPECT_EQ(blank->LastSector(), kSectors3TiB - 1);
  EXPECT_EQ(blank->Capacity(), kSectors3TiB * 512);
  // No signature: one free area from sector 0, as far as a 32-bit length reaches.
  EXPECT_EQ(test::Objects(blank->primary), (std::vector<test::Obj>{{PartitionState::Free, 0, UINT32_MAX}}));

  ASSERT_TRUE(img.AddPrimary(0, 0x83, 2048, 1000000));
  auto disk = Open();
  CPartition& tail = At(disk->primary, 1002048);
  EXPECT_EQ(tail.End(), k2To32);
  // The whole free area makes a partition whose last sector is 2^32 - 1.
  CreateRequest whole;
  whole.alignment = CreateAlignment::Cylinder;  // the area as it is, from its first sector
  ASSERT_TRUE(CreatePartition(disk.copy(), disk.Ref(tail), whole, prompt)) << LastText();
  EXPECT_EQ(tail.End(), k2To32);
  EXPECT_EQ(disk->primary.Used().size(), 2u);
  EXPECT_EQ(disk->primary.size(), 3u) << "no free area past 2^32 - 1";
}

TEST_F(BeyondMbrTest, FormCheckAndAdoptionRefuseWhatReachesPastTheLastNamableSector) {
  MakeImage(kCylinders3TiB, 255);
  ASSERT_TRUE(image->AddPrimary(0, 0x83, 2048, 1000000));
  auto disk = Open();
  CPartition& p = At(disk->primary, 2048);

  // The CHS fields cannot follow so far either; the report lists their lines, too.
  PartitionForm form = FormFromObject(*disk, p);
  form.relativeStart = UINT32_MAX - 1000;
  form.length = 2000;
  RelativeToAbsolute(*disk, form);
  EXPECT_EQ(ApplyPartitionForm(disk.copy(), disk.Ref(p), form, prompt), FormApplyResult::Refused);
  EXPECT_NE(LastText().find(text::kNotAddressableLine), std::string::npos) << LastText();
  EXPECT_FALSE(disk->IsModified());

  p.start = UINT32_MAX - 1000;
  p.length = 2000;
  EXPECT_EQ(CheckPartition(disk->primary, p, nullptr, disk->UsableSectors()),
            std::string(text::kNotAddressableLine) +
                "Die Partition beginnt im Bereich der Partition, die beim relativen Sektor 1002048 beginnt\n");
  p.start = 2048;
  p.length = 1000000;

  prompt.shown.clear();
  EXPECT_EQ(AdoptVolume(*disk, FoundVolume{UINT32_MAX - 100, 200, 0x07}, prompt), nullptr);
  EXPECT_EQ(LastText(), StrFormat(text::kSpaceNotAddressable, static_cast<unsigned long long>(UINT32_MAX - 100)));
  EXPECT_FALSE(disk->IsModified());
}

// A logical drive whose record lies near 2^32 - 2048 and whose data begins past 2^32: its data
// start is not wrapped to a small sector number, and such a disk is never saved.
TEST_F(BeyondMbrTest, ALogicalDriveWhoseDataLiesPastTwoToThe32IsShownTrulyAndNotSaved) {
  auto& img = MakeImage(267400, 255);  // a little more than 2^32 sectors
  const std::uint32_t record = static_cast<std::uint32_t>(k2To32 - 2048);
  ASSERT_TRUE(img.AddExtended(0, 0x05, record, 2048 + 2111 + 300, {}));
  ASSERT_TRUE(img.SetEntry(record, 0, EntrySpec{0, 0x07, 2048 + 63, 300}, record));
  const auto sector0 = *img.ReadSector(0);
  auto disk = Open();
  ASSERT_EQ(disk->logical.Used().size(), 1u);
  const CPartition& drive = *disk->logical.Used()[0];
  EXPECT_EQ(drive.DataStart(), k2To32 + 63);
  EXPECT_EQ(CheckPartition(disk->logical, drive, disk->FindExtended(), disk->UsableSectors()),
            std::string(text::kNotAddressableLine));
  disk->MarkModified();
  EXPECT_FALSE(WriteDisk(*disk, prompt));
  EXPECT_EQ(LastText(), StrFormat(text::kNotAddressableRefused, "PHYSICALDRIVE0", record));
  EXPECT_EQ(*img.ReadSector(0), sector0);
}

TEST_F(BeyondMbrTest, AChainLinkPastTheLastSectorATableCanNameBreaksTheChain) {
  // An extended partition that reaches past 2^32 on a disk that does, too: its link points to
  // sector 2^32 + 2048, which a 32-bit walk would read as sector 2048.
  auto& img = MakeImage(267400, 255);
  const std::uint32_t start = static_cast<std::uint32_t>(k2To32 - 2048);
  ASSERT_TRUE(img.AddExtended(0, 0x05, start, 8192, {{start, start + 63, 100, 0x07}}));
  ASSERT_TRUE(img.SetEntry(start, 1, EntrySpec{0, 0x05, 4096, 1063}, start));
  auto disk = Open();
  ASSERT_EQ(prompt.Texts(), std::vector<std::string>{LoadResString(IDS_LOGICAL_CHAIN_BROKEN)});
  EXPECT_TRUE(disk->logicalChainBroken);
  // The one free area over the extended partition stops at 2^32 - 1.
  EXPECT_EQ(test::Objects(disk->logical), (std::vector<test::Obj>{{PartitionState::Free, start, 2048}}));
}

}  // namespace
}  // namespace korvex
