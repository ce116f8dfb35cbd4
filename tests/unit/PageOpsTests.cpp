// What both settings pages share: the layout rule, the icon buttons, the list filling with the
// selected-item rule, and the file picker.
#include <gtest/gtest.h>

#include "SettingsTests.h"
#include "platform/Handles.h"
#include "platform/Shell.h"

using namespace settingstest;

namespace {

bool Inside(const PageRect& r, int width, int height)
{
    return r.x >= 0 && r.y >= 0 && r.x + r.width <= width && r.y + r.height <= height;
}

bool Overlap(const PageRect& a, const PageRect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

TEST(PageLayout, OneColumnFollowsTheRule)
{
    // Six buttons from Top 5: gap (258 - 138) / 7 = 17, capped at 10.
    PageLayout tall = ComputePageLayout(240, 258, 5, SIZE{50, 23}, 6);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(tall.buttons[k].x, 180) << k;
        EXPECT_EQ(tall.buttons[k].y, 5 + k * 33) << k;
    }
    EXPECT_EQ((std::vector<int>{tall.list.x, tall.list.y, tall.list.width, tall.list.height}),
              (std::vector<int>{5, 5, 175, 238}));
    // Landscape: gap (178 - 138) / 7 = 5 by integer division.
    PageLayout wide = ComputePageLayout(320, 178, 5, SIZE{50, 23}, 6);
    EXPECT_EQ(wide.buttons[5].y, 5 + 5 * 28);
    EXPECT_EQ(wide.list.height, 168);
    // Four buttons below a 21-pixel section box: available 258 - 21 - 5 = 232.
    PageLayout docs = ComputePageLayout(240, 258, 31, SIZE{50, 23}, 4);
    EXPECT_EQ(docs.buttons[3].y, 31 + 3 * 33);
    EXPECT_EQ(docs.list.height, 212);
}

TEST(PageLayout, ShortPageUsesColumnsAndNothingEverLeavesThePage)
{
    // Room for four buttons a column: two columns 5 apart, right-aligned 10 pixels from the edge.
    PageLayout two = ComputePageLayout(320, 100, 5, SIZE{50, 23}, 6);
    EXPECT_EQ(two.buttons[0].x, 205);
    EXPECT_EQ(two.buttons[4].x, 260);
    EXPECT_EQ(two.buttons[4].y, 5);
    EXPECT_EQ(two.list.width, 200);

    for (int n : {4, 6}) {
        for (int height = 60; height <= 400; ++height) {
            PageLayout layout = ComputePageLayout(320, height, n == 4 ? 26 : 5, SIZE{50, 23}, n);
            EXPECT_TRUE(Inside(layout.list, 320, height)) << n << " buttons, height " << height;
            for (int k = 0; k < n; ++k) {
                EXPECT_TRUE(Inside(layout.buttons[k], 320, height)) << height << " button " << k;
                EXPECT_FALSE(Overlap(layout.buttons[k], layout.list)) << height << " button " << k;
                for (int j = 0; j < k; ++j)
                    EXPECT_FALSE(Overlap(layout.buttons[k], layout.buttons[j])) << height << " " << j << " " << k;
            }
        }
    }
}

TEST(IconButton, DrawsItsIconCentredAtItsOwnSizeAndInvertsWhenPressed)
{
    const int w = 61, h = 30;
    handles::window_dc screen(nullptr);
    handles::unique_hdc dc[3] = {handles::unique_hdc(CreateCompatibleDC(screen.get())),
                                 handles::unique_hdc(CreateCompatibleDC(screen.get())),
                                 handles::unique_hdc(CreateCompatibleDC(screen.get()))};
    handles::unique_hbitmap bitmap[3];
    for (int i = 0; i < 3; ++i) {
        bitmap[i].reset(CreateCompatibleBitmap(screen.get(), w, h));
        SelectObject(dc[i].get(), bitmap[i].get());
    }
    // Expected: the window colour with the 47 x 22 icon at ((61 - 47) / 2, (30 - 22) / 2).
    RECT all{0, 0, w, h};
    FillRect(dc[0].get(), &all, GetSysColorBrush(COLOR_WINDOW));
    handles::unique_hicon icon(platform::LoadIconAtSize(g_hInstance, IDI_BTN_UP, 47, 22));
    DrawIconEx(dc[0].get(), 7, 4, icon.get(), 47, 22, 0, nullptr, DI_NORMAL);

    DRAWITEMSTRUCT record{ODT_BUTTON, IDC_MOVE_UP, 0, ODA_DRAWENTIRE, 0, nullptr, dc[1].get(), all, 0};
    EXPECT_TRUE(DrawIconButton(&record, IDI_BTN_UP));
    record.hDC = dc[2].get();
    record.itemState = ODS_SELECTED;
    EXPECT_TRUE(DrawIconButton(&record, IDI_BTN_UP));

    int wrong = 0, notInverted = 0, iconPixels = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const COLORREF want = GetPixel(dc[0].get(), x, y);
            wrong += GetPixel(dc[1].get(), x, y) != want;
            notInverted += GetPixel(dc[2].get(), x, y) != (~want & 0xFFFFFF);
            iconPixels += want != GetSysColor(COLOR_WINDOW);
        }
    }
    EXPECT_GT(iconPixels, 50);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(notInverted, 0);
}

TEST(ItemList, FillsOneLevelWithIdsTextsAndImagesByLevelIndex)
{
    ResetTree();
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, g_hInstance, nullptr);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | LVS_SINGLESEL, 0, 0, 200, 200, parent,
                                nullptr, g_hInstance, nullptr);
    PrepareItemList(list, L"Items");
    HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
    FillItemList(list, 0, false);
    EXPECT_EQ(ListTexts(list), (std::vector<std::wstring>{L"My Documents", L"-----------------", L"Configuration", L"Exit"}));
    EXPECT_EQ(ListIds(list), (std::vector<int>{1, 4, 2, 3}));
    EXPECT_EQ(ImageList_GetImageCount(images), 4);

    // Documents only: the image index is the entry's index in its level.
    const int section = g_TodayMenu.AppendSection(std::wstring(300, L's'), 0);
    const int doc = g_TodayMenu.AppendDocument(L"C:\\windows\\win.ini", 0);
    FillItemList(list, 0, true);
    EXPECT_EQ(ListIds(list), (std::vector<int>{1, 2, 3, doc}));
    EXPECT_EQ(ListIds(list, true), (std::vector<int>{0, 2, 3, 5}));

    // The selected entry is found by its item data: list index 3 is the entry with id doc.
    EXPECT_FALSE(GetSelectedItem(list));
    Tap(list, 3);
    ASSERT_TRUE(GetSelectedItem(list));
    EXPECT_EQ(GetSelectedItem(list)->id, doc);

    // A long caption is cut in the list only; an empty level empties list and images; an id that
    // names no section leaves the list as it is.
    FillItemList(list, 0, false);
    EXPECT_EQ(ListTexts(list)[4], std::wstring(255, L's'));
    EXPECT_EQ(g_TodayMenu.Root.FindItem(section)->Caption.size(), 300u);
    EXPECT_FALSE(GetSelectedItem(list));
    FillItemList(list, 999, true);
    FillItemList(list, doc, true);
    EXPECT_EQ(ListView_GetItemCount(list), 6);
    FillItemList(list, section, true);
    EXPECT_EQ(ListView_GetItemCount(list), 0);
    EXPECT_EQ(ImageList_GetImageCount(images), 0);
    DestroyWindow(parent);
    ResetTree();
}

TEST(DocumentPicker, AsksForAnyFileTitledAddDocumentAndGivesItsFullPath)
{
    OPENFILENAMEW seen{};
    const std::wstring path = L"C:\\" + std::wstring(400, L'd') + L"\\report.txt";   // longer than MAX_PATH
    platform::SetOpenFileAnswer([&](OPENFILENAMEW& record) {
        seen = record;
        path.copy(record.lpstrFile, path.size());
        record.lpstrFile[path.size()] = L'\0';
        return true;
    });
    EXPECT_EQ(ChooseDocumentFile(g_hMainWnd).value_or(L""), path);
    EXPECT_EQ(seen.hwndOwner, g_hMainWnd);
    EXPECT_STREQ(seen.lpstrTitle, L"Add Document");
    EXPECT_EQ(std::wstring(seen.lpstrFilter, 9), std::wstring(L"All\0*.*\0\0", 9));
    EXPECT_EQ(seen.Flags, static_cast<DWORD>(OFN_PATHMUSTEXIST));
    EXPECT_GE(seen.nMaxFile, 32768u);

    platform::SetOpenFileAnswer([](OPENFILENAMEW&) { return false; });
    EXPECT_FALSE(ChooseDocumentFile(g_hMainWnd));
    platform::SetOpenFileAnswer({});
}

}  // namespace
