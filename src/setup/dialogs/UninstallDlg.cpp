#include "setup/dialogs/UninstallDlg.h"

#include <wx/sizer.h>
#include <wx/stattext.h>

#include "wxcommon/WxText.h"
#include "setup/SetupTexts.h"
#include "setup/dialogs/SetupDisplay.h"

namespace korvex::setup {

CUninstallDlg::CUninstallDlg(wxWindow* parent, const SetupContext& setupContext, std::filesystem::path installFolder)
    : CSetupStepDlg(parent, text::kUninstallTitle, setupContext, text::kUninstallButton),
      installFolder_(std::move(installFolder)) {
  auto* note = new wxStaticText(this, wxID_ANY, Wx(DisplayText(text::kUninstallNote)));
  note->Wrap(560);
  auto* head = new wxBoxSizer(wxVERTICAL);
  head->Add(note, 0, wxEXPAND);
  Arrange(head);
}

CSetupStepDlg::StepEnd CUninstallDlg::RunStep() {
  return Uninstall(context(), installFolder_) == UninstallOutcome::Uninstalled ? StepEnd::Done : StepEnd::NotStarted;
}

}  // namespace korvex::setup
