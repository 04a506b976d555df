#!/usr/bin/env python3
"""Writes TLA files for the reader's tests into a folder of the build tree.
No other encoder of the format exists, so this writer is ours, but it shares
no code with the reader: the pixels go through Python's zlib, and the
cipher below is a second implementation written apart from the library's.

    make_tla_fixtures.py OUTDIR

OUTDIR/manifest.txt lists one file a line: name, width, height, bytes a
pixel, the password it was written with ("-" for none), the error a read at
3 bytes a pixel with that password ends with, and whether that read hands
back a buffer (1) or not (0). For the sound files NAME.m1 .. NAME.m4 hold
the rows each output mode must give. OUTDIR/cipher.txt holds key bytes and
enciphered samples for passwords.
"""
import os
import random
import struct
import sys
import zlib


class Sapphire:
    """The stream cipher: a shuffled deck of the byte values and five
    indices that follow the text."""

    def __init__(self):
        self.deck = list(range(256))
        self.rotor = self.ratchet = self.avalanche = self.plain = self.cipher = 0

    def keyed(self, key):
        self.deck = list(range(256))
        where = [0, 0]  # key position, running sum

        def draw(limit):
            mask = 1
            while mask < limit:
                mask = mask * 2 + 1
            tries = 0
            while True:
                where[1] = (self.deck[where[1]] + key[where[0]]) & 255
                where[0] += 1
                if where[0] >= len(key):
                    where[0] = 0
                    where[1] = (where[1] + len(key)) & 255
                value = where[1] & mask
                tries += 1
                if tries > 11:
                    value %= limit
                if value <= limit:
                    return value

        for i in range(255, 0, -1):
            j = draw(i)
            self.deck[i], self.deck[j] = self.deck[j], self.deck[i]
        d = self.deck
        self.rotor, self.ratchet, self.avalanche, self.plain = d[1], d[3], d[5], d[7]
        self.cipher = d[where[1]]
        return self

    def _mask(self):
        d = self.deck
        self.ratchet = (self.ratchet + d[self.rotor]) & 255
        self.rotor = (self.rotor + 1) & 255
        swap = d[self.cipher]
        d[self.cipher] = d[self.ratchet]
        d[self.ratchet] = d[self.plain]
        d[self.plain] = d[self.rotor]
        d[self.rotor] = swap
        self.avalanche = (self.avalanche + d[swap]) & 255
        left = d[(d[self.ratchet] + d[self.rotor]) & 255]
        right = d[d[(d[self.plain] + d[self.cipher] + d[self.avalanche]) & 255]]
        return left ^ right

    def encrypt(self, data):
        out = bytearray()
        for p in data:
            c = p ^ self._mask()
            self.plain, self.cipher = p, c
            out.append(c)
        return bytes(out)


def derive_key(password):
    if not password:
        return None
    s = Sapphire()
    s.deck = [255 - i for i in range(256)]
    s.rotor, s.ratchet, s.avalanche, s.plain, s.cipher = 1, 3, 5, 7, 11
    s.encrypt(password.encode("latin-1"))
    s.encrypt(bytes(range(255, -1, -1)))
    return s.encrypt(bytes(32))


# ---- pictures ----

def picture(w, h, bpp, seed):
    """Stored pixels: smooth ramps with some noise, so every filter has
    work to do and none of them is a no-op."""
    rnd = random.Random(seed)
    out = bytearray()
    for y in range(h):
        for x in range(w):
            if bpp == 1:
                out.append((x + 3 * y + rnd.randrange(2)) % 16)
            elif bpp == 2:
                v = (((x * 2) & 31) << 10) | (((y * 3) & 31) << 5) | ((x + y) & 31)
                if (x + y) % 3:
                    v |= 0x8000
                out += struct.pack("<H", v)
            else:
                px = [(x * 9 + rnd.randrange(4)) & 255, (y * 11) & 255, (x * y + 40) & 255, (x * 20 + y) & 255]
                out += bytes(px[:bpp])
    return bytes(out)


def palette16(extra_alpha=True):
    pal = []
    for i in range(16):
        pal.append((i * 16 & 255, 255 - i * 9, i * 5 + 3, 200 if i % 2 else 60))  # blue, green, red, fourth
    return pal


def outputs(stored, w, h, bpp, pal):
    """The rows of output modes 1 to 4 (mode 1 only for one byte a pixel)."""
    modes = {2: bytearray(), 3: bytearray(), 4: bytearray()}
    if bpp == 1:
        modes[1] = bytearray(stored)
    for i in range(w * h):
        px = stored[i * bpp:(i + 1) * bpp]
        if bpp == 1:
            b, g, r, a = pal[px[0]] if px[0] < len(pal) else (0, 0, 0, 0)
            v16 = (0x8000 if a > 128 else 0) | (r >> 3) << 10 | (g >> 3) << 5 | b >> 3
            a4 = a
        elif bpp == 2:
            v16 = struct.unpack("<H", px)[0]
            r, g, b = (v16 >> 7) & 0xF8, (v16 >> 2) & 0xF8, (v16 & 31) * 8
            a4 = 255 if v16 & 0x8000 else 0
        else:
            r, g, b = px[0], px[1], px[2]
            a4 = px[3] if bpp == 4 else 255
            v16 = (0x8000 if a4 > 128 else 0) | (r >> 3) << 10 | (g >> 3) << 5 | b >> 3
        modes[2] += struct.pack("<H", v16)
        modes[3] += bytes((r, g, b))
        modes[4] += bytes((r, g, b, a4))
    return modes


def filtered(rows, n, b, flags):
    """Applies the row filters in the order the reader undoes them
    backwards: left, then up, then Paeth, each from its own input."""
    rows = [bytearray(r) for r in rows]
    if flags & 1:
        rows = [bytearray(r[i] if i < b else (r[i] - r[i - b]) & 255 for i in range(n)) for r in rows]
    if flags & 2 and len(rows) >= 2:
        rows = [rows[0]] + [bytearray((rows[y][i] - rows[y - 1][i]) & 255 for i in range(n))
                            for y in range(1, len(rows))]
    if flags & 4 and len(rows) >= 2:
        def predict(a, up, c):
            pa, pb, pc = abs(up - c), abs(a - c), abs(a + up - 2 * c)
            if pa <= pb and pa <= pc:
                return a
            return up if pb <= pc else c
        out = [rows[0]]
        for y in range(1, len(rows)):
            cur, above = rows[y], rows[y - 1]
            out.append(bytearray(cur[i] if i < b else
                                 (cur[i] - predict(cur[i - b], above[i], above[i - b])) & 255 for i in range(n)))
        rows = out
    return b"".join(bytes(r) for r in rows)


class Recipe:
    def __init__(self, name, w, h, bpp, **kw):
        self.name, self.w, self.h, self.bpp = name, w, h, bpp
        self.password = kw.get("password")
        self.blocks = kw.get("blocks", [(h, 0)])  # (rows, filter flags)
        self.palette = kw.get("palette", palette16())
        self.colours = kw.get("colours", len(self.palette))
        self.palette_extra = kw.get("palette_extra", b"")
        self.meta = kw.get("meta", [])  # (type, body)
        self.skipped = kw.get("skipped", b"free text")
        self.error = kw.get("error", 0)
        self.returned = kw.get("returned", self.error == 0)
        self.c = kw.get("corrupt", {})
        self.seed = kw.get("seed", 1)


def record(out, key, rtype, body, plain_from=None, header_override=None):
    """A record header and body, each enciphered with a fresh state; bytes
    of the body from plain_from on are written as they are."""
    header = struct.pack("<BHI", 0x5A, rtype, len(body)) if header_override is None else header_override
    plain_from = len(body) if plain_from is None else plain_from
    if key:
        header = Sapphire().keyed(key).encrypt(header)
        body = Sapphire().keyed(key).encrypt(body[:plain_from]) + body[plain_from:]
    out += header + body


def write(recipe):
    c = recipe.c
    key = derive_key(recipe.password)
    out = bytearray(b"TLA\x01" if recipe.password else b"TLAU")
    record(out, key, 100, struct.pack("<H", c.get("version", 1)))
    size = struct.pack("<HHHH", recipe.w, recipe.h, recipe.bpp, recipe.colours)
    if "size_len" in c:
        record(out, key, 101, size + bytes(c["size_len"] - 8))
    else:
        record(out, key, 101, size)
    pal = b"".join(bytes(e) for e in recipe.palette)
    stored_pal = len(pal) if recipe.bpp == 1 else 0
    record(out, key, 104, pal + recipe.palette_extra, plain_from=stored_pal)
    if not c.get("no_metadata"):
        record(out, key, 102, struct.pack("<H", len(recipe.meta)))
        for mtype, body in recipe.meta:
            if c.get("meta_too_long"):
                header = struct.pack("<BHI", 0, mtype, 1 << 30)
                record(out, key, mtype, body, header_override=header)
            else:
                record(out, key, mtype, body)
    if c.get("end_at_skipped"):
        return bytes(out), None
    record(out, key, c.get("skipped_type", 103), recipe.skipped, plain_from=0)
    stored = picture(recipe.w, recipe.h, recipe.bpp, recipe.seed)
    n = recipe.w * recipe.bpp
    data_state = Sapphire().keyed(key) if key else None
    row = 0
    for rows, flags in recipe.blocks:
        raw = [stored[(row + i) * n:(row + i + 1) * n] for i in range(rows)]
        row += rows
        data = zlib.compress(filtered(raw, n, recipe.bpp, flags), 9)
        if c.get("inflate_short"):
            data = zlib.compress(filtered(raw[:-1], n, recipe.bpp, flags), 9)
        if c.get("stream_unended"):
            data = data[:-6]
        if key:
            if c.get("restart_data_cipher"):
                data_state = Sapphire().keyed(key)
            data = data_state.encrypt(data)
        length = len(data) + (1 << 20 if c.get("length_too_long") else 0)
        body = struct.pack("<IHH", length, 0 if c.get("zero_rows") else rows, flags)
        record(out, key, c.get("block_type", 106), body)
        out += data
    if c.get("truncate"):
        out = out[:-c["truncate"]]
    return bytes(out), stored


GOOD = [
    Recipe("plain3", 5, 5, 3, blocks=[(3, 0), (2, 0)]),
    Recipe("left", 13, 9, 3, blocks=[(4, 1), (5, 1)], seed=2),
    Recipe("up", 13, 9, 3, blocks=[(4, 2), (5, 2)], seed=3),
    Recipe("paeth", 13, 9, 3, blocks=[(4, 4), (5, 4)], seed=4),
    Recipe("all3", 13, 9, 3, blocks=[(4, 7), (5, 7), ], seed=5),
    Recipe("all4", 11, 7, 4, blocks=[(1, 7), (6, 7)], seed=6),
    Recipe("index", 12, 6, 1, blocks=[(6, 7)], palette_extra=b"\x01\x02\x03\x04\x05", seed=7),
    Recipe("bits16", 9, 6, 2, blocks=[(2, 3), (4, 5)], seed=8),
    Recipe("meta2", 6, 4, 3, meta=[(7, b"first item"), (300, b"\x00\x01\x02")], seed=9),
    Recipe("secret", 5, 5, 3, password="secret", blocks=[(3, 7), (2, 7)],
         meta=[(5, b"note")], seed=10),
    Recipe("secret1", 8, 5, 1, password="secret", blocks=[(2, 1), (3, 2)], palette_extra=b"xyz", seed=11),
]

BAD = [
    Recipe("restart", 5, 5, 3, password="secret", blocks=[(3, 0), (2, 0)],
         corrupt={"restart_data_cipher": 1}, error=51, returned=1),
    Recipe("version2", 4, 4, 3, corrupt={"version": 2}, error=52),
    Recipe("size9", 4, 4, 3, corrupt={"size_len": 9}, error=52),
    Recipe("bpp5", 4, 4, 5, error=52),
    Recipe("shortpal", 4, 4, 1, colours=20, error=52),
    Recipe("colours300", 4, 4, 1, colours=300, palette=palette16() * 19, error=52),
    Recipe("nometa", 4, 4, 3, corrupt={"no_metadata": 1}, error=52),
    Recipe("metalong", 4, 4, 3, meta=[(9, b"abc")], corrupt={"meta_too_long": 1}, error=52),
    Recipe("skipped104", 4, 4, 3, corrupt={"skipped_type": 104}, error=52),
    Recipe("endatskipped", 4, 4, 3, corrupt={"end_at_skipped": 1}, error=3, returned=1),
    Recipe("zerorows", 4, 4, 3, corrupt={"zero_rows": 1}, error=48, returned=1),
    Recipe("block105", 4, 4, 3, corrupt={"block_type": 105}, error=52, returned=1),
    Recipe("lengthlong", 4, 4, 3, corrupt={"length_too_long": 1}, error=52, returned=1),
    Recipe("inflateshort", 4, 4, 3, blocks=[(2, 0), (2, 0)], corrupt={"inflate_short": 1}, error=51, returned=1),
    Recipe("unended", 4, 4, 3, corrupt={"stream_unended": 1}, error=51, returned=1),
    Recipe("truncated", 6, 6, 3, blocks=[(3, 0), (3, 0)], corrupt={"truncate": 5}, error=3, returned=1),
    Recipe("huge", 65535, 65535, 3, blocks=[(1, 0)], error=1, returned=0),
]


def main():
    outdir = sys.argv[1]
    os.makedirs(outdir, exist_ok=True)
    lines = []
    for recipe in GOOD + BAD:
        if recipe.name == "huge":
            # One row's data is enough: the result buffer is refused first.
            recipe.h = 1
            data, stored = write(recipe)
            data = data.replace(struct.pack("<HHHH", 65535, 1, 3, 16), struct.pack("<HHHH", 65535, 65535, 3, 16))
            recipe.h = 65535
        else:
            data, stored = write(recipe)
        with open(os.path.join(outdir, recipe.name + ".tla"), "wb") as f:
            f.write(data)
        if recipe in GOOD:
            for mode, rows in outputs(stored, recipe.w, recipe.h, recipe.bpp, recipe.palette).items():
                with open(os.path.join(outdir, "%s.m%d" % (recipe.name, mode)), "wb") as f:
                    f.write(rows)
        lines.append("%s %d %d %d %s %d %d" % (recipe.name, recipe.w, recipe.h, recipe.bpp, recipe.password or "-",
                                               recipe.error, 1 if recipe.returned else 0))
    sample = bytes(range(40)) + b"pixels"
    with open(os.path.join(outdir, "cipher.txt"), "w") as f:
        for password in ("secret", "secreT", "a", "Tandrovi3"):
            key = derive_key(password)
            f.write("%s %s %s %s\n" % (password, key.hex(), sample.hex(),
                                       Sapphire().keyed(key).encrypt(sample).hex()))
    with open(os.path.join(outdir, "manifest.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
