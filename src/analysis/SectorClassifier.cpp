#include "analysis/SectorClassifier.h"

#include "platform/OnDiskFields.h"
#include "analysis/VolumeProbes.h"
#include "platform/Cp437.h"

namespace korvex {
namespace {

constexpr std::uint8_t kPartitionTableFirstByte = 0xFA;  // the CLI instruction a boot record begins with
constexpr std::uint8_t kBootSectorFirstByte = 0xEB;      // JMP SHORT over the parameter block

bool HasBootSignature(std::span<const std::uint8_t> sector) { return sector[510] == 0x55 && sector[511] == 0xAA; }
bool HasSuperblockMagic(std::span<const std::uint8_t> sector) { return sector[56] == 0x53 && sector[57] == 0xEF; }
bool HasSwapSignature(std::span<const std::uint8_t> sector) {
  return sector[502] == 'S' && HasTextAt(sector, 502, "SWAPSPACE2");
}

// Length of the UTF-8 sequence that starts at text[i], 0 when it is not a valid one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  const std::uint8_t lead = byte(i);
  const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                           : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
  if (length == 0 || i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  }
  // Overlong forms, surrogates and values past U+10FFFF.
  if (lead == 0xE0 && byte(i + 1) < 0xA0) return 0;
  if (lead == 0xED && byte(i + 1) >= 0xA0) return 0;
  if (lead == 0xF0 && byte(i + 1) < 0x90) return 0;
  if (lead == 0xF4 && byte(i + 1) >= 0x90) return 0;
  return length;
}

}  // namespace

std::vector<ScanHit> ClassifySector(const ProbeContext& context) {
  std::vector<ScanHit> hits;
  const auto sector = context.sector;
  if (HasBootSignature(sector)) {
    if (auto ntfs = ProbeNtfsBootSector(context)) {
      hits.push_back(std::move(*ntfs));
    } else if (auto fat = ProbeFatBootSector(context)) {
      hits.push_back(std::move(*fat));
    } else {
      hits.push_back(ScanHit{context.lba, KindByFirstByte(sector[0]), FileSystemKind::None, "", std::nullopt});
      hits.back().record = ProbeExtendedRecord(context);
    }
  }
  if (HasSuperblockMagic(sector)) {
    if (auto ext = ProbeExtSuperblock(context)) hits.push_back(std::move(*ext));
  }
  if (HasSwapSignature(sector)) {
    if (auto swap = ProbeSwapSignature(context)) hits.push_back(std::move(*swap));
  }
  return hits;
}

std::vector<ScanHit> ClassifyAt(ISectorSource& sectors, std::uint64_t lba, std::uint64_t mediumSectors) {
  SectorBytes bytes{};
  if (!sectors.ReadSector(lba, bytes) || !MayHoldHit(bytes)) return {};
  return ClassifySector(ProbeContext{lba, bytes, sectors, mediumSectors});
}

HitKind KindByFirstByte(std::uint8_t first) {
  if (first == kPartitionTableFirstByte) return HitKind::PartitionTable;
  if (first == kBootSectorFirstByte) return HitKind::BootSector;
  return HitKind::OtherSignature;
}

ScanHit BackupOf(const ProbeContext& context, std::uint64_t original) {
  ScanHit hit{context.lba, KindByFirstByte(context.sector[0]), FileSystemKind::None, "", std::nullopt};
  hit.copyOf = original;
  return hit;
}

std::optional<VolumeRange> RangeOnMedium(std::uint64_t start, std::uint64_t length, std::uint64_t mediumSectors) {
  if (length == 0 || start >= mediumSectors || length > mediumSectors - start) return std::nullopt;
  return VolumeRange{start, length};
}

std::string Utf8Label(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = Utf8SequenceLength(bytes, i);
    if (length == 0) return Cp437ToUtf8(bytes);
    i += length;
  }
  return std::string(bytes);
}

}  // namespace korvex
