#!/usr/bin/env python3
"""Draws Tabula's icons and writes them as .ico files into res/icons/.

Every icon is drawn pixel by pixel at its native size (small ones as
character art, larger ones with a few plain drawing helpers), so the output
stays crisp and the script gives byte-identical files on every run.

Each file holds the icon at 96 DPI first, exactly as it always was, then
the same icon drawn again for 144 and 192 DPI (1.5 and 2 times the size):
never stretched from a smaller image, with outlines still one pixel wide.
The program asks for each size exactly, so every one must be present.

    python3 tools/make_icons.py

Needs nothing beyond the Python standard library.
"""

import math
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


def scaler(s):
    """Scales a length by `s`, rounding halves up (the same on every run)."""
    return lambda v: int(math.floor(v * s + 0.5))


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


APP24_LEGEND = dict(APP_LEGEND, T=BACK_TEXT, D=FOLD_DARK, o=ACCENT_DARK, S=SHADOW)

APP24 = [
    "........................",
    ".KKKKKKKKKKKKKKK........",
    ".KbbbbbbbbbbbbbK........",
    ".KbBTTTTTTTTTBBK........",
    ".KbBBBBBBBBBBBBK........",
    ".KbBBKKKKKKKKKKKK.......",
    ".KbBBKWWWWWWWWWWKK......",
    ".KbBBKWWWWWWWWWWKDK.....",
    ".KbBBKWOOOOOOWWWKDFK....",
    ".KbBBKWooooooWWWKDDDK...",
    ".KbBBKWWWWWWWWWWKKKKKK..",
    ".KbBBKWLLLLLLLLLLLLWsKS.",
    ".KbBBKWWWWWWWWWWWWWWsKS.",
    ".KbBBKWLLLLLLLLLWWWWsKS.",
    ".KbBBKWWWWWWWWWWWWWWsKS.",
    ".KbBBKWLLLLLLLLLLLLWsKS.",
    ".KbBBKWWWWWWWWWWWWWWsKS.",
    ".KbBBKWLLLLLLLWWWWWWsKS.",
    ".KbBBKWWWWWWWWWWWWWWsKS.",
    ".KKKKKWLLLLLLLLLLWWWsKS.",
    ".....KWWWWWWWWWWWWWWsKS.",
    ".....KsssssssssssssssKS.",
    ".....KKKKKKKKKKKKKKKKKS.",
    "......SSSSSSSSSSSSSSSSS.",
]


def draw_app16():
    cv = Canvas(16, 16)
    cv.check_art(APP16)
    cv.art(APP16, APP_LEGEND)
    return cv


def draw_app24():
    cv = Canvas(24, 24)
    cv.check_art(APP24)
    cv.art(APP24, APP24_LEGEND)
    return cv


def draw_app12():
    cv = Canvas(12, 12)
    cv.check_art(APP12)
    cv.art(APP12, APP_LEGEND)
    return cv


def draw_app(n):
    """The Tabula motif drawn on an n x n canvas, laid out on a 32-pixel grid.

    Lengths scale with the canvas; outlines, lit edges and shading stay one
    pixel wide, and lines of writing thicken with the size.
    """
    s = n / 32
    S = scaler(s)
    t = S(1)                        # thickness of a line of writing

    def span(a, b):
        """Pixels a..b of the 32-pixel grid, as the first and last pixel here."""
        return S(a), S(b + 1) - 1

    cv = Canvas(n, n)
    # sheet behind, with a soft lit edge along top and left
    (bx0, bx1), (by0, by1) = span(2, 21), span(1, 25)
    sheet(cv, bx0, by0, bx1, by1, 0, BACK)
    cv.rect(bx0 + 1, by0 + 1, bx1 - 1, by0 + 1, BACK_HI)
    cv.rect(bx0 + 1, by0 + 1, bx0 + 1, by1 - 1, BACK_HI)
    tx0, tx1 = span(6, 17)
    cv.rect(tx0, S(4), tx1, S(4) + t - 1, BACK_TEXT)
    # a faint shadow of the front sheet, down and right, on the background
    (x0, x1), (y0, y1), fold = span(8, 29), span(7, 30), int(7 * s)
    cut = x1 - fold - y0
    d = S(1)
    for y in range(y0 + d, y1 + d + 1):
        for x in range(x0 + d, x1 + d + 1):
            if x - y > cut:
                continue
            under = cv.get(x, y)
            if under is None:
                cv.set(x, y, SHADOW)
    # front sheet
    on_face = sheet(cv, x0, y0, x1, y1, fold, PAPER, flap=FOLD, flap_ink=INK)
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
    (hx0, hx1), (hy0, hy1) = span(11, 18), span(10, 11)
    cv.rect(hx0, hy0, hx1, hy1, ACCENT)
    cv.rect(hx0, hy1 + 1, hx1, hy1 + 1, ACCENT_DARK)
    # the lines share out the paper between the heading and the shaded edge,
    # starting below the turned corner
    pitch, top, bottom = S(3), hy1 + 2, y1 - 2
    first = max(fy + 1, top + (bottom - top + 1 - (4 * pitch + t) + 1) // 2)
    for i, xe in enumerate((25, 22, 25, 19, 23)):
        y = first + i * pitch
        cv.rect(hx0, y, span(11, xe)[1], y + t - 1, TEXT)
    return cv


# ---------------------------------------------------------------------------
# Menu icons, 12x12 at 96 DPI, 18x18 and 24x24 at 144 and 192 DPI, each
# drawn for its own size.


def from_art(rows, legend):
    cv = Canvas(len(rows[0]), len(rows))
    cv.check_art(rows)
    cv.art(rows, legend)
    return cv


GEAR_LEGEND = {"K": GEAR_INK, "G": GEAR, "h": GEAR_HI}

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

GEAR18 = [
    ".......KKKK.......",
    "...KK..KhhK..KK...",
    "..KhhK.KhGK.KGGK..",
    ".KhGGhKhGGGKGGGGK.",
    ".KhGGGhGGGGGGGGGK.",
    "..KhGGGGGGGGGGGK..",
    "...KhGGGKKGGGGK...",
    "KKKhGGGK..KGGGGKKK",
    "KhhGGGK....KGGGGGK",
    "KhGGGGK....KGGGGGK",
    "KKKhGGGK..KGGGGKKK",
    "...KGGGGKKGGGGK...",
    "..KGGGGGGGGGGGGK..",
    ".KGGGGGGGGGGGGGGK.",
    ".KGGGGKGGGGKGGGGK.",
    "..KGGK.KGGK.KGGK..",
    "...KK..KGGK..KK...",
    ".......KKKK.......",
]

GEAR24 = [
    ".........KKKKKK.........",
    ".........KhhhhK.........",
    ".....KK..KhGGGK..KK.....",
    "....KhhK.KhGGGK.KGGK....",
    "...KhGGhKhGGGGGKGGGGK...",
    "..KhGGGGhGGGGGGGGGGGGK..",
    "..KhGGGGGGGGGGGGGGGGGK..",
    "...KhGGGGGGGGGGGGGGGK...",
    "....KhGGGGGKKGGGGGGK....",
    "KKKKhGGGGGK..KGGGGGGKKKK",
    "KhhhGGGGGK....KGGGGGGGGK",
    "KhGGGGGGK......KGGGGGGGK",
    "KhGGGGGGK......KGGGGGGGK",
    "KhGGGGGGGK....KGGGGGGGGK",
    "KKKKhGGGGGK..KGGGGGGKKKK",
    "....KGGGGGGKKGGGGGGK....",
    "...KGGGGGGGGGGGGGGGGK...",
    "..KGGGGGGGGGGGGGGGGGGK..",
    "..KGGGGGGGGGGGGGGGGGGK..",
    "...KGGGGKGGGGGGKGGGGK...",
    "....KGGK.KGGGGK.KGGK....",
    ".....KK..KGGGGK..KK.....",
    ".........KGGGGK.........",
    ".........KKKKKK.........",
]


def draw_config(size):
    """A grey gear with eight teeth, lit from the top left, with a hole in the middle."""
    return from_art({12: GEAR12, 18: GEAR18, 24: GEAR24}[size], GEAR_LEGEND)


POWER_LEGEND = {"R": POWER, "r": POWER_HI, "d": POWER_DARK}

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

POWER18 = [
    ".......RRRR.......",
    ".......RRRR.......",
    "...r...RRRR...r...",
    "..rRR..RRRR..RRr..",
    ".rRRR..RRRR..RRRr.",
    ".rRR...RRRR...RRr.",
    "RRR....RRRR....RRR",
    "RRR....RRRR....RRR",
    "RRR....RRRR....RRR",
    "RRR............RRR",
    "RRR............RRR",
    "RRR............RRR",
    ".RRR..........RRR.",
    ".RRRR........RRRR.",
    "..dRRR......RRRd..",
    "...dRRRRRRRRRRd...",
    "....ddRRRRRRdd....",
    "......dddddd......",
]

POWER24 = [
    "..........RRRR..........",
    "..........RRRR..........",
    ".....r....RRRR....r.....",
    "....rr....RRRR....rr....",
    "...rRRR...RRRR...RRRr...",
    "..rRRRR...RRRR...RRRRr..",
    ".rRRRR....RRRR....RRRRr.",
    ".rRRR.....RRRR.....RRRr.",
    ".RRRR.....RRRR.....RRRR.",
    "RRRR......RRRR......RRRR",
    "RRRR......RRRR......RRRR",
    "RRRR......RRRR......RRRR",
    "RRRR................RRRR",
    "RRRR................RRRR",
    "RRRR................RRRR",
    ".RRRR..............RRRR.",
    ".RRRR..............RRRR.",
    ".RRRRR............RRRRR.",
    "..dRRRR..........RRRRd..",
    "...dRRRRR......RRRRRd...",
    "....dRRRRRRRRRRRRRRd....",
    ".....dRRRRRRRRRRRRd.....",
    "......dddRRRRRRddd......",
    ".........dddddd.........",
]


def draw_exit(size):
    """A red power sign: an open ring with a bar through its gap."""
    return from_art({12: POWER12, 18: POWER18, 24: POWER24}[size], POWER_LEGEND)


# ---------------------------------------------------------------------------
# Settings-page buttons, 47x22 at 96 DPI (71x33 and 94x44 at 144 and 192 DPI)
# with a transparent background.  Each glyph is a filled shape lit from the
# top plus a one-pixel darker outline.  Every drawing takes the scale `s` and
# lays itself out at that size, so outlines stay one pixel wide at any size.

BTN_W, BTN_H = 47, 22


def btn_canvas(s):
    S = scaler(s)
    return Canvas(S(BTN_W), S(BTN_H))


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


def cross_mask(x0, y0, size=11, half=1):
    """Two diagonal bars, each 2 * half + 1 pixels wide across a row."""
    m = set()
    n = size - 1
    for y in range(size):
        for x in range(size):
            if abs(x - y) <= half or abs(x + y - n) <= half:
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


def plus_size(s):
    """Size of the green plus's filled shape at scale s (its outline adds 2)."""
    S = scaler(s)
    return S(11) - 2


def draw_plus(cv, x0, y0, s=1):
    size, stroke = plus_size(s), scaler(s)(3)
    assert (size - stroke) % 2 == 0, "the plus's bars must sit in its middle"
    outlined(cv, plus_mask(x0, y0, size, stroke), GREEN_HI, GREEN, GREEN_INK)


def draw_btn_add_section(s=1):
    S = scaler(s)
    cv = btn_canvas(s)
    x0 = S(10)
    size = plus_size(s)
    # folder: a tab on the back flap, then the body
    fx, fy = x0 + size + 1 + S(1) + 1, S(5)
    bw, bh, tw, th = S(14), S(10), S(6), S(3)
    body = {(x, y) for y in range(fy + th, fy + th + bh) for x in range(fx, fx + bw)}
    tab = {(x, y) for y in range(fy, fy + th) for x in range(fx, fx + tw)}
    # the tab's edge steps down to the body at 45 degrees
    for i in range(1, th):
        tab |= {(fx + tw + j, fy + i) for j in range(i)}
    outlined(cv, body | tab, FOLDER_HI, FOLDER, FOLDER_INK)
    # front flap edge, just below the back flap's top
    flap = fy + th + S(1)
    for x in range(fx, fx + bw):
        cv.set(x, flap, FOLDER_INK)
    for x in range(fx + 1, fx + bw):
        cv.set(x, flap + 1, FOLDER_HI)
    # the plus sits level with the middle of the folder
    draw_plus(cv, x0, fy + (th + bh - 1) // 2 - (size - 1) // 2, s)
    # submenu pointer to the right of the folder, level with the body's middle
    ax, cols = fx + bw + 1 + S(2), S(4)
    mid = fy + th + (bh - 1) // 2
    for i in range(cols):
        for y in range(mid - (cols - 1) + i, mid + (cols - 1) - i + 1):
            cv.set(ax + i, y, RULE)
    return centred(cv)


def draw_btn_add_separator(s=1):
    S = scaler(s)
    cv = btn_canvas(s)
    x0 = S(10)
    size = plus_size(s)
    # a tiny menu: an entry, the separator rule (bold), another entry, spaced
    # evenly inside a one-pixel frame
    gap, entry, rule = S(2), max(1, int(s)), S(2)
    inner_h = 4 * gap + 2 * entry + rule
    mx0, my0 = x0 + size + 1 + S(2), S(4)
    mx1, my1 = mx0 + S(15), my0 + inner_h + 1
    for y in range(my0, my1 + 1):
        for x in range(mx0, mx1 + 1):
            edge = x in (mx0, mx1) or y in (my0, my1)
            cv.set(x, y, INK if edge else PAPER)
    y = my0 + 1 + gap
    cv.rect(mx0 + 1 + S(2), y, mx1 - 1 - S(3), y + entry - 1, ENTRY)
    y += entry + gap
    cv.rect(mx0 + 1 + S(1), y, mx1 - 1 - S(1), y + rule - 1, RULE)
    y += rule + gap
    cv.rect(mx0 + 1 + S(2), y, mx1 - 1 - S(5), y + entry - 1, ENTRY)
    draw_plus(cv, x0, (my0 + my1) // 2 - (size - 1) // 2, s)
    return centred(cv)


def arrow(s, up):
    S = scaler(s)
    cv = btn_canvas(s)
    shaft_w = S(5) | 1          # odd, so the arrow has a middle column
    outlined(cv, arrow_mask(S(23), S(4), up=up, head=S(7), shaft_w=shaft_w, shaft_h=S(7)),
             BLUE_HI, BLUE, BLUE_INK)
    return centred(cv)


def draw_btn_up(s=1):
    return arrow(s, True)


def draw_btn_down(s=1):
    return arrow(s, False)


def draw_btn_delete(s=1):
    S = scaler(s)
    cv = btn_canvas(s)
    outlined(cv, cross_mask(S(17), S(4), S(13), S(3) // 2), RED_HI, RED, RED_INK)
    return centred(cv)


def draw_btn_add_document(s=1):
    S = scaler(s)
    cv = btn_canvas(s)
    x0 = S(10)
    size = plus_size(s)
    sx, sy = x0 + size + 1 + S(4), S(3)
    sw, sh = S(12), S(16)
    draw_plus(cv, x0, sy + (sh - 1) // 2 - (size - 1) // 2, s)
    on_face = sheet(cv, sx, sy, sx + sw - 1, sy + sh - 1, S(4), PAPER)
    # lines of writing, of varied length, under a short orange heading
    t = max(1, int(s))
    for i, xe in enumerate((8, 9, 7, 9)):
        y = sy + S(6 + 2 * i)
        for yy in range(y, y + t):
            for x in range(sx + S(2), sx + S(xe) + 1):
                if on_face(x, yy):
                    cv.set(x, yy, TEXT)
    for yy in range(sy + S(3), sy + S(3) + t):
        for x in range(sx + S(2), sx + S(4) + 1):
            cv.set(x, yy, ACCENT)
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
    """images: list of (canvas, bits per pixel), each of a different size."""
    sizes = [(cv.w, cv.h) for cv, _ in images]
    assert len(set(sizes)) == len(sizes), (name, sizes)
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


def scales(draw):
    """A button at 96, 144 and 192 DPI, smallest first, 32 bits each."""
    return [(draw(s), 32) for s in (1, 1.5, 2)]


def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    app16, app24, app32 = draw_app16(), draw_app24(), draw_app(32)
    # the images for 96 DPI come first, as they always were; the larger ones follow
    icons = [
        ("app.ico", [(app16, 8), (app24, 32), (app32, 32)]),
        ("tray.ico", [(app16, 24), (draw_app12(), 32), (app24, 32), (app32, 32)]),
        ("about.ico", [(app32, 32), (app16, 32), (draw_app(48), 32), (draw_app(64), 32)]),
        ("config.ico", [(draw_config(12), 8), (draw_config(18), 32), (draw_config(24), 32)]),
        ("exit.ico", [(draw_exit(12), 8), (draw_exit(18), 32), (draw_exit(24), 32)]),
        ("btn_add_section.ico", scales(draw_btn_add_section)),
        ("btn_add_separator.ico", scales(draw_btn_add_separator)),
        ("btn_up.ico", scales(draw_btn_up)),
        ("btn_down.ico", scales(draw_btn_down)),
        ("btn_delete.ico", scales(draw_btn_delete)),
        ("btn_add_document.ico", scales(draw_btn_add_document)),
    ]
    for name, images in icons:
        write_ico(name, images)
        print("wrote", os.path.relpath(os.path.join(OUT_DIR, name), ROOT))


if __name__ == "__main__":
    main()
