#!/usr/bin/env python3
"""Copies a text file with Windows line ends (Notepad on older Windows shows
a file with bare LF line ends as one long line), putting each VALUE in place
of its @NAME@. Usage: crlf.py IN OUT [NAME=VALUE ...]"""
import re
import sys

data = open(sys.argv[1], "rb").read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
for pair in sys.argv[3:]:
    name, value = pair.split("=", 1)
    data = data.replace(b"@" + name.encode("ascii") + b"@", value.encode("ascii"))
left = re.search(rb"@UV_[A-Z_]+@", data)
if left:
    sys.exit("%s: %s is not given" % (sys.argv[1], left.group(0).decode("ascii")))
with open(sys.argv[2], "wb") as f:
    f.write(data)
