#include "app/FindBox.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "app/Globals.h"
#include "app/ItemImage.h"
#include "menu/FolderMenu.h"
#include "menu/MenuServices.h"
#include "menu/Search.h"
#include "menu/TodayMenu.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/ShellUi.h"
#include "platform/Theme.h"

namespace {

constexpr wchar_t kClassName[] = L"TabulaFind";
constexpr int kEditId = 1, kListId = 2;
constexpr wchar_t kNoResult[] = L"No results";

// The box's colours: the dark look's palette, or else the system's, and so a high-contrast scheme's. The one place that
// says which colours it uses.
struct BoxColours {
    COLORREF window, text, grey, highlight, highlightText;
};
BoxColours Colours()
{
    if (g_Theme.Dark()) {
        const platform::Palette& dark = g_Theme.Colours();
        return {dark.window, dark.windowText, dark.grayText, dark.highlight, dark.highlightText};
    }
    return {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_GRAYTEXT),
            GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)};
}

// The box's size at the screen's density, and its place: at the corner where the menu opens (the bottom right of the
// visible desktop), inside it.
RECT Placement()
{
    const RECT visible = platform::VisibleDesktop();
    const int width = std::min<int>(visible.right - visible.left, platform::Scaled(224));
    const int height = std::min<int>(visible.bottom - visible.top, platform::Scaled(200));
    const int right = std::min<int>(GetSystemMetrics(SM_CXSCREEN), visible.right);
    return {right - width, visible.bottom - height, right, visible.bottom};
}

int FontHeight(HWND window)
{
    handles::window_dc dc(window);
    handles::select_object font(dc.get(), platform::MenuFont());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    return metrics.tmHeight;
}

int TextWidth(HWND window, const wchar_t* text)
{
    handles::window_dc dc(window);
    handles::select_object font(dc.get(), platform::MenuFont());
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text, lstrlenW(text), &size);
    return size.cx;
}

class CFindBox {
public:
    explicit CFindBox(HWND window) : window_(window) {}
    ~CFindBox() { g_Services.Icons().Forget(iconListener_); }

    void Create();
    void Layout();
    void Filter();
    void Arrived(const CItem& document);
    void Move(UINT key);
    void Open(bool holdingFolder);
    void Close() { DestroyWindow(window_); }
    void GetText(NMLVDISPINFOW& info) const;
    void Draw(const DRAWITEMSTRUCT& record) const;
    int RowHeight() const { return rowHeight_; }
    HBRUSH Background() const { return background_.get(); }
    // Takes the colours of the look in force, the edit box and the list with them, and draws itself again.
    void FollowLook();
    HWND Edit() const { return edit_; }

private:
    int Rows() const { return none_ ? 1 : static_cast<int>(shown_.size()); }
    std::wstring Typed() const;
    int Selected() const { return ListView_GetNextItem(list_, -1, LVNI_SELECTED); }
    void Select(int row);
    void MeasureRowsUnseen();

    HWND window_, edit_ = nullptr, list_ = nullptr, label_ = nullptr, listName_ = nullptr;
    CSearchIndex index_;
    std::vector<size_t> shown_;   // what each row shows, by its index in index_
    bool none_ = false;           // the one row says that nothing was found
    int rowHeight_ = 0;
    handles::unique_hbrush background_;
    int iconListener_ = 0;
};

void CFindBox::FollowLook()
{
    const BoxColours colours = Colours();
    background_.reset(CreateSolidBrush(colours.window));
    ListView_SetBkColor(list_, colours.window);
    // The system's dark control themes for the edit box and the list's scroll bar, where the system has them.
    platform::LendTheme(window_, &g_Theme);
    platform::ApplyLook(window_);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

CFindBox* BoxOf(HWND window) { return reinterpret_cast<CFindBox*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

LRESULT CALLBACK EditKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR box);

void CFindBox::Create()
{
    const HINSTANCE instance = g_hInstance;
    const DWORD child = WS_CHILD | WS_VISIBLE;
    // Screen readers name a control by the label before it: "Find:" shows, "Results" is for them alone.
    label_ = CreateWindowExW(0, L"STATIC", L"Find:", child | SS_NOPREFIX, 0, 0, 0, 0, window_, nullptr, instance, nullptr);
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", child | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0, window_,
                            reinterpret_cast<HMENU>(kEditId), instance, nullptr);
    listName_ = CreateWindowExW(0, L"STATIC", L"Results", WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0, window_, nullptr, instance,
                                nullptr);
    // Two lines a row: the caption, and in grey where it sits. Known before the list is made, which asks for it then.
    rowHeight_ = std::max(2 * FontHeight(window_), GetSystemMetrics(SM_CYSMICON)) + platform::Scaled(4);
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"",
                            child | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_OWNERDATA | LVS_OWNERDRAWFIXED |
                                LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER,
                            0, 0, 0, 0, window_, reinterpret_cast<HMENU>(kListId), instance, nullptr);
    for (HWND control : {label_, edit_, list_})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(platform::MenuFont()), FALSE);
    FollowLook();
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    ListView_InsertColumn(list_, 0, &column);
    SetWindowSubclass(edit_, EditKeys, 0, reinterpret_cast<DWORD_PTR>(this));
    Layout();
    MeasureRowsUnseen();

    index_.AddTree(g_TodayMenu.Root, g_TodayMenu.LiveFolders());
    // New icons from the disk show at once; live folders never read are read now, their files joining as they come.
    iconListener_ = g_Services.Icons().Listen([list = list_](const std::set<std::wstring>&) {
        InvalidateRect(list, nullptr, FALSE);
    });
    g_TodayMenu.LiveFolders().ReadUnread(g_hMainWnd, [](const CItem& document) {
        if (CFindBox* box = FindBoxWindow() ? BoxOf(FindBoxWindow()) : nullptr)
            box->Arrived(document);
    });
}

void CFindBox::MeasureRowsUnseen()
{
    // Wine's list view measures its rows at its first drawing with a row, and lays out and draws its scroll bar twice
    // more then: done here, before the box is shown and into a memory DC, the first keystroke costs what the others do.
    // On Windows it is a drawing that nobody sees.
    const handles::unique_hdc dc(CreateCompatibleDC(nullptr));
    ListView_SetItemCountEx(list_, 1, 0);
    SendMessageW(list_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    ListView_SetItemCountEx(list_, 0, 0);
}

void CFindBox::Layout()
{
    RECT client{};
    GetClientRect(window_, &client);
    const int edge = platform::Scaled(4), font = FontHeight(window_), editHeight = font + platform::Scaled(8);
    const int labelWidth = TextWidth(window_, L"Find:");
    MoveWindow(label_, edge, edge + (editHeight - font) / 2, labelWidth, font, FALSE);
    MoveWindow(edit_, 2 * edge + labelWidth, edge, std::max(0, int(client.right) - 3 * edge - labelWidth), editHeight,
               FALSE);
    const int top = 2 * edge + editHeight;
    MoveWindow(list_, edge, top, std::max(0, int(client.right) - 2 * edge), std::max(0, int(client.bottom) - top - edge),
               FALSE);
    RECT inside{};
    GetClientRect(list_, &inside);
    // The column leaves room for the scroll bar, which comes and goes with the results.
    ListView_SetColumnWidth(list_, 0, std::max(0, int(inside.right) - GetSystemMetrics(SM_CXVSCROLL)));
}

// The list's rows change unseen and are then drawn once. A list view shown redraws its scroll bar at each step of its
// layout, which Wine does twice for each count, and a themed scroll bar costs more to draw than the rows: it is drawn
// again only when it looks different (the system's own account of it tells).
class CListHeld {
public:
    explicit CListHeld(HWND list) : list_(list), bar_(ScrollBar(list))
    {
        DefWindowProcW(list_, WM_SETREDRAW, FALSE, 0);
    }
    ~CListHeld()
    {
        DefWindowProcW(list_, WM_SETREDRAW, TRUE, 0);
        const SCROLLBARINFO now = ScrollBar(list_);
        const bool same = std::memcmp(&now, &bar_, sizeof(now)) == 0;
        // Wine leaves the frame to be drawn again after a change of the scroll bar's range while hidden, even one
        // that does not show: a bar that looks the same is not drawn again.
        if (same)
            RedrawWindow(list_, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
        RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | (same ? 0 : RDW_FRAME));
    }
    CListHeld(const CListHeld&) = delete;
    CListHeld& operator=(const CListHeld&) = delete;

private:
    static SCROLLBARINFO ScrollBar(HWND list)
    {
        SCROLLBARINFO bar{};
        bar.cbSize = sizeof(bar);
        GetScrollBarInfo(list, OBJID_VSCROLL, &bar);
        return bar;
    }

    HWND list_;
    SCROLLBARINFO bar_;
};

void CFindBox::Select(int row)
{
    // Only the row selected now is deselected: a list of ten thousands would be walked whole for all of them.
    if (const int selected = Selected(); selected >= 0)
        ListView_SetItemState(list_, selected, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row < 0 || none_ || row >= Rows())
        return;
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list_, row, FALSE);
}

std::wstring CFindBox::Typed() const
{
    const int length = GetWindowTextLengthW(edit_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit_, text.data(), length + 1)));
    return text;
}

void CFindBox::Filter()
{
    const std::wstring text = Typed();
    shown_ = index_.Find(text);
    // Nothing typed shows nothing; something typed that matches nothing says so.
    none_ = shown_.empty() && text.find_first_not_of(L" \t") != std::wstring::npos;
    const CListHeld held(list_);
    ListView_SetItemCountEx(list_, Rows(), 0);
    Select(0);
}

void CFindBox::Arrived(const CItem& document)
{
    const CFolderMenu* folder = g_TodayMenu.LiveFolders().Of(document);
    if (!folder)
        return;
    const size_t first = index_.AddFolderFiles(document, folder->LastFiles());
    const std::wstring text = Typed();
    const std::vector<size_t> more = index_.Find(text, first);
    if (more.empty())
        return;
    // Below what is shown, which stays where it is, selection included; "No results" gives way to them.
    const bool wasNone = none_;
    none_ = false;
    shown_.insert(shown_.end(), more.begin(), more.end());
    const CListHeld held(list_);
    ListView_SetItemCountEx(list_, Rows(), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    if (wasNone)
        Select(0);
}

void CFindBox::Move(UINT key)
{
    const int rows = none_ ? 0 : Rows(), row = Selected();
    if (rows == 0)
        return;
    const int page = std::max(1, ListView_GetCountPerPage(list_));
    int to = row;
    switch (key) {
    case VK_UP: to = row - 1; break;
    case VK_DOWN: to = row + 1; break;
    case VK_PRIOR: to = row - page; break;
    case VK_NEXT: to = row + page; break;
    case VK_HOME: to = 0; break;
    case VK_END: to = rows - 1; break;
    }
    Select(std::clamp(to, 0, rows - 1));
}

void CFindBox::Open(bool holdingFolder)
{
    const int row = Selected();
    if (none_ || row < 0 || row >= Rows())
        return;
    const SearchItem item = index_[shown_[static_cast<size_t>(row)]];
    const std::wstring& path = item.path;
    CLauncher& launcher = g_Services.Launcher();
    if (holdingFolder) {
        const std::wstring folder = item.id == ID_CONFIGURATION || item.id == ID_EXIT ? L"" : HoldingFolder(path);
        if (folder.empty())
            return;
        launcher.Launch({folder, L"", L"", L"", SW_SHOW});
    } else if (item.id == 0) {
        // A live folder's file opens as its menu opens it.
        launcher.Launch({path, L"", L"", L"", SW_SHOW});
    } else {
        // The tree may have changed while the box was open: the entry must still be the document shown, or the box shows
        // the tree as it is now.
        const CItem* entry = g_TodayMenu.Root.FindItem(item.id);
        if (!entry || entry->Type != ITEM_DOCUMENT || entry->Path != path) {
            index_ = CSearchIndex();
            index_.AddTree(g_TodayMenu.Root, g_TodayMenu.LiveFolders());
            Filter();
            return;
        }
        // Exactly as the menu would: its command, with the document's properties, counted.
        PostMessageW(g_hMainWnd, WM_COMMAND, MAKEWPARAM(item.id, 0), 0);
    }
    Close();
}

void CFindBox::GetText(NMLVDISPINFOW& info) const
{
    if (!(info.item.mask & LVIF_TEXT) || !info.item.pszText || info.item.cchTextMax <= 0)
        return;
    const size_t row = static_cast<size_t>(info.item.iItem);
    const std::wstring_view text = none_ || row >= shown_.size() ? kNoResult : index_[shown_[row]].caption;
    const size_t length = std::min(text.size(), static_cast<size_t>(info.item.cchTextMax - 1));
    text.copy(info.item.pszText, length);
    info.item.pszText[length] = L'\0';
}

void CFindBox::Draw(const DRAWITEMSTRUCT& record) const
{
    const BoxColours colours = Colours();
    const HDC dc = record.hDC;
    const bool selected = !none_ && ListView_GetItemState(list_, record.itemID, LVIS_SELECTED);
    // The row across the whole list, under the scroll bar's room too.
    RECT row = record.rcItem, inside{};
    GetClientRect(list_, &inside);
    row.right = std::max(row.right, inside.right);
    SetDCBrushColor(dc, selected ? colours.highlight : colours.window);
    FillRect(dc, &row, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    handles::select_object font(dc, platform::MenuFont());
    SetBkMode(dc, TRANSPARENT);
    const int edge = platform::Scaled(2), icon = GetSystemMetrics(SM_CXSMICON);
    RECT text{row.left + 2 * edge + icon, row.top + edge, row.right - edge, (row.top + row.bottom) / 2};
    const UINT flags = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_VCENTER;
    if (none_ || record.itemID >= shown_.size()) {
        SetTextColor(dc, colours.grey);
        RECT all = row;
        all.left += edge;
        DrawTextW(dc, kNoResult, -1, &all, flags);
        return;
    }
    const SearchItem item = index_[shown_[record.itemID]];
    const COLORREF ink = selected ? colours.highlightText : colours.text;
    DrawDocumentIcon(dc, row.left + edge, row.top + (row.bottom - row.top - GetSystemMetrics(SM_CYSMICON)) / 2,
                     {item.id, item.path, *item.icon, item.folder}, ink);
    SetTextColor(dc, ink);
    DrawTextW(dc, item.caption.data(), static_cast<int>(item.caption.size()), &text, flags);
    text.top = text.bottom;
    text.bottom = row.bottom - edge;
    SetTextColor(dc, selected ? colours.highlightText : colours.grey);
    DrawTextW(dc, item.place.data(), static_cast<int>(item.place.size()), &text, flags | DT_PATH_ELLIPSIS);
}

// The text box keeps the keyboard: the keys that move in the list, open and close are taken here.
LRESULT CALLBACK EditKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    CFindBox* box = reinterpret_cast<CFindBox*>(data);
    switch (message) {
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END:
            box->Move(static_cast<UINT>(wParam));
            return 0;
        case VK_RETURN: box->Open(GetKeyState(VK_CONTROL) < 0); return 0;
        case VK_ESCAPE: box->Close(); return 0;
        }
        break;
    case WM_CHAR:
        // Enter, Ctrl+Enter and Esc as characters: already handled as keys, and no beep.
        if (wParam == L'\r' || wParam == L'\n' || wParam == 0x1B)
            return 0;
        break;
    case WM_NCDESTROY: RemoveWindowSubclass(edit, EditKeys, 0); break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

LRESULT OnNotify(CFindBox& box, const NMHDR& header)
{
    if (header.idFrom != kListId)
        return 0;
    switch (header.code) {
    case LVN_GETDISPINFOW: box.GetText(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header))); return 0;
    // A tap on a result opens it, as a tap on a menu entry does; the text box keeps the keyboard.
    case NM_CLICK:
        if (reinterpret_cast<const NMITEMACTIVATE&>(header).iItem >= 0)
            box.Open(false);
        return 0;
    case NM_SETFOCUS: SetFocus(box.Edit()); return 0;
    }
    return 0;
}

LRESULT CALLBACK FindBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CFindBox* box = BoxOf(window);
    switch (message) {
    case WM_CREATE: {
        auto made = std::make_unique<CFindBox>(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(made.get()));
        made.release()->Create();
        return 0;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete box;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (!box)
        return DefWindowProcW(window, message, wParam, lParam);
    if (platform::IsLookChange(message, lParam)) {
        g_Theme.Refresh();
        box->FollowLook();
    }
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE)
            box->Filter();
        return 0;
    case WM_NOTIFY: return OnNotify(*box, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_MEASUREITEM: reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = box->RowHeight(); return TRUE;
    case WM_DRAWITEM: box->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        SetTextColor(reinterpret_cast<HDC>(wParam), Colours().text);
        SetBkColor(reinterpret_cast<HDC>(wParam), Colours().window);
        return reinterpret_cast<LRESULT>(box->Background());
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, box->Background());
        return 1;
    }
    // A click elsewhere: the box goes, as the menu does.
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            PostMessageW(window, WM_CLOSE, 0, 0);
        else
            SetFocus(box->Edit());
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterFindBoxClass()
{
    static const bool registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = FindBoxProc;
        windowClass.hInstance = g_hInstance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        return RegisterClassW(&windowClass) != 0;
    }();
    return registered;
}

}  // namespace

HWND FindBoxWindow() { return FindWindowExW(nullptr, nullptr, kClassName, nullptr); }

void OpenFindBox(const std::wstring& text)
{
    HWND window = FindBoxWindow();
    const bool open = window != nullptr;
    if (!window && RegisterFindBoxClass()) {
        const RECT place = Placement();
        // Owned by the main window: no button of its own on the task bar.
        window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"Find", WS_POPUP | WS_BORDER | WS_CLIPCHILDREN,
                                 place.left, place.top, place.right - place.left, place.bottom - place.top, g_hMainWnd,
                                 nullptr, g_hInstance, nullptr);
    }
    CFindBox* box = window ? BoxOf(window) : nullptr;
    if (!box)
        return;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(box->Edit());
    // An open box keeps what was typed in it, unless it is given a text.
    if (!open || !text.empty()) {
        SetWindowTextW(box->Edit(), text.c_str());   // filters, through EN_CHANGE
        SendMessageW(box->Edit(), EM_SETSEL, text.size(), text.size());
    }
    // Drawn whole now, its controls too: the first keystroke then draws only what it changes.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}
