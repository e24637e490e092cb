#include "disk/DiskAccess.h"

#include <sys/stat.h>

#include <algorithm>

#include "disk/ScsiDiskName.h"
#include "disk/SectorHelper.h"
#include "platform/FileDevice.h"
#include "platform/ProgramSearch.h"
#include "platform/ProgramSettings.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

// KORVEX_DISKS separates the devices with colons: a device whose name holds one would reach
// the helper as two, and every later number would name another device.
const DeviceEntry* EntryTheHelperCannotTell(const DeviceList& devices) {
  const auto& entries = devices.entries();
  const auto found = std::find_if(entries.begin(), entries.end(),
                                  [](const DeviceEntry& entry) { return entry.spec.find(':') != std::string::npos; });
  return found == entries.end() ? nullptr : &*found;
}

// The helper serves the device list: a device of it is a disk of this machine unless the list
// names an image file for it. A device the list does not name counts as a disk, as on the
// platform the helper stands for.
bool IsMachineDisk(const DeviceEntry* entry) {
  struct stat info {};
  if (entry == nullptr || ::stat(entry->path.c_str(), &info) != 0) return entry == nullptr;
  return S_ISBLK(info.st_mode);
}

std::unique_ptr<IDiskTransport> OpenHelperTransport(const DeviceList& devices, std::uint8_t n,
                                                    const RegistryStore& registry, CPrompt& prompt) {
  const std::string name =
      RegReadString(registry, RegRoot::CurrentUser, kSettingsKey, kHelperProgramValue, kDefaultHelperProgram);
  const auto program = FindProgram(name);
  if (!program) {
    if (n == 0) prompt.Message(StrFormat(text::kHelperNotFound, name.c_str()), PromptIcon::Stop);
    return nullptr;
  }
  if (const DeviceEntry* ambiguous = EntryTheHelperCannotTell(devices)) {
    if (n == 0) prompt.Message(StrFormat(text::kHelperColonInName, ambiguous->spec.c_str()), PromptIcon::Stop);
    return nullptr;
  }
  SectorHelperSettings settings;
  settings.program = *program;
  settings.deviceNumber = n;
  settings.disks = devices.ToEnvironmentValue();
  if (const DeviceEntry* entry = devices.At(n)) settings.devicePath = entry->path;
  settings.blockDevice = IsMachineDisk(devices.At(n));
  if (!ProbeSectorHelper(settings)) return nullptr;
  return OpenSectorHelper(std::move(settings));
}

}  // namespace

std::unique_ptr<IDiskTransport> OpenDiskTransport(const DeviceList& devices, std::uint8_t n, OsVersion os,
                                                  const RegistryStore& registry, CPrompt& prompt) {
  if (os.platformId != kPlatformDirect) return OpenHelperTransport(devices, n, registry, prompt);
  const DeviceEntry* entry = devices.At(n);
  return entry == nullptr ? nullptr : OpenFileDevice(*entry);
}

std::optional<std::string> DiskLabel(const RegistryStore& registry, std::uint8_t n, OsVersion os) {
  if (os.platformId != kPlatformDirect) return StrFormat(LoadResString(IDS_DISK_LABEL).c_str(), n + 1);
  return ScsiDiskName(registry, n);
}

}  // namespace korvex
