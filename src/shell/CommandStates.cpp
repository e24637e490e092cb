#include "shell/CommandStates.h"

#include <algorithm>

#include "bootengine/DirectBoot.h"
#include "bootengine/MenuConfig.h"
#include "bootengine/MenuEntryChecks.h"
#include "image/ImageRange.h"
#include "image/ImageRestore.h"
#include "partition/PartitionEditing.h"
#include "partition/PositionChecks.h"

namespace korvex {
namespace {

bool AnyDiskHasEngine(const WorkingCopy& workingCopy) {
  return std::any_of(workingCopy.disks().begin(), workingCopy.disks().end(),
                     [](const auto& entry) { return entry.second->EngineInstalled(); });
}

bool OnEngineDisk(const CommandContext& context) {
  const CHardDisk* disk = SelectedDisk(context);
  return disk != nullptr && disk->EngineInstalled();
}

// The object the selection names, when it names one.
std::optional<ResolvedObject> SelectedObject(const WorkingCopy& workingCopy, const std::optional<NodeRef>& selection) {
  if (!selection || selection->type != NodeRef::Type::Object) return std::nullopt;
  return Resolve(workingCopy, selection->object);
}

// A command that acts on the selected object is enabled exactly when its operation would not
// refuse that object: both ask the operation's own rule.
template <typename Rule>
bool ObjectPasses(const CommandContext& context, Rule rule) {
  const auto target = SelectedObject(context.workingCopy, context.selection);
  return target && !rule(*target);
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
      return ObjectPasses(context, [](const ResolvedObject& t) {
        return CreateRefusal(*t.disk, *t.object, t.IsLogical());
      });
    case CommandId::Delete:
      return ObjectPasses(context, DeleteRefusal);
    case CommandId::Check:
      return ObjectPasses(context, CheckRefusal);
    case CommandId::ImageSave:
      return ObjectPasses(context, [](const ResolvedObject& t) { return ImageRangeRefusal(*t.object, t.IsLogical()); });
    case CommandId::ImageRestore:
      return ObjectPasses(context,
                          [](const ResolvedObject& t) { return RestoreTargetRefusal(*t.disk, *t.object, t.IsLogical()); });
    case CommandId::MenuAdd:
      return ObjectPasses(context, MenuAddRefusal);
    case CommandId::MenuRemove:
    case CommandId::Password:
      return ObjectPasses(context, MenuEntryRefusal);
    case CommandId::Boot:
    case CommandId::BootFromContextMenu:
      return ObjectPasses(context, DirectBootRefusal);
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
      return ObjectPasses(context, [](const ResolvedObject& t) { return ActivationRefusal(t, true); });
    case CommandId::Deactivate:
      return ObjectPasses(context, [](const ResolvedObject& t) { return ActivationRefusal(t, false); });
    case CommandId::FloppyPasswordA:
    case CommandId::FloppyPasswordB:
      return AnyDiskHasEngine(context.workingCopy);
    case CommandId::Analysis:
      return disk != nullptr && context.selection->type == NodeRef::Type::Disk;  // Disk or BootDisk
    case CommandId::Undo:
      return context.workingCopy.history().CanUndo();
    case CommandId::Redo:
      return context.workingCopy.history().CanRedo();
    case CommandId::Reload:
    case CommandId::ReloadDisk:
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
      // Greyed as the operation would refuse it: neither an extended partition nor a logical
      // drive can be booted from the partition table or the menu, the menu holds 12 entries at
      // most, and without the engine only one partition can be active.
      menu.entries.front().enabled = IsCommandEnabled(*menu.entries.front().command, {workingCopy, node});
      return menu;
    }
  }
  return std::nullopt;
}

}  // namespace korvex
