#!/usr/bin/env python3
"""Writes winza_icons32.bmp, the toolkit's standard icons drawn for the high-resolution screen
(bitmap resource 102 of winza): the same ten pictures as winza_icons.bmp, in the same order,
drawn again on 32 x 32 cells with thin outlines, round shapes and slanted strokes rather than
doubled 16 x 16 pixels. Magenta is transparent. Each pixel takes the colour of the last shape
that covers its centre, so edges stay hard against the transparent colour.
Run it again after changing a picture; the output depends on nothing but this file.
"""
import math
import os
import struct

SIZE = 32
MAGENTA = (255, 0, 255)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
DARK = (64, 64, 64)
SILVER = (192, 192, 192)
FOLDER = (248, 208, 80)
FOLDER_LIGHT = (252, 232, 150)
FOLDER_EDGE = (160, 112, 24)
GREEN = (32, 152, 48)
GREEN_LIGHT = (120, 208, 120)
RED = (208, 40, 40)
BLUE = (40, 80, 176)
SKY = (150, 190, 240)


def rect(l, t, r, b, c):
    return lambda x, y: c if l <= x < r and t <= y < b else None


def circle(cx, cy, radius, c):
    return lambda x, y: c if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius else None


def stroke(points, width, c):
    """A polyline of the given width with round joins."""

    def near(x, y):
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            dx, dy = x1 - x0, y1 - y0
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / float(dx * dx + dy * dy)))
            if math.hypot(x - x0 - t * dx, y - y0 - t * dy) <= width / 2.0:
                return c
        return None

    return near


def polygon(points, c):
    def inside(x, y):
        hit = False
        for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                hit = not hit
        return c if hit else None

    return inside


def framed(l, t, r, b, edge, fill):
    return [rect(l, t, r, b, edge), rect(l + 1, t + 1, r - 1, b - 1, fill)]


def folder(top=8):
    """A folder with its tab at the left, body from row top + 4 to 29."""
    return (
        framed(2, top, 13, top + 6, FOLDER_EDGE, FOLDER_LIGHT)
        + framed(2, top + 4, 30, 29, FOLDER_EDGE, FOLDER)
        + [rect(3, top + 5, 29, top + 6, FOLDER_LIGHT), rect(3, 29, 31, 30, DARK),
           rect(30, top + 5, 31, 30, DARK)]
    )


def page(l, t):
    return framed(l, t, l + 17, t + 20, GREY, WHITE) + [rect(l + 17, t + 1, l + 18, t + 21, DARK),
                                                       rect(l + 1, t + 20, l + 18, t + 21, DARK)]


def tick(points, width, c):
    return [stroke(points, width, c)]


ICONS = [
    # 0: folder with an arrow up
    folder(10) + [polygon([(21.5, 1), (29, 9), (25, 9), (25, 16), (18, 16), (18, 9), (14, 9)],
                          GREEN),
                  polygon([(21.5, 3), (26.5, 8), (16.5, 8)], GREEN_LIGHT)],
    # 1: new folder: a folder with a spark
    folder(10) + [stroke([(24, 1), (24, 15)], 2, GREEN), stroke([(17, 8), (31, 8)], 2, GREEN),
                  stroke([(19, 3), (29, 13)], 1.6, GREEN), stroke([(29, 3), (19, 13)], 1.6, GREEN),
                  circle(24, 8, 2.6, GREEN_LIGHT), circle(24, 8, 1.2, WHITE)],
    # 2: multiple selection: stacked pages with a tick
    page(12, 2) + page(7, 6) + page(2, 10) + tick([(5, 20), (9, 25), (16, 14)], 2.6, GREEN),
    # 3: OK
    tick([(4, 16), (12, 24), (28, 6)], 4.5, GREEN),
    # 4: cancel
    [stroke([(6, 6), (26, 26)], 4.5, RED), stroke([(26, 6), (6, 26)], 4.5, RED)],
    # 5: the device
    framed(6, 1, 26, 30, DARK, SILVER)
    + framed(9, 4, 23, 19, DARK, SKY)
    + [polygon([(10, 18), (22, 8), (22, 18)], BLUE), rect(11, 6, 13, 8, WHITE),
       circle(12, 24, 2, GREY), circle(20, 24, 2, GREY), rect(14, 23, 18, 26, DARK)],
    # 6: radio button
    [circle(16, 16, 11.5, GREY), circle(16, 16, 10.2, WHITE)],
    # 7: radio button chosen
    [circle(16, 16, 11.5, GREY), circle(16, 16, 10.2, WHITE), circle(16, 16, 5.2, BLACK)],
    # 8: check box
    framed(4, 4, 28, 28, GREY, WHITE),
    # 9: check box checked
    framed(4, 4, 28, 28, GREY, WHITE) + tick([(8.5, 15), (13, 20.5), (23.5, 9)], 3, BLACK),
]


def render(shapes):
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            colour = MAGENTA
            for shape in shapes:
                c = shape(x + 0.5, y + 0.5)
                if c is not None:
                    colour = c
            row.append(colour)
        rows.append(row)
    return rows


def main():
    cells = [render(icon) for icon in ICONS]
    width = SIZE * len(cells)
    stride = (width * 3 + 3) & ~3
    lines = []
    for y in range(SIZE):
        line = bytearray()
        for cell in cells:
            for r, g, b in cell[y]:
                line += bytes((b, g, r))
        line += bytes(stride - len(line))
        lines.append(bytes(line))
    pixels = b"".join(reversed(lines))  # bottom row first
    info = struct.pack("<IiiHHIIiiII", 40, width, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "winza_icons32.bmp")
    with open(out, "wb") as f:
        f.write(header + info + pixels)


if __name__ == "__main__":
    main()
