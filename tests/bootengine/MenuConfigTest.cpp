// Shaping the boot menu: positions stay 0..N-1 and agree with the default-entry byte after every
// change, entries are named by object, and what reaches the disk reads back the same.
#include "bootengine/EngineConfig.h"
#include "bootengine/MenuConfig.h"

#include <cstring>

#include "bootengine/EngineDiskFixture.h"
#include "partition/TableReader.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

using test::PartStart;

class MenuConfigTest : public test::EngineDiskTest {};

TEST_F(MenuConfigTest, AddTakesTheLowestFreePositionBetweenUsedOnes) {
  const auto spec = MakeEngineDisk("d.img", {.menu = {0, 1, 2}, .table = {{5, 0}}});
  auto disk = Open(spec);
  Part(*disk, 2).slot = 3;  // positions 0, 1 and 3 are in use
  ASSERT_TRUE(AddToMenu(disk.copy(), disk.Ref(Part(*disk, 5)), prompt)) << LastText();
  EXPECT_EQ(Part(*disk, 5).slot, 2);
  EXPECT_EQ(Slots(*disk), (std::vector<unsigned>{0, 1, 2, 3}));
  EXPECT_TRUE(disk->IsModified());
  auto reread = SaveAndReopen(*disk, spec);
  EXPECT_EQ(MenuOrder(*reread), (std::vector<unsigned>{0, 1, 5, 2}));
  EXPECT_EQ(Part(*reread, 5).GetTitle(), "");  // a blank title, not zero bytes in the screen line
  EXPECT_EQ(reread->engineArea[layout::AREA_SCREEN_LINES + 7 * layout::CONST_SCREEN_LINE_SIZE + 3], ' ');
}

TEST_F(MenuConfigTest, AddRefusesWhatCannotBeAnEntryAndChangesNothing) {
  std::vector<unsigned> twelve = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  auto full = Open(MakeEngineDisk("full.img", {.menu = twelve, .table = {{20, 0}}}));
  EXPECT_FALSE(AddToMenu(full.copy(), full.Ref(Part(*full, 20)), prompt));
  EXPECT_EQ(LastText(), text::kMenuHasTwelve);

  auto disk = Open(MakeEngineDisk("d.img", {.menu = {0}, .table = {{1, 0}}}));
  CPartition& extended = Part(*disk, 1);
  extended.type = kTypeExtendedLba;
  EXPECT_FALSE(AddToMenu(disk.copy(), disk.Ref(extended), prompt));
  EXPECT_EQ(LastText(), text::kExtendedNotInMenu);
  EXPECT_FALSE(AddToMenu(disk.copy(), disk.Ref(Part(*disk, 0)), prompt));  // already an entry
  EXPECT_EQ(LastText(), text::kOnlyTableToMenu);

  // A disk without the engine has no menu to add to.
  std::string error;
  auto plain = ImageBuilder::Create(dir.File("plain.img"), 200, 16, 63, error);
  ASSERT_TRUE(plain->AddPrimary(0, 0x07, PartStart(0), test::kPartLength));
  auto noEngine = Open(plain->Spec());
  EXPECT_FALSE(AddToMenu(noEngine.copy(), noEngine.Ref(Part(*noEngine, 0)), prompt));
  EXPECT_EQ(LastText(), StrFormat(text::kNoEngineOnDisk, "PHYSICALDRIVE0"));

  EXPECT_FALSE(full->IsModified() || disk->IsModified() || noEngine->IsModified());
  EXPECT_TRUE(Part(*disk, 1).IsTable());
  EXPECT_EQ(full->MenuEntryCount(), 12);
}

TEST_F(MenuConfigTest, ANewEntryWithSlot127StaysLastWhenAnotherIsAdded) {
  auto disk = Open(MakeEngineDisk("d.img", {.menu = {0, 1}, .table = {{3, 0}}}));
  // A partition created "Ins Bootmenü aufnehmen" waits with slot 127.
  auto created = std::make_unique<CPartition>(PartStart(2), test::kPartLength, kSlotUnplacedMenu);
  created->MarkNew(PartitionState::NewMenu);
  created->type = 0x07;
  created->SetTitle("Neu");
  disk->primary.Insert(std::move(created));
  ASSERT_TRUE(AddToMenu(disk.copy(), disk.Ref(Part(*disk, 3)), prompt)) << LastText();
  EXPECT_EQ(MenuOrder(*disk), (std::vector<unsigned>{0, 1, 3, 2}));
  EXPECT_EQ(Slots(*disk), (std::vector<unsigned>{0, 1, 2, 3}));
}

TEST_F(MenuConfigTest, RemovedEntryGoesToTheLowestFreeTableEntryAfterTheBootSlot) {
  // Table partitions in entries 0 and 2 of the first disk: entry 1 is the boot slot, so 3.
  const auto spec = MakeEngineDisk("d.img", {.menu = {0, 1}, .table = {{4, 0}, {5, 2}}});
  auto disk = Open(spec);
  ASSERT_TRUE(RemoveFromMenu(disk.copy(), disk.Ref(Part(*disk, 1)), prompt)) << LastText();
  EXPECT_TRUE(Part(*disk, 1).IsTable());
  EXPECT_EQ(Part(*disk, 1).slot, 3);
  auto reread = SaveAndReopen(*disk, spec);
  EXPECT_EQ(ReadTableEntry(reread->sector0, 3).relativeStart, PartStart(1));
  EXPECT_EQ(MenuOrder(*reread), (std::vector<unsigned>{0}));
  EXPECT_FALSE(Showed(LoadResString(IDS_MENU_FULL_REMOVE)));
}

TEST_F(MenuConfigTest, RemovingFromAFullTableAsks33446AndOnlyYesDeletesThePartition) {
  const auto spec = MakeEngineDisk("d.img", {.menu = {0, 1, 2}, .table = {{4, 0}, {5, 2}, {6, 3}}});
  auto disk = Open(spec);
  prompt.answers = {PromptAnswer::No};
  EXPECT_FALSE(RemoveFromMenu(disk.copy(), disk.Ref(Part(*disk, 1)), prompt));
  EXPECT_EQ(LastText(), LoadResString(IDS_MENU_FULL_REMOVE));
  EXPECT_TRUE(Part(*disk, 1).IsMenu());
  EXPECT_FALSE(disk->IsModified());

  prompt.answers = {PromptAnswer::Yes, PromptAnswer::Yes};  // 33446, then the delete's own question
  ASSERT_TRUE(RemoveFromMenu(disk.copy(), disk.Ref(Part(*disk, 1)), prompt)) << LastText();
  EXPECT_EQ(disk->primary.FindFirst([](const CPartition& p) { return p.start == PartStart(1) && !p.IsFree(); }),
            nullptr);
  // The entries behind the deleted one close up: no gap between the table and the default byte.
  EXPECT_EQ(Slots(*disk), (std::vector<unsigned>{0, 1}));
  auto reread = SaveAndReopen(*disk, spec);
  EXPECT_EQ(MenuOrder(*reread), (std::vector<unsigned>{0, 2}));
}

TEST_F(MenuConfigTest, RemovingTheDefaultPassesItOnAndTheByteFollows) {
  const auto spec = MakeEngineDisk("d.img", {.menu = {2, 0, 1}, .defaultPosition = 0});
  auto disk = Open(spec);
  ASSERT_EQ(Defaults(*disk), (std::vector<unsigned>{2}));
  ASSERT_TRUE(RemoveFromMenu(disk.copy(), disk.Ref(Part(*disk, 2)), prompt)) << LastText();
  // The first menu object in level order (by start) takes the flag; it stands at position 0.
  EXPECT_EQ(Defaults(*disk), (std::vector<unsigned>{0}));
  EXPECT_EQ(DefaultByte(*disk), 0);
  EXPECT_EQ(CopyDefaultByte(*disk), 0);

  // Now make the entry at position 1 the default and remove the one before it.
  ASSERT_TRUE(SetDefaultPartition(disk.copy(), disk.Ref(Part(*disk, 1)), prompt));
  ASSERT_EQ(DefaultByte(*disk), 1);
  ASSERT_TRUE(RemoveFromMenu(disk.copy(), disk.Ref(Part(*disk, 0)), prompt)) << LastText();
  EXPECT_EQ(DefaultByte(*disk), 0);  // the default moved up with its entry
  auto reread = SaveAndReopen(*disk, spec);
  EXPECT_EQ(Defaults(*reread), (std::vector<unsigned>{1}));
}

TEST_F(MenuConfigTest, RemovingTheLastEntryWarnsThatNothingIsLeftToBoot) {
  auto disk = Open(MakeEngineDisk("d.img", {.menu = {0}}));
  ASSERT_TRUE(RemoveFromMenu(disk.copy(), disk.Ref(Part(*disk, 0)), prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, LoadResString(IDS_NO_PRIMARY_LEFT));
  EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Exclamation);
  EXPECT_EQ(DefaultByte(*disk), 0);
  EXPECT_EQ(disk->MenuEntryCount(), 0);
}

TEST_F(MenuConfigTest, MovingAnEntryReordersTheMenuAndTheDefaultByteFollowsItsObject) {
  const auto spec = MakeEngineDisk("d.img", {.menu = {0, 1, 2, 3}, .defaultPosition = 1});
  auto disk = Open(spec);
  ASSERT_TRUE(MoveMenuEntryByOne(disk.copy(), disk.Ref(Part(*disk, 1)), /*up=*/true, prompt));
  EXPECT_EQ(MenuOrder(*disk), (std::vector<unsigned>{1, 0, 2, 3}));
  EXPECT_EQ(DefaultByte(*disk), 0);
  ASSERT_TRUE(MoveMenuEntry(disk.copy(), disk.Ref(Part(*disk, 1)), 3, prompt));
  EXPECT_EQ(MenuOrder(*disk), (std::vector<unsigned>{0, 2, 3, 1}));
  EXPECT_EQ(DefaultByte(*disk), 3);
  EXPECT_EQ(CopyDefaultByte(*disk), 3);

  auto reread = SaveAndReopen(*disk, spec);
  EXPECT_EQ(MenuOrder(*reread), (std::vector<unsigned>{0, 2, 3, 1}));
  EXPECT_EQ(Defaults(*reread), (std::vector<unsigned>{1}));
  // Titles moved with their partitions.
  EXPECT_EQ(Part(*reread, 1).GetTitle(), "Eintrag 1");
  EXPECT_EQ(reread->engineArea[layout::AREA_SCREEN_LINES + 8 * layout::CONST_SCREEN_LINE_SIZE + 11], '1');
}

TEST_F(MenuConfigTest, MovesBeyondTheMenuAreRefusedWithoutChange) {
  auto disk = Open(MakeEngineDisk("d.img", {.menu = {0, 1}, .table = {{3, 0}}}));
  EXPECT_FALSE(MoveMenuEntryByOne(disk.copy(), disk.Ref(Part(*disk, 0)), /*up=*/true, prompt));
  EXPECT_EQ(LastText(), text::kMenuEntryAtTop);
  EXPECT_FALSE(MoveMenuEntryByOne(disk.copy(), disk.Ref(Part(*disk, 1)), /*up=*/false, prompt));
  EXPECT_EQ(LastText(), text::kMenuEntryAtBottom);
  EXPECT_FALSE(MoveMenuEntry(disk.copy(), disk.Ref(Part(*disk, 0)), 2, prompt));
  EXPECT_EQ(LastText(), StrFormat(text::kMenuPositionInvalid, 2u, 1u));
  EXPECT_FALSE(MoveMenuEntry(disk.copy(), disk.Ref(Part(*disk, 3)), 0, prompt));
  EXPECT_EQ(LastText(), text::kNotAMenuEntry);
  EXPECT_EQ(MenuOrder(*disk), (std::vector<unsigned>{0, 1}));
  EXPECT_FALSE(disk->IsModified());
}

TEST_F(MenuConfigTest, EqualTitlesNeverShareTheDefaultOrAPosition) {
  const auto spec = MakeEngineDisk("d.img", {.menu = {0, 1, 2}, .defaultPosition = 0});
  auto disk = Open(spec);
  Part(*disk, 1).SetTitle("Windows");
  Part(*disk, 2).SetTitle("Windows");
  ASSERT_TRUE(SetDefaultPartition(disk.copy(), disk.Ref(Part(*disk, 2)), prompt));
  EXPECT_EQ(Defaults(*disk), (std::vector<unsigned>{2}));
  EXPECT_EQ(DefaultByte(*disk), 2);
  ASSERT_TRUE(MoveMenuEntryByOne(disk.copy(), disk.Ref(Part(*disk, 2)), /*up=*/true, prompt));
  EXPECT_EQ(Slots(*disk), (std::vector<unsigned>{0, 1, 2}));
  EXPECT_EQ(MenuOrder(*disk), (std::vector<unsigned>{0, 2, 1}));
  auto reread = SaveAndReopen(*disk, spec);
  EXPECT_EQ(Defaults(*reread), (std::vector<unsigned>{2}));
  EXPECT_EQ(reread->engineArea[layout::AREA_REMEMBER_LAST], 0);
}

TEST_F(MenuConfigTest, RememberLastWithFourEntriesStoresTheEntryCount) {
  const auto spec = MakeEngineDisk("d.img", {.menu = {0, 1, 2, 3}, .defaultPosition = 2});
  auto disk = Open(spec);
  ASSERT_TRUE(SetRememberLast(*disk, true, prompt));
  EXPECT_EQ(disk->engineArea[layout::AREA_REMEMBER_LAST], 1);
  EXPECT_EQ(DefaultByte(*disk), 4);
  EXPECT_TRUE(Defaults(*disk).empty());
  auto reread = SaveAndReopen(*disk, spec);
  EXPECT_EQ(FileBytes(spec)[layout::LOADER_DEFAULT_ENTRY], 4);
  EXPECT_EQ(reread->engineArea[layout::AREA_REMEMBER_LAST], 1);
  EXPECT_TRUE(Defaults(*reread).empty());

  // A move keeps "none booted yet" instead of pointing at some entry.
  ASSERT_TRUE(MoveMenuEntryByOne(reread.copy(), reread.Ref(Part(*reread, 3)), /*up=*/true, prompt));
  EXPECT_EQ(DefaultByte(*reread), 4);
  // Off again: the first entry becomes the default.
  ASSERT_TRUE(SetRememberLast(*reread, false, prompt));
  EXPECT_EQ(reread->engineArea[layout::AREA_REMEMBER_LAST], 0);
  EXPECT_EQ(DefaultByte(*reread), 0);
  EXPECT_EQ(Defaults(*reread), (std::vector<unsigned>{0}));
}

TEST_F(MenuConfigTest, TimeoutIsStoredAsTwoBcdDigitsAndAbove99IsRefused) {
  const auto spec = MakeEngineDisk("d.img", {.menu = {0}});
  auto disk = Open(spec);
  ASSERT_TRUE(SetTimeout(*disk, 5, prompt));
  EXPECT_EQ(disk->engineArea[layout::AREA_TIMEOUT], 0x05);
  ASSERT_TRUE(SetTimeout(*disk, 99, prompt));
  EXPECT_EQ(disk->engineArea[layout::AREA_TIMEOUT], 0x99);
  ASSERT_TRUE(SetTimeout(*disk, 42, prompt));
  EXPECT_EQ(disk->engineArea[layout::AREA_TIMEOUT], 0x42);
  disk->MarkSaved();
  EXPECT_FALSE(SetTimeout(*disk, 100, prompt));
  EXPECT_EQ(LastText(), StrFormat(text::kTimeoutTooLong, kMaxTimeoutSeconds, 100u));
  EXPECT_EQ(disk->engineArea[layout::AREA_TIMEOUT], 0x42);
  EXPECT_FALSE(disk->IsModified());
  SaveAndReopen(*disk, spec);
  EXPECT_EQ(FileBytes(spec)[512 + layout::AREA_TIMEOUT], 0x42);
}

std::string StatusLine(const CHardDisk& disk) {
  const auto* line = disk.engineArea.data() + layout::AREA_SCREEN_LINES +
                     layout::CONST_STATUS_LINE * layout::CONST_SCREEN_LINE_SIZE;
  return std::string(reinterpret_cast<const char*>(line) + 5, 36);
}

TEST_F(MenuConfigTest, AutoBootSwitchesTheBranchByteAndTheStatusLine) {
  const auto spec = MakeEngineDisk("d.img", {.menu = {0}});
  auto disk = Open(spec);
  ASSERT_EQ(StatusLine(*disk), "Autoboot des Systems in     Sekunden");
  ASSERT_TRUE(SetAutoBoot(*disk, false, prompt));
  EXPECT_TRUE(disk->IsModified());
  EXPECT_EQ(disk->engineArea[layout::AREA_AUTOBOOT_SWITCH], 0xEB);
  auto reread = SaveAndReopen(*disk, spec);
  EXPECT_EQ(StatusLine(*reread), "Autoboot des Systems ist nicht aktiv");
  EXPECT_EQ(reread->engineArea[layout::AREA_AUTOBOOT_SWITCH], 0xEB);
  ASSERT_TRUE(SetAutoBoot(*reread, true, prompt));
  EXPECT_EQ(StatusLine(*reread), "Autoboot des Systems in     Sekunden");
  EXPECT_EQ(reread->engineArea[layout::AREA_AUTOBOOT_SWITCH], 0x75);
}

TEST_F(MenuConfigTest, ColoursAreCheckedInTheDialogsOrderAndStoredAsAttributes) {
  auto disk = Open(MakeEngineDisk("d.img", {.menu = {0}}));
  const MenuColours before = CurrentMenuColours(*disk);
  EXPECT_EQ(before.menu, (TextColour{0x0B, 0x01}));  // template 1Bh
  EXPECT_EQ(before.bar, (TextColour{0x0E, 0x03}));   // template 3Eh

  const std::vector<std::pair<MenuColours, std::string>> refused = {
      {{{15, 8}, {0, 7}}, text::kColourOutOfRange},  // background above 7
      {{{16, 1}, {0, 7}}, text::kColourOutOfRange},  // foreground above 15
      {{{4, 4}, {5, 5}}, LoadResString(IDS_MENU_COLOURS_EQUAL)},
      {{{4, 1}, {5, 5}}, LoadResString(IDS_BAR_COLOURS_EQUAL)},
      {{{4, 1}, {4, 1}}, LoadResString(IDS_MENU_BAR_SAME)},
  };
  for (const auto& [colours, message] : refused) {
    EXPECT_FALSE(SetMenuColours(*disk, colours, prompt));
    EXPECT_EQ(LastText(), message);
  }
  EXPECT_FALSE(disk->IsModified());
  EXPECT_EQ(CurrentMenuColours(*disk).menu, before.menu);

  ASSERT_TRUE(SetMenuColours(*disk, {{15, 7}, {1, 4}}, prompt));
  EXPECT_EQ(disk->engineArea[layout::AREA_MENU_COLOUR], 0x7F);
  EXPECT_EQ(disk->engineArea[layout::AREA_BAR_COLOUR], 0x41);
  EXPECT_TRUE(disk->IsModified());
}

TEST_F(MenuConfigTest, TitlesAreCodePage437BytesUpTo40WithoutControlCharacters) {
  const auto spec = MakeEngineDisk("d.img", {.menu = {0, 1}});
  auto disk = Open(spec);
  const std::string title = "Windows \x8E\x99\x9A";  // "Windows ÄÖÜ" in code page 437
  ASSERT_TRUE(SetMenuTitle(disk.copy(), disk.Ref(Part(*disk, 1)), title, prompt));
  EXPECT_FALSE(SetMenuTitle(disk.copy(), disk.Ref(Part(*disk, 0)), std::string(41, 'x'), prompt));
  EXPECT_EQ(LastText(), text::kTitleTooLong);
  EXPECT_FALSE(SetMenuTitle(disk.copy(), disk.Ref(Part(*disk, 0)), "Zeile\r\n", prompt));
  EXPECT_EQ(LastText(), text::kTitleControlCharacter);
  auto reread = SaveAndReopen(*disk, spec);
  EXPECT_EQ(Part(*reread, 1).GetTitle(), title);
  EXPECT_EQ(Part(*reread, 0).GetTitle(), "Eintrag 0");
  const auto* line = reread->engineArea.data() + layout::AREA_SCREEN_LINES + 6 * layout::CONST_SCREEN_LINE_SIZE;
  EXPECT_EQ(std::memcmp(line + 3, title.data(), title.size()), 0);
  EXPECT_EQ(line[3 + title.size()], ' ');
}

}  // namespace
}  // namespace korvex
