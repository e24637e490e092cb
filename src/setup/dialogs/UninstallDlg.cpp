#include "setup/dialogs/UninstallDlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/WxText.h"
#include "setup/SetupTexts.h"
#include "setup/dialogs/SetupDisplay.h"

namespace korvex::setup {

CUninstallDlg::CUninstallDlg(wxWindow* parent, const SetupContext& context, std::filesystem::path installFolder)
    : wxDialog(parent, wxID_ANY, Wx(text::kUninstallTitle), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      context_(context),
      installFolder_(std::move(installFolder)) {
  auto* noteText = new wxStaticText(this, wxID_ANY, Wx(DisplayText(text::kUninstallNote)));
  noteText->Wrap(560);
  log_ = MakeSetupLog(this);
  context_.log = [this](const std::string& line) { AppendToLog(*log_, line); };
  ok_ = new wxButton(this, wxID_OK, Wx(text::kUninstallButton));
  cancel_ = new wxButton(this, wxID_CANCEL, Wx(text::kCancelButton));

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->AddStretchSpacer();
  buttons->Add(ok_, 0, wxRIGHT, 6);
  buttons->Add(cancel_);
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(noteText, 0, wxEXPAND | wxALL, 10);
  top->Add(log_, 1, wxEXPAND | wxLEFT | wxRIGHT, 10);
  top->Add(buttons, 0, wxEXPAND | wxALL, 10);
  SetSizerAndFit(top);
  ok_->SetDefault();
  CentreOnParent();

  Bind(wxEVT_BUTTON, &CUninstallDlg::OnOk, this, wxID_OK);
  Bind(wxEVT_CLOSE_WINDOW, &CUninstallDlg::OnClose, this);
}

void CUninstallDlg::OnOk(wxCommandEvent&) {
  if (finished_) {
    EndModal(wxID_OK);
    return;
  }
  ok_->Disable();
  cancel_->Disable();
  Uninstall(context_, installFolder_);
  finished_ = true;
  ok_->SetLabel(Wx(text::kDoneButton));
  ok_->Enable();
}

// Closing the window after the uninstall counts as "&Fertig".
void CUninstallDlg::OnClose(wxCloseEvent& event) {
  if (!IsModal()) {
    event.Skip();
    return;
  }
  EndModal(finished_ ? wxID_OK : wxID_CANCEL);
}

}  // namespace korvex::setup
