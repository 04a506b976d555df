"""Picture output: palette reduction and the Windows file formats.

Every scene picture leaves here as an 8-bit BMP with a 40-byte header and a
full 256-entry colour table of its own, its pixels run-length encoded
(BI_RLE8, which GDI reads as it is) wherever that is smaller: most sheets are
mostly key colour, and the program file is a download. Transparent pixels carry the exact key
colour 0xFF00FF; no other pixel may come near it, because the loader keys on
the exact value (and a 16-bit display folds near values onto it).
"""
import struct
import zlib
from collections import deque

import numpy as np

KEY = (255, 0, 255)


# --------------------------------------------------------------------------
# Key colour hygiene

def near_key(rgb):
    """Boolean mask of colours a 16-bit display or a careless eye would take
    for the key: red and blue high, green low."""
    rgb = np.asarray(rgb).astype(np.int32)
    return (rgb[..., 0] >= 200) & (rgb[..., 2] >= 200) & (rgb[..., 1] <= 72)


def push_from_key(rgb):
    """Moves every near-key colour away from the key by raising green and
    lowering blue, so that drawing colours never collide with it."""
    rgb = np.array(rgb, dtype=np.uint8, copy=True)
    m = near_key(rgb)
    if m.any():
        px = rgb[m].astype(np.int32)
        px[:, 1] = np.maximum(px[:, 1], 96)
        px[:, 2] = np.minimum(px[:, 2], 180)
        rgb[m] = px.astype(np.uint8)
    return rgb


# --------------------------------------------------------------------------
# Palette reduction (median cut refined by weighted k-means, all on the
# picture's distinct colours so that flat drawings stay exact)

def _pack(rgb):
    rgb = rgb.astype(np.uint32)
    return (rgb[..., 0] << 16) | (rgb[..., 1] << 8) | rgb[..., 2]


def _unpack(v):
    v = v.astype(np.uint32)
    return np.stack([(v >> 16) & 255, (v >> 8) & 255, v & 255], axis=-1).astype(np.float64)


def _median_cut(cols, weights, n):
    boxes = [np.arange(len(cols))]
    while len(boxes) < n:
        best, best_score, best_axis = -1, 0.0, 0
        for i, idx in enumerate(boxes):
            if len(idx) < 2:
                continue
            c = cols[idx]
            rng = c.max(axis=0) - c.min(axis=0)
            axis = int(np.argmax(rng))
            score = rng[axis] * np.sqrt(weights[idx].sum())
            if score > best_score:
                best, best_score, best_axis = i, score, axis
        if best < 0:
            break
        idx = boxes.pop(best)
        order = idx[np.argsort(cols[idx, best_axis], kind="stable")]
        cw = np.cumsum(weights[order])
        cut = int(np.searchsorted(cw, cw[-1] / 2.0))
        cut = min(max(cut, 1), len(order) - 1)
        boxes.append(order[:cut])
        boxes.append(order[cut:])
    pal = np.array([np.average(cols[b], axis=0, weights=weights[b]) for b in boxes])
    return pal


def _nearest(cols, pal, chunk=65536):
    out = np.empty(len(cols), dtype=np.int32)
    p2 = (pal ** 2).sum(axis=1)
    for s in range(0, len(cols), chunk):
        c = cols[s:s + chunk]
        d = p2[None, :] - 2.0 * c @ pal.T
        out[s:s + chunk] = np.argmin(d, axis=1)
    return out


def quantize(rgb, keymask=None, fixed=(), iterations=4):
    """Reduces an RGB picture to 8 bits.

    rgb: HxWx3 uint8; keymask: HxW bool of transparent pixels (they get the
    exact key colour); fixed: colours that must stay exact (they are put into
    the palette as they are). Returns (indices HxW uint8, palette 256x3 uint8).
    """
    rgb = np.asarray(rgb, dtype=np.uint8)
    h, w = rgb.shape[:2]
    if keymask is None:
        keymask = np.zeros((h, w), dtype=bool)
    # Colours that happen to be the key but are not meant transparent move off it.
    opaque = ~keymask
    px = push_from_key(rgb[opaque])
    packed = _pack(px)
    uniq, inverse, counts = np.unique(packed, return_inverse=True, return_counts=True)
    cols = _unpack(uniq)
    fixed = [tuple(int(v) for v in c) for c in fixed]
    fixed = list(dict.fromkeys(c for c in fixed if c != KEY))
    slots = 255 - len(fixed)
    fixed_arr = np.array(fixed, dtype=np.float64).reshape(-1, 3)
    if len(uniq) <= 255:
        pal = cols
        mapping = np.arange(len(uniq))
    else:
        if fixed:
            isfixed = np.isin(uniq, _pack(fixed_arr.astype(np.uint8)))
            free = ~isfixed
        else:
            free = np.ones(len(uniq), dtype=bool)
        pal_free = _median_cut(cols[free], counts[free].astype(np.float64), slots)
        for _ in range(iterations):
            lab = _nearest(cols[free], pal_free)
            sums = np.zeros_like(pal_free)
            wsum = np.zeros(len(pal_free))
            np.add.at(sums, lab, cols[free] * counts[free][:, None])
            np.add.at(wsum, lab, counts[free])
            keep = wsum > 0
            pal_free[keep] = sums[keep] / wsum[keep][:, None]
        pal = np.vstack([fixed_arr, pal_free]) if fixed else pal_free
        pal = np.clip(np.rint(pal), 0, 255)
        pal = push_from_key(pal.astype(np.uint8)).astype(np.float64)
        mapping = _nearest(cols, pal)
    palette = np.zeros((256, 3), dtype=np.uint8)
    palette[:len(pal)] = np.clip(np.rint(pal), 0, 255).astype(np.uint8)
    key_index = 255
    palette[key_index] = KEY
    idx = np.full((h, w), key_index, dtype=np.uint8)
    idx[opaque] = mapping[inverse].astype(np.uint8)
    # Unused entries repeat the first colour so that no stray entry is near the key.
    used = len(pal)
    if used < 255:
        palette[used:255] = palette[0] if used else (0, 0, 0)
    return idx, palette


# --------------------------------------------------------------------------
# File formats

def _bmp_file(info, palette_bytes, pixel_bytes):
    off = 14 + len(info) + len(palette_bytes)
    size = off + len(pixel_bytes)
    return struct.pack("<2sIHHI", b"BM", size, 0, 0, off) + info + palette_bytes + pixel_bytes


def _info(w, h, bits, image_size, colors):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, image_size, 2835, 2835, colors, colors)


# Run-length encoding (BI_RLE8): a run is two bytes for up to 255 equal
# pixels; a literal is two bytes, its pixels and a pad byte when their count is
# odd, for 3 and more pixels (fewer are escapes). Wine's reader loses its place
# after a literal of 255 pixels (its skip counts the pad in one byte), so a
# literal holds 254 at most.
RLE_MAX_COUNT = 255
RLE_MIN_LITERAL = 3
RLE_MAX_LITERAL = 254
BI_RGB, BI_RLE8 = 0, 1


def _run_cost(n):
    return 2 * ((n + RLE_MAX_COUNT - 1) // RLE_MAX_COUNT)


def _literal_cost(n):
    return 2 + n + (n & 1)


def _row_plan(lengths):
    """The cheapest split of a row's stretches of equal pixels into runs and
    literals: best[j] is the cost of the first j stretches; a literal covers
    whole stretches. The cheapest literal ending at stretch j is found among
    the starts of its length window, kept by the parity of their offset
    (which decides the pad) in queues of rising cost."""
    m = len(lengths)
    ends = [0] * (m + 1)
    for k, n in enumerate(lengths):
        ends[k + 1] = ends[k] + n
    best = [0] * (m + 1)
    start = [-1] * (m + 1)   # -1: stretch j-1 as runs; else the literal's first stretch
    queues = (deque(), deque())
    added = 0
    for j in range(1, m + 1):
        end = ends[j]
        while added < j and ends[added] <= end - RLE_MIN_LITERAL:
            value = best[added] - ends[added]
            q = queues[ends[added] & 1]
            while q and q[-1][1] >= value:
                q.pop()
            q.append((added, value))
            added += 1
        cost = best[j - 1] + _run_cost(lengths[j - 1])
        first = -1
        for parity, q in enumerate(queues):
            while q and ends[q[0][0]] < end - RLE_MAX_LITERAL:
                q.popleft()
            if q:
                i, value = q[0]
                c = value + end + 2 + (parity ^ (end & 1))
                if c < cost:
                    cost, first = c, i
        best[j] = cost
        start[j] = first
    plan = []
    j = m
    while j > 0:
        plan.append((start[j], j))
        j = start[j] if start[j] >= 0 else j - 1
    return ends, plan[::-1]


def _rle8_row(out, row):
    """Every pixel of the row written, none left to a skip: GDI leaves skipped
    pixels as they were, and a new bitmap holds nothing worth keeping."""
    w = len(row)
    starts = np.concatenate(([0], np.flatnonzero(row[1:] != row[:-1]) + 1))
    lengths = np.diff(np.append(starts, w)).tolist()
    ends, plan = _row_plan(lengths)
    for first, j in plan:
        if first < 0:
            v = int(row[ends[j - 1]])
            n = lengths[j - 1]
            while n > 0:
                k = min(n, RLE_MAX_COUNT)
                out += bytes((k, v))
                n -= k
        else:
            part = row[ends[first]:ends[j]]
            out += bytes((0, len(part))) + part.tobytes()
            if len(part) & 1:
                out.append(0)   # each literal ends on a word boundary
    out += b"\0\0"   # end of line


def rle8_pixels(idx):
    """The BI_RLE8 form of an index picture (bottom-up, as a DIB stores it)."""
    out = bytearray()
    for row in np.ascontiguousarray(idx[::-1]):
        _rle8_row(out, row)
    out += b"\0\1"   # end of bitmap
    return bytes(out)


def _bmp8_file(w, h, compression, palette, pix):
    pal = np.zeros((256, 4), dtype=np.uint8)
    pal[:, 0] = palette[:, 2]
    pal[:, 1] = palette[:, 1]
    pal[:, 2] = palette[:, 0]
    info = _info(w, h, 8, len(pix), 256)
    info = info[:16] + struct.pack("<I", compression) + info[20:]
    return _bmp_file(info, pal.tobytes(), pix)


def bmp8_bytes(idx, palette, rle=True):
    """The picture run-length encoded where that is smaller (unless rle is
    False), else as rows."""
    h, w = idx.shape
    stride = (w + 3) & ~3
    runs = rle8_pixels(idx) if rle else None
    if runs is not None and len(runs) < stride * h:
        return _bmp8_file(w, h, BI_RLE8, palette, runs)
    rows = np.zeros((h, stride), dtype=np.uint8)
    rows[:, :w] = idx
    return _bmp8_file(w, h, BI_RGB, palette, rows[::-1].tobytes())


def rle8_decode(data, w, h):
    """Index rows (bottom-up) of BI_RLE8 pixels; strict: every pixel must be
    written, no skip and nothing past a row's end."""
    out = np.zeros((h, w), dtype=np.uint8)
    written = np.zeros(h, dtype=np.int64)
    x = y = pos = 0
    n = len(data)
    while True:
        if pos + 2 > n:
            raise ValueError("RLE8 data ends without an end of bitmap")
        a, b = data[pos], data[pos + 1]
        pos += 2
        if a:
            if y >= h or x + a > w:
                raise ValueError("RLE8 run past the row's end")
            out[y, x:x + a] = b
            x += a
            written[y] += a
        elif b == 0 or b == 1:
            if y < h and written[y] != w:
                raise ValueError("RLE8 row %d holds %d of %d pixels" % (y, written[y], w))
            if b == 1:
                break
            x, y = 0, y + 1
        elif b == 2:
            raise ValueError("RLE8 skip: pixels left unwritten")
        else:
            if y >= h or x + b > w or pos + b > n:
                raise ValueError("RLE8 literal past the row's end")
            out[y, x:x + b] = np.frombuffer(data, np.uint8, b, pos)
            x += b
            written[y] += b
            pos += b + (b & 1)
    if y < h - 1 or (y == h - 1 and written[y] != w):
        raise ValueError("RLE8 data ends before the last row")
    return out


def bmp4_bytes(idx, palette16):
    h, w = idx.shape
    stride = ((w + 1) // 2 + 3) & ~3
    rows = np.zeros((h, stride), dtype=np.uint8)
    padded = np.zeros((h, ((w + 1) // 2) * 2), dtype=np.uint8)
    padded[:, :w] = idx
    rows[:, :padded.shape[1] // 2] = (padded[:, 0::2] << 4) | padded[:, 1::2]
    pix = rows[::-1].tobytes()
    pal = np.zeros((16, 4), dtype=np.uint8)
    pal[:, 0] = palette16[:, 2]
    pal[:, 1] = palette16[:, 1]
    pal[:, 2] = palette16[:, 0]
    return _bmp_file(_info(w, h, 4, len(pix), 16), pal.tobytes(), pix)


def bmp24_bytes(rgb):
    rgb = np.asarray(rgb, dtype=np.uint8)
    h, w = rgb.shape[:2]
    stride = (w * 3 + 3) & ~3
    rows = np.zeros((h, stride), dtype=np.uint8)
    rows[:, :w * 3] = rgb[:, :, ::-1].reshape(h, w * 3)
    pix = rows[::-1].tobytes()
    return _bmp_file(_info(w, h, 24, len(pix), 0), b"", pix)


def rgb_bmp_bytes(rgb):
    """An RGB picture as a BMP file in its smallest exact form: 8 bits with a
    colour table of its own colours (run-length encoded where that is smaller)
    when it has 256 colours or fewer, else 24 bits. Readers get the same RGB
    pixels either way."""
    rgb = np.asarray(rgb, dtype=np.uint8)
    colours, idx = np.unique(_pack(rgb).reshape(-1), return_inverse=True)
    if len(colours) > 256:
        return bmp24_bytes(rgb)
    palette = np.empty((256, 3), dtype=np.uint8)
    palette[:len(colours)] = _unpack(colours).astype(np.uint8)
    palette[len(colours):] = palette[0]   # no stray entry near any colour in use
    return bmp8_bytes(idx.reshape(rgb.shape[:2]).astype(np.uint8), palette)


def write_bmp8(path, rgb, keymask=None, fixed=(), rle=True):
    idx, pal = quantize(rgb, keymask, fixed)
    with open(path, "wb") as f:
        f.write(bmp8_bytes(idx, pal, rle))
    return pal[idx]


def read_bmp(path):
    """Reads back our own BMP files (8 bits, plain or run-length encoded, 4 and
    24 bits) as RGB, for reviews."""
    data = open(path, "rb").read()
    off = struct.unpack_from("<I", data, 10)[0]
    hsize, w, h, _planes, bits = struct.unpack_from("<IiiHH", data, 14)
    compression = struct.unpack_from("<I", data, 30)[0]
    if bits == 8:
        pal = np.frombuffer(data, np.uint8, 1024, 14 + hsize).reshape(256, 4)[:, [2, 1, 0]]
        if compression == BI_RLE8:
            rows = rle8_decode(data[off:], w, abs(h))
        else:
            stride = (w + 3) & ~3
            rows = np.frombuffer(data, np.uint8, stride * abs(h), off).reshape(abs(h), stride)[:, :w]
        img = pal[rows]
    elif bits == 4:
        pal = np.frombuffer(data, np.uint8, 64, 14 + hsize).reshape(16, 4)[:, [2, 1, 0]]
        stride = ((w + 1) // 2 + 3) & ~3
        rows = np.frombuffer(data, np.uint8, stride * abs(h), off).reshape(abs(h), stride)
        nib = np.zeros((abs(h), stride * 2), dtype=np.uint8)
        nib[:, 0::2] = rows >> 4
        nib[:, 1::2] = rows & 15
        img = pal[nib[:, :w]]
    else:
        stride = (w * 3 + 3) & ~3
        rows = np.frombuffer(data, np.uint8, stride * abs(h), off).reshape(abs(h), stride)
        img = rows[:, :w * 3].reshape(abs(h), w, 3)[:, :, ::-1]
    if h > 0:
        img = img[::-1]
    return np.ascontiguousarray(img)


def png_bytes(rgb):
    rgb = np.asarray(rgb, dtype=np.uint8)
    h, w = rgb.shape[:2]
    raw = b"".join(b"\x00" + rgb[y].tobytes() for y in range(h))

    def chunk(tag, body):
        c = struct.pack(">I", len(body)) + tag + body
        return c + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def _and_mask(alpha_on):
    h, w = alpha_on.shape
    stride = ((w + 31) // 32) * 4
    bits = np.packbits(~alpha_on, axis=1)
    rows = np.zeros((h, stride), dtype=np.uint8)
    rows[:, :bits.shape[1]] = bits
    return rows[::-1].tobytes()


def icon_image_32(rgba):
    """One icon directory image: a 32-bit BGRA DIB with its AND mask."""
    h, w = rgba.shape[:2]
    bgra = rgba[:, :, [2, 1, 0, 3]]
    xor = bgra[::-1].tobytes()
    andm = _and_mask(rgba[:, :, 3] >= 128)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(andm), 0, 0, 0, 0)
    return info + xor + andm


def icon_image_8(idx, palette, opaque):
    h, w = idx.shape
    stride = (w + 3) & ~3
    rows = np.zeros((h, stride), dtype=np.uint8)
    rows[:, :w] = idx
    xor = rows[::-1].tobytes()
    andm = _and_mask(opaque)
    pal = np.zeros((256, 4), dtype=np.uint8)
    pal[:, 0] = palette[:, 2]
    pal[:, 1] = palette[:, 1]
    pal[:, 2] = palette[:, 0]
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 8, 0, len(xor) + len(andm), 0, 0, 256, 0)
    return info + pal.tobytes() + xor + andm


def ico_bytes(images):
    """images: list of (w, h, colours, bits, dib bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for w, h, colors, bits, dib in images:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, colors, 0, 1, bits, len(dib), offset)
        offset += len(dib)
        body += dib
    return out + body


def cur_bytes(white, black, hot):
    """A monochrome cursor: white and black are HxW bool masks of the two ink
    colours, everything else is transparent."""
    h, w = white.shape
    stride = ((w + 31) // 32) * 4
    xor_bits = np.zeros((h, w), dtype=bool)
    xor_bits[white] = True
    andm_bits = ~(white | black)

    def pack(m):
        rows = np.zeros((h, stride), dtype=np.uint8)
        b = np.packbits(m, axis=1)
        rows[:, :b.shape[1]] = b
        return rows[::-1].tobytes()

    xor = pack(xor_bits)
    andm = pack(andm_bits)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 0)
    pal = struct.pack("<4B4B", 0, 0, 0, 0, 255, 255, 255, 0)
    dib = info + pal + xor + andm
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", w, h, 0, 0, hot[0], hot[1], len(dib), 6 + 16)
    return head + entry + dib
