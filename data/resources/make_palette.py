#!/usr/bin/env python3
"""Writes palette.bmp, the 13 x 13 colour table of the application (bitmap resource 110).

Rows are hues (red round to pink, then greys in the last row); columns go from the palest
tone (paper) through soft tones (folders, ruled lines) and strong tones (title lines) to
dark ones. The program adds 16 to each channel below 240 and turns the rest into 255, so
the file stores every channel 16 below the colour meant. Run it again after changing the
table; the output depends on nothing but this file.
"""
import colorsys
import os
import struct

HUES = [0, 25, 45, 60, 90, 140, 175, 200, 215, 240, 275, 310]  # degrees, one row each
# (lightness, saturation) per column, palest first.
TONES = [(0.94, 0.85), (0.87, 0.70), (0.76, 0.55), (0.68, 0.60), (0.56, 0.72),
         (0.48, 0.68), (0.41, 0.62), (0.35, 0.58), (0.29, 0.55), (0.24, 0.50),
         (0.19, 0.45), (0.14, 0.40), (0.09, 0.30)]
GREYS = [1.00, 0.93, 0.86, 0.78, 0.70, 0.62, 0.54, 0.46, 0.38, 0.30, 0.22, 0.14, 0.07]


def meant(row, col):
    """The colour the program shows for (row, col), as (red, green, blue)."""
    if row == len(HUES):
        r = g = b = GREYS[col]
    else:
        light, sat = TONES[col]
        r, g, b = colorsys.hls_to_rgb(HUES[row] / 360.0, light, sat)
    return tuple(int(round(c * 255)) for c in (r, g, b))


def stored(value):
    """The byte that the program's rule turns back into value (16 is the darkest)."""
    return 255 if value >= 255 else max(value, 16) - 16


def main():
    size = 13
    stride = (size * 3 + 3) & ~3
    rows = []
    for row in range(size):
        line = bytearray()
        for col in range(size):
            r, g, b = meant(row, col)
            line += bytes((stored(b), stored(g), stored(r)))
        line += bytes(stride - len(line))
        rows.append(bytes(line))
    pixels = b"".join(reversed(rows))  # bottom row first
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "palette.bmp")
    with open(out, "wb") as f:
        f.write(header + info + pixels)


if __name__ == "__main__":
    main()
