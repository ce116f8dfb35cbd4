#include "config/ListDrag.h"

#include <commctrl.h>

#include <utility>

namespace {

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

}  // namespace

void CListDrag::Begin(HWND page, HWND list, int index)
{
    if (index < 0 || index >= ListView_GetItemCount(list))
        return;
    page_ = page;
    list_ = list;
    from_ = index;
    SetCapture(page);
}

void CListDrag::Track(HWND page, POINT point) const
{
    if (IsDragging(page))
        ShowInsertMark(list_, DropGap(page, list_, point));
}

std::optional<ListMove> CListDrag::End(HWND page, POINT point)
{
    if (!IsDragging(page))
        return std::nullopt;
    const int gap = DropGap(page, list_, point), from = from_;
    Finish();
    // The gaps just above and just below the item leave it where it is.
    const int to = gap > from ? gap - 1 : gap;
    return to == from ? std::nullopt : std::optional<ListMove>(ListMove{from, to});
}

void CListDrag::Cancel(HWND page)
{
    if (IsDragging(page))
        Finish();
}

void CListDrag::Finish()
{
    const HWND page = std::exchange(page_, nullptr), list = std::exchange(list_, nullptr);
    from_ = -1;
    ShowInsertMark(list, -1);
    if (GetCapture() == page)
        ReleaseCapture();
}
