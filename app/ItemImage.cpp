#include "app/ItemImage.h"

#include <algorithm>
#include <cwchar>
#include <utility>

#include "app/Globals.h"
#include "menu/FolderMenu.h"
#include "menu/Item.h"
#include "menu/MenuItem.h"
#include "platform/ContrastIcons.h"
#include "menu/MenuOwner.h"
#include "menu/MenuServices.h"
#include "menu/TodayMenu.h"
#include "platform/Handles.h"
#include "platform/IconCache.h"
#include "platform/Shell.h"
#include "platform/ShellIcons.h"
#include "res/resource.h"

namespace {

constexpr int kBuiltinIconSize = 12;   // at 96 DPI
constexpr int kCellPadding = 4;        // around the small icon, at 96 DPI

int SmallIconWidth() { return GetSystemMetrics(SM_CXSMICON); }
int SmallIconHeight() { return GetSystemMetrics(SM_CYSMICON); }

// The icon that a document shows, whether the caller must destroy it, whether it is final and the icon cache's answer
// it shows: a built-in icon, or what the cache says of the path and of an icon of the user's choice; until the disk has
// said, the icon of its type, found without the disk.
struct ItemIcon {
    HICON icon = nullptr;
    bool owned = false;
    bool final = true;
    unsigned long long answer = 0;
};

// A document shown as its folder's contents, or a sub-folder of such a folder, is a folder.
platform::CIconCache::Shown CachedIcon(const CItem& item)
{
    return g_Services.Icons().Icon(item.Path, item.ShowContents, item.Properties.Icon.value_or(L""));
}

ItemIcon LoadItemIcon(const CItem& item)
{
    const int builtin = platform::Scaled(kBuiltinIconSize);
    switch (item.ID) {
    case ID_CONFIGURATION: return {platform::LoadIconAtSize(g_hInstance, IDI_CONFIGURATION, builtin, builtin), true};
    case ID_EXIT: return {platform::LoadIconAtSize(g_hInstance, IDI_EXIT, builtin, builtin), true};
    default: {
        const platform::CIconCache::Shown shown = CachedIcon(item);
        return {shown.icon, false, shown.final, shown.answer};
    }
    }
}

ItemImageLayout LayoutOf(HDC dc, const CItem& item, int dpi = platform::ScreenDpi())
{
    SIZE captionSize{};
    GetTextExtentExPointW(dc, item.Caption.c_str(), static_cast<int>(item.Caption.size()), 0, nullptr, nullptr,
                          &captionSize);
    return ComputeItemImageLayout(captionSize, SmallIconWidth(), SmallIconHeight(), HasBuiltinIcon(item.ID), dpi);
}

// The entry's icon and caption at (x, y) on dc, on a background of the colour given and with text of the other; the
// icon drawn (no longer to be drawn: it may be gone).
ItemIcon PaintItem(HDC dc, int x, int y, const CItem& item, const ItemImageLayout& layout, int background, int text)
{
    RECT all{x, y, x + layout.width, y + layout.height};
    FillRect(dc, &all, platform::SysColorBrush(background));
    const ItemIcon icon = LoadItemIcon(item);
    if (icon.icon) {
        const int iconX = x + layout.icon.left, iconY = y + layout.icon.top;
        const int iconWidth = layout.icon.right - layout.icon.left, iconHeight = layout.icon.bottom - layout.icon.top;
        // The program's own icons are drawn in the text colour of a high-contrast scheme, the shell's as they are.
        if (HasBuiltinIcon(item.ID) && platform::HighContrast())
            platform::DrawIconInk(dc, iconX, iconY, icon.icon, iconWidth, iconHeight, GetSysColor(text));
        else
            DrawIconEx(dc, iconX, iconY, icon.icon, iconWidth, iconHeight, 0, nullptr, DI_NORMAL);
        if (icon.owned)
            DestroyIcon(icon.icon);
    }
    handles::select_object font(dc, platform::MenuFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(text));
    RECT caption = layout.caption;
    OffsetRect(&caption, x, y);
    // A caption is shown as it is: "&" is no mnemonic mark.
    DrawTextW(dc, item.Caption.c_str(), -1, &caption, DT_VCENTER | DT_NOPREFIX);
    return icon;
}

// The menu windows on the screen of this thread, and the menus they show.
std::vector<std::pair<HWND, HMENU>> ShownMenus()
{
    std::vector<std::pair<HWND, HMENU>> shown;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND window, LPARAM list) {
        wchar_t name[8] = {};
        if (IsWindowVisible(window) && GetClassNameW(window, name, 8) && wcscmp(name, L"#32768") == 0)
            reinterpret_cast<std::vector<std::pair<HWND, HMENU>>*>(list)->emplace_back(
                window, reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0)));
        return TRUE;
    }, reinterpret_cast<LPARAM>(&shown));
    return shown;
}

}  // namespace

bool HasBuiltinIcon(int id) { return id == ID_CONFIGURATION || id == ID_EXIT; }

ItemImageLayout ComputeItemImageLayout(SIZE captionSize, int cx, int cy, bool builtinIcon, int dpi)
{
    ItemImageLayout layout;
    const int padding = MulDiv(kCellPadding, dpi, 96), builtin = MulDiv(kBuiltinIconSize, dpi, 96);
    const int cell = cx + padding;
    layout.width = captionSize.cx + cell;
    layout.height = std::max<int>(captionSize.cy, cy + padding);
    const int iconWidth = builtinIcon ? builtin : cx;
    const int iconHeight = builtinIcon ? builtin : cy;
    // Centred in the top-left cell of (cx + padding) x (cy + padding), not in the whole height.
    const int x = (cx + padding - iconWidth) / 2;
    const int y = (cy + padding - iconHeight) / 2;
    layout.icon = {x, y, x + iconWidth, y + iconHeight};
    layout.caption = {cell, 0, layout.width, layout.height};
    return layout;
}

HBITMAP BuildImage(CItem* item)
{
    handles::window_dc screen(g_hMainWnd);
    handles::unique_hdc memory(screen ? CreateCompatibleDC(screen.get()) : nullptr);
    if (!memory)
        return nullptr;
    ItemImageLayout layout;
    {
        handles::select_object font(memory.get(), platform::MenuFont());
        layout = LayoutOf(memory.get(), *item, GetDeviceCaps(screen.get(), LOGPIXELSY));
    }
    item->Image.reset(CreateCompatibleBitmap(screen.get(), layout.width, layout.height));
    if (!item->Image)
        return nullptr;
    handles::select_object picture(memory.get(), item->Image.get());
    const ItemIcon drawn = PaintItem(memory.get(), 0, 0, *item, layout, COLOR_MENU, COLOR_MENUTEXT);
    item->ImageFinal = drawn.final;
    item->ImageAnswer = drawn.answer;
    item->Width = layout.width;
    item->Height = layout.height;
    return item->Image.get();
}

void BuildImages(const CItemVector& list)
{
    for (const auto& item : list.Items)
        if (item->Type == ITEM_DOCUMENT && !item->Image)
            BuildImage(item.get());
}

void PrepareImages(const CItemVector& list)
{
    std::vector<CItem*> unsized;
    for (const auto& item : list.Items) {
        if (item->Type != ITEM_DOCUMENT)
            continue;
        // The same size, with what the disk said since; an answer that expired is asked for again.
        if (item->Image && !item->ImageFinal && CachedIcon(*item).answer != item->ImageAnswer)
            item->Image.reset();
        if (!item->Width)
            unsized.push_back(item.get());
    }
    MeasureImages(unsized);
}

void RefreshImages(const std::set<std::wstring>& paths)
{
    for (const auto& [window, menu] : ShownMenus()) {
        // Only the menus of the tree and of its live folders carry entries as their items' data.
        if (!MenuOwnerAs<CItemVector>(menu) && !MenuOwnerAs<CFolderMenu>(menu))
            continue;
        bool changed = false;
        for (int pos = 0; pos < GetMenuItemCount(menu); ++pos) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE | MIIM_DATA;
            CItem* item = GetMenuItemInfoW(menu, pos, TRUE, &info) && (info.fType & MFT_OWNERDRAW)
                              ? EntryOfItemData(info.dwItemData)
                              : nullptr;
            const bool told = item && (paths.count(item->Path) || (item->Properties.Icon && paths.count(*item->Properties.Icon)));
            if (told && item->Image && !item->ImageFinal) {
                item->Image.reset();   // made again as it is drawn
                changed = true;
            }
        }
        if (changed)
            InvalidateRect(window, nullptr, TRUE);
    }
}

void DropImages(CItemVector& list)
{
    for (const auto& item : list.Items) {
        item->Image.reset();
        item->Width = item->Height = 0;
        if (item->IsSection())
            DropImages(*item->Children);
    }
}

void MeasureImages(const std::vector<CItem*>& items)
{
    if (items.empty())
        return;
    handles::window_dc screen(g_hMainWnd);
    handles::unique_hdc memory(screen ? CreateCompatibleDC(screen.get()) : nullptr);
    if (!memory)
        return;
    handles::select_object font(memory.get(), platform::MenuFont());
    const int dpi = platform::ScreenDpi();   // once for them all
    for (CItem* item : items) {
        const ItemImageLayout layout = LayoutOf(memory.get(), *item, dpi);
        item->Width = layout.width;
        item->Height = layout.height;
    }
}

void MeasureMenuItem(MEASUREITEMSTRUCT* record)
{
    CItem* item = EntryOfItemData(record->itemData);
    if (!item)
        return;
    if (!item->Image && !item->Width)
        BuildImage(item);
    record->CtlType = ODT_MENU;
    record->CtlID = 0;
    record->itemID = item->ID;
    record->itemWidth = item->Width;
    record->itemHeight = item->Height;
}

void DrawMenuItem(const DRAWITEMSTRUCT* record)
{
    CItem* item = EntryOfItemData(record->itemData);
    const RECT& area = record->rcItem;
    const bool selected = record->itemState & ODS_SELECTED;
    // The entry under the keys' or the pointer's selection shows the highlight, across the whole item.
    FillRect(record->hDC, &area, platform::SysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (item && !item->Image)
        BuildImage(item);
    if (!item || !item->Image)
        return;
    if (selected) {
        handles::unique_hdc measure(CreateCompatibleDC(record->hDC));
        handles::select_object font(measure.get(), platform::MenuFont());
        PaintItem(record->hDC, area.left, area.top, *item, LayoutOf(measure.get(), *item), COLOR_HIGHLIGHT,
                  COLOR_HIGHLIGHTTEXT);
        return;
    }
    handles::unique_hdc memory(CreateCompatibleDC(record->hDC));
    if (!memory)
        return;
    handles::select_object picture(memory.get(), item->Image.get());
    BITMAP bitmap{};
    GetObjectW(item->Image.get(), sizeof(bitmap), &bitmap);
    BitBlt(record->hDC, area.left, area.top, bitmap.bmWidth, bitmap.bmHeight, memory.get(), 0, 0, SRCCOPY);
}
