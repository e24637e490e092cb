#pragma once
// "Booten": restarts the machine so that the boot engine starts one chosen menu entry at once,
// without its menu. Only sector 0 of the entry's disk is written, with the direct-boot byte set
// and the entry's position in the default-entry byte; the engine restores both from its master
// copy when it boots, so the direct boot happens once.
#include <optional>
#include <string>

#include "partition/CHardDisk.h"
#include "partition/ObjectRef.h"
#include "partition/WorkingCopy.h"
#include "platform/Prompt.h"
#include "platform/RestartService.h"

namespace korvex {

enum class DirectBootResult {
  Restarting,      // sector 0 is written and the system accepted the restart
  NotConfirmed,    // the user kept the unsaved changes or declined the restart; nothing written
  Refused,         // not a menu entry, or not in the menu saved on the disk; nothing written
  Failed,          // a read or the write of sector 0 failed (reported); no restart
  RestartRefused,  // sector 0 is written but the system refused the restart (33528)
};

// Why target cannot be booted directly: it is no menu entry of a disk with the engine
// (MenuEntryRefusal), or the menu last read from or saved to the disk does not hold it.
// Nothing when it can.
std::optional<std::string> DirectBootRefusal(const ResolvedObject& target);

// Refused as DirectBootRefusal says; asks 33462 when any disk is modified (only Yes goes on),
// re-reads the disk's sector 0 and engine area, finds the entry in the menu saved on the disk,
// asks 33543, writes sector 0 and restarts through restart. Once the images have been re-read
// the working copy is reloaded from the disks before returning (unsaved changes were given up),
// so pointers into it must not be used after the call; the entry's reference then names nothing.
DirectBootResult BootPartition(WorkingCopy& workingCopy, const ObjectRef& entry, CPrompt& prompt,
                               IRestartService& restart);

// A direct boot that is still pending (the restart did not happen) stays through every save
// until the user cancels it here; the next save then writes sector 0 without it. False with a
// message when none is pending.
bool CancelDirectBoot(CHardDisk& disk, CPrompt& prompt);

}  // namespace korvex
