#pragma once
// The partition form's fields as command options, for "derive" and "apply":
//   --title TEXT  --type N  --start-chs C/H/S  --end-chs C/H/S  --start N  --length N
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "partition/PositionChecks.h"

namespace korvex {

struct FormOptions {
  std::optional<std::string> title;  // code page 437
  std::optional<std::uint8_t> type;
  std::optional<ChsAddress> startChs;
  std::optional<ChsAddress> endChs;
  std::optional<std::uint32_t> start;
  std::optional<std::uint32_t> length;

  bool HasChs() const { return startChs || endChs; }
  bool HasRelative() const { return start || length; }
};

enum class OptionTaken { Yes, NotAFormOption, Bad };

// Takes the form option at arguments[i] with its value and moves i past them; Bad after
// reporting a missing or malformed value (a title the boot screen cannot show through prompt).
// withTitleAndType admits --title and --type.
OptionTaken TakeFormOption(const Arguments& arguments, std::size_t& i, bool withTitleAndType, FormOptions& options,
                           CPrompt& prompt);

// The given fields replace those of form; nothing is derived.
void OverrideForm(const FormOptions& options, PartitionForm& form);

// Prints the position fields of form, one "name value" line each, as the options name them.
void PrintFormPositions(const PartitionForm& form);

}  // namespace korvex
