"""The scene palette "PAL", the error pictures of the start-up, the program's
cursor and its icon."""
import math
import os

import cairo
import numpy as np

from . import imageio as io
from .canvas import FONT_SANS, new_surface, rounded_rect, set_col, surface_rgba, to_u8, fill_stroke, box
from .resources import res

VGA16 = np.array([(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
                  (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
                  (255, 0, 255), (0, 255, 255), (255, 255, 255)], dtype=np.uint8)

ERR_SIZE = (300, 120)
TEXTS = {
    "FARBEN": {1: ("Zu wenig Farben!", "Bitte stellen Sie in der Anzeige", "mindestens 256 Farben ein."),
               2: ("Not enough colours!", "Please set your display to", "at least 256 colours.")},
    "SPEICHER": {1: ("Zu wenig Speicher!", "Der Bildschirmschoner konnte", "nicht gestartet werden."),
                 2: ("Not enough memory!", "The screen saver could", "not be started.")},
}
CURSOR_ID = 1000
ICON_ID = 100


def resources():
    out = [res("PAL", 16, 16, "any", rtype="MASKE")]
    for lang in (1, 2):
        out.append(res("FARBEN_%02d" % lang, *ERR_SIZE, key="opaque", fmt="bmp4"))
        out.append(res("SPEICHER_%02d" % lang, *ERR_SIZE, key="opaque"))
    out.append(res("#%d" % CURSOR_ID, 32, 32, "any", rtype="CURSOR", fmt="cur", file="saver.cur"))
    out.append(res("#%d" % ICON_ID, 32, 32, "any", rtype="ICON", fmt="ico", file="saver.ico"))
    return out


def scene_palette():
    """256 colours for user pictures on palette displays: an even spread over
    the colour cube without the colours near the key, a grey ramp, and the key
    itself."""
    rs = [0, 51, 102, 153, 204, 255]
    gs = [0, 42, 85, 127, 170, 212, 255]
    cols = [(r, g, b) for r in rs for g in gs for b in rs]
    cols = [c for c in cols if not io.near_key(np.array(c))]
    greys = [(v, v, v) for v in (17, 34, 68, 119, 136, 187, 221, 238)]
    extra = [(232, 208, 160), (190, 140, 100), (120, 80, 60), (96, 128, 64)]
    cols = cols + [c for c in greys + extra if c not in cols]
    cols = cols[:255] + [io.KEY]
    while len(cols) < 256:
        cols.insert(0, (0, 0, 0))
    return np.array(cols, dtype=np.uint8)


def build(outdir):
    pal = scene_palette()
    idx = np.arange(256, dtype=np.uint8).reshape(16, 16)
    with open(os.path.join(outdir, "PAL.bmp"), "wb") as f:
        f.write(io.bmp8_bytes(idx, pal))
    for lang in (1, 2):
        with open(os.path.join(outdir, "FARBEN_%02d.bmp" % lang), "wb") as f:
            f.write(io.bmp4_bytes(_farben(lang), VGA16))
        io.write_bmp8(os.path.join(outdir, "SPEICHER_%02d.bmp" % lang), _speicher(lang))
    with open(os.path.join(outdir, "saver.cur"), "wb") as f:
        f.write(_cursor())
    with open(os.path.join(outdir, "saver.ico"), "wb") as f:
        f.write(_icon())


def _text_lines(ctx, lines, x, y0, sizes, colours):
    ctx.select_font_face(FONT_SANS, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    y = y0
    for line, size, c in zip(lines, sizes, colours):
        ctx.set_font_size(size)
        ext = ctx.text_extents(line)
        ctx.set_source_rgb(*[v / 255.0 for v in c])
        ctx.move_to(x - ext.width / 2 - ext.x_bearing, y)
        ctx.show_text(line)
        y += size + 8


def _farben(lang):
    """A 16-colour picture: drawn without smoothing in the VGA colours only."""
    w, h = ERR_SIZE
    surf, ctx = new_surface(w, h)
    ctx.set_antialias(cairo.ANTIALIAS_NONE)
    fo = cairo.FontOptions()
    fo.set_antialias(cairo.ANTIALIAS_NONE)
    ctx.set_font_options(fo)
    ctx.set_source_rgb(0, 0, 0)
    ctx.paint()
    ctx.set_source_rgb(1, 1, 0)
    ctx.set_line_width(3)
    ctx.rectangle(3, 3, w - 6, h - 6)
    ctx.stroke()
    # four colour swatches: what the screen lacks
    for k, c in enumerate(((255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0))):
        ctx.set_source_rgb(*[v / 255.0 for v in c])
        ctx.rectangle(18 + k * 14, 18, 10, 10)
        ctx.fill()
    _text_lines(ctx, TEXTS["FARBEN"][lang], w / 2 + 20, 48, (20, 14, 14),
                ((255, 255, 0), (255, 255, 255), (255, 255, 255)))
    rgb = to_u8(surface_rgba(surf)[..., :3])
    d = ((rgb[:, :, None, :].astype(np.int32) - VGA16[None, None].astype(np.int32)) ** 2).sum(-1)
    d[..., 13] = 1 << 30   # never the key colour
    return np.argmin(d, axis=2).astype(np.uint8)


def _speicher(lang):
    w, h = ERR_SIZE
    surf, ctx = new_surface(w, h)
    ctx.set_source_rgb(0.05, 0.05, 0.07)
    ctx.paint()
    rounded_rect(ctx, 3, 3, w - 6, h - 6, 10)
    ctx.set_source_rgb(0.85, 0.2, 0.18)
    ctx.set_line_width(3)
    ctx.stroke()
    # a warning triangle
    ctx.move_to(38, 22)
    ctx.line_to(60, 62)
    ctx.line_to(16, 62)
    ctx.close_path()
    fill_stroke(ctx, "#ffd23f", "#a06a10", 2)
    ctx.set_source_rgb(0.1, 0.1, 0.1)
    ctx.rectangle(36, 34, 4, 16)
    ctx.fill()
    ctx.arc(38, 56, 2.4, 0, 2 * math.pi)
    ctx.fill()
    _text_lines(ctx, TEXTS["SPEICHER"][lang], w / 2 + 28, 42, (20, 13, 13),
                ((255, 210, 70), (235, 235, 235), (235, 235, 235)))
    return to_u8(surface_rgba(surf)[..., :3])


def _cursor():
    """A pointing hand, black outline on white, hot spot at the fingertip."""
    size = 32
    surf, ctx = new_surface(size, size)
    ctx.set_antialias(cairo.ANTIALIAS_NONE)
    ctx.set_line_width(1)

    def hand():
        ctx.new_path()
        ctx.move_to(8.5, 1.5)
        ctx.line_to(11.5, 1.5)
        ctx.line_to(11.5, 11.5)
        ctx.line_to(14.5, 10.5)
        ctx.line_to(17.5, 11.5)
        ctx.line_to(20.5, 12.5)
        ctx.line_to(23.5, 14.5)
        ctx.line_to(24.5, 16.5)
        ctx.line_to(24.5, 23.5)
        ctx.line_to(22.5, 28.5)
        ctx.line_to(11.5, 28.5)
        ctx.line_to(4.5, 20.5)
        ctx.line_to(3.5, 16.5)
        ctx.line_to(5.5, 15.5)
        ctx.line_to(8.5, 18.5)
        ctx.close_path()

    hand()
    ctx.set_source_rgb(1, 1, 1)
    ctx.fill()
    hand()
    ctx.set_source_rgb(0, 0, 0)
    ctx.stroke()
    for x in (14.5, 17.5, 20.5):
        ctx.move_to(x, 13)
        ctx.line_to(x, 18)
    ctx.stroke()
    rgba = surface_rgba(surf)
    a = rgba[..., 3] > 0.5
    white = a & (rgba[..., 0] > 0.5)
    black = a & ~white
    return io.cur_bytes(white, black, (10, 1))


def _icon_rgba(size):
    f = 4
    surf, ctx = new_surface(size * f, size * f)
    ctx.scale(size * f / 48.0, size * f / 48.0)
    # sky tile
    rounded_rect(ctx, 1, 1, 46, 46, 8)
    g = cairo.LinearGradient(0, 0, 0, 48)
    g.add_color_stop_rgb(0, 0.3, 0.55, 0.85)
    g.add_color_stop_rgb(1, 0.75, 0.88, 0.97)
    ctx.set_source(g)
    ctx.fill_preserve()
    ctx.set_source_rgb(0.12, 0.25, 0.45)
    ctx.set_line_width(1.5)
    ctx.stroke()
    ctx.save()
    rounded_rect(ctx, 1, 1, 46, 46, 8)
    ctx.clip()
    # street
    ctx.set_source_rgb(0.42, 0.42, 0.45)
    ctx.rectangle(0, 40, 48, 8)
    ctx.fill()
    ctx.set_source_rgb(0.85, 0.85, 0.8)
    ctx.rectangle(0, 43.5, 48, 1.2)
    ctx.fill()
    # two gabled houses
    for x0, w, c, roof in ((4, 22, "#e2b35c", "#b0543c"), (26, 18, "#c8725a", "#5f6778")):
        ctx.move_to(x0, 40)
        ctx.line_to(x0, 20)
        ctx.line_to(x0 + w / 2, 8 if x0 == 4 else 13)
        ctx.line_to(x0 + w, 20)
        ctx.line_to(x0 + w, 40)
        ctx.close_path()
        fill_stroke(ctx, c, "#5a3a22", 1)
        ctx.move_to(x0 - 1.5, 21)
        ctx.line_to(x0 + w / 2, 7 if x0 == 4 else 12)
        ctx.line_to(x0 + w + 1.5, 21)
        set_col(ctx, roof)
        ctx.set_line_width(2.5)
        ctx.stroke()
    # clock on the first house, lit windows on the second
    ctx.arc(15, 22, 5, 0, 2 * math.pi)
    fill_stroke(ctx, "#fffbe8", "#3a3030", 1)
    ctx.set_source_rgb(0.2, 0.2, 0.3)
    ctx.set_line_width(1)
    ctx.move_to(15, 22)
    ctx.line_to(15, 18.5)
    ctx.move_to(15, 22)
    ctx.line_to(17.5, 23)
    ctx.stroke()
    box(ctx, 11, 31, 8, 9, "#3f6b4f", "#24402f", 0.8)
    for wx, wy in ((29, 23), (37, 23), (29, 31), (37, 31)):
        box(ctx, wx, wy, 5, 5, "#ffd46a", "#7a4a2a", 0.7)
    ctx.restore()
    surf.flush()
    p = surface_rgba(surf).reshape(size, f, size, f, 4).mean(axis=(1, 3))
    a = p[..., 3:4]
    rgb = np.where(a > 1e-6, p[..., :3] / np.maximum(a, 1e-6), 0)
    out = np.zeros((size, size, 4), dtype=np.uint8)
    out[..., :3] = to_u8(rgb)
    out[..., 3] = to_u8(a[..., 0])
    return out


def _icon():
    images = []
    for s in (48, 32, 16):
        rgba = _icon_rgba(s)
        images.append((s, s, 0, 32, io.icon_image_32(rgba)))
    rgba = _icon_rgba(32)
    opaque = rgba[..., 3] >= 128
    idx, pal = io.quantize(rgba[..., :3], ~opaque)
    images.append((32, 32, 0, 8, io.icon_image_8(idx, pal, opaque)))
    return io.ico_bytes(images)
