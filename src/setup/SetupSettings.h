#pragma once
// What the installer keeps in the settings store (HKEY_CURRENT_USER): the settings the program
// reads ("Win95Hack", the sector helper) and the installer's own record of the installation
// ("Pfad", "Version"), in the program's settings key; and a key of the installer itself.
#include <filesystem>
#include <optional>

#include "ProgramVersion.h"
#include "platform/RegistryStore.h"

namespace korvex::setup {

// The program's key with its settings and partition type catalogue, and the installer's key;
// uninstalling deletes both with everything below them.
inline constexpr const char* kProgramKey = "SOFTWARE\\MIRLACH\\KORVEX";
inline constexpr const char* kSetupKey = "SOFTWARE\\MIRLACH\\SETUP";
inline constexpr const char* kSetupSettingsKey = "SOFTWARE\\MIRLACH\\SETUP\\SETTINGS";
inline constexpr const char* kFolderValue = "Pfad";
inline constexpr const char* kVersionValue = "Version";
// The version recorded for an installation: the program's own, from the build.
inline constexpr const char* kInstalledVersion = kProgramVersion;

// The installer's key, written when its main dialog opens: the sector helper of the
// distribution it runs from.
bool RecordSetupStart(RegistryStore& store, const std::filesystem::path& distributionFolder);

// "Win95Hack" (the installed sector helper), "Pfad" and "Version", in that order; false at the
// first write that failed.
bool WriteInstallSettings(RegistryStore& store, const std::filesystem::path& installFolder);

// The folder of the installation the store records; nothing when "Pfad" is missing or is no
// absolute path (an uninstall must not delete relative to wherever it was started).
std::optional<std::filesystem::path> InstalledFolder(const RegistryStore& store);

// Deletes the program's and the installer's keys; false when a key that exists stays.
bool DeleteSetupKeys(RegistryStore& store);

}  // namespace korvex::setup
