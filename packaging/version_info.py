#!/usr/bin/env python3
"""Reads the version resource of Windows program files.

Usage: version_info.py [--expect A.B.C.D] FILE...
Prints "FILE A.B.C.D ProductVersion=..." per file; with --expect exits 1 when a
file has no version resource or its numeric file version differs.
"""

import os
import re
import struct
import sys

FIXED_SIGNATURE = 0xFEEF04BD


def project_version(root):
    """The version on the project() line of the top CMakeLists.txt under
    root, the one place it is written."""
    with open(os.path.join(root, "CMakeLists.txt")) as f:
        found = re.search(r"^project\(Umbravue VERSION ([0-9.]+)", f.read(), re.M)
    if not found:
        raise ValueError("CMakeLists.txt names no project version")
    return found.group(1)


def read_resource_section(data):
    """Returns (section bytes, section virtual address) of the resource
    directory, located through the PE header's data directory 2."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    opt_size = struct.unpack_from("<H", data, pe + 20)[0]
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    dirs = opt + (96 if magic == 0x10B else 112)
    rva, size = struct.unpack_from("<II", data, dirs + 2 * 8)
    if rva == 0:
        return None, 0, None
    table = opt + opt_size
    for i in range(sections):
        s = table + 40 * i
        vsize, vaddr, raw_size, raw_ptr = struct.unpack_from("<IIII", data, s + 8)
        if vaddr <= rva < vaddr + max(vsize, raw_size):
            return data, rva, (vaddr, raw_ptr)
    return None, 0, None


def find_version_blob(data):
    data, rva, mapping = read_resource_section(data)
    if data is None:
        return None
    vaddr, raw_ptr = mapping

    def at(r):
        return r - vaddr + raw_ptr

    root = at(rva)

    def entries(offset):
        named, ids = struct.unpack_from("<HH", data, offset + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, offset + 16 + 8 * i)
            yield name, target

    for type_id, target in entries(root):
        if type_id != 16 or not target & 0x80000000:  # RT_VERSION
            continue
        names = root + (target & 0x7FFFFFFF)
        for _, t2 in entries(names):
            langs = root + (t2 & 0x7FFFFFFF)
            for _, t3 in entries(langs):
                leaf = root + (t3 & 0x7FFFFFFF)
                data_rva, size = struct.unpack_from("<II", data, leaf)
                return data[at(data_rva):at(data_rva) + size]
    return None


def string_value(blob, key):
    needle = (key + "\0").encode("utf-16-le")
    i = blob.find(needle)
    if i < 0:
        return None
    j = i + len(needle)
    j += (-j) % 4  # values start on a 32-bit boundary of the blob
    end = j
    while end + 1 < len(blob) and blob[end:end + 2] != b"\0\0":
        end += 2
    return blob[j:end].decode("utf-16-le")


def version_of(path):
    with open(path, "rb") as f:
        blob = find_version_blob(f.read())
    if blob is None:
        return None, {}
    k = blob.find(struct.pack("<I", FIXED_SIGNATURE))
    if k < 0:
        return None, {}
    ms, ls = struct.unpack_from("<II", blob, k + 8)
    numeric = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    strings = {key: string_value(blob, key) for key in
               ("FileVersion", "ProductVersion", "ProductName", "OriginalFilename")}
    return numeric, strings


def main(argv):
    expect = None
    files = []
    args = iter(argv[1:])
    for a in args:
        if a == "--expect":
            expect = next(args)
        else:
            files.append(a)
    bad = 0
    for path in files:
        try:
            numeric, strings = version_of(path)
        except (OSError, ValueError, struct.error) as e:
            print(f"{path}: {e}")
            bad += 1
            continue
        detail = " ".join(f"{k}={v}" for k, v in strings.items() if v is not None)
        print(f"{path} {numeric} {detail}")
        if expect and numeric != expect:
            print(f"{path}: file version {numeric}, expected {expect}")
            bad += 1
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
