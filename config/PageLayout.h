#pragma once
// Where a page of the settings window goes inside the tab control, and where its list and its column of buttons go
// inside the page.
#include <windows.h>

#include <vector>

// A rectangle as position and size, in pixels.
struct PageRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Moves the page into the tab control, above its row of tabs; returns where it went.
PageRect PlacePage(HWND tabControl, HWND page);
// The control's rectangle in the page's client coordinates; all zero when it cannot be had.
PageRect GetChildRect(HWND page, HWND control);

// Where a page's list and buttons go (pixels). The buttons are listed in their top-to-bottom order.
struct PageLayout {
    PageRect list;
    std::vector<PageRect> buttons;
};
// The page layout rule for a page of pageWidth x pageHeight whose list and buttons start at top: one right-aligned
// column of buttons spread evenly, or several columns on a page too short for one, and the list beside them. Its
// margins and gaps are given for 96 DPI and grow with the density dpi.
PageLayout ComputePageLayout(int pageWidth, int pageHeight, int top, SIZE button, int buttonCount, int dpi = 96);
// Places the page, then its list and buttons by the layout rule at the window's density; the list's only column gets
// the list's client width.
void LayoutPage(HWND page, HWND list, const std::vector<HWND>& buttons, int top);

// A page whose controls may need more height than it has (a small screen, a large density, a note that shows) scrolls:
// its controls are laid out PageScrollOffset pixels higher than they stand, and FitPageScroll gives the page a vertical
// scroll bar while they need more height than it has, none once they fit.
int PageScrollOffset(HWND page);
// Sets the page's scroll range to the height its controls take (at offset 0); true when the page's client width or
// its offset changed with it, so that its controls are to be laid out again.
bool FitPageScroll(HWND page, int contentHeight);
// Turns a WM_VSCROLL or WM_MOUSEWHEEL of the page into its new offset; true when it moved, for the caller to lay the
// page out again.
bool ScrollPage(HWND page, UINT message, WPARAM wParam);
// Scrolls the page so that control (one of its own) is wholly shown; true when it moved.
bool ScrollPageTo(HWND page, HWND control);
// Sent to the page whose control took the focus by the keyboard: it brings that control into view, if it scrolls.
constexpr UINT kShowFocusedControl = WM_APP + 0x40;
