#include "bootengine/MenuEntryChecks.h"

#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {

bool RequireEngine(const CHardDisk& disk, CPrompt& prompt) {
  if (disk.EngineInstalled()) return true;
  prompt.Message(StrFormat(text::kNoEngineOnDisk, disk.DeviceName().c_str()), PromptIcon::Stop);
  return false;
}

std::optional<ResolvedObject> RequireMenuEntry(const WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt) {
  auto target = ResolveOrReport(workingCopy, ref, prompt);
  if (!target || !RequireEngine(*target->disk, prompt)) return std::nullopt;
  if (target->object->InMenu() && !target->IsLogical()) return target;
  prompt.Message(text::kNotAMenuEntry, PromptIcon::Stop);
  return std::nullopt;
}

}  // namespace korvex
