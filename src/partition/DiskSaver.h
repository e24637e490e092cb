#pragma once
// Saving the working copy: one disk (WriteDisk), every modified disk with the restart question
// (SaveAll), and the save of a single chosen disk.
#include "partition/CHardDisk.h"
#include "partition/WorkingCopy.h"
#include "platform/MountedRanges.h"
#include "platform/Prompt.h"
#include "platform/RestartService.h"

namespace korvex {

// Writes one disk: refuses a GPT disk, a changed geometry, table partitions without a distinct
// entry, more than 12 menu entries and logical drives outside the extended partition before
// anything is written. The extended chain, the zeroing of new destructive partitions and the
// engine area go first and sector 0 last, so an interrupted save leaves the old tables readable.
// A save that would change sectors under a file system this machine has mounted (found
// through mounts) is refused before the first write. A failed write is reported (disk, sector)
// and leaves the disk modified, its working copy as it was before the save. True when every
// sector was written; the disk as written is then the measure of its pending changes.
bool WriteDisk(CHardDisk& disk, CPrompt& prompt, const MountSources& mounts = {});

// Writes every modified disk (after the banner version digit is set) in the map's order; true
// when all of them were written.
bool SaveModifiedDisks(WorkingCopy& workingCopy, CPrompt& prompt, const MountSources& mounts = {});

// Asks whether to restart now, "Nein" being the default; yes restarts through service (missing
// rights are reported), no reminds the user to restart.
void OfferRestart(CPrompt& prompt, IRestartService& service);

// "Speichern": SaveModifiedDisks, then the restart question when a block device of this
// machine was written (never for image files alone, nor when nothing was written).
bool SaveAll(WorkingCopy& workingCopy, CPrompt& prompt, IRestartService& service);

// The save of one chosen disk: refused for the first disk when its engine has an empty menu.
bool SaveSingleDisk(CHardDisk& disk, CPrompt& prompt);

}  // namespace korvex
