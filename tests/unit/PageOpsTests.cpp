// What both settings pages share: the layout rule, the icon buttons, the list filling, the selected
// item and the file picker.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingsTests.h"
#include "config/PageOps.h"
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
    // Sections page: 6 buttons from the top edge 5. Gap (258 - 138) / 7 = 17, capped at 10.
    PageLayout tall = ComputePageLayout(240, 258, 5, SIZE{50, 23}, 6);
    ASSERT_EQ(tall.buttons.size(), 6u);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(tall.buttons[k].x, 240 - 50 - 10) << k;
        EXPECT_EQ(tall.buttons[k].y, 5 + k * (23 + 10)) << k;
        EXPECT_EQ(tall.buttons[k].width, 50);
        EXPECT_EQ(tall.buttons[k].height, 23);
    }
    EXPECT_EQ(tall.list.x, 5);
    EXPECT_EQ(tall.list.y, 5);
    EXPECT_EQ(tall.list.width, 240 - 50 - 15);
    EXPECT_EQ(tall.list.height, 258 - 2 * 10);

    // Landscape: available 178, gap (178 - 138) / 7 = 5 by integer division.
    PageLayout wide = ComputePageLayout(320, 178, 5, SIZE{50, 23}, 6);
    EXPECT_EQ(wide.buttons[5].y, 5 + 5 * 28);
    EXPECT_EQ(wide.buttons[5].x, 260);
    EXPECT_EQ(wide.list.height, 178 - 10);
    EXPECT_EQ(wide.list.width, 255);

    // Documents page: 4 buttons below a section box of 21 pixels, available 258 - 21 - 5 = 232.
    PageLayout docs = ComputePageLayout(240, 258, 31, SIZE{50, 23}, 4);
    EXPECT_EQ(docs.buttons[0].y, 31);
    EXPECT_EQ(docs.buttons[3].y, 31 + 3 * 33);
    EXPECT_EQ(docs.list.y, 31);
    EXPECT_EQ(docs.list.height, 232 - 20);
}

TEST(PageLayout, ShortPageSpreadsButtonsOverColumnsAndKeepsTheListInside)
{
    // Room for 4 buttons a column: two columns, right-aligned 10 pixels from the edge, 5 apart.
    PageLayout layout = ComputePageLayout(320, 100, 5, SIZE{50, 23}, 6);
    ASSERT_EQ(layout.buttons.size(), 6u);
    EXPECT_EQ(layout.buttons[0].x, 320 - 10 - 105);
    EXPECT_EQ(layout.buttons[3].x, 320 - 10 - 105);
    EXPECT_EQ(layout.buttons[4].x, 320 - 10 - 50);
    EXPECT_EQ(layout.buttons[4].y, 5);
    EXPECT_EQ(layout.buttons[5].y, layout.buttons[1].y);
    EXPECT_EQ(layout.list.width, 320 - 105 - 15);
    for (const PageRect& button : layout.buttons)
        EXPECT_TRUE(Inside(button, 320, 100));
    EXPECT_TRUE(Inside(layout.list, 320, 100));
}

TEST(PageLayout, NothingLeavesThePageOrOverlapsAtAnyHeight)
{
    for (int buttons : {4, 6}) {
        for (int height = 60; height <= 400; ++height) {
            const int top = buttons == 4 ? 26 : 5;
            PageLayout layout = ComputePageLayout(320, height, top, SIZE{50, 23}, buttons);
            ASSERT_EQ(static_cast<int>(layout.buttons.size()), buttons);
            EXPECT_TRUE(Inside(layout.list, 320, height)) << buttons << " buttons, height " << height;
            for (int k = 0; k < buttons; ++k) {
                const PageRect& b = layout.buttons[k];
                EXPECT_TRUE(Inside(b, 320, height)) << buttons << " buttons, height " << height << ", button " << k;
                EXPECT_FALSE(Overlap(b, layout.list)) << height << " " << k;
                for (int j = 0; j < k; ++j)
                    EXPECT_FALSE(Overlap(b, layout.buttons[j])) << height << " " << j << " " << k;
            }
        }
    }
}

// A memory context with a bitmap of the screen's format, for drawing tests.
struct Canvas {
    handles::window_dc screen{nullptr};
    handles::unique_hdc dc{CreateCompatibleDC(screen.get())};
    handles::unique_hbitmap bitmap;
    HGDIOBJ old = nullptr;
    Canvas(int w, int h) : bitmap(CreateCompatibleBitmap(screen.get(), w, h)) { old = SelectObject(dc.get(), bitmap.get()); }
    ~Canvas() { SelectObject(dc.get(), old); }
};

TEST(IconButton, DrawsItsIconCentredAtItsOwnSizeAndInvertsWhenPressed)
{
    const int w = 61, h = 30;
    Canvas drawn(w, h), expected(w, h), pressed(w, h);

    // What the button must look like: the window colour with the 47 x 22 icon at ((61-47)/2, (30-22)/2).
    RECT all{0, 0, w, h};
    FillRect(expected.dc.get(), &all, GetSysColorBrush(COLOR_WINDOW));
    handles::unique_hicon icon(platform::LoadIconAtSize(g_hInstance, IDI_BTN_UP, 47, 22));
    ASSERT_TRUE(icon);
    DrawIconEx(expected.dc.get(), 7, 4, icon.get(), 47, 22, 0, nullptr, DI_NORMAL);

    DRAWITEMSTRUCT record{};
    record.CtlType = ODT_BUTTON;
    record.rcItem = all;
    record.hDC = drawn.dc.get();
    EXPECT_TRUE(DrawIconButton(&record, IDI_BTN_UP));
    record.hDC = pressed.dc.get();
    record.itemState = ODS_SELECTED;
    EXPECT_TRUE(DrawIconButton(&record, IDI_BTN_UP));

    int differing = 0, notInverted = 0, iconPixels = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const COLORREF want = GetPixel(expected.dc.get(), x, y);
            differing += GetPixel(drawn.dc.get(), x, y) != want;
            notInverted += GetPixel(pressed.dc.get(), x, y) != (~want & 0xFFFFFF);
            iconPixels += want != GetSysColor(COLOR_WINDOW);
        }
    }
    EXPECT_GT(iconPixels, 50);   // the icon really shows
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(notInverted, 0);
}

// A report-view list like the pages' lists, in a hidden window.
class ItemListTest : public ::testing::Test {
protected:
    HWND parent = nullptr;
    HWND list = nullptr;

    void SetUp() override
    {
        testtree::Reset(g_TodayMenu);
        parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, g_hInstance, nullptr);
        list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, 0,
                               200, 200, parent, nullptr, g_hInstance, nullptr);
        PrepareItemList(list, L"Items");
    }
    void TearDown() override
    {
        DestroyWindow(parent);
        ResetTree();
    }
    HIMAGELIST Images() const { return ListView_GetImageList(list, LVSIL_SMALL); }
    int ImageOf(int index) const
    {
        LVITEMW record{};
        record.mask = LVIF_IMAGE;
        record.iItem = index;
        SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record));
        return record.iImage;
    }
};

TEST_F(ItemListTest, ShowsEveryEntryWithItsIdAndSeparatorsAsDashes)
{
    ResetTree();
    FillItemList(list, 0, false);
    EXPECT_EQ(ListTexts(list), (std::vector<std::wstring>{L"My Documents", L"-----------------", L"Configuration", L"Exit"}));
    EXPECT_EQ(ListIds(list), (std::vector<int>{1, 4, 2, 3}));
    EXPECT_EQ(ImageList_GetImageCount(Images()), 4);
    EXPECT_TRUE(SelectedIndices(list).empty());

    // A second fill replaces the items instead of adding to them.
    g_TodayMenu.AppendSeparator(0);
    FillItemList(list, 0, false);
    EXPECT_EQ(ListIds(list), (std::vector<int>{1, 4, 2, 3, 5}));
}

TEST_F(ItemListTest, DocumentsOnlyUseTheirIndexInTheLevelAsImage)
{
    const int section = g_TodayMenu.AppendSection(L"S", 0);
    g_TodayMenu.AppendSeparator(0);
    const int doc = g_TodayMenu.AppendDocument(L"C:\\windows\\notepad.exe", 0);
    FillItemList(list, 0, true);
    ASSERT_EQ(ListIds(list), (std::vector<int>{doc}));
    EXPECT_EQ(ImageOf(0), 2);
    EXPECT_EQ(ImageList_GetImageCount(Images()), 3);

    // The section's own list is empty: no items, no images.
    FillItemList(list, section, true);
    EXPECT_EQ(ListView_GetItemCount(list), 0);
    EXPECT_EQ(ImageList_GetImageCount(Images()), 0);
}

TEST_F(ItemListTest, UnknownSectionOrADocumentIdLeavesTheListAsItIs)
{
    const int doc = g_TodayMenu.AppendDocument(L"C:\\a.txt", 0);
    FillItemList(list, 0, false);
    FillItemList(list, 999, false);
    FillItemList(list, doc, false);
    EXPECT_EQ(ListIds(list), (std::vector<int>{doc}));
}

TEST_F(ItemListTest, LongCaptionIsCutInTheListOnly)
{
    const std::wstring title(300, L'x');
    const int section = g_TodayMenu.AppendSection(title, 0);
    FillItemList(list, 0, false);
    ASSERT_EQ(ListView_GetItemCount(list), 1);
    EXPECT_EQ(ListTexts(list)[0], title.substr(0, 255));
    EXPECT_EQ(g_TodayMenu.Root.FindItem(section)->Caption, title);
}

TEST_F(ItemListTest, SelectedItemIsFoundByItsIdNotItsPosition)
{
    g_TodayMenu.AppendSeparator(0);
    const int a = g_TodayMenu.AppendDocument(L"C:\\a.txt", 0);
    const int b = g_TodayMenu.AppendDocument(L"C:\\b.txt", 0);
    FillItemList(list, 0, true);
    EXPECT_FALSE(GetSelectedItem(list).has_value());

    Tap(list, 1);
    auto selected = GetSelectedItem(list);
    ASSERT_TRUE(selected.has_value());
    EXPECT_EQ(selected->index, 1);
    EXPECT_EQ(selected->id, b);   // b sits at position 2 of the level
    EXPECT_NE(a, b);

    // Rebuilding the list drops the selection.
    FillItemList(list, 0, true);
    EXPECT_FALSE(GetSelectedItem(list).has_value());
}

TEST(DocumentPicker, AsksForAnyFileTitledAddDocumentAndGivesItsFullPath)
{
    HWND owner = g_hMainWnd;
    OPENFILENAMEW seen{};
    std::wstring filter;
    platform::SetOpenFileAnswer([&](OPENFILENAMEW& record) {
        seen = record;
        for (const wchar_t* p = record.lpstrFilter; *p; p += wcslen(p) + 1)
            filter += std::wstring(p) + L'|';
        const std::wstring path = L"C:\\" + std::wstring(400, L'd') + L"\\report.txt";   // longer than MAX_PATH
        path.copy(record.lpstrFile, path.size());
        record.lpstrFile[path.size()] = L'\0';
        return true;
    });
    auto path = ChooseDocumentFile(owner);
    platform::SetOpenFileAnswer([](OPENFILENAMEW&) { return false; });
    auto cancelled = ChooseDocumentFile(owner);
    platform::SetOpenFileAnswer({});

    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(*path, L"C:\\" + std::wstring(400, L'd') + L"\\report.txt");
    EXPECT_FALSE(cancelled.has_value());
    EXPECT_EQ(seen.hwndOwner, owner);
    EXPECT_STREQ(seen.lpstrTitle, L"Add Document");
    EXPECT_EQ(filter, L"All|*.*|");
    EXPECT_EQ(seen.Flags, static_cast<DWORD>(OFN_PATHMUSTEXIST));
    EXPECT_EQ(seen.nFilterIndex, 0u);
    EXPECT_GE(seen.nMaxFile, 32768u);
}

}  // namespace
