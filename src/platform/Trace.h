#pragma once
// The trace for bug reports: with KORVEX_TRACE set, one line per decision goes to standard
// error, so that a report can carry what the program did. KORVEX_TRACE=1 (or "all") traces
// everything; a comma list names the categories: chain, save, image, helper. Unset, empty or
// "0", nothing is traced: a trace point then costs a call and one test of a cached mask, and
// its text is never formatted.
#include <string_view>

namespace korvex {

enum class TraceCategory : unsigned {
  Chain = 1u << 0,   // the walk along the extended boot records: each record, why the walk stops
  Save = 1u << 1,    // the save plan: each sector in the order it is written
  Image = 1u << 2,   // the image pipeline: blocks read, compressed, written
  Helper = 1u << 3,  // the sector helper: each exchange
};

// The categories a KORVEX_TRACE value names as a mask; unknown names count for nothing.
unsigned ParseTraceCategories(std::string_view value);

// The mask of this run, read from the environment on first use.
unsigned TraceMask();

inline bool Tracing(TraceCategory category) { return (TraceMask() & static_cast<unsigned>(category)) != 0; }

// One line "korvex[CATEGORY]: text" on standard error, written in one piece, and formatted only
// while the category is traced. Arguments that are costly to build belong behind Tracing().
[[gnu::format(printf, 2, 3)]] void Trace(TraceCategory category, const char* format, ...);

}  // namespace korvex
