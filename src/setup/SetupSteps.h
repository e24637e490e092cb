#pragma once
// Installing and uninstalling, step by step as the installer's dialogs run them. Every step
// appends its lines to the dialog's log; messages and questions go through the prompt. Neither
// ever touches a disk: installing or removing the boot engine is the program's business.
#include <filesystem>
#include <functional>
#include <string>

#include "platform/Prompt.h"
#include "platform/RegistryStore.h"

namespace korvex::setup {

// Appends a text to the current dialog's log.
using SetupLog = std::function<void(const std::string&)>;

// What both directions work with.
struct SetupContext {
  std::filesystem::path distribution;  // the folder every file is copied from
  std::filesystem::path applications;  // the folder of the user's menu entries
  RegistryStore& store;
  CPrompt& prompt;
  SetupLog log;
};

enum class InstallOutcome {
  Installed,       // files, settings, catalogue and menu entry (a failed entry is logged)
  CopyFailed,      // stopped after message 7; files copied so far stay
  RegistryFailed,  // stopped after the files were copied; no menu entry was made
};

// Makes the missing folders of installFolder, copies the distribution files into it, writes
// the settings, imports the partition type catalogue through the store's importer (unless the
// store holds one already) and makes the menu entry.
InstallOutcome Install(const SetupContext& context, const std::filesystem::path& installFolder);

enum class UninstallOutcome {
  Uninstalled,  // what the installation wrote is gone (a deletion that failed is logged)
  Refused,      // the folder holds no list of installed files: nothing was deleted
};

// Deletes the files the installation's list (InstallManifest.h) in installFolder names, each
// only while it is still the file the installation wrote, then the list and the folder itself
// when nothing else lies there, the menu entry, and the program's and the installer's keys. A
// deletion that fails is logged and the rest goes on. A folder without the list (no
// installation of ours, or a "Pfad" that names something else) is refused with a message.
UninstallOutcome Uninstall(const SetupContext& context, const std::filesystem::path& installFolder);

}  // namespace korvex::setup
