#include "cli/PasswordInput.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace korvex {
namespace {

std::optional<std::string> ReadLine() {
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// Asks on stderr and reads one line with the terminal's echo switched off.
std::optional<std::string> ReadHidden(const char* label) {
  std::fprintf(stderr, "%s", label);
  std::fflush(stderr);
  termios saved{};
  const bool canHide = ::tcgetattr(STDIN_FILENO, &saved) == 0;
  if (canHide) {
    termios hidden = saved;
    hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
  }
  auto line = ReadLine();
  if (canHide) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
  std::fprintf(stderr, "\n");
  return line;
}

}  // namespace

std::optional<PasswordEntries> ReadPasswordEntries() {
  if (!::isatty(STDIN_FILENO)) {
    auto line = ReadLine();
    if (!line) return std::nullopt;
    return PasswordEntries{*line, *line};
  }
  auto password = ReadHidden("Passwort: ");
  if (!password) return std::nullopt;
  auto repetition = ReadHidden("Kontrolleingabe: ");
  if (!repetition) return std::nullopt;
  return PasswordEntries{*password, *repetition};
}

}  // namespace korvex
