// The hex sector view's state machine: layout and scrolling, the caret's moves, typing, the
// editing operations with the clipboard, and the mouse, on a model without any window.
#include "hexview/HexViewModel.h"

#include <gtest/gtest.h>

#include <numeric>

#include "platform/Texts.h"

namespace korvex {
namespace {

std::vector<std::uint8_t> Counting(std::size_t length) {
  std::vector<std::uint8_t> bytes(length);
  std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
  return bytes;
}

// A 512-byte sector in a client area of 10 rows: hex column from cell 9, characters from 57.
class HexViewTest : public ::testing::Test {
 protected:
  void SetUp() override { Load(Counting(512)); }
  void Load(const std::vector<std::uint8_t>& bytes, unsigned clientRows = 10) {
    view.SetData(bytes);
    view.SetClientRows(clientRows);
  }
  void Keys(std::initializer_list<HexKey> keys, bool shift = false) {
    for (const HexKey key : keys) view.KeyDown(key, shift, false);
  }
  void Type(const std::string& text) {
    for (const char c : text) view.TypeCharacter(static_cast<unsigned char>(c), false);
  }
  std::size_t Length() const { return view.Data().size(); }

  HexViewModel view;
};

TEST_F(HexViewTest, SectorRowsAddressesAndScrollingToTheEnd) {
  // Key assertion: 512 bytes are 32 rows 00000000..000001F0; the last page starts at row 22.
  EXPECT_EQ(view.Columns().hexStart, 9u);
  EXPECT_EQ(view.Columns().characterStart, 57u);
  EXPECT_FALSE(view.LastPagePartial());
  auto rows = view.PaintedRows();
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows[1].text.address, "00000010");
  EXPECT_EQ(rows[4].text.hex.substr(0, 12), "40 41 42 43 ");
  EXPECT_EQ(rows[4].text.characters.substr(0, 4), "@ABC");
  EXPECT_EQ(rows[0].text.characters, "................");
  const HexScrollBar bar = view.ScrollBar();
  EXPECT_EQ(bar.rowCount, 32u);
  EXPECT_TRUE(bar.enabled);

  for (int i = 0; i < 40; ++i) view.LineDown();  // stops at the last page
  EXPECT_EQ(view.Top(), 22u * 16);
  EXPECT_EQ(view.PaintedRows().back().text.address, "000001F0");
  EXPECT_EQ(view.Position(), 22u * 16);  // the scroll bar takes the caret along
  view.PageUp();
  view.PageUp();
  view.PageUp();
  EXPECT_EQ(view.Top(), 0u);

  view.SetWideAddress(false);
  EXPECT_EQ(view.Columns().hexStart, 5u);
  EXPECT_EQ(view.PaintedRows()[2].text.address, "0020");
  view.ShowColumns(false, true, true);
  EXPECT_EQ(view.Columns().characterStart, 48u);
  EXPECT_TRUE(view.PaintedRows()[0].text.address.empty());
}

TEST_F(HexViewTest, ShortDataAndTheLastPage) {
  // Everything fits: the page is the rows the data needs and Ctrl+End stays at the top.
  Load(Counting(40));
  EXPECT_TRUE(view.LastPagePartial());
  EXPECT_EQ(view.RowsPerPage(), 3u);
  EXPECT_EQ(view.PaintedRows().back().text.hex, "20 21 22 23 24 25 26 27 " + std::string(24, ' '));
  view.KeyDown(HexKey::End, false, true);
  EXPECT_EQ(view.Position(), 39u);
  EXPECT_EQ(view.Top(), 0u);

  // 520 bytes need 33 rows: Ctrl+End shows the partial last row with the caret on its last byte.
  Load(Counting(520));
  view.KeyDown(HexKey::End, false, true);
  EXPECT_EQ(view.Top(), 23u * 16);
  ASSERT_TRUE(view.Caret());
  EXPECT_EQ(view.Caret()->row, 9u);
  view.KeyDown(HexKey::Home, false, true);
  EXPECT_EQ(view.Position(), 0u);
  EXPECT_EQ(view.Top(), 0u);
}

TEST_F(HexViewTest, CaretMovesThroughDigitsBytesAndRows) {
  ASSERT_EQ(view.Mode(), CaretMode::HighDigit);
  Keys({HexKey::Left});  // before byte 0: its low digit
  EXPECT_EQ(view.Position(), 0u);
  EXPECT_EQ(view.Mode(), CaretMode::LowDigit);
  Keys({HexKey::Right});
  EXPECT_EQ(view.Position(), 1u);
  EXPECT_EQ(view.Mode(), CaretMode::HighDigit);
  EXPECT_EQ(view.Caret()->cell, 9u + 3);

  // Low digit of the last byte: Right stays on the byte, on its high digit.
  view.KeyDown(HexKey::End, false, true);
  Keys({HexKey::Right});
  ASSERT_EQ(view.Mode(), CaretMode::LowDigit);
  Keys({HexKey::Right});
  EXPECT_EQ(view.Position(), 511u);
  EXPECT_EQ(view.Mode(), CaretMode::HighDigit);
  Keys({HexKey::Down});  // no row below: taken back
  EXPECT_EQ(view.Position(), 511u);

  // Moving past the last visible row scrolls by one row; the key keeps the caret's byte.
  view.KeyDown(HexKey::Home, false, true);
  Keys({HexKey::Tab});
  ASSERT_EQ(view.Mode(), CaretMode::Character);
  for (int i = 0; i < 10; ++i) Keys({HexKey::Down});
  EXPECT_EQ(view.Position(), 160u);
  EXPECT_EQ(view.Top(), 16u);
  EXPECT_EQ(view.Caret()->row, 9u);
  EXPECT_EQ(view.Caret()->cell, 57u);

  // The address column does not move with the arrows.
  view.PointerDown(2, 3, false);
  ASSERT_EQ(view.Mode(), CaretMode::Address);
  Keys({HexKey::Down, HexKey::Right});
  EXPECT_EQ(view.Position(), 64u);
  EXPECT_EQ(view.Caret()->width, 8u);
}

TEST_F(HexViewTest, PageKeysTakeThePositionAlong) {
  Keys({HexKey::Down, HexKey::Down});
  Keys({HexKey::PageDown});
  EXPECT_EQ(view.Top(), 160u);
  EXPECT_EQ(view.Position(), 192u);  // still the third row on the screen
  for (int i = 0; i < 5; ++i) Keys({HexKey::PageDown});
  EXPECT_EQ(view.Top(), 352u);
  EXPECT_EQ(view.Position(), 496u);  // the last row
  Keys({HexKey::PageUp}, true);
  ASSERT_TRUE(view.Selection());
  EXPECT_EQ(*view.Selection(), std::make_pair(std::size_t{336}, std::size_t{496}));
}

TEST_F(HexViewTest, TypingDigitsCharactersAndBackspace) {
  Type("A");  // uppercase hex letters change nothing
  EXPECT_EQ(view.Data()[0], 0x00);
  EXPECT_EQ(view.Mode(), CaretMode::HighDigit);
  Type("4b");
  EXPECT_EQ(view.Data()[0], 0x4B);
  EXPECT_EQ(view.Position(), 1u);
  EXPECT_EQ(view.Mode(), CaretMode::HighDigit);

  Keys({HexKey::Tab});
  Type("Zz");
  EXPECT_EQ(view.Data()[1], 'Z');
  EXPECT_EQ(view.Data()[2], 'z');
  EXPECT_EQ(view.Position(), 3u);

  view.KeyDown(HexKey::Home, false, true);
  view.TypeCharacter(0x08, false);  // Backspace at 0
  EXPECT_EQ(Length(), 512u);
  Keys({HexKey::Right});
  view.TypeCharacter(0x08, false);
  EXPECT_EQ(Length(), 511u);
  EXPECT_EQ(view.Data()[0], 'Z');
  EXPECT_EQ(view.Position(), 0u);

  EXPECT_EQ(view.TypeCharacter(0x03, true), HexCommand::Copy);
  EXPECT_EQ(view.TypeCharacter(0x16, true), HexCommand::Paste);
  EXPECT_EQ(view.TypeCharacter(0x1A, true), HexCommand::Undo);
}

TEST_F(HexViewTest, InsertAndDeleteKeys) {
  Keys({HexKey::Right, HexKey::Right});  // byte 1, high digit
  Keys({HexKey::Insert});
  EXPECT_EQ(Length(), 513u);
  EXPECT_EQ(view.Data()[1], 0x00);
  EXPECT_EQ(view.Data()[2], 0x01);

  Keys({HexKey::Right, HexKey::Right, HexKey::Right}, true);  // selects bytes 1 and 2
  ASSERT_EQ(*view.Selection(), std::make_pair(std::size_t{1}, std::size_t{3}));
  Keys({HexKey::Insert});
  EXPECT_EQ(Length(), 515u);
  EXPECT_FALSE(view.Selection());

  Keys({HexKey::Delete});
  EXPECT_EQ(Length(), 514u);

  // Deleting the last byte leaves the caret behind the data; typing there changes nothing.
  view.KeyDown(HexKey::End, false, true);
  Keys({HexKey::Delete});
  EXPECT_EQ(view.Position(), 513u);
  EXPECT_EQ(Length(), 513u);
  Type("ff");
  EXPECT_EQ(Length(), 513u);
  EXPECT_EQ(view.Data().back(), 0xFE);
}

TEST_F(HexViewTest, CopyTextFollowsTheColumn) {
  Load({0x41, 0x00, 0x7F});
  Keys({HexKey::Right, HexKey::Right}, true);  // over both digits of byte 0 onto byte 1
  ASSERT_EQ(*view.Selection(), std::make_pair(std::size_t{0}, std::size_t{2}));
  auto hex = view.Copy();
  ASSERT_TRUE(hex);
  EXPECT_EQ(hex->text, "41 00 ");
  EXPECT_EQ(hex->binary, (std::vector<std::uint8_t>{0x41, 0x00}));
  EXPECT_EQ(view.PaintedRows()[0].highlight, (CellRun{9, 5}));

  Keys({HexKey::Tab});
  auto characters = view.Copy();
  EXPECT_EQ(characters->text, "A.");
  EXPECT_EQ(view.PaintedRows()[0].highlight, (CellRun{57 + 0, 2}));
  EXPECT_TRUE(view.CommandEnabled(HexCommand::Cut, false));
  EXPECT_FALSE(view.CommandEnabled(HexCommand::Undo, true));
  EXPECT_FALSE(view.CommandEnabled(HexCommand::Paste, false));
}

TEST_F(HexViewTest, BackwardSelectionActsLikeForward) {
  // Dragging from byte 20 back to byte 5 in the character column selects [5, 20), as does
  // dragging from byte 5 on to byte 20.
  const auto dragged = [&](int fromCell, int fromRow, int toCell, int toRow) {
    Load(Counting(64));
    view.PointerDown(fromCell, fromRow, false);
    view.PointerDrag(toCell, toRow);
    view.PointerUp();
    return std::make_tuple(*view.Selection(), view.PaintedRows()[0].highlight, view.Copy()->binary);
  };
  const auto forwards = dragged(57 + 5, 0, 57 + 4, 1);
  const auto backwards = dragged(57 + 4, 1, 57 + 5, 0);
  EXPECT_EQ(std::get<0>(backwards), std::make_pair(std::size_t{5}, std::size_t{20}));
  EXPECT_EQ(backwards, forwards);
  view.Cut();
  EXPECT_EQ(Length(), 49u);
  EXPECT_EQ(view.Data()[5], 20);
  EXPECT_EQ(view.Position(), 5u);
}

TEST_F(HexViewTest, PasteInsertsAndRefusesWhatTheViewCannotHold) {
  Load({0x10, 0x20, 0x30});
  ClipboardOffer both{std::vector<std::uint8_t>{0xAA}, std::string("xyz")};
  Keys({HexKey::Right});  // low digit of byte 0: the bytes follow it
  EXPECT_TRUE(view.Paste(both).inserted);
  EXPECT_EQ(view.Data(), (std::vector<std::uint8_t>{0x10, 0xAA, 0x20, 0x30}));
  EXPECT_EQ(view.Position(), 0u);

  view.SelectAll();
  EXPECT_FALSE(view.Caret());
  view.Paste(ClipboardOffer{std::nullopt, std::string("hi")});  // text: its bytes replace the selection
  EXPECT_EQ(view.Data(), (std::vector<std::uint8_t>{'h', 'i'}));
  EXPECT_FALSE(view.Paste(ClipboardOffer{}).inserted);

  const std::vector<std::uint8_t> tooMuch(kHexViewCapacity - 1);
  const PasteResult refused = view.Paste(ClipboardOffer{tooMuch, std::nullopt});
  EXPECT_FALSE(refused.inserted);
  EXPECT_NE(refused.refusal.find("65536"), std::string::npos) << refused.refusal;
  EXPECT_NE(refused.refusal.find("65537"), std::string::npos) << refused.refusal;
  EXPECT_EQ(Length(), 2u);
  EXPECT_TRUE(view.Paste(ClipboardOffer{std::vector<std::uint8_t>(kHexViewCapacity - 2), std::nullopt}).inserted);
  EXPECT_EQ(Length(), kHexViewCapacity);
  Keys({HexKey::Insert});  // full: no more bytes
  EXPECT_EQ(Length(), kHexViewCapacity);
}

TEST_F(HexViewTest, MouseCellsAndDragScrolling) {
  struct Click {
    int cell, row;
    std::size_t position;
    CaretMode mode;
  };
  for (const Click& click : {Click{3, 2, 32, CaretMode::Address}, Click{8, 2, 32, CaretMode::HighDigit},
                             Click{13, 2, 33, CaretMode::LowDigit}, Click{14, 2, 34, CaretMode::HighDigit},
                             Click{56, 2, 48, CaretMode::HighDigit}, Click{72, 2, 47, CaretMode::Character}}) {
    view.PointerDown(click.cell, click.row, false);
    view.PointerUp();
    EXPECT_EQ(view.Position(), click.position) << click.cell;
    EXPECT_EQ(view.Mode(), click.mode) << click.cell;
  }
  view.PointerDown(73, 2, false);  // right of the characters: ignored
  view.PointerDown(20, 10, false);  // below the page: ignored
  EXPECT_EQ(view.Position(), 47u);
  Load(Counting(20));
  view.PointerDown(62, 1, false);  // byte 21 does not exist
  EXPECT_EQ(view.Position(), 0u);

  // Dragging below the client area scrolls a row and selects up to the pointer's byte.
  Load(Counting(512));
  view.PointerDown(9, 0, false);
  EXPECT_FALSE(view.Selection());
  view.PointerDrag(9, 12);
  EXPECT_TRUE(view.Dragging());
  EXPECT_EQ(view.Top(), 16u);
  EXPECT_EQ(*view.Selection(), std::make_pair(std::size_t{0}, std::size_t{161}));
  view.PointerUp();
  view.PointerDown(9, 0, false);  // a plain click removes the selection
  view.PointerUp();
  EXPECT_FALSE(view.Selection());
  EXPECT_TRUE(view.Caret());
}

TEST(HexViewWithoutData, IgnoresInput) {
  HexViewModel view;
  EXPECT_FALSE(view.KeyDown(HexKey::Insert, false, false));
  EXPECT_FALSE(view.TypeCharacter('a', false));
  view.PointerDown(10, 0, false);
  EXPECT_FALSE(view.Paste(ClipboardOffer{std::vector<std::uint8_t>{1}, std::nullopt}).inserted);
  EXPECT_TRUE(view.Data().empty());
  EXPECT_FALSE(view.Caret());
}

}  // namespace
}  // namespace korvex
