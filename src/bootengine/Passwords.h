#pragma once
// Boot-time passwords: for a menu entry through its partition object (the writer stores the
// keyed form in the entry's slot at the next save), and for the two floppy drives directly in
// slots 12 and 13 of every disk that carries the engine. Each operation takes what the
// "Passwort für" dialog collects: the password and its repetition.
#include <string>

#include "partition/CHardDisk.h"
#include "partition/ObjectRef.h"
#include "partition/WorkingCopy.h"
#include "platform/Prompt.h"

namespace korvex {

enum class FloppyDrive : unsigned { A = 0, B = 1 };

// What happened to a password request.
enum class PasswordResult {
  Stored,     // the password is set (and the disks concerned are modified)
  Empty,      // nothing was typed: nothing changes, an existing password stays
  Refused,    // a stop message told why; nothing changed
};

// Setting checks, in this order: the two entries differ (33538), nothing typed (Empty), more
// than 15 characters, a character the engine's prompt does not take (it takes 20h..7Eh).
// The entry is named by reference; one that names nothing is refused.
PasswordResult SetPartitionPassword(WorkingCopy& workingCopy, const ObjectRef& entry, const std::string& password,
                                    const std::string& repetition, CPrompt& prompt);
// "Löschen" for a menu entry: the slot is cleared at the next save. False when refused.
bool DeletePartitionPassword(WorkingCopy& workingCopy, const ObjectRef& entry, CPrompt& prompt);

PasswordResult SetFloppyPassword(WorkingCopy& workingCopy, FloppyDrive drive, const std::string& password,
                                 const std::string& repetition, CPrompt& prompt);
// "Löschen" for a floppy drive: all 16 bytes of its slot on every disk with the engine.
bool DeleteFloppyPassword(WorkingCopy& workingCopy, FloppyDrive drive, CPrompt& prompt);
// The dialog's check box: the slot of the first disk with the engine holds a password.
bool FloppyPasswordSet(const WorkingCopy& workingCopy, FloppyDrive drive);

}  // namespace korvex
