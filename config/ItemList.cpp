#include "config/ItemList.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>

#include "menu/MenuServices.h"
#include "menu/TodayMenu.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/ShellIcons.h"

namespace {

const wchar_t kSeparatorText[] = L"-----------------";

std::wstring ListText(const CItem& item)
{
    if (item.Type == ITEM_SEPARATOR)
        return kSeparatorText;
    return item.Caption.substr(0, kListTextCapacity - 1);
}

// The picture of each icon that a list shows, made once for the whole list: most entries share their type's icon, and
// none the plain picture.
using IconPictures = std::map<HICON, handles::unique_hbitmap>;

// The image at index becomes the entry's small icon on the menu colour, from the program's icon cache: the disk is never
// waited for.
void ReplaceItemImage(HWND list, HIMAGELIST images, int index, const CItem& item, const CTodayMenu& menu,
                      IconPictures& pictures)
{
    // "Configuration" and "Exit" name no file.
    const bool file = item.Type == ITEM_DOCUMENT && item.ID != ID_CONFIGURATION && item.ID != ID_EXIT;
    CMenuServices* services = menu.Services();
    const HICON icon = file && services ? services->Icons()
                                              .Icon(item.Path, item.ShowContents, item.Properties.Icon.value_or(L""))
                                              .icon
                                        : nullptr;
    auto picture = pictures.find(icon);
    if (picture == pictures.end())
        picture = pictures.emplace(icon, platform::IconToBitmap(list, icon)).first;
    if (picture->second)
        ImageList_Replace(images, index, picture->second.get(), nullptr);
}

// A row's text, entry id and image, given by message: LVM_INSERTITEMW for a new row at row, LVM_SETITEMW to write the
// row there again with another entry.
void WriteListItem(HWND list, UINT message, int row, const CItem& item, int imageIndex, bool withImage)
{
    std::wstring text = ListText(item);
    LVITEMW record{};
    record.mask = LVIF_TEXT | LVIF_PARAM | (withImage ? LVIF_IMAGE : 0);
    record.iItem = row;
    record.pszText = text.data();
    record.lParam = item.ID;
    record.iImage = imageIndex;
    SendMessageW(list, message, 0, reinterpret_cast<LPARAM>(&record));
}

// As after a fill: nothing selected, no mark. Only the rows selected are asked: a change of every row's state would
// tell the page of each one.
void Deselect(HWND list)
{
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list, row, LVNI_SELECTED))
        ListView_SetItemState(list, row, 0, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, -1);
}

void AppendListItem(HWND list, const CItem& item, int imageIndex, bool withImage)
{
    WriteListItem(list, LVM_INSERTITEMW, ListView_GetItemCount(list), item, imageIndex, withImage);
}

// The entries of a level that a list shows, in order.
std::vector<const CItem*> ShownEntries(const CItemVector& level, bool documentsOnly)
{
    std::vector<const CItem*> shown;
    shown.reserve(level.Items.size());
    for (const auto& item : level.Items)
        if (!documentsOnly || item->Type == ITEM_DOCUMENT)
            shown.push_back(item.get());
    return shown;
}

int RowImage(HWND list, int row)
{
    LVITEMW record{};
    record.mask = LVIF_IMAGE;
    record.iItem = row;
    return SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record)) ? record.iImage : -1;
}

// A row's text and image written again from its entry; a row without an image gets one at the end of the images.
void RewriteRow(HWND list, HIMAGELIST images, int row, const CItem& item, const CTodayMenu& menu, IconPictures& pictures)
{
    std::wstring text = ListText(item);
    LVITEMW record{};
    record.mask = LVIF_TEXT;
    record.iItem = row;
    record.pszText = text.data();
    SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record));
    const int image = RowImage(list, row);
    if (images && image >= 0)
        ReplaceItemImage(list, images, image, item, menu, pictures);
}

// The rows that stayed (before first, or among the last ones) but show an entry that changed are written again.
void RewriteTouched(HWND list, HIMAGELIST images, const std::vector<const CItem*>& shown, size_t first, size_t last,
                    const std::set<int>& touched, const CTodayMenu& menu, IconPictures& pictures)
{
    for (const int id : touched)
        for (size_t i = 0; i < shown.size(); ++i)
            if (shown[i]->ID == id && (i < first || i >= shown.size() - last))
                RewriteRow(list, images, static_cast<int>(i), *shown[i], menu, pictures);
}

// A new image after the used ones, made for the entry; its index. The images grow by half again when they are all used,
// not by one: growing them copies them all.
int AddItemImage(HWND list, HIMAGELIST images, int& used, const CItem& item, const CTodayMenu& menu,
                 IconPictures& pictures)
{
    const int count = ImageList_GetImageCount(images);
    used = std::max(used, 0);
    if (used >= count)
        ImageList_SetImageCount(images, static_cast<UINT>(used + std::max(16, used / 2)));
    ReplaceItemImage(list, images, used, item, menu, pictures);
    return used++;
}

}  // namespace

const CItemVector* LevelOf(const CTodayMenu& menu, int sectionId)
{
    if (sectionId == 0)
        return &menu.Root;
    const CItem* section = menu.Root.FindItem(sectionId);
    return section && section->IsSection() ? section->Children.get() : nullptr;
}

bool MatchImagesToScreen(HWND list)
{
    int cx = 0, cy = 0;
    const SIZE size = platform::SmallIconSize(platform::WindowDensity(list));
    HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
    if (images && ImageList_GetIconSize(images, &cx, &cy) && cx == size.cx && cy == size.cy)
        return false;
    // 32-bit images, so that the shell's icons keep their colours and edges. The list view destroys its image list
    // with itself; one it gives back is the caller's.
    images = ImageList_Create(size.cx, size.cy, ILC_COLOR32, 0, 1);
    if (HIMAGELIST old = reinterpret_cast<HIMAGELIST>(
            SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images))))
        ImageList_Destroy(old);
    return true;
}

void PrepareItemList(HWND list, const wchar_t* columnTitle)
{
    const DWORD extended = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extended | LVS_EX_FULLROWSELECT);
    MatchImagesToScreen(list);
    std::wstring title = columnTitle;
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = title.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
}

void FillItemList(HWND list, const CTodayMenu& menu, int sectionId, bool documentsOnly, ListRows* rows)
{
    const CItemVector* level = LevelOf(menu, sectionId);
    if (!level)
        return;
    if (rows)
        rows->ids.clear(), rows->images = static_cast<int>(level->Items.size());
    // Drawn once when full, not once an item.
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
    if (images) {
        ImageList_Remove(images, -1);
        ImageList_SetImageCount(images, static_cast<int>(level->Items.size()));
    }
    IconPictures pictures;
    for (size_t i = 0; i < level->Items.size(); ++i) {
        const CItem& item = *level->Items[i];
        if (documentsOnly && item.Type != ITEM_DOCUMENT)
            continue;
        // The image index is the entry's index in its level, not its place in the list.
        if (images)
            ReplaceItemImage(list, images, static_cast<int>(i), item, menu, pictures);
        AppendListItem(list, item, static_cast<int>(i), images != nullptr);
        if (rows)
            rows->ids.push_back(item.ID);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void SyncItemList(HWND list, const CTodayMenu& menu, int sectionId, bool documentsOnly, ListRows& rows,
                  const std::set<int>& touched)
{
    const CItemVector* level = LevelOf(menu, sectionId);
    if (!level)
        return;
    // Rows that are not what the list shows (a list filled by someone else) are filled anew.
    if (static_cast<int>(rows.ids.size()) != ListView_GetItemCount(list))
        return FillItemList(list, menu, sectionId, documentsOnly, &rows);
    const std::vector<const CItem*> shown = ShownEntries(*level, documentsOnly);
    // The rows before the first and after the last that differ stay as they are.
    size_t first = 0, last = 0;
    while (first < rows.ids.size() && first < shown.size() && rows.ids[first] == shown[first]->ID)
        ++first;
    while (last < rows.ids.size() - first && last < shown.size() - first &&
           rows.ids[rows.ids.size() - 1 - last] == shown[shown.size() - 1 - last]->ID)
        ++last;
    HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
    IconPictures pictures;
    // The rows between keep their entries' images: written again in place when there are as many as before (entries
    // that moved), or taken out and put in anew, an entry that comes back among them taking its image with it.
    const bool inPlace = rows.ids.size() == shown.size();
    std::map<int, int> imageOf;
    for (size_t row = rows.ids.size() - last; row-- > first;) {
        imageOf[rows.ids[row]] = RowImage(list, static_cast<int>(row));
        if (!inPlace)
            SendMessageW(list, LVM_DELETEITEM, row, 0);
    }
    for (size_t i = first; i < shown.size() - last; ++i) {
        const CItem& item = *shown[i];
        const auto kept = imageOf.find(item.ID);
        const int image = !images ? -1
                          : kept != imageOf.end() && kept->second >= 0 && !touched.count(item.ID)
                              ? kept->second
                              : AddItemImage(list, images, rows.images, item, menu, pictures);
        WriteListItem(list, inPlace ? LVM_SETITEMW : LVM_INSERTITEMW, static_cast<int>(i), item, image, images != nullptr);
    }
    RewriteTouched(list, images, shown, first, last, touched, menu, pictures);
    rows.ids.resize(shown.size());
    for (size_t i = first; i < shown.size(); ++i)
        rows.ids[i] = shown[i]->ID;
    Deselect(list);
}

void RefreshItemImages(HWND list, const CTodayMenu& menu, int sectionId, const ListRows& rows,
                       const std::set<std::wstring>& paths)
{
    const CItemVector* level = LevelOf(menu, sectionId);
    HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
    if (!level || !images)
        return;
    bool changed = false;
    IconPictures pictures;
    // The rows show the level's entries in order, documents only or not: an entry that no row shows is passed over.
    size_t row = 0;
    for (const auto& item : level->Items) {
        if (row == rows.ids.size())
            break;
        if (rows.ids[row] != item->ID)
            continue;
        const bool told = paths.count(item->Path) || (item->Properties.Icon && paths.count(*item->Properties.Icon));
        if (item->Type == ITEM_DOCUMENT && told) {
            const int image = RowImage(list, static_cast<int>(row));
            if (image >= 0)
                ReplaceItemImage(list, images, image, *item, menu, pictures);
            changed = true;
        }
        ++row;
    }
    if (changed)
        InvalidateRect(list, nullptr, TRUE);
}

std::optional<SelectedItem> GetSelectedItem(HWND list)
{
    if (SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) == 0)
        return std::nullopt;
    const int mark = static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
    if (mark == -1)
        return std::nullopt;
    LVITEMW record{};
    record.mask = LVIF_PARAM;
    record.iItem = mark;
    if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record)))
        return std::nullopt;
    return SelectedItem{mark, static_cast<int>(record.lParam)};
}

int ListItemId(HWND list, int index)
{
    LVITEMW record{};
    record.mask = LVIF_PARAM;
    record.iItem = index;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record));
    return static_cast<int>(record.lParam);
}

void SelectListItem(HWND list, int index, UINT stateMask)
{
    LVITEMW record{};
    record.stateMask = stateMask;
    record.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&record));
    // The commands find their entry through the selection mark, which must follow this selection too.
    if (index >= 0 && index < ListView_GetItemCount(list))
        SendMessageW(list, LVM_SETSELECTIONMARK, 0, index);
}
