#pragma once
// The one place where the program's command numbers meet wxWidgets ids. The numbers (32772 …
// 57664) lie above the toolkit's limit of 32767, so every command's id is its number less a
// fixed offset; nothing else in the program computes ids.
#include <array>
#include <optional>

#include "shell/CommandIds.h"

namespace korvex {

inline constexpr int kCommandIdOffset = 32000;

constexpr int WxIdOf(CommandId command) { return static_cast<int>(command) - kCommandIdOffset; }

inline constexpr std::array kAllCommands = {
    CommandId::PartitionTypes, CommandId::Save,          CommandId::Reload,
    CommandId::SelfTest,       CommandId::BootMenu,      CommandId::MenuAdd,
    CommandId::MenuRemove,     CommandId::Delete,        CommandId::Create,
    CommandId::AbsoluteToRelative, CommandId::RelativeToAbsolute, CommandId::Check,
    CommandId::SaveDisk,       CommandId::ReloadDisk,    CommandId::Apply,
    CommandId::BootManager,    CommandId::Activate,      CommandId::Deactivate,
    CommandId::Password,       CommandId::BootFromContextMenu, CommandId::FloppyPasswordA,
    CommandId::FloppyPasswordB, CommandId::Boot,         CommandId::Analysis,
    CommandId::ImageSave,      CommandId::ImageRestore,  CommandId::Undo,
    CommandId::Redo,           CommandId::About,
};

// The lowest and highest wx id of a command, for binding one handler to all of them.
inline constexpr int kFirstCommandWxId = WxIdOf(CommandId::PartitionTypes);
inline constexpr int kLastCommandWxId = WxIdOf(CommandId::About);

// The command of a wx id; nothing for any other id.
inline std::optional<CommandId> CommandOfWxId(int id) {
  for (const CommandId command : kAllCommands) {
    if (WxIdOf(command) == id) return command;
  }
  return std::nullopt;
}

static_assert(kLastCommandWxId < 32767 && kFirstCommandWxId > 0);

}  // namespace korvex
