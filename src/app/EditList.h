#pragma once
// The catalogue editor's table: a report list whose first column is edited with the list's own
// label editing and whose further columns open an in-place edit on a click into the cell. It
// remembers the row clicked last (the current row).
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
  // Deletes the current row; the row above becomes current (−1 after the first row).
  void DeleteCurrentRow();

  // Opens the in-place edit on a cell of column 1 or further; false when the cell cannot be
  // edited (no such row or column, a column narrower than 5 pixels).
  bool EditCell(long row, int column);
  // Called by the in-place edit when it ends: text is nothing when the edit was discarded.
  void EndCellEdit(long row, int column, const std::optional<wxString>& text);
  bool editing() const { return editing_; }
  // The window that shows the rows (below the column headers) and receives their clicks.
  wxWindow* RowsWindow() const;

 private:
  void OnLeftDown(wxMouseEvent& event);
  int ColumnAt(int x) const;

  long current_ = -1;
  bool editing_ = false;
};

}  // namespace korvex
