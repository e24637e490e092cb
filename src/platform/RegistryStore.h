#pragma once
// The registry store that stands in for the Windows registry: keys with typed values and
// subkeys. HKEY_CURRENT_USER is persisted in a REGEDIT4-format text file that is rewritten
// atomically under a file lock; HKEY_LOCAL_MACHINE is read-only and synthesized at start
// (the SCSI device map of the device list and the computer name).
//
// Key paths use "\" as separator and compare without regard to ASCII letter case, as the
// Windows registry does. Subkeys enumerate in the order they were created (or read).
#include <sys/types.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/DeviceList.h"

namespace korvex {

enum class RegRoot { CurrentUser, LocalMachine };

struct RegChangeSet;  // the changes a .reg file describes (platform/RegTree.h)

class RegistryStore {
 public:
  virtual ~RegistryStore() = default;

  virtual bool KeyExists(RegRoot root, const std::string& key) const = 0;
  virtual std::optional<std::string> ReadString(RegRoot root, const std::string& key,
                                                const std::string& value) const = 0;
  virtual std::optional<std::uint32_t> ReadDword(RegRoot root, const std::string& key,
                                                 const std::string& value) const = 0;
  // Writes create the key path as needed and are persisted before they return true.
  virtual bool WriteString(RegRoot root, const std::string& key, const std::string& value,
                           const std::string& text) = 0;
  virtual bool WriteDword(RegRoot root, const std::string& key, const std::string& value,
                          std::uint32_t number) = 0;
  virtual bool CreateKey(RegRoot root, const std::string& key) = 0;
  // Names of the direct subkeys, in enumeration order; empty when the key does not exist.
  virtual std::vector<std::string> EnumKeys(RegRoot root, const std::string& key) const = 0;
  // Deletes the key with all its subkeys and values.
  virtual bool DeleteKey(RegRoot root, const std::string& key) = 0;
  virtual bool DeleteValue(RegRoot root, const std::string& key, const std::string& value) = 0;
  // Applies the changes of an imported .reg file to HKEY_CURRENT_USER, all or none. A store
  // that cannot apply them as one change refuses them (the default).
  virtual bool ApplyChanges(const RegChangeSet& changes);
};

// The user root runs the program for: the number in PKEXEC_UID, else in SUDO_UID, when the real
// user is root (0) and the number names another user; nothing otherwise.
std::optional<uid_t> InvokingUser(uid_t realUser);

// Where HKEY_CURRENT_USER lives: $KORVEX_HOME/user.reg; for root started by pkexec or sudo the
// invoking user's ~/.config/korvex/user.reg; else $XDG_CONFIG_HOME/korvex/user.reg, else
// ~/.config/korvex/user.reg.
std::filesystem::path DefaultUserHivePath(uid_t realUser = ::getuid());

// Opens the store. A missing hive file is an empty HKEY_CURRENT_USER (created at the first
// write); a hive that cannot be read or parsed gives nothing and an error text naming the file
// and the line, and the file is left as it is. The machine part lists one SCSI logical unit per
// device of devices and the given computer name (none when it is empty); the identifiers of
// block devices are read below sysfsRoot.
std::unique_ptr<RegistryStore> OpenRegistryStore(const std::filesystem::path& userHive,
                                                 const DeviceList& devices,
                                                 const std::string& computerName,
                                                 std::string& error,
                                                 const std::filesystem::path& sysfsRoot = "/sys/block");

// The host name, for the computer name of the machine part; empty when it cannot be read.
std::string HostComputerName();

// Imports a .reg file (REGEDIT4 or "Windows Registry Editor Version 5.00") into the store's
// HKEY_CURRENT_USER. Nothing is imported when the file cannot be read or parsed; the error
// text then names the file and the line.
bool ImportRegFile(RegistryStore& store, const std::filesystem::path& file, std::string& error);

// The program's registry calls: a default when the key or value is missing, 1/0 for writes.
std::string RegReadString(const RegistryStore& store, RegRoot root, const std::string& key,
                          const std::string& value, const std::string& fallback);
std::uint32_t RegReadDword(const RegistryStore& store, RegRoot root, const std::string& key,
                           const std::string& value, std::uint32_t fallback);
int RegWriteString(RegistryStore& store, RegRoot root, const std::string& key,
                   const std::string& value, const std::string& text);
int RegWriteDword(RegistryStore& store, RegRoot root, const std::string& key,
                  const std::string& value, std::uint32_t number);

// Key paths of the synthesized machine part.
inline constexpr const char* kScsiDeviceMapKey = "HARDWARE\\DEVICEMAP\\Scsi";
inline constexpr const char* kComputerNameKey =
    "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName";

}  // namespace korvex
