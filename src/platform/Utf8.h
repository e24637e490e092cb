#pragma once
// UTF-8 sequences: decoding one (strictly: no overlong forms, no surrogates, nothing above
// U+10FFFF), encoding a code point, and checking a whole text.
#include <optional>
#include <string>
#include <string_view>

namespace korvex {

// Decodes the sequence at text[i] and moves i past it; nothing (i unchanged) for a malformed one.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& i);
void AppendUtf8(std::string& out, char32_t codePoint);
bool IsValidUtf8(std::string_view text);

}  // namespace korvex
