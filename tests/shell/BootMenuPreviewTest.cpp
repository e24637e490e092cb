// The boot menu preview's rules: the colour strip and its background limit, the screen that
// follows every colour and order change, and what OK and "Abbrechen" leave in the working copy.
#include "shell/BootMenuPreview.h"

#include "bootengine/EngineDiskFixture.h"
#include "platform/StringTable.h"

namespace korvex {
namespace {

constexpr unsigned kColumn = 16;
constexpr unsigned kBarCharacter = 18;  // the bar covers characters 2..44 of an entry's line

class BootMenuPreviewTest : public test::EngineDiskTest {
 protected:
  // The title text on an entry's screen row.
  static std::string RowTitle(const TextScreen& screen, unsigned entry) {
    std::string title;
    for (unsigned column = kColumn + 3; column < kColumn + 3 + 9; ++column) {
      title += static_cast<char>(screen.At(5 + entry, column).character);
    }
    return title;
  }
};

TEST_F(BootMenuPreviewTest, TheStripMapsClicksToColoursAndABackgroundTakesOnlyTheDarkEight) {
  EXPECT_EQ(BootMenuPreview::StripColourAt(0), 0u);
  EXPECT_EQ(BootMenuPreview::StripColourAt(21), 0u);
  EXPECT_EQ(BootMenuPreview::StripColourAt(22), 1u);
  EXPECT_EQ(BootMenuPreview::StripColourAt(22 + 14 * 24 + 23), 15u);
  EXPECT_EQ(BootMenuPreview::StripColourAt(22 + 15 * 24), std::nullopt);
  EXPECT_EQ(BootMenuPreview::StripColourAt(-1), std::nullopt);

  auto disk = Open(MakeEngineDisk("0.img", {.menu = {0, 1}}));
  BootMenuPreview preview(disk.copy(), *disk);
  EXPECT_FALSE(preview.ColoursChanged());
  preview.SetTarget(BootMenuPreview::Target::Bar);
  preview.SetBackground(true);
  EXPECT_FALSE(preview.PickColour(8));
  EXPECT_TRUE(preview.PickColour(7));
  preview.SetBackground(false);
  EXPECT_TRUE(preview.PickColour(15));
  EXPECT_EQ(preview.colours().bar, (TextColour{15, 7}));
  EXPECT_EQ(preview.colours().menu, CurrentMenuColours(*disk).menu);
  EXPECT_TRUE(preview.ColoursChanged());
}

TEST_F(BootMenuPreviewTest, ASelectionBeyondTheMenuIsRefusedAndASetCountdownIsPainted) {
  // The command line's menu screen goes through these two: the bar moves only onto an entry,
  // and the countdown given replaces the timeout in the state and on row 3.
  auto disk = Open(MakeEngineDisk("0.img", {.menu = {0, 1}}));
  BootMenuPreview preview(disk.copy(), *disk);
  EXPECT_FALSE(preview.Select(2));
  EXPECT_EQ(preview.selected(), 0u);
  EXPECT_TRUE(preview.Select(1));
  EXPECT_EQ(preview.State().selection, 1);
  EXPECT_FALSE(preview.SelectRow(5 + 2));
  EXPECT_EQ(preview.selected(), 1u);
  preview.SetCountdown(0x42);
  EXPECT_EQ(preview.State().countdown, 0x42);
  const TextScreen screen = preview.Screen();
  EXPECT_EQ(screen.At(3, 46).character, '4');
  EXPECT_EQ(screen.At(3, 47).character, '2');
  EXPECT_EQ(screen.At(6, kColumn + kBarCharacter).attribute, AttributeOf(preview.colours().bar));
}

TEST_F(BootMenuPreviewTest, TheScreenFollowsColoursAndOrderAndOkStoresThem) {
  // Key assertion: after "Nach unten" on the first entry and a new bar colour, the preview shows
  // entry 1 above entry 0 with the bar on row 6 in 4Eh, and after OK and a save the engine's
  // own screen of the reread disk is the same, cell for cell.
  const std::string spec = MakeEngineDisk("0.img", {.menu = {0, 1, 2}});
  auto disk = Open(spec);
  BootMenuPreview preview(disk.copy(), *disk);
  EXPECT_EQ(preview.selected(), 0u);
  EXPECT_FALSE(preview.CanMoveUp());
  preview.MoveSelected(false);
  EXPECT_EQ(preview.selected(), 1u);
  preview.SetTarget(BootMenuPreview::Target::Bar);
  ASSERT_TRUE(preview.PickColour(0x0E));
  preview.SetBackground(true);
  ASSERT_TRUE(preview.PickColour(0x04));
  const TextScreen shown = preview.Screen();
  EXPECT_EQ(RowTitle(shown, 0), "Eintrag 1");
  EXPECT_EQ(RowTitle(shown, 1), "Eintrag 0");
  EXPECT_EQ(shown.At(6, kBarCharacter).attribute, 0x4E);
  EXPECT_EQ(shown.At(5, kBarCharacter).attribute, 0x1B);
  EXPECT_EQ(MenuOrder(*disk), (std::vector<unsigned>{0, 1, 2}));  // nothing stored before OK

  EXPECT_TRUE(preview.SelectRow(5));
  EXPECT_FALSE(preview.SelectRow(8));  // the bottom border
  EXPECT_EQ(preview.selected(), 0u);
  ASSERT_TRUE(preview.Accept(prompt));
  EXPECT_TRUE(disk->IsModified());
  auto reread = SaveAndReopen(*disk, spec);
  EXPECT_EQ(MenuOrder(*reread), (std::vector<unsigned>{1, 0, 2}));
  EXPECT_EQ(CurrentMenuColours(*reread).bar, (TextColour{0x0E, 0x04}));
  BootMenuPreview again(reread.copy(), *reread);
  EXPECT_EQ(RowTitle(again.Screen(), 0), "Eintrag 1");
}

TEST_F(BootMenuPreviewTest, UnusableColoursAreRefusedInOrderAndCancelAsksOnlyAfterColourChanges) {
  auto disk = Open(MakeEngineDisk("0.img", {.menu = {0, 1}}));
  const EngineAreaImage before = disk->engineArea;
  BootMenuPreview preview(disk.copy(), *disk);
  preview.MoveSelected(false);
  EXPECT_TRUE(preview.MayCancel(prompt));
  EXPECT_TRUE(prompt.shown.empty());

  // Menu 1Bh: its foreground becomes its background (1), then the bar (3Eh) takes 11h too.
  ASSERT_TRUE(preview.PickColour(1));
  EXPECT_FALSE(preview.Accept(prompt));
  EXPECT_EQ(LastText(), LoadResString(IDS_MENU_COLOURS_EQUAL));
  preview.SetTarget(BootMenuPreview::Target::Bar);
  ASSERT_TRUE(preview.PickColour(3));
  preview.SetBackground(true);
  ASSERT_TRUE(preview.PickColour(3));
  preview.SetTarget(BootMenuPreview::Target::Menu);
  preview.SetBackground(false);
  ASSERT_TRUE(preview.PickColour(0x0F));
  preview.SetTarget(BootMenuPreview::Target::Bar);
  EXPECT_FALSE(preview.Accept(prompt));
  EXPECT_EQ(LastText(), LoadResString(IDS_BAR_COLOURS_EQUAL));
  preview.PickColour(0x0F);
  preview.SetBackground(true);
  preview.PickColour(1);
  EXPECT_FALSE(preview.Accept(prompt));
  EXPECT_EQ(LastText(), LoadResString(IDS_MENU_BAR_SAME));
  EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Stop);
  EXPECT_EQ(disk->engineArea, before);
  EXPECT_EQ(MenuOrder(*disk), (std::vector<unsigned>{0, 1}));

  prompt.answers = {PromptAnswer::No, PromptAnswer::Yes};
  EXPECT_FALSE(preview.MayCancel(prompt));
  EXPECT_TRUE(preview.MayCancel(prompt));
  EXPECT_EQ(LastText(), LoadResString(IDS_LOSE_COLOURS));
  EXPECT_EQ(disk->engineArea, before);
  EXPECT_FALSE(disk->IsModified());
}

}  // namespace
}  // namespace korvex
