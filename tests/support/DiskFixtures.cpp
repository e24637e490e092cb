#include "support/DiskFixtures.h"

namespace korvex::test {

std::string MemoryRegistry::Full(RegRoot root, const std::string& key) {
  return (root == RegRoot::LocalMachine ? "HKLM\\" : "HKCU\\") + key;
}

MemoryRegistry::Key& MemoryRegistry::Ensure(const std::string& full) {
  const size_t slash = full.rfind('\\');
  if (slash != std::string::npos && keys_.find(full) == keys_.end()) {
    Key& parent = Ensure(full.substr(0, slash));
    parent.children.push_back(full.substr(slash + 1));
  }
  return keys_[full];
}

bool MemoryRegistry::KeyExists(RegRoot root, const std::string& key) const { return keys_.count(Full(root, key)) > 0; }

std::optional<std::string> MemoryRegistry::ReadString(RegRoot root, const std::string& key,
                                                      const std::string& value) const {
  const auto it = keys_.find(Full(root, key));
  if (it == keys_.end() || !it->second.strings.count(value)) return std::nullopt;
  return it->second.strings.at(value);
}

std::optional<std::uint32_t> MemoryRegistry::ReadDword(RegRoot root, const std::string& key,
                                                       const std::string& value) const {
  const auto it = keys_.find(Full(root, key));
  if (it == keys_.end() || !it->second.dwords.count(value)) return std::nullopt;
  return it->second.dwords.at(value);
}

bool MemoryRegistry::WriteString(RegRoot root, const std::string& key, const std::string& value,
                                 const std::string& text) {
  Ensure(Full(root, key)).strings[value] = text;
  return true;
}

bool MemoryRegistry::WriteDword(RegRoot root, const std::string& key, const std::string& value, std::uint32_t number) {
  Ensure(Full(root, key)).dwords[value] = number;
  return true;
}

bool MemoryRegistry::CreateKey(RegRoot root, const std::string& key) {
  Ensure(Full(root, key));
  return true;
}

std::vector<std::string> MemoryRegistry::EnumKeys(RegRoot root, const std::string& key) const {
  const auto it = keys_.find(Full(root, key));
  return it == keys_.end() ? std::vector<std::string>{} : it->second.children;
}

bool MemoryRegistry::DeleteKey(RegRoot root, const std::string& key) {
  const std::string full = Full(root, key);
  std::erase_if(keys_, [&](const auto& item) { return item.first == full || item.first.rfind(full + "\\", 0) == 0; });
  const size_t slash = full.rfind('\\');
  if (auto parent = keys_.find(full.substr(0, slash)); parent != keys_.end()) {
    std::erase(parent->second.children, full.substr(slash + 1));
  }
  return true;
}

bool MemoryRegistry::DeleteValue(RegRoot root, const std::string& key, const std::string& value) {
  const auto it = keys_.find(Full(root, key));
  if (it == keys_.end()) return false;
  return it->second.strings.erase(value) + it->second.dwords.erase(value) > 0;
}

void MemoryRegistry::AddScsiUnit(const std::string& path, const std::string& type, const std::string& identifier) {
  const std::string key = std::string(kScsiDeviceMapKey) + "\\" + path;
  WriteString(RegRoot::LocalMachine, key, "Type", type);
  WriteString(RegRoot::LocalMachine, key, "Identifier", identifier);
}

}  // namespace korvex::test
