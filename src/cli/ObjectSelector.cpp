#include "cli/ObjectSelector.h"

#include "cli/Commands.h"
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

std::optional<ObjectName> ParseObjectName(const std::string& text) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  ObjectName name{text.substr(0, colon)};
  const std::string_view what = std::string_view(text).substr(colon + 1);
  std::optional<std::uint64_t> number;
  if (what.size() > 2 && (what[0] == 'p' || what[0] == 'l') && what[1] == '@') {
    name.kind = what[0] == 'l' ? ObjectName::Kind::LogicalAt : ObjectName::Kind::PrimaryAt;
    number = ParseNumber(what.substr(2), UINT32_MAX);
  } else {
    number = ParseNumber(what, UINT16_MAX);
  }
  if (!number) return std::nullopt;
  name.number = *number;
  return name;
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
  std::optional<ObjectRef> ref;
  if (const auto name = ParseObjectName(text)) {
    if (name->kind == ObjectName::Kind::Key) {
      ref = FindObjectByKey(session.workingCopy(), device, static_cast<PartitionKey>(name->number));
    } else {
      const LevelKind level = name->kind == ObjectName::Kind::LogicalAt ? LevelKind::Logical : LevelKind::Primary;
      ref = FindObjectAt(session.workingCopy(), device, level, static_cast<std::uint32_t>(name->number));
    }
  }
  if (!ref) PrintError("kein Objekt \"" + text.substr(colon + 1) + "\" auf " + disk->DeviceName() + " (siehe \"list\")");
  return ref;
}

std::optional<ObjectRef> TheOneObject(CliSession& session, const std::vector<std::string>& arguments,
                                      std::string_view command) {
  if (arguments.size() != 1) {
    PrintError(CommandUsage(command));
    return std::nullopt;
  }
  return ParseObjectRef(session, arguments[0]);
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
