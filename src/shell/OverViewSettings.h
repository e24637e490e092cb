#pragma once
// The automatic-boot settings of a disk's overview form: the boot choices it lists, the values
// it shows, whether the user changed them, and applying them through the menu configuration.
// Choices are told apart by their objects, so two entries with one title cannot be mixed up.
#include <cstddef>
#include <string>
#include <vector>

#include "partition/CHardDisk.h"
#include "partition/WorkingCopy.h"
#include "platform/Prompt.h"

namespace korvex {

// One line of the boot-choice list: a menu entry, or (object null, always last) the entry
// booted last.
struct BootChoice {
  std::string title;  // UTF-8, trailing blanks removed
  CPartition* object = nullptr;
};

// The menu entries (state Menu) of the primary level in level order, then "der zuletzt
// gebooteten Partition".
std::vector<BootChoice> BootChoices(const CHardDisk& disk);

struct BootSettingsForm {
  bool waitForUser = true;  // "warten auf die Auswahl des Anwenders", else automatic boot
  std::string secondsText;
  std::size_t choice = 0;   // index into the choices
};

// What the form shows for the disk: the default entry, or the last choice while remember-last
// is on or no entry carries the default mark.
BootSettingsForm BootSettingsOf(const CHardDisk& disk, const std::vector<BootChoice>& choices);

// True when the form differs from the disk: the seconds text from the stored timeout (as text,
// so "05" differs from 5), the radio from the switch, or the choice from the default entry (an
// entry without the default mark never matches, so the form differs until it is applied).
bool BootSettingsModified(const CHardDisk& disk, const std::vector<BootChoice>& choices, const BootSettingsForm& form);

// Writes timeout, default entry (or remember-last) and automatic boot of disk, a disk of
// workingCopy, into the working copy. Seconds that are no number from 0 to 99 are refused with a
// stop message before anything changes (the engine keeps them as two decimal digits). A disk
// without the engine is left as it is. False when refused.
bool ApplyBootSettings(WorkingCopy& workingCopy, CHardDisk& disk, const std::vector<BootChoice>& choices,
                       const BootSettingsForm& form, CPrompt& prompt);

}  // namespace korvex
