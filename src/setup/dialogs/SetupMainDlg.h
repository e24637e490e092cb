#pragma once
// "Korvex - Setup": welcome texts and the three buttons "&Installieren", "&Entfernen" and
// "Setup a&bbrechen", which reads "Setup &beenden" once an install dialog was not cancelled.
#include <wx/dialog.h>

#include "setup/SetupSteps.h"

class wxButton;

namespace korvex::setup {

inline constexpr int kInstallId = 1000;
inline constexpr int kRemoveId = 1002;
inline constexpr int kQuitId = 1033;

class CSetupMainDlg final : public wxDialog {
 public:
  // Records the installer's start in the store.
  CSetupMainDlg(wxWindow* parent, const SetupContext& context);

  wxButton& quitButton() { return *quit_; }

  void OnInstall(wxCommandEvent& event);
  void OnRemove(wxCommandEvent& event);
  // The third button: ends the setup, after asking while it still reads "Setup a&bbrechen".
  void OnQuit(wxCommandEvent& event);

 private:
  void OnClose(wxCloseEvent& event);
  void End();

  SetupContext context_;
  wxButton* quit_;
  bool installed_ = false;
};

}  // namespace korvex::setup
