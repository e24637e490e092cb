#pragma once
// The file name of the image dialogs: the row "Dateiname:" with its field and "Suchen", and the
// file dialog "Suchen" opens.
#include <optional>
#include <string>

class wxButton;
class wxSizer;
class wxTextCtrl;
class wxWindow;

namespace korvex {

// The full path the user chose, or nothing when the dialog was cancelled. forSaving: a save
// dialog that asks before overwriting, else an open dialog for an existing file.
std::optional<std::string> ChooseImageFile(wxWindow* parent, bool forSaving);

// The row "Dateiname:", the field holding name, "Suchen"; the controls are children of parent.
wxSizer* CreateFileNameRow(wxWindow* parent, const std::string& name, wxTextCtrl*& field, wxButton*& browse);

}  // namespace korvex
