#!/usr/bin/env python3
"""Writes a black PNG of SIZE x SIZE pixels: whole (every row, compressed) or
a claim (its header says so, its data is a few bytes).

    make_png.py SIZE whole|claim FILE
"""
import struct
import sys
import zlib


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def main():
    size, how, path = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    header = struct.pack(">IIBBBBB", size, size, 8, 0, 0, 0, 0)  # 8-bit grey
    if how == "whole":
        packer = zlib.compressobj(9)
        row = bytes(size + 1)  # filter byte, then the row
        data = b"".join(packer.compress(row) for _ in range(size)) + packer.flush()
    else:
        data = zlib.compress(bytes(64))
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", data)
                  + chunk(b"IEND", b""))


main()
