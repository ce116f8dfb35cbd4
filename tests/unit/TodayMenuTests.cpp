// The popup menu: every change to the tree shows in the platform menus with the right flags and data.
#include <gtest/gtest.h>

#include <vector>

#include "TestTree.h"
#include "menu/TodayMenu.h"

using testtree::Ids;
using testtree::IsGrayed;
using testtree::MenuIds;

namespace {


// The item's type flags and its item data, read back from the platform menu.
MENUITEMINFOW InfoOf(HMENU menu, int pos)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    EXPECT_TRUE(GetMenuItemInfoW(menu, pos, TRUE, &info));
    return info;
}
ULONG_PTR ItemDataOf(HMENU menu, int pos) { return InfoOf(menu, pos).dwItemData; }
UINT TypeOf(HMENU menu, int pos) { return InfoOf(menu, pos).fType; }

TEST(PopupMenu, DefaultTreeShowsOwnerDrawnDocumentsCarryingTheirEntries)
{
    CTodayMenu menu;
    testtree::BuildDefaults(menu);
    const HMENU root = menu.GetRootMenu();
    ASSERT_TRUE(IsMenu(root));
    EXPECT_EQ(MenuIds(root), (std::vector<int>{1, 0, 2, 3}));
    EXPECT_EQ(Ids(menu.Root), (std::vector<int>{1, 4, 2, 3}));

    for (int pos : {0, 2, 3}) {
        EXPECT_TRUE(TypeOf(root, pos) & MFT_OWNERDRAW) << pos;
        EXPECT_EQ(ItemDataOf(root, pos), reinterpret_cast<ULONG_PTR>(menu.Root.Items[pos])) << pos;
    }
    EXPECT_TRUE(TypeOf(root, 1) & MFT_SEPARATOR);
    EXPECT_EQ(menu.AppendDocument(L"\\x.txt", 0), 5);   // the next id is the smallest free one
}

TEST(PopupMenu, SectionIsGrayedExactlyWhileItHoldsNoDocument)
{
    CTodayMenu menu;
    testtree::BuildDefaults(menu);
    const int s = menu.AppendSection(L"Work", 0);
    ASSERT_EQ(s, 5);
    const HMENU root = menu.GetRootMenu();
    const HMENU sub = menu.Root.FindItem(s)->Children->Menu;
    EXPECT_EQ(GetSubMenu(root, 4), sub);
    EXPECT_TRUE(IsGrayed(root, 4));

    EXPECT_NE(menu.AppendSeparator(s), -1);
    EXPECT_TRUE(IsGrayed(root, 4)) << "a separator alone gives nothing to choose";
    const int a = menu.AppendDocument(L"\\a.txt", s);
    EXPECT_FALSE(IsGrayed(root, 4)) << "a document after a separator still opens the section";
    const int b = menu.AppendDocument(L"\\b.txt", s);
    EXPECT_FALSE(IsGrayed(root, 4));
    EXPECT_EQ(MenuIds(sub), (std::vector<int>{0, a, b}));

    menu.RemoveEntry(a);
    EXPECT_FALSE(IsGrayed(root, 4));
    menu.RemoveEntry(b);
    menu.RemoveEntry(menu.Root.FindItem(s)->Children->Items[0]->ID);
    EXPECT_TRUE(IsGrayed(root, 4));
    // Nothing else in the top level changed state.
    for (int pos : {0, 2, 3})
        EXPECT_FALSE(IsGrayed(root, pos)) << pos;
}

TEST(PopupMenu, NestedSectionsAreGrayedAndEnabledInTheirOwnParentMenu)
{
    CTodayMenu menu;
    menu.AppendDocument(L"\\first.txt", 0);
    const int outer = menu.AppendSection(L"Outer", 0);
    menu.AppendDocument(L"\\o.txt", outer);
    const int inner = menu.AppendSection(L"Inner", outer);
    const HMENU root = menu.GetRootMenu();
    const HMENU outerMenu = menu.Root.FindItem(outer)->Children->Menu;
    ASSERT_EQ(GetSubMenu(outerMenu, 1), menu.Root.FindItem(inner)->Children->Menu);
    EXPECT_TRUE(IsGrayed(outerMenu, 1));
    EXPECT_FALSE(IsGrayed(outerMenu, 0));

    const int doc = menu.AppendDocument(L"\\deep.txt", inner);
    EXPECT_FALSE(IsGrayed(outerMenu, 1));
    EXPECT_FALSE(IsGrayed(root, 0)) << "the unrelated item at the same index in the root menu is untouched";
    EXPECT_FALSE(IsGrayed(root, 1));

    menu.RemoveEntry(doc);
    EXPECT_TRUE(IsGrayed(outerMenu, 1));
    EXPECT_FALSE(IsGrayed(root, 1)) << "the outer section still holds a document";
    EXPECT_FALSE(IsGrayed(outerMenu, 0));
    EXPECT_FALSE(IsGrayed(root, 0));
}

TEST(PopupMenu, RemovingASectionDestroysItsSubMenusOnce)
{
    auto menu = std::make_unique<CTodayMenu>();
    const int s = menu->AppendSection(L"S", 0);
    const int t = menu->AppendSection(L"T", s);
    menu->AppendDocument(L"\\a.txt", t);
    const int keep = menu->AppendSection(L"Keep", 0);
    const HMENU sMenu = menu->Root.FindItem(s)->Children->Menu;
    const HMENU tMenu = menu->Root.FindItem(t)->Children->Menu;

    menu->RemoveEntry(s);
    EXPECT_FALSE(IsMenu(sMenu));
    EXPECT_FALSE(IsMenu(tMenu));
    EXPECT_EQ(menu->Root.FindItem(t), nullptr);
    EXPECT_EQ(MenuIds(menu->GetRootMenu()), (std::vector<int>{-1}));
    EXPECT_EQ(Ids(menu->Root), (std::vector<int>{keep}));

    // A menu made after the removal may get a recycled handle: destroying the tree must not touch it.
    HMENU fresh = CreatePopupMenu();
    const HMENU keepMenu = menu->Root.FindItem(keep)->Children->Menu;
    const HMENU rootMenu = menu->GetRootMenu();
    menu.reset();
    EXPECT_TRUE(IsMenu(fresh));
    EXPECT_FALSE(IsMenu(keepMenu));
    EXPECT_FALSE(IsMenu(rootMenu));
    DestroyMenu(fresh);
}

TEST(PopupMenu, MoveKeepsMenuAndTreeInStepAndRegraysSections)
{
    CTodayMenu menu;
    testtree::BuildDefaults(menu);
    const int empty = menu.AppendSection(L"Empty", 0);   // index 4
    const int full = menu.AppendSection(L"Full", 0);     // index 5
    const int doc = menu.AppendDocument(L"\\in.txt", full);
    const HMENU root = menu.GetRootMenu();

    menu.MoveEntry(3, 2);   // "Exit" one place up
    EXPECT_EQ(Ids(menu.Root), (std::vector<int>{1, 4, 3, 2, empty, full}));
    EXPECT_EQ(MenuIds(root), (std::vector<int>{1, 0, 3, 2, -1, -1}));
    EXPECT_EQ(ItemDataOf(root, 2), reinterpret_cast<ULONG_PTR>(menu.Root.FindItem(3)));
    EXPECT_TRUE(TypeOf(root, 2) & MFT_OWNERDRAW);

    menu.MoveEntry(empty, 0);
    menu.MoveEntry(full, 1);
    EXPECT_EQ(Ids(menu.Root), (std::vector<int>{empty, full, 1, 4, 3, 2}));
    EXPECT_TRUE(IsGrayed(root, 0));
    EXPECT_FALSE(IsGrayed(root, 1));
    EXPECT_EQ(GetSubMenu(root, 1), menu.Root.FindItem(full)->Children->Menu);
    EXPECT_EQ(MenuIds(GetSubMenu(root, 1)), (std::vector<int>{doc}));
    EXPECT_TRUE(TypeOf(root, 3) & MFT_SEPARATOR);

    // A section's caption survives the re-insertion.
    wchar_t text[32] = {};
    GetMenuStringW(root, 1, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Full");

    menu.MoveEntry(999, 0);   // unknown id: nothing happens
    EXPECT_EQ(GetMenuItemCount(root), 6);
}

TEST(PopupMenu, SwappedDocumentsCarryEachOthersIdAndEntry)
{
    CTodayMenu menu;
    const int a = menu.AppendDocument(L"\\a.txt", 0);
    const int s = menu.AppendSection(L"S", 0);
    const int sep = menu.AppendSeparator(0);
    const int b = menu.AppendDocument(L"\\b.txt", 0);
    CItem* entryA = menu.Root.FindItem(a);
    CItem* entryB = menu.Root.FindItem(b);
    const HMENU root = menu.GetRootMenu();

    menu.SwapDocuments(a, b);
    EXPECT_EQ(Ids(menu.Root), (std::vector<int>{b, s, sep, a}));
    EXPECT_EQ(GetMenuItemID(root, 0), static_cast<UINT>(b));
    EXPECT_EQ(ItemDataOf(root, 0), reinterpret_cast<ULONG_PTR>(entryB));
    EXPECT_EQ(GetMenuItemID(root, 3), static_cast<UINT>(a));
    EXPECT_EQ(ItemDataOf(root, 3), reinterpret_cast<ULONG_PTR>(entryA));
    EXPECT_TRUE(TypeOf(root, 0) & MFT_OWNERDRAW);
    EXPECT_TRUE(TypeOf(root, 3) & MFT_OWNERDRAW);

    menu.SwapDocuments(b, sep);   // a separator is not a document: nothing changes
    menu.SwapDocuments(b, 77);
    EXPECT_EQ(Ids(menu.Root), (std::vector<int>{b, s, sep, a}));
    EXPECT_EQ(MenuIds(root), (std::vector<int>{b, -1, 0, a}));
}

TEST(PopupMenu, AppendsToUnknownOrNonSectionTargetsAddNothing)
{
    CTodayMenu menu;
    const int doc = menu.AppendDocument(L"\\a.txt", 0);
    EXPECT_EQ(menu.AppendDocument(L"\\b.txt", doc), -1);
    EXPECT_EQ(menu.AppendSection(L"S", 42), -1);
    EXPECT_EQ(menu.AppendSeparator(42), -1);
    EXPECT_EQ(menu.AppendSeparatorWithID(4, doc), -1);
    EXPECT_EQ(GetMenuItemCount(menu.GetRootMenu()), 1);
    EXPECT_EQ(menu.Root.NewID(), doc + 1);
    menu.RemoveEntry(doc);
    menu.RemoveEntry(doc);   // the root list empty: nothing to gray, nothing to remove
    EXPECT_EQ(GetMenuItemCount(menu.GetRootMenu()), 0);
}

}  // namespace
