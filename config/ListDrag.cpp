#include "config/ListDrag.h"

#include <commctrl.h>

namespace {

struct Drag {
    HWND page = nullptr;
    HWND list = nullptr;
    int from = -1;
};
Drag g_drag;

// The gap between two items (0 before the first, the item count after the last) nearest to a point of the page.
int DropGap(HWND page, HWND list, POINT point)
{
    MapWindowPoints(page, list, &point, 1);
    const int count = ListView_GetItemCount(list), top = ListView_GetTopIndex(list);
    RECT first{}, row{};
    if (count == 0 || !ListView_GetItemRect(list, top, &first, LVIR_BOUNDS))
        return 0;
    // Any point of a row's height names its row, whatever its x.
    LVHITTESTINFO hit{};
    hit.pt = {first.left + 1, point.y};
    const int item = ListView_HitTest(list, &hit);
    if (item >= 0 && ListView_GetItemRect(list, item, &row, LVIR_BOUNDS))
        return point.y >= (row.top + row.bottom) / 2 ? item + 1 : item;
    return point.y < first.top ? top : count;
}

void ShowInsertMark(HWND list, int gap)
{
    const int count = ListView_GetItemCount(list);
    LVINSERTMARK mark{};
    mark.cbSize = sizeof(mark);
    mark.dwFlags = gap < count ? 0 : LVIM_AFTER;
    mark.iItem = gap < 0 ? -1 : gap < count ? gap : count - 1;
    SendMessageW(list, LVM_SETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
}

// Forgets the drag, then gives the pointer back (which reports a capture change to the page).
void Finish()
{
    const Drag ended = g_drag;
    g_drag = {};
    ShowInsertMark(ended.list, -1);
    if (GetCapture() == ended.page)
        ReleaseCapture();
}

}  // namespace

void BeginListDrag(HWND page, HWND list, int index)
{
    if (index < 0 || index >= ListView_GetItemCount(list))
        return;
    g_drag = {page, list, index};
    SetCapture(page);
}

bool IsListDragging(HWND page) { return page && g_drag.page == page; }

void TrackListDrag(HWND page, POINT point)
{
    if (IsListDragging(page))
        ShowInsertMark(g_drag.list, DropGap(page, g_drag.list, point));
}

std::optional<ListMove> EndListDrag(HWND page, POINT point)
{
    if (!IsListDragging(page))
        return std::nullopt;
    const int gap = DropGap(page, g_drag.list, point), from = g_drag.from;
    Finish();
    // The gaps just above and just below the item leave it where it is.
    const int to = gap > from ? gap - 1 : gap;
    return to == from ? std::nullopt : std::optional<ListMove>(ListMove{from, to});
}

void CancelListDrag(HWND page)
{
    if (IsListDragging(page))
        Finish();
}
