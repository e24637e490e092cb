// The partition type catalogue's dialog: rows deleted, added and edited in place, the checks
// that keep it open, and the store file afterwards.
#include <wx/button.h>
#include <wx/textctrl.h>

#include "app/EditList.h"
#include "app/PartTypeDialog.h"
#include "wxcommon/WxText.h"
#include "gui/GuiFixture.h"
#include "parttypes/PartTypeCatalogue.h"
#include "platform/StringTable.h"

namespace korvex::test {
namespace {

class PartTypeDialogTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    std::string error;
    store = OpenRegistryStore(DefaultUserHivePath(), DeviceList{}, "", error);
    ASSERT_TRUE(store) << error;
    ASSERT_TRUE(StoreCatalogueRows(*store, {{"6", "FAT16"}, {"7", "NTFS"}, {"131", "Linux"}}));
  }
  // The catalogue as the store file holds it now.
  std::vector<CatalogueRow> Stored() {
    std::string error;
    auto reread = OpenRegistryStore(DefaultUserHivePath(), DeviceList{}, "", error);
    EXPECT_TRUE(reread) << error;
    return reread ? ReadCatalogueRows(*reread) : std::vector<CatalogueRow>{};
  }
  std::vector<std::string> Row(const CPartTypeDlg& dialog, long row) { return dialog.table().Rows().at(row); }

  std::unique_ptr<RegistryStore> store;
};

TEST_F(PartTypeDialogTest, DeletingTheMiddleEntryStoresTwoAndUneditedRowsAreLeftOut) {
  CPartTypeDlg dialog(nullptr, *store, prompt);
  ASSERT_EQ(dialog.table().GetItemCount(), 3);
  dialog.table().SetCurrentRow(1);
  dialog.DeleteRow();
  EXPECT_EQ(dialog.table().currentRow(), 0);
  dialog.AddRow();
  EXPECT_EQ(Row(dialog, 2), (std::vector<std::string>{"?", LoadResString(IDS_UNKNOWN_TYPE)}));
  ASSERT_TRUE(dialog.CloseAndStore());
  EXPECT_EQ(Stored(), (std::vector<CatalogueRow>{{"6", "FAT16"}, {"131", "Linux"}}));
  std::string error;
  auto reread = OpenRegistryStore(DefaultUserHivePath(), DeviceList{}, "", error);
  EXPECT_EQ(RegReadDword(*reread, RegRoot::CurrentUser, kPartTypesKey, "Anzahl", 0), 2u);
  EXPECT_FALSE(reread->KeyExists(RegRoot::CurrentUser, std::string(kPartTypesKey) + "\\3"));
}

TEST_F(PartTypeDialogTest, InvalidRowsKeepTheDialogOpenAndTheStoreUnchanged) {
  CPartTypeDlg dialog(nullptr, *store, prompt);
  dialog.table().SetItem(2, 0, "300");
  EXPECT_FALSE(dialog.CloseAndStore());
  EXPECT_EQ(LastText(), "300" + LoadResString(IDS_INVALID_TYPE_ID));
  EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Stop);
  dialog.table().SetItem(2, 0, "131");
  dialog.table().SetItem(2, 1, "NTFS");
  EXPECT_FALSE(dialog.CloseAndStore());
  EXPECT_EQ(LastText(), "NTFS" + LoadResString(IDS_DUPLICATE_TYPE_NAME));
  EXPECT_EQ(Stored(), (std::vector<CatalogueRow>{{"6", "FAT16"}, {"7", "NTFS"}, {"131", "Linux"}}));
}

TEST_F(PartTypeDialogTest, ACellIsEditedInPlaceAndTheButtonsFollowTheRowCount) {
  CPartTypeDlg dialog(nullptr, *store, prompt);
  dialog.Show();
  Settle();
  ASSERT_TRUE(dialog.table().EditCell(0, 1));
  auto* edit = dynamic_cast<wxTextCtrl*>(dialog.table().RowsWindow()->FindWindow(1000));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->GetValue(), "FAT16");
  edit->ChangeValue(Wx("FAT16 groß"));
  wxCommandEvent enter(wxEVT_TEXT_ENTER, edit->GetId());
  enter.SetEventObject(edit);
  edit->ProcessWindowEvent(enter);
  Settle();
  EXPECT_EQ(Row(dialog, 0)[1], "FAT16 groß");
  EXPECT_FALSE(dialog.table().editing());

  // Escape drops the text.
  ASSERT_TRUE(dialog.table().EditCell(1, 1));
  edit = dynamic_cast<wxTextCtrl*>(dialog.table().RowsWindow()->FindWindow(1000));
  ASSERT_NE(edit, nullptr);
  edit->ChangeValue("verworfen");
  wxKeyEvent escape(wxEVT_CHAR_HOOK);
  escape.m_keyCode = WXK_ESCAPE;
  escape.SetEventObject(edit);
  edit->ProcessWindowEvent(escape);
  Settle();
  EXPECT_EQ(Row(dialog, 1)[1], "NTFS");

  for (long row = 2; row >= 0; --row) {
    EXPECT_TRUE(dialog.deleteButton().IsEnabled());
    dialog.table().SetCurrentRow(row);
    dialog.DeleteRow();
  }
  EXPECT_FALSE(dialog.deleteButton().IsEnabled());
  EXPECT_TRUE(dialog.addButton().IsEnabled());
  dialog.AddRow();
  EXPECT_TRUE(dialog.deleteButton().IsEnabled());
  dialog.Hide();
}

// The highlighted row is the one "Löschen" deletes, however it was reached; a click only selects,
// a double click or F2 edits; Escape and the title bar's close button drop every change.
TEST_F(PartTypeDialogTest, DeleteTakesTheHighlightedRowAndEscapeOrClosingDropsTheChanges) {
  const auto key = [](wxWindow& window, wxEventType type, int code) {
    wxKeyEvent event(type);
    event.m_keyCode = code;
    event.SetEventObject(&window);
    window.ProcessWindowEvent(event);
  };
  for (const bool escape : {true, false}) {
    CPartTypeDlg dialog(nullptr, *store, prompt);
    CEditList& table = dialog.table();
    int result = -1;
    dialog.CallAfter([&] {
      // A click on the first row, then End: the last row is highlighted and deleted.
      table.SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
      key(*table.RowsWindow(), wxEVT_CHAR, WXK_END);
      EXPECT_EQ(table.currentRow(), 2);
      dialog.DeleteRow();
      EXPECT_EQ(Row(dialog, table.GetItemCount() - 1)[1], "NTFS");
      EXPECT_EQ(table.GetItemCount(), 2);
      // The row above is highlighted now: a second press deletes it.
      EXPECT_EQ(table.currentRow(), 1);
      EXPECT_NE(table.GetItemState(1, wxLIST_STATE_SELECTED), 0);
      // F2 edits the highlighted row's name; Escape there drops only the edit.
      key(*table.RowsWindow(), wxEVT_KEY_DOWN, WXK_F2);
      EXPECT_TRUE(table.editing());
      auto* edit = dynamic_cast<wxTextCtrl*>(table.RowsWindow()->FindWindow(1000));
      EXPECT_NE(edit, nullptr);
      if (edit != nullptr) {
        EXPECT_EQ(edit->GetValue(), "NTFS");
        key(*edit, wxEVT_CHAR_HOOK, WXK_ESCAPE);
      }
      Settle();
      EXPECT_FALSE(table.editing());
      // Two clicks into a name select its row and open nothing; a double click edits it.
      wxRect cell;
      table.GetSubItemRect(0, 1, cell);
      const wxPoint point = table.RowsWindow()->ScreenToClient(table.ClientToScreen(cell.GetPosition())) + wxPoint(5, 3);
      const auto mouse = [&](wxEventType type) {
        wxMouseEvent event(type);
        event.SetPosition(point);
        event.SetEventObject(table.RowsWindow());
        table.RowsWindow()->ProcessWindowEvent(event);
      };
      for (const wxEventType type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}) mouse(type);
      Settle();
      EXPECT_FALSE(table.editing());
      EXPECT_EQ(table.currentRow(), 0);
      mouse(wxEVT_LEFT_DCLICK);
      Settle();
      EXPECT_TRUE(table.editing());
      if (auto* name = dynamic_cast<wxTextCtrl*>(table.RowsWindow()->FindWindow(1000))) {
        EXPECT_EQ(name->GetValue(), "FAT16");
        key(*name, wxEVT_CHAR_HOOK, WXK_ESCAPE);
      }
      Settle();
      if (escape) {
        key(dialog, wxEVT_CHAR_HOOK, WXK_ESCAPE);
      } else {
        wxCloseEvent close(wxEVT_CLOSE_WINDOW, dialog.GetId());
        close.SetEventObject(&dialog);
        close.SetCanVeto(true);
        dialog.ProcessWindowEvent(close);
      }
    });
    result = dialog.ShowModal();
    EXPECT_EQ(result, wxID_CANCEL);
    EXPECT_EQ(Stored(), (std::vector<CatalogueRow>{{"6", "FAT16"}, {"7", "NTFS"}, {"131", "Linux"}}));
  }
}

}  // namespace
}  // namespace korvex::test
