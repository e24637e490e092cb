#include "cli/TerminalPrompt.h"

#include <cctype>
#include <string>

namespace korvex {
namespace {

const char* IconPrefix(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::Stop: return "Fehler: ";
    case PromptIcon::Exclamation: return "Warnung: ";
    case PromptIcon::Question: return "Frage: ";
    case PromptIcon::Information: return "Hinweis: ";
  }
  return "";
}

std::string ReadLine(std::FILE* input) {
  std::string line;
  for (int c = std::fgetc(input); c != EOF && c != '\n'; c = std::fgetc(input)) line += static_cast<char>(c);
  return line;
}

}  // namespace

void TerminalPrompt::Message(const std::string& text, PromptIcon icon) {
  std::fprintf(output_, "%s%s\n", IconPrefix(icon), text.c_str());
  std::fflush(output_);
}

PromptAnswer TerminalPrompt::Ask(const std::string& text, PromptButtons buttons, PromptIcon icon) {
  const char* choices = buttons == PromptButtons::YesNoCancel ? "[j/n/a]"
                        : buttons == PromptButtons::YesNoDefaultNo ? "[j/N]"
                                                                  : "[j/n]";
  std::fprintf(output_, "%s%s %s ", IconPrefix(icon), text.c_str(), choices);
  if (assumeYes_) {
    std::fprintf(output_, "j (--yes)\n");
    std::fflush(output_);
    return PromptAnswer::Yes;
  }
  std::fflush(output_);
  std::string answer = ReadLine(input_);
  for (auto& c : answer) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (answer == "j" || answer == "ja" || answer == "y" || answer == "yes") return PromptAnswer::Yes;
  if (buttons == PromptButtons::YesNoCancel && (answer == "a" || answer.empty())) return PromptAnswer::Cancel;
  return PromptAnswer::No;
}

}  // namespace korvex
