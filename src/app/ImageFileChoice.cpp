#include "app/ImageFileChoice.h"

#include <wx/filedlg.h>

#include "app/WxText.h"

namespace korvex {

std::optional<std::string> ChooseImageFile(wxWindow* parent, bool forSaving) {
  const long style = forSaving ? wxFD_SAVE | wxFD_OVERWRITE_PROMPT : wxFD_OPEN | wxFD_FILE_MUST_EXIST;
  wxFileDialog dialog(parent, wxFileSelectorPromptStr, wxEmptyString, Wx("*.pim"),
                      Wx("Abbilddatei (*.pim)|*.pim|Alle Dateien (*.*)|*.*"), style);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  return Utf8(dialog.GetPath());
}

}  // namespace korvex
