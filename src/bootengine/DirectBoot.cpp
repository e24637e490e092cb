#include "bootengine/DirectBoot.h"

#include <optional>

#include "bootengine/MenuEntryChecks.h"
#include "partition/PartitionEntry.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"
#include "platform/TransferErrors.h"

namespace korvex {
namespace {

constexpr std::uint8_t kDirectBootRequested = 1;
constexpr std::uint8_t kFirstBiosDisk = layout::CONST_FIRST_HARD_DISK;

// The position of object in the menu table the engine will read at boot (its master copy), or
// nothing when the saved menu does not hold it. The read stops where the engine's does.
std::optional<std::uint8_t> SavedMenuPosition(const CHardDisk& disk, const CPartition& object) {
  const std::span<const std::uint8_t> table(disk.engineArea.data() + layout::AREA_MBR_COPY + layout::LOADER_MENU_TABLE,
                                            layout::LOADER_MENU_TABLE_SIZE);
  for (std::uint8_t k = 0; k < layout::CONST_MENU_ENTRIES; ++k) {
    const PartitionEntry entry = DecodeEntry(table.subspan(k * kEntrySize, kEntrySize));
    if (entry.bootIndicator < kFirstBiosDisk) break;
    if (entry.relativeStart == object.start && entry.length == object.length) return k;
  }
  return std::nullopt;
}

std::string Where(CHardDisk& disk) {
  return disk.Transport() != nullptr ? disk.Transport()->Describe() : disk.DeviceName();
}

// Writes sector 0 with the request for a direct boot of position; the images stay as read.
bool WriteDirectBootSector(CHardDisk& disk, std::uint8_t position, CPrompt& prompt) {
  SectorImage sector = disk.sector0;
  sector[layout::LOADER_DIRECT_BOOT] = kDirectBootRequested;
  sector[layout::LOADER_DEFAULT_ENTRY] = position;
  IDiskTransport* transport = disk.Transport();
  const bool written = disk.WriteSectors(0, 1, sector);
  if (!written && (transport == nullptr || !WriteUncertain(transport->LastErrorNumber()))) {
    prompt.Message(StrFormat(text::kDirectBootWriteFailed, disk.DeviceName().c_str(), Where(disk).c_str()),
                   PromptIcon::Stop);
    return false;
  }
  // A write whose end is unknown, or one that could not be flushed, may or may not be on the disk.
  if (!written || (transport != nullptr && !transport->Flush())) {
    prompt.Message(StrFormat(text::kDirectBootUncertain, disk.DeviceName().c_str(), Where(disk).c_str()),
                   PromptIcon::Stop);
    return false;
  }
  return true;
}

DirectBootResult Boot(CHardDisk& disk, const CPartition& object, CPrompt& prompt, IRestartService& restart) {
  if (!disk.ReadImages()) {
    prompt.Message(StrFormat(text::kEngineReadFailed, disk.DeviceName().c_str()), PromptIcon::Stop);
    return DirectBootResult::Failed;
  }
  const auto position = disk.EngineInstalled() ? SavedMenuPosition(disk, object) : std::nullopt;
  if (!position) {
    prompt.Message(text::kNotInSavedMenu, PromptIcon::Stop);
    return DirectBootResult::Refused;
  }
  if (prompt.Ask(LoadResString(IDS_START_BOOT), PromptButtons::YesNoDefaultNo, PromptIcon::Question) !=
      PromptAnswer::Yes) {
    return DirectBootResult::NotConfirmed;
  }
  if (!WriteDirectBootSector(disk, *position, prompt)) return DirectBootResult::Failed;
  if (!restart.Restart()) {
    prompt.Message(LoadResString(IDS_NO_SHUTDOWN_RIGHT), PromptIcon::Exclamation);
    return DirectBootResult::RestartRefused;
  }
  return DirectBootResult::Restarting;
}

}  // namespace

std::optional<std::string> DirectBootRefusal(const ResolvedObject& target) {
  if (auto refusal = MenuEntryRefusal(target)) return refusal;
  if (!SavedMenuPosition(*target.disk, *target.object)) return std::string(text::kNotInSavedMenu);
  return std::nullopt;
}

DirectBootResult BootPartition(WorkingCopy& workingCopy, const ObjectRef& entry, CPrompt& prompt,
                               IRestartService& restart) {
  const auto target = ResolveOrReport(workingCopy, entry, prompt);
  if (!target) return DirectBootResult::Refused;
  if (auto refusal = DirectBootRefusal(*target)) {
    prompt.Message(*refusal, PromptIcon::Stop);
    return DirectBootResult::Refused;
  }
  if (workingCopy.AnyModified() && prompt.Ask(LoadResString(IDS_DISCARD_CHANGES), PromptButtons::YesNoDefaultNo,
                                              PromptIcon::Question) != PromptAnswer::Yes) {
    return DirectBootResult::NotConfirmed;
  }
  const DirectBootResult result = Boot(*target->disk, *target->object, prompt, restart);
  // The images now hold the disk's sectors while the levels may still hold the given-up
  // changes; a later save must not mix the two.
  workingCopy.LoadAll();
  return result;
}

}  // namespace korvex

namespace korvex {

bool CancelDirectBoot(CHardDisk& disk, CPrompt& prompt) {
  if (disk.directBootPending == 0) {
    prompt.Message(text::kNoDirectBootPending, PromptIcon::Stop);
    return false;
  }
  disk.directBootPending = 0;
  for (const auto& item : disk.primary.items()) item.object->directBootTarget = false;
  disk.MarkModified();
  prompt.Message(text::kDirectBootCancelled, PromptIcon::Information);
  return true;
}

}  // namespace korvex
