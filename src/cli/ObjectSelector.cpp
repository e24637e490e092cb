#include "cli/ObjectSelector.h"

#include <cerrno>
#include <cstdlib>

#include "partition/DiskSaver.h"
#include "platform/RestartService.h"

namespace korvex {
namespace {

std::optional<unsigned long> ParseUnsigned(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  errno = 0;
  const unsigned long value = std::strtoul(text.c_str(), nullptr, 10);
  if (errno != 0 || value > UINT32_MAX) return std::nullopt;
  return value;
}

}  // namespace

CHardDisk* SelectDisk(CliSession& session, const std::string& text) {
  const auto number = ParseUnsigned(text);
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
    if (const auto start = ParseUnsigned(what.substr(2))) {
      const LevelKind level = what[0] == 'l' ? LevelKind::Logical : LevelKind::Primary;
      ref = FindObjectAt(session.workingCopy(), device, level, static_cast<std::uint32_t>(*start));
    }
  } else if (const auto key = ParseUnsigned(what); key && *key <= UINT16_MAX) {
    ref = FindObjectByKey(session.workingCopy(), device, static_cast<PartitionKey>(*key));
  }
  if (!ref) PrintError("kein Objekt \"" + what + "\" auf " + disk->DeviceName() + " (siehe \"list\")");
  return ref;
}

std::optional<ResolvedObject> SelectObject(CliSession& session, const std::string& text) {
  const auto ref = ParseObjectRef(session, text);
  return ref ? Resolve(session.workingCopy(), *ref) : std::nullopt;
}

int SaveChanges(CliSession& session) {
  const bool written = SaveModifiedDisks(session.workingCopy(), session.prompt());
  if (session.options().restart) {
    auto restart = SystemRestartService();
    OfferRestart(session.prompt(), *restart);
  }
  return written ? kExitOk : kExitFailed;
}

}  // namespace korvex
