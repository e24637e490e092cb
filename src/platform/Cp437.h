#pragma once
// Code page 437, the character set of the boot engine's screen: menu titles are held as the
// bytes the engine shows and converted to UTF-8 only where the program shows or takes text.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Prompt.h"

namespace korvex {

std::string Cp437ToUtf8(std::string_view cp437);
// Nothing when the text holds a character that code page 437 cannot show.
std::optional<std::string> Utf8ToCp437(std::string_view utf8);
// The same for a text the user typed for the boot screen (a menu title): a character outside
// code page 437 is reported through prompt, naming it, and nothing is returned.
std::optional<std::string> BootScreenText(std::string_view utf8, CPrompt& prompt);

// The Unicode character whose picture a VGA text screen shows for a byte: the symbols of the
// control range (01h..1Fh, 7Fh: smileys, arrows, ...), blanks for 00h and FFh, and the
// characters of the upper half. For finding glyphs in a font, not for text.
char32_t Cp437Glyph(std::uint8_t byte);
// Bytes of a text screen as UTF-8, each as the picture the screen shows (Cp437Glyph).
std::string Cp437ScreenText(std::string_view cp437);

}  // namespace korvex
