#pragma once
// How commands name a disk and an object of its working copy:
//   DISK            the disk by device number (0 = PHYSICALDRIVE0)
//   DISK:KEY        the object with that key, as "list" shows it
//   DISK:p@SECTOR   the primary-level object that starts at SECTOR
//   DISK:l@SECTOR   the logical-level object that starts at SECTOR
#include <optional>
#include <string>

#include "cli/CliSession.h"
#include "partition/ObjectRef.h"

namespace korvex {

// The disk named by text; nothing after reporting why.
CHardDisk* SelectDisk(CliSession& session, const std::string& text);
// The reference of the object named by text; nothing after reporting why.
std::optional<ObjectRef> ParseObjectRef(CliSession& session, const std::string& text);
// The object named by text, resolved; nothing after reporting why.
std::optional<ResolvedObject> SelectObject(CliSession& session, const std::string& text);

// Saves every disk the command changed (no restart question unless --restart was given), or
// with device that disk alone (after the check of its boot menu); kExitOk when all were
// written. With --dry-run the changes are listed instead and nothing is written.
int SaveChanges(CliSession& session, std::optional<unsigned> device = std::nullopt);

}  // namespace korvex
