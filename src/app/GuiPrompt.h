#pragma once
// The core's messages and questions as modal message boxes with the kind's icon and German
// buttons.
#include "platform/Prompt.h"

class wxWindow;

namespace korvex {

class GuiPrompt final : public CPrompt {
 public:
  void Message(const std::string& text, PromptIcon icon) override;
  PromptAnswer Ask(const std::string& text, PromptButtons buttons, PromptIcon icon) override;
};

}  // namespace korvex
