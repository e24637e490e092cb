#include "image/ImageChecksums.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "image/BlockPipeline.h"
#include "platform/InputFile.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr std::size_t kDigestDigits = 64;
// A checksum file of this program names at most a thousand or so files in short lines.
constexpr std::size_t kMaxChecksumFileBytes = 1 << 20;
constexpr std::size_t kHashChunk = 4 << 20;

std::string BaseName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The name of an escaped line: "\\\\", "\\n" and "\\r" stand for their characters.
std::optional<std::string> Unescape(std::string_view name) {
  std::string plain;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] != '\\') {
      plain += name[i];
      continue;
    }
    if (++i == name.size()) return std::nullopt;
    switch (name[i]) {
      case '\\': plain += '\\'; break;
      case 'n': plain += '\n'; break;
      case 'r': plain += '\r'; break;
      default: return std::nullopt;
    }
  }
  return plain;
}

// "DIGEST  NAME" or "DIGEST *NAME", after a backslash when the name is escaped.
bool ParseLine(std::string_view line, ImageChecksums& into) {
  const bool escaped = !line.empty() && line.front() == '\\';
  if (escaped) line.remove_prefix(1);
  if (line.size() < kDigestDigits + 3 || line[kDigestDigits] != ' ' ||
      (line[kDigestDigits + 1] != ' ' && line[kDigestDigits + 1] != '*')) {
    return false;
  }
  Sha256Digest digest{};
  for (std::size_t i = 0; i < digest.size(); ++i) {
    const int high = HexValue(line[2 * i]);
    const int low = HexValue(line[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    digest[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  const std::string_view name = line.substr(kDigestDigits + 2);
  const auto plain = escaped ? Unescape(name) : std::optional<std::string>(name);
  if (!plain) return false;
  into.byName[*plain] = digest;
  return true;
}

// Hashes the file at path; nothing after reporting why it could not be read or when stopped.
std::optional<Sha256Digest> HashFile(const std::string& path, BlockBuffer& buffer, RunProgress& run,
                                     const StopFlag& stop, std::optional<WorkOutcome>& failure) {
  InputFile file;
  if (!file.Open(path)) {
    failure = WorkOutcome::Failed(StrFormat(text::kImageFileReadFailed, path.c_str(), file.Error().c_str()));
    return std::nullopt;
  }
  ::posix_fadvise(file.fd(), 0, 0, POSIX_FADV_SEQUENTIAL);
  Sha256 hash;
  for (;;) {
    const ssize_t n = ::read(file.fd(), buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      failure = WorkOutcome::Failed(StrFormat(text::kImageFileReadFailed, path.c_str(), std::strerror(errno)));
      return std::nullopt;
    }
    if (n == 0) return hash.Finish();
    hash.Update(std::span(buffer).first(static_cast<std::size_t>(n)));
    run.Advance(static_cast<std::uint64_t>(n));
    if (stop.Requested()) {
      failure = WorkOutcome::Cancelled("");
      return std::nullopt;
    }
  }
}

}  // namespace

std::string ChecksumFileName(const std::string& mainPath) { return mainPath + ".sha256"; }

std::string ChecksumLine(const Sha256Digest& digest, const std::string& file) {
  const std::string name = BaseName(file);
  if (name.find_first_of("\\\n\r") == std::string::npos) return HexDigest(digest) + "  " + name + "\n";
  std::string escaped;
  for (const char c : name) {
    escaped += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
  }
  return "\\" + HexDigest(digest) + "  " + escaped + "\n";
}

ImageChecksums ReadImageChecksums(const std::string& mainPath) {
  ImageChecksums checksums;
  checksums.path = ChecksumFileName(mainPath);
  struct stat info {};
  if (::lstat(checksums.path.c_str(), &info) != 0 && errno == ENOENT) return checksums;
  checksums.state = ImageChecksums::State::Unusable;
  const auto unreadable = [&](const std::string& reason) {
    checksums.problem = StrFormat(text::kImageChecksumFileUnreadable, checksums.path.c_str(), reason.c_str());
    return checksums;
  };
  InputFile file;
  if (!file.Open(checksums.path)) return unreadable(file.Error());
  if (file.size() > kMaxChecksumFileBytes) return unreadable(text::kImageChecksumFileTooLarge);
  std::string content(file.size(), '\0');
  if (::pread(file.fd(), content.data(), content.size(), 0) != static_cast<ssize_t>(content.size())) {
    return unreadable(std::strerror(errno));
  }
  unsigned number = 0;
  for (std::size_t at = 0; at < content.size();) {
    const std::size_t end = std::min(content.find('\n', at), content.size());
    ++number;
    if (!ParseLine(std::string_view(content).substr(at, end - at), checksums)) {
      checksums.problem = StrFormat(text::kImageChecksumLineBad, checksums.path.c_str(), number);
      return checksums;
    }
    at = end + 1;
  }
  checksums.state = ImageChecksums::State::Read;
  return checksums;
}

std::optional<WorkOutcome> CompareChecksums(const ImageLayout& layout, const ImageChecksums& checksums,
                                            IProgressSink& progress, const StopFlag& stop) {
  std::uint64_t bytes = 0;
  for (const std::string& file : layout.files) {
    if (!checksums.byName.contains(BaseName(file))) {
      return WorkOutcome::Failed(StrFormat(text::kImageChecksumMissing, checksums.path.c_str(), BaseName(file).c_str()));
    }
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (!error) bytes += size;
  }
  BlockBuffer buffer(kHashChunk);
  RunProgress run(progress, bytes);
  for (const std::string& file : layout.files) {
    std::optional<WorkOutcome> failure;
    const auto digest = HashFile(file, buffer, run, stop, failure);
    if (!digest) return failure;
    if (*digest != checksums.byName.at(BaseName(file))) {
      return WorkOutcome::Failed(StrFormat(
          text::kImageDamaged, StrFormat(text::kImageChecksumWrong, file.c_str(), checksums.path.c_str()).c_str()));
    }
  }
  return std::nullopt;
}

}  // namespace korvex
