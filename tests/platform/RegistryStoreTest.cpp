// HKEY_CURRENT_USER in its hive file: persistence, sharing between store objects, the
// Windows-like name rules, corrupt hives and failing writes.
#include <signal.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/RegHiveFile.h"
#include "platform/RegistryStore.h"
#include "platform/RegTestSupport.h"
#include "support/SavedVariable.h"

namespace korvex {
namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
constexpr const char* kCatalogue = "SOFTWARE\\MIRLACH\\KORVEX\\Partitionstypen";
constexpr const char* kSettings = "Software\\Mirlach\\korvex\\Settings";

class RegistryStoreTest : public ::testing::Test {
 protected:
  std::unique_ptr<RegistryStore> Open() {
    std::string error;
    auto store = OpenRegistryStore(hive_, DeviceList(), "", error);
    if (!store) ADD_FAILURE() << "cannot open " << hive_ << ": " << error;
    return store;
  }

  test::ScratchDir dir_;
  std::filesystem::path hive_ = dir_.path() / "config" / "korvex" / "user.reg";
};

TEST_F(RegistryStoreTest, ValuesSurviveARestartInRegeditFormat) {
  {
    auto store = Open();
    ASSERT_TRUE(store);
    EXPECT_FALSE(std::filesystem::exists(hive_));  // a missing hive is an empty one
    EXPECT_EQ(1, RegWriteString(*store, kUser, kSettings, "Win95Hack", "Korvex95.Exe"));
    EXPECT_EQ(1, RegWriteDword(*store, kUser, kCatalogue, "Anzahl", 6));
    EXPECT_TRUE(store->WriteString(kUser, kSettings, "", "Standardwert"));
    EXPECT_TRUE(store->CreateKey(kUser, "SOFTWARE\\MIRLACH\\SETUP\\Leer"));
  }
  const std::string text = test::ReadBytes(hive_);
  EXPECT_EQ(0u, text.rfind("REGEDIT4\n\n[HKEY_CURRENT_USER\\", 0)) << text;
  EXPECT_NE(std::string::npos, text.find("\"Anzahl\"=dword:00000006\n")) << text;
  EXPECT_NE(std::string::npos, text.find("@=\"Standardwert\"\n")) << text;

  auto store = Open();
  ASSERT_TRUE(store);
  EXPECT_EQ("Korvex95.Exe", RegReadString(*store, kUser, kSettings, "Win95Hack", "."));
  EXPECT_EQ(6u, RegReadDword(*store, kUser, kCatalogue, "Anzahl", 0));
  EXPECT_EQ("Standardwert", RegReadString(*store, kUser, kSettings, "", "."));
  EXPECT_TRUE(store->KeyExists(kUser, "SOFTWARE\\MIRLACH\\SETUP\\Leer"));
}

TEST_F(RegistryStoreTest, EscapedAndUmlautTextsRoundTrip) {
  const std::string path = "C:\\Programme\\Korvex\\";
  const std::string quoted = "Er sagte \"\\\\.\\PHYSICALDRIVE0\" \\\"";
  const std::string umlauts = "Größe über Maß – Daten™ 🙂";
  {
    auto store = Open();
    ASSERT_TRUE(store);
    ASSERT_TRUE(store->WriteString(kUser, kSettings, "Pfad", path));
    ASSERT_TRUE(store->WriteString(kUser, kSettings, "Zitat \"mit\" \\", quoted));
    ASSERT_TRUE(store->WriteString(kUser, "Software\\Schlüssel ]", "Übersicht", umlauts));
  }
  EXPECT_NE(std::string::npos, test::ReadBytes(hive_).find("\"Pfad\"=\"C:\\\\Programme\\\\Korvex\\\\\"\n"));

  auto store = Open();
  ASSERT_TRUE(store);
  EXPECT_EQ(path, store->ReadString(kUser, kSettings, "Pfad"));
  EXPECT_EQ(quoted, store->ReadString(kUser, kSettings, "Zitat \"mit\" \\"));
  EXPECT_EQ(umlauts, store->ReadString(kUser, "Software\\Schlüssel ]", "Übersicht"));
}

TEST_F(RegistryStoreTest, TextsAHiveLineCannotHoldAreRefused) {
  auto store = Open();
  ASSERT_TRUE(store);
  ASSERT_TRUE(store->WriteString(kUser, kSettings, "Version", "4.0"));
  const std::string before = test::ReadBytes(hive_);
  EXPECT_FALSE(store->WriteString(kUser, kSettings, "Titel", "zwei\nZeilen"));
  EXPECT_FALSE(store->WriteString(kUser, kSettings, "Titel", std::string("mit\0Null", 8)));
  EXPECT_FALSE(store->WriteString(kUser, kSettings, "Titel", "cp1252 \xE4"));
  EXPECT_FALSE(store->WriteDword(kUser, kSettings, "Name\r", 1));
  EXPECT_FALSE(store->CreateKey(kUser, "Software\\\\Doppelt"));
  EXPECT_FALSE(store->CreateKey(kUser, "Software\\Ende\\"));
  EXPECT_EQ(before, test::ReadBytes(hive_));
}

TEST_F(RegistryStoreTest, TwoStoresOnOneHiveKeepEachOthersWrites) {
  auto first = Open();
  auto second = Open();
  ASSERT_TRUE(first && second);
  ASSERT_TRUE(first->WriteString(kUser, kSettings, "Win95Hack", "korvex95"));
  ASSERT_TRUE(second->WriteDword(kUser, kCatalogue, "Anzahl", 3));
  // The second store re-read the hive under the lock before writing, so it took the first
  // store's value along instead of overwriting it.
  EXPECT_EQ("korvex95", second->ReadString(kUser, kSettings, "Win95Hack"));

  auto third = Open();
  ASSERT_TRUE(third);
  EXPECT_EQ("korvex95", third->ReadString(kUser, kSettings, "Win95Hack"));
  EXPECT_EQ(3u, third->ReadDword(kUser, kCatalogue, "Anzahl"));
}

TEST_F(RegistryStoreTest, ConcurrentProcessesLoseNoWrite) {
  constexpr int kProcesses = 4;
  constexpr int kWritesEach = 15;
  ASSERT_TRUE(Open());
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      std::string error;
      auto store = OpenRegistryStore(hive_, DeviceList(), "", error);
      bool ok = store != nullptr;
      for (int i = 0; ok && i < kWritesEach; ++i) {
        ok = store->WriteDword(kUser, "Prozess " + std::to_string(p), "Wert " + std::to_string(i),
                               static_cast<std::uint32_t>(i));
      }
      ::_exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  auto store = Open();
  ASSERT_TRUE(store);
  for (int p = 0; p < kProcesses; ++p) {
    for (int i = 0; i < kWritesEach; ++i) {
      EXPECT_EQ(static_cast<std::uint32_t>(i),
                store->ReadDword(kUser, "Prozess " + std::to_string(p), "Wert " + std::to_string(i)))
          << "process " << p << " write " << i << " was lost";
    }
  }
}

TEST_F(RegistryStoreTest, NamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
  auto store = Open();
  ASSERT_TRUE(store);
  ASSERT_TRUE(store->WriteDword(kUser, kCatalogue, "Anzahl", 2));
  ASSERT_TRUE(store->WriteString(kUser, kSettings, "Win95Hack", "a"));
  ASSERT_TRUE(store->WriteString(kUser, "software\\mirlach\\KORVEX\\settings", "WIN95HACK", "b"));

  EXPECT_EQ(std::vector<std::string>{"SOFTWARE"}, store->EnumKeys(kUser, ""));
  EXPECT_EQ(std::vector<std::string>{"KORVEX"}, store->EnumKeys(kUser, "Software\\Mirlach"));
  EXPECT_EQ((std::vector<std::string>{"Partitionstypen", "Settings"}),
            store->EnumKeys(kUser, "software\\MIRLACH\\korvex"));
  EXPECT_EQ(2u, RegReadDword(*store, kUser, "Software\\Mirlach\\Korvex\\PARTITIONSTYPEN", "anzahl", 0));
  EXPECT_EQ("b", store->ReadString(kUser, kSettings, "win95hack"));
  EXPECT_NE(std::string::npos, test::ReadBytes(hive_).find("\"Win95Hack\"=\"b\""));
  // Only ASCII letters fold: "Ä" and "ä" stay different names.
  ASSERT_TRUE(store->CreateKey(kUser, "Ärger"));
  EXPECT_FALSE(store->KeyExists(kUser, "ärger"));
}

TEST_F(RegistryStoreTest, SubkeysEnumerateInCreationOrderAcrossARestart) {
  const std::vector<std::string> order = {"3", "1", "10", "2", "Zeta", "alpha"};
  {
    auto store = Open();
    ASSERT_TRUE(store);
    for (const auto& name : order) ASSERT_TRUE(store->WriteString(kUser, std::string(kCatalogue) + "\\" + name, "Name", name));
    // Rewriting an existing key does not move it.
    ASSERT_TRUE(store->WriteDword(kUser, std::string(kCatalogue) + "\\3", "Id", 3));
  }
  auto store = Open();
  ASSERT_TRUE(store);
  EXPECT_EQ(order, store->EnumKeys(kUser, kCatalogue));
  EXPECT_TRUE(store->EnumKeys(kUser, "SOFTWARE\\Fehlt").empty());
}

TEST_F(RegistryStoreTest, DeletingRemovesWholeSubtreesAndSingleValues) {
  auto store = Open();
  ASSERT_TRUE(store);
  ASSERT_TRUE(store->WriteDword(kUser, std::string(kCatalogue) + "\\1", "Id", 6));
  ASSERT_TRUE(store->WriteDword(kUser, std::string(kCatalogue) + "\\1\\Tief", "Id", 7));
  ASSERT_TRUE(store->WriteString(kUser, "SOFTWARE\\MIRLACH\\SETUP\\SETTINGS", "Win95Hack", "x"));
  ASSERT_TRUE(store->WriteString(kUser, kSettings, "Pfad", "/opt/korvex"));
  ASSERT_TRUE(store->WriteString(kUser, kSettings, "Version", "4.0"));

  EXPECT_TRUE(store->DeleteKey(kUser, "software\\mirlach\\korvex"));
  EXPECT_TRUE(store->DeleteValue(kUser, "SOFTWARE\\MIRLACH\\SETUP\\SETTINGS", "WIN95HACK"));
  EXPECT_FALSE(store->KeyExists(kUser, kCatalogue));
  EXPECT_FALSE(store->KeyExists(kUser, std::string(kCatalogue) + "\\1\\Tief"));
  EXPECT_EQ((std::vector<std::string>{"SETUP"}), store->EnumKeys(kUser, "SOFTWARE\\MIRLACH"));
  EXPECT_TRUE(store->KeyExists(kUser, "SOFTWARE\\MIRLACH\\SETUP\\SETTINGS"));
  EXPECT_FALSE(store->ReadString(kUser, "SOFTWARE\\MIRLACH\\SETUP\\SETTINGS", "Win95Hack"));

  // Deleting what is not there fails and writes nothing.
  const std::string before = test::ReadBytes(hive_);
  EXPECT_FALSE(store->DeleteKey(kUser, "SOFTWARE\\MIRLACH\\KORVEX"));
  EXPECT_FALSE(store->DeleteValue(kUser, "SOFTWARE\\MIRLACH\\SETUP\\SETTINGS", "Win95Hack"));
  EXPECT_FALSE(store->DeleteKey(kUser, ""));
  EXPECT_EQ(before, test::ReadBytes(hive_));

  auto reopened = Open();
  ASSERT_TRUE(reopened);
  EXPECT_FALSE(reopened->KeyExists(kUser, "SOFTWARE\\MIRLACH\\KORVEX"));
  EXPECT_TRUE(reopened->KeyExists(kUser, "SOFTWARE\\MIRLACH\\SETUP\\SETTINGS"));
}

TEST_F(RegistryStoreTest, ReadsFallBackWhenKeyValueOrTypeIsMissing) {
  auto store = Open();
  ASSERT_TRUE(store);
  ASSERT_TRUE(store->WriteDword(kUser, kCatalogue, "Anzahl", 4));
  ASSERT_TRUE(store->WriteString(kUser, kSettings, "Version", "4.0"));
  EXPECT_EQ(".", RegReadString(*store, kUser, "SOFTWARE\\Fehlt", "Version", "."));
  EXPECT_EQ(".", RegReadString(*store, kUser, kSettings, "Fehlt", "."));
  EXPECT_EQ(".", RegReadString(*store, kUser, kCatalogue, "Anzahl", "."));  // a dword is no string
  EXPECT_EQ(9u, RegReadDword(*store, kUser, kSettings, "Version", 9));     // nor a string a dword
  EXPECT_EQ(9u, RegReadDword(*store, RegRoot::LocalMachine, kCatalogue, "Anzahl", 9));
}

TEST_F(RegistryStoreTest, DefaultHivePathFollowsTheEnvironment) {
  const test::SavedVariable korvexHome("KORVEX_HOME"), configHome("XDG_CONFIG_HOME"), home("HOME");
  const test::SavedVariable pkexec("PKEXEC_UID"), sudo("SUDO_UID");  // a run under sudo names another user
  ::unsetenv("PKEXEC_UID");
  ::unsetenv("SUDO_UID");

  ::setenv("HOME", "/home/anna", 1);
  ::setenv("XDG_CONFIG_HOME", "/xdg", 1);
  ::setenv("KORVEX_HOME", "/tmp/kh", 1);
  EXPECT_EQ(std::filesystem::path("/tmp/kh/user.reg"), DefaultUserHivePath());
  ::setenv("KORVEX_HOME", "", 1);
  EXPECT_EQ(std::filesystem::path("/xdg/korvex/user.reg"), DefaultUserHivePath());
  ::setenv("XDG_CONFIG_HOME", "relativ", 1);  // invalid, ignored
  EXPECT_EQ(std::filesystem::path("/home/anna/.config/korvex/user.reg"), DefaultUserHivePath());
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(std::filesystem::path("/home/anna/.config/korvex/user.reg"), DefaultUserHivePath());
}

// --- corrupt hives ----------------------------------------------------------------------------

struct CorruptHive {
  const char* what;
  std::string bytes;
  const char* expectedLine;
  friend std::ostream& operator<<(std::ostream& out, const CorruptHive& hive) { return out << hive.what; }
};

class RegistryCorruptHiveTest : public RegistryStoreTest, public ::testing::WithParamInterface<CorruptHive> {};

TEST_P(RegistryCorruptHiveTest, IsReportedWithFileAndLineAndLeftAlone) {
  test::WriteBytes(hive_, GetParam().bytes);
  std::string error;
  EXPECT_FALSE(OpenRegistryStore(hive_, DeviceList(), "", error));
  EXPECT_NE(std::string::npos, error.find(hive_.string())) << error;
  EXPECT_NE(std::string::npos, error.find(GetParam().expectedLine)) << error;
  EXPECT_EQ(GetParam().bytes, test::ReadBytes(hive_));
  EXPECT_FALSE(std::filesystem::exists(HiveTempPath(hive_)));
}

const std::string kGoodStart = "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\MIRLACH\\KORVEX\\Partitionstypen]\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryCorruptHiveTest,
    ::testing::Values(CorruptHive{"GarbageLine", kGoodStart + "\"Anzahl\"=dword:00000001\nx#?!\n", "Zeile 5"},
                      CorruptHive{"MissingHeader", "[HKEY_CURRENT_USER\\A]\n\"x\"=\"1\"\n", "Zeile 1"},
                      CorruptHive{"EmptyFile", "", "Zeile 1"},
                      // Cut off in mid-line, where the rest would even parse as a smaller number.
                      CorruptHive{"TruncatedMidLine", kGoodStart + "\"Anzahl\"=dword:0000", "Zeile 4"},
                      CorruptHive{"UnterminatedString", kGoodStart + "\"Name\"=\"FAT\n", "Zeile 4"},
                      CorruptHive{"BinaryBytes", kGoodStart + std::string("\"a\"=\"\xff\xfe\"\n"), "Zeile 4"},
                      // Half a million levels: a clean parse error, no recursion that overflows the stack.
                      CorruptHive{"NestedTooDeep", kGoodStart + "\n[HKEY_CURRENT_USER" + [] {
                        std::string path;
                        for (int i = 0; i < 500000; ++i) path += "\\a";
                        return path;
                      }() + "]\n", "Zeile 5: Schlüssel zu tief verschachtelt"}),
    [](const auto& info) { return std::string(info.param.what); });

// A FIFO in place of the hive is refused at once instead of waiting for a writer forever.
TEST_F(RegistryStoreTest, AHiveThatIsNoRegularFileIsRefusedWithoutWaiting) {
  std::filesystem::create_directories(hive_.parent_path());
  ASSERT_EQ(::mkfifo(hive_.c_str(), 0600), 0);
  std::string error;
  EXPECT_FALSE(OpenRegistryStore(hive_, DeviceList(), "", error));
  EXPECT_NE(error.find("keine gewöhnliche Datei"), std::string::npos) << error;
}

TEST_F(RegistryStoreTest, HiveCorruptedByOthersIsNotOverwritten) {
  auto store = Open();
  ASSERT_TRUE(store);
  ASSERT_TRUE(store->WriteDword(kUser, kCatalogue, "Anzahl", 1));
  const std::string damaged = test::ReadBytes(hive_) + "Müll\n";
  test::WriteBytes(hive_, damaged);
  EXPECT_FALSE(store->WriteDword(kUser, kCatalogue, "Anzahl", 2));
  EXPECT_EQ(damaged, test::ReadBytes(hive_));
  EXPECT_EQ(1u, store->ReadDword(kUser, kCatalogue, "Anzahl"));
}

TEST_F(RegistryStoreTest, StrayTemporaryFileIsIgnoredAndReplaced) {
  {
    auto store = Open();
    ASSERT_TRUE(store);
    ASSERT_TRUE(store->WriteString(kUser, kSettings, "Version", "4.0"));
  }
  // What a crash in the middle of a write leaves behind.
  test::WriteBytes(HiveTempPath(hive_), "REGEDIT4\n\n[HKEY_CURRENT_USER\\Halb]\n\"x\"=\"abgebro");
  auto store = Open();
  ASSERT_TRUE(store);
  EXPECT_FALSE(store->KeyExists(kUser, "Halb"));
  EXPECT_EQ("4.0", store->ReadString(kUser, kSettings, "Version"));
  ASSERT_TRUE(store->WriteString(kUser, kSettings, "Pfad", "/opt"));
  EXPECT_FALSE(std::filesystem::exists(HiveTempPath(hive_)));
}

// --- failing writes ---------------------------------------------------------------------------

using RegistryWriteFailureTest = RegistryStoreTest;

TEST_F(RegistryWriteFailureTest, HiveDirectoryThatIsAFileFailsTheWrite) {
  auto store = Open();  // no hive and no directory yet
  ASSERT_TRUE(store);
  const auto blocker = dir_.path() / "config";
  test::WriteBytes(blocker, "kein Verzeichnis");
  EXPECT_EQ(0, RegWriteString(*store, kUser, kSettings, "Version", "4.0"));
  EXPECT_EQ(0, RegWriteDword(*store, kUser, kCatalogue, "Anzahl", 1));
  EXPECT_FALSE(store->KeyExists(kUser, kSettings));
  EXPECT_EQ("kein Verzeichnis", test::ReadBytes(blocker));
}

TEST_F(RegistryWriteFailureTest, UncreatableTemporaryFileLeavesHiveAndStoreUnchanged) {
  auto store = Open();
  ASSERT_TRUE(store);
  ASSERT_TRUE(store->WriteString(kUser, kSettings, "Version", "4.0"));
  const std::string before = test::ReadBytes(hive_);
  std::filesystem::create_directory(HiveTempPath(hive_));  // blocks the temporary file, even for root

  EXPECT_EQ(0, RegWriteString(*store, kUser, kSettings, "Version", "5.0"));
  EXPECT_FALSE(store->DeleteKey(kUser, kSettings));
  EXPECT_EQ(before, test::ReadBytes(hive_));
  EXPECT_EQ("4.0", store->ReadString(kUser, kSettings, "Version"));
}

TEST_F(RegistryWriteFailureTest, FullDiskInMidWriteLeavesHiveAndStoreUnchanged) {
  auto store = Open();
  ASSERT_TRUE(store);
  ASSERT_TRUE(store->WriteString(kUser, kSettings, "Version", "4.0"));
  // A child process limits the size of the files it may write, which makes write() fail part
  // way through the temporary file, as on a full disk.
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlim_t limit = static_cast<rlim_t>(test::ReadBytes(hive_).size() + 200);
    const rlimit fileSize{limit, limit};
    if (::setrlimit(RLIMIT_FSIZE, &fileSize) != 0) ::_exit(10);
    if (!store->WriteString(kUser, kSettings, "Pfad", "/opt/korvex")) ::_exit(11);  // fits
    const std::string before = test::ReadBytes(hive_);
    if (store->WriteString(kUser, kSettings, "Gross", std::string(4096, 'x'))) ::_exit(12);
    if (test::ReadBytes(hive_) != before) ::_exit(13);
    if (store->KeyExists(kUser, kSettings) && store->ReadString(kUser, kSettings, "Gross")) ::_exit(14);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status)) << "10 setrlimit, 11 small write failed, 12 big write succeeded, "
                                       "13 hive changed, 14 store changed";
  EXPECT_FALSE(std::filesystem::exists(HiveTempPath(hive_)));
  auto reopened = Open();
  ASSERT_TRUE(reopened);
  EXPECT_EQ("/opt/korvex", reopened->ReadString(kUser, kSettings, "Pfad"));
  EXPECT_FALSE(reopened->ReadString(kUser, kSettings, "Gross"));
}

}  // namespace
}  // namespace korvex
