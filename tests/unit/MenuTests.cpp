// The entry tree and the popup menu that mirrors it: captions, ids, and every change checked against the whole menu.
#include <cstdlib>
#include <functional>
#include <new>
#include <sstream>

#include "AppTesting.h"
#include "MenuTesting.h"
#include "app/Globals.h"
#include "menu/FolderMenu.h"
#include "store/PlainTree.h"
#include "menu/MenuMessages.h"

using namespace menutest;

// While not negative, the number of allocations that may still succeed.
static int g_allocationsLeft = -1;

void* operator new(size_t size)
{
    void* block = g_allocationsLeft == 0 ? nullptr : std::malloc(size ? size : 1);
    g_allocationsLeft -= g_allocationsLeft > 0;
    return block ? block : throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }

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
        if (step[0] == L'=')
            EXPECT_EQ(pool.Smallest(), id) << step;
        else
            step[0] == L'+' ? pool.Use(id) : pool.Release(id);
    }
}

// Each change keeps tree and menu in step, "Recent" at the top or not, a section shown by its title as typed and grayed while no
// document is below it;
// new ids are the smallest free from 5 and within 16 bits, or nothing is added.
TEST(PopupMenu, EveryChangeKeepsMenuAndTreeInStep)
{
    const struct { const wchar_t* tree; std::function<void(CTodayMenu&)> change; const wchar_t *after, *shown; } changes[] = {
        {L"S:S S:R&D\tDept[D:Tom&Jerry]", nullptr, L"S5:S[] S6:R&D\tDept[D7:Tom&Jerry]", L"S~[]|R&&D Dept[Tom&Jerry#7]"},
        {L"S:S[-]", [](CTodayMenu& m) { m.AppendDocument(L"a", 5); }, L"S5:S[-6 D7:a]", L"S[-|a#7]"},
        {L"S:S[D:a D:b]", [](CTodayMenu& m) { m.RemoveEntry(6); }, L"S5:S[D7:b]", L"S[b#7]"},
        {L"S:S[- D:a]", [](CTodayMenu& m) { m.RemoveEntry(7); }, L"S5:S[-6]", L"S~[-]"},
        {L"D:x S:S[S:T[D:a] D:b]", [](CTodayMenu& m) { m.RemoveEntry(9); }, L"D5:x S6:S[S7:T[D8:a]]", L"x#5|S[T[a#8]]"},
        {L"D:x S:S[S:T[D:a] D:b]", [](CTodayMenu& m) { m.RemoveEntry(8); }, L"D5:x S6:S[S7:T[] D9:b]", L"x#5|S[T~[]|b#9]"},
        {L"D:x S:S[S:T[D:a]]", [](CTodayMenu& m) { m.RemoveEntry(8); }, L"D5:x S6:S[S7:T[]]", L"x#5|S~[T~[]]"},
        {L"S:S[S:T[S:U]]", [](CTodayMenu& m) { m.AppendDocument(L"a", 7); }, L"S5:S[S6:T[S7:U[D8:a]]]", L"S[T[U[a#8]]]"},
        {L"D:a S:E S:F[D:b] S:R&D\tX[-] -", [](CTodayMenu& m) { m.MoveEntry(6, 0), m.MoveEntry(7, 4), m.MoveEntry(9, 1); },
         L"S6:E[] S9:R&D\tX[-10] D5:a -11 S7:F[D8:b]", L"E~[]|R&&D X~[-]|a#5|-|F[b#8]"},
        {L"S:S[D:a - D:b]", [](CTodayMenu& m) { m.MoveEntry(6, 2); }, L"S5:S[-7 D8:b D6:a]", L"S[-|b#8|a#6]"},
        {L"D:a S:S[D:b]", [](CTodayMenu& m) { m.RenameEntry(5, L"Mine"), m.RenameEntry(6, L"T&U"), m.RenameEntry(7, L"c"), m.RenameEntry(7, L""); },
         L"D5:a{Caption:Mine} S6:T&U[D7:b]", L"Mine#5|T&&U[b#7]"},   // each item's name follows its caption
        {L"D:a S:S - D:b", [](CTodayMenu& m) { m.SwapDocuments(5, 8); }, L"D8:b S6:S[] -7 D5:a", L"b#8|S~[]|-|a#5"},
        {L"D:a - D:b S:S[D:c]", [](CTodayMenu& m) { m.SwapDocuments(5, 6), m.SwapDocuments(5, 99), m.SwapDocuments(7, 9); },
         L"D5:a -6 D7:b S8:S[D9:c]", L"a#5|-|b#7|S[c#9]"},
        {L"D:a", [](CTodayMenu& m) { m.RemoveEntry(9), m.MoveEntry(9, 0), m.RemoveEntry(5), m.RemoveEntry(5); }, L"", L""},
        {L"D:a S:S[D:b] D:c", [](CTodayMenu& m) { m.RemoveEntry(6), m.AppendDocument(L"d", 0), m.AppendSeparator(0), m.AppendSection(L"T", 0); },
         L"D5:a D8:c D6:d -7 S9:T[]", L"a#5|c#8|d#6|-|T~[]"},
        {L"D:a S:S", [](CTodayMenu& m) {
             EXPECT_EQ(std::vector<int>({m.AppendDocument(L"b", 5), m.AppendSection(L"T", 42), m.AppendSeparator(42),
                                         m.AppendSeparatorWithID(4, 5), m.AppendDocumentWithID(L"Exit", 3, 6)}),
                       std::vector<int>({-1, -1, -1, -1, 3}));
         }, L"D5:a S6:S[D3:Exit]", L"a#5|S[Exit#3]"},
        {L"", [](CTodayMenu& m) {
             for (int id = 5; id < 0xFFFF; ++id)
                 m.Root.Ids->Use(id);
             m.AppendDocument(L"last", 0), m.AppendDocument(L"a", 0), m.AppendSection(L"S", 0), m.AppendSeparator(0);
         }, L"D65535:last", L"last#65535"},
    };
    // The same with "Recent" at the top of the menu, shown before the change.
    for (const bool recent : {false, true})
        for (const auto& [tree, change, after, shown] : changes) {
            CTodayMenu menu;
            menu.SetShowRecent(recent);
            Build(menu, tree), menu.RefreshRecent(), CheckMenu(menu.Root);
            if (change)
                change(menu);
            EXPECT_EQ(Describe(menu.Root), after) << tree;
            EXPECT_EQ(Shown(menu.GetRootMenu()), (recent ? std::wstring(L"Recent~[]") + (*shown ? L"|" : L"") : L"") + shown) << tree;
            CheckMenu(menu.Root);
        }
}

// "Recent" shows the eight documents launched last, at any depth, newest first, as copies without ids; a choice there
// opens the document shown and counts it. Off, it goes, and the root menu is the tree's alone.
TEST(PopupMenu, RecentShowsTheLastEightLaunchedNewestFirst)
{
    CTodayMenu menu(&g_Services);
    Build(menu, L"D:a D:b S:S[D:c D:d S:T[D:e]] D:f D:g D:h D:i D:j -");
    ULONGLONG time = 0;   // launched in this order, each one counted
    for (const int id : {5, 6, 8, 9, 11, 12, 13, 14, 15, 16, 6})
        menu.Root.FindItem(id)->LastLaunch = ++time, menu.Root.FindItem(id)->Launches = 1;
    menu.SetShowRecent(true);
    const HMENU root = menumsg::PrepareRoot(menu), recent = GetSubMenu(root, 0);
    EXPECT_EQ(Shown(recent), L"b|j|i|h|g|f|e|d");
    menumsg::OnMenuCommand(menu, nullptr, 1, LPARAM(recent));
    EXPECT_EQ(menu.Root.FindItem(16)->Launches, DWORD{2});
    menu.SetShowRecent(false), menumsg::PrepareRoot(menu);
    EXPECT_EQ(Shown(root), L"a#5|b#6|S[c#8|d#9|T[e#11]]|f#12|g#13|h#14|i#15|j#16|-");
}

// A section is found by its menu within the list that holds it, at any depth; the root's own menu and a live menu are
// no section's. A tree built in the menu's place takes out the old live folders first, and no reference to an old entry
// finds a new one, though the ids come back.
TEST(PopupMenu, SectionsFoundByTheirMenuAndATreeReplacedLeavesNothing)
{
    CTodayMenu menu;
    Build(menu, L"D:C:\\ S:A[D:x S:B[D:y]] S:C");   // D5 S6 D7 S8 D9 S10
    ASSERT_TRUE(menu.ShowFolderContents(5, true));
    const HMENU live = menu.LiveFolder(5)->Menu();
    const std::pair<HMENU, int> cases[] = {{menu.Root.FindItem(8)->Children->Menu.get(), 1}, {menu.Root.FindItem(10)->Children->Menu.get(), 2},
                                           {menu.Root.FindItem(6)->Children->Menu.get(), 1}, {menu.GetRootMenu(), -1}, {live, -1}};
    for (const auto& [shown, pos] : cases)
        EXPECT_EQ(menu.Root.FindSectionPos(shown), pos) << &shown - &cases[0].first;
    const EntryRef x = RefOf(*menu.Root.FindItem(7));
    EXPECT_EQ(menu.Find(x), menu.Root.FindItem(7));
    store::PlainTree tree{{ITEM_DOCUMENT, 0, L"C:\\"}, {ITEM_SECTION, 0, L"A"}, {ITEM_DOCUMENT, 1, L"x"}};
    store::NumberEntries(tree), store::BuildMenu(menu, tree);
    EXPECT_FALSE(IsMenu(live));
    EXPECT_EQ(Describe(menu.Root), L"D5:C:\\ S6:A[D7:x] D2:Configuration D3:Exit");
    EXPECT_EQ(menu.Find(x), nullptr);
    CheckMenu(menu.Root);
}

// A removed section's menus are destroyed with it, once: a handle made afterwards is never touched.
TEST(PopupMenu, RemovedSectionsDestroyTheirMenusExactlyOnce)
{
    auto menu = std::make_unique<CTodayMenu>();
    Build(*menu, L"S:S[S:T[D:a]] S:K");
    ASSERT_EQ(menu->Root.Items.size(), 2u);
    const HMENU s = menu->Root.Items[0]->Children->Menu.get(), t = GetSubMenu(s, 0);
    menu->RemoveEntry(5);
    ASSERT_EQ(Describe(menu->Root), L"S8:K[]");
    const HMENU fresh = CreatePopupMenu(), k = menu->Root.Items[0]->Children->Menu.get(), root = menu->GetRootMenu();
    ASSERT_TRUE(t);
    EXPECT_FALSE(IsMenu(s));
    EXPECT_FALSE(IsMenu(t));
    menu.reset();
    EXPECT_TRUE(IsMenu(fresh));
    EXPECT_FALSE(IsMenu(k));
    EXPECT_FALSE(IsMenu(root));
    DestroyMenu(fresh);
}

// An add that runs out of memory at any allocation leaves tree, menus and id pool as they were.
TEST(PopupMenu, AnAddWithoutMemoryAppendsNothing)
{
    CTodayMenu menu;
    Build(menu, L"S:S[D:a]");
    ASSERT_EQ(menu.Root.Items.size(), 1u);
    const std::wstring path = L"C:\\b.txt", title = L"T", exit = L"Exit";
    const std::function<int()> adds[] = {[&] { return menu.AppendDocument(path, 5); }, [&] { return menu.AppendSection(title, 0); },
                                         [&] { return menu.AppendSeparator(5); }, [&] { return menu.AppendDocumentWithID(exit, 3, 0); }};
    for (const auto& add : adds) {
        for (int allowed = 0, id = -1; id == -1; ++allowed) {
            const std::wstring before = Describe(menu.Root);
            const int next = menu.Root.NewID();
            g_allocationsLeft = allowed;
            id = add();
            g_allocationsLeft = -1;
            if (id != -1)
                break;
            EXPECT_EQ(Describe(menu.Root), before) << allowed;   // a failed add changes nothing
            EXPECT_EQ(menu.Root.NewID(), next) << allowed;
        }
        CheckMenu(menu.Root);
    }
    EXPECT_EQ(Describe(menu.Root), L"S5:S[D6:a D7:C:\\b.txt -9] S8:T[] D3:Exit");
    menutest::Reset(menu);
    EXPECT_EQ(menu.Root.NewID(), 5);
}


// A tree made without the program's services, as the store stages one, starts no thread: its live folder opens as one
// that cannot be read, and a launch opens nothing.
TEST(PopupMenu, ATreeWithoutServicesStartsNoThread)
{
    const int threads = apptest::Threads();
    CTodayMenu staged;
    const int folder = staged.AppendDocument(L"C:\\windows", 0);
    staged.ShowFolderContents(folder, true);
    menumsg::OnInitMenuPopup(staged, WPARAM(staged.LiveFolder(folder)->Menu()));
    staged.Launch(folder);
    EXPECT_EQ(Shown(staged.LiveFolder(folder)->Menu()), L"(not available)~");
    EXPECT_EQ(apptest::Threads(), threads);
}
