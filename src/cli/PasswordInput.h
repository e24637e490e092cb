#pragma once
// Reading a password for korvex-cli: on a terminal twice without echo ("Passwort" and
// "Kontrolleingabe"), otherwise one line of stdin that counts as both entries.
#include <optional>
#include <string>

namespace korvex {

struct PasswordEntries {
  std::string password;
  std::string repetition;
};

// Nothing when stdin ended before a line was read.
std::optional<PasswordEntries> ReadPasswordEntries();

}  // namespace korvex
