// Saving beside file systems this machine has mounted (from a sysfs and mount table made in the
// test's folder): a save that deletes, moves, shrinks or retypes a mounted partition, creates a
// partition destructively over one, or writes any sector inside one is refused before its first
// write; every other change is saved.
#include <gtest/gtest.h>

#include <functional>

#include "partition/PartitionEntry.h"
#include "partition/PartitionEditing.h"
#include "partition/PositionChecks.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"
#include "support/EditingFixture.h"
#include "support/FakeMounts.h"

namespace korvex {
namespace {

constexpr std::uint32_t kLinuxStart = 2048;  // the mounted partition
constexpr std::uint32_t kLinuxLength = 20000;
constexpr std::uint32_t kDataStart = 30000;  // another partition
constexpr std::uint32_t kDataLength = 20000;
constexpr std::uint32_t kExtendedStart = 60000;
constexpr std::uint32_t kDriveData = kExtendedStart + 63;
constexpr std::uint32_t kDriveLength = 10000;

class MountedSaveTest : public test::EditingTest {
 protected:
  void SetUp() override { Build(); }
  void Build() {
    auto& img = MakeImage(100, 16);
    ASSERT_TRUE(img.AddPrimary(0, 0x83, kLinuxStart, kLinuxLength));
    ASSERT_TRUE(img.AddPrimary(1, 0x07, kDataStart, kDataLength));
    ASSERT_TRUE(img.AddExtended(2, 0x05, kExtendedStart, 30000, {{kExtendedStart, kDriveData, kDriveLength}}));
  }
  // The sectors a refused save must not have changed.
  std::vector<std::vector<std::uint8_t>> Watched() const {
    std::vector<std::vector<std::uint8_t>> sectors;
    for (std::uint32_t lba : {0u, 1u, kLinuxStart, kDataStart, kExtendedStart}) {
      sectors.push_back(*image->ReadSector(lba));
    }
    return sectors;
  }
  // loop0p1 over sectors [first, first + count) of the image is mounted.
  MountSources Mounted(std::uint64_t first, std::uint64_t count, bool whole = false) {
    return test::FakeLoopMount(dir.path(), image->path(), 0, first, count, whole);
  }
  std::string Refusal(std::uint64_t first, std::uint64_t last, const char* device = "loop0p1") const {
    return StrFormat(text::kSaveTouchesMount, "PHYSICALDRIVE0", static_cast<unsigned long long>(first),
                     static_cast<unsigned long long>(last), device, "/mnt/alte daten");
  }
  // Applies the partition form of the partition at start with another start, length or type.
  bool ApplyForm(test::DiskInCopy& disk, std::uint32_t start, std::uint32_t newStart, std::uint32_t newLength,
                 std::uint8_t type) {
    CPartition& object = At(disk->primary, start);
    PartitionForm form = FormFromObject(*disk, object);
    form.relativeStart = newStart;
    form.length = newLength;
    form.type = type;
    RelativeToAbsolute(*disk, form);
    prompt.answers = {PromptAnswer::Yes};
    return ApplyPartitionForm(disk.copy(), disk.Ref(object), form, prompt) == FormApplyResult::Applied;
  }
};

// The ext4 partition is mounted: deleting it and creating a destructive FAT16 in its place,
// shrinking it, moving it or giving it another type is refused, naming the mount point, and
// the disk is as it was.
TEST_F(MountedSaveTest, ChangesUnderAMountedFileSystemAreRefusedBeforeTheFirstWrite) {
  const MountSources mounts = Mounted(kLinuxStart, kLinuxLength);
  const auto before = Watched();
  const auto deleteAndCreate = [&](test::DiskInCopy& disk) {
    prompt.answers = {PromptAnswer::Yes};
    if (!DeletePartition(disk.copy(), disk.Ref(At(disk->primary, kLinuxStart)), prompt)) return false;
    CreateRequest request;
    request.type = 0x06;
    return CreateInFreeArea(disk.copy(), disk.Ref(At(disk->primary, 63)), request, prompt);
  };
  const std::vector<std::pair<const char*, std::function<bool(test::DiskInCopy&)>>> changes = {
      {"delete and create", deleteAndCreate},
      {"shrink", [&](test::DiskInCopy& d) { return ApplyForm(d, kLinuxStart, kLinuxStart, kLinuxLength - 1, 0x83); }},
      {"move", [&](test::DiskInCopy& d) { return ApplyForm(d, kLinuxStart, kLinuxStart + 1008, kLinuxLength, 0x83); }},
      {"retype", [&](test::DiskInCopy& d) { return ApplyForm(d, kLinuxStart, kLinuxStart, kLinuxLength, 0x0B); }},
  };
  for (const auto& [name, change] : changes) {
    SCOPED_TRACE(name);
    auto disk = Open();
    ASSERT_TRUE(change(disk)) << LastText();
    EXPECT_FALSE(WriteDisk(*disk, prompt, mounts));
    EXPECT_EQ(prompt.shown.back().text, Refusal(kLinuxStart, kLinuxStart + kLinuxLength - 1));
    EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Stop);
    EXPECT_TRUE(disk->IsModified());
    EXPECT_EQ(Watched(), before);
  }
}

// A change that stays clear of the mount is saved; the boundaries are exact to the sector.
TEST_F(MountedSaveTest, ChangesBesideAMountAreSaved) {
  const auto deleteData = [&](const MountSources& mounts) {
    Build();
    auto disk = Open();
    prompt.answers = {PromptAnswer::Yes};
    EXPECT_TRUE(DeletePartition(disk.copy(), disk.Ref(At(disk->primary, kDataStart)), prompt));
    return WriteDisk(*disk, prompt, mounts);
  };
  // Mounts that end just before the data partition or begin just after it.
  EXPECT_FALSE(deleteData(Mounted(kLinuxStart, kDataStart - kLinuxStart + 1)));
  EXPECT_EQ(prompt.shown.back().text, Refusal(kDataStart, kDataStart + kDataLength - 1));
  EXPECT_FALSE(deleteData(Mounted(kDataStart + kDataLength - 1, 100)));
  EXPECT_TRUE(deleteData(Mounted(kDataStart + kDataLength, 100))) << LastText();
  EXPECT_EQ(ReadTableEntry(*image->ReadSector(0), 1).type, 0);
  EXPECT_TRUE(deleteData(Mounted(kLinuxStart, kDataStart - kLinuxStart)));

  // Activating the mounted partition changes nothing under it.
  Build();
  auto disk = Open();
  const MountSources mounts = Mounted(kLinuxStart, kLinuxLength);
  ASSERT_TRUE(ActivatePartition(disk.copy(), disk.Ref(At(disk->primary, kLinuxStart)), prompt));
  EXPECT_TRUE(WriteDisk(*disk, prompt, mounts)) << LastText();
  EXPECT_EQ(ReadTableEntry(*image->ReadSector(0), 0).bootIndicator, 0x80);
}

// A logical drive is mounted by its data, which begins after its extended boot record: deleting
// it is refused with the data's range; a new partition made destructively over a mount the
// tables do not describe is refused, the same partition made without clearing is saved.
TEST_F(MountedSaveTest, LogicalDrivesAndNewPartitionsAreMeasuredByTheirData) {
  auto disk = Open();
  prompt.answers = {PromptAnswer::Yes};
  ASSERT_TRUE(DeletePartition(disk.copy(), disk.Ref(At(disk->logical, kExtendedStart)), prompt));
  EXPECT_FALSE(WriteDisk(*disk, prompt, Mounted(kDriveData, kDriveLength)));
  EXPECT_EQ(prompt.shown.back().text, Refusal(kDriveData, kDriveData + kDriveLength - 1));
  // The record itself is not under the drive's file system: rewriting the chain is no change
  // of the data.
  disk = Open();
  ASSERT_TRUE(WriteDisk(*disk, prompt, Mounted(kDriveData, kDriveLength))) << LastText();

  const std::uint32_t freeStart = kExtendedStart + 30000;
  const MountSources stray = Mounted(freeStart + 5000, 10);
  for (const bool destructive : {true, false}) {
    disk = Open();
    CreateRequest request;
    request.destructive = destructive;
    ASSERT_TRUE(CreateInFreeArea(disk.copy(), disk.Ref(At(disk->primary, freeStart)), request, prompt));
    // A refused save puts the working copy back as it was, objects and all: keep the end.
    const auto madeEnd = At(disk->primary, freeStart).End();
    EXPECT_EQ(WriteDisk(*disk, prompt, stray), !destructive) << LastText();
    if (destructive) {
      EXPECT_EQ(prompt.shown.back().text, Refusal(freeStart, madeEnd - 1));
    }
  }
}

// A file system on the whole device: every save writes into it (here first the extended boot
// record, then sector 0) and is refused.
TEST_F(MountedSaveTest, AFileSystemOnTheWholeDeviceRefusesEverySave) {
  auto disk = Open();
  disk->MarkModified();
  const auto before = Watched();
  EXPECT_FALSE(WriteDisk(*disk, prompt, Mounted(0, 0, true)));
  EXPECT_EQ(prompt.shown.back().text, Refusal(kExtendedStart, kExtendedStart, "loop0"));
  EXPECT_EQ(Watched(), before);
}

}  // namespace
}  // namespace korvex
