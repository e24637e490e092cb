// The helper transport against fake helper programs (shell scripts that record how they were
// started): the command lines and exchange files, the setting that names the helper, and a
// helper that fails, answers short or hangs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <thread>

#include "bootengine/LoaderRecognition.h"
#include "disk/DiskAccess.h"
#include "disk/SectorHelper.h"
#include "disk/SectorHelperProtocol.h"
#include "partition/CHardDisk.h"
#include "platform/TransferErrors.h"
#include "platform/ProgramSettings.h"
#include "support/DiskFixtures.h"
#include "support/SavedVariable.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

namespace fs = std::filesystem;

constexpr std::uint8_t kFill = 0xA5;

// Sets an environment variable and puts the old value back when the test ends.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : saved_(name) { ::setenv(name, value.c_str(), 1); }

 private:
  test::SavedVariable saved_;
};

// The geometry answer 1000/255/63 as octal escapes for the shell's printf.
std::string GeometryAnswer() {
  std::ostringstream octal;
  for (const std::uint8_t byte : EncodeHelperGeometry({1000, 255, 63})) octal << '\\' << std::oct << std::setw(3) << std::setfill('0') << int{byte};
  return "printf '" + octal.str() + "' > \"$file\"";
}
const std::string kFillData = "dd if=/dev/zero bs=512 count=\"$6\" 2>/dev/null | tr '\\000' '\\245' > \"$file\"";

class SectorHelperTest : public ::testing::Test {
 protected:
  // The helper and the exchange files live where a shell would split and expand the path.
  SectorHelperTest()
      : place_(dir.path() / "fake helper;$(touch pwned)'"),
        temporary_("TMPDIR", (place_ / "tmp dir").string()),
        log_("FAKE_HELPER_LOG", (place_ / "log").string()) {
    fs::create_directories(place_ / "tmp dir");
  }

  // A helper that records its arguments, KORVEX_DISKS and the exchange file's mode and size one
  // per line, then does what the case for its first argument says.
  std::string Helper(const std::string& onRead, const std::string& onWrite = "true",
                     const std::string& onGeometry = GeometryAnswer()) {
    const fs::path path = place_ / ("helper " + std::to_string(++helpers_));
    std::ofstream(path) << "#!/bin/sh\n"
                        << "printf '%s\\n' \"$@\" \"disks=$KORVEX_DISKS\" >> \"$FAKE_HELPER_LOG\"\n"
                        << "for file; do :; done\n"
                        << "stat -c '%a %s' \"$file\" >> \"$FAKE_HELPER_LOG\"\n"
                        << "case \"$1\" in\n"
                        << "P) " << onGeometry << ";;\n"
                        << "R) " << onRead << ";;\n"
                        << "W) " << onWrite << ";;\n"
                        << "esac\n";
    fs::permissions(path, fs::perms::owner_all);
    return path.string();
  }

  std::unique_ptr<IDiskTransport> Open(const std::string& helper, std::chrono::milliseconds limit = kHelperTimeLimit) {
    SectorHelperSettings settings;
    settings.program = helper;
    settings.deviceNumber = 3;
    settings.disks = "first.img:second.img";
    settings.timeLimit = limit;
    return OpenSectorHelper(settings);
  }

  // The recorded lines since the last call.
  std::vector<std::string> TakeLog() {
    std::vector<std::string> lines;
    std::ifstream file(place_ / "log");
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    fs::remove(place_ / "log");
    return lines;
  }
  std::vector<std::string> TempFiles() const {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(place_ / "tmp dir")) names.push_back(item.path().string());
    return names;
  }

  test::TempDir dir;
  int helpers_ = 0;
  fs::path place_;
  ScopedVariable temporary_;
  ScopedVariable log_;
};

// One exchange as the log shows it: the arguments with the exchange file's path replaced by
// "FILE", after checking that the file lay in $TMPDIR under the prefix.
std::vector<std::string> Exchange(std::vector<std::string> lines, const fs::path& tmp) {
  for (auto& line : lines) {
    if (line.rfind((tmp / kExchangeFilePrefix).string(), 0) == 0) line = "FILE";
  }
  return lines;
}

TEST_F(SectorHelperTest, CommandLinesCarryTheChsAddressAndTheExchangeFilesAreOurs) {
  auto transport = Open(Helper(kFillData));
  const auto tmp = place_ / "tmp dir";
  const auto geometry = transport->QueryGeometry();
  ASSERT_TRUE(geometry);
  EXPECT_EQ(*geometry, (DiskGeometry{1000, 0, 255, 63, 512}));
  EXPECT_EQ(Exchange(TakeLog(), tmp), (std::vector<std::string>{"P", "3", "FILE", "disks=first.img:second.img", "600 0"}));

  // Seven sectors at byte offset 512 with 63 sectors per track: cylinder 0, head 0, sector 2.
  std::vector<std::uint8_t> buffer(7 * 512);
  EXPECT_EQ(transport->Read(512, buffer), 7 * 512);
  EXPECT_EQ(std::count(buffer.begin(), buffer.end(), kFill), 7 * 512);
  EXPECT_EQ(Exchange(TakeLog(), tmp),
            (std::vector<std::string>{"R", "3", "0", "0", "2", "7", "FILE", "disks=first.img:second.img", "600 0"}));

  // LBA 16065 with 255 heads and 63 sectors per track: cylinder 1, head 0, sector 1.
  EXPECT_EQ(transport->Read(16065ull * 512, std::span(buffer).first(512)), 512);
  EXPECT_EQ(Exchange(TakeLog(), tmp), (std::vector<std::string>{"R", "3", "1", "0", "1", "1", "FILE",
                                                                  "disks=first.img:second.img", "600 0"}));

  // A write hands over its bytes in the file the helper reads.
  EXPECT_EQ(transport->Write((16065ull + 63 + 5) * 512, std::span(buffer).first(1024)), 1024);
  EXPECT_EQ(Exchange(TakeLog(), tmp), (std::vector<std::string>{"W", "3", "1", "1", "6", "2", "FILE",
                                                                  "disks=first.img:second.img", "600 1024"}));

  // Cylinder 65536 does not fit the command line, and half a sector cannot be asked for: the
  // helper is not started rather than sent to another sector.
  EXPECT_EQ(transport->Write(65536ull * 255 * 63 * 512, std::span(buffer).first(512)), 0);
  EXPECT_EQ(transport->Read(0, std::span(buffer).first(100)), 0);
  EXPECT_TRUE(TakeLog().empty());

  EXPECT_TRUE(TempFiles().empty()) << "every exchange file is removed";
  EXPECT_FALSE(fs::exists("pwned"));
  EXPECT_FALSE(fs::exists(place_ / "pwned"));
}

TEST_F(SectorHelperTest, TheSettingNamesTheHelperAndItsProbeFindsTheDevice) {
  const std::string helper = Helper(kFillData);
  test::MemoryRegistry registry;
  test::ScriptedPrompt prompt;
  std::string error;
  const auto devices = *DeviceList::FromSpecs({"a.img@16x63"}, error);
  const OsVersion nine{kPlatformHelper};

  ASSERT_TRUE(registry.WriteString(RegRoot::CurrentUser, kSettingsKey, kHelperProgramValue, helper));
  EXPECT_NE(OpenDiskTransport(devices, 0, nine, registry, prompt), nullptr);
  EXPECT_EQ(Exchange(TakeLog(), place_ / "tmp dir"),
            (std::vector<std::string>{"P", "0", "FILE", "disks=a.img@16x63", "600 0"}));
  EXPECT_EQ(DiskLabel(registry, 0, nine), "1.Festplatte");

  // A helper that is not there: the first disk says so, and no disk is loaded.
  ASSERT_TRUE(registry.WriteString(RegRoot::CurrentUser, kSettingsKey, kHelperProgramValue,
                                   (place_ / "missing").string()));
  EXPECT_EQ(OpenDiskTransport(devices, 0, nine, registry, prompt), nullptr);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_NE(prompt.shown[0].text.find((place_ / "missing").string()), std::string::npos);

  // A colon in a device's name would split it in two on the way to the helper, and every later
  // device number would name another disk: the helper is not asked at all.
  ASSERT_TRUE(registry.WriteString(RegRoot::CurrentUser, kSettingsKey, kHelperProgramValue, helper));
  const auto colon = *DeviceList::FromSpecs({"a.img", "b:c.img"}, error);
  EXPECT_EQ(OpenDiskTransport(colon, 0, nine, registry, prompt), nullptr);
  EXPECT_TRUE(TakeLog().empty());
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_NE(prompt.shown[1].text.find("b:c.img"), std::string::npos);
}

TEST_F(SectorHelperTest, FailedMissingOrShortAnswersFailTheExchange) {
  std::vector<std::uint8_t> buffer(7 * 512, 0);
  // A helper that does everything and then says it failed.
  auto failing = Open(Helper(kFillData + "; exit 1", "exit 1", GeometryAnswer() + "; exit 1"));
  EXPECT_FALSE(failing->QueryGeometry());

  auto failingTransfers = Open(Helper(kFillData + "; exit 1", "exit 1"));
  EXPECT_EQ(failingTransfers->Read(0, buffer), 0);
  EXPECT_EQ(failingTransfers->Write(0, buffer), 0) << "a write the helper could not do is reported";

  // No result file, or a geometry of five bytes or of thirteen.
  auto vanishing = Open(Helper("rm \"$file\"", "true", "rm \"$file\""));
  EXPECT_FALSE(vanishing->QueryGeometry());
  EXPECT_FALSE(Open(Helper("true", "true", "printf 'short' > \"$file\""))->QueryGeometry());
  EXPECT_FALSE(Open(Helper("true", "true", GeometryAnswer() + "; printf x >> \"$file\""))->QueryGeometry());

  // A data file shorter or longer than asked is a read error, never taken as far as it goes.
  auto shortRead = Open(Helper("head -c 512 /dev/zero | tr '\\000' '\\245' > \"$file\""));
  EXPECT_EQ(shortRead->Read(0, buffer), 0);
  EXPECT_EQ(shortRead->LastErrorNumber(), EIO);
  auto longRead = Open(Helper(kFillData + "; printf x >> \"$file\""));
  EXPECT_EQ(longRead->Read(0, buffer), 0);
  auto noData = Open(Helper("rm \"$file\""));
  EXPECT_EQ(noData->Read(0, buffer), 0);
  auto fifo = Open(Helper("rm \"$file\"; mkfifo \"$file\""));
  EXPECT_EQ(fifo->Read(0, buffer), 0) << "a FIFO in the file's place must not make the read wait";
  EXPECT_EQ(Open(Helper(kFillData))->Read(0, buffer), 7 * 512);
  EXPECT_TRUE(TempFiles().empty());
}

// Through the helper, a sector of a disk whose helper answers short reads as a read error: the
// working copy says so and is not saved.
TEST_F(SectorHelperTest, AShortAnswerForTheFirstSectorsIsAReadErrorOfTheWorkingCopy) {
  test::ScriptedPrompt prompt;
  CHardDisk disk(0, Open(Helper("head -c 100 /dev/zero > \"$file\"")), OsVersion{kPlatformHelper}, HoldsOurLoader,
                 prompt);
  ASSERT_FALSE(disk.readFailures.empty());
  EXPECT_EQ(disk.readFailures[0].error, EIO);
  EXPECT_FALSE(disk.SectorRead(0));
}

bool Ended(const std::string& pid) {
  std::ifstream stat("/proc/" + pid + "/stat");
  std::string self, name, state;
  // A killed grandchild may stay a zombie until the system reaps it: it runs no more.
  return !(stat >> self >> name >> state) || state == "Z";
}

// A signalled process ends when it next runs, which on a busy machine takes a moment.
bool Gone(const std::string& pid) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!Ended(pid)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

TEST_F(SectorHelperTest, AHelperThatHangsIsEndedWithWhatItStartedAndTheExchangeFails) {
  const auto pids = place_ / "pids";
  const ScopedVariable pidFile("FAKE_HELPER_PIDS", pids.string());
  const std::string hang = "sleep 30 & echo $$ $! > \"$FAKE_HELPER_PIDS\"; wait";
  auto transport = Open(Helper(hang, hang), std::chrono::milliseconds(300));
  std::vector<std::uint8_t> buffer(512, 0);

  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(transport->Write(0, buffer), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  std::string helper, sleeper;
  ASSERT_TRUE(std::ifstream(pids) >> helper >> sleeper);
  EXPECT_TRUE(Gone(helper));
  EXPECT_TRUE(Gone(sleeper));
  EXPECT_TRUE(TempFiles().empty());
  // What the helper did with the sectors is unknown: the write is uncertain, not failed.
  EXPECT_EQ(transport->LastErrorNumber(), kErrorHelperNoAnswerWrite);
  EXPECT_TRUE(WriteUncertain(transport->LastErrorNumber()));
  EXPECT_EQ(TransferErrorText(transport->LastErrorNumber()), "Hilfsprogramm antwortet nicht, Schreiben ungewiss");
  EXPECT_EQ(transport->Read(0, buffer), 0);
  EXPECT_EQ(TransferErrorText(transport->LastErrorNumber()), "Hilfsprogramm antwortet nicht");
  // A helper that says it failed did not do the write.
  auto failing = Open(Helper("exit 1", "exit 1"));
  EXPECT_EQ(failing->Write(0, buffer), 0);
  EXPECT_EQ(failing->LastErrorNumber(), EIO);
  EXPECT_FALSE(WriteUncertain(failing->LastErrorNumber()));
}

// A helper that ends by itself may leave a process behind (here one that holds our stderr
// open): the exchange ends it with the helper's whole process group.
TEST_F(SectorHelperTest, WhatAHelperLeavesBehindIsEndedWithIt) {
  const auto pids = place_ / "pids";
  const ScopedVariable pidFile("FAKE_HELPER_PIDS", pids.string());
  auto transport = Open(Helper(kFillData + "; sleep 30 & echo $! > \"$FAKE_HELPER_PIDS\""));
  std::vector<std::uint8_t> buffer(512, 0);
  EXPECT_EQ(transport->Read(0, buffer), 512);
  std::string sleeper;
  ASSERT_TRUE(std::ifstream(pids) >> sleeper);
  EXPECT_TRUE(Gone(sleeper));
}

// The helper's end as the transport sees it, answered in place of a real helper: a read during
// the loading of a disk that times out is reported as the helper not answering.
TEST_F(SectorHelperTest, AHelperThatTimesOutIsReportedAsNotAnswering) {
  SectorHelperSettings settings;
  settings.program = "korvex95";
  settings.run = [](const ProgramRun& run) {
    if (run.arguments[0] != "P") return ProgramResult{ProgramEnd::TimedOut, -1};
    const auto answer = EncodeHelperGeometry({100, 16, 63});
    std::ofstream(run.arguments.back(), std::ios::binary).write(reinterpret_cast<const char*>(answer.data()), 12);
    return ProgramResult{ProgramEnd::Exited, 0};
  };
  test::ScriptedPrompt prompt;
  CHardDisk disk(0, OpenSectorHelper(settings), OsVersion{kPlatformHelper}, HoldsOurLoader, prompt);
  ASSERT_FALSE(prompt.shown.empty());
  EXPECT_NE(prompt.shown[0].text.find("Hilfsprogramm antwortet nicht"), std::string::npos) << prompt.shown[0].text;
  EXPECT_EQ(prompt.shown[0].text.find("Input/output error"), std::string::npos);
  ASSERT_FALSE(disk.readFailures.empty());
  EXPECT_EQ(disk.readFailures[0].error, kErrorHelperNoAnswer);
}

}  // namespace
}  // namespace korvex
