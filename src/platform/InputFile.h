#pragma once
// A file the program reads that the user named (a partition image, a boot record backup): only
// a regular file is taken. It is opened without waiting, so a FIFO in its place cannot hold the
// program in open until some writer comes, and a FIFO, socket, device or directory is refused
// with a reason that says what stands there.
#include <cstdint>
#include <string>

namespace korvex {

class InputFile {
 public:
  InputFile() = default;
  ~InputFile() { Close(); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Opens path for reading; false when it cannot be opened or is no regular file (Error says
  // why). An open file is closed first.
  bool Open(const std::string& path);
  void Close();

  int fd() const { return fd_; }
  std::uint64_t size() const { return size_; }
  // Why the last Open failed: the system's text, or the kind of file that stands at the path.
  const std::string& Error() const { return error_; }
  // The last Open failed because something else than a regular file stands at the path.
  bool WrongType() const { return wrongType_; }

 private:
  int fd_ = -1;
  bool wrongType_ = false;
  std::uint64_t size_ = 0;
  std::string error_;
};

}  // namespace korvex
