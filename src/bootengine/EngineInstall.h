#pragma once
// Installing the boot engine into a disk's working copy: the templates go into the two images
// and up to four of the first primary-level objects become the boot menu. Nothing reaches the
// disk before the save, except the optional backup file of the disk's first two sectors.
#include <string>
#include <vector>

#include "partition/CHardDisk.h"
#include "platform/Prompt.h"

namespace korvex {

// One of the first four objects of the primary level, as the install dialog offers it.
struct InstallChoice {
  CPartition* partition = nullptr;
  std::string text;       // "%s Typ %d", or "%s frei" for type 0
  bool bootable = false;  // may be chosen: neither free space nor an extended partition
};

// The first four objects of the primary level in level order, free areas included.
std::vector<InstallChoice> InstallChoices(const CHardDisk& disk);

// Installs the engine with the choices at the given indices (0..3 into InstallChoices) as menu
// entries, each titled with its choice text and keeping its table slot as menu position. With
// an empty backupPath the user must confirm that no backup is made; otherwise the backup file
// is written first. A table partition that stays in the table with slot 1 (the entry the
// engine takes as its boot slot) moves to the lowest free slot. Refused with a message and nothing
// changed: no choice, a choice that is not bootable, the engine already installed, a GPT disk,
// no free entry for the partition on the boot slot, a declined question, a failed backup.
bool InstallEngine(CHardDisk& disk, const std::vector<unsigned>& chosen, const std::string& backupPath,
                   CPrompt& prompt);

}  // namespace korvex
