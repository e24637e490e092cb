#pragma once
// The form in the right pane of the main window: the system information, a disk's overview or
// the partition form. The frame asks it for pending changes and tells it to apply them.
#include <wx/panel.h>

#include "shell/CommandStates.h"

namespace korvex {

class CRightPane : public wxPanel {
 public:
  explicit CRightPane(wxWindow* parent) : wxPanel(parent, wxID_ANY) {}

  virtual RightPane Kind() const = 0;
  // True when the form holds values that differ from the working copy. Called on every idle
  // update of the command states, so it never shows a message.
  virtual bool IsModified() const { return false; }
  // Writes the form's values into the working copy: 0 when they were written, 1 when they were
  // refused or the user declined.
  virtual int Apply() { return 0; }
};

}  // namespace korvex
