#pragma once
// The checks every boot menu, password and direct-boot operation makes first: the disk carries
// the engine, and the object is one of its menu entries. Each shows a stop message when it fails.
#include <optional>

#include "partition/CHardDisk.h"
#include "partition/ObjectRef.h"
#include "platform/Prompt.h"

namespace korvex {

bool RequireEngine(const CHardDisk& disk, CPrompt& prompt);
// The object ref names, when it is a Menu or NewMenu object of the primary level of a disk that
// carries the engine.
std::optional<ResolvedObject> RequireMenuEntry(const WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt);

}  // namespace korvex
