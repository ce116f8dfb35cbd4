#include "config/ItemList.h"

#include <commctrl.h>

#include <map>
#include <string>

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

// The image at index becomes the entry's small icon on the menu colour, from the menu's icons: the disk is never
// waited for.
void ReplaceItemImage(HWND list, HIMAGELIST images, int index, const CItem& item, const CTodayMenu& menu,
                      IconPictures& pictures)
{
    // "Configuration" and "Exit" name no file.
    const bool file = item.Type == ITEM_DOCUMENT && item.ID != ID_CONFIGURATION && item.ID != ID_EXIT;
    // An icon of the user's choice, unless its file holds none there: drawn for this row alone, as it goes with this call.
    if (const handles::unique_hicon own = item.Properties.Icon ? platform::SmallIconAt(*item.Properties.Icon, platform::WindowDensity(list)) : nullptr) {
        if (const handles::unique_hbitmap bitmap = platform::IconToBitmap(list, own.get()))
            ImageList_Replace(images, index, bitmap.get(), nullptr);
        return;
    }
    const HICON icon = file ? menu.Icons().Icon(item.Path, item.ShowContents).icon : nullptr;
    auto picture = pictures.find(icon);
    if (picture == pictures.end())
        picture = pictures.emplace(icon, platform::IconToBitmap(list, icon)).first;
    if (picture->second)
        ImageList_Replace(images, index, picture->second.get(), nullptr);
}

void AppendListItem(HWND list, const CItem& item, int imageIndex, bool withImage)
{
    std::wstring text = ListText(item);
    LVITEMW record{};
    record.mask = LVIF_TEXT | LVIF_PARAM | (withImage ? LVIF_IMAGE : 0);
    record.iItem = ListView_GetItemCount(list);
    record.pszText = text.data();
    record.lParam = item.ID;
    record.iImage = imageIndex;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&record));
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

void FillItemList(HWND list, const CTodayMenu& menu, int sectionId, bool documentsOnly)
{
    const CItemVector* level = LevelOf(menu, sectionId);
    if (!level)
        return;
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
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void RefreshItemImages(HWND list, const CTodayMenu& menu, int sectionId, const std::set<std::wstring>& paths)
{
    const CItemVector* level = LevelOf(menu, sectionId);
    HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
    if (!level || !images)
        return;
    bool changed = false;
    IconPictures pictures;
    for (size_t i = 0; i < level->Items.size(); ++i) {
        const CItem& item = *level->Items[i];
        if (item.Type == ITEM_DOCUMENT && paths.count(item.Path)) {
            ReplaceItemImage(list, images, static_cast<int>(i), item, menu, pictures);
            changed = true;
        }
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
