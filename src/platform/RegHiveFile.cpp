#include "platform/RegHiveFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/FileIo.h"
#include "platform/RegFileFormat.h"

namespace korvex {
namespace {

constexpr std::size_t kMaxHiveBytes = std::size_t{16} << 20;

// The message for the system call that just failed; call it before anything changes errno.
std::string SystemError(const std::string& what, const std::filesystem::path& file) {
  return what + " " + file.string() + ": " + std::strerror(errno);
}

// Started as root for a user (pkexec, sudo), the program keeps that user's store in the user's
// home. Whatever root makes there — folders, the lock file, each new hive — goes to the owner of
// the folder it is made in, so that the user's own runs can change the store afterwards. For
// anyone else, and in root's own folders, nothing changes hands.
bool GiveToFolderOwner(int fd, const std::filesystem::path& folder) {
  if (::geteuid() != 0) return true;
  struct stat owner {};
  if (::stat(folder.empty() ? "." : folder.c_str(), &owner) != 0) return false;
  if (owner.st_uid == 0) return true;
  return ::fchown(fd, owner.st_uid, owner.st_gid) == 0;
}

// Makes dir and its missing parents. A folder made here is opened without following a link
// (the user may swap names in a folder of their own) before it is given to its parent's owner.
bool MakeFolders(const std::filesystem::path& dir, std::string& error) {
  struct stat info {};
  if (dir.empty() || ::stat(dir.c_str(), &info) == 0) return true;
  const auto parent = dir.parent_path();
  if (parent != dir && !MakeFolders(parent, error)) return false;
  if (::mkdir(dir.c_str(), 0777) != 0) {
    if (errno == EEXIST) return true;
    error = SystemError("Das Verzeichnis kann nicht angelegt werden:", dir);
    return false;
  }
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  const bool given = fd >= 0 && GiveToFolderOwner(fd, parent);
  if (!given) error = SystemError("Das Verzeichnis kann nicht übergeben werden:", dir);
  if (fd >= 0) ::close(fd);
  return given;
}

// Opens the lock file, making it when missing; never through a link.
int OpenLockFile(const std::filesystem::path& lockPath, std::string& error) {
  constexpr int kFlags = O_RDWR | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::open(lockPath.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
  if (fd >= 0 && !GiveToFolderOwner(fd, lockPath.parent_path())) {
    error = SystemError("Die Sperrdatei kann nicht übergeben werden:", lockPath);
    ::close(fd);
    return -1;
  }
  if (fd < 0 && errno == EEXIST) fd = ::open(lockPath.c_str(), kFlags);
  if (fd < 0) error = SystemError("Die Sperrdatei kann nicht geöffnet werden:", lockPath);
  return fd;
}

}  // namespace

std::unique_ptr<HiveLock> HiveLock::Acquire(const std::filesystem::path& hive, std::string& error) {
  if (!MakeFolders(hive.parent_path(), error)) return nullptr;
  const auto lockPath = HiveLockPath(hive);
  const int fd = OpenLockFile(lockPath, error);
  if (fd < 0) return nullptr;
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    error = SystemError("Die Sperre kann nicht gesetzt werden:", lockPath);
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<HiveLock>(new HiveLock(fd));
}

HiveLock::~HiveLock() { ::close(fd_); }

std::optional<std::string> ReadSmallFile(const std::filesystem::path& file, std::size_t maxBytes,
                                         std::string& error, bool* missing) {
  if (missing != nullptr) *missing = false;
  // The type is checked before opening: opening a FIFO would wait for a writer.
  struct stat before {};
  if (::stat(file.c_str(), &before) == 0 && !S_ISREG(before.st_mode)) {
    error = "Die Datei kann nicht gelesen werden: " + file.string() + " ist keine gewöhnliche Datei";
    return std::nullopt;
  }
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (missing != nullptr) *missing = errno == ENOENT;
    error = SystemError("Die Datei kann nicht gelesen werden:", file);
    return std::nullopt;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = "Die Datei kann nicht gelesen werden: " + file.string() + " ist keine gewöhnliche Datei";
    ::close(fd);
    return std::nullopt;
  }
  std::string content;
  char buffer[65536];
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = SystemError("Die Datei kann nicht gelesen werden:", file);
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
    if (content.size() > maxBytes) {
      error = "Die Datei " + file.string() + " ist zu groß (mehr als " + std::to_string(maxBytes) + " Bytes)";
      ::close(fd);
      return std::nullopt;
    }
  }
  ::close(fd);
  return content;
}

std::optional<RegKey> ReadHive(const std::filesystem::path& hive, std::string& error) {
  bool missing = false;
  const auto text = ReadSmallFile(hive, kMaxHiveBytes, error, &missing);
  if (!text) {
    if (!missing) return std::nullopt;
    error.clear();
    return RegKey();
  }
  const auto changes = ParseRegText(*text, hive.string(), error);
  if (!changes) return std::nullopt;
  RegKey root;
  ApplyChanges(root, *changes);
  return root;
}

bool ReplaceHive(const std::filesystem::path& hive, const std::string& text, std::string& error) {
  const auto temp = HiveTempPath(hive);
  // A temporary file left by a crash is removed, and a new one made: an existing name (or a
  // link planted in its place) is never written through.
  if (::unlink(temp.c_str()) != 0 && errno != ENOENT) {
    error = SystemError("Die Datei kann nicht angelegt werden:", temp);
    return false;
  }
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) {
    error = SystemError("Die Datei kann nicht angelegt werden:", temp);
    return false;
  }
  // The new hive keeps the access rights of the old one (a private hive stays private).
  struct stat old {};
  const bool keepMode = ::stat(hive.c_str(), &old) == 0;
  if ((keepMode && ::fchmod(fd, old.st_mode & 07777) != 0) || !GiveToFolderOwner(fd, hive.parent_path()) ||
      !WriteAll(fd, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())) || ::fsync(fd) != 0) {
    error = SystemError("Die Datei kann nicht geschrieben werden:", temp);
    ::close(fd);
    ::unlink(temp.c_str());
    return false;
  }
  if (::close(fd) != 0) {
    error = SystemError("Die Datei kann nicht geschrieben werden:", temp);
    ::unlink(temp.c_str());
    return false;
  }
  if (::rename(temp.c_str(), hive.c_str()) != 0) {
    error = SystemError("Die Datei kann nicht ersetzt werden:", hive);
    ::unlink(temp.c_str());
    return false;
  }
  if (!SyncDirectory(hive.parent_path())) {
    // The new hive is in place but may not survive a crash; the change is not reported done.
    error = SystemError("Das Verzeichnis kann nicht gesichert werden:", hive.parent_path());
    return false;
  }
  return true;
}

}  // namespace korvex
