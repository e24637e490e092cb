#pragma once
// How commands name a disk and an object of its working copy:
//   DISK            the disk by device number (0 = PHYSICALDRIVE0)
//   DISK:KEY        the object with that key, as "list" shows it
//   DISK:p@SECTOR   the primary-level object that starts at SECTOR
//   DISK:l@SECTOR   the logical-level object that starts at SECTOR
#include <optional>
#include <string>

#include "cli/CliSession.h"

namespace korvex {

struct SelectedObject {
  CHardDisk* disk = nullptr;
  PartitionLevel* level = nullptr;
  CPartition* object = nullptr;
  bool logical = false;  // the object lies in the logical level
};

// The disk named by text; nothing after reporting why.
CHardDisk* SelectDisk(CliSession& session, const std::string& text);
// The object named by text; nothing after reporting why.
std::optional<SelectedObject> SelectObject(CliSession& session, const std::string& text);

// Saves every disk the command changed (no restart question unless --restart was given);
// kExitOk when all were written.
int SaveChanges(CliSession& session);

}  // namespace korvex
