#pragma once
// The pane below the tree and the form that lists the changes the next save writes, one line
// each as the core derives them. The main frame shows it while changes are pending (unless the
// user turned it off in "Ansicht") and fills it after every change of the working copy.
#include <string>
#include <vector>

#include <wx/panel.h>

class wxListBox;

namespace korvex {

class CPendingPane final : public wxPanel {
 public:
  explicit CPendingPane(wxWindow* parent);

  // Replaces the listed lines.
  void ShowLines(const std::vector<std::string>& lines);
  const wxListBox& list() const { return *list_; }

 private:
  wxListBox* list_ = nullptr;
};

}  // namespace korvex
