#pragma once
// The prompt of the command-line front end: messages go to stderr, questions are answered on
// stdin ("j" or "ja" is yes; anything else, or the end of input, is no) or by --yes.
#include <cstdio>

#include "platform/Prompt.h"

namespace korvex {

class TerminalPrompt final : public CPrompt {
 public:
  TerminalPrompt(bool assumeYes, std::FILE* input = stdin, std::FILE* output = stderr)
      : assumeYes_(assumeYes), input_(input), output_(output) {}

  void Message(const std::string& text, PromptIcon icon) override;
  PromptAnswer Ask(const std::string& text, PromptButtons buttons, PromptIcon icon) override;

 private:
  bool assumeYes_;
  std::FILE* input_;
  std::FILE* output_;
};

}  // namespace korvex
