#include "cli/ObjectSelector.h"

#include "cli/PendingOutput.h"
#include "partition/DiskSaver.h"
#include "platform/NumberText.h"
#include "platform/RestartService.h"

namespace korvex {

CHardDisk* SelectDisk(CliSession& session, const std::string& text) {
  const auto number = ParseNumber(text, UINT32_MAX);
  CHardDisk* disk = number ? session.workingCopy().Find(static_cast<unsigned>(*number)) : nullptr;
  if (disk == nullptr) PrintError("keine Festplatte " + text + " (erwartet: Gerätenummer wie in \"list\", z.B. 0)");
  return disk;
}

std::optional<ObjectRef> ParseObjectRef(CliSession& session, const std::string& text) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) {
    PrintError("\"" + text + "\" benennt kein Objekt (erwartet: FESTPLATTE:KEY oder FESTPLATTE:p@SEKTOR)");
    return std::nullopt;
  }
  const CHardDisk* disk = SelectDisk(session, text.substr(0, colon));
  if (disk == nullptr) return std::nullopt;
  const unsigned device = disk->DeviceNumber();
  const std::string what = text.substr(colon + 1);
  std::optional<ObjectRef> ref;
  if (what.size() > 2 && (what[0] == 'p' || what[0] == 'l') && what[1] == '@') {
    if (const auto start = ParseNumber(what.substr(2), UINT32_MAX)) {
      const LevelKind level = what[0] == 'l' ? LevelKind::Logical : LevelKind::Primary;
      ref = FindObjectAt(session.workingCopy(), device, level, static_cast<std::uint32_t>(*start));
    }
  } else if (const auto key = ParseNumber(what, UINT16_MAX)) {
    ref = FindObjectByKey(session.workingCopy(), device, static_cast<PartitionKey>(*key));
  }
  if (!ref) PrintError("kein Objekt \"" + what + "\" auf " + disk->DeviceName() + " (siehe \"list\")");
  return ref;
}

std::optional<ResolvedObject> SelectObject(CliSession& session, const std::string& text) {
  const auto ref = ParseObjectRef(session, text);
  return ref ? Resolve(session.workingCopy(), *ref) : std::nullopt;
}

int SaveChanges(CliSession& session, std::optional<unsigned> device) {
  if (session.options().dryRun) return ReportDryRun(session, device);
  if (device) return SaveSingleDisk(*session.workingCopy().Find(*device), session.prompt()) ? kExitOk : kExitFailed;
  if (!session.options().restart) return SaveModifiedDisks(session.workingCopy(), session.prompt()) ? kExitOk : kExitFailed;
  const auto restart = SystemRestartService();
  return SaveAll(session.workingCopy(), session.prompt(), *restart) ? kExitOk : kExitFailed;
}

}  // namespace korvex
