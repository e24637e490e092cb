// The categories KORVEX_TRACE names: "1" and "all" for everything, a comma list for some, and
// nothing for any other text, so that a mistyped value never floods standard error.
#include "platform/Trace.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

constexpr unsigned Bit(TraceCategory category) { return static_cast<unsigned>(category); }

TEST(TraceTest, OneAndAllTraceEveryCategoryAndAListOnlyItsOwn) {
  const unsigned every = Bit(TraceCategory::Chain) | Bit(TraceCategory::Save) | Bit(TraceCategory::Image) |
                         Bit(TraceCategory::Helper);
  EXPECT_EQ(ParseTraceCategories("1"), every);
  EXPECT_EQ(ParseTraceCategories("all"), every);
  EXPECT_EQ(ParseTraceCategories("save"), Bit(TraceCategory::Save));
  EXPECT_EQ(ParseTraceCategories("chain,save,image,helper"), every);
  EXPECT_EQ(ParseTraceCategories("helper,,image,"), Bit(TraceCategory::Helper) | Bit(TraceCategory::Image));
  // Unknown names count for nothing; the known ones beside them still do.
  EXPECT_EQ(ParseTraceCategories("saves,chain"), Bit(TraceCategory::Chain));
  for (const char* off : {"", "0", "2", "yes", "ALL", "Save", " save", "save "}) {
    EXPECT_EQ(ParseTraceCategories(off), 0u) << '"' << off << '"';
  }
}

}  // namespace
}  // namespace korvex
