// "create OBJECT --type N [--size VALUE --unit Byte|kByte|MByte|GByte]
//  [--align cylinder|track|sector|mib] [--slot 1..4] [--menu] [--no-destructive]": the
// "Partition erzeugen" dialog for a free area. Without --size the whole free area is used;
// without --align the disk's default alignment applies (1 MiB on a disk laid out that way).
#include <cstdio>
#include <strings.h>

#include "cli/ArgumentValues.h"
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"
#include "partition/PartitionEditing.h"
#include "shell/CreatePartitionForm.h"

namespace korvex {
namespace {

constexpr const char* kUsage =
    "Aufruf: create FREIER-BEREICH --type N [--size WERT --unit Byte|kByte|MByte|GByte] "
    "[--align cylinder|track|sector|mib] [--slot 1..4] [--menu] [--no-destructive]";

// The unit names of the dialog's unit box, in any case.
std::optional<CreateUnit> ParseUnit(const std::string& text) {
  const std::vector<std::string>& names = CreateUnitNames();
  for (std::size_t unit = 0; unit < names.size(); ++unit) {
    if (::strcasecmp(text.c_str(), names[unit].c_str()) == 0) return static_cast<CreateUnit>(unit);
  }
  return std::nullopt;
}

std::optional<CreateAlignment> ParseAlignment(const std::string& text) {
  if (text == "cylinder") return CreateAlignment::Cylinder;
  if (text == "track") return CreateAlignment::Track;
  if (text == "sector") return CreateAlignment::Sector;
  if (::strcasecmp(text.c_str(), "mib") == 0) return CreateAlignment::MiB;
  return std::nullopt;
}

// The request the options describe; nothing after reporting a usage error.
std::optional<CreateRequest> ParseRequest(const Arguments& arguments) {
  CreateRequest request;
  bool typeGiven = false;
  bool unitGiven = false;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    if (option == "--menu") {
      request.toMenu = true;
      continue;
    }
    if (option == "--no-destructive") {
      request.destructive = false;
      continue;
    }
    if (i + 1 >= arguments.size()) {
      PrintError("create: " + option + (option.rfind("--", 0) == 0 ? ": der Wert fehlt" : ": unbekanntes Argument"));
      return std::nullopt;
    }
    const std::string& value = arguments[++i];
    bool good = false;
    if (option == "--type") {
      const auto type = ParseNumber(value, UINT8_MAX);
      if ((good = type.has_value())) request.type = static_cast<std::uint8_t>(*type);
      typeGiven = true;
    } else if (option == "--size") {
      const auto size = ParseDecimal(value);
      if ((good = size.has_value())) request.value = *size;
      request.wholeSpace = false;
    } else if (option == "--unit") {
      const auto unit = ParseUnit(value);
      if ((good = unit.has_value())) request.unit = *unit;
      unitGiven = true;
    } else if (option == "--align") {
      const auto alignment = ParseAlignment(value);
      if ((good = alignment.has_value())) request.alignment = *alignment;
    } else if (option == "--slot") {
      const auto entry = ParseNumber(value, 4);
      if ((good = entry.has_value() && *entry >= 1)) request.tableEntry = static_cast<std::uint8_t>(*entry);
    } else {
      PrintError("create: unbekanntes Argument " + option);
      return std::nullopt;
    }
    if (!good) {
      PrintError("create: " + option + ": ungültiger Wert \"" + value + "\"");
      return std::nullopt;
    }
  }
  const bool sizeGiven = !request.wholeSpace;
  if (!typeGiven || sizeGiven != unitGiven) {  // --type is required; --size and --unit come together
    PrintError(kUsage);
    return std::nullopt;
  }
  return request;
}

}  // namespace

int RunCreate(CliSession& session, const Arguments& arguments) {
  if (arguments.empty()) {
    PrintError(kUsage);
    return kExitUsage;
  }
  const auto request = ParseRequest(arguments);
  if (!request) return kExitUsage;
  const auto freeArea = ParseObjectRef(session, arguments[0]);
  if (!freeArea) return kExitUsage;
  if (!CreateInFreeArea(session.workingCopy(), *freeArea, *request, session.prompt())) return kExitFailed;
  // The free area's object became the new one. Keys are drawn afresh by every run; the start
  // names the new object for the next command too.
  const CPartition& created = *Resolve(session.workingCopy(), *freeArea)->object;
  std::printf("%u:%c@%u  Länge %u\n", freeArea->device, freeArea->level == LevelKind::Logical ? 'l' : 'p',
              created.start, created.length);
  return SaveChanges(session);
}

}  // namespace korvex
