#pragma once
// When each command of the program is enabled, and which context menu a node of the device
// tree gets: pure functions of the working copy and the selection, so that the window
// program's menus and toolbar and korvex-cli's refusals follow the same rules.
#include <optional>
#include <string>
#include <vector>

#include "shell/CommandIds.h"
#include "shell/DeviceTree.h"

namespace korvex {

// The form in the right pane of the main window.
enum class RightPane { SystemInfo, Overview, PartitionForm };

struct CommandContext {
  const WorkingCopy& workingCopy;
  std::optional<NodeRef> selection;  // nothing: no node is selected
  RightPane rightPane = RightPane::SystemInfo;
  bool rightPaneModified = false;  // the form holds values that differ from the working copy
};

// The disk the selection belongs to: the disk itself, or the disk of a partition or logical
// drive; nothing for the computer node or no selection.
CHardDisk* SelectedDisk(const CommandContext& context);

// A command that acts on the selected object is enabled exactly when its operation would not
// refuse that object: the state asks the operation's own rule (CreateRefusal, ActivationRefusal,
// MenuAddRefusal, …), so the window program and korvex-cli can never disagree.
bool IsCommandEnabled(CommandId command, const CommandContext& context);

// One entry of a context menu: a command, a separator (no command, no children) or a submenu.
struct MenuEntry {
  std::optional<CommandId> command;
  std::string text;
  bool enabled = true;
  std::vector<MenuEntry> children;
};

struct ContextMenu {
  int resource = 0;  // the menu's number, which also tells which of the menus it is
  std::vector<MenuEntry> entries;
};

// The context menu of the node; nothing for a node that has none (or names nothing). Its
// entries are enabled, except the first entry of a partition's menu ("Ins Menü aufnehmen" or
// "Aktivieren"), which follows its command state: greyed for an extended partition, a logical
// drive, on a disk with the boot engine and 12 menu entries, and on a disk without it while a
// partition of the disk is active.
std::optional<ContextMenu> ContextMenuFor(const WorkingCopy& workingCopy, const NodeRef& node);

}  // namespace korvex
