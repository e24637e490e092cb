#include "shell/PendingOperations.h"

#include <algorithm>
#include <map>

#include "bootengine/EngineConfig.h"
#include "bootengine/SelfTest.h"
#include "disk/FormatSize.h"
#include "partition/PartitionEntry.h"
#include "parttypes/PartTypeCatalogue.h"
#include "platform/Cp437.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

// The confirmation lists this many lines at most, then how many more there are.
constexpr std::size_t kConfirmLines = 20;

// The same object on both sides; logical tells the level.
struct Pair {
  const CPartition* before;
  const CPartition* now;
  bool logical;
};

struct Sides {
  std::vector<Pair> pairs;
  std::vector<std::pair<const CPartition*, bool>> deleted;  // with the level (logical)
  std::vector<std::pair<const CPartition*, bool>> created;
};

std::vector<const KeyedObject*> UsedOf(const std::vector<KeyedObject>& level) {
  std::vector<const KeyedObject*> used;
  for (const KeyedObject& item : level) {
    if (!item.object.IsFree()) used.push_back(&item);
  }
  std::stable_sort(used.begin(), used.end(),
                   [](const KeyedObject* x, const KeyedObject* y) { return x->object.start < y->object.start; });
  return used;
}

bool SamePlace(const CPartition& a, const CPartition& b) {
  return a.start == b.start && a.length == b.length && a.dataOffset == b.dataOffset;
}

// Objects are the same by their key, which stays with an object for its life; an object that
// was read anew (a loaded backup) has another key but the same place and is not new.
void MatchLevel(const std::vector<KeyedObject>& before, const std::vector<KeyedObject>& now, bool logical,
                Sides& sides) {
  const auto a = UsedOf(before);
  const auto b = UsedOf(now);
  std::vector<bool> takenA(a.size()), takenB(b.size());
  const auto match = [&](auto same) {
    for (std::size_t j = 0; j < b.size(); ++j) {
      for (std::size_t i = 0; i < a.size() && !takenB[j]; ++i) {
        if (takenA[i] || !same(*a[i], *b[j])) continue;
        takenA[i] = takenB[j] = true;
        sides.pairs.push_back({&a[i]->object, &b[j]->object, logical});
      }
    }
  };
  match([](const KeyedObject& x, const KeyedObject& y) { return x.key == y.key; });
  match([](const KeyedObject& x, const KeyedObject& y) { return !y.object.isNew && SamePlace(x.object, y.object); });
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!takenA[i]) sides.deleted.push_back({&a[i]->object, logical});
  }
  for (std::size_t j = 0; j < b.size(); ++j) {
    if (!takenB[j]) sides.created.push_back({&b[j]->object, logical});
  }
}

class DiskDiff {
 public:
  DiskDiff(const DiskState& before, const DiskState& now, unsigned device, const RegistryStore& registry)
      : before_(before), now_(now), device_(device), registry_(registry), disk_(StrFormat(text::kPendingDisk, device + 1)),
        engineBefore_(HasEngineSignature(before.engineArea)), engineNow_(HasEngineSignature(now.engineArea)) {
    MatchLevel(before.primary, now.primary, false, sides_);
    MatchLevel(before.logical, now.logical, true, sides_);
    std::stable_sort(sides_.pairs.begin(), sides_.pairs.end(), [](const Pair& x, const Pair& y) {
      return std::pair(x.logical, x.now->start) < std::pair(y.logical, y.now->start);
    });
    for (const Pair& pair : sides_.pairs) counterpart_[pair.now] = pair.before;
  }

  std::vector<PendingOperation> Lines() {
    if (!engineBefore_ && engineNow_) Add(text::kPendingEngineInstall, disk_.c_str());
    if (engineBefore_ && !engineNow_) Add(text::kPendingEngineRemove, disk_.c_str());
    for (const auto& [object, logical] : sides_.deleted) {
      Add(text::kPendingDelete, Kind(logical), Describe(*object).c_str(), disk_.c_str());
    }
    for (const auto& [object, logical] : sides_.created) {
      Add(object->isNew && object->destructive ? text::kPendingCreate : text::kPendingTakeOver, Kind(logical),
          Describe(*object).c_str(), disk_.c_str());
      BootSectorRestore(nullptr, *object, logical);
    }
    for (const Pair& pair : sides_.pairs) ObjectChanges(pair);
    if (engineNow_) MenuChanges();
    PasswordChanges();
    if (before_.directBootPending != 0 && now_.directBootPending == 0) Add(text::kPendingDirectBootCancel, disk_.c_str());
    if (engineBefore_ && engineNow_ &&
        !SameEngineCode(before_.sector0, before_.engineArea, now_.sector0, now_.engineArea)) {
      Add(text::kPendingEngineRepair, disk_.c_str());
    }
    if (!engineBefore_ && !engineNow_ &&
        !std::equal(before_.sector0.begin(), before_.sector0.begin() + kDiskIdentifierOffset, now_.sector0.begin())) {
      Add(text::kPendingBootCode, disk_.c_str());
    }
    if (lines_.empty() && !SameContent(before_, now_)) Add(text::kPendingOther, disk_.c_str());
    return std::move(lines_);
  }

 private:
  template <typename... Args>
  void Add(const char* format, Args... args) {
    lines_.push_back({device_, StrFormat(format, args...)});
  }

  static const char* Kind(bool logical) { return logical ? text::kPendingLogical : text::kPendingPartition; }
  static unsigned DataStart(const CPartition& p) { return static_cast<unsigned>(p.DataStart()); }

  std::string Describe(const CPartition& p) const {
    const std::string size = FormatSize(std::uint64_t{p.DataLength()} * kSectorSize);
    if (const auto name = TypeNameById(registry_, p.type)) {
      return StrFormat(text::kPendingNamedDescription, unsigned{p.type}, name->c_str(), size.c_str(), DataStart(p));
    }
    return StrFormat(text::kPendingDescription, unsigned{p.type}, size.c_str(), DataStart(p));
  }
  std::string Name(const CPartition& p, bool logical) const {
    return StrFormat(text::kPendingObject, Kind(logical), DataStart(p), disk_.c_str());
  }
  static std::string Title(const CPartition& p) { return Cp437ToUtf8(p.GetTitle()); }

  void BootSectorRestore(const CPartition* before, const CPartition& now, bool logical) {
    if (now.bootSectorRestore && (before == nullptr || before->bootSectorRestore != now.bootSectorRestore)) {
      Add(text::kPendingBootSector, now.bootSectorRestore->lba, Name(now, logical).c_str());
    }
  }

  void ObjectChanges(const Pair& pair) {
    const CPartition& a = *pair.before;
    const CPartition& b = *pair.now;
    const std::string name = Name(b, pair.logical);
    if (a.type != b.type) Add(text::kPendingType, unsigned{a.type}, unsigned{b.type}, name.c_str());
    if (!SamePlace(a, b)) {
      Add(text::kPendingPosition, DataStart(a), a.DataLength(), DataStart(b), b.DataLength(), name.c_str());
    }
    if (!pair.logical && a.InPartitionTable() && b.InPartitionTable()) {
      if (a.slot != b.slot) Add(text::kPendingTableEntry, a.slot + 1u, b.slot + 1u, name.c_str());
      if (!a.IsActiveTable() && b.IsActiveTable()) Add(text::kPendingActivate, name.c_str());
      if (a.IsActiveTable() && !b.IsActiveTable()) Add(text::kPendingDeactivate, name.c_str());
    }
    BootSectorRestore(&a, b, pair.logical);
  }

  // The menu entries of a side in menu order.
  static std::vector<const CPartition*> MenuOf(const DiskState& state) {
    std::vector<const CPartition*> entries;
    for (const KeyedObject& item : state.primary) {
      if (item.object.InMenu()) entries.push_back(&item.object);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const CPartition* x, const CPartition* y) { return x->slot < y->slot; });
    return entries;
  }
  const CPartition* Before(const CPartition* now) const {
    const auto found = counterpart_.find(now);
    return found == counterpart_.end() ? nullptr : found->second;
  }
  static std::string Quoted(const std::vector<const CPartition*>& entries) {
    std::string list;
    for (const CPartition* entry : entries) list += (list.empty() ? "'" : ", '") + Title(*entry) + "'";
    return list;
  }
  // The default entry of a side as the user names it, the entries of the other side mapped
  // through toNow.
  std::string DefaultOf(const DiskState& state, bool mapToNow) const {
    if (ReadEngineConfig(state.sector0, state.engineArea).rememberLast) return text::kPendingLastBooted;
    for (const CPartition* entry : MenuOf(state)) {
      if (!entry->isDefault) continue;
      if (!mapToNow) return "'" + Title(*entry) + "'";
      for (const Pair& pair : sides_.pairs) {
        if (pair.before == entry) return "'" + Title(*pair.now) + "'";
      }
      return "'" + Title(*entry) + "'";
    }
    return text::kPendingNoDefault;
  }

  void MenuChanges() {
    const auto menuBefore = MenuOf(before_);
    const auto menuNow = MenuOf(now_);
    const auto inMenuBefore = [&](const CPartition* p) {
      return p != nullptr && std::find(menuBefore.begin(), menuBefore.end(), p) != menuBefore.end();
    };
    std::vector<const CPartition*> keptBefore;  // entries in both menus, in the old order (as now)
    std::vector<const CPartition*> keptNow;
    for (const CPartition* entry : menuNow) {
      const CPartition* before = Before(entry);
      if (!inMenuBefore(before)) {
        Add(text::kPendingMenuAdd, Title(*entry).c_str(), Name(*entry, false).c_str());
        continue;
      }
      keptNow.push_back(entry);
      if (before->title != entry->title) {
        Add(text::kPendingMenuTitle, Title(*before).c_str(), Title(*entry).c_str(), disk_.c_str());
      }
    }
    for (const Pair& pair : sides_.pairs) {
      if (!pair.logical && pair.before->InMenu() && !pair.now->InMenu()) {
        Add(text::kPendingMenuRemove, Title(*pair.before).c_str(), Name(*pair.now, false).c_str());
      }
    }
    for (const CPartition* entry : menuBefore) {
      for (const CPartition* now : keptNow) {
        if (Before(now) == entry) keptBefore.push_back(now);
      }
    }
    if (keptBefore != keptNow) {
      Add(text::kPendingMenuOrder, Quoted(keptBefore).c_str(), Quoted(keptNow).c_str(), disk_.c_str());
    }
    if (!engineBefore_) return;  // a new engine's settings are its template's
    const std::string defaultBefore = DefaultOf(before_, true);
    const std::string defaultNow = DefaultOf(now_, false);
    if (defaultBefore != defaultNow) {
      Add(text::kPendingMenuDefault, defaultBefore.c_str(), defaultNow.c_str(), disk_.c_str());
    }
    const EngineConfig a = ReadEngineConfig(before_.sector0, before_.engineArea);
    const EngineConfig b = ReadEngineConfig(now_.sector0, now_.engineArea);
    if (a.timeoutSeconds != b.timeoutSeconds) Add(text::kPendingTimeout, a.timeoutSeconds, b.timeoutSeconds, disk_.c_str());
    if (a.autoboot != b.autoboot) {
      Add(text::kPendingAutoBoot, a.autoboot ? text::kPendingOn : text::kPendingOff,
          b.autoboot ? text::kPendingOn : text::kPendingOff, disk_.c_str());
    }
    if (a.menuColour != b.menuColour || a.barColour != b.barColour) Add(text::kPendingColours, disk_.c_str());
  }

  void PasswordChanges() {
    if (!engineNow_) return;
    for (const CPartition* entry : MenuOf(now_)) {
      const CPartition* before = Before(entry);
      const bool hadOne = before != nullptr && before->passwordSet;
      // Passwords are kept in their stored form only: a change is another stored form.
      if (hadOne == entry->passwordSet && (!hadOne || before->passwordSlot == entry->passwordSlot)) continue;
      const char* format = entry->passwordSet ? (hadOne ? text::kPendingPasswordChange : text::kPendingPasswordSet)
                                              : (hadOne ? text::kPendingPasswordDelete : nullptr);
      if (format != nullptr) Add(format, Title(*entry).c_str(), Name(*entry, false).c_str());
    }
    for (const unsigned slot : {layout::CONST_FLOPPY_A_SLOT, layout::CONST_FLOPPY_B_SLOT}) {
      const std::size_t at = layout::AREA_PASSWORDS + slot * layout::CONST_PASSWORD_SLOT_SIZE;
      const auto stored = [&](const DiskState& state, bool engine) {
        std::array<std::uint8_t, layout::CONST_PASSWORD_SLOT_SIZE> bytes{};
        if (engine) std::copy_n(state.engineArea.begin() + at, bytes.size(), bytes.begin());
        return bytes;
      };
      const auto a = stored(before_, engineBefore_);
      const auto b = stored(now_, engineNow_);
      if (a == b) continue;
      const unsigned drive = slot - layout::CONST_FLOPPY_A_SLOT + 1;
      const char* format = b[0] == 0 ? text::kPendingFloppyDelete
                           : a[0] == 0 ? text::kPendingFloppySet
                                       : text::kPendingFloppyChange;
      Add(format, drive, disk_.c_str());
    }
  }

  const DiskState& before_;
  const DiskState& now_;
  unsigned device_;
  const RegistryStore& registry_;
  std::string disk_;
  bool engineBefore_;
  bool engineNow_;
  Sides sides_;
  std::map<const CPartition*, const CPartition*> counterpart_;  // now → before
  std::vector<PendingOperation> lines_;
};

}  // namespace

std::vector<PendingOperation> DiskChanges(const DiskState& asRead, const DiskState& now, unsigned device,
                                          const RegistryStore& registry) {
  return DiskDiff(asRead, now, device, registry).Lines();
}

std::vector<PendingOperation> PendingOperationsOf(const WorkingCopy& workingCopy, unsigned device,
                                                  const RegistryStore& registry) {
  const CHardDisk* disk = workingCopy.Find(device);
  // A disk without a change is as it was read: the window asks after every edit, so the
  // unchanged disks are not captured and compared each time.
  if (disk == nullptr || !disk->IsModified()) return {};
  const DiskState* asRead = workingCopy.history().StateAsRead(device);
  if (asRead == nullptr) return {};
  return DiskChanges(*asRead, CaptureState(*disk), device, registry);
}

std::vector<PendingOperation> PendingOperations(const WorkingCopy& workingCopy, const RegistryStore& registry) {
  std::vector<PendingOperation> all;
  for (const auto& [key, disk] : workingCopy.disks()) {
    auto lines = PendingOperationsOf(workingCopy, disk->DeviceNumber(), registry);
    all.insert(all.end(), lines.begin(), lines.end());
  }
  return all;
}

bool ConfirmPendingSave(const std::vector<PendingOperation>& operations, CPrompt& prompt) {
  if (operations.empty()) return true;
  std::string list;
  for (std::size_t i = 0; i < operations.size() && i < kConfirmLines; ++i) list += operations[i].text + "\n";
  if (operations.size() > kConfirmLines) list += StrFormat(text::kPendingMore, operations.size() - kConfirmLines) + "\n";
  return prompt.Ask(StrFormat(text::kPendingConfirm, list.c_str()), PromptButtons::YesNoDefaultNo,
                    PromptIcon::Question) == PromptAnswer::Yes;
}

}  // namespace korvex
