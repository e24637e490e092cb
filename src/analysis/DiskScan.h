#pragma once
// The lost-partition search ("Festplattenanalyse"): reads a whole disk cylinder by cylinder and
// lists every sector with the boot signature and every trace of a file system, in disk order.
// It only reads; neither the disk nor the working copy changes.
#include <functional>
#include <vector>

#include "analysis/LostExtended.h"
#include "analysis/ScanHit.h"
#include "disk/CPhysicalDrive.h"
#include "platform/LongWork.h"

namespace korvex {

// What one run found. A run starts a new list: results are cleared when it starts, so a search
// that was cancelled and started again never lists a hit twice.
struct ScanResults {
  std::vector<ScanHit> hits;          // in disk order of their sectors
  std::vector<SectorRun> unreadable;  // in disk order, adjacent runs joined
  std::uint64_t searchedSectors = 0;  // the sectors the run covers
  // The extended partitions the hits describe; only after a search that reached the end.
  std::vector<LostExtended> extended;
};

// Called on the searching thread for each hit as soon as its place in disk order is certain
// (hits near a cylinder's end wait for the next cylinder, whose superblock or swap signature
// might name an earlier sector).
using HitCallback = std::function<void(const ScanHit&)>;

// Searches drive from sector 0 to the real end of the medium. Progress: the range is the
// number of sectors; per cylinder the position (set before the cylinder is read) and the
// status texts "Lese ab Sektor P", "Suchen ...", "Treffer" for each hit, and at the end
// "Suche beendet" (or "Suche abgebrochen"); the estimate per cylinder. stop is read once
// per cylinder, after the cylinder was read; the hits up to then stay in results. Unreadable
// sectors are skipped and listed, and the search goes on. Outcomes: done (with a warning text
// when sectors could not be read), cancelled (no text), failed when the disk cannot be read.
WorkOutcome ScanDisk(CPhysicalDrive& drive, ScanResults& results, IProgressSink& progress, const StopFlag& stop,
                     const HitCallback& onHit);

}  // namespace korvex
