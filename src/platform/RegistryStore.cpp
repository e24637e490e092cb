// The registry store behind the program's registry calls: HKEY_CURRENT_USER in a hive file
// shared by all program instances, HKEY_LOCAL_MACHINE built once at opening.
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <limits>

#include "platform/MachineRegistry.h"
#include "platform/RegFileFormat.h"
#include "platform/RegHiveFile.h"
#include "platform/RegistryStore.h"

namespace korvex {
namespace {

constexpr std::size_t kMaxRegFileBytes = std::size_t{16} << 20;

// A key path and names that a hive can hold; nothing otherwise.
std::optional<RegPath> StorablePath(const std::string& key) {
  auto path = SplitKeyPath(key);
  if (!path) return std::nullopt;
  for (const auto& name : *path) {
    if (!IsStorableText(name)) return std::nullopt;
  }
  return path;
}

class FileRegistryStore final : public RegistryStore {
 public:
  FileRegistryStore(std::filesystem::path hive, RegKey user, RegKey machine)
      : hive_(std::move(hive)), user_(std::move(user)), machine_(std::move(machine)) {}

  bool KeyExists(RegRoot root, const std::string& key) const override { return Lookup(root, key) != nullptr; }

  std::optional<std::string> ReadString(RegRoot root, const std::string& key,
                                        const std::string& value) const override {
    const RegValue* found = LookupValue(root, key, value);
    if (found == nullptr || found->type != RegValueType::String) return std::nullopt;
    return found->text;
  }

  std::optional<std::uint32_t> ReadDword(RegRoot root, const std::string& key,
                                         const std::string& value) const override {
    const RegValue* found = LookupValue(root, key, value);
    if (found == nullptr || found->type != RegValueType::Dword) return std::nullopt;
    return found->number;
  }

  bool WriteString(RegRoot root, const std::string& key, const std::string& value,
                   const std::string& text) override {
    if (!IsStorableText(text)) return false;
    return SetValue(root, key, {value, RegValueType::String, text, 0});
  }

  bool WriteDword(RegRoot root, const std::string& key, const std::string& value,
                  std::uint32_t number) override {
    return SetValue(root, key, {value, RegValueType::Dword, {}, number});
  }

  bool CreateKey(RegRoot root, const std::string& key) override {
    const auto path = StorablePath(key);
    if (root != RegRoot::CurrentUser || !path) return false;
    return Commit([&](RegKey& tree) {
      tree.Create(*path);
      return true;
    });
  }

  std::vector<std::string> EnumKeys(RegRoot root, const std::string& key) const override {
    std::vector<std::string> names;
    if (const RegKey* found = Lookup(root, key)) {
      for (const auto& subkey : found->subkeys()) names.push_back(subkey.name());
    }
    return names;
  }

  bool DeleteKey(RegRoot root, const std::string& key) override {
    const auto path = SplitKeyPath(key);
    if (root != RegRoot::CurrentUser || !path) return false;
    return Commit([&](RegKey& tree) { return tree.Remove(*path); });
  }

  bool DeleteValue(RegRoot root, const std::string& key, const std::string& value) override {
    const auto path = SplitKeyPath(key);
    if (root != RegRoot::CurrentUser || !path) return false;
    return Commit([&](RegKey& tree) {
      RegKey* found = tree.Find(*path);
      return found != nullptr && found->RemoveValue(value);
    });
  }

  bool ApplyChanges(const RegChangeSet& changes) override {
    return Commit([&](RegKey& tree) {
      korvex::ApplyChanges(tree, changes);
      return true;
    });
  }

 private:
  const RegKey* Lookup(RegRoot root, const std::string& key) const {
    const auto path = SplitKeyPath(key);
    if (!path) return nullptr;
    return (root == RegRoot::CurrentUser ? user_ : machine_).Find(*path);
  }

  const RegValue* LookupValue(RegRoot root, const std::string& key, const std::string& value) const {
    const RegKey* found = Lookup(root, key);
    return found == nullptr ? nullptr : found->FindValue(value);
  }

  bool SetValue(RegRoot root, const std::string& key, RegValue value) {
    const auto path = StorablePath(key);
    if (root != RegRoot::CurrentUser || !path || !IsStorableText(value.name)) return false;
    return Commit([&](RegKey& tree) {
      tree.Create(*path).SetValue(value);
      return true;
    });
  }

  // One change of HKEY_CURRENT_USER: under the hive's lock the change is applied to the hive as
  // it is on disk now (another program instance may have changed it since it was read), and
  // the result is written back before the lock is released. Only a change that reached the
  // disk is taken into the store; after a failure both the file and the store are unchanged.
  bool Commit(const std::function<bool(RegKey&)>& change) {
    std::string error;
    const auto lock = HiveLock::Acquire(hive_, error);
    if (!lock) return false;
    auto current = ReadHive(hive_, error);
    if (!current || !change(*current)) return false;
    if (!ReplaceHive(hive_, FormatRegText(*current), error)) return false;
    user_ = std::move(*current);
    return true;
  }

  std::filesystem::path hive_;
  RegKey user_;
  RegKey machine_;
};

// An environment variable, treating an empty one as unset.
const char* EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return (value != nullptr && *value != '\0') ? value : nullptr;
}

}  // namespace

bool RegistryStore::ApplyChanges(const RegChangeSet&) { return false; }

std::optional<uid_t> InvokingUser(uid_t realUser) {
  if (realUser != 0) return std::nullopt;
  for (const char* variable : {"PKEXEC_UID", "SUDO_UID"}) {
    const char* text = EnvironmentValue(variable);
    if (text == nullptr) continue;
    char* end = nullptr;
    errno = 0;
    const unsigned long long uid = std::strtoull(text, &end, 10);
    // A malformed number names nobody; root itself is no other user.
    if (errno != 0 || *end != '\0' || text[0] < '0' || text[0] > '9' || uid == 0 ||
        uid > std::numeric_limits<uid_t>::max() - 1) {
      continue;
    }
    return static_cast<uid_t>(uid);
  }
  return std::nullopt;
}

std::filesystem::path DefaultUserHivePath(uid_t realUser) {
  constexpr const char* kHiveName = "user.reg";
  if (const char* home = EnvironmentValue("KORVEX_HOME")) return std::filesystem::path(home) / kHiveName;
  // Started as root for a user (pkexec, sudo): that user's settings and catalogue, never the
  // empty store of root. Root's environment says nothing about that user's XDG folders.
  if (const auto user = InvokingUser(realUser)) {
    if (const passwd* entry = ::getpwuid(*user); entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') {
      return std::filesystem::path(entry->pw_dir) / ".config" / "korvex" / kHiveName;
    }
  }
  // A relative XDG_CONFIG_HOME is invalid and ignored.
  if (const char* config = EnvironmentValue("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/') {
    return std::filesystem::path(config) / "korvex" / kHiveName;
  }
  const char* home = EnvironmentValue("HOME");
  if (home == nullptr) {
    const passwd* user = ::getpwuid(realUser);
    home = (user != nullptr && user->pw_dir != nullptr) ? user->pw_dir : "/";
  }
  return std::filesystem::path(home) / ".config" / "korvex" / kHiveName;
}

std::unique_ptr<RegistryStore> OpenRegistryStore(const std::filesystem::path& userHive,
                                                 const DeviceList& devices,
                                                 const std::string& computerName,
                                                 std::string& error,
                                                 const std::filesystem::path& sysfsRoot) {
  auto user = ReadHive(userHive, error);
  if (!user) return nullptr;
  return std::make_unique<FileRegistryStore>(userHive, std::move(*user),
                                             BuildMachineRegistry(devices, computerName, sysfsRoot));
}

bool ImportRegFile(RegistryStore& store, const std::filesystem::path& file, std::string& error) {
  const auto text = ReadSmallFile(file, kMaxRegFileBytes, error);
  if (!text) return false;
  const auto changes = ParseRegText(*text, file.string(), error);
  if (!changes) return false;
  if (!store.ApplyChanges(*changes)) {
    error = file.string() + ": Die Einträge konnten nicht gespeichert werden "
            "(Registry-Datei nicht beschreibbar oder beschädigt)";
    return false;
  }
  return true;
}

std::string RegReadString(const RegistryStore& store, RegRoot root, const std::string& key,
                          const std::string& value, const std::string& fallback) {
  return store.ReadString(root, key, value).value_or(fallback);
}

std::uint32_t RegReadDword(const RegistryStore& store, RegRoot root, const std::string& key,
                           const std::string& value, std::uint32_t fallback) {
  return store.ReadDword(root, key, value).value_or(fallback);
}

int RegWriteString(RegistryStore& store, RegRoot root, const std::string& key, const std::string& value,
                   const std::string& text) {
  return store.WriteString(root, key, value, text) ? 1 : 0;
}

int RegWriteDword(RegistryStore& store, RegRoot root, const std::string& key, const std::string& value,
                  std::uint32_t number) {
  return store.WriteDword(root, key, value, number) ? 1 : 0;
}

}  // namespace korvex
