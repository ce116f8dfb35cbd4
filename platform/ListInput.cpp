#include "platform/ListInput.h"

#include <commctrl.h>
#include <windowsx.h>

namespace platform {

namespace {

LRESULT CALLBACK AltArrowsProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    if (message == WM_SYSKEYDOWN && (wParam == VK_UP || wParam == VK_DOWN) && (HIWORD(lParam) & KF_ALTDOWN)) {
        NMLVKEYDOWN key{};
        key.hdr.hwndFrom = list;
        key.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
        key.hdr.code = static_cast<UINT>(LVN_KEYDOWN);
        key.wVKey = static_cast<WORD>(wParam);
        SendMessageW(GetParent(list), WM_NOTIFY, key.hdr.idFrom, reinterpret_cast<LPARAM>(&key));
        return 0;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(list, AltArrowsProc, id);
    return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

void NotifyAltArrows(HWND list) { SetWindowSubclass(list, AltArrowsProc, 0, 0); }

bool IsContextMenuRequest(UINT message, WPARAM wParam, LPARAM lParam, HWND* control, POINT* at)
{
    if (message != WM_CONTEXTMENU)
        return false;
    *control = reinterpret_cast<HWND>(wParam);
    *at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return true;
}

void AcceptDroppedFiles(HWND window) { DragAcceptFiles(window, TRUE); }

std::vector<std::wstring> TakeDroppedPaths(HDROP drop)
{
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(std::move(path));
    }
    DragFinish(drop);
    return paths;
}

}  // namespace platform
