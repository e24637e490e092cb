#include "app/PartView.h"

#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/KorvexDoc.h"
#include "wxcommon/WxText.h"
#include "parttypes/PartTypeCatalogue.h"
#include "platform/Cp437.h"
#include "platform/StringTable.h"
#include "platform/NumberText.h"
#include "platform/Texts.h"
#include "shell/PartitionFormState.h"

namespace korvex {
namespace {

constexpr std::uint32_t kFieldMax[CPartView::kFieldCount] = {65535, 255, 255, 65535, 255, 255, UINT32_MAX, UINT32_MAX};

}  // namespace

CPartView::CPartView(wxWindow* parent, CKorvexDoc& doc, const ObjectRef& ref) : CRightPane(parent), doc_(doc), ref_(ref) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* head = new wxFlexGridSizer(2, 6, 8);
  head->AddGrowableCol(1);
  head->Add(new wxStaticText(this, wxID_ANY, Wx("Titel im Bootmenü")), 0, wxALIGN_CENTER_VERTICAL);
  title_ = new wxTextCtrl(this, wxID_ANY);
  title_->SetMaxLength(kTitleLength);
  title_->SetName(Wx("Titel im Bootmenü"));
  head->Add(title_, 1, wxEXPAND);
  head->Add(new wxStaticText(this, wxID_ANY, Wx("Partitionstyp")), 0, wxALIGN_CENTER_VERTICAL);
  type_ = new wxChoice(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, wxCB_SORT);
  type_->SetName(Wx("Partitionstyp"));
  head->Add(type_, 1, wxEXPAND);
  top->Add(head, 0, wxEXPAND | wxALL, 8);

  auto* absolute = new wxBoxSizer(wxHORIZONTAL);
  absolute->Add(PositionGroup("absolute Startposition",
                              {{StartCylinder, "Spur"}, {StartHead, "Kopf"}, {StartSector, "Sektor"}}),
                1, wxRIGHT, 4);
  absolute->Add(PositionGroup("absolute Endposition", {{EndCylinder, "Spur"}, {EndHead, "Kopf"}, {EndSector, "Sektor"}}),
                1, wxLEFT, 4);
  top->Add(absolute, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
  top->Add(PositionGroup("relative Position", {{RelativeStart, "Startsektor"}, {Length, "Länge"}}, "Sektoren"), 0,
           wxEXPAND | wxALL, 8);
  SetSizer(top);

  const auto resolved = Resolve(doc_.workingCopy(), ref_);
  if (!resolved) return;
  const CPartition& object = *resolved->object;
  title_->Enable(object.InMenu());
  if (object.IsFree()) {
    type_->Disable();
  } else {
    const TypeChoices choices = FillTypeCombo(doc_.registry(), object.type);
    for (const std::string& name : choices.names) type_->Append(Wx(name));
    type_->SetStringSelection(Wx(choices.selected));
  }
  built_ = FormShownFor(*resolved->disk, object);
  Show(built_);
}

wxSizer* CPartView::PositionGroup(const char* caption, std::initializer_list<std::pair<Field, const char*>> fields,
                                  const char* unit) {
  auto* group = new wxStaticBoxSizer(wxVERTICAL, this, Wx(caption));
  wxWindow* box = group->GetStaticBox();
  auto* grid = new wxFlexGridSizer(unit ? 3 : 2, 4, 8);
  grid->AddGrowableCol(1);
  for (const auto& [which, label] : fields) {
    grid->Add(new wxStaticText(box, wxID_ANY, Wx(label)), 0, wxALIGN_CENTER_VERTICAL);
    fields_[which] = new wxTextCtrl(box, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(90, -1), wxTE_RIGHT);
    fields_[which]->SetName(Wx(std::string(caption) + " " + label));
    grid->Add(fields_[which], 1, wxEXPAND);
    if (unit) grid->Add(new wxStaticText(box, wxID_ANY, which == Length ? Wx(unit) : wxString()), 0, wxALIGN_CENTER_VERTICAL);
  }
  group->Add(grid, 1, wxEXPAND | wxALL, 4);
  return group;
}

void CPartView::Show(const PartitionForm& form) {
  const std::uint32_t values[kFieldCount] = {form.startChs.cylinder, form.startChs.head,    form.startChs.sector,
                                             form.endChs.cylinder,   form.endChs.head,      form.endChs.sector,
                                             form.relativeStart,     form.length};
  for (int i = 0; i < kFieldCount; ++i) fields_[i]->ChangeValue(wxString::Format("%u", values[i]));
  title_->ChangeValue(Wx(Cp437ToUtf8(form.title)));
}

std::optional<PartitionForm> CPartView::Read(const PartitionForm& objectValues, bool report) const {
  const std::uint32_t fallback[kFieldCount] = {
      objectValues.startChs.cylinder, objectValues.startChs.head, objectValues.startChs.sector,
      objectValues.endChs.cylinder,   objectValues.endChs.head,   objectValues.endChs.sector,
      objectValues.relativeStart,     objectValues.length};
  std::uint32_t values[kFieldCount];
  for (int i = 0; i < kFieldCount; ++i) {
    const auto number = ParseFieldNumber(Utf8(fields_[i]->GetValue()), kFieldMax[i]);
    if (!number && report) {
      fields_[i]->SetFocus();
      doc_.prompt().Message(FormatRangeMessage(0, static_cast<long>(kFieldMax[i])), PromptIcon::Stop);
      return std::nullopt;
    }
    values[i] = number ? static_cast<std::uint32_t>(*number) : fallback[i];
  }
  PartitionForm form = objectValues;
  form.startChs = {static_cast<std::uint16_t>(values[StartCylinder]), static_cast<std::uint8_t>(values[StartHead]),
                   static_cast<std::uint8_t>(values[StartSector])};
  form.endChs = {static_cast<std::uint16_t>(values[EndCylinder]), static_cast<std::uint8_t>(values[EndHead]),
                 static_cast<std::uint8_t>(values[EndSector])};
  form.relativeStart = values[RelativeStart];
  form.length = values[Length];
  if (title_->IsEnabled()) {
    const std::string typed = Utf8(title_->GetValue());
    const auto title = report ? BootScreenText(typed, doc_.prompt()) : Utf8ToCp437(typed);
    if (!title && report) return std::nullopt;
    form.title = title.value_or(objectValues.title);
  }
  if (type_->IsEnabled()) form.type = TypeIdByName(doc_.registry(), Utf8(type_->GetStringSelection()));
  return form;
}

bool CPartView::IsModified() const {
  const auto resolved = Resolve(doc_.workingCopy(), ref_);
  if (!resolved) return false;
  // Only the user's edits count: values that differ from the object as it is now and from what
  // the form was made with. A change made elsewhere (a free area that became a partition) leaves
  // the form's values as they were built, and the form is rebuilt instead of applied.
  // A title the boot screen cannot show is an edit too: "Übernehmen" then says why it is refused.
  if (title_->IsEnabled() && !Utf8ToCp437(Utf8(title_->GetValue()))) return true;
  const PartitionForm shown = FormShownFor(*resolved->disk, *resolved->object);
  const auto form = Read(shown, false);
  const auto asBuilt = Read(built_, false);
  return form && asBuilt && FormDiffers(*form, shown, !resolved->object->IsFree()) &&
         FormDiffers(*asBuilt, built_, type_->IsEnabled());
}

FormApplyResult CPartView::Apply() {
  const auto resolved = Resolve(doc_.workingCopy(), ref_);
  if (!resolved) return FormApplyResult::Refused;
  const auto form = Read(FormShownFor(*resolved->disk, *resolved->object), true);
  if (!form) return FormApplyResult::Refused;
  return ApplyPartitionForm(doc_.workingCopy(), ref_, *form, doc_.prompt());
}

void CPartView::AbsoluteToRelative() { Derive(korvex::AbsoluteToRelative); }

void CPartView::RelativeToAbsolute() { Derive(korvex::RelativeToAbsolute); }

void CPartView::Derive(void (*derivation)(const CPhysicalDrive&, PartitionForm&)) {
  const auto resolved = Resolve(doc_.workingCopy(), ref_);
  if (!resolved) return;
  if (auto form = Read(FormShownFor(*resolved->disk, *resolved->object), true)) {
    derivation(*resolved->disk, *form);
    Show(*form);
  }
}

}  // namespace korvex
