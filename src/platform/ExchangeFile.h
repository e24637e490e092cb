#pragma once
// A temporary file through which the program and a helper program exchange data. It is made
// with mkstemp in $TMPDIR (else /tmp) under an unpredictable name, readable and writable by its
// owner only (mode 0600), and removed when the object goes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace korvex {

class ExchangeFile {
 public:
  // A new empty file whose name starts with prefix; nothing when it cannot be made.
  static std::optional<ExchangeFile> Create(const std::string& prefix);
  ~ExchangeFile();
  ExchangeFile(ExchangeFile&& other) noexcept;
  ExchangeFile& operator=(ExchangeFile&&) = delete;
  ExchangeFile(const ExchangeFile&) = delete;
  ExchangeFile& operator=(const ExchangeFile&) = delete;

  const std::string& path() const { return path_; }
  // Writes all of bytes into the file; false when any of it could not be written.
  bool Fill(std::span<const std::uint8_t> bytes);
  // Reads the file as it is now (the helper may have rewritten it) into buffer when it is a
  // regular file of exactly buffer.size() bytes; false for a shorter or longer file and when it
  // is gone or cannot be read.
  bool ReadWhole(std::span<std::uint8_t> buffer) const;

 private:
  ExchangeFile(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}

  std::string path_;
  int fd_ = -1;  // open until Fill has written, so the contents go to the file we made
};

}  // namespace korvex
