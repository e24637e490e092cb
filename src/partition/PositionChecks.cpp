#include "partition/PositionChecks.h"

#include <algorithm>

#include "partition/LogicalLevelUpkeep.h"
#include "partition/PartitionEntry.h"
#include "partition/SectorRanges.h"
#include "partition/TableReader.h"
#include "platform/Cp437.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

// Last sector of a run; one before start for an empty run. Signed, so that nothing wraps.
std::int64_t LastOf(std::uint32_t start, std::uint32_t length) {
  return std::int64_t{start} + std::int64_t{length} - 1;
}

bool Within(std::int64_t sector, const CPartition& y) {
  return sector >= y.start && sector <= LastOf(y.start, y.length);
}

// The overlap rule for a run [start, start + length) that self would occupy in level: it shares
// no sector with another partition of the level.
bool NoConflict(const PartitionLevel& level, const CPartition& self, std::uint32_t start, std::uint32_t length) {
  return FirstSharingObject(level, start, length, &self) == nullptr;
}

// The failed checks of a form, in their fixed order, as report lines.
std::vector<std::string> FormFindings(const CHardDisk& disk, const PartitionLevel& level, const CPartition& object,
                                      const PartitionForm& form) {
  std::vector<std::string> findings;
  const bool logical = &level == &disk.logical;
  const CPartition* ext = disk.FindExtended();
  const std::int64_t chsStart = disk.ChsToLba(form.startChs.cylinder, form.startChs.head, form.startChs.sector);
  const std::int64_t chsEnd = disk.ChsToLba(form.endChs.cylinder, form.endChs.head, form.endChs.sector);
  const std::int64_t last = LastOf(form.relativeStart, form.length);

  if (chsStart != form.relativeStart) findings.push_back(LoadResString(IDS_START_MISMATCH));
  if (chsEnd != last) findings.push_back(LoadResString(IDS_END_MISMATCH));
  if (chsStart >= chsEnd) findings.push_back(LoadResString(IDS_START_NOT_BEFORE_END));
  if (!NoConflict(level, object, form.relativeStart, form.length)) findings.push_back(LoadResString(IDS_OVERLAP));
  // An extended partition can be neither a logical drive nor a boot menu entry.
  if (logical || object.InMenu()) {
    if (form.type == kTypeExtended) findings.push_back(LoadResString(IDS_TYPE5_NOT_HERE));
    if (form.type == kTypeExtendedLba) findings.push_back(text::kType15NotHere);
  }
  // One extended partition per disk. The extended partition itself may switch between 5 and 15.
  if (form.type == kTypeExtended && form.type != object.type && !disk.logical.empty() && ext != &object) {
    findings.push_back(LoadResString(IDS_ONE_TYPE5_PER_DISK));
  } else if (IsExtendedType(form.type) && !object.IsExtended() && ext != nullptr && ext != &object) {
    findings.push_back(text::kSecondExtended);
  }
  // Our own checks: values the writer could not put on the disk without losing data.
  if (std::uint64_t{form.relativeStart} + form.length > disk.UsableSectors()) {
    findings.push_back(text::kBeyondDiskEnd);
  } else if (!MbrAddressable(form.relativeStart, form.length)) {
    findings.push_back(text::kNotAddressableLine);
  }
  // The engine is written over sectors 0..7 at every save.
  if (disk.EngineInstalled() && !logical && !object.IsFree() && form.length > 0 && form.relativeStart < kEngineTrackSectors) {
    findings.push_back(text::kEngineTrackInForm);
  }
  if (logical && !object.IsFree()) {
    if (form.length <= object.dataOffset) findings.push_back(text::kLogicalWithoutData);
    const std::uint64_t end = std::uint64_t{form.relativeStart} + form.length;
    if (ext != nullptr && (form.relativeStart < ext->start || end > ext->End())) {
      findings.push_back(LoadResString(IDS_LOGICAL_OUTSIDE));
    }
  }
  if (form.type == 0 && !object.IsFree()) findings.push_back(text::kTypeZeroLine);
  return findings;
}

bool Confirmed(CPrompt& prompt, unsigned question) {
  return prompt.Ask(LoadResString(question), PromptButtons::YesNoDefaultNo, PromptIcon::Exclamation) == PromptAnswer::Yes;
}

std::string FindingLine(const std::string& lead, const CPartition& other) {
  if (other.IsMenu()) return StrFormat("%s %s\n", lead.c_str(), Cp437ToUtf8(other.GetTitle()).c_str());
  return StrFormat(LoadResString(IDS_STARTS_AT_SECTOR).c_str(), lead.c_str(), static_cast<long>(other.start));
}

}  // namespace

PartitionForm FormFromObject(const CPhysicalDrive& geometry, const CPartition& object) {
  PartitionForm form;
  form.title = object.GetTitle();
  form.type = object.type;
  form.relativeStart = object.start;
  form.length = object.length;
  RelativeToAbsolute(geometry, form);
  return form;
}

void AbsoluteToRelative(const CPhysicalDrive& geometry, PartitionForm& form) {
  form.relativeStart = geometry.ChsToLba(form.startChs.cylinder, form.startChs.head, form.startChs.sector);
  form.length = geometry.ChsToLba(form.endChs.cylinder, form.endChs.head, form.endChs.sector) + 1 - form.relativeStart;
}

void RelativeToAbsolute(const CPhysicalDrive& geometry, PartitionForm& form) {
  form.startChs = geometry.LbaToChs(form.relativeStart);
  form.endChs = geometry.LbaToChs(form.relativeStart + form.length - 1);
}

bool ClearOfPrimaryOverlap(const CHardDisk& disk, const CPartition& object) {
  return NoConflict(disk.primary, object, object.start, object.length);
}

bool ClearOfLogicalOverlap(const CHardDisk& disk, const CPartition& object) {
  return NoConflict(disk.logical, object, object.start, object.length);
}

FormApplyResult ApplyPartitionForm(WorkingCopy& workingCopy, const ObjectRef& ref, const PartitionForm& form,
                                   CPrompt& prompt) {
  const auto target = ResolveOrReport(workingCopy, ref, prompt);
  if (!target) return FormApplyResult::Refused;
  CHardDisk& disk = *target->disk;
  const PartitionLevel& level = *target->level;
  CPartition& object = *target->object;
  const auto findings = FormFindings(disk, level, object, form);
  if (!findings.empty()) {
    std::string report;
    for (const auto& line : findings) report += line;
    report += "\n" + std::to_string(findings.size()) + LoadResString(IDS_ERRORS_NO_SAVE);
    prompt.Message(report, PromptIcon::Stop);
    return FormApplyResult::Refused;
  }
  if (form.type != object.type && !Confirmed(prompt, IDS_TYPE_CHANGE)) return FormApplyResult::Refused;
  // Only the extended partition that owns the logical level takes the logical drives with it.
  const bool losesLevel = object.IsExtended() && !IsExtendedType(form.type) && disk.FindExtended() == &object;
  if (losesLevel && !disk.logical.empty() && !Confirmed(prompt, IDS_LOSE_LOGICAL_DRIVES)) return FormApplyResult::Refused;

  const bool wasExtended = object.IsExtended();
  const bool startMoves = form.relativeStart != object.start;
  object.start = form.relativeStart;
  object.length = form.length;
  object.type = form.type;
  if (object.InMenu()) object.SetTitle(form.title);
  if (losesLevel) ReleaseLogicalLevel(disk, object, prompt);
  if (wasExtended && !object.IsExtended() && !object.isNew) object.destructive = false;
  if (object.IsExtended() && !object.IsFree() && (!wasExtended || startMoves)) {
    // Whatever lies at the start of the extended partition now would be read as its first
    // extended boot record: the save writes a valid one there.
    object.destructive = true;
    if (!wasExtended) object.holdsLogicalDrives = true;
  }
  disk.MarkModified();
  RebuildFreeAreas(disk);
  if (target->IsLogical()) NumberLogicalDrives(disk);
  return FormApplyResult::Applied;
}

std::string CheckPartition(const PartitionLevel& level, const CPartition& object, const CPartition* extended,
                           std::uint64_t diskSectors) {
  std::string report;
  if (object.End() > diskSectors) {
    report += text::kBeyondDiskEnd;
  } else if (!MbrAddressable(object.start, object.length)) {
    report += text::kNotAddressableLine;
  }
  const std::int64_t last = LastOf(object.start, object.length);
  for (const auto& item : level.items()) {
    const CPartition& other = *item.object;
    if (&other == &object) continue;
    const bool startInside = Within(object.start, other);
    const bool endInside = Within(last, other);
    if (startInside) report += FindingLine(LoadResString(IDS_STARTS_INSIDE), other);
    if (endInside) report += FindingLine(LoadResString(IDS_ENDS_INSIDE), other);
    // A partition wholly inside this one has neither end of this one inside it.
    if (!startInside && !endInside && !other.IsFree() &&
        RunsShareSector(object.start, object.length, other.start, other.length)) {
      report += FindingLine(text::kEnclosesPartition, other);
    }
  }
  if (extended != nullptr) {
    if (object.start < extended->start || object.start > LastOf(extended->start, extended->length)) {
      report += LoadResString(IDS_LOGICAL_OUTSIDE);
    }
    if (object.length > extended->length) report += LoadResString(IDS_LOGICAL_TOO_BIG);
  }
  return report;
}

std::optional<std::string> CheckRefusal(const ResolvedObject& target) {
  if (target.object->IsFree()) return std::string(text::kFreeAreaNotCheckable);
  return std::nullopt;
}

std::optional<std::string> CheckReport(const WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt) {
  const auto target = ResolveOrReport(workingCopy, ref, prompt);
  if (!target) return std::nullopt;
  if (auto refusal = CheckRefusal(*target)) {
    prompt.Message(*refusal, PromptIcon::Stop);
    return std::nullopt;
  }
  const CPartition* extended = target->IsLogical() ? target->disk->FindExtended() : nullptr;
  const std::string report = CheckPartition(*target->level, *target->object, extended, target->disk->UsableSectors());
  return report.empty() ? LoadResString(IDS_NO_ERRORS) : report;
}

}  // namespace korvex
