#include "platform/RegTree.h"

#include <algorithm>
#include <type_traits>

namespace korvex {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::string RegKey::Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = AsciiLower(c);
  return folded;
}

template <typename T>
void RegKey::Reindex(const std::vector<T>& items, Index& index, std::size_t from) {
  for (std::size_t i = from; i < items.size(); ++i) {
    if constexpr (std::is_same_v<T, RegKey>) {
      index[Folded(items[i].name_)] = i;
    } else {
      index[Folded(items[i].name)] = i;
    }
  }
}

RegKey* RegKey::FindSubkey(std::string_view name) {
  const auto it = subkeyIndex_.find(Folded(name));
  return it == subkeyIndex_.end() ? nullptr : &subkeys_[it->second];
}

const RegKey* RegKey::Find(const RegPath& path) const {
  return const_cast<RegKey*>(this)->Find(path);
}

RegKey* RegKey::Find(const RegPath& path) {
  RegKey* key = this;
  for (const auto& name : path) {
    key = key->FindSubkey(name);
    if (key == nullptr) return nullptr;
  }
  return key;
}

RegKey& RegKey::Create(const RegPath& path) {
  RegKey* key = this;
  for (const auto& name : path) {
    RegKey* next = key->FindSubkey(name);
    if (next == nullptr) {
      key->subkeyIndex_[Folded(name)] = key->subkeys_.size();
      next = &key->subkeys_.emplace_back(name);
    }
    key = next;
  }
  return *key;
}

bool RegKey::Remove(const RegPath& path) {
  if (path.empty()) return false;
  RegKey* parent = Find(RegPath(path.begin(), path.end() - 1));
  if (parent == nullptr) return false;
  const auto it = parent->subkeyIndex_.find(Folded(path.back()));
  if (it == parent->subkeyIndex_.end()) return false;
  const std::size_t position = it->second;
  parent->subkeyIndex_.erase(it);
  parent->subkeys_.erase(parent->subkeys_.begin() + static_cast<long>(position));
  Reindex(parent->subkeys_, parent->subkeyIndex_, position);
  return true;
}

const RegValue* RegKey::FindValue(std::string_view name) const {
  const auto it = valueIndex_.find(Folded(name));
  return it == valueIndex_.end() ? nullptr : &values_[it->second];
}

void RegKey::SetValue(RegValue value) {
  const auto it = valueIndex_.find(Folded(value.name));
  if (it == valueIndex_.end()) {
    valueIndex_[Folded(value.name)] = values_.size();
    values_.push_back(std::move(value));
    return;
  }
  RegValue& old = values_[it->second];
  value.name = std::move(old.name);
  old = std::move(value);
}

bool RegKey::RemoveValue(std::string_view name) {
  const auto it = valueIndex_.find(Folded(name));
  if (it == valueIndex_.end()) return false;
  const std::size_t position = it->second;
  valueIndex_.erase(it);
  values_.erase(values_.begin() + static_cast<long>(position));
  Reindex(values_, valueIndex_, position);
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
    if (names.size() > kMaxKeyDepth) return std::nullopt;
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
