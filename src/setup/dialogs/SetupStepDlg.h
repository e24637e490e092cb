#pragma once
// What the install and the uninstall dialog share: a log under the dialog's own controls and
// an OK button that runs the dialog's step until it succeeded and then reads "&Fertig" and only
// closes the dialog (Cancel is disabled then). After a failed step only Cancel is left.
#include <wx/dialog.h>

#include "setup/SetupSteps.h"

class wxButton;
class wxSizer;
class wxTextCtrl;

namespace korvex::setup {

class CSetupStepDlg : public wxDialog {
 public:
  wxTextCtrl& log() { return *log_; }

 protected:
  enum class StepEnd { NotStarted, Failed, Done };

  // context.log is replaced by this dialog's log.
  CSetupStepDlg(wxWindow* parent, const char* title, const SetupContext& context, const char* okLabel);
  // Lays out head above the log and the buttons; call once, after making head's controls.
  void Arrange(wxSizer* head);
  // The dialog's work, run by the OK button; NotStarted when it refused before changing anything.
  virtual StepEnd RunStep() = 0;

  SetupContext& context() { return context_; }

 private:
  void OnOk(wxCommandEvent& event);
  void OnClose(wxCloseEvent& event);

  SetupContext context_;
  wxTextCtrl* log_;
  wxButton* ok_;
  wxButton* cancel_;
  bool finished_ = false;
};

}  // namespace korvex::setup
