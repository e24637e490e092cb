// CHexView drawn and driven through window events: the rows it paints, the selection's colour,
// keys, characters and clicks reaching the model at the right cells, and the clipboard's two
// formats.
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/dcmemory.h>
#include <wx/settings.h>

#include "app/HexView.h"
#include "app/SectorViewDialog.h"
#include "gui/GuiFixture.h"

namespace korvex::test {
namespace {

class HexViewControlTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    for (std::size_t i = 0; i < sector.size(); ++i) sector[i] = static_cast<std::uint8_t>(i);
    dialog = new CSectorViewDlg(nullptr, sector, prompt);
    dialog->Show();
    Settle();
  }
  void TearDown() override {
    dialog->Destroy();
    Settle();
    GuiTest::TearDown();
  }
  CHexView& view() { return dialog->hexView(); }

  void Key(int code, bool shift = false) {
    wxKeyEvent down(wxEVT_KEY_DOWN);
    down.m_keyCode = code;
    down.SetShiftDown(shift);
    down.SetEventObject(&view());
    view().ProcessWindowEvent(down);
  }
  void Char(int code, bool ctrl = false) {
    wxKeyEvent typed(wxEVT_CHAR);
    typed.m_keyCode = code;
    typed.m_uniChar = static_cast<wxChar>(code);
    typed.SetControlDown(ctrl);
    typed.SetEventObject(&view());
    view().ProcessWindowEvent(typed);
  }
  void Click(int cell, int row, bool shift = false) {
    const wxSize c = view().CellSize();
    wxMouseEvent down(wxEVT_LEFT_DOWN);
    down.m_x = cell * c.x + c.x / 2;
    down.m_y = row * c.y + c.y / 2;
    down.SetShiftDown(shift);
    down.SetEventObject(&view());
    view().ProcessWindowEvent(down);
    wxMouseEvent up(wxEVT_LEFT_UP);
    up.m_x = down.m_x;
    up.m_y = down.m_y;
    up.SetEventObject(&view());
    view().ProcessWindowEvent(up);
  }
  // The view drawn into a bitmap of its client size.
  wxImage Drawn() {
    const wxSize size = view().GetClientSize();
    wxBitmap bitmap(size);
    {
      wxMemoryDC dc(bitmap);
      view().Draw(dc, true);
    }
    return bitmap.ConvertToImage();
  }
  static bool HasColour(const wxImage& image, const wxRect& area, const wxColour& colour) {
    for (int y = area.GetTop(); y <= area.GetBottom(); ++y) {
      for (int x = area.GetLeft(); x <= area.GetRight(); ++x) {
        if (image.GetRed(x, y) == colour.Red() && image.GetGreen(x, y) == colour.Green() &&
            image.GetBlue(x, y) == colour.Blue()) {
          return true;
        }
      }
    }
    return false;
  }

  std::array<std::uint8_t, 512> sector{};
  CSectorViewDlg* dialog = nullptr;
};

TEST_F(HexViewControlTest, DrawsTheRowsThatFitAndTheSelectionInTheHighlightColour) {
  const HexViewModel& model = view().model();
  ASSERT_GE(model.RowsPerPage(), 16u);  // the dialog makes room for 16 rows
  EXPECT_LT(model.RowsPerPage(), 32u);  // the rest of the sector is reached by scrolling
  EXPECT_TRUE(model.ScrollBar().enabled);
  const wxSize cell = view().CellSize();
  const wxImage before = Drawn();
  const wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
  const wxColour highlight = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
  // Text in the address column of the first row, none below the last row that fits.
  EXPECT_TRUE(HasColour(before, wxRect(0, 0, 8 * cell.x, cell.y), text));
  const int below = static_cast<int>(model.RowsPerPage()) * cell.y;
  if (below < before.GetHeight()) {
    EXPECT_FALSE(HasColour(before, wxRect(0, below, before.GetWidth(), before.GetHeight() - below), text));
  }
  EXPECT_FALSE(HasColour(before, wxRect(9 * cell.x, 0, 48 * cell.x, cell.y), highlight));

  view().RunCommand(HexCommand::SelectAll);
  const wxImage selected = Drawn();
  EXPECT_TRUE(HasColour(selected, wxRect(9 * cell.x, 0, 47 * cell.x, cell.y), highlight));
  EXPECT_FALSE(HasColour(selected, wxRect(0, 0, 8 * cell.x, cell.y), highlight));  // the address stays plain
}

TEST_F(HexViewControlTest, KeysCharactersAndClicksReachTheCellsTheyPointAt) {
  // A click on the low digit of byte 2 of row 1 (cells 9 + 3 × 2 + 1), then a digit typed there.
  Click(16, 1);
  EXPECT_EQ(view().model().Position(), 18u);
  EXPECT_EQ(view().model().Mode(), CaretMode::LowDigit);
  Char('a');
  EXPECT_EQ(view().model().Data()[18], 0x1A);
  Char('A');  // uppercase digits change nothing
  EXPECT_EQ(view().model().Data()[19], 0x13);
  // The character column of byte 0 of row 0, a letter typed, then Tab to the hex column.
  Click(57, 0);
  EXPECT_EQ(view().model().Mode(), CaretMode::Character);
  Char('K');
  EXPECT_EQ(view().model().Data()[0], 'K');
  Key(WXK_TAB);
  EXPECT_EQ(view().model().Mode(), CaretMode::HighDigit);
  // Shift+Right selects two bytes, Insert puts in as many zero bytes, Backspace removes one.
  Key(WXK_RIGHT, true);
  Key(WXK_RIGHT, true);
  ASSERT_TRUE(view().model().Selection());
  Key(WXK_INSERT);
  EXPECT_EQ(view().model().Data().size(), 514u);
  Char(WXK_BACK);
  EXPECT_EQ(view().model().Data().size(), 513u);
}

TEST_F(HexViewControlTest, CopyPutsBothFormatsOnTheClipboardAndPasteTakesTheBinaryOne) {
  Click(9, 0);                          // byte 0, high digit
  Key(WXK_RIGHT, true);                 // low digit, byte 0 selected
  Key(WXK_RIGHT, true);                 // byte 1 selected too
  Char(3, true);                        // Ctrl+C
  if (!wxTheClipboard->Open()) GTEST_SKIP() << "no clipboard on this display";
  wxCustomDataObject binary{wxDataFormat(kBinaryDataFormat)};
  ASSERT_TRUE(wxTheClipboard->GetData(binary));
  wxTextDataObject text;
  ASSERT_TRUE(wxTheClipboard->GetData(text));
  wxTheClipboard->Close();
  ASSERT_EQ(binary.GetSize(), 2u);
  EXPECT_EQ(static_cast<const std::uint8_t*>(binary.GetData())[1], 0x01);
  EXPECT_EQ(text.GetText(), "00 01 ");

  Key(WXK_END, false);
  Char(0x16, true);  // Ctrl+V
  EXPECT_EQ(view().model().Data().size(), 514u);
}

}  // namespace
}  // namespace korvex::test
