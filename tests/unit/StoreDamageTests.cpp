// Stores damaged by hand or by other programs: the load takes what makes sense, skips the rest, never
// crashes, keeps every id unique and always shows "Configuration" and "Exit".
#include <gtest/gtest.h>

#include <set>

#include "store/RegHelper.h"
#include "tests/unit/StoreTesting.h"

using storetest::Describe;
using storetest::PutEntry;
using storetest::RootPath;

namespace {

class StoreDamageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        storetest::ClearStore();
        root_ = std::make_unique<storetest::Key>(RootPath(), true);
    }
    void TearDown() override
    {
        root_.reset();
        storetest::ClearStore();
    }

    HKEY Root() const { return root_->get(); }
    storetest::Key Entry(const std::wstring& name) const { return storetest::Key(RootPath() + L"\\" + name, true); }

    void StoreCommands(DWORD firstPos)
    {
        PutEntry(RootPath(), L"2", 1, 1, 2, L"Configuration", firstPos);
        PutEntry(RootPath(), L"3", 1, 1, 3, L"Exit", firstPos + 1);
    }

    std::wstring Load()
    {
        store.LoadTree(&menu);
        return Describe(menu.Root);
    }

    // Every id once in the tree, in the menus as in the tree, and both commands reachable as documents.
    void ExpectSoundTree(const CItemVector& list, std::set<int>* seen) const
    {
        ASSERT_EQ(static_cast<int>(list.Items.size()), GetMenuItemCount(list.Menu));
        for (size_t i = 0; i < list.Items.size(); ++i) {
            const CItem* item = list.Items[i];
            EXPECT_TRUE(seen->insert(item->ID).second) << "id " << item->ID << " twice";
            EXPECT_GT(item->ID, 0);
            if (item->Type == ITEM_DOCUMENT) {
                EXPECT_EQ(static_cast<UINT>(item->ID), GetMenuItemID(list.Menu, static_cast<int>(i)));
            }
            if (item->IsSection())
                ExpectSoundTree(*item->Children, seen);
        }
    }
    void ExpectSoundTree() const
    {
        std::set<int> seen;
        ExpectSoundTree(menu.Root, &seen);
        for (const int command : {ID_CONFIGURATION_ENTRY, ID_EXIT_ENTRY}) {
            const CItem* item = menu.Root.FindItem(command);
            ASSERT_NE(nullptr, item) << command;
            EXPECT_EQ(ITEM_DOCUMENT, item->Type) << command;
        }
    }

    CRegHelper store;
    CTodayMenu menu;
    std::unique_ptr<storetest::Key> root_;
};

TEST_F(StoreDamageTest, ValuesOfTheWrongTypeOrSizeAreNotTakenForNumbers)
{
    StoreCommands(10);
    {
        // "Type" as text: no kind, the record is skipped.
        storetest::Key key = Entry(L"5");
        storetest::SetText(key.get(), L"Type", L"1");
        storetest::SetDword(key.get(), L"ID", 5);
        storetest::SetText(key.get(), L"Name", L"C:\\typed-as-text.txt");
        storetest::SetDword(key.get(), L"Pos", 0);
    }
    {
        // A 2-byte "Pos": the record follows the ones with a usable Pos.
        PutEntry(RootPath(), L"6", 1, 0, 6, L"C:\\short-pos.txt", 0);
        const WORD two = 1;
        RegSetValueExW(Entry(L"6").get(), L"Pos", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&two), 2);
    }
    {
        // A 2-byte "ID" on a built-in-flagged entry: the id comes from the key name.
        PutEntry(RootPath(), L"9", 1, 1, 9, L"C:\\key-name-id.txt", 1);
        const WORD two = 44;
        RegSetValueExW(Entry(L"9").get(), L"ID", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&two), 2);
    }
    {
        // "IsSpec" as a QWORD: an ordinary entry.
        PutEntry(RootPath(), L"8", 3, 1, 8, nullptr, 2);
        const unsigned long long one = 1;
        RegSetValueExW(Entry(L"8").get(), L"IsSpec", 0, REG_QWORD, reinterpret_cast<const BYTE*>(&one), 8);
    }

    EXPECT_EQ(L"D9:C:\\key-name-id.txt -5 D2:Configuration D3:Exit D6:C:\\short-pos.txt", Load());
    ExpectSoundTree();
}

TEST_F(StoreDamageTest, NamesOfAnyShapeAreReadWithinTheirBytes)
{
    StoreCommands(10);
    const wchar_t noNul[] = {L'C', L':', L'\\', L'n'};
    const BYTE odd[] = {'C', 0, ':', 0, '\\', 0, 'o', 0, 'x'};
    const std::wstring huge = L"C:\\" + std::wstring(100000, L'h');
    PutEntry(RootPath(), L"5", 1, 0, 5, nullptr, 0);
    RegSetValueExW(Entry(L"5").get(), L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(noNul), sizeof(noNul));
    PutEntry(RootPath(), L"6", 1, 0, 6, nullptr, 1);
    RegSetValueExW(Entry(L"6").get(), L"Name", 0, REG_SZ, odd, sizeof(odd));
    PutEntry(RootPath(), L"7", 1, 0, 7, nullptr, 2);
    RegSetValueExW(Entry(L"7").get(), L"Name", 0, REG_BINARY, reinterpret_cast<const BYTE*>(L"C:\\bin"), 14);
    PutEntry(RootPath(), L"8", 2, 0, 8, huge.c_str(), 3);
    PutEntry(RootPath(), L"9", 1, 0, 9, huge.c_str(), 4);
    PutEntry(RootPath(), L"10", 1, 0, 10, nullptr, 5);   // no "Name" at all

    store.LoadTree(&menu);

    ASSERT_EQ(8u, menu.Root.Items.size());
    EXPECT_EQ(L"C:\\n", menu.Root.Items[0]->Path);
    EXPECT_EQ(L"C:\\o", menu.Root.Items[1]->Path);
    EXPECT_EQ(L"", menu.Root.Items[2]->Path);
    EXPECT_EQ(huge, menu.Root.Items[3]->Caption);
    EXPECT_EQ(huge, menu.Root.Items[4]->Path);
    EXPECT_EQ(L"", menu.Root.Items[5]->Path);
    ExpectSoundTree();
}

TEST_F(StoreDamageTest, RecordsWithoutAKindAreSkippedAndOtherMissingValuesTakeDefaults)
{
    StoreCommands(10);
    {
        storetest::Key noType = Entry(L"5");   // a section without "Type": skipped with its children
        storetest::SetDword(noType.get(), L"ID", 5);
        storetest::SetText(noType.get(), L"Name", L"Lost");
        storetest::SetDword(noType.get(), L"Pos", 0);
    }
    PutEntry(RootPath() + L"\\5", L"6", 1, 0, 6, L"C:\\under-lost.txt", 0);
    PutEntry(RootPath(), L"7", 9, 0, 7, L"C:\\kind-nine.txt", 1);   // no such kind
    {
        storetest::Key bare = Entry(L"11");   // only a kind: an ordinary document without a path, last
        storetest::SetDword(bare.get(), L"Type", 1);
    }
    {
        storetest::Key noIsSpec = Entry(L"12");
        storetest::SetDword(noIsSpec.get(), L"Type", 3);
        storetest::SetDword(noIsSpec.get(), L"ID", 12);
        storetest::SetDword(noIsSpec.get(), L"Pos", 2);
    }
    storetest::Key emptyKey = Entry(L"13");   // no values: not an entry

    EXPECT_EQ(L"-5 D2:Configuration D3:Exit D6:", Load());
    ExpectSoundTree();
}

TEST_F(StoreDamageTest, KeyNamesThatAreNotIdsStillLoadTheirEntryAndItsChildren)
{
    StoreCommands(10);
    PutEntry(RootPath(), L"not a number", 2, 0, 77, L"Odd key", 0);
    PutEntry(RootPath() + L"\\not a number", L"x", 1, 0, 5, L"C:\\inside.txt", 0);
    // A section whose "ID" names another key: its children are its own subkeys.
    PutEntry(RootPath(), L"20", 2, 0, 21, L"Mismatched", 1);
    PutEntry(RootPath() + L"\\20", L"22", 3, 0, 22, nullptr, 0);
    PutEntry(RootPath(), L"21", 1, 0, 21, L"C:\\other.txt", 2);
    PutEntry(RootPath(), L"00007", 1, 1, 0, L"C:\\padded.txt", 3);   // no usable id: a fresh one

    EXPECT_EQ(L"S5:Odd key[D6:C:\\inside.txt] S7:Mismatched[-8] D9:C:\\other.txt D10:C:\\padded.txt "
              L"D2:Configuration D3:Exit",
              Load());
    ExpectSoundTree();
}

TEST_F(StoreDamageTest, BuiltInFlaggedIdsThatAreTakenOrUnusableGetFreshIds)
{
    PutEntry(RootPath(), L"7", 1, 1, 7, L"C:\\first-seven.txt", 0);
    PutEntry(RootPath(), L"8", 1, 1, 7, L"C:\\second-seven.txt", 1);
    PutEntry(RootPath(), L"9", 3, 1, 0, nullptr, 2);
    PutEntry(RootPath(), L"10", 1, 1, 0xFFFFFFFF, L"C:\\minus-one.txt", 3);
    PutEntry(RootPath(), L"11", 1, 1, 70000, L"C:\\beyond-commands.txt", 4);
    PutEntry(RootPath(), L"12", 3, 1, 2, nullptr, 5);   // a separator cannot be "Configuration"
    PutEntry(RootPath(), L"13", 1, 1, 3, L"Exit", 6);
    PutEntry(RootPath(), L"14", 1, 1, 3, L"Exit", 7);

    EXPECT_EQ(L"D7:C:\\first-seven.txt D5:C:\\second-seven.txt -6 D8:C:\\minus-one.txt "
              L"D9:C:\\beyond-commands.txt -10 D3:Exit D11:Exit D2:Configuration",
              Load());
    ExpectSoundTree();
}

TEST_F(StoreDamageTest, EntriesWithEqualPosAreAllLoadedAndSavedAgain)
{
    StoreCommands(10);
    PutEntry(RootPath(), L"5", 1, 0, 5, L"C:\\b.txt", 1);
    PutEntry(RootPath(), L"6", 1, 0, 6, L"C:\\c.txt", 1);
    PutEntry(RootPath(), L"7", 1, 0, 7, L"C:\\a.txt", 0);
    PutEntry(RootPath(), L"8", 1, 0, 8, L"C:\\d.txt", 1);

    // Wine enumerates subkeys by name: 5, 6, 8 share Pos 1 and follow 7 in that order.
    EXPECT_EQ(L"D5:C:\\a.txt D6:C:\\b.txt D7:C:\\c.txt D8:C:\\d.txt D2:Configuration D3:Exit", Load());

    root_.reset();
    ASSERT_EQ(0, store.SaveTree(&menu));
    CTodayMenu again;
    store.LoadTree(&again);
    EXPECT_EQ(Describe(menu.Root), Describe(again.Root));
}

TEST_F(StoreDamageTest, AnEmptiedStoreStillOffersConfigurationAndExit)
{
    EXPECT_EQ(L"D2:Configuration D3:Exit", Load());
    ExpectSoundTree();
    // Nothing was written: the defaults are only for a store that does not exist.
    EXPECT_TRUE(storetest::SubkeyNames(RootPath()).empty());
}

TEST_F(StoreDamageTest, MissingCommandsAreAppendedAtTheEndOfTheTopLevel)
{
    PutEntry(RootPath(), L"1", 1, 1, 1, L"\\My Documents", 0);
    PutEntry(RootPath(), L"3", 1, 1, 3, L"Exit", 1);
    PutEntry(RootPath(), L"5", 2, 0, 5, L"Tools", 2);
    // "Configuration" kept inside a section is still reachable there: not added twice.
    PutEntry(RootPath() + L"\\5", L"2", 1, 1, 2, L"Configuration", 0);

    EXPECT_EQ(L"D1:\\My Documents D3:Exit S5:Tools[D2:Configuration]", Load());
    ExpectSoundTree();

    CTodayMenu withoutExit;
    RegDeleteTreeW(Root(), L"3");
    store.LoadTree(&withoutExit);
    EXPECT_EQ(L"D1:\\My Documents S5:Tools[D2:Configuration] D3:Exit", Describe(withoutExit.Root));
    // The command entry is the built-in one, with its 12x12 icon picture.
    const CItem* exit = withoutExit.Root.FindItem(ID_EXIT_ENTRY);
    ASSERT_NE(nullptr, exit);
    EXPECT_EQ(L"Exit", exit->Path);
    EXPECT_NE(nullptr, exit->Image);
}

TEST_F(StoreDamageTest, ALevelOfTenThousandEntriesLoadsWhole)
{
    StoreCommands(20000);
    // Only a kind and a place (and a path for the documents): ordinary entries all the same.
    for (DWORD i = 0; i < 10000; ++i) {
        storetest::Key key = Entry(std::to_wstring(100 + i));
        storetest::SetDword(key.get(), L"Type", i % 100 == 0 ? 1 : 3);
        if (i % 100 == 0)
            storetest::SetText(key.get(), L"Name", L"C:\\many.txt");
        storetest::SetDword(key.get(), L"Pos", i);
    }

    store.LoadTree(&menu);

    ASSERT_EQ(10002u, menu.Root.Items.size());
    EXPECT_EQ(ITEM_DOCUMENT, menu.Root.Items[0]->Type);
    EXPECT_EQ(ITEM_SEPARATOR, menu.Root.Items[1]->Type);
    EXPECT_EQ(10004, menu.Root.Items[9999]->ID);   // fresh ids 5.. in Pos order
    ExpectSoundTree();
}

TEST_F(StoreDamageTest, SectionsNestedAHundredDeepLoadEveryLevel)
{
    StoreCommands(1);
    std::wstring level = RootPath();
    for (int depth = 0; depth < 100; ++depth) {
        PutEntry(level, std::to_wstring(100 + depth), 2, 0, 100 + depth, L"Level", 0);
        level += L"\\" + std::to_wstring(100 + depth);
    }
    PutEntry(level, L"7", 1, 0, 7, L"C:\\bottom.txt", 0);

    store.LoadTree(&menu);

    const CItemVector* list = &menu.Root;
    for (int depth = 0; depth < 100; ++depth) {
        ASSERT_FALSE(list->Items.empty()) << depth;
        ASSERT_TRUE(list->Items[0]->IsSection()) << depth;
        list = list->Items[0]->Children;
    }
    ASSERT_EQ(1u, list->Items.size());
    EXPECT_EQ(L"C:\\bottom.txt", list->Items[0]->Path);
    ExpectSoundTree();
}

TEST_F(StoreDamageTest, SectionsDeeperThanTheLoadGoesAreLoadedEmptyAndTheTreeCanBeStoredAgain)
{
    StoreCommands(1);
    {
        // 300 nested sections, each key opened below the one before (no long paths).
        HKEY level = Root();
        std::vector<std::unique_ptr<storetest::Key>> chain;
        for (int depth = 0; depth < 300; ++depth) {
            HKEY key = nullptr;
            ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(level, L"5", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
            storetest::SetDword(key, L"Type", 2);
            storetest::SetDword(key, L"IsSpec", 0);
            storetest::SetDword(key, L"ID", 5);
            storetest::SetText(key, L"Name", L"Down");
            storetest::SetDword(key, L"Pos", 0);
            if (level != Root())
                RegCloseKey(level);
            level = key;
        }
        RegCloseKey(level);
    }

    store.LoadTree(&menu);

    int depth = 0;
    for (const CItemVector* list = &menu.Root; !list->Items.empty() && list->Items[0]->IsSection();
         list = list->Items[0]->Children)
        ++depth;
    EXPECT_EQ(256, depth);
    ExpectSoundTree();

    root_.reset();
    EXPECT_EQ(0, store.SaveTree(&menu));
    CTodayMenu again;
    store.LoadTree(&again);
    EXPECT_EQ(Describe(menu.Root), Describe(again.Root));
}

}  // namespace
