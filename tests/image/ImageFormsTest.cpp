// The rules of the two image dialogs without a window: the default file name, the block file
// size text, the file check of "Suchen", the refusals of "Starten" and its question.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "image/ImageFixture.h"
#include "image/ImageRestoreForm.h"
#include "image/ImageSaveForm.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

using test::Bytes;

TEST(ImageSaveForm, TheDefaultNameIsTheTitleOrTheDiskLabelWithTheDateWithoutLeadingZeros) {
  CPartition entry(63, 1000, 0);
  entry.SetTitle("System");
  EXPECT_EQ(DefaultImageFileName(entry, "1.Festplatte", {2004, 3, 7}), "System-2004-3-7.pim");
  entry.SetTitle("");
  EXPECT_EQ(DefaultImageFileName(entry, "1.Festplatte", {2004, 12, 15}), "1.Festplatte-2004-12-15.pim");
  entry.SetTitle("Daten/alt");  // a slash would name a folder
  EXPECT_EQ(DefaultImageFileName(entry, "x", {2004, 1, 1}), "Daten_alt-2004-1-1.pim");
}

TEST(ImageSaveForm, TheSizeTextIsReadLikeAtoiAndOnlyOneToFourThousandNinetyFiveMegabytesPass) {
  EXPECT_EQ(LeadingNumber("  42abc"), 42);
  EXPECT_EQ(LeadingNumber("-7"), -7);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber("99999999999999999999999"), std::numeric_limits<long long>::max());
  EXPECT_EQ(SplitLimitFromText("800 "), 800u * 1048576);
  EXPECT_EQ(SplitLimitFromText("4095"), 4095u * 1048576);
  for (const char* refused : {"", "0", "abc", " -5", "4096", "99999999999"}) {
    EXPECT_EQ(SplitLimitFromText(refused), std::nullopt) << refused;
  }
}

class ImageFormsTest : public test::ImageTest {};

TEST_F(ImageFormsTest, StartingASaveRefusesAMissingNameAWrongSizeAFreeAreaAndAsksBeforeAMountedVolume) {
  auto disk = Open();
  CPartition& source = At(disk->primary, test::kSourceStart);
  ImageSaveForm form;
  form.fileName = "   ";
  EXPECT_FALSE(PrepareImageSave(form, *disk, source, false, prompt));
  form.fileName = " a.pim ";
  form.split = true;
  form.sizeText = "MB";
  EXPECT_FALSE(PrepareImageSave(form, *disk, source, false, prompt));
  form.split = false;  // the size text no longer matters
  const CPartition* gap = disk->primary.FindFirst([](const CPartition& p) { return p.IsFree(); });
  ASSERT_NE(gap, nullptr);
  EXPECT_FALSE(PrepareImageSave(form, *disk, *gap, false, prompt));
  EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{text::kImageNameMissing, text::kImageSplitSizeWrong, text::kImageNoRange}));

  // The source partition is mounted through a loop device of the image file: asked, and No stops.
  const MountSources mounts = FakeLoopMount(512 * 8, test::kSourceStart - 8 + 100, 50);
  prompt.shown.clear();
  EXPECT_FALSE(PrepareImageSave(form, *disk, source, false, prompt, mounts));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_TRUE(prompt.shown[0].question);
  EXPECT_EQ(prompt.shown[0].text, StrFormat(text::kImageSourceMounted, "loop0p1", "/mnt/alte daten"));
  prompt.answers = {PromptAnswer::Yes};
  const auto request = PrepareImageSave(form, *disk, source, false, prompt, mounts);
  ASSERT_TRUE(request);
  EXPECT_EQ(request->path, "a.pim");
  EXPECT_EQ(request->range, (SectorRange{test::kSourceStart, test::kSourceLength}));
  EXPECT_FALSE(request->splitLimit);
  // Another partition of the same disk is not under the mount: no question.
  prompt.shown.clear();
  EXPECT_TRUE(PrepareImageSave(form, *disk, At(disk->primary, test::kEvenStart), false, prompt, mounts));
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ImageFormsTest, ARestoreOntoAMountedFileSystemIsRefusedWithNothingWritten) {
  auto disk = Open();
  const std::string path = dir.File("a.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, path, true).end, WorkEnd::Done);
  const Bytes before = test::ReadFile(image->path());
  ImageRestoreRequest request = RestoreRequest(*disk, test::kTargetStart, path);
  request.mounts = FakeLoopMount(0, test::kTargetStart + test::kSourceLength - 1, 1);
  const WorkOutcome outcome = RestoreImage(request, progress, stop);
  EXPECT_EQ(outcome.end, WorkEnd::Failed);
  EXPECT_EQ(outcome.text, StrFormat(text::kImageTargetMounted, "loop0p1", "/mnt/alte daten"));
  EXPECT_TRUE(test::ReadFile(image->path()) == before);
}

TEST_F(ImageFormsTest, SearchingAFileShowsItsFirstHeaderAndWarnsOfAnotherSizeNamingBoth) {
  auto disk = Open();
  const std::string path = dir.File("a.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, path, true).end, WorkEnd::Done);
  const ImageFileCheck fits = CheckImageFile(path, test::kSourceLength);
  EXPECT_EQ(fits.message, "");
  ASSERT_TRUE(fits.summary);
  EXPECT_EQ(fits.summary->sizeMegabytes, 0u);
  EXPECT_EQ(fits.summary->partitionType, 0x0C);
  EXPECT_TRUE(fits.summary->compressed);
  const ImageFileCheck other = CheckImageFile(path, test::kEvenLength);
  EXPECT_TRUE(other.summary);
  EXPECT_EQ(other.message, text::kImageSizeMismatch + StrFormat(text::kImageSizesDiffer, test::kSourceLength, test::kEvenLength));
  EXPECT_EQ(other.icon, PromptIcon::Exclamation);
  EXPECT_EQ(SummaryOf(ImageBlockHeader{0, 512, 0, 0, 4194303, 7, 0, 0}).sizeMegabytes, 2047u);

  // Nothing to say for no name or no file; a stop for a file of something else, and for a FIFO
  // or a folder, whose message names the path and what stands there.
  for (const std::string& silent : {std::string(), dir.File("missing.pim")}) {
    const ImageFileCheck check = CheckImageFile(silent, test::kSourceLength);
    EXPECT_FALSE(check.summary);
    EXPECT_EQ(check.message, "");
  }
  test::WriteFile(dir.File("other.pim"), Bytes(100, 'K'));
  const ImageFileCheck foreign = CheckImageFile(dir.File("other.pim"), test::kSourceLength);
  EXPECT_FALSE(foreign.summary);
  EXPECT_EQ(foreign.message, text::kImageNotAnImage);
  EXPECT_EQ(foreign.icon, PromptIcon::Stop);
  ASSERT_EQ(::mkfifo(dir.File("fifo.pim").c_str(), 0600), 0);
  for (const auto& [name, kind] : {std::pair{dir.File("fifo.pim"), text::kFileIsFifo}, std::pair{dir.path().string(), text::kFileIsDirectory}}) {
    const ImageFileCheck refused = CheckImageFile(name, test::kSourceLength);
    EXPECT_EQ(refused.message, LoadResString(IDS_BACKUP_CANNOT_OPEN) + StrFormat(text::kPathAndReason, name.c_str(), kind));
    EXPECT_EQ(refused.icon, PromptIcon::Stop);
  }
}

TEST_F(ImageFormsTest, StartingARestoreChecksTheNameTheFileAndTheSizeThenAsksWithNoAsTheDefault) {
  auto disk = Open();
  const std::string path = dir.File("a.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, path, true).end, WorkEnd::Done);
  test::WriteFile(dir.File("other.pim"), Bytes(100, 'K'));
  CPartition& target = At(disk->primary, test::kTargetStart);
  const auto prepare = [&](const std::string& name, const CPartition& entry) {
    return PrepareImageRestore({name, 0, true}, *disk, entry, false, prompt);
  };
  EXPECT_FALSE(prepare(" ", target));
  EXPECT_FALSE(prepare(dir.File("missing.pim"), target));
  EXPECT_FALSE(prepare(dir.File("other.pim"), target));
  EXPECT_FALSE(prepare(path, At(disk->primary, test::kEvenStart)));
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{
                text::kImageNameMissing,
                LoadResString(IDS_BACKUP_CANNOT_OPEN) +
                    StrFormat(text::kPathAndReason, dir.File("missing.pim").c_str(), std::strerror(ENOENT)),
                text::kImageNotAnImage,
                text::kImageSizeMismatch + StrFormat(text::kImageSizesDiffer, test::kSourceLength, test::kEvenLength)}));

  // Everything fits: the question names the target, "Nein" is its default, and No starts nothing.
  prompt.shown.clear();
  EXPECT_FALSE(PrepareImageRestore({"  " + path + "  ", 3, false}, *disk, target, false, prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_TRUE(prompt.shown[0].question);
  EXPECT_EQ(prompt.shown[0].buttons, PromptButtons::YesNoDefaultNo);
  EXPECT_EQ(prompt.shown[0].text, StrFormat(text::kImageRestoreConfirm, "PHYSICALDRIVE0", test::kTargetStart,
                                            test::kTargetStart + test::kSourceLength - 1, "165.00 kB"));
  prompt.answers = {PromptAnswer::Yes};
  const auto request = PrepareImageRestore({"  " + path + "  ", 3, false}, *disk, target, false, prompt);
  ASSERT_TRUE(request);
  EXPECT_EQ(request->path, path);
  EXPECT_EQ(request->entry, &target);
  EXPECT_FALSE(request->logical);
  EXPECT_EQ(request->threads, 3u);
  EXPECT_FALSE(request->checkFirst);
}

}  // namespace
}  // namespace korvex
