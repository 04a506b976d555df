"""The contact sheet: every picture on one page with its name, for review.
Backgrounds are shown at a quarter, everything else at its real size; the key
colour shows as a grey-green check so that fringes stand out."""
import os

import cairo
import numpy as np

from . import imageio as io
from .canvas import FONT_SANS

PAGE_W = 2600
PAD = 8
LABEL = 12


def _load(path):
    rgb = io.read_bmp(path)
    key = np.all(rgb == np.array(io.KEY, dtype=np.uint8), axis=-1)
    return rgb, key


def _checker(h, w):
    yy, xx = np.mgrid[0:h, 0:w]
    c = ((yy // 6 + xx // 6) % 2).astype(np.uint8)
    out = np.zeros((h, w, 3), dtype=np.uint8)
    out[c == 0] = (150, 170, 150)
    out[c == 1] = (120, 140, 120)
    return out


def _scale(rgb, f):
    if f == 1:
        return rgb
    h, w = rgb.shape[0] // f, rgb.shape[1] // f
    return rgb[:h * f, :w * f].reshape(h, f, w, f, 3).mean(axis=(1, 3)).astype(np.uint8)


def write(artdir, resources, out):
    tiles = []
    for r in resources:
        if r.fmt not in ("bmp8", "bmp4", "bmp24"):
            continue
        path = os.path.join(artdir, r.file)
        if not os.path.exists(path):
            continue
        rgb, key = _load(path)
        shown = np.where(key[..., None], _checker(*rgb.shape[:2]), rgb)
        if rgb.shape[1] >= 1000:
            shown = _scale(shown, 4 if rgb.shape[0] >= 500 else 2)
        tiles.append((r.name, shown))
    # shelf packing
    x, y, row_h = PAD, PAD, 0
    places = []
    for name, img in tiles:
        h, w = img.shape[:2]
        if x + w + PAD > PAGE_W:
            x, y = PAD, y + row_h + LABEL + PAD
            row_h = 0
        places.append((x, y, name, img))
        x += max(w, 80) + PAD
        row_h = max(row_h, h)
    page_h = y + row_h + LABEL + PAD * 2
    page = np.full((page_h, PAGE_W, 3), 40, dtype=np.uint8)
    for x, y, name, img in places:
        h, w = img.shape[:2]
        page[y + LABEL:y + LABEL + h, x:x + w] = img
    surf = cairo.ImageSurface(cairo.FORMAT_RGB24, PAGE_W, page_h)
    buf = np.frombuffer(surf.get_data(), np.uint8).reshape(page_h, surf.get_stride() // 4, 4)
    buf[:, :PAGE_W, 0] = page[..., 2]
    buf[:, :PAGE_W, 1] = page[..., 1]
    buf[:, :PAGE_W, 2] = page[..., 0]
    surf.mark_dirty()
    ctx = cairo.Context(surf)
    ctx.select_font_face(FONT_SANS)
    ctx.set_font_size(10)
    ctx.set_source_rgb(0.9, 0.9, 0.9)
    for x, y, name, img in places:
        ctx.move_to(x, y + LABEL - 2)
        ctx.show_text(name)
    surf.write_to_png(out)
