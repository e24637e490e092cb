// Started as root through pkexec or sudo, the program keeps using the settings of the user who
// started it: the hive path follows PKEXEC_UID/SUDO_UID, what root makes in that user's folder
// goes to that user, and names planted in the folder are never written through.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/RegHiveFile.h"
#include "platform/RegistryStore.h"
#include "platform/RegTestSupport.h"
#include "support/SavedVariable.h"

namespace korvex {
namespace {

constexpr const char* kSettings = "Software\\Mirlach\\korvex\\Settings";

class InvokingUserTest : public ::testing::Test {
 protected:
  InvokingUserTest() {
    ::unsetenv("PKEXEC_UID");
    ::unsetenv("SUDO_UID");
    ::unsetenv("KORVEX_HOME");
    ::setenv("HOME", "/root", 1);
    ::setenv("XDG_CONFIG_HOME", "/root/.config", 1);
  }
  test::SavedVariable pkexec_{"PKEXEC_UID"}, sudo_{"SUDO_UID"}, korvexHome_{"KORVEX_HOME"}, home_{"HOME"},
      config_{"XDG_CONFIG_HOME"};
};

TEST_F(InvokingUserTest, IsNamedByPkexecOrSudoOnlyForRootAndOnlyAsAnotherUser) {
  EXPECT_EQ(InvokingUser(0), std::nullopt);
  ::setenv("SUDO_UID", "1001", 1);
  EXPECT_EQ(InvokingUser(0), uid_t{1001});
  ::setenv("PKEXEC_UID", "1002", 1);  // pkexec's word counts before sudo's
  EXPECT_EQ(InvokingUser(0), uid_t{1002});
  EXPECT_EQ(InvokingUser(1000), std::nullopt) << "a user who is not root uses their own settings";

  ::unsetenv("SUDO_UID");
  for (const char* malformed : {"", "0", "-5", " 7", "+7", "7x", "abc", "4294967295", "99999999999999999999"}) {
    ::setenv("PKEXEC_UID", malformed, 1);
    EXPECT_EQ(InvokingUser(0), std::nullopt) << '"' << malformed << '"';
  }
}

TEST_F(InvokingUserTest, RootStartedForAUserOpensThatUsersHiveUnlessKorvexHomeSaysOtherwise) {
  // Any account of the password database stands in for the user (daemon, nobody, ...).
  const passwd* user = ::getpwnam("nobody");
  ASSERT_NE(user, nullptr);
  const std::filesystem::path expected = std::filesystem::path(user->pw_dir) / ".config/korvex/user.reg";

  EXPECT_EQ(DefaultUserHivePath(0), "/root/.config/korvex/user.reg");
  ::setenv("PKEXEC_UID", std::to_string(user->pw_uid).c_str(), 1);
  EXPECT_EQ(DefaultUserHivePath(0), expected) << "not root's XDG_CONFIG_HOME or HOME";
  EXPECT_EQ(DefaultUserHivePath(1000), "/root/.config/korvex/user.reg") << "only root speaks for another user";
  ::setenv("KORVEX_HOME", "/srv/korvex", 1);
  EXPECT_EQ(DefaultUserHivePath(0), "/srv/korvex/user.reg");

  // A number without an account names nobody: root's own settings.
  ::unsetenv("KORVEX_HOME");
  ::unsetenv("PKEXEC_UID");
  ::setenv("SUDO_UID", "3999999999", 1);
  ASSERT_EQ(::getpwuid(3999999999u), nullptr);
  EXPECT_EQ(DefaultUserHivePath(0), "/root/.config/korvex/user.reg");
}

// --- files root makes in the user's folder ------------------------------------------------------

class HiveOwnerTest : public ::testing::Test {
 protected:
  std::unique_ptr<RegistryStore> Open(const std::filesystem::path& hive) {
    std::string error;
    auto store = OpenRegistryStore(hive, DeviceList(), "", error);
    if (!store) ADD_FAILURE() << error;
    return store;
  }
  static uid_t OwnerOf(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_uid : static_cast<uid_t>(-1);
  }

  test::ScratchDir dir_;
};

TEST_F(HiveOwnerTest, WhatRootMakesInAUsersFolderBelongsToThatUser) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give files away";
  constexpr uid_t kUser = 4242;
  constexpr gid_t kGroup = 4243;
  const auto home = dir_.path() / "home";
  std::filesystem::create_directory(home);
  ASSERT_EQ(::chown(home.c_str(), kUser, kGroup), 0);
  const auto hive = home / ".config" / "korvex" / "user.reg";

  auto store = Open(hive);
  ASSERT_TRUE(store);
  ASSERT_TRUE(store->WriteString(RegRoot::CurrentUser, kSettings, "Pfad", "/opt/korvex"));
  for (const auto& made : {home / ".config", hive.parent_path(), hive, HiveLockPath(hive)}) {
    EXPECT_EQ(OwnerOf(made), kUser) << made;
  }
  // A later change keeps the hive the user's.
  ASSERT_TRUE(store->WriteString(RegRoot::CurrentUser, kSettings, "Version", "4"));
  EXPECT_EQ(OwnerOf(hive), kUser);

  // In root's own folders nothing changes hands.
  const auto rootHive = dir_.path() / "root" / "user.reg";
  auto rootStore = Open(rootHive);
  ASSERT_TRUE(rootStore);
  ASSERT_TRUE(rootStore->WriteString(RegRoot::CurrentUser, kSettings, "Pfad", "/opt"));
  EXPECT_EQ(OwnerOf(rootHive), uid_t{0});
}

TEST_F(HiveOwnerTest, NamesPlantedInTheFolderAreNeverWrittenThrough) {
  const auto hive = dir_.path() / "korvex" / "user.reg";
  const auto victim = dir_.path() / "victim";
  test::WriteBytes(victim, "unberührt");
  auto store = Open(hive);
  ASSERT_TRUE(store);
  ASSERT_TRUE(store->WriteString(RegRoot::CurrentUser, kSettings, "Pfad", "/opt"));

  // A link where the temporary file goes: a new file is made beside it, the victim stays.
  std::filesystem::create_symlink(victim, HiveTempPath(hive));
  ASSERT_TRUE(store->WriteString(RegRoot::CurrentUser, kSettings, "Version", "4"));
  EXPECT_EQ(test::ReadBytes(victim), "unberührt");
  EXPECT_EQ(store->ReadString(RegRoot::CurrentUser, kSettings, "Version"), "4");

  // A link in place of the lock file: the change is refused and the victim stays.
  std::filesystem::remove(HiveLockPath(hive));
  std::filesystem::create_symlink(victim, HiveLockPath(hive));
  EXPECT_FALSE(store->WriteString(RegRoot::CurrentUser, kSettings, "Version", "5"));
  EXPECT_EQ(test::ReadBytes(victim), "unberührt");
  EXPECT_EQ(store->ReadString(RegRoot::CurrentUser, kSettings, "Version"), "4");
}

}  // namespace
}  // namespace korvex
