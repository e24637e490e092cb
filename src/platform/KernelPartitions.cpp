#include "platform/KernelPartitions.h"

#include <fstream>

namespace korvex {

namespace fs = std::filesystem;

std::string ReadSysfsLine(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

std::uint64_t ReadSysfsNumber(const fs::path& path) {
  try {
    return std::stoull(ReadSysfsLine(path));
  } catch (const std::exception&) {
    return 0;
  }
}

std::vector<KernelPartition> PartitionsInSysfs(const fs::path& deviceDir) {
  std::vector<KernelPartition> partitions;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(deviceDir, ec)) {
    if (!fs::exists(entry.path() / "partition")) continue;
    partitions.push_back({entry.path().filename().string(),
                          static_cast<unsigned>(ReadSysfsNumber(entry.path() / "partition")),
                          ReadSysfsNumber(entry.path() / "start"), ReadSysfsNumber(entry.path() / "size"),
                          ReadSysfsLine(entry.path() / "dev")});
  }
  return partitions;
}

std::vector<KernelPartition> KernelPartitionsOf(const std::string& devicePath, const std::string& sysfsRoot) {
  std::error_code ec;
  fs::path node = fs::canonical(devicePath, ec);
  if (ec) node = devicePath;
  const std::string name = node.filename().string();
  if (name.empty()) return {};
  return PartitionsInSysfs(fs::path(sysfsRoot) / "block" / name);
}

}  // namespace korvex
