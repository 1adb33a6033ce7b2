#!/usr/bin/env python3
"""Writes winza_icons.bmp, the toolkit's strip of standard icons (bitmap resource 101 of winza).

Ten 16 x 16 cells side by side on magenta, which the toolkit treats as transparent:
0 folder up, 1 new folder, 2 multiple selection, 3 OK, 4 cancel, 5 the device (storage root),
6 radio button, 7 radio button chosen, 8 check box, 9 check box checked.
Run it again after changing a picture; the output depends on nothing but this file.
"""
import os
import struct

COLOURS = {
    ".": (255, 0, 255),  # transparent
    "k": (0, 0, 0),
    "d": (64, 64, 64),
    "g": (128, 128, 128),
    "s": (192, 192, 192),
    "w": (255, 255, 255),
    "y": (248, 208, 80),  # folder body
    "o": (192, 144, 32),  # folder shade
    "G": (32, 152, 48),  # arrows and ticks
    "h": (120, 208, 120),
    "r": (208, 40, 40),
    "R": (240, 120, 120),
    "b": (40, 80, 176),
    "l": (150, 190, 240),
}

ICONS = [
    # 0: folder with an arrow up
    [
        "................",
        "........G.......",
        ".......GGG......",
        "......GGGGG.....",
        ".gggg.GGGGG.....",
        "gwwwwg.GGG......",
        "gwyyyyGGGGgggg..",
        "gyyyyyGGGGyyyyo.",
        "gywwwwwwwwwwwwo.",
        "gywyyyyyyyyyyyo.",
        "gywyyyyyyyyyyyo.",
        "gywyyyyyyyyyyyo.",
        "gywyyyyyyyyyyyo.",
        "gyyyyyyyyyyyyyo.",
        "gooooooooooooook",
        ".kkkkkkkkkkkkkk.",
    ],
    # 1: new folder (a folder with a spark)
    [
        "...........G....",
        "........G..G..G.",
        ".........G.G.G..",
        ".gggg.....GhG...",
        "gwwwwg..GGhwhGG.",
        "gwyyyygggGhGggg.",
        "gyyyyyyyG.G.G.o.",
        "gywwwwwwG.G.Gwo.",
        "gywyyyyyyyGyyyo.",
        "gywyyyyyyyyyyyo.",
        "gywyyyyyyyyyyyo.",
        "gywyyyyyyyyyyyo.",
        "gywyyyyyyyyyyyo.",
        "gyyyyyyyyyyyyyo.",
        "gooooooooooooook",
        ".kkkkkkkkkkkkkk.",
    ],
    # 2: multiple selection (stacked pages with a tick)
    [
        "................",
        "....ggggggggg...",
        "....gwwwwwwwgd..",
        "..ggggggggggwd..",
        "..gwwwwwwwwgwd..",
        "ggggggggggwgwd..",
        "gwwwwwwwwgwgwd..",
        "gwwwwwwwGgwgwd..",
        "gwwwwwwGGgwgwd..",
        "gwGwwwGGwgwgdd..",
        "gwGGwGGwwgwdd...",
        "gwwGGGwwwgdd....",
        "gwwwGwwwwgd.....",
        "gwwwwwwwwgd.....",
        "ggggggggggd.....",
        ".dddddddddd.....",
    ],
    # 3: OK
    [
        "................",
        "................",
        "............GG..",
        "...........GGG..",
        "..........GGG...",
        ".........GGG....",
        "........GGG.....",
        ".GG....GGG......",
        ".GGG..GGG.......",
        "..GGGGGG........",
        "...GGGGG........",
        "....GGG.........",
        ".....G..........",
        "................",
        "................",
        "................",
    ],
    # 4: cancel
    [
        "................",
        "................",
        "..rr........rr..",
        "..rrr......rrr..",
        "...rrr....rrr...",
        "....rrr..rrr....",
        ".....rrrrrr.....",
        "......rrrr......",
        "......rrrr......",
        ".....rrrrrr.....",
        "....rrr..rrr....",
        "...rrr....rrr...",
        "..rrr......rrr..",
        "..rr........rr..",
        "................",
        "................",
    ],
    # 5: the device
    [
        "...dddddddddd...",
        "..dssssssssssd..",
        "..dsddddddddsd..",
        "..dsdllllllbsd..",
        "..dsdlwlllllbd..",
        "..dsdllllllbsd..",
        "..dsdlllllbbsd..",
        "..dsdllllbbbsd..",
        "..dsdbbbbbbbsd..",
        "..dsssssssssssd.",
        "..dsgsgsssgsgsd.",
        "..dssssgggsssd..",
        "..dsgsgsssgsgsd.",
        "..dssssssssssd..",
        "...dddddddddd...",
        "................",
    ],
    # 6: radio button
    [
        "................",
        "................",
        ".....gggggg.....",
        "....gwwwwwwg....",
        "...gwwwwwwwwg...",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "...gwwwwwwwwg...",
        "....gwwwwwwg....",
        ".....gggggg.....",
        "................",
        "................",
    ],
    # 7: radio button chosen
    [
        "................",
        "................",
        ".....gggggg.....",
        "....gwwwwwwg....",
        "...gwwwwwwwwg...",
        "..gwwwkkkkwwwg..",
        "..gwwkkkkkkwwg..",
        "..gwwkkkkkkwwg..",
        "..gwwkkkkkkwwg..",
        "..gwwkkkkkkwwg..",
        "..gwwwkkkkwwwg..",
        "...gwwwwwwwwg...",
        "....gwwwwwwg....",
        ".....gggggg.....",
        "................",
        "................",
    ],
    # 8: check box
    [
        "................",
        "................",
        "..gggggggggggg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gggggggggggg..",
        "................",
        "................",
    ],
    # 9: check box checked
    [
        "................",
        "................",
        "..gggggggggggg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwkwg..",
        "..gwwwwwwwkkwg..",
        "..gwwwwwwkkkwg..",
        "..gwkwwwkkkwwg..",
        "..gwkkwkkkwwwg..",
        "..gwkkkkkwwwwg..",
        "..gwwkkkwwwwwg..",
        "..gwwwkwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gggggggggggg..",
        "................",
        "................",
    ],
]

SIZE = 16


def main():
    for n, icon in enumerate(ICONS):
        assert len(icon) == SIZE, f"icon {n} has {len(icon)} rows"
        for y, row in enumerate(icon):
            assert len(row) == SIZE, f"icon {n} row {y} has {len(row)} pixels"
            assert all(c in COLOURS for c in row), f"icon {n} row {y} has an unknown colour"
    width = SIZE * len(ICONS)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(SIZE):
        line = bytearray()
        for icon in ICONS:
            for c in icon[y]:
                r, g, b = COLOURS[c]
                line += bytes((b, g, r))
        line += bytes(stride - len(line))
        rows.append(bytes(line))
    pixels = b"".join(reversed(rows))  # bottom row first
    info = struct.pack("<IiiHHIIiiII", 40, width, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "winza_icons.bmp")
    with open(out, "wb") as f:
        f.write(header + info + pixels)


if __name__ == "__main__":
    main()
