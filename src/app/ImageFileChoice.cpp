#include "app/ImageFileChoice.h"

#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/WxText.h"

namespace korvex {

std::optional<std::string> ChooseImageFile(wxWindow* parent, bool forSaving) {
  const long style = forSaving ? wxFD_SAVE | wxFD_OVERWRITE_PROMPT : wxFD_OPEN | wxFD_FILE_MUST_EXIST;
  wxFileDialog dialog(parent, wxFileSelectorPromptStr, wxEmptyString, Wx("*.pim"),
                      Wx("Abbilddatei (*.pim)|*.pim|Alle Dateien (*.*)|*.*"), style);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  return Utf8(dialog.GetPath());
}

wxSizer* CreateFileNameRow(wxWindow* parent, const std::string& name, wxTextCtrl*& field, wxButton*& browse) {
  field = new wxTextCtrl(parent, wxID_ANY, Wx(name), wxDefaultPosition, wxSize(300, -1));
  browse = new wxButton(parent, wxID_ANY, Wx("Suchen"));
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticText(parent, wxID_ANY, Wx("Dateiname:")), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  row->Add(field, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  row->Add(browse, 0, wxALIGN_CENTER_VERTICAL);
  return row;
}

}  // namespace korvex
