#pragma once
// An item of a page's list dragged to another place with the stylus or the mouse: the page that begins the drag has
// the pointer until the drop, and an insertion mark shows where the item will land. One drag at a time.
#include <windows.h>

#include <optional>

// Where a dragged item goes: its list index, and the list index it is to have.
struct ListMove {
    int from = 0;
    int to = 0;
};

void BeginListDrag(HWND page, HWND list, int index);
bool IsListDragging(HWND page);
// The pointer moved to point (the page's client coordinates): the insertion mark follows it.
void TrackListDrag(HWND page, POINT point);
// The item was dropped at point: the move it asks for, or nothing when the item stays where it is.
std::optional<ListMove> EndListDrag(HWND page, POINT point);
// The page lost the pointer (another window took it, the page went): the drag ends with nothing moved.
void CancelListDrag(HWND page);
