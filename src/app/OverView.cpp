#include "app/OverView.h"

#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/KorvexDoc.h"
#include "wxcommon/WxText.h"
#include "disk/FormatSize.h"
#include "shell/SystemInfo.h"

namespace korvex {
namespace {

// A label and a read-only field with the value; the field shows the true value whatever its
// size (the geometry is never read back from the form).
void AddField(wxWindow* parent, wxFlexGridSizer* grid, const char* label, const std::string& value) {
  grid->Add(new wxStaticText(parent, wxID_ANY, Wx(label)), 0, wxALIGN_CENTER_VERTICAL);
  auto* field = new wxTextCtrl(parent, wxID_ANY, Wx(value), wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
  field->SetName(Wx(label));
  grid->Add(field, 1, wxEXPAND);
}

}  // namespace

COverView::COverView(wxWindow* parent, CKorvexDoc& doc, unsigned device)
    : CRightPane(parent), doc_(doc), device_(device) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  if (const CHardDisk* disk = Disk()) {
    AddDiskFields(top, *disk);
    AddBootSettings(top, *disk);
  }
  SetSizer(top);
}

void COverView::AddDiskFields(wxSizer* sizer, const CHardDisk& disk) {
  auto* group = new wxStaticBoxSizer(wxVERTICAL, this, Wx("Eckdaten"));
  wxWindow* box = group->GetStaticBox();
  auto* identity = new wxFlexGridSizer(2, 6, 8);
  identity->AddGrowableCol(1);
  AddField(box, identity, "Festplatte:", std::to_string(ShownDiskNumber(disk)));
  AddField(box, identity, "Name:", disk.label);
  group->Add(identity, 0, wxEXPAND | wxALL, 4);
  group->Add(new wxStaticText(box, wxID_ANY, Wx("Technische Daten:")), 0, wxLEFT | wxTOP, 4);
  auto* geometry = new wxFlexGridSizer(2, 6, 8);
  geometry->AddGrowableCol(1);
  AddField(box, geometry, "Bruttokapazität:", FormatSize(disk.Capacity()));
  AddField(box, geometry, "Anzahl der Seiten/Köpfe:", std::to_string(disk.Heads()));
  AddField(box, geometry, "Anzahl der Sektoren pro Spur", std::to_string(disk.SectorsPerTrack()));
  AddField(box, geometry, "Anzahl der Spuren:", std::to_string(static_cast<std::uint32_t>(disk.Cylinders())));
  group->Add(geometry, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 4);
  sizer->Add(group, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 8);
}

void COverView::AddBootSettings(wxSizer* sizer, const CHardDisk& disk) {
  if (!disk.EngineInstalled()) {
    auto* group = new wxStaticBoxSizer(wxVERTICAL, this, Wx("Bootmanagerstatus"));
    group->Add(new wxStaticText(group->GetStaticBox(), wxID_ANY, Wx("Der Bootmanager ist nicht installiert")), 0,
               wxALL, 6);
    sizer->Add(group, 0, wxEXPAND | wxALL, 8);
    return;
  }
  auto* group = new wxStaticBoxSizer(wxVERTICAL, this, Wx("Bootautomatik"));
  wxWindow* box = group->GetStaticBox();
  wait_ = new wxRadioButton(box, wxID_ANY, Wx("warten auf die Auswahl des Anwenders"), wxDefaultPosition,
                            wxDefaultSize, wxRB_GROUP);
  autoBoot_ = new wxRadioButton(box, wxID_ANY, Wx("automatischen Booten von"));
  choice_ = new wxChoice(box, wxID_ANY);
  choice_->SetName(Wx("Bootauswahl"));
  seconds_ = new wxTextCtrl(box, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(50, -1));
  seconds_->SetName(Wx("Sekunden"));

  const std::vector<BootChoice> choices = BootChoices(disk);
  for (const BootChoice& choice : choices) choice_->Append(Wx(choice.title));
  const BootSettingsForm form = BootSettingsOf(disk, choices);
  choice_->SetSelection(static_cast<int>(form.choice));
  seconds_->ChangeValue(Wx(form.secondsText));
  (form.waitForUser ? wait_ : autoBoot_)->SetValue(true);

  group->Add(wait_, 0, wxALL, 4);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(autoBoot_, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  row->Add(choice_, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  group->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 4);
  auto* delay = new wxBoxSizer(wxHORIZONTAL);
  delay->Add(new wxStaticText(box, wxID_ANY, Wx("nach")), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  delay->Add(seconds_, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  delay->Add(new wxStaticText(box, wxID_ANY, Wx("Sekunden")), 0, wxALIGN_CENTER_VERTICAL);
  group->Add(delay, 0, wxLEFT | wxALL, 4);
  sizer->Add(group, 0, wxEXPAND | wxALL, 8);
}

CHardDisk* COverView::Disk() const { return doc_.workingCopy().Find(device_); }

std::optional<BootSettingsForm> COverView::FormValues(const std::vector<BootChoice>& choices) const {
  if (choice_ == nullptr || choice_->GetCount() != choices.size() || choice_->GetSelection() == wxNOT_FOUND) {
    return std::nullopt;
  }
  return BootSettingsForm{wait_->GetValue(), Utf8(seconds_->GetValue()), static_cast<std::size_t>(choice_->GetSelection())};
}

bool COverView::IsModified() const {
  const CHardDisk* disk = Disk();
  if (disk == nullptr) return false;
  const auto choices = BootChoices(*disk);
  const auto form = FormValues(choices);
  return form && BootSettingsModified(*disk, choices, *form);
}

FormApplyResult COverView::Apply() {
  CHardDisk* disk = Disk();
  if (disk == nullptr) return FormApplyResult::Applied;
  const auto choices = BootChoices(*disk);
  const auto form = FormValues(choices);
  if (!form) return FormApplyResult::Applied;
  return ApplyBootSettings(doc_.workingCopy(), *disk, choices, *form, doc_.prompt()) ? FormApplyResult::Applied
                                                                                     : FormApplyResult::Refused;
}

}  // namespace korvex
