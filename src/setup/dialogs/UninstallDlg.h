#pragma once
// "Deinstallieren...": a note that the boot engine stays the program's business, the log, and
// "&Deinstallieren", which uninstalls once and then reads "&Fertig" and only closes the dialog.
#include <filesystem>

#include <wx/dialog.h>

#include "setup/SetupSteps.h"

class wxButton;
class wxTextCtrl;

namespace korvex::setup {

class CUninstallDlg final : public wxDialog {
 public:
  // Uninstalls the installation in installFolder; context.log is replaced by this dialog's log.
  CUninstallDlg(wxWindow* parent, const SetupContext& context, std::filesystem::path installFolder);

  wxTextCtrl& log() { return *log_; }

  // The OK button: uninstalls, or closes the dialog once that is done.
  void OnOk(wxCommandEvent& event);

 private:
  void OnClose(wxCloseEvent& event);

  SetupContext context_;
  std::filesystem::path installFolder_;
  wxTextCtrl* log_;
  wxButton* ok_;
  wxButton* cancel_;
  bool finished_ = false;
};

}  // namespace korvex::setup
