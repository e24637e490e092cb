#pragma once
// "Installieren...": the installation folder (typed or chosen), the log, and "&Installieren",
// which installs once and then reads "&Fertig" and only closes the dialog.
#include <wx/dialog.h>

#include "setup/SetupSteps.h"

class wxButton;
class wxTextCtrl;

namespace korvex::setup {

inline constexpr int kFolderEditId = 1045;
inline constexpr int kBrowseId = 1043;

class CInstallDlg final : public wxDialog {
 public:
  // context.log is replaced by this dialog's log.
  CInstallDlg(wxWindow* parent, const SetupContext& context);

  wxTextCtrl& folderEdit() { return *folder_; }
  wxTextCtrl& log() { return *log_; }

  // The OK button: installs, or closes the dialog once the install succeeded.
  void OnOk(wxCommandEvent& event);
  // "...": the folder chooser; a chosen folder replaces the entry.
  void OnBrowse(wxCommandEvent& event);

 private:
  void OnClose(wxCloseEvent& event);
  void Finish();

  SetupContext context_;
  wxTextCtrl* folder_;
  wxTextCtrl* log_;
  wxButton* ok_;
  wxButton* cancel_;
  bool finished_ = false;
};

}  // namespace korvex::setup
