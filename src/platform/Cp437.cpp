#include "platform/Cp437.h"

#include "platform/StringFormat.h"
#include "platform/Texts.h"
#include "platform/Utf8.h"

#include <array>
#include <cstdint>

namespace korvex {
namespace {

// Unicode code points of the bytes 80h..FFh.
constexpr std::array<char32_t, 128> kUpperHalf = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// The pictures the VGA shows for the bytes 00h..1Fh (00h is a blank).
constexpr std::array<char32_t, 32> kControlPictures = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
};
constexpr char32_t kHouse = 0x2302;  // the picture of 7Fh

// The byte of code page 437 that shows cp; nothing when there is none.
std::optional<char> Cp437Byte(char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  for (std::size_t index = 0; index < kUpperHalf.size(); ++index) {
    if (kUpperHalf[index] == cp) return static_cast<char>(0x80 + index);
  }
  return std::nullopt;
}

}  // namespace

std::string Cp437ToUtf8(std::string_view cp437) {
  std::string out;
  for (char c : cp437) {
    const auto byte = static_cast<unsigned char>(c);
    AppendUtf8(out, byte < 0x80 ? char32_t{byte} : kUpperHalf[byte - 0x80]);
  }
  return out;
}

std::optional<std::string> Utf8ToCp437(std::string_view utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto cp = DecodeUtf8(utf8, i);
    const auto byte = cp ? Cp437Byte(*cp) : std::nullopt;
    if (!byte) return std::nullopt;
    out += *byte;
  }
  return out;
}

std::optional<std::string> BootScreenText(std::string_view utf8, CPrompt& prompt) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const size_t at = i;
    const auto cp = DecodeUtf8(utf8, i);
    const auto byte = cp ? Cp437Byte(*cp) : std::nullopt;
    if (!byte) {
      // A broken UTF-8 sequence is named by the replacement character.
      const std::string shown = cp ? std::string(utf8.substr(at, i - at)) : "\uFFFD";
      prompt.Message(StrFormat(text::kTitleNotCp437, shown.c_str()), PromptIcon::Stop);
      return std::nullopt;
    }
    out += *byte;
  }
  return out;
}

char32_t Cp437Glyph(std::uint8_t byte) {
  if (byte < kControlPictures.size()) return kControlPictures[byte];
  if (byte == 0x7F) return kHouse;
  if (byte < 0x80) return byte;
  return kUpperHalf[byte - 0x80];
}

std::string Cp437ScreenText(std::string_view cp437) {
  std::string out;
  for (char c : cp437) AppendUtf8(out, Cp437Glyph(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace korvex
