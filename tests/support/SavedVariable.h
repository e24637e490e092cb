#pragma once
// Keeps an environment variable's value and puts it back when the test ends, so that a test
// may set it freely.
#include <cstdlib>
#include <optional>
#include <string>

namespace korvex::test {

class SavedVariable {
 public:
  explicit SavedVariable(const char* name) : name_(name) {
    if (const char* v = std::getenv(name)) value_ = v;
  }
  ~SavedVariable() { value_ ? ::setenv(name_, value_->c_str(), 1) : ::unsetenv(name_); }
  SavedVariable(const SavedVariable&) = delete;
  SavedVariable& operator=(const SavedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> value_;
};

}  // namespace korvex::test
