// NTFS boot sectors as the search sees them: the parameter block (volumes/NtfsBootSector.h),
// the backup copy at the end of the volume told from the original, and the volume label read
// from the $Volume record.
#include <algorithm>
#include <string>
#include <vector>

#include "analysis/BootSectorCopies.h"
#include "analysis/VolumeProbes.h"
#include "platform/OnDiskFields.h"
#include "platform/Utf8.h"
#include "volumes/NtfsBootSector.h"

namespace korvex {
namespace {

constexpr std::uint64_t kVolumeRecord = 3;  // $Volume in the master file table
constexpr std::uint32_t kAttributeVolumeName = 0x60;
constexpr std::uint32_t kAttributeEnd = 0xFFFFFFFF;
constexpr std::uint32_t kMaxRecordBytes = 4096;
constexpr std::uint32_t kAttributeHeaderBytes = 16;  // the smallest attribute

// UTF-16LE to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::span<const std::uint8_t> bytes) {
  std::string out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    std::uint32_t unit = ReadLe16(bytes, i);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
      const std::uint32_t low = ReadLe16(bytes, i + 2);
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
  const std::size_t arrayOffset = ReadLe16(record, 4);
  const std::size_t count = ReadLe16(record, 6);
  if (count == 0 || arrayOffset + 2 * count > record.size()) return false;
  for (std::size_t i = 1; i < count; ++i) {
    const std::size_t end = i * stride;
    if (end > record.size()) return false;
    if (ReadLe16(record, end - 2) != ReadLe16(record, arrayOffset)) return false;
    record[end - 2] = record[arrayOffset + 2 * i];
    record[end - 1] = record[arrayOffset + 2 * i + 1];
  }
  return true;
}

bool FileRecordAt(const ProbeContext& context, std::uint64_t lba) {
  SectorBytes sector{};
  return context.around.ReadSector(lba, sector) && HasTextAt(sector, 0, "FILE");
}

// The $VOLUME_NAME attribute of the $Volume record in the record table at tableSector; nothing
// when that record cannot be read, empty when it carries no name.
std::optional<std::string> LabelInTable(const ProbeContext& context, std::uint64_t tableSector,
                                        std::uint64_t recordBytes, std::uint32_t bytesPerSector) {
  const std::uint64_t first = tableSector + kVolumeRecord * recordBytes / kSectorSize;
  std::vector<std::uint8_t> record(recordBytes);
  for (std::uint64_t k = 0; k < recordBytes / kSectorSize; ++k) {
    SectorBytes sector{};
    if (!context.around.ReadSector(first + k, sector)) return std::nullopt;
    std::copy(sector.begin(), sector.end(), record.begin() + static_cast<std::ptrdiff_t>(k * kSectorSize));
  }
  if (!HasTextAt(record, 0, "FILE") || !ApplyFixups(record, bytesPerSector)) return std::nullopt;
  // Each attribute is at least a header long, so the walk ends within the record.
  for (std::size_t offset = ReadLe16(record, 0x14); offset + kAttributeHeaderBytes <= record.size();) {
    const std::uint32_t type = ReadLe32(record, offset);
    const std::uint32_t length = ReadLe32(record, offset + 4);
    if (type == kAttributeEnd || length < kAttributeHeaderBytes || length > record.size() - offset) return "";
    if (type == kAttributeVolumeName && record[offset + 8] == 0) {  // resident
      const std::uint32_t valueLength = ReadLe32(record, offset + 16);
      const std::uint32_t valueOffset = ReadLe16(record, offset + 20);
      if (valueOffset > length || valueLength > length - valueOffset) return "";
      return Utf16ToUtf8(std::span<const std::uint8_t>(record).subspan(offset + valueOffset, valueLength));
    }
    offset += length;
  }
  return "";
}

// Where the master file table (mirror false) or its mirror of a volume beginning at volumeStart
// lies. The cluster is below the cluster count, so the sum stays within the volume.
std::uint64_t RecordTable(const NtfsParameters& ntfs, bool mirror, std::uint64_t volumeStart) {
  return volumeStart + ntfs.ClusterDiskSector(mirror ? ntfs.mirrorCluster : ntfs.mftCluster);
}

// The volume's label from the $Volume record, or from its mirror when the master file table
// itself is overwritten (as by a file system made over the volume's start); empty when neither
// can be read.
std::string VolumeLabel(const ProbeContext& context, const NtfsParameters& ntfs, std::uint64_t volumeStart) {
  const std::uint64_t recordBytes = ntfs.RecordBytes();
  if (recordBytes < kSectorSize || recordBytes > kMaxRecordBytes || recordBytes % kSectorSize != 0) return "";
  for (const bool mirror : {false, true}) {
    if (auto label = LabelInTable(context, RecordTable(ntfs, mirror, volumeStart), recordBytes, ntfs.bytesPerSector)) {
      return *label;
    }
  }
  return "";
}

}  // namespace

std::optional<ScanHit> ProbeNtfsBootSector(const ProbeContext& context) {
  const auto ntfs = DecodeNtfsBootSector(context.sector);
  if (!ntfs) return std::nullopt;
  ScanHit hit{context.lba, HitKind::FileSystem, FileSystemKind::Ntfs, "", std::nullopt};
  // A count past the medium (a forged or foreign block) gives no range; the test also keeps the
  // sector arithmetic below from wrapping.
  if (ntfs->volumeSectors >= context.mediumSectors / ntfs->Scale()) return hit;
  // The backup copy lies in the sector after the counted ones, the volume's last.
  const std::uint64_t counted = ntfs->DiskSectors();
  const CopyLayout layout{counted, counted + ntfs->Scale(), kNtfsParameterBlockEnd, [&](std::uint64_t at) {
                            return FileRecordAt(context, RecordTable(*ntfs, false, at)) ||
                                   FileRecordAt(context, RecordTable(*ntfs, true, at));
                          }};
  std::uint64_t start = context.lba;
  switch (CopyRoleOf(context, layout)) {
    case CopyRole::Original: break;
    case CopyRole::BackupOfLost: start = context.lba - layout.distance; break;
    case CopyRole::BackupOfIntact: return BackupOf(context, context.lba - layout.distance);
  }
  hit.throughBackup = start != context.lba;
  hit.label = VolumeLabel(context, *ntfs, start);
  hit.range = RangeOnMedium(start, layout.volumeSectors, context.mediumSectors);
  return hit;
}

}  // namespace korvex
