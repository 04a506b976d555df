#!/usr/bin/env python3
"""Writes the bitmap resources of the image-library test program.

The pictures follow the same formulas as IndexPicture and ColourPicture in
imgtest.cpp, so the test knows every pixel. Usage: make_test_bitmaps.py OUTDIR
"""
import struct
import sys
from pathlib import Path

WIDTH, HEIGHT = 13, 7


def palette(colours):
    return [((255 - i * 7) & 255, (i * 53 + 11) & 255, (i * 29 + 3) & 255) for i in range(colours)]


def index_at(x, y, colours):
    return (x * 7 + y * 3 + x * y) % colours


def colour_at(x, y):
    return ((x * 37 + y) & 255, (y * 71 + 5) & 255, ((x ^ y) * 13 + 200) & 255)


def stored_rows(bits, colours):
    stride = (WIDTH * bits + 31) // 32 * 4
    out = bytearray()
    for y in reversed(range(HEIGHT)):
        row = bytearray(stride)
        for x in range(WIDTH):
            if bits == 24:
                r, g, b = colour_at(x, y)
                row[3 * x:3 * x + 3] = bytes((b, g, r))
            else:
                bit = x * bits
                row[bit // 8] |= index_at(x, y, colours) << (8 - bits - bit % 8)
        out += row
    return bytes(out)


def bmp(bits, colours, clr_used):
    table = b"".join(bytes((b, g, r, 0)) for b, g, r in palette(colours)) if bits <= 8 else b""
    pixels = stored_rows(bits, colours)
    offset = 14 + 40 + len(table)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, bits, 0, len(pixels), 0, 0, clr_used, 0)
    return head + info + table + pixels


# The run-length picture: each row starts with a run of RUN_PIXELS of index y,
# the rest as the index picture has it, written as one literal.
RUN_PIXELS = 5


def rle_index_at(x, y):
    return y if x < RUN_PIXELS else index_at(x, y, 256)


def rle8():
    table = b"".join(bytes((b, g, r, 0)) for b, g, r in palette(256))
    pixels = bytearray()
    for y in reversed(range(HEIGHT)):
        literal = bytes(rle_index_at(x, y) for x in range(RUN_PIXELS, WIDTH))
        pixels += bytes((RUN_PIXELS, y, 0, len(literal))) + literal + bytes(len(literal) & 1)
        pixels += bytes((0, 0))
    pixels += bytes((0, 1))
    offset = 14 + 40 + len(table)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 1, len(pixels), 0, 0, 0, 0)
    return head + info + table + bytes(pixels)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    pictures = {
        "T_BMP1": bmp(1, 2, 0),
        "T_BMP4": bmp(4, 16, 0),
        "T_BMP8": bmp(8, 256, 0),
        "T_BMP8_CLR16": bmp(8, 16, 16),
        "T_BMP24": bmp(24, 0, 0),
        "T_BMP8_RLE": rle8(),
    }
    lines = ["#pragma code_page(65001)"]
    for name, data in pictures.items():
        path = out / f"{name}.bmp"
        path.write_bytes(data)
        lines.append(f'{name} BITMAP "{path.as_posix()}"')
    (out / "imagelib_test.rc").write_text("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
