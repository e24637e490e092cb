#include "cli/Json.h"

#include <cstdio>

#include "platform/Utf8.h"

namespace korvex {

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!firstInScope_.empty()) {
    if (!firstInScope_.back()) out_ += ',';
    firstInScope_.back() = false;
  }
}

JsonWriter& JsonWriter::BeginObject() {
  BeforeValue();
  out_ += '{';
  firstInScope_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  out_ += '}';
  firstInScope_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  BeforeValue();
  out_ += '[';
  firstInScope_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  out_ += ']';
  firstInScope_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  String(key);
  out_ += ':';
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view utf8) {
  BeforeValue();
  out_ += '"';
  for (std::size_t i = 0; i < utf8.size();) {
    const char c = utf8[i];
    const auto byte = static_cast<unsigned char>(c);
    std::size_t next = i;
    if (c == '"' || c == '\\') {
      out_ += '\\';
      out_ += c;
      ++i;
    } else if (byte < 0x20) {
      AppendEscape(byte);
      ++i;
    } else if (DecodeUtf8(utf8, next)) {
      out_.append(utf8.substr(i, next - i));
      i = next;
    } else {
      // Not UTF-8 (a file name in another encoding): the byte as the Latin-1 character, escaped,
      // so that the output stays valid JSON and the name stays readable.
      AppendEscape(byte);
      ++i;
    }
  }
  out_ += '"';
  return *this;
}

void JsonWriter::AppendEscape(unsigned code) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\u%04x", code);
  out_ += escaped;
}

JsonWriter& JsonWriter::Number(std::int64_t value) {
  BeforeValue();
  out_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  out_ += "null";
  return *this;
}

}  // namespace korvex
