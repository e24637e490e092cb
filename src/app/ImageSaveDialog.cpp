#include "app/ImageSaveDialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/filedlg.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/ImageFileChoice.h"
#include "wxcommon/WxText.h"

namespace korvex {

CImageSaveDlg::CImageSaveDlg(wxWindow* parent, CHardDisk& disk, const CPartition& entry, bool logical,
                             CPrompt& prompt)
    : CLongWorkDlg(parent, "Partitionsabbild erzeugen", prompt, false), disk_(disk), entry_(entry), logical_(logical) {
  auto* options = new wxStaticBoxSizer(wxVERTICAL, this, Wx("Dateioptionen"));
  wxWindow* box = options->GetStaticBox();
  options->Add(CreateFileNameRow(box, DefaultImageFileName(entry, disk.label, LocalDate()), fileName_, browse_), 0,
               wxEXPAND | wxALL, 4);
  compress_ = new wxCheckBox(box, wxID_ANY, Wx("komprimiert speichern"));
  options->Add(compress_, 0, wxALL, 4);
  auto* splitRow = new wxBoxSizer(wxHORIZONTAL);
  split_ = new wxCheckBox(box, wxID_ANY, Wx("aufspalten in Blöcke zu je"));
  const wxString sizes[] = {"100", "250", "650", "700", "800 "};
  splitSize_ = new wxComboBox(box, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(90, -1), 5, sizes);
  splitRow->Add(split_, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  splitRow->Add(splitSize_, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  splitRow->Add(new wxStaticText(box, wxID_ANY, Wx("MB")), 0, wxALIGN_CENTER_VERTICAL);
  options->Add(splitRow, 0, wxALL, 4);

  start_ = new wxButton(this, wxID_OK, Wx("Starten"));
  start_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Start(); });
  browse_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Browse(); });
  LayOut({options}, StatusKind::Estimate, start_);
}

void CImageSaveDlg::Browse() {
  if (const auto path = ChooseImageFile(this, true)) fileName_->ChangeValue(Wx(*path));
}

bool CImageSaveDlg::Start() {
  if (Running()) return false;
  ImageSaveForm form;
  form.fileName = Utf8(fileName_->GetValue());
  form.compressed = compress_->GetValue();
  form.split = split_->GetValue();
  form.sizeText = Utf8(splitSize_->GetValue());
  const auto request = PrepareImageSave(form, disk_, entry_, logical_, prompt());
  if (!request) return false;
  start_->Disable();
  browse_->Disable();
  StartWork([request = *request](IProgressSink& progress, const StopFlag& stop) {
    return SaveImage(request, progress, stop);
  }, [this](const WorkOutcome& outcome) { OnEnded(outcome); });
  return true;
}

// A cancelled or failed image may be started again (after a failure, whose message named the
// file and the reason, perhaps under another name or without splitting); a finished one ends the
// dialog's work.
void CImageSaveDlg::OnEnded(const WorkOutcome& outcome) {
  cancelButton().SetLabel(Wx("Beenden"));
  const bool again = outcome.end != WorkEnd::Done;
  start_->Enable(again);
  browse_->Enable(again);
}

}  // namespace korvex
