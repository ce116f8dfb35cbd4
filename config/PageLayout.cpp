#include "config/PageLayout.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/Shell.h"

namespace {

// Lengths at 96 DPI, grown with the density.
constexpr int kMaxGap = 10;          // most space between two buttons
constexpr int kEdge = 5;             // list from the page's left edge; between two columns of buttons
constexpr int kRightMargin = 10;     // buttons from the page's right edge

// The lengths of one layout, at its density.
struct Spacing {
    int maxGap, edge, rightMargin;
    explicit Spacing(int dpi)
        : maxGap(MulDiv(kMaxGap, dpi, 96)), edge(MulDiv(kEdge, dpi, 96)), rightMargin(MulDiv(kRightMargin, dpi, 96))
    {
    }
};

// Even spacing of perColumn buttons over the available height, capped.
int SpreadGap(const Spacing& s, int available, int perColumn, int buttonHeight)
{
    return std::clamp((available - perColumn * buttonHeight) / (perColumn + 1), 0, s.maxGap);
}

// The list and perColumn buttons a column, the columns side by side and right-aligned.
PageLayout Arrange(const Spacing& s, int pageWidth, int top, int available, int perColumn, int gap, SIZE button,
                   int count)
{
    const int columns = (count + perColumn - 1) / perColumn;
    const int block = columns > 0 ? columns * button.cx + (columns - 1) * s.edge : 0;
    PageLayout layout;
    for (int k = 0; k < count; ++k) {
        const int column = k / perColumn;
        const int row = k % perColumn;
        PageRect place;
        place.x = pageWidth - s.rightMargin - block + column * (button.cx + s.edge);
        place.y = top + row * (button.cy + gap);
        place.width = button.cx;
        place.height = button.cy;
        layout.buttons.push_back(place);
    }
    // The list spans from the left edge up to the buttons.
    layout.list.x = s.edge;
    layout.list.y = top;
    layout.list.width = std::max(0, pageWidth - block - s.rightMargin - s.edge);
    layout.list.height = std::max(0, available - 2 * gap);
    return layout;
}

}  // namespace

PageRect PlacePage(HWND tabControl, HWND page)
{
    RECT client{};
    GetClientRect(tabControl, &client);
    RECT tab{};
    TabCtrl_GetItemRect(tabControl, 0, &tab);
    PageRect place;
    place.x = client.left;
    place.y = client.top;
    place.width = client.right - client.left;
    place.height = (client.bottom - client.top) - (tab.bottom - tab.top);
    MoveWindow(page, place.x, place.y, place.width, place.height, TRUE);
    return place;
}

PageRect GetChildRect(HWND page, HWND control)
{
    RECT window{};
    if (!GetWindowRect(control, &window))
        return {};
    POINT topLeft{window.left, window.top};
    POINT bottomRight{window.right, window.bottom};
    if (!ScreenToClient(page, &topLeft) || !ScreenToClient(page, &bottomRight))
        return {};
    return {topLeft.x, topLeft.y, bottomRight.x - topLeft.x, bottomRight.y - topLeft.y};
}

PageLayout ComputePageLayout(int pageWidth, int pageHeight, int top, SIZE button, int buttonCount, int dpi)
{
    const Spacing s(dpi);
    if (buttonCount <= 0 || button.cy <= 0)   // nothing to spread: one column without gaps
        return Arrange(s, pageWidth, top, pageHeight - top, std::max(1, buttonCount), 0, button, std::max(0, buttonCount));
    // The rule counts 5 pixels below the page's bottom edge as available. Its result is kept while the
    // list (and with it the last button) still ends inside the page; with less room the real room is used.
    const int ruleHeight = pageHeight - top + s.edge;
    if (buttonCount * button.cy <= ruleHeight) {
        const int gap = SpreadGap(s, ruleHeight, buttonCount, button.cy);
        if (ruleHeight - 2 * gap <= pageHeight - top)
            return Arrange(s, pageWidth, top, ruleHeight, buttonCount, gap, button, buttonCount);
    }
    // Too short for its buttons in one column: as many columns as it takes, each as full as the room allows.
    const int room = pageHeight - top;
    const int perColumn = std::clamp(static_cast<int>(room / button.cy), 1, buttonCount);
    return Arrange(s, pageWidth, top, room, perColumn, SpreadGap(s, room, perColumn, button.cy), button, buttonCount);
}

void LayoutPage(HWND page, HWND list, const std::vector<HWND>& buttons, int top)
{
    if (buttons.empty())
        return;
    const PageRect place = PlacePage(GetParent(page), page);
    const PageRect first = GetChildRect(page, buttons.front());
    const PageLayout layout = ComputePageLayout(place.width, place.height, top, SIZE{first.width, first.height},
                                                static_cast<int>(buttons.size()), platform::WindowDensity(page));
    for (size_t k = 0; k < buttons.size(); ++k) {
        const PageRect& to = layout.buttons[k];
        MoveWindow(buttons[k], to.x, to.y, to.width, to.height, TRUE);
    }
    MoveWindow(list, layout.list.x, layout.list.y, layout.list.width, layout.list.height, TRUE);
    RECT client{};
    GetClientRect(list, &client);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(client.right - client.left, 0));
}

int PageScrollOffset(HWND page) { return GetScrollPos(page, SB_VERT); }

namespace {

bool SetPageOffset(HWND page, int offset)
{
    const int before = GetScrollPos(page, SB_VERT);
    SCROLLINFO info{sizeof(info), SIF_POS};
    info.nPos = offset;
    SetScrollInfo(page, SB_VERT, &info, TRUE);   // clamped to the range
    return GetScrollPos(page, SB_VERT) != before;
}

}  // namespace

bool FitPageScroll(HWND page, int contentHeight)
{
    RECT before{}, after{};
    GetClientRect(page, &before);
    const int offset = GetScrollPos(page, SB_VERT);
    // Without SIF_DISABLENOSCROLL, the bar goes (and the offset with it) once the page holds its controls.
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS};
    info.nMax = std::max(0, contentHeight - 1);
    info.nPage = static_cast<UINT>(std::max(0L, before.bottom));
    info.nPos = offset;
    SetScrollInfo(page, SB_VERT, &info, TRUE);
    GetClientRect(page, &after);
    return after.right != before.right || after.bottom != before.bottom || GetScrollPos(page, SB_VERT) != offset;
}

bool ScrollPage(HWND page, UINT message, WPARAM wParam)
{
    SCROLLINFO info{sizeof(info), SIF_ALL};
    if (!GetScrollInfo(page, SB_VERT, &info))
        return false;
    const int line = platform::ScaledFor(page, 16), pageHeight = static_cast<int>(info.nPage);
    int offset = info.nPos;
    if (message == WM_MOUSEWHEEL) {
        offset -= MulDiv(GET_WHEEL_DELTA_WPARAM(wParam), 3 * line, WHEEL_DELTA);
    } else {
        switch (LOWORD(wParam)) {
        case SB_LINEUP: offset -= line; break;
        case SB_LINEDOWN: offset += line; break;
        case SB_PAGEUP: offset -= pageHeight; break;
        case SB_PAGEDOWN: offset += pageHeight; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: offset = info.nTrackPos; break;
        case SB_TOP: offset = info.nMin; break;
        case SB_BOTTOM: offset = info.nMax; break;
        default: return false;
        }
    }
    return SetPageOffset(page, offset);
}

bool ScrollPageTo(HWND page, HWND control)
{
    RECT client{};
    GetClientRect(page, &client);
    const PageRect shown = GetChildRect(page, control);
    const int edge = platform::ScaledFor(page, 5), offset = GetScrollPos(page, SB_VERT);
    if (shown.y < 0)
        return SetPageOffset(page, offset + shown.y - edge);
    if (shown.y + shown.height > client.bottom)
        return SetPageOffset(page, offset + std::min<int>(shown.y - edge, shown.y + shown.height + edge - client.bottom));
    return false;
}
