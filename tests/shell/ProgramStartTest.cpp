// Start-up: a store without a catalogue gets the shipped one; without that too the program
// stops with 33447 and how to import one. A catalogue lets it open the named images (and the
// demo set) into an empty working copy that LoadAll fills.
#include "shell/ProgramStart.h"

#include <gtest/gtest.h>

#include <fstream>

#include "demo/ImageBuilder.h"
#include "parttypes/PartTypeCatalogue.h"
#include "platform/StringTable.h"
#include "support/SavedVariable.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

class ProgramStartTest : public ::testing::Test {
 protected:
  ProgramStartTest() {
    ::setenv("KORVEX_HOME", dir.File("home").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", dir.File("cache").c_str(), 1);
    std::string error;
    image = ImageBuilder::Create(dir.File("a.img"), 20, 16, 63, error)->path();
  }
  void WriteCatalogue() {
    std::filesystem::create_directories(dir.File("home"));
    std::ofstream(dir.File("home/user.reg"))
        << "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\MIRLACH\\KORVEX\\Partitionstypen]\n\"Anzahl\"=dword:00000001\n";
  }

  test::SavedVariable home{"KORVEX_HOME"}, cache{"XDG_CACHE_HOME"};
  test::TempDir dir;
  test::ScriptedPrompt prompt;
  std::string image;
};

TEST_F(ProgramStartTest, WithoutACatalogueTheProgramDoesNotStartUnlessTheFrontEndWaivesIt) {
  const std::filesystem::path bin = dir.File("leer/bin");  // no catalogue shipped with it
  const StartResult refused = StartProgram({{image}, false, true, bin}, prompt);
  EXPECT_EQ(refused.context, nullptr);
  EXPECT_EQ(refused.error.rfind(LoadResString(IDS_NO_PARTITION_TYPES) + "\n\n", 0), 0u) << refused.error;
  EXPECT_NE(refused.error.find("korvex-cli registry ensure-catalogue"), std::string::npos) << refused.error;
  EXPECT_NE(StartProgram({{image}, false, false, bin}, prompt).context, nullptr);
}

TEST_F(ProgramStartTest, TheFirstStartImportsTheCatalogueShippedWithTheProgram) {
  const std::filesystem::path bin = dir.File("usr/bin");
  std::filesystem::create_directories(dir.File("usr/share/korvex"));
  std::filesystem::copy_file(KORVEX_SOURCE_DIR "/data/parts.reg", dir.File("usr/share/korvex/parts.reg"));
  StartResult started = StartProgram({{image}, false, true, bin}, prompt);
  ASSERT_NE(started.context, nullptr) << started.error;
  EXPECT_TRUE(HasPartTypeCatalogue(started.context->registry()));
  EXPECT_EQ(TypeIdByName(started.context->registry(), "FAT12"), 1);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ProgramStartTest, OpensTheNamedImagesAndTheDemoSetIntoAWorkingCopyThatLoadAllFills) {
  WriteCatalogue();
  StartResult started = StartProgram({{image}, true, true, {}}, prompt);
  ASSERT_NE(started.context, nullptr) << started.error;
  ProgramContext& context = *started.context;
  EXPECT_EQ(context.devices().size(), 3u);  // the image, then the two demo disks
  EXPECT_TRUE(context.workingCopy().disks().empty());
  context.workingCopy().LoadAll();
  EXPECT_EQ(context.workingCopy().disks().size(), 3u);
  EXPECT_EQ(context.workingCopy().Find(0)->DeviceName(), "PHYSICALDRIVE0");
}

TEST_F(ProgramStartTest, AMalformedImageNameIsReportedAndNothingStarts) {
  const StartResult refused = StartProgram({{image + "@0x63"}, false, false, {}}, prompt);
  EXPECT_EQ(refused.context, nullptr);
  EXPECT_NE(refused.error.find("@0x63"), std::string::npos) << refused.error;
}

}  // namespace
}  // namespace korvex
