#include "app/ItemImage.h"

#include <algorithm>

#include "app/Globals.h"
#include "menu/Item.h"
#include "menu/MenuItem.h"
#include "platform/ContrastIcons.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/ShellIcons.h"
#include "res/resource.h"

namespace {

constexpr int kBuiltinIconSize = 12;   // at 96 DPI
constexpr int kCellPadding = 4;        // around the small icon, at 96 DPI

int SmallIconWidth() { return GetSystemMetrics(SM_CXSMICON); }
int SmallIconHeight() { return GetSystemMetrics(SM_CYSMICON); }

// The icon that a document shows, and whether the caller must destroy it.
platform::SmallIcon LoadItemIcon(const CItem& item)
{
    const int builtin = platform::Scaled(kBuiltinIconSize);
    switch (item.ID) {
    case ID_CONFIGURATION: return {platform::LoadIconAtSize(g_hInstance, IDI_CONFIGURATION, builtin, builtin), true};
    case ID_EXIT: return {platform::LoadIconAtSize(g_hInstance, IDI_EXIT, builtin, builtin), true};
    default:
        // An icon of the user's choice, unless its file holds none there.
        if (item.Properties.Icon)
            if (handles::unique_hicon own = platform::SmallIconAt(*item.Properties.Icon))
                return {own.release(), true};
        // A sub-folder of a folder shown as contents (it has no list of the tree).
        if (item.ShowContents && !item.Parent)
            return platform::SmallFolderIcon(item.Path);
        return platform::SmallFileIcon(platform::ResolveDevicePath(item.Path));
    }
}

ItemImageLayout LayoutOf(HDC dc, const CItem& item)
{
    SIZE captionSize{};
    GetTextExtentExPointW(dc, item.Caption.c_str(), static_cast<int>(item.Caption.size()), 0, nullptr, nullptr,
                          &captionSize);
    return ComputeItemImageLayout(captionSize, SmallIconWidth(), SmallIconHeight(), HasBuiltinIcon(item.ID),
                                  platform::ScreenDpi());
}

// The entry's icon and caption at (x, y) on dc, on a background of the colour given and with text of the other.
void PaintItem(HDC dc, int x, int y, const CItem& item, const ItemImageLayout& layout, int background, int text)
{
    RECT all{x, y, x + layout.width, y + layout.height};
    FillRect(dc, &all, platform::SysColorBrush(background));
    const platform::SmallIcon icon = LoadItemIcon(item);
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
        layout = LayoutOf(memory.get(), *item);
    }
    item->Image.reset(CreateCompatibleBitmap(screen.get(), layout.width, layout.height));
    if (!item->Image)
        return nullptr;
    handles::select_object picture(memory.get(), item->Image.get());
    PaintItem(memory.get(), 0, 0, *item, layout, COLOR_MENU, COLOR_MENUTEXT);
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
    handles::window_dc screen(g_hMainWnd);
    handles::unique_hdc memory(screen ? CreateCompatibleDC(screen.get()) : nullptr);
    if (!memory)
        return;
    handles::select_object font(memory.get(), platform::MenuFont());
    for (CItem* item : items) {
        const ItemImageLayout layout = LayoutOf(memory.get(), *item);
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
