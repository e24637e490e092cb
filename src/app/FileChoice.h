#pragma once
// The file dialog behind every "Suchen" button: a save dialog that asks before overwriting, or
// an open dialog for an existing file.
#include <optional>
#include <string>

class wxWindow;

namespace korvex {

// The full path the user chose, or nothing when the dialog was cancelled. title may be empty
// (the toolkit's own title); filter is a wx filter string.
std::optional<std::string> ChooseFile(wxWindow* parent, bool forSaving, const char* title, const char* proposedName,
                                      const char* filter);

}  // namespace korvex
