#!/usr/bin/env python3
"""Writes the program's toolbar images, the button frame and the program icon.

Outputs (paths relative to the data folder):
  toolbar.bmp                 320 x 320, the toolbar images at 32 px (shipped beside the program)
  resources/toolbar16.bmp     160 x 160, the same images drawn at 16 px (bitmap resource 121,
                              used when toolbar.bmp cannot be loaded)
  resources/button_frame.bmp  128 x 44, the button frame (bitmap resource 124)
  resources/app_icon.bmp      32 x 32, the program icon (resource 126)
  resources/app_icon_48.png   48 x 48 RGBA, the program icon for a desktop entry, and the
  resources/app_icon_128.png  same drawn at 128 and 256 px (installed into the icon theme)
  resources/app_icon_256.png

Every picture is a list of shapes in a 32 x 32 design square, drawn with 4 x 4 samples per
pixel and averaged. A pixel no shape touches stays exact magenta (the transparent colour); a
partly covered pixel is blended toward the light grey of the tool bars, so no magenta fringe
shows on a bar. Outlines are 2 units wide on odd coordinates and symbols 4 units wide on even
ones, so both sizes keep sharp lines (1 and 2 pixels at 16 px).

The grid is 10 x 10 cells; the image of a command is cell (command - 1000), counted row by row.

  index  command  meaning
  0      1000     new memo (ruled page with a green plus)
  1      1001     list by date (calendar)
  2      1002     list by folder (folder)
  3      1003     show memos as page previews (grid of pages)
  4      1004     show memos as rows (list)
  6      1006     program options (gear)
  7      1007     exit (power sign)
  8      1008     rescan the memo store (two circling arrows)
  10     1010     save and start a new memo (as 0)
  11     1011     paper options of the memo (ruled page with a gear)
  12     1012     page menu (stacked pages)
  19     1019     close the memo (red circle with a cross)
  23     1023     import a text file as background text (text page with an arrow)
  30     1030     insert a page (stacked pages with a plus)
  31     1031     delete the page (stacked pages with a minus)
  32     1032     previous page (page with a left arrow)
  33     1033     next page (page with a right arrow)
  40     1040     pen presets group (pen with three colour dots)
  45     1045     zoom in (magnifier with a plus)
  46     1046     zoom out (magnifier with a minus)
  47     1047     zoom 100 % (magnifier with 1:1)
  49     1049     magnify pad on or off (page line enlarged in a writing strip)
  50     1050     pen
  51     1051     marker
  52     1052     eraser
  53     1053     stroke delete (stroke crossed out)
  54     1054     pencil
  58     1058     clear the page (waste bin)
  80     1080     full screen on (arrows out to the corners)
  81     1081     full screen off (arrows in from the corners)
  88     1088     fit width
  89     1089     fit height
  92     -        locked folder (padlock; drawn by the folder tree)

Run it again after changing a picture; the output depends on nothing but this file.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.dirname(HERE)

MAGENTA = (255, 0, 255)
BAR_GREY = (212, 208, 200)  # the toolkit's face colour, behind every tool bar
DIALOG_WHITE = (255, 255, 255)  # behind dialog buttons

# One palette for every picture.
INK = (48, 52, 62)  # outlines and dark strokes
PAPER = (255, 255, 255)
PAPER_SHADE = (222, 226, 234)
RULE = (140, 178, 226)
MARGIN = (228, 110, 110)
BLUE = (36, 104, 196)
GREEN = (36, 150, 70)
RED = (208, 48, 48)
YELLOW = (250, 204, 72)
YELLOW_DARK = (198, 142, 28)
STEEL = (150, 156, 168)
STEEL_LIGHT = (206, 210, 218)
GLASS = (232, 242, 252)
PINK = (240, 148, 160)
WOOD = (240, 206, 156)

OUT = 2  # outline width (units of the 32 design square)
SYM = 4  # symbol stroke width


# ---------------------------------------------------------------------------------------------
# Shapes. Each is (bounding box, test(x, y) -> bool, colour); colour None clears what is below.


def _bbox(points, pad):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return (min(xs) - pad, min(ys) - pad, max(xs) + pad, max(ys) + pad)


def poly(points, colour):
    pts = list(points)
    n = len(pts)

    def test(x, y):
        inside = False
        j = n - 1
        for i in range(n):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                inside = not inside
            j = i
        return inside

    return (_bbox(pts, 0), test, colour)


def rect(x0, y0, x1, y1, colour):
    def test(x, y):
        return x0 <= x < x1 and y0 <= y < y1

    return ((x0, y0, x1, y1), test, colour)


def round_rect(x0, y0, x1, y1, r, colour):
    def test(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return ((x0, y0, x1, y1), test, colour)


def circle(cx, cy, r, colour):
    rr = r * r

    def test(x, y):
        return (x - cx) ** 2 + (y - cy) ** 2 <= rr

    return ((cx - r, cy - r, cx + r, cy + r), test, colour)


def arc(cx, cy, r, width, start, end, colour):
    """A ring, or the part of it from angle start to end (degrees, clockwise from east)."""
    inner = max(0.0, r - width / 2) ** 2
    outer = (r + width / 2) ** 2
    full = end - start >= 360

    def test(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        if d < inner or d > outer:
            return False
        if full:
            return True
        a = math.degrees(math.atan2(y - cy, x - cx))
        return (a - start) % 360 <= (end - start)

    p = r + width / 2
    return ((cx - p, cy - p, cx + p, cy + p), test, colour)


def stroke(points, width, colour, closed=False):
    """A line through the points with round ends and joins."""
    pts = list(points)
    if closed:
        pts.append(pts[0])
    segs = []
    for (ax, ay), (bx, by) in zip(pts, pts[1:]):
        dx, dy = bx - ax, by - ay
        segs.append((ax, ay, dx, dy, dx * dx + dy * dy))
    rr = (width / 2) ** 2

    def test(x, y):
        for ax, ay, dx, dy, ll in segs:
            t = 0.0 if ll == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / ll))
            if (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= rr:
                return True
        return False

    return (_bbox(pts, width / 2), test, colour)


def box(x0, y0, x1, y1, fill, line=INK, r=0):
    """A filled rectangle with an outline centred on its edges."""
    shapes = []
    if r:
        shapes.append(round_rect(x0, y0, x1, y1, r, fill))
        shapes.append(round_outline(x0, y0, x1, y1, r, line))
    else:
        shapes.append(rect(x0, y0, x1, y1, fill))
        shapes.append(stroke([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], OUT, line, closed=True))
    return shapes


def round_outline(x0, y0, x1, y1, r, colour, width=OUT):
    outer = round_rect(x0 - width / 2, y0 - width / 2, x1 + width / 2, y1 + width / 2,
                       r + width / 2, colour)
    inner = round_rect(x0 + width / 2, y0 + width / 2, x1 - width / 2, y1 - width / 2,
                       max(0.0, r - width / 2), colour)

    def test(x, y):
        return outer[1](x, y) and not inner[1](x, y)

    return (outer[0], test, colour)


def rotate(points, degrees, cx=0.0, cy=0.0):
    a = math.radians(degrees)
    c, s = math.cos(a), math.sin(a)
    return [(cx + x * c - y * s, cy + x * s + y * c) for x, y in points]


def arrow(x0, y0, x1, y1, colour, width=SYM, head=7.0):
    """A straight arrow from (x0, y0) with its point at (x1, y1)."""
    length = math.hypot(x1 - x0, y1 - y0)
    ux, uy = (x1 - x0) / length, (y1 - y0) / length
    bx, by = x1 - ux * head, y1 - uy * head
    half = head * 0.85
    shapes = [stroke([(x0, y0), (x1 - ux * head * 0.5, y1 - uy * head * 0.5)], width, colour)]
    shapes.append(poly([(x1, y1), (bx - uy * half, by + ux * half),
                        (bx + uy * half, by - ux * half)], colour))
    return shapes


def halo(shapes, grow=2.0, colour=PAPER):
    """The shapes again, widened, in a plain colour, to lift a symbol off a busy picture."""
    out = []
    for (x0, y0, x1, y1), test, _ in shapes:
        def grown(x, y, test=test):
            for dx, dy in ((0, 0), (grow, 0), (-grow, 0), (0, grow), (0, -grow),
                           (grow * .7, grow * .7), (-grow * .7, grow * .7),
                           (grow * .7, -grow * .7), (-grow * .7, -grow * .7)):
                if test(x + dx, y + dy):
                    return True
            return False

        out.append(((x0 - grow, y0 - grow, x1 + grow, y1 + grow), grown, colour))
    return out


# ---------------------------------------------------------------------------------------------
# Parts shared by several pictures.


def page(x0, y0, x1, y1, lines=(), fold=6, fill=PAPER, rule=RULE):
    """A sheet with a folded top right corner and ruled lines at the given heights."""
    outline = [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]
    shapes = [poly(outline, fill)]
    for y in lines:
        shapes.append(stroke([(x0 + 3, y), (x1 - 3, y)], OUT, rule))
    shapes.append(poly([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], PAPER_SHADE))
    shapes.append(stroke(outline, OUT, INK, closed=True))
    shapes.append(stroke([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], OUT, INK))
    return shapes


def badge(cx, cy, colour, sign, size, r=7.0):
    """A round badge with a white plus, minus or cross."""
    shapes = [circle(cx, cy, r + 1.5, PAPER), circle(cx, cy, r, colour)]
    a = r * 0.55
    w = 3 if size == 32 else 2  # one whole pixel at 16 px
    if sign in "+-":
        shapes.append(stroke([(cx - a, cy), (cx + a, cy)], w, PAPER))
    if sign == "+":
        shapes.append(stroke([(cx, cy - a), (cx, cy + a)], w, PAPER))
    if sign == "x":
        b = a * 0.85
        shapes.append(stroke([(cx - b, cy - b), (cx + b, cy + b)], 3, PAPER))
        shapes.append(stroke([(cx - b, cy + b), (cx + b, cy - b)], 3, PAPER))
    return shapes


def gear(cx, cy, outer, inner, hole, teeth, fill=STEEL_LIGHT):
    pts = []
    for i in range(teeth):
        base = 360.0 * i / teeth
        step = 360.0 / teeth
        for frac, radius in ((-0.30, inner), (-0.18, outer), (0.18, outer), (0.30, inner)):
            a = math.radians(base + frac * step)
            pts.append((cx + radius * math.cos(a), cy + radius * math.sin(a)))
    return [poly(pts, fill), stroke(pts, OUT, INK, closed=True),
            arc(cx, cy, hole, OUT, 0, 360, INK), circle(cx, cy, hole - OUT / 2, None)]


def stacked_pages(lines=True):
    back = page(11, 3, 27, 23, fold=5, fill=PAPER_SHADE)
    front = page(5, 9, 21, 29, lines=(15, 19, 23) if lines else (), fold=5)
    return back + front


def magnifier(cx=13.0, cy=13.0, r=8.5):
    return [
        stroke([(cx + r * 0.7, cy + r * 0.7), (27, 27)], 5, INK),
        circle(cx, cy, r, GLASS),
        arc(cx, cy, r, 3, 0, 360, INK),
    ]


def tool(angle, tip, shapes_local, scale=1.0, line=OUT):
    """Places shapes drawn along +x from a tip at the origin: scaled, turned, moved to tip."""

    def place(points):
        return [(tip[0] + x, tip[1] + y)
                for x, y in rotate([(px * scale, py * scale) for px, py in points], angle)]

    out = []
    for kind, args, colour in shapes_local:
        if kind == "poly":
            out.append(poly(place(args), colour))
        elif kind == "stroke":
            pts, width = args
            out.append(stroke(place(pts), width * scale, colour))
        elif kind == "outline":
            out.append(stroke(place(args), line, colour, closed=True))
    return out


def pen_shapes(tip=(5.0, 22.0), angle=-45.0, body=INK, scale=1.0, line=OUT):
    # Along +x: the point, a steel cone, the barrel and a rounded end.
    cone = [(0, 0), (7, -3), (7, 3)]
    barrel = [(7, -3.5), (23, -3.5), (25, -2.5), (25, 2.5), (23, 3.5), (7, 3.5)]
    parts = [
        ("poly", barrel, body),
        ("poly", [(9, -3.5), (23, -3.5), (24.5, -2.5), (9, -2.5)], (110, 118, 134)),
        ("poly", cone, STEEL_LIGHT),
        ("outline", cone, INK),
        ("poly", [(0, 0), (2.5, -1.1), (2.5, 1.1)], INK),
        ("outline", barrel, INK),
        ("stroke", ([(11, -3.5), (11, 3.5)], 1.5), STEEL_LIGHT),
    ]
    return tool(angle, tip, parts, scale, line)


# ---------------------------------------------------------------------------------------------
# The pictures; each takes the size it is drawn at (16 or 32) for the few details that only
# the larger size can carry.


def icon_new_memo(size):
    return page(5, 3, 23, 29, lines=(11, 15, 19, 23)) + badge(23, 23, GREEN, "+", size)


def icon_calendar(size):
    shapes = box(5, 7, 27, 27, PAPER, r=2)
    shapes.append(round_rect(4, 6, 28, 13, 2, RED))
    shapes.append(rect(4, 11, 28, 13, RED))
    shapes += [stroke([(5, 13), (27, 13)], OUT, INK), round_outline(5, 7, 27, 27, 2, INK)]
    for x in (11, 21):
        shapes.append(stroke([(x, 3), (x, 9)], 3, INK))
    # Day marks with even edges, so that at 16 px each is one pixel with a gap beside it.
    rows, cols = ((15, 19, 23), (8, 12, 16, 20, 24)) if size == 32 else ((16, 20), (8, 12, 16, 20))
    for row, y in enumerate(rows):
        for col, x in enumerate(cols):
            colour = RED if (row, col) == (1, 2) else (96, 104, 120)
            shapes.append(rect(x, y, x + 2, y + 2, colour))
    return shapes


def icon_folder(size):
    back = [(3, 9), (3, 5), (12, 5), (15, 9), (29, 9), (29, 27), (3, 27)]
    front = [(3, 27), (6, 13), (31, 13), (29, 27)]
    return [poly(back, YELLOW_DARK), stroke(back, OUT, INK, closed=True),
            poly(front, YELLOW), stroke(front, OUT, INK, closed=True)]


def icon_grid(size):
    shapes = []
    for x0, y0 in ((5, 5), (17, 5), (5, 17), (17, 17)):
        shapes += box(x0, y0, x0 + 10, y0 + 10, PAPER)
        shapes.append(stroke([(x0 + 3, y0 + 5), (x0 + 7, y0 + 5)], OUT, BLUE))
    return shapes


def icon_list(size):
    shapes = []
    for y in (8, 16, 24):
        shapes.append(rect(4, y - 2, 10, y + 2, BLUE))
        shapes.append(stroke([(14, y), (27, y)], SYM, INK))
    return shapes


def icon_options(size):
    return gear(16, 16, 13, 9.5, 5, 8)


def icon_exit(size):
    return [arc(16, 17, 9.5, SYM, -50, 230, RED), stroke([(16, 4), (16, 15)], SYM, RED)]


def icon_rescan(size):
    shapes = [arc(16, 16, 10, SYM, 200, 330, GREEN), arc(16, 16, 10, SYM, 20, 150, GREEN)]
    for angle in (330, 150):
        a = math.radians(angle)
        ex, ey = 16 + 10 * math.cos(a), 16 + 10 * math.sin(a)
        tx, ty = -math.sin(a), math.cos(a)  # direction of travel (clockwise)
        nx, ny = math.cos(a), math.sin(a)
        tip = (ex + tx * 6, ey + ty * 6)
        shapes.append(poly([tip, (ex + nx * 6, ey + ny * 6), (ex - nx * 6, ey - ny * 6)], GREEN))
    return shapes


def icon_paper_options(size):
    # At 16 px short teeth round a small hole keep the wheel from turning into a blot.
    cog = gear(23, 23, 8, 5.5, 3, 6) if size == 32 else gear(23, 23, 8, 6, 2.5, 8)
    return page(3, 3, 21, 29, lines=(11, 15, 19, 23)) + [circle(23, 23, 9, PAPER)] + cog


def icon_page_menu(size):
    return stacked_pages()


def icon_close(size):
    return badge(16, 16, RED, "x", size, r=12)


def icon_import_text(size):
    shapes = page(9, 3, 27, 29)
    for y, x1 in ((11, 22), (15, 24), (19, 20), (23, 24)):
        shapes.append(stroke([(14, y), (x1, y)], OUT, INK))
    pointer = arrow(2, 18, 16, 18, BLUE, head=8)
    return shapes + halo(pointer) + pointer


def icon_insert_page(size):
    return stacked_pages() + badge(23, 23, GREEN, "+", size)


def icon_delete_page(size):
    return stacked_pages() + badge(23, 23, RED, "-", size)


def icon_prev_page(size):
    pointer = arrow(26, 20, 6, 20, BLUE, head=9)
    return page(7, 3, 25, 29, lines=(11,)) + halo(pointer) + pointer


def icon_next_page(size):
    pointer = arrow(6, 20, 26, 20, BLUE, head=9)
    return page(7, 3, 25, 29, lines=(11,)) + halo(pointer) + pointer


def icon_pen_group(size):
    shapes = pen_shapes(tip=(9.0, 27.0))
    for (x, y), colour in (((6, 6), INK), ((6, 14), RED), ((14, 6), BLUE)):
        # Round at 32 px; at 16 px whole 2 x 2 pixel squares with softened corners.
        shapes.append(circle(x, y, 3.5, colour) if size == 32 else
                      round_rect(x - 2, y - 2, x + 2, y + 2, 1, colour))
    return shapes


def icon_zoom_in(size):
    w = 3 if size == 32 else 2
    return magnifier() + [stroke([(9, 13), (17, 13)], w, BLUE), stroke([(13, 9), (13, 17)], w,
                                                                            BLUE)]


def icon_zoom_out(size):
    return magnifier() + [stroke([(9, 13), (17, 13)], 3 if size == 32 else 2, BLUE)]


def icon_zoom_actual(size):
    shapes = magnifier()
    if size == 32:
        shapes += [rect(9, 9, 11, 18, BLUE), rect(8, 10, 9, 11, BLUE), rect(12, 11, 14, 13, BLUE),
                   rect(12, 14, 14, 16, BLUE), rect(15, 9, 17, 18, BLUE),
                   rect(14, 10, 15, 11, BLUE)]
    else:
        shapes += [stroke([(11, 11), (13, 9), (13, 17)], 2, BLUE)]
    return shapes


def icon_magnify_pad(size):
    shapes = [rect(3, 3, 29, 12, PAPER), stroke([(3, 3), (29, 3), (29, 12), (3, 12)], OUT, INK,
                                                     closed=True)]
    shapes.append(stroke([(6, 9), (26, 9)], OUT, RULE))
    shapes += [stroke([(13, 5), (21, 5), (21, 11), (13, 11)], OUT, BLUE, closed=True)]
    shapes += box(3, 17, 29, 29, PAPER)
    shapes.append(stroke([(17, 12), (17, 16)], OUT, BLUE))
    shapes.append(stroke([(6, 25), (9, 20), (11, 25), (14, 20), (16, 25), (19, 21), (22, 24)],
                         OUT, BLUE))
    return shapes


def icon_pen(size):
    return pen_shapes(tip=(4.0, 26.0))


def icon_marker(size):
    chisel = [(0, -1.5), (3, -4.5), (5, -4.5), (5, 4.5), (3, 4.5), (0, 1.5)]
    collar = [(5, -4.5), (8, -4.5), (8, 4.5), (5, 4.5)]
    barrel = [(8, -5), (22, -5), (24, -4), (24, 4), (22, 5), (8, 5)]
    parts = [
        ("poly", barrel, YELLOW), ("outline", barrel, INK),
        ("poly", [(10, -5), (22, -5), (23.5, -4), (10, -4)], (252, 226, 140)),
        ("poly", collar, INK),
        ("poly", chisel, (236, 188, 30)), ("outline", chisel, INK),
    ]
    stripe = [rect(3, 23, 21, 29, (250, 236, 120))]
    return stripe + tool(-45.0, (6.0, 24.0), parts)


def icon_eraser(size):
    sleeve = [(0, -6), (12, -6), (12, 6), (0, 6)]
    rubber = [(12, -6), (21, -6), (23, -4), (23, 4), (21, 6), (12, 6)]
    parts = [("poly", sleeve, BLUE), ("poly", rubber, PINK),
             ("outline", sleeve + [], INK), ("outline", rubber, INK)]
    shapes = tool(-40.0, (7.0, 24.0), parts)
    shapes.insert(0, stroke([(3, 28), (17, 28)], OUT, STEEL))
    return shapes


def icon_stroke_delete(size):
    wave = [(3, 16), (7, 8), (11, 16), (15, 8), (19, 16), (23, 8), (28, 14)]
    cross = [stroke([(17, 17), (27, 27)], SYM, RED), stroke([(17, 27), (27, 17)], SYM, RED)]
    return [stroke(wave, 3, INK)] + halo(cross, 1.5) + cross


def icon_pencil(size):
    wood = [(0, 0), (7, -3.5), (7, 3.5)]
    lead = [(0, 0), (2.8, -1.4), (2.8, 1.4)]
    barrel = [(7, -3.5), (20, -3.5), (20, 3.5), (7, 3.5)]
    ferrule = [(20, -3.5), (22.5, -3.5), (22.5, 3.5), (20, 3.5)]
    rubber = [(22.5, -3.5), (25, -3.5), (26, -2), (26, 2), (25, 3.5), (22.5, 3.5)]
    parts = [
        ("poly", barrel, (246, 178, 40)),
        ("poly", [(7, -1), (20, -1), (20, 1), (7, 1)], (228, 150, 24)),
        ("poly", rubber, PINK), ("outline", rubber, INK),
        ("poly", ferrule, STEEL_LIGHT), ("outline", ferrule, INK),
        ("outline", barrel, INK),
        ("poly", wood, WOOD), ("outline", wood, INK),
        ("poly", lead, (70, 74, 84)),
    ]
    return [stroke([(3, 28), (12, 28)], OUT, (110, 114, 122))] + \
        tool(-45.0, (4.0, 25.0), parts)


def icon_clear_page(size):
    body = [(8, 11), (24, 11), (22, 29), (10, 29)]
    shapes = [poly(body, STEEL_LIGHT), stroke(body, OUT, INK, closed=True)]
    for x0, x1 in ((12.5, 13), (16, 16), (19.5, 19)):
        shapes.append(stroke([(x0, 15), (x1, 25)], OUT, (120, 126, 138)))
    shapes += [round_rect(5, 6, 27, 10, 1, STEEL), round_outline(5, 6, 27, 10, 1, INK),
               stroke([(13, 5), (13, 3), (19, 3), (19, 5)], OUT, INK)]
    return shapes


def _corners(inward):
    """Four corner brackets: at the corners for full screen, turned in around the middle to
    leave it."""
    shapes = []
    for sx, sy in ((-1, -1), (1, -1), (-1, 1), (1, 1)):
        if inward:
            cx, cy, arm = 16 + sx * 4, 16 + sy * 4, 8
            pts = [(cx + sx * arm, cy), (cx, cy), (cx, cy + sy * arm)]
        else:
            cx, cy, arm = 16 + sx * 12, 16 + sy * 12, 8
            pts = [(cx - sx * arm, cy), (cx, cy), (cx, cy - sy * arm)]
        shapes.append(stroke(pts, SYM, BLUE))
    return shapes


def icon_full_screen(size):
    return _corners(False)


def icon_full_screen_off(size):
    return _corners(True)


def _fit(vertical):
    shapes = [stroke([(3, 5), (3, 27)], OUT, INK), stroke([(29, 5), (29, 27)], OUT, INK)]
    shapes += arrow(16, 16, 7, 16, BLUE, head=6) + arrow(16, 16, 25, 16, BLUE, head=6)
    if not vertical:
        return shapes
    turned = []
    for (x0, y0, x1, y1), test, colour in shapes:
        turned.append(((y0, x0, y1, x1), (lambda x, y, t=test: t(y, x)), colour))
    return turned


def icon_fit_width(size):
    return _fit(False)


def icon_fit_height(size):
    return _fit(True)


def icon_lock(size):
    shapes = [arc(16, 13, 6, 3, 180, 360, STEEL), stroke([(10, 13), (10, 16)], 3, STEEL),
              stroke([(22, 13), (22, 16)], 3, STEEL)]
    shapes += box(7, 15, 25, 28, YELLOW, r=2)
    if size == 32:
        shapes += [circle(16, 20, 2.5, INK), rect(15, 20, 17, 25, INK)]
    else:
        shapes += [rect(14, 19, 18, 24, INK)]
    return shapes


ICONS = {
    0: icon_new_memo,
    1: icon_calendar,
    2: icon_folder,
    3: icon_grid,
    4: icon_list,
    6: icon_options,
    7: icon_exit,
    8: icon_rescan,
    10: icon_new_memo,
    11: icon_paper_options,
    12: icon_page_menu,
    19: icon_close,
    23: icon_import_text,
    30: icon_insert_page,
    31: icon_delete_page,
    32: icon_prev_page,
    33: icon_next_page,
    40: icon_pen_group,
    45: icon_zoom_in,
    46: icon_zoom_out,
    47: icon_zoom_actual,
    49: icon_magnify_pad,
    50: icon_pen,
    51: icon_marker,
    52: icon_eraser,
    53: icon_stroke_delete,
    54: icon_pencil,
    58: icon_clear_page,
    80: icon_full_screen,
    81: icon_full_screen_off,
    88: icon_fit_width,
    89: icon_fit_height,
    92: icon_lock,
}


def _loops(x0, x1, base, count, height=3.4):
    """Cursive loops along a baseline (a looped cycloid), ending on the baseline."""
    r = (x1 - x0) / (2 * math.pi * count)
    dx, dy = 1.6 * r, height / 2
    pts = []
    steps = 24 * count
    for i in range(steps + 1):
        t = 2 * math.pi * count * i / steps
        pts.append((x0 + r * t - dx * math.sin(t), base - dy + dy * math.cos(t)))
    return pts


def app_icon(size):
    """A pen writing on a ruled note page; the handwriting is coarser at small sizes."""
    outline = [(3, 2), (19, 2), (25, 8), (25, 30), (3, 30)]
    shapes = [poly([(5, 4), (21, 4), (27, 10), (27, 31), (5, 31)], (168, 176, 190)),
              poly(outline, PAPER)]
    for y in (12, 17, 22, 27):
        shapes.append(stroke([(4, y), (24, y)], 1, RULE))
    shapes.append(stroke([(8, 3), (8, 29)], 1, MARGIN))
    shapes += [poly([(19, 2), (19, 8), (25, 8)], PAPER_SHADE),
               stroke(outline, 1.5, INK, closed=True),
               stroke([(19, 2), (19, 8), (25, 8)], 1.5, INK)]
    # Handwriting: a full line and a second one that runs up to the pen's point.
    ink = (24, 76, 168)
    if size < 64:
        shapes.append(stroke([(10, 16), (13, 12.5), (16, 16), (19, 12.5), (22, 16)], 1.5, ink))
        shapes.append(stroke([(10, 21), (13, 17.5), (16, 21)], 1.5, ink))
    else:
        shapes.append(stroke(_loops(10, 22, 16, 3), 1.1, ink))
        shapes.append(stroke(_loops(10, 16, 21, 2), 1.1, ink))
    return shapes + pen_shapes(tip=(16.0, 21.0), angle=-52.0, body=BLUE, scale=0.72, line=1.5)


# ---------------------------------------------------------------------------------------------
# Drawing.

SAMPLES = 4  # per pixel in each direction


def render(shapes, size, background):
    """Returns size x size pixels, each (r, g, b, coverage 0..1) or None when untouched."""
    scale = size / 32.0
    n = SAMPLES
    offsets = [(i + 0.5) / n for i in range(n)]
    out = []
    for py in range(size):
        row = []
        y0, y1 = py / scale, (py + 1) / scale
        band = [s for s in shapes if s[0][1] <= y1 and s[0][3] >= y0]
        for px in range(size):
            x0, x1 = px / scale, (px + 1) / scale
            here = [s for s in band if s[0][0] <= x1 and s[0][2] >= x0]
            here.reverse()  # topmost first
            r = g = b = 0
            hit = 0
            for oy in offsets:
                y = (py + oy) / scale
                for ox in offsets:
                    x = (px + ox) / scale
                    for _, test, colour in here:
                        if test(x, y):
                            if colour is not None:
                                r += colour[0]
                                g += colour[1]
                                b += colour[2]
                                hit += 1
                            break
            if hit == 0:
                row.append(None)
                continue
            total = n * n
            rest = total - hit
            if background is None:
                row.append((round(r / hit), round(g / hit), round(b / hit), hit / total))
            else:
                row.append((round((r + rest * background[0]) / total),
                            round((g + rest * background[1]) / total),
                            round((b + rest * background[2]) / total), hit / total))
        out.append(row)
    return out


def opaque(pixel):
    """A drawn pixel as an opaque colour that never reads as the transparent one."""
    if pixel is None:
        return MAGENTA
    colour = pixel[:3]
    return (254, 0, 255) if colour == MAGENTA else colour


def write_bmp(path, pixels):
    """pixels: rows of (r, g, b), top row first; written as a 24-bit bottom-up BMP."""
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    rows = []
    for line in pixels:
        data = bytearray()
        for r, g, b in line:
            data += bytes((b, g, r))
        data += bytes(stride - len(data))
        rows.append(bytes(data))
    body = b"".join(reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + body)


def write_png(path, pixels):
    """pixels: rows of (r, g, b, a), top row first; written as an 8-bit RGBA PNG."""
    height, width = len(pixels), len(pixels[0])
    raw = bytearray()
    for line in pixels:
        raw.append(0)
        for p in line:
            raw += bytes(p)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
                chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def toolbar(cell):
    side = cell * 10
    sheet = [[MAGENTA] * side for _ in range(side)]
    for index, draw in ICONS.items():
        cx, cy = (index % 10) * cell, (index // 10) * cell
        pixels = render(draw(cell), cell, BAR_GREY)
        for y in range(cell):
            for x in range(cell):
                sheet[cy + y][cx + x] = opaque(pixels[y][x])
    return sheet


# ---------------------------------------------------------------------------------------------
# Button frame: four states side by side (normal, focus, disabled, hover), the released look
# above the pushed one. The toolkit keeps 4-pixel caps at both ends and stretches the middle,
# and stretches each cell to the button's height; the cell is no taller than the lowest button
# so that stretching only repeats rows and never drops the bottom edge.

FRAME_W, FRAME_H = 32, 22


def frame_cell(state, pushed):
    w, h = FRAME_W, FRAME_H
    edge, top, bottom = {
        "normal": ((128, 134, 146), (252, 252, 253), (222, 226, 232)),
        "focus": ((48, 112, 200), (244, 249, 255), (204, 222, 246)),
        "disabled": ((186, 188, 194), (246, 246, 247), (236, 237, 240)),
        "hover": ((104, 140, 196), (255, 255, 255), (230, 238, 250)),
    }[state]
    if pushed:
        top, bottom = (bottom[0] - 14, bottom[1] - 14, bottom[2] - 12), top
        top = tuple(max(0, c) for c in top)
        bottom = tuple(c - 16 for c in bottom)
    n = SAMPLES
    # A clear line all round: stretching repeats the first row, which must not thicken the
    # top edge; the corners' rounding stays inside the 4-pixel caps.
    m, r = 1, 3.0
    cell = []
    for py in range(h):
        t = min(1.0, max(0.0, (py - m) / (h - 1 - 2 * m)))
        fill = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        row = []
        for px in range(w):
            inner = outer = 0
            for oy in range(n):
                y = py + (oy + 0.5) / n
                for ox in range(n):
                    x = px + (ox + 0.5) / n
                    if not (m <= x < w - m and m <= y < h - m):
                        continue
                    cx = min(max(x, m + r), w - m - r)
                    cy = min(max(y, m + r), h - m - r)
                    d = math.hypot(x - cx, y - cy)
                    if d <= r:
                        outer += 1
                        if d <= r - 1.0 and m + 1 <= x < w - m - 1 and m + 1 <= y < h - m - 1:
                            inner += 1
            if outer == 0:
                row.append(MAGENTA)
                continue
            total = n * n
            edge_part = outer - inner
            colour = tuple(round((inner * f + edge_part * e + (total - outer) * d) / total)
                           for f, e, d in zip(fill, edge, DIALOG_WHITE))
            row.append(colour)
        cell.append(row)
    if pushed:
        return cell
    # A one-pixel highlight just inside the top edge.
    for px in range(m + 2, w - m - 2):
        p = cell[m + 1][px]
        if p != MAGENTA:
            cell[m + 1][px] = tuple(round(c + (255 - c) * 0.6) for c in p)
    return cell


def button_frame():
    states = ("normal", "focus", "disabled", "hover")
    sheet = [[] for _ in range(FRAME_H * 2)]
    for row, pushed in enumerate((False, True)):
        for state in states:
            cell = frame_cell(state, pushed)
            for y in range(FRAME_H):
                sheet[row * FRAME_H + y] += [opaque(p) if p != MAGENTA else MAGENTA
                                             for p in cell[y]]
    return sheet


def main():
    write_bmp(os.path.join(DATA, "toolbar.bmp"), toolbar(32))
    write_bmp(os.path.join(HERE, "toolbar16.bmp"), toolbar(16))
    write_bmp(os.path.join(HERE, "button_frame.bmp"), button_frame())
    icon = render(app_icon(32), 32, BAR_GREY)
    write_bmp(os.path.join(HERE, "app_icon.bmp"), [[opaque(p) for p in row] for row in icon])
    for size in (48, 128, 256):
        big = render(app_icon(size), size, None)
        write_png(os.path.join(HERE, "app_icon_%d.png" % size),
                  [[(0, 0, 0, 0) if p is None else (p[0], p[1], p[2], round(p[3] * 255))
                    for p in row] for row in big])


if __name__ == "__main__":
    main()
