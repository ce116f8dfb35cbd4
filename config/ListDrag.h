#pragma once
// An item of a page's list dragged to another place with the stylus or the mouse: the page that begins the drag has
// the pointer until the drop, and an insertion mark shows where the item will land. One drag at a time, kept by the
// settings window.
#include <windows.h>

#include <optional>

// Where a dragged item goes: its list index, and the list index it is to have.
struct ListMove {
    int from = 0;
    int to = 0;
};

class CListDrag {
public:
    void Begin(HWND page, HWND list, int index);
    bool IsDragging(HWND page) const { return page && page_ == page; }
    // The pointer moved to point (the page's client coordinates): the insertion mark follows it.
    void Track(HWND page, POINT point) const;
    // The item was dropped at point: the move it asks for, or nothing when the item stays where it is.
    std::optional<ListMove> End(HWND page, POINT point);
    // The page lost the pointer (another window took it, the page went): the drag ends with nothing moved.
    void Cancel(HWND page);

private:
    // Forgets the drag, then gives the pointer back (which reports a capture change to the page).
    void Finish();

    HWND page_ = nullptr;
    HWND list_ = nullptr;
    int from_ = -1;
};
