#pragma once
// How the lost-partition search's findings read, in the analysis dialog's list and on the
// terminal: a volume with its file system, label and size, a backup boot sector, an extended
// boot record, a lost extended partition.
#include <string>

#include "analysis/LostExtended.h"
#include "analysis/ScanHit.h"

namespace korvex {

// What a hit is beyond its sector and kind, or empty: `FAT32 "DATEN" 256.00 MB`, with
// ", über die Sicherungskopie gefunden, ab Sektor N" for a volume found through its backup;
// "Sicherungskopie des Bootsektors in Sektor N"; "EBR: logisches Laufwerk ab Sektor N, Typ 0Ch".
std::string HitDetails(const ScanHit& hit);
// The list item of a hit: its sector, two blanks and its details.
std::string HitListText(const ScanHit& hit);

// "Erweiterte Partition mit N logischen Laufwerken" ("… mit 1 logischen Laufwerk").
std::string LostExtendedTitle(const LostExtended& lost);
// The list item of a lost extended partition: its start, its title and its size.
std::string LostExtendedListText(const LostExtended& lost);

}  // namespace korvex
