#pragma once
// Texts between the core (UTF-8 std::string) and wxWidgets. Every German text goes through
// here: a plain const char* would be converted with the C library's locale, and under the C
// locale a text with an umlaut silently becomes an empty label.
#include <string>

#include <wx/string.h>

namespace korvex {

inline wxString Wx(const std::string& utf8) { return wxString::FromUTF8(utf8.data(), utf8.size()); }
inline wxString Wx(const char* utf8) { return wxString::FromUTF8(utf8); }
inline std::string Utf8(const wxString& text) {
  const wxScopedCharBuffer buffer = text.utf8_str();
  return std::string(buffer.data(), buffer.length());
}

}  // namespace korvex
