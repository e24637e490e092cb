// The installer's places and names: the folder the user types, the menu entries' folder, the
// completeness check of a distribution and the menu entry's text.
#include <sys/stat.h>

#include "setup/DesktopEntry.h"
#include "setup/Distribution.h"
#include "setup/SetupFolders.h"
#include "setup/FileCopy.h"
#include "setup/SetupFixture.h"

namespace korvex::test {
namespace {

using setup::ParseInstallFolder;

class SetupPlacesTest : public SetupTest {};

TEST_F(SetupPlacesTest, AnInstallFolderIsAbsoluteOrStartsAtHomeAndIsKeptNormal) {
  EXPECT_EQ(setup::DefaultInstallFolder(), installFolder());
  EXPECT_EQ(ParseInstallFolder("/opt/korvex/"), std::filesystem::path("/opt/korvex"));
  EXPECT_EQ(ParseInstallFolder("/opt//tools/../korvex"), std::filesystem::path("/opt/korvex"));
  EXPECT_EQ(ParseInstallFolder("~/Programme/Korvex"), home() / "Programme" / "Korvex");
  EXPECT_EQ(ParseInstallFolder("~"), home());
  // Relative to wherever the installer was started is no place for an installation.
  EXPECT_FALSE(ParseInstallFolder("korvex"));
  EXPECT_FALSE(ParseInstallFolder(""));
  EXPECT_FALSE(ParseInstallFolder("~other/korvex"));
  // The store keeps the folder as one line.
  EXPECT_FALSE(ParseInstallFolder("/opt/kor\nvex"));
}

TEST_F(SetupPlacesTest, MenuEntriesGoToXdgDataHomeUnlessItIsRelativeOrEmpty) {
  EXPECT_EQ(setup::ApplicationsFolder(), applications());
  ::setenv("XDG_DATA_HOME", "/srv/data", 1);
  EXPECT_EQ(setup::ApplicationsFolder(), std::filesystem::path("/srv/data/applications"));
  for (const char* ignored : {"relative/data", ""}) {
    ::setenv("XDG_DATA_HOME", ignored, 1);
    EXPECT_EQ(setup::ApplicationsFolder(), home() / ".local" / "share" / "applications") << ignored;
  }
}

TEST_F(SetupPlacesTest, TheCompletenessCheckNamesJustTheMissingFiles) {
  const auto dist = StandInDistribution();
  EXPECT_TRUE(setup::MissingDistributionFiles(dist).empty());
  std::filesystem::remove(dist / "parts.reg");
  const auto missing = setup::MissingDistributionFiles(dist);
  EXPECT_EQ(missing, std::vector<std::string>{"parts.reg"});
  const std::string message = setup::IncompleteMessage(missing);
  EXPECT_TRUE(message.starts_with(
      "Ihre Installationsversion ist unvollständig und kann nicht ausgeführt werden.\nDie Dateie(n) parts.reg fehlen.\n"
      "Sie finden eine vollständige Installationsversion unter\n\n"))
      << message;
  // A folder of a listed name is no file of the distribution.
  std::filesystem::remove(dist / "korvex");
  std::filesystem::create_directory(dist / "korvex");
  EXPECT_EQ(setup::MissingDistributionFiles(dist), (std::vector<std::string>{"korvex", "parts.reg"}));
  EXPECT_NE(setup::IncompleteMessage({"korvex", "parts.reg"}).find("Die Dateie(n) korvex,parts.reg fehlen."),
            std::string::npos);
}

TEST_F(SetupPlacesTest, TheDistributionIsTheNamedFolderElseTheInstallersOwn) {
  EXPECT_EQ(setup::DistributionFolder("/srv/korvex/./dist/"), std::filesystem::path("/srv/korvex/dist/"));
  EXPECT_EQ(setup::DistributionFolder("dist"), std::filesystem::current_path() / "dist");
  // Here the installer is this test program.
  EXPECT_EQ(setup::DistributionFolder(""), std::filesystem::read_symlink("/proc/self/exe").parent_path());
}

TEST_F(SetupPlacesTest, TheMenuEntryQuotesTheProgramPathForTheExecKey) {
  const std::string text = setup::DesktopEntryText("/home/anna/Meine Programme/$Korvex 100%\\\"neu\"");
  EXPECT_NE(text.find("\nExec=\"/home/anna/Meine Programme/\\\\$Korvex 100%%\\\\\\\\\\\\\"neu\\\\\"/korvex\"\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\nTryExec=/home/anna/Meine Programme/$Korvex 100%\\\\\"neu\"/korvex\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("\nComment=Korvex Bootmanager\n"), std::string::npos);
}

TEST_F(SetupPlacesTest, AWrittenMenuEntryPassesTheValidatorAndLeavesNoTemporaryFile) {
  ASSERT_TRUE(setup::WriteDesktopEntry(applications(), "/home/anna/Meine Programme/100% $Korvex"));
  EXPECT_EQ(ValidatorComplaints(applications() / setup::kMenuEntryFile), "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(applications()), {}), 1);
}

TEST_F(SetupPlacesTest, ACopyKeepsTheModeAndAFailedOneLeavesTheTargetAsItWas) {
  const auto dist = StandInDistribution();
  const auto target = dir.path() / "korvex";
  ASSERT_TRUE(setup::CopyFileReplacing(dist / "korvex", target));
  struct stat status {};
  ASSERT_EQ(::stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0755u);
  EXPECT_FALSE(setup::CopyFileReplacing(dist / "missing", target));
  EXPECT_FALSE(setup::CopyFileReplacing(dist, target));
  EXPECT_EQ(std::filesystem::file_size(target), std::string("#!/bin/sh\n").size());
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    EXPECT_FALSE(entry.path().filename().string().starts_with("korvex.")) << entry.path();
  }
}

}  // namespace
}  // namespace korvex::test
