#include "partition/PartitionEntry.h"

namespace korvex {

PartitionEntry DecodeEntry(std::span<const std::uint8_t> bytes) {
  PartitionEntry entry;
  entry.bootIndicator = bytes[0];
  entry.startHead = bytes[1];
  entry.startSector = bytes[2];
  entry.startCylinder = bytes[3];
  entry.type = bytes[4];
  entry.endHead = bytes[5];
  entry.endSector = bytes[6];
  entry.endCylinder = bytes[7];
  entry.relativeStart = ReadLe32(bytes.subspan(8, 4));
  entry.length = ReadLe32(bytes.subspan(12, 4));
  return entry;
}

void EncodeEntry(const PartitionEntry& entry, std::span<std::uint8_t> bytes) {
  bytes[0] = entry.bootIndicator;
  bytes[1] = entry.startHead;
  bytes[2] = entry.startSector;
  bytes[3] = entry.startCylinder;
  bytes[4] = entry.type;
  bytes[5] = entry.endHead;
  bytes[6] = entry.endSector;
  bytes[7] = entry.endCylinder;
  WriteLe32(bytes.subspan(8, 4), entry.relativeStart);
  WriteLe32(bytes.subspan(12, 4), entry.length);
}

PartitionEntry ReadTableEntry(std::span<const std::uint8_t> sector, unsigned index) {
  return DecodeEntry(sector.subspan(kPartitionTableOffset + index * kEntrySize, kEntrySize));
}

void WriteTableEntry(std::span<std::uint8_t> sector, unsigned index, const PartitionEntry& entry) {
  EncodeEntry(entry, sector.subspan(kPartitionTableOffset + index * kEntrySize, kEntrySize));
}

bool HasBootSignature(std::span<const std::uint8_t> sector) {
  return sector[kSignatureOffset] == 0x55 && sector[kSignatureOffset + 1] == 0xAA;
}

void SetBootSignature(std::span<std::uint8_t> sector) {
  sector[kSignatureOffset] = 0x55;
  sector[kSignatureOffset + 1] = 0xAA;
}

bool IsExtendedType(std::uint8_t type) { return type == kTypeExtended || type == kTypeExtendedLba; }

}  // namespace korvex
