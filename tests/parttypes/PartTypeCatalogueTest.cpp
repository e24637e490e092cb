// The catalogue operations over a store file: type boxes, names back to numbers, and the
// editor's checks and store.
#include "parttypes/PartTypeCatalogue.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace korvex {
namespace {

class PartTypeCatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    store = OpenRegistryStore(dir.File("user.reg"), DeviceList{}, "", error);
    ASSERT_TRUE(store) << error;
  }
  std::unique_ptr<RegistryStore> Reopened() {
    std::string error;
    return OpenRegistryStore(dir.File("user.reg"), DeviceList{}, "", error);
  }
  std::uint32_t Count(const RegistryStore& registry) {
    return RegReadDword(registry, RegRoot::CurrentUser, kPartTypesKey, "Anzahl", 0);
  }

  test::TempDir dir;
  std::unique_ptr<RegistryStore> store;
};

TEST_F(PartTypeCatalogueTest, TypeBoxesSelectTheLastNameOfATypeAndAddUnknownTypes) {
  ASSERT_TRUE(StoreCatalogueRows(*store, {{"7", "NTFS"}, {"6", "FAT16"}, {"7", "HPFS"}}));
  const TypeChoices ntfs = FillTypeCombo(*store, 0x107);  // only the low byte counts
  EXPECT_EQ(ntfs.names, (std::vector<std::string>{"NTFS", "FAT16", "HPFS"}));
  EXPECT_EQ(ntfs.selected, "HPFS");
  EXPECT_FALSE(ntfs.added);
  EXPECT_EQ(TypeIdByName(*store, "NTFS"), 7);
  EXPECT_EQ(TypeIdByName(*store, "HPFS"), 7);
  EXPECT_EQ(TypeIdByName(*store, "ntfs"), 0);  // case-sensitive

  const TypeChoices unknown = FillTypeCombo(*store, 131);
  EXPECT_TRUE(unknown.added);
  EXPECT_EQ(unknown.selected, "Typ 131");
  const auto reread = Reopened();
  EXPECT_EQ(Count(*reread), 4u);
  EXPECT_EQ(TypeIdByName(*reread, "Typ 131"), 131);
  EXPECT_EQ(FillTypeCombo(*reread, 131).names.size(), 4u);  // known now: nothing added twice
}

TEST_F(PartTypeCatalogueTest, AnUnreadableCatalogueGivesNothing) {
  EXPECT_TRUE(FillTypeCombo(*store, 7).names.empty());
  EXPECT_EQ(TypeIdByName(*store, "NTFS"), 0);
  EXPECT_TRUE(ReadCatalogueRows(*store).empty());
  // "Anzahl" counts an entry whose key is missing: the walk stops there, nothing is added.
  ASSERT_EQ(RegWriteDword(*store, RegRoot::CurrentUser, kPartTypesKey, "Anzahl", 2), 1);
  ASSERT_EQ(RegWriteString(*store, RegRoot::CurrentUser, std::string(kPartTypesKey) + "\\1", "Name", "FAT12"), 1);
  ASSERT_EQ(RegWriteDword(*store, RegRoot::CurrentUser, std::string(kPartTypesKey) + "\\1", "Id", 1), 1);
  const TypeChoices choices = FillTypeCombo(*store, 9);
  EXPECT_EQ(choices.names, std::vector<std::string>{"FAT12"});
  EXPECT_FALSE(choices.added);
  EXPECT_EQ(Count(*store), 2u);
}

TEST_F(PartTypeCatalogueTest, TheEditorReadsSortedAndChecksRowByRow) {
  ASSERT_TRUE(StoreCatalogueRows(*store, {{"7", "NTFS"}, {"6", "FAT16"}, {"7", "HPFS"}, {"0", "leer"}}));
  // Sorted by identifier; equal identifiers in reverse catalogue order; rows with 0 were not stored.
  EXPECT_EQ(ReadCatalogueRows(*store), (std::vector<CatalogueRow>{{"6", "FAT16"}, {"7", "HPFS"}, {"7", "NTFS"}}));

  EXPECT_EQ(ParseTypeIdText("12abc"), 12);
  EXPECT_EQ(ParseTypeIdText("?"), 0);
  EXPECT_EQ(ParseTypeIdText("-1"), -1);
  EXPECT_EQ(ParseTypeIdText("99999999999999999999"), 256);
  EXPECT_EQ(CheckCatalogueRows({{"6", "Linux"}, {"7", "linux"}, {"?", "unbekannt"}}), "");
  EXPECT_EQ(CheckCatalogueRows({{"6", "Linux"}, {"7", "Linux"}}), "Linux: Doppelte Partitionsbezeichnung");
  EXPECT_EQ(CheckCatalogueRows({{"300", "A"}, {"6", "A"}}), "300: Ungültige Partitionskennung");
  EXPECT_EQ(CheckCatalogueRows({{"-1", "A"}}), "-1: Ungültige Partitionskennung");
}

TEST_F(PartTypeCatalogueTest, StoringRenumbersTheEntriesAndRemovesTheOnesLeftOver) {
  ASSERT_TRUE(StoreCatalogueRows(*store, {{"1", "FAT12"}, {"6", "FAT16"}, {"7", "NTFS"}}));
  ASSERT_TRUE(StoreCatalogueRows(*store, {{"1", "FAT12"}, {"12abc", "FAT32"}, {"?", "unbekannt"}}));
  const auto reread = Reopened();
  EXPECT_EQ(Count(*reread), 2u);
  EXPECT_EQ(RegReadString(*reread, RegRoot::CurrentUser, std::string(kPartTypesKey) + "\\2", "Name", ""), "FAT32");
  EXPECT_EQ(RegReadDword(*reread, RegRoot::CurrentUser, std::string(kPartTypesKey) + "\\2", "Id", 0), 12u);
  EXPECT_FALSE(reread->KeyExists(RegRoot::CurrentUser, std::string(kPartTypesKey) + "\\3"));
}

}  // namespace
}  // namespace korvex
