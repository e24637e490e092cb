#pragma once
// The partition form's fields against the object they show: what the form shows for an
// object, reading a numeric field, and whether the user changed anything.
#include <cstdint>
#include <optional>
#include <string>

#include "partition/PositionChecks.h"

namespace korvex {

// The form's values for object: its positions and type, and its title only for a boot menu
// entry (the title field is empty and disabled for everything else).
PartitionForm FormShownFor(const CHardDisk& disk, const CPartition& object);

// True when form differs from shown in a position or the title, or in the type when
// compareType (a free area has no type to compare).
bool FormDiffers(const PartitionForm& form, const PartitionForm& shown, bool compareType);

}  // namespace korvex
