#include "setup/dialogs/SetupStepDlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "wxcommon/WxText.h"
#include "setup/SetupTexts.h"
#include "setup/dialogs/SetupDisplay.h"

namespace korvex::setup {

CSetupStepDlg::CSetupStepDlg(wxWindow* parent, const char* title, const SetupContext& context, const char* okLabel)
    : wxDialog(parent, wxID_ANY, Wx(title), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      context_(context) {
  log_ = MakeSetupLog(this);
  context_.log = [this](const std::string& line) { AppendToLog(*log_, line); };
  ok_ = new wxButton(this, wxID_OK, Wx(okLabel));
  cancel_ = new wxButton(this, wxID_CANCEL, Wx(text::kCancelButton));
  Bind(wxEVT_BUTTON, &CSetupStepDlg::OnOk, this, wxID_OK);
  Bind(wxEVT_CLOSE_WINDOW, &CSetupStepDlg::OnClose, this);
}

void CSetupStepDlg::Arrange(wxSizer* head) {
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->AddStretchSpacer();
  buttons->Add(ok_, 0, wxRIGHT, 6);
  buttons->Add(cancel_);
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(head, 0, wxEXPAND | wxALL, 10);
  top->Add(log_, 1, wxEXPAND | wxLEFT | wxRIGHT, 10);
  top->Add(buttons, 0, wxEXPAND | wxALL, 10);
  SetSizerAndFit(top);
  ok_->SetDefault();
  CentreOnParent();
}

void CSetupStepDlg::OnOk(wxCommandEvent&) {
  if (finished_) {
    EndModal(wxID_OK);
    return;
  }
  ok_->Disable();
  cancel_->Disable();
  const StepEnd end = RunStep();
  cancel_->Enable(end != StepEnd::Done);
  if (end == StepEnd::Failed) return;
  finished_ = end == StepEnd::Done;
  if (finished_) ok_->SetLabel(Wx(text::kDoneButton));
  ok_->Enable();
}

// Closing the window after the step succeeded counts as "&Fertig".
void CSetupStepDlg::OnClose(wxCloseEvent& event) {
  if (!IsModal()) {
    event.Skip();
    return;
  }
  EndModal(finished_ ? wxID_OK : wxID_CANCEL);
}

}  // namespace korvex::setup
