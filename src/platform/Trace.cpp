#include "platform/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace korvex {
namespace {

struct CategoryName {
  std::string_view name;
  TraceCategory category;
};
constexpr CategoryName kCategories[] = {
    {"chain", TraceCategory::Chain},
    {"save", TraceCategory::Save},
    {"image", TraceCategory::Image},
    {"helper", TraceCategory::Helper},
};
constexpr unsigned kAllCategories = 0xF;

std::string_view NameOf(TraceCategory category) {
  for (const auto& [name, each] : kCategories) {
    if (each == category) return name;
  }
  return "?";
}

}  // namespace

unsigned ParseTraceCategories(std::string_view value) {
  if (value == "1" || value == "all") return kAllCategories;
  unsigned mask = 0;
  while (!value.empty()) {
    const auto comma = value.find(',');
    const std::string_view word = value.substr(0, comma);
    for (const auto& [name, category] : kCategories) {
      if (word == name) mask |= static_cast<unsigned>(category);
    }
    value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
  }
  return mask;
}

unsigned TraceMask() {
  static const unsigned mask = [] {
    const char* value = std::getenv("KORVEX_TRACE");
    return value == nullptr ? 0u : ParseTraceCategories(value);
  }();
  return mask;
}

void Trace(TraceCategory category, const char* format, ...) {
  if (!Tracing(category)) return;
  const std::string_view name = NameOf(category);
  va_list args;
  va_start(args, format);
  // One lock around the line, so that lines of the image workers do not interleave.
  flockfile(stderr);
  std::fprintf(stderr, "korvex[%.*s]: ", static_cast<int>(name.size()), name.data());
  std::vfprintf(stderr, format, args);
  std::fputc('\n', stderr);
  funlockfile(stderr);
  va_end(args);
}

}  // namespace korvex
