"""The contact sheets: every picture with its name, over as many pages as it
takes, for review. Backgrounds are shown at a quarter, everything else at its
real size; the key colour shows as a grey-green check so that fringes stand out.
Pages stay small enough for an ordinary image viewer to open whole."""
import glob
import os

import cairo
import numpy as np

from . import imageio as io
from .canvas import FONT_SANS

PAGE_W = 2600
PAGE_MAX_H = 8000
PAD = 8
LABEL = 12
MIN_CELL_W = 80
BACKDROP = 40


def page_paths(out, count):
    """The files the pages go to: OUT's name with -01, -02 ... before its suffix."""
    stem, ext = os.path.splitext(out)
    return ["%s-%02d%s" % (stem, i + 1, ext) for i in range(count)]


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


def _fit(img):
    """Shrinks a picture by whole factors until it fits an empty page."""
    room_w, room_h = PAGE_W - 2 * PAD, PAGE_MAX_H - LABEL - 3 * PAD
    f = 1
    while img.shape[1] // f > room_w or img.shape[0] // f > room_h:
        f += 1
    return _scale(img, f)


def _tiles(artdir, resources):
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
        tiles.append((r.name, _fit(shown)))
    return tiles


def _paginate(tiles):
    """Shelf packing: rows left to right, a new page when the next row would
    pass the page's height. Returns per page its places and its height."""
    pages = []
    places = []
    x, y, row_h = PAD, PAD, 0
    for name, img in tiles:
        h, w = img.shape[:2]
        if x + w + PAD > PAGE_W:
            x, y, row_h = PAD, y + row_h + LABEL + PAD, 0
        if y + max(row_h, h) + LABEL + 2 * PAD > PAGE_MAX_H and places:
            pages.append((places, _height(places)))
            places = []
            x, y, row_h = PAD, PAD, 0
        places.append((x, y, name, img))
        x += max(w, MIN_CELL_W) + PAD
        row_h = max(row_h, h)
    if places:
        pages.append((places, _height(places)))
    return pages


def _height(places):
    return max(y + LABEL + img.shape[0] for x, y, _, img in places) + 2 * PAD


def _render(places, page_h, out):
    page = np.full((page_h, PAGE_W, 3), BACKDROP, dtype=np.uint8)
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


def write(artdir, resources, out):
    """Writes the pages beside OUT (see page_paths) and removes pages a
    longer earlier run left behind. Returns the files written."""
    pages = _paginate(_tiles(artdir, resources))
    paths = page_paths(out, len(pages))
    for (places, page_h), path in zip(pages, paths):
        _render(places, page_h, path)
    stem, ext = os.path.splitext(out)
    for old in glob.glob(glob.escape(stem) + "-[0-9][0-9]" + ext):
        if old not in paths:
            os.remove(old)
    return paths
