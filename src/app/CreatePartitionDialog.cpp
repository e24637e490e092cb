#include "app/CreatePartitionDialog.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <string>

#include "app/DialogButtons.h"
#include "wxcommon/WxText.h"
#include "parttypes/PartTypeCatalogue.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr std::uint32_t kProposedType = 6;
constexpr CreateAlignment kAlignments[] = {CreateAlignment::Cylinder, CreateAlignment::Track, CreateAlignment::Sector,
                                           CreateAlignment::MiB};

CCreatePartitionDlg::Radio AlignRadioOf(CreateAlignment alignment) {
  switch (alignment) {
    case CreateAlignment::Cylinder: return CCreatePartitionDlg::AlignCylinder;
    case CreateAlignment::Track: return CCreatePartitionDlg::AlignTrack;
    case CreateAlignment::Sector: return CCreatePartitionDlg::AlignStart;
    case CreateAlignment::MiB: return CCreatePartitionDlg::AlignMiB;
  }
  return CCreatePartitionDlg::AlignCylinder;
}

}  // namespace

CCreatePartitionDlg::CCreatePartitionDlg(wxWindow* parent, WorkingCopy& workingCopy, const ObjectRef& freeArea,
                                         RegistryStore& registry, CPrompt& prompt)
    : wxDialog(parent, wxID_ANY, Wx("Partition erzeugen")),
      workingCopy_(workingCopy),
      freeArea_(freeArea),
      registry_(registry),
      prompt_(prompt) {
  const auto makeRadio = [&](wxWindow* box, Radio which, const char* label, bool first) {
    radios_[which] = new wxRadioButton(box, wxID_ANY, Wx(label), wxDefaultPosition, wxDefaultSize,
                                       first ? wxRB_GROUP : 0);
    radios_[which]->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { Follow(); });
    return radios_[which];
  };
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* columns = new wxBoxSizer(wxHORIZONTAL);
  auto* left = new wxBoxSizer(wxVERTICAL);
  auto* right = new wxBoxSizer(wxVERTICAL);

  auto* size = new wxStaticBoxSizer(wxVERTICAL, this, Wx("Größe der Partition"));
  wxWindow* sizeBox = size->GetStaticBox();
  size->Add(makeRadio(sizeBox, WholeSpace, "den gesamten freien Platz benutzen", true), 0, wxALL, 3);
  auto* partial = new wxBoxSizer(wxHORIZONTAL);
  partial->Add(makeRadio(sizeBox, Partial, "einen Teilbereich mit", false), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  value_ = new wxTextCtrl(sizeBox, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(80, -1), wxTE_RIGHT);
  value_->SetName(Wx("Größe"));
  unit_ = new wxChoice(sizeBox, wxID_ANY);
  unit_->SetName(Wx("Einheit"));
  for (const std::string& name : CreateUnitNames()) unit_->Append(Wx(name));
  partial->Add(value_, 0, wxRIGHT, 6);
  partial->Add(unit_, 0);
  size->Add(partial, 0, wxALL, 3);
  left->Add(size, 0, wxEXPAND | wxBOTTOM, 8);

  auto* properties = new wxStaticBoxSizer(wxVERTICAL, this, Wx("Partitionseigenschaften"));
  wxWindow* propertiesBox = properties->GetStaticBox();
  auto* typeRow = new wxBoxSizer(wxHORIZONTAL);
  typeRow->Add(new wxStaticText(propertiesBox, wxID_ANY, Wx("Typ:")), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  type_ = new wxChoice(propertiesBox, wxID_ANY, wxDefaultPosition, wxSize(200, -1), 0, nullptr, wxCB_SORT);
  type_->SetName(Wx("Typ"));
  const TypeChoices choices = FillTypeCombo(registry_, kProposedType);
  for (const std::string& name : choices.names) type_->Append(Wx(name));
  type_->SetStringSelection(Wx(choices.selected));
  type_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { Follow(); });
  typeRow->Add(type_, 1);
  properties->Add(typeRow, 0, wxEXPAND | wxALL, 3);
  destructive_ = new wxCheckBox(propertiesBox, wxID_ANY, Wx("destruktives Erzeugen der Partition"));
  menu_ = new wxCheckBox(propertiesBox, wxID_ANY, Wx("Ins Bootmenü aufnehmen"));
  menu_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { Follow(); });
  properties->Add(destructive_, 0, wxALL, 3);
  properties->Add(menu_, 0, wxALL, 3);
  left->Add(properties, 0, wxEXPAND);

  auto* alignment = new wxStaticBoxSizer(wxVERTICAL, this, Wx("Partitionsausrichtung"));
  wxWindow* alignmentBox = alignment->GetStaticBox();
  alignment->Add(makeRadio(alignmentBox, AlignCylinder, "auf Zylindergrenze ausrichten", true), 0, wxALL, 3);
  alignment->Add(makeRadio(alignmentBox, AlignTrack, "auf Spurengrenzen ausrichten", false), 0, wxALL, 3);
  alignment->Add(makeRadio(alignmentBox, AlignStart, "nur Partitonsbeginn ausrichten", false), 0, wxALL, 3);
  alignment->Add(makeRadio(alignmentBox, AlignMiB, "auf 1 MiB ausrichten", false), 0, wxALL, 3);
  right->Add(alignment, 0, wxEXPAND | wxBOTTOM, 8);

  auto* place = new wxStaticBoxSizer(wxVERTICAL, this, Wx("Position im Partitiontable"));
  wxWindow* placeBox = place->GetStaticBox();
  place->Add(makeRadio(placeBox, NextFree, "nächster freier Platz", true), 0, wxALL, 3);
  auto* positionRow = new wxBoxSizer(wxHORIZONTAL);
  positionRow->Add(makeRadio(placeBox, AtPosition, "Position", false), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  slot_ = new wxChoice(placeBox, wxID_ANY);
  slot_->SetName(Wx("Position"));
  for (const std::uint8_t entry : FreeTableEntries(*FreeArea().disk)) slot_->Append(Wx(std::to_string(entry + 1)));
  if (slot_->GetCount() > 0) slot_->SetSelection(0);
  positionRow->Add(slot_, 0);
  place->Add(positionRow, 0, wxALL, 3);
  right->Add(place, 0, wxEXPAND);

  columns->Add(left, 1, wxRIGHT, 8);
  columns->Add(right, 1);
  top->Add(columns, 0, wxEXPAND | wxALL, 11);
  top->Add(DialogButtonRow(*this, "OK", [this] { return Create(); }, "Abbrechen"), 0,
           wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 11);

  radios_[WholeSpace]->SetValue(true);
  radios_[AlignRadioOf(DefaultAlignment(*FreeArea().disk))]->SetValue(true);
  radios_[NextFree]->SetValue(true);
  destructive_->SetValue(true);
  const ProposedSize proposed = ProposedCreateSize(*FreeArea().object);
  value_->ChangeValue(Wx(StrFormat("%.2f", static_cast<double>(proposed.value))));
  unit_->SetSelection(static_cast<int>(proposed.unit));
  Follow();
  SetSizerAndFit(top);
  CentreOnParent();
}

void CCreatePartitionDlg::Choose(Radio which) {
  radios_[which]->SetValue(true);
  Follow();
}

CreateChoices CCreatePartitionDlg::Choices() const {
  return {radios_[Partial]->GetValue(), TypeIdByName(registry_, Utf8(type_->GetStringSelection())),
          menu_->GetValue(), radios_[AtPosition]->GetValue()};
}

void CCreatePartitionDlg::Follow() {
  const ResolvedObject area = FreeArea();
  const CreateControlStates states = CreateControls(*area.disk, area.IsLogical(), Choices());
  value_->Enable(states.sizeControls);
  unit_->Enable(states.sizeControls);
  menu_->Enable(states.menuBox);
  radios_[NextFree]->Enable(states.placeRadios);
  radios_[AtPosition]->Enable(states.placeRadios);
  slot_->Enable(states.slotBox);
}

bool CCreatePartitionDlg::Create() {
  const CreateChoices choices = Choices();
  const ResolvedObject area = FreeArea();
  const CreateControlStates states = CreateControls(*area.disk, area.IsLogical(), choices);
  CreateRequest request;
  request.wholeSpace = !choices.partial;
  request.type = choices.type;
  request.toMenu = states.menuBox && choices.toMenu;
  request.destructive = destructive_->GetValue();
  for (const CreateAlignment alignment : kAlignments) {
    if (radios_[AlignRadioOf(alignment)]->GetValue()) request.alignment = alignment;
  }
  request.unit = static_cast<CreateUnit>(unit_->GetSelection());
  if (choices.partial) {
    double value = 0;
    if (!value_->GetValue().ToCDouble(&value) && !value_->GetValue().ToDouble(&value)) {
      prompt_.Message(text::kSizeNotANumber, PromptIcon::Stop);
      return false;
    }
    request.value = static_cast<float>(value);
  }
  if (states.slotBox && slot_->GetSelection() != wxNOT_FOUND) {
    request.tableEntry = static_cast<std::uint8_t>(std::stoi(Utf8(slot_->GetStringSelection())));
  }
  return CreatePartition(workingCopy_, freeArea_, request, prompt_);
}

}  // namespace korvex
