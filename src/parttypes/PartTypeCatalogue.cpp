#include "parttypes/PartTypeCatalogue.h"

#include <cerrno>
#include <cstdlib>

#include "platform/RegTree.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"

namespace korvex {
namespace {

constexpr long kHighestTypeId = 255;

std::string EntryKey(std::uint32_t index) { return std::string(kPartTypesKey) + "\\" + std::to_string(index); }

std::uint32_t EntryCount(const RegistryStore& registry) {
  return RegReadDword(registry, RegRoot::CurrentUser, kPartTypesKey, LoadResString(IDS_VALUE_COUNT), 0);
}

struct Entry {
  std::optional<std::string> name;
  std::uint32_t id = 0;
};

// Entry index as the catalogue holds it; nothing when its key is missing.
std::optional<Entry> ReadEntry(const RegistryStore& registry, std::uint32_t index) {
  const std::string key = EntryKey(index);
  if (!registry.KeyExists(RegRoot::CurrentUser, key)) return std::nullopt;
  Entry entry;
  entry.name = registry.ReadString(RegRoot::CurrentUser, key, LoadResString(IDS_VALUE_NAME));
  entry.id = RegReadDword(registry, RegRoot::CurrentUser, key, LoadResString(IDS_VALUE_ID), 0);
  return entry;
}

RegChange SetValueChange(const std::string& key, RegValue value) {
  return {RegChange::Kind::SetValue, *SplitKeyPath(key), std::move(value)};
}

}  // namespace

bool HasPartTypeCatalogue(const RegistryStore& registry) { return EntryCount(registry) != 0; }

TypeChoices FillTypeCombo(RegistryStore& registry, std::uint32_t typeId) {
  TypeChoices choices;
  if (!registry.KeyExists(RegRoot::CurrentUser, kPartTypesKey)) return choices;
  const auto count = registry.ReadDword(RegRoot::CurrentUser, kPartTypesKey, LoadResString(IDS_VALUE_COUNT));
  if (!count) return choices;
  for (std::uint32_t i = 1; i <= *count; ++i) {
    const auto entry = ReadEntry(registry, i);
    if (!entry) return choices;
    if (!entry->name) continue;
    choices.names.push_back(*entry->name);
    if (entry->id == (typeId & 0xFF)) choices.selected = *entry->name;
  }
  if (!choices.selected.empty()) return choices;
  const std::string name = StrFormat("Typ %ld", static_cast<long>(typeId));
  const std::string key = EntryKey(*count + 1);
  choices.added = RegWriteString(registry, RegRoot::CurrentUser, key, LoadResString(IDS_VALUE_NAME), name) &&
                  RegWriteDword(registry, RegRoot::CurrentUser, key, LoadResString(IDS_VALUE_ID), typeId) &&
                  RegWriteDword(registry, RegRoot::CurrentUser, kPartTypesKey, LoadResString(IDS_VALUE_COUNT),
                                *count + 1);
  choices.names.push_back(name);
  choices.selected = name;
  return choices;
}

std::optional<std::string> TypeNameById(const RegistryStore& registry, std::uint32_t typeId) {
  std::optional<std::string> name;
  const std::uint32_t count = EntryCount(registry);
  for (std::uint32_t i = 1; i <= count; ++i) {
    const auto entry = ReadEntry(registry, i);
    if (!entry) break;
    if (entry->name && entry->id == (typeId & 0xFF)) name = entry->name;
  }
  return name;
}

std::uint8_t TypeIdByName(const RegistryStore& registry, const std::string& name) {
  const std::uint32_t count = EntryCount(registry);
  for (std::uint32_t i = 1; i <= count; ++i) {
    const auto entry = ReadEntry(registry, i);
    if (!entry) return 0;
    if (entry->name == name) return static_cast<std::uint8_t>(entry->id);
  }
  return 0;
}

std::map<std::uint8_t, std::string> TypeNamesById(const RegistryStore& registry) {
  std::map<std::uint8_t, std::string> names;
  const std::uint32_t count = EntryCount(registry);
  for (std::uint32_t i = 1; i <= count; ++i) {
    const auto entry = ReadEntry(registry, i);
    if (!entry) break;
    if (entry->name && entry->id >= 1 && entry->id <= kHighestTypeId) names[static_cast<std::uint8_t>(entry->id)] = *entry->name;
  }
  return names;
}

std::vector<CatalogueRow> ReadCatalogueRows(const RegistryStore& registry) {
  std::vector<std::pair<std::uint32_t, CatalogueRow>> sorted;
  const std::uint32_t count = EntryCount(registry);
  for (std::uint32_t i = 1; i <= count; ++i) {
    const std::string key = EntryKey(i);
    const std::string name = RegReadString(registry, RegRoot::CurrentUser, key, LoadResString(IDS_VALUE_NAME), "");
    const std::uint32_t id = RegReadDword(registry, RegRoot::CurrentUser, key, LoadResString(IDS_VALUE_ID), 0);
    if (id == 0) continue;
    // Before the first row whose identifier is not smaller: equal identifiers end up reversed.
    auto at = sorted.begin();
    while (at != sorted.end() && at->first < id) ++at;
    sorted.insert(at, {id, {std::to_string(id), name}});
  }
  std::vector<CatalogueRow> rows;
  for (auto& [id, row] : sorted) rows.push_back(std::move(row));
  return rows;
}

long ParseTypeIdText(const std::string& text) {
  errno = 0;
  const long number = std::strtol(text.c_str(), nullptr, 10);
  // A number too long for a long is outside 0..255 whichever way it overflowed.
  if (errno == ERANGE) return number < 0 ? -1 : kHighestTypeId + 1;
  return number;
}

std::string CheckCatalogueRows(const std::vector<CatalogueRow>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t above = 0; above < i; ++above) {
      if (rows[above].name == rows[i].name) return rows[i].name + LoadResString(IDS_DUPLICATE_TYPE_NAME);
    }
    const long id = ParseTypeIdText(rows[i].idText);
    if (id < 0 || id > kHighestTypeId) return rows[i].idText + LoadResString(IDS_INVALID_TYPE_ID);
  }
  return {};
}

bool StoreCatalogueRows(RegistryStore& registry, const std::vector<CatalogueRow>& rows) {
  const std::uint32_t oldCount = EntryCount(registry);
  RegChangeSet set;
  std::uint32_t stored = 0;
  for (const CatalogueRow& row : rows) {
    const long id = ParseTypeIdText(row.idText);
    if (id < 1 || id > kHighestTypeId) continue;
    const std::string key = EntryKey(++stored);
    set.changes.push_back(SetValueChange(key, {LoadResString(IDS_VALUE_NAME), RegValueType::String, row.name, 0}));
    set.changes.push_back(SetValueChange(
        key, {LoadResString(IDS_VALUE_ID), RegValueType::Dword, {}, static_cast<std::uint32_t>(id)}));
  }
  set.changes.push_back(
      SetValueChange(kPartTypesKey, {LoadResString(IDS_VALUE_COUNT), RegValueType::Dword, {}, stored}));
  for (std::uint32_t i = stored + 1; i <= oldCount; ++i) {
    set.changes.push_back({RegChange::Kind::DeleteKey, *SplitKeyPath(EntryKey(i)), {}});
  }
  return registry.ApplyChanges(set);
}

}  // namespace korvex
