#pragma once
// How the installer's texts reach the screen: its line breaks are "\r\n" (and "\n\r" in two
// messages), while a GTK label or text view breaks at "\r" and at "\n" alike, so every "\r" is
// dropped; the log refreshes at once, since the steps run on the UI thread.
#include <string>

#include "wxcommon/GuiPrompt.h"

class wxTextCtrl;
class wxWindow;

namespace korvex::setup {

// The text without its "\r".
std::string DisplayText(std::string text);

// The read-only log of an install or uninstall dialog (id 1018).
wxTextCtrl* MakeSetupLog(wxWindow* parent);
void AppendToLog(wxTextCtrl& log, const std::string& text);

// Message boxes with the installer's title.
class SetupPrompt final : public CPrompt {
 public:
  SetupPrompt();
  void Message(const std::string& text, PromptIcon icon) override;
  PromptAnswer Ask(const std::string& text, PromptButtons buttons, PromptIcon icon) override;

 private:
  GuiPrompt boxes_;
};

}  // namespace korvex::setup
