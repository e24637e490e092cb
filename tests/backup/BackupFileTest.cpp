// The boot record backup file: what it holds, that loading it back reproduces the levels, and
// that every file it cannot use is refused without changing the working copy.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "backup/BackupFile.h"
#include "bootengine/EngineFixture.h"
#include "bootengine/LoaderRecognition.h"
#include "bootengine/Templates.h"
#include "platform/FileDevice.h"
#include "support/FaultyTransport.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

class BackupFileTest : public test::EngineFixture {
 protected:
  std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
  }
  void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
};

TEST_F(BackupFileTest, ExportedAndImportedBackupReproducesBothLevels) {
  std::vector<std::uint8_t> lba1(512, 0);
  lba1[0] = 0x42;  // something to recognise in the second half
  ASSERT_TRUE(image->WriteSector(1, lba1));
  auto disk = Open();
  const auto model = test::Model(*disk);
  const std::string path = dir.File("MBR.save");
  ASSERT_TRUE(ExportBackup(*disk, path, prompt));
  const auto bytes = ReadFile(path);
  ASSERT_EQ(bytes.size(), 1024u);
  EXPECT_TRUE(std::equal(disk->sector0.begin(), disk->sector0.end(), bytes.begin()));
  EXPECT_TRUE(std::equal(bytes.begin() + 512, bytes.end(), disk->engineArea.begin()));

  // The working copy loses its tables; the backup brings them back.
  std::fill(disk->sector0.begin() + kPartitionTableOffset, disk->sector0.begin() + 510, std::uint8_t{0});
  disk->engineArea[0] = 0;
  disk->Reparse(prompt);
  ASSERT_NE(test::Model(*disk), model);
  ASSERT_TRUE(ImportBackup(*disk, path, prompt));
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(test::Model(*disk), model);
  EXPECT_EQ(disk->engineArea[0], 0x42);
  EXPECT_TRUE(disk->IsModified());
  // After the save the CHS bytes are recomputed, the levels read back the same.
  auto reread = SaveAndReopen(*disk);
  EXPECT_EQ(test::Model(*reread), model);
  EXPECT_EQ(Sector(1), lba1);
}

// A backup holds the two sectors as they are on the disk: an LBA 1 that starts with E9h 69h
// without a valid engine behind it (the working copy has the bytes cleared) keeps them, and
// edits of the working copy do not reach the file. A sector that cannot be read writes no file.
TEST_F(BackupFileTest, ExportWritesTheSectorsAsTheyAreOnTheDisk) {
  const std::vector<std::uint8_t> lba1(kEngineTemplate.begin(), kEngineTemplate.begin() + 512);
  ASSERT_TRUE(image->WriteSector(1, lba1));
  auto disk = Open();
  ASSERT_FALSE(disk->EngineInstalled());
  disk->sector0[kPartitionTableOffset] ^= 0x80;
  const std::string path = dir.File("MBR.save");
  ASSERT_TRUE(ExportBackup(*disk, path, prompt));
  auto onDisk = Sector(0);
  onDisk.insert(onDisk.end(), lba1.begin(), lba1.end());
  EXPECT_EQ(ReadFile(path), onDisk);

  std::string error;
  auto transport = std::make_unique<test::FaultyTransport>(OpenFileDevice(*ParseDeviceSpec(image->Spec(), error)));
  test::FaultyTransport* faulty = transport.get();
  CHardDisk failing(0, std::move(transport), OsVersion{}, HoldsOurLoader, prompt);
  faulty->unreadableSectors = {1};
  prompt.shown.clear();
  EXPECT_FALSE(ExportBackup(failing, dir.File("other.save"), prompt));
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{StrFormat(text::kBackupReadFailed, 1u, "PHYSICALDRIVE0",
                                                               std::strerror(EIO))});
  EXPECT_FALSE(std::filesystem::exists(dir.File("other.save")));
}

TEST_F(BackupFileTest, ExportReplacesAnOldFileWholeAndReportsAFileItCannotCreate) {
  auto disk = Open();
  const std::string path = dir.File("MBR.save");
  WriteFile(path, std::vector<std::uint8_t>(4096, 0xAB));
  ASSERT_TRUE(ExportBackup(*disk, path, prompt));
  EXPECT_EQ(ReadFile(path).size(), 1024u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // no temporary file left

  EXPECT_FALSE(ExportBackup(*disk, dir.File("missing/MBR.save"), prompt));
  EXPECT_FALSE(ExportBackup(*disk, dir.path().string(), prompt));  // a directory is no file
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_EQ(prompt.shown[0].text, text::kBackupCannotCreate + StrFormat(text::kPathAndReason,
                                                                        dir.File("missing/MBR.save").c_str(),
                                                                        std::strerror(ENOENT)));
  EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Exclamation);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST_F(BackupFileTest, FilesThatCannotBeUsedAreRefusedAndChangeNothing) {
  std::vector<std::uint8_t> noSignature(1024, 0);
  std::vector<std::uint8_t> shortFile(700, 0);
  shortFile[510] = 0x55;
  shortFile[511] = 0xAA;
  WriteFile(dir.File("nosig.save"), noSignature);
  WriteFile(dir.File("short.save"), shortFile);
  WriteFile(dir.File("tiny.save"), {1, 2, 3});
  ASSERT_EQ(::mkfifo(dir.File("fifo.save").c_str(), 0600), 0);  // opened, it would wait for a writer
  const auto cannotOpen = [](const std::string& path, const std::string& reason) {
    return LoadResString(IDS_BACKUP_CANNOT_OPEN) + StrFormat(text::kPathAndReason, path.c_str(), reason.c_str());
  };
  struct Case {
    std::string path;
    std::string text;
    PromptIcon icon;
  };
  const std::vector<Case> cases = {
      {"", LoadResString(IDS_NO_BACKUP_FILE), PromptIcon::Information},
      {dir.File("missing.save"), cannotOpen(dir.File("missing.save"), std::strerror(ENOENT)), PromptIcon::Exclamation},
      {dir.path().string(), cannotOpen(dir.path().string(), text::kFileIsDirectory), PromptIcon::Exclamation},
      {dir.File("fifo.save"), cannotOpen(dir.File("fifo.save"), text::kFileIsFifo), PromptIcon::Exclamation},
      {"/dev/null", cannotOpen("/dev/null", text::kFileIsDevice), PromptIcon::Exclamation},
      {dir.File("nosig.save"), LoadResString(IDS_NOT_A_BACKUP), PromptIcon::Exclamation},
      {dir.File("short.save"), StrFormat(text::kBackupTooShort, 700u), PromptIcon::Exclamation},
      {dir.File("tiny.save"), StrFormat(text::kBackupTooShort, 3u), PromptIcon::Exclamation},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    auto disk = Open();
    const auto model = test::Model(*disk);
    const auto sector0 = disk->sector0;
    const auto area = disk->engineArea;
    prompt.shown.clear();
    EXPECT_FALSE(ImportBackup(*disk, c.path, prompt));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, c.text);
    EXPECT_EQ(prompt.shown[0].icon, c.icon);
    EXPECT_EQ(test::Model(*disk), model);
    EXPECT_EQ(disk->sector0, sector0);
    EXPECT_EQ(disk->engineArea, area);
    EXPECT_FALSE(disk->IsModified());
    EXPECT_FALSE(disk->engineAreaToWrite);
  }
}

TEST_F(BackupFileTest, ABackupIsNotLoadedOntoAGptDisk) {
  auto disk = Open();
  ASSERT_TRUE(ExportBackup(*disk, dir.File("MBR.save"), prompt));
  ASSERT_TRUE(image->SetEntry(0, 0, {0, 0xEE, 1, 1000}));
  auto gpt = Open();
  ASSERT_TRUE(gpt->gpt);
  const auto sector0 = gpt->sector0;
  EXPECT_FALSE(ImportBackup(*gpt, dir.File("MBR.save"), prompt));
  EXPECT_EQ(prompt.Texts().back(), StrFormat(text::kGptUnchanged, gpt->DeviceName().c_str()));
  EXPECT_EQ(gpt->sector0, sector0);
  EXPECT_FALSE(gpt->IsModified());
}

}  // namespace
}  // namespace korvex

namespace korvex {
namespace {

// The backup is renamed into place: a FIFO, a symbolic link or a directory there is refused with
// a message and left as it was (a device node the same way), the link's target untouched.
TEST_F(BackupFileTest, ExportRefusesATargetThatIsNotARegularFile) {
  auto disk = Open();
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string target = dir.File("target");
  WriteFile(target, {1, 2, 3});
  const std::string link = dir.File("link");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  for (const std::string& path : {fifo, link, dir.path().string()}) {
    prompt.shown.clear();
    EXPECT_FALSE(ExportBackup(*disk, path, prompt)) << path;
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, StrFormat(text::kOutputNotAFile, path.c_str()));
    EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Stop);
  }
  struct stat info {};
  ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  ASSERT_EQ(::lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(ReadFile(target), (std::vector<std::uint8_t>{1, 2, 3}));
}

// The backup never replaces the file of a disk of the working copy: the disk it saves, under
// any name of its file, or another one.
TEST_F(BackupFileTest, ExportRefusesTheFileOfAnOpenDisk) {
  auto disk = Open();
  std::string error;
  auto second = ImageBuilder::Create(dir.File("second.img"), 20, 16, 63, error);
  ASSERT_TRUE(second);
  disk.copy().Add(std::make_unique<CHardDisk>(1, OpenFileDevice(*ParseDeviceSpec(second->Spec(), error)), OsVersion{},
                                              HoldsOurLoader, prompt));
  const std::string link = dir.File("same-disk");
  ASSERT_EQ(::link(image->path().c_str(), link.c_str()), 0);
  const auto sizeBefore = std::filesystem::file_size(image->path());
  for (const std::string& path : {image->path(), link, second->path()}) {
    prompt.shown.clear();
    EXPECT_FALSE(ExportBackup(*disk, path, prompt)) << path;
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, StrFormat(text::kOutputIsOpenDisk, path.c_str()));
  }
  EXPECT_EQ(std::filesystem::file_size(image->path()), sizeBefore);
  EXPECT_EQ(std::filesystem::file_size(second->path()), 20u * 16 * 63 * 512);
}

}  // namespace
}  // namespace korvex
