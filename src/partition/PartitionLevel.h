#pragma once
// An ordered collection of a disk's partition objects (the primary or the logical level).
// Every object is stored under a 16-bit key, unique on its disk, by which the views refer to
// it. A key keeps naming the same object for the object's whole life, sorting included.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "partition/CPartition.h"

namespace korvex {

using PartitionKey = std::uint16_t;

// An object of a level as a value, with the key it is stored under.
struct KeyedObject {
  PartitionKey key = 0;
  CPartition object;
  bool operator==(const KeyedObject&) const = default;
};

// The running counter from which both levels of a disk draw their keys.
class KeyCounter {
 public:
  PartitionKey Next() { return ++last_; }

 private:
  PartitionKey last_ = 0;
};

class PartitionLevel {
 public:
  struct Item {
    PartitionKey key;
    std::unique_ptr<CPartition> object;
  };

  explicit PartitionLevel(KeyCounter& counter) : counter_(counter) {}
  PartitionLevel(const PartitionLevel&) = delete;
  PartitionLevel& operator=(const PartitionLevel&) = delete;

  PartitionKey Insert(std::unique_ptr<CPartition> object);
  CPartition* Find(PartitionKey key) const;
  // The key of an object of this level; 0 when it is not here.
  PartitionKey KeyOf(const CPartition* object) const;
  void RemoveIf(const std::function<bool(const CPartition&)>& predicate);
  void Clear() { items_.clear(); }
  // Ascending start; objects with equal starts keep their order.
  void SortByStart();
  void RemoveFree();
  // Copies of every object with its key, in level order; Restore puts such copies back in place
  // of the level's objects, each under its old key.
  std::vector<KeyedObject> Snapshot() const;
  void Restore(const std::vector<KeyedObject>& objects);

  bool empty() const { return items_.empty(); }
  std::size_t size() const { return items_.size(); }
  const std::vector<Item>& items() const { return items_; }
  // Every object except free areas, by start (the level is kept sorted).
  std::vector<CPartition*> Used() const;
  std::size_t Count(const std::function<bool(const CPartition&)>& predicate) const;
  CPartition* FindFirst(const std::function<bool(const CPartition&)>& predicate) const;

 private:
  KeyCounter& counter_;
  std::vector<Item> items_;
};

}  // namespace korvex
