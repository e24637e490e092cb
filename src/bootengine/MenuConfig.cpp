#include "bootengine/MenuConfig.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "bootengine/EngineConfig.h"
#include "bootengine/MenuEntryChecks.h"
#include "partition/PartitionEditing.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr unsigned kMaxTimeout = 99;
constexpr std::uint8_t kMaxBackground = 7;
constexpr std::uint8_t kMaxForeground = 15;
constexpr std::uint8_t kFirstShownCharacter = 0x20;
// The switched part of the status line (characters 27..40 of line 3), so that it reads
// "Autoboot des Systems in nn Sekunden" or "Autoboot des Systems ist nicht aktiv".
constexpr char kStatusAutoBootOn[] = "n     Sekunden";
constexpr char kStatusAutoBootOff[] = "st nicht aktiv";
static_assert(sizeof kStatusAutoBootOn - 1 == layout::CONST_STATUS_SWITCH_LEN);
static_assert(sizeof kStatusAutoBootOff - 1 == layout::CONST_STATUS_SWITCH_LEN);

bool Refuse(CPrompt& prompt, const std::string& text) {
  prompt.Message(text, PromptIcon::Stop);
  return false;
}

std::uint8_t Attribute(const TextColour& colour) {
  return static_cast<std::uint8_t>(colour.background << 4 | colour.foreground);
}

TextColour ColourOf(std::uint8_t attribute) {
  return TextColour{static_cast<std::uint8_t>(attribute & 0x0F), static_cast<std::uint8_t>(attribute >> 4)};
}

// The lowest menu position (0..11) that no entry of the disk holds.
std::uint8_t LowestFreePosition(const CHardDisk& disk) {
  std::array<bool, layout::CONST_MENU_ENTRIES> used{};
  for (const CPartition* entry : disk.MenuObjectsBySlot()) {
    if (entry->slot < used.size()) used[entry->slot] = true;
  }
  return static_cast<std::uint8_t>(std::find(used.begin(), used.end(), false) - used.begin());
}

}  // namespace

std::optional<std::string> MenuAddRefusal(const ResolvedObject& target) {
  const CHardDisk& disk = *target.disk;
  const CPartition& object = *target.object;
  if (!disk.EngineInstalled()) return StrFormat(text::kNoEngineOnDisk, disk.DeviceName().c_str());
  if (target.IsLogical()) return std::string(text::kLogicalNotInMenu);
  if (!(object.IsTable() || object.IsNewTable())) return std::string(text::kOnlyTableToMenu);
  if (object.IsExtended()) return std::string(text::kExtendedNotInMenu);
  // New entries (slot 127) count too, or the menu could grow past what the engine can show.
  if (disk.MenuEntryCount() >= layout::CONST_MENU_ENTRIES) return std::string(text::kMenuHasTwelve);
  return std::nullopt;
}

bool AddToMenu(WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt) {
  const auto target = ResolveOrReport(workingCopy, ref, prompt);
  if (!target) return false;
  if (auto refusal = MenuAddRefusal(*target)) return Refuse(prompt, *refusal);
  CHardDisk& disk = *target->disk;
  CPartition& object = *target->object;
  object.slot = LowestFreePosition(disk);
  object.SetMenu();
  object.isDefault = false;
  // A title of zero bytes (never set) would end the engine's screen line early.
  object.SetTitle(object.GetTitle());
  disk.RenumberMenu();
  disk.MarkModified();
  return true;
}

bool RemoveFromMenu(WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt) {
  const auto target = RequireMenuEntry(workingCopy, ref, prompt);
  if (!target) return false;
  CHardDisk& disk = *target->disk;
  CPartition& object = *target->object;
  const auto freeEntries = FreeTableEntries(disk);
  if (freeEntries.empty()) {
    if (prompt.Ask(LoadResString(IDS_MENU_FULL_REMOVE), PromptButtons::YesNoDefaultNo, PromptIcon::Question) !=
        PromptAnswer::Yes) {
      return false;
    }
    if (!DeletePartition(workingCopy, ref, prompt)) return false;
    disk.RenumberMenu();
    return true;
  }
  if (object.isNew) {
    object.MarkNew(PartitionState::NewTable);
  } else {
    object.SetTable();
  }
  object.slot = freeEntries.front();
  if (object.isDefault) disk.PassDefault(object, disk.primary, prompt);
  disk.RenumberMenu();
  disk.MarkModified();
  return true;
}

bool MoveMenuEntry(WorkingCopy& workingCopy, const ObjectRef& ref, unsigned position, CPrompt& prompt) {
  const auto target = RequireMenuEntry(workingCopy, ref, prompt);
  if (!target) return false;
  CHardDisk& disk = *target->disk;
  CPartition& object = *target->object;
  auto entries = disk.MenuObjectsBySlot();
  if (position >= entries.size()) {
    return Refuse(prompt, StrFormat(text::kMenuPositionInvalid, position, static_cast<unsigned>(entries.size() - 1)));
  }
  entries.erase(std::find(entries.begin(), entries.end(), &object));
  entries.insert(entries.begin() + position, &object);
  for (std::size_t k = 0; k < entries.size(); ++k) entries[k]->slot = static_cast<std::uint8_t>(k);
  disk.RenumberMenu();
  disk.MarkModified();
  return true;
}

bool MoveMenuEntryByOne(WorkingCopy& workingCopy, const ObjectRef& ref, bool up, CPrompt& prompt) {
  const auto target = RequireMenuEntry(workingCopy, ref, prompt);
  if (!target) return false;
  const auto entries = target->disk->MenuObjectsBySlot();
  const auto position =
      static_cast<unsigned>(std::find(entries.begin(), entries.end(), target->object) - entries.begin());
  if (up && position == 0) return Refuse(prompt, text::kMenuEntryAtTop);
  if (!up && position + 1 >= entries.size()) return Refuse(prompt, text::kMenuEntryAtBottom);
  return MoveMenuEntry(workingCopy, ref, up ? position - 1 : position + 1, prompt);
}

bool SetMenuTitle(WorkingCopy& workingCopy, const ObjectRef& ref, std::string_view cp437Title, CPrompt& prompt) {
  const auto target = RequireMenuEntry(workingCopy, ref, prompt);
  if (!target) return false;
  if (cp437Title.size() > kTitleLength) return Refuse(prompt, text::kTitleTooLong);
  // The BIOS string output takes bell, backspace, line feed and carriage return as commands.
  if (std::any_of(cp437Title.begin(), cp437Title.end(),
                  [](char c) { return static_cast<std::uint8_t>(c) < kFirstShownCharacter; })) {
    return Refuse(prompt, text::kTitleControlCharacter);
  }
  target->object->SetTitle(cp437Title);
  target->disk->MarkModified();
  return true;
}

bool SetDefaultPartition(WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt) {
  const auto target = RequireMenuEntry(workingCopy, ref, prompt);
  if (!target) return false;
  CHardDisk& disk = *target->disk;
  for (const auto& item : disk.primary.items()) item.object->isDefault = false;
  target->object->isDefault = true;
  disk.engineArea[layout::AREA_REMEMBER_LAST] = 0;
  disk.RenumberMenu();
  disk.MarkModified();
  return true;
}

bool SetRememberLast(CHardDisk& disk, bool on, CPrompt& prompt) {
  if (!RequireEngine(disk, prompt)) return false;
  disk.engineArea[layout::AREA_REMEMBER_LAST] = on ? 1 : 0;
  disk.RenumberMenu();
  disk.MarkModified();
  return true;
}

bool SetTimeout(CHardDisk& disk, unsigned seconds, CPrompt& prompt) {
  if (!RequireEngine(disk, prompt)) return false;
  if (seconds > kMaxTimeout) return Refuse(prompt, StrFormat(text::kTimeoutTooLong, seconds));
  disk.engineArea[layout::AREA_TIMEOUT] = SecondsToBcd(seconds);
  disk.MarkModified();
  return true;
}

bool SetAutoBoot(CHardDisk& disk, bool on, CPrompt& prompt) {
  if (!RequireEngine(disk, prompt)) return false;
  const std::size_t status = layout::AREA_SCREEN_LINES + layout::CONST_STATUS_LINE * layout::CONST_SCREEN_LINE_SIZE +
                             layout::CONST_STATUS_SWITCH_CHAR;
  std::memcpy(disk.engineArea.data() + status, on ? kStatusAutoBootOn : kStatusAutoBootOff,
              layout::CONST_STATUS_SWITCH_LEN);
  disk.engineArea[layout::AREA_AUTOBOOT_SWITCH] = on ? layout::CONST_AUTOBOOT_ON : layout::CONST_AUTOBOOT_OFF;
  disk.MarkModified();
  return true;
}

MenuColours CurrentMenuColours(const CHardDisk& disk) {
  const EngineConfig config = ReadEngineConfig(disk);
  return MenuColours{ColourOf(config.menuColour), ColourOf(config.barColour)};
}

bool SetMenuColours(CHardDisk& disk, const MenuColours& colours, CPrompt& prompt) {
  if (!RequireEngine(disk, prompt)) return false;
  for (const TextColour& colour : {colours.menu, colours.bar}) {
    if (colour.background > kMaxBackground || colour.foreground > kMaxForeground) {
      return Refuse(prompt, text::kColourOutOfRange);
    }
  }
  if (colours.menu.foreground == colours.menu.background) return Refuse(prompt, LoadResString(IDS_MENU_COLOURS_EQUAL));
  if (colours.bar.foreground == colours.bar.background) return Refuse(prompt, LoadResString(IDS_BAR_COLOURS_EQUAL));
  if (colours.menu == colours.bar) return Refuse(prompt, LoadResString(IDS_MENU_BAR_SAME));
  disk.engineArea[layout::AREA_MENU_COLOUR] = Attribute(colours.menu);
  disk.engineArea[layout::AREA_BAR_COLOUR] = Attribute(colours.bar);
  disk.MarkModified();
  return true;
}

}  // namespace korvex
