#include "partition/PartitionEntry.h"

#include "platform/OnDiskFields.h"

namespace korvex {

PartitionEntry DecodeEntry(std::span<const std::uint8_t> bytes) {
  PartitionEntry entry;
  entry.bootIndicator = bytes[layout::CONST_ENTRY_BOOT_INDICATOR];
  entry.startHead = bytes[layout::CONST_ENTRY_START_HEAD];
  entry.startSector = bytes[layout::CONST_ENTRY_START_SECTOR];
  entry.startCylinder = bytes[layout::CONST_ENTRY_START_CYLINDER];
  entry.type = bytes[layout::CONST_ENTRY_TYPE];
  entry.endHead = bytes[layout::CONST_ENTRY_END_HEAD];
  entry.endSector = bytes[layout::CONST_ENTRY_END_SECTOR];
  entry.endCylinder = bytes[layout::CONST_ENTRY_END_CYLINDER];
  entry.relativeStart = ReadLe32(bytes, layout::CONST_ENTRY_LBA);
  entry.length = ReadLe32(bytes, layout::CONST_ENTRY_LENGTH);
  return entry;
}

void EncodeEntry(const PartitionEntry& entry, std::span<std::uint8_t> bytes) {
  bytes[layout::CONST_ENTRY_BOOT_INDICATOR] = entry.bootIndicator;
  bytes[layout::CONST_ENTRY_START_HEAD] = entry.startHead;
  bytes[layout::CONST_ENTRY_START_SECTOR] = entry.startSector;
  bytes[layout::CONST_ENTRY_START_CYLINDER] = entry.startCylinder;
  bytes[layout::CONST_ENTRY_TYPE] = entry.type;
  bytes[layout::CONST_ENTRY_END_HEAD] = entry.endHead;
  bytes[layout::CONST_ENTRY_END_SECTOR] = entry.endSector;
  bytes[layout::CONST_ENTRY_END_CYLINDER] = entry.endCylinder;
  WriteLe32(bytes, layout::CONST_ENTRY_LBA, entry.relativeStart);
  WriteLe32(bytes, layout::CONST_ENTRY_LENGTH, entry.length);
}

PartitionEntry ReadTableEntry(std::span<const std::uint8_t> sector, unsigned index) {
  return DecodeEntry(sector.subspan(kPartitionTableOffset + index * kEntrySize, kEntrySize));
}

void WriteTableEntry(std::span<std::uint8_t> sector, unsigned index, const PartitionEntry& entry) {
  EncodeEntry(entry, sector.subspan(kPartitionTableOffset + index * kEntrySize, kEntrySize));
}

bool HasBootSignature(std::span<const std::uint8_t> sector) {
  return sector[kSignatureOffset] == (layout::CONST_BOOT_SIGNATURE & 0xFF) &&
         sector[kSignatureOffset + 1] == layout::CONST_BOOT_SIGNATURE >> 8;
}

void SetBootSignature(std::span<std::uint8_t> sector) {
  sector[kSignatureOffset] = layout::CONST_BOOT_SIGNATURE & 0xFF;
  sector[kSignatureOffset + 1] = layout::CONST_BOOT_SIGNATURE >> 8;
}

bool IsExtendedType(std::uint8_t type) { return type == kTypeExtended || type == kTypeExtendedLba; }

}  // namespace korvex
