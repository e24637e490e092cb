// The boot menu's screen cells as the engine paints them, checked cell by cell against the
// engine area's bytes; the preview of an unsaved order against the screen after the save.
#include "bootengine/MenuScreen.h"

#include "bootengine/EngineDiskFixture.h"
#include "bootengine/MenuConfig.h"

namespace korvex {
namespace {

constexpr unsigned kColumn = 16;
constexpr unsigned kLineCharacters = 47;

class MenuScreenTest : public test::EngineDiskTest {
 protected:
  static std::uint8_t LineByte(const EngineAreaImage& area, unsigned line, unsigned character) {
    return area[layout::AREA_SCREEN_LINES + line * layout::CONST_SCREEN_LINE_SIZE + character];
  }
  static TextScreen StartScreen(const CHardDisk& disk) {
    return PaintMenuScreen(disk.engineArea, EngineStartState(disk.engineArea, DefaultByte(disk)));
  }
  // Rows with any cell in the attribute.
  static std::vector<unsigned> RowsWith(const TextScreen& screen, std::uint8_t attribute) {
    std::vector<unsigned> rows;
    for (unsigned row = 0; row < kTextRows; ++row) {
      for (unsigned column = 0; column < kTextColumns; ++column) {
        if (screen.At(row, column).attribute == attribute) {
          rows.push_back(row);
          break;
        }
      }
    }
    return rows;
  }
};

TEST_F(MenuScreenTest, EveryCellOfASavedMenu) {
  // Key assertion: rows 0..8 carry the screen lines from column 16 in the menu colour, the bar
  // covers characters 2..44 of the default entry's line (row 6), the countdown's "42" stands at
  // row 3, columns 46-47, and every other cell is a cleared blank (07h).
  auto disk = Open(MakeEngineDisk("d.img", {.menu = {0, 1, 2}, .defaultPosition = 1}));
  ASSERT_TRUE(SetMenuColours(*disk, {{15, 2}, {0, 7}}, prompt)) << LastText();
  ASSERT_TRUE(SetTimeout(*disk, 42, prompt));
  const EngineAreaImage& area = disk->engineArea;
  const MenuScreenState state = EngineStartState(area, DefaultByte(*disk));
  EXPECT_EQ(state.selection, 1);
  EXPECT_EQ(state.countdown, 0x42);
  const TextScreen screen = PaintMenuScreen(area, state);
  for (unsigned row = 0; row < kTextRows; ++row) {
    for (unsigned column = 0; column < kTextColumns; ++column) {
      TextCell expected;
      if (row <= 8 && column >= kColumn && column < kColumn + kLineCharacters) {
        const bool bar = row == 6 && column >= kColumn + 2 && column <= kColumn + 44;
        expected = {LineByte(area, row, column - kColumn), static_cast<std::uint8_t>(bar ? 0x70 : 0x2F)};
        if (row == 3 && column == 46) expected.character = '4';
        if (row == 3 && column == 47) expected.character = '2';
      }
      ASSERT_EQ(screen.At(row, column), expected) << "row " << row << ", column " << column;
    }
  }
  EXPECT_EQ(screen.At(6, kColumn + 3).character, 'E');  // "Eintrag 1"
  EXPECT_EQ(screen.At(8, kColumn).character, 0xC8);      // the bottom border
}

TEST_F(MenuScreenTest, CountdownBarAndEmptyMenuFollowTheEngine) {
  auto disk = Open(MakeEngineDisk("d.img", {.menu = {0, 1}}));
  ASSERT_TRUE(SetTimeout(*disk, 5, prompt));
  TextScreen screen = StartScreen(*disk);
  EXPECT_EQ(screen.At(3, 46).character, ' ');  // a tens digit of 0 is a blank
  EXPECT_EQ(screen.At(3, 47).character, '5');

  ASSERT_TRUE(SetAutoBoot(*disk, false, prompt));
  screen = StartScreen(*disk);
  EXPECT_EQ(screen.At(3, 46).character, LineByte(disk->engineArea, 3, 30));  // "...ist nicht aktiv"
  EXPECT_EQ(screen.At(3, 47).character, LineByte(disk->engineArea, 3, 31));

  // Remember-last before the first boot: the default-entry byte is the entry count (2); the
  // engine highlights the first entry.
  ASSERT_TRUE(SetRememberLast(*disk, true, prompt));
  ASSERT_EQ(DefaultByte(*disk), 2);
  EXPECT_EQ(RowsWith(StartScreen(*disk), 0x3E), (std::vector<unsigned>{5}));

  // No entries: no bar and no countdown, however the timeout is set.
  auto empty = Open(MakeEngineDisk("e.img", {}));
  ASSERT_EQ(EngineMenuEntryCount(empty->engineArea), 0u);
  screen = StartScreen(*empty);
  EXPECT_EQ(RowsWith(screen, 0x3E), std::vector<unsigned>{});
  EXPECT_EQ(screen.At(3, 46).character, ' ');
  EXPECT_EQ(screen.At(3, 47).character, ' ');
  EXPECT_EQ(screen.At(5, kColumn).character, 0xC8);
}

TEST_F(MenuScreenTest, TwelveEntriesAndADamagedArea) {
  std::vector<unsigned> twelve = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  auto disk = Open(MakeEngineDisk("d.img", {.menu = twelve, .defaultPosition = 11}));
  EXPECT_EQ(EngineMenuEntryCount(disk->engineArea), 12u);
  TextScreen screen = StartScreen(*disk);
  EXPECT_EQ(screen.At(17, kColumn).character, 0xC8);
  EXPECT_EQ(screen.At(18, kColumn), TextCell{});
  EXPECT_EQ(RowsWith(screen, 0x3E), (std::vector<unsigned>{16}));

  // No line ends the list and the timeout holds no decimal digits: the engine paints all 18
  // lines, counts 12 entries and shows the digits as the characters after '9'.
  EngineAreaImage damaged = disk->engineArea;
  std::fill_n(damaged.begin() + layout::AREA_SCREEN_LINES, layout::AREA_SCREEN_LINES_SIZE + 1, std::uint8_t{0xB1});
  damaged[layout::AREA_TIMEOUT] = 0xAB;
  const MenuScreenState state = EngineStartState(damaged, 200);
  EXPECT_EQ(state.selection, 0);
  screen = PaintMenuScreen(damaged, state);
  EXPECT_EQ(screen.At(17, kColumn).character, 0xB1);
  EXPECT_EQ(screen.At(18, kColumn), TextCell{});
  EXPECT_EQ(screen.At(3, 46).character, ':');
  EXPECT_EQ(screen.At(3, 47).character, ';');
}

TEST_F(MenuScreenTest, PreviewOfUnsavedChangesIsTheScreenAfterTheSave) {
  // Key assertion: the screen built from the working copy's titles in menu order equals the
  // screen the engine paints from the engine area that the save writes.
  const std::string spec = MakeEngineDisk("d.img", {.menu = {0, 1, 2}});
  auto disk = Open(spec);
  ASSERT_TRUE(MoveMenuEntry(disk.copy(), disk.Ref(Part(*disk, 2)), 0, prompt));
  ASSERT_TRUE(SetMenuTitle(disk.copy(), disk.Ref(Part(*disk, 1)), "Daten \x81", prompt));  // "Daten ü"
  std::vector<MenuTitle> titles;
  for (const CPartition* entry : disk->MenuObjectsBySlot()) titles.push_back(entry->title);
  const EngineAreaImage preview = WithMenuTitles(disk->engineArea, titles);
  const TextScreen previewed = PaintMenuScreen(preview, EngineStartState(preview, DefaultByte(*disk)));
  EXPECT_EQ(previewed.At(5, kColumn + 3).character, 'E');
  EXPECT_EQ(previewed.At(7, kColumn + 9).character, 0x81);

  const auto saved = SaveAndReopen(*disk, spec);
  const std::vector<std::uint8_t> file = FileBytes(spec);
  EngineAreaImage onDisk;
  std::copy_n(file.begin() + layout::CONST_SECTOR_SIZE, onDisk.size(), onDisk.begin());
  EXPECT_EQ(PaintMenuScreen(onDisk, EngineStartState(onDisk, file[layout::LOADER_DEFAULT_ENTRY])), previewed);
  EXPECT_EQ(StartScreen(*saved), previewed);
}

}  // namespace
}  // namespace korvex
