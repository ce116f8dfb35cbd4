#include "app/ItemImage.h"

#include <shellapi.h>

#include <algorithm>

#include "app/Globals.h"
#include "menu/Item.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/ShellIcons.h"
#include "res/resource.h"

namespace {

constexpr int kBuiltinIconSize = 12;

int SmallIconWidth() { return GetSystemMetrics(SM_CXSMICON); }
int SmallIconHeight() { return GetSystemMetrics(SM_CYSMICON); }
HBRUSH MenuBrush() { return platform::SysColorBrush(COLOR_MENU); }

// The icon that a document shows, and whether the caller must destroy it.
platform::SmallIcon LoadItemIcon(const CItem& item)
{
    switch (item.ID) {
    case ID_CONFIGURATION:
        return {platform::LoadIconAtSize(g_hInstance, IDI_CONFIGURATION, kBuiltinIconSize, kBuiltinIconSize), true};
    case ID_EXIT:
        return {platform::LoadIconAtSize(g_hInstance, IDI_EXIT, kBuiltinIconSize, kBuiltinIconSize), true};
    default:
        return platform::SmallFileIcon(platform::ResolveDevicePath(item.Path));
    }
}

}  // namespace

bool HasBuiltinIcon(int id) { return id == ID_CONFIGURATION || id == ID_EXIT; }

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

    item->Image.reset(CreateCompatibleBitmap(screen.get(), layout.width, layout.height));
    if (!item->Image)
        return nullptr;
    // The picture is drawn while selected in the memory context; the context goes before the picture is used.
    SelectObject(memory.get(), item->Image.get());

    RECT all{0, 0, layout.width, layout.height};
    FillRect(memory.get(), &all, MenuBrush());
    const platform::SmallIcon icon = LoadItemIcon(*item);
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
    return item->Image.get();
}

void MeasureMenuItem(MEASUREITEMSTRUCT* record)
{
    CItem* item = reinterpret_cast<CItem*>(record->itemData);
    if (!item)
        return;
    if (!item->Image)
        BuildImage(item);
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
    handles::select_object selected(memory.get(), item->Image.get());
    BITMAP bitmap{};
    GetObjectW(item->Image.get(), sizeof(bitmap), &bitmap);
    BitBlt(record->hDC, area.left, area.top, bitmap.bmWidth, bitmap.bmHeight, memory.get(), 0, 0, SRCCOPY);
}
