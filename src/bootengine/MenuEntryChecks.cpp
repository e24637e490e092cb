#include "bootengine/MenuEntryChecks.h"

#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {

bool RequireEngine(const CHardDisk& disk, CPrompt& prompt) {
  if (disk.EngineInstalled()) return true;
  prompt.Message(StrFormat(text::kNoEngineOnDisk, disk.DeviceName().c_str()), PromptIcon::Stop);
  return false;
}

std::optional<std::string> MenuEntryRefusal(const ResolvedObject& target) {
  if (!target.disk->EngineInstalled()) return StrFormat(text::kNoEngineOnDisk, target.disk->DeviceName().c_str());
  if (!target.object->InMenu() || target.IsLogical()) return std::string(text::kNotAMenuEntry);
  return std::nullopt;
}

std::optional<ResolvedObject> RequireMenuEntry(const WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt) {
  auto target = ResolveOrReport(workingCopy, ref, prompt);
  if (!target) return std::nullopt;
  if (auto refusal = MenuEntryRefusal(*target)) {
    prompt.Message(*refusal, PromptIcon::Stop);
    return std::nullopt;
  }
  return target;
}

}  // namespace korvex
