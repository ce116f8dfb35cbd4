// Themes: the look of each choice on each system, the stored choice, the dark menu drawn row by row, and the settings
// window following a change of look and of density while open.
#include <algorithm>
#include <memory>

#include "SettingsTesting.h"
#include "app/ItemImage.h"
#include "app/MainWindow.h"
#include "config/AddSectionDialog.h"
#include "config/RestoreDialog.h"
#include "platform/Media.h"
#include "store/Options.h"

using platform::Look;
using platform::ThemeChoice;

// The look of each choice on a light, a dark and a silent system, and under a high-contrast scheme, which wins; the
// menu colour of each look.
TEST(Theme, LookOfEachChoice)
{
    const struct { ThemeChoice choice; int system; bool contrast; Look look; } cases[] = {
        {ThemeChoice::System, -1, false, Look::Light}, {ThemeChoice::System, 1, false, Look::Light},
        {ThemeChoice::System, 0, false, Look::Dark},   {ThemeChoice::Light, 0, false, Look::Light},
        {ThemeChoice::Dark, -1, false, Look::Dark},    {ThemeChoice::Dark, 1, false, Look::Dark},
        {ThemeChoice::Dark, 0, true, Look::Contrast},  {ThemeChoice::System, 0, true, Look::Contrast}};
    for (const auto& c : cases) {
        const apptest::SystemTheme system(c.system);
        const auto scheme = c.contrast ? std::make_unique<apptest::HighContrastScheme>(std::vector<std::pair<int, COLORREF>>{{COLOR_MENU, 0}}) : nullptr;
        const platform::CTheme theme(c.choice);
        EXPECT_EQ(theme.Current(), c.look) << &c - cases;
        EXPECT_EQ(theme.Colours().menu == GetSysColor(COLOR_MENU), c.look != Look::Dark) << &c - cases;
    }
}

// The stored choice: 0, 1 or 2 as a REG_DWORD; anything else, or nothing, follows the system.
TEST(Theme, StoredChoice)
{
    const std::wstring key = L"SOFTWARE\\Tabula Options";
    const struct { DWORD type, value; ThemeChoice loaded; } cases[] = {
        {REG_NONE, 0, ThemeChoice::System}, {REG_DWORD, 1, ThemeChoice::Light}, {REG_DWORD, 2, ThemeChoice::Dark},
        {REG_DWORD, 3, ThemeChoice::System}, {REG_SZ, '2', ThemeChoice::System}, {REG_DWORD, 0, ThemeChoice::System}};
    for (const auto& c : cases) {
        c.type == REG_NONE ? RegDeleteKeyValueW(platform::reg::StoreHive(), key.c_str(), L"Theme")
                           : RegSetKeyValueW(platform::reg::StoreHive(), key.c_str(), L"Theme", c.type, &c.value, 4);
        EXPECT_EQ(store::LoadTheme(), c.loaded) << &c - cases;
    }
}

// The program's main window, which draws the menu; the tree's menu with an entry of every kind, and a live folder.
struct DarkMenu : testing::Test {
    HWND window = (RegisterMainWindowClass(g_hInstance, L"TabulaTheme"),
                   CreateWindowExW(0, L"TabulaTheme", L"", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr));
    wchar_t temp[MAX_PATH] = {};
    const std::wstring empty = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"dark-" + std::to_wstring(GetTickCount());
    void SetUp() override
    {
        CreateDirectoryW(empty.c_str(), nullptr), menutest::Reset(g_TodayMenu);
        menutest::Build(g_TodayMenu, L"D:C:\\doc.txt S:Work[D:C:\\x.txt] S:Empty[] - D:" + empty);
        g_TodayMenu.AppendDocumentWithID(L"Configuration", ID_CONFIGURATION, 0);
        g_TodayMenu.ShowFolderContents(g_TodayMenu.Root.Items[4]->ID, true);
    }
    void TearDown() override { ChooseTheme(ThemeChoice::System), menutest::Reset(g_TodayMenu), DestroyWindow(window), RemoveDirectoryW(empty.c_str()); }

    // Each row of the menu on the screen: how much of it is the background, how much the light look's own colours, how
    // much anything else (its text, icon, arrow or line).
    struct Row { int back, light, drawn; };
    static Row RowOf(const std::vector<COLORREF>& p, COLORREF back)
    {
        const int light = static_cast<int>(std::count_if(p.begin(), p.end(), [](COLORREF c) {
            return c == RGB(255, 255, 255) || c == RGB(0, 0, 0) || c == GetSysColor(COLOR_MENU); }));
        const int background = static_cast<int>(std::count(p.begin(), p.end(), back));
        return {background * 2 > static_cast<int>(p.size()), light, static_cast<int>(p.size()) - background - light};
    }
    static std::vector<Row> Rows(HMENU menu, COLORREF back)
    {
        std::vector<Row> rows;
        RECT frame{}, item{};
        GetWindowRect(apptest::VisibleMenuWindow(), &frame);
        for (int pos = 0; GetMenuItemRect(nullptr, menu, pos, &item); ++pos) {
            OffsetRect(&item, -frame.left, -frame.top);
            rows.push_back(RowOf(apptest::WindowPixels(apptest::VisibleMenuWindow(), item), back));
        }
        return rows;
    }
    // The highlighted row of the open menu, found on the screen by its colour at the rows' left end: a long menu's rows are
    // where it scrolled them, not where GetMenuItemRect puts them.
    static Row Highlighted(HMENU menu, COLORREF highlight)
    {
        RECT frame{}, item{};
        GetWindowRect(apptest::VisibleMenuWindow(), &frame), GetMenuItemRect(nullptr, menu, 0, &item);
        const int width = frame.right - frame.left, left = item.left - frame.left;
        const std::vector<COLORREF> p = apptest::WindowPixels(apptest::VisibleMenuWindow(), {0, 0, width, frame.bottom - frame.top});
        int top = -1, bottom = 0;
        for (int y = 0; y * width < int(p.size()); ++y)
            p[y * width + left] == highlight ? (top = top < 0 ? y : top, bottom = y + 1) : 0;
        return RowOf(apptest::WindowPixels(apptest::VisibleMenuWindow(), {left, top, width - left, bottom}), highlight);
    }
    // The pixels of the open menu's margins above its first row and below its last (inside its border) not of the
    // background, and their count.
    static std::pair<long, long> Margins(HMENU menu, COLORREF back)
    {
        RECT frame{}, first{}, last{};
        GetWindowRect(apptest::VisibleMenuWindow(), &frame);
        GetMenuItemRect(nullptr, menu, 0, &first), GetMenuItemRect(nullptr, menu, GetMenuItemCount(menu) - 1, &last);
        const int b = GetSystemMetrics(SM_CXBORDER), width = frame.right - frame.left, height = frame.bottom - frame.top;
        std::vector<COLORREF> p = apptest::WindowPixels(apptest::VisibleMenuWindow(), {b, b, width - b, first.top - frame.top});
        const std::vector<COLORREF> below = apptest::WindowPixels(apptest::VisibleMenuWindow(), {b, last.bottom - frame.top, width - b, height - b});
        p.insert(p.end(), below.begin(), below.end());
        return {static_cast<long>(p.size()) - std::count(p.begin(), p.end(), back), static_cast<long>(p.size())};
    }
    // Tracks the menu until check, run in the menu's loop, holds; then closes it.
    bool Track(HMENU menu, const std::function<bool()>& check)
    {
        apptest::Watch watch([&] { return apptest::VisibleMenuWindow() && check() && EndMenu(); });
        SetForegroundWindow(window), TrackPopupMenuEx(menu, TPM_LEFTALIGN, 10, 10, window, nullptr);
        return watch.done();
    }
};

// The open menu turns dark when the system does, every row of every kind drawn on the dark background with nothing of
// the light look's colours; a live folder's rows too; and light again, as the system draws it, when the system is.
TEST_F(DarkMenu, EveryRowFollowsTheSystemWhileOpen)
{
    apptest::SystemTheme system(1);
    const COLORREF dark = platform::PaletteOf(Look::Dark).menu;
    std::vector<Row> light, darkRows, folderRows, lightAgain;
    std::pair<long, long> margins;
    EXPECT_TRUE(Track(g_TodayMenu.GetRootMenu(), [&] {
        if (light.empty() && !(light = Rows(g_TodayMenu.GetRootMenu(), GetSysColor(COLOR_MENU))).empty())
            return system.Set(0, window), false;   // told while the menu is open
        darkRows = Rows(g_TodayMenu.GetRootMenu(), dark), margins = Margins(g_TodayMenu.GetRootMenu(), dark);
        return darkRows[0].back && darkRows[darkRows.size() - 1].back;
    }));
    EXPECT_TRUE(Track(g_TodayMenu.LiveFolder(g_TodayMenu.Root.Items[4]->ID)->Menu(), [&] {
        return !(folderRows = Rows(g_TodayMenu.LiveFolder(g_TodayMenu.Root.Items[4]->ID)->Menu(), dark)).empty(); }));
    system.Set(1, window);
    EXPECT_TRUE(Track(g_TodayMenu.GetRootMenu(), [&] { return !(lightAgain = Rows(g_TodayMenu.GetRootMenu(), GetSysColor(COLOR_MENU))).empty(); }));
    const char* kinds[] = {"document", "section", "grayed section", "separator", "live folder", "Configuration"};
    EXPECT_EQ(std::make_pair(margins.first, margins.second > 0), std::make_pair(0L, true));
    ASSERT_EQ(darkRows.size(), 6u);
    for (size_t i = 0; i < darkRows.size(); ++i) {
        EXPECT_EQ(std::make_tuple(light[i].back, lightAgain[i].back), std::make_tuple(1, 1)) << kinds[i];
        EXPECT_EQ(std::make_tuple(darkRows[i].back, darkRows[i].light), std::make_tuple(1, 0)) << kinds[i];
        EXPECT_GT(darkRows[i].drawn, 0) << kinds[i];
    }
    ASSERT_EQ(folderRows.size(), 2u);   // "Open Folder", "(empty)"
    for (const Row& row : folderRows)
        EXPECT_EQ(std::make_tuple(row.back, row.light, row.drawn > 0), std::make_tuple(1, 0, true)) << &row - folderRows.data();
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(g_TodayMenu.GetRootMenu(), 1)), 1);
}

// In the dark look a section's own menu and each note of a live folder are dark rows on a dark menu to its margins:
// "(reading...)" while a read is slow, "(not available)" for a folder that is gone, and "More..." past 500 entries,
// highlighted (Up from the top reaches it).
TEST_F(DarkMenu, SubMenusAndNotesAreDarkToTheirMargins)
{
    ChooseTheme(ThemeChoice::Dark);
    const std::wstring full = empty + L"\\full";
    CreateDirectoryW(full.c_str(), nullptr);
    for (int i = 0; i <= 500; ++i)
        CloseHandle(CreateFileW((full + L"\\" + std::to_wstring(i)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const auto live = [&](const std::wstring& folder) {
        const int id = g_TodayMenu.AppendDocument(folder, 0);
        return g_TodayMenu.ShowFolderContents(id, true), g_TodayMenu.LiveFolder(id)->Menu();
    };
    const platform::Palette p = platform::PaletteOf(Look::Dark);
    platform::media::slow::Hang(platform::media::Call::Listing, 1);
    const struct { HMENU menu; int row; const wchar_t* text; COLORREF back; } cases[] = {
        {live(empty), 0, L"(reading...)~", p.menu}, {GetSubMenu(g_TodayMenu.GetRootMenu(), 1), 0, L"x#7", p.menu},
        {live(empty + L"\\gone"), 0, L"(not available)~", p.menu}, {live(full), 501, L"More...", p.highlight}};
    for (const auto& c : cases) {
        std::vector<Row> rows;
        std::pair<long, long> margins;
        bool up = false;
        EXPECT_TRUE(Track(c.menu, [&] {
            if (!c.row)
                return margins = Margins(c.menu, c.back), !(rows = Rows(c.menu, c.back)).empty();
            up = up || PostMessageW(apptest::VisibleMenuWindow(), WM_KEYDOWN, VK_UP, 0);
            return (GetMenuState(c.menu, c.row, MF_BYPOSITION) & MF_HILITE) && (rows = {Highlighted(c.menu, c.back)}, true);
        })) << c.row;
        platform::media::slow::Reset();
        const std::wstring shown = menutest::Shown(c.menu);
        const Row row = rows.empty() ? Row{} : rows[0];
        EXPECT_EQ(shown.substr(shown.rfind(L'|') + 1), c.text);
        // On the highlight the text is white, the light look's background under Wine: there it counts as drawn.
        const bool lit = c.back == p.highlight;
        EXPECT_EQ(std::make_tuple(row.back, lit ? 0 : row.light, row.drawn + lit * row.light > 0), std::make_tuple(1, 0, true)) << c.row;
        EXPECT_EQ(margins.first, 0) << c.row;   // none measured in a long menu, whose ends the system draws
    }
    for (int i = 0; i <= 500; ++i)
        DeleteFileW((full + L"\\" + std::to_wstring(i)).c_str());
    RemoveDirectoryW(full.c_str());
}

// The program's own icons keep their contrast on dark, drawn in the menu's text colour alone; a high-contrast scheme
// wins over the dark choice: the menu leaves its sections to the system again, and its pictures take the scheme's
// colours.
TEST_F(DarkMenu, OwnIconsInkAndHighContrastWinsOverDark)
{
    ChooseTheme(ThemeChoice::Dark);
    const auto ownerDrawn = [&](int pos) {
        MENUITEMINFOW info{sizeof(info), MIIM_FTYPE};
        g_TodayMenu.StyleMenu(g_TodayMenu.GetRootMenu()), GetMenuItemInfoW(g_TodayMenu.GetRootMenu(), pos, TRUE, &info);
        return (info.fType & MFT_OWNERDRAW) != 0;
    };
    const platform::Palette dark = platform::PaletteOf(Look::Dark);
    const struct { bool contrast; Look look; COLORREF back, ink; } cases[] = {
        {false, Look::Dark, dark.menu, dark.menuText}, {true, Look::Contrast, RGB(0, 0, 0), RGB(255, 255, 0)}};
    for (const auto& c : cases) {
        const auto scheme = c.contrast ? std::make_unique<apptest::HighContrastScheme>(std::vector<std::pair<int, COLORREF>>{{COLOR_MENU, c.back}, {COLOR_MENUTEXT, c.ink}}) : nullptr;
        SendMessageW(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        EXPECT_EQ(g_Theme.Current(), c.look);
        EXPECT_EQ(ownerDrawn(1), !c.contrast);
        CItem& config = *g_TodayMenu.Root.Items[5];
        BuildImage(&config);
        handles::unique_hdc dc(CreateCompatibleDC(nullptr));
        handles::select_object picture(dc.get(), config.Image.get());
        int other = 0;
        for (int y = 0; y < config.Height; ++y)
            for (int x = 0; x < config.Width; ++x)
                other += GetPixel(dc.get(), x, y) != c.back && GetPixel(dc.get(), x, y) != c.ink;
        EXPECT_EQ(other, 0) << c.contrast;
    }
}

// The settings window follows the theme box and the system while open: its lists, its pages and its tabs.
TEST(DarkSettings, WindowFollowsTheChoiceAndTheSystemWhileOpen)
{
    apptest::SystemTheme system(1);
    menutest::Reset(g_TodayMenu), menutest::BuildDefaults(g_TodayMenu);
    HWND window = CreateDialogIndirectParamW(g_hInstance, platform::FindDialogTemplate(g_hInstance, IDD_SETTINGS), nullptr, SettingsDlgProc,
                                             reinterpret_cast<LPARAM>(&settingstest::Settings()));
    ShowWindow(window, SW_SHOW);
    const CSettingsState& state = CSettingsState::Of(window);
    HWND options = state.Page(kOptionsTab), box = GetDlgItem(options, IDC_THEME), tabs = GetDlgItem(window, IDC_TABS);
    const platform::Palette dark = platform::PaletteOf(Look::Dark);
    const struct { int chosen, system; bool dark; } steps[] = {{2, 1, true}, {0, 1, false}, {-1, 0, true}, {-1, 1, false}};
    for (const auto& s : steps) {
        if (s.chosen >= 0)
            SendMessageW(box, CB_SETCURSEL, s.chosen, 0), SendMessageW(options, WM_COMMAND, MAKEWPARAM(IDC_THEME, CBN_SELCHANGE), LPARAM(box));
        else
            system.Set(s.system, window);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const int step = static_cast<int>(&s - steps);
        EXPECT_EQ(store::LoadTheme(), static_cast<ThemeChoice>(s.chosen >= 0 ? s.chosen : 0)) << step;
        EXPECT_EQ(ListView_GetBkColor(state.List(kSectionsTab)), s.dark ? dark.window : GetSysColor(COLOR_WINDOW)) << step;
        LOGBRUSH page{};
        GetObjectW(HGDIOBJ(SendMessageW(state.Page(kSectionsTab), WM_CTLCOLORDLG, 0, 0)), sizeof(page), &page);
        EXPECT_EQ(page.lbColor, s.dark ? dark.window : GetSysColor(COLOR_WINDOW)) << step;
        RECT tab{};
        TabCtrl_GetItemRect(tabs, 1, &tab);
        const std::vector<COLORREF> p = apptest::WindowPixels(tabs, {tab.left + 2, tab.top + 2, tab.right - 2, tab.bottom - 2});
        EXPECT_GT(std::count(p.begin(), p.end(), s.dark ? dark.face : GetSysColor(COLOR_BTNFACE)) * 2, static_cast<long>(p.size())) << step;
    }
    DestroyWindow(window);
}

// A change of density re-lays the open settings window where the system suggests, with its lists' images, fonts, margins
// and every page's controls (their heights; the lists' follow the page) at the new density, and back; a menu opened on
// another monitor's density makes its pictures again, for that one.
TEST(DensityChange, ReLaysTheWindowAndRemakesThePictures)
{
    menutest::Reset(g_TodayMenu), menutest::BuildDefaults(g_TodayMenu);
    HWND window = CreateDialogIndirectParamW(g_hInstance, platform::FindDialogTemplate(g_hInstance, IDD_SETTINGS), nullptr, SettingsDlgProc,
                                             reinterpret_cast<LPARAM>(&settingstest::Settings()));
    HWND list = CSettingsState::Of(window).List(kSectionsTab);
    const auto fontHeight = [&] { LOGFONTW f{}; GetObjectW(HGDIOBJ(SendMessageW(list, WM_GETFONT, 0, 0)), sizeof(f), &f); return std::abs(f.lfHeight); };
    const long at96 = fontHeight();
    std::map<HWND, int> heights;   // of the pages' controls but the lists
    for (const SettingsTab tab : {kSectionsTab, kDocumentsTab, kOptionsTab})
        for (HWND c = GetWindow(CSettingsState::Of(window).Page(tab), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            c != CSettingsState::Of(window).List(tab) ? heights[c] = GetChildRect(GetParent(c), c).height : 0;
    CItem& config = *g_TodayMenu.Root.Items[2];
    const struct { int dpi; RECT suggested; int icon, listLeft; bool larger; } rows[] = {
        {144, {10, 0, 250, 300}, 24, 8, true}, {96, {0, 0, 240, 300}, 16, 5, false}};
    for (const auto& r : rows) {
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(r.dpi, r.dpi), LPARAM(&r.suggested));
        RECT at{};
        GetWindowRect(window, &at);
        EXPECT_TRUE(EqualRect(&at, &r.suggested)) << r.dpi;
        int cx = 0, cy = 0;
        ImageList_GetIconSize(ListView_GetImageList(list, LVSIL_SMALL), &cx, &cy);
        EXPECT_EQ(std::make_pair(cx, cy), std::make_pair(r.icon, r.icon)) << r.dpi;
        EXPECT_EQ(GetChildRect(CSettingsState::Of(window).Page(kSectionsTab), list).x, r.listLeft) << r.dpi;
        EXPECT_EQ(fontHeight() * 96 / r.dpi, at96) << r.dpi;
        for (const auto& [control, was] : heights)
            EXPECT_TRUE(settingstest::GrownWith(r.dpi, was, GetChildRect(GetParent(control), control).height)) << r.dpi << ": " << GetDlgCtrlID(control);

        BuildImage(&config);
        const int before = config.Height;
        platform::PretendMonitorDensity(r.dpi), FollowMenuDensity({0, 0}), platform::PretendMonitorDensity(0);
        EXPECT_EQ(config.Image.get(), nullptr) << r.dpi;   // the handle, not what gtest would read behind it
        BuildImage(&config);
        EXPECT_EQ(config.Height > before, r.larger) << r.dpi;
    }
    DestroyWindow(window);
}

// The Properties, Add Section and Restore dialogs over a window in the dark look, before, after and back from a change
// of density: each placed where the system suggests, each control laid out at the new density (its edges grown with
// it, within what the font's rounding gives, and where they were once back), then on the palette's window colour with
// text in its text colour. Push buttons stay the system's, the icon the dialog's own.
TEST(DarkSettings, DialogsTakeThePaletteAndFollowADensityChange)
{
    platform::CTheme dark(ThemeChoice::Dark);
    HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr);
    platform::LendTheme(owner, &dark);
    platform::CIconCache icons;   // its looks held back: the file type's icon stands for the file throughout
    platform::media::slow::Hang(platform::media::Call::Icon);
    PropertiesDialogState properties{g_hInstance, {L"", L"C:\\windows\\notepad.exe", {}}, std::nullopt, &icons};
    std::wstring title;
    const std::vector<store::Backup> backups(2);
    // The Properties dialog fills the screen: it is suggested the size it has.
    const struct { int id; DLGPROC proc; LPARAM parameter; bool filling; } dialogs[] = {
        {IDD_PROPERTIES_PORTRAIT, PropertiesDlgProc, LPARAM(&properties), true}, {IDD_ADD_SECTION, AddSectionDlgProc, LPARAM(&title), false},
        {IDD_RESTORE, RestoreDlgProc, LPARAM(&backups), false}};
    const platform::Palette p = platform::PaletteOf(Look::Dark);
    const auto iconWidth = [&](HWND dialog) {   // of the Properties dialog's icon as it draws it, on the face colour
        const handles::window_dc screen(dialog);
        const handles::unique_hdc dc(CreateCompatibleDC(screen.get()));
        const handles::unique_hbitmap cell(CreateCompatibleBitmap(screen.get(), 40, 40));
        const handles::select_object into(dc.get(), cell.get());
        const DRAWITEMSTRUCT record{ODT_STATIC, IDC_PROP_ICON, 0, ODA_DRAWENTIRE, 0, GetDlgItem(dialog, IDC_PROP_ICON), dc.get(), {0, 0, 40, 40}};
        SendMessageW(dialog, WM_DRAWITEM, IDC_PROP_ICON, LPARAM(&record));
        int left = 40, right = 0;
        for (int x = 0; x < 40; ++x)
            for (int y = 0; y < 40; ++y)
                GetPixel(dc.get(), x, y) != p.face ? left = std::min(left, x), right = x + 1 : 0;
        return right - left;
    };
    for (const auto& d : dialogs) {
        HWND dialog = CreateDialogIndirectParamW(g_hInstance, platform::FindDialogTemplate(g_hInstance, d.id), owner, d.proc, d.parameter);
        ShowWindow(dialog, SW_SHOWNOACTIVATE);
        RECT frame{};
        GetWindowRect(dialog, &frame);
        std::map<HWND, PageRect> at96;
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            at96[c] = GetChildRect(dialog, c);
        const int iconAt96 = d.filling ? iconWidth(dialog) : 0;
        for (const int dpi : {144, 96}) {
            const int grown = d.filling ? 96 : dpi;
            const RECT suggested{frame.left, frame.top, frame.left + MulDiv(frame.right - frame.left, grown, 96), frame.top + MulDiv(frame.bottom - frame.top, grown, 96)};
            SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&suggested));
            RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            RECT at{};
            GetWindowRect(dialog, &at);
            EXPECT_TRUE(EqualRect(&at, &suggested)) << d.id << " at " << dpi;
            if (d.filling)   // its icon drawn at the density
                EXPECT_TRUE(settingstest::GrownWith(dpi, iconAt96, iconWidth(dialog))) << dpi;
            for (const auto& [control, before] : at96) {
                const PageRect now = GetChildRect(dialog, control);
                EXPECT_EQ(std::make_pair(settingstest::GrownWith(dpi, before.x + before.width, now.x + now.width),
                                         settingstest::GrownWith(dpi, before.y + before.height, now.y + now.height)),
                          std::make_pair(true, true)) << d.id << " at " << dpi << ": " << GetDlgCtrlID(control);
                const LONG style = GetWindowLongW(control, GWL_STYLE);
                wchar_t kind[16] = {};
                GetClassNameW(control, kind, 16);
                const bool button = !_wcsicmp(kind, L"Button") && (style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
                if (button || (style & SS_TYPEMASK) == SS_OWNERDRAW || dpi != 96)   // at 144 DPI it outgrows the screen
                    continue;
                RECT inside{};
                GetClientRect(control, &inside);
                const std::vector<COLORREF> pixels = apptest::WindowPixels(control, inside);
                const bool text = GetWindowTextLengthW(control) > 0 || !_wcsicmp(kind, L"ListBox");
                EXPECT_EQ(std::make_pair(std::count(pixels.begin(), pixels.end(), p.window) * 2 > long(pixels.size()),
                                         std::count(pixels.begin(), pixels.end(), p.windowText) > 0),
                          std::make_pair(true, text)) << d.id << " at " << dpi << ": " << GetDlgCtrlID(control);
            }
        }
        DestroyWindow(dialog);
    }
    platform::media::slow::Reset();
    DestroyWindow(owner);
}
