// A medium seen in memory: ranges read without a copy, ranges that cannot be read refused, and a
// bus error from a file cut short breaking off only the guarded work.
#include "platform/MappedMedium.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <vector>

#include "support/TempDir.h"

namespace korvex {
namespace {

constexpr std::size_t kPage = 4096;

class MappedMediumTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fd = ::open(dir.File("medium.img").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    std::vector<std::uint8_t> bytes(4 * kPage);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i / 512);
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
  }
  void TearDown() override { ::close(fd); }

  test::TempDir dir;
  int fd = -1;
};

TEST_F(MappedMediumTest, RangesAreSeenInPlaceAndRangesThatCannotBeReadAreRefused) {
  auto view = ViewMedium(fd, 4 * kPage);
  ASSERT_NE(view, nullptr);
  std::vector<std::uint8_t> seen;
  EXPECT_TRUE(view->Visit(3 * 512, 2 * 512, [&](std::span<const std::uint8_t> bytes) { seen.assign(bytes.begin(), bytes.end()); }));
  ASSERT_EQ(seen.size(), 1024u);
  EXPECT_EQ(seen.front(), 3);
  EXPECT_EQ(seen.back(), 4);
  const auto never = [](std::span<const std::uint8_t>) { ADD_FAILURE() << "looked at a range that cannot be read"; };
  EXPECT_FALSE(view->Visit(4 * kPage - 512, 1024, never));  // past the medium
  // The file cut short after it was seen: its lost part cannot be brought into memory.
  ASSERT_EQ(::ftruncate(fd, kPage), 0);
  EXPECT_FALSE(view->Visit(2 * kPage, 512, never));
  EXPECT_TRUE(view->Visit(0, 512, [](std::span<const std::uint8_t>) {}));
}

TEST_F(MappedMediumTest, ABusErrorBreaksOffOnlyTheGuardedWork) {
  void* base = ::mmap(nullptr, 4 * kPage, PROT_READ, MAP_SHARED, fd, 0);
  ASSERT_NE(base, MAP_FAILED);
  const auto* bytes = static_cast<const volatile std::uint8_t*>(base);
  ASSERT_EQ(::ftruncate(fd, kPage), 0);
  int reached = 0;
  EXPECT_FALSE(RunGuardedAgainstBusErrors([&] {
    ++reached;
    reached += bytes[3 * kPage];  // past the end of the file now: a bus error
    ++reached;
  }));
  EXPECT_EQ(reached, 1);
  std::uint8_t first = 0xFF;
  EXPECT_TRUE(RunGuardedAgainstBusErrors([&] { first = bytes[0]; }));
  EXPECT_EQ(first, 0);
  ::munmap(base, 4 * kPage);
}

}  // namespace
}  // namespace korvex
