// The stored layout of the menu tree, its load, save and defaults, in the test prefix's registry.
#include <gtest/gtest.h>

#include "store/RegHelper.h"
#include "tests/unit/StoreTesting.h"
#include "tests/unit/TestTree.h"

using storetest::Describe;
using storetest::PutEntry;
using storetest::ReadValue;
using storetest::RootPath;

namespace {

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override { storetest::ClearStore(); }
    void TearDown() override { storetest::ClearStore(); }

    std::wstring Entry(const std::wstring& below) const { return RootPath() + L"\\" + below; }

    void ExpectDword(const std::wstring& key, const wchar_t* name, DWORD expected) const
    {
        const storetest::RawValue value = ReadValue(key, name);
        EXPECT_TRUE(value.present) << key << L" " << name;
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value.type) << key << L" " << name;
        EXPECT_EQ(4u, value.data.size()) << key << L" " << name;
        EXPECT_EQ(expected, value.Dword()) << key << L" " << name;
    }

    void ExpectEntry(const std::wstring& key, DWORD type, DWORD isSpec, DWORD id, const wchar_t* name, DWORD pos) const
    {
        ExpectDword(key, L"Type", type);
        ExpectDword(key, L"IsSpec", isSpec);
        ExpectDword(key, L"ID", id);
        ExpectDword(key, L"Pos", pos);
        const storetest::RawValue stored = ReadValue(key, L"Name");
        if (!name) {
            EXPECT_FALSE(stored.present) << key;
            EXPECT_EQ(4u, storetest::CountValues(key)) << key;
            return;
        }
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.type) << key;
        EXPECT_EQ((wcslen(name) + 1) * 2, stored.data.size()) << key;
        EXPECT_EQ(std::wstring(name) + L'\0', stored.Text()) << key;
        EXPECT_EQ(5u, storetest::CountValues(key)) << key;
    }

    CRegHelper store;
    CTodayMenu menu;
};

TEST_F(StoreTest, FirstStartWritesTheDefaultTreeAndShowsItInPosOrder)
{
    EXPECT_EQ(0, store.LoadTree(&menu));

    ExpectEntry(Entry(L"1"), 1, 1, 1, L"\\My Documents", 0);
    ExpectEntry(Entry(L"4"), 3, 1, 4, nullptr, 1);
    ExpectEntry(Entry(L"2"), 1, 1, 2, L"Configuration", 2);
    ExpectEntry(Entry(L"3"), 1, 1, 3, L"Exit", 3);
    EXPECT_EQ(4u, storetest::SubkeyNames(RootPath()).size());
    EXPECT_EQ(0u, storetest::CountValues(RootPath()));
    EXPECT_FALSE(storetest::KeyExists(storetest::KeyPath(store::kStagingName)));
    EXPECT_FALSE(storetest::KeyExists(storetest::KeyPath(store::kRetiredName)));

    EXPECT_EQ(L"D1:\\My Documents -4 D2:Configuration D3:Exit", Describe(menu.Root));
    const HMENU root = menu.GetRootMenu();
    ASSERT_EQ(4, GetMenuItemCount(root));
    EXPECT_TRUE(GetMenuState(root, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_FALSE(GetMenuState(root, 0, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ((std::vector<int>{1, 0, 2, 3}), testtree::MenuIds(root));
}

TEST_F(StoreTest, SaveWritesOneKeyPerEntryWithItsValuesAndPosFromTheIndex)
{
    menu.AppendDocumentWithID(L"C:\\notes\\plan.txt", 5, 0);
    menu.AppendSection(L"Work", 0);   // 6
    menu.AppendDocumentWithID(L"C:\\work\\sheet.xls", 7, 6);
    menu.AppendSeparatorWithID(4, 0);
    menu.AppendDocumentWithID(L"Exit", 3, 0);
    ASSERT_EQ(L"D5:C:\\notes\\plan.txt S6:Work[D7:C:\\work\\sheet.xls] -4 D3:Exit", Describe(menu.Root));

    EXPECT_EQ(0, store.SaveTree(&menu));

    ExpectEntry(Entry(L"5"), 1, 0, 5, L"C:\\notes\\plan.txt", 0);
    ExpectEntry(Entry(L"6"), 2, 0, 6, L"Work", 1);
    ExpectEntry(Entry(L"6\\7"), 1, 0, 7, L"C:\\work\\sheet.xls", 0);
    ExpectEntry(Entry(L"4"), 3, 1, 4, nullptr, 2);
    ExpectEntry(Entry(L"3"), 1, 1, 3, L"Exit", 3);
    EXPECT_EQ(4u, storetest::SubkeyNames(RootPath()).size());
    EXPECT_EQ(1u, storetest::SubkeyNames(Entry(L"6")).size());
    EXPECT_EQ(0u, storetest::CountValues(RootPath()));
    // "Exit" is four characters and the NUL.
    EXPECT_EQ(10u, ReadValue(Entry(L"3"), L"Name").data.size());
    EXPECT_FALSE(storetest::KeyExists(storetest::KeyPath(store::kStagingName)));
    EXPECT_FALSE(storetest::KeyExists(storetest::KeyPath(store::kRetiredName)));

    // The next save replaces the whole stored tree.
    menu.RemoveEntry(6);
    ASSERT_EQ(0, store.SaveTree(&menu));
    EXPECT_EQ(3u, storetest::SubkeyNames(RootPath()).size());
    EXPECT_FALSE(storetest::KeyExists(Entry(L"6")));
    ExpectEntry(Entry(L"4"), 3, 1, 4, nullptr, 1);
}

TEST_F(StoreTest, LoadAfterSaveRebuildsEveryLevelAndNumbersOrdinaryEntriesDepthFirst)
{
    testtree::BuildDefaults(menu);
    // Ordinary entries with scattered ids, as a session of edits leaves them.
    menu.AppendDocumentWithID(L"C:\\x\\first.doc", 40, 0);
    const int office = menu.AppendSection(L"Office", 0);
    menu.AppendDocumentWithID(L"C:\\x\\letter.doc", 23, office);
    menu.AppendSeparatorWithID(31, office);
    const int inner = menu.AppendSection(L"Inner", office);
    menu.AppendDocumentWithID(L"C:\\x\\deep.txt", 77, inner);
    menu.AppendDocumentWithID(L"C:\\x\\after.doc", 12, office);
    menu.AppendSection(L"Empty", 0);
    menu.AppendSeparator(0);
    menu.MoveEntry(ID_EXIT_ENTRY, static_cast<int>(menu.Root.Items.size()) - 1);
    menu.MoveEntry(ID_CONFIGURATION_ENTRY, 0);
    ASSERT_EQ(0, store.SaveTree(&menu));

    CTodayMenu loaded;
    store.LoadTree(&loaded);

    EXPECT_EQ(Describe(menu.Root, false), Describe(loaded.Root, false));
    EXPECT_EQ(L"D2:Configuration D1:\\My Documents -4 D5:C:\\x\\first.doc "
              L"S6:Office[D7:C:\\x\\letter.doc -8 S9:Inner[D10:C:\\x\\deep.txt] D11:C:\\x\\after.doc] "
              L"S12:Empty[] -13 D3:Exit",
              Describe(loaded.Root));
    // The platform menus follow the tree: the sub-menus are where the sections are.
    EXPECT_EQ((std::vector<int>{2, 1, 0, 5, -1, -1, 0, 3}), testtree::MenuIds(loaded.GetRootMenu()));
    const HMENU officeMenu = GetSubMenu(loaded.GetRootMenu(), 4);
    EXPECT_EQ(loaded.Root.Items[4]->Children->Menu, officeMenu);
    EXPECT_EQ((std::vector<int>{7, 0, -1, 11}), testtree::MenuIds(officeMenu));
}

TEST_F(StoreTest, PosOrdersEntriesUnsignedWithGapsAndAnyStart)
{
    storetest::Key root(RootPath(), true);
    PutEntry(RootPath(), L"9", 1, 0, 9, L"C:\\last.txt", 4294967295u);
    PutEntry(RootPath(), L"5", 1, 0, 5, L"C:\\seven.txt", 7);
    PutEntry(RootPath(), L"6", 3, 0, 6, nullptr, 3);
    PutEntry(RootPath(), L"7", 1, 0, 7, L"C:\\zero.txt", 0);
    PutEntry(RootPath(), L"2", 1, 1, 2, L"Configuration", 8);
    PutEntry(RootPath(), L"3", 1, 1, 3, L"Exit", 10);

    store.LoadTree(&menu);

    EXPECT_EQ(L"D5:C:\\zero.txt -6 D7:C:\\seven.txt D2:Configuration D3:Exit D8:C:\\last.txt", Describe(menu.Root));
}

TEST_F(StoreTest, SectionWithoutChildrenLoadsAsAnEmptySection)
{
    storetest::Key root(RootPath(), true);
    PutEntry(RootPath(), L"8", 2, 0, 8, L"Nothing yet", 0);
    PutEntry(RootPath(), L"2", 1, 1, 2, L"Configuration", 1);
    PutEntry(RootPath(), L"3", 1, 1, 3, L"Exit", 2);

    store.LoadTree(&menu);

    ASSERT_EQ(L"S5:Nothing yet[] D2:Configuration D3:Exit", Describe(menu.Root));
    const HMENU sub = GetSubMenu(menu.GetRootMenu(), 0);
    ASSERT_NE(nullptr, sub);
    EXPECT_EQ(0, GetMenuItemCount(sub));
}

TEST_F(StoreTest, BuiltInFlaggedDocumentKeepsItsIdOnceAndIsStoredBackAsOrdinarySectionsLikeAnyOther)
{
    storetest::Key root(RootPath(), true);
    PutEntry(RootPath(), L"7", 1, 1, 7, L"C:\\pinned.txt", 0);
    PutEntry(RootPath(), L"40", 2, 1, 40, L"Flagged", 1);
    PutEntry(RootPath() + L"\\40", L"41", 1, 0, 41, L"C:\\in.txt", 0);
    PutEntry(RootPath(), L"2", 1, 1, 2, L"Configuration", 2);
    PutEntry(RootPath(), L"3", 1, 1, 3, L"Exit", 3);

    store.LoadTree(&menu);
    ASSERT_EQ(L"D7:C:\\pinned.txt S5:Flagged[D6:C:\\in.txt] D2:Configuration D3:Exit", Describe(menu.Root));
    ASSERT_EQ(0, store.SaveTree(&menu));
    ExpectEntry(Entry(L"7"), 1, 0, 7, L"C:\\pinned.txt", 0);
    ExpectEntry(Entry(L"5"), 2, 0, 5, L"Flagged", 1);

    CTodayMenu again;
    store.LoadTree(&again);
    EXPECT_EQ(L"D5:C:\\pinned.txt S6:Flagged[D7:C:\\in.txt] D2:Configuration D3:Exit", Describe(again.Root));
}

TEST_F(StoreTest, IdsAboveThreeDigitsAreStoredUnderTheirFullDecimalName)
{
    testtree::BuildDefaults(menu);
    menu.AppendDocumentWithID(L"C:\\big.txt", 123456, 0);
    const int section = menu.AppendSection(L"S", 0);
    menu.AppendSeparatorWithID(1000, section);
    ASSERT_EQ(0, store.SaveTree(&menu));

    ExpectEntry(Entry(L"123456"), 1, 0, 123456, L"C:\\big.txt", 4);
    ExpectEntry(Entry(std::to_wstring(section) + L"\\1000"), 3, 0, 1000, nullptr, 0);

    CTodayMenu loaded;
    store.LoadTree(&loaded);
    EXPECT_EQ(L"D1:\\My Documents -4 D2:Configuration D3:Exit D5:C:\\big.txt S6:S[-7]", Describe(loaded.Root));
}

}  // namespace
