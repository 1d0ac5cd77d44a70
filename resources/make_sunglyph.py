#!/usr/bin/env python3
"""Draws the sun glyph of globepix.dll: a yellow disc with an orange rim and
twelve orange rays on pure white, which the map treats as transparent.

Edges are hard (no antialiasing): a pixel mixed with the white background
would not be transparent and would leave a pale fringe on the map.
Writes a 24-bit bottom-up BMP.
"""
import math
import struct
import sys

SIZE = 32
CENTRE = (SIZE - 1) / 2.0
DISC = 7.5
RIM = 6.0
RAY_INNER = 9.0
RAY_OUTER = 15.5
RAYS = 12
RAY_BASE = 1.6
RAY_TIP = 0.6

WHITE = (255, 255, 255)
YELLOW = (255, 224, 32)
ORANGE = (244, 128, 0)


def colour(x, y):
    dx, dy = x - CENTRE, y - CENTRE
    r = math.hypot(dx, dy)
    if r <= RIM:
        return YELLOW
    if r <= DISC:
        return ORANGE
    if RAY_INNER <= r <= RAY_OUTER:
        step = 2 * math.pi / RAYS
        angle = math.atan2(dy, dx)
        nearest = round(angle / step) * step
        # Distance from the ray's axis; a ray narrows towards its tip.
        off_axis = abs(r * math.sin(angle - nearest))
        half_width = RAY_BASE - (RAY_BASE - RAY_TIP) * (r - RAY_INNER) / (RAY_OUTER - RAY_INNER)
        if off_axis <= half_width:
            return ORANGE
    return WHITE


def write_bmp(path, width, height, pixel):
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(data), 0, 0, 14 + len(header))
    with open(path, "wb") as f:
        f.write(file_header + header + data)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_sunglyph.py OUTPUT.bmp")
    write_bmp(sys.argv[1], SIZE, SIZE, colour)
