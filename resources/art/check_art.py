#!/usr/bin/env python3
"""Reads the generated icons, cursor and banner back and checks what the
resource compiler and the program rely on: file structure, sizes, colour
depth, the cursor's hot spot and that no image is blank.

Usage: check_art.py OUTDIR
"""

import os
import struct
import sys

EXPECTED = {
    # name: (kind, [(width, height, bit count)], hot spot or None)
    "icon128.ico": (1, [(32, 32, 4), (16, 16, 4)], None),
    "up134.ico": (1, [(16, 16, 4)], None),
    "down133.ico": (1, [(16, 16, 4)], None),
    "hand105.cur": (2, [(32, 32, 1)], (12, 5)),
}


def stride(width, bpp):
    return (width * bpp + 31) // 32 * 4


def check_dib(data, width, height, bpp, name):
    size, w, h2, planes, bits = struct.unpack_from("<IiiHH", data, 0)
    assert size == 40, f"{name}: header size {size}"
    assert (w, h2, planes, bits) == (width, height * 2, 1, bpp), \
        f"{name}: {w}x{h2} planes {planes} bits {bits}"
    colours = 1 << bpp
    xor_at = 40 + 4 * colours
    mask_at = xor_at + stride(width, bpp) * height
    end = mask_at + stride(width, 1) * height
    assert len(data) == end, f"{name}: {len(data)} bytes, expected {end}"
    mask = data[mask_at:end]
    opaque = sum(bin(0xFF ^ b).count("1") for i, b in enumerate(mask)
                 if i % stride(width, 1) < (width + 7) // 8)
    assert 0 < opaque < width * height, f"{name}: {opaque} opaque pixels"


def check_group(path, name, kind, images, hotspot):
    data = open(path, "rb").read()
    reserved, got_kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, got_kind, count) == (0, kind, len(images)), f"{name}: directory"
    for i, (w, h, bpp) in enumerate(images):
        bw, bh, colours, _, a, b, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        assert (bw, bh) == (w % 256, h % 256), f"{name}: entry {i} is {bw}x{bh}"
        assert colours == 1 << bpp, f"{name}: entry {i} has {colours} colours"
        if hotspot:
            assert (a, b) == hotspot, f"{name}: hot spot {a},{b}"
        else:
            assert (a, b) == (1, bpp), f"{name}: planes {a} bits {b}"
        assert offset + length <= len(data), f"{name}: entry {i} runs past the end"
        check_dib(data[offset:offset + length], w, h, bpp, name)


def check_banner(path):
    data = open(path, "rb").read()
    magic, file_size, _, _, bits_at = struct.unpack_from("<2sIHHI", data, 0)
    assert magic == b"BM" and file_size == len(data), "banner: file header"
    _, w, h, planes, bpp, compression = struct.unpack_from("<IiiHHI", data, 14)
    assert (w, h, planes, bpp, compression) == (196, 31, 1, 4, 0), \
        f"banner: {w}x{h} {bpp} bits compression {compression}"
    assert bits_at == 14 + 40 + 64, "banner: palette"
    assert len(data) == bits_at + stride(196, 4) * 31, "banner: pixel bytes"
    assert len(set(data[bits_at:])) > 3, "banner: blank"


def main(argv):
    out = argv[1]
    for name, (kind, images, hotspot) in EXPECTED.items():
        check_group(os.path.join(out, name), name, kind, images, hotspot)
    check_banner(os.path.join(out, "banner129.bmp"))
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except AssertionError as e:
        print(f"check_art: {e}", file=sys.stderr)
        sys.exit(1)
