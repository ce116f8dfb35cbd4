// At twice the density (192 DPI, a VGA device or a desktop at 200%), pictures and layouts are twice their 96-DPI
// size. Skipped in the suite's 96-DPI prefix; the HighDensity test runs them in a 192-DPI prefix of their own.
#include <algorithm>

#include "SettingsTesting.h"
#include "app/AboutBox.h"
#include "app/ItemImage.h"
#include "platform/Shell.h"

TEST(HighDensity, DISABLED_PicturesAndPagesAreTwiceTheirSize)
{
    ASSERT_EQ(platform::ScreenDpi(), 192);
    CTodayMenu menu;
    menu.AppendDocumentWithID(L"Configuration", ID_CONFIGURATION, 0);
    CItem& config = *menu.Root.Items[0];
    BuildImage(&config);
    const ItemImageLayout at96 = ComputeItemImageLayout({0, 0}, 16, 16, true), here = ComputeItemImageLayout({0, 0}, 32, 32, true, 192);
    EXPECT_NEAR(config.Height, 2 * at96.height, 2);
    EXPECT_EQ(std::make_pair(here.icon.right - here.icon.left, here.icon.bottom - here.icon.top), std::make_pair(24L, 24L));
    // The built-in icon is its own 24x24 image, not the 12x12 one stretched: the same pixels as that image drawn there.
    handles::window_dc desktop(nullptr);
    handles::unique_hdc drawn(CreateCompatibleDC(desktop.get())), made(CreateCompatibleDC(desktop.get()));
    handles::unique_hbitmap cell(CreateCompatibleBitmap(desktop.get(), here.icon.right, here.icon.bottom));
    handles::unique_hicon own(platform::LoadIconAtSize(g_hInstance, IDI_CONFIGURATION, 24, 24));
    handles::select_object into(drawn.get(), cell.get()), from(made.get(), config.Image.get());
    const RECT whole{0, 0, here.icon.right, here.icon.bottom};
    FillRect(drawn.get(), &whole, GetSysColorBrush(COLOR_MENU));
    DrawIconEx(drawn.get(), here.icon.left, here.icon.top, own.get(), 24, 24, 0, nullptr, DI_NORMAL);
    int stretched = 0;
    for (int y = here.icon.top; y < here.icon.bottom; ++y)
        for (int x = here.icon.left; x < here.icon.right; ++x)
            stretched += GetPixel(drawn.get(), x, y) != GetPixel(made.get(), x, y);
    EXPECT_EQ(stretched, 0);

    // A page button draws its icon at 94x44, centred, as the icon's own 94x44 image.
    const int w = 120, h = 60;
    handles::window_dc screen(nullptr);
    handles::unique_hdc dc[2] = {handles::unique_hdc(CreateCompatibleDC(screen.get())), handles::unique_hdc(CreateCompatibleDC(screen.get()))};
    handles::unique_hbitmap bitmap[2] = {handles::unique_hbitmap(CreateCompatibleBitmap(screen.get(), w, h)),
                                         handles::unique_hbitmap(CreateCompatibleBitmap(screen.get(), w, h))};
    RECT all{0, 0, w, h};
    for (int i = 0; i < 2; ++i)
        SelectObject(dc[i].get(), bitmap[i].get()), FillRect(dc[i].get(), &all, GetSysColorBrush(COLOR_WINDOW));
    handles::unique_hicon icon(platform::LoadIconAtSize(g_hInstance, IDI_BTN_UP, 94, 44));
    DrawIconEx(dc[0].get(), (w - 94) / 2, (h - 44) / 2, icon.get(), 94, 44, 0, nullptr, DI_NORMAL);
    HWND button = CreateWindowExW(0, L"BUTTON", L"", BS_OWNERDRAW, 0, 0, w, h, nullptr, nullptr, g_hInstance, nullptr);
    DRAWITEMSTRUCT record{ODT_BUTTON, IDC_MOVE_UP, 0, ODA_DRAWENTIRE, 0, button, dc[1].get(), all, 0};
    DrawIconButton(&record, IDI_BTN_UP);
    DestroyWindow(button);
    int differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            differing += GetPixel(dc[0].get(), x, y) != GetPixel(dc[1].get(), x, y);
    EXPECT_EQ(differing, 0);

    // Every control of both pages stays inside its page.
    menutest::Reset(g_TodayMenu);
    menutest::BuildDefaults(g_TodayMenu);
    HWND window = CreateDialogIndirectParamW(g_hInstance, platform::FindDialogTemplate(g_hInstance, IDD_SETTINGS), nullptr,
                                             SettingsDlgProc, reinterpret_cast<LPARAM>(&settingstest::Settings()));
    for (HWND page : {CSettingsState::Of(window).Page(kSectionsTab), CSettingsState::Of(window).Page(kDocumentsTab)}) {
        RECT area{};
        GetClientRect(page, &area);
        for (HWND control = GetWindow(page, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            const PageRect r = GetChildRect(page, control);
            const bool box = GetDlgCtrlID(control) == IDC_SECTION_BOX;   // its window also holds its drop-down list
            EXPECT_EQ(std::make_tuple(r.x >= 0, r.y >= 0, r.x + r.width <= area.right, box || r.y + r.height <= area.bottom),
                      std::make_tuple(true, true, true, true)) << GetDlgCtrlID(control);
        }
    }
    DestroyWindow(window);
    EXPECT_EQ(settingstest::PropertiesOutside(2), L"");
}

// Pictures and pages follow the density itself, not its whole-number ratio to 96: 120 and 144 DPI are larger than 96.
TEST(Density, SizesFollowTheDensityNotItsWholeRatio)
{
    const struct { int dpi, builtinIcon, pictureWidth, listLeft; } rows[] = {{96, 12, 20, 5}, {120, 15, 21, 6}, {144, 18, 22, 8}, {192, 24, 24, 10}};
    for (const auto& row : rows) {
        const ItemImageLayout picture = ComputeItemImageLayout({0, 0}, 16, 16, true, row.dpi);
        EXPECT_EQ(picture.icon.right - picture.icon.left, row.builtinIcon) << row.dpi;
        EXPECT_EQ(picture.width, row.pictureWidth) << row.dpi;
        EXPECT_EQ(ComputePageLayout(200, 300, 0, {40, 30}, 1, row.dpi).list.x, row.listLeft) << row.dpi;
    }
}
