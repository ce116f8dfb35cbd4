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
