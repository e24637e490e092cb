// Restoring partition images: round trips onto another partition of the same size (split
// images read across their block files), the NTFS hidden-sector field, and images that are
// forged or damaged, refused before or while writing but never written past the target.
#include <fcntl.h>
#include <unistd.h>

#include "analysis/VolumeSectors.h"
#include "image/BlockCompression.h"
#include "image/ImageFixture.h"
#include "image/ImageFormat.h"
#include "image/ImageRestoreForm.h"
#include "partition/PartitionEntry.h"
#include "platform/OnDiskFields.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

using test::Bytes;

class ImageRestoreTest : public test::ImageTest {
 protected:
  // Overwrites bytes of a file in place.
  static void Patch(const std::string& path, std::uint64_t offset, const Bytes& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
  }
  static Bytes Le32(std::uint32_t value) {
    Bytes bytes(4);
    WriteLe32(bytes, value);
    return bytes;
  }
  // Offset of record index's header in a one-file raw image of the source partition.
  static std::uint64_t RawHeaderAt(std::uint32_t index) {
    return kImageMagic.size() + std::uint64_t{index} * (kImageHeaderSize + test::kImgCylinder * 512);
  }
};

TEST_F(ImageRestoreTest, ImagesRoundTripOntoAnotherPartitionAndNothingElseChanges) {
  struct Case {
    const char* name;
    bool compressed;
    std::optional<std::uint32_t> split;
    unsigned threads;
  };
  for (const Case& c : {Case{"raw", false, std::nullopt, 1}, Case{"bzip2", true, std::nullopt, 3},
                        Case{"split", true, 4096u, 2}, Case{"split-raw", false, 20000u, 2}}) {
    SCOPED_TRACE(c.name);
    auto disk = Open();
    const std::string path = dir.File(std::string(c.name) + ".pim");
    ASSERT_EQ(Save(*disk, test::kSourceStart, path, c.compressed, c.split, c.threads).end, WorkEnd::Done);
    Fill(test::kTargetStart, test::kSourceLength, 9);
    const Bytes before = test::ReadFile(image->path());
    const WorkOutcome outcome = Restore(*disk, test::kTargetStart, path, c.threads);
    ASSERT_EQ(outcome.end, WorkEnd::Done) << outcome.text;
    EXPECT_EQ(outcome.text, text::kImageRestored);
    Bytes expected = before;
    const Bytes source = Sectors(test::kSourceStart, test::kSourceLength);
    std::copy(source.begin(), source.end(), expected.begin() + test::kTargetStart * 512);
    EXPECT_EQ(test::ReadFile(image->path()), expected);
  }
}

// A logical drive whose record lies at 2^32 - 2048 and whose data begins 63 sectors past 2^32:
// a 32-bit data start would wrap to sector 63, and the restore would overwrite the start of the
// disk. Neither the dialog's check nor the worker takes such a target; nothing is written.
TEST_F(ImageRestoreTest, ADriveWhoseDataLiesPastTwoToThe32IsNoTargetAndNothingIsWritten) {
  std::string error;
  image.emplace(*ImageBuilder::Create(dir.File("big.img"), 267400, 255, 63, error));  // just over 2^32 sectors
  const std::uint32_t record = UINT32_MAX - 2047;
  const std::uint64_t dataStart = (std::uint64_t{1} << 32) + 63;
  ASSERT_TRUE(image->AddPrimary(0, 0x07, 2048, test::kLogicalData));
  ASSERT_TRUE(image->AddExtended(1, 0x05, record, 2048 + 2111 + test::kLogicalData, {}));
  ASSERT_TRUE(image->SetEntry(record, 0, EntrySpec{0, 0x07, 2111, test::kLogicalData}, record));
  Fill(2048, test::kLogicalData, 4);
  Fill(63, test::kLogicalData, 5);
  auto disk = Open();
  const std::string path = dir.File("source.pim");
  ASSERT_EQ(Save(*disk, 2048, path, false).end, WorkEnd::Done);
  const CPartition& drive = *disk->logical.Used()[0];
  ASSERT_EQ(drive.DataStart(), dataStart);
  // What lies where a wrapped data start would put the image (the file is too large to read whole).
  const auto wrapTarget = [&] {
    std::vector<Bytes> sectors;
    for (std::uint32_t s = 63; s < 63 + test::kLogicalData; ++s) sectors.push_back(*image->ReadSector(s));
    return sectors;
  };
  const auto before = wrapTarget();

  const std::string refusal = StrFormat(text::kSpaceNotAddressable, static_cast<unsigned long long>(dataStart));
  EXPECT_FALSE(PrepareImageRestore({path, 1, true}, *disk, drive, true, prompt));
  EXPECT_EQ(prompt.shown.back().text, refusal);
  const WorkOutcome outcome = Restore(*disk, record, path, 2, true);
  EXPECT_EQ(outcome.end, WorkEnd::Failed);
  EXPECT_EQ(outcome.text, refusal + text::kImageNothingWritten);
  EXPECT_TRUE(wrapTarget() == before);
}

// bzip2 makes random sectors longer than they were: such a block's data exceeds the block's
// bytes, up to the bound the writer's output buffer has, and must still round trip.
TEST_F(ImageRestoreTest, AnIncompressibleBlockLongerThanItsSectorsRoundTrips) {
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  for (std::uint32_t s = test::kSourceStart; s < test::kSourceStart + test::kSourceLength; ++s) {
    Bytes sector(512);
    for (auto& byte : sector) {
      state ^= state << 13, state ^= state >> 7, state ^= state << 17;
      byte = static_cast<std::uint8_t>(state);
    }
    ASSERT_TRUE(image->WriteSector(s, sector));
  }
  auto disk = Open();
  const std::string path = dir.File("random.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, path, true).end, WorkEnd::Done);
  const Bytes file = test::ReadFile(path);
  const ImageBlockHeader first = DecodeHeader(std::span(file).subspan<kImageMagic.size(), kImageHeaderSize>());
  ASSERT_GT(first.dataSize, first.blockBytes) << "the block must have grown in bzip2";
  ASSERT_LE(first.dataSize, CompressedBound(first.blockBytes));
  EXPECT_EQ(VerifyImage(path, 2, progress, stop).end, WorkEnd::Done);
  const WorkOutcome outcome = Restore(*disk, test::kTargetStart, path);
  ASSERT_EQ(outcome.end, WorkEnd::Done) << outcome.text;
  EXPECT_EQ(Sectors(test::kTargetStart, test::kSourceLength), Sectors(test::kSourceStart, test::kSourceLength));
}

TEST_F(ImageRestoreTest, AnNtfsVolumeOnALogicalDriveGetsItsAbsoluteFirstSectorAsHiddenSectors) {
  // A volume filling the drive: it counts the sectors but the last, which holds the copy.
  const SectorBytes ntfs = test::NtfsBootSector(test::kLogicalData);
  Bytes boot(ntfs.begin(), ntfs.end());
  WriteLe32(boot, 28, 63);  // what the drive had where it came from
  const std::uint32_t volume = test::kLogical1 + test::kDataOffset;
  ASSERT_TRUE(image->WriteSector(volume, boot));
  ASSERT_TRUE(image->WriteSector(volume + test::kLogicalData - 1, boot));  // the boot sector's copy
  auto disk = Open();
  const std::string path = dir.File("ntfs.pim");
  ASSERT_EQ(Save(*disk, test::kLogical1, path, true, std::nullopt, 2, true).end, WorkEnd::Done);
  ASSERT_EQ(Restore(*disk, test::kLogical2, path, 2, true).end, WorkEnd::Done);
  // Both copies hold the volume's absolute first sector; everything else is the volume as saved.
  const std::uint32_t restored = test::kLogical2 + test::kDataOffset;
  Bytes expected = Sectors(volume, test::kLogicalData);
  for (const std::size_t copy : {std::size_t{0}, std::size_t{test::kLogicalData - 1}}) {
    WriteLe32(std::span(expected).subspan(copy * 512 + 28), restored);
  }
  EXPECT_EQ(Sectors(restored, test::kLogicalData), expected);
}

TEST_F(ImageRestoreTest, AnNtfsVolumeOfLargeSectorsGetsTheFieldInItsCopyAtItsDiskSector) {
  // 4096-byte sectors: the count is in volume sectors, so the copy lies eight disk sectors for
  // each of them from the volume's start, not at the count itself.
  SectorBytes ntfs = test::NtfsBootSector(test::kLogicalData);
  const std::uint32_t volumeSectors = test::kLogicalData / 8 - 1;
  test::Put(ntfs, 0x0B, 4096, 2);
  ntfs[0x0D] = 1;
  test::Put(ntfs, 0x28, volumeSectors, 8);
  test::Put(ntfs, 0x30, 1, 8);
  test::Put(ntfs, 0x38, 2, 8);
  test::Put(ntfs, 0x1C, 63, 4);
  const Bytes boot(ntfs.begin(), ntfs.end());
  const std::uint32_t volume = test::kLogical1 + test::kDataOffset;
  ASSERT_TRUE(image->WriteSector(volume, boot));
  ASSERT_TRUE(image->WriteSector(volume + volumeSectors, boot));  // where the count alone points
  ASSERT_TRUE(image->WriteSector(volume + volumeSectors * 8, boot));
  auto disk = Open();
  const std::string path = dir.File("ntfs4k.pim");
  ASSERT_EQ(Save(*disk, test::kLogical1, path, true, std::nullopt, 2, true).end, WorkEnd::Done);
  ASSERT_EQ(Restore(*disk, test::kLogical2, path, 2, true).end, WorkEnd::Done);
  const std::uint32_t restored = test::kLogical2 + test::kDataOffset;
  Bytes expected = Sectors(volume, test::kLogicalData);
  for (const std::size_t copy : {std::size_t{0}, std::size_t{volumeSectors} * 8}) {
    WriteLe32(std::span(expected).subspan(copy * 512 + 28), restored);
  }
  EXPECT_EQ(Sectors(restored, test::kLogicalData), expected);
}

TEST_F(ImageRestoreTest, ForgedOrDamagedImagesAreRefusedWithTheBlockNamedAndNothingWritten) {
  auto disk = Open();
  const std::string raw = dir.File("raw.pim");
  const std::string packed = dir.File("packed.pim");
  const std::string split = dir.File("split.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, raw, false).end, WorkEnd::Done);
  ASSERT_EQ(Save(*disk, test::kSourceStart, packed, true).end, WorkEnd::Done);
  ASSERT_EQ(Save(*disk, test::kSourceStart, split, false, 20000u).end, WorkEnd::Done);
  const Bytes rawBytes = test::ReadFile(raw);
  const auto damaged = [](std::uint32_t block, const std::string& what) {
    return StrFormat(text::kImageDamaged, StrFormat(text::kImageBlockFault, block, what.c_str()).c_str()) +
           text::kImageNothingWritten;
  };
  // The compressed image with a first block that decompresses to one sector more than a cylinder.
  const Bytes packedBytes = test::ReadFile(packed);
  ImageBlockHeader first = DecodeHeader(std::span<const std::uint8_t, kImageHeaderSize>(packedBytes.data() + 6, kImageHeaderSize));
  const Bytes tooMuch(test::kImgCylinder * 512 + 512, 0x5A);
  Bytes stream(CompressedBound(first.blockBytes));
  stream.resize(*CompressBlock(tooMuch, stream));
  const std::uint32_t firstDataSize = first.dataSize;
  first.dataSize = static_cast<std::uint32_t>(stream.size());
  Bytes longBlock(kImageMagic.begin(), kImageMagic.end());
  const HeaderBytes header = EncodeHeader(first);
  longBlock.insert(longBlock.end(), header.begin(), header.end());
  longBlock.insert(longBlock.end(), stream.begin(), stream.end());
  longBlock.insert(longBlock.end(), packedBytes.begin() + 6 + kImageHeaderSize + firstDataSize, packedBytes.end());

  struct Case {
    const char* name;
    std::function<std::string()> damage;  // makes the file, returns its path
    std::string message;
  };
  const std::vector<Case> cases = {
      {"wrong magic", [&] { test::WriteFile(dir.File("magic.pim"), Bytes(rawBytes.begin() + 1, rawBytes.end()));
                            return dir.File("magic.pim"); }, std::string(text::kImageNotAnImage) + text::kImageNothingWritten},
      {"cut header", [&] { test::WriteFile(dir.File("cut.pim"), Bytes(rawBytes.begin(), rawBytes.begin() + RawHeaderAt(3) + 10));
                           return dir.File("cut.pim"); }, damaged(3, StrFormat(text::kImageHeaderCut, dir.File("cut.pim").c_str()))},
      {"cut data", [&] { test::WriteFile(dir.File("data.pim"), Bytes(rawBytes.begin(), rawBytes.end() - 1));
                         return dir.File("data.pim"); }, damaged(10, StrFormat(text::kImageDataCut, dir.File("data.pim").c_str()))},
      {"huge dataSize", [&] { Patch(raw, RawHeaderAt(2) + 8, Le32(0xFFFFFFF0u)); return raw; },
       damaged(2, StrFormat(text::kImageRawSizeWrong, 0xFFFFFFF0u, test::kImgCylinder * 512))},
      {"huge compressed dataSize", [&] { Patch(packed, 6 + 8, Le32(0xFFFFFFF0u)); return packed; },
       damaged(0, StrFormat(text::kImageCompressedSizeWrong, 0xFFFFFFF0u, CompressedBound(test::kImgCylinder * 512)))},
      {"mismatched header", [&] { test::WriteFile(raw, rawBytes); Patch(raw, RawHeaderAt(4) + 20, {0x83}); return raw; },
       damaged(4, text::kImageHeaderDiffers)},
      {"index out of order", [&] { test::WriteFile(raw, rawBytes); Patch(raw, RawHeaderAt(5), Le32(6)); return raw; },
       damaged(5, StrFormat(text::kImageBadIndex, 6u))},
      {"compressed flag 2", [&] { test::WriteFile(raw, rawBytes); Patch(raw, 6 + 21, {2}); return raw; },
       damaged(0, StrFormat(text::kImageBadCompressedFlag, 2u))},
      {"missing block file", [&] { std::filesystem::remove(split + ".002"); return split; },
       damaged(3, StrFormat(text::kImageBlockFileMissing, (split + ".002").c_str()))},
      {"first block too long", [&] { test::WriteFile(dir.File("long.pim"), longBlock); return dir.File("long.pim"); },
       std::string(text::kImageDecompressionFailed) + "\n" +
           StrFormat(text::kImageBlockFault, 0u, StrFormat(text::kImageDataTooLong, test::kImgCylinder).c_str()) +
           text::kImageNothingWritten},
  };
  const Bytes before = test::ReadFile(image->path());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const WorkOutcome outcome = Restore(*disk, test::kTargetStart, c.damage());
    EXPECT_EQ(outcome.end, WorkEnd::Failed);
    EXPECT_EQ(outcome.text, c.message);
    EXPECT_TRUE(test::ReadFile(image->path()) == before) << "the target was written";
  }
  // An image of another size is refused as well.
  test::WriteFile(packed, packedBytes);
  const WorkOutcome otherSize = Restore(*disk, test::kEvenStart, packed);
  EXPECT_EQ(otherSize.text, SizeMismatchText(test::kSourceLength, test::kEvenLength));
  EXPECT_TRUE(test::ReadFile(image->path()) == before);
}

// A damaged block of a compressed image without a checksum file: the check before writing
// decompresses every block, finds it and leaves the target as it was. Without the check, the
// blocks before it reach the disk, and the message says so.
TEST_F(ImageRestoreTest, ADamagedCompressedImageLeavesTheTargetAsItWasUnlessTheCheckIsSkipped) {
  auto disk = Open();
  const std::string path = dir.File("packed.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, path, true).end, WorkEnd::Done);
  const Bytes source = Sectors(test::kSourceStart, test::kSourceLength);
  const Bytes target = Sectors(test::kTargetStart, test::kSourceLength);
  const auto restoredCylinders = [&](std::uint32_t cylinders) {
    Bytes expected = target;
    std::copy_n(source.begin(), cylinders * test::kImgCylinder * 512, expected.begin());
    return expected;
  };

  // Block 3's stream is damaged; the image is copied without its checksum file.
  Bytes file = test::ReadFile(path);
  std::uint64_t at = kImageMagic.size();
  for (int block = 0; block < 3; ++block) {
    at += kImageHeaderSize + ReadLe32(std::span(file).subspan(at + 8));
  }
  file[at + kImageHeaderSize + 20] ^= 0xFF;
  test::WriteFile(dir.File("bad3.pim"), file);
  const Bytes diskBefore = test::ReadFile(image->path());
  const WorkOutcome refused = Restore(*disk, test::kTargetStart, dir.File("bad3.pim"));
  EXPECT_EQ(refused.end, WorkEnd::Failed);
  EXPECT_EQ(refused.text, std::string(text::kImageDecompressionFailed) + "\n" +
                              StrFormat(text::kImageBlockFault, 3u, text::kImageDataDamaged) + text::kImageNothingWritten);
  EXPECT_TRUE(test::ReadFile(image->path()) == diskBefore) << "the check before writing let a write through";

  const WorkOutcome unchecked = Restore(*disk, test::kTargetStart, dir.File("bad3.pim"), 2, false, false);
  EXPECT_EQ(unchecked.end, WorkEnd::Failed);
  EXPECT_EQ(unchecked.text, std::string(text::kImageDecompressionFailed) + "\n" +
                                StrFormat(text::kImageBlockFault, 3u, text::kImageDataDamaged) +
                                StrFormat(text::kImagePartlyWritten, 3 * test::kImgCylinder));
  EXPECT_EQ(Sectors(test::kTargetStart, test::kSourceLength), restoredCylinders(3));
}

TEST_F(ImageRestoreTest, AFailedWriteNamesTheBlockAndTheSectorsAlreadyWritten) {
  auto disk = Open();
  const std::string path = dir.File("packed.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, path, true).end, WorkEnd::Done);
  // A sector of block 6 cannot be written.
  test::FaultyTransport* faulty = nullptr;
  auto failing = OpenFaulty(faulty);
  faulty->unwritableSectors = {test::kTargetStart + 6 * test::kImgCylinder + 1};
  const std::uint32_t first = test::kTargetStart + 6 * test::kImgCylinder;
  const WorkOutcome unwritable = Restore(*failing, test::kTargetStart, path);
  EXPECT_EQ(unwritable.end, WorkEnd::Failed);
  const std::uint32_t last = first + test::kImgCylinder - 1;
  EXPECT_EQ(unwritable.text, StrFormat(text::kImageTargetWriteFailed, "PHYSICALDRIVE0", first, last, "Input/output error") +
                                 StrFormat(text::kImagePartlyWritten, 6 * test::kImgCylinder) +
                                 StrFormat(text::kImageBlockMayBeWritten, first, last));
}

// Stopped while the image is checked, nothing is written; stopped in the first block written,
// the message says how many sectors are on the disk and that the partition is inconsistent.
TEST_F(ImageRestoreTest, ACancelledRestoreSaysWhatItWrote) {
  auto disk = Open();
  const std::string path = dir.File("packed.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, path, true).end, WorkEnd::Done);
  const Bytes target = Sectors(test::kTargetStart, test::kSourceLength);
  test::RecordingProgress whileChecking(&stop, 1);
  const WorkOutcome early = RestoreImage(RestoreRequest(*disk, test::kTargetStart, path), whileChecking, stop);
  EXPECT_EQ(early.end, WorkEnd::Cancelled);
  EXPECT_EQ(early.text, std::string(text::kImageRestoreCancelled) + text::kImageNothingWritten);
  EXPECT_EQ(whileChecking.statuses, std::vector<std::string>{text::kImageStatusChecksums});
  EXPECT_EQ(Sectors(test::kTargetStart, test::kSourceLength), target);

  stop.Reset();
  test::RecordingProgress whileWriting(&stop, 2);
  const WorkOutcome outcome = RestoreImage(RestoreRequest(*disk, test::kTargetStart, path), whileWriting, stop);
  EXPECT_EQ(outcome.end, WorkEnd::Cancelled);
  EXPECT_EQ(outcome.text, text::kImageRestoreCancelled + StrFormat(text::kImagePartlyWritten, test::kImgCylinder));
  EXPECT_EQ(outcome.icon, PromptIcon::Stop);
  EXPECT_EQ(whileWriting.statuses, (std::vector<std::string>{text::kImageStatusChecksums, text::kImageStatusWriting}));
  Bytes expected = target;
  const Bytes source = Sectors(test::kSourceStart, test::kImgCylinder);
  std::copy(source.begin(), source.end(), expected.begin());
  EXPECT_EQ(Sectors(test::kTargetStart, test::kSourceLength), expected);
}

TEST_F(ImageRestoreTest, VerifyComparesTheChecksumsAndReadsEveryBlockWithoutADisk) {
  auto disk = Open();
  const std::string path = dir.File("split.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, path, true, 4096u).end, WorkEnd::Done);
  const std::string sums = path + ".sha256";
  const WorkOutcome sound = VerifyImage(path, 2, progress, stop);
  EXPECT_EQ(sound.end, WorkEnd::Done);
  EXPECT_EQ(sound.text, StrFormat(text::kImageVerified, 11u, test::kSourceLength) +
                            StrFormat(text::kImageChecksumsMatch, sums.c_str()));
  Bytes block = test::ReadFile(BlockFileName(path, 7));
  block[30] ^= 0x01;
  test::WriteFile(BlockFileName(path, 7), block);
  const WorkOutcome broken = VerifyImage(path, 2, progress, stop);
  EXPECT_EQ(broken.end, WorkEnd::Failed);
  EXPECT_EQ(broken.text, StrFormat(text::kImageDamaged, StrFormat(text::kImageChecksumWrong, BlockFileName(path, 7).c_str(),
                                                                  sums.c_str()).c_str()));
  // Without the checksum file the damaged stream is found by decompressing it.
  std::filesystem::remove(sums);
  const WorkOutcome unsummed = VerifyImage(path, 2, progress, stop);
  EXPECT_EQ(unsummed.end, WorkEnd::Failed);
  EXPECT_EQ(unsummed.text,
            StrFormat(text::kImageDamaged, StrFormat(text::kImageBlockFault, 7u, text::kImageDataDamaged).c_str()));
}

}  // namespace
}  // namespace korvex
