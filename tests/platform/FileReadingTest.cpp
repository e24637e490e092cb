// Reading files the user names: SHA-256 against the standard's test vectors, and the open of a
// file that must not wait for a FIFO's writer or take a device, socket or folder for a file.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <future>
#include <string_view>

#include "platform/InputFile.h"
#include "platform/Sha256.h"
#include "platform/Texts.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

std::string HashOf(std::string_view text) {
  Sha256 hash;
  hash.Update(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  return HexDigest(hash.Finish());
}

TEST(Sha256, TheStandardsVectorsInOnePieceAndInManyAndAgainAfterFinish) {
  EXPECT_EQ(HashOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(HashOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(HashOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  // A million times 'a', given in pieces that do not fall on the 64-byte blocks.
  Sha256 hash;
  const std::vector<std::uint8_t> piece(999, 'a');
  std::size_t left = 1000000;
  for (; left >= piece.size(); left -= piece.size()) hash.Update(piece);
  hash.Update(std::span(piece).first(left));
  EXPECT_EQ(HexDigest(hash.Finish()), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  // Finish starts anew.
  hash.Update(std::span(reinterpret_cast<const std::uint8_t*>("abc"), 3));
  EXPECT_EQ(HexDigest(hash.Finish()), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

class InputFileTest : public ::testing::Test {
 protected:
  // Opens path on another thread; a FIFO's writer opened and closed here frees an open that
  // waits, so that the test fails instead of hanging.
  bool OpenWithin1Second(InputFile& file, const std::string& path, bool& waited) {
    auto opening = std::async(std::launch::async, [&] { return file.Open(path); });
    waited = opening.wait_for(std::chrono::seconds(1)) != std::future_status::ready;
    if (waited) {
      const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) ::close(writer);
    }
    return opening.get();
  }
  test::TempDir dir;
};

TEST_F(InputFileTest, ARegularFileOpensWithItsSizeAndAMissingOneSaysWhy) {
  std::ofstream(dir.File("a.pim")) << "KORVEX";
  InputFile file;
  ASSERT_TRUE(file.Open(dir.File("a.pim")));
  EXPECT_EQ(file.size(), 6u);
  EXPECT_GE(file.fd(), 0);
  EXPECT_EQ(::fcntl(file.fd(), F_GETFL) & O_NONBLOCK, 0);
  EXPECT_FALSE(file.Open(dir.File("missing.pim")));
  EXPECT_EQ(file.fd(), -1);
  EXPECT_EQ(file.Error(), std::strerror(ENOENT));
  EXPECT_FALSE(file.WrongType());
}

TEST_F(InputFileTest, AFifoIsRefusedWithinASecondAndSoAreASocketADeviceAndAFolder) {
  const std::string fifo = dir.File("fifo.pim");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  InputFile file;
  bool waited = false;
  EXPECT_FALSE(OpenWithin1Second(file, fifo, waited));
  EXPECT_FALSE(waited) << "the open waited for a writer of the FIFO";
  EXPECT_TRUE(file.WrongType());
  EXPECT_EQ(file.Error(), text::kFileIsFifo);

  const std::string socketPath = dir.File("socket.pim");
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, socketPath.c_str());
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  for (const auto& [path, kind] : {std::pair<std::string, const char*>{socketPath, text::kFileIsSocket},
                                   {"/dev/null", text::kFileIsDevice},
                                   {dir.path().string(), text::kFileIsDirectory}}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(file.Open(path));
    EXPECT_TRUE(file.WrongType());
    EXPECT_EQ(file.Error(), kind);
    EXPECT_EQ(file.fd(), -1);
  }
  ::close(listener);
}

}  // namespace
}  // namespace korvex
