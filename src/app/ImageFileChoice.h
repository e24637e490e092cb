#pragma once
// "Suchen" of the image dialogs: a file dialog for partition images.
#include <optional>
#include <string>

class wxWindow;

namespace korvex {

// The full path the user chose, or nothing when the dialog was cancelled. forSaving: a save
// dialog that asks before overwriting, else an open dialog for an existing file.
std::optional<std::string> ChooseImageFile(wxWindow* parent, bool forSaving);

}  // namespace korvex
