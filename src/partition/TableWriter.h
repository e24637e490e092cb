#pragma once
// Turns a disk's working copy back into sector images: the partition table of sector 0, the
// boot engine's menu table with its screen lines and password slots, and the chain of
// extended boot records. Nothing here writes to the disk (see DiskSaver.h).
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "partition/CHardDisk.h"
#include "partition/PartitionEntry.h"

namespace korvex {

// An entry with CHS fields computed from its sectors; clampCylinder replaces cylinders above
// 1023 by 1023 (partition tables), otherwise the cylinder keeps its low ten bits (menu table).
PartitionEntry MakeEntry(const CHardDisk& disk, std::uint8_t bootIndicator, std::uint8_t type,
                         std::uint32_t chsStart, std::uint32_t relativeStart, std::uint32_t length,
                         bool clampCylinder);

// The entry of sector 0's partition table (0..3) that a table partition is written to: its slot,
// slot 1 moved to 2 while the engine holds the boot slot.
unsigned TableEntryOf(const CHardDisk& disk, const CPartition& partition);

// The partition-table entry (0..3) of each table partition, by start; slot 1 moves to 2 while
// the engine holds the boot slot. A text naming the conflict when a partition has no entry or
// two share one: such a disk must not be written, or a partition would vanish from the table.
std::optional<std::string> CheckTableSlots(const CHardDisk& disk);

// Fills the four entries of the sector-0 image from the table partitions and sets its signature.
void BuildPrimaryTable(CHardDisk& disk);

// Fills the menu table of the sector-0 image, the menu's screen lines, the bottom border and
// the password slots from the Menu and NewMenu objects (at most 12), in slot order.
void BuildMenuTable(CHardDisk& disk);

using MenuTitle = std::array<char, kTitleLength>;

// The engine's screen lines from line 5 on: one menu line per title (at most 12) — the frame
// character, two blanks, the title, three blanks, the frame character — then the bottom border
// and the end of the list.
void WriteMenuLines(EngineAreaImage& area, std::span<const MenuTitle> titles);

// The stored form of a password for a slot: each byte XOR the password key, at most 15 bytes,
// byte 15 zero.
std::array<std::uint8_t, 16> EncodePassword(const CHardDisk& disk, const std::string& password);

// One extended boot record to write.
struct ChainRecord {
  std::uint32_t lba = 0;
  SectorImage sector{};
  const CPartition* drive = nullptr;  // the drive the record describes; none for a bare link
};

// The chain for the used logical drives (sorted by start) of ext: one record per drive at the
// drive's own start, entry 0 with the drive's own distance to its data, entry 1 linking to the
// next record (type 5, counted from ext's start). When the first drive does not start at ext's
// start, a record there with an empty entry 0 links to it, so no drive moves.
std::vector<ChainRecord> BuildExtendedChain(const CHardDisk& disk, const std::vector<CPartition*>& drives,
                                            const CPartition& ext);

// The records BuildExtendedChain writes for drives (sorted by start) of ext.
std::size_t ChainRecordCount(const CPartition& ext, const std::vector<CPartition*>& drives);
// The same with one more drive whose record lies at recordStart.
std::size_t ChainRecordCountWith(const CPartition& ext, const std::vector<CPartition*>& drives,
                                 std::uint64_t recordStart);

// A record with no entries: 510 zero bytes and the signature.
SectorImage EmptyRecord();

}  // namespace korvex
