#pragma once
// The 16-byte partition table entry shared by the master boot record, the extended boot
// records and the boot engine's menu table, decoded into and encoded from explicit fields.
#include <array>
#include <cstdint>
#include <span>

#include "EngineLayout.h"

namespace korvex {

// The entry's size and places are the layout table's (EngineLayout.table), which the real-mode
// code reads too.
inline constexpr std::size_t kEntrySize = layout::CONST_ENTRY_SIZE;
inline constexpr std::size_t kTableEntries = layout::CONST_TABLE_ENTRIES;
inline constexpr std::size_t kPartitionTableOffset = layout::LOADER_PARTITION_TABLE;
inline constexpr std::size_t kSignatureOffset = layout::LOADER_SIGNATURE;
// The disk identifier in front of the partition table of a master boot record (4 bytes and two
// more that some systems use): Windows finds its boot disk by it, Linux takes it for PARTUUID.
inline constexpr std::size_t kDiskIdentifierOffset = 0x1B8;
inline constexpr std::size_t kDiskIdentifierSize = 6;
inline constexpr std::uint8_t kBootIndicatorActive = layout::CONST_BOOT_INDICATOR_ACTIVE;
inline constexpr std::uint8_t kTypeExtended = 0x05;
inline constexpr std::uint8_t kTypeExtendedLba = 0x0F;
inline constexpr std::uint8_t kTypeGptProtective = 0xEE;

struct PartitionEntry {
  std::uint8_t bootIndicator = 0;  // 80h active; in the menu table the BIOS drive number
  std::uint8_t startHead = 0;
  std::uint8_t startSector = 0;    // bits 0..5 sector, bits 6..7 cylinder bits 8..9
  std::uint8_t startCylinder = 0;  // cylinder bits 0..7
  std::uint8_t type = 0;
  std::uint8_t endHead = 0;
  std::uint8_t endSector = 0;
  std::uint8_t endCylinder = 0;
  std::uint32_t relativeStart = 0;
  std::uint32_t length = 0;

  bool operator==(const PartitionEntry&) const = default;
};

PartitionEntry DecodeEntry(std::span<const std::uint8_t> bytes);
void EncodeEntry(const PartitionEntry& entry, std::span<std::uint8_t> bytes);

// Entry index (0..3) of the partition table in a sector.
PartitionEntry ReadTableEntry(std::span<const std::uint8_t> sector, unsigned index);
void WriteTableEntry(std::span<std::uint8_t> sector, unsigned index, const PartitionEntry& entry);

bool HasBootSignature(std::span<const std::uint8_t> sector);
void SetBootSignature(std::span<std::uint8_t> sector);
bool IsExtendedType(std::uint8_t type);

}  // namespace korvex
