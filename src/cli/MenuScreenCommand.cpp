// "menu screen": the boot menu as the engine will paint it after the next save, as text, as
// JSON with the characters and attribute bytes of every cell, or as a PNG picture.
#include <cstdio>
#include <optional>

#include "bootengine/EngineConfig.h"
#include "cli/ArgumentValues.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/ObjectSelector.h"
#include "platform/Cp437.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"
#include "shell/BootMenuPreview.h"
#include "textscreen/PngFile.h"

namespace korvex {
namespace {

constexpr const char* kUsage =
    "Aufruf: menu screen [FESTPLATTE] [--selection POSITION] [--countdown SEKUNDEN] [--json | --png DATEI "
    "[--font DATEI]]";

struct ScreenOptions {
  std::string disk = "0";
  std::optional<std::uint64_t> selection;
  std::optional<std::uint64_t> countdown;
  bool json = false;
  std::string png;
  std::string font;
};

std::optional<ScreenOptions> ParseOptions(const Arguments& arguments) {
  ScreenOptions options;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == "--json") {
      options.json = true;
    } else if (argument == "--selection" && hasValue) {
      if (!(options.selection = ParseNumber(arguments[++i], 255))) return std::nullopt;
    } else if (argument == "--countdown" && hasValue) {
      if (!(options.countdown = ParseNumber(arguments[++i], UINT32_MAX))) return std::nullopt;
    } else if (argument == "--png" && hasValue) {
      options.png = arguments[++i];
    } else if (argument == "--font" && hasValue) {
      options.font = arguments[++i];
    } else if (i == 1 && argument.rfind("--", 0) != 0) {
      options.disk = argument;
    } else {
      return std::nullopt;
    }
  }
  if (options.json && !options.png.empty()) return std::nullopt;
  if (!options.font.empty() && options.png.empty()) return std::nullopt;
  return options;
}

std::string RowBytes(const TextScreen& screen, unsigned row, bool attributes) {
  std::string bytes;
  for (unsigned column = 0; column < kTextColumns; ++column) {
    const TextCell& cell = screen.At(row, column);
    bytes += static_cast<char>(attributes ? cell.attribute : cell.character);
  }
  return bytes;
}

std::string HexText(const std::string& bytes) {
  std::string hex;
  for (const char byte : bytes) hex += StrFormat("%02X", static_cast<unsigned char>(byte));
  return hex;
}

void PrintJson(const TextScreen& screen, const MenuScreenState& state) {
  JsonWriter json;
  json.BeginObject()
      .Field("columns", std::int64_t{kTextColumns})
      .Field("rows", std::int64_t{kTextRows})
      .Field("selection", std::int64_t{state.selection})
      .Field("countdown", std::int64_t{state.countdown});
  // Per row: the text as the screen shows it, and the cells' characters and attributes in hex.
  const auto rows = [&](const char* key, auto rowText) {
    json.Key(key).BeginArray();
    for (unsigned row = 0; row < kTextRows; ++row) json.String(rowText(row));
    json.EndArray();
  };
  rows("text", [&](unsigned row) { return Cp437ScreenText(RowBytes(screen, row, false)); });
  rows("characters", [&](unsigned row) { return HexText(RowBytes(screen, row, false)); });
  rows("attributes", [&](unsigned row) { return HexText(RowBytes(screen, row, true)); });
  json.EndObject();
  std::puts(json.str().c_str());
}

int WritePicture(const TextScreen& screen, const ScreenOptions& options) {
  const FontResult font = options.font.empty() ? LoadPreviewFont() : LoadConsoleFont(options.font);
  if (!font.font) {
    PrintError(font.error);
    return kExitFailed;
  }
  if (const auto error = WritePng(options.png, RasterizeTextScreen(screen, *font.font))) {
    PrintError(*error);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

int RunMenuScreen(CliSession& session, const Arguments& arguments) {
  const auto options = ParseOptions(arguments);
  if (!options) {
    PrintError(kUsage);
    return kExitUsage;
  }
  CHardDisk* disk = SelectDisk(session, options->disk);
  if (disk == nullptr) return kExitUsage;
  if (!disk->EngineInstalled()) {
    PrintError(StrFormat(text::kNoEngineOnDisk, disk->DeviceName().c_str()));
    return kExitFailed;
  }
  BootMenuPreview preview(session.workingCopy(), *disk);
  const auto entries = static_cast<unsigned>(preview.order().size());
  if (options->selection) {
    if (entries == 0) {
      PrintError(text::kMenuEmpty);
      return kExitFailed;
    }
    if (!preview.Select(static_cast<unsigned>(*options->selection))) {
      PrintError(StrFormat(text::kMenuPositionInvalid, static_cast<unsigned>(*options->selection), entries - 1));
      return kExitFailed;
    }
  }
  if (options->countdown) {
    const auto seconds = static_cast<unsigned>(*options->countdown);
    if (*options->countdown > kMaxTimeoutSeconds) {
      PrintError(StrFormat(text::kTimeoutTooLong, kMaxTimeoutSeconds, seconds));
      return kExitFailed;
    }
    preview.SetCountdown(SecondsToBcd(seconds));
  }
  const TextScreen screen = preview.Screen();
  if (!options->png.empty()) return WritePicture(screen, *options);
  if (options->json) {
    PrintJson(screen, preview.State());
  } else {
    for (unsigned row = 0; row < kTextRows; ++row) std::puts(Cp437ScreenText(RowBytes(screen, row, false)).c_str());
  }
  return kExitOk;
}

}  // namespace korvex
