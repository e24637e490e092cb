#pragma once
// The registry editor's export format, in which HKEY_CURRENT_USER is kept and .reg files are
// imported:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\SOFTWARE\MIRLACH\KORVEX\Partitionstypen]
//   "Anzahl"=dword:00000002
//   @="default value"
//
// Strings escape "\" as "\\" and '"' as "\"". Only string and dword values are supported.
#include <optional>
#include <string>
#include <string_view>

#include "platform/RegTree.h"

namespace korvex {

// Parses the bytes of a .reg file into the changes it describes. Accepted: the headers
// "REGEDIT4" and "Windows Registry Editor Version 5.00"; UTF-8 with or without byte order mark,
// or UTF-16LE with byte order mark; LF or CRLF line ends; comment lines starting with ";";
// "[-KEY]" key deletions and "NAME"=- value deletions. Every key must lie in
// HKEY_CURRENT_USER, and the last line must be complete (a file cut off in mid-line is
// refused, not half read). On a fault returns nothing and error names sourceName and the line.
std::optional<RegChangeSet> ParseRegText(std::string_view bytes, const std::string& sourceName,
                                         std::string& error);

// The text of a HKEY_CURRENT_USER tree in the format above: one section per key in pre-order,
// so that parsing it again restores every key, value and the order of subkeys. Names and texts
// must satisfy IsStorableText.
std::string FormatRegText(const RegKey& root);

// True when text can stand in a line of the format: valid UTF-8 without NUL, CR or LF.
bool IsStorableText(std::string_view text);

}  // namespace korvex
