#include "app/ItemImage.h"

#include <shellapi.h>

#include <algorithm>

#include "app/Globals.h"
#include "app/ShellIconCache.h"
#include "menu/Item.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "res/resource.h"

namespace {

constexpr int kBuiltinIconSize = 12;

int SmallIconWidth() { return GetSystemMetrics(SM_CXSMICON); }
int SmallIconHeight() { return GetSystemMetrics(SM_CYSMICON); }
HBRUSH MenuBrush() { return platform::SysColorBrush(COLOR_MENU); }

CShellIconCache& ShellIcons()
{
    static CShellIconCache cache;
    return cache;
}

// The icon that a document shows, and whether the caller must destroy it.
CShellIconCache::Icon LoadItemIcon(const CItem& item)
{
    switch (item.ID) {
    case ID_CONFIGURATION_ENTRY:
        return {platform::LoadIconAtSize(g_hInstance, IDI_CONFIGURATION, kBuiltinIconSize, kBuiltinIconSize), true};
    case ID_EXIT_ENTRY:
        return {platform::LoadIconAtSize(g_hInstance, IDI_EXIT, kBuiltinIconSize, kBuiltinIconSize), true};
    default:
        return ShellIcons().SmallIcon(platform::ResolveDevicePath(item.Path));
    }
}

}  // namespace

bool HasBuiltinIcon(int id) { return id == ID_CONFIGURATION_ENTRY || id == ID_EXIT_ENTRY; }

ItemImageLayout ComputeItemImageLayout(SIZE captionSize, int cx, int cy, bool builtinIcon)
{
    ItemImageLayout layout;
    const int cell = cx + 4;
    layout.width = captionSize.cx + cell;
    layout.height = std::max<int>(captionSize.cy, cy + 4);
    const int iconWidth = builtinIcon ? kBuiltinIconSize : cx;
    const int iconHeight = builtinIcon ? kBuiltinIconSize : cy;
    // Centred in the top-left cell of (cx + 4) x (cy + 4), not in the whole height.
    const int x = (cx + 4 - iconWidth) / 2;
    const int y = (cy + 4 - iconHeight) / 2;
    layout.icon = {x, y, x + iconWidth, y + iconHeight};
    layout.caption = {cell, 0, layout.width, layout.height};
    return layout;
}

HBITMAP BuildImage(CItem* item)
{
    handles::window_dc screen(g_hMainWnd);
    if (!screen)
        return nullptr;
    handles::unique_hdc memory(CreateCompatibleDC(screen.get()));
    if (!memory)
        return nullptr;
    handles::select_object font(memory.get(), platform::MenuFont());

    SIZE captionSize{};
    GetTextExtentExPointW(memory.get(), item->Caption.c_str(), static_cast<int>(item->Caption.size()), 0,
                          nullptr, nullptr, &captionSize);
    const ItemImageLayout layout =
        ComputeItemImageLayout(captionSize, SmallIconWidth(), SmallIconHeight(), HasBuiltinIcon(item->ID));

    item->Image = CreateCompatibleBitmap(screen.get(), layout.width, layout.height);
    if (!item->Image)
        return nullptr;
    // The picture is drawn while selected in the memory context; the context goes before the picture is used.
    SelectObject(memory.get(), item->Image);

    RECT all{0, 0, layout.width, layout.height};
    FillRect(memory.get(), &all, MenuBrush());
    const CShellIconCache::Icon icon = LoadItemIcon(*item);
    if (icon.icon) {
        DrawIconEx(memory.get(), layout.icon.left, layout.icon.top, icon.icon, layout.icon.right - layout.icon.left,
                   layout.icon.bottom - layout.icon.top, 0, nullptr, DI_NORMAL);
        if (icon.owned)
            DestroyIcon(icon.icon);
    }
    SetBkMode(memory.get(), TRANSPARENT);
    SetTextColor(memory.get(), GetSysColor(COLOR_MENUTEXT));
    RECT caption = layout.caption;
    // A caption is shown as it is: "&" is no mnemonic mark.
    DrawTextW(memory.get(), item->Caption.c_str(), -1, &caption, DT_VCENTER | DT_NOPREFIX);

    item->Width = layout.width;
    item->Height = layout.height;
    return item->Image;
}

HICON GetSmallFileIcon(const wchar_t* path)
{
    const CShellIconCache::Icon icon = ShellIcons().SmallIcon(platform::ResolveDevicePath(path ? path : L""));
    return icon.owned || !icon.icon ? icon.icon : CopyIcon(icon.icon);
}

HBITMAP IconToBitmap(HWND window, HICON icon)
{
    handles::window_dc screen(window);
    if (!screen)
        return nullptr;
    handles::unique_hdc memory(CreateCompatibleDC(screen.get()));
    if (!memory)
        return nullptr;
    const int cx = SmallIconWidth(), cy = SmallIconHeight();
    HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), cx, cy);
    if (!bitmap)
        return nullptr;
    {
        handles::select_object selected(memory.get(), bitmap);
        RECT all{0, 0, cx, cy};
        FillRect(memory.get(), &all, MenuBrush());
        if (icon)
            DrawIconEx(memory.get(), 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
    }
    return bitmap;
}

void MeasureMenuItem(MEASUREITEMSTRUCT* record)
{
    const CItem* item = reinterpret_cast<const CItem*>(record->itemData);
    if (!item)
        return;
    record->CtlType = ODT_MENU;
    record->CtlID = 0;
    record->itemID = item->ID;
    record->itemWidth = item->Width;
    record->itemHeight = item->Height;
}

void DrawMenuItem(const DRAWITEMSTRUCT* record)
{
    const CItem* item = reinterpret_cast<const CItem*>(record->itemData);
    RECT area = record->rcItem;
    FillRect(record->hDC, &area, MenuBrush());
    if (!item || !item->Image)
        return;
    handles::unique_hdc memory(CreateCompatibleDC(record->hDC));
    if (!memory)
        return;
    handles::select_object selected(memory.get(), item->Image);
    BITMAP bitmap{};
    GetObjectW(item->Image, sizeof(bitmap), &bitmap);
    BitBlt(record->hDC, area.left, area.top, bitmap.bmWidth, bitmap.bmHeight, memory.get(), 0, 0, SRCCOPY);
}
