// "adopt DISK SECTOR [--type N]" ("Übernehmen"): the volume that the search reports at SECTOR
// becomes a partition of the working copy again (a logical drive inside the extended
// partition, else a partition-table partition), with the type that fits its file system unless
// --type gives one; a lost extended partition that begins at SECTOR comes back whole, with all
// its logical drives. Where nothing at SECTOR itself tells (an extended boot record, a lost first
// sector) this runs the search, with a progress bar on a terminal. Then the disk is saved.
#include <cstdio>

#include "analysis/AdoptHit.h"
#include "cli/ArgumentValues.h"
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"
#include "cli/TerminalProgress.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

void PrintAdopted(const CHardDisk& disk, const CPartition& adopted, bool logical) {
  std::printf("%u:%c@%u  Länge %u  Typ %u\n", static_cast<unsigned>(disk.DeviceNumber()), logical ? 'l' : 'p',
              adopted.start, adopted.length, static_cast<unsigned>(adopted.type));
  if (adopted.bootSectorRestore) {
    std::printf("%s\n", StrFormat(text::kAdoptBootSectorRestored, adopted.bootSectorRestore->lba).c_str());
  }
}

}  // namespace

int RunAdopt(CliSession& session, const Arguments& arguments) {
  constexpr const char* kUsage = "Aufruf: adopt FESTPLATTE SEKTOR [--type N]";
  const bool typeGiven = arguments.size() == 4 && arguments[2] == "--type";
  if (arguments.size() != 2 && !typeGiven) {
    PrintError(kUsage);
    return kExitUsage;
  }
  const auto sector = ParseNumber(arguments[1], UINT64_MAX);
  const auto type = typeGiven ? ParseNumber(arguments[3], UINT8_MAX) : std::optional<std::uint64_t>();
  if (!sector || (typeGiven && !type)) {
    PrintError(kUsage);
    return kExitUsage;
  }
  CHardDisk* disk = SelectDisk(session, arguments[0]);
  if (disk == nullptr) return kExitUsage;
  const std::optional<std::uint8_t> chosenType =
      type ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(*type)) : std::nullopt;
  const auto hit = HitAtSector(*disk, *sector);
  CPartition* adopted = nullptr;
  if (hit && (hit->DescribesVolume() || !hit->record)) {
    adopted = AdoptHit(*disk, *hit, chosenType, {}, session.prompt());
  } else {
    // An extended boot record, or nothing left where a lost first record or boot sector lay:
    // only the whole search tells what began there.
    StopFlag stop;
    TerminalProgress progress;
    InterruptRaisesStop interrupt(stop);
    adopted = SearchAndAdopt(*disk, *sector, chosenType, progress, stop, session.prompt());
  }
  if (adopted == nullptr) return kExitFailed;
  const bool logical = disk->logical.KeyOf(adopted) != 0;
  PrintAdopted(*disk, *adopted, logical);
  if (adopted->IsExtended()) {
    for (const CPartition* drive : disk->logical.Used()) PrintAdopted(*disk, *drive, true);
  }
  return SaveChanges(session);
}

}  // namespace korvex
