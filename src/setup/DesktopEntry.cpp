#include "setup/DesktopEntry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <span>

#include "platform/FileIo.h"
#include "setup/Distribution.h"
#include "setup/SetupTexts.h"

namespace korvex::setup {
namespace {

// A string value of a desktop entry: backslashes are escaped (line breaks cannot occur, the
// installation folder is checked to hold none).
std::string EscapeValue(const std::string& value) {
  std::string escaped;
  for (const char c : value) {
    if (c == '\\') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

// The program as one quoted argument of the Exec key: inside the quotes '"', '`', '$' and '\'
// take a backslash, and '%' is doubled because it starts a field code.
std::string ExecArgument(const std::string& program) {
  std::string quoted = "\"";
  for (const char c : program) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string DesktopEntryText(const std::filesystem::path& installFolder) {
  const std::string program = (installFolder / kProgramFile).string();
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Korvex\n"
         "GenericName=Bootmanager\n"
         "Comment=" + std::string(text::kMenuEntryComment) + "\n"
         "Exec=" + EscapeValue(ExecArgument(program)) + "\n"
         "TryExec=" + EscapeValue(program) + "\n"
         "Terminal=false\n"
         "Categories=System;Filesystem;\n";
}

bool WriteDesktopEntry(const std::filesystem::path& applicationsFolder, const std::filesystem::path& installFolder) {
  std::error_code ec;
  std::filesystem::create_directories(applicationsFolder, ec);
  if (ec) return false;
  const auto entry = applicationsFolder / kMenuEntryFile;
  std::string temporary = (applicationsFolder / ".korvex.desktop.XXXXXX").string();
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  const std::string text = DesktopEntryText(installFolder);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  bool written = WriteAll(fd, std::span(bytes, text.size())) && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
  written = (::close(fd) == 0) && written;
  if (written && ::rename(temporary.c_str(), entry.c_str()) == 0) return SyncDirectory(applicationsFolder);
  ::unlink(temporary.c_str());
  return false;
}

}  // namespace korvex::setup
