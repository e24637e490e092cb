#pragma once
// Shaping the boot engine's menu in the working copy: which primary partitions are entries and
// in which order, their titles, the default entry or remember-last, the automatic boot with its
// timeout, and the two colours. Every operation works on the disk's partition objects and its
// two images, marks the disk modified and reaches the disk only with the next save. Entries are
// named by object references, never by their titles, so equal titles cannot be mixed up. A
// refused request (also a reference that names nothing) shows a stop message, changes nothing
// and returns false.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "partition/CHardDisk.h"
#include "partition/ObjectRef.h"
#include "platform/Prompt.h"
#include "textscreen/TextScreen.h"

namespace korvex {

// Why target cannot go into the menu: its disk lacks the engine, it is a logical drive, no
// inactive partition-table partition or an extended one, or the menu holds 12 entries (new
// ones, not yet saved, included: the engine's table holds 12 in all). Nothing when it can.
std::optional<std::string> MenuAddRefusal(const ResolvedObject& target);

// Puts a table partition of the primary level (not an extended one) into the menu at the lowest
// position no entry uses; refused as MenuAddRefusal says.
bool AddToMenu(WorkingCopy& workingCopy, const ObjectRef& object, CPrompt& prompt);

// Takes an entry out of the menu into the partition table. When the table has no free entry
// the user is asked (33446) whether the partition may be deleted instead; Yes deletes it through
// DeletePartition (the object is gone then). The default mark passes on.
bool RemoveFromMenu(WorkingCopy& workingCopy, const ObjectRef& object, CPrompt& prompt);

// Moves an entry to the menu position position (0..N-1); the entries between close up.
bool MoveMenuEntry(WorkingCopy& workingCopy, const ObjectRef& object, unsigned position, CPrompt& prompt);
// "Nach oben" (up) and "Nach unten": exchanges the entry with its neighbour.
bool MoveMenuEntryByOne(WorkingCopy& workingCopy, const ObjectRef& object, bool up, CPrompt& prompt);

// The title an entry shows, as code page 437 bytes: at most 40 characters, none below 20h (the
// BIOS would take them for line control); stored blank-padded.
bool SetMenuTitle(WorkingCopy& workingCopy, const ObjectRef& object, std::string_view cp437Title, CPrompt& prompt);

// Makes object the entry the engine highlights first and switches remember-last off.
bool SetDefaultPartition(WorkingCopy& workingCopy, const ObjectRef& object, CPrompt& prompt);

// On: the engine highlights the entry booted last (the default-entry byte holds the entry count
// until the first boot); no entry keeps the default mark. Off: the first entry becomes the
// default unless an entry carries the mark.
bool SetRememberLast(CHardDisk& disk, bool on, CPrompt& prompt);

// Seconds of the countdown, 0..99, stored as two BCD digits (0 = wait for the user).
bool SetTimeout(CHardDisk& disk, unsigned seconds, CPrompt& prompt);

// On: the countdown runs and the status line reads "... in nn Sekunden"; off: it never runs and
// the line reads "... ist nicht aktiv".
bool SetAutoBoot(CHardDisk& disk, bool on, CPrompt& prompt);

// A text attribute: background 0..7, foreground 0..15.
struct MenuColours {
  TextColour menu;
  TextColour bar;  // the selection bar
};

// The colours as the engine area holds them.
MenuColours CurrentMenuColours(const CHardDisk& disk);

// Sets both colours after the checks of the preview dialog: each background 0..7 and foreground
// 0..15, then 33540 (menu colours equal), 33541 (bar colours equal), 33542 (menu and bar equal).
bool SetMenuColours(CHardDisk& disk, const MenuColours& colours, CPrompt& prompt);

}  // namespace korvex
