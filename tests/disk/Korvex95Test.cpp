// korvex95, the stand-in sector helper, started as the program starts it: it accepts only the
// three command lines, writes nothing for a malformed one or a data file of the wrong size,
// and hands over what the device holds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "demo/ImageBuilder.h"
#include "platform/ChildProcess.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

class Korvex95Test : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    image.emplace(*ImageBuilder::Create(dir.File("disk.img"), 20, 16, 63, error));
  }
  int Run(const std::vector<std::string>& arguments) {
    const ProgramResult result =
        RunProgram(ProgramRun{KORVEX95_PATH, arguments, {{"KORVEX_DISKS", image->Spec()}}, std::chrono::seconds(10)});
    return result.end == ProgramEnd::Exited ? result.exitCode : -1;
  }
  void Put(const std::string& name, std::size_t bytes) {
    std::ofstream(dir.File(name), std::ios::binary) << std::string(bytes, '\xA5');
  }
  std::uintmax_t Size(const std::string& name) const { return std::filesystem::file_size(dir.File(name)); }
  bool Untouched(std::uint32_t lba) const { return *image->ReadSector(lba) == std::vector<std::uint8_t>(512, 0); }

  test::TempDir dir;
  std::optional<ImageBuilder> image;
};

TEST_F(Korvex95Test, MalformedCommandLinesAreRefusedAndWriteNothing) {
  Put("data", 512);
  const std::string data = dir.File("data");
  const std::vector<std::vector<std::string>> malformed = {
      {},
      {"X", "0", data},
      {"P", "0"},
      {"W", "0", "0", "0", "1", data},             // no count
      {"W", "0", "0", "0", "1", "1", data, "x"},   // one too many
      {"W", "0", "0", "0", "0", "1", data},        // sectors count from 1
      {"W", "0", "0", "0", "1", "0", data},        // nothing to write
      {"W", "-0", "0", "0", "1", "1", data},
      {"W", "0", "65536", "0", "1", "1", data},    // beyond 16 bits
      {"W", "0", "0", "16", "1", "1", data},       // the disk has heads 0..15
      {"W", "0", "0", "0", "64", "1", data},       // and sectors 1..63
      {"W", "0", "0", "0", "1", "1", ""},
  };
  for (const auto& arguments : malformed) {
    EXPECT_EQ(Run(arguments), 2) << ::testing::PrintToString(arguments);
  }
  EXPECT_TRUE(Untouched(0));
}

TEST_F(Korvex95Test, AWriteNeedsExactlyItsSectorsInTheDataFile) {
  Put("short", 1023);
  Put("long", 1025);
  Put("exact", 1024);
  EXPECT_EQ(Run({"W", "0", "1", "0", "1", "2", dir.File("short")}), 1);
  EXPECT_EQ(Run({"W", "0", "1", "0", "1", "2", dir.File("long")}), 1);
  EXPECT_EQ(Run({"W", "0", "1", "0", "1", "2", dir.File("missing")}), 1);
  EXPECT_TRUE(Untouched(16 * 63));
  EXPECT_EQ(Run({"W", "0", "1", "0", "1", "2", dir.File("exact")}), 0);
  EXPECT_EQ(*image->ReadSector(16 * 63 + 1), std::vector<std::uint8_t>(512, 0xA5));
  // A write past the end of the device is refused whole.
  EXPECT_EQ(Run({"W", "0", "19", "15", "63", "2", dir.File("exact")}), 1);
  EXPECT_TRUE(Untouched(20 * 16 * 63 - 1));
}

TEST_F(Korvex95Test, AReadHandsOverWhatTheDeviceHoldsAndAMissingDeviceNoGeometry) {
  Put("answer", 0);
  EXPECT_EQ(Run({"R", "0", "19", "15", "63", "2", dir.File("answer")}), 0);
  EXPECT_EQ(Size("answer"), 512u) << "the read stops at the end of the device";
  EXPECT_EQ(Run({"P", "0", dir.File("answer")}), 0);
  EXPECT_EQ(Size("answer"), 12u);
  Put("none", 0);
  EXPECT_EQ(Run({"P", "1", dir.File("none")}), 1);
  EXPECT_EQ(Size("none"), 0u);
}

}  // namespace
}  // namespace korvex
