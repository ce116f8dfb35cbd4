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
#include "menu/RecentMenu.h"
#include "menu/TodayMenu.h"
#include "platform/Handles.h"
#include "platform/IconCache.h"
#include "platform/Shell.h"
#include "platform/ShellIcons.h"
#include "platform/Theme.h"
#include "res/resource.h"

namespace {

constexpr int kBuiltinIconSize = 12;   // at 96 DPI
constexpr int kCellPadding = 4;        // around the small icon, at 96 DPI
constexpr int kSeparatorHeight = 7;    // a drawn separator's row, at 96 DPI
constexpr int kArrowRoom = 16;         // a drawn section's sub-menu arrow, at 96 DPI

int Density() { return g_TodayMenu.Density(); }

// The menu's colours: the dark look's own, or the system's read now (a high-contrast scheme's among them).
platform::Palette MenuColours()
{
    return g_Theme.Dark() ? g_Theme.Colours() : platform::PaletteOf(platform::Look::Light);
}

void Fill(HDC dc, const RECT& area, COLORREF colour)
{
    SetDCBrushColor(dc, colour);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// The icon that a document shows, whether the caller must destroy it, whether it is final and the icon cache's answer
// it shows: a built-in icon, or what the cache says of the path and of an icon of the user's choice; until the disk has
// said, the icon of its type, found without the disk.
struct ItemIcon {
    HICON icon = nullptr;
    bool owned = false;
    bool final = true;
    unsigned long long answer = 0;
};

// A document's icon from the cache: its own icon of the user's choice ("file,index") or its path's; a document shown as
// its folder's contents, or a sub-folder of such a folder, is a folder.
platform::CIconCache::Shown CachedIcon(const DocumentLook& look)
{
    return g_Services.Icons().Icon(look.path, look.folder, look.icon.value_or(L""));
}

ItemIcon LoadDocumentIcon(const DocumentLook& look)
{
    const int builtin = MulDiv(kBuiltinIconSize, Density(), 96);
    switch (look.id) {
    case ID_CONFIGURATION: return {platform::LoadIconAtSize(g_hInstance, IDI_CONFIGURATION, builtin, builtin), true};
    case ID_EXIT: return {platform::LoadIconAtSize(g_hInstance, IDI_EXIT, builtin, builtin), true};
    default: {
        const platform::CIconCache::Shown shown = CachedIcon(look);
        return {shown.icon, false, shown.final, shown.answer};
    }
    }
}

ItemIcon LoadItemIcon(const CItem& item)
{
    return LoadDocumentIcon({item.ID, item.Path, item.Properties.Icon, item.ShowContents});
}

// Draws an icon of the document in the cell at (x, y) of the size given: the program's own icons in the text colour
// of a high-contrast scheme, and outlined in the light text of the dark look, so that their dark strokes keep their
// contrast; the shell's as they are. Whether the icon drawn is final.
bool DrawIconIn(HDC dc, int x, int y, int width, int height, const ItemIcon& icon, int id, COLORREF ink)
{
    if (!icon.icon)
        return icon.final;
    if (HasBuiltinIcon(id) && (platform::HighContrast() || g_Theme.Dark()))
        platform::DrawIconInk(dc, x, y, icon.icon, width, height, ink);
    else
        DrawIconEx(dc, x, y, icon.icon, width, height, 0, nullptr, DI_NORMAL);
    if (icon.owned)
        DestroyIcon(icon.icon);
    return icon.final;
}

ItemImageLayout LayoutOf(HDC dc, const CItem& item, int dpi = Density())
{
    SIZE captionSize{};
    GetTextExtentExPointW(dc, item.Caption.c_str(), static_cast<int>(item.Caption.size()), 0, nullptr, nullptr,
                          &captionSize);
    const SIZE icon = platform::SmallIconSize(dpi);
    return ComputeItemImageLayout(captionSize, icon.cx, icon.cy, HasBuiltinIcon(item.ID), dpi);
}

// The entry's icon and caption at (x, y) on dc, on a background of the colour given and with text of the other; the
// icon drawn (no longer to be drawn: it may be gone).
ItemIcon PaintItem(HDC dc, int x, int y, const CItem& item, const ItemImageLayout& layout, COLORREF background,
                   COLORREF text)
{
    Fill(dc, {x, y, x + layout.width, y + layout.height}, background);
    const ItemIcon icon = LoadItemIcon(item);
    DrawIconIn(dc, x + layout.icon.left, y + layout.icon.top, layout.icon.right - layout.icon.left,
               layout.icon.bottom - layout.icon.top, icon, item.ID, text);
    handles::select_object font(dc, platform::MenuFont(Density()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    RECT caption = layout.caption;
    OffsetRect(&caption, x, y);
    // A caption is shown as it is: "&" is no mnemonic mark.
    DrawTextW(dc, item.Caption.c_str(), -1, &caption, DT_VCENTER | DT_NOPREFIX);
    return icon;
}

// A section, a separator or a note as the dark look measures it: a row as high as a document's, its text where the
// documents' captions start, a section's with room for its arrow.
void MeasureDrawnItem(MEASUREITEMSTRUCT* record, MenuItemKind kind)
{
    const int dpi = Density();
    if (kind == MenuItemKind::Separator) {
        record->itemWidth = 0;
        record->itemHeight = MulDiv(kSeparatorHeight, dpi, 96);
        return;
    }
    handles::window_dc screen(g_hMainWnd);
    handles::unique_hdc memory(CreateCompatibleDC(screen.get()));
    handles::select_object font(memory.get(), platform::MenuFont(dpi));
    const std::wstring text = TextOfItemData(record->itemData);
    SIZE extent{};
    GetTextExtentPoint32W(memory.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    const ItemImageLayout layout =
        ComputeItemImageLayout(extent, platform::SmallIconSize(dpi).cx, platform::SmallIconSize(dpi).cy, false, dpi);
    record->itemWidth = layout.width + (kind == MenuItemKind::Section ? MulDiv(kArrowRoom, dpi, 96) : 0);
    record->itemHeight = layout.height;
}

// The sub-menu arrow of a drawn section: a small triangle in the text's colour, centred in the room at the right. The
// system would draw its own there afterwards, in the light look's colours: that room is taken out of what it may draw.
void DrawSectionArrow(HDC dc, const RECT& area, COLORREF colour)
{
    const int room = std::max<int>(MulDiv(kArrowRoom, Density(), 96), GetSystemMetrics(SM_CXMENUCHECK) + 2);
    const int half = std::max(2, MulDiv(4, Density(), 96));
    const int x = area.right - room / 2 - half / 2, y = (area.top + area.bottom) / 2;
    const POINT arrow[3] = {{x, y - half}, {x + half, y}, {x, y + half}};
    SetDCBrushColor(dc, colour);
    SetDCPenColor(dc, colour);
    handles::select_object brush(dc, GetStockObject(DC_BRUSH)), pen(dc, GetStockObject(DC_PEN));
    Polygon(dc, arrow, 3);
    ExcludeClipRect(dc, area.right - room, area.top, area.right, area.bottom);
}

// A section, a separator or a note in the dark look's colours: grayed when it cannot be chosen, on the highlight when
// selected.
void DrawDrawnItem(const DRAWITEMSTRUCT* record, MenuItemKind kind)
{
    const platform::Palette colours = MenuColours();
    const RECT& area = record->rcItem;
    const bool selected = (record->itemState & ODS_SELECTED) && kind != MenuItemKind::Separator;
    const bool grayed = record->itemState & (ODS_GRAYED | ODS_DISABLED);
    Fill(record->hDC, area, selected ? colours.highlight : colours.menu);
    const int dpi = Density();
    const int cell = platform::SmallIconSize(dpi).cx + MulDiv(kCellPadding, dpi, 96);
    if (kind == MenuItemKind::Separator) {
        const int y = (area.top + area.bottom) / 2;
        Fill(record->hDC, {area.left + cell / 2, y, area.right - cell / 2, y + std::max(1, dpi / 96)}, colours.separator);
        return;
    }
    const COLORREF text = grayed ? colours.grayText : selected ? colours.highlightText : colours.menuText;
    handles::select_object font(record->hDC, platform::MenuFont(dpi));
    SetBkMode(record->hDC, TRANSPARENT);
    SetTextColor(record->hDC, text);
    RECT caption{area.left + cell, area.top, area.right, area.bottom};
    DrawTextW(record->hDC, TextOfItemData(record->itemData).c_str(), -1, &caption,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (kind == MenuItemKind::Section)
        DrawSectionArrow(record->hDC, area, text);
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

void DrawDocumentIcon(HDC dc, int x, int y, const DocumentLook& look, COLORREF ink)
{
    const SIZE small = platform::SmallIconSize(Density());
    const int builtin = MulDiv(kBuiltinIconSize, Density(), 96);
    if (HasBuiltinIcon(look.id))
        DrawIconIn(dc, x + (small.cx - builtin) / 2, y + (small.cy - builtin) / 2, builtin, builtin,
                   LoadDocumentIcon(look), look.id, ink);
    else
        DrawIconIn(dc, x, y, small.cx, small.cy, LoadDocumentIcon(look), look.id, ink);
}

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
        handles::select_object font(memory.get(), platform::MenuFont(Density()));
        layout = LayoutOf(memory.get(), *item);
    }
    item->Image.reset(CreateCompatibleBitmap(screen.get(), layout.width, layout.height));
    if (!item->Image)
        return nullptr;
    handles::select_object picture(memory.get(), item->Image.get());
    const platform::Palette colours = MenuColours();
    const ItemIcon drawn = PaintItem(memory.get(), 0, 0, *item, layout, colours.menu, colours.menuText);
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
        if (item->Image && !item->ImageFinal && CachedIcon({item->ID, item->Path, item->Properties.Icon, item->ShowContents}).answer != item->ImageAnswer)
            item->Image.reset();
        if (!item->Width)
            unsized.push_back(item.get());
    }
    MeasureImages(unsized);
}

void RefreshImages(const std::set<std::wstring>& paths)
{
    for (const auto& [window, menu] : ShownMenus()) {
        // Only the menus of the tree, of its live folders and "Recent" carry entries as their items' data.
        if (!MenuOwnerAs<CItemVector>(menu) && !MenuOwnerAs<CFolderMenu>(menu) && !MenuOwnerAs<CRecentMenu>(menu))
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

void FollowMenuDensity(POINT where)
{
    const int dpi = platform::DensityAt(where);
    if (dpi == g_TodayMenu.Density())
        return;
    g_TodayMenu.SetDensity(dpi);
    DropImages(g_TodayMenu.Root);
}

void FollowLook()
{
    g_TodayMenu.SetLook(g_Theme.Dark(), g_Theme.Colours().menu);
    DropImages(g_TodayMenu.Root);
    for (const auto& [window, menu] : ShownMenus()) {
        g_TodayMenu.StyleMenu(menu);
        if (const CFolderMenu* folder = MenuOwnerAs<CFolderMenu>(menu))
            for (CItem* item : folder->Items())
                item->Image.reset();
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
    const int dpi = Density();   // once for them all
    handles::select_object font(memory.get(), platform::MenuFont(dpi));
    for (CItem* item : items) {
        const ItemImageLayout layout = LayoutOf(memory.get(), *item, dpi);
        item->Width = layout.width;
        item->Height = layout.height;
    }
}

void MeasureMenuItem(MEASUREITEMSTRUCT* record)
{
    const MenuItemKind kind = KindOfItemData(record->itemData);
    if (kind != MenuItemKind::Document) {
        if (kind != MenuItemKind::Unknown)
            MeasureDrawnItem(record, kind);
        return;
    }
    CItem* item = EntryOfItemData(record->itemData);
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
    const MenuItemKind kind = KindOfItemData(record->itemData);
    if (kind != MenuItemKind::Document && kind != MenuItemKind::Unknown) {
        DrawDrawnItem(record, kind);
        return;
    }
    CItem* item = EntryOfItemData(record->itemData);
    const RECT& area = record->rcItem;
    const bool selected = record->itemState & ODS_SELECTED;
    const platform::Palette colours = MenuColours();
    // The entry under the keys' or the pointer's selection shows the highlight, across the whole item.
    Fill(record->hDC, area, selected ? colours.highlight : colours.menu);
    if (item && !item->Image)
        BuildImage(item);
    if (!item || !item->Image)
        return;
    if (selected) {
        handles::unique_hdc measure(CreateCompatibleDC(record->hDC));
        handles::select_object font(measure.get(), platform::MenuFont(Density()));
        PaintItem(record->hDC, area.left, area.top, *item, LayoutOf(measure.get(), *item), colours.highlight,
                  colours.highlightText);
    } else if (handles::unique_hdc memory(CreateCompatibleDC(record->hDC)); memory) {
        handles::select_object picture(memory.get(), item->Image.get());
        BITMAP bitmap{};
        GetObjectW(item->Image.get(), sizeof(bitmap), &bitmap);
        BitBlt(record->hDC, area.left, area.top, bitmap.bmWidth, bitmap.bmHeight, memory.get(), 0, 0, SRCCOPY);
    }
    // A live folder's sub-menu arrow, which the system would draw in the light look's colours.
    if (g_TodayMenu.OwnerDrawn() && item->ShowContents)
        DrawSectionArrow(record->hDC, area, selected ? colours.highlightText : colours.menuText);
}
