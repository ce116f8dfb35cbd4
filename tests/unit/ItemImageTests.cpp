// Menu item pictures: their layout, the measure and draw handlers, and the small-icon helpers.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "app/ItemImage.h"
#include "menu/Item.h"
#include "platform/Handles.h"

namespace {

bool Same(const RECT& r, int left, int top, int right, int bottom)
{
    return r.left == left && r.top == top && r.right == right && r.bottom == bottom;
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    return {info.bmWidth, info.bmHeight};
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y)
{
    handles::unique_hdc dc(CreateCompatibleDC(nullptr));
    handles::select_object selected(dc.get(), bitmap);
    return GetPixel(dc.get(), x, y);
}

TEST(ItemImageLayout, PlacesIconInTheTopCellAndCaptionBesideIt)
{
    const ItemImageLayout shell = ComputeItemImageLayout({40, 13}, 16, 16, false);
    EXPECT_EQ(shell.width, 60);
    EXPECT_EQ(shell.height, 20);
    EXPECT_TRUE(Same(shell.icon, 2, 2, 18, 18));
    EXPECT_TRUE(Same(shell.caption, 20, 0, 60, 20));

    const ItemImageLayout builtin = ComputeItemImageLayout({40, 13}, 16, 16, true);
    EXPECT_TRUE(Same(builtin.icon, 4, 4, 16, 16));
    EXPECT_EQ(builtin.width, 60);

    // A tall caption sets the height; the icon stays in the top cell.
    const ItemImageLayout tall = ComputeItemImageLayout({10, 31}, 16, 16, false);
    EXPECT_EQ(tall.height, 31);
    EXPECT_TRUE(Same(tall.icon, 2, 2, 18, 18));
    EXPECT_TRUE(Same(tall.caption, 20, 0, 30, 31));

    // Odd differences round down.
    const ItemImageLayout odd = ComputeItemImageLayout({0, 0}, 17, 15, true);
    EXPECT_EQ(odd.icon.left, 4);
    EXPECT_EQ(odd.icon.top, 3);
    EXPECT_EQ(odd.width, 21);
    EXPECT_EQ(odd.height, 19);
}

TEST(ItemImage, DocumentPictureHasTheMeasuredSize)
{
    CItemVector list;
    CItem* doc = list.AddItem(L"\\Windows\\notepad.exe", ITEM_DOCUMENT, 5);
    ASSERT_NE(doc->Image, nullptr);
    const SIZE size = BitmapSize(doc->Image);
    EXPECT_EQ(size.cx, doc->Width);
    EXPECT_EQ(size.cy, doc->Height);
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    EXPECT_GT(doc->Width, cx + 4) << "the caption takes room right of the icon cell";
    EXPECT_GE(doc->Height, cy + 4);

    CItem* empty = list.AddItem(L"\\Folder\\", ITEM_DOCUMENT, 6);
    EXPECT_EQ(empty->Width, cx + 4) << "an empty caption leaves the icon cell alone";
}

TEST(ItemImage, BuiltinEntriesShowTheirOwnIconsWhateverTheirPath)
{
    CItemVector list;
    CItem* config = list.AddItem(L"Configuration", ITEM_DOCUMENT, ID_CONFIGURATION_ENTRY);
    CItem* plain = list.AddItem(L"Configuration", ITEM_DOCUMENT, 7);
    const COLORREF menu = GetSysColor(COLOR_MENU);
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    int drawn = 0, plainDrawn = 0;
    // The built-in icon keeps inside its 12x12 square at (cx+4-12)/2.
    const int off = (cx + 4 - 12) / 2;
    for (int y = 0; y < cy + 4; ++y)
        for (int x = 0; x < cx + 4; ++x) {
            drawn += PixelOf(config->Image, x, y) != menu;
            plainDrawn += PixelOf(plain->Image, x, y) != menu;
            if (x < off || y < off || x >= off + 12 || y >= off + 12)
                EXPECT_EQ(PixelOf(config->Image, x, y), menu) << x << "," << y;
        }
    EXPECT_GT(drawn, 20) << "the 12x12 icon is drawn in the cell";
    EXPECT_EQ(plainDrawn, 0) << "no shell icon exists for a bare word";
}

TEST(MenuItemHandlers, MeasureReportsTheEntryAndDrawCopiesItsPicture)
{
    CItemVector list;
    CItem* doc = list.AddItem(L"Exit", ITEM_DOCUMENT, ID_EXIT_ENTRY);

    MEASUREITEMSTRUCT measure{};
    measure.CtlType = 99;
    measure.CtlID = 7;
    measure.itemData = reinterpret_cast<ULONG_PTR>(doc);
    MeasureMenuItem(&measure);
    EXPECT_EQ(measure.CtlType, static_cast<UINT>(ODT_MENU));
    EXPECT_EQ(measure.CtlID, 0u);
    EXPECT_EQ(measure.itemID, static_cast<UINT>(ID_EXIT_ENTRY));
    EXPECT_EQ(measure.itemWidth, static_cast<UINT>(doc->Width));
    EXPECT_EQ(measure.itemHeight, static_cast<UINT>(doc->Height));

    // Draw into a larger target at an offset; the highlighted state changes nothing.
    handles::window_dc screen(g_hMainWnd);
    handles::unique_hbitmap target(CreateCompatibleBitmap(screen.get(), doc->Width + 20, doc->Height + 10));
    handles::unique_hdc dc(CreateCompatibleDC(screen.get()));
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
        {
            handles::select_object selected(dc.get(), target.get());
            RECT all{0, 0, doc->Width + 20, doc->Height + 10};
            FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            DRAWITEMSTRUCT draw{};
            draw.CtlType = ODT_MENU;
            draw.itemState = state;
            draw.hDC = dc.get();
            draw.rcItem = {5, 3, 5 + doc->Width + 10, 3 + doc->Height};
            draw.itemData = reinterpret_cast<ULONG_PTR>(doc);
            DrawMenuItem(&draw);
        }
        for (int y = 0; y < doc->Height; y += 3)
            for (int x = 0; x < doc->Width; x += 3)
                ASSERT_EQ(PixelOf(target.get(), x + 5, y + 3), PixelOf(doc->Image, x, y)) << x << "," << y;
        EXPECT_EQ(PixelOf(target.get(), 5 + doc->Width + 5, 3), GetSysColor(COLOR_MENU)) << "rest of the item filled";
        EXPECT_EQ(PixelOf(target.get(), 2, 1), RGB(0, 0, 0)) << "nothing drawn outside the item";
    }
}

std::vector<COLORREF> PixelsOf(HICON icon)
{
    handles::unique_hbitmap bitmap(IconToBitmap(g_hMainWnd, icon));
    std::vector<COLORREF> pixels;
    for (int y = 0; y < GetSystemMetrics(SM_CYSMICON); ++y)
        for (int x = 0; x < GetSystemMetrics(SM_CXSMICON); ++x)
            pixels.push_back(PixelOf(bitmap.get(), x, y));
    return pixels;
}

TEST(SmallIcons, ShellIconsOfFoldersAndFilesBecomeSmallBitmaps)
{
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    handles::unique_hicon icon(GetSmallFileIcon(windows));
    ASSERT_NE(icon.get(), nullptr);
    EXPECT_EQ(GetSmallFileIcon(L"C:\\no\\such\\file.xyz"), nullptr);
    // The device's documents folder shows the real folder's icon.
    EXPECT_NE(handles::unique_hicon(GetSmallFileIcon(L"\\My Documents")).get(), nullptr);
    EXPECT_EQ(handles::unique_hicon(GetSmallFileIcon(L"\\My Documents\\no such file.qqq")).get(), nullptr);

    handles::unique_hbitmap bitmap(IconToBitmap(g_hMainWnd, icon.get()));
    ASSERT_NE(bitmap.get(), nullptr);
    const SIZE size = BitmapSize(bitmap.get());
    EXPECT_EQ(size.cx, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(size.cy, GetSystemMetrics(SM_CYSMICON));

    handles::unique_hbitmap plain(IconToBitmap(g_hMainWnd, nullptr));
    ASSERT_NE(plain.get(), nullptr);
    EXPECT_EQ(PixelOf(plain.get(), 3, 3), GetSysColor(COLOR_MENU));

    // Files of one type show the shell's icon of that type, each caller owning its own icon.
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring a = std::wstring(temp) + L"icon a.txt", b = std::wstring(temp) + L"icon b.TXT";
    for (const std::wstring& file : {a, b})
        CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    handles::unique_hicon first(GetSmallFileIcon(a.c_str()));
    handles::unique_hicon second(GetSmallFileIcon(b.c_str()));
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), second.get());
    SHFILEINFOW info{};
    SHGetFileInfoW(b.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON);
    handles::unique_hicon shell(info.hIcon);
    EXPECT_EQ(PixelsOf(second.get()), PixelsOf(shell.get()));
}

}  // namespace
