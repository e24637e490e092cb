#pragma once
// Drives a modal dialog in a test: under wxTEST_DIALOG the dialog a command opens is handed to
// a function instead of being shown, and whatever that function returns is ShowModal's result.
// A dialog with long work is waited for while the window's thread takes the worker's reports.
#include <cstdlib>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/testing.h>
#include <wx/utils.h>

#include "app/LongWorkDialog.h"
#include "app/Screenshot.h"

namespace korvex::test {

template <typename Dialog>
class DriveModal final : public wxExpectModalBase<Dialog, DriveModal<Dialog>> {
 public:
  explicit DriveModal(std::function<int(Dialog&)> action) : action_(std::move(action)) {}

 protected:
  int OnInvoked(Dialog* dialog) const override { return action_(*dialog); }

 private:
  std::function<int(Dialog&)> action_;
};

// An unmet or unexpected dialog is a test failure rather than a wx assertion.
class GtestModalHook final : public wxTestingModalHook {
 public:
  using wxTestingModalHook::wxTestingModalHook;
  void ReportFailure(const wxString& message) override { ADD_FAILURE() << message.utf8_string(); }
};

// A click on a button, as the user makes it.
inline void Click(wxButton& button) {
  wxCommandEvent click(wxEVT_BUTTON, button.GetId());
  click.SetEventObject(&button);
  button.ProcessWindowEvent(click);
}

// Handles the worker's reports until its end has reached the dialog.
inline void WaitForWork(CLongWorkDlg& dialog) {
  while (dialog.Running()) {
    wxTheApp->ProcessPendingEvents();
    if (dialog.Running()) wxMilliSleep(1);
  }
  wxTheApp->ProcessPendingEvents();
}

// With KORVEX_DIALOG_PICTURES naming a folder, the dialog is shown for a moment and its picture
// saved there as NAME.png, to look at the layouts without a display. Under Xvfb without a
// window manager only the first dialog of a run comes out right: take one test at a time.
inline void SavePictureIfAsked(wxDialog& dialog, const std::string& name) {
  const char* folder = std::getenv("KORVEX_DIALOG_PICTURES");
  if (folder == nullptr) return;
  dialog.Show();
  dialog.Raise();
  for (int i = 0; i < 50; ++i) {
    dialog.Refresh();
    dialog.Update();
    wxTheApp->Yield(true);
    wxMilliSleep(20);
  }
  SaveWindowPicture(dialog, std::string(folder) + "/" + name + ".png");
  dialog.Hide();
}

}  // namespace korvex::test

#undef wxTEST_DIALOG_HOOK_CLASS
#define wxTEST_DIALOG_HOOK_CLASS korvex::test::GtestModalHook
