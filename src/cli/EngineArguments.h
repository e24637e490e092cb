#pragma once
// Argument reading shared by the boot engine commands: an optional disk number first (disk 0
// when the first argument is an option), then options, some followed by numbers.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace korvex {

// The numbers 1..max from next up to the next option, as 0-based indices (advancing past
// them); nothing after reporting one that is not such a number.
std::optional<std::vector<unsigned>> TakeChoiceNumbers(const Arguments& arguments, std::size_t& next, unsigned max,
                                                      const std::string& option);

// The disk named by the argument at next (advancing past it), disk 0 when that argument is an
// option or missing; nothing after reporting why.
CHardDisk* SelectEngineDisk(CliSession& session, const Arguments& arguments, std::size_t& next);

}  // namespace korvex
