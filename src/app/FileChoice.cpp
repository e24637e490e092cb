#include "app/FileChoice.h"

#include <wx/filedlg.h>

#include "wxcommon/WxText.h"

namespace korvex {

std::optional<std::string> ChooseFile(wxWindow* parent, bool forSaving, const char* title, const char* proposedName,
                                      const char* filter) {
  const long style = forSaving ? wxFD_SAVE | wxFD_OVERWRITE_PROMPT : wxFD_OPEN | wxFD_FILE_MUST_EXIST;
  wxFileDialog dialog(parent, *title != '\0' ? Wx(title) : wxString(wxFileSelectorPromptStr), wxEmptyString,
                      Wx(proposedName), Wx(filter), style);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  return Utf8(dialog.GetPath());
}

}  // namespace korvex
