#pragma once
// The start-menu entry of an installation: a desktop entry file "korvex.desktop" in the user's
// applications folder, which desktop environments list in their menus.
#include <filesystem>
#include <string>

namespace korvex::setup {

inline constexpr const char* kMenuEntryFile = "korvex.desktop";

// The entry's text: it starts the window program of installFolder.
std::string DesktopEntryText(const std::filesystem::path& installFolder);

// Writes the entry into applicationsFolder (made when missing) through a temporary file that is
// renamed into place; false when any step failed, and then no entry and no temporary file stay.
bool WriteDesktopEntry(const std::filesystem::path& applicationsFolder, const std::filesystem::path& installFolder);

}  // namespace korvex::setup
