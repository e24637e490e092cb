#pragma once
// The text under which the install and removal dialogs offer a partition: its size and type
// ("%s Typ %d"), or for an unused entry its size and "frei". The install dialog also takes it
// as the new menu entry's title.
#include <string>

#include "partition/CPartition.h"

namespace korvex {

std::string ChoiceText(const CPartition& partition);

}  // namespace korvex
