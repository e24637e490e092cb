#pragma once
// The program's own settings in the registry store (HKEY_CURRENT_USER) and their defaults.

namespace korvex {

inline constexpr const char* kSettingsKey = "Software\\Mirlach\\korvex\\Settings";
// The sector helper program of the helper transport: a bare name is searched for, a path is
// taken as it stands.
inline constexpr const char* kHelperProgramValue = "Win95Hack";
inline constexpr const char* kDefaultHelperProgram = "korvex95";

}  // namespace korvex
