#pragma once
// The changes the next save writes, as plain German lines: derived from each disk as last read
// or saved and its working copy now, never recorded from the commands, so the list is the same
// whichever front end made the edits, and an edit taken back (or undone) leaves no line. Two
// edits of one partition give one line for their net change.
#include <string>
#include <vector>

#include "partition/DiskState.h"
#include "partition/WorkingCopy.h"
#include "platform/Prompt.h"
#include "platform/Registry.h"

namespace korvex {

struct PendingOperation {
  unsigned device = 0;
  std::string text;
  bool operator==(const PendingOperation&) const = default;
};

// The lines of one disk, in the order a user thinks of them: the boot manager installed or
// removed, partitions deleted, partitions created, changes of the remaining ones (type,
// position, table entry, active mark), the boot menu (entries, titles, order, default entry,
// countdown, colours), passwords, and the rest (a repaired engine, a replaced boot program, a
// cancelled direct boot). Type names come from the catalogue in registry.
std::vector<PendingOperation> DiskChanges(const DiskState& asRead, const DiskState& now, unsigned device,
                                          const RegistryStore& registry);

// The lines of every disk of the working copy, in disk order.
std::vector<PendingOperation> PendingOperations(const WorkingCopy& workingCopy, const RegistryStore& registry);
// The lines of one disk; none when it is not in the working copy.
std::vector<PendingOperation> PendingOperationsOf(const WorkingCopy& workingCopy, unsigned device,
                                                  const RegistryStore& registry);

// "Speichern" in the window program: shows the lines ("Diese Änderungen werden geschrieben: …")
// and asks, "Nein" being the default. True when the save may go on: Yes, or nothing pending.
bool ConfirmPendingSave(const std::vector<PendingOperation>& operations, CPrompt& prompt);

}  // namespace korvex
