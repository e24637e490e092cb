#pragma once
// The in-memory shape of one registry root: a tree of keys, each with typed values and with
// subkeys in creation order. Key and value names compare without regard to ASCII letter case,
// as in the Windows registry; a key or value keeps the spelling it was first created with.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace korvex {

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

// Keys nest at most this deep (as in the Windows registry); deeper paths are invalid.
inline constexpr std::size_t kMaxKeyDepth = 512;

enum class RegValueType { String, Dword };

struct RegValue {
  std::string name;  // empty for the key's default value ("@" in a .reg file)
  RegValueType type = RegValueType::String;
  std::string text;          // String
  std::uint32_t number = 0;  // Dword
};

using RegPath = std::vector<std::string>;

class RegKey {
 public:
  explicit RegKey(std::string name = {}) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  const std::vector<RegKey>& subkeys() const { return subkeys_; }
  const std::vector<RegValue>& values() const { return values_; }

  // The key at path below this one; null when some key along it is missing.
  const RegKey* Find(const RegPath& path) const;
  RegKey* Find(const RegPath& path);
  // Finds or creates every key along path.
  RegKey& Create(const RegPath& path);
  // Removes the key at path with its whole subtree; false when it does not exist. The key
  // itself (an empty path) cannot be removed.
  bool Remove(const RegPath& path);

  const RegValue* FindValue(std::string_view name) const;
  // Replaces the value of that name where it stands (keeping the first spelling of the name)
  // or appends it.
  void SetValue(RegValue value);
  bool RemoveValue(std::string_view name);

 private:
  // Subkeys and values are found through an index by lower-case name, so that loading a key
  // with many thousands of them stays linear.
  using Index = std::unordered_map<std::string, std::size_t>;
  RegKey* FindSubkey(std::string_view name);
  static std::string Folded(std::string_view name);
  template <typename T>
  static void Reindex(const std::vector<T>& items, Index& index, std::size_t from);

  std::string name_;
  std::vector<RegKey> subkeys_;
  std::vector<RegValue> values_;
  Index subkeyIndex_;
  Index valueIndex_;
};

// Splits "A\B\C" into its names; "" is the root itself. A path with an empty name (a doubled,
// leading or trailing "\") or with more than kMaxKeyDepth names is invalid.
std::optional<RegPath> SplitKeyPath(std::string_view path);

// One edit of a tree, as a .reg file expresses it.
struct RegChange {
  enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
  Kind kind = Kind::CreateKey;
  RegPath path;
  RegValue value;  // SetValue: the value; DeleteValue: only its name
};

struct RegChangeSet {
  std::vector<RegChange> changes;
};

// Applies the changes in order. Deleting a key or value that does not exist is no error, as
// in a .reg file.
void ApplyChanges(RegKey& root, const RegChangeSet& set);

}  // namespace korvex
