#pragma once
// A user of the installer in a home of its own: HOME, XDG_DATA_HOME and KORVEX_HOME point into a
// temporary folder, the settings store lies there, and a distribution folder to install from is
// either the one scripts/make-dist.sh made for the tests (KORVEX_TEST_DIST) or a stand-in with
// the right names.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/RegistryStore.h"
#include "setup/SetupSteps.h"
#include "support/SavedVariable.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace korvex::test {

class SetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("HOME", home().c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home() / ".local" / "share").c_str(), 1);
    ::setenv("KORVEX_HOME", (dir.path() / "store").c_str(), 1);
    std::filesystem::create_directories(home());
    OpenStore();
  }

  std::filesystem::path home() const { return dir.path() / "home"; }
  std::filesystem::path applications() const { return home() / ".local" / "share" / "applications"; }
  std::filesystem::path installFolder() const { return home() / ".local" / "opt" / "korvex"; }

  void OpenStore() {
    std::string error;
    store = OpenRegistryStore(DefaultUserHivePath(), DeviceList{}, "", error);
    ASSERT_TRUE(store) << error;
  }

  // The distribution made by scripts/make-dist.sh for this build.
  static std::filesystem::path MadeDistribution() {
    const char* dist = std::getenv("KORVEX_TEST_DIST");
    return dist != nullptr ? dist : "";
  }

  // A distribution folder with stand-in programs and the shipped catalogue.
  std::filesystem::path StandInDistribution() {
    const auto folder = dir.path() / "dist";
    std::filesystem::create_directories(folder);
    for (const char* program : {"korvex95", "korvex", "korvex-cli"}) {
      std::ofstream(folder / program) << "#!/bin/sh\n";
      ::chmod((folder / program).c_str(), 0755);
    }
    std::filesystem::copy_file(std::filesystem::path(KORVEX_SOURCE_DIR) / "data" / "parts.reg", folder / "parts.reg",
                               std::filesystem::copy_options::overwrite_existing);
    return folder;
  }

  // What desktop-file-validate says about a desktop entry; empty when it finds nothing.
  static std::string ValidatorComplaints(const std::filesystem::path& entry) {
    std::FILE* validator = ::popen(("desktop-file-validate '" + entry.string() + "' 2>&1").c_str(), "r");
    if (validator == nullptr) return "desktop-file-validate cannot be started";
    std::string complaints;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, validator) != nullptr) complaints += buffer;
    if (::pclose(validator) != 0 && complaints.empty()) complaints = "desktop-file-validate failed";
    return complaints;
  }

  setup::SetupContext Context(const std::filesystem::path& distribution) {
    return {distribution, applications(), *store, prompt, [this](const std::string& line) { log += line; }};
  }

  TempDir dir;
  SavedVariable savedHome_{"HOME"};
  SavedVariable savedData_{"XDG_DATA_HOME"};
  SavedVariable savedStore_{"KORVEX_HOME"};
  std::unique_ptr<RegistryStore> store;
  ScriptedPrompt prompt;
  std::string log;
};

}  // namespace korvex::test
