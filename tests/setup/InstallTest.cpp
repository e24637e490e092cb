// Installing and uninstalling for a user in a temporary home: from the distribution folder that
// scripts/make-dist.sh made for this build, the installed program starts with the store the
// installer wrote; uninstalling leaves nothing of ours; failures stop where they should.
#include <sys/stat.h>

#include "demo/ImageBuilder.h"
#include "parttypes/PartTypeCatalogue.h"
#include "platform/ChildProcess.h"
#include "platform/ProgramSettings.h"
#include "setup/DesktopEntry.h"
#include "setup/Distribution.h"
#include "setup/SetupFixture.h"
#include "setup/SetupSettings.h"

namespace korvex::test {
namespace {

using setup::InstallOutcome;

class InstallTest : public SetupTest {
 protected:
  // The log of copying every file of dist into the installation folder.
  std::string CopyLog(const std::filesystem::path& dist) const {
    std::string lines = "\r\nerzeuge Verzeichnisse";
    for (const char* name : setup::kDistributionFiles) {
      lines += "\r\nkopiere " + (dist / name).string() + "\r\n\tnach " + (installFolder() / name).string();
    }
    return lines;
  }
  std::string Setting(const char* value) {
    return RegReadString(*store, RegRoot::CurrentUser, kSettingsKey, value, ".");
  }
  // korvex-cli of the installation on a blank disk image, with the environment's store.
  bool InstalledProgramLists(std::vector<std::pair<std::string, std::string>> environment) {
    std::string error;
    const auto disk = ImageBuilder::Create((dir.path() / "disk.img").string(), 20, 16, 63, error);
    EXPECT_TRUE(disk) << error;
    ProgramRun run{(installFolder() / "korvex-cli").string(), {"--disk", disk->Spec(), "list"}, std::move(environment)};
    return RunProgram(run).Succeeded();
  }
};

TEST_F(InstallTest, TheMadeDistributionInstallsAProgramThatStartsWithItsSettingsAndCatalogue) {
  const auto dist = MadeDistribution();
  ASSERT_FALSE(dist.empty()) << "KORVEX_TEST_DIST is not set";
  ASSERT_TRUE(setup::MissingDistributionFiles(dist).empty());
  EXPECT_TRUE(std::filesystem::is_regular_file(dist / "korvex-setup"));

  EXPECT_EQ(setup::Install(Context(dist), installFolder()), InstallOutcome::Installed);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(log, CopyLog(dist) +
                     "\r\nsetze Registrywerte\r\nerzeuge Eintrag im Menü\r\nInstallation der Progammdateien beendet.");
  for (const char* name : setup::kDistributionFiles) {
    EXPECT_EQ(std::filesystem::file_size(installFolder() / name), std::filesystem::file_size(dist / name)) << name;
  }
  EXPECT_EQ(::access((installFolder() / "korvex").c_str(), X_OK), 0);

  OpenStore();  // as the program will read it
  EXPECT_EQ(Setting("Win95Hack"), (installFolder() / "korvex95").string());
  EXPECT_EQ(Setting("Pfad"), installFolder().string());
  EXPECT_EQ(Setting("Version"), KORVEX_PROJECT_VERSION);  // the build's version, as the about box shows it
  EXPECT_TRUE(HasPartTypeCatalogue(*store));
  EXPECT_EQ(setup::InstalledFolder(*store), installFolder());

  EXPECT_EQ(ValidatorComplaints(applications() / "korvex.desktop"), "");
  EXPECT_EQ(setup::DesktopEntryText(installFolder()), [&] {
    std::ifstream in(applications() / "korvex.desktop");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }());

  // The program refuses to start without a catalogue; through the helper transport it reaches
  // the disk with the installed sector helper that "Win95Hack" names.
  EXPECT_TRUE(InstalledProgramLists({}));
  EXPECT_TRUE(InstalledProgramLists({{"KORVEX_PLATFORM", "9x"}, {"PATH", "/nonexistent"}}));
}

TEST_F(InstallTest, UninstallingLeavesNothingOfOursBehind) {
  const auto dist = MadeDistribution();
  ASSERT_FALSE(dist.empty()) << "KORVEX_TEST_DIST is not set";
  ASSERT_TRUE(setup::RecordSetupStart(*store, dist));
  ASSERT_EQ(setup::Install(Context(dist), installFolder()), InstallOutcome::Installed);
  log.clear();

  EXPECT_EQ(setup::Uninstall(Context(dist), installFolder()), setup::UninstallOutcome::Uninstalled);
  std::string expected;
  for (const char* name : setup::kDistributionFiles) expected += "\r\nlösche " + (installFolder() / name).string();
  expected += "\r\nlösche " + (installFolder() / "korvex-setup.liste").string();
  expected += "\r\nProgrammverzeichnis gelöscht!\r\nlösche " + (applications() / "korvex.desktop").string() +
              "\r\nRegistryeinträge gelöscht\r\nDeinstallationsvorgang beendet!";
  EXPECT_EQ(log, expected);
  EXPECT_TRUE(prompt.shown.empty());

  EXPECT_FALSE(std::filesystem::exists(installFolder()));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(home())) {
    EXPECT_TRUE(entry.is_directory()) << entry.path() << " is left";
  }
  OpenStore();
  EXPECT_FALSE(store->KeyExists(RegRoot::CurrentUser, setup::kProgramKey));
  EXPECT_FALSE(store->KeyExists(RegRoot::CurrentUser, setup::kSetupKey));
  EXPECT_FALSE(setup::InstalledFolder(*store));
}

TEST_F(InstallTest, ExistingFoldersAreUsedAndWhatElseLiesThereStaysOnUninstall) {
  const auto dist = StandInDistribution();
  std::filesystem::create_directories(installFolder() / "korvex-cli");  // not a file: cannot be deleted
  std::ofstream(installFolder() / "notizen.txt") << "meine\n";
  std::filesystem::create_directories(applications());

  // A folder in place of a listed file cannot be replaced by it.
  EXPECT_EQ(setup::Install(Context(dist), installFolder()), InstallOutcome::CopyFailed);
  std::filesystem::remove(installFolder() / "korvex-cli");
  log.clear();
  prompt.shown.clear();
  EXPECT_EQ(setup::Install(Context(dist), installFolder()), InstallOutcome::Installed);
  EXPECT_TRUE(log.starts_with(CopyLog(dist) + "\r\nsetze Registrywerte")) << log;

  // What the user put in place of an installed file is not the installation's to delete.
  std::filesystem::remove(installFolder() / "korvex");
  std::filesystem::create_directories(installFolder() / "korvex" / "inhalt");
  std::ofstream(installFolder() / "korvex95", std::ios::app) << "# geändert\n";
  log.clear();
  EXPECT_EQ(setup::Uninstall(Context(dist), installFolder()), setup::UninstallOutcome::Uninstalled);
  const auto path = [&](const char* name) { return (installFolder() / name).string(); };
  EXPECT_NE(log.find("\r\n" + path("korvex95") + " wurde seit der Installation verändert und bleibt erhalten.\r\n" +
                     path("korvex") + " wurde seit der Installation verändert und bleibt erhalten.\r\nlösche " +
                     path("korvex-cli") + "\r\nlösche " + path("parts.reg") + "\r\nlösche " +
                     path("korvex-setup.liste") + "\r\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("\r\nVerzeichnis " + installFolder().string() +
                     " kann nicht gelöscht werden.\r\nmögl. Ursache: Verzeichnis nicht leer!\r\nlösche "),
            std::string::npos)
      << log;
  EXPECT_TRUE(log.ends_with("\r\nRegistryeinträge gelöscht\r\nDeinstallationsvorgang beendet!"));
  EXPECT_TRUE(std::filesystem::exists(installFolder() / "notizen.txt"));
  EXPECT_TRUE(std::filesystem::exists(installFolder() / "korvex95"));
  EXPECT_TRUE(std::filesystem::is_directory(installFolder() / "korvex" / "inhalt"));
  EXPECT_FALSE(std::filesystem::exists(installFolder() / "korvex-cli"));
  EXPECT_FALSE(std::filesystem::exists(applications() / "korvex.desktop"));
}

// "Pfad" can name anything (any imported .reg file can set it): a folder without the list of
// installed files is refused with a message, and nothing at all is deleted, whatever lies there.
TEST_F(InstallTest, AFolderWithoutTheListOfInstalledFilesIsRefusedAndNothingIsDeleted) {
  const auto dist = StandInDistribution();
  ASSERT_EQ(setup::Install(Context(dist), installFolder()), InstallOutcome::Installed);
  const auto mine = dir.path() / "meine";
  std::filesystem::create_directories(mine);
  for (const char* name : setup::kDistributionFiles) std::ofstream(mine / name) << "meins\n";
  const auto file = dir.path() / "datei";
  std::ofstream(file) << "meins\n";
  const auto fifo = dir.path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const auto empty = dir.path() / "leer";
  std::filesystem::create_directories(empty);
  // A list that names something else than the installation's files is no list.
  const auto forged = dir.path() / "gefälscht";
  std::filesystem::create_directories(forged);
  std::ofstream(forged / "korvex-setup.liste") << "Korvex-Installation\n../datei 6 00000000\n";

  for (const auto& folder : {mine, file, fifo, empty, forged}) {
    prompt.shown.clear();
    log.clear();
    EXPECT_EQ(setup::Uninstall(Context(dist), folder), setup::UninstallOutcome::Refused) << folder;
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "In " + folder.string() +
                                        " fehlt die Liste der installierten Dateien (korvex-setup.liste).\nDort ist "
                                        "keine Installation von Korvex zu finden; es wird nichts gelöscht.");
    EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Stop);
    EXPECT_EQ(log, "");
  }
  for (const char* name : setup::kDistributionFiles) EXPECT_TRUE(std::filesystem::exists(mine / name)) << name;
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  EXPECT_TRUE(std::filesystem::is_directory(empty));
  EXPECT_TRUE(std::filesystem::exists(applications() / "korvex.desktop"));
  OpenStore();
  EXPECT_EQ(setup::InstalledFolder(*store), installFolder()) << "the settings stay too";
}

TEST_F(InstallTest, AFailedCopyStopsWithMessage7AndWritesNoSettings) {
  const auto dist = StandInDistribution();
  std::filesystem::remove(dist / "korvex-cli");  // gone after the completeness check

  EXPECT_EQ(setup::Install(Context(dist), installFolder()), InstallOutcome::CopyFailed);
  const std::string source = (dist / "korvex-cli").string();
  const std::string target = (installFolder() / "korvex-cli").string();
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Das Kopieren von " + source + " nach " + target + " ist fehlgeschlagen.\nDas Setup wird abgebrochen.");
  EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Stop);
  EXPECT_TRUE(log.ends_with("\r\nkopiere " + source + "\r\n\tnach " + target +
                            "\r\nFehler beim Kopieren der Dateien.\r\nMögliche Ursachen: Zielmedium voll oder defekt, "
                            "Quellmedium beschädigt, unvollständiges Setup."));
  // The files copied so far stay; nothing else happened.
  EXPECT_TRUE(std::filesystem::exists(installFolder() / "korvex"));
  EXPECT_FALSE(std::filesystem::exists(target));
  OpenStore();
  EXPECT_FALSE(store->KeyExists(RegRoot::CurrentUser, kSettingsKey));
  EXPECT_FALSE(std::filesystem::exists(applications() / "korvex.desktop"));

  // The list names what was copied, so the half installation can be removed.
  log.clear();
  EXPECT_EQ(setup::Uninstall(Context(dist), installFolder()), setup::UninstallOutcome::Uninstalled);
  EXPECT_NE(log.find("Programmverzeichnis gelöscht!"), std::string::npos) << log;
  EXPECT_FALSE(std::filesystem::exists(installFolder()));
}

TEST_F(InstallTest, ACatalogueThatCannotBeImportedStopsWithMessage15BeforeTheMenuEntry) {
  const auto dist = StandInDistribution();
  std::ofstream(dist / "parts.reg") << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Fremd]\n";

  EXPECT_EQ(setup::Install(Context(dist), installFolder()), InstallOutcome::RegistryFailed);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, "Der Zugriff auf die Registry ist fehlgeschlagen.\nInstallation nicht möglich.");
  EXPECT_NE(log.find("\r\nsetze Registrywerte\r\nRegistry kann nicht gesetzt werden.mögliche Ursachen: Fehlende "
                     "Rechte, Zielmedium voll\r\n" + (installFolder() / "parts.reg").string()),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("Menü"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(applications() / "korvex.desktop"));
  OpenStore();
  EXPECT_FALSE(HasPartTypeCatalogue(*store));
}

TEST_F(InstallTest, AReinstallKeepsTheCatalogueTheUserEdited) {
  ASSERT_TRUE(StoreCatalogueRows(*store, {{"7", "Meine Daten"}}));
  EXPECT_EQ(setup::Install(Context(StandInDistribution()), installFolder()), InstallOutcome::Installed);
  EXPECT_NE(log.find("\r\nsetze Registrywerte\r\nvorhandene Partitionstypen bleiben erhalten\r\nerzeuge Eintrag"),
            std::string::npos)
      << log;
  OpenStore();
  EXPECT_EQ(ReadCatalogueRows(*store), (std::vector<CatalogueRow>{{"7", "Meine Daten"}}));
  EXPECT_EQ(Setting("Pfad"), installFolder().string());
}

TEST_F(InstallTest, OnlyAnAbsoluteRecordedFolderIsAnInstallationToRemove) {
  EXPECT_FALSE(setup::InstalledFolder(*store));
  ASSERT_TRUE(store->WriteString(RegRoot::CurrentUser, kSettingsKey, "Pfad", "."));
  EXPECT_FALSE(setup::InstalledFolder(*store));
  ASSERT_TRUE(store->WriteString(RegRoot::CurrentUser, kSettingsKey, "Pfad", "korvex"));
  EXPECT_FALSE(setup::InstalledFolder(*store));
  ASSERT_TRUE(store->WriteString(RegRoot::CurrentUser, kSettingsKey, "Pfad", "/opt/korvex"));
  EXPECT_EQ(setup::InstalledFolder(*store), std::filesystem::path("/opt/korvex"));
}

}  // namespace
}  // namespace korvex::test
