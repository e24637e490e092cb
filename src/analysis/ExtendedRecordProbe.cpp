// Extended boot records: a sector with the boot signature whose table holds at most a logical
// drive (entry 0) and a link to the next record (entry 1), and nothing in entries 2 and 3.
#include <algorithm>

#include "analysis/VolumeProbes.h"
#include "partition/PartitionEntry.h"

namespace korvex {
namespace {

bool Empty(std::span<const std::uint8_t> sector, unsigned index) {
  const auto entry = sector.subspan(kPartitionTableOffset + index * kEntrySize, kEntrySize);
  return std::all_of(entry.begin(), entry.end(), [](std::uint8_t b) { return b == 0; });
}

bool ValidBootIndicator(std::uint8_t indicator) { return indicator == 0 || indicator == kBootIndicatorActive; }

}  // namespace

std::optional<ExtendedRecord> ProbeExtendedRecord(const ProbeContext& context) {
  const auto s = context.sector;
  // Sector 0 holds the master boot record, never a record of a chain.
  if (context.lba == 0 || !HasBootSignature(s) || !Empty(s, 2) || !Empty(s, 3)) return std::nullopt;
  ExtendedRecord record;
  if (!Empty(s, 0)) {
    const PartitionEntry drive = ReadTableEntry(s, 0);
    if (!ValidBootIndicator(drive.bootIndicator) || drive.type == 0 || IsExtendedType(drive.type) ||
        drive.relativeStart == 0 || drive.length == 0) {
      return std::nullopt;
    }
    record.driveOffset = drive.relativeStart;
    record.driveLength = drive.length;
    record.driveType = drive.type;
  }
  if (!Empty(s, 1)) {
    const PartitionEntry link = ReadTableEntry(s, 1);
    if (link.bootIndicator != 0 || !IsExtendedType(link.type) || link.relativeStart == 0 || link.length == 0) {
      return std::nullopt;
    }
    record.linkOffset = link.relativeStart;
    record.linkType = link.type;
  }
  if (!record.HasDrive() && !record.HasLink()) return std::nullopt;
  return record;
}

}  // namespace korvex
