// "sector DISK LBA": one sector as the hex view shows it (addresses, hex digits, characters).
#include <cstdio>

#include "analysis/DriveSectors.h"
#include "analysis/HexViewText.h"
#include "cli/ArgumentValues.h"
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"

namespace korvex {

int RunSector(CliSession& session, const Arguments& arguments) {
  const auto lba = arguments.size() == 2 ? ParseNumber(arguments[1], UINT64_MAX) : std::nullopt;
  if (!lba) {
    PrintError("Aufruf: sector FESTPLATTE SEKTOR");
    return kExitUsage;
  }
  CHardDisk* disk = SelectDisk(session, arguments[0]);
  if (disk == nullptr) return kExitUsage;
  DriveSectors sectors(*disk, SearchSectors(*disk));
  SectorBytes bytes{};
  if (!sectors.ReadSector(*lba, bytes)) {
    PrintError("Sektor " + arguments[1] + " von " + disk->DeviceName() + " kann nicht gelesen werden (Lesefehler oder "
               "hinter dem Ende der Festplatte mit " + std::to_string(sectors.MediumSectors()) + " Sektoren).");
    return kExitFailed;
  }
  std::fputs(HexViewText(bytes).c_str(), stdout);
  return kExitOk;
}

}  // namespace korvex
