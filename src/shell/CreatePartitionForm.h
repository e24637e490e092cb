#pragma once
// The rules of the "Partition erzeugen" dialog without a window: the size it proposes, the
// table entries it offers, and which controls are enabled for the user's choices. The request
// it collects is checked and carried out by CreatePartition.
#include <cstdint>
#include <string>
#include <vector>

#include "partition/PartitionEditing.h"

namespace korvex {

// The size edit and unit box when the dialog opens: the free area's size in the unit that
// FormatSize would choose (GByte for an area of a terabyte or more).
struct ProposedSize {
  float value = 0;
  CreateUnit unit = CreateUnit::KByte;
};
ProposedSize ProposedCreateSize(const CPartition& freeArea);

// The unit box's texts, in CreateUnit order.
const std::vector<std::string>& CreateUnitNames();

// What the user has chosen so far.
struct CreateChoices {
  bool partial = false;     // "einen Teilbereich mit"
  std::uint8_t type = 6;
  bool toMenu = false;      // "Ins Bootmenü aufnehmen" checked
  bool atPosition = false;  // "Position" rather than "nächster freier Platz"
};

// The alignment radios stay enabled: the 1 MiB alignment places a partition over the whole
// area too.
struct CreateControlStates {
  bool sizeControls = false;  // value and unit
  bool menuBox = false;
  bool placeRadios = false;   // "nächster freier Platz" and "Position"
  bool slotBox = false;
};

// Size controls follow "einen Teilbereich mit"; the menu box is offered for a primary
// partition that is not extended (type 5) on a disk whose menu can take it; the place radios
// for a primary partition that does not go into the menu, the slot box while "Position" is
// chosen among them.
CreateControlStates CreateControls(const CHardDisk& disk, bool isLogical, const CreateChoices& choices);

}  // namespace korvex
