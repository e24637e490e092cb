#include "platform/RegTree.h"

#include <algorithm>

namespace korvex {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::vector<RegKey>::iterator RegKey::FindSubkey(std::string_view name) {
  return std::find_if(subkeys_.begin(), subkeys_.end(),
                      [&](const RegKey& key) { return EqualsIgnoreAsciiCase(key.name_, name); });
}

const RegKey* RegKey::Find(const RegPath& path) const {
  return const_cast<RegKey*>(this)->Find(path);
}

RegKey* RegKey::Find(const RegPath& path) {
  RegKey* key = this;
  for (const auto& name : path) {
    auto it = key->FindSubkey(name);
    if (it == key->subkeys_.end()) return nullptr;
    key = &*it;
  }
  return key;
}

RegKey& RegKey::Create(const RegPath& path) {
  RegKey* key = this;
  for (const auto& name : path) {
    auto it = key->FindSubkey(name);
    if (it == key->subkeys_.end()) {
      key->subkeys_.emplace_back(name);
      it = std::prev(key->subkeys_.end());
    }
    key = &*it;
  }
  return *key;
}

bool RegKey::Remove(const RegPath& path) {
  if (path.empty()) return false;
  RegKey* parent = Find(RegPath(path.begin(), path.end() - 1));
  if (parent == nullptr) return false;
  auto it = parent->FindSubkey(path.back());
  if (it == parent->subkeys_.end()) return false;
  parent->subkeys_.erase(it);
  return true;
}

const RegValue* RegKey::FindValue(std::string_view name) const {
  auto it = std::find_if(values_.begin(), values_.end(),
                         [&](const RegValue& value) { return EqualsIgnoreAsciiCase(value.name, name); });
  return it == values_.end() ? nullptr : &*it;
}

void RegKey::SetValue(RegValue value) {
  auto it = std::find_if(values_.begin(), values_.end(),
                         [&](const RegValue& old) { return EqualsIgnoreAsciiCase(old.name, value.name); });
  if (it == values_.end()) {
    values_.push_back(std::move(value));
    return;
  }
  value.name = std::move(it->name);
  *it = std::move(value);
}

bool RegKey::RemoveValue(std::string_view name) {
  auto it = std::find_if(values_.begin(), values_.end(),
                         [&](const RegValue& value) { return EqualsIgnoreAsciiCase(value.name, name); });
  if (it == values_.end()) return false;
  values_.erase(it);
  return true;
}

std::optional<RegPath> SplitKeyPath(std::string_view path) {
  RegPath names;
  if (path.empty()) return names;
  size_t start = 0;
  while (true) {
    const size_t end = path.find('\\', start);
    const std::string_view name = path.substr(start, end == std::string_view::npos ? path.npos : end - start);
    if (name.empty()) return std::nullopt;
    names.emplace_back(name);
    if (end == std::string_view::npos) return names;
    start = end + 1;
  }
}

void ApplyChanges(RegKey& root, const RegChangeSet& set) {
  for (const auto& change : set.changes) {
    switch (change.kind) {
      case RegChange::Kind::CreateKey:
        root.Create(change.path);
        break;
      case RegChange::Kind::DeleteKey:
        root.Remove(change.path);
        break;
      case RegChange::Kind::SetValue:
        root.Create(change.path).SetValue(change.value);
        break;
      case RegChange::Kind::DeleteValue:
        if (RegKey* key = root.Find(change.path)) key->RemoveValue(change.value.name);
        break;
    }
  }
}

}  // namespace korvex
