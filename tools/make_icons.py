#!/usr/bin/env python3
"""Draws Tabula's icons and writes them as .ico files into res/icons/.

Every icon is drawn pixel by pixel at its native size (small ones as
character art, larger ones with a few plain drawing helpers), so the output
stays crisp and the script gives byte-identical files on every run.

    python3 tools/make_icons.py

Needs nothing beyond the Python standard library.
"""

import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_DIR = os.path.join(ROOT, "res", "icons")


def rgb(hexstr, alpha=255):
    hexstr = hexstr.lstrip("#")
    return (int(hexstr[0:2], 16), int(hexstr[2:4], 16), int(hexstr[4:6], 16), alpha)


# ---------------------------------------------------------------------------
# Colours.  One palette for the whole set so the icons read as a family.

INK = rgb("#1f2c4a")          # outline of the sheets
BACK = rgb("#8fb3e8")         # the sheet lying behind
BACK_HI = rgb("#b9d0f3")      # its lit edge
BACK_TEXT = rgb("#5f88c8")    # writing on it, peeking out above the front sheet
PAPER = rgb("#ffffff")
PAPER_SHADE = rgb("#e3e9f3")  # inner right/bottom edge of the paper
FOLD = rgb("#c9d4e6")         # the turned-down corner
FOLD_DARK = rgb("#a9b8d0")
TEXT = rgb("#6f87ad")         # lines of "writing"
ACCENT = rgb("#f0861a")       # heading stripe
ACCENT_DARK = rgb("#c9650a")
SHADOW = (0, 0, 0, 56)

GEAR = rgb("#8693a8")
GEAR_HI = rgb("#c2cbd9")
GEAR_INK = rgb("#39445a")

POWER = rgb("#e0332a")
POWER_HI = rgb("#f0655c")
POWER_DARK = rgb("#98180f")

GREEN_HI = rgb("#6cd26b")
GREEN = rgb("#2f9e3b")
GREEN_INK = rgb("#1a5e22")
BLUE_HI = rgb("#6aa7f0")
BLUE = rgb("#2667c9")
BLUE_INK = rgb("#133a78")
RED_HI = rgb("#f2675d")
RED = rgb("#cf2a20")
RED_INK = rgb("#7a140d")
FOLDER_HI = rgb("#ffe08a")
FOLDER = rgb("#f2bb3a")
FOLDER_INK = rgb("#8a5f0c")
RULE = rgb("#2d3a55")
ENTRY = rgb("#9aaac4")


# ---------------------------------------------------------------------------
# A canvas of RGBA pixels; None means fully transparent.

class Canvas:
    def __init__(self, w, h):
        self.w = w
        self.h = h
        self.px = [[None] * w for _ in range(h)]

    def inside(self, x, y):
        return 0 <= x < self.w and 0 <= y < self.h

    def set(self, x, y, c):
        if self.inside(x, y):
            self.px[y][x] = c

    def get(self, x, y):
        return self.px[y][x] if self.inside(x, y) else None

    def rect(self, x0, y0, x1, y1, c):
        """Filled rectangle, corners inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def art(self, rows, legend, ox=0, oy=0):
        """Paints character art; '.' (or any char missing from legend) is skipped."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in legend:
                    self.set(ox + dx, oy + dy, legend[ch])

    def check_art(self, rows):
        assert len(rows) == self.h, (len(rows), self.h)
        for row in rows:
            assert len(row) == self.w, (row, self.w)


def sheet(cv, x0, y0, x1, y1, fold, fill, ink=INK, flap=FOLD, flap_ink=None):
    """A sheet of paper with its top-right corner turned down by `fold` pixels.

    The outline is one pixel wide; the cut runs at 45 degrees.  Returns a
    function telling whether a pixel lies on the sheet's blank face (not on
    the outline or the turned corner), handy for placing the writing.
    """
    flap_ink = flap_ink or ink
    cut = x1 - fold - y0          # pixels with x - y > cut are cut away
    face = set()
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            d = x - y
            if fold and d > cut:
                continue
            on_edge = x in (x0, x1) or y in (y0, y1) or (fold and d == cut)
            in_flap = fold and x >= x1 - fold and y <= y0 + fold
            if on_edge:
                cv.set(x, y, ink)
            elif in_flap:
                if x == x1 - fold or y == y0 + fold:
                    cv.set(x, y, flap_ink)
                else:
                    cv.set(x, y, flap)
            else:
                cv.set(x, y, fill)
                face.add((x, y))
    return lambda x, y: (x, y) in face


# ---------------------------------------------------------------------------
# The Tabula motif: a written sheet with a turned corner lying on a blue one.

APP_LEGEND = {
    "K": INK, "B": BACK, "b": BACK_HI, "W": PAPER, "s": PAPER_SHADE,
    "F": FOLD, "L": TEXT, "O": ACCENT,
}

APP16 = [
    ".KKKKKKKKKKK....",
    ".KbbbbbbbbbK....",
    ".KbBBBBBBBBK....",
    ".KbBKKKKKKKK....",
    ".KbBKWWWWWKK....",
    ".KbBKWOOOWKFK...",
    ".KbBKWWWWWKFFK..",
    ".KbBKWLLLWKKKKK.",
    ".KbBKWWWWWWWWsK.",
    ".KbBKWLLLLLLLsK.",
    ".KbBKWWWWWWWWsK.",
    ".KbBKWLLLLLWWsK.",
    ".KKKKWWWWWWWWsK.",
    "....KWLLLLLLLsK.",
    "....KsssssssssK.",
    "....KKKKKKKKKKK.",
]

APP12 = [
    "KKKKKKKK....",
    "KbbbbbbK....",
    "KbBKKKKKK...",
    "KbBKWWWKK...",
    "KbBKWOOKFK..",
    "KbBKWWWKKKK.",
    "KbBKWLLLLsK.",
    "KbBKWWWWWsK.",
    "KKKKWLLLLsK.",
    "...KWWWWWsK.",
    "...KssssssK.",
    "...KKKKKKKK.",
]


def draw_app16():
    cv = Canvas(16, 16)
    cv.check_art(APP16)
    cv.art(APP16, APP_LEGEND)
    return cv


def draw_app12():
    cv = Canvas(12, 12)
    cv.check_art(APP12)
    cv.art(APP12, APP_LEGEND)
    return cv


def draw_app32():
    cv = Canvas(32, 32)
    # sheet behind, with a soft lit edge along top and left
    sheet(cv, 2, 1, 21, 25, 0, BACK)
    cv.rect(3, 2, 20, 2, BACK_HI)
    cv.rect(3, 2, 3, 24, BACK_HI)
    cv.rect(6, 4, 17, 4, BACK_TEXT)
    # a faint shadow of the front sheet, one pixel down and right, on the background
    front = (8, 7, 29, 30, 7)
    x0, y0, x1, y1, fold = front
    cut = x1 - fold - y0
    for y in range(y0 + 1, y1 + 2):
        for x in range(x0 + 1, x1 + 2):
            if x - 1 - (y - 1) > cut:
                continue
            under = cv.get(x, y)
            if under is None:
                cv.set(x, y, SHADOW)
    # front sheet
    on_face = sheet(cv, *front, PAPER, flap=FOLD, flap_ink=INK)
    # shading on the inner right and bottom edges, a darker crease in the flap
    for y in range(y0 + 1, y1):
        if on_face(x1 - 1, y):
            cv.set(x1 - 1, y, PAPER_SHADE)
    for x in range(x0 + 1, x1):
        if on_face(x, y1 - 1):
            cv.set(x, y1 - 1, PAPER_SHADE)
    # the turned corner is darker where it meets the paper
    fx, fy = x1 - fold, y0 + fold
    for y in range(y0 + 1, fy):
        for x in range(fx + 1, x1):
            if (x == fx + 1 or y == fy - 1) and x - y < cut:
                cv.set(x, y, FOLD_DARK)
    # writing: an orange heading, then lines of text of varied length
    cv.rect(11, 10, 18, 11, ACCENT)
    cv.rect(11, 12, 18, 12, ACCENT_DARK)
    lines = [(15, 25), (18, 22), (21, 25), (24, 19), (27, 23)]
    for y, xe in lines:
        cv.rect(11, y, xe, y, TEXT)
    return cv


# ---------------------------------------------------------------------------
# Menu icons, 12x12.

GEAR12 = [
    "....KKKK....",
    ".KK.KhhK.KK.",
    ".KhKKhGKKGK.",
    "..KhhGGGGK..",
    "KKKhGKKGGKKK",
    "KhhhK..KGGGK",
    "KhGGK..KGGGK",
    "KKKGGKKGGKKK",
    "..KGGGGGGK..",
    ".KGKKGGKKGK.",
    ".KK.KGGK.KK.",
    "....KKKK....",
]


def draw_config12():
    cv = Canvas(12, 12)
    cv.check_art(GEAR12)
    cv.art(GEAR12, {"K": GEAR_INK, "G": GEAR, "h": GEAR_HI})
    return cv


POWER12 = [
    ".....RR.....",
    "..r..RR..r..",
    ".rR..RR..Rr.",
    "rR...RR...Rr",
    "RR...RR...RR",
    "RR...RR...RR",
    "RR........RR",
    "RR........RR",
    ".RR......RR.",
    ".dRR....RRd.",
    "..dRRRRRRd..",
    "....dddd....",
]


def draw_exit12():
    """A red power sign: an open ring with a bar through its gap."""
    cv = Canvas(12, 12)
    cv.check_art(POWER12)
    cv.art(POWER12, {"R": POWER, "r": POWER_HI, "d": POWER_DARK})
    return cv


# ---------------------------------------------------------------------------
# Settings-page buttons, 47x22 with a transparent background.  Each glyph is
# a filled shape lit from the top plus a one-pixel darker outline.

BTN_W, BTN_H = 47, 22


def outlined(cv, mask, hi, lo, ink):
    """Fills `mask` with a top-to-bottom blend from hi to lo, then rings it with ink."""
    if not mask:
        return
    ys = [y for _, y in mask]
    top, bot = min(ys), max(ys)
    span = max(1, bot - top)
    for (x, y) in mask:
        t = (y - top) / span
        c = tuple(round(hi[i] + (lo[i] - hi[i]) * t) for i in range(3)) + (255,)
        cv.set(x, y, c)
    for (x, y) in mask:
        for dy in (-1, 0, 1):
            for dx in (-1, 0, 1):
                p = (x + dx, y + dy)
                if p not in mask:
                    cv.set(p[0], p[1], ink)


def plus_mask(x0, y0, size=9, stroke=3):
    a = (size - stroke) // 2
    m = set()
    for i in range(size):
        for j in range(stroke):
            m.add((x0 + i, y0 + a + j))
            m.add((x0 + a + j, y0 + i))
    return m


def arrow_mask(cx, y0, up=True, head=6, shaft_w=5, shaft_h=6):
    """An arrow: `head` rows of widening point (1, 3, 5, ... pixels), then the shaft."""
    m = set()
    total = head + shaft_h
    for r in range(total):
        if r < head:
            half = r + 1
        else:
            half = shaft_w // 2 + 1
        y = y0 + (r if up else total - 1 - r)
        for x in range(cx - half + 1, cx + half):
            m.add((x, y))
    return m


def cross_mask(x0, y0, size=11):
    m = set()
    n = size - 1
    for y in range(size):
        for x in range(size):
            if abs(x - y) <= 1 or abs(x + y - n) <= 1:
                m.add((x0 + x, y0 + y))
    return m


def centred(cv):
    """Moves whatever is drawn so that it sits in the middle of the canvas."""
    pts = [(x, y) for y in range(cv.h) for x in range(cv.w) if cv.px[y][x]]
    xs = [x for x, _ in pts]
    ys = [y for _, y in pts]
    dx = (cv.w - (max(xs) - min(xs) + 1)) // 2 - min(xs)
    dy = (cv.h - (max(ys) - min(ys) + 1)) // 2 - min(ys)
    out = Canvas(cv.w, cv.h)
    for x, y in pts:
        out.set(x + dx, y + dy, cv.px[y][x])
    return out


def draw_plus(cv, x0, y0):
    outlined(cv, plus_mask(x0, y0), GREEN_HI, GREEN, GREEN_INK)


def draw_btn_add_section():
    cv = Canvas(BTN_W, BTN_H)
    draw_plus(cv, 10, 7)
    # folder: a tab on the back flap, then the body
    fx, fy = 22, 5
    body = set()
    for y in range(fy + 3, fy + 13):
        for x in range(fx, fx + 14):
            body.add((x, y))
    tab = {(x, y) for y in range(fy, fy + 3) for x in range(fx, fx + 6)}
    tab |= {(fx + 6, fy + 1), (fx + 6, fy + 2), (fx + 7, fy + 2)}
    outlined(cv, body | tab, FOLDER_HI, FOLDER, FOLDER_INK)
    # front flap edge
    for x in range(fx, fx + 14):
        cv.set(x, fy + 4, FOLDER_INK)
    for x in range(fx + 1, fx + 14):
        cv.set(x, fy + 5, FOLDER_HI)
    # submenu pointer to the right of the folder
    ax = fx + 17
    for i in range(4):
        for y in range(fy + 4 + i, fy + 11 - i):
            cv.set(ax + i, y, RULE)
    return centred(cv)


def draw_btn_add_separator():
    cv = Canvas(BTN_W, BTN_H)
    draw_plus(cv, 10, 6)
    # a tiny menu: an entry, the separator rule (bold), another entry
    mx0, my0, mx1, my1 = 22, 4, 37, 17
    for y in range(my0, my1 + 1):
        for x in range(mx0, mx1 + 1):
            edge = x in (mx0, mx1) or y in (my0, my1)
            cv.set(x, y, INK if edge else PAPER)
    cv.rect(mx0 + 3, my0 + 3, mx1 - 4, my0 + 3, ENTRY)
    cv.rect(mx0 + 3, my1 - 3, mx1 - 6, my1 - 3, ENTRY)
    cv.rect(mx0 + 2, my0 + 6, mx1 - 2, my0 + 7, RULE)
    return centred(cv)


def draw_btn_up():
    cv = Canvas(BTN_W, BTN_H)
    outlined(cv, arrow_mask(23, 4, up=True, head=7, shaft_w=5, shaft_h=7),
             BLUE_HI, BLUE, BLUE_INK)
    return centred(cv)


def draw_btn_down():
    cv = Canvas(BTN_W, BTN_H)
    outlined(cv, arrow_mask(23, 4, up=False, head=7, shaft_w=5, shaft_h=7),
             BLUE_HI, BLUE, BLUE_INK)
    return centred(cv)


def draw_btn_delete():
    cv = Canvas(BTN_W, BTN_H)
    outlined(cv, cross_mask(17, 4, 13), RED_HI, RED, RED_INK)
    return centred(cv)


def draw_btn_add_document():
    cv = Canvas(BTN_W, BTN_H)
    draw_plus(cv, 10, 6)
    on_face = sheet(cv, 24, 3, 35, 18, 4, PAPER)
    for y, xe in ((9, 32), (11, 33), (13, 31), (15, 33)):
        for x in range(26, xe + 1):
            if on_face(x, y):
                cv.set(x, y, TEXT)
    for x in range(26, 29):
        cv.set(x, 6, ACCENT)
    return centred(cv)


# ---------------------------------------------------------------------------
# ICO writer.  Classic BMP-style entries: BITMAPINFOHEADER with the height
# doubled, the colour (XOR) bitmap bottom-up, then the 1-bit AND mask whose
# rows are padded to 4 bytes.  A set mask bit means "transparent".

def _row_pad(nbytes):
    return (4 - nbytes % 4) % 4


def _and_mask(cv):
    out = bytearray()
    stride = (cv.w + 31) // 32 * 4
    for y in range(cv.h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(cv.w):
            c = cv.px[y][x]
            if c is None or c[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def _header(cv, bpp, image_size, colours_used=0):
    return struct.pack("<IiiHHIIiiII", 40, cv.w, cv.h * 2, 1, bpp, 0,
                       image_size, 0, 0, colours_used, 0)


def encode_32(cv):
    xor = bytearray()
    for y in range(cv.h - 1, -1, -1):
        for x in range(cv.w):
            c = cv.px[y][x]
            if c is None or c[3] == 0:
                xor += b"\0\0\0\0"
            else:
                xor += bytes((c[2], c[1], c[0], c[3]))
        # 4 bytes per pixel: rows are always aligned
    mask = _and_mask(cv)
    return _header(cv, 32, len(xor) + len(mask)) + bytes(xor) + mask


def encode_24(cv):
    xor = bytearray()
    for y in range(cv.h - 1, -1, -1):
        row = bytearray()
        for x in range(cv.w):
            c = cv.px[y][x]
            if c is None or c[3] == 0:
                row += b"\0\0\0"
            else:
                assert c[3] == 255, "24-bit images cannot hold partial alpha"
                row += bytes((c[2], c[1], c[0]))
        row += bytes(_row_pad(len(row)))
        xor += row
    mask = _and_mask(cv)
    return _header(cv, 24, len(xor) + len(mask)) + bytes(xor) + mask


def encode_8(cv):
    # index 0 stays black: transparent pixels use it so the XOR pass leaves
    # the screen untouched where the mask lets it through
    palette = [(0, 0, 0)]
    index = {}
    for y in range(cv.h):
        for x in range(cv.w):
            c = cv.px[y][x]
            if c is None or c[3] == 0:
                continue
            assert c[3] == 255, "8-bit images cannot hold partial alpha"
            key = c[:3]
            if key not in index:
                index[key] = len(palette)
                palette.append(key)
    assert len(palette) <= 256
    pal = bytearray()
    for i in range(256):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        pal += bytes((b, g, r, 0))
    xor = bytearray()
    for y in range(cv.h - 1, -1, -1):
        row = bytearray()
        for x in range(cv.w):
            c = cv.px[y][x]
            row.append(0 if c is None or c[3] == 0 else index[c[:3]])
        row += bytes(_row_pad(len(row)))
        xor += row
    mask = _and_mask(cv)
    return (_header(cv, 8, len(xor) + len(mask), 256)
            + bytes(pal) + bytes(xor) + mask)


ENCODERS = {8: encode_8, 24: encode_24, 32: encode_32}


def write_ico(name, images):
    """images: list of (canvas, bits per pixel)."""
    blobs = [ENCODERS[bpp](cv) for cv, bpp in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for (cv, bpp), blob in zip(images, blobs):
        assert cv.w <= 255 and cv.h <= 255
        out += struct.pack("<BBBBHHII", cv.w, cv.h, 0, 0, 1, bpp,
                           len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    path = os.path.join(OUT_DIR, name)
    with open(path, "wb") as f:
        f.write(out)
    return path


def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    app16 = draw_app16()
    icons = [
        ("app.ico", [(app16, 8)]),
        ("tray.ico", [(app16, 24), (draw_app12(), 32)]),
        ("about.ico", [(draw_app32(), 32), (app16, 32)]),
        ("config.ico", [(draw_config12(), 8)]),
        ("exit.ico", [(draw_exit12(), 8)]),
        ("btn_add_section.ico", [(draw_btn_add_section(), 32)]),
        ("btn_add_separator.ico", [(draw_btn_add_separator(), 32)]),
        ("btn_up.ico", [(draw_btn_up(), 32)]),
        ("btn_down.ico", [(draw_btn_down(), 32)]),
        ("btn_delete.ico", [(draw_btn_delete(), 32)]),
        ("btn_add_document.ico", [(draw_btn_add_document(), 32)]),
    ]
    for name, images in icons:
        write_ico(name, images)
        print("wrote", os.path.relpath(os.path.join(OUT_DIR, name), ROOT))


if __name__ == "__main__":
    main()
