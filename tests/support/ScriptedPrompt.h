#pragma once
// A prompt for tests: records every message and question and answers questions from a queue
// (No once the queue is empty).
#include <deque>
#include <string>
#include <vector>

#include "platform/Prompt.h"

namespace korvex::test {

class ScriptedPrompt final : public CPrompt {
 public:
  struct Shown {
    std::string text;
    PromptIcon icon;
    bool question;
    PromptButtons buttons = PromptButtons::YesNo;  // of a question
  };

  void Message(const std::string& text, PromptIcon icon) override {
    shown.push_back({text, icon, false, PromptButtons::YesNo});
  }
  PromptAnswer Ask(const std::string& text, PromptButtons buttons, PromptIcon icon) override {
    shown.push_back({text, icon, true, buttons});
    if (answers.empty()) return PromptAnswer::No;
    const PromptAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& s : shown) texts.push_back(s.text);
    return texts;
  }

  std::vector<Shown> shown;
  std::deque<PromptAnswer> answers;
};

}  // namespace korvex::test
