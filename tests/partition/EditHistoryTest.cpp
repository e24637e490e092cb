// Undo and redo of the working copy: every edit can be taken back and done again one step at a
// time, byte for byte, a user action is one step however many changes it makes, and a save or
// a failed save leaves the history as the disk then is.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "bootengine/LoaderRecognition.h"
#include "partition/EditHistory.h"
#include "partition/PartitionEditing.h"
#include "partition/PositionChecks.h"
#include "platform/OsIdentity.h"
#include "support/EditingFixture.h"
#include "support/FaultyTransport.h"

namespace korvex {
namespace {

// 4 cylinders of 255 heads and 63 sectors: a Linux partition in the first cylinder, free space
// behind it.
constexpr std::uint32_t kCylinder = 255 * 63;

class EditHistoryTest : public test::EditingTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeImage(4, 255).AddPrimary(0, 0x83, 63, kCylinder - 63));
    original = FileBytes();
  }
  std::vector<char> FileBytes() const {
    std::ifstream file(image->path(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  // The three edits of a user, each one action: a 10 MByte partition in the free space, the
  // Linux partition deleted, the new partition's type changed through the form.
  void CreateDeleteApply(test::DiskInCopy& disk) {
    WorkingCopy& copy = disk.copy();
    prompt.answers = {PromptAnswer::Yes, PromptAnswer::Yes};  // delete it; change the type
    {
      EditStep step(copy);
      CreateRequest request;
      request.wholeSpace = false;
      request.value = 10;
      request.alignment = CreateAlignment::Cylinder;
      ASSERT_TRUE(CreatePartition(copy, disk.Ref(At(disk->primary, kCylinder)), request, prompt)) << LastText();
    }
    {
      EditStep step(copy);
      ASSERT_TRUE(DeletePartition(copy, disk.Ref(At(disk->primary, 63)), prompt)) << LastText();
    }
    {
      EditStep step(copy);
      CPartition& made = At(disk->primary, kCylinder);
      PartitionForm form = FormFromObject(*disk, made);
      form.type = 0x07;
      ASSERT_EQ(ApplyPartitionForm(copy, disk.Ref(made), form, prompt), FormApplyResult::Applied) << LastText();
    }
  }
  bool AsRead(const test::DiskInCopy& disk) const {
    return SameContent(CaptureState(*disk), *disk.copy().history().StateAsRead(0));
  }

  std::vector<char> original;
};

TEST_F(EditHistoryTest, ThreeUndosRestoreTheDiskAsReadAndThreeRedosSaveWhatTheEditsWouldHave) {
  // What the three edits save without any undo, on a copy of the same image.
  std::vector<char> expected;
  {
    auto disk = Open();
    CreateDeleteApply(disk);
    ASSERT_TRUE(SaveModifiedDisks(disk.copy(), prompt));
    expected = FileBytes();
    ASSERT_NE(expected, original);
    std::ofstream(image->path(), std::ios::binary | std::ios::trunc).write(original.data(), original.size());
  }

  auto disk = Open();
  const DiskState asRead = CaptureState(*disk);
  CreateDeleteApply(disk);
  for (int k = 0; k < 3; ++k) ASSERT_TRUE(disk.copy().Undo()) << "undo " << k;
  EXPECT_FALSE(disk.copy().Undo()) << "only three steps";
  // Key assertion: the working copy is the disk as read, keys included, and no longer modified.
  EXPECT_TRUE(AsRead(disk));
  EXPECT_EQ(CaptureState(*disk).primary, asRead.primary);
  EXPECT_FALSE(disk->IsModified());
  ASSERT_TRUE(SaveModifiedDisks(disk.copy(), prompt));
  EXPECT_EQ(FileBytes(), original) << "the saved image is the original byte for byte";

  for (int k = 0; k < 3; ++k) ASSERT_TRUE(disk.copy().Redo()) << "redo " << k;
  EXPECT_FALSE(disk.copy().history().CanRedo());
  EXPECT_TRUE(disk->IsModified());
  ASSERT_TRUE(SaveModifiedDisks(disk.copy(), prompt));
  EXPECT_EQ(FileBytes(), expected) << "the redone edits save what the edits saved without undo";
}

TEST_F(EditHistoryTest, EachUndoTakesBackOneActionAndANewEditDropsWhatCouldBeRedone) {
  auto disk = Open();
  CreateDeleteApply(disk);
  ASSERT_TRUE(disk.copy().Undo());  // the type goes back to 6
  EXPECT_EQ(At(disk->primary, kCylinder).type, 6);
  ASSERT_TRUE(disk.copy().Undo());  // the Linux partition comes back
  EXPECT_EQ(At(disk->primary, 63).type, 0x83);
  EXPECT_TRUE(At(disk->primary, kCylinder).IsNewTable());
  ASSERT_TRUE(disk.copy().Redo());
  EXPECT_TRUE(At(disk->primary, 63).IsFree());
  EXPECT_TRUE(disk.copy().history().CanRedo());

  // A new edit: what was undone cannot come back over it.
  ASSERT_TRUE(ActivatePartition(disk.copy(), disk.Ref(At(disk->primary, kCylinder)), prompt)) << LastText();
  EXPECT_FALSE(disk.copy().history().CanRedo());
  ASSERT_TRUE(disk.copy().Undo());
  EXPECT_TRUE(At(disk->primary, kCylinder).IsNewTable());
}

TEST_F(EditHistoryTest, OneActionIsOneStepAndAnActionThatChangesNothingIsNone) {
  auto disk = Open();
  WorkingCopy& copy = disk.copy();
  {
    EditStep step(copy);
    ASSERT_TRUE(CreatePartition(copy, disk.Ref(At(disk->primary, kCylinder)), CreateRequest{}, prompt));
    ASSERT_TRUE(ActivatePartition(copy, disk.Ref(At(disk->primary, 63)), prompt)) << LastText();
    ASSERT_TRUE(DeactivatePartition(copy, disk.Ref(At(disk->primary, 63)), prompt)) << LastText();
    ASSERT_TRUE(ActivatePartition(copy, disk.Ref(At(disk->primary, 63)), prompt)) << LastText();
  }
  {
    EditStep step(copy);
    copy.MarkModified(0);  // a dialog cancelled: marked, but nothing changed
  }
  ASSERT_TRUE(copy.Undo());
  EXPECT_TRUE(AsRead(disk));
  EXPECT_FALSE(copy.history().CanUndo());

  // Without an action around them, every reported change is a step of its own.
  ASSERT_TRUE(ActivatePartition(copy, disk.Ref(At(disk->primary, 63)), prompt));
  ASSERT_TRUE(DeactivatePartition(copy, disk.Ref(At(disk->primary, 63)), prompt));
  ASSERT_TRUE(copy.Undo());
  EXPECT_TRUE(At(disk->primary, 63).IsActiveTable());
}

TEST_F(EditHistoryTest, ASaveClearsTheHistoryAndBecomesTheStateAsRead) {
  auto disk = Open();
  CreateDeleteApply(disk);
  ASSERT_TRUE(WriteDisk(*disk, prompt)) << LastText();
  EXPECT_FALSE(disk.copy().history().CanUndo());
  EXPECT_FALSE(disk.copy().Undo());
  EXPECT_TRUE(AsRead(disk));
  EXPECT_EQ(At(disk->primary, kCylinder).type, 0x07);
}

TEST_F(EditHistoryTest, AFailedSaveLeavesTheWorkingCopyAndItsHistoryAsTheyWere) {
  std::string error;
  auto transport = std::make_unique<test::FaultyTransport>(OpenFileDevice(*ParseDeviceSpec(image->Spec(), error)));
  test::FaultyTransport& faulty = *transport;
  test::DiskInCopy disk(std::make_unique<CHardDisk>(0, std::move(transport), OsVersion{}, HoldsOurLoader, prompt), prompt);
  CreateDeleteApply(disk);
  const DiskState edited = CaptureState(*disk);
  faulty.writesBeforeFailure = 1;
  {
    EditStep step(disk.copy());  // as the window program runs "Speichern"
    EXPECT_FALSE(WriteDisk(*disk, prompt));
  }
  EXPECT_TRUE(disk->IsModified());
  // The images hold no half-built tables, and the save is no step to undo.
  EXPECT_TRUE(SameContent(CaptureState(*disk), edited));
  ASSERT_TRUE(disk.copy().Undo());
  EXPECT_EQ(At(disk->primary, kCylinder).type, 6);
}

}  // namespace
}  // namespace korvex
