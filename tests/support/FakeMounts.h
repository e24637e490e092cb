#pragma once
// A sysfs and a mount table made in a test's folder, as MountedRanges reads them, so that tests
// see file systems mounted from an image file without root: the image backs the loop device
// loop0 (at a byte offset), and either its partition loop0p1 or the whole loop device is mounted
// on "/mnt/alte daten".
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/MountedRanges.h"

namespace korvex::test {

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path) << text << "\n";
}

// loop0p1, sectors [start, start + size) of the loop device, is mounted; with whole, loop0 itself.
inline MountSources FakeLoopMount(const std::filesystem::path& dir, const std::string& imagePath,
                                  std::uint64_t offset, std::uint64_t start, std::uint64_t size,
                                  bool whole = false) {
  const std::filesystem::path loop = dir / "sys/block/loop0";
  WriteText(loop / "loop/backing_file", imagePath);
  WriteText(loop / "loop/offset", std::to_string(offset));
  WriteText(loop / "dev", "7:0");
  WriteText(loop / "size", std::to_string(std::filesystem::file_size(imagePath) / 512));
  WriteText(loop / "loop0p1/partition", "1");
  WriteText(loop / "loop0p1/start", std::to_string(start));
  WriteText(loop / "loop0p1/size", std::to_string(size));
  WriteText(loop / "loop0p1/dev", "259:3");
  WriteText(dir / "mountinfo", std::string("22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n") +
                                   (whole ? "97 22 7:0 / /mnt/alte\\040daten rw,relatime shared:50 - vfat /dev/loop0 rw"
                                          : "97 22 259:3 / /mnt/alte\\040daten rw,relatime shared:50 - vfat "
                                            "/dev/loop0p1 rw"));
  return {(dir / "sys").string(), (dir / "mountinfo").string()};
}

}  // namespace korvex::test
