#include "shell/ScanHitText.h"

#include "disk/FormatSize.h"
#include "platform/DiskGeometry.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

std::string Sector(std::uint64_t lba) { return std::to_string(lba); }

std::string Size(const VolumeRange& range) { return FormatSize(range.length * kSectorSize); }

}  // namespace

std::string HitDetails(const ScanHit& hit) {
  if (hit.copyOf) return StrFormat(text::kScanBackupOf, static_cast<unsigned long long>(*hit.copyOf));
  if (hit.record) {
    if (!hit.record->HasDrive()) return text::kScanRecord;
    return StrFormat(text::kScanRecordDrive, static_cast<unsigned long long>(hit.sector + hit.record->driveOffset),
                     static_cast<unsigned>(hit.record->driveType));
  }
  if (hit.fileSystem == FileSystemKind::None) return "";
  std::string text = FileSystemName(hit.fileSystem);
  if (!hit.label.empty()) text += " \"" + hit.label + "\"";
  if (hit.range) text += " " + Size(*hit.range);
  if (hit.throughBackup && hit.range) {
    text += StrFormat(", %s, ab Sektor %s", text::kScanThroughBackup, Sector(hit.range->start).c_str());
  }
  return text;
}

std::string HitListText(const ScanHit& hit) {
  const std::string details = HitDetails(hit);
  return details.empty() ? Sector(hit.sector) : Sector(hit.sector) + "  " + details;
}

std::string LostExtendedTitle(const LostExtended& lost) {
  if (lost.drives.size() == 1) return text::kScanLostExtendedOne;
  return StrFormat(text::kScanLostExtended, lost.drives.size());
}

std::string LostExtendedListText(const LostExtended& lost) {
  return Sector(lost.range.start) + "  " + LostExtendedTitle(lost) + " " + Size(lost.range);
}

}  // namespace korvex
