#!/usr/bin/env python3
"""Draws the controller's small images and writes them as Windows files.

Everything is drawn here from geometry and hand-made pixel patterns, in the
16-colour Windows palette:
  icon128.ico   program icon, 32x32 and 16x16: the globe, half lit, and the sun
  up134.ico     16x16 arrow pointing up (the city chooser's "Up" button)
  down133.ico   16x16 arrow pointing down ("Down" button)
  hand105.cur   32x32 monochrome pointing hand, hot spot at the fingertip (12, 5)
  banner129.bmp 196x31 banner of the Information page
  umbravue-art.rc  the resource statements naming them, for the program's .rc

Usage: make_art.py OUTDIR [--png] (--png also writes PNG previews through
ImageMagick's convert, for looking at them).
"""

import math
import os
import struct
import subprocess
import sys

# The 16 colours of the standard Windows palette, (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GRAY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

# 4x4 ordered-dither thresholds, 0..15.
BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def dither(a, b, fraction, x, y):
    """Colour a or b so that about fraction of an area shows b."""
    return b if fraction * 16 > BAYER[y % 4][x % 4] + 0.5 else a


# ---------------------------------------------------------------- writers

def row_bytes_4bpp(row):
    """Packs palette indices two to a byte, padded to 32 bits."""
    out = bytearray()
    for i in range(0, len(row), 2):
        hi = row[i]
        lo = row[i + 1] if i + 1 < len(row) else 0
        out.append((hi << 4) | lo)
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def row_bytes_1bpp(bits):
    out = bytearray()
    for i in range(0, len(bits), 8):
        byte = 0
        for j, bit in enumerate(bits[i:i + 8]):
            if bit:
                byte |= 0x80 >> j
        out.append(byte)
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def palette_bytes(colours):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colours)


def info_header(width, height, bpp, colours, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, image_size,
                       0, 0, colours, 0)


def icon_image(pixels):
    """One icon image: header, palette, 4-bit colour rows and the mask.

    pixels holds palette indices, None for transparent, top row first.
    """
    h = len(pixels)
    w = len(pixels[0])
    xor = b"".join(row_bytes_4bpp([0 if p is None else p for p in row])
                   for row in reversed(pixels))
    mask = b"".join(row_bytes_1bpp([p is None for p in row]) for row in reversed(pixels))
    # The header counts both bitmaps in its height.
    return (info_header(w, h * 2, 4, 16, len(xor) + len(mask)) +
            palette_bytes(PALETTE) + xor + mask)


def cursor_image(pixels):
    """Monochrome image: 'o' white, '#' black, anything else transparent."""
    h = len(pixels)
    w = len(pixels[0])
    xor = b"".join(row_bytes_1bpp([c == "o" for c in row]) for row in reversed(pixels))
    mask = b"".join(row_bytes_1bpp([c not in "o#" for c in row]) for row in reversed(pixels))
    return (info_header(w, h * 2, 1, 2, len(xor) + len(mask)) +
            palette_bytes([(0, 0, 0), (255, 255, 255)]) + xor + mask)


def directory(kind, entries):
    """ICO (kind 1) or CUR (kind 2) file of (width, height, colours, a, b, data),
    where a and b are planes and bit count for icons, the hot spot for cursors."""
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    for (w, h, colours, a, b, data) in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, colours, 0, a, b, len(data), offset)
        offset += len(data)
    return out + b"".join(e[5] for e in entries)


def write_ico(path, images):
    entries = [(len(p[0]), len(p), 16, 1, 4, icon_image(p)) for p in images]
    with open(path, "wb") as f:
        f.write(directory(1, entries))


def write_cur(path, pixels, hotspot):
    entries = [(len(pixels[0]), len(pixels), 2, hotspot[0], hotspot[1], cursor_image(pixels))]
    with open(path, "wb") as f:
        f.write(directory(2, entries))


def write_bmp4(path, pixels):
    h = len(pixels)
    w = len(pixels[0])
    data = b"".join(row_bytes_4bpp(row) for row in reversed(pixels))
    header = info_header(w, h, 4, 16, len(data)) + palette_bytes(PALETTE)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(data), 0, 0, 14 + len(header)))
        f.write(header + data)


# ---------------------------------------------------------------- drawings

# Rough continents as ellipses in (latitude, longitude, half-height,
# half-width) degrees: enough to read as land at 16 and 32 pixels.
CONTINENTS = [
    (5, 20, 32, 18), (48, 15, 12, 22), (55, 70, 15, 45), (-18, -58, 28, 14),
    (45, -100, 17, 30), (-25, 134, 10, 15), (25, 80, 12, 15),
]


def is_land(lat, lon):
    for (clat, clon, hlat, hlon) in CONTINENTS:
        dlon = (lon - clon + 180) % 360 - 180
        if (lat - clat) ** 2 / hlat ** 2 + dlon ** 2 / hlon ** 2 <= 1:
            return True
    return False


def draw_globe(img, cx, cy, radius, view_lon):
    """Orthographic globe lit from the upper left, with a rim."""
    sun = (-0.55, -0.45, 0.70)  # toward the viewer's upper left
    n = math.sqrt(sum(c * c for c in sun))
    sun = tuple(c / n for c in sun)
    size = len(img)
    for y in range(size):
        for x in range(size):
            dx = (x + 0.5 - cx) / radius
            dy = (y + 0.5 - cy) / radius
            d2 = dx * dx + dy * dy
            if d2 > 1:
                continue
            z = math.sqrt(1 - d2)
            if d2 > (1 - 1.2 / radius) ** 2:
                img[y][x] = BLACK
                continue
            lat = math.degrees(math.asin(-dy))
            lon = view_lon + math.degrees(math.atan2(dx, z))
            light = dx * sun[0] + dy * sun[1] + z * sun[2]
            land = is_land(lat, lon)
            if light > 0.12:
                img[y][x] = GREEN if land else BLUE
            elif light > -0.08:
                img[y][x] = OLIVE if land else TEAL
            else:
                img[y][x] = BLACK if land else NAVY


def draw_sun(img, cx, cy, radius, rays):
    size = len(img)
    for y in range(size):
        for x in range(size):
            dx = x + 0.5 - cx
            dy = y + 0.5 - cy
            r = math.hypot(dx, dy)
            if r <= radius:
                img[y][x] = YELLOW if r <= radius - 1 else OLIVE
            elif rays and r <= radius + rays:
                angle = math.degrees(math.atan2(dy, dx)) % 45
                if angle < 9 or angle > 36:
                    img[y][x] = YELLOW


def program_icon(size):
    img = [[None] * size for _ in range(size)]
    s = size / 32.0
    draw_sun(img, 7.5 * s, 7.5 * s, 4.5 * s, 3.0 * s)
    draw_globe(img, 18.5 * s, 18.5 * s, 13.5 * s, 10)
    return img


def arrow_icon(up):
    img = [[None] * 16 for _ in range(16)]
    # A solid triangle: 9 pixels wide at its base, 5 rows high, over a stem.
    for i in range(5):
        y = 4 + i if up else 11 - i
        for x in range(7 - i, 9 + i):
            img[y][x] = BLACK
    for y in (range(9, 13) if up else range(3, 7)):
        for x in range(7, 9):
            img[y][x] = BLACK
    return img


def hand_cursor():
    """A pointing hand: white inside, black outline, index finger up."""
    inside = set()

    def box(x0, x1, y0, y1):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                inside.add((x, y))

    box(11, 13, 6, 18)    # index finger; its tip's outline is row 5
    box(15, 17, 11, 18)   # middle finger
    box(19, 21, 12, 19)   # ring finger
    box(23, 24, 14, 20)   # little finger
    box(10, 24, 19, 26)   # palm
    box(11, 23, 27, 28)
    box(12, 22, 29, 29)   # wrist edge
    for i in range(5):    # thumb, slanting in toward the palm
        box(5 + i, 7 + i, 15 + i, 16 + i)
    for (x, y) in [(11, 6), (13, 6), (15, 11), (17, 11), (19, 12), (21, 12),
                   (23, 14), (24, 14)]:
        inside.discard((x, y))  # round the fingertips
    rows = []
    for y in range(32):
        row = ""
        for x in range(32):
            if (x, y) in inside:
                row += "o"
            elif any((x + dx, y + dy) in inside for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                row += "#"
            else:
                row += "."
        rows.append(row)
    return rows


# Our own 5x7 letters for the banner's word.
FONT = {
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "m": [".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"],
    "b": ["#....", "#....", "####.", "#...#", "#...#", "#...#", "####."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "v": [".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
}


def banner():
    w, h = 196, 31
    img = [[NAVY] * w for _ in range(h)]
    # Night on the left turning to day on the right.
    for y in range(h):
        for x in range(w):
            t = x / (w - 1)
            if t < 0.45:
                img[y][x] = NAVY
            elif t < 0.65:
                img[y][x] = dither(NAVY, BLUE, (t - 0.45) / 0.2, x, y)
            else:
                img[y][x] = dither(BLUE, AQUA, min(0.5, (t - 0.65) / 0.7), x, y)
    for (x, y) in [(6, 3), (31, 27), (52, 2), (70, 28), (97, 4), (118, 26), (84, 1), (20, 29)]:
        img[y][x] = WHITE
    # The sun rising at the right edge.
    for y in range(h):
        for x in range(w):
            r = math.hypot(x + 0.5 - 178, y + 0.5 - 15.5)
            if r <= 9:
                img[y][x] = YELLOW
            elif r <= 13:
                angle = math.degrees(math.atan2(y + 0.5 - 15.5, x + 0.5 - 178)) % 30
                if angle < 7 or angle > 23:
                    img[y][x] = YELLOW
    # The word, three pixels per font dot, white with a black outline.
    scale, x0, y0 = 3, 9, 5
    text = set()
    x = x0
    for ch in "Umbravue":
        glyph = FONT[ch]
        for gy, line in enumerate(glyph):
            for gx, c in enumerate(line):
                if c == "#":
                    for sy in range(scale):
                        for sx in range(scale):
                            text.add((x + gx * scale + sx, y0 + gy * scale + sy))
        x += (len(glyph[0]) + 1) * scale
    for (px, py) in text:
        for dy in (-1, 0, 1):
            for dx in (-1, 0, 1):
                if (px + dx, py + dy) not in text and 0 <= px + dx < w and 0 <= py + dy < h:
                    img[py + dy][px + dx] = BLACK
    for (px, py) in text:
        img[py][px] = WHITE
    return img


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    files = {
        "icon128.ico": lambda p: write_ico(p, [program_icon(32), program_icon(16)]),
        "up134.ico": lambda p: write_ico(p, [arrow_icon(True)]),
        "down133.ico": lambda p: write_ico(p, [arrow_icon(False)]),
        "hand105.cur": lambda p: write_cur(p, hand_cursor(), (12, 5)),
        "banner129.bmp": lambda p: write_bmp4(p, banner()),
    }
    for name, make in files.items():
        make(os.path.join(out, name))
    with open(os.path.join(out, "umbravue-art.rc"), "w") as f:
        f.write("// Generated by make_art.py: the program's icons, cursor and banner.\n"
                "128 ICON \"icon128.ico\"\n"
                "133 ICON \"down133.ico\"\n"
                "134 ICON \"up134.ico\"\n"
                "105 CURSOR \"hand105.cur\"\n"
                "129 BITMAP \"banner129.bmp\"\n")
    if "--png" in argv:
        for name in files:
            src = os.path.join(out, name)
            subprocess.run(["convert", src, "-scale", "800%",
                            os.path.join(out, name.replace(".", "-") + ".png")], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
