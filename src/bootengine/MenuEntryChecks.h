#pragma once
// The checks every boot menu, password and direct-boot operation makes first: the disk carries
// the engine, and the object is one of its menu entries. Each shows a stop message when it fails.
#include "partition/CHardDisk.h"
#include "platform/Prompt.h"

namespace korvex {

bool RequireEngine(const CHardDisk& disk, CPrompt& prompt);
// The engine is installed and object is a Menu or NewMenu object of the disk's primary level.
bool RequireMenuEntry(const CHardDisk& disk, const CPartition& object, CPrompt& prompt);

}  // namespace korvex
