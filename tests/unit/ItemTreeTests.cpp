// The entry tree: captions, ids, searches, moves and ownership.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestTree.h"
#include "menu/IdPool.h"
#include "menu/Item.h"

namespace {

using testtree::Ids;

TEST(ItemCaption, IsTheFileNameWithoutFoldersOrLastExtension)
{
    EXPECT_EQ(CaptionFromPath(L"\\Windows\\calc.exe"), L"calc");
    EXPECT_EQ(CaptionFromPath(L"\\My Documents"), L"My Documents");
    EXPECT_EQ(CaptionFromPath(L"Configuration"), L"Configuration");
    EXPECT_EQ(CaptionFromPath(L"\\Archive\\old.report.txt"), L"old.report");
    EXPECT_EQ(CaptionFromPath(L"\\Data.2006\\notes"), L"notes");
    EXPECT_EQ(CaptionFromPath(L"\\Folder\\"), L"");
    EXPECT_EQ(CaptionFromPath(L"\\home\\.profile"), L"");
    EXPECT_EQ(CaptionFromPath(L"a/b/c.txt"), L"a/b/c");   // "/" is an ordinary character
}

TEST(ItemRecord, DocumentKeepsItsPathAndSectionOwnsAList)
{
    CItemVector root;
    CItem* doc = root.AddItem(L"\\Windows\\calc.exe", ITEM_DOCUMENT, 5);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Caption, L"calc");
    EXPECT_EQ(doc->Path, L"\\Windows\\calc.exe");
    EXPECT_EQ(doc->Parent, &root);
    EXPECT_EQ(doc->Children, nullptr);

    CItem* section = root.AddItem(L"Tools.old", ITEM_SECTION, 6);
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->Caption, L"Tools.old");   // a section's title is kept as typed
    EXPECT_TRUE(section->Path.empty());
    ASSERT_NE(section->Children, nullptr);
    EXPECT_TRUE(IsMenu(section->Children->Menu));
    EXPECT_EQ(section->Image, nullptr);

    CItem* separator = root.AddSeparator(7);
    EXPECT_EQ(separator->Type, ITEM_SEPARATOR);
    EXPECT_TRUE(separator->Caption.empty());
    EXPECT_EQ(Ids(root), (std::vector<int>{5, 6, 7}));
}

TEST(NewID, IsTheSmallestFreeIdFromFiveAndReusesRemovedIds)
{
    CItemVector root;
    root.AddItem(L"\\My Documents", ITEM_DOCUMENT, 1);
    root.AddSeparator(4);
    root.AddItem(L"Configuration", ITEM_DOCUMENT, 2);
    root.AddItem(L"Exit", ITEM_DOCUMENT, 3);
    EXPECT_EQ(root.NewID(), 5);

    root.AddItem(L"a", ITEM_DOCUMENT, 5);
    root.AddItem(L"S", ITEM_SECTION, 6);
    root.AddItemToSection(L"b", ITEM_DOCUMENT, 7, 6);
    EXPECT_EQ(root.NewID(), 8);
    root.RemoveItem(6);   // the section and its document 7
    EXPECT_EQ(root.NewID(), 6);
    root.AddItem(L"c", ITEM_DOCUMENT, 6);
    EXPECT_EQ(root.NewID(), 7);
    root.Clear();
    EXPECT_EQ(root.NewID(), 5);
}

TEST(IdPool, TracksDuplicatesAndFarIds)
{
    CIdPool pool;
    pool.Use(5);
    pool.Use(5);   // an id handed in twice by a caller
    pool.Use(1000000);
    pool.Use(6);
    EXPECT_EQ(pool.Smallest(), 7);
    pool.Release(5);
    EXPECT_EQ(pool.Smallest(), 7);   // still held once
    pool.Release(5);
    EXPECT_EQ(pool.Smallest(), 5);
    pool.Use(5);
    pool.Use(7);
    pool.Release(6);
    EXPECT_EQ(pool.Smallest(), 6);
    pool.Release(1000000);
    pool.Release(42);   // never used: no effect
    pool.Use(6);
    EXPECT_EQ(pool.Smallest(), 8);
    pool.Use(-3);
    pool.Use(0);
    EXPECT_EQ(pool.Smallest(), 8);
}

TEST(FindItem, FindsSectionsThemselvesAndEntriesAtAnyDepth)
{
    CItemVector root;
    root.AddItem(L"S", ITEM_SECTION, 5);
    root.AddItemToSection(L"T", ITEM_SECTION, 6, 5);
    root.AddItemToSection(L"\\deep\\file.txt", ITEM_DOCUMENT, 7, 6);
    root.AddItem(L"after", ITEM_DOCUMENT, 8);

    CItem* s = root.FindItem(5);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Type, ITEM_SECTION);
    ASSERT_NE(root.FindItem(7), nullptr);
    EXPECT_EQ(root.FindItem(7)->Caption, L"file");
    EXPECT_EQ(root.FindItem(99), nullptr);

    EXPECT_EQ(root.IndexOf(8), 1);
    EXPECT_EQ(root.IndexOf(7), -1);   // IndexOf does not enter sections

    const CItem* t = root.FindItem(6);
    EXPECT_EQ(root.FindSectionPos(t->Children->Menu), 0);   // index within its own list
    EXPECT_EQ(root.FindSectionPos(s->Children->Menu), 0);
    EXPECT_EQ(root.FindSectionPos(root.Menu), -1);

    // Adding to a non-section or an unknown id adds nothing.
    EXPECT_EQ(root.AddItemToSection(L"x", ITEM_DOCUMENT, 9, 8), nullptr);
    EXPECT_EQ(root.AddSeparatorToSection(9, 123), nullptr);
    EXPECT_EQ(root.NewID(), 9);
}

TEST(MoveAndSwap, ReorderOneListOnly)
{
    CItemVector root;
    for (int id = 5; id <= 7; ++id)
        root.AddItem(L"d" + std::to_wstring(id), ITEM_DOCUMENT, id);
    root.MoveItem(5, 2);
    EXPECT_EQ(Ids(root), (std::vector<int>{6, 7, 5}));
    root.MoveItem(5, 1);   // one place up
    EXPECT_EQ(Ids(root), (std::vector<int>{6, 5, 7}));

    root.SwapItems(6, 7);
    EXPECT_EQ(Ids(root), (std::vector<int>{7, 5, 6}));
    root.SwapItems(42, 7);   // unknown id: nothing happens
    EXPECT_EQ(Ids(root), (std::vector<int>{7, 5, 6}));

    root.AddItem(L"S", ITEM_SECTION, 8);
    root.AddItemToSection(L"x", ITEM_DOCUMENT, 9, 8);
    root.AddItemToSection(L"y", ITEM_DOCUMENT, 10, 8);
    root.MoveItem(10, 0);   // found in its section and moved there
    EXPECT_EQ(Ids(*root.FindItem(8)->Children), (std::vector<int>{10, 9}));
    EXPECT_EQ(Ids(root), (std::vector<int>{7, 5, 6, 8}));
}

TEST(RemoveItem, DeletesTheWholeSubtree)
{
    CItemVector root;
    root.AddItem(L"S", ITEM_SECTION, 5);
    root.AddItemToSection(L"T", ITEM_SECTION, 6, 5);
    root.AddItemToSection(L"a", ITEM_DOCUMENT, 7, 6);
    root.AddSeparatorToSection(8, 5);
    root.AddItem(L"b", ITEM_DOCUMENT, 9);
    HMENU inner = root.FindItem(6)->Children->Menu;

    root.RemoveItem(5);
    EXPECT_EQ(Ids(root), (std::vector<int>{9}));
    for (int id : {5, 6, 7, 8})
        EXPECT_EQ(root.FindItem(id), nullptr) << id;
    EXPECT_FALSE(IsMenu(inner));   // the section's lists destroyed their menus
    root.RemoveItem(5);            // already gone: nothing happens
    EXPECT_EQ(Ids(root), (std::vector<int>{9}));
}

}  // namespace
