#include "setup/dialogs/InstallDlg.h"

#include <wx/button.h>
#include <wx/dirdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/WxText.h"
#include "platform/StringFormat.h"
#include "setup/SetupFolders.h"
#include "setup/SetupTexts.h"
#include "setup/dialogs/SetupDisplay.h"

namespace korvex::setup {

CInstallDlg::CInstallDlg(wxWindow* parent, const SetupContext& context)
    : wxDialog(parent, wxID_ANY, Wx(text::kInstallTitle), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      context_(context) {
  const std::string folder = DefaultInstallFolder().string();
  folder_ = new wxTextCtrl(this, kFolderEditId, Wx(folder));
  folder_->SetName(Wx(text::kInstallFolderLabel));
  auto* browse = new wxButton(this, kBrowseId, Wx(text::kBrowseButton), wxDefaultPosition, wxDefaultSize,
                              wxBU_EXACTFIT);
  browse->SetName(Wx(text::kChooseFolder));
  log_ = MakeSetupLog(this);
  context_.log = [this](const std::string& line) { AppendToLog(*log_, line); };
  ok_ = new wxButton(this, wxID_OK, Wx(text::kInstallButton));
  cancel_ = new wxButton(this, wxID_CANCEL, Wx(text::kCancelButton));

  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticText(this, wxID_ANY, Wx(text::kInstallFolderLabel)), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  row->Add(folder_, 1, wxALIGN_CENTER_VERTICAL);
  row->Add(browse, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 4);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->AddStretchSpacer();
  buttons->Add(ok_, 0, wxRIGHT, 6);
  buttons->Add(cancel_);
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(row, 0, wxEXPAND | wxALL, 10);
  top->Add(log_, 1, wxEXPAND | wxLEFT | wxRIGHT, 10);
  top->Add(buttons, 0, wxEXPAND | wxALL, 10);
  SetSizerAndFit(top);
  ok_->SetDefault();
  CentreOnParent();

  context_.log(text::kLogCurrentFolder + folder);
  Bind(wxEVT_BUTTON, &CInstallDlg::OnOk, this, wxID_OK);
  Bind(wxEVT_BUTTON, &CInstallDlg::OnBrowse, this, kBrowseId);
  Bind(wxEVT_CLOSE_WINDOW, &CInstallDlg::OnClose, this);
}

void CInstallDlg::OnOk(wxCommandEvent&) {
  if (finished_) {
    EndModal(wxID_OK);
    return;
  }
  const std::string entry = Utf8(folder_->GetValue());
  const auto folder = ParseInstallFolder(entry);
  if (!folder) {
    context_.prompt.Message(StrFormat(text::kFolderNotAbsolute, entry.c_str()), PromptIcon::Stop);
    return;
  }
  ok_->Disable();
  cancel_->Disable();
  const InstallOutcome outcome = Install(context_, *folder);
  cancel_->Enable();
  if (outcome == InstallOutcome::Installed) Finish();
}

void CInstallDlg::Finish() {
  finished_ = true;
  cancel_->Disable();
  ok_->SetLabel(Wx(text::kDoneButton));
  ok_->Enable();
}

void CInstallDlg::OnBrowse(wxCommandEvent&) {
  const auto current = ParseInstallFolder(Utf8(folder_->GetValue()));
  wxDirDialog chooser(this, Wx(text::kChooseFolder), current ? Wx(current->string()) : wxString(),
                      wxDD_DEFAULT_STYLE);
  if (chooser.ShowModal() != wxID_OK) return;
  const wxString chosen = chooser.GetPath();
  folder_->ChangeValue(chosen);
  context_.log(text::kLogNextFolder + Utf8(chosen));
}

// Closing the window after a finished install counts as "&Fertig".
void CInstallDlg::OnClose(wxCloseEvent& event) {
  if (!IsModal()) {
    event.Skip();
    return;
  }
  EndModal(finished_ ? wxID_OK : wxID_CANCEL);
}

}  // namespace korvex::setup
