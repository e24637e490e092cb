#pragma once
// The one way the core reaches the user: messages and questions. The GUI answers with
// message boxes, the CLI on the terminal, tests with a scripted prompt that records texts.
#include <string>

namespace korvex {

enum class PromptIcon { Stop, Exclamation, Question, Information };
// YesNoDefaultNo: "Ja" and "Nein" with "Nein" as the default answer (the button that Enter
// presses, the answer of an empty line), for questions whose Yes cannot be taken back.
enum class PromptButtons { YesNo, YesNoCancel, YesNoDefaultNo };
enum class PromptAnswer { Yes, No, Cancel };

class CPrompt {
 public:
  virtual ~CPrompt() = default;
  virtual void Message(const std::string& text, PromptIcon icon) = 0;
  virtual PromptAnswer Ask(const std::string& text, PromptButtons buttons, PromptIcon icon) = 0;
};

}  // namespace korvex
