"""The pictures of the lettering pages: what each vehicle page shows while its
list is empty ("BUS_WOLKE", "SBAHN_STD", "LKW_LEER") and each house's own
sign by day in summer in both languages ("HAUS%d_%d").

The vehicles are put together from the same templates the lettering lays
over a user's picture, with the same opacities, so an empty page shows the
vehicle as a filled page would."""
import math
import os

import cairo
import numpy as np

from . import geometry as G
from . import imageio as io
from . import lighting as L
from . import sprite as SP
from . import street as S
from .canvas import new_surface, surface_rgba, to_u8
from .figures import fig070, fig072, passing
from .resources import res

GREEN = np.array([0, 255, 0], dtype=np.uint8)
MAGENTA = np.array([255, 0, 255], dtype=np.uint8)
# The tram page shows the rear of the standard tram: its lower right part.
TRAM_PART = (400, 131)
# The opacities of the lettering by day (light template, dark template).
BUS_LIGHT = (0.7, 0.5)
TRUCK_LIGHT = (0.6, 0.7)
DARK_TOLERANCE = 8
LANGUAGES = ((0, "en"), (1, "de"))
SIGN_LIGHT = {1: 3, 2: 10, 3: 12, 4: 19}


def _sign_size(house):
    r = G.LIGHT_BY_N[SIGN_LIGHT[house]].dst
    return r.w, r.h


def resources():
    out = [res("BUS_WOLKE", fig070.BODY_W, fig070.BODY_H, key="keyed"),
           res("SBAHN_STD", *TRAM_PART, key="keyed"),
           res("LKW_LEER", passing.LETTER_W, passing.LETTER_H, key="opaque")]
    for house in range(1, 5):
        for lang, _ in LANGUAGES:
            out.append(res("HAUS%d_%d" % (house, lang), *_sign_size(house), key="opaque"))
    return out


def _lay_over(picture, template, opacity, tolerance):
    """The lettering's blend: where the template is not green (within the
    tolerance) it covers the picture at the opacity."""
    diff = np.abs(template.astype(np.int32) - GREEN.astype(np.int32)).max(axis=-1)
    cover = diff > tolerance
    out = picture.astype(np.float32)
    out[cover] = out[cover] * (1 - opacity) + template[cover].astype(np.float32) * opacity
    return np.clip(np.rint(out), 0, 255).astype(np.uint8)


def _clouds(w, h):
    """The bus's built-in livery: a summer sky with white clouds."""
    scale = 3
    surf, ctx = new_surface(w * scale, h * scale)
    ctx.scale(scale, scale)
    grad = cairo.LinearGradient(0, 0, 0, h)
    grad.add_color_stop_rgb(0, 0.10, 0.32, 0.70)
    grad.add_color_stop_rgb(1, 0.36, 0.60, 0.90)
    ctx.set_source(grad)
    ctx.paint()
    x, y, pw, ph = fig070.PANEL
    for cx, cy, r in ((x + 22, y + 14, 7), (x + 62, y + 20, 9), (x + 104, y + 11, 6), (x + 132, y + 22, 7)):
        ctx.set_source_rgb(1, 1, 1)
        for dx, dy, k in ((-1.2, 0.3, 0.8), (0, -0.4, 1.0), (1.2, 0.2, 0.85), (0.5, 0.6, 0.7), (-0.5, 0.6, 0.7)):
            ctx.arc(cx + dx * r, cy + dy * r, r * k, 0, 2 * math.pi)
            ctx.fill()
    surf.flush()
    rgba = surface_rgba(surf)
    rgb = rgba.reshape(h, scale, w, scale, 4).mean(axis=(1, 3))[..., :3]
    return to_u8(rgb)


def bus_wolke():
    w, h = fig070.BODY_W, fig070.BODY_H
    pic = _clouds(w, h)
    pic = _lay_over(pic, fig070._shading_template(True), BUS_LIGHT[0], 0)
    pic = _lay_over(pic, fig070._shading_template(False), BUS_LIGHT[1], DARK_TOLERANCE)
    frame = fig070._frame_template(L.DAY)
    body = ~np.all(frame == GREEN, axis=-1)
    pic[body] = frame[body]
    key = np.all(pic == MAGENTA, axis=-1)
    return io.push_from_key(pic), key


def sbahn_std():
    """The standard tram by day with its own advert, as wide as the lettered
    body, cut to its lower right part."""
    rgb, key = SP.render(fig072.BODY_W, fig072.BODY_H, fig072._body(), L.DAY)
    lw, lh = fig072.LETTER_W, fig072.LETTER_H
    out = np.zeros((lh, lw, 3), dtype=np.uint8)
    out_key = np.ones((lh, lw), dtype=bool)
    out[:fig072.BODY_H] = rgb[:, :lw]
    out_key[:fig072.BODY_H] = key[:, :lw]
    pw, ph = TRAM_PART
    return out[lh - ph:, lw - pw:], out_key[lh - ph:, lw - pw:]


def lkw_leer():
    """The lorry's box side without a picture: white paint under the box's
    light and ribs."""
    w, h = passing.LETTER_W, passing.LETTER_H
    pic = np.tile(np.array([238, 240, 236], dtype=np.uint8), (h, w, 1))
    pic = _lay_over(pic, passing.light_template(), TRUCK_LIGHT[0], 0)
    pic = _lay_over(pic, passing.dark_template(), TRUCK_LIGHT[1], DARK_TOLERANCE)
    return io.push_from_key(pic)


def build(outdir):
    rgb, key = bus_wolke()
    io.write_bmp8(os.path.join(outdir, "BUS_WOLKE.bmp"), rgb, key)
    rgb, key = sbahn_std()
    io.write_bmp8(os.path.join(outdir, "SBAHN_STD.bmp"), rgb, key)
    io.write_bmp8(os.path.join(outdir, "LKW_LEER.bmp"), lkw_leer())
    for house in range(1, 5):
        for lang, code in LANGUAGES:
            sign = io.push_from_key(S.sign_picture(house, code, L.SUMMER, L.DAY, False))
            io.write_bmp8(os.path.join(outdir, "HAUS%d_%d.bmp" % (house, lang)), sign)
