// "apply OBJECT [form options]": the partition form with the object's values, the given
// fields replaced, checked and applied. When only relative or only CHS positions are given,
// the other kind is derived from them first, as the form's derivation buttons would.
#include "cli/Commands.h"
#include "cli/FormOptions.h"
#include "cli/ObjectSelector.h"

namespace korvex {

int RunApply(CliSession& session, const Arguments& arguments) {
  if (arguments.empty()) {
    PrintError("Aufruf: apply OBJEKT [--title T] [--type N] [--start-chs Z/K/S] [--end-chs Z/K/S] [--start N] [--length N]");
    return kExitUsage;
  }
  FormOptions options;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const OptionTaken taken = TakeFormOption(arguments, i, true, options, session.prompt());
    if (taken == OptionTaken::Bad) return kExitUsage;
    if (taken == OptionTaken::NotAFormOption) {
      PrintError("apply: unbekanntes Argument " + arguments[i]);
      return kExitUsage;
    }
  }
  const auto ref = ParseObjectRef(session, arguments[0]);
  if (!ref) return kExitUsage;
  const auto selected = Resolve(session.workingCopy(), *ref);
  const CHardDisk& disk = *selected->disk;
  PartitionForm form = FormFromObject(disk, *selected->object);
  OverrideForm(options, form);
  if (options.HasRelative() && !options.HasChs()) RelativeToAbsolute(disk, form);
  if (options.HasChs() && !options.HasRelative()) AbsoluteToRelative(disk, form);
  if (ApplyPartitionForm(session.workingCopy(), *ref, form, session.prompt()) != FormApplyResult::Applied) {
    return kExitFailed;
  }
  return SaveChanges(session);
}

}  // namespace korvex
