#pragma once
// Writes an RGB picture as a PNG file (8 bits a channel, no filters, one compressed stream).
#include <optional>
#include <string>

#include "textscreen/TextScreenRaster.h"

namespace korvex {

// Writes to a temporary name beside path and renames it into place, so that a failed write
// never leaves half a picture under path. Returns the message when the file cannot be written.
std::optional<std::string> WritePng(const std::string& path, const RgbImage& image);

}  // namespace korvex
