#!/usr/bin/env python3
"""Writes the larger TLA and Photo CD files scripts/bench-decode times, from
the synthetic photos it made (NAME.ppm). The test writers are kept; only
their per-pixel loops would take minutes at these sizes, so the filters and
the residual bit streams are vectorised here.

    make_decode_bench_files.py OUTDIR NAME...

For each NAME: NAME-f0.tla (no row filter) and NAME-f7.tla (left, up and
Paeth), 3 bytes a pixel, in blocks of 64 rows. From the largest NAME:
photo.pcd, a 3072x2048 picture with its base levels and full residual
layers 4 and 5 (every luma and chroma row, three tables).
"""
import os
import struct
import sys
import zlib

import numpy as np

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "imagelib"))
import make_pcd_fixtures as pcd  # noqa: E402
import make_reader_fixtures as reader  # noqa: E402
import make_tla_fixtures as tla  # noqa: E402

BLOCK_ROWS = 64


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    _, w, h = data.split(None, 3)[:3]  # ImageMagick writes no comments
    return np.frombuffer(reader.read_pnm(data), np.uint8).reshape(int(h), int(w), 3)


def tla_filtered(rows, flags):
    """The test writer's filters on a block of rows (h, n), vectorised: each
    filter reads the output of the one before, as the reader undoes them."""
    r = rows.astype(np.int16)
    b = 3
    if flags & 1:
        left = r.copy()
        left[:, b:] = r[:, b:] - r[:, :-b]
        r = left & 255
    if flags & 2 and r.shape[0] >= 2:
        up = r.copy()
        up[1:] = r[1:] - r[:-1]
        r = up & 255
    if flags & 4 and r.shape[0] >= 2:
        a, above, c = r[1:, :-b], r[:-1, b:], r[:-1, :-b]
        pa, pb, pc = np.abs(above - c), np.abs(a - c), np.abs(a + above - 2 * c)
        predict = np.where((pa <= pb) & (pa <= pc), a, np.where(pb <= pc, above, c))
        paeth = r.copy()
        paeth[1:, b:] = r[1:, b:] - predict
        r = paeth & 255
    return r.astype(np.uint8).tobytes()


def write_tla(path, picture, flags):
    h, w, _ = picture.shape
    out = bytearray(b"TLAU")
    tla.record(out, None, 100, struct.pack("<H", 1))
    tla.record(out, None, 101, struct.pack("<HHHH", w, h, 3, 0))
    tla.record(out, None, 104, b"")
    tla.record(out, None, 102, struct.pack("<H", 0))
    tla.record(out, None, 103, b"bench", plain_from=0)
    rows = picture.reshape(h, w * 3)
    for top in range(0, h, BLOCK_ROWS):
        block = rows[top:top + BLOCK_ROWS]
        data = zlib.compress(tla_filtered(block, flags), 6)
        tla.record(out, None, 106, struct.pack("<IHH", len(data), block.shape[0], flags))
        out += data
    with open(path, "wb") as f:
        f.write(out)


def to_planes(picture):
    """Kodak's YCC of an sRGB picture, roughly: luma at full size, chroma
    at half size, as 8-bit planes."""
    p = picture.astype(np.float64)
    y = 0.299 * p[:, :, 0] + 0.587 * p[:, :, 1] + 0.114 * p[:, :, 2]
    c1 = (p[:, :, 2] - y) * 0.5 + 156
    c2 = (p[:, :, 0] - y) * 0.5 + 137
    half = lambda q: q.reshape(q.shape[0] // 2, 2, q.shape[1] // 2, 2).mean(axis=(1, 3))
    as8 = lambda q: np.clip(np.rint(q), 0, 255).astype(np.uint8)
    return as8(y / 1.402), as8(half(c1)), as8(half(c2))


def shrink(plane, times):
    for _ in range(times):
        plane = plane.reshape(plane.shape[0] // 2, 2, plane.shape[1] // 2, 2).mean(axis=(1, 3))
    return np.clip(np.rint(plane), 0, 255).astype(np.uint8)


def row_header_bits(plane, number):
    bits = [1] * 23 + [0] + [(plane >> 1) & 1, plane & 1] + [(number >> (12 - i)) & 1 for i in range(13)] + [0]
    return np.array(bits, np.uint8)


def code_bits(indices):
    """The concatenated prefix codes of a row of code indices."""
    codes = [text for text, _ in pcd.CODES]
    lengths = np.array([len(t) for t in codes])
    table = np.zeros((len(codes), lengths.max()), np.uint8)
    for k, text in enumerate(codes):
        table[k, :len(text)] = [int(c) for c in text]
    n = lengths[indices]
    starts = np.concatenate(([0], np.cumsum(n)[:-1]))
    bits = np.zeros(int(n.sum()), np.uint8)
    for j in range(lengths.max()):
        has = n > j
        bits[starts[has] + j] = table[indices[has], j]
    return bits


def residual_stream(width, rows, rnd):
    """Three tables, then every luma row and every other row of both chroma
    planes, each row as wide as its plane, then the end of the pass."""
    parts = []
    for number in range(rows):
        parts.append(row_header_bits(0, number))
        parts.append(code_bits(rnd.integers(0, len(pcd.CODES), width)))
        if number % 2 == 0:
            for plane in (2, 3):
                parts.append(row_header_bits(plane, number))
                parts.append(code_bits(rnd.integers(0, len(pcd.CODES), width // 2)))
    parts.append(row_header_bits(0, rows))
    bits = np.concatenate(parts)
    return b"".join(pcd.table_bytes() for _ in range(3)) + np.packbits(bits).tobytes()


def write_pcd(path, picture):
    h, w, _ = picture.shape
    assert (w, h) == (3072, 2048)
    luma, c1, c2 = to_planes(picture)
    data = pcd.head()
    for level, times in ((1, 4), (2, 3), (3, 2)):
        pcd.place(data, pcd.BASE_AT[level], pcd.base_bytes(shrink(luma, times), shrink(c1, times), shrink(c2, times)))
    rnd = np.random.default_rng(4242)
    level4_at = pcd.BASE_AT[3] + 768 * 512 * 3 // 2 + 8192
    s4 = residual_stream(1536, 1024, rnd)
    pcd.place(data, level4_at, s4)
    level5_at = ((level4_at + len(s4)) // pcd.SECTOR + 12) * pcd.SECTOR
    pcd.place(data, level5_at, residual_stream(3072, 2048, rnd))
    with open(path, "wb") as f:
        f.write(data)


def main():
    outdir, names = sys.argv[1], sys.argv[2:]
    for name in names:
        picture = read_ppm(os.path.join(outdir, name + ".ppm"))
        for flags in (0, 7):
            target = os.path.join(outdir, "%s-f%d.tla" % (name, flags))
            if not os.path.exists(target):
                write_tla(target, picture, flags)
    target = os.path.join(outdir, "photo.pcd")
    if not os.path.exists(target):
        big = read_ppm(os.path.join(outdir, names[-1] + ".ppm"))
        write_pcd(target, np.ascontiguousarray(big[:2048, :3072]))


if __name__ == "__main__":
    main()
