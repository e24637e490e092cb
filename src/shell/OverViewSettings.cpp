#include "shell/OverViewSettings.h"

#include <optional>

#include "bootengine/EngineConfig.h"
#include "bootengine/MenuConfig.h"
#include "platform/Cp437.h"
#include "platform/NumberText.h"
#include "platform/StringTable.h"

namespace korvex {
namespace {

// The choice the disk's configuration stands for; choices.size() when none does.
std::size_t StoredChoice(const CHardDisk& disk, const std::vector<BootChoice>& choices) {
  if (ReadEngineConfig(disk).rememberLast) return choices.size() - 1;
  for (std::size_t i = 0; i + 1 < choices.size(); ++i) {
    if (choices[i].object->isDefault) return i;
  }
  return choices.size();
}


}  // namespace

std::vector<BootChoice> BootChoices(const CHardDisk& disk) {
  std::vector<BootChoice> choices;
  for (const auto& item : disk.primary.items()) {
    if (item.object->IsMenu()) choices.push_back({Cp437ToUtf8(item.object->GetTitle()), item.object.get()});
  }
  choices.push_back({LoadResString(IDS_LAST_BOOTED), nullptr});
  return choices;
}

BootSettingsForm BootSettingsOf(const CHardDisk& disk, const std::vector<BootChoice>& choices) {
  const EngineConfig config = ReadEngineConfig(disk);
  const std::size_t stored = StoredChoice(disk, choices);
  return {!config.autoboot, std::to_string(config.timeoutSeconds), stored < choices.size() ? stored : choices.size() - 1};
}

bool BootSettingsModified(const CHardDisk& disk, const std::vector<BootChoice>& choices, const BootSettingsForm& form) {
  if (!disk.EngineInstalled()) return false;
  const EngineConfig config = ReadEngineConfig(disk);
  return form.secondsText != std::to_string(config.timeoutSeconds) || form.waitForUser == config.autoboot ||
         form.choice != StoredChoice(disk, choices);
}

bool ApplyBootSettings(WorkingCopy& workingCopy, CHardDisk& disk, const std::vector<BootChoice>& choices,
                       const BootSettingsForm& form, CPrompt& prompt) {
  if (!disk.EngineInstalled()) return true;
  const auto seconds = ParseFieldNumber(form.secondsText, UINT32_MAX);
  if (!seconds) {
    prompt.Message(FormatRangeMessage(0, kMaxTimeoutSeconds), PromptIcon::Stop);
    return false;
  }
  if (form.choice >= choices.size() || !SetTimeout(disk, static_cast<unsigned>(*seconds), prompt)) return false;
  const CPartition* chosen = choices[form.choice].object;
  bool defaultSet = false;
  if (chosen == nullptr) {
    defaultSet = SetRememberLast(disk, true, prompt);
  } else if (const auto entry = RefOf(disk, *chosen)) {
    defaultSet = SetDefaultPartition(workingCopy, *entry, prompt);
  }
  return defaultSet && SetAutoBoot(disk, !form.waitForUser, prompt);
}

}  // namespace korvex
