// "scan DISK [--json]": the lost-partition search on one disk. Lists every hit with its sector,
// kind, file system, label and range (as text, each as soon as it is found), the sectors that
// could not be read, and after a complete search the lost extended partitions with their
// logical drives. A progress bar on a terminal; Ctrl-C ends the search, and the hits found until
// then are listed.
#include <unistd.h>

#include <cstdio>

#include "analysis/DiskScan.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/ObjectSelector.h"
#include "cli/TerminalProgress.h"
#include "disk/FormatSize.h"
#include "platform/DiskGeometry.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"
#include "shell/ScanHitText.h"

namespace korvex {
namespace {

const char* KindName(HitKind kind) {
  switch (kind) {
    case HitKind::OtherSignature: return "Signatur";
    case HitKind::FileSystem: return "Dateisystem";
    case HitKind::PartitionTable: return "Partitionstabelle";
    case HitKind::BootSector: return "Bootsektor";
  }
  return "";
}

std::int64_t Signed(std::uint64_t value) { return static_cast<std::int64_t>(value); }

void JsonRecord(JsonWriter& json, const ScanHit& hit) {
  json.Key("record");
  if (!hit.record) {
    json.Null();
    return;
  }
  json.BeginObject();
  if (hit.record->HasDrive()) {
    json.Field("driveStart", Signed(hit.sector + hit.record->driveOffset))
        .Field("driveLength", std::int64_t{hit.record->driveLength})
        .Field("driveType", std::int64_t{hit.record->driveType});
  }
  if (hit.record->HasLink()) json.Field("linkOffset", std::int64_t{hit.record->linkOffset});
  json.EndObject();
}

void JsonLostExtended(JsonWriter& json, const LostExtended& lost) {
  json.BeginObject()
      .Field("start", Signed(lost.range.start))
      .Field("length", Signed(lost.range.length))
      .Field("type", std::int64_t{lost.type})
      .Key("drives")
      .BeginArray();
  for (const LostDrive& drive : lost.drives) {
    json.BeginObject()
        .Field("record", Signed(drive.record))
        .Field("recordFound", drive.recordFound)
        .Field("start", Signed(drive.data.start))
        .Field("length", Signed(drive.data.length))
        .Field("type", std::int64_t{drive.type});
    if (drive.fileSystem == FileSystemKind::None) {
      json.Key("fileSystem").Null().Key("label").Null();
    } else {
      json.Field("fileSystem", FileSystemName(drive.fileSystem)).Field("label", drive.label);
    }
    json.EndObject();
  }
  json.EndArray().EndObject();
}

void PrintJson(unsigned diskNumber, const ScanResults& results) {
  JsonWriter json;
  json.BeginObject().Field("disk", std::int64_t{diskNumber}).Key("hits").BeginArray();
  for (const ScanHit& hit : results.hits) {
    json.BeginObject().Field("sector", Signed(hit.sector)).Field("kind", std::int64_t{static_cast<std::uint8_t>(hit.kind)});
    if (hit.fileSystem == FileSystemKind::None) {
      json.Key("fileSystem").Null().Key("label").Null();
    } else {
      json.Field("fileSystem", FileSystemName(hit.fileSystem)).Field("label", hit.label);
    }
    if (hit.range) {
      json.Field("start", Signed(hit.range->start)).Field("length", Signed(hit.range->length));
    } else {
      json.Key("start").Null().Key("length").Null();
    }
    json.Field("throughBackup", hit.throughBackup).Key("copyOf");
    if (hit.copyOf) {
      json.Number(Signed(*hit.copyOf));
    } else {
      json.Null();
    }
    JsonRecord(json, hit);
    json.EndObject();
  }
  json.EndArray().Key("unreadable").BeginArray();
  for (const SectorRun& run : results.unreadable) {
    json.BeginArray().Number(Signed(run.first)).Number(Signed(run.count)).EndArray();
  }
  json.EndArray().Key("extended").BeginArray();
  for (const LostExtended& lost : results.extended) JsonLostExtended(json, lost);
  json.EndArray().EndObject();
  std::printf("%s\n", json.str().c_str());
}

std::string RangeText(const VolumeRange& range) {
  return StrFormat("Sektor %llu bis %llu (%llu Sektoren, %s)", static_cast<unsigned long long>(range.start),
                   static_cast<unsigned long long>(range.End() - 1), static_cast<unsigned long long>(range.length),
                   FormatSize(range.length * kSectorSize).c_str());
}

// One line per hit, printed as the hit is found; on a terminal the progress bar's line is
// cleared first, and the bar is drawn again below the hit.
void PrintHit(const ScanHit& hit) {
  std::string line = StrFormat("Sektor %llu: %u %s", static_cast<unsigned long long>(hit.sector),
                               static_cast<unsigned>(hit.kind), KindName(hit.kind));
  if (hit.fileSystem != FileSystemKind::None) line += StrFormat(" %s \"%s\"", FileSystemName(hit.fileSystem), hit.label.c_str());
  if (hit.range) {
    line += ", " + RangeText(*hit.range);
    if (hit.throughBackup) line += std::string(", ") + text::kScanThroughBackup;
  } else if (hit.kind == HitKind::FileSystem) {
    line += ", ohne gültigen Bereich";
  } else if (const std::string details = HitDetails(hit); !details.empty()) {
    line += ", " + details;
  }
  std::printf("%s%s\n", isatty(fileno(stdout)) != 0 ? "\r\x1b[K" : "", line.c_str());
  std::fflush(stdout);
}

void PrintLostExtended(const ScanResults& results) {
  for (const LostExtended& lost : results.extended) {
    std::printf("%s: %s, Typ %02Xh\n", LostExtendedTitle(lost).c_str(), RangeText(lost.range).c_str(),
                static_cast<unsigned>(lost.type));
    for (const LostDrive& drive : lost.drives) {
      std::string line = StrFormat("  logisches Laufwerk: EBR in Sektor %llu%s, %s, Typ %02Xh",
                                   static_cast<unsigned long long>(drive.record), drive.recordFound ? "" : " (verloren)",
                                   RangeText(drive.data).c_str(), static_cast<unsigned>(drive.type));
      if (drive.fileSystem != FileSystemKind::None) {
        line += StrFormat(", %s \"%s\"", FileSystemName(drive.fileSystem), drive.label.c_str());
      }
      std::printf("%s\n", line.c_str());
    }
  }
}

void PrintUnreadable(const ScanResults& results) {
  for (const SectorRun& run : results.unreadable) {
    std::printf("Nicht lesbar: Sektor %llu bis %llu\n", static_cast<unsigned long long>(run.first),
                static_cast<unsigned long long>(run.first + run.count - 1));
  }
}

}  // namespace

int RunScan(CliSession& session, const Arguments& arguments) {
  const bool json = arguments.size() == 2 && arguments[1] == "--json";
  if (arguments.empty() || arguments.size() > 2 || (arguments.size() == 2 && !json)) {
    PrintError("Aufruf: scan FESTPLATTE [--json]");
    return kExitUsage;
  }
  CHardDisk* disk = SelectDisk(session, arguments[0]);
  if (disk == nullptr) return kExitUsage;
  ScanResults results;
  StopFlag stop;
  WorkOutcome outcome;
  {
    TerminalProgress progress;
    InterruptRaisesStop interrupt(stop);
    outcome = ScanDisk(*disk, results, progress, stop, json ? HitCallback() : HitCallback(PrintHit));
  }
  if (json) {
    PrintJson(disk->DeviceNumber(), results);
  } else {
    PrintUnreadable(results);
    PrintLostExtended(results);
  }
  ShowOutcome(outcome, session.prompt());
  if (outcome.end == WorkEnd::Cancelled) PrintError("Die Suche wurde abgebrochen; aufgeführt sind die Treffer bis dahin.");
  return outcome.Succeeded() ? kExitOk : kExitFailed;
}

}  // namespace korvex
