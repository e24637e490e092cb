#include "app/RemoveEngineDialog.h"

#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>

#include "EngineLayout.h"
#include "app/BackupFileField.h"
#include "app/DialogButtons.h"
#include "wxcommon/WxText.h"
#include "bootengine/ChoiceText.h"

namespace korvex {

CRemoveEngineDlg::CRemoveEngineDlg(wxWindow* parent, CHardDisk& disk, CPrompt& prompt)
    : wxDialog(parent, wxID_ANY, Wx("Bootmanager entfernen...")), disk_(disk), prompt_(prompt) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  emptyMbr_ = new wxRadioButton(this, wxID_ANY, Wx("leeren &Masterbootrecord erzeugen"), wxDefaultPosition,
                                wxDefaultSize, wxRB_GROUP);
  fromBackup_ = new wxRadioButton(this, wxID_ANY, Wx("&Sicherungsdatei verwenden"));
  keep_ = new wxRadioButton(this, wxID_ANY, Wx("&Partitionen erhalten"));
  backup_ = new CBackupFileField(this, CBackupFileField::Use::Load, "&Suchen");
  top->Add(emptyMbr_, 0, wxLEFT | wxRIGHT | wxTOP, 11);
  top->Add(fromBackup_, 0, wxLEFT | wxRIGHT | wxTOP, 11);
  top->Add(backup_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 11);
  top->Add(keep_, 0, wxLEFT | wxRIGHT | wxTOP, 11);

  // Twelve boxes in two columns, filled in the level's order with the menu partitions.
  auto* grid = new wxGridSizer(2, 3, 12);
  const std::vector<CPartition*> menu = RemovalChoices(disk);
  used_ = static_cast<unsigned>(menu.size());
  for (unsigned i = 0; i < layout::CONST_MENU_ENTRIES; ++i) {
    auto* box = new wxCheckBox(this, wxID_ANY, Wx("unbenutzt"));
    if (i < menu.size()) box->SetLabel(Wx(ChoiceText(*menu[i])));
    boxes_.push_back(box);
  }
  // Column-wise: the first six on the left, the next six on the right.
  for (unsigned row = 0; row < 6; ++row) {
    grid->Add(boxes_[row]);
    grid->Add(boxes_[row + 6]);
  }
  top->Add(grid, 0, wxEXPAND | wxALL, 11);

  top->Add(DialogButtonRow(*this, "&Entfernen", [this] { return Remove(); }, "A&bbrechen"), 0,
           wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 11);

  for (wxRadioButton* radio : {emptyMbr_, fromBackup_, keep_}) {
    radio->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { FollowMode(); });
  }
  emptyMbr_->SetValue(true);
  FollowMode();
  SetSizerAndFit(top);
  CentreOnParent();
}

void CRemoveEngineDlg::ChooseMode(RemovalMode mode) {
  (mode == RemovalMode::EmptyMbr ? emptyMbr_ : mode == RemovalMode::FromBackup ? fromBackup_ : keep_)->SetValue(true);
  FollowMode();
}

RemovalMode CRemoveEngineDlg::mode() const {
  if (fromBackup_->GetValue()) return RemovalMode::FromBackup;
  if (keep_->GetValue()) return RemovalMode::KeepPartitions;
  return RemovalMode::EmptyMbr;
}

void CRemoveEngineDlg::FollowMode() {
  backup_->Enable(mode() == RemovalMode::FromBackup);
  for (unsigned i = 0; i < boxes_.size(); ++i) boxes_[i]->Enable(i < used_ && mode() == RemovalMode::KeepPartitions);
}

bool CRemoveEngineDlg::Remove() {
  RemovalRequest request{mode(), backup_->Path(), {}};
  for (unsigned i = 0; i < used_; ++i) {
    if (boxes_[i]->GetValue()) request.keep.push_back(i);
  }
  return RemoveEngine(disk_, request, prompt_);
}

}  // namespace korvex
