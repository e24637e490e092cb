#pragma once
// The partition type catalogue in the registry store: "Anzahl" entries under the catalogue
// key, each a numbered subkey with "Name" and "Id".
#include "platform/Registry.h"

namespace korvex {

inline constexpr const char* kPartTypesKey = "SOFTWARE\\MIRLACH\\KORVEX\\Partitionstypen";

// The program refuses to start without a catalogue: true when "Anzahl" is present and not 0.
bool HasPartTypeCatalogue(const RegistryStore& registry);

}  // namespace korvex
