#!/usr/bin/env python3
"""Writes the program's artwork into res/: the 32 x 32 16-colour icon, the
32 x 32 pointing-hand cursor (hot spot 4, 0) and the eight gold frame bitmaps.

Everything is drawn from code with the standard library only, so the art can be
regenerated and reviewed as text:   python3 tools/make-art.py
"""
import os
import struct

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")

# The frame's bevel, outer edge (lightest) to inner edge (darkest: 64, 48, 0).
BAND = [
    (255, 244, 190), (250, 226, 140), (240, 204, 96), (226, 184, 64), (212, 166, 48),
    (200, 152, 40), (188, 140, 32), (170, 124, 24), (150, 108, 16), (128, 92, 10),
    (106, 78, 6), (86, 62, 2), (64, 48, 0),
]
STUD_LIGHT = (255, 250, 214)
STUD_DARK = (96, 64, 8)
STRIP_LENGTH = 330
WIDTH = len(BAND)  # 13


def bmp24(pixels):
    """A bottom-up 24-bit BMP of rows of (r, g, b)."""
    h, w = len(pixels), len(pixels[0])
    stride = (w * 3 + 3) & ~3
    body = b""
    for row in reversed(pixels):
        line = b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in row)
        body += line + b"\0" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 3780, 3780, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0, 14 + len(info))
    return head + info + body


def strip_top():
    # A bevelled band with a faint bead every 10 pixels in the middle rows.
    rows = []
    for y in range(WIDTH):
        row = []
        for x in range(STRIP_LENGTH):
            c = BAND[y]
            if 4 <= y <= 7 and x % 10 in (4, 5):
                c = BAND[max(0, y - 3)]
            row.append(c)
        rows.append(row)
    return rows


def corner_top_left():
    rows = []
    for y in range(WIDTH):
        row = []
        for x in range(WIDTH):
            c = BAND[min(x, y)]
            d = abs(x - 6) + abs(y - 6)
            if d <= 3:
                c = STUD_LIGHT if (x + y) < 12 or d <= 1 else STUD_DARK
            row.append(c)
        rows.append(row)
    return rows


def flip_v(p):
    return [list(r) for r in reversed(p)]


def flip_h(p):
    return [list(reversed(r)) for r in p]


def transpose(p):
    return [list(col) for col in zip(*p)]


# Standard 16-colour palette.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def icon_pixels():
    """Palette indices, None for transparent: four player-colour swatches in a gold frame."""
    img = [[None] * 32 for _ in range(32)]
    for y in range(2, 30):
        for x in range(2, 30):
            edge = min(x - 2, y - 2, 29 - x, 29 - y)
            if edge == 0:
                img[y][x] = 0
            elif edge <= 2:
                img[y][x] = 11 if edge == 1 else 3
            else:
                img[y][x] = 0
    swatches = [(9, 6, 6), (12, 17, 6), (10, 6, 17), (15, 17, 17)]
    for colour, x0, y0 in swatches:
        for y in range(y0, y0 + 9):
            for x in range(x0, x0 + 9):
                img[y][x] = colour
    return img


def ico(img):
    xor = b""
    andm = b""
    for row in reversed(img):
        bits = 0
        line = b""
        for x in range(0, 32, 2):
            a = row[x] if row[x] is not None else 0
            b = row[x + 1] if row[x + 1] is not None else 0
            line += bytes([(a << 4) | b])
        xor += line
        for x in range(32):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        andm += struct.pack(">I", bits)
    pal = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in VGA)
    info = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(xor) + len(andm), 0, 0, 16, 0)
    data = info + pal + xor + andm
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(data), 22) + data


# The hand: 'X' black outline, '.' white inside, ' ' transparent. The tip of the
# index finger is the hot spot at column 4, row 0.
HAND = [
    "   XXX",
    "   X.X",
    "   X.X",
    "   X.X",
    "   X.X",
    "   X.XXX",
    "   X.X.XXX",
    "   X.X.X.XXX",
    "XX X.X.X.X.X",
    "X.XX.......X",
    "X..X.......X",
    " X.........X",
    " X.........X",
    "  X........X",
    "  X.......X",
    "   X......X",
    "   X.....X",
    "    X....X",
    "    XXXXXX",
]


def cursor():
    xor = b""
    andm = b""
    rows = [HAND[y] if y < len(HAND) else "" for y in range(32)]
    for row in reversed(rows):
        row = row.ljust(32)
        xbits = abits = 0
        for ch in row:
            xbits = (xbits << 1) | (1 if ch == "." else 0)
            abits = (abits << 1) | (1 if ch == " " else 0)
        xor += struct.pack(">I", xbits)
        andm += struct.pack(">I", abits)
    pal = struct.pack("BBBB", 0, 0, 0, 0) + struct.pack("BBBB", 255, 255, 255, 0)
    info = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 0)
    data = info + pal + xor + andm
    hot_x, hot_y = 4, 0
    return struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", 32, 32, 0, 0, hot_x, hot_y, len(data), 22) + data


def main():
    top = strip_top()
    left = transpose(top)
    corner = corner_top_left()
    files = {
        "frame-top.bmp": bmp24(top),
        "frame-bottom.bmp": bmp24(flip_v(top)),
        "frame-left.bmp": bmp24(left),
        "frame-right.bmp": bmp24(flip_h(left)),
        "corner-top-left.bmp": bmp24(corner),
        "corner-top-right.bmp": bmp24(flip_h(corner)),
        "corner-bottom-left.bmp": bmp24(flip_v(corner)),
        "corner-bottom-right.bmp": bmp24(flip_v(flip_h(corner))),
        "tintmoor.ico": ico(icon_pixels()),
        "hand.cur": cursor(),
    }
    os.makedirs(RES, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(RES, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
