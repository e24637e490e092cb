#pragma once
// Code page 437, the character set of the boot engine's screen: menu titles are held as the
// bytes the engine shows and converted to UTF-8 only where the program shows or takes text.
#include <optional>
#include <string>
#include <string_view>

namespace korvex {

std::string Cp437ToUtf8(std::string_view cp437);
// Nothing when the text holds a character that code page 437 cannot show.
std::optional<std::string> Utf8ToCp437(std::string_view utf8);

}  // namespace korvex
