#include "platform/MountedRanges.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/KernelPartitions.h"

namespace korvex {
namespace {

namespace fs = std::filesystem;

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

// Mountinfo writes blanks and other separators in paths as "\040" and the like.
std::string Unescape(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) && IsOctal(field[i + 2]) &&
        IsOctal(field[i + 3])) {
      out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

// Mount points by device number ("8:2") and by mount source ("/dev/sda2"); file systems such
// as btrfs report an anonymous device number and are found by their source.
struct MountTable {
  std::map<std::string, std::string> byNumber;
  std::map<std::string, std::string> bySource;

  std::optional<std::string> Find(const std::string& number, const std::string& name) const {
    if (auto it = byNumber.find(number); it != byNumber.end()) return it->second;
    if (auto it = bySource.find("/dev/" + name); it != bySource.end()) return it->second;
    return std::nullopt;
  }
};

MountTable ReadMountTable(const std::string& mountinfo) {
  MountTable table;
  std::ifstream in(mountinfo);
  for (std::string line; std::getline(in, line);) {
    // ID PARENT MAJOR:MINOR ROOT MOUNT-POINT OPTIONS [OPTIONAL…] - TYPE SOURCE SUPER-OPTIONS
    std::istringstream fields(line);
    std::string id, parent, number, root, mountPoint, field;
    if (!(fields >> id >> parent >> number >> root >> mountPoint)) continue;
    while (fields >> field && field != "-") {
    }
    std::string type, source;
    fields >> type >> source;
    mountPoint = Unescape(mountPoint);
    table.byNumber.emplace(number, mountPoint);
    if (!source.empty()) table.bySource.emplace(Unescape(source), mountPoint);
  }
  return table;
}

// Mounted ranges of the block device whose sysfs directory is deviceDir, shifted by offset.
void CollectMounts(const fs::path& deviceDir, std::uint64_t offset, const MountTable& table,
                   std::vector<MountedRange>& ranges) {
  const std::string name = deviceDir.filename().string();
  if (auto point = table.Find(ReadSysfsLine(deviceDir / "dev"), name)) {
    ranges.push_back({offset, ReadSysfsNumber(deviceDir / "size"), name, *point});
  }
  for (const KernelPartition& partition : PartitionsInSysfs(deviceDir)) {
    if (auto point = table.Find(partition.majorMinor, partition.name)) {
      ranges.push_back({offset + partition.start, partition.size, partition.name, *point});
    }
  }
}

}  // namespace

std::vector<MountedRange> MountedRangesOfBlockDevice(const std::string& majorMinor, const MountSources& sources) {
  std::vector<MountedRange> ranges;
  const fs::path deviceDir = fs::path(sources.sysfs) / "dev" / "block" / majorMinor;
  std::error_code ec;
  const fs::path resolved = fs::canonical(deviceDir, ec);
  if (ec) return ranges;
  CollectMounts(resolved, 0, ReadMountTable(sources.mountinfo), ranges);
  return ranges;
}

std::vector<MountedRange> MountedRangesOfImageFile(const std::string& imagePath, const MountSources& sources) {
  std::vector<MountedRange> ranges;
  std::error_code ec;
  const fs::path image = fs::weakly_canonical(imagePath, ec);
  if (ec) return ranges;
  const MountTable table = ReadMountTable(sources.mountinfo);
  for (const auto& entry : fs::directory_iterator(fs::path(sources.sysfs) / "block", ec)) {
    const fs::path loop = entry.path() / "loop";
    if (!fs::exists(loop / "backing_file") || fs::path(ReadSysfsLine(loop / "backing_file")) != image) continue;
    CollectMounts(entry.path(), ReadSysfsNumber(loop / "offset") / 512, table, ranges);
  }
  return ranges;
}

std::vector<MountedRange> MountedRangesOf(const std::string& diskPath, const MountSources& sources) {
  struct stat info {};
  if (::stat(diskPath.c_str(), &info) != 0) return {};
  if (S_ISBLK(info.st_mode)) {
    return MountedRangesOfBlockDevice(std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev)),
                                      sources);
  }
  return S_ISREG(info.st_mode) ? MountedRangesOfImageFile(diskPath, sources) : std::vector<MountedRange>{};
}

std::optional<MountedRange> FindMountedOverlap(const std::string& diskPath, std::uint64_t first, std::uint64_t count,
                                               const MountSources& sources) {
  for (const MountedRange& range : MountedRangesOf(diskPath, sources)) {
    if (range.first < first + count && first < range.first + range.count) return range;
  }
  return std::nullopt;
}

}  // namespace korvex
