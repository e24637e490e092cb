#pragma once
// printf-style formatting into a std::string: the program's texts carry printf conversions.
#include <string>

namespace korvex {

[[gnu::format(printf, 1, 2)]] std::string StrFormat(const char* format, ...);

}  // namespace korvex
