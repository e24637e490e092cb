#include "platform/KernelPartitions.h"

#include <fstream>

namespace korvex {
namespace {

namespace fs = std::filesystem;

std::string ReadLine(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

std::uint64_t ReadNumber(const fs::path& path) {
  try {
    return std::stoull(ReadLine(path));
  } catch (const std::exception&) {
    return 0;
  }
}

}  // namespace

std::vector<KernelPartition> PartitionsInSysfs(const fs::path& deviceDir) {
  std::vector<KernelPartition> partitions;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(deviceDir, ec)) {
    if (!fs::exists(entry.path() / "partition")) continue;
    partitions.push_back({entry.path().filename().string(), static_cast<unsigned>(ReadNumber(entry.path() / "partition")),
                          ReadNumber(entry.path() / "start"), ReadNumber(entry.path() / "size"),
                          ReadLine(entry.path() / "dev")});
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
