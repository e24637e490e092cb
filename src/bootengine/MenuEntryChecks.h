#pragma once
// The checks every boot menu, password and direct-boot operation makes first: the disk carries
// the engine, and the object is one of its menu entries. Each shows a stop message when it fails.
#include <optional>
#include <string>

#include "partition/CHardDisk.h"
#include "partition/ObjectRef.h"
#include "platform/Prompt.h"

namespace korvex {

bool RequireEngine(const CHardDisk& disk, CPrompt& prompt);
// Why target is not a menu entry: its disk lacks the engine, or it is no Menu or NewMenu object
// of the primary level. Nothing when it is one.
std::optional<std::string> MenuEntryRefusal(const ResolvedObject& target);
// The object ref names, when MenuEntryRefusal finds nothing against it.
std::optional<ResolvedObject> RequireMenuEntry(const WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt);

}  // namespace korvex
