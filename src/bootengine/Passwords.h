#pragma once
// Boot-time passwords: for a menu entry in its partition object (the save puts the stored form
// into the entry's slot), and for the two floppy drives directly in the floppy slots of every
// disk that carries the engine. Each operation takes what the "Passwort für" dialog collects:
// the password and its repetition.
#include <array>
#include <string>
#include <string_view>

#include "partition/CHardDisk.h"
#include "partition/ObjectRef.h"
#include "partition/WorkingCopy.h"
#include "platform/Prompt.h"

namespace korvex {

enum class FloppyDrive : unsigned { A = 0, B = 1 };

using PasswordSlot = std::array<std::uint8_t, layout::CONST_PASSWORD_SLOT_SIZE>;

// The stored form of a password as the engine checks it, with the password key of the engine
// area: each character XOR its key byte, key bytes unchanged after the password's end, at most
// the slot's characters but the last, which stays zero.
PasswordSlot EncodePassword(const EngineAreaImage& area, std::string_view password);

// What happened to a password request.
enum class PasswordResult {
  Stored,     // the password is set (and the disks concerned are modified)
  Empty,      // nothing was typed: nothing changes, an existing password stays
  Refused,    // a stop message told why; nothing changed
};

// Setting checks, in this order: the two entries differ (33538), nothing typed (Empty), more
// characters than a slot holds, a character the engine's prompt does not take (it takes
// 20h..7Fh).
// The entry is named by reference; one that names nothing is refused.
PasswordResult SetPartitionPassword(WorkingCopy& workingCopy, const ObjectRef& entry, const std::string& password,
                                    const std::string& repetition, CPrompt& prompt);
// "Löschen" for a menu entry: its stored form is cleared (the slot at the next save). False when
// refused.
bool DeletePartitionPassword(WorkingCopy& workingCopy, const ObjectRef& entry, CPrompt& prompt);

PasswordResult SetFloppyPassword(WorkingCopy& workingCopy, FloppyDrive drive, const std::string& password,
                                 const std::string& repetition, CPrompt& prompt);
// "Löschen" for a floppy drive: its whole slot on every disk with the engine.
bool DeleteFloppyPassword(WorkingCopy& workingCopy, FloppyDrive drive, CPrompt& prompt);
// The dialog's check box: the slot of the first disk with the engine holds a password.
bool FloppyPasswordSet(const WorkingCopy& workingCopy, FloppyDrive drive);

}  // namespace korvex
