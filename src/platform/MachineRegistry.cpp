#include "platform/MachineRegistry.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <iterator>

#include "platform/RegistryStore.h"

namespace korvex {
namespace {

constexpr const char* kDiskPeripheral = "DiskPeripheral";
constexpr const char* kImageVendor = "Image";
constexpr const char* kImageRevision = "1.0";
constexpr const char* kUnknownRevision = "-";

// A sysfs attribute without its padding and line end, control characters replaced; empty when
// the file is missing.
std::string ReadAttribute(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The longest prefix of text of at most maxBytes that does not split a UTF-8 sequence.
std::string Utf8Prefix(const std::string& text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  size_t end = maxBytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

std::string JoinIdentifier(const std::string& vendor, const std::string& product, std::string revision) {
  // The revision must stay one field: readers cut the identifier at its last blank.
  for (char& c : revision) {
    if (c == ' ') c = '_';
  }
  const std::string head = vendor.empty() ? std::string() : vendor + ' ';
  const std::string tail = ' ' + revision;
  const size_t room = kMaxScsiIdentifierBytes - std::min(kMaxScsiIdentifierBytes, head.size() + tail.size());
  return head + Utf8Prefix(product, room) + tail;
}

}  // namespace

std::string ScsiIdentifier(const DeviceEntry& entry, const std::filesystem::path& sysfsRoot) {
  const std::string fileName = std::filesystem::path(entry.path).filename().string();
  if (entry.isImage) return JoinIdentifier(kImageVendor, fileName, kImageRevision);

  const auto device = sysfsRoot / fileName / "device";
  std::string vendor = ReadAttribute(device / "vendor");
  // Buses such as virtio give a numeric vendor id, which names nothing for the user.
  if (vendor.rfind("0x", 0) == 0) vendor.clear();
  std::string model = ReadAttribute(device / "model");
  if (model.empty()) model = fileName;
  std::string revision = ReadAttribute(device / "rev");
  if (revision.empty()) revision = ReadAttribute(device / "firmware_rev");
  if (revision.empty()) revision = kUnknownRevision;
  return JoinIdentifier(vendor, model, revision);
}

RegKey BuildMachineRegistry(const DeviceList& devices, const std::string& computerName,
                            const std::filesystem::path& sysfsRoot) {
  RegKey root;
  RegKey& deviceMap = root.Create(*SplitKeyPath(kScsiDeviceMapKey));
  for (size_t n = 0; n < devices.size(); ++n) {
    RegKey& unit = deviceMap.Create(
        {"Scsi Port " + std::to_string(n), "Scsi Bus 0", "Target Id 0", "Logical Unit Id 0"});
    unit.SetValue({"Identifier", RegValueType::String, ScsiIdentifier(*devices.At(n), sysfsRoot), 0});
    unit.SetValue({"Type", RegValueType::String, kDiskPeripheral, 0});
  }
  if (!computerName.empty()) {
    root.Create(*SplitKeyPath(kComputerNameKey)).SetValue({"ComputerName", RegValueType::String, computerName, 0});
  }
  return root;
}

std::string HostComputerName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

}  // namespace korvex
