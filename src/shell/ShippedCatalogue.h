#pragma once
// The partition type catalogue that ships with the program (parts.reg), imported at the first
// start into a store that has none, so that a freshly installed program starts.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/RegistryStore.h"

namespace korvex {

// Where the shipped catalogue is looked for, in this order, from the folder of the program:
// ../share/korvex/parts.reg (an installation, also an unpacked or relocated package), then
// parts.reg beside the program (a build tree, the installer's distribution folder).
std::vector<std::filesystem::path> ShippedCataloguePlaces(const std::filesystem::path& programFolder);

// Leaves a store that has a catalogue as it is; otherwise imports the first shipped catalogue
// found. True when the store holds a catalogue afterwards; otherwise error says why, ending
// with how to import one by hand.
bool EnsureShippedCatalogue(RegistryStore& store, const std::filesystem::path& programFolder, std::string& error);

}  // namespace korvex
