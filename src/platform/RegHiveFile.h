#pragma once
// The file that holds HKEY_CURRENT_USER and the discipline by which several program instances
// share it. Every change runs as: take the exclusive lock ("<hive>.lock"), read the hive as it
// is on disk now, change it, write the result to "<hive>.tmp", flush it, rename it over the
// hive, flush the directory, release the lock. The hive is therefore always either the old or
// the new complete file; a crash can at most leave the temporary file behind, which is never
// read and is overwritten by the next change.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/RegTree.h"

namespace korvex {

// The exclusive lock on one hive, held while the object lives.
class HiveLock {
 public:
  // Creates the hive's directory when missing and waits for the lock; nothing on a failure.
  static std::unique_ptr<HiveLock> Acquire(const std::filesystem::path& hive, std::string& error);
  ~HiveLock();
  HiveLock(const HiveLock&) = delete;
  HiveLock& operator=(const HiveLock&) = delete;

 private:
  explicit HiveLock(int fd) : fd_(fd) {}
  int fd_;
};

// The tree in the hive; an empty tree when the file does not exist. Nothing when it cannot be
// read or parsed; error then names the file (and the line).
std::optional<RegKey> ReadHive(const std::filesystem::path& hive, std::string& error);

// Replaces the hive with text through the temporary file. Call with the lock held. On a
// failure the hive is as it was and the temporary file is removed.
bool ReplaceHive(const std::filesystem::path& hive, const std::string& text, std::string& error);

// Reads a whole file of at most maxBytes; nothing when it is missing, larger or unreadable.
// missing, when given, tells whether the file did not exist.
std::optional<std::string> ReadSmallFile(const std::filesystem::path& file, std::size_t maxBytes,
                                         std::string& error, bool* missing = nullptr);

inline std::filesystem::path HiveTempPath(const std::filesystem::path& hive) {
  return std::filesystem::path(hive).concat(".tmp");
}
inline std::filesystem::path HiveLockPath(const std::filesystem::path& hive) {
  return std::filesystem::path(hive).concat(".lock");
}

}  // namespace korvex
