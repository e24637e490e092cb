// "create OBJECT --type N [--size VALUE --unit Byte|kByte|MByte|GByte]
//  [--align cylinder|track|sector] [--slot 1..4] [--menu] [--no-destructive]": the
// "Partition erzeugen" dialog for a free area. Without --size the whole free area is used.
#include <cstdio>
#include <strings.h>

#include "cli/ArgumentValues.h"
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"
#include "partition/PartitionEditing.h"

namespace korvex {
namespace {

constexpr const char* kUsage =
    "Aufruf: create FREIER-BEREICH --type N [--size WERT --unit Byte|kByte|MByte|GByte] "
    "[--align cylinder|track|sector] [--slot 1..4] [--menu] [--no-destructive]";

std::optional<CreateUnit> ParseUnit(const std::string& text) {
  const std::pair<const char*, CreateUnit> units[] = {
      {"Byte", CreateUnit::Byte},
      {"kByte", CreateUnit::KByte},
      {"MByte", CreateUnit::MByte},
      {"GByte", CreateUnit::GByte}};
  for (const auto& [name, unit] : units) {
    if (::strcasecmp(text.c_str(), name) == 0) return unit;
  }
  return std::nullopt;
}

std::optional<CreateAlignment> ParseAlignment(const std::string& text) {
  if (text == "cylinder") return CreateAlignment::Cylinder;
  if (text == "track") return CreateAlignment::Track;
  if (text == "sector") return CreateAlignment::Sector;
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
  const auto selected = SelectObject(session, arguments[0]);
  if (!selected) return kExitUsage;
  if (request->tableEntry && (request->toMenu || selected->IsLogical())) {
    PrintError("create: --slot gilt nur für Partitionen der Partitionstabelle, nicht mit --menu oder im "
               "erweiterten Bereich");
    return kExitUsage;
  }
  CHardDisk& disk = *selected->disk;
  CPartition& area = *selected->object;
  if (area.IsFree() && !selected->IsLogical() && !CanCreatePrimary(disk, session.prompt())) return kExitFailed;
  if (!CreatePartition(disk, area, selected->IsLogical(), *request, session.prompt())) return kExitFailed;
  // Keys are drawn afresh by every run; the start names the new object for the next command too.
  std::printf("%u:%c@%u  Länge %u\n", static_cast<unsigned>(disk.DeviceNumber()), selected->IsLogical() ? 'l' : 'p',
              area.start, area.length);
  return SaveChanges(session);
}

}  // namespace korvex
