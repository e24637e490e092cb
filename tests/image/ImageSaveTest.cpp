// Saving partition images: the records the writer lays out (counted and read back at the
// offsets the format fixes, not through our reader), the ranges of primary and logical drives,
// block files, and that a run that does not finish leaves no file and no older image harmed.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "bootengine/LoaderRecognition.h"
#include "image/ImageFixture.h"
#include "image/ImageFormat.h"
#include "image/ImageSaveForm.h"
#include "platform/FileDevice.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

using test::Bytes;

// The records of a one-file image, read at the offsets the format gives them.
std::vector<std::pair<ImageBlockHeader, Bytes>> Records(const Bytes& file) {
  std::vector<std::pair<ImageBlockHeader, Bytes>> records;
  EXPECT_TRUE(std::equal(kImageMagic.begin(), kImageMagic.end(), file.begin()));
  for (std::size_t at = kImageMagic.size(); at < file.size();) {
    const auto header = DecodeHeader(std::span<const std::uint8_t, kImageHeaderSize>(file.data() + at, kImageHeaderSize));
    at += kImageHeaderSize;
    records.emplace_back(header, Bytes(file.begin() + static_cast<std::int64_t>(at),
                                       file.begin() + static_cast<std::int64_t>(at + header.dataSize)));
    at += header.dataSize;
  }
  return records;
}

class ImageSaveTest : public test::ImageTest {};

TEST_F(ImageSaveTest, KCylindersGiveKEqualRecordsAndTenSectorsMoreAShortLastOne) {
  auto disk = Open();
  for (const auto& [start, length, records] :
       {std::tuple{test::kEvenStart, test::kEvenLength, 10u}, std::tuple{test::kSourceStart, test::kSourceLength, 11u}}) {
    SCOPED_TRACE(start);
    const std::string path = dir.File("p" + std::to_string(start) + ".pim");
    const WorkOutcome outcome = Save(*disk, start, path, false);
    EXPECT_EQ(outcome.end, WorkEnd::Done);
    EXPECT_EQ(outcome.text, text::kImageSaved);
    const auto parsed = Records(test::ReadFile(path));
    ASSERT_EQ(parsed.size(), records);
    Bytes data;
    for (std::uint32_t i = 0; i < parsed.size(); ++i) {
      const auto& header = parsed[i].first;
      EXPECT_EQ(header.blockIndex, i);
      EXPECT_EQ(header.blockBytes, test::kImgCylinder * 512);
      EXPECT_EQ(header.startSector, start);
      EXPECT_EQ(header.sectorCount, length);
      EXPECT_EQ(header.compressed, 0);
      EXPECT_EQ(header.split, 0);
      data.insert(data.end(), parsed[i].second.begin(), parsed[i].second.end());
    }
    EXPECT_EQ(parsed.back().first.dataSize, length == test::kEvenLength ? test::kImgCylinder * 512 : 10 * 512);
    EXPECT_EQ(data, Sectors(start, length));
  }
}

TEST_F(ImageSaveTest, ALogicalDriveImagesItsVolumeFromItsOwnRecordToDataDistance) {
  auto disk = Open();
  const std::string path = dir.File("logical.pim");
  ASSERT_EQ(Save(*disk, test::kLogical1, path, true, std::nullopt, 2, true).end, WorkEnd::Done);
  const auto parsed = Records(test::ReadFile(path));
  ASSERT_FALSE(parsed.empty());
  // 64 sectors after the record, not one track (8): a track would image the gap and miss the end.
  EXPECT_EQ(parsed[0].first.startSector, test::kLogical1 + test::kDataOffset);
  EXPECT_EQ(parsed[0].first.sectorCount, test::kLogicalData);
  EXPECT_EQ(parsed[0].first.partitionType, 0x07);
  EXPECT_EQ(parsed[0].first.compressed, 1);
}

TEST_F(ImageSaveTest, AnyNumberOfWorkersWritesTheSameBytesAsOne) {
  auto disk = Open();
  ASSERT_EQ(Save(*disk, test::kSourceStart, dir.File("one.pim"), true, std::nullopt, 1).end, WorkEnd::Done);
  ASSERT_EQ(Save(*disk, test::kSourceStart, dir.File("five.pim"), true, std::nullopt, 5).end, WorkEnd::Done);
  const Bytes one = test::ReadFile(dir.File("one.pim"));
  EXPECT_EQ(Records(one).size(), 11u);  // the last block is short
  EXPECT_EQ(one, test::ReadFile(dir.File("five.pim")));
}

// 255 heads × 63 sectors: uncompressed cylinders of 8 225 280 bytes.
TEST(ImageSaveSplit, AHundredMegabyteLimitCutsAfterTheThirteenthHeader) {
  test::TempDir dir;
  test::ScriptedPrompt prompt;
  std::string error;
  auto image = ImageBuilder::Create(dir.File("big.img"), 15, 255, 63, error);
  ASSERT_TRUE(image && image->AddPrimary(0, 0x83, 255 * 63, 14 * 255 * 63));
  auto disk = test::OpenDisk(*image, prompt);
  NullProgress progress;
  StopFlag stop;
  const std::string path = dir.File("big.pim");
  const ImageSaveRequest request{disk.get(), {255 * 63, 14 * 255 * 63}, 0x83, false, 100u * 1024 * 1024, path, 2};
  ASSERT_EQ(SaveImage(request, progress, stop).end, WorkEnd::Done);
  constexpr std::uint64_t kRecord = kImageHeaderSize + 8225280;
  EXPECT_EQ(std::filesystem::file_size(path), kImageMagic.size() + 12 * kRecord + kImageHeaderSize);
  // The block file begins with the 13th block's data, then the 14th record.
  EXPECT_EQ(std::filesystem::file_size(path + ".000"), 8225280 + kRecord);
  EXPECT_FALSE(std::filesystem::exists(path + ".001"));
  const Bytes main = test::ReadFile(path);
  const auto last = DecodeHeader(std::span<const std::uint8_t, kImageHeaderSize>(main.data() + main.size() - kImageHeaderSize,
                                                                                 kImageHeaderSize));
  EXPECT_EQ(last.blockIndex, 12u);
  EXPECT_EQ(last.split, 1);
}

TEST_F(ImageSaveTest, ALimitBelowOneBlockGivesEveryBlockDataAFileOfItsOwn) {
  auto disk = Open();
  const std::string path = dir.File("tiny.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, path, false, 4096u).end, WorkEnd::Done);
  // The main file: the magic and the first header only; then 11 block files of one record's data
  // (and the next header) each.
  EXPECT_EQ(std::filesystem::file_size(path), kImageMagic.size() + kImageHeaderSize);
  for (unsigned n = 0; n < 11; ++n) {
    const std::uint64_t data = n < 10 ? test::kImgCylinder * 512 : 10 * 512;
    EXPECT_EQ(std::filesystem::file_size(BlockFileName(path, n)), data + (n < 10 ? kImageHeaderSize : 0)) << n;
  }
  EXPECT_FALSE(std::filesystem::exists(BlockFileName(path, 11)));
}

TEST_F(ImageSaveTest, RunsThatDoNotFinishRemoveTheirFilesAndLeaveAnOlderImageWhole) {
  const std::string path = dir.File("old.pim");
  const Bytes older = {1, 2, 3, 4};
  test::WriteFile(path, older);
  test::WriteFile(path + ".000", older);
  const std::size_t filesBefore = FilesInDir();

  // Cancelled during the first block: that block is written, then everything goes.
  auto disk = Open();
  test::RecordingProgress stopping(&stop);
  ImageSaveRequest request{disk.get(), {test::kSourceStart, test::kSourceLength}, 0x0C, true, 4096u, path, 2};
  const WorkOutcome cancelled = SaveImage(request, stopping, stop);
  EXPECT_EQ(cancelled.end, WorkEnd::Cancelled);
  EXPECT_EQ(cancelled.text, text::kImageSaveCancelled);
  EXPECT_EQ(stopping.positions, std::vector<std::uint64_t>{test::kImgCylinder});

  // A sector that cannot be read: named, and no image reported.
  stop.Reset();
  test::FaultyTransport* faulty = nullptr;
  auto failing = OpenFaulty(faulty);
  faulty->unreadableSectors = {test::kSourceStart + 5 * test::kImgCylinder + 3};
  const WorkOutcome unreadable = Save(*failing, test::kSourceStart, path, true, 4096u);
  EXPECT_EQ(unreadable.end, WorkEnd::Failed);
  EXPECT_EQ(unreadable.text, StrFormat(text::kImageReadFailed, "PHYSICALDRIVE0", test::kSourceStart + 5 * test::kImgCylinder + 3));

  // A medium that fills up: the second block's data no longer fits.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit original{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
  rlimit small = original;
  small.rlim_cur = 3 * test::kImgCylinder * 512 / 2;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const WorkOutcome full = Save(*disk, test::kSourceStart, path, false);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &original), 0);
  EXPECT_EQ(full.end, WorkEnd::Failed);
  EXPECT_EQ(full.text, text::kImageSaveWriteFailed + StrFormat(text::kPathAndReason, path.c_str(), std::strerror(EFBIG)));

  // A folder that does not exist: the message names the file and the system's reason.
  const std::string nowhere = dir.File("missing/new.pim");
  const WorkOutcome unopened = Save(*disk, test::kSourceStart, nowhere, false);
  EXPECT_EQ(unopened.text, LoadResString(IDS_BACKUP_CANNOT_OPEN) +
                               StrFormat(text::kPathAndReason, nowhere.c_str(), std::strerror(ENOENT)));

  EXPECT_EQ(FilesInDir(), filesBefore);
  EXPECT_EQ(test::ReadFile(path), older);
  EXPECT_EQ(test::ReadFile(path + ".000"), older);

  // A complete run replaces the older image, and the older block file, which the new image in one
  // file does not replace, goes with it.
  ASSERT_EQ(Save(*disk, test::kSourceStart, path, false).end, WorkEnd::Done);
  EXPECT_EQ(std::filesystem::file_size(path), kImageMagic.size() + 11 * kImageHeaderSize + test::kSourceLength * 512);
  EXPECT_FALSE(std::filesystem::exists(path + ".000"));
}

// An older set of 11 block files saved over by one of 3: the 8 it does not replace go once the new
// image is in place, and the new set reads back whole. A number after a gap belongs to no set
// of this name and stays; so does what a failed run would have replaced.
TEST_F(ImageSaveTest, SavingOverAnOlderSplitImageRemovesItsSurplusBlockFiles) {
  auto disk = Open();
  const std::string path = dir.File("set.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, path, false, 4096u).end, WorkEnd::Done);
  ASSERT_TRUE(std::filesystem::exists(BlockFileName(path, 10)));
  test::WriteFile(BlockFileName(path, 12), {1, 2, 3});

  ASSERT_EQ(Save(*disk, test::kSourceStart, path, false, 4u * test::kImgCylinder * 512).end, WorkEnd::Done);
  for (unsigned n = 0; n < 13; ++n) {
    EXPECT_EQ(std::filesystem::exists(BlockFileName(path, n)), n < 2 || n == 12) << n;
  }
  EXPECT_EQ(VerifyImage(path, 1, progress, stop).end, WorkEnd::Done);
  ASSERT_EQ(Restore(*disk, test::kTargetStart, path).end, WorkEnd::Done);
  EXPECT_EQ(Sectors(test::kTargetStart, test::kSourceLength), Sectors(test::kSourceStart, test::kSourceLength));
}

// An image is renamed into place: a name where something else than a regular file stands (also
// a block file's name), and the file of an open disk under any of its names, is refused with the
// disk and everything at the name as it was, and no file left behind.
TEST_F(ImageSaveTest, ATargetThatIsNoRegularFileOrAnOpenDiskIsRefusedAndLeftAsItWas) {
  auto disk = Open();
  const Bytes diskBefore = test::ReadFile(image->path());
  const std::string link = dir.File("disk-link.img");
  ASSERT_EQ(::link(image->path().c_str(), link.c_str()), 0);
  const std::string fifo = dir.File("fifo.pim");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string symlink = dir.File("symlink.pim");
  ASSERT_EQ(::symlink(dir.File("elsewhere.pim").c_str(), symlink.c_str()), 0);
  const std::string split = dir.File("split.pim");
  ASSERT_EQ(::mkfifo((split + ".000").c_str(), 0600), 0);
  const std::size_t filesBefore = FilesInDir();

  for (const std::string& path : {image->path(), link}) {
    EXPECT_EQ(Save(*disk, test::kSourceStart, path, false).text, StrFormat(text::kOutputIsOpenDisk, path.c_str()));
  }
  for (const std::string& path : {fifo, symlink, std::string("/dev/null")}) {
    EXPECT_EQ(Save(*disk, test::kSourceStart, path, true).text, StrFormat(text::kOutputNotAFile, path.c_str()));
  }
  const WorkOutcome blockFile = Save(*disk, test::kSourceStart, split, false, 4096u);
  EXPECT_EQ(blockFile.end, WorkEnd::Failed);
  EXPECT_EQ(blockFile.text, StrFormat(text::kOutputNotAFile, (split + ".000").c_str()));

  EXPECT_TRUE(test::ReadFile(image->path()) == diskBefore);
  EXPECT_EQ(FilesInDir(), filesBefore);
  struct stat info {};
  ASSERT_EQ(::lstat((split + ".000").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  ASSERT_EQ(::lstat(symlink.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
}

// The files of every disk of the working copy are protected, not only the one imaged: "Starten"
// refuses another disk's file as a target with a message.
TEST_F(ImageSaveTest, TheFileOfAnotherDiskOfTheWorkingCopyIsRefusedAtStart) {
  auto disk = Open();
  std::string error;
  auto second = ImageBuilder::Create(dir.File("second.img"), 20, test::kImgHeads, test::kImgSpt, error);
  ASSERT_TRUE(second);
  disk.copy().Add(std::make_unique<CHardDisk>(1, OpenFileDevice(*ParseDeviceSpec(second->Spec(), error)), OsVersion{},
                                              HoldsOurLoader, prompt));
  ImageSaveForm form;
  form.fileName = second->path();
  EXPECT_FALSE(PrepareImageSave(form, *disk, At(disk->primary, test::kSourceStart), false, prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, StrFormat(text::kOutputIsOpenDisk, second->path().c_str()));
  EXPECT_EQ(std::filesystem::file_size(second->path()), 20u * test::kImgCylinder * 512);

  // The worker refuses it on its own, too.
  ImageSaveRequest request{disk.get(), {test::kSourceStart, test::kSourceLength}, 0x0C, false, std::nullopt,
                           second->path(), 1, disk->DiskFiles()};
  EXPECT_EQ(SaveImage(request, progress, stop).text, StrFormat(text::kOutputIsOpenDisk, second->path().c_str()));
}

}  // namespace
}  // namespace korvex
