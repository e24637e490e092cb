#pragma once
// The demo disk set: two sparse image files that show what the program does without touching a
// real disk. The first disk holds primary partitions and an extended partition with logical
// drives; the second a layout full of gaps, with a logical drive placed the way current
// partitioning tools place them (its data one MiB after its extended boot record).
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvex {

// $XDG_CACHE_HOME/korvex/demo, else ~/.cache/korvex/demo.
std::filesystem::path DefaultDemoDirectory();

// Writes both demo images into directory (replacing what is there); their device specs
// ("path@HEADSxSECTORS") in disk order, or nothing and an error text.
std::optional<std::vector<std::string>> CreateDemoDiskSet(const std::filesystem::path& directory, std::string& error);

// The demo set in directory, created on first use and reused afterwards.
std::optional<std::vector<std::string>> EnsureDemoDiskSet(const std::filesystem::path& directory, std::string& error);

}  // namespace korvex
