#!/usr/bin/env python3
"""Copies a text file with Windows line ends (Notepad on older Windows shows
a file with bare LF line ends as one long line). Usage: crlf.py IN OUT"""
import sys

data = open(sys.argv[1], "rb").read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
with open(sys.argv[2], "wb") as f:
    f.write(data)
