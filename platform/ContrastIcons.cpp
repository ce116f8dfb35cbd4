#include "platform/ContrastIcons.h"

#include <vector>

#include "platform/Handles.h"

namespace platform {

namespace {

// Below this brightness (of 255) a pixel of an icon is one of its strokes: the program's icons draw their outlines and
// strokes darker than it, and fill their shapes lighter.
constexpr int kStrokeBrightness = 80;

// A top-down 32-bit picture of cx x cy on a memory device context; its pixels are 0x00RRGGBB.
class Pixels {
public:
    Pixels(HDC like, int cx, int cy) : dc_(CreateCompatibleDC(like))
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = cx;
        info.bmiHeader.biHeight = -cy;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_.reset(CreateDIBSection(like, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0));
        if (dc_ && bitmap_)
            old_ = SelectObject(dc_.get(), bitmap_.get());
    }
    ~Pixels()
    {
        if (old_)
            SelectObject(dc_.get(), old_);
    }
    Pixels(const Pixels&) = delete;
    Pixels& operator=(const Pixels&) = delete;

    explicit operator bool() const { return old_ != nullptr; }
    HDC dc() const { return dc_.get(); }
    DWORD* bits() const { return GdiFlush(), bits_; }

private:
    handles::unique_hdc dc_;
    handles::unique_hbitmap bitmap_;
    DWORD* bits_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

int Channel(DWORD pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

// The icon drawn on a plain background.
void DrawOn(const Pixels& pixels, HICON icon, int cx, int cy, COLORREF background)
{
    const RECT all{0, 0, cx, cy};
    SetDCBrushColor(pixels.dc(), background);
    FillRect(pixels.dc(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    DrawIconEx(pixels.dc(), 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
}

}  // namespace

void DrawIconInk(HDC dc, int x, int y, HICON icon, int cx, int cy, COLORREF ink)
{
    Pixels onBlack(dc, cx, cy), onWhite(dc, cx, cy), target(dc, cx, cy);
    if (!onBlack || !onWhite || !target || cx <= 0 || cy <= 0)
        return;
    DrawOn(onBlack, icon, cx, cy, RGB(0, 0, 0));
    DrawOn(onWhite, icon, cx, cy, RGB(255, 255, 255));
    BitBlt(target.dc(), 0, 0, cx, cy, dc, x, y, SRCCOPY);
    const DWORD* black = onBlack.bits();
    const DWORD* white = onWhite.bits();
    DWORD* out = target.bits();
    // Drawn on black and on white, a pixel the icon covers at least half of differs by less than half the range, and
    // its colour on black, divided by that cover, is its own.
    const auto covered = [&](int px, int py) {
        const int i = py * cx + px;
        return px >= 0 && py >= 0 && px < cx && py < cy && Channel(white[i], 8) - Channel(black[i], 8) < 128;
    };
    const DWORD inked = (GetRValue(ink) << 16) | (GetGValue(ink) << 8) | GetBValue(ink);
    for (int py = 0; py < cy; ++py) {
        for (int px = 0; px < cx; ++px) {
            if (!covered(px, py))
                continue;
            const int i = py * cx + px, cover = 255 - (Channel(white[i], 8) - Channel(black[i], 8));
            const int brightness =
                (299 * Channel(black[i], 16) + 587 * Channel(black[i], 8) + 114 * Channel(black[i], 0)) * 255 /
                (1000 * cover);
            const bool outline = !covered(px - 1, py) || !covered(px + 1, py) || !covered(px, py - 1) ||
                                 !covered(px, py + 1);
            if (outline || brightness < kStrokeBrightness)
                out[i] = inked;
        }
    }
    BitBlt(dc, x, y, cx, cy, target.dc(), 0, 0, SRCCOPY);
}

}  // namespace platform
