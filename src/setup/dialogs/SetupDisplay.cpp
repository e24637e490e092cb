#include "setup/dialogs/SetupDisplay.h"

#include <wx/textctrl.h>

#include "wxcommon/WxText.h"
#include "setup/SetupTexts.h"

namespace korvex::setup {
namespace {

constexpr int kLogId = 1018;

}  // namespace

std::string DisplayText(std::string text) {
  std::erase(text, '\r');
  return text;
}

wxTextCtrl* MakeSetupLog(wxWindow* parent) {
  auto* log = new wxTextCtrl(parent, kLogId, wxEmptyString, wxDefaultPosition, wxSize(560, 220),
                             wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
  log->SetName(Wx("Protokoll"));
  return log;
}

void AppendToLog(wxTextCtrl& log, const std::string& text) {
  std::string shown = DisplayText(text);
  // The steps start their lines with the break; the first line of an empty log needs none.
  if (log.IsEmpty() && shown.starts_with('\n')) shown.erase(0, 1);
  log.AppendText(Wx(shown));
  log.Update();
}

SetupPrompt::SetupPrompt() : boxes_(text::kMainTitle) {}

void SetupPrompt::Message(const std::string& text, PromptIcon icon) {
  boxes_.Message(DisplayText(text), icon);
}

PromptAnswer SetupPrompt::Ask(const std::string& text, PromptButtons buttons, PromptIcon icon) {
  return boxes_.Ask(DisplayText(text), buttons, icon);
}

}  // namespace korvex::setup
