#include "platform/RegFileFormat.h"

#include <algorithm>
#include <cstdio>

#include "platform/Utf8.h"

namespace korvex {
namespace {

constexpr std::string_view kHeaderRegedit4 = "REGEDIT4";
constexpr std::string_view kHeaderVersion5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUserRoot = "HKEY_CURRENT_USER";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

// UTF-16LE (byte order mark already removed) to UTF-8; false on an odd length or a lone
// surrogate.
bool Utf16LeToUtf8(std::string_view bytes, std::string& out) {
  if (bytes.size() % 2 != 0) return false;
  auto unit = [&](size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
  };
  for (size_t i = 0; i < bytes.size(); i += 2) {
    std::uint32_t code = unit(i);
    if (code >= 0xDC00 && code <= 0xDFFF) return false;
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (i + 3 >= bytes.size()) return false;
      const std::uint32_t low = unit(i + 2);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    AppendUtf8(out, static_cast<char32_t>(code));
  }
  return true;
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string_view TrimLeadingBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

std::string Escape(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    if (c == '\\' || c == '"') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

// Reads the lines of one file and turns them into changes; the first fault ends the run.
class RegTextParser {
 public:
  RegTextParser(const std::string& sourceName, std::string& error) : source_(sourceName), error_(error) {}

  std::optional<RegChangeSet> Parse(std::string_view text) {
    size_t lineStart = 0;
    for (line_ = 1; lineStart < text.size(); ++line_) {
      const size_t end = text.find('\n', lineStart);
      if (end == std::string_view::npos) {
        Fail("Die Datei endet mitten in der Zeile (abgeschnitten?)");
        return std::nullopt;
      }
      std::string_view line = text.substr(lineStart, end - lineStart);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (!ParseLine(line)) return std::nullopt;
      lineStart = end + 1;
    }
    if (!headerSeen_) {
      line_ = 1;
      Fail("Kopfzeile \"REGEDIT4\" fehlt");
      return std::nullopt;
    }
    return std::move(result_);
  }

 private:
  bool Fail(const std::string& what) {
    error_ = source_ + ", Zeile " + std::to_string(line_) + ": " + what;
    return false;
  }

  bool ParseLine(std::string_view line) {
    if (!IsStorableText(line)) return Fail("ungültige Zeichen (kein UTF-8 oder Steuerzeichen)");
    line = TrimTrailingBlanks(line);
    if (!headerSeen_) {
      if (line != kHeaderRegedit4 && line != kHeaderVersion5) return Fail("Kopfzeile \"REGEDIT4\" fehlt");
      headerSeen_ = true;
      return true;
    }
    line = TrimLeadingBlanks(line);
    if (line.empty() || line.front() == ';') return true;
    if (line.front() == '[') return ParseSection(line);
    if (line.front() == '"' || line.front() == '@') return ParseValue(line);
    return Fail("unverständliche Zeile");
  }

  bool ParseSection(std::string_view line) {
    if (line.back() != ']') return Fail("\"]\" fehlt am Ende der Schlüsselzeile");
    std::string_view name = line.substr(1, line.size() - 2);
    const bool deletion = !name.empty() && name.front() == '-';
    if (deletion) name.remove_prefix(1);
    const size_t rootEnd = name.find('\\');
    if (!EqualsIgnoreAsciiCase(name.substr(0, rootEnd), kUserRoot)) {
      return Fail("nur Schlüssel unter HKEY_CURRENT_USER können eingelesen werden");
    }
    if (static_cast<std::size_t>(std::count(name.begin(), name.end(), '\\')) > kMaxKeyDepth) {
      return Fail("Schlüssel zu tief verschachtelt (mehr als " + std::to_string(kMaxKeyDepth) + " Ebenen)");
    }
    const auto path = SplitKeyPath(rootEnd == std::string_view::npos ? std::string_view() : name.substr(rootEnd + 1));
    if (!path || (rootEnd != std::string_view::npos && path->empty())) return Fail("ungültiger Schlüsselname");
    if (deletion && path->empty()) return Fail("HKEY_CURRENT_USER selbst kann nicht gelöscht werden");
    result_.changes.push_back({deletion ? RegChange::Kind::DeleteKey : RegChange::Kind::CreateKey, *path, {}});
    section_ = deletion ? std::nullopt : path;
    return true;
  }

  // Reads a quoted string starting at text[pos] == '"'; pos ends after the closing quote.
  bool ParseQuoted(std::string_view text, size_t& pos, std::string& out) {
    for (++pos; pos < text.size(); ++pos) {
      const char c = text[pos];
      if (c == '"') {
        ++pos;
        return true;
      }
      if (c == '\\') {
        if (pos + 1 >= text.size() || (text[pos + 1] != '\\' && text[pos + 1] != '"')) {
          return Fail("ungültige Escape-Sequenz (erlaubt sind \\\\ und \\\")");
        }
        ++pos;
      }
      out += text[pos];
    }
    return Fail("schließendes Anführungszeichen fehlt");
  }

  bool ParseValue(std::string_view line) {
    if (!section_) return Fail("Wert ohne Schlüssel davor");
    RegChange change;
    change.path = *section_;
    size_t pos = 0;
    if (line.front() == '@') {
      pos = 1;
    } else if (!ParseQuoted(line, pos, change.value.name)) {
      return false;
    }
    std::string_view rest = TrimLeadingBlanks(line.substr(pos));
    if (rest.empty() || rest.front() != '=') return Fail("\"=\" fehlt nach dem Wertnamen");
    rest = TrimLeadingBlanks(rest.substr(1));

    if (rest == "-") {
      change.kind = RegChange::Kind::DeleteValue;
    } else if (!rest.empty() && rest.front() == '"') {
      change.kind = RegChange::Kind::SetValue;
      change.value.type = RegValueType::String;
      pos = 0;
      if (!ParseQuoted(rest, pos, change.value.text)) return false;
      if (pos != rest.size()) return Fail("unerwartete Zeichen nach der Zeichenkette");
    } else if (rest.size() >= 6 && EqualsIgnoreAsciiCase(rest.substr(0, 6), "dword:")) {
      change.kind = RegChange::Kind::SetValue;
      change.value.type = RegValueType::Dword;
      if (!ParseHexDword(rest.substr(6), change.value.number)) {
        return Fail("ungültige dword-Zahl (1 bis 8 Hexadezimalziffern)");
      }
    } else if (rest.substr(0, 3) == "hex") {
      return Fail("Werttyp nicht unterstützt (nur Zeichenketten und dword)");
    } else {
      return Fail("ungültiger Wert");
    }
    result_.changes.push_back(std::move(change));
    return true;
  }

  static bool ParseHexDword(std::string_view digits, std::uint32_t& number) {
    if (digits.empty() || digits.size() > 8) return false;
    number = 0;
    for (char c : digits) {
      std::uint32_t digit = 0;
      if (c >= '0' && c <= '9') digit = static_cast<std::uint32_t>(c - '0');
      else if (c >= 'a' && c <= 'f') digit = static_cast<std::uint32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') digit = static_cast<std::uint32_t>(c - 'A' + 10);
      else return false;
      number = number << 4 | digit;
    }
    return true;
  }

  const std::string& source_;
  std::string& error_;
  size_t line_ = 0;
  bool headerSeen_ = false;
  std::optional<RegPath> section_;
  RegChangeSet result_;
};

void FormatKey(const RegKey& key, const std::string& sectionName, bool isRoot, std::string& out) {
  // The root gets a section only for its own values; every other key gets one even when it is
  // empty, so that empty keys and the order of subkeys survive.
  if (!isRoot || !key.values().empty()) {
    out += '[' + sectionName + "]\n";
    for (const auto& value : key.values()) {
      out += value.name.empty() ? std::string("@") : '"' + Escape(value.name) + '"';
      out += '=';
      if (value.type == RegValueType::String) {
        out += '"' + Escape(value.text) + '"';
      } else {
        char number[16];
        std::snprintf(number, sizeof number, "dword:%08x", value.number);
        out += number;
      }
      out += '\n';
    }
    out += '\n';
  }
  for (const auto& subkey : key.subkeys()) FormatKey(subkey, sectionName + '\\' + subkey.name(), false, out);
}

}  // namespace

bool IsStorableText(std::string_view text) {
  return text.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos && IsValidUtf8(text);
}

std::optional<RegChangeSet> ParseRegText(std::string_view bytes, const std::string& sourceName,
                                         std::string& error) {
  std::string converted;
  if (bytes.substr(0, kUtf16LeBom.size()) == kUtf16LeBom) {
    if (!Utf16LeToUtf8(bytes.substr(kUtf16LeBom.size()), converted)) {
      error = sourceName + ": ungültiger UTF-16-Text";
      return std::nullopt;
    }
    bytes = converted;
  }
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
  return RegTextParser(sourceName, error).Parse(bytes);
}

std::string FormatRegText(const RegKey& root) {
  std::string out = std::string(kHeaderRegedit4) + "\n\n";
  FormatKey(root, std::string(kUserRoot), true, out);
  return out;
}

}  // namespace korvex
