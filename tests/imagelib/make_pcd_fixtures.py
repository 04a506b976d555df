#!/usr/bin/env python3
"""Writes Photo CD files for the reader's tests into a folder of the build
tree, with the pixels each must read as. The residual layers of levels 4
and 5 have no encoder anywhere, so the writer is ours; the expected pixels
come from a second implementation of the decoding (numpy) written apart
from the reader.

    make_pcd_fixtures.py OUTDIR

Files: base.pcd (levels 1 to 3 of a synthetic picture), grey.pcd (level 1:
Y 0 on the left half, 182 on the right), res4.pcd (base.pcd with a level 4
stream of one table), res5.pcd (levels 4 and 5 of three tables each),
plane1.pcd and code17.pcd (res4.pcd with a row of plane 1, a code length of
17), and NAME.LEVEL.rgb with the expected red, green, blue rows.

ImageMagick, a decoder that is not ours, reads base.pcd's levels 1 to 3 as
its luma and chroma planes; im.LEVEL.rgb is those planes converted as above
but with ImageMagick's own chroma enlargement, so its pixels where the
chroma was stored (even rows and columns) are the reader's exactly.
"""
import os
import subprocess
import sys

import numpy as np

SECTOR = 2048
BASE_AT = {1: 4 * SECTOR, 2: 23 * SECTOR, 3: 96 * SECTOR}
SIZES = {level: (192 << (level - 1), 128 << (level - 1)) for level in range(1, 7)}
TONE = [int(v) for v in """
0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 29 30 31 32 33 34 35 36 37 38 39
40 41 42 43 44 45 46 47 48 49 50 51 52 53 54 55 56 57 58 59 60 61 62 63 65 66 67 68 69 70 71 72 73 74 75 76 77 78
79 80 81 82 83 84 85 86 87 88 89 90 91 92 93 95 96 97 98 99 100 101 102 103 104 105 106 107 108 109 110 111 112
114 115 116 117 118 119 120 121 122 123 124 125 126 127 128 129 130 131 132 133 135 136 137 138 139 140 141 142
143 144 145 146 147 148 149 150 151 152 153 154 155 156 157 158 159 160 161 162 163 164 165 166 167 168 169 170
171 172 173 174 175 175 176 177 178 179 180 181 182 183 184 185 186 187 187 188 189 190 191 192 193 194 194 195
196 197 198 199 199 200 201 202 203 203 204 205 206 207 207 208 209 210 210 211 212 213 213 214 215 215 216 217
218 218 219 220 220 221 222 222 223 223 224 225 225 226 227 227 228 228 229 229 230 230 231 232 232 233 233 234
234 235 235 235 236 236 237 237 238 238 238 239 239 240 240 240 241 241 242 242 242 243 243 243 243 244 244 244
245 245 245 245 246 246 246 247 247 247 247 247 248 248 248 248 249 249 249 249 249 249 250 250 250 250 250 250
251 251 251 251 251 251 252 252 252 252 252 252 252 252 252 253 253 253 253 253 253 253 253 253 254 254 254 254
254 254 254 254 254 254 254 254 255 255 255 255 255 255 255""".split()]
assert len(TONE) == 351


def planes_of(level, seed):
    """A smooth synthetic picture: luma and half-size chroma planes."""
    w, h = SIZES[level]
    y, x = np.mgrid[0:h, 0:w]
    rnd = np.random.default_rng(seed)
    luma = (60 + 120 * x / w + 40 * np.sin(y / 9.0) + rnd.integers(0, 6, (h, w))).clip(0, 255).astype(np.uint8)
    cy, cx = np.mgrid[0:h // 2, 0:w // 2]
    c1 = (156 + 50 * np.cos(cx / 13.0) + 20 * cy / h).clip(0, 255).astype(np.uint8)
    c2 = (137 + 45 * np.sin(cy / 7.0 + cx / 31.0)).clip(0, 255).astype(np.uint8)
    return luma, c1, c2


def base_bytes(luma, c1, c2):
    h = luma.shape[0]
    parts = []
    for g in range(h // 2):
        parts += [luma[2 * g].tobytes(), luma[2 * g + 1].tobytes(), c1[g].tobytes(), c2[g].tobytes()]
    return b"".join(parts)


def head(orientation=0):
    data = bytearray(b"\xff" * SECTOR) + bytearray(2 * SECTOR)
    data[SECTOR:SECTOR + 7] = b"PCD_IPI"
    data[3586] = orientation
    return data


def place(data, at, chunk):
    if len(data) < at:
        data += bytes(at - len(data))
    data[at:at + len(chunk)] = chunk


def double(plane):
    """Twice the size: columns by averaging neighbours (the last two take
    the last value), then the rows between from the rows around them."""
    p = plane.astype(np.int32)
    h, w = p.shape
    wide = np.empty((h, 2 * w), np.int32)
    wide[:, 0::2] = p
    wide[:, 1:-2:2] = (p[:, :-1] + p[:, 1:] + 1) // 2
    wide[:, -2] = wide[:, -1] = p[:, -1]
    out = np.empty((2 * h, 2 * w), np.int32)
    out[0::2] = wide
    a, b = wide[:-1], wide[1:]
    mid = np.empty_like(a)
    mid[:, 0::2] = (a[:, 0::2] + b[:, 0::2] + 1) // 2
    mid[:, 1:-2:2] = (a[:, 0:-2:2] + b[:, 0:-2:2] + a[:, 2::2] + b[:, 2::2] + 2) // 4
    mid[:, -2] = (a[:, -2] + b[:, -2] + 1) // 2
    mid[:, -1] = (a[:, -1] + b[:, -1] + 1) // 2
    out[1:-1:2] = mid
    out[-1] = out[-2]
    return out.astype(np.uint8)


def to_rgb(luma, c1, c2):
    return full_size_to_rgb(luma, double(c1), double(c2))


def full_size_to_rgb(luma, c1, c2):
    y = 1.402 * luma.astype(np.float64)
    d1 = c1.astype(np.float64) - 156
    d2 = c2.astype(np.float64) - 137
    tone = np.array(TONE, np.uint8)
    out = []
    for v in (y + 1.88 * d2, y + (-0.444066 * d1) + (-0.95692 * d2), y + 2.289 * d1):
        out.append(tone[np.clip(v, 0, 350).astype(np.int32)])
    return np.stack(out, axis=-1)


class Bits:
    def __init__(self):
        self.bits = []

    def put(self, value, count):
        self.bits += [(value >> (count - 1 - i)) & 1 for i in range(count)]

    def code(self, text):
        self.bits += [int(c) for c in text]

    def row(self, plane, number):
        self.put((1 << 23) - 1, 23)
        self.put(0, 1)
        self.put(plane, 2)
        self.put(number, 13)
        self.put(0, 1)

    def bytes(self):
        bits = self.bits + [0] * (-len(self.bits) % 8)
        return bytes(int("".join(map(str, bits[i:i + 8])), 2) for i in range(0, len(bits), 8))


# Prefix codes; no code is "1111", so that sequence matches nothing.
CODES = [("00", 1), ("01", -1), ("100", 5), ("101", -5), ("110", 40), ("1110", -40)]


def table_bytes(codes=CODES, length17=False):
    out = bytearray([len(codes) - 1])
    for i, (text, value) in enumerate(codes):
        length = 17 if length17 and i == 2 else len(text)
        code = int(text, 2) << (16 - len(text))
        out += bytes([length - 1, code >> 8, code & 255, value & 255])
    return bytes(out)


def residual(rows, passes_rows, tables, length17=False, plane1=False):
    """A stream: tables, then each row as (plane, number, list of codes,
    junk bits after them), then the marker that ends the pass."""
    bits = Bits()
    for plane, number, codes, junk in rows:
        bits.row(1 if plane1 and plane == 0 else plane, number)
        for text in codes:
            bits.code(text)
        bits.code(junk)
    bits.row(0, passes_rows)
    return b"".join(table_bytes(length17=length17) for _ in range(tables)) + bits.bytes()


def apply(planes, rows, tables):
    """What the rows do to the planes: each code adds its value, up to the
    row's width; an unknown code ends the row. Chroma rows need their own
    table."""
    value = dict(CODES)
    luma, c1, c2 = [p.astype(np.int32) for p in planes]
    for plane, number, codes, _ in rows:
        if plane == 0:
            target, r = luma, number
        else:
            if tables == 1:
                continue
            target, r = (c1 if plane == 2 else c2), number // 2
        for col, text in enumerate(codes[:target.shape[1]]):
            if text not in value:
                break
            target[r, col] = min(255, max(0, target[r, col] + value[text]))
    return [p.astype(np.uint8) for p in (luma, c1, c2)]


def pattern(n, start=0):
    return [CODES[(i + start) % len(CODES)][0] for i in range(n)]


def save_rgb(outdir, name, rgb):
    with open(os.path.join(outdir, name), "wb") as f:
        f.write(rgb.tobytes())


CONVERT = "/usr/bin/convert-im6.q16"  # /usr/local/bin/convert may be a stand-in


def magick_planes(path, level):
    """ImageMagick's reading of a base level: its YCC planes taken as they
    are (relabelled, not converted), chroma already at full size."""
    w, h = SIZES[level]
    raw = subprocess.run([CONVERT, "%s[%d]" % (path, level), "-set", "colorspace", "sRGB", "-depth", "8", "rgb:-"],
                         check=True, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
    planes = np.frombuffer(raw, np.uint8).reshape(h, w, 3)
    return planes[:, :, 0], planes[:, :, 1], planes[:, :, 2]


def main():
    outdir = sys.argv[1]
    os.makedirs(outdir, exist_ok=True)
    base = head()
    stored = {}
    for level in (1, 2, 3):
        stored[level] = planes_of(level, level)
        place(base, BASE_AT[level], base_bytes(*stored[level]))
        save_rgb(outdir, "base.%d.rgb" % level, to_rgb(*stored[level]))
    with open(os.path.join(outdir, "base.pcd"), "wb") as f:
        f.write(base)
    for level in (1, 2, 3):
        save_rgb(outdir, "im.%d.rgb" % level, full_size_to_rgb(*magick_planes(os.path.join(outdir, "base.pcd"), level)))

    grey = head()
    luma = np.zeros((128, 192), np.uint8)
    luma[:, 96:] = 182
    place(grey, BASE_AT[1], base_bytes(luma, np.full((64, 96), 156, np.uint8), np.full((64, 96), 137, np.uint8)))
    with open(os.path.join(outdir, "grey.pcd"), "wb") as f:
        f.write(grey)

    level4_at = BASE_AT[3] + 768 * 512 * 3 // 2 + 8192
    enlarged = [double(p) for p in stored[3]]
    # Level 4 alone: one table, so the chroma rows are passed over; row 9
    # stops at an unknown code; row 12 runs past its width; row 1500 ends
    # the pass early, so row 20 after it is never applied.
    rows4 = [(0, 5, pattern(1536), ""), (0, 9, pattern(100) + ["1111"] + pattern(50), ""),
             (2, 8, pattern(768), ""), (0, 12, pattern(1536 + 40, 3), ""), (0, 1500, pattern(10), ""),
             (0, 20, pattern(1536), "")]
    stream4 = residual(rows4, 1024, 1)
    res4 = bytearray(base)
    place(res4, level4_at, stream4)
    with open(os.path.join(outdir, "res4.pcd"), "wb") as f:
        f.write(res4)
    applied = apply(enlarged, rows4[:4], 1)
    save_rgb(outdir, "res4.4.rgb", to_rgb(*applied))
    for name, kw in (("plane1.pcd", {"plane1": True}), ("code17.pcd", {"length17": True})):
        bad = bytearray(base)
        place(bad, level4_at, residual(rows4, 1024, 1, **kw))
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(bad)

    # Levels 4 and 5 of a level-5 file: three tables in both passes.
    rows4b = [(0, 3, pattern(1536), ""), (2, 6, pattern(768, 1), ""), (3, 7, pattern(768, 2), "")]
    rows5 = [(0, 2047, pattern(3072, 4), ""), (3, 100, pattern(1536, 5), ""), (0, 0, pattern(3072), "")]
    s4 = residual(rows4b, 1024, 3)
    s5 = residual(rows5, 2048, 3)
    res5 = bytearray(base)
    place(res5, level4_at, s4)
    level5_at = ((level4_at + len(s4)) // SECTOR + 12) * SECTOR
    place(res5, level5_at, s5)
    with open(os.path.join(outdir, "res5.pcd"), "wb") as f:
        f.write(res5)
    p4 = apply(enlarged, rows4b, 3)
    p5 = apply([double(p) for p in p4], rows5, 3)
    save_rgb(outdir, "res5.5.rgb", to_rgb(*p5))
    with open(os.path.join(outdir, "manifest.txt"), "w") as f:
        f.write("level5 %d\n" % level5_at)


if __name__ == "__main__":
    main()
