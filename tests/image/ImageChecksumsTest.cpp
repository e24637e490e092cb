// NAME.sha256 beside an image: written by the save in the form sha256sum reads, compared by
// verify and by the restore's check before its first write, which then catches the changed
// byte of an uncompressed image that the format itself cannot see.
#include <sys/stat.h>

#include "image/ImageChecksums.h"
#include "image/ImageFixture.h"
#include "image/ImageFormat.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

using test::Bytes;

std::string DigestOf(const Bytes& bytes) {
  Sha256 hash;
  hash.Update(bytes);
  return HexDigest(hash.Finish());
}

class ImageChecksumsTest : public test::ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    disk = Open();
  }
  // What the target holds now, to be compared after a refused restore.
  Bytes Target() const { return Sectors(test::kTargetStart, test::kSourceLength); }
  std::string ReadText(const std::string& path) const {
    const Bytes bytes = test::ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
  }
  void WriteText(const std::string& path, const std::string& text) { test::WriteFile(path, Bytes(text.begin(), text.end())); }

  test::DiskInCopy disk;
};

TEST_F(ImageChecksumsTest, TheSaveWritesOneLinePerFileNamedWithoutItsFolderAsSha256sumDoes) {
  const std::string path = dir.File("split.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, path, true, 4096u).end, WorkEnd::Done);
  std::string expected = DigestOf(test::ReadFile(path)) + "  split.pim\n";
  for (unsigned n = 0; n < 11; ++n) {
    expected += DigestOf(test::ReadFile(BlockFileName(path, n))) + "  " + StrFormat("split.pim.%03u", n) + "\n";
  }
  EXPECT_EQ(ReadText(ChecksumFileName(path)), expected);
  EXPECT_EQ(ChecksumFileName(path), path + ".sha256");
}

TEST_F(ImageChecksumsTest, NamesWithABackslashOrALineBreakAreEscapedAndReadBack) {
  Sha256Digest digest{};
  digest[0] = 0xAB;
  EXPECT_EQ(ChecksumLine(digest, "/some/folder/plain.pim"), HexDigest(digest) + "  plain.pim\n");
  EXPECT_EQ(ChecksumLine(digest, "/f/a\\b\nc\rd.pim"), "\\" + HexDigest(digest) + "  a\\\\b\\nc\\rd.pim\n");
  // The escaped line, a binary-mode line with capital digits, and no line break at the end.
  std::string upper = HexDigest(digest);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  WriteText(dir.File("x.pim.sha256"), ChecksumLine(digest, "a\\b\nc\rd.pim") + upper + " *y.pim");
  const ImageChecksums read = ReadImageChecksums(dir.File("x.pim"));
  ASSERT_EQ(read.state, ImageChecksums::State::Read) << read.problem;
  EXPECT_EQ(read.byName.size(), 2u);
  EXPECT_EQ(read.byName.at("a\\b\nc\rd.pim"), digest);
  EXPECT_EQ(read.byName.at("y.pim"), digest);
  EXPECT_EQ(ReadImageChecksums(dir.File("none.pim")).state, ImageChecksums::State::Absent);
}

// A changed byte in the data of an uncompressed image leaves every header sound; only the
// checksum tells. The restore refuses with the target as it was; without its check it would
// write the changed byte; verify names the file.
TEST_F(ImageChecksumsTest, AFlippedBitInAnUncompressedImageIsCaughtBeforeTheFirstWrite) {
  const std::string path = dir.File("raw.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, path, false).end, WorkEnd::Done);
  Bytes bytes = test::ReadFile(path);
  bytes[kImageMagic.size() + kImageHeaderSize + 5 * 512 + 7] ^= 0x10;
  test::WriteFile(path, bytes);
  const Bytes before = Target();
  const std::string damaged = StrFormat(
      text::kImageDamaged, StrFormat(text::kImageChecksumWrong, path.c_str(), ChecksumFileName(path).c_str()).c_str());

  const WorkOutcome refused = Restore(*disk, test::kTargetStart, path);
  EXPECT_EQ(refused.end, WorkEnd::Failed);
  EXPECT_EQ(refused.text, damaged + text::kImageNothingWritten);
  EXPECT_EQ(Target(), before);
  EXPECT_EQ(VerifyImage(path, 2, progress, stop).text, damaged);

  ASSERT_EQ(Restore(*disk, test::kTargetStart, path, 2, false, false).end, WorkEnd::Done);
  EXPECT_NE(Target(), Sectors(test::kSourceStart, test::kSourceLength)) << "the flipped bit should have been written";
}

TEST_F(ImageChecksumsTest, AChecksumFileThatCannotBeUsedRefusesTheRestoreWithNothingWritten) {
  const std::string path = dir.File("split.pim");
  ASSERT_EQ(Save(*disk, test::kSourceStart, path, true, 4096u).end, WorkEnd::Done);
  const std::string sums = ChecksumFileName(path);
  const std::string lines = ReadText(sums);
  const std::string lastLine = lines.substr(lines.rfind('\n', lines.size() - 2) + 1);
  struct Case {
    const char* name;
    std::function<void()> damage;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"a line of another form", [&] { WriteText(sums, lines + "nonsense\n"); },
       StrFormat(text::kImageChecksumLineBad, sums.c_str(), 13u)},
      {"a block file not named", [&] { WriteText(sums, lines.substr(0, lines.size() - lastLine.size())); },
       StrFormat(text::kImageChecksumMissing, sums.c_str(), "split.pim.010")},
      {"a FIFO in its place", [&] { std::filesystem::remove(sums); ASSERT_EQ(::mkfifo(sums.c_str(), 0600), 0); },
       StrFormat(text::kImageChecksumFileUnreadable, sums.c_str(), text::kFileIsFifo)},
  };
  const Bytes before = Target();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.damage();
    const WorkOutcome outcome = Restore(*disk, test::kTargetStart, path);
    EXPECT_EQ(outcome.end, WorkEnd::Failed);
    EXPECT_EQ(outcome.text, c.message + text::kImageNothingWritten);
    EXPECT_EQ(Target(), before);
    EXPECT_EQ(VerifyImage(path, 1, progress, stop).text, c.message);
    std::filesystem::remove(sums);
  }
  // Without a checksum file the blocks are decompressed instead, and the image is sound.
  const WorkOutcome sound = VerifyImage(path, 1, progress, stop);
  EXPECT_EQ(sound.end, WorkEnd::Done);
  EXPECT_EQ(sound.text, StrFormat(text::kImageVerified, 11u, test::kSourceLength) +
                            StrFormat(text::kImageNoChecksumFile, sums.c_str()));
  test::RecordingProgress steps;
  EXPECT_EQ(RestoreImage(RestoreRequest(*disk, test::kTargetStart, path), steps, stop).end, WorkEnd::Done);
  EXPECT_EQ(steps.statuses, (std::vector<std::string>{text::kImageStatusBlocks, text::kImageStatusWriting}));
}

}  // namespace
}  // namespace korvex
