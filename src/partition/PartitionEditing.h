#pragma once
// Creating partitions and logical drives in free areas, deleting them again, and switching a
// table partition's active mark. All of it changes only the working copy of the disk; the
// user is reached through the prompt alone.
#include <cstdint>
#include <optional>
#include <vector>

#include "partition/CHardDisk.h"
#include "partition/ObjectRef.h"
#include "platform/Prompt.h"

namespace korvex {

enum class CreateUnit { Byte, KByte, MByte, GByte };
enum class CreateAlignment { Cylinder, Track, Sector };

// What the "Partition erzeugen" dialog collects.
struct CreateRequest {
  bool wholeSpace = true;  // "den gesamten freien Platz benutzen"; else value × unit
  float value = 0;
  CreateUnit unit = CreateUnit::MByte;
  CreateAlignment alignment = CreateAlignment::Cylinder;
  std::uint8_t type = 6;
  bool toMenu = false;                       // "Ins Bootmenü aufnehmen"
  std::optional<std::uint8_t> tableEntry;    // 1..4 as the user sees it; nothing = next free entry
  bool destructive = true;                   // "destruktives Erzeugen der Partition"
};

// The partition-table entries (0..3) no table partition holds; entry 1 never on a disk with
// the boot engine (it is the boot slot).
std::vector<std::uint8_t> FreeTableEntries(const CHardDisk& disk);

// Whether a new primary partition can go into the boot menu: the engine is installed and the
// menu has fewer than 12 entries.
bool MenuCanTakeEntry(const CHardDisk& disk);

// False after telling the user (information icon) that neither the partition table nor the
// boot menu can take another primary partition.
bool CanCreatePrimary(const CHardDisk& disk, CPrompt& prompt);

// The operations below name their object by reference and resolve it in the working copy; a
// reference that names nothing is reported and changes nothing.

// Turns the free area freeArea (of either level) into a new partition or logical drive as
// request says, splitting off the sectors that the alignment leaves over as free areas of their
// own. False, with a stop message and nothing changed, when the request is refused.
bool CreatePartition(WorkingCopy& workingCopy, const ObjectRef& freeArea, const CreateRequest& request,
                     CPrompt& prompt);
// Creation as a front end asks for it: a primary free area first needs a table entry or a menu
// place (CanCreatePrimary), then CreatePartition.
bool CreateInFreeArea(WorkingCopy& workingCopy, const ObjectRef& freeArea, const CreateRequest& request,
                      CPrompt& prompt);

// Deletes the object after the user confirmed; deleting the extended partition deletes its
// logical drives. The default mark passes on, the free areas of both levels are rebuilt. False
// when refused or declined, with nothing changed.
bool DeletePartition(WorkingCopy& workingCopy, const ObjectRef& object, CPrompt& prompt);

// Sets or clears the boot indicator of a primary table partition; false with a stop message
// for any other object.
bool ActivatePartition(WorkingCopy& workingCopy, const ObjectRef& object, CPrompt& prompt);
bool DeactivatePartition(WorkingCopy& workingCopy, const ObjectRef& object, CPrompt& prompt);

}  // namespace korvex
