#include "app/BackupFileField.h"

#include <wx/button.h>
#include <wx/textctrl.h>

#include "app/FileChoice.h"
#include "wxcommon/WxText.h"

namespace korvex {
namespace {

constexpr const char* kFilter = "Sicherungsdatei (*.save)|*.save|Alle Dateien (*.*)|*.*";
constexpr const char* kProposedName = "MBR";

}  // namespace

CBackupFileField::CBackupFileField(wxWindow* parent, Use use, const char* searchLabel)
    : wxBoxSizer(wxHORIZONTAL), parent_(parent), use_(use) {
  name_ = new wxTextCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(260, -1));
  name_->SetName(Wx("Name der Sicherungsdatei"));
  search_ = new wxButton(parent, wxID_ANY, Wx(searchLabel));
  search_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Search(); });
  Add(name_, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  Add(search_, 0, wxALIGN_CENTER_VERTICAL);
}

std::string CBackupFileField::Path() const { return Utf8(name_->GetValue()); }

void CBackupFileField::SetPath(const std::string& path) { name_->ChangeValue(Wx(path)); }

void CBackupFileField::Enable(bool enable) {
  name_->Enable(enable);
  search_->Enable(enable);
}

void CBackupFileField::Search() {
  if (const auto path = ChooseFile(parent_, use_ == Use::Save, "Sicherungsdatei", kProposedName, kFilter)) SetPath(*path);
}

}  // namespace korvex
