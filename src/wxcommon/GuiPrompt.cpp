#include "wxcommon/GuiPrompt.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

#include "wxcommon/WxText.h"
#include "platform/StringTable.h"

namespace korvex {
namespace {

long IconStyle(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::Stop: return wxICON_ERROR;
    case PromptIcon::Exclamation: return wxICON_WARNING;
    case PromptIcon::Question: return wxICON_QUESTION;
    case PromptIcon::Information: return wxICON_INFORMATION;
  }
  return wxICON_INFORMATION;
}

wxWindow* Parent() { return wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr; }

}  // namespace

GuiPrompt::GuiPrompt() : caption_(LoadResString(IDS_APP_TITLE)) {}

void GuiPrompt::Message(const std::string& text, PromptIcon icon) {
  wxMessageDialog dialog(Parent(), Wx(text), Wx(caption_), wxOK | IconStyle(icon));
  dialog.ShowModal();
}

PromptAnswer GuiPrompt::Ask(const std::string& text, PromptButtons buttons, PromptIcon icon) {
  const bool withCancel = buttons == PromptButtons::YesNoCancel;
  const long defaultButton = buttons == PromptButtons::YesNoDefaultNo ? wxNO_DEFAULT : 0;
  wxMessageDialog dialog(Parent(), Wx(text), Wx(caption_),
                         (withCancel ? wxYES_NO | wxCANCEL : wxYES_NO) | defaultButton | IconStyle(icon));
  if (withCancel) {
    dialog.SetYesNoCancelLabels(Wx("&Ja"), Wx("&Nein"), Wx("&Abbrechen"));
  } else {
    dialog.SetYesNoLabels(Wx("&Ja"), Wx("&Nein"));
  }
  switch (dialog.ShowModal()) {
    case wxID_YES: return PromptAnswer::Yes;
    case wxID_NO: return PromptAnswer::No;
    default: return PromptAnswer::Cancel;
  }
}

}  // namespace korvex
