#include "setup/dialogs/SetupMainDlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "wxcommon/Drawing.h"
#include "wxcommon/ProgramIcon.h"
#include "wxcommon/WxText.h"
#include "setup/SetupSettings.h"
#include "setup/SetupTexts.h"
#include "setup/dialogs/InstallDlg.h"
#include "setup/dialogs/UninstallDlg.h"

namespace korvex::setup {

CSetupMainDlg::CSetupMainDlg(wxWindow* parent, const SetupContext& context)
    : wxDialog(parent, wxID_ANY, Wx(text::kMainTitle)), context_(context) {
  const wxBitmap picture = AboutPicture();
  SetIcons(ProgramIcons());

  auto* welcome = new wxStaticText(this, wxID_ANY, Wx(text::kMainWelcome));
  welcome->SetFont(welcome->GetFont().Bold());
  auto* explain = new wxStaticText(this, wxID_ANY, Wx(text::kMainExplain));
  explain->Wrap(380);
  auto* texts = new wxBoxSizer(wxVERTICAL);
  texts->Add(welcome, 0, wxBOTTOM, 8);
  texts->Add(explain);
  auto* body = new wxBoxSizer(wxHORIZONTAL);
  body->Add(new wxStaticBitmap(this, wxID_ANY, picture), 0, wxALL, 12);
  body->Add(texts, 1, wxTOP | wxBOTTOM | wxRIGHT, 12);

  auto* install = new wxButton(this, kInstallId, Wx(text::kInstallButton));
  auto* remove = new wxButton(this, kRemoveId, Wx(text::kRemoveButton));
  quit_ = new wxButton(this, kQuitId, Wx(text::kAbortSetup));
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->AddStretchSpacer();
  buttons->Add(install, 0, wxRIGHT, 6);
  buttons->Add(remove, 0, wxRIGHT, 6);
  buttons->Add(quit_);
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(body, 1, wxEXPAND);
  top->Add(buttons, 0, wxEXPAND | wxALL, 10);
  SetSizerAndFit(top);
  install->SetDefault();
  SetEscapeId(kQuitId);
  Centre();

  // Nothing reads this record, so a store that cannot take it stops nothing here; the install
  // reports the store's failure when it writes the settings.
  RecordSetupStart(context_.store, context_.distribution);
  Bind(wxEVT_BUTTON, &CSetupMainDlg::OnInstall, this, kInstallId);
  Bind(wxEVT_BUTTON, &CSetupMainDlg::OnRemove, this, kRemoveId);
  Bind(wxEVT_BUTTON, &CSetupMainDlg::OnQuit, this, kQuitId);
  Bind(wxEVT_CLOSE_WINDOW, &CSetupMainDlg::OnClose, this);
}

void CSetupMainDlg::OnInstall(wxCommandEvent&) {
  quit_->Disable();
  CInstallDlg dialog(this, context_);
  if (dialog.ShowModal() != wxID_CANCEL) {
    installed_ = true;
    quit_->SetLabel(Wx(text::kEndSetup));
  }
  quit_->Enable();
}

void CSetupMainDlg::OnRemove(wxCommandEvent&) {
  const auto folder = InstalledFolder(context_.store);
  if (!folder) {
    context_.prompt.Message(text::kNoInstallation, PromptIcon::Stop);
    return;
  }
  CUninstallDlg dialog(this, context_, *folder);
  dialog.ShowModal();
}

void CSetupMainDlg::OnQuit(wxCommandEvent&) {
  if (installed_ ||
      context_.prompt.Ask(text::kReallyAbort, PromptButtons::YesNoCancel, PromptIcon::Question) == PromptAnswer::Yes) {
    End();
  }
}

void CSetupMainDlg::OnClose(wxCloseEvent&) {
  wxCommandEvent quit(wxEVT_BUTTON, kQuitId);
  OnQuit(quit);
}

void CSetupMainDlg::End() {
  if (IsModal()) {
    EndModal(wxID_OK);
  } else {
    Hide();
  }
}

}  // namespace korvex::setup
