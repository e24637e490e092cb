// "derive OBJECT --to-relative|--to-absolute [position options]": the position derivation of
// the partition form, starting from the object's own values; prints the derived fields.
#include "cli/Commands.h"
#include "cli/FormOptions.h"
#include "cli/ObjectSelector.h"

namespace korvex {

int RunDerive(CliSession& session, const Arguments& arguments) {
  constexpr const char* kUsage =
      "Aufruf: derive OBJEKT --to-relative|--to-absolute [--start-chs Z/K/S] [--end-chs Z/K/S] [--start N] [--length N]";
  if (arguments.empty()) {
    PrintError(kUsage);
    return kExitUsage;
  }
  FormOptions options;
  std::optional<bool> toRelative;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--to-relative" || arguments[i] == "--to-absolute") {
      const bool wanted = arguments[i] == "--to-relative";
      if (toRelative && *toRelative != wanted) {
        PrintError(kUsage);
        return kExitUsage;
      }
      toRelative = wanted;
      continue;
    }
    const OptionTaken taken = TakeFormOption(arguments, i, false, options, session.prompt());
    if (taken == OptionTaken::Bad) return kExitUsage;
    if (taken == OptionTaken::NotAFormOption) {
      PrintError("derive: unbekanntes Argument " + arguments[i] + "\n" + kUsage);
      return kExitUsage;
    }
  }
  if (!toRelative) {
    PrintError(kUsage);
    return kExitUsage;
  }
  const auto selected = SelectObject(session, arguments[0]);
  if (!selected) return kExitUsage;
  PartitionForm form = FormFromObject(*selected->disk, *selected->object);
  OverrideForm(options, form);
  if (*toRelative) {
    AbsoluteToRelative(*selected->disk, form);
  } else {
    RelativeToAbsolute(*selected->disk, form);
  }
  PrintFormPositions(form);
  return kExitOk;
}

}  // namespace korvex
