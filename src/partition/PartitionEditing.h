#pragma once
// Creating partitions and logical drives in free areas, deleting them again, and switching a
// table partition's active mark. All of it changes only the working copy of the disk; the
// user is reached through the prompt alone.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "partition/CHardDisk.h"
#include "partition/ObjectRef.h"
#include "platform/Prompt.h"

namespace korvex {

enum class CreateUnit { Byte, KByte, MByte, GByte };
// MiB: a partition's data begins on a multiple of 2048 sectors (1 MiB), a logical drive's
// extended boot record 2048 sectors before it, as today's partitioners lay disks out.
enum class CreateAlignment { Cylinder, Track, Sector, MiB };
inline constexpr std::uint32_t kMiBSectors = 2048;

// What the "Partition erzeugen" dialog collects.
struct CreateRequest {
  bool wholeSpace = true;  // "den gesamten freien Platz benutzen"; else value × unit
  float value = 0;
  CreateUnit unit = CreateUnit::MByte;
  std::optional<CreateAlignment> alignment;  // nothing: the disk's DefaultAlignment
  std::uint8_t type = 6;
  bool toMenu = false;                       // "Ins Bootmenü aufnehmen"
  std::optional<std::uint8_t> tableEntry;    // 1..4 as the user sees it; nothing = next free entry
  bool destructive = true;                   // "destruktives Erzeugen der Partition"
};

// MiB when the disk has no partition or logical drive or every one of them begins on a 1 MiB
// boundary (a logical drive with its data); Cylinder otherwise, so a disk laid out in the
// classic way keeps its layout.
CreateAlignment DefaultAlignment(const CHardDisk& disk);

// The partition-table entries (0..3) no table partition holds; entry 1 never on a disk with
// the boot engine (it is the boot slot).
std::vector<std::uint8_t> FreeTableEntries(const CHardDisk& disk);

// Whether a new primary partition can go into the boot menu: the engine is installed and the
// menu has fewer than 12 entries.
bool MenuCanTakeEntry(const CHardDisk& disk);

// False after telling the user (information icon) that neither the partition table nor the
// boot menu can take another primary partition.
bool CanCreatePrimary(const CHardDisk& disk, CPrompt& prompt);

// Why no partition or logical drive can be created in freeArea, whatever the request: it is no
// free area; a primary one has neither a table entry nor a menu place left; a logical one would
// make the chain of logical drives longer than the reader follows; even the whole area, laid out
// with the disk's default alignment, is too small, or it lies over used sectors, past the medium
// or past the last sector a table can name. Nothing when a creation may go ahead.
// CreatePartition refuses the same, with the alignment of its request.
std::optional<std::string> CreateRefusal(const CHardDisk& disk, const CPartition& freeArea, bool isLogical);

// The operations below name their object by reference and resolve it in the working copy; a
// reference that names nothing is reported and changes nothing.

// Turns the free area freeArea (of either level) into a new partition or logical drive as
// request says, splitting off the sectors that the alignment leaves over as free areas of their
// own. Cylinder, track and sector alignment place a part of the area (the whole area stays as it
// is); MiB places the start of both, and the end of a part. False, with a stop message and nothing changed, when the request is refused.
bool CreatePartition(WorkingCopy& workingCopy, const ObjectRef& freeArea, const CreateRequest& request,
                     CPrompt& prompt);
// Creation as a front end asks for it: a primary free area first needs a table entry or a menu
// place (CanCreatePrimary), then CreatePartition.
bool CreateInFreeArea(WorkingCopy& workingCopy, const ObjectRef& freeArea, const CreateRequest& request,
                      CPrompt& prompt);

// Why target cannot be deleted: it is a free area. Nothing when it can.
std::optional<std::string> DeleteRefusal(const ResolvedObject& target);

// Deletes the object after the user confirmed; deleting the extended partition deletes its
// logical drives. The default mark passes on, the free areas of both levels are rebuilt. False
// when refused or declined, with nothing changed.
bool DeletePartition(WorkingCopy& workingCopy, const ObjectRef& object, CPrompt& prompt);

// Why target's boot indicator cannot be set (activate) or cleared: it is no partition of the
// partition table (a logical drive, a menu entry, a free area), its disk carries the boot engine,
// and for activate it is an extended partition or the disk has an active partition already; for
// deactivate it is not active. Nothing when it can.
std::optional<std::string> ActivationRefusal(const ResolvedObject& target, bool activate);

// Sets or clears the boot indicator of a primary table partition; false with a stop message
// when ActivationRefusal refuses.
bool ActivatePartition(WorkingCopy& workingCopy, const ObjectRef& object, CPrompt& prompt);
bool DeactivatePartition(WorkingCopy& workingCopy, const ObjectRef& object, CPrompt& prompt);

}  // namespace korvex
