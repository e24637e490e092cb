// NTFS boot sectors: the parameter block checked field by field, the backup copy at the end of
// the volume told from the original, and the volume label read from the $Volume record.
#include <algorithm>
#include <string>
#include <vector>

#include "analysis/BootSectorCopies.h"
#include "analysis/OnDiskFields.h"
#include "analysis/VolumeProbes.h"
#include "platform/Utf8.h"

namespace korvex {
namespace {

using ondisk::Le16;
using ondisk::Le32;
using ondisk::Le64;

constexpr std::size_t kParameterBlockEnd = 0x54;  // through the volume serial number
constexpr std::uint64_t kVolumeRecord = 3;        // $Volume in the master file table
constexpr std::uint32_t kAttributeVolumeName = 0x60;
constexpr std::uint32_t kAttributeEnd = 0xFFFFFFFF;
constexpr std::uint32_t kMaxRecordBytes = 4096;
constexpr std::size_t kMftField = 0x30;     // cluster of the master file table
constexpr std::size_t kMirrorField = 0x38;  // cluster of its mirror (the first four records)

bool PowerOfTwo(std::uint64_t value) { return value != 0 && (value & (value - 1)) == 0; }

// Sectors per cluster: the byte itself up to 80h, above that a power of two 2^(256 - byte).
std::uint64_t ClusterSectors(std::uint8_t code) {
  if (code <= 0x80) return PowerOfTwo(code) ? code : 0;
  const unsigned shift = 256u - code;
  return shift <= 12 ? std::uint64_t{1} << shift : 0;
}

// Bytes of a file record: a positive count of clusters, or a negative power of two.
std::uint64_t RecordBytes(std::uint8_t code, std::uint64_t clusterBytes) {
  const auto signedCode = static_cast<std::int8_t>(code);
  if (signedCode > 0) return static_cast<std::uint64_t>(signedCode) * clusterBytes;
  const int shift = -signedCode;
  return shift >= 9 && shift <= 12 ? std::uint64_t{1} << shift : 0;
}

// UTF-16LE to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::span<const std::uint8_t> bytes) {
  std::string out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    std::uint32_t unit = Le16(bytes, i);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
      const std::uint32_t low = Le16(bytes, i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
  }
  return out;
}

// Puts back the last two bytes of each stride of a file record from its update sequence array;
// false when a stride does not end in the sequence number (a torn or foreign record).
bool ApplyFixups(std::vector<std::uint8_t>& record, std::uint32_t stride) {
  const std::size_t arrayOffset = Le16(record, 4);
  const std::size_t count = Le16(record, 6);
  if (count == 0 || arrayOffset + 2 * count > record.size()) return false;
  for (std::size_t i = 1; i < count; ++i) {
    const std::size_t end = i * stride;
    if (end > record.size()) return false;
    if (Le16(record, end - 2) != Le16(record, arrayOffset)) return false;
    record[end - 2] = record[arrayOffset + 2 * i];
    record[end - 1] = record[arrayOffset + 2 * i + 1];
  }
  return true;
}

// Where the master file table (lcnField 0x30) or its mirror (0x38) of a volume beginning at
// volumeStart lies. The field is below the cluster count, so the sum stays within the volume.
std::uint64_t RecordTable(std::span<const std::uint8_t> s, std::size_t lcnField, std::uint64_t volumeStart,
                          std::uint64_t clusterSectors, std::uint64_t scale) {
  return volumeStart + Le64(s, lcnField) * clusterSectors * scale;
}

bool FileRecordAt(const ProbeContext& context, std::uint64_t lba) {
  SectorBytes sector{};
  return context.around.ReadSector(lba, sector) && ondisk::HasText(sector, 0, "FILE");
}

// The $VOLUME_NAME attribute of the $Volume record in the record table at tableSector; nothing
// when that record cannot be read, empty when it carries no name.
std::optional<std::string> LabelInTable(const ProbeContext& context, std::uint64_t tableSector,
                                        std::uint64_t recordBytes, std::uint32_t bytesPerSector) {
  const std::uint64_t first = tableSector + kVolumeRecord * recordBytes / 512;
  std::vector<std::uint8_t> record(recordBytes);
  for (std::uint64_t k = 0; k < recordBytes / 512; ++k) {
    SectorBytes sector{};
    if (!context.around.ReadSector(first + k, sector)) return std::nullopt;
    std::copy(sector.begin(), sector.end(), record.begin() + static_cast<std::ptrdiff_t>(k * 512));
  }
  if (!ondisk::HasText(record, 0, "FILE") || !ApplyFixups(record, bytesPerSector)) return std::nullopt;
  // Each attribute is at least 16 bytes long, so the walk ends within the record.
  for (std::size_t offset = Le16(record, 0x14); offset + 16 <= record.size();) {
    const std::uint32_t type = Le32(record, offset);
    const std::uint32_t length = Le32(record, offset + 4);
    if (type == kAttributeEnd || length < 16 || length > record.size() - offset) return "";
    if (type == kAttributeVolumeName && record[offset + 8] == 0) {  // resident
      const std::uint32_t valueLength = Le32(record, offset + 16);
      const std::uint32_t valueOffset = Le16(record, offset + 20);
      if (valueOffset > length || valueLength > length - valueOffset) return "";
      return Utf16ToUtf8(std::span<const std::uint8_t>(record).subspan(offset + valueOffset, valueLength));
    }
    offset += length;
  }
  return "";
}

// The volume's label from the $Volume record, or from its mirror when the master file table
// itself is overwritten (as by a file system made over the volume's start); empty when neither
// can be read.
std::string VolumeLabel(const ProbeContext& context, std::uint64_t volumeStart, std::uint64_t scale,
                        std::uint64_t clusterSectors, std::uint32_t bytesPerSector) {
  const auto s = context.sector;
  const std::uint64_t recordBytes = RecordBytes(s[0x40], clusterSectors * bytesPerSector);
  if (recordBytes < 512 || recordBytes > kMaxRecordBytes || recordBytes % 512 != 0) return "";
  for (const std::size_t lcnField : {kMftField, kMirrorField}) {
    const std::uint64_t table = RecordTable(s, lcnField, volumeStart, clusterSectors, scale);
    if (auto label = LabelInTable(context, table, recordBytes, bytesPerSector)) return *label;
  }
  return "";
}

}  // namespace

std::optional<ScanHit> ProbeNtfsBootSector(const ProbeContext& context) {
  const auto s = context.sector;
  if (!ondisk::HasText(s, 3, "NTFS    ")) return std::nullopt;
  const std::uint32_t bytesPerSector = Le16(s, 0x0B);
  const std::uint64_t clusterSectors = ClusterSectors(s[0x0D]);
  const std::uint64_t total = Le64(s, 0x28);
  if (bytesPerSector < 512 || bytesPerSector > 4096 || !PowerOfTwo(bytesPerSector)) return std::nullopt;
  if (clusterSectors == 0 || total == 0) return std::nullopt;
  // Fields that belong to FAT and must be zero on NTFS: reserved sectors, FATs, root entries,
  // 16-bit total, FAT size, 32-bit total.
  if (Le16(s, 0x0E) != 0 || s[0x10] != 0 || Le16(s, 0x11) != 0 || Le16(s, 0x13) != 0 || Le16(s, 0x16) != 0 ||
      Le32(s, 0x20) != 0) {
    return std::nullopt;
  }
  const std::uint64_t clusters = total / clusterSectors;
  if (Le64(s, 0x30) >= clusters || Le64(s, 0x38) >= clusters) return std::nullopt;

  const std::uint64_t scale = bytesPerSector / 512;
  ScanHit hit{context.lba, HitKind::FileSystem, FileSystemKind::Ntfs, "", std::nullopt};
  // A count past the medium (a forged or foreign block) gives no range; the test also keeps the
  // sector arithmetic below from wrapping.
  if (total >= context.mediumSectors / scale) return hit;
  // The backup copy lies in the sector after the counted ones, the volume's last.
  const CopyLayout layout{total * scale, (total + 1) * scale, kParameterBlockEnd, [&](std::uint64_t at) {
                            return FileRecordAt(context, RecordTable(s, kMftField, at, clusterSectors, scale)) ||
                                   FileRecordAt(context, RecordTable(s, kMirrorField, at, clusterSectors, scale));
                          }};
  std::uint64_t start = context.lba;
  switch (CopyRoleOf(context, layout)) {
    case CopyRole::Original: break;
    case CopyRole::BackupOfLost: start = context.lba - layout.distance; break;
    case CopyRole::BackupOfIntact: return BackupOf(context, context.lba - layout.distance);
  }
  hit.throughBackup = start != context.lba;
  hit.label = VolumeLabel(context, start, scale, clusterSectors, bytesPerSector);
  hit.range = RangeOnMedium(start, layout.volumeSectors, context.mediumSectors);
  return hit;
}

}  // namespace korvex
