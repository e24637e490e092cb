#pragma once
// The catalogue editor's table: a report list whose cells open an in-place edit on a double
// click or F2 (a single click only selects). The current row is the highlighted one, however it
// was reached: by a click or by the keyboard.
#include <optional>
#include <string>
#include <vector>

#include <wx/listctrl.h>

namespace korvex {

class CEditList final : public wxListCtrl {
 public:
  explicit CEditList(wxWindow* parent);

  long currentRow() const { return current_; }
  void SetCurrentRow(long row) { current_ = row; }
  std::vector<std::vector<std::string>> Rows() const;
  void AppendRow(const std::vector<std::string>& cells);
  // Deletes the current row; the row above becomes current and highlighted (−1 after the first
  // row), so that repeated deletions go upwards.
  void DeleteCurrentRow();

  // Opens the in-place edit on a cell; false when the cell cannot be edited (no such row or
  // column, a column narrower than 5 pixels).
  bool EditCell(long row, int column);
  // Called by the in-place edit when it ends: text is nothing when the edit was discarded.
  void EndCellEdit(long row, int column, const std::optional<wxString>& text);
  bool editing() const { return editing_; }
  // The window that shows the rows (below the column headers) and receives their clicks.
  wxWindow* RowsWindow() const;

 private:
  void OnLeftDown(wxMouseEvent& event);
  void OnDoubleClick(wxMouseEvent& event);
  void OnKey(wxKeyEvent& event);
  int ColumnAt(int x) const;

  long current_ = -1;
  int editColumn_ = 1;  // the column F2 edits: the one clicked last, else the name
  bool editing_ = false;
};

}  // namespace korvex
