#pragma once
// The partition type catalogue in the registry store: "Anzahl" entries under the catalogue
// key, each a numbered subkey with "Name" and "Id". Type boxes are filled from it and a chosen
// name is turned back into a type number; the catalogue editor reads, checks and stores rows.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace korvex {

inline constexpr const char* kPartTypesKey = "SOFTWARE\\MIRLACH\\KORVEX\\Partitionstypen";

// The program refuses to start without a catalogue: true when "Anzahl" is present and not 0.
bool HasPartTypeCatalogue(const RegistryStore& registry);

// What a type box shows: every name of the catalogue and the one to select.
struct TypeChoices {
  std::vector<std::string> names;  // in catalogue order; the box sorts them
  std::string selected;            // the last name whose "Id" is the type; empty when none
  bool added = false;              // the type was unknown and "Typ %ld" was added to the store
};

// The names of the catalogue with the name of typeId (its low byte) selected. A type the
// catalogue does not know is appended as entry N+1 "Typ %ld" and selected. An unreadable
// catalogue gives no names; an entry key that is missing ends the walk without adding.
TypeChoices FillTypeCombo(RegistryStore& registry, std::uint32_t typeId);

// The name of type typeId (its low byte) as a type box selects it: the last entry with that
// "Id". Nothing when the catalogue does not know the type or cannot be read. Changes nothing.
std::optional<std::string> TypeNameById(const RegistryStore& registry, std::uint32_t typeId);

// The "Id" of the first entry whose "Name" is name exactly (case-sensitive); 0 when there is
// none or the catalogue cannot be read.
std::uint8_t TypeIdByName(const RegistryStore& registry, const std::string& name);

// The name of each type the catalogue knows, by identifier: of several entries with one
// identifier the one read last, as the type box selects it. Empty when it cannot be read.
std::map<std::uint8_t, std::string> TypeNamesById(const RegistryStore& registry);

// One row of the catalogue editor: the identifier as the user typed it and the name.
struct CatalogueRow {
  std::string idText;
  std::string name;
  bool operator==(const CatalogueRow&) const = default;
};

// The entries with a non-zero identifier, sorted by identifier; rows with equal identifiers
// keep the reverse of their catalogue order.
std::vector<CatalogueRow> ReadCatalogueRows(const RegistryStore& registry);

// The leading decimal number of an identifier text, sign included ("12abc" → 12, "-1" → -1);
// 0 when the text does not start with a number.
long ParseTypeIdText(const std::string& text);

// Empty when the rows may be stored; else the message for a stop box: the first name that
// stands twice ("…: Doppelte Partitionsbezeichnung") or identifier outside 0..255 ("…: Ungültige
// Partitionskennung"), row by row.
std::string CheckCatalogueRows(const std::vector<CatalogueRow>& rows);

// Stores the rows whose identifier is 1..255 as entries 1..K in row order, "Anzahl" = K, and
// deletes the entries above K that were there before; rows with identifier 0 ("?") are left
// out. All of it is one change of the store: false, and nothing changed, when it fails.
bool StoreCatalogueRows(RegistryStore& registry, const std::vector<CatalogueRow>& rows);

}  // namespace korvex
