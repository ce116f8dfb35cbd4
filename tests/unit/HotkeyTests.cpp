// The program's hotkey in the running tabula.exe, pressed and typed with real keys.
#include <gtest/gtest.h>

#include "AppTesting.h"
#include "StoreTesting.h"
#include <commctrl.h>
#include "app/TryIcon.h"
#include "res/resource.h"
#include "store/Options.h"
#include "store/TreeFile.h"

namespace {

using apptest::WaitFor;

HWND Main() { return FindWindowW(L"TABULA", L"Tabula"); }
DWORD StoredHotkey() { return storetest::Read(storetest::KeyPath(L"Tabula Options"), L"Hotkey").Dword(); }

// Presses a chord; true when the root menu then shows where a tap shows it. The keys then close it.
bool OpensMenu(std::initializer_list<WORD> chord, std::initializer_list<WORD> then = {VK_ESCAPE})
{
    apptest::PressKeys(chord);
    RECT menu{}, bar{};
    const bool shown = WaitFor(10000, [&] { return GetWindowRect(apptest::VisibleMenuWindow(), &menu) != FALSE; });
    for (const WORD key : then)
        apptest::PressKeys({key});
    WaitFor(10000, [] { return !apptest::VisibleMenuWindow(); });
    GetWindowRect(FindWindowW(L"Shell_TrayWnd", nullptr), &bar);
    return shown && menu.right == GetSystemMetrics(SM_CXSCREEN) && menu.bottom == bar.top;
}

// tabula.exe started with its icon up; closed at the end.
struct Tabula {
    SHELLEXECUTEINFOW run{sizeof(run), SEE_MASK_NOCLOSEPROCESS, nullptr, nullptr, L"Z:" TABULA_EXE};
    // The icon comes first, then the hotkey and the tree: a stored tree says that the start is over.
    const bool started = ShellExecuteExW(&run) && WaitFor(20000, [] { return apptest::ShellHasIcon(Main(), TRAY_ICON_ID); }) &&
                         WaitFor(10000, [] { return !storetest::StoredText().empty(); });
    ~Tabula()
    {
        PostMessageW(Main(), WM_CLOSE, 0, 0);
        WaitForSingleObject(run.hProcess, 10000), TerminateProcess(run.hProcess, 1), CloseHandle(run.hProcess);
    }
};

}  // namespace

// Ctrl+Alt+T opens the menu; one typed on the Options tab works at once instead and is kept beside the tree, which a
// save leaves alone; one another program holds is kept and said so on the page, and by the icon at the next start.
TEST(Hotkey, OpensTheMenuChangesAtOnceAndSaysWhenTaken)
{
    storetest::ClearStore();
    RegDeleteTreeW(platform::reg::StoreHive(), storetest::KeyPath(L"Tabula Options").c_str());
    {
        Tabula app;
        ASSERT_TRUE(app.started);
        ASSERT_TRUE(OpensMenu({VK_CONTROL, VK_MENU, 'T'}, {VK_UP, VK_UP, VK_RETURN}));   // Configuration
        HWND settings = nullptr, page = nullptr;
        ASSERT_TRUE(WaitFor(10000, [&] { return (settings = apptest::FindWindowWith(L"#32770", L"Dialog")) != nullptr; }));
        const HWND tabs = GetDlgItem(settings, IDC_TABS), documents = FindWindowExW(tabs, nullptr, L"#32770", nullptr);
        const HWND sections = GetWindow(documents, GW_HWNDNEXT);
        while ((page = FindWindowExW(tabs, page, L"#32770", nullptr)) && !GetDlgItem(page, IDC_HOTKEY)) {}
        SendMessageW(tabs, TCM_SETCURFOCUS, 2, 0);
        ASSERT_EQ(std::make_tuple(IsWindowVisible(page), IsWindowVisible(sections), IsWindowVisible(documents)), std::make_tuple(TRUE, FALSE, FALSE));
        EXPECT_EQ(GetWindowTextLengthW(GetDlgItem(page, IDC_HOTKEY_NOTE)), 0);   // its own hotkey is no other's
        // A plain key typed there gets Ctrl+Alt; the control emptied stores none and lets the program's chord go.
        for (const auto& [key, stored] : {std::pair<WORD, WORD>{'K', MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT)}, {0, 0}}) {
            SendDlgItemMessageW(page, IDC_HOTKEY, key ? WM_KEYDOWN : HKM_SETHOTKEY, key, 0);
            key ? 0 : SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_HOTKEY, EN_CHANGE), LPARAM(GetDlgItem(page, IDC_HOTKEY)));
            EXPECT_EQ(StoredHotkey(), stored) << key;
        }
        EXPECT_TRUE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_ALT, 'K'));
        UnregisterHotKey(nullptr, 2);
        apptest::PressKeys({VK_CONTROL, VK_SHIFT, VK_F5});
        EXPECT_TRUE(WaitFor(10000, [] { return StoredHotkey() == MAKEWORD(VK_F5, HOTKEYF_CONTROL | HOTKEYF_SHIFT); }));
        EXPECT_TRUE(OpensMenu({VK_CONTROL, VK_SHIFT, VK_F5}));
        EXPECT_TRUE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_ALT, 'T'));   // the old chord is let go
        UnregisterHotKey(nullptr, 2);
        // Taken by this test's thread: the page says so in words and keeps it.
        ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'U'));
        const WORD taken = MAKEWORD('U', HOTKEYF_CONTROL | HOTKEYF_ALT);
        SendDlgItemMessageW(page, IDC_HOTKEY, HKM_SETHOTKEY, taken, 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_HOTKEY, EN_CHANGE), LPARAM(GetDlgItem(page, IDC_HOTKEY)));
        wchar_t note[200] = {};
        GetDlgItemTextW(page, IDC_HOTKEY_NOTE, note, 200);
        EXPECT_TRUE(wcsstr(note, L"Ctrl+Alt+U is in use")) << note;
        // A change of the tree is saved, and the hotkey stays.
        const std::wstring tree = storetest::StoredText();
        SendMessageW(GetDlgItem(sections, IDC_ADD_SEPARATOR), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor(10000, [&] { return storetest::StoredText() != tree; }));
        EXPECT_EQ(StoredHotkey(), taken);
    }
    Tabula again;
    ASSERT_TRUE(again.started);
    EXPECT_TRUE(WaitFor(10000, [] { return apptest::FindWindowWith(L"tooltips_class32", L"Ctrl+Alt+U is in use"); }));
    UnregisterHotKey(nullptr, 1);
}

// A stored value loads as the Options tab makes a hotkey, the menu's and the find box's: Ctrl+Alt added where neither is,
// none where no key gives it.
TEST(Hotkey, StoredValuesLoadAsTheOptionsTabMakesThem)
{
    const std::wstring options = storetest::KeyPath(store::kOptionsName);
    // Nothing usable stored: Ctrl+Alt+T. Shift+T: Windows' hotkey control adds Ctrl+Alt to Shift, Wine's puts them in its place.
    const struct { DWORD type, stored; WORD loaded; } cases[] = {{REG_NONE, 0, 0x0654}, {REG_BINARY, 0x0274, 0x0654}, {REG_DWORD, 0, 0},
        {REG_DWORD, 0x0274, 0x0274}, {REG_DWORD, 0x0574, 0x0574}, {REG_DWORD, 0x0054, 0x0654}, {REG_DWORD, 0x0154, 0x0754}, {REG_DWORD, 0x082D, 0x0E2D},
        {REG_DWORD, 0x0600, 0}, {REG_DWORD, 0x1654, 0}, {REG_DWORD, 0x0601, 0}, {REG_DWORD, 0x0007, 0}, {REG_DWORD, 0x06C5, 0}, {REG_DWORD, 0x06FF, 0},
        {REG_DWORD, 0x10654, 0}};
    // The find box's key by the same rules, Ctrl+Alt+F when nothing usable is stored.
    const std::tuple<const wchar_t*, store::Hotkey (*)(), WORD> keys[] = {{store::kHotkeyValue, store::LoadHotkey, 0x0654},
                                                                           {store::kFindHotkeyValue, store::LoadFindHotkey, 0x0646}};
    std::wstring error;
    for (const auto& [name, load, fallback] : keys)
        for (const auto& [type, stored, loaded] : cases) {
            storetest::Put(options, name, type, type == REG_NONE ? nullptr : &stored, sizeof(stored));
            EXPECT_EQ(load().Value(), type == REG_DWORD ? loaded : fallback) << name << std::hex << stored;
            // A menu file (imported, restored or handed over) gives its hotkey by the same rule.
            const auto file = type == REG_DWORD && stored <= 0xFFFF ? store::ParseTreeFile(R"({"version": 1, "tree": [], "hotkey": )" + std::to_string(stored) + "}", &error) : std::nullopt;
            EXPECT_EQ(file ? file->hotkey.Value() : loaded, loaded) << std::hex << stored;
        }
    RegDeleteTreeW(platform::reg::StoreHive(), options.c_str());
}

// Ctrl+Alt+F opens the find box where the menu opens, with the keyboard; a click elsewhere closes it; Enter on a typed
// "exi" does what the menu's "Exit" does.
TEST(Hotkey, FindKeyOpensTheBoxWhereTheMenuOpens)
{
    storetest::ClearStore();
    RegDeleteTreeW(platform::reg::StoreHive(), storetest::KeyPath(L"Tabula Options").c_str());
    Tabula app;
    ASSERT_TRUE(app.started);
    HWND box = nullptr;
    const auto opened = [&] { apptest::PressKeys({VK_CONTROL, VK_MENU, 'F'}); return WaitFor(10000, [&] { return (box = apptest::FindWindowWith(L"TabulaFind", L"")) != nullptr; }); };
    ASSERT_TRUE(opened());
    RECT place{}, bar{};
    GetWindowRect(box, &place), GetWindowRect(FindWindowW(L"Shell_TrayWnd", nullptr), &bar);
    EXPECT_EQ(std::make_pair(place.right, place.bottom), std::make_pair(LONG(GetSystemMetrics(SM_CXSCREEN)), bar.top));
    apptest::ClickAt(5, 5);
    EXPECT_TRUE(WaitFor(10000, [] { return !apptest::FindWindowWith(L"TabulaFind", L""); }));
    ASSERT_TRUE(opened());
    for (const WORD key : {WORD('E'), WORD('X'), WORD('I'), WORD(VK_RETURN)})
        apptest::PressKeys({key});
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor(10000, [&] { return (question = apptest::FindWindowWith(L"#32770", L"Run on startup setting")) != nullptr; }));
    PostMessageW(GetDlgItem(question, IDNO), BM_CLICK, 0, 0);
    EXPECT_EQ(WaitForSingleObject(app.run.hProcess, 10000), WAIT_OBJECT_0);
}
