#include "shell/CommandStates.h"

#include <algorithm>

#include "EngineLayout.h"

namespace korvex {
namespace {

bool KindIsOneOf(const CommandContext& context, std::initializer_list<NodeKind> kinds) {
  if (!context.selection) return false;
  const auto kind = KindOf(context.workingCopy, *context.selection);
  return kind && std::find(kinds.begin(), kinds.end(), *kind) != kinds.end();
}

bool HasActivePartition(const CHardDisk& disk) {
  return disk.primary.Count([](const CPartition& p) { return p.IsActiveTable(); }) > 0;
}

bool AnyDiskHasEngine(const WorkingCopy& workingCopy) {
  return std::any_of(workingCopy.disks().begin(), workingCopy.disks().end(),
                     [](const auto& entry) { return entry.second->EngineInstalled(); });
}

// Activate and deactivate: a data or menu partition of a disk without the boot engine, and
// whether the disk has an active partition already.
bool ActivationApplies(const CommandContext& context, bool wantActive) {
  const CHardDisk* disk = SelectedDisk(context);
  return disk != nullptr && !disk->EngineInstalled() &&
         KindIsOneOf(context, {NodeKind::DataPartition, NodeKind::MenuPartition}) &&
         HasActivePartition(*disk) == wantActive;
}

bool OnEngineDisk(const CommandContext& context) {
  const CHardDisk* disk = SelectedDisk(context);
  return disk != nullptr && disk->EngineInstalled();
}

MenuEntry Item(CommandId command, const char* text) { return {command, text, true, {}}; }
MenuEntry Separator() { return {}; }
MenuEntry Compare(const char* text) {
  return {std::nullopt, text, true,
          {Item(CommandId::AbsoluteToRelative, "&Absolut nach Relativ"),
           Item(CommandId::RelativeToAbsolute, "&Relativ nach Absolut")}};
}
// The entries that every partition's menu ends with.
void AddPartitionTail(std::vector<MenuEntry>& entries, const char* compareText) {
  entries.insert(entries.end(), {Compare(compareText), Item(CommandId::Check, "&Prüfen"), Separator(),
                                 Item(CommandId::ImageSave, "Abbild erzeugen..."),
                                 Item(CommandId::ImageRestore, "Abbild laden...")});
}

}  // namespace

CHardDisk* SelectedDisk(const CommandContext& context) {
  if (!context.selection || context.selection->type == NodeRef::Type::Computer) return nullptr;
  return context.workingCopy.Find(context.selection->device);
}

bool IsCommandEnabled(CommandId command, const CommandContext& context) {
  const CHardDisk* disk = SelectedDisk(context);
  switch (command) {
    case CommandId::Save:
      return context.workingCopy.AnyModified();
    case CommandId::SaveDisk:
      if (context.selection && context.selection->type == NodeRef::Type::Computer) {
        return context.workingCopy.AnyModified();
      }
      return disk != nullptr && disk->IsModified();
    case CommandId::Apply:
      return context.rightPane != RightPane::SystemInfo && context.rightPaneModified;
    case CommandId::Create:
      return KindIsOneOf(context, {NodeKind::FreeSpace});
    case CommandId::Delete:
    case CommandId::Check:
    case CommandId::ImageSave:
    case CommandId::ImageRestore:
      return KindIsOneOf(context, {NodeKind::DataPartition, NodeKind::MenuPartition, NodeKind::ExtendedPartition});
    case CommandId::MenuAdd:
      // Entries created for the menu but not yet saved (NewMenu) do not count against the limit.
      return KindIsOneOf(context, {NodeKind::DataPartition}) && OnEngineDisk(context) &&
             disk->primary.Count([](const CPartition& p) { return p.IsMenu(); }) < layout::CONST_MENU_ENTRIES;
    case CommandId::MenuRemove:
    case CommandId::Boot:
    case CommandId::Password:
      return OnEngineDisk(context) && KindIsOneOf(context, {NodeKind::MenuPartition});
    case CommandId::AbsoluteToRelative:
    case CommandId::RelativeToAbsolute:
      return context.rightPane == RightPane::PartitionForm;
    case CommandId::BootMenu:
      return OnEngineDisk(context);
    case CommandId::SelfTest:
      // Also an engine whose loader is missing from sector 0: the self test can put it back.
      return OnEngineDisk(context) || (disk != nullptr && disk->engineWithoutLoader);
    case CommandId::BootManager:
      return disk != nullptr;
    case CommandId::Activate:
      return ActivationApplies(context, false);
    case CommandId::Deactivate:
      return ActivationApplies(context, true);
    case CommandId::FloppyPasswordA:
    case CommandId::FloppyPasswordB:
      return AnyDiskHasEngine(context.workingCopy);
    case CommandId::Analysis:
      return KindIsOneOf(context, {NodeKind::Disk, NodeKind::BootDisk});
    case CommandId::Reload:
    case CommandId::ReloadDisk:
    case CommandId::BootFromContextMenu:
    case CommandId::PartitionTypes:
    case CommandId::About:
      return true;
  }
  return false;
}

std::optional<ContextMenu> ContextMenuFor(const WorkingCopy& workingCopy, const NodeRef& node) {
  const auto kind = KindOf(workingCopy, node);
  if (!kind) return std::nullopt;
  const CHardDisk* disk = node.type == NodeRef::Type::Computer ? nullptr : workingCopy.Find(node.device);
  const bool engine = disk != nullptr && disk->EngineInstalled();
  switch (*kind) {
    case NodeKind::Computer:
      return ContextMenu{169, {Item(CommandId::SaveDisk, "&Speichern"), Item(CommandId::ReloadDisk, "&Wiederherstellen")}};
    case NodeKind::Disk:
    case NodeKind::BootDisk:
      return ContextMenu{146,
                         {Item(CommandId::SaveDisk, "&Speichern"), Item(CommandId::ReloadDisk, "&Wiederherstellen"),
                          Separator(), Item(CommandId::Analysis, "Analyse...")}};
    case NodeKind::FreeSpace:
      return ContextMenu{143, {Item(CommandId::Create, "&Anlegen")}};
    case NodeKind::MenuPartition:
      if (engine) {
        ContextMenu menu{139,
                         {Item(CommandId::MenuRemove, "Aus dem Menü &entfernen"), Item(CommandId::Delete, "&Löschen"),
                          Separator(), Item(CommandId::Password, "Pass&wort..."), Separator()}};
        AddPartitionTail(menu.entries, "Ab&gleich");
        menu.entries.insert(menu.entries.end(), {Separator(), Item(CommandId::BootFromContextMenu, "Booten")});
        return menu;
      } else {
        ContextMenu menu{156, {Item(CommandId::Deactivate, "&Deaktivieren"), Item(CommandId::Delete, "&Löschen"), Separator()}};
        AddPartitionTail(menu.entries, "Ab&gleich");
        return menu;
      }
    case NodeKind::DataPartition:
    case NodeKind::ExtendedPartition: {
      ContextMenu menu = engine ? ContextMenu{142, {Item(CommandId::MenuAdd, "Ins &Menü aufnehmen")}}
                                : ContextMenu{159, {Item(CommandId::Activate, "Ak&tivieren")}};
      menu.entries.insert(menu.entries.end(), {Item(CommandId::Delete, "&Löschen"), Separator()});
      AddPartitionTail(menu.entries, "Abgleich");
      // Neither an extended partition nor a logical drive can be booted from the partition
      // table or the menu; without the engine, only one partition can be active.
      menu.entries.front().enabled = *kind != NodeKind::ExtendedPartition && node.object.level != LevelKind::Logical &&
                                     (engine || !HasActivePartition(*disk));
      return menu;
    }
  }
  return std::nullopt;
}

}  // namespace korvex
