// "list": the working copy of every disk, as text or as JSON.
#include <cstdio>

#include "bootengine/EngineConfig.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/PendingOutput.h"
#include "disk/FormatSize.h"
#include "platform/Cp437.h"
#include "platform/StringFormat.h"
#include "platform/TransferErrors.h"
#include "shell/ObjectDetails.h"

namespace korvex {
namespace {

std::uint64_t Bytes(std::uint32_t sectors) { return std::uint64_t{sectors} * 512; }

void WriteObjectJson(JsonWriter& json, PartitionKey key, const CPartition& p, bool logical,
                     const ObjectDetails& details) {
  json.BeginObject()
      .Field("key", std::int64_t{key})
      .Field("state", StateName(p.state))
      .Field("slot", std::int64_t{p.slot})
      .Field("type", std::int64_t{p.type})
      .Field("start", std::int64_t{p.start})
      .Field("length", std::int64_t{p.length})
      .Field("size", FormatSize(Bytes(p.length)))
      .Field("title", Cp437ToUtf8(p.GetTitle()))
      .Field("default", p.isDefault)
      .Field("password", p.passwordSet)
      .Field("new", p.isNew)
      .Field("typeName", details.typeName)
      .Field("fileSystem", FileSystemName(details.fileSystem))
      .Field("label", details.volumeLabel);
  json.Key("number");
  if (details.number) {
    json.Number(std::int64_t{*details.number});
  } else {
    json.Null();
  }
  if (logical && !p.IsFree()) {
    json.Field("ebr", std::int64_t{p.start})
        .Field("dataStart", static_cast<std::int64_t>(p.DataStart()))
        .Field("dataLength", std::int64_t{p.DataLength()});
  }
  json.EndObject();
}

// The engine's configuration and its menu entries in menu order (keys as in the levels).
void WriteEngineConfigJson(JsonWriter& json, const CHardDisk& disk) {
  const EngineConfig config = ReadEngineConfig(disk);
  json.Key("engineConfig")
      .BeginObject()
      .Field("timeout", std::int64_t{config.timeoutSeconds})
      .Field("autoboot", config.autoboot)
      .Field("menuColour", std::int64_t{config.menuColour})
      .Field("barColour", std::int64_t{config.barColour})
      .Field("defaultEntry", std::int64_t{config.defaultEntry})
      .Field("rememberLast", config.rememberLast)
      .Field("directBoot", std::int64_t{config.directBoot});
  json.Key("menu").BeginArray();
  std::int64_t position = 0;
  for (const CPartition* entry : disk.MenuObjectsBySlot()) {
    json.BeginObject()
        .Field("position", position++)
        .Field("key", std::int64_t{disk.primary.KeyOf(entry)})
        .Field("title", Cp437ToUtf8(entry->GetTitle()))
        .EndObject();
  }
  json.EndArray().EndObject();
}

void WriteLevelJson(JsonWriter& json, const char* name, CHardDisk& disk, LevelKind kind, ObjectDetailsSource& details) {
  const bool logical = kind == LevelKind::Logical;
  json.Key(name).BeginArray();
  for (const auto& item : (logical ? disk.logical : disk.primary).items()) {
    WriteObjectJson(json, item.key, *item.object, logical, details.Of(disk, kind, *item.object));
  }
  json.EndArray();
}

std::string ListJson(const WorkingCopy& workingCopy, ObjectDetailsSource& details, const RegistryStore& registry) {
  JsonWriter json;
  json.BeginObject().Key("disks").BeginArray();
  for (const auto& [device, disk] : workingCopy.disks()) {
    json.BeginObject()
        .Field("device", device)
        .Field("label", disk->label)
        .Field("cylinders", disk->Cylinders())
        .Field("heads", std::int64_t{disk->Heads()})
        .Field("sectors", std::int64_t{disk->SectorsPerTrack()})
        .Field("capacity", static_cast<std::int64_t>(disk->Capacity()))
        .Field("lastSector", static_cast<std::int64_t>(disk->LastSector()))
        .Field("engine", disk->EngineInstalled())
        .Field("gpt", disk->gpt)
        .Field("engineDamaged", disk->engineDamaged)
        .Field("logicalChainBroken", disk->logicalChainBroken)
        .Field("modified", disk->IsModified());
    json.Key("readErrors").BeginArray();
    for (const ReadFailure& failure : disk->readFailures) {
      json.BeginObject()
          .Field("sector", std::int64_t{failure.lba})
          .Field("count", std::int64_t{failure.count})
          .Field("error", TransferErrorText(failure.error))
          .EndObject();
    }
    json.EndArray();
    if (disk->EngineInstalled()) WriteEngineConfigJson(json, *disk);
    WriteLevelJson(json, "primary", *disk, LevelKind::Primary, details);
    WriteLevelJson(json, "logical", *disk, LevelKind::Logical, details);
    json.EndObject();
  }
  json.EndArray();
  WritePendingJson(json, PendingOperations(workingCopy, registry));
  json.EndObject();
  return json.str();
}

void PrintObject(PartitionKey key, const CPartition& p, bool logical, const ObjectDetails& details) {
  std::string flags;
  if (p.isDefault) flags += " Standard";
  if (p.passwordSet) flags += " Passwort";
  if (p.isNew) flags += " neu";
  std::printf("    %5u  %-11s %4u  %3u  %10u  %10u  %12s", key, StateName(p.state), p.slot, p.type, p.start,
              p.length, FormatSize(Bytes(p.length)).c_str());
  if (logical && !p.IsFree()) {
    std::printf("  EBR %u, Daten %llu+%u", p.start, static_cast<unsigned long long>(p.DataStart()), p.DataLength());
  }
  const std::string title = p.GetTitle();
  if (!title.empty()) std::printf("  \"%s\"", Cp437ToUtf8(title).c_str());
  if (const std::string more = DetailsText(details); !more.empty()) std::printf("  %s", more.c_str());
  std::printf("%s\n", flags.c_str());
}

void PrintLevel(const char* name, CHardDisk& disk, LevelKind kind, ObjectDetailsSource& details) {
  const bool logical = kind == LevelKind::Logical;
  const PartitionLevel& level = logical ? disk.logical : disk.primary;
  if (level.empty()) return;
  std::printf("  %s:\n    %5s  %-11s %4s  %3s  %10s  %10s  %12s\n", name, "Key", "Zustand", "Slot", "Typ", "Start",
              "Länge", "Größe");
  for (const auto& item : level.items()) {
    PrintObject(item.key, *item.object, logical, details.Of(disk, kind, *item.object));
  }
}

void PrintEngineConfig(const CHardDisk& disk) {
  const EngineConfig config = ReadEngineConfig(disk);
  std::printf("  Bootmanager: Autoboot %s nach %u s, Farben Menü %02Xh / Balken %02Xh, Standardeintrag %u%s%s\n",
              config.autoboot ? "an" : "aus", config.timeoutSeconds, config.menuColour, config.barColour,
              config.defaultEntry, config.rememberLast ? ", letzte Wahl merken" : "",
              config.directBoot != 0 ? ", Direktstart" : "");
  unsigned position = 0;
  for (const CPartition* entry : disk.MenuObjectsBySlot()) {
    std::printf("    Menü %2u: Key %u  \"%s\"\n", position++, disk.primary.KeyOf(entry),
                Cp437ToUtf8(entry->GetTitle()).c_str());
  }
}

void PrintText(const WorkingCopy& workingCopy, ObjectDetailsSource& details) {
  if (workingCopy.disks().empty()) std::printf("Keine Festplatte gefunden.\n");
  for (const auto& [device, disk] : workingCopy.disks()) {
    std::printf("%s  %s\n", device.c_str(), disk->label.c_str());
    std::printf("  Geometrie %lld/%u/%u, %s, Bootmanager %s%s%s\n", static_cast<long long>(disk->Cylinders()),
                disk->Heads(), disk->SectorsPerTrack(), FormatSize(disk->Capacity()).c_str(),
                disk->EngineInstalled() ? "installiert" : "nicht installiert", disk->gpt ? ", GPT-Schutzeintrag" : "",
                disk->IsModified() ? ", geändert" : "");
    if (disk->engineDamaged) std::printf("  Bootmanager beschädigt: die Tabellen wurden aus Sektor 0 gelesen\n");
    for (const ReadFailure& failure : disk->readFailures) {
      std::printf("  Lesefehler bei Sektor %u (%u Sektoren): %s - nicht gelesen, wird nicht gespeichert\n", failure.lba,
                  failure.count, TransferErrorText(failure.error).c_str());
    }
    if (disk->logicalChainBroken) {
      std::printf("  Kette der logischen Laufwerke defekt - nicht gelesen, wird nicht gespeichert\n");
    }
    if (disk->EngineInstalled()) PrintEngineConfig(*disk);
    PrintLevel("Primär", *disk, LevelKind::Primary, details);
    PrintLevel("Logisch", *disk, LevelKind::Logical, details);
  }
}

}  // namespace

int RunList(CliSession& session, const Arguments& arguments) {
  bool json = false;
  for (const auto& argument : arguments) {
    if (argument != "--json") {
      PrintError("list: unbekanntes Argument " + argument);
      return kExitUsage;
    }
    json = true;
  }
  ObjectDetailsSource details(session.workingCopy(), session.registry());
  if (json) {
    std::printf("%s\n", ListJson(session.workingCopy(), details, session.registry()).c_str());
  } else {
    PrintText(session.workingCopy(), details);
  }
  return kExitOk;
}

}  // namespace korvex
