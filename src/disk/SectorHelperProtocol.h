#pragma once
// What the program and the sector helper program say to each other: the three command lines
// and the geometry result file. The program builds the command lines, the stand-in helper
// korvex95 parses them, so both sides share this one definition.
//
//   P DEVICE FILE                                  geometry: 12 bytes into FILE
//   R DEVICE CYLINDER HEAD SECTOR COUNT FILE       read COUNT sectors from CHS into FILE
//   W DEVICE CYLINDER HEAD SECTOR COUNT FILE       write COUNT sectors of FILE to CHS
//
// All numbers are decimal; the sector counts from 1. The helper ends with exit status 0 only
// when it did the whole exchange.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "disk/CPhysicalDrive.h"

namespace korvex {

enum class HelperOperation : char { Geometry = 'P', Read = 'R', Write = 'W' };

struct HelperRequest {
  HelperOperation operation = HelperOperation::Geometry;
  std::uint8_t device = 0;
  ChsAddress address;          // read and write only
  std::uint32_t sectors = 0;   // read and write only
  std::string file;            // the exchange file

  bool operator==(const HelperRequest&) const = default;
};

// The command line after the helper's own path.
std::vector<std::string> HelperArguments(const HelperRequest& request);
// Accepts exactly the three forms with every number in range (device 0..255, cylinder
// 0..65535, head 0..255, sector 1..255, count at least 1) and a non-empty file; otherwise
// nothing and an error text.
std::optional<HelperRequest> ParseHelperArguments(const std::vector<std::string>& arguments, std::string& error);

// The CHS address of lba for the command line: cylinder = lba / (heads × sectors per track),
// head and sector from the rest. Nothing when the address does not fit the command line's
// fields (a cylinder above 65535, more than 255 heads or sectors per track, or no geometry):
// cutting it to the field would name another sector.
std::optional<ChsAddress> HelperAddress(std::uint64_t lba, std::uint32_t heads, std::uint32_t sectorsPerTrack);

// The geometry result file: cylinders, heads and sectors per track as unsigned 32-bit
// little-endian numbers.
struct HelperGeometry {
  std::uint32_t cylinders = 0;
  std::uint32_t heads = 0;
  std::uint32_t sectorsPerTrack = 0;
};
inline constexpr std::size_t kHelperGeometrySize = 12;
std::array<std::uint8_t, kHelperGeometrySize> EncodeHelperGeometry(const HelperGeometry& geometry);
HelperGeometry DecodeHelperGeometry(std::span<const std::uint8_t, kHelperGeometrySize> bytes);

}  // namespace korvex
