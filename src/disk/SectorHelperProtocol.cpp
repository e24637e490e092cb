#include "disk/SectorHelperProtocol.h"

#include "platform/OnDiskFields.h"

namespace korvex {
namespace {

constexpr std::size_t kGeometryArgumentCount = 3;
constexpr std::size_t kTransferArgumentCount = 7;

// A decimal number of digits only (no sign, no blanks) within [low, high].
std::optional<std::uint32_t> ParseField(const std::string& text, std::uint32_t low, std::uint32_t high) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::optional<HelperOperation> ParseOperation(const std::string& text) {
  if (text == "P") return HelperOperation::Geometry;
  if (text == "R") return HelperOperation::Read;
  if (text == "W") return HelperOperation::Write;
  return std::nullopt;
}

}  // namespace

std::vector<std::string> HelperArguments(const HelperRequest& request) {
  std::vector<std::string> arguments{std::string(1, static_cast<char>(request.operation)),
                                     std::to_string(request.device)};
  if (request.operation != HelperOperation::Geometry) {
    for (const std::uint32_t field : {std::uint32_t{request.address.cylinder}, std::uint32_t{request.address.head},
                                      std::uint32_t{request.address.sector}, request.sectors}) {
      arguments.push_back(std::to_string(field));
    }
  }
  arguments.push_back(request.file);
  return arguments;
}

std::optional<HelperRequest> ParseHelperArguments(const std::vector<std::string>& arguments, std::string& error) {
  const auto operation = arguments.empty() ? std::nullopt : ParseOperation(arguments[0]);
  if (!operation) {
    error = "erwartet wird P, R oder W als erstes Argument";
    return std::nullopt;
  }
  const std::size_t expected =
      *operation == HelperOperation::Geometry ? kGeometryArgumentCount : kTransferArgumentCount;
  if (arguments.size() != expected) {
    error = "falsche Anzahl von Argumenten für " + arguments[0];
    return std::nullopt;
  }
  HelperRequest request;
  request.operation = *operation;
  request.file = arguments.back();
  const auto device = ParseField(arguments[1], 0, UINT8_MAX);
  if (!device || request.file.empty()) {
    error = "ungültige Gerätenummer oder leerer Dateiname";
    return std::nullopt;
  }
  request.device = static_cast<std::uint8_t>(*device);
  if (*operation == HelperOperation::Geometry) return request;

  const auto cylinder = ParseField(arguments[2], 0, UINT16_MAX);
  const auto head = ParseField(arguments[3], 0, UINT8_MAX);
  const auto sector = ParseField(arguments[4], 1, UINT8_MAX);
  const auto count = ParseField(arguments[5], 1, UINT32_MAX);
  if (!cylinder || !head || !sector || !count) {
    error = "ungültige Adresse: Zylinder 0..65535, Kopf 0..255, Sektor 1..255, Anzahl ab 1";
    return std::nullopt;
  }
  request.address = ChsAddress{static_cast<std::uint16_t>(*cylinder), static_cast<std::uint8_t>(*head),
                               static_cast<std::uint8_t>(*sector)};
  request.sectors = *count;
  return request;
}

std::optional<ChsAddress> HelperAddress(std::uint64_t lba, std::uint32_t heads, std::uint32_t sectorsPerTrack) {
  if (heads == 0 || sectorsPerTrack == 0 || heads > UINT8_MAX || sectorsPerTrack > UINT8_MAX) return std::nullopt;
  const std::uint64_t perCylinder = std::uint64_t{heads} * sectorsPerTrack;
  const std::uint64_t cylinder = lba / perCylinder;
  if (cylinder > UINT16_MAX) return std::nullopt;
  const std::uint64_t rest = lba % perCylinder;
  return ChsAddress{static_cast<std::uint16_t>(cylinder), static_cast<std::uint8_t>(rest / sectorsPerTrack),
                    static_cast<std::uint8_t>(rest % sectorsPerTrack + 1)};
}

std::array<std::uint8_t, kHelperGeometrySize> EncodeHelperGeometry(const HelperGeometry& geometry) {
  std::array<std::uint8_t, kHelperGeometrySize> bytes{};
  WriteLe32(bytes, 0, geometry.cylinders);
  WriteLe32(bytes, 4, geometry.heads);
  WriteLe32(bytes, 8, geometry.sectorsPerTrack);
  return bytes;
}

HelperGeometry DecodeHelperGeometry(std::span<const std::uint8_t, kHelperGeometrySize> bytes) {
  return HelperGeometry{ReadLe32(bytes, 0), ReadLe32(bytes, 4), ReadLe32(bytes, 8)};
}

}  // namespace korvex
