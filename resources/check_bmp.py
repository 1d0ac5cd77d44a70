#!/usr/bin/env python3
"""Fails unless a file is a BMP the map renderer can take as it is: a
40-byte BITMAPINFOHEADER, 24 bits per pixel, uncompressed, bottom-up, and
optionally of a given size. Run by the build right after each conversion."""
import struct
import sys


def main():
    if len(sys.argv) not in (2, 4):
        sys.exit("usage: check_bmp.py FILE.bmp [WIDTH HEIGHT]")
    path = sys.argv[1]
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 54 or data[:2] != b"BM":
        sys.exit(f"{path}: not a BMP file")
    offset, = struct.unpack_from("<I", data, 10)
    size, width, height, planes, bpp, compression = struct.unpack_from("<IiiHHI", data, 14)
    problems = []
    if size != 40:
        problems.append(f"info header of {size} bytes, want 40")
    if bpp != 24 or planes != 1:
        problems.append(f"{bpp} bits per pixel in {planes} planes, want 24 in 1")
    if compression != 0:
        problems.append(f"compression {compression}, want none")
    if height <= 0:
        problems.append("rows are top-down, want bottom-up")
    stride = (width * 3 + 3) & ~3
    if offset + stride * abs(height) > len(data):
        problems.append("pixel data is short")
    if len(sys.argv) == 4 and (width, height) != (int(sys.argv[2]), int(sys.argv[3])):
        problems.append(f"size {width}x{height}, want {sys.argv[2]}x{sys.argv[3]}")
    if problems:
        sys.exit(f"{path}: " + "; ".join(problems))


if __name__ == "__main__":
    main()
