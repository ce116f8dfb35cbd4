#include "menu/MenuMessages.h"

#include <string>
#include <vector>

#include "menu/FolderMenu.h"
#include "menu/MenuServices.h"
#include "menu/TodayMenu.h"
#include "platform/Worker.h"

namespace {

wchar_t Upper(wchar_t c)
{
    return static_cast<wchar_t>(
        reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

// The captions of a tree menu or of a live folder's menu, by position; empty where typing cannot select.
std::vector<std::wstring> TypableCaptions(CTodayMenu& tree, HMENU menu)
{
    std::vector<std::wstring> captions;
    if (const CItemVector* list = tree.ListOf(menu)) {
        // The root's "Recent" leads its entries.
        captions.assign(static_cast<size_t>(list->Lead), CRecentMenu::kTitle);
        for (const auto& item : list->Items)
            captions.push_back(item->Type == ITEM_SEPARATOR ? std::wstring() : item->Caption);
    } else if (menu == tree.Recent().Menu()) {
        for (const CItem* item : tree.Recent().Items())
            captions.push_back(item->Caption);
    } else if (const CFolderMenu* folder = tree.LiveFolders().Find(menu))
        for (const CFolderMenu::Entry& entry : folder->Entries())
            captions.push_back(entry.item ? entry.item->Caption : std::wstring());
    return captions;
}

// Whether a menu is one that the tree shows: a list's, a live folder's or the Recent one.
bool IsOwnMenu(CTodayMenu& tree, HMENU menu)
{
    return tree.ListOf(menu) || tree.LiveFolders().Find(menu) || menu == tree.Recent().Menu();
}

// The looks at the icons of a closed menu's documents that have not started leave the queue.
void WithdrawLooks(CTodayMenu& tree, HMENU menu)
{
    CMenuServices* services = tree.Services();
    if (!services)
        return;
    std::vector<const CItem*> documents;
    if (const CItemVector* list = tree.ListOf(menu))
        for (const auto& item : list->Items)
            documents.push_back(item.get());
    else if (const CFolderMenu* folder = tree.LiveFolders().Find(menu))
        for (const CItem* entry : folder->Items())
            documents.push_back(entry);
    for (const CItem* document : documents)
        if (document->Type == ITEM_DOCUMENT)
            services->Icons().Withdraw(document->Path, document->Properties.Icon.value_or(L""));
}

}  // namespace

namespace menumsg {

HMENU PrepareRoot(CTodayMenu& menu)
{
    // Live folders tell their choices by position. Desktop Windows reads that style from the root menu only, Wine
    // from each sub-menu too. Given to the root, it brings the tree's choices by position as well, on both.
    menu.RefreshRecent();
    const HMENU root = menu.GetRootMenu();
    MENUINFO style{};
    style.cbSize = sizeof(style);
    style.fMask = MIM_STYLE;
    GetMenuInfo(root, &style);
    style.dwStyle |= MNS_NOTIFYBYPOS;
    SetMenuInfo(root, &style);
    return root;
}

LRESULT OnInitMenuPopup(CTodayMenu& menu, WPARAM wParam)
{
    const HMENU popup = reinterpret_cast<HMENU>(wParam);
    if (const CItemVector* list = menu.ListOf(popup)) {
        // The root opens only as a tracking starts: every choice of the last one has been handled by then.
        if (list == &menu.Root)
            menu.LiveFolders().ReleaseAll();
        if (menu.Pictures().prepare)
            menu.Pictures().prepare(*list);
    } else if (CFolderMenu* folder = menu.LiveFolders().Find(popup)) {
        folder->Open();
        if (menu.Pictures().measure)
            menu.Pictures().measure(folder->Items());
    } else if (popup == menu.Recent().Menu() && menu.Pictures().measure) {
        menu.Pictures().measure(menu.Recent().Items());
    }
    menu.StyleMenu(popup);
    return 0;
}

LRESULT OnUninitMenuPopup(CTodayMenu& menu, WPARAM wParam)
{
    WithdrawLooks(menu, reinterpret_cast<HMENU>(wParam));
    menu.LiveFolders().Closed(reinterpret_cast<HMENU>(wParam));
    return 0;
}

LRESULT OnMenuCommand(CTodayMenu& menu, HWND window, WPARAM wParam, LPARAM lParam)
{
    const HMENU popup = reinterpret_cast<HMENU>(lParam);
    const int pos = static_cast<int>(wParam);
    if (menu.LiveFolders().Choose(popup, pos) || menu.ChooseRecent(popup, pos))
        return 0;
    // Live entries carry id 0; an item with a sub-menu has none.
    const UINT id = GetMenuItemID(popup, pos);
    if (id == 0 || id == UINT(-1))
        return 0;
    return SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

LRESULT OnMenuChar(CTodayMenu& menu, HWND window, WPARAM wParam, LPARAM lParam)
{
    // Owner-drawn items have no mnemonics of their own; Enter then opens the entry selected. Some menus take the
    // highlight as the selection rather than the answer: both are given.
    const HMENU popup = reinterpret_cast<HMENU>(lParam);
    const std::vector<std::wstring> captions = TypableCaptions(menu, popup);
    const int count = static_cast<int>(captions.size());
    int current = -1;
    for (int i = 0; i < count && current < 0; ++i)
        current = GetMenuState(popup, i, MF_BYPOSITION) & MF_HILITE ? i : -1;
    const wchar_t letter = LOWORD(wParam), typed = Upper(letter);
    for (int step = 1; step <= count; ++step) {
        const int i = (current + step + count) % count;
        if (!captions[i].empty() && Upper(captions[i][0]) == typed) {
            HiliteMenuItem(window, popup, i, MF_BYPOSITION | MF_HILITE);
            return MAKELRESULT(i, MNC_SELECT);
        }
    }
    // A letter that starts no entry here is the start of a search of the whole tree.
    if (letter <= L' ' || letter == 0x7F || !IsOwnMenu(menu, popup))
        return MNC_IGNORE;
    menu.RequestFind(letter);
    return MAKELRESULT(0, MNC_CLOSE);
}

bool IsWorkDone(UINT message) { return message != 0 && message == platform::WorkDoneMessage(); }

LRESULT OnWorkDone(LPARAM lParam)
{
    platform::RunPostedWork(lParam);
    return 0;
}

}  // namespace menumsg
