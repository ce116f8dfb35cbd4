#include "config/PageOps.h"

#include <commctrl.h>

#include <algorithm>

#include "app/Globals.h"
#include "app/ItemImage.h"
#include "menu/TodayMenu.h"
#include "platform/Handles.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "res/resource.h"
#include "store/RegHelper.h"

HWND g_hSectionsPage = nullptr;
HWND g_hDocumentsPage = nullptr;

namespace {

constexpr int kMaxGap = 10;          // most space between two buttons
constexpr int kEdge = 5;             // list from the page's left edge; between two columns of buttons
constexpr int kRightMargin = 10;     // buttons from the page's right edge
constexpr int kButtonIconWidth = 47;
constexpr int kButtonIconHeight = 22;
const wchar_t kSeparatorText[] = L"-----------------";
// A path of the longest form the platform accepts, with room for its terminating NUL.
constexpr DWORD kPathBufferLength = 32768;

// Even spacing of perColumn buttons over the available height, capped.
int SpreadGap(int available, int perColumn, int buttonHeight)
{
    return std::clamp((available - perColumn * buttonHeight) / (perColumn + 1), 0, kMaxGap);
}

// The list and perColumn buttons a column, the columns side by side and right-aligned.
PageLayout Arrange(int pageWidth, int top, int available, int perColumn, int gap, SIZE button, int count)
{
    const int columns = (count + perColumn - 1) / perColumn;
    const int block = columns > 0 ? columns * button.cx + (columns - 1) * kEdge : 0;
    PageLayout layout;
    for (int k = 0; k < count; ++k) {
        const int column = k / perColumn;
        const int row = k % perColumn;
        PageRect place;
        place.x = pageWidth - kRightMargin - block + column * (button.cx + kEdge);
        place.y = top + row * (button.cy + gap);
        place.width = button.cx;
        place.height = button.cy;
        layout.buttons.push_back(place);
    }
    // The list spans from the left edge up to the buttons.
    layout.list.x = kEdge;
    layout.list.y = top;
    layout.list.width = std::max(0, pageWidth - block - kRightMargin - kEdge);
    layout.list.height = std::max(0, available - 2 * gap);
    return layout;
}

// The list of the tree that a page shows: the top level for 0, otherwise a section's own list.
const CItemVector* LevelOf(int sectionId)
{
    if (sectionId == 0)
        return &g_TodayMenu.Root;
    const CItem* section = g_TodayMenu.Root.FindItem(sectionId);
    return section ? section->Children : nullptr;
}

std::wstring ListText(const CItem& item)
{
    if (item.Type == ITEM_SEPARATOR)
        return kSeparatorText;
    return item.Caption.substr(0, kListTextCapacity - 1);
}

// The image at index becomes the entry's small shell icon on the menu colour.
void ReplaceItemImage(HIMAGELIST images, int index, const CItem& item)
{
    handles::unique_hicon icon(item.Path.empty() ? nullptr : GetSmallFileIcon(item.Path.c_str()));
    handles::unique_hbitmap bitmap(IconToBitmap(g_hMainWnd, icon.get()));
    if (bitmap)
        ImageList_Replace(images, index, bitmap.get(), nullptr);
}

void ClearImages(HIMAGELIST images, int count)
{
    ImageList_Remove(images, -1);
    ImageList_SetImageCount(images, count);
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

void PaintButtonFace(HDC dc, int width, int height, int iconId)
{
    handles::unique_hpen pen(CreatePen(PS_SOLID, 0, GetSysColor(COLOR_WINDOW)));
    handles::select_object selectPen(dc, pen.get());
    handles::select_object selectBrush(dc, platform::SysColorBrush(COLOR_WINDOW));
    Rectangle(dc, 0, 0, width, height);
    handles::unique_hicon icon(platform::LoadIconAtSize(g_hInstance, iconId, kButtonIconWidth, kButtonIconHeight));
    if (icon) {
        DrawIconEx(dc, (width - kButtonIconWidth) / 2, (height - kButtonIconHeight) / 2, icon.get(), kButtonIconWidth,
                   kButtonIconHeight, 0, nullptr, DI_NORMAL);
    }
}

}  // namespace

PageRect PlacePage(HWND tabControl, HWND page)
{
    RECT client{};
    GetClientRect(tabControl, &client);
    RECT tab{};
    TabCtrl_GetItemRect(tabControl, 0, &tab);
    PageRect place;
    place.x = client.left;
    place.y = client.top;
    place.width = client.right - client.left;
    place.height = (client.bottom - client.top) - (tab.bottom - tab.top);
    MoveWindow(page, place.x, place.y, place.width, place.height, TRUE);
    return place;
}

PageRect GetChildRect(HWND page, HWND control)
{
    RECT window{};
    if (!GetWindowRect(control, &window))
        return {};
    POINT topLeft{window.left, window.top};
    POINT bottomRight{window.right, window.bottom};
    if (!ScreenToClient(page, &topLeft) || !ScreenToClient(page, &bottomRight))
        return {};
    return {topLeft.x, topLeft.y, bottomRight.x - topLeft.x, bottomRight.y - topLeft.y};
}

PageLayout ComputePageLayout(int pageWidth, int pageHeight, int top, SIZE button, int buttonCount)
{
    if (buttonCount <= 0 || button.cy <= 0)   // nothing to spread: one column without gaps
        return Arrange(pageWidth, top, pageHeight - top, std::max(1, buttonCount), 0, button, std::max(0, buttonCount));
    // The rule counts 5 pixels below the page's bottom edge as available. Its result is kept while the
    // list (and with it the last button) still ends inside the page; with less room the real room is used.
    const int ruleHeight = pageHeight - top + kEdge;
    if (buttonCount * button.cy <= ruleHeight) {
        const int gap = SpreadGap(ruleHeight, buttonCount, button.cy);
        if (ruleHeight - 2 * gap <= pageHeight - top)
            return Arrange(pageWidth, top, ruleHeight, buttonCount, gap, button, buttonCount);
    }
    // Too short for its buttons in one column: as many columns as it takes, each as full as the room allows.
    const int room = pageHeight - top;
    const int perColumn = std::clamp(static_cast<int>(room / button.cy), 1, buttonCount);
    return Arrange(pageWidth, top, room, perColumn, SpreadGap(room, perColumn, button.cy), button, buttonCount);
}

void LayoutPage(HWND page, HWND list, const std::vector<HWND>& buttons, int top)
{
    if (buttons.empty())
        return;
    const PageRect place = PlacePage(GetParent(page), page);
    const PageRect first = GetChildRect(page, buttons.front());
    const PageLayout layout = ComputePageLayout(place.width, place.height, top, SIZE{first.width, first.height},
                                                static_cast<int>(buttons.size()));
    for (size_t k = 0; k < buttons.size(); ++k) {
        const PageRect& to = layout.buttons[k];
        MoveWindow(buttons[k], to.x, to.y, to.width, to.height, TRUE);
    }
    MoveWindow(list, layout.list.x, layout.list.y, layout.list.width, layout.list.height, TRUE);
    RECT client{};
    GetClientRect(list, &client);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(client.right - client.left, 0));
}

INT_PTR PageBackground() { return reinterpret_cast<INT_PTR>(platform::SysColorBrush(COLOR_WINDOW)); }

BOOL DrawIconButton(const DRAWITEMSTRUCT* record, int iconId)
{
    const RECT& item = record->rcItem;
    const int width = item.right - item.left;
    const int height = item.bottom - item.top;
    handles::unique_hdc memory(CreateCompatibleDC(record->hDC));
    handles::unique_hbitmap face(CreateCompatibleBitmap(record->hDC, width, height));
    if (memory && face) {
        handles::select_object selected(memory.get(), face.get());
        PaintButtonFace(memory.get(), width, height, iconId);
        BitBlt(record->hDC, item.left, item.top, width, height, memory.get(), 0, 0, SRCCOPY);
    }
    if (record->itemState & ODS_SELECTED) {
        RECT pressed = item;
        InvertRect(record->hDC, &pressed);
    }
    return TRUE;
}

BOOL DrawPageButton(const DRAWITEMSTRUCT* record, const PageButton* buttons, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (static_cast<int>(record->CtlID) == buttons[i].control)
            return DrawIconButton(record, buttons[i].icon);
    return FALSE;
}

std::vector<HWND> PageButtonWindows(HWND page, const PageButton* buttons, size_t count)
{
    std::vector<HWND> windows;
    for (size_t i = 0; i < count; ++i)
        windows.push_back(GetDlgItem(page, buttons[i].control));
    return windows;
}

void PrepareItemList(HWND list, const wchar_t* columnTitle)
{
    // 32-bit images, so that the shell's icons keep their colours and edges.
    HIMAGELIST images = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                         ILC_COLOR32, 0, 1);
    const DWORD extended = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extended | LVS_EX_FULLROWSELECT);
    // The list view destroys its image list with itself.
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    std::wstring title = columnTitle;
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = title.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
}

void FillItemList(HWND list, int sectionId, bool documentsOnly)
{
    const CItemVector* level = LevelOf(sectionId);
    if (!level)
        return;
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
    if (images)
        ClearImages(images, static_cast<int>(level->Items.size()));
    for (size_t i = 0; i < level->Items.size(); ++i) {
        const CItem& item = *level->Items[i];
        if (documentsOnly && item.Type != ITEM_DOCUMENT)
            continue;
        if (images)
            ReplaceItemImage(images, static_cast<int>(i), item);
        AppendListItem(list, item, static_cast<int>(i), images != nullptr);
    }
}

void RefreshSectionsPage()
{
    if (g_hSectionsPage)
        FillItemList(GetDlgItem(g_hSectionsPage, IDC_SECTIONS_LIST), 0, false);
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

std::optional<std::wstring> ChooseDocumentFile(HWND page)
{
    std::wstring file(kPathBufferLength, L'\0');
    std::wstring fileTitle(kPathBufferLength, L'\0');
    // One filter; the literal's own terminator is the final null character.
    static const wchar_t filter[] = L"All\0*.*\0";
    OPENFILENAMEW record{};
    record.lStructSize = sizeof(record);
    record.hwndOwner = page;
    record.hInstance = GetModuleHandleW(nullptr);
    record.lpstrFilter = filter;
    record.nFilterIndex = 0;
    record.lpstrFile = file.data();
    record.nMaxFile = kPathBufferLength;
    record.lpstrFileTitle = fileTitle.data();
    record.nMaxFileTitle = kPathBufferLength;
    record.lpstrTitle = L"Add Document";
    record.Flags = OFN_PATHMUSTEXIST;
    if (!platform::ShowOpenFileDialog(record))
        return std::nullopt;
    file.resize(wcsnlen(file.c_str(), file.size()));
    return file;
}

bool AddChosenDocument(HWND page, int sectionId)
{
    const auto path = ChooseDocumentFile(page);
    if (!path)
        return false;
    g_TodayMenu.AppendDocument(*path, sectionId);
    return true;
}

bool DeleteSelectedEntry(HWND page, HWND list, const wchar_t* refusal)
{
    const auto selected = GetSelectedItem(list);
    if (!selected)
        return false;
    // The built-in entries can be moved, never removed; nor can a section that holds "Configuration" or
    // "Exit", or the way to the settings and out of the program would go with it.
    const CItem* section = g_TodayMenu.Root.FindItem(selected->id);
    const bool holdsCommand = section && section->IsSection() &&
                              (section->Children->FindItem(ID_CONFIGURATION_ENTRY) || section->Children->FindItem(ID_EXIT_ENTRY));
    if ((selected->id >= ID_MY_DOCUMENTS && selected->id <= ID_FIRST_SEPARATOR) || holdsCommand) {
        platform::ShowMessage(page, refusal, L"Error", MB_OK | MB_ICONHAND);
        return false;
    }
    g_TodayMenu.RemoveEntry(selected->id);
    return true;
}

void StoreTree() { g_RegHelper.SaveTree(&g_TodayMenu); }
