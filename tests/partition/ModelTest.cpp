// The partition objects and the queries of a disk's working copy.
#include <gtest/gtest.h>

#include "demo/ImageBuilder.h"
#include "partition/CHardDisk.h"
#include "platform/StringTable.h"
#include "support/DiskInCopy.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

TEST(PartitionTitleTest, KeepsFortyCharactersPaddedWithBlanks) {
  CPartition p(0, 1, 0);
  EXPECT_EQ(p.GetTitle(), "");  // a new object's title is 40 zero bytes
  p.SetTitle(std::string(45, 'x'));
  EXPECT_EQ(p.GetTitle(), std::string(40, 'x'));
  p.SetTitle("  Windows  98   ");
  EXPECT_EQ(p.GetTitle(), "  Windows  98");
  EXPECT_EQ(p.title[39], ' ');
  p.SetTitle("");
  EXPECT_EQ(p.GetTitle(), "");
  EXPECT_EQ(p.title[0], ' ');
}

TEST(PartitionStateTest, MarkNewChoosesMenuOrTable) {
  CPartition p;
  p.MarkNew(PartitionState::NewMenu);
  EXPECT_TRUE(p.IsNewMenu());
  EXPECT_TRUE(p.isNew);
  CPartition q;
  q.MarkNew(PartitionState::Menu);
  EXPECT_TRUE(q.IsNewTable());
}

class DiskQueryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    auto image = ImageBuilder::Create(dir.File("d.img"), 100, 16, 63, error);
    ASSERT_TRUE(image) << error;
    ASSERT_TRUE(image->AddPrimary(0, 0x0F, 63, 10000));
    disk = test::OpenDisk(*image, prompt);
  }
  CPartition& Add(PartitionState state, std::uint32_t start, std::uint8_t slot) {
    auto p = std::make_unique<CPartition>(start, 100, slot);
    p->state = state;
    auto* raw = p.get();
    disk->primary.Insert(std::move(p));
    return *raw;
  }

  test::TempDir dir;
  test::ScriptedPrompt prompt;
  test::DiskInCopy disk;
};

TEST_F(DiskQueryTest, CountsMenuEntriesOfBothMenuStatesAndFindsType15) {
  Add(PartitionState::Menu, 20000, 1);
  Add(PartitionState::NewMenu, 30000, 127);
  Add(PartitionState::Menu, 40000, 0);
  EXPECT_EQ(disk->MenuEntryCount(), 3);
  ASSERT_NE(disk->FindExtended(), nullptr);
  EXPECT_EQ(disk->FindExtended()->type, 0x0F);
  const auto bySlot = disk->MenuEntriesBySlot();
  ASSERT_EQ(bySlot.size(), 3u);
  EXPECT_EQ(bySlot[0].start, 40000u);
  EXPECT_EQ(bySlot[2].slot, 127);
}

TEST_F(DiskQueryTest, PassDefaultGoesToTheFirstMenuEntryInLevelOrder) {
  CPartition& leaving = Add(PartitionState::Table, 20000, 2);
  leaving.isDefault = true;
  Add(PartitionState::Menu, 30000, 1);
  disk->primary.SortByStart();
  disk->PassDefault(leaving, disk->primary, prompt);
  EXPECT_FALSE(leaving.isDefault);
  EXPECT_TRUE(disk->primary.FindFirst([](const CPartition& p) { return p.IsMenu(); })->isDefault);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(DiskQueryTest, PassDefaultWithoutMenuEntriesWarnsAndResetsTheDefaultEntry) {
  CPartition& leaving = Add(PartitionState::Table, 20000, 2);
  leaving.isDefault = true;
  disk->sector0[0x95] = 3;
  disk->PassDefault(leaving, disk->primary, prompt);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, LoadResString(IDS_NO_PRIMARY_LEFT));
  EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Exclamation);
  EXPECT_EQ(disk->sector0[0x95], 0);
  EXPECT_TRUE(disk->IsModified());
}

TEST_F(DiskQueryTest, KeysStayWithTheirObjectsAcrossSortsAndAreUnique) {
  CPartition& late = Add(PartitionState::Table, 50000, 1);
  CPartition& early = Add(PartitionState::Table, 1, 2);
  const PartitionKey lateKey = disk->primary.KeyOf(&late);
  disk->primary.SortByStart();
  EXPECT_EQ(disk->primary.Find(lateKey), &late);
  EXPECT_NE(disk->primary.KeyOf(&early), lateKey);
  EXPECT_NE(disk->primary.KeyOf(&early), disk->logical.items().front().key);
}

}  // namespace
}  // namespace korvex
