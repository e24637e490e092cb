#pragma once
// The core's messages and questions as modal message boxes with the kind's icon and German
// buttons.
#include <string>

#include "platform/Prompt.h"

class wxWindow;

namespace korvex {

class GuiPrompt final : public CPrompt {
 public:
  // The boxes carry the program's title, or the given caption (the installer's).
  GuiPrompt();
  explicit GuiPrompt(std::string caption) : caption_(std::move(caption)) {}

  void Message(const std::string& text, PromptIcon icon) override;
  PromptAnswer Ask(const std::string& text, PromptButtons buttons, PromptIcon icon) override;

 private:
  std::string caption_;
};

}  // namespace korvex
