#pragma once
// Lost extended partitions: from the extended boot records and the volumes the search found,
// the extended partitions they once formed, each with its chain of logical drives at their old
// places, so that one "Übernehmen" brings back the extended partition and every drive in it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/ScanHit.h"

namespace korvex {

// One logical drive of a lost extended partition.
struct LostDrive {
  std::uint64_t record = 0;  // where its extended boot record lies (or lay)
  VolumeRange data;          // its sectors, as its record gives them
  std::uint8_t type = 0;
  // False when the record is lost: the drive is the volume found behind the place a link named,
  // with the volume's own length and a fitting type.
  bool recordFound = true;
  FileSystemKind fileSystem = FileSystemKind::None;  // of a volume found where the data begins
  std::string label;
  // That volume's first sector is lost; its backup boot sector lies here.
  std::optional<std::uint64_t> bootBackup{};
  bool operator==(const LostDrive&) const = default;
};

struct LostExtended {
  VolumeRange range;  // from its first record to the next thing found after its last drive
  std::uint8_t type = 0;
  std::vector<LostDrive> drives;  // in chain order, at least one
  bool operator==(const LostExtended&) const = default;
};

// The extended partitions that the hits (in disk order, as the search lists them) describe.
// A chain is followed from its first record through the links; the start of the extended
// partition, which no record names, is that first record's place, or earlier when the first
// record's link only reaches a record counted from an earlier start (the first record is lost
// then). A link to a place without a record stands for a lost record: the volume found within
// 2048 sectors behind it becomes its drive, and the chain goes on at the next record whose own
// link fits. Walks are bounded (27 records, links only forward). The extended partition ends
// where the next volume or record after its last drive begins, else at the medium's end
// (mediumSectors); its type is 05h, or 0Fh when it reaches past cylinder 1023.
std::vector<LostExtended> FindLostExtended(const std::vector<ScanHit>& hits, std::uint64_t mediumSectors,
                                           std::uint64_t sectorsPerCylinder);

}  // namespace korvex
