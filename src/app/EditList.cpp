#include "app/EditList.h"

#include <algorithm>

#include <wx/textctrl.h>

#include "wxcommon/WxText.h"

namespace korvex {
namespace {

constexpr int kInPlaceEditId = 1000;
constexpr int kMinEditableWidth = 5;

// The edit over one cell: Return or leaving it takes the text, Escape drops it; it grows with
// its text up to the table's right edge and destroys itself when it ends.
class CInPlaceEdit final : public wxTextCtrl {
 public:
  CInPlaceEdit(CEditList& list, wxWindow* parent, long row, int column, const wxRect& rect, const wxString& text,
               long alignment)
      : wxTextCtrl(parent, kInPlaceEditId, text, rect.GetTopLeft(), rect.GetSize(),
                   wxTE_PROCESS_ENTER | alignment | wxBORDER_SIMPLE),
        list_(list), row_(row), column_(column) {
    SetFont(list.GetFont());
    SelectAll();
    SetFocus();
    Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { Finish(true); });
    Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
      event.Skip();
      Finish(true);
    });
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
      if (event.GetKeyCode() == WXK_ESCAPE) Finish(false);
      else event.Skip();
    });
    Bind(wxEVT_TEXT, [this](wxCommandEvent&) { Grow(); });
  }

 private:
  void Grow() {
    const int wanted = GetTextExtent(GetValue()).GetWidth() + 5;
    const int limit = GetParent()->GetClientSize().GetWidth() - GetPosition().x;
    if (wanted > GetSize().GetWidth()) SetSize(std::min(wanted, limit), -1);
  }
  void Finish(bool take) {
    if (finished_) return;
    finished_ = true;
    list_.EndCellEdit(row_, column_, take ? std::optional<wxString>(GetValue()) : std::nullopt);
    list_.CallAfter([this] { Destroy(); });
  }

  CEditList& list_;
  long row_;
  int column_;
  bool finished_ = false;
};

}  // namespace

CEditList::CEditList(wxWindow* parent)
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxSize(253, 249), wxLC_REPORT | wxLC_SINGLE_SEL | wxBORDER_THEME) {
  RowsWindow()->Bind(wxEVT_LEFT_DOWN, &CEditList::OnLeftDown, this);
  RowsWindow()->Bind(wxEVT_LEFT_DCLICK, &CEditList::OnDoubleClick, this);
  RowsWindow()->Bind(wxEVT_KEY_DOWN, &CEditList::OnKey, this);
  // The highlighted row is the current one, whether a click or a key (End, arrows) moved it.
  Bind(wxEVT_LIST_ITEM_FOCUSED, [this](wxListEvent& event) {
    event.Skip();
    if (event.GetIndex() >= 0) current_ = event.GetIndex();
  });
  Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent& event) {
    event.Skip();
    current_ = event.GetIndex();
  });
  // Scrolling ends an open edit: the focus moves to the table first.
  for (const auto type : {wxEVT_SCROLLWIN_LINEUP, wxEVT_SCROLLWIN_LINEDOWN, wxEVT_SCROLLWIN_PAGEUP,
                          wxEVT_SCROLLWIN_PAGEDOWN, wxEVT_SCROLLWIN_THUMBTRACK}) {
    RowsWindow()->Bind(type, [this](wxScrollWinEvent& event) {
      if (editing_) RowsWindow()->SetFocus();
      event.Skip();
    });
  }
}

wxWindow* CEditList::RowsWindow() const {
  // The list's two children are the column headers and, taller, the rows.
  wxWindow* rows = nullptr;
  for (wxWindow* child : GetChildren()) {
    if (rows == nullptr || child->GetSize().GetHeight() > rows->GetSize().GetHeight()) rows = child;
  }
  return rows != nullptr ? rows : const_cast<CEditList*>(this);
}

std::vector<std::vector<std::string>> CEditList::Rows() const {
  std::vector<std::vector<std::string>> rows;
  for (long row = 0; row < GetItemCount(); ++row) {
    std::vector<std::string> cells;
    for (int column = 0; column < GetColumnCount(); ++column) cells.push_back(Utf8(GetItemText(row, column)));
    rows.push_back(std::move(cells));
  }
  return rows;
}

void CEditList::AppendRow(const std::vector<std::string>& cells) {
  const long row = InsertItem(GetItemCount(), cells.empty() ? wxString() : Wx(cells[0]));
  for (std::size_t column = 1; column < cells.size(); ++column) SetItem(row, static_cast<int>(column), Wx(cells[column]));
  EnsureVisible(row);
}

void CEditList::DeleteCurrentRow() {
  if (GetItemCount() == 0 || current_ < 0 || current_ >= GetItemCount()) return;
  const long above = current_ - 1;
  DeleteItem(current_);
  if (above >= 0) {
    SetItemState(above, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    EnsureVisible(above);
  }
  current_ = above;
}

int CEditList::ColumnAt(int x) const {
  // Column spans include both edges; the list's horizontal scroll is taken into account.
  int left = -GetScrollPos(wxHORIZONTAL);
  for (int column = 0; column < GetColumnCount(); ++column) {
    const int width = GetColumnWidth(column);
    if (x >= left && x <= left + width) return column;
    left += width;
  }
  return -1;
}

void CEditList::OnLeftDown(wxMouseEvent& event) {
  event.Skip();  // the list selects and focuses the row
  int flags = 0;
  const long row = HitTest(event.GetPosition(), flags);
  if (row == wxNOT_FOUND) return;
  current_ = row;
  if (const int column = ColumnAt(event.GetPosition().x); column >= 0) editColumn_ = column;
}

void CEditList::OnDoubleClick(wxMouseEvent& event) {
  int flags = 0;
  const long row = HitTest(event.GetPosition(), flags);
  const int column = ColumnAt(event.GetPosition().x);
  if (row == wxNOT_FOUND || column < 0) {
    event.Skip();
    return;
  }
  current_ = row;
  editColumn_ = column;
  CallAfter([this, row, column] { EditCell(row, column); });
}

void CEditList::OnKey(wxKeyEvent& event) {
  if (event.GetKeyCode() == WXK_F2 && event.GetModifiers() == wxMOD_NONE && !editing_) {
    EditCell(current_, editColumn_);
    return;
  }
  event.Skip();
}

bool CEditList::EditCell(long row, int column) {
  if (row < 0 || row >= GetItemCount() || column < 0 || column >= GetColumnCount()) return false;
  const int width = GetColumnWidth(column);
  if (width < kMinEditableWidth) return false;
  EnsureVisible(row);
  wxRect cell;
  if (!GetSubItemRect(row, column, cell)) return false;
  // From the table's coordinates to those of the window that shows the rows.
  const wxPoint origin = RowsWindow()->ScreenToClient(ClientToScreen(cell.GetTopLeft()));
  const int clientWidth = RowsWindow()->GetClientSize().GetWidth();
  const int left = origin.x + 4;
  const wxRect rect(left, origin.y, std::min(width - 3, clientWidth - left), cell.GetHeight());
  wxListItem info;
  GetColumn(column, info);
  const long alignment = info.GetAlign() == wxLIST_FORMAT_RIGHT    ? wxTE_RIGHT
                         : info.GetAlign() == wxLIST_FORMAT_CENTRE ? wxTE_CENTRE
                                                                   : wxTE_LEFT;
  editing_ = true;
  new CInPlaceEdit(*this, RowsWindow(), row, column, rect, GetItemText(row, column), alignment);
  return true;
}

void CEditList::EndCellEdit(long row, int column, const std::optional<wxString>& text) {
  editing_ = false;
  if (text && row < GetItemCount()) SetItem(row, column, *text);
}

}  // namespace korvex
