#!/usr/bin/env python3
"""Writes a small seed corpus of BMP files for the fuzzer: every depth, both
headers, both row orders, bit fields, RLE8 and RLE4. Usage: make_bmp_seeds.py DIR"""
import struct
import sys
from pathlib import Path


def info(width, height, bits, compression=0, clr_used=0, image=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, image, 0, 0, clr_used, 0)


def bmp(header, table, pixels):
    offset = 14 + len(header) + len(table)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + table + pixels


def rows(width, height, bits):
    stride = (width * bits + 31) // 32 * 4
    return bytes((x * 7 + y * 13) & 255 for y in range(height) for x in range(stride))


def table(n, size=4):
    return b"".join(bytes((i * 3 & 255, i * 5 & 255, i * 7 & 255, 0)[:size]) for i in range(n))


def seeds():
    w, h = 7, 5
    for bits in (1, 4, 8):
        yield f"info{bits}", bmp(info(w, h, bits), table(1 << bits), rows(w, h, bits))
        yield f"core{bits}", bmp(struct.pack("<IHHHH", 12, w, h, 1, bits), table(1 << bits, 3), rows(w, h, bits))
    yield "info8_clr3", bmp(info(w, -h, 8, clr_used=3), table(3), rows(w, h, 8))
    for bits in (16, 24, 32):
        yield f"info{bits}", bmp(info(w, h, bits), b"", rows(w, h, bits))
        yield f"topdown{bits}", bmp(info(w, -h, bits), b"", rows(w, h, bits))
    yield "core24", bmp(struct.pack("<IHHHH", 12, w, h, 1, 24), b"", rows(w, h, 24))
    masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    yield "fields16", bmp(info(w, h, 16, 3), masks, rows(w, h, 16))
    yield "fields32", bmp(info(w, h, 32, 3), struct.pack("<III", 0xFF0000, 0xFF00, 0xFF), rows(w, h, 32))
    rle8 = bytes([3, 1, 0, 3, 1, 2, 3, 0, 1, 2, 0, 0, 0, 2, 2, 1, 4, 3, 0, 0, 7, 2, 0, 1])
    yield "rle8", bmp(info(w, h, 8, 1, 4), table(4), rle8)
    rle4 = bytes([5, 0x12, 0, 0, 0, 3, 0x12, 0x30, 0, 5, 0x34, 0x56, 0x70, 0, 0, 2, 1, 1, 2, 0x44, 0, 1])
    yield "rle4", bmp(info(w, h, 4, 2, 16), table(16), rle4)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for name, data in seeds():
        (out / f"seed_{name}.bmp").write_bytes(data)


if __name__ == "__main__":
    main()
