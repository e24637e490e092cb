#include "app/ImageRestoreDialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/ImageFileChoice.h"
#include "wxcommon/WxText.h"
#include "image/ImageReading.h"
#include "image/ImageSaveForm.h"

namespace korvex {

CImageRestoreDlg::CImageRestoreDlg(wxWindow* parent, CHardDisk& disk, const CPartition& entry, bool logical,
                                   CPrompt& prompt)
    : CLongWorkDlg(parent, "Partitionsabbild laden", prompt, true), disk_(disk), entry_(entry), logical_(logical) {
  wxSizer* nameRow = CreateFileNameRow(this, "", fileName_, browse_);

  auto* info = new wxStaticBoxSizer(wxVERTICAL, this, Wx("Abbildinformationen"));
  wxWindow* box = info->GetStaticBox();
  auto* fields = new wxFlexGridSizer(3, 4, 8);
  size_ = new wxTextCtrl(box, wxID_ANY, "0", wxDefaultPosition, wxSize(90, -1), wxTE_READONLY);
  type_ = new wxTextCtrl(box, wxID_ANY, "0", wxDefaultPosition, wxSize(90, -1), wxTE_READONLY);
  fields->Add(new wxStaticText(box, wxID_ANY, Wx("Partitionsgröße")), 0, wxALIGN_CENTER_VERTICAL);
  fields->Add(size_);
  fields->Add(new wxStaticText(box, wxID_ANY, Wx("MB")), 0, wxALIGN_CENTER_VERTICAL);
  fields->Add(new wxStaticText(box, wxID_ANY, Wx("Partitionstyp")), 0, wxALIGN_CENTER_VERTICAL);
  fields->Add(type_);
  fields->AddSpacer(0);
  info->Add(fields, 0, wxALL, 4);
  compressed_ = new wxCheckBox(box, wxID_ANY, Wx("Komprimiert"));
  compressed_->Disable();
  info->Add(compressed_, 0, wxALL, 4);

  checkFirst_ = new wxCheckBox(this, wxID_ANY, Wx("Abbild vor dem Schreiben vollständig prüfen"));
  checkFirst_->SetValue(true);
  auto* options = new wxBoxSizer(wxVERTICAL);
  options->Add(checkFirst_, 0, wxLEFT | wxRIGHT, 4);

  start_ = new wxButton(this, wxID_OK, Wx("Starten"));
  start_->Disable();
  start_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Start(); });
  browse_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Browse(); });
  fileName_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { EnableStart(); });
  LayOut({nameRow, info, options}, StatusKind::StatusLineAndEstimate, start_);
}

void CImageRestoreDlg::EnableStart() {
  start_->Enable(!Running() && !TrimFileName(Utf8(fileName_->GetValue())).empty());
}

void CImageRestoreDlg::Browse() {
  if (const auto path = ChooseImageFile(this, false)) fileName_->ChangeValue(Wx(*path));
  CheckFile();  // also when the file dialog was cancelled: the name in the field counts
}

void CImageRestoreDlg::CheckFile() {
  const auto range = ImagedRange(entry_, logical_);
  const ImageFileCheck check = CheckImageFile(TrimFileName(Utf8(fileName_->GetValue())), range ? range->count : 0);
  if (!check.message.empty()) prompt().Message(check.message, check.icon);
  if (check.summary) ShowSummary(*check.summary);
  EnableStart();
}

void CImageRestoreDlg::ShowSummary(const ImageSummary& summary) {
  size_->ChangeValue(wxString::Format("%u", summary.sizeMegabytes));
  type_->ChangeValue(wxString::Format("%u", unsigned{summary.partitionType}));
  compressed_->SetValue(summary.compressed);
}

bool CImageRestoreDlg::Start() {
  if (Running()) return false;
  const std::string fileName = Utf8(fileName_->GetValue());
  const FirstHeader first = ReadFirstHeader(TrimFileName(fileName));
  if (first.state == FirstHeaderState::Read) ShowSummary(SummaryOf(first.header));
  const auto request = PrepareImageRestore({fileName, 0, checkFirst_->GetValue()}, disk_, entry_, logical_, prompt());
  if (!request) return false;
  start_->Disable();
  browse_->Disable();
  StartWork([request = *request](IProgressSink& progress, const StopFlag& stop) {
    return RestoreImage(request, progress, stop);
  }, [this](const WorkOutcome& outcome) { OnEnded(outcome); });
  return true;
}

// After a complete or cancelled restore another file may be chosen; after a failure, whose
// message told what was written, the same file may be tried again.
void CImageRestoreDlg::OnEnded(const WorkOutcome& outcome) {
  browse_->Enable();
  if (outcome.end == WorkEnd::Failed) {
    start_->Enable();
  } else {
    cancelButton().SetLabel(Wx("Beenden"));
  }
}

}  // namespace korvex
