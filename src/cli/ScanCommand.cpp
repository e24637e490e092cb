// "scan DISK [--json]": the lost-partition search on one disk. Lists every hit with its sector,
// kind, file system, label and range (as text, each as soon as it is found), and the sectors
// that could not be read. A progress bar on a terminal; Ctrl-C ends the search, and the hits
// found until then are listed.
#include <unistd.h>

#include <cstdio>

#include "analysis/DiskScan.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/ObjectSelector.h"
#include "cli/TerminalProgress.h"
#include "disk/FormatSize.h"
#include "platform/StringFormat.h"

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

void PrintJson(unsigned diskNumber, const ScanResults& results) {
  JsonWriter json;
  json.BeginObject().Field("disk", std::int64_t{diskNumber}).Key("hits").BeginArray();
  for (const ScanHit& hit : results.hits) {
    json.BeginObject()
        .Field("sector", static_cast<std::int64_t>(hit.sector))
        .Field("kind", std::int64_t{static_cast<std::uint8_t>(hit.kind)});
    if (hit.fileSystem == FileSystemKind::None) {
      json.Key("fileSystem").Null().Key("label").Null();
    } else {
      json.Field("fileSystem", FileSystemName(hit.fileSystem)).Field("label", hit.label);
    }
    if (hit.range) {
      json.Field("start", static_cast<std::int64_t>(hit.range->start))
          .Field("length", static_cast<std::int64_t>(hit.range->length));
    } else {
      json.Key("start").Null().Key("length").Null();
    }
    json.EndObject();
  }
  json.EndArray().Key("unreadable").BeginArray();
  for (const SectorRun& run : results.unreadable) {
    json.BeginArray().Number(static_cast<std::int64_t>(run.first)).Number(static_cast<std::int64_t>(run.count)).EndArray();
  }
  json.EndArray().EndObject();
  std::printf("%s\n", json.str().c_str());
}

// One line per hit, printed as the hit is found; on a terminal the progress bar's line is
// cleared first, and the bar is drawn again below the hit.
void PrintHit(const ScanHit& hit) {
  std::string line = StrFormat("Sektor %llu: %u %s", static_cast<unsigned long long>(hit.sector),
                               static_cast<unsigned>(hit.kind), KindName(hit.kind));
  if (hit.fileSystem != FileSystemKind::None) line += StrFormat(" %s \"%s\"", FileSystemName(hit.fileSystem), hit.label.c_str());
  if (hit.range) {
    line += StrFormat(", Sektor %llu bis %llu (%llu Sektoren, %s)", static_cast<unsigned long long>(hit.range->start),
                      static_cast<unsigned long long>(hit.range->End() - 1),
                      static_cast<unsigned long long>(hit.range->length), FormatSize(hit.range->length * 512).c_str());
  } else if (hit.kind == HitKind::FileSystem) {
    line += ", ohne gültigen Bereich";
  }
  std::printf("%s%s\n", isatty(fileno(stdout)) != 0 ? "\r\x1b[K" : "", line.c_str());
  std::fflush(stdout);
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
  }
  ShowOutcome(outcome, session.prompt());
  if (outcome.end == WorkEnd::Cancelled) PrintError("Die Suche wurde abgebrochen; aufgeführt sind die Treffer bis dahin.");
  return outcome.Succeeded() ? kExitOk : kExitFailed;
}

}  // namespace korvex
