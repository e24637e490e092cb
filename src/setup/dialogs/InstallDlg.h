#pragma once
// "Installieren...": the installation folder (typed or chosen with "..."), the log, and
// "&Installieren".
#include "setup/dialogs/SetupStepDlg.h"

class wxTextCtrl;

namespace korvex::setup {

inline constexpr int kFolderEditId = 1045;
inline constexpr int kBrowseId = 1043;

class CInstallDlg final : public CSetupStepDlg {
 public:
  CInstallDlg(wxWindow* parent, const SetupContext& setupContext);

  wxTextCtrl& folderEdit() { return *folder_; }
  // A folder chosen with "...": it replaces the entry and the log names it.
  void TakeFolder(const wxString& folder);

 private:
  StepEnd RunStep() override;
  // "...": the folder chooser; a chosen folder replaces the entry.
  void OnBrowse(wxCommandEvent& event);

  wxTextCtrl* folder_;
};

}  // namespace korvex::setup
