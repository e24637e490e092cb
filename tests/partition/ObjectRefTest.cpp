// Object references: a reference keeps naming its object while other objects change, and every
// operation given a reference whose object is gone says so and changes nothing.
#include <gtest/gtest.h>

#include "bootengine/DirectBoot.h"
#include "bootengine/MenuConfig.h"
#include "bootengine/Passwords.h"
#include "partition/PartitionEditing.h"
#include "partition/PositionChecks.h"
#include "platform/Texts.h"
#include "support/EditingFixture.h"
#include "support/FakeRestart.h"

namespace korvex {
namespace {

class ObjectRefTest : public test::EditingTest {
 protected:
  // Two primary partitions and a logical drive; the second partition is deleted again, so ref
  // names nothing.
  void SetUp() override {
    auto& img = MakeImage(200, 16);
    ASSERT_TRUE(img.AddPrimary(0, 0x06, 63, 10000));
    ASSERT_TRUE(img.AddPrimary(1, 0x07, 10063, 10000));
    ASSERT_TRUE(img.AddExtended(2, 0x05, 30000, 20000, {{30000, 30063, 9937}}));
    disk = Open();
    first = disk.Ref(At(disk->primary, 63));
    drive = disk.Ref(At(disk->logical, 30000));
    gone = disk.Ref(At(disk->primary, 10063));
    prompt.answers = {PromptAnswer::Yes};
    ASSERT_TRUE(DeletePartition(disk.copy(), gone, prompt));
    disk->MarkSaved();
    prompt.shown.clear();
  }
  // The operation failed with exactly one stop message that the object is gone, and the disk
  // holds what it held before.
  void ExpectGone(bool failed, const char* operation) {
    EXPECT_TRUE(failed) << operation;
    ASSERT_EQ(prompt.shown.size(), 1u) << operation;
    EXPECT_EQ(prompt.shown[0].text, text::kObjectGone) << operation;
    EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Stop) << operation;
    EXPECT_EQ(test::Objects(disk->primary), before) << operation;
    EXPECT_FALSE(disk->IsModified()) << operation;
    prompt.shown.clear();
  }

  test::DiskInCopy disk;
  ObjectRef first, drive, gone;
  std::vector<test::Obj> before;
};

TEST_F(ObjectRefTest, AReferenceKeepsItsObjectWhileOthersAreDeletedAndRebuilt) {
  // The deletion rebuilt the free areas of both levels; the other objects kept their keys.
  ASSERT_TRUE(Resolve(disk.copy(), first));
  EXPECT_EQ(Resolve(disk.copy(), first)->object->start, 63u);
  ASSERT_TRUE(Resolve(disk.copy(), drive));
  EXPECT_TRUE(Resolve(disk.copy(), drive)->IsLogical());
  EXPECT_EQ(Resolve(disk.copy(), drive)->object->start, 30000u);
  EXPECT_FALSE(Resolve(disk.copy(), gone));
  // A reference to a disk the copy does not hold names nothing either.
  EXPECT_FALSE(Resolve(disk.copy(), ObjectRef{7, LevelKind::Primary, first.key}));
}

TEST_F(ObjectRefTest, EveryOperationOnAnObjectThatIsGoneSaysSoAndChangesNothing) {
  before = test::Objects(disk->primary);
  WorkingCopy& copy = disk.copy();
  prompt.answers = {PromptAnswer::Yes, PromptAnswer::Yes, PromptAnswer::Yes};
  ExpectGone(!CreatePartition(copy, gone, CreateRequest{}, prompt), "CreatePartition");
  ExpectGone(!CreateInFreeArea(copy, gone, CreateRequest{}, prompt), "CreateInFreeArea");
  ExpectGone(!DeletePartition(copy, gone, prompt), "DeletePartition");
  ExpectGone(!ActivatePartition(copy, gone, prompt), "ActivatePartition");
  ExpectGone(!DeactivatePartition(copy, gone, prompt), "DeactivatePartition");
  ExpectGone(
      ApplyPartitionForm(copy, gone, FormFromObject(*disk, At(disk->primary, 63)), prompt) == FormApplyResult::Refused,
      "ApplyPartitionForm");
  ExpectGone(!CheckReport(copy, gone, prompt), "CheckReport");
  ExpectGone(!AddToMenu(copy, gone, prompt), "AddToMenu");
  ExpectGone(!RemoveFromMenu(copy, gone, prompt), "RemoveFromMenu");
  ExpectGone(!MoveMenuEntry(copy, gone, 0, prompt), "MoveMenuEntry");
  ExpectGone(!MoveMenuEntryByOne(copy, gone, true, prompt), "MoveMenuEntryByOne");
  ExpectGone(!SetMenuTitle(copy, gone, "Titel", prompt), "SetMenuTitle");
  ExpectGone(!SetDefaultPartition(copy, gone, prompt), "SetDefaultPartition");
  ExpectGone(SetPartitionPassword(copy, gone, "geheim", "geheim", prompt) == PasswordResult::Refused,
             "SetPartitionPassword");
  ExpectGone(!DeletePartitionPassword(copy, gone, prompt), "DeletePartitionPassword");
  test::FakeRestart restart;
  ExpectGone(BootPartition(copy, gone, prompt, restart) == DirectBootResult::Refused, "BootPartition");
  EXPECT_EQ(restart.calls, 0);
}

}  // namespace
}  // namespace korvex
