// Menu item pictures: the measure and draw handlers, the small shell icons, and icons that the disk gives late.
#include <algorithm>
#include <thread>
#include <vector>

#include "SettingsTesting.h"
#include "app/ItemImage.h"
#include "AppTesting.h"
#include "config/ItemList.h"
#include "config/Page.h"
#include "res/resource.h"
#include "platform/ContrastIcons.h"
#include "app/MainWindow.h"
#include "platform/Handles.h"
#include "platform/Media.h"
#include "platform/ShellIcons.h"
#include "menu/MenuMessages.h"
#include "res/resource.h"

#include <commctrl.h>

static std::vector<COLORREF> Pixels(HBITMAP bitmap, RECT area)
{
    handles::unique_hdc dc(CreateCompatibleDC(nullptr));
    handles::select_object selected(dc.get(), bitmap);
    std::vector<COLORREF> pixels;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            pixels.push_back(GetPixel(dc.get(), x, y));
    return pixels;
}

static int Drawn(const std::vector<COLORREF>& p) { return static_cast<int>(p.size() - std::count(p.begin(), p.end(), GetSysColor(COLOR_MENU))); }

// Pictures have the measured size; built-in entries show their own icon in its cell, a bare word none; drawn as made.
TEST(ItemImage, PicturesAreMeasuredAndDrawnAsMade)
{
    CTodayMenu menu;
    menu.AppendDocumentWithID(L"Configuration", ID_CONFIGURATION, 0);
    menutest::Build(menu, L"D:Configuration D:\\Folder\\ D:&&&&");
    for (const auto& item : menu.Root.Items)
        BuildImage(item.get());   // as when the menu is first shown
    ASSERT_EQ(menu.Root.Items.size(), 4u);
    // A bare word names no file: once the disk has said so, the picture made has no icon.
    ASSERT_TRUE(apptest::WaitFor(10000, [] { return g_Services.Icons().Known(L"Configuration"); }));
    BuildImage(menu.Root.Items[1].get());
    CItem& config = *menu.Root.Items[0];
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON), cell = (cx + 4 - 12) / 2;
    const RECT icon{cell, cell, cell + 12, cell + 12}, all{0, 0, config.Width, config.Height};
    BITMAP bitmap{};
    ASSERT_TRUE(GetObjectW(config.Image.get(), sizeof(bitmap), &bitmap));
    EXPECT_EQ(std::vector<int>({bitmap.bmWidth, bitmap.bmHeight, menu.Root.Items[2]->Width}), std::vector<int>({config.Width, config.Height, cx + 4}));
    EXPECT_GT(config.Width, cx + 4);
    EXPECT_GE(config.Height, cy + 4);
    EXPECT_GT(Drawn(Pixels(config.Image.get(), icon)), 20);
    EXPECT_EQ(Drawn(Pixels(config.Image.get(), {0, 0, cx + 4, cy + 4})), Drawn(Pixels(config.Image.get(), icon)));
    EXPECT_EQ(Drawn(Pixels(menu.Root.Items[1]->Image.get(), {0, 0, cx + 4, cy + 4})), 0);
    const CItem& marks = *menu.Root.Items[3];   // every "&" is drawn: the caption fills its whole width
    EXPECT_GT(Drawn(Pixels(marks.Image.get(), {(cx + 4 + marks.Width) / 2 + 1, 0, marks.Width, marks.Height})), 0);

    MEASUREITEMSTRUCT measure{99, 7, 0, 0, 0, ItemDataOf(&config)};
    MeasureMenuItem(&measure);
    EXPECT_EQ(std::vector<UINT>({measure.CtlType, measure.CtlID, measure.itemID, measure.itemWidth, measure.itemHeight}),
              std::vector<UINT>({ODT_MENU, 0, ID_CONFIGURATION, UINT(config.Width), UINT(config.Height)}));
    handles::unique_hdc dc(CreateCompatibleDC(nullptr));
    handles::window_dc screen(g_hMainWnd);
    handles::unique_hbitmap target(CreateCompatibleBitmap(screen.get(), config.Width + 20, config.Height + 10));
    config.Image.reset();   // sized but not made, as a live folder's entry is until it is first drawn
    for (UINT state : {0u, UINT(ODS_SELECTED)}) {
        {
            handles::select_object selected(dc.get(), target.get());
            PatBlt(dc.get(), 0, 0, config.Width + 20, config.Height + 10, BLACKNESS);
            DRAWITEMSTRUCT draw{ODT_MENU, 0, 0, ODA_DRAWENTIRE, state, nullptr, dc.get(), {5, 3, 15 + config.Width, 3 + config.Height},
                                ItemDataOf(&config)};
            DrawMenuItem(&draw);
        }
        ASSERT_NE(config.Image.get(), nullptr) << "made when first drawn";
        // A plain entry is its picture on the menu colour; the selected one shows its caption on the highlight.
        const std::vector<COLORREF> item = Pixels(target.get(), {5, 3, 5 + config.Width, 3 + config.Height}),
                                    rest = Pixels(target.get(), {5 + config.Width, 3, 15 + config.Width, 3 + config.Height});
        const COLORREF back = GetSysColor(state ? COLOR_HIGHLIGHT : COLOR_MENU);
        if (state) {
            EXPECT_GT(std::count(item.begin(), item.end(), GetSysColor(COLOR_HIGHLIGHTTEXT)), 10);
            EXPECT_GT(std::count(item.begin(), item.end(), back), static_cast<int>(item.size()) / 2);
        } else {
            EXPECT_EQ(item, Pixels(config.Image.get(), all));
        }
        EXPECT_EQ(std::count(rest.begin(), rest.end(), back), static_cast<int>(rest.size())) << state;
        EXPECT_EQ(Pixels(target.get(), {0, 0, 5, 3}), std::vector<COLORREF>(15, RGB(0, 0, 0)));
    }
}

// A focused page button shows a focus rectangle inside its edge. Under a high-contrast scheme a built-in entry, plain or
// selected, and a button, plain or pressed and focused, show only the scheme's two colours for them, the icon drawn in
// the text colour.
TEST(ItemImage, FocusMarksAndHighContrast)
{
    CTodayMenu menu;
    menu.AppendDocumentWithID(L"Configuration", ID_CONFIGURATION, 0);
    CItem& config = *menu.Root.Items[0];
    const int w = 80, h = 30, cell = (GetSystemMetrics(SM_CXSMICON) + 4 - 12) / 2;   // the built-in icon's place in the item
    handles::window_dc screen(g_hMainWnd);
    handles::unique_hbitmap target(CreateCompatibleBitmap(screen.get(), w, h));
    handles::unique_hdc dc(CreateCompatibleDC(nullptr));
    const auto draw = [&](UINT type, UINT state, RECT area) {
        {
            handles::select_object selected(dc.get(), target.get());
            DRAWITEMSTRUCT record{type, 0, 0, ODA_DRAWENTIRE, state, g_hMainWnd, dc.get(), {0, 0, w, h}, ItemDataOf(&config)};
            type == ODT_MENU ? DrawMenuItem(&record) : void(DrawIconButton(&record, IDI_BTN_DELETE));
        }
        return Pixels(target.get(), area);
    };
    const std::vector<COLORREF> plain = draw(ODT_BUTTON, 0, {0, 0, w, h}), focused = draw(ODT_BUTTON, ODS_FOCUS, {0, 0, w, h});
    int ring = 0, elsewhere = 0;
    for (int i = 0; i < w * h; ++i) {
        const int x = i % w, y = i / w, inside = x >= 2 && y >= 2 && x < w - 2 && y < h - 2;
        (inside && (x == 2 || y == 2 || x == w - 3 || y == h - 3) ? ring : elsewhere) += plain[i] != focused[i];
    }
    EXPECT_EQ(std::make_pair(ring > w, elsewhere), std::make_pair(true, 0));

    const apptest::HighContrastScheme scheme({{COLOR_MENU, RGB(0, 0, 0)}, {COLOR_MENUTEXT, RGB(255, 255, 255)}, {COLOR_HIGHLIGHT, RGB(26, 235, 255)},
                                              {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)}, {COLOR_BTNFACE, RGB(0, 0, 0)}, {COLOR_BTNTEXT, RGB(255, 255, 0)}});
    const struct { UINT type, state; int back, ink; RECT icon; int outline; } cases[] = {
        {ODT_MENU, 0, COLOR_MENU, COLOR_MENUTEXT, {cell, cell, cell + 12, cell + 12}, 50},
        {ODT_MENU, ODS_SELECTED, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, {cell, cell, cell + 12, cell + 12}, 50},
        {ODT_BUTTON, 0, COLOR_BTNFACE, COLOR_BTNTEXT, {0, 0, w, h}, 80},
        {ODT_BUTTON, ODS_SELECTED | ODS_FOCUS, COLOR_BTNTEXT, COLOR_BTNFACE, {0, 0, w, h}, 150}};
    for (const auto& c : cases) {
        const std::vector<COLORREF> all = draw(c.type, c.state, {0, 0, w, h}), icon = draw(c.type, c.state, c.icon);
        const auto count = [](const std::vector<COLORREF>& p, int colour) { return std::count(p.begin(), p.end(), GetSysColor(colour)); };
        EXPECT_EQ(count(all, c.back) + count(all, c.ink), w * h) << &c - cases;   // nothing but the scheme's two colours
        EXPECT_GT(count(icon, c.ink), c.outline) << &c - cases;
    }
    // An icon's outline is inked even where the icon is light: a white 4x4 square shows as its 12 edge pixels alone.
    const BYTE mask[16] = {0xFF, 0, 0xFF, 0, 0xC3, 0, 0xC3, 0, 0xC3, 0, 0xC3, 0, 0xFF, 0, 0xFF}, square[16] = {0, 0, 0, 0, 0x3C, 0, 0x3C, 0, 0x3C, 0, 0x3C};
    handles::unique_hicon icon(CreateIcon(nullptr, 8, 8, 1, 1, mask, square));
    {
        handles::select_object selected(dc.get(), target.get());
        PatBlt(dc.get(), 0, 0, 8, 8, BLACKNESS), platform::DrawIconInk(dc.get(), 0, 0, icon.get(), 8, 8, RGB(255, 0, 0));
    }
    const std::vector<COLORREF> inked = Pixels(target.get(), {0, 0, 8, 8});
    EXPECT_EQ(std::count(inked.begin(), inked.end(), RGB(255, 0, 0)), 12);
    EXPECT_EQ(std::count(inked.begin(), inked.end(), RGB(0, 0, 0)), 52);
}

// Shell icons of folders, the documents folder and files, none for a missing file; each caller owns its own, drawn small.
TEST(ItemImage, SmallIconsComeFromTheShell)
{
    wchar_t windows[MAX_PATH] = {}, temp[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH), GetTempPathW(MAX_PATH, temp);
    const std::wstring a = std::wstring(temp) + L"icon a.txt", b = std::wstring(temp) + L"icon b.TXT";
    for (const std::wstring& file : {a, b})
        CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (const std::wstring& path : {std::wstring(windows), std::wstring(L"\\My Documents"), a, std::wstring(L"C:\\missing\\file.xyz"),
                                     std::wstring(L"\\My Documents\\missing file.qqq")})
        EXPECT_EQ(platform::GetSmallFileIcon(path).get() != nullptr, path.find(L"missing") == std::wstring::npos) << path;
    handles::unique_hicon first = platform::GetSmallFileIcon(a), second = platform::GetSmallFileIcon(b);
    SHFILEINFOW info{};
    SHGetFileInfoW(b.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON);
    handles::unique_hicon shell(info.hIcon);
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    ASSERT_TRUE(shell);
    EXPECT_NE(first.get(), second.get());
    const RECT small{0, 0, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
    handles::unique_hbitmap mine = platform::IconToBitmap(g_hMainWnd, second.get()), theirs = platform::IconToBitmap(g_hMainWnd, shell.get());
    handles::unique_hbitmap plain = platform::IconToBitmap(g_hMainWnd, nullptr);
    BITMAP size{};
    ASSERT_TRUE(mine);
    ASSERT_TRUE(plain);
    ASSERT_TRUE(GetObjectW(mine.get(), sizeof(size), &size));
    EXPECT_EQ(std::make_pair(size.bmWidth, size.bmHeight), std::make_pair(small.right, small.bottom));
    EXPECT_EQ(Pixels(mine.get(), small), Pixels(theirs.get(), small));
    EXPECT_GT(Drawn(Pixels(mine.get(), small)), 0);
    EXPECT_EQ(Drawn(Pixels(plain.get(), small)), 0);
}


// A rename and a change of path measure the entry again, so that a longer caption is not clipped.
TEST(ItemImage, ChangesMeasureTheEntryAgain)
{
    CTodayMenu menu;
    const std::wstring longer = L"C:\\a caption much longer than the first.txt";
    const std::function<void(int)> changes[] = {[&](int id) { menu.RenameEntry(id, CaptionFromPath(longer)); },
                                                [&](int id) { menu.ChangeDocument(id, longer, {}); }};
    MEASUREITEMSTRUCT fresh{ODT_MENU, 0, 0, 0, 0, ItemDataOf(menu.Root.FindItem(menu.AppendDocument(longer, 0)))};
    MeasureMenuItem(&fresh);
    for (const auto& change : changes) {
        CItem& item = *menu.Root.FindItem(menu.AppendDocument(L"C:\\a.txt", 0));
        BuildImage(&item);   // as when the menu was first shown
        change(item.ID);
        MEASUREITEMSTRUCT measured{ODT_MENU, 0, 0, 0, 0, ItemDataOf(&item)};
        MeasureMenuItem(&measured);
        EXPECT_EQ(measured.itemWidth, fresh.itemWidth) << &change - changes;
    }
}

// The program's icon cache holds at most its number of icons, the least recently shown going first, and so stays within
// a fixed budget of the process's GDI and USER objects; the files of a type share its icon; a "no picture" answer is
// looked at again once it has expired, so that a file that comes back shows its icon; a closed menu's looks that have
// not started leave the queue.
TEST(IconCache, StaysBoundedAndLooksAgain)
{
    using platform::CIconCache;
    CIconCache& icons = g_Services.Icons();
    wchar_t temp[MAX_PATH] = {};
    const std::wstring folder = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"icons-" + std::to_wstring(GetTickCount());
    const auto path = [&](size_t i) { return folder + L"\\" + std::to_wstring(i) + L".ico"; };
    CreateDirectoryW(folder.c_str(), nullptr);
    const DWORD before = apptest::GuiObjects();
    for (size_t shown = 0; shown < 2 * CIconCache::kMostIcons; shown += 32) {   // shown 32 at a time, each batch looked at
        for (size_t i = shown; i < shown + 32; ++i)
            apptest::MakeIconFile(path(i)), icons.Icon(path(i), false);
        ASSERT_TRUE(apptest::WaitFor(10000, [&] { return icons.Known(path(shown)) && icons.Known(path(shown + 31)); })) << shown;
    }
    EXPECT_EQ(icons.Holds().icons, CIconCache::kMostIcons);
    EXPECT_FALSE(icons.Known(path(0)));
    EXPECT_TRUE(icons.Known(path(2 * CIconCache::kMostIcons - 1)));
    EXPECT_LE(apptest::GuiObjects(), before + 4 * (CIconCache::kMostIcons + CIconCache::kMostTypes));
    EXPECT_EQ(icons.Icon(folder + L"\\a.qqq", false).icon, icons.Icon(folder + L"\\b.qqq", false).icon);

    const std::wstring back = folder + L"\\back.ico";
    ASSERT_TRUE(apptest::WaitFor(10000, [&] { return icons.Icon(back, false).answer; }));
    EXPECT_EQ(icons.Icon(back, false).icon, nullptr);
    apptest::MakeIconFile(back);
    EXPECT_TRUE(apptest::WaitFor(10000, [&] { return icons.Icon(back, false).icon; }));

    platform::media::slow::Hang(platform::media::Call::Attributes);
    CTodayMenu menu(&g_Services);
    for (int i = 0; i < 6; ++i)
        menu.AppendDocument(folder + L"\\new " + std::to_wstring(i) + L".txt", 0);
    BuildImages(menu.Root);   // as the menu is drawn: two looks run, hung, and four wait
    menumsg::OnUninitMenuPopup(menu, WPARAM(menu.GetRootMenu()));
    EXPECT_EQ(icons.Workers().Waiting(), 0);
}

// The program's main window, where the icons found by workers come back; the looks at the disk hang until the seam is
// reset (Hung), or go at the disk's own pace (Off).
struct SlowDisk : testing::TestWithParam<bool> {
    const bool hung = GetParam();
    HWND window = (RegisterMainWindowClass(g_hInstance, L"TabulaIcons"),
                   CreateWindowExW(0, L"TabulaIcons", L"", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr));
    wchar_t temp[MAX_PATH] = {};
    const std::wstring folder = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"slow-" + std::to_wstring(GetTickCount());
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    // A call of the GUI thread that waited on the hung disk would stop the test for good: the seam lets go after 20 s,
    // and the test fails.
    handles::unique_kernel_object ended{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::thread rescue;
    bool rescued = false;
    void SetUp() override
    {
        CreateDirectoryW(folder.c_str(), nullptr), menutest::Reset(g_TodayMenu);
        if (hung)
            platform::media::slow::Hang(platform::media::Call::Attributes),
                rescue = std::thread([this] { (rescued = WaitForSingleObject(ended.get(), 20000) == WAIT_TIMEOUT) ? platform::media::slow::Reset() : void(); });
    }
    void TearDown() override
    {
        SetEvent(ended.get()), rescue.joinable() ? rescue.join() : void();
        EXPECT_FALSE(rescued) << "the GUI thread waited on the disk";
        menutest::Reset(g_TodayMenu), DestroyWindow(window);
    }
    // Tracks the menu until check, run in the menu's loop, holds; then closes it. False when check never held.
    bool Track(HMENU menu, const std::function<bool()>& check)
    {
        apptest::Watch watch([&] { return check() && EndMenu(); });
        SetForegroundWindow(window), TrackPopupMenuEx(menu, TPM_LEFTALIGN, 10, 10, window, nullptr);
        return watch.done();
    }
    // Each entry's picture made; with the disk's answer (not its type's icon alone) when answered.
    bool Made(const CItemVector& list, bool answered)
    { return std::all_of(list.Items.begin(), list.Items.end(), [&](const auto& item) { return item->Image && (item->ImageAnswer || !answered); }); }
    // An entry's icon as its picture shows it, and an icon drawn as the pictures draw it.
    std::vector<COLORREF> Icon(const CItem& item) { return Pixels(item.Image.get(), {2, 2, 2 + cx, 2 + cy}); }
    std::vector<COLORREF> Icon(HICON icon) { return Pixels(platform::IconToBitmap(g_hMainWnd, icon).get(), {0, 0, cx, cy}); }
};
INSTANTIATE_TEST_SUITE_P(Seam, SlowDisk, testing::Bool(), [](const auto& seam) { return seam.param ? "Hung" : "Off"; });

// A menu shows its pictures at once, with the icons of their types while the disk is slow (a folder's for a path that
// ends like one); the files' own arrive while it is open and take their place: none for a file that is not there.
TEST_P(SlowDisk, IconsArriveWhileTheMenuIsOpen)
{
    const std::wstring there = folder + L"\\there.txt", gone = folder + L"\\gone.txt", inside = folder + L"\\";
    CloseHandle(CreateFileW(there.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (const std::wstring& path : {there, gone, inside})
        g_TodayMenu.AppendDocument(path, 0);
    const auto& items = g_TodayMenu.Root.Items;
    std::vector<std::vector<COLORREF>> first, last;
    ASSERT_TRUE(Track(g_TodayMenu.GetRootMenu(), [&] {
        if (first.empty() && Made(g_TodayMenu.Root, false)) {
            for (const auto& item : items)
                first.push_back(Icon(*item));
            platform::media::slow::Reset();
        }
        if (first.empty() || !Made(g_TodayMenu.Root, true))
            return false;
        for (const auto& item : items)
            last.push_back(Icon(*item));
        return true;
    }));
    const handles::unique_hicon text = platform::TypeIcon(L".txt", false), plain = platform::TypeIcon(L"", true);
    ASSERT_EQ(last.size(), 3u);
    if (hung) {
        EXPECT_EQ(first, (std::vector<std::vector<COLORREF>>{Icon(text.get()), Icon(text.get()), Icon(plain.get())}));
    }
    EXPECT_EQ(last, (std::vector<std::vector<COLORREF>>{Icon(text.get()), Icon(nullptr), Icon(plain.get())}));
}

// While no look at the disk ends, the settings window opens, a section's menu shows the types' icons, and Exit ends
// at once, the whole tree stored.
TEST_P(SlowDisk, ExitStoresTheTreeWithoutWaiting)
{
    storetest::ClearStore(), menutest::BuildDefaults(g_TodayMenu);
    menutest::Build(g_TodayMenu, L"S:Slow[D:" + folder + L"\\a.txt D:" + folder + L"\\b.exe]");
    DestroyWindow(CreateDialogIndirectParamW(g_hInstance, platform::FindDialogTemplate(g_hInstance, IDD_SETTINGS), nullptr,
                                             SettingsDlgProc, reinterpret_cast<LPARAM>(&settingstest::Settings())));
    const CItemVector& slow = *g_TodayMenu.Root.Items[4]->Children;
    ASSERT_TRUE(Track(slow.Menu.get(), [&] { return Made(slow, false); }));
    for (const auto& item : slow.Items) {
        EXPECT_FALSE(hung && item->ImageFinal) << item->Path;
        EXPECT_EQ(Drawn(Icon(*item)) > 0, !item->ImageAnswer) << item->Path;   // a type's icon, or none for no file
    }
    platform::SetMessageAnswer([](auto...) { return IDNO; });
    const DWORD start = GetTickCount();
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(ID_EXIT, 0), 0);
    EXPECT_LT(GetTickCount() - start, 10000u);
    EXPECT_EQ(storetest::StoredText(), menutest::Describe(g_TodayMenu.Root));
    platform::SetMessageAnswer({});
}

// Icons that come after their entry went, or after their menu closed, change nothing until the next opening, which
// shows them at once; an entry of a path looked at before needs no look.
TEST_P(SlowDisk, LateIconsShowAtTheNextOpening)
{
    const std::wstring gone = folder + L"\\gone.txt", kept = folder + L"\\kept.txt";
    const int goneId = g_TodayMenu.AppendDocument(gone, 0);
    g_TodayMenu.AppendDocument(kept, 0);
    std::set<std::wstring> told;
    const int listener = g_Services.Icons().Listen([&](const std::set<std::wstring>& paths) { told.insert(paths.begin(), paths.end()); });
    // Closed once the looks have started: one still waiting would leave the queue with the menu.
    ASSERT_TRUE(Track(g_TodayMenu.GetRootMenu(), [&] { return Made(g_TodayMenu.Root, false) && !g_Services.Icons().Workers().Waiting(); }));
    g_TodayMenu.RemoveEntry(goneId);
    platform::media::slow::Reset();
    EXPECT_TRUE(apptest::WaitFor(10000, [&] { return told.size() == 2; }));
    g_Services.Icons().Forget(listener);
    CItem& item = *g_TodayMenu.Root.Items[0];
    EXPECT_FALSE(hung && item.ImageFinal);
    SendMessageW(window, WM_INITMENUPOPUP, WPARAM(g_TodayMenu.GetRootMenu()), 0);
    EXPECT_FALSE(hung && item.Image);
    ASSERT_TRUE(Track(g_TodayMenu.GetRootMenu(), [&] { return Made(g_TodayMenu.Root, true); }));
    EXPECT_EQ(Icon(item), Icon(nullptr));
    g_TodayMenu.AppendDocument(gone, 0);
    CItem& again = *g_TodayMenu.Root.Items[1];
    BuildImage(&again);
    EXPECT_TRUE(again.ImageAnswer);
    // The file comes back: an opening of its menu after the "no picture" answer expired looks again and shows its icon.
    CloseHandle(CreateFileW(gone.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_TRUE(apptest::WaitFor(10000, [&] {
        return SendMessageW(window, WM_INITMENUPOPUP, WPARAM(g_TodayMenu.GetRootMenu()), 0), BuildImages(g_TodayMenu.Root), Drawn(Icon(again)) > 0;
    }));
}

// A document's own icon ("Icon") is read by a worker: while the disk hangs, the menu, a settings list and the Properties
// dialog show at once; then the menu and the list show the own icon, or the file's where the icon's file holds none.
TEST_P(SlowDisk, OwnIconsNeverWaitForTheDisk)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring file = L"C:\\windows\\win.ini", icons[] = {self + std::wstring(L",-") + std::to_wstring(IDI_APP), file + L",0", L""};
    if (hung)
        platform::media::slow::Hang(platform::media::Call::Icon);
    for (const std::wstring& icon : icons)
        g_TodayMenu.ChangeDocument(g_TodayMenu.AppendDocument(file, 0), file, {{}, {}, {}, {}, icon.empty() ? std::nullopt : std::optional(icon)});
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", LVS_REPORT, 0, 0, 99, 99, nullptr, nullptr, g_hInstance, nullptr);
    PrepareItemList(list, L"");
    FillItemList(list, g_TodayMenu, 0, false);
    apptest::Watch dialog([] { const HWND shown = apptest::FindDialog(L"Properties"); return shown && UpdateWindow(shown) && (apptest::Click(shown, IDCANCEL), true); });
    AskDocumentProperties(nullptr, g_hInstance, DocumentEditOf(*g_TodayMenu.Root.Items[0]), &g_Services.Icons());
    EXPECT_TRUE(dialog.done());
    const handles::unique_hicon own(static_cast<HICON>(LoadImageW(g_hInstance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, cx, cy, 0)));
    const handles::unique_hicon plain = platform::TypeIcon(L".ini", false);   // the file's, its type's
    std::vector<COLORREF> first;
    ASSERT_TRUE(Track(g_TodayMenu.GetRootMenu(), [&] {
        first = first.empty() && Made(g_TodayMenu.Root, false) ? Icon(*g_TodayMenu.Root.Items[0]) : first;
        return !first.empty() && (platform::media::slow::Reset(), Made(g_TodayMenu.Root, true));
    }));
    EXPECT_EQ(first, hung ? Icon(plain.get()) : first);   // the file's icon while its own is not read
    FillItemList(list, g_TodayMenu, 0, false);
    std::vector<COLORREF> listed[3];   // the list draws the plain icon's soft edges on its own: compared among themselves
    for (int i = 0; i < 3; ++i) {
        handles::window_dc screen(g_hMainWnd);
        handles::unique_hbitmap shown(CreateCompatibleBitmap(screen.get(), cx, cy));
        {
            handles::unique_hdc dc(CreateCompatibleDC(screen.get()));
            handles::select_object selected(dc.get(), shown.get());
            const RECT all{0, 0, cx, cy};
            FillRect(dc.get(), &all, GetSysColorBrush(COLOR_MENU));   // under what the list's images leave transparent
            ImageList_Draw(ListView_GetImageList(list, LVSIL_SMALL), i, dc.get(), 0, 0, ILD_NORMAL);
        }
        listed[i] = Pixels(shown.get(), {0, 0, cx, cy});
    }
    EXPECT_EQ(listed[0], Icon(own.get()));
    EXPECT_EQ(listed[1], listed[2]);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Icon(*g_TodayMenu.Root.Items[i]), Icon(i ? plain.get() : own.get())) << i;
    DestroyWindow(list);
}
