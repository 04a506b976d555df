"""Cairo surfaces as numpy pictures, sprite thresholding and colour helpers."""
import math

import cairo
import numpy as np

FONT_SANS = "Liberation Sans"
FONT_SERIF = "Liberation Serif"
FONT_MONO = "Liberation Mono"


def new_surface(w, h):
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, int(w), int(h))
    return surf, cairo.Context(surf)


def surface_rgba(surf):
    """Premultiplied ARGB32 -> float RGBA (premultiplied), HxWx4 in 0..1."""
    surf.flush()
    w, h, stride = surf.get_width(), surf.get_height(), surf.get_stride()
    buf = np.frombuffer(surf.get_data(), np.uint8).reshape(h, stride // 4, 4)[:, :w]
    bgra = buf.astype(np.float32) / 255.0
    return np.stack([bgra[..., 2], bgra[..., 1], bgra[..., 0], bgra[..., 3]], axis=-1)


def surface_rgb(surf, background=(0, 0, 0)):
    """Flattens a surface over a background colour into uint8 RGB."""
    p = surface_rgba(surf)
    bg = np.array(background, dtype=np.float32) / 255.0
    rgb = p[..., :3] + bg * (1.0 - p[..., 3:4])
    return to_u8(rgb)


def to_u8(rgbf):
    return np.clip(np.rint(np.asarray(rgbf) * 255.0), 0, 255).astype(np.uint8)


def downsample(p, factor):
    if factor == 1:
        return p
    h, w = p.shape[0] // factor, p.shape[1] // factor
    p = p[:h * factor, :w * factor]
    return p.reshape(h, factor, w, factor, p.shape[2]).mean(axis=(1, 3))


def sprite_from_surface(surf, factor=2, threshold=0.5):
    """A drawing on a transparent surface rendered at `factor` times the final
    size -> (RGB uint8, key mask). Coverage below the threshold becomes key;
    everything else takes the drawing's own colour (never blended with the
    key), so no pink fringe can appear."""
    p = downsample(surface_rgba(surf), factor)
    a = p[..., 3]
    key = a < threshold
    rgb = np.where(a[..., None] > 1e-6, p[..., :3] / np.maximum(a[..., None], 1e-6), 0.0)
    return to_u8(rgb), key


def rgb_from_hex(h):
    h = h.lstrip("#")
    if len(h) == 3:
        h = "".join(c * 2 for c in h)
    return tuple(int(h[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


def col(c):
    """Colour given as '#rrggbb' or a 0..1 tuple -> tuple."""
    if isinstance(c, str):
        return rgb_from_hex(c)
    return tuple(c)


def shade(c, f):
    """f > 0 lightens toward white, f < 0 darkens toward a deeper, slightly
    more saturated shade (outlines are never pure black)."""
    r, g, b = col(c)
    if f >= 0:
        return (r + (1 - r) * f, g + (1 - g) * f, b + (1 - b) * f)
    k = 1 + f
    return (r * k, g * k * 0.97, b * k * 1.02 if b * k * 1.02 <= 1 else 1.0)


def mix(a, b, t):
    a, b = col(a), col(b)
    return tuple(a[i] * (1 - t) + b[i] * t for i in range(3))


def set_col(ctx, c, alpha=None):
    c = col(c)
    if alpha is None:
        ctx.set_source_rgb(*c)
    else:
        ctx.set_source_rgba(c[0], c[1], c[2], alpha)


def rounded_rect(ctx, x, y, w, h, r):
    r = max(0.0, min(r, w / 2.0, h / 2.0))
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def fill_stroke(ctx, fill, line=None, width=1.0):
    """Fills the current path in `fill` and outlines it in a darker shade of it."""
    set_col(ctx, fill)
    if line is None:
        line = shade(fill, -0.45)
    ctx.fill_preserve()
    set_col(ctx, line)
    ctx.set_line_width(width)
    ctx.stroke()


def box(ctx, x, y, w, h, fill, line=None, width=1.0, r=0.0):
    if r > 0:
        rounded_rect(ctx, x, y, w, h, r)
    else:
        ctx.rectangle(x, y, w, h)
    fill_stroke(ctx, fill, line, width)


def fit_text(ctx, s, cx, cy, max_w, max_h, color, font=FONT_SANS, bold=True, italic=False, size=None):
    """Centres a text in a box, shrinking it to fit."""
    ctx.select_font_face(font, cairo.FONT_SLANT_ITALIC if italic else cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    size = size or max_h
    while size > 4:
        ctx.set_font_size(size)
        ext = ctx.text_extents(s)
        if ext.width <= max_w and ext.height <= max_h:
            break
        size -= 0.5
    ctx.set_font_size(size)
    ext = ctx.text_extents(s)
    set_col(ctx, color)
    ctx.move_to(cx - ext.width / 2 - ext.x_bearing, cy - ext.height / 2 - ext.y_bearing)
    ctx.show_text(s)
    return ext


def bayer(h, w):
    """An ordered-dither threshold field in -0.5..0.5 (8x8 Bayer)."""
    b = np.array([[0, 32, 8, 40, 2, 34, 10, 42], [48, 16, 56, 24, 50, 18, 58, 26],
                  [12, 44, 4, 36, 14, 46, 6, 38], [60, 28, 52, 20, 62, 30, 54, 22],
                  [3, 35, 11, 43, 1, 33, 9, 41], [51, 19, 59, 27, 49, 17, 57, 25],
                  [15, 47, 7, 39, 13, 45, 5, 37], [63, 31, 55, 23, 61, 29, 53, 21]], dtype=np.float32)
    b = (b + 0.5) / 64.0 - 0.5
    return np.tile(b, (h // 8 + 1, w // 8 + 1))[:h, :w]

