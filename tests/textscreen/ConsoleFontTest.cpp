// The console font loader on fonts made here (PSF2 and PSF1, plain and gzip), on damaged ones,
// and on the VGA font the preview uses.
#include "textscreen/ConsoleFont.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>

#include "EngineLayout.h"
#include "bootengine/Templates.h"
#include "platform/Cp437.h"
#include "platform/OnDiskFields.h"
#include "platform/Texts.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A PSF2 font of 10 × 3 pixels (two bytes a row) with three glyphs: 0 blank, 1 "A" (left pixel
// of every row and the right-most pixel of the middle row), 2 a full block. Its table names "A"
// and "Ä" (UTF-8) for glyph 1, a sequence "A" + U+0308 that must not claim a character, and
// "█" for glyph 2.
Bytes Psf2Font() {
  Bytes font(32, 0);
  const std::uint8_t magic[] = {0x72, 0xB5, 0x4A, 0x86};
  std::copy(std::begin(magic), std::end(magic), font.begin());
  WriteLe32(std::span(font).subspan(8), 32);  // header size
  WriteLe32(std::span(font).subspan(12), 1);  // Unicode table
  WriteLe32(std::span(font).subspan(16), 3);  // glyphs
  WriteLe32(std::span(font).subspan(20), 6);  // bytes a glyph
  WriteLe32(std::span(font).subspan(24), 3);  // height
  WriteLe32(std::span(font).subspan(28), 10);  // width
  const Bytes glyphs = {0, 0, 0, 0, 0, 0,  0x80, 0, 0x80, 0x40, 0x80, 0,  0xFF, 0xC0, 0xFF, 0xC0, 0xFF, 0xC0};
  font.insert(font.end(), glyphs.begin(), glyphs.end());
  const Bytes table = {' ', 0xFF, 'A', 0xC3, 0x84, 0xFE, 'B', 0xCC, 0x88, 0xFF, 0xE2, 0x96, 0x88, 0xFF};
  font.insert(font.end(), table.begin(), table.end());
  return font;
}

Bytes Gzip(const Bytes& bytes) {
  z_stream stream{};
  deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  Bytes out(deflateBound(&stream, static_cast<uLong>(bytes.size())) + 32);
  stream.next_in = const_cast<Bytef*>(bytes.data());
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

TEST(ConsoleFont, Psf2GlyphsAndUnicodeTable) {
  const FontResult result = ParseConsoleFont(Psf2Font(), "test.psf");
  ASSERT_TRUE(result.font) << result.error;
  const ConsoleFont& font = *result.font;
  EXPECT_EQ(font.Width(), 10u);
  EXPECT_EQ(font.Height(), 3u);
  EXPECT_EQ(font.GlyphFor(U'A'), 1u);
  EXPECT_EQ(font.GlyphFor(U'Ä'), 1u);
  EXPECT_EQ(font.GlyphFor(U'█'), 2u);
  EXPECT_FALSE(font.GlyphFor(U'B'));  // only part of a sequence
  EXPECT_TRUE(font.Pixel(1, 0, 1));
  EXPECT_TRUE(font.Pixel(1, 9, 1));  // the tenth pixel lies in the row's second byte
  EXPECT_FALSE(font.Pixel(1, 8, 1));
  EXPECT_FALSE(font.Pixel(1, 9, 0));
  EXPECT_FALSE(font.Pixel(7, 0, 0));  // no such glyph
}

TEST(ConsoleFont, Psf1AndGzipFiles) {
  // A PSF1 font: 256 glyphs of 8 × 2, glyph 65 with its top row set, named "A" in the table.
  Bytes font = {0x36, 0x04, 0x02, 2};
  Bytes glyphs(256 * 2, 0);
  glyphs[65 * 2] = 0xFF;
  font.insert(font.end(), glyphs.begin(), glyphs.end());
  for (unsigned glyph = 0; glyph < 256; ++glyph) {
    if (glyph == 65) font.insert(font.end(), {'A', 0, 0xFE, 0xFF, 'a', 0});  // "a" only in a sequence
    font.insert(font.end(), {0xFF, 0xFF});
  }
  test::TempDir dir;
  WriteFile(dir.File("font.psf.gz"), Gzip(font));
  const FontResult loaded = LoadConsoleFont(dir.File("font.psf.gz"));
  ASSERT_TRUE(loaded.font) << loaded.error;
  EXPECT_EQ(loaded.font->Width(), 8u);
  EXPECT_EQ(loaded.font->GlyphCount(), 256u);
  EXPECT_EQ(loaded.font->GlyphFor(U'A'), 65u);
  EXPECT_FALSE(loaded.font->GlyphFor(U'a'));
  EXPECT_TRUE(loaded.font->Pixel(65, 7, 0));
  EXPECT_FALSE(loaded.font->Pixel(65, 0, 1));

  WriteFile(dir.File("plain.psf"), Psf2Font());
  EXPECT_TRUE(LoadConsoleFont(dir.File("plain.psf")).font);
}

TEST(ConsoleFont, DamagedFontsAreRefusedWithTheirReason) {
  struct Case {
    const char* what;
    Bytes bytes;
    const char* detail;
  };
  Bytes noTable = Psf2Font();
  WriteLe32(std::span(noTable).subspan(12), 0);
  Bytes wrongGlyphSize = Psf2Font();
  WriteLe32(std::span(wrongGlyphSize).subspan(20), 5);
  Bytes hugeCount = Psf2Font();
  WriteLe32(std::span(hugeCount).subspan(16), 0xFFFFFFFF);
  Bytes hugeHeader = Psf2Font();
  WriteLe32(std::span(hugeHeader).subspan(8), 0xFFFFFFF0);
  Bytes badUtf8 = Psf2Font();
  badUtf8[32 + 18 + 3] = 0x84;  // a continuation byte where a character starts
  Bytes cut = Psf2Font();
  cut.resize(32 + 10);
  Bytes halfHeader = Psf2Font();
  halfHeader.resize(20);
  const std::vector<Case> cases = {
      {"not a font", Bytes{'h', 'e', 'l', 'l', 'o'}, text::kFontNoMagic},
      {"header only half there", halfHeader, text::kFontTruncated},
      {"no Unicode table", noTable, text::kFontNoUnicode},
      {"glyph size disagrees", wrongGlyphSize, text::kFontBadHeader},
      {"four billion glyphs", hugeCount, text::kFontBadHeader},
      {"bitmaps beyond the end", hugeHeader, text::kFontTruncated},
      {"glyphs cut off", cut, text::kFontTruncated},
      {"table not UTF-8", badUtf8, text::kFontBadUnicode},
      {"PSF1 without table", Bytes{0x36, 0x04, 0x00, 16}, text::kFontNoUnicode},
  };
  for (const Case& c : cases) {
    const FontResult result = ParseConsoleFont(c.bytes, "kaputt.psf");
    EXPECT_FALSE(result.font) << c.what;
    EXPECT_NE(result.error.find("kaputt.psf"), std::string::npos) << c.what;
    EXPECT_NE(result.error.find(c.detail), std::string::npos) << c.what << ": " << result.error;
  }

  test::TempDir dir;
  Bytes gzip = Gzip(Psf2Font());
  gzip.resize(gzip.size() / 2);
  WriteFile(dir.File("cut.psf.gz"), gzip);
  EXPECT_NE(LoadConsoleFont(dir.File("cut.psf.gz")).error.find(text::kFontBadGzip), std::string::npos);
  EXPECT_NE(LoadConsoleFont(dir.File("missing.psf")).error.find("kann nicht gelesen werden"), std::string::npos);
}

TEST(ConsoleFont, MissingGlyphsComeFromASecondFont) {
  ConsoleFont font(8, 1, {0x00, 0xFF}, {{U' ', 0}, {U'A', 1}});
  const ConsoleFont other(8, 1, {0x0F, 0xF0, 0x81}, {{U'A', 0}, {U'B', 1}, {U'b', 1}, {U'C', 2}});
  font.AddMissingGlyphs(other);
  EXPECT_EQ(font.GlyphFor(U'A'), 1u);  // the font's own glyph stays
  EXPECT_EQ(font.GlyphCount(), 4u);    // B and b share one copied glyph
  ASSERT_TRUE(font.GlyphFor(U'b'));
  EXPECT_EQ(font.GlyphFor(U'B'), font.GlyphFor(U'b'));
  EXPECT_TRUE(font.Pixel(*font.GlyphFor(U'B'), 0, 0));
  EXPECT_FALSE(font.Pixel(*font.GlyphFor(U'B'), 4, 0));
  EXPECT_TRUE(font.Pixel(*font.GlyphFor(U'C'), 7, 0));

  font.AddMissingGlyphs(ConsoleFont(8, 2, Bytes(2, 0xFF), {{U'D', 0}}));  // another cell size
  EXPECT_FALSE(font.GlyphFor(U'D'));
}

TEST(ConsoleFont, PreviewFontShowsEveryCharacterOfTheEngineScreen) {
  // Key assertion: the installed preview font has a glyph for every character of the engine's
  // screen lines, German letters, and double frame lines apart from single ones, as the VGA.
  const FontResult result = LoadPreviewFont();
  if (result.error == text::kNoPreviewFont) {
    GTEST_SKIP() << "no console font installed (scripts/install-deps.sh installs console-setup-linux)";
  }
  ASSERT_TRUE(result.font) << result.error;
  const ConsoleFont& font = *result.font;
  EXPECT_EQ(font.Width(), 8u);
  EXPECT_EQ(font.Height(), 16u);
  for (std::size_t at = layout::AREA_SCREEN_LINES; at < layout::AREA_RESERVED_364; ++at) {
    const std::uint8_t byte = kEngineTemplate[at];
    EXPECT_TRUE(font.GlyphFor(Cp437Glyph(byte))) << "byte " << int{byte} << " at " << at;
  }
  for (const char32_t letter : {U'ä', U'ö', U'ü', U'Ä', U'Ö', U'Ü', U'ß', U'å', U'ò'}) {
    EXPECT_TRUE(font.GlyphFor(letter)) << static_cast<unsigned>(letter);
  }
  EXPECT_NE(font.GlyphFor(U'═'), font.GlyphFor(U'─'));
  EXPECT_NE(font.GlyphFor(U'║'), font.GlyphFor(U'│'));
}

}  // namespace
}  // namespace korvex
