#include "setup/dialogs/InstallDlg.h"

#include <wx/button.h>
#include <wx/dirdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "wxcommon/WxText.h"
#include "platform/StringFormat.h"
#include "setup/SetupFolders.h"
#include "setup/SetupTexts.h"

namespace korvex::setup {

CInstallDlg::CInstallDlg(wxWindow* parent, const SetupContext& setupContext)
    : CSetupStepDlg(parent, text::kInstallTitle, setupContext, text::kInstallButton) {
  const std::string folder = DefaultInstallFolder().string();
  folder_ = new wxTextCtrl(this, kFolderEditId, Wx(folder));
  folder_->SetName(Wx(text::kInstallFolderLabel));
  auto* browse =
      new wxButton(this, kBrowseId, Wx(text::kBrowseButton), wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
  browse->SetName(Wx(text::kChooseFolder));
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticText(this, wxID_ANY, Wx(text::kInstallFolderLabel)), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  row->Add(folder_, 1, wxALIGN_CENTER_VERTICAL);
  row->Add(browse, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 4);
  // The folder comes first in the tab order, before the log made by the base.
  folder_->MoveBeforeInTabOrder(&log());
  browse->MoveAfterInTabOrder(folder_);
  Arrange(row);
  context().log(text::kLogCurrentFolder + folder);
  Bind(wxEVT_BUTTON, &CInstallDlg::OnBrowse, this, kBrowseId);
}

CSetupStepDlg::StepEnd CInstallDlg::RunStep() {
  const std::string entry = Utf8(folder_->GetValue());
  const auto folder = ParseInstallFolder(entry);
  if (!folder) {
    context().prompt.Message(StrFormat(text::kFolderNotAbsolute, entry.c_str()), PromptIcon::Stop);
    return StepEnd::NotStarted;
  }
  return Install(context(), *folder) == InstallOutcome::Installed ? StepEnd::Done : StepEnd::Failed;
}

void CInstallDlg::OnBrowse(wxCommandEvent&) {
  const auto current = ParseInstallFolder(Utf8(folder_->GetValue()));
  wxDirDialog chooser(this, Wx(text::kChooseFolder), current ? Wx(current->string()) : wxString(),
                      wxDD_DEFAULT_STYLE);
  if (chooser.ShowModal() == wxID_OK && !chooser.GetPath().empty()) TakeFolder(chooser.GetPath());
}

void CInstallDlg::TakeFolder(const wxString& folder) {
  folder_->ChangeValue(folder);
  context().log(text::kLogNextFolder + Utf8(folder));
}

}  // namespace korvex::setup
