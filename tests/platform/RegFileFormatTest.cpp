// The .reg text format and the import of .reg files, the shipped type catalogue among them.
#include <map>
#include <set>

#include "platform/RegFileFormat.h"
#include "platform/RegHiveFile.h"
#include "platform/RegistryStore.h"
#include "platform/RegTestSupport.h"

namespace korvex {
namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
constexpr const char* kCatalogue = "SOFTWARE\\MIRLACH\\KORVEX\\Partitionstypen";

RegKey Parsed(const std::string& text) {
  std::string error;
  const auto changes = ParseRegText(text, "test.reg", error);
  EXPECT_TRUE(changes) << error;
  RegKey root;
  if (changes) ApplyChanges(root, *changes);
  return root;
}

TEST(RegFileFormatTest, AcceptsWindowsExportsWithTheirVariants) {
  const std::string text =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
      "\r\n"
      "; Kommentar\r\n"
      "[HKEY_CURRENT_USER\\Software\\Alt]\r\n"
      "\"weg\"=\"1\"\r\n"
      "[HKEY_CURRENT_USER\\Software\\Neu]\r\n"
      "\"Bleibt\"=\"ja\"\r\n"
      "\"Geht\"=\"nein\"\r\n"
      "  @ = \"Standard\"  \r\n"
      "\"Zahl\"=DWORD:FFFFFFFF\r\n"
      "\"Kurz\"=dword:7\r\n"
      "\r\n"
      "[-HKEY_CURRENT_USER\\software\\alt]\r\n"
      "[hkey_current_user\\Software\\Neu]\r\n"
      "\"geht\"=-\r\n";
  const RegKey root = Parsed(text);
  const RegKey* software = root.Find({"Software"});
  ASSERT_TRUE(software);
  ASSERT_EQ(1u, software->subkeys().size());
  const RegKey& neu = software->subkeys()[0];
  EXPECT_EQ("Neu", neu.name());
  ASSERT_EQ(4u, neu.values().size());
  EXPECT_EQ("Bleibt", neu.values()[0].name);
  EXPECT_EQ("ja", neu.values()[0].text);
  EXPECT_EQ("Standard", neu.FindValue("")->text);
  EXPECT_EQ(RegValueType::Dword, neu.FindValue("Zahl")->type);
  EXPECT_EQ(0xFFFFFFFFu, neu.FindValue("Zahl")->number);
  EXPECT_EQ(7u, neu.FindValue("Kurz")->number);
}

TEST(RegFileFormatTest, DecodesUtf16LittleEndianExports) {
  const std::u16string text =
      u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Grüße]\r\n\"Wert\"=\"Maß 🙂\"\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  const RegKey root = Parsed(bytes);
  const RegKey* key = root.Find({"Grüße"});
  ASSERT_TRUE(key);
  EXPECT_EQ("Maß 🙂", key->FindValue("Wert")->text);
}

struct BadLine {
  const char* what;
  const char* line;  // follows the header and one section, so it is line 4
  friend std::ostream& operator<<(std::ostream& out, const BadLine& bad) { return out << bad.what; }
};

class RegFileFormatRefusalTest : public ::testing::TestWithParam<BadLine> {};

TEST_P(RegFileFormatRefusalTest, NamesFileAndLine) {
  const std::string text = std::string("REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n") + GetParam().line + "\n\"b\"=\"2\"\n";
  std::string error;
  EXPECT_FALSE(ParseRegText(text, "/pfad/zu/x.reg", error));
  EXPECT_NE(std::string::npos, error.find("/pfad/zu/x.reg, Zeile 4: ")) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegFileFormatRefusalTest,
    ::testing::Values(BadLine{"MachineKey", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\X]"},
                      BadLine{"PrefixOfUserRoot", "[HKEY_CURRENT_USERX\\A]"},
                      BadLine{"HexValue", "\"a\"=hex:01,02"},
                      BadLine{"ExpandString", "\"a\"=hex(2):41,00,00,00"},
                      BadLine{"UnknownEscape", "\"a\"=\"C:\\Programme\""},
                      BadLine{"TrailingText", "\"a\"=\"x\" y"},
                      BadLine{"DwordTooLong", "\"a\"=dword:123456789"},
                      BadLine{"DwordNotHex", "\"a\"=dword:12g4"},
                      BadLine{"MissingEquals", "\"a\" \"x\""},
                      BadLine{"UnclosedSection", "[HKEY_CURRENT_USER\\B"},
                      BadLine{"EmptyKeyName", "[HKEY_CURRENT_USER\\B\\\\C]"},
                      BadLine{"DeleteWholeRoot", "[-HKEY_CURRENT_USER]"},
                      BadLine{"Latin1Byte", "\"a\"=\"\xE4\""}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(RegFileFormatTest, FormattedTreeParsesBackToTheSameTree) {
  RegKey root;
  root.SetValue({"Wurzel", RegValueType::Dword, {}, 1});
  root.Create({"B"}).SetValue({"", RegValueType::String, "Standard \"mit\" \\", 0});
  root.Create({"A", "leer"});
  root.Create({"A"}).SetValue({"Zahl", RegValueType::Dword, {}, 0xDEADBEEF});
  const std::string text = FormatRegText(root);
  EXPECT_EQ(
      "REGEDIT4\n\n[HKEY_CURRENT_USER]\n\"Wurzel\"=dword:00000001\n\n"
      "[HKEY_CURRENT_USER\\B]\n@=\"Standard \\\"mit\\\" \\\\\"\n\n"
      "[HKEY_CURRENT_USER\\A]\n\"Zahl\"=dword:deadbeef\n\n"
      "[HKEY_CURRENT_USER\\A\\leer]\n\n",
      text);
  EXPECT_EQ(text, FormatRegText(Parsed(text)));
}

// --- import into a store ----------------------------------------------------------------------

class RegImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    store_ = OpenRegistryStore(hive_, DeviceList(), "", error);
    ASSERT_TRUE(store_) << error;
  }

  test::ScratchDir dir_;
  std::filesystem::path hive_ = dir_.path() / "user.reg";
  std::unique_ptr<RegistryStore> store_;
};

TEST_F(RegImportTest, ShippedCatalogueIsCompleteAndConsistent) {
  std::string error;
  ASSERT_TRUE(ImportRegFile(*store_, KORVEX_SOURCE_DIR "/data/parts.reg", error)) << error;

  std::string openError;
  auto store = OpenRegistryStore(hive_, DeviceList(), "", openError);  // what the next start sees
  ASSERT_TRUE(store) << openError;
  const std::uint32_t count = RegReadDword(*store, kUser, kCatalogue, "Anzahl", 0);
  const auto entries = store->EnumKeys(kUser, kCatalogue);
  EXPECT_GE(count, 40u);
  ASSERT_EQ(count, entries.size());
  std::set<std::string> names;
  std::map<std::uint32_t, std::string> nameOfId;
  for (std::uint32_t i = 1; i <= count; ++i) {
    const std::string entry = std::string(kCatalogue) + "\\" + std::to_string(i);
    EXPECT_EQ(std::to_string(i), entries[i - 1]);
    const std::string name = RegReadString(*store, kUser, entry, "Name", "");
    const std::uint32_t id = RegReadDword(*store, kUser, entry, "Id", 0);
    EXPECT_FALSE(name.empty()) << entry;
    EXPECT_LE(name.size(), 127u) << entry;
    EXPECT_TRUE(names.insert(name).second) << "duplicate name " << name;
    EXPECT_TRUE(id >= 1 && id <= 255) << entry;
    nameOfId[id] = name;
  }
  EXPECT_EQ("Erweitert", nameOfId[0x05]);
  EXPECT_EQ("Erweitert+BIOS", nameOfId[0x0F]);
  EXPECT_EQ("Linux", nameOfId[0x83]);
  EXPECT_EQ(1u, nameOfId.count(0xEE));
  EXPECT_EQ(1u, nameOfId.count(0xEF));
}

TEST_F(RegImportTest, MalformedFileChangesNothing) {
  ASSERT_TRUE(store_->WriteDword(kUser, kCatalogue, "Anzahl", 1));
  ASSERT_TRUE(store_->WriteString(kUser, std::string(kCatalogue) + "\\1", "Name", "FAT12"));
  const std::string before = test::ReadBytes(hive_);
  const auto file = dir_.path() / "kaputt.reg";
  test::WriteBytes(file,
                   "REGEDIT4\n\n"
                   "[-HKEY_CURRENT_USER\\SOFTWARE\\MIRLACH]\n"
                   "[HKEY_CURRENT_USER\\Neu]\n"
                   "\"Wert\"=\"da\"\n"
                   "\"Binär\"=hex:00,01\n");
  std::string error;
  EXPECT_FALSE(ImportRegFile(*store_, file, error));
  EXPECT_NE(std::string::npos, error.find(file.string() + ", Zeile 6")) << error;
  EXPECT_EQ(before, test::ReadBytes(hive_));
  EXPECT_EQ(1u, store_->ReadDword(kUser, kCatalogue, "Anzahl"));
  EXPECT_FALSE(store_->KeyExists(kUser, "Neu"));
}

TEST_F(RegImportTest, UnreadableFileIsNamed) {
  std::string error;
  const auto missing = dir_.path() / "fehlt.reg";
  EXPECT_FALSE(ImportRegFile(*store_, missing, error));
  EXPECT_NE(std::string::npos, error.find(missing.string())) << error;
  EXPECT_FALSE(ImportRegFile(*store_, dir_.path(), error));  // a directory
  EXPECT_FALSE(std::filesystem::exists(hive_));
}

TEST_F(RegImportTest, ImportIsOneChangeThatFailsWhole) {
  const auto file = dir_.path() / "gut.reg";
  test::WriteBytes(file, "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"1\"\n\n[HKEY_CURRENT_USER\\B]\n\"y\"=\"2\"\n");
  std::filesystem::create_directory(HiveTempPath(hive_));  // the write cannot happen
  std::string error;
  EXPECT_FALSE(ImportRegFile(*store_, file, error));
  EXPECT_NE(std::string::npos, error.find(file.string())) << error;
  EXPECT_FALSE(store_->KeyExists(kUser, "A"));
  EXPECT_FALSE(store_->KeyExists(kUser, "B"));

  std::filesystem::remove(HiveTempPath(hive_));
  ASSERT_TRUE(ImportRegFile(*store_, file, error)) << error;
  EXPECT_EQ("1", store_->ReadString(kUser, "a", "X"));
  EXPECT_EQ("2", store_->ReadString(kUser, "b", "Y"));
}

}  // namespace
}  // namespace korvex
