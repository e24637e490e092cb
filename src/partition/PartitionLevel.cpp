#include "partition/PartitionLevel.h"

#include <algorithm>

namespace korvex {

PartitionKey PartitionLevel::Insert(std::unique_ptr<CPartition> object) {
  PartitionKey key = counter_.Next();
  // The 16-bit counter can wrap after many edits; skip keys still in use (and 0, "no key").
  while (key == 0 || Find(key) != nullptr) key = counter_.Next();
  items_.push_back(Item{key, std::move(object)});
  return key;
}

CPartition* PartitionLevel::Find(PartitionKey key) const {
  for (const auto& item : items_) {
    if (item.key == key) return item.object.get();
  }
  return nullptr;
}

PartitionKey PartitionLevel::KeyOf(const CPartition* object) const {
  for (const auto& item : items_) {
    if (item.object.get() == object) return item.key;
  }
  return 0;
}

void PartitionLevel::RemoveIf(const std::function<bool(const CPartition&)>& predicate) {
  std::erase_if(items_, [&](const Item& item) { return predicate(*item.object); });
}

void PartitionLevel::SortByStart() {
  std::stable_sort(items_.begin(), items_.end(),
                   [](const Item& a, const Item& b) { return a.object->start < b.object->start; });
}

void PartitionLevel::RemoveFree() {
  RemoveIf([](const CPartition& p) { return p.IsFree(); });
}

std::vector<KeyedObject> PartitionLevel::Snapshot() const {
  std::vector<KeyedObject> objects;
  for (const auto& item : items_) objects.push_back({item.key, *item.object});
  return objects;
}

void PartitionLevel::Restore(const std::vector<KeyedObject>& objects) {
  items_.clear();
  for (const KeyedObject& saved : objects) items_.push_back(Item{saved.key, std::make_unique<CPartition>(saved.object)});
}

std::vector<CPartition*> PartitionLevel::Used() const {
  std::vector<CPartition*> used;
  for (const auto& item : items_) {
    if (!item.object->IsFree()) used.push_back(item.object.get());
  }
  std::stable_sort(used.begin(), used.end(), [](const CPartition* a, const CPartition* b) { return a->start < b->start; });
  return used;
}

std::size_t PartitionLevel::Count(const std::function<bool(const CPartition&)>& predicate) const {
  return static_cast<std::size_t>(
      std::count_if(items_.begin(), items_.end(), [&](const Item& item) { return predicate(*item.object); }));
}

CPartition* PartitionLevel::FindFirst(const std::function<bool(const CPartition&)>& predicate) const {
  for (const auto& item : items_) {
    if (predicate(*item.object)) return item.object.get();
  }
  return nullptr;
}

}  // namespace korvex
