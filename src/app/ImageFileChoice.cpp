#include "app/ImageFileChoice.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/FileChoice.h"
#include "wxcommon/WxText.h"

namespace korvex {

std::optional<std::string> ChooseImageFile(wxWindow* parent, bool forSaving) {
  return ChooseFile(parent, forSaving, "", "*.pim", "Abbilddatei (*.pim)|*.pim|Alle Dateien (*.*)|*.*");
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
