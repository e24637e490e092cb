// The catalogue that ships with the program, imported at the first start: found relative to the
// program (an installed or unpacked package) before beside it (a build tree), never over a
// catalogue the user has, and when it is missing or broken the refusal says how to import one.
#include "shell/ShippedCatalogue.h"

#include <gtest/gtest.h>

#include <fstream>

#include "parttypes/PartTypeCatalogue.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

// A catalogue of count types, each named after where it lies.
std::string Catalogue(unsigned count, const std::string& name) {
  std::string text = "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\MIRLACH\\KORVEX\\Partitionstypen]\n\"Anzahl\"=dword:0000000" +
                     std::to_string(count) + "\n";
  for (unsigned i = 1; i <= count; ++i) {
    text += "\n[HKEY_CURRENT_USER\\SOFTWARE\\MIRLACH\\KORVEX\\Partitionstypen\\" + std::to_string(i) + "]\n\"Name\"=\"" +
            name + "\"\n\"Id\"=dword:00000007\n";
  }
  return text;
}

class ShippedCatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    store = OpenRegistryStore(dir.File("home/user.reg"), DeviceList{}, "", error);
    ASSERT_TRUE(store) << error;
  }
  void Place(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
  }
  std::uint32_t Count() const { return RegReadDword(*store, RegRoot::CurrentUser, kPartTypesKey, "Anzahl", 0); }
  std::string FirstName() const {
    return RegReadString(*store, RegRoot::CurrentUser, std::string(kPartTypesKey) + "\\1", "Name", "");
  }

  test::TempDir dir;
  const std::filesystem::path bin = dir.path() / "usr" / "bin";
  const std::filesystem::path installed = dir.path() / "usr" / "share" / "korvex" / "parts.reg";
  const std::filesystem::path beside = bin / "parts.reg";
  std::unique_ptr<RegistryStore> store;
};

TEST_F(ShippedCatalogueTest, TheInstalledPlaceComesBeforeTheBuildTreesAndTheStoreKeepsIt) {
  EXPECT_EQ(ShippedCataloguePlaces(bin), (std::vector<std::filesystem::path>{installed, beside}));
  Place(installed, Catalogue(2, "installiert"));
  Place(beside, Catalogue(3, "daneben"));
  std::string error;
  ASSERT_TRUE(EnsureShippedCatalogue(*store, bin, error)) << error;
  EXPECT_EQ(Count(), 2u);
  EXPECT_EQ(FirstName(), "installiert");

  std::string reopenError;
  EXPECT_TRUE(HasPartTypeCatalogue(*OpenRegistryStore(dir.File("home/user.reg"), DeviceList{}, "", reopenError)));
}

TEST_F(ShippedCatalogueTest, ABuildTreeHasItBesideTheProgram) {
  Place(beside, Catalogue(3, "daneben"));
  std::string error;
  ASSERT_TRUE(EnsureShippedCatalogue(*store, bin, error)) << error;
  EXPECT_EQ(FirstName(), "daneben");
}

TEST_F(ShippedCatalogueTest, ACatalogueTheUserHasIsNeverReplaced) {
  ASSERT_TRUE(StoreCatalogueRows(*store, {{"131", "Mein Linux"}}));
  Place(installed, Catalogue(2, "installiert"));
  std::string error;
  EXPECT_TRUE(EnsureShippedCatalogue(*store, bin, error));
  EXPECT_EQ(Count(), 1u);
  EXPECT_EQ(FirstName(), "Mein Linux");
}

TEST_F(ShippedCatalogueTest, MissingEverywhereNamesThePlacesAndHowToImportOne) {
  std::string error;
  EXPECT_FALSE(EnsureShippedCatalogue(*store, bin, error));
  EXPECT_NE(error.find(installed.string()), std::string::npos) << error;
  EXPECT_NE(error.find(beside.string()), std::string::npos) << error;
  EXPECT_NE(error.find("korvex-cli registry ensure-catalogue"), std::string::npos) << error;
  EXPECT_FALSE(HasPartTypeCatalogue(*store));
}

TEST_F(ShippedCatalogueTest, ABrokenOrEmptyShippedFileIsReportedAndImportsNothing) {
  Place(installed, "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\MIRLACH\\KORVEX\\Partitionstypen]\nMüll\n");
  Place(beside, Catalogue(3, "daneben"));  // not taken: the installed file is the one that counts
  std::string error;
  EXPECT_FALSE(EnsureShippedCatalogue(*store, bin, error));
  EXPECT_NE(error.find(installed.string()), std::string::npos) << error;
  EXPECT_NE(error.find("Zeile 4"), std::string::npos) << error;
  EXPECT_NE(error.find("korvex-cli registry ensure-catalogue"), std::string::npos) << error;
  EXPECT_FALSE(HasPartTypeCatalogue(*store));

  Place(installed, "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\MIRLACH\\KORVEX\\Sonstiges]\n\"a\"=\"b\"\n");
  error.clear();
  EXPECT_FALSE(EnsureShippedCatalogue(*store, bin, error));
  EXPECT_NE(error.find("keine Partitionstypen"), std::string::npos) << error;
}

}  // namespace
}  // namespace korvex
