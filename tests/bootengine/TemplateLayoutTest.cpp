// Every fixed field of the two assembled templates, checked against the layout constants.
// The assembler already refuses to place a field elsewhere; these tests pin the field contents
// that the program and the engine agree on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "EngineLayout.h"
#include "bootengine/Templates.h"

namespace korvex {
namespace {

namespace L = layout;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kLineChars = 47;

template <std::size_t N>
Bytes Slice(const std::array<std::uint8_t, N>& image, std::size_t offset, std::size_t size) {
  return Bytes(image.begin() + offset, image.begin() + offset + size);
}

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A 48-byte screen line: 47 characters and the zero byte.
Bytes Line(const std::string& characters) {
  EXPECT_EQ(characters.size(), kLineChars) << characters;
  Bytes line = ToBytes(characters);
  line.push_back(0);
  return line;
}

Bytes Border(char left, char fill, char right) {
  return Line(std::string(1, left) + std::string(45, fill) + std::string(1, right));
}

// Frame character, `indent` blanks, the text, blanks up to the closing frame character.
Bytes Framed(std::size_t indent, const std::string& text) {
  std::string inner = std::string(indent, ' ') + text;
  inner.resize(45, ' ');
  return Line("\xBA" + inner + "\xBA");
}

Bytes Centred(const std::string& text) { return Framed((45 - text.size()) / 2, text); }

Bytes ScreenLine(std::size_t index) {
  return Slice(kEngineTemplate, L::AREA_SCREEN_LINES + index * L::CONST_SCREEN_LINE_SIZE,
               L::CONST_SCREEN_LINE_SIZE);
}

bool AllEqual(const Bytes& bytes, std::uint8_t value) {
  return std::all_of(bytes.begin(), bytes.end(), [value](std::uint8_t b) { return b == value; });
}

// --- loader template ----------------------------------------------------------------------------

TEST(LoaderTemplateTest, ConfigurationBytesAndText) {
  EXPECT_EQ(kLoaderTemplate.size(), L::CONST_SECTOR_SIZE);
  EXPECT_EQ(kLoaderTemplate[L::LOADER_DEFAULT_ENTRY], 0xDD);
  EXPECT_EQ(kLoaderTemplate[L::LOADER_DIRECT_BOOT], 0xEE);
  // 67 characters in code page 437 (ü = 81h) and the terminating zero fill 0x097..0x0DA.
  Bytes text = ToBytes("Boot-Manager kann nicht geladen werden!\r\nTaste dr\x81"
                       "cken f\x81r Notboot!");
  text.push_back(0);
  ASSERT_EQ(text.size(), L::LOADER_TEXT_SIZE);
  EXPECT_EQ(Slice(kLoaderTemplate, L::LOADER_TEXT, L::LOADER_TEXT_SIZE), text);
}

TEST(LoaderTemplateTest, TablesEmptyAndSigned) {
  // Zero from the end of the text through the menu table and its pad up to the partition table.
  EXPECT_TRUE(AllEqual(Slice(kLoaderTemplate, L::LOADER_TEXT_PAD,
                             L::LOADER_PARTITION_TABLE - L::LOADER_TEXT_PAD), 0));
  EXPECT_TRUE(AllEqual(Slice(kLoaderTemplate, L::LOADER_PARTITION_TABLE,
                             L::LOADER_PARTITION_TABLE_SIZE), 0));
  EXPECT_EQ(kLoaderTemplate[L::LOADER_SIGNATURE], 0x55);
  EXPECT_EQ(kLoaderTemplate[L::LOADER_SIGNATURE + 1], 0xAA);
}

// --- engine template ----------------------------------------------------------------------------

TEST(EngineTemplateTest, JumpIsSignatureAndReachesEntry) {
  EXPECT_EQ(kEngineTemplate.size(), L::CONST_AREA_SIZE);
  EXPECT_EQ(Slice(kEngineTemplate, L::AREA_JUMP, 3), (Bytes{0xE9, 0x69, 0x03}));
  const std::size_t target = 3 + (kEngineTemplate[1] | kEngineTemplate[2] << 8);
  EXPECT_EQ(target, L::AREA_ENTRY);
  EXPECT_EQ(kEngineTemplate[0] | kEngineTemplate[1] << 8, L::CONST_ENGINE_SIGNATURE);
}

TEST(EngineTemplateTest, ScreenLinesOfAnEmptyMenu) {
  EXPECT_EQ(ScreenLine(0), Border('\xC9', '\xCD', '\xBB'));
  EXPECT_EQ(ScreenLine(3), Framed(4, "Autoboot des Systems in     Sekunden"));
  EXPECT_EQ(ScreenLine(4), Border('\xC7', '\xC4', '\xB6'));
  EXPECT_EQ(ScreenLine(5), Border('\xC8', '\xCD', '\xBC'));
  EXPECT_EQ(ScreenLine(6)[0], 0);  // ends the list: no menu entries
  // The rest of the line area and the byte after it stay zero.
  EXPECT_TRUE(AllEqual(Slice(kEngineTemplate, L::AREA_SCREEN_LINES + 6 * 48,
                             L::AREA_RESERVED_364 - L::AREA_SCREEN_LINES - 6 * 48), 0));
}

TEST(EngineTemplateTest, BannerAndSecondLine) {
  const Bytes banner = ScreenLine(L::CONST_BANNER_LINE);
  const std::string text(banner.begin(), banner.begin() + kLineChars);
  EXPECT_EQ(text.substr(0, 25), "\xBA Korvex Bootmanager V4.3");
  EXPECT_NE(text.find("Mirlach"), std::string::npos);
  EXPECT_EQ(text.back(), '\xBA');
  EXPECT_EQ(banner.back(), 0);
  EXPECT_EQ(kEngineTemplate[L::CONST_VERSION_MAJOR_AREA], '4');
  EXPECT_EQ(kEngineTemplate[L::CONST_VERSION_MINOR_AREA], '3');
  const Bytes second = ScreenLine(2);
  EXPECT_EQ(second[0], 0xBA);
  EXPECT_EQ(second[46], 0xBA);
  EXPECT_EQ(second[47], 0);
  EXPECT_EQ(std::count(second.begin(), second.end() - 1, 0), 0);  // no zero inside the line
}

TEST(EngineTemplateTest, StatusLineSwitchCharacters) {
  const Bytes status = ScreenLine(L::CONST_STATUS_LINE);
  const std::string switched(status.begin() + L::CONST_STATUS_SWITCH_CHAR,
                             status.begin() + L::CONST_STATUS_SWITCH_CHAR +
                                 L::CONST_STATUS_SWITCH_LEN);
  EXPECT_EQ(switched, "n     Sekunden");
}

TEST(EngineTemplateTest, ConfigurationBytes) {
  EXPECT_EQ(kEngineTemplate[L::AREA_SCREEN_END], 0);
  EXPECT_TRUE(AllEqual(Slice(kEngineTemplate, L::AREA_RESERVED_364, 4), 0));
  EXPECT_EQ(kEngineTemplate[L::AREA_TIMEOUT], L::CONST_TEMPLATE_TIMEOUT);
  EXPECT_EQ(kEngineTemplate[L::AREA_TIMEOUT], 0x60);
  EXPECT_EQ(kEngineTemplate[L::AREA_REMEMBER_LAST], 0);
  EXPECT_EQ(kEngineTemplate[L::AREA_BAR_COLOUR], 0x3E);
  EXPECT_EQ(kEngineTemplate[L::AREA_MENU_COLOUR], 0x1B);
  // The autoboot switch is the opcode of a jnz short inside the code; EBh would be jmp short.
  EXPECT_EQ(kEngineTemplate[L::AREA_AUTOBOOT_SWITCH], L::CONST_AUTOBOOT_ON);
  EXPECT_EQ(kEngineTemplate[L::AREA_AUTOBOOT_SWITCH], 0x75);
  // Its displacement must jump backwards into the code (the key poll of the menu loop).
  const auto displacement = static_cast<std::int8_t>(kEngineTemplate[L::AREA_AUTOBOOT_SWITCH + 1]);
  const std::size_t target = L::AREA_AUTOBOOT_SWITCH + 2 + displacement;
  EXPECT_LT(displacement, 0);
  EXPECT_GE(target, L::AREA_ENTRY);
  EXPECT_TRUE(AllEqual(Slice(kEngineTemplate, L::AREA_CODE_PAD, L::AREA_CODE_PAD_SIZE), 0));
}

TEST(EngineTemplateTest, MbrCopyIsTheLoaderTemplate) {
  EXPECT_EQ(Slice(kEngineTemplate, L::AREA_MBR_COPY, L::AREA_MBR_COPY_SIZE),
            Slice(kLoaderTemplate, 0, L::CONST_SECTOR_SIZE));
}

TEST(EngineTemplateTest, PasswordsPromptAndKey) {
  EXPECT_TRUE(AllEqual(Slice(kEngineTemplate, L::AREA_PASSWORDS, L::AREA_PASSWORDS_SIZE), 0));
  EXPECT_EQ(Slice(kEngineTemplate, L::AREA_PASSWORD_PROMPT, L::AREA_PASSWORD_PROMPT_SIZE),
            Framed(1, "Passwort:"));
  EXPECT_EQ(Slice(kEngineTemplate, L::AREA_PASSWORD_KEY, L::AREA_PASSWORD_KEY_SIZE),
            (Bytes{0xD7, 0x3C, 0x91, 0xE7, 0x0B, 0x66, 0xD2, 0x48, 0x1F, 0xA5, 0x7E, 0x03, 0xC9,
                   0x84, 0x2D, 0x6B}));
  EXPECT_TRUE(AllEqual(Slice(kEngineTemplate, L::AREA_PASSWORD_INPUT, L::AREA_PASSWORD_INPUT_SIZE),
                       ' '));
}

TEST(EngineTemplateTest, MessageLinesCentredInTheirAreas) {
  const struct {
    std::size_t offset;
    std::string text;
  } messages[] = {
      {L::AREA_MSG_DENIED, "Zugriff verweigert!"},
      {L::AREA_MSG_DISK_ERROR, "FD/HD-Probleme:Bootvorgang wurde abgebrochen!"},
      {L::AREA_MSG_NO_LOADER, "Kann Betriebssystemurlader nicht finden!"},
      {L::AREA_MSG_PRESS_KEY, "weiter -> Taste dr\x81"
                              "cken"},
  };
  for (const auto& message : messages) {
    const bool inFirst = message.offset >= L::AREA_MESSAGES &&
                         message.offset + 48 <= L::AREA_MESSAGES + L::AREA_MESSAGES_SIZE;
    const bool inSecond = message.offset >= L::AREA_MESSAGES_2 &&
                          message.offset + 48 <= L::AREA_MESSAGES_2 + L::AREA_MESSAGES_2_SIZE;
    EXPECT_TRUE(inFirst || inSecond) << message.text;
    EXPECT_EQ(Slice(kEngineTemplate, message.offset, 48), Centred(message.text)) << message.text;
  }
  EXPECT_EQ(Slice(kEngineTemplate, L::AREA_MSG_BOTTOM_BORDER, 48), Border('\xC8', '\xCD', '\xBC'));
}

TEST(EngineTemplateTest, DiskAddressPacketAndVariables) {
  EXPECT_EQ(Slice(kEngineTemplate, L::AREA_DISK_ADDRESS_PACKET, L::AREA_DISK_ADDRESS_PACKET_SIZE),
            (Bytes{0x10, 0, 1, 0, 0x00, 0x7C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(AllEqual(Slice(kEngineTemplate, L::AREA_VARIABLES, L::AREA_VARIABLES_SIZE), 0));
  EXPECT_TRUE(AllEqual(Slice(kEngineTemplate, L::AREA_RESERVED_C5D, L::AREA_RESERVED_C5D_SIZE), 0));
}

}  // namespace
}  // namespace korvex
