#include "bootengine/MenuEntryChecks.h"

#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {

bool RequireEngine(const CHardDisk& disk, CPrompt& prompt) {
  if (disk.EngineInstalled()) return true;
  prompt.Message(StrFormat(text::kNoEngineOnDisk, disk.DeviceName().c_str()), PromptIcon::Stop);
  return false;
}

bool RequireMenuEntry(const CHardDisk& disk, const CPartition& object, CPrompt& prompt) {
  if (!RequireEngine(disk, prompt)) return false;
  if (object.InMenu() && disk.primary.KeyOf(&object) != 0) return true;
  prompt.Message(text::kNotAMenuEntry, PromptIcon::Stop);
  return false;
}

}  // namespace korvex
