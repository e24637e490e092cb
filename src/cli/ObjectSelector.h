#pragma once
// How commands name a disk and an object of its working copy:
//   DISK            the disk by device number (0 = PHYSICALDRIVE0)
//   DISK:KEY        the object with that key, as "list" shows it
//   DISK:p@SECTOR   the primary-level object that starts at SECTOR
//   DISK:l@SECTOR   the logical-level object that starts at SECTOR
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliSession.h"
#include "partition/ObjectRef.h"

namespace korvex {

// An object name taken apart, before any disk is looked at.
struct ObjectName {
  enum class Kind { Key, PrimaryAt, LogicalAt };
  std::string disk;  // the text before the colon
  Kind kind = Kind::Key;
  std::uint64_t number = 0;  // the key (up to 65535) or the start sector (up to 2^32 - 1)
  bool operator==(const ObjectName&) const = default;
};
// The parts of text; nothing when it has no colon or what follows it is neither a key nor
// p@SECTOR nor l@SECTOR.
std::optional<ObjectName> ParseObjectName(const std::string& text);

// The disk named by text; nothing after reporting why.
CHardDisk* SelectDisk(CliSession& session, const std::string& text);
// The reference of the object named by text; nothing after reporting why.
std::optional<ObjectRef> ParseObjectRef(CliSession& session, const std::string& text);
// The prologue of the commands "NAME OBJEKT": the object of the one argument; with any other
// number of arguments the command's usage line (CommandUsage). Nothing after reporting why.
std::optional<ObjectRef> TheOneObject(CliSession& session, const std::vector<std::string>& arguments,
                                      std::string_view command);
// The object named by text, resolved; nothing after reporting why.
std::optional<ResolvedObject> SelectObject(CliSession& session, const std::string& text);

// Saves every disk the command changed (no restart question unless --restart was given), or
// with device that disk alone (after the check of its boot menu); kExitOk when all were
// written. With --dry-run the changes are listed instead and nothing is written.
int SaveChanges(CliSession& session, std::optional<unsigned> device = std::nullopt);

}  // namespace korvex
