#pragma once
// Icons as a high-contrast scheme shows them: in one colour of the scheme, whatever the background.
#include <windows.h>

namespace platform {

// Draws the icon at x, y at cx x cy in ink alone: its outline (each pixel of it beside one it leaves uncovered) and its
// dark strokes, so that its shape stays visible on any background; the rest of it leaves the background as it was.
void DrawIconInk(HDC dc, int x, int y, HICON icon, int cx, int cy, COLORREF ink);

}  // namespace platform
