#pragma once
// Where an installation goes on a Linux desktop: the program folder (default
// ~/.local/opt/korvex) and the folder of the user's menu entries ($XDG_DATA_HOME/applications).
#include <filesystem>
#include <optional>
#include <string>

namespace korvex::setup {

// The user's home: $HOME, else the password database's entry.
std::filesystem::path HomeFolder();

// ~/.local/opt/korvex.
std::filesystem::path DefaultInstallFolder();

// Where the user's menu entries live: $XDG_DATA_HOME/applications, where a relative or empty
// XDG_DATA_HOME is ignored (freedesktop.org base directory rules), else
// ~/.local/share/applications.
std::filesystem::path ApplicationsFolder();

// The installation folder the user typed: "~" or "~/…" stands for the home folder; anything
// else must be an absolute path. The result is normal, without a trailing "/". Nothing for an
// empty or relative entry, or one that the settings store cannot hold (line breaks).
std::optional<std::filesystem::path> ParseInstallFolder(const std::string& entry);

}  // namespace korvex::setup
