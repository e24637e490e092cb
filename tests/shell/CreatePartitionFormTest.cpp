// The "Partition erzeugen" dialog's rules: the size it proposes and which controls the choices
// enable, on a disk with the boot engine and on one without.
#include "shell/CreatePartitionForm.h"

#include "bootengine/EngineDiskFixture.h"

namespace korvex {
namespace {

class CreatePartitionFormTest : public test::EngineDiskTest {};

TEST_F(CreatePartitionFormTest, TheProposedSizeIsTheFreeAreaInTheUnitOfItsSizeText) {
  CPartition area(0, 6 * 1024 * 1024, 255);  // 3 GiB
  EXPECT_EQ(ProposedCreateSize(area).unit, CreateUnit::GByte);
  EXPECT_FLOAT_EQ(ProposedCreateSize(area).value, 3.0f);
  area.length = 3000;  // 1.46 MiB
  EXPECT_EQ(ProposedCreateSize(area).unit, CreateUnit::MByte);
  area.length = 2048;  // exactly 1 MiB: 1.00 MByte, not 1024 kByte
  EXPECT_EQ(ProposedCreateSize(area).unit, CreateUnit::MByte);
  EXPECT_FLOAT_EQ(ProposedCreateSize(area).value, 1.0f);
  area.length = 3u << 30;  // 1.5 TiB: the box has no TByte, so 1536 GByte
  EXPECT_EQ(ProposedCreateSize(area).unit, CreateUnit::GByte);
  EXPECT_FLOAT_EQ(ProposedCreateSize(area).value, 1536.0f);
  area.length = 1;
  EXPECT_EQ(ProposedCreateSize(area).unit, CreateUnit::KByte);
  EXPECT_FLOAT_EQ(ProposedCreateSize(area).value, 0.5f);
  EXPECT_EQ(CreateUnitNames().at(static_cast<int>(CreateUnit::MByte)), "MByte");
}

TEST_F(CreatePartitionFormTest, ControlsFollowTheChoicesTheLevelAndTheEngine) {
  auto engine = Open(MakeEngineDisk("0.img", {.menu = {0}}));
  CreateChoices choices;
  CreateControlStates states = CreateControls(*engine, false, choices);
  EXPECT_FALSE(states.sizeControls || states.slotBox);
  EXPECT_TRUE(states.menuBox && states.placeRadios);

  choices.partial = true;
  choices.atPosition = true;
  states = CreateControls(*engine, false, choices);
  EXPECT_TRUE(states.sizeControls && states.slotBox);

  // Into the menu: no table place to choose; an extended partition cannot go there.
  choices.toMenu = true;
  states = CreateControls(*engine, false, choices);
  EXPECT_FALSE(states.placeRadios || states.slotBox);
  choices.type = 5;
  states = CreateControls(*engine, false, choices);
  EXPECT_FALSE(states.menuBox);
  EXPECT_TRUE(states.placeRadios && states.slotBox);

  // A logical drive has neither menu nor table place.
  states = CreateControls(*engine, true, CreateChoices{});
  EXPECT_FALSE(states.menuBox || states.placeRadios || states.slotBox);

  // Without the engine there is no menu to go into.
  std::string error;
  auto image = ImageBuilder::Create(dir.File("1.img"), 30, 16, 63, error);
  ASSERT_TRUE(image) << error;
  ASSERT_TRUE(image->SetSignature(0));
  auto plain = Open(image->Spec());
  EXPECT_FALSE(CreateControls(*plain, false, CreateChoices{.toMenu = true}).menuBox);
  EXPECT_TRUE(CreateControls(*plain, false, CreateChoices{.toMenu = true}).placeRadios);
}

}  // namespace
}  // namespace korvex
