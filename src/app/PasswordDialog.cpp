#include "app/PasswordDialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "EngineLayout.h"
#include "app/DialogButtons.h"
#include "wxcommon/WxText.h"
#include "platform/Cp437.h"

namespace korvex {

CPasswordDlg::CPasswordDlg(wxWindow* parent, const std::string& target, bool isDrive, CPrompt& prompt)
    : wxDialog(parent, wxID_ANY, Wx("Passwort für " + target)), prompt_(prompt) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* grid = new wxFlexGridSizer(2, 6, 8);
  grid->AddGrowableCol(1);
  password_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(160, -1), wxTE_PASSWORD);
  repetition_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(160, -1), wxTE_PASSWORD);
  password_->SetName(Wx("Passwort"));
  repetition_->SetName(Wx("Kontrolleingabe"));
  for (wxTextCtrl* edit : {password_, repetition_}) edit->SetMaxLength(layout::CONST_PASSWORD_MAX);
  grid->Add(new wxStaticText(this, wxID_ANY, Wx("Passwort. . . . . . ")), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(password_, 1, wxEXPAND);
  grid->Add(new wxStaticText(this, wxID_ANY, Wx("Kontrolleingabe. . . . .")), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(repetition_, 1, wxEXPAND);
  top->Add(grid, 0, wxEXPAND | wxALL, 11);
  protected_ = new wxCheckBox(this, wxID_ANY,
                              Wx(isDrive ? "Dieses Laufwerk ist bereits geschützt" : "Diese Partition ist bereits geschützt"));
  protected_->Disable();  // shows the state; only "Löschen" changes it
  top->Add(protected_, 0, wxLEFT | wxRIGHT, 11);

  auto* remove = new wxButton(this, wxID_ANY, Wx("Löschen"));
  remove->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Delete(); });
  top->Add(DialogButtonRow(*this, "OK", [this] { return Store(); }, "Abbrechen", {remove}), 0, wxALIGN_RIGHT | wxALL,
           11);
  SetSizerAndFit(top);
  CentreOnParent();
}

CPasswordDlg::CPasswordDlg(wxWindow* parent, WorkingCopy& workingCopy, const ObjectRef& entry, CPrompt& prompt)
    : CPasswordDlg(parent, Cp437ToUtf8(Resolve(workingCopy, entry)->object->GetTitle()), false, prompt) {
  workingCopy_ = &workingCopy;
  entry_ = entry;
  ShowProtected();
}

CPasswordDlg::CPasswordDlg(wxWindow* parent, WorkingCopy& workingCopy, FloppyDrive drive, CPrompt& prompt)
    : CPasswordDlg(parent, std::to_string(static_cast<unsigned>(drive) + 1) + ".Diskettenlaufwerk", true, prompt) {
  workingCopy_ = &workingCopy;
  drive_ = drive;
  ShowProtected();
}

void CPasswordDlg::ShowProtected() {
  if (!entry_) {
    protected_->SetValue(FloppyPasswordSet(*workingCopy_, drive_));
  } else if (const auto target = Resolve(*workingCopy_, *entry_)) {
    protected_->SetValue(target->object->passwordSet);
  }
}

bool CPasswordDlg::Store() {
  const std::string password = Utf8(password_->GetValue());
  const std::string repetition = Utf8(repetition_->GetValue());
  const PasswordResult result = entry_ ? SetPartitionPassword(*workingCopy_, *entry_, password, repetition, prompt_)
                                       : SetFloppyPassword(*workingCopy_, drive_, password, repetition, prompt_);
  return result != PasswordResult::Refused;
}

void CPasswordDlg::Delete() {
  if (entry_) {
    DeletePartitionPassword(*workingCopy_, *entry_, prompt_);
  } else {
    DeleteFloppyPassword(*workingCopy_, drive_, prompt_);
  }
  ShowProtected();
}

}  // namespace korvex
