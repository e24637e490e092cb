// Where a restore may write, and that what it reports is what is on the disk: a target over
// sector 0, the boot engine's track, another partition or a logical drive's extended boot record
// (tables a damaged or hostile disk may hold) is refused before any write; the NTFS fix-up goes
// to the disk with its block, before the flush; a failed write or flush says what may already be
// overwritten.
#include "analysis/VolumeSectors.h"
#include "image/BlockCompression.h"
#include "image/ImageFixture.h"
#include "image/ImageFormat.h"
#include "image/ImageReading.h"
#include "image/ImageRestoreForm.h"
#include "platform/OnDiskFields.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

using test::Bytes;

class RestoreTargetTest : public test::ImageTest {
 protected:
  // A second disk of the fixture's geometry whose tables build lays out.
  template <typename Build>
  test::DiskInCopy OtherDisk(Build build) {
    std::string error;
    other.emplace(*ImageBuilder::Create(dir.File("other.img"), 80, test::kImgHeads, test::kImgSpt, error));
    build(*other);
    return test::OpenDisk(*other, prompt);
  }
  // Restores path onto the object at start of disk and expects a refusal that names what the
  // target range overlaps; the disk's file must be as it was.
  void ExpectRefused(CHardDisk& disk, std::uint32_t start, bool logical, const std::string& path,
                     const std::string& overlapped) {
    const Bytes before = test::ReadFile(other->path());
    const CPartition& entry = At(logical ? disk.logical : disk.primary, start);
    const SectorRange range = *ImagedRange(entry, logical);
    const std::string expected =
        StrFormat(text::kImageTargetOverlaps, static_cast<unsigned>(range.first), static_cast<unsigned>(range.End() - 1),
                  overlapped.c_str());
    const WorkOutcome outcome = Restore(disk, start, path, 2, logical);
    EXPECT_EQ(outcome.end, WorkEnd::Failed);
    EXPECT_EQ(outcome.text, expected);
    EXPECT_TRUE(test::ReadFile(other->path()) == before) << "the disk changed";
    // "Starten" refuses the same before the worker runs.
    prompt.shown.clear();
    EXPECT_FALSE(PrepareImageRestore({path, 0, true}, disk, entry, logical, prompt));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, expected);
  }

  std::optional<ImageBuilder> other;
};

TEST_F(RestoreTargetTest, ATargetOverSectorZeroOrTheEngineTrackIsRefused) {
  auto disk = Open();
  const std::string path = dir.File("p.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, path, true).end, WorkEnd::Done);

  auto atZero = OtherDisk([](ImageBuilder& b) { ASSERT_TRUE(b.AddPrimary(0, 0x0C, 0, test::kSourceLength)); });
  ExpectRefused(*atZero, 0, false, path, text::kImageTargetSectorZero);

  // A disk with the boot engine, whose table puts a partition into sectors 0..7.
  auto inTrack = OtherDisk([](ImageBuilder& b) { ASSERT_TRUE(b.AddPrimary(0, 0x0C, 4, test::kSourceLength)); });
  inTrack->engineArea[0] = 0xE9;
  inTrack->engineArea[1] = 0x69;
  ASSERT_TRUE(inTrack->EngineInstalled());
  ExpectRefused(*inTrack, 4, false, path, text::kImageTargetEngineTrack);
}

TEST_F(RestoreTargetTest, ATargetThatSharesSectorsWithAnotherPartitionOrALogicalDrivesRecordIsRefused) {
  auto disk = Open();
  const std::string primary = dir.File("p.pim");
  const std::string logical = dir.File("l.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, primary, true).end, WorkEnd::Done);
  ASSERT_EQ(Save(*disk, test::kLogical1, logical, true, std::nullopt, 2, true).end, WorkEnd::Done);

  // A partition inside the target, as a damaged table may nest them.
  auto nested = OtherDisk([](ImageBuilder& b) {
    ASSERT_TRUE(b.AddPrimary(0, 0x0C, 64, test::kSourceLength));
    ASSERT_TRUE(b.AddPrimary(1, 0x83, 128, 32));
  });
  ExpectRefused(*nested, 64, false, primary, StrFormat(text::kImageTargetPartition, 128u));

  // The next logical drive's record lies in this drive's data: restoring would cut the chain.
  auto chained = OtherDisk([](ImageBuilder& b) {
    ASSERT_TRUE(b.AddExtended(0, 0x05, 1000, 1000,
                              {{1000, 1000 + test::kDataOffset, test::kLogicalData, 0x07}, {1200, 1264, 100, 0x83}}));
  });
  ExpectRefused(*chained, 1000, true, logical, StrFormat(text::kImageTargetLogical, 1200u));
}

TEST_F(RestoreTargetTest, AnExtendedPartitionIsNoTargetWhileItHoldsLogicalDrives) {
  auto disk = Open();
  const std::string path = dir.File("ext.pim");
  ASSERT_EQ(Save(*disk, test::kExtendedStart, path, false).end, WorkEnd::Done);
  const Bytes before = test::ReadFile(image->path());
  const WorkOutcome outcome = Restore(*disk, test::kExtendedStart, path);
  EXPECT_EQ(outcome.text, StrFormat(text::kImageTargetOverlaps, test::kExtendedStart, test::kExtendedStart + 1199,
                                    StrFormat(text::kImageTargetLogical, test::kLogical1).c_str()));
  EXPECT_TRUE(test::ReadFile(image->path()) == before);
}

// An NTFS boot sector whose hidden-sector field must change, written as the first sector of the
// source partition, with its copy in the volume's last sector.
class NtfsFixUpTest : public RestoreTargetTest {
 protected:
  void SetUp() override {
    RestoreTargetTest::SetUp();
    const SectorBytes ntfs = test::NtfsBootSector(test::kSourceLength);
    Bytes boot(ntfs.begin(), ntfs.end());
    for (std::size_t i = 100; i < 510; ++i) boot[i] = static_cast<std::uint8_t>(i);  // boot code
    WriteLe32(boot, 28, 63);
    ASSERT_TRUE(image->WriteSector(test::kSourceStart, boot));
    ASSERT_TRUE(image->WriteSector(test::kSourceStart + test::kSourceLength - 1, boot));
    expected = boot;
    WriteLe32(std::span(expected).subspan(28), test::kTargetStart);
  }
  Bytes expected;  // the boot sector as it must stand at the target
};

TEST_F(NtfsFixUpTest, TheFixUpGoesToTheDiskWithItsBlockAndNeedsNoReadBack) {
  {
    auto disk = Open();
    ASSERT_EQ(Save(*disk, test::kSourceStart, dir.File("n.pim"), true).end, WorkEnd::Done);
  }
  // The boot sector cannot be read back: the restore does not need to.
  test::FaultyTransport* faulty = nullptr;
  auto disk = OpenFaulty(faulty);
  faulty->unreadableSectors = {test::kTargetStart};
  const WorkOutcome outcome = Restore(*disk, test::kTargetStart, dir.File("n.pim"));
  ASSERT_EQ(outcome.end, WorkEnd::Done) << outcome.text;
  EXPECT_EQ(Sectors(test::kTargetStart, 1), expected);
  EXPECT_EQ(Sectors(test::kTargetStart + test::kSourceLength - 1, 1), expected);
  // One write per block and nothing after the last: the fix-up was part of the blocks.
  std::vector<std::uint64_t> blocks;
  for (std::uint32_t b = 0; b <= 10; ++b) blocks.push_back(test::kTargetStart + b * test::kImgCylinder);
  EXPECT_EQ(faulty->writtenSectors, blocks);
}

TEST_F(NtfsFixUpTest, AFailedFlushSaysTheWholePartitionIsAlreadyOverwritten) {
  {
    auto disk = Open();
    ASSERT_EQ(Save(*disk, test::kSourceStart, dir.File("n.pim"), false).end, WorkEnd::Done);
  }
  test::FaultyTransport* faulty = nullptr;
  auto disk = OpenFaulty(faulty);
  faulty->flushFails = true;
  const WorkOutcome outcome = Restore(*disk, test::kTargetStart, dir.File("n.pim"));
  EXPECT_EQ(outcome.end, WorkEnd::Failed);
  EXPECT_EQ(outcome.text, StrFormat(text::kFlushFailed, "PHYSICALDRIVE0") +
                              StrFormat(text::kImageWrittenNotFlushed, test::kSourceLength));
  EXPECT_EQ(Sectors(test::kTargetStart, 1), expected) << "the fix-up was written before the flush";
}

TEST_F(NtfsFixUpTest, ATornFirstBlockIsNotReportedAsNothingWritten) {
  {
    auto disk = Open();
    ASSERT_EQ(Save(*disk, test::kSourceStart, dir.File("n.pim"), true).end, WorkEnd::Done);
  }
  const Bytes old = Sectors(test::kTargetStart, 1);
  test::FaultyTransport* faulty = nullptr;
  auto disk = OpenFaulty(faulty);
  faulty->unwritableSectors = {test::kTargetStart + 20};
  faulty->shortWrites = true;  // the failing write stores its first half
  const WorkOutcome outcome = Restore(*disk, test::kTargetStart, dir.File("n.pim"));
  const std::uint32_t last = test::kTargetStart + test::kImgCylinder - 1;
  EXPECT_EQ(outcome.text, StrFormat(text::kImageTargetWriteFailed, "PHYSICALDRIVE0", test::kTargetStart, last,
                                    "No space left on device") +
                              StrFormat(text::kImageBlockMayBeWritten, test::kTargetStart, last));
  EXPECT_EQ(outcome.text.find("nichts"), std::string::npos);
  EXPECT_NE(Sectors(test::kTargetStart, 1), old) << "the first sector did change";
}

// A 1.6 KB image whose headers claim the largest cylinder (255 × 255 sectors) in 66 records of
// one byte each: it is refused at its first block, and its buffers are sized by the records'
// real needs and the memory bound, whatever number of workers is asked for.
TEST_F(RestoreTargetTest, ATinyImageClaimingHugeBlocksFailsAtItsFirstBlock) {
  Bytes file(kImageMagic.begin(), kImageMagic.end());
  ImageBlockHeader header{0, kMaxBlockBytes, 1, 63, 66 * (kMaxBlockBytes / 512), 7, 1, 0};
  for (std::uint32_t i = 0; i < 66; ++i) {
    header.blockIndex = i;
    const HeaderBytes bytes = EncodeHeader(header);
    file.insert(file.end(), bytes.begin(), bytes.end());
    file.push_back(0x42);
  }
  ASSERT_LT(file.size(), 1700u);
  test::WriteFile(dir.File("tiny.pim"), file);
  const WorkOutcome outcome = VerifyImage(dir.File("tiny.pim"), 64, progress, stop);
  EXPECT_EQ(outcome.text, StrFormat(text::kImageDamaged,
                                    StrFormat(text::kImageBlockFault, 0u, text::kImageDataDamaged).c_str()));
}

}  // namespace
}  // namespace korvex
