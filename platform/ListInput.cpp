#include "platform/ListInput.h"

#include <windowsx.h>

namespace platform {

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
