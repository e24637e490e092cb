#pragma once
// A registry store held in memory, and chains of logical drives for the image builder.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "demo/ImageBuilder.h"
#include "partition/CHardDisk.h"
#include "platform/DeviceList.h"
#include "platform/FileDevice.h"
#include "platform/RegistryStore.h"

namespace korvex::test {

// A registry store in memory whose machine part a test fills itself.
class MemoryRegistry final : public RegistryStore {
 public:
  bool KeyExists(RegRoot root, const std::string& key) const override;
  std::optional<std::string> ReadString(RegRoot root, const std::string& key, const std::string& value) const override;
  std::optional<std::uint32_t> ReadDword(RegRoot root, const std::string& key, const std::string& value) const override;
  bool WriteString(RegRoot root, const std::string& key, const std::string& value, const std::string& text) override;
  bool WriteDword(RegRoot root, const std::string& key, const std::string& value, std::uint32_t number) override;
  bool CreateKey(RegRoot root, const std::string& key) override;
  std::vector<std::string> EnumKeys(RegRoot root, const std::string& key) const override;
  bool DeleteKey(RegRoot root, const std::string& key) override;
  bool DeleteValue(RegRoot root, const std::string& key, const std::string& value) override;

  // Adds a logical unit under the SCSI device map with the given Type and Identifier.
  void AddScsiUnit(const std::string& path, const std::string& type, const std::string& identifier);

 private:
  struct Key {
    std::vector<std::string> children;  // in creation order
    std::map<std::string, std::string> strings;
    std::map<std::string, std::uint32_t> dwords;
  };
  static std::string Full(RegRoot root, const std::string& key);
  Key& Ensure(const std::string& full);
  std::map<std::string, Key> keys_;
};

// count logical drives of type 6, the first record at firstRecord and one every spacing sectors,
// each with dataLength sectors of data one track (63 sectors) after its record.
inline std::vector<LogicalSpec> ChainOfDrives(std::uint32_t firstRecord, std::uint32_t count, std::uint32_t spacing,
                                              std::uint32_t dataLength) {
  std::vector<LogicalSpec> drives;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t record = firstRecord + i * spacing;
    drives.push_back({record, record + 63, dataLength, 0x06});
  }
  return drives;
}

}  // namespace korvex::test
