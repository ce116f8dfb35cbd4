// The entry tree and the popup menu that mirrors it: captions, ids, and every change checked against the
// whole platform menu.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <sstream>

#include "MenuTesting.h"

using menutest::Build;
using menutest::CheckMenu;
using menutest::Describe;

namespace {
// While not negative, the number of allocations that may still succeed.
int g_allocationsLeft = -1;
}  // namespace

void* operator new(size_t size)
{
    if (g_allocationsLeft == 0)
        throw std::bad_alloc();
    g_allocationsLeft -= g_allocationsLeft > 0;
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }

namespace {

TEST(Caption, IsTheFileNameWithoutFoldersAndLastExtension)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"\\Windows\\calc.exe", L"calc"}, {L"\\My Documents", L"My Documents"}, {L"Configuration", L"Configuration"},
        {L"\\Archive\\old.report.txt", L"old.report"}, {L"\\Data.2006\\notes", L"notes"}, {L"\\Folder\\", L""},
        {L"\\home\\.profile", L""}, {L"a/b/c.txt", L"a/b/c"}};
    for (const auto& [path, caption] : cases)
        EXPECT_EQ(CaptionFromPath(path), caption) << path;
}

// "+n" uses id n, "-n" releases it, "=n" expects n as the smallest free id.
TEST(IdPool, HandsOutTheSmallestFreeIdFromFiveAndCountsDuplicates)
{
    CIdPool pool;
    std::wistringstream steps(L"=5 +5 +5 +1000000 +6 =7 -5 =7 -5 =5 +5 +7 -6 =6 -1000000 -42 +6 =8 +-3 +0 +2 =8 "
                              L"-7 -6 -5 =5 +5 +6 +7 +8 -6 =6 -7 =6 +6 =7");
    for (std::wstring step; steps >> step;) {
        const int id = std::stoi(step.substr(1));
        if (step[0] == L'+')
            pool.Use(id);
        else if (step[0] == L'-')
            pool.Release(id);
        else
            EXPECT_EQ(pool.Smallest(), id) << step;
    }
}

struct Change {
    const wchar_t* tree;                         // built with Build: ids from 5 in text order
    std::function<void(CTodayMenu&)> change;
    const wchar_t* after;                        // Describe of the result
};

// Each change keeps the tree and the whole menu in step, sections grayed exactly while no document is below.
TEST(PopupMenu, EveryChangeKeepsMenuAndTreeInStep)
{
    const Change changes[] = {
        {L"S:S S:R&D\tDept[D:Tom&Jerry]", nullptr, L"S5:S[] S6:R&D\tDept[D7:Tom&Jerry]"},
        {L"S:S[-]", [](CTodayMenu& m) { m.AppendDocument(L"a", 5); }, L"S5:S[-6 D7:a]"},
        {L"S:S[D:a D:b]", [](CTodayMenu& m) { m.RemoveEntry(6); }, L"S5:S[D7:b]"},
        {L"S:S[- D:a]", [](CTodayMenu& m) { m.RemoveEntry(7); }, L"S5:S[-6]"},
        {L"D:x S:S[S:T[D:a] D:b]", [](CTodayMenu& m) { m.RemoveEntry(9); }, L"D5:x S6:S[S7:T[D8:a]]"},
        {L"D:x S:S[S:T[D:a] D:b]", [](CTodayMenu& m) { m.RemoveEntry(8); }, L"D5:x S6:S[S7:T[] D9:b]"},
        {L"D:x S:S[S:T[D:a]]", [](CTodayMenu& m) { m.RemoveEntry(8); }, L"D5:x S6:S[S7:T[]]"},
        {L"S:S[S:T[S:U]]", [](CTodayMenu& m) { m.AppendDocument(L"a", 7); }, L"S5:S[S6:T[S7:U[D8:a]]]"},
        {L"D:a S:E S:F[D:b] S:G[-] -", [](CTodayMenu& m) { m.MoveEntry(6, 0); m.MoveEntry(7, 4); m.MoveEntry(9, 1); },
         L"S6:E[] S9:G[-10] D5:a -11 S7:F[D8:b]"},
        {L"S:S[D:a - D:b]", [](CTodayMenu& m) { m.MoveEntry(6, 2); }, L"S5:S[-7 D8:b D6:a]"},
        {L"D:a S:S - D:b", [](CTodayMenu& m) { m.SwapDocuments(5, 8); }, L"D8:b S6:S[] -7 D5:a"},
        {L"D:a - D:b", [](CTodayMenu& m) { m.SwapDocuments(5, 6); m.SwapDocuments(5, 9); m.SwapDocuments(4, 5); },
         L"D5:a -6 D7:b"},
        {L"D:a S:S[D:b]", [](CTodayMenu& m) { m.SwapDocuments(5, 7); }, L"D5:a S6:S[D7:b]"},
        {L"D:a", [](CTodayMenu& m) { m.RemoveEntry(9); m.MoveEntry(9, 0); m.RemoveEntry(5); m.RemoveEntry(5); }, L""},
        {L"D:a S:S", [](CTodayMenu& m) {
             EXPECT_EQ(m.AppendDocument(L"b", 5), -1);
             EXPECT_EQ(m.AppendSection(L"T", 42), -1);
             EXPECT_EQ(m.AppendSeparator(42), -1);
             EXPECT_EQ(m.AppendSeparatorWithID(4, 5), -1);
             EXPECT_EQ(m.AppendDocumentWithID(L"Exit", 3, 6), 3);
         }, L"D5:a S6:S[D3:Exit]"},
    };
    for (const Change& c : changes) {
        CTodayMenu menu;
        Build(menu, c.tree);
        CheckMenu(menu.Root);
        if (c.change)
            c.change(menu);
        EXPECT_EQ(Describe(menu.Root), c.after) << c.tree;
        CheckMenu(menu.Root);
    }
}

// Ids of removed entries come back, the lowest first; ids 1 to 4 are never handed out.
TEST(PopupMenu, NewIdsAreTheSmallestFreeOnesFromFive)
{
    CTodayMenu menu;
    menutest::BuildDefaults(menu);
    Build(menu, L"D:a S:S[D:b] D:c");
    menu.RemoveEntry(6);
    EXPECT_EQ(menu.AppendDocument(L"d", 0), 6);
    EXPECT_EQ(menu.AppendSeparator(0), 7);
    EXPECT_EQ(menu.AppendSection(L"T", 0), 9);
    menutest::Reset(menu);
    EXPECT_EQ(menu.AppendDocument(L"e", 0), 5);
}

// Fresh ids stay within the 16 bits of a menu command: with none left, an add appends nothing.
TEST(PopupMenu, FreshIdsStayWithin16Bits)
{
    CTodayMenu menu;
    for (int id = 5; id < 0xFFFF; ++id)
        menu.Root.Ids->Use(id);
    EXPECT_EQ(menu.AppendDocument(L"last", 0), 0xFFFF);
    EXPECT_EQ(std::vector<int>({menu.AppendDocument(L"a", 0), menu.AppendSection(L"S", 0), menu.AppendSeparator(0)}),
              std::vector<int>(3, -1));
    EXPECT_EQ(Describe(menu.Root), L"D65535:last");
    CheckMenu(menu.Root);
}

// A removed section's menus are destroyed with it, once: a handle made afterwards is never touched.
TEST(PopupMenu, RemovedSectionsDestroyTheirMenusExactlyOnce)
{
    auto menu = std::make_unique<CTodayMenu>();
    Build(*menu, L"S:S[S:T[D:a]] S:K");
    const HMENU gone[] = {menu->Root.Items[0]->Children->Menu, GetSubMenu(menu->Root.Items[0]->Children->Menu, 0)};
    menu->RemoveEntry(5);
    const HMENU fresh = CreatePopupMenu(), kept[] = {menu->Root.Items[0]->Children->Menu, menu->GetRootMenu()};
    for (HMENU handle : gone)
        EXPECT_FALSE(IsMenu(handle));
    menu.reset();
    EXPECT_TRUE(IsMenu(fresh));
    for (HMENU handle : kept)
        EXPECT_FALSE(IsMenu(handle));
    DestroyMenu(fresh);
}

// An add that runs out of memory at any allocation appends nothing: tree, menus and id pool stay as they were.
TEST(PopupMenu, AnAddWithoutMemoryAppendsNothing)
{
    CTodayMenu menu;
    Build(menu, L"S:S[D:a]");
    const std::wstring path = L"C:\\b.txt", title = L"T", exit = L"Exit";
    const std::function<int()> adds[] = {[&] { return menu.AppendDocument(path, 5); },
                                         [&] { return menu.AppendSection(title, 0); },
                                         [&] { return menu.AppendSeparator(5); },
                                         [&] { return menu.AppendDocumentWithID(exit, 3, 0); }};
    for (const auto& add : adds) {
        for (int allowed = 0;; ++allowed) {
            const size_t sizes[] = {menu.Root.Items.size(), menu.Root.Items[0]->Children->Items.size()};
            const std::wstring before = Describe(menu.Root);
            const int next = menu.Root.NewID();
            g_allocationsLeft = allowed;
            const int id = add();
            g_allocationsLeft = -1;
            if (id != -1)
                break;
            ASSERT_EQ(menu.Root.Items.size(), sizes[0]) << allowed;
            ASSERT_EQ(menu.Root.Items[0]->Children->Items.size(), sizes[1]) << allowed;
            EXPECT_EQ(Describe(menu.Root), before) << allowed;
            EXPECT_EQ(menu.Root.NewID(), next) << allowed;
        }
        CheckMenu(menu.Root);
    }
    EXPECT_EQ(Describe(menu.Root), L"S5:S[D6:a D7:C:\\b.txt -9] S8:T[] D3:Exit");
    menutest::Reset(menu);
    EXPECT_EQ(menu.Root.NewID(), 5);
}

}  // namespace
