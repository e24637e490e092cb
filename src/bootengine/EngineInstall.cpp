#include "bootengine/EngineInstall.h"

#include <algorithm>
#include <optional>
#include <set>

#include "backup/BackupFile.h"
#include "bootengine/ChoiceText.h"
#include "bootengine/Templates.h"
#include "partition/PartitionEntry.h"
#include "platform/Cp437.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr std::size_t kOfferedObjects = 4;
constexpr std::uint8_t kBootSlot = layout::CONST_BOOT_SLOT;
constexpr std::uint8_t kInstalledMinorDigit = '1';

template <std::size_t N>
bool SameRange(const EngineAreaImage& area, const std::array<std::uint8_t, N>& pattern, std::size_t from,
               std::size_t to) {
  return std::equal(area.begin() + from, area.begin() + to, pattern.begin() + from);
}

// Our engine, installed or removed (a removal clears only the signature): its code, apart from
// the autoboot switch the menu configuration flips, and its password key are the template's.
bool HoldsOurEngine(const EngineAreaImage& area) {
  const std::size_t codeEnd = layout::AREA_ENTRY + layout::AREA_ENTRY_SIZE;
  const std::size_t keyEnd = layout::AREA_PASSWORD_KEY + layout::AREA_PASSWORD_KEY_SIZE;
  return SameRange(area, kEngineTemplate, layout::AREA_ENTRY, layout::AREA_AUTOBOOT_SWITCH) &&
         SameRange(area, kEngineTemplate, layout::AREA_AUTOBOOT_SWITCH + 1, codeEnd) &&
         SameRange(area, kEngineTemplate, layout::AREA_PASSWORD_KEY, keyEnd);
}

// Sectors 1..7 hold another program's data (neither zeros nor our engine); the backup file
// keeps only LBA 1 of it.
bool HoldsForeignData(const EngineAreaImage& area) {
  const bool blank = std::all_of(area.begin(), area.end(), [](std::uint8_t b) { return b == 0; });
  return !blank && !HoldsOurEngine(area);
}

struct SlotMove {
  CPartition* partition;
  std::uint8_t slot;
};

// Where the table partitions that stay in the table go once the engine holds slot 1: every
// one on slot 1 moves to the lowest slot no other staying partition uses. Nothing when one of
// them finds no free slot; offender then names it.
std::optional<std::vector<SlotMove>> PlanBootSlotMoves(const CHardDisk& disk, const std::set<CPartition*>& menu,
                                                       const CPartition*& offender) {
  std::vector<CPartition*> staying;
  std::set<std::uint8_t> used;
  for (CPartition* p : disk.primary.Used()) {
    if (!p->InPartitionTable() || menu.count(p) != 0) continue;
    staying.push_back(p);
    if (p->slot != kBootSlot) used.insert(p->slot);
  }
  std::vector<SlotMove> moves;
  for (CPartition* p : staying) {
    if (p->slot != kBootSlot) continue;
    const std::uint8_t candidates[] = {0, 2, 3};
    const auto free = std::find_if(std::begin(candidates), std::end(candidates),
                                   [&](std::uint8_t slot) { return used.count(slot) == 0; });
    if (free == std::end(candidates)) {
      offender = p;
      return std::nullopt;
    }
    used.insert(*free);
    moves.push_back({p, *free});
  }
  return moves;
}

// The chosen objects (indices into choices) when all of them can boot; otherwise nothing after
// telling the user why.
std::optional<std::set<CPartition*>> ChosenPartitions(const std::vector<InstallChoice>& choices,
                                                      const std::vector<unsigned>& chosen, CPrompt& prompt) {
  std::set<CPartition*> menu;
  std::optional<unsigned> unusable;
  for (unsigned index : chosen) {
    if (index < choices.size() && choices[index].bootable) {
      menu.insert(choices[index].partition);
    } else if (!unusable) {
      unusable = index;
    }
  }
  if (menu.empty()) {
    prompt.Message(text::kNoBootPartitionChosen, PromptIcon::Information);
    return std::nullopt;
  }
  if (unusable) {
    prompt.Message(StrFormat(text::kChoiceNotBootable, *unusable + 1), PromptIcon::Stop);
    return std::nullopt;
  }
  return menu;
}

}  // namespace

std::vector<InstallChoice> InstallChoices(const CHardDisk& disk) {
  std::vector<InstallChoice> choices;
  for (const auto& item : disk.primary.items()) {
    if (choices.size() == kOfferedObjects) break;
    CPartition* p = item.object.get();
    const bool bootable = p->type != 0 && !IsExtendedType(p->type) && !p->IsFree();
    choices.push_back({p, ChoiceText(*p), bootable});
  }
  return choices;
}

namespace {

// What an install will do, once every check passed and every question was answered.
struct InstallPlan {
  std::vector<InstallChoice> choices;
  std::set<CPartition*> menu;
  std::vector<SlotMove> moves;
};

// The checks and questions of an install, and the backup file: the plan, or nothing after a
// refusal or a declined question. The working copy is not changed.
std::optional<InstallPlan> PlanInstall(CHardDisk& disk, const std::vector<unsigned>& chosen,
                                       const std::string& backupPath, CPrompt& prompt) {
  const auto refuse = [&](const std::string& text) {
    prompt.Message(text, PromptIcon::Stop);
    return std::nullopt;
  };
  if (chosen.empty()) return refuse(LoadResString(IDS_NO_MENU_PARTITION));
  if (disk.EngineInstalled()) return refuse(text::kEngineAlreadyInstalled);
  if (disk.gpt) return refuse(StrFormat(text::kGptUnchanged, disk.DeviceName().c_str()));
  if (const std::uint64_t sectors = disk.MediumSectors(); sectors != 0 && sectors < kEngineTrackSectors) {
    return refuse(StrFormat(text::kDiskTooShortForEngine, disk.DeviceName().c_str(),
                            static_cast<unsigned long long>(sectors)));
  }
  if (const CPartition* covered = disk.PartitionInEngineTrack()) {
    return refuse(StrFormat(text::kEngineTrackCovered, disk.DeviceName().c_str(), covered->start));
  }
  InstallPlan plan{InstallChoices(disk), {}, {}};
  const auto menu = ChosenPartitions(plan.choices, chosen, prompt);
  if (!menu) return std::nullopt;
  plan.menu = *menu;
  const CPartition* offender = nullptr;
  const auto moves = PlanBootSlotMoves(disk, plan.menu, offender);
  if (!moves) return refuse(StrFormat(text::kBootSlotNoRoom, offender->start));
  plan.moves = *moves;
  if (HoldsForeignData(disk.engineArea) &&
      prompt.Ask(text::kForeignTrackData, PromptButtons::YesNoDefaultNo, PromptIcon::Question) != PromptAnswer::Yes) {
    return std::nullopt;
  }
  if (backupPath.empty()) {
    if (prompt.Ask(LoadResString(IDS_NO_BACKUP_NAME), PromptButtons::YesNoDefaultNo, PromptIcon::Question) !=
        PromptAnswer::Yes) {
      return std::nullopt;
    }
  } else if (!ExportBackup(disk, backupPath, prompt)) {
    return std::nullopt;
  }
  return plan;
}

// Puts the templates into the images and the chosen partitions into the menu, as plan says.
void ApplyInstall(CHardDisk& disk, const InstallPlan& plan, CPrompt& prompt) {
  // The disk identifier stays: systems booted through the menu find their disk by it.
  std::array<std::uint8_t, kDiskIdentifierSize> identifier{};
  std::copy_n(disk.sector0.begin() + kDiskIdentifierOffset, kDiskIdentifierSize, identifier.begin());
  std::copy(kEngineTemplate.begin(), kEngineTemplate.end(), disk.engineArea.begin());
  std::copy(kLoaderTemplate.begin(), kLoaderTemplate.end(), disk.sector0.begin());
  std::copy(identifier.begin(), identifier.end(), disk.sector0.begin() + kDiskIdentifierOffset);
  disk.engineArea[layout::CONST_VERSION_MINOR_AREA] = kInstalledMinorDigit;
  for (const SlotMove& move : plan.moves) move.partition->slot = move.slot;
  for (const InstallChoice& choice : plan.choices) {
    if (plan.menu.count(choice.partition) == 0) continue;
    choice.partition->SetMenu();
    choice.partition->SetTitle(Utf8ToCp437(choice.text).value_or(choice.text));
  }
  // Menu position 0 is the default entry, as the default-entry byte below says.
  const auto entries = disk.MenuObjectsBySlot();
  for (CPartition* entry : entries) entry->isDefault = entry == entries.front();
  disk.MarkModified();
  disk.sector0[layout::LOADER_DEFAULT_ENTRY] = 0;
  disk.sector0[layout::LOADER_DIRECT_BOOT] = 0;
  disk.engineArea[layout::AREA_REMEMBER_LAST] = 0;
  // The entries keep their table order but take the positions 0..N-1 (the table slots may have
  // gaps), so positions, menu table and default-entry byte agree from the start.
  disk.RenumberMenu();
  for (const SlotMove& move : plan.moves) {
    prompt.Message(StrFormat(text::kBootSlotMoved, move.partition->start, move.slot + 1u), PromptIcon::Information);
  }
  prompt.Message(text::kEngineInstalled, PromptIcon::Information);
}

}  // namespace

bool InstallEngine(CHardDisk& disk, const std::vector<unsigned>& chosen, const std::string& backupPath,
                   CPrompt& prompt) {
  const auto plan = PlanInstall(disk, chosen, backupPath, prompt);
  if (!plan) return false;
  ApplyInstall(disk, *plan, prompt);
  return true;
}

}  // namespace korvex
