#pragma once
// A small JSON writer for the machine-readable output of korvex-cli.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvex {

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view key);
  // Bytes that are not UTF-8 are written as the Latin-1 characters of the same values.
  JsonWriter& String(std::string_view utf8);
  JsonWriter& Number(std::int64_t value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

  // Shorthands for a key with its value.
  JsonWriter& Field(std::string_view key, std::string_view value) { return Key(key).String(value); }
  JsonWriter& Field(std::string_view key, const char* value) { return Key(key).String(value); }
  JsonWriter& Field(std::string_view key, std::int64_t value) { return Key(key).Number(value); }
  JsonWriter& Field(std::string_view key, bool value) { return Key(key).Bool(value); }

  const std::string& str() const { return out_; }

 private:
  void BeforeValue();
  void AppendEscape(unsigned code);

  std::string out_;
  std::vector<bool> firstInScope_;
  bool afterKey_ = false;
};

}  // namespace korvex
