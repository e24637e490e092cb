#include "app/InstallEngineDialog.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "app/BackupFileField.h"
#include "app/DialogButtons.h"
#include "wxcommon/WxText.h"

namespace korvex {
namespace {

constexpr unsigned kChoiceBoxes = 4;

}  // namespace

CInstallEngineDlg::CInstallEngineDlg(wxWindow* parent, CHardDisk& disk, CPrompt& prompt)
    : wxDialog(parent, wxID_ANY, Wx("Bootmanager installieren...")), disk_(disk), prompt_(prompt) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* group = new wxStaticBoxSizer(wxVERTICAL, this, Wx("Ins Bootmenü aufnehmen"));
  const std::vector<InstallChoice> offered = InstallChoices(disk);
  for (unsigned i = 0; i < kChoiceBoxes; ++i) {
    auto* box = new wxCheckBox(group->GetStaticBox(), wxID_ANY, Wx("unbenutzt"));
    box->Disable();
    if (i < offered.size()) {
      box->SetLabel(Wx(offered[i].text));
      box->Enable(offered[i].bootable);
    }
    boxes_.push_back(box);
    group->Add(box, 0, wxALL, 3);
  }
  top->Add(group, 0, wxEXPAND | wxALL, 11);
  top->Add(new wxStaticText(this, wxID_ANY, Wx("Name der Sicherungsdatei. . .")), 0, wxLEFT | wxRIGHT, 11);
  backup_ = new CBackupFileField(this, CBackupFileField::Use::Save, "&Suchen");
  top->Add(backup_, 0, wxEXPAND | wxALL, 11);

  top->Add(DialogButtonRow(*this, "&Installieren", [this] { return Install(); }, "A&bbrechen"), 0,
           wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 11);
  SetSizerAndFit(top);
  CentreOnParent();
}

bool CInstallEngineDlg::Install() {
  std::vector<unsigned> chosen;
  for (unsigned i = 0; i < boxes_.size(); ++i) {
    if (boxes_[i]->IsEnabled() && boxes_[i]->GetValue()) chosen.push_back(i);
  }
  return InstallEngine(disk_, chosen, backup_->Path(), prompt_);
}

}  // namespace korvex
