"""The street: sky, house fronts, pavements, road and tram track.

The day drawing is made once per season; dusk and night come from it through
the scene lighting, with the sky, the street lamps and the lit windows drawn
for the phase. Everything is placed by geometry.py.
"""
import math

import cairo
import numpy as np

from . import geometry as G
from . import lighting as L
from . import palette as P
from .canvas import (FONT_SANS, FONT_SERIF, bayer, box, col, fill_stroke, fit_text, mix, new_surface,
                     rounded_rect, set_col, shade, surface_rgba, to_u8)

W, H = G.PICTURE_W, G.PICTURE_H


def _rnd(seed):
    return np.random.default_rng(seed)


# =============================================================================
# Sky (drawn per phase, not through the lighting curve)

SKY = {
    (L.DAY, L.SUMMER): ["#5d9fdc", "#8fc0ea", "#d3e8f6"],
    (L.DAY, L.WINTER): ["#8ea7c0", "#b9c9d8", "#e6ebf0"],
    (L.DUSK, L.SUMMER): ["#2c2f6b", "#8c4f86", "#f08f5a", "#f7c06e"],
    (L.DUSK, L.WINTER): ["#2a3166", "#76507f", "#d9836a", "#eab98a"],
    (L.NIGHT, L.SUMMER): ["#050818", "#0b1535", "#1d2f5e"],
    (L.NIGHT, L.WINTER): ["#070a1c", "#111b3a", "#27375f"],
}


def draw_sky(phase, season):
    surf, ctx = new_surface(W, H)
    stops = SKY[(phase, season)]
    grad = cairo.LinearGradient(0, 0, 0, 560)
    for i, c in enumerate(stops):
        grad.add_color_stop_rgb(i / (len(stops) - 1), *col(c))
    ctx.set_source(grad)
    ctx.paint()
    r = _rnd(7 + season)
    if phase == L.NIGHT:
        for _ in range(260):
            x, y = r.uniform(0, W), r.uniform(0, 420) ** 1.0
            a = r.uniform(0.35, 1.0) * (1 - y / 520)
            s = r.choice([0.6, 0.8, 1.1, 1.5], p=[0.5, 0.3, 0.15, 0.05])
            ctx.set_source_rgba(1, 1, 0.92, a)
            ctx.arc(x, y, s, 0, 2 * math.pi)
            ctx.fill()
        # moon with its halo
        mx, my = 1130, 95
        halo = cairo.RadialGradient(mx, my, 10, mx, my, 90)
        halo.add_color_stop_rgba(0, 0.9, 0.92, 1.0, 0.25)
        halo.add_color_stop_rgba(1, 0.9, 0.92, 1.0, 0.0)
        ctx.set_source(halo)
        ctx.arc(mx, my, 90, 0, 2 * math.pi)
        ctx.fill()
        ctx.set_source_rgb(0.98, 0.96, 0.85)
        ctx.arc(mx, my, 22, 0, 2 * math.pi)
        ctx.fill()
        ctx.set_source_rgba(0.85, 0.82, 0.7, 0.6)
        for dx, dy, rr in ((-6, -5, 5), (7, 4, 4), (-2, 9, 3)):
            ctx.arc(mx + dx, my + dy, rr, 0, 2 * math.pi)
            ctx.fill()
    elif phase == L.DUSK:
        # the low sun's glow and thin lit clouds
        glow = cairo.RadialGradient(300, 470, 20, 300, 470, 420)
        glow.add_color_stop_rgba(0, 1.0, 0.85, 0.55, 0.55)
        glow.add_color_stop_rgba(1, 1.0, 0.6, 0.4, 0.0)
        ctx.set_source(glow)
        ctx.paint()
        for i in range(7):
            cx, cy = r.uniform(0, W), r.uniform(120, 330)
            _cloud_streak(ctx, cx, cy, r.uniform(140, 320), r.uniform(6, 12),
                          (0.98, 0.62, 0.55) if cy > 220 else (0.62, 0.42, 0.62), 0.55)
    else:
        if season == L.WINTER:
            # a high grey veil over the winter sky
            veil = cairo.LinearGradient(0, 0, 0, 300)
            veil.add_color_stop_rgba(0, 0.78, 0.8, 0.84, 0.55)
            veil.add_color_stop_rgba(1, 0.78, 0.8, 0.84, 0.0)
            ctx.set_source(veil)
            ctx.paint()
        n = 6 if season == L.SUMMER else 5
        for i in range(n):
            cx, cy = r.uniform(-60, W + 60), r.uniform(40, 260)
            _cloud(ctx, cx, cy, r.uniform(70, 150), r, season)
    a = surface_rgba(surf)[..., :3]
    # ordered dithering keeps the wide gradient free of bands after palette reduction
    a = a + bayer(H, W)[..., None] * (3.0 / 255.0)
    return np.clip(a, 0, 1)


def _cloud(ctx, cx, cy, w, r, season):
    base = (1, 1, 1) if season == L.SUMMER else (0.93, 0.94, 0.96)
    under = (0.84, 0.88, 0.94) if season == L.SUMMER else (0.8, 0.83, 0.88)
    puffs = [(cx + r.uniform(-w / 2, w / 2), cy + r.uniform(-w * 0.08, w * 0.08), r.uniform(w * 0.12, w * 0.25))
             for _ in range(7)]
    for px, py, pr in puffs:
        ctx.set_source_rgba(*under, 0.85)
        ctx.arc(px + 2, py + pr * 0.25, pr, 0, 2 * math.pi)
        ctx.fill()
    for px, py, pr in puffs:
        ctx.set_source_rgba(*base, 0.92)
        ctx.arc(px - 2, py - pr * 0.12, pr * 0.92, 0, 2 * math.pi)
        ctx.fill()


def _cloud_streak(ctx, cx, cy, w, h, c, a):
    ctx.save()
    ctx.translate(cx, cy)
    ctx.scale(w / 2, h / 2)
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()
    ctx.set_source_rgba(*c, a)
    ctx.fill()


# =============================================================================
# The far town behind the houses


def draw_skyline(ctx, season):
    haze = "#9aaabf" if season == L.SUMMER else "#a9b4c2"
    roof = "#7d8ca3" if season == L.SUMMER else "#8f9aab"
    # a band of distant roofs
    r = _rnd(11)
    x = -10
    while x < W + 10:
        w = r.uniform(40, 110)
        top = r.uniform(250, 330)
        set_col(ctx, mix(haze, roof, r.uniform(0, 0.6)))
        if r.random() < 0.5:
            ctx.move_to(x, 480)
            ctx.line_to(x, top + 20)
            ctx.line_to(x + w / 2, top)
            ctx.line_to(x + w, top + 20)
            ctx.line_to(x + w, 480)
        else:
            ctx.rectangle(x, top + 8, w, 480 - top)
        ctx.fill()
        # a few small windows, paler than the far walls
        set_col(ctx, mix(haze, "#dfe6ee", 0.35))
        for wy in np.arange(top + 26, 330, 18):
            for wx in np.arange(x + 6, x + w - 8, 14):
                if r.random() < 0.7:
                    ctx.rectangle(wx, wy, 5, 7)
        ctx.fill()
        if season == L.WINTER:
            set_col(ctx, "#e8edf3")
            ctx.rectangle(x, top + 6, w, 3)
            ctx.fill()
        x += w - 4
    # the church tower whose bell the town hears
    tx = 1010
    tower = "#8d97a8" if season == L.SUMMER else "#98a1b0"
    set_col(ctx, tower)
    ctx.rectangle(tx, 150, 56, 340)
    ctx.fill()
    set_col(ctx, shade(tower, -0.12))
    ctx.rectangle(tx + 38, 150, 18, 340)
    ctx.fill()
    # spire
    set_col(ctx, "#6f7f8f" if season == L.SUMMER else "#7d8a98")
    ctx.move_to(tx - 4, 152)
    ctx.line_to(tx + 28, 40)
    ctx.line_to(tx + 60, 152)
    ctx.close_path()
    ctx.fill()
    if season == L.WINTER:
        set_col(ctx, "#eef2f6")
        ctx.move_to(tx - 4, 152)
        ctx.line_to(tx + 8, 110)
        ctx.line_to(tx + 14, 118)
        ctx.line_to(tx + 4, 152)
        ctx.close_path()
        ctx.fill()
    set_col(ctx, "#d6b75a")
    ctx.move_to(tx + 28, 40)
    ctx.line_to(tx + 28, 22)
    ctx.set_line_width(1.5)
    ctx.stroke()
    ctx.arc(tx + 28, 26, 3, 0, 2 * math.pi)
    ctx.fill()
    # tower clock face and belfry louvres
    set_col(ctx, "#f0ead6")
    ctx.arc(tx + 28, 186, 13, 0, 2 * math.pi)
    ctx.fill()
    set_col(ctx, "#4b4b55")
    ctx.set_line_width(1.2)
    ctx.arc(tx + 28, 186, 13, 0, 2 * math.pi)
    ctx.stroke()
    ctx.move_to(tx + 28, 186)
    ctx.line_to(tx + 28, 177)
    ctx.move_to(tx + 28, 186)
    ctx.line_to(tx + 35, 189)
    ctx.stroke()
    for i in range(2):
        set_col(ctx, "#5d6572")
        rounded_rect(ctx, tx + 9 + i * 24, 215, 14, 30, 6)
        ctx.fill()
    # a tree between the bakery and its neighbour
    _tree(ctx, 300, 470, season, 1.0)


def _tree(ctx, x, base, season, s):
    trunk = "#6a5440"
    set_col(ctx, trunk)
    ctx.move_to(x - 5 * s, base)
    ctx.line_to(x - 3 * s, base - 120 * s)
    ctx.line_to(x + 3 * s, base - 120 * s)
    ctx.line_to(x + 5 * s, base)
    ctx.fill()
    r = _rnd(int(x))
    if season == L.SUMMER:
        for i in range(16):
            a = r.uniform(0, 2 * math.pi)
            d = r.uniform(0, 38 * s)
            cx, cy = x + math.cos(a) * d, base - 150 * s + math.sin(a) * d * 0.8
            set_col(ctx, mix("#4d7f3d", "#7fae54", r.uniform(0, 1)))
            ctx.arc(cx, cy, r.uniform(14, 22) * s, 0, 2 * math.pi)
            ctx.fill()
    else:
        set_col(ctx, "#5e4b3a")
        ctx.set_line_cap(cairo.LINE_CAP_ROUND)

        def branch(bx, by, ang, ln, wd, depth):
            ex, ey = bx + math.cos(ang) * ln, by + math.sin(ang) * ln
            ctx.set_line_width(wd)
            ctx.move_to(bx, by)
            ctx.line_to(ex, ey)
            ctx.stroke()
            if depth > 0:
                for da in (-0.45, 0.4):
                    branch(ex, ey, ang + da + r.uniform(-0.15, 0.15), ln * 0.72, wd * 0.65, depth - 1)

        for a0 in (-1.9, -1.57, -1.2):
            branch(x, base - 110 * s, a0, 34 * s, 3.2 * s, 4)


# =============================================================================
# House fronts


def _wall(ctx, x0, x1, top, plaster):
    grad = cairo.LinearGradient(x0, 0, x1, 0)
    grad.add_color_stop_rgb(0, *shade(plaster, 0.06))
    grad.add_color_stop_rgb(0.7, *col(plaster))
    grad.add_color_stop_rgb(1, *shade(plaster, -0.08))
    ctx.set_source(grad)
    ctx.rectangle(x0, top, x1 - x0, G.HOUSE_BASE_Y - top)
    ctx.fill()
    # a quiet plaster texture
    r = _rnd(int(x0) + 1000)
    for _ in range(int((x1 - x0) * (G.HOUSE_BASE_Y - top) / 900)):
        px, py = r.uniform(x0, x1), r.uniform(top, G.HOUSE_BASE_Y)
        set_col(ctx, shade(plaster, r.choice([-0.05, 0.05])), 0.5)
        ctx.rectangle(px, py, r.uniform(2, 6), 1)
        ctx.fill()
    # the house's edges: light on the left, shadow on the right
    set_col(ctx, shade(plaster, -0.3))
    ctx.rectangle(x1 - 2, top, 2, G.HOUSE_BASE_Y - top)
    ctx.fill()
    set_col(ctx, shade(plaster, 0.18))
    ctx.rectangle(x0, top, 1.5, G.HOUSE_BASE_Y - top)
    ctx.fill()


def _band(ctx, x0, x1, y, h, c, snow=False, depth=3):
    """A moulded band (cornice or string course) with its shadow below."""
    set_col(ctx, shade(c, -0.35), 0.55)
    ctx.rectangle(x0, y + h, x1 - x0, depth)
    ctx.fill()
    box(ctx, x0, y, x1 - x0, h, c, shade(c, -0.3), 1)
    set_col(ctx, shade(c, 0.25))
    ctx.rectangle(x0 + 1, y + 1, x1 - x0 - 2, 1)
    ctx.fill()
    if snow:
        _snow_cap(ctx, x0 - 1, x1 + 1, y + 1, 3)


def _snow_cap(ctx, x0, x1, y, t):
    """A soft cap of snow lying on a ledge whose top is at y."""
    r = _rnd(int(x0 * 7 + y))
    ctx.move_to(x0, y)
    n = max(2, int((x1 - x0) / 6))
    for i in range(n + 1):
        x = x0 + (x1 - x0) * i / n
        ctx.line_to(x, y - t - r.uniform(0, t * 0.6))
    ctx.line_to(x1, y)
    ctx.line_to(x1 + 0.5, y + 1.2)
    ctx.line_to(x0 - 0.5, y + 1.2)
    ctx.close_path()
    set_col(ctx, P.SNOW)
    ctx.fill_preserve()
    set_col(ctx, P.SNOW_SHADE)
    ctx.set_line_width(0.6)
    ctx.stroke()


def _plinth(ctx, x0, x1, top, c):
    set_col(ctx, c)
    ctx.rectangle(x0, top, x1 - x0, G.HOUSE_BASE_Y - top)
    ctx.fill()
    set_col(ctx, shade(c, 0.2))
    ctx.rectangle(x0, top, x1 - x0, 2)
    ctx.fill()
    set_col(ctx, shade(c, -0.25))
    ctx.set_line_width(0.7)
    y = top + 8
    row = 0
    while y < G.HOUSE_BASE_Y:
        ctx.move_to(x0, y)
        ctx.line_to(x1, y)
        off = 0 if row % 2 == 0 else 13
        for x in np.arange(x0 + off, x1, 26):
            ctx.move_to(x, y - 8)
            ctx.line_to(x, y)
        y += 8
        row += 1
    ctx.stroke()


class WindowStyle:
    def __init__(self, frame=P.WINDOW_FRAME, bars="cross", sill=True, hood=None, shutters=None,
                 flowers=None, curtain="sides", arch=False, surround=None):
        self.frame, self.bars, self.sill, self.hood = frame, bars, sill, hood
        self.shutters, self.flowers, self.curtain, self.arch, self.surround = shutters, flowers, curtain, arch, surround


def _glass_day(ctx, gx, gy, gw, gh, seed, curtain):
    grad = cairo.LinearGradient(gx, gy, gx + gw * 0.4, gy + gh)
    grad.add_color_stop_rgb(0, *col("#c4deec"))
    grad.add_color_stop_rgb(0.55, *col(P.GLASS))
    grad.add_color_stop_rgb(1, *col(P.GLASS_DARK))
    ctx.set_source(grad)
    ctx.rectangle(gx, gy, gw, gh)
    ctx.fill()
    _curtains(ctx, gx, gy, gw, gh, seed, curtain, lit=False)
    _reflection(ctx, gx, gy, gw, gh, 0.35, 0.15, 0.3, 0.17)


def _reflection(ctx, gx, gy, gw, gh, alpha, start, lean, width):
    """A slanted streak of light on glass (the sky seen in it)."""
    ctx.save()
    ctx.rectangle(gx, gy, gw, gh)
    ctx.clip()
    ctx.set_source_rgba(1, 1, 1, alpha)
    ctx.move_to(gx + gw * start, gy + gh)
    ctx.line_to(gx + gw * (start + lean), gy)
    ctx.line_to(gx + gw * (start + lean + width), gy)
    ctx.line_to(gx + gw * (start + width), gy + gh)
    ctx.fill()
    ctx.restore()


def _curtains(ctx, gx, gy, gw, gh, seed, kind, lit):
    r = _rnd(seed)
    if kind is None:
        return
    ctx.save()
    ctx.rectangle(gx, gy, gw, gh)
    ctx.clip()
    if lit:
        c = mix(P.WARM_LIGHT, (1, 1, 0.95), 0.35)
        a = 0.75
    else:
        c = col(P.CURTAIN)
        a = 0.9
    if kind == "sides":
        cw = gw * r.uniform(0.2, 0.28)
        for side in (0, 1):
            x = gx if side == 0 else gx + gw - cw
            ctx.set_source_rgba(*c, a)
            ctx.move_to(x, gy)
            ctx.line_to(x + cw, gy)
            if side == 0:
                ctx.curve_to(x + cw * 0.4, gy + gh * 0.5, x + cw * 0.9, gy + gh * 0.8, x + cw * 0.7, gy + gh)
                ctx.line_to(x, gy + gh)
            else:
                ctx.line_to(x + cw, gy + gh)
                ctx.line_to(x + cw * 0.3, gy + gh)
                ctx.curve_to(x + cw * 0.1, gy + gh * 0.8, x + cw * 0.6, gy + gh * 0.5, x, gy)
            ctx.close_path()
            ctx.fill()
            ctx.set_source_rgba(*shade(c, -0.2), a * 0.6)
            ctx.set_line_width(0.6)
            for k in range(1, 3):
                xx = x + cw * k / 3
                ctx.move_to(xx, gy)
                ctx.line_to(xx + (2 if side == 0 else -2), gy + gh * 0.7)
            ctx.stroke()
    elif kind == "half":
        ctx.set_source_rgba(*c, a)
        ctx.rectangle(gx, gy + gh * 0.55, gw, gh * 0.45)
        ctx.fill()
        ctx.set_source_rgba(*shade(c, -0.18), a)
        ctx.set_line_width(0.7)
        for k in range(int(gw / 3)):
            ctx.move_to(gx + k * 3 + 1.5, gy + gh * 0.55)
            ctx.line_to(gx + k * 3 + 1.5, gy + gh)
        ctx.stroke()
    elif kind == "blind":
        bh = gh * r.uniform(0.2, 0.45)
        ctx.set_source_rgba(*(mix(c, (0.9, 0.85, 0.7), 0.4)), a)
        ctx.rectangle(gx, gy, gw, bh)
        ctx.fill()
        ctx.set_source_rgba(*shade(c, -0.3), a)
        ctx.set_line_width(0.6)
        ctx.move_to(gx, gy + bh)
        ctx.line_to(gx + gw, gy + bh)
        ctx.stroke()
    elif kind == "plant":
        px = gx + gw * r.uniform(0.3, 0.7)
        ctx.set_source_rgba(0.75, 0.4, 0.25, 1)
        ctx.rectangle(px - 4, gy + gh - 6, 8, 6)
        ctx.fill()
        for k in range(6):
            ang = -math.pi / 2 + r.uniform(-1.0, 1.0)
            set_col(ctx, "#3f7a32" if not lit else "#2f3a22")
            ctx.set_line_width(2)
            ctx.move_to(px, gy + gh - 6)
            ctx.line_to(px + math.cos(ang) * 9, gy + gh - 6 + math.sin(ang) * 9)
            ctx.stroke()
    ctx.restore()


def _bars(ctx, gx, gy, gw, gh, kind, frame):
    set_col(ctx, frame)
    if kind in ("cross", "six"):
        ctx.rectangle(gx + gw / 2 - 1, gy, 2, gh)
        ctx.rectangle(gx, gy + gh * 0.32 - 1, gw, 2)
    if kind == "six":
        ctx.rectangle(gx, gy + gh * 0.66 - 1, gw, 2)
    if kind == "two":
        ctx.rectangle(gx + gw / 2 - 1, gy, 2, gh)
    if kind == "shop":
        ctx.rectangle(gx, gy + 14, gw, 2)
        n = max(1, int(gw / 34))
        for k in range(1, n + 1):
            ctx.rectangle(gx + gw * k / (n + 1) - 1, gy, 2, 14)
    ctx.fill()


def window(ctx, r, style, season, seed):
    """An upper-floor window whose outer frame is the rectangle r."""
    x, y, w, h = r
    fr = style.frame
    if style.surround:
        box(ctx, x - 3, y - 3, w + 6, h + 5, style.surround, shade(style.surround, -0.3), 0.8)
    if style.shutters:
        for sx in (x - 13, x + w + 1):
            box(ctx, sx, y, 12, h, style.shutters, shade(style.shutters, -0.4), 0.8)
            set_col(ctx, shade(style.shutters, -0.25))
            for k in range(int(h / 4)):
                ctx.rectangle(sx + 2, y + 3 + k * 4, 8, 1)
            ctx.fill()
    if style.hood:
        box(ctx, x - 4, y - 6, w + 8, 5, style.hood, shade(style.hood, -0.35), 0.8)
        if season == L.WINTER:
            _snow_cap(ctx, x - 5, x + w + 5, y - 5, 2.5)
    box(ctx, x, y, w, h, fr, shade(fr, -0.35), 1)
    gx, gy, gw, gh = x + 3, y + 3, w - 6, h - 6
    _glass_day(ctx, gx, gy, gw, gh, seed, style.curtain)
    _bars(ctx, gx, gy, gw, gh, style.bars, fr)
    set_col(ctx, shade(fr, -0.4), 0.6)
    ctx.rectangle(gx, gy, gw, 1)
    ctx.fill()
    if style.sill:
        box(ctx, x - 3, y + h, w + 6, 4, shade(fr, -0.05), shade(fr, -0.4), 0.8)
        set_col(ctx, "#000000", 0.18)
        ctx.rectangle(x - 2, y + h + 4, w + 4, 2)
        ctx.fill()
        if season == L.WINTER:
            _snow_cap(ctx, x - 3, x + w + 3, y + h + 1, 3)
    if style.flowers and season == L.SUMMER:
        _flower_box(ctx, x - 2, y + h + 4, w + 4, seed, style.flowers)
    elif style.flowers and season == L.WINTER:
        box(ctx, x - 2, y + h + 4, w + 4, 7, "#7a5a3c", None, 0.8)
        _snow_cap(ctx, x - 2, x + w + 2, y + h + 5, 3)


def _flower_box(ctx, x, y, w, seed, kind):
    r = _rnd(seed + 5)
    for k in range(int(w / 4)):
        fx = x + 2 + k * 4 + r.uniform(-1, 1)
        set_col(ctx, P.LEAF)
        ctx.arc(fx, y + 1, 2.6, 0, 2 * math.pi)
        ctx.fill()
    for k in range(int(w / 5)):
        fx = x + 3 + k * 5 + r.uniform(-1, 1)
        set_col(ctx, P.FLOWER_COLOURS[(k + seed) % len(P.FLOWER_COLOURS)] if kind == "mixed" else kind)
        ctx.arc(fx, y - 1 + r.uniform(-1.5, 1), 1.6, 0, 2 * math.pi)
        ctx.fill()
    box(ctx, x, y + 2, w, 6, "#8a5a38", None, 0.8)


def window_lit(ctx, r, style, phase, seed, warmth=0.0):
    """The lit look of the same window: only the glass changes."""
    x, y, w, h = r
    gx, gy, gw, gh = x + 3, y + 3, w - 6, h - 6
    c0 = mix(P.WARM_LIGHT, (1.0, 0.93, 0.72), 0.3 - warmth)
    c1 = mix(P.WARM_LIGHT_DEEP, P.WARM_LIGHT, 0.2 + warmth)
    grad = cairo.LinearGradient(gx, gy, gx, gy + gh)
    grad.add_color_stop_rgb(0, *c0)
    grad.add_color_stop_rgb(1, *c1)
    ctx.set_source(grad)
    ctx.rectangle(gx, gy, gw, gh)
    ctx.fill()
    r_ = _rnd(seed + 31)
    # something of the room: a lamp shade or a picture on the far wall
    if r_.random() < 0.5:
        set_col(ctx, shade(c1, -0.35))
        lx = gx + gw * r_.uniform(0.3, 0.7)
        ctx.move_to(lx - 4, gy + 7)
        ctx.line_to(lx + 4, gy + 7)
        ctx.line_to(lx + 2, gy + 3)
        ctx.line_to(lx - 2, gy + 3)
        ctx.fill()
    _curtains(ctx, gx, gy, gw, gh, seed, style.curtain, lit=True)
    frame_night = L.apply_color(col(style.frame), phase)
    _bars(ctx, gx, gy, gw, gh, style.bars, mix(frame_night, (0.35, 0.25, 0.15), 0.3))


# ---------------------------------------------------------------- doors


def door(ctx, r, colour, season, glass=True, transom=None, steps=2, arch=False):
    x, y, w, h = r
    # stone surround
    box(ctx, x - 5, y - 5, w + 10, h + 5, P.STONE, P.STONE_DARK, 1)
    set_col(ctx, shade(P.STONE, -0.35))
    ctx.rectangle(x, y, w, h)
    ctx.fill()
    leaf = (x + 1, y + 1, w - 2, h - 1)
    box(ctx, *leaf, colour, shade(colour, -0.45), 1)
    # panels
    lx, ly, lw, lh = leaf
    inner = shade(colour, -0.12)
    if glass:
        gx, gy, gw, gh = lx + 5, ly + 5, lw - 10, lh * 0.42
        set_col(ctx, shade(colour, -0.4))
        ctx.rectangle(gx - 1, gy - 1, gw + 2, gh + 2)
        ctx.fill()
        grad = cairo.LinearGradient(gx, gy, gx, gy + gh)
        grad.add_color_stop_rgb(0, *col("#b7d3e2"))
        grad.add_color_stop_rgb(1, *col("#6f8fa6"))
        ctx.set_source(grad)
        ctx.rectangle(gx, gy, gw, gh)
        ctx.fill()
        set_col(ctx, colour)
        ctx.rectangle(gx + gw / 2 - 1, gy, 2, gh)
        ctx.fill()
        py = gy + gh + 5
    else:
        py = ly + 6
    ph = ly + lh - 6 - py
    for k in range(2):
        pw = (lw - 15) / 2
        px = lx + 5 + k * (pw + 5)
        box(ctx, px, py, pw, ph, inner, shade(colour, -0.45), 0.8)
        set_col(ctx, shade(colour, 0.2))
        ctx.rectangle(px + 1, py + 1, pw - 2, 1)
        ctx.fill()
    # handle and letter slot
    set_col(ctx, "#e3c36a")
    ctx.rectangle(lx + lw - 8, ly + lh * 0.52, 4, 2)
    ctx.fill()
    ctx.arc(lx + lw - 6, ly + lh * 0.55, 1.5, 0, 2 * math.pi)
    ctx.fill()
    set_col(ctx, "#d9b45a")
    ctx.rectangle(lx + lw / 2 - 5, ly + lh * 0.62, 10, 2)
    ctx.fill()
    if transom:
        tx, ty, tw, th = transom
        box(ctx, tx, ty, tw, th, P.WINDOW_FRAME, None, 1)
        grad = cairo.LinearGradient(tx, ty, tx, ty + th)
        grad.add_color_stop_rgb(0, *col("#c4deec"))
        grad.add_color_stop_rgb(1, *col(P.GLASS_DARK))
        ctx.set_source(grad)
        ctx.rectangle(tx + 2, ty + 2, tw - 4, th - 4)
        ctx.fill()
        set_col(ctx, P.WINDOW_FRAME)
        for k in range(1, 4):
            ctx.rectangle(tx + tw * k / 4 - 0.5, ty + 2, 1, th - 4)
        ctx.fill()
    # steps out onto the pavement
    for s in range(steps):
        sy = y + h + s * 5
        sx = x - 6 - s * 4
        sw = w + 12 + s * 8
        box(ctx, sx, sy, sw, 5, shade(P.STONE, 0.1 - s * 0.05), P.STONE_DARK, 0.8)
        if season == L.WINTER:
            _snow_cap(ctx, sx, sx + 5, sy + 1, 2)
            _snow_cap(ctx, sx + sw - 6, sx + sw, sy + 1, 2)


def door_lit(ctx, r, phase, transom=None):
    x, y, w, h = r
    lx, ly, lw, lh = x + 1, y + 1, w - 2, h - 1
    gx, gy, gw, gh = lx + 5, ly + 5, lw - 10, lh * 0.42
    grad = cairo.LinearGradient(gx, gy, gx, gy + gh)
    grad.add_color_stop_rgb(0, *P.WARM_LIGHT)
    grad.add_color_stop_rgb(1, *P.WARM_LIGHT_DEEP)
    ctx.set_source(grad)
    ctx.rectangle(gx, gy, gw, gh)
    ctx.fill()
    set_col(ctx, (0.3, 0.2, 0.12))
    ctx.rectangle(gx + gw / 2 - 1, gy, 2, gh)
    ctx.fill()
    if transom:
        tx, ty, tw, th = transom
        ctx.set_source_rgb(*P.WARM_LIGHT)
        ctx.rectangle(tx + 2, ty + 2, tw - 4, th - 4)
        ctx.fill()
        set_col(ctx, (0.45, 0.38, 0.3))
        for k in range(1, 4):
            ctx.rectangle(tx + tw * k / 4 - 0.5, ty + 2, 1, th - 4)
        ctx.fill()


def lantern(ctx, x, y, season, lit=False):
    """A wall lantern on a bracket; (x, y) is the lamp's top centre."""
    set_col(ctx, "#2f3238")
    ctx.set_line_width(1.5)
    ctx.move_to(x - 9, y - 4)
    ctx.line_to(x, y - 4)
    ctx.line_to(x, y)
    ctx.stroke()
    ctx.move_to(x - 5, y + 2)
    ctx.line_to(x + 5, y + 2)
    ctx.line_to(x + 3, y + 13)
    ctx.line_to(x - 3, y + 13)
    ctx.close_path()
    if lit:
        ctx.set_source_rgb(1.0, 0.92, 0.6)
    else:
        set_col(ctx, "#d8dde2")
    ctx.fill_preserve()
    set_col(ctx, "#2f3238")
    ctx.set_line_width(1)
    ctx.stroke()
    ctx.move_to(x - 6, y + 2)
    ctx.line_to(x, y - 2)
    ctx.line_to(x + 6, y + 2)
    ctx.close_path()
    ctx.fill()
    if season == L.WINTER and not lit:
        _snow_cap(ctx, x - 6, x + 6, y + 1, 2)


# =============================================================================
# Signs (their boards fill the sign lights' rectangles exactly)

SIGN_TEXT = {
    1: {"de": "BÄCKEREI", "en": "BAKERY"},
    2: {"de": "Buchhandlung Lindner", "en": "Lindner Books"},
    3: {"de": "TANDROVI", "en": "TANDROVI"},
    4: {"de": "Zur Krone", "en": "The Crown"},
}
SIGN_STYLE = {
    1: dict(board="#5b3a22", letters="#f2d37a", font=FONT_SERIF, frame="#c9a24a"),
    2: dict(board="#26463a", letters="#f1ead2", font=FONT_SERIF, frame="#b9a56b"),
    3: dict(board="#1f2b4a", letters="#7fd0ff", font=FONT_SANS, frame="#a8b4c8"),
    4: dict(board="#6b1f1f", letters="#f7e2a0", font=FONT_SERIF, frame="#d8b456"),
}


def sign_picture(house, lang, season, phase, lit):
    """The board of a house's sign as RGB uint8 of the sign light's size.
    lang None draws the empty board (the lettering template)."""
    n = {1: 3, 2: 10, 3: 12, 4: 19}[house]
    r = G.LIGHT_BY_N[n].dst
    scale = 4
    surf, ctx = new_surface(r.w * scale, r.h * scale)
    ctx.scale(scale, scale)
    st = SIGN_STYLE[house]
    board = st["board"]
    set_col(ctx, st["frame"])
    ctx.paint()
    grad = cairo.LinearGradient(0, 0, 0, r.h)
    grad.add_color_stop_rgb(0, *shade(board, 0.15))
    grad.add_color_stop_rgb(1, *shade(board, -0.15))
    ctx.set_source(grad)
    ctx.rectangle(2, 2, r.w - 4, r.h - 4)
    ctx.fill()
    set_col(ctx, shade(st["frame"], -0.4))
    ctx.set_line_width(0.8)
    ctx.rectangle(0.4, 0.4, r.w - 0.8, r.h - 0.8)
    ctx.stroke()
    set_col(ctx, shade(st["frame"], 0.35))
    ctx.rectangle(1, 1, r.w - 2, 0.8)
    ctx.fill()
    if house == 1:
        # a pretzel at each end of the bakery's board
        for cx in (9, r.w - 9):
            _pretzel(ctx, cx, r.h / 2, 5.2, st["letters"])
    if house == 3:
        for cx in (7, r.w - 7):
            set_col(ctx, st["letters"])
            ctx.arc(cx, r.h / 2, 2.2, 0, 2 * math.pi)
            ctx.fill()
    if lang:
        txt = SIGN_TEXT[house][lang]
        margin = 34 if house == 1 else (22 if house == 3 else 8)
        if house == 4:
            _crown(ctx, r.w / 2, 6.5, 6, st["letters"])
            fit_text(ctx, txt, r.w / 2 + 0.6, r.h / 2 + 5.6, r.w - margin, r.h - 17, "#000000", st["font"])
            fit_text(ctx, txt, r.w / 2, r.h / 2 + 5, r.w - margin, r.h - 17, st["letters"], st["font"])
        else:
            fit_text(ctx, txt, r.w / 2 + 0.6, r.h / 2 + 0.6, r.w - margin, r.h - 10, "#000000", st["font"])
            fit_text(ctx, txt, r.w / 2, r.h / 2, r.w - margin, r.h - 10, st["letters"], st["font"])
    if season == L.WINTER:
        _snow_cap(ctx, 0, r.w, 1.5, 2.2)
    surf.flush()
    rgba = surface_rgba(surf)
    rgb = rgba.reshape(r.h, scale, r.w, scale, 4).mean(axis=(1, 3))[..., :3]
    rgb = to_u8(rgb)
    if phase != L.DAY:
        rgb = L.apply(rgb, phase)
        if lit:
            rgb = _light_sign(rgb, house, lang, season, phase)
    return rgb


def _light_sign(off, house, lang, season, phase):
    """The lit look of a sign: the lettering glows and the board catches the light."""
    st = SIGN_STYLE[house]
    n = {1: 3, 2: 10, 3: 12, 4: 19}[house]
    r = G.LIGHT_BY_N[n].dst
    scale = 4
    surf, ctx = new_surface(r.w * scale, r.h * scale)
    ctx.scale(scale, scale)
    glow_c = mix(st["letters"], (1, 1, 0.9), 0.35)
    if lang:
        txt = SIGN_TEXT[house][lang]
        margin = 34 if house == 1 else (22 if house == 3 else 8)
        cy = r.h / 2 + (5 if house == 4 else 0)
        mh = r.h - (17 if house == 4 else 10)
        for k, a in ((2.2, 0.18), (1.2, 0.3)):
            ctx.save()
            for dx, dy in ((-k, 0), (k, 0), (0, -k), (0, k)):
                ctx.push_group()
                fit_text(ctx, txt, r.w / 2 + dx, cy + dy, r.w - margin, mh, glow_c, st["font"])
                ctx.pop_group_to_source()
                ctx.paint_with_alpha(a)
            ctx.restore()
        fit_text(ctx, txt, r.w / 2, cy, r.w - margin, mh, glow_c, st["font"])
        if house == 4:
            _crown(ctx, r.w / 2, 6.5, 6, glow_c)
    if house == 1:
        for cx in (9, r.w - 9):
            _pretzel(ctx, cx, r.h / 2, 5.2, glow_c)
    surf.flush()
    rgba = surface_rgba(surf).reshape(r.h, scale, r.w, scale, 4).mean(axis=(1, 3))
    base = off.astype(np.float32) / 255.0
    # the board itself brightens a little, as if lit from a lamp above
    board = base * 1.0 + np.array([0.10, 0.07, 0.03], dtype=np.float32) * np.linspace(1, 0.3, r.h)[:, None, None]
    out = board * (1 - rgba[..., 3:4]) + rgba[..., :3]
    return to_u8(out)


def _pretzel(ctx, cx, cy, s, c):
    set_col(ctx, c)
    ctx.set_line_width(s * 0.35)
    ctx.arc(cx - s * 0.4, cy - s * 0.1, s * 0.45, 0, 2 * math.pi)
    ctx.stroke()
    ctx.arc(cx + s * 0.4, cy - s * 0.1, s * 0.45, 0, 2 * math.pi)
    ctx.stroke()
    ctx.move_to(cx - s * 0.8, cy + s * 0.6)
    ctx.curve_to(cx - s * 0.2, cy - s * 0.4, cx + s * 0.2, cy - s * 0.4, cx + s * 0.8, cy + s * 0.6)
    ctx.stroke()


def _crown(ctx, cx, cy, s, c):
    set_col(ctx, c)
    ctx.move_to(cx - s, cy + s * 0.5)
    ctx.line_to(cx - s, cy - s * 0.4)
    ctx.line_to(cx - s * 0.5, cy + s * 0.05)
    ctx.line_to(cx, cy - s * 0.6)
    ctx.line_to(cx + s * 0.5, cy + s * 0.05)
    ctx.line_to(cx + s, cy - s * 0.4)
    ctx.line_to(cx + s, cy + s * 0.5)
    ctx.close_path()
    ctx.fill()


# =============================================================================
# The scene as one drawing


class Street:
    """One season's street. draw_day() paints the day drawing of houses,
    pavements and road (the sky is left transparent); the lit looks are
    separate so that the light sheets can be cut from them."""

    def __init__(self, season):
        self.season = season
        self.winter = season == L.WINTER

    # ------------------------------------------------------------ styles
    def _styles(self):
        s = {}
        bak = WindowStyle(frame="#f7efd9", bars="cross", shutters="#3f6b4f", flowers="mixed")
        d2 = WindowStyle(frame="#f4ebe0", bars="six", hood="#efe1cf", surround="#e6c3a8")
        shop = WindowStyle(frame="#ffffff", bars="cross", hood="#e6ead9", flowers="#e0474c")
        res = WindowStyle(frame="#ffffff", bars="two", surround="#d8c8a4", curtain="blind")
        pub = WindowStyle(frame="#3b2a1e", bars="six", shutters="#6a2e26", flowers="#f2c94c", curtain="half")
        for n in (20, 21, 22, 33, 34, 35, 46):
            s[n] = bak
        for n in (23, 24, 25, 36, 37, 38, 47, 48, 49):
            s[n] = d2
        for n in (26, 27, 28, 39, 40, 41, 50):
            s[n] = shop
        for n in (29, 30, 31, 42, 43, 44, 51):
            s[n] = res
        for n in (32, 45):
            s[n] = pub
        small = WindowStyle(frame="#f4ebe0", bars="cross", sill=False, curtain=None)
        for n in (52, 53, 54, 55, 56):
            s[n] = small
        return s

    CURTAIN_KIND = {20: "sides", 21: "half", 22: "sides", 33: "plant", 34: "sides", 35: "half", 46: "sides",
                    23: "sides", 24: "half", 25: "sides", 36: "blind", 37: "sides", 38: "plant", 47: "sides",
                    48: "sides", 49: "half", 26: "sides", 27: "plant", 28: "sides", 39: "half", 40: "sides",
                    41: "sides", 50: "sides", 29: "blind", 30: "sides", 31: "plant", 42: "sides", 43: "blind",
                    44: "sides", 51: "sides", 32: "half", 45: "sides", 52: None, 53: None, 54: None, 55: None,
                    56: None}

    def style_of(self, n):
        st = self._styles()[n]
        k = self.CURTAIN_KIND.get(n, "sides")
        return WindowStyle(st.frame, st.bars, st.sill, st.hood, st.shutters, st.flowers, k, st.arch, st.surround)

    # ------------------------------------------------------------ day drawing
    def draw_day(self, ctx, rails=True, signs=True):
        draw_skyline(ctx, self.season)
        for h in G.HOUSES:
            getattr(self, "_house_" + h.name)(ctx, h)
        for n in range(20, 57):
            if n in G.LIGHT_BY_N:
                l = G.LIGHT_BY_N[n]
                window(ctx, l.dst, self.style_of(n), self.season, seed=n)
        self._ground_floors(ctx, signs)
        self._pavement(ctx)
        self._road(ctx, rails)
        self._wall_lanterns(ctx, lit=False)

    def _roof_snow_line(self, ctx, pts, t=5):
        if not self.winter:
            return
        for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
            n = max(2, int(abs(x1 - x0) / 5))
            r = _rnd(int(x0 + y0))
            ctx.move_to(x0, y0 + 1)
            for i in range(n + 1):
                t_ = i / n
                ctx.line_to(x0 + (x1 - x0) * t_, y0 + (y1 - y0) * t_ - t - r.uniform(0, 2))
            ctx.line_to(x1, y1 + 1)
            ctx.close_path()
            set_col(ctx, P.SNOW)
            ctx.fill()

    def _chimney(self, ctx, x, top, bottom, c="#a45a44", smoke=False):
        box(ctx, x, top, 14, bottom - top, c, shade(c, -0.4), 1)
        box(ctx, x - 2, top - 4, 18, 5, shade(c, -0.15), shade(c, -0.45), 1)
        set_col(ctx, shade(c, -0.25))
        for y in range(int(top) + 4, int(bottom), 5):
            ctx.rectangle(x + 1, y, 12, 0.8)
        ctx.fill()
        if self.winter:
            _snow_cap(ctx, x - 2, x + 16, top - 3, 3)
            smoke = True
        if smoke:
            r = _rnd(int(x))
            for k in range(6):
                ctx.set_source_rgba(0.93, 0.93, 0.95, 0.5 - k * 0.07)
                ctx.arc(x + 7 + k * 6 + r.uniform(-2, 2), top - 10 - k * 11, 5 + k * 2.2, 0, 2 * math.pi)
                ctx.fill()

    def _tiles(self, ctx, path_fn, c, rows=6, slate=False):
        ctx.save()
        path_fn()
        ctx.clip_preserve()
        set_col(ctx, c)
        ctx.fill()
        x0, y0, x1, y1 = ctx.clip_extents()
        set_col(ctx, shade(c, -0.25))
        ctx.set_line_width(0.8)
        y = y0 + 2
        row = 0
        while y < y1:
            ctx.move_to(x0, y)
            ctx.line_to(x1, y)
            ctx.stroke()
            off = (row % 2) * (5 if slate else 4)
            for x in np.arange(x0 + off, x1, 10 if slate else 8):
                ctx.move_to(x, y - rows)
                ctx.line_to(x, y)
            ctx.stroke()
            set_col(ctx, shade(c, 0.12), 0.6)
            ctx.rectangle(x0, y + 1, x1 - x0, 1)
            ctx.fill()
            set_col(ctx, shade(c, -0.25))
            y += rows
            row += 1
        ctx.restore()

    # ------------------------------------------------------------ house 1: the bakery (gable to the street)
    def _house_bakery(self, ctx, h):
        pl = P.PLASTER["bakery"]
        x0, x1 = h.x0, h.x1
        eave = 462
        apex = (141, 268)
        # roof edge behind the gable (a little overhang)
        self._chimney(ctx, 220, 300, 400, smoke=False)

        def gable():
            ctx.move_to(x0 - 4, eave + 4)
            ctx.line_to(apex[0], apex[1] - 6)
            ctx.line_to(x1 + 4, eave + 4)
            ctx.close_path()

        self._tiles(ctx, gable, P.ROOF_TILE)
        self._roof_snow_line(ctx, [(x0 - 4, eave + 4), (apex[0], apex[1] - 6), (x1 + 4, eave + 4)], t=6)
        # the gable wall
        ctx.move_to(x0, eave + 6)
        ctx.line_to(apex[0], apex[1] + 6)
        ctx.line_to(x1, eave + 6)
        ctx.line_to(x1, G.HOUSE_BASE_Y)
        ctx.line_to(x0, G.HOUSE_BASE_Y)
        ctx.close_path()
        ctx.save()
        ctx.clip()
        _wall(ctx, x0, x1, apex[1], pl)
        # half-timbering in the gable
        set_col(ctx, "#6b4426")
        ctx.set_line_width(4)
        ctx.move_to(x0, 462)
        ctx.line_to(x1, 462)
        ctx.stroke()
        ctx.set_line_width(3)
        for xx in (60, 100, 182, 222):
            ctx.move_to(xx, 462)
            ctx.line_to(xx, 300)
            ctx.stroke()
        ctx.move_to(60, 440)
        ctx.line_to(100, 400)
        ctx.move_to(222, 440)
        ctx.line_to(182, 400)
        ctx.move_to(20, 440)
        ctx.line_to(60, 410)
        ctx.move_to(262, 440)
        ctx.line_to(222, 410)
        ctx.stroke()
        ctx.set_line_width(3)
        ctx.move_to(40, 372)
        ctx.line_to(242, 372)
        ctx.stroke()
        ctx.restore()
        # barge boards
        set_col(ctx, "#5a3a22")
        ctx.set_line_width(4)
        ctx.move_to(x0 - 2, eave + 6)
        ctx.line_to(apex[0], apex[1] + 4)
        ctx.line_to(x1 + 2, eave + 6)
        ctx.stroke()
        _band(ctx, x0, x1, 628, 5, P.TRIM["bakery"], self.winter)
        _band(ctx, x0, x1, 530, 4, P.TRIM["bakery"], self.winter)
        _plinth(ctx, x0, x1, 776, P.STONE)

    # ------------------------------------------------------------ house 2: the house of door 2 (mansard roof)
    def _house_door2(self, ctx, h):
        pl = P.PLASTER["door2"]
        x0, x1, top = h.x0, h.x1, h.cornice
        # mansard: steep lower slope, shallow upper part
        self._chimney(ctx, 360, 262, 300)
        self._chimney(ctx, 560, 268, 300)

        def upper():
            ctx.move_to(x0 + 18, 318)
            ctx.line_to(x0 + 40, 292)
            ctx.line_to(x1 - 40, 292)
            ctx.line_to(x1 - 18, 318)
            ctx.close_path()

        def lower():
            ctx.move_to(x0 + 2, top)
            ctx.line_to(x0 + 18, 318)
            ctx.line_to(x1 - 18, 318)
            ctx.line_to(x1 - 2, top)
            ctx.close_path()

        self._tiles(ctx, upper, P.ROOF_SLATE, rows=5, slate=True)
        self._tiles(ctx, lower, shade(P.ROOF_SLATE, 0.06), rows=6, slate=True)
        set_col(ctx, shade(P.ROOF_SLATE, -0.35))
        ctx.set_line_width(2)
        ctx.move_to(x0 + 18, 318)
        ctx.line_to(x1 - 18, 318)
        ctx.stroke()
        self._roof_snow_line(ctx, [(x0 + 40, 292), (x1 - 40, 292)], t=5)
        self._roof_snow_line(ctx, [(x0 + 18, 319), (x1 - 18, 319)], t=4)
        # dormer around light 52
        l52 = G.LIGHT_BY_N[52].dst
        dx, dy = l52.x - 6, l52.y - 12
        dw = l52.w + 12
        ctx.move_to(dx - 3, dy + 12)
        ctx.line_to(dx + dw / 2, dy - 2)
        ctx.line_to(dx + dw + 3, dy + 12)
        ctx.close_path()
        fill_stroke(ctx, P.ROOF_SLATE, None, 1)
        if self.winter:
            self._roof_snow_line(ctx, [(dx - 3, dy + 12), (dx + dw / 2, dy - 2), (dx + dw + 3, dy + 12)], t=3)
        box(ctx, dx, dy + 10, dw, l52.y + l52.h - dy - 8, "#efe1cf", None, 1)
        # roof lights 53 and 54 sit in the steep slope with a small frame
        for n in (53, 54):
            r = G.LIGHT_BY_N[n].dst
            box(ctx, r.x - 3, r.y - 3, r.w + 6, r.h + 5, "#4b5262", None, 1)
        _wall(ctx, x0, x1, top, pl)
        # rusticated corners
        for cx in (x0 + 2, x1 - 14):
            for k, y in enumerate(range(top + 8, G.HOUSE_BASE_Y - 20, 16)):
                box(ctx, cx, y, 12 if k % 2 == 0 else 9, 13, "#efd6bd", "#c5a285", 0.8)
        _band(ctx, x0 - 3, x1 + 3, top - 6, 8, P.TRIM["door2"], self.winter, depth=4)
        # dentils under the cornice
        set_col(ctx, shade(P.TRIM["door2"], -0.2))
        for x in range(int(x0) + 2, int(x1) - 2, 7):
            ctx.rectangle(x, top + 2, 4, 3)
        ctx.fill()
        _band(ctx, x0, x1, 550, 4, P.TRIM["door2"], self.winter)
        _band(ctx, x0, x1, 456, 4, P.TRIM["door2"], self.winter)
        _plinth(ctx, x0, x1, 758, "#b7a995")

    # ------------------------------------------------------------ house 3: the Tandrovi shop (stepped gable)
    def _house_shop(self, ctx, h):
        pl = P.PLASTER["shop"]
        x0, x1 = h.x0, h.x1
        mid = (x0 + x1) / 2
        # stepped gable outline
        steps = [(x0, 430), (x0 + 26, 430), (x0 + 26, 392), (x0 + 52, 392), (x0 + 52, 352),
                 (x0 + 80, 352), (x0 + 80, 312), (mid - 22, 312), (mid - 22, 262), (mid + 22, 262),
                 (mid + 22, 312), (x1 - 80, 312), (x1 - 80, 352), (x1 - 52, 352), (x1 - 52, 392),
                 (x1 - 26, 392), (x1 - 26, 430), (x1, 430)]
        ctx.move_to(x0, G.HOUSE_BASE_Y)
        for p in steps:
            ctx.line_to(*p)
        ctx.line_to(x1, G.HOUSE_BASE_Y)
        ctx.close_path()
        ctx.save()
        ctx.clip()
        _wall(ctx, x0, x1, 262, pl)
        ctx.restore()
        # coping stones on every step
        for (ax, ay), (bx, by) in zip(steps, steps[1:]):
            if ay == by:
                box(ctx, min(ax, bx) - 2, ay - 4, abs(bx - ax) + 4, 5, "#e4e6da", "#9aa08c", 0.8)
                if self.winter:
                    _snow_cap(ctx, min(ax, bx) - 2, max(ax, bx) + 2, ay - 3, 3.5)
        # a round window in the top of the gable
        set_col(ctx, "#eef0e2")
        ctx.arc(mid, 286, 9, 0, 2 * math.pi)
        ctx.fill()
        set_col(ctx, P.GLASS_DARK)
        ctx.arc(mid, 286, 6, 0, 2 * math.pi)
        ctx.fill()
        set_col(ctx, "#eef0e2")
        ctx.rectangle(mid - 0.7, 280, 1.4, 12)
        ctx.rectangle(mid - 6, 285.3, 12, 1.4)
        ctx.fill()
        _band(ctx, x0, x1, 628, 5, P.TRIM["shop"], self.winter)
        _band(ctx, x0, x1, 520, 4, P.TRIM["shop"], self.winter)
        _band(ctx, x0, x1, 428, 4, P.TRIM["shop"], self.winter)
        # pilasters of the shop front
        for px in (x0, x1 - 10):
            box(ctx, px, 640, 10, G.HOUSE_BASE_Y - 640, "#dfe3d2", "#9aa08c", 0.8)
        _plinth(ctx, x0 + 10, x1 - 10, 782, "#a7ab9a")

    # ------------------------------------------------------------ house 4: the resident house
    def _house_resident(self, ctx, h):
        pl = P.PLASTER["resident"]
        x0, x1, top = h.x0, h.x1, 462
        self._chimney(ctx, 1120, 330, 380)

        def roof():
            ctx.move_to(x0 - 6, top + 2)
            ctx.line_to(x0 + 40, 352)
            ctx.line_to(x1 - 30, 352)
            ctx.line_to(x1 + 4, top + 2)
            ctx.close_path()

        self._tiles(ctx, roof, P.ROOF_DARK_TILE)
        self._roof_snow_line(ctx, [(x0 + 40, 352), (x1 - 30, 352)], t=6)
        self._roof_snow_line(ctx, [(x0 - 6, top + 2), (x0 + 40, 352)], t=4)
        # dormer around light 51
        l51 = G.LIGHT_BY_N[51].dst
        dx, dw = l51.x - 8, l51.w + 16
        box(ctx, dx, l51.y - 6, dw, l51.h + 10, "#efe4c8", None, 1)
        ctx.move_to(dx - 4, l51.y - 4)
        ctx.line_to(dx + dw / 2, l51.y - 20)
        ctx.line_to(dx + dw + 4, l51.y - 4)
        ctx.close_path()
        fill_stroke(ctx, P.ROOF_DARK_TILE, None, 1)
        if self.winter:
            self._roof_snow_line(ctx, [(dx - 4, l51.y - 4), (dx + dw / 2, l51.y - 20), (dx + dw + 4, l51.y - 4)], 3)
        # a satellite dish on the roof
        set_col(ctx, "#d9dde2")
        ctx.save()
        ctx.translate(1090, 400)
        ctx.rotate(-0.4)
        ctx.scale(1, 1.25)
        ctx.arc(0, 0, 9, 0, 2 * math.pi)
        ctx.restore()
        ctx.fill_preserve()
        set_col(ctx, "#8c9299")
        ctx.set_line_width(0.8)
        ctx.stroke()
        ctx.move_to(1090, 400)
        ctx.line_to(1098, 395)
        ctx.stroke()
        # the corner turret holding light 55
        l55 = G.LIGHT_BY_N[55].dst
        tx0, tx1 = l55.x - 10, l55.x + l55.w + 10
        ctx.move_to(tx0 - 4, l55.y - 4)
        ctx.line_to((tx0 + tx1) / 2, l55.y - 52)
        ctx.line_to(tx1 + 4, l55.y - 4)
        ctx.close_path()
        fill_stroke(ctx, "#55606e", None, 1)
        if self.winter:
            self._roof_snow_line(ctx, [(tx0 - 4, l55.y - 4), ((tx0 + tx1) / 2, l55.y - 52)], 3)
        set_col(ctx, "#c9a04a")
        ctx.rectangle((tx0 + tx1) / 2 - 0.8, l55.y - 62, 1.6, 12)
        ctx.fill()
        ctx.rectangle(tx0, l55.y - 4, tx1 - tx0, top - l55.y + 8)
        ctx.save()
        ctx.clip()
        _wall(ctx, tx0, tx1, l55.y - 4, shade(pl, -0.04))
        ctx.restore()
        _wall(ctx, x0, x1, top, pl)
        # window bays framed in darker plaster
        _band(ctx, x0 - 4, x1 + 4, top - 6, 8, P.TRIM["resident"], self.winter, depth=4)
        _band(ctx, x0, x1, 546, 4, P.TRIM["resident"], self.winter)
        _band(ctx, x0, x1, 644, 5, P.TRIM["resident"], self.winter)
        _plinth(ctx, x0, x1, 786, "#b2a58a")
        # a drainpipe
        set_col(ctx, "#8d939a")
        ctx.rectangle(x1 - 8, top, 4, G.HOUSE_BASE_Y - top)
        ctx.fill()

    # ------------------------------------------------------------ house 5: the pub
    def _house_pub(self, ctx, h):
        pl = P.PLASTER["pub"]
        x0, x1, top = h.x0, h.x1, 440

        def roof():
            ctx.move_to(x0 - 4, top + 2)
            ctx.line_to(x0 + 20, 336)
            ctx.line_to(x1, 336)
            ctx.line_to(x1, top + 2)
            ctx.close_path()

        self._tiles(ctx, roof, P.ROOF_SLATE, rows=5, slate=True)
        self._roof_snow_line(ctx, [(x0 + 20, 336), (x1, 336)], 6)
        l56 = G.LIGHT_BY_N[56].dst
        box(ctx, l56.x - 6, l56.y - 6, l56.w + 12, l56.h + 10, "#e9d9b8", None, 1)
        ctx.move_to(l56.x - 10, l56.y - 4)
        ctx.line_to(l56.x + l56.w / 2, l56.y - 18)
        ctx.line_to(l56.x + l56.w + 10, l56.y - 4)
        ctx.close_path()
        fill_stroke(ctx, P.ROOF_SLATE, None, 1)
        if self.winter:
            self._roof_snow_line(ctx, [(l56.x - 10, l56.y - 4), (l56.x + l56.w / 2, l56.y - 18),
                                       (l56.x + l56.w + 10, l56.y - 4)], 3)
        _wall(ctx, x0, x1, top, "#e9d9b8")
        # half-timbered upper floors in dark oak over light infill
        set_col(ctx, "#4a2c1c")
        for y in (top, 530, 624):
            ctx.rectangle(x0, y, x1 - x0, 5)
        for x in range(int(x0), int(x1), 34):
            ctx.rectangle(x, top, 4, 190)
        ctx.fill()
        ctx.set_line_width(3)
        for x in range(int(x0), int(x1) - 30, 34):
            ctx.move_to(x + 2, 530)
            ctx.line_to(x + 34, top + 4)
            ctx.move_to(x + 2, 624)
            ctx.line_to(x + 34, 534)
            ctx.stroke()
        # ground floor in deep red
        ctx.rectangle(x0, 629, x1 - x0, G.HOUSE_BASE_Y - 629)
        ctx.save()
        ctx.clip()
        _wall(ctx, x0, x1, 629, pl)
        ctx.restore()
        _band(ctx, x0 - 4, x1 + 4, top - 6, 7, "#d8c49c", self.winter, depth=4)
        _band(ctx, x0, x1, 628, 4, "#3a2418", self.winter)
        _plinth(ctx, x0, x1, 784, "#6d5a50")

    # ------------------------------------------------------------ ground floors
    def _ground_floors(self, ctx, signs):
        # house 1: bakery window 1, door 1 with transom and clock bracket, shop window 4
        l1 = G.LIGHT_BY_N[1].dst
        self._shop_window(ctx, (l1.x + 3, l1.y + 4, l1.w - 7, 80), "bakery", P.WINDOW_FRAME, 1)
        d1 = G.DOORS[1]
        door(ctx, (d1.x, d1.y, d1.w, d1.h - 3), P.DOOR_GREEN, self.season, glass=True,
             transom=(d1.x + 4, 669, d1.w - 8, 18), steps=2)
        l4 = G.LIGHT_BY_N[4].dst
        # open shutters folded back beside the big window
        # (the window is as high as the shutters that close over it)
        for sx in (158, 262):
            box(ctx, sx, 690, 9, G.BAKERY_GLASS_H + 4, "#3f6b4f", "#24402f", 0.8)
            set_col(ctx, "#2f5540")
            for k in range(int(G.BAKERY_GLASS_H // 8)):
                ctx.rectangle(sx + 1.5, 694 + k * 8, 6, 1.5)
            ctx.fill()
        self._shop_window(ctx, (l4.x + 3, 693, l4.w - 6, G.BAKERY_GLASS_H), "bakery2", P.WINDOW_FRAME, 4)
        # house 2: two raised windows, door 2 with bell, two cellar windows
        for n in (5, 6):
            r = G.LIGHT_BY_N[n].dst
            st = WindowStyle(frame="#f4ebe0", bars="six", surround="#e6c3a8",
                             flowers="mixed" if n == 6 else None, curtain="sides")
            window(ctx, (r.x, r.y, r.w, r.h - 4), st, self.season, seed=n)
        d2 = G.DOORS[2]
        door(ctx, (d2.x, d2.y, d2.w, d2.h), P.DOOR_RED, self.season, glass=True, steps=2)
        self._bell(ctx, G.HOT_SPOTS["B"], one=True)
        for n in (7, 8):
            r = G.LIGHT_BY_N[n].dst
            self._cellar_window(ctx, (r.x + 6, 770, r.w - 12, 22))
        # house 3: the Tandrovi shop window, door 3 with its lamp and bells
        l11 = G.LIGHT_BY_N[11].dst
        self._shop_window(ctx, (l11.x + 6, 708, l11.w - 12, 82), "tandrovi", "#e9ecef", 11)
        d3 = G.DOORS[3]
        door(ctx, (d3.x, d3.y, d3.w, d3.h), P.DOOR_BLUE, self.season, glass=True,
             transom=None, steps=1)
        self._bell(ctx, G.HOT_SPOTS["C"], one=False)
        self._small_window(ctx, (838, 702, 20, 54))
        # house 4: door 4, windows 16 and 17
        d4 = G.DOORS[4]
        door(ctx, (d4.x, d4.y, d4.w, d4.h), P.DOOR_WOOD, self.season, glass=True, steps=1)
        self._bell(ctx, G.HOT_SPOTS["D"], one=False)
        for n in (16, 17):
            r = G.LIGHT_BY_N[n].dst
            st = WindowStyle(frame="#ffffff", bars="six", surround="#d8c8a4", curtain="sides")
            window(ctx, (r.x + 5, r.y + 4, r.w - 10, 78), st, self.season, seed=n)
        # the pub window 18 and the pub door
        l18 = G.LIGHT_BY_N[18].dst
        self._shop_window(ctx, (l18.x + 4, 706, l18.w - 6, 82), "pub", "#3b2a1e", 18)
        door(ctx, (1166, 700, 22, 88), "#4a2c1c", self.season, glass=True, steps=1)
        # lamps above doors 3 and 4 (lit by lights 13 and 14)
        for hs in ("F2", "F3"):
            r = G.HOT_SPOTS[hs]
            self._door_lamp(ctx, r, lit=False)
        # the clock bracket above door 1 (the digital clock hangs here)
        set_col(ctx, "#3a3a40")
        ctx.rectangle(121, 627, 2, 8)
        ctx.fill()
        # a hanging bakery sign (pretzel) and the pub's lantern sign
        self._hanging_pretzel(ctx, 48, 646)
        if signs:
            for house in (1, 2, 3, 4):
                self.paste_sign(ctx, house, "de", L.DAY)
        self._details(ctx)

    def _bell(self, ctx, r, one):
        x, y, w, h = r
        box(ctx, x, y, w, h, "#d9c38a" if one else "#c9ccd2", "#6f6a5c", 0.8)
        set_col(ctx, "#6f6a5c")
        if one:
            ctx.arc(x + w / 2, y + h / 2, 1.4, 0, 2 * math.pi)
            ctx.fill()
        else:
            rows = max(2, int(h / 5))
            for k in range(rows):
                ctx.rectangle(x + 2, y + 2 + k * (h - 3) / rows, w - 7, 2)
                ctx.arc(x + w - 3, y + 3 + k * (h - 3) / rows, 1.1, 0, 2 * math.pi)
            ctx.fill()

    def _door_lamp(self, ctx, r, lit):
        x, y, w, h = r
        set_col(ctx, "#2f3238")
        ctx.rectangle(x + w / 2 - 1, y - 4, 2, 4)
        ctx.fill()
        rounded_rect(ctx, x, y, w, h, h / 2)
        if lit:
            ctx.set_source_rgb(1.0, 0.93, 0.66)
        else:
            set_col(ctx, "#e7e4d8")
        ctx.fill_preserve()
        set_col(ctx, "#2f3238")
        ctx.set_line_width(1)
        ctx.stroke()

    def _hanging_pretzel(self, ctx, x, y):
        set_col(ctx, "#2f3238")
        ctx.set_line_width(1.5)
        ctx.move_to(x - 20, y - 16)
        ctx.line_to(x + 8, y - 16)
        ctx.stroke()
        ctx.move_to(x, y - 16)
        ctx.line_to(x, y - 10)
        ctx.stroke()
        _pretzel(ctx, x, y, 9, "#c98b3a")
        set_col(ctx, "#7a4f1e")
        ctx.set_line_width(0.6)
        if self.winter:
            _snow_cap(ctx, x - 20, x + 8, y - 16, 1.5)

    def _cellar_window(self, ctx, r):
        x, y, w, h = r
        box(ctx, x - 3, y - 3, w + 6, h + 6, "#d8cbb6", "#8d7f6a", 1)
        set_col(ctx, "#3d4450")
        ctx.rectangle(x, y, w, h)
        ctx.fill()
        set_col(ctx, "#5a6472")
        ctx.rectangle(x + 2, y + 2, w - 4, h / 2 - 2)
        ctx.fill()
        set_col(ctx, "#2a2d33")
        for k in range(1, 8):
            ctx.rectangle(x + w * k / 8 - 1, y, 2, h)
        ctx.fill()

    def _small_window(self, ctx, r):
        x, y, w, h = r
        box(ctx, x, y, w, h, "#ffffff", None, 1)
        _glass_day(ctx, x + 3, y + 3, w - 6, h - 6, 99, None)
        set_col(ctx, "#ffffff")
        ctx.rectangle(x + 3, y + h / 2, w - 6, 2)
        ctx.fill()
        box(ctx, x - 2, y + h, w + 4, 3, "#eef0e2", None, 0.8)
        if self.winter:
            _snow_cap(ctx, x - 2, x + w + 2, y + h + 1, 2)

    def _shop_window(self, ctx, r, kind, frame, seed, lit=False, phase=L.DAY):
        x, y, w, h = r
        if not lit:
            box(ctx, x - 3, y - 3, w + 6, h + 6, frame, shade(frame, -0.4), 1)
            # a low wall (stall riser) below the glass
        gx, gy, gw, gh = x, y, w, h - 10
        if lit:
            grad = cairo.LinearGradient(gx, gy, gx, gy + gh)
            grad.add_color_stop_rgb(0, *P.WARM_LIGHT)
            grad.add_color_stop_rgb(1, *mix(P.WARM_LIGHT_DEEP, P.WARM_LIGHT, 0.3))
        else:
            grad = cairo.LinearGradient(gx, gy, gx + gw * 0.3, gy + gh)
            grad.add_color_stop_rgb(0, *col("#bcd6e4"))
            grad.add_color_stop_rgb(1, *col("#6f90a6"))
        ctx.set_source(grad)
        ctx.rectangle(gx, gy, gw, gh)
        ctx.fill()
        self._display(ctx, gx, gy, gw, gh, kind, lit)
        if not lit:
            _reflection(ctx, gx, gy, gw, gh, 0.28, 0.1, 0.25, 0.1)
        fr = frame if not lit else mix(L.apply_color(col(frame), phase), (0.3, 0.22, 0.15), 0.2)
        _bars(ctx, gx, gy, gw, gh, "shop" if kind != "pub" else "six", fr)
        if not lit:
            box(ctx, x - 3, y + h - 10, w + 6, 10, shade(frame, -0.1), shade(frame, -0.45), 1)
            box(ctx, x - 5, y + h - 11, w + 10, 3, shade(frame, 0.1), shade(frame, -0.45), 0.8)
            if self.winter:
                _snow_cap(ctx, x - 5, x + w + 5, y + h - 10, 2.5)

    def _display(self, ctx, x, y, w, h, kind, lit):
        r = _rnd(len(kind) * 17 + int(x))
        if kind.startswith("bakery"):
            # shelves with loaves, rolls and cakes
            for k, sy in enumerate((y + h * 0.45, y + h * 0.78)):
                set_col(ctx, "#e9dcc0" if not lit else "#fff0c8")
                ctx.rectangle(x + 2, sy, w - 4, 2)
                ctx.fill()
                px = x + 4
                while px < x + w - 10:
                    kind_ = r.integers(0, 3)
                    if kind_ == 0:
                        set_col(ctx, "#b5762f")
                        ctx.save()
                        ctx.translate(px + 6, sy - 4)
                        ctx.scale(6, 3.6)
                        ctx.arc(0, 0, 1, math.pi, 2 * math.pi)
                        ctx.restore()
                        ctx.fill()
                        set_col(ctx, "#f1c98a")
                        ctx.rectangle(px + 3, sy - 6, 1, 2)
                        ctx.rectangle(px + 7, sy - 6, 1, 2)
                        ctx.fill()
                        px += 14
                    elif kind_ == 1:
                        for j in range(3):
                            set_col(ctx, "#d49a4c")
                            ctx.arc(px + 3 + j * 5, sy - 2.5, 2.5, math.pi, 2 * math.pi)
                            ctx.fill()
                        px += 16
                    else:
                        set_col(ctx, "#f4e6d4")
                        ctx.rectangle(px, sy - 7, 10, 7)
                        ctx.fill()
                        set_col(ctx, "#d8554f")
                        ctx.rectangle(px, sy - 7, 10, 2)
                        ctx.fill()
                        px += 13
            if kind == "bakery2":
                # "Frische Brötchen" poster hanging in the window
                box(ctx, x + w * 0.55, y + 4, w * 0.38, 18, "#fff8e6", "#c9a24a", 0.8)
                set_col(ctx, "#9b4d22")
                for k in range(3):
                    ctx.rectangle(x + w * 0.58, y + 8 + k * 4, w * 0.3 - k * 4, 1.3)
                ctx.fill()
        elif kind == "tandrovi":
            # a few goods on stands at the bottom; the weather display hangs in the middle
            for k, c in enumerate(("#e35d5b", "#5b8fe3", "#f2c94c", "#52b788")):
                px = x + 8 + k * (w - 16) / 4
                set_col(ctx, "#d5d8dc" if not lit else "#fff2d0")
                ctx.rectangle(px + 8, y + h - 8, 2, 8)
                ctx.fill()
                set_col(ctx, c)
                rounded_rect(ctx, px + 2, y + h - 20, 14, 12, 3)
                ctx.fill()
        elif kind == "pub":
            # half curtain, hanging lamps, bottles on a shelf
            set_col(ctx, "#f3e3c3" if not lit else "#ffe6b0")
            ctx.rectangle(x, y + h * 0.5, w, h * 0.5)
            ctx.fill()
            set_col(ctx, "#c9b28a" if not lit else "#e8b870")
            for k in range(int(w / 3)):
                ctx.rectangle(x + k * 3 + 1, y + h * 0.5, 0.8, h * 0.5)
            ctx.fill()
            set_col(ctx, "#7a5a3c")
            ctx.rectangle(x, y + h * 0.5 - 2, w, 2)
            ctx.fill()
            for k in range(3):
                lx = x + w * (k + 0.5) / 3
                set_col(ctx, "#2f2a24")
                ctx.rectangle(lx - 0.5, y, 1, 9)
                ctx.fill()
                set_col(ctx, "#1f5a3a" if not lit else "#fff1b0")
                ctx.move_to(lx - 5, y + 14)
                ctx.line_to(lx + 5, y + 14)
                ctx.line_to(lx + 2, y + 9)
                ctx.line_to(lx - 2, y + 9)
                ctx.fill()
            for k in range(9):
                bx = x + 6 + k * (w - 12) / 9
                set_col(ctx, ["#2e6b3a", "#7a3b1e", "#c9a24a"][k % 3])
                ctx.rectangle(bx, y + h * 0.5 - 10, 3, 8)
                ctx.rectangle(bx + 1, y + h * 0.5 - 13, 1, 3)
                ctx.fill()

    def paste_sign(self, ctx, house, lang, phase, lit=False):
        n = {1: 3, 2: 10, 3: 12, 4: 19}[house]
        r = G.LIGHT_BY_N[n].dst
        rgb = sign_picture(house, lang, self.season, phase, lit)
        _paste(ctx, rgb, r.x, r.y)

    def _details(self, ctx):
        win = self.winter
        # a bicycle leaning against the resident house
        if not win:
            self._bicycle(ctx, 1012, 790)
        # a cat on the window box of light 6 (summer) or on the sill of 25 (winter)
        if win:
            self._cat(ctx, 538, 640, sitting=True)
        else:
            self._cat(ctx, 557, 757, sitting=True)
        # house numbers
        for (x, y, t) in ((124, 662 - 8, ""), (470, 694, "7"), (808, 690, "9"), (948, 690, "11")):
            if t:
                box(ctx, x - 6, y - 7, 12, 9, "#2f4a7a", "#ffffff", 0.8)
                ctx.select_font_face(FONT_SANS, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
                fit_text(ctx, t, x, y - 2.5, 10, 7, "#ffffff")
        # flower tubs beside the pub door and door 2
        for tx in (1150,):
            self._tub(ctx, tx, 792)
        self._balcony(ctx, 1006, 530, 48)
        self._poster(ctx, 302, 700)

    def _balcony(self, ctx, x, y, w):
        # a small balcony below window 43 with washing on a line
        if not self.winter:
            set_col(ctx, "#6a6e75")
            ctx.set_line_width(0.6)
            ctx.move_to(x + 2, y + 1)
            ctx.line_to(x + w - 2, y + 1)
            ctx.stroke()
            for k, (c, kind) in enumerate((("#e85a5a", "shirt"), ("#ffffff", "towel"), ("#5a8ae8", "sock"),
                                           ("#f2c94c", "shirt"))):
                cx = x + 6 + k * 11
                set_col(ctx, c)
                if kind == "shirt":
                    ctx.move_to(cx - 4, y + 1)
                    ctx.line_to(cx + 4, y + 1)
                    ctx.line_to(cx + 5, y + 4)
                    ctx.line_to(cx + 3, y + 4)
                    ctx.line_to(cx + 3, y + 10)
                    ctx.line_to(cx - 3, y + 10)
                    ctx.line_to(cx - 3, y + 4)
                    ctx.line_to(cx - 5, y + 4)
                    ctx.close_path()
                elif kind == "towel":
                    ctx.rectangle(cx - 3, y + 1, 6, 9)
                else:
                    ctx.rectangle(cx - 1.5, y + 1, 3, 6)
                    ctx.rectangle(cx - 1.5, y + 5, 5, 2)
                ctx.fill_preserve()
                set_col(ctx, shade(c, -0.4))
                ctx.set_line_width(0.5)
                ctx.stroke()
        box(ctx, x - 3, y + 11, w + 6, 3, "#d8cba8", "#8a7a5a", 0.8)
        set_col(ctx, "#3a3d44")
        ctx.set_line_width(0.8)
        ctx.move_to(x - 2, y + 11)
        ctx.line_to(x - 2, y + 4)
        ctx.line_to(x + w + 2, y + 4)
        ctx.line_to(x + w + 2, y + 11)
        ctx.stroke()
        if self.winter:
            _snow_cap(ctx, x - 3, x + w + 3, y + 12, 2)

    def _poster(self, ctx, x, y):
        box(ctx, x, y, 30, 42, "#fbf3dc", "#8a7a5a", 0.8)
        set_col(ctx, "#d04a2a")
        ctx.rectangle(x + 3, y + 3, 24, 9)
        ctx.fill()
        fit_text(ctx, "FLOH", x + 15, y + 7.8, 20, 7, "#ffffff")
        fit_text(ctx, "MARKT", x + 15, y + 17, 24, 6, "#4a3a2a")
        set_col(ctx, "#5a8a3a")
        ctx.arc(x + 15, y + 28, 6, 0, 2 * math.pi)
        ctx.fill()
        set_col(ctx, "#7a6a5a")
        for k in range(2):
            ctx.rectangle(x + 5, y + 36 + k * 2.5, 20 - k * 6, 1)
        ctx.fill()

    def _tub(self, ctx, x, base):
        box(ctx, x - 7, base - 12, 14, 12, "#8a5a38", None, 0.8)
        if self.winter:
            _snow_cap(ctx, x - 7, x + 7, base - 11, 3)
            set_col(ctx, "#5d4a38")
            ctx.set_line_width(1)
            for a in (-0.5, 0, 0.5):
                ctx.move_to(x, base - 12)
                ctx.line_to(x + math.sin(a) * 10, base - 24)
            ctx.stroke()
        else:
            r = _rnd(int(x))
            for k in range(9):
                set_col(ctx, P.LEAF)
                ctx.arc(x + r.uniform(-7, 7), base - 16 + r.uniform(-5, 3), 3.5, 0, 2 * math.pi)
                ctx.fill()
            for k in range(6):
                set_col(ctx, P.FLOWER_COLOURS[k % 5])
                ctx.arc(x + r.uniform(-7, 7), base - 18 + r.uniform(-5, 3), 1.6, 0, 2 * math.pi)
                ctx.fill()

    def _bicycle(self, ctx, x, base):
        set_col(ctx, "#2f3238")
        ctx.set_line_width(1.4)
        for wx in (x, x + 30):
            ctx.arc(wx, base - 10, 10, 0, 2 * math.pi)
            ctx.stroke()
        set_col(ctx, "#c0392b")
        ctx.set_line_width(2)
        ctx.move_to(x, base - 10)
        ctx.line_to(x + 12, base - 10)
        ctx.line_to(x + 8, base - 24)
        ctx.close_path()
        ctx.move_to(x + 12, base - 10)
        ctx.line_to(x + 24, base - 24)
        ctx.line_to(x + 8, base - 24)
        ctx.move_to(x + 24, base - 24)
        ctx.line_to(x + 30, base - 10)
        ctx.stroke()
        set_col(ctx, "#2f3238")
        ctx.move_to(x + 22, base - 28)
        ctx.line_to(x + 27, base - 29)
        ctx.move_to(x + 6, base - 27)
        ctx.line_to(x + 11, base - 27)
        ctx.stroke()
        ctx.move_to(x + 24, base - 24)
        ctx.line_to(x + 23, base - 28)
        ctx.stroke()

    def _cat(self, ctx, x, base, sitting=True):
        c = "#3b3330"
        set_col(ctx, c)
        ctx.save()
        ctx.translate(x, base - 6)
        ctx.scale(5, 6)
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.restore()
        ctx.fill()
        ctx.arc(x + 1, base - 14, 3.6, 0, 2 * math.pi)
        ctx.fill()
        ctx.move_to(x - 2, base - 16)
        ctx.line_to(x - 1.5, base - 20)
        ctx.line_to(x + 0.5, base - 17)
        ctx.move_to(x + 2, base - 17)
        ctx.line_to(x + 4, base - 20)
        ctx.line_to(x + 4.5, base - 15.5)
        ctx.fill()
        ctx.set_line_width(1.6)
        ctx.move_to(x + 4, base - 1)
        ctx.curve_to(x + 10, base, x + 10, base - 8, x + 7, base - 10)
        ctx.stroke()
        set_col(ctx, "#d9e26a")
        ctx.arc(x - 0.3, base - 14.5, 0.7, 0, 2 * math.pi)
        ctx.arc(x + 2.5, base - 14.5, 0.7, 0, 2 * math.pi)
        ctx.fill()

    # ------------------------------------------------------------ pavement and road
    def _pavement(self, ctx):
        y0, y1 = G.HOUSE_BASE_Y, G.KERB_Y
        r = _rnd(3)
        set_col(ctx, P.PAVEMENT)
        ctx.rectangle(0, y0, W, y1 - y0)
        ctx.fill()
        # a strip of small setts along the houses and one along the kerb
        for (a, b, sw) in ((y0, y0 + 8, 7), (y1 - 7, y1, 8)):
            for row, yy in enumerate(np.arange(a, b, 3.5)):
                x = -(row % 2) * sw / 2
                while x < W:
                    set_col(ctx, mix("#9c9384", "#80796d", r.uniform(0, 1)))
                    rounded_rect(ctx, x + 0.4, yy + 0.4, sw - 0.8, 3.0, 0.8)
                    ctx.fill()
                    x += sw
        # slabs in rows that widen toward the viewer, each a little different
        rows = [y0 + 8, 809, 820, 833, 847, y1 - 7]
        for i, (a, b) in enumerate(zip(rows, rows[1:])):
            sw = 24 + i * 8
            x = -r.uniform(0, sw)
            while x < W:
                c = mix(P.PAVEMENT, P.PAVEMENT_DARK, r.uniform(0, 0.6))
                set_col(ctx, c)
                ctx.rectangle(x + 0.6, a + 0.6, sw - 1.2, b - a - 1.2)
                ctx.fill()
                set_col(ctx, shade(c, 0.14), 0.8)
                ctx.rectangle(x + 0.6, a + 0.6, sw - 1.2, 1)
                ctx.fill()
                set_col(ctx, shade(c, -0.1), 0.8)
                ctx.rectangle(x + 0.6, b - 1.6, sw - 1.2, 1)
                ctx.fill()
                x += sw
            set_col(ctx, "#756e63")
            ctx.set_line_width(0.9)
            ctx.move_to(0, a)
            ctx.line_to(W, a)
            ctx.stroke()
        # the shadow of the houses on the pavement's back edge
        grad = cairo.LinearGradient(0, y0, 0, y0 + 8)
        grad.add_color_stop_rgba(0, 0, 0, 0, 0.25)
        grad.add_color_stop_rgba(1, 0, 0, 0, 0)
        ctx.set_source(grad)
        ctx.rectangle(0, y0, W, 8)
        ctx.fill()
        # drains from the downpipes and a manhole
        box(ctx, 600, 862, 26, 5, "#6f6a60", "#4a463f", 0.8)
        set_col(ctx, "#4a463f")
        for k in range(5):
            ctx.rectangle(603 + k * 5, 863, 2, 3)
        ctx.fill()
        if self.winter:
            self._snow_drift(ctx, 0, W, y0 + 3, 7, 31)
            self._snow_drift(ctx, 0, W, y1 - 1, 6, 37)
            # trodden patches
            for k in range(40):
                x = r.uniform(0, W)
                y = r.uniform(y0 + 12, y1 - 10)
                ctx.set_source_rgba(0.97, 0.98, 1.0, 0.55)
                ctx.save()
                ctx.translate(x, y)
                ctx.scale(r.uniform(10, 30), r.uniform(2, 4))
                ctx.arc(0, 0, 1, 0, 2 * math.pi)
                ctx.restore()
                ctx.fill()
        # the kerb
        box(ctx, -1, y1, W + 2, 3.5, P.KERB, "#9d988e", 0.8)
        set_col(ctx, P.KERB_FRONT)
        ctx.rectangle(0, y1 + 3.5, W, G.ROAD_TOP - y1 - 3.5)
        ctx.fill()
        set_col(ctx, "#6f6a62")
        ctx.set_line_width(0.8)
        for x in range(37, W, 74):
            ctx.move_to(x, y1)
            ctx.line_to(x, G.ROAD_TOP)
        ctx.stroke()
        if self.winter:
            self._snow_drift(ctx, 0, W, y1 + 2, 4, 41)

    def _snow_drift(self, ctx, x0, x1, y, t, seed):
        r = _rnd(seed)
        ctx.move_to(x0, y + t)
        x = x0
        while x <= x1:
            ctx.line_to(x, y - r.uniform(0, t))
            x += r.uniform(6, 20)
        ctx.line_to(x1, y + t)
        ctx.close_path()
        set_col(ctx, P.SNOW)
        ctx.fill_preserve()
        set_col(ctx, P.SNOW_SHADE)
        ctx.set_line_width(0.7)
        ctx.stroke()

    def _road(self, ctx, rails):
        top, bottom = G.ROAD_TOP, G.NEAR_KERB_Y
        grad = cairo.LinearGradient(0, top, 0, bottom)
        grad.add_color_stop_rgb(0, *col("#76777b" if not self.winter else "#6a6c72"))
        grad.add_color_stop_rgb(1, *col(P.ASPHALT if not self.winter else "#5f6168"))
        ctx.set_source(grad)
        ctx.rectangle(0, top, W, bottom - top)
        ctx.fill()
        r = _rnd(5)
        # asphalt grain and patches
        for _ in range(1800):
            x, y = r.uniform(0, W), r.uniform(top, bottom)
            ctx.set_source_rgba(*(0.5, 0.5, 0.52) if r.random() < 0.5 else (0.36, 0.36, 0.38), 0.5)
            ctx.rectangle(x, y, 1, 1)
            ctx.fill()
        for _ in range(5):
            x, y = r.uniform(0, W), r.uniform(top + 5, bottom - 10)
            ctx.set_source_rgba(0.3, 0.3, 0.33, 0.35)
            rounded_rect(ctx, x, y, r.uniform(30, 80), r.uniform(5, 10), 3)
            ctx.fill()
        # the bus stop's yellow zigzag in the far lane
        set_col(ctx, "#e8c547")
        ctx.set_line_width(2)
        ctx.move_to(150, 876)
        zig = 150
        up = False
        while zig < 430:
            zig += 14
            ctx.line_to(zig, 876 if up else 894)
            up = not up
        ctx.stroke()
        set_col(ctx, "#e8c547")
        ctx.rectangle(150, 875, 280, 2)
        ctx.fill()
        # "BUS" on the road
        ctx.save()
        ctx.translate(300, 904)
        ctx.scale(1, 0.45)
        ctx.select_font_face(FONT_SANS, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
        ctx.set_font_size(26)
        ctx.set_source_rgba(0.95, 0.95, 0.9, 0.85)
        ext = ctx.text_extents("BUS")
        ctx.move_to(-ext.width / 2, 0)
        ctx.show_text("BUS")
        ctx.restore()
        # lane marking between the far lane and the track
        ctx.set_source_rgba(0.96, 0.96, 0.92, 0.9)
        for x in range(-20, W, 60):
            ctx.rectangle(x, 932, 32, 2.5)
        ctx.fill()
        # the tram track, rails set in the road between rows of setts
        if rails:
            set_col(ctx, "#66676b" if not self.winter else "#5a5c62")
            ctx.rectangle(0, 940, W, 34)
            ctx.fill()
            for ry in (941, 970):
                for x in range(0, W, 9):
                    set_col(ctx, mix(P.COBBLE, "#6b665f", ((x * 7) % 5) / 5.0))
                    rounded_rect(ctx, x + 0.5, ry, 8, 3, 1)
                    ctx.fill()
            for ry in G.RAIL_Y:
                set_col(ctx, P.RAIL_DARK)
                ctx.rectangle(0, ry - 1, W, G.RAIL_W + 2)
                ctx.fill()
                set_col(ctx, P.RAIL)
                ctx.rectangle(0, ry, W, 2)
                ctx.fill()
                set_col(ctx, "#2f3034")
                ctx.rectangle(0, ry + 2, W, 1.2)
                ctx.fill()
        # a manhole in the near lane
        set_col(ctx, "#56575b")
        ctx.save()
        ctx.translate(840, 990)
        ctx.scale(16, 4)
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.restore()
        ctx.fill_preserve()
        set_col(ctx, "#3f4044")
        ctx.set_line_width(1)
        ctx.stroke()
        if self.winter:
            # slush along both kerbs
            self._slush(ctx, top, 6, 47)
            self._slush(ctx, bottom - 6, 6, 53)
        # near kerb and the strip of near pavement
        set_col(ctx, P.KERB_FRONT)
        ctx.rectangle(0, bottom, W, 3)
        ctx.fill()
        box(ctx, -1, bottom + 3, W + 2, 3, P.KERB, "#9d988e", 0.8)
        set_col(ctx, P.PAVEMENT)
        ctx.rectangle(0, bottom + 6, W, H - bottom - 6)
        ctx.fill()
        r = _rnd(9)
        set_col(ctx, "#948c7e")
        ctx.set_line_width(0.8)
        x = 0
        while x < W:
            ctx.move_to(x, bottom + 6)
            ctx.line_to(x, H)
            x += 52
        ctx.stroke()
        if self.winter:
            self._snow_drift(ctx, 0, W, bottom + 5, 4, 61)
            ctx.set_source_rgba(0.97, 0.98, 1.0, 0.7)
            ctx.rectangle(0, bottom + 9, W, H - bottom - 9)
            ctx.fill()

    def _slush(self, ctx, y, h, seed):
        r = _rnd(seed)
        x = 0
        while x < W:
            w = r.uniform(20, 70)
            ctx.set_source_rgba(0.86, 0.88, 0.92, r.uniform(0.5, 0.85))
            rounded_rect(ctx, x, y + r.uniform(0, 2), w, r.uniform(2, h), 2)
            ctx.fill()
            x += w + r.uniform(0, 30)

    def _wall_lanterns(self, ctx, lit):
        for x, y in self.LANTERNS:
            lantern(ctx, x, y, self.season, lit)

    LANTERNS = [(296, 640), (1166, 660), (874, 640)]

    # ------------------------------------------------------------ night extras (not in any light)
    def draw_night(self, ctx, phase):
        """Street lamps and their pools: drawn over the phase's scene."""
        strength = 1.0 if phase == L.NIGHT else 0.55
        for x, y in self.LANTERNS:
            lantern(ctx, x, y, self.season, lit=True)
            g = cairo.RadialGradient(x, y + 8, 2, x, y + 8, 46)
            g.add_color_stop_rgba(0, 1.0, 0.86, 0.5, 0.45 * strength)
            g.add_color_stop_rgba(1, 1.0, 0.8, 0.5, 0.0)
            ctx.set_source(g)
            ctx.arc(x, y + 8, 46, 0, 2 * math.pi)
            ctx.fill()

    # ------------------------------------------------------------ lit looks of the lights
    def draw_light_on(self, ctx, n, phase):
        """Draws light n's lit look over the phase picture (clipped by the caller)."""
        l = G.LIGHT_BY_N[n]
        r = l.dst
        if 20 <= n <= 56:
            window_lit(ctx, r, self.style_of(n), phase, seed=n, warmth=((n * 37) % 10) / 30.0)
            return
        if n == 1:
            l1 = r
            self._shop_window(ctx, (l1.x + 3, l1.y + 4, l1.w - 7, 80), "bakery", P.WINDOW_FRAME, 1, lit=True,
                              phase=phase)
        elif n == 2:
            d1 = G.DOORS[1]
            door_lit(ctx, (d1.x, d1.y, d1.w, d1.h - 3), phase, transom=(d1.x + 4, 669, d1.w - 8, 18))
            self._pool(ctx, d1.x + d1.w / 2, 800, 40, 14)
        elif n == 4:
            self._shop_window(ctx, (r.x + 3, 693, r.w - 6, G.BAKERY_GLASS_H), "bakery2", P.WINDOW_FRAME, 4, lit=True, phase=phase)
            self._pool(ctx, r.x + r.w / 2, 806, 50, 18)
        elif n in (5, 6):
            st = WindowStyle(frame="#f4ebe0", bars="six", curtain="sides")
            window_lit(ctx, (r.x, r.y, r.w, r.h - 4), st, phase, seed=n)
        elif n in (7, 8):
            x, y, w, h = r.x + 6, 770, r.w - 12, 22
            ctx.set_source_rgb(*P.WARM_LIGHT_DEEP)
            ctx.rectangle(x, y, w, h)
            ctx.fill()
            ctx.set_source_rgb(*P.WARM_LIGHT)
            ctx.rectangle(x + 2, y + 2, w - 4, h / 2)
            ctx.fill()
            set_col(ctx, "#2a2018")
            for k in range(1, 8):
                ctx.rectangle(x + w * k / 8 - 1, y, 2, h)
            ctx.fill()
            self._pool(ctx, r.x + r.w / 2, 812, 52, 18)
        elif n == 9:
            d2 = G.DOORS[2]
            door_lit(ctx, (d2.x, d2.y, d2.w, d2.h), phase)
            self._pool(ctx, d2.x + d2.w / 2, 802, 38, 14)
        elif n == 11:
            self._shop_window(ctx, (r.x + 6, 708, r.w - 12, 82), "tandrovi", "#e9ecef", 11, lit=True, phase=phase)
            self._pool(ctx, r.x + r.w / 2, 810, 60, 20)
        elif n == 13:
            self._door_lamp(ctx, G.HOT_SPOTS["F2"], lit=True)
            d3 = G.DOORS[3]
            door_lit(ctx, (d3.x, d3.y, d3.w, d3.h), phase)
            self._lamp_glow(ctx, G.HOT_SPOTS["F2"])
            self._pool(ctx, d3.x + d3.w / 2, 802, 44, 14)
        elif n == 14:
            self._door_lamp(ctx, G.HOT_SPOTS["F3"], lit=True)
            d4 = G.DOORS[4]
            door_lit(ctx, (d4.x, d4.y, d4.w, d4.h), phase)
            self._lamp_glow(ctx, G.HOT_SPOTS["F3"])
            self._pool(ctx, d4.x + d4.w / 2, 802, 44, 14)
        elif n in (16, 17):
            st = WindowStyle(frame="#ffffff", bars="six", curtain="sides")
            window_lit(ctx, (r.x + 5, r.y + 4, r.w - 10, 78), st, phase, seed=n)
            self._pool(ctx, r.x + r.w / 2, 806, 34, 12)
        elif n == 18:
            self._shop_window(ctx, (r.x + 4, 706, r.w - 6, 82), "pub", "#3b2a1e", 18, lit=True, phase=phase)
            self._pool(ctx, r.x + r.w / 2, 810, 44, 16)

    def _pool(self, ctx, cx, cy, rx, ry):
        ctx.save()
        ctx.rectangle(0, G.HOUSE_BASE_Y + 1, W, 200)
        ctx.clip()
        ctx.translate(cx, cy)
        ctx.scale(rx, ry)
        g = cairo.RadialGradient(0, 0, 0.05, 0, 0, 1)
        g.add_color_stop_rgba(0, 1.0, 0.85, 0.5, 0.42)
        g.add_color_stop_rgba(1, 1.0, 0.8, 0.45, 0.0)
        ctx.set_source(g)
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.fill()
        ctx.restore()

    def _lamp_glow(self, ctx, r):
        x, y, w, h = r
        g = cairo.RadialGradient(x + w / 2, y + h / 2, 2, x + w / 2, y + h / 2, 26)
        g.add_color_stop_rgba(0, 1.0, 0.9, 0.6, 0.5)
        g.add_color_stop_rgba(1, 1.0, 0.85, 0.5, 0.0)
        ctx.set_source(g)
        ctx.arc(x + w / 2, y + h / 2, 26, 0, 2 * math.pi)
        ctx.fill()
        self._door_lamp(ctx, r, lit=True)


def _paste(ctx, rgb, x, y):
    h, w = rgb.shape[:2]
    a = np.empty((h, w, 4), dtype=np.uint8)
    a[..., 0] = rgb[..., 2]
    a[..., 1] = rgb[..., 1]
    a[..., 2] = rgb[..., 0]
    a[..., 3] = 255
    surf = cairo.ImageSurface.create_for_data(memoryview(a).cast("B"), cairo.FORMAT_ARGB32, w, h, w * 4)
    ctx.save()
    ctx.set_source_surface(surf, x, y)
    pat = ctx.get_source()
    pat.set_filter(cairo.FILTER_NEAREST)
    ctx.rectangle(x, y, w, h)
    ctx.fill()
    ctx.restore()


# =============================================================================
# Putting a phase together


def _composite(under, over):
    """Premultiplied 'over' onto an opaque float RGB picture."""
    return over[..., :3] + under * (1.0 - over[..., 3:4])


def render_layers(season, rails=True):
    """The day drawing as premultiplied float RGBA (sky transparent)."""
    st = Street(season)
    surf, ctx = new_surface(W, H)
    st.draw_day(ctx, rails=rails)
    return st, surface_rgba(surf)


def phase_picture(st, day_rgba, phase, signs_phase=True):
    """The background of one phase as uint8 RGB with every light off."""
    sky = draw_sky(phase, st.season)
    if phase == L.DAY:
        scene = _composite(sky, day_rgba)
        return to_u8(scene)
    a = day_rgba[..., 3:4]
    straight = np.where(a > 1e-6, day_rgba[..., :3] / np.maximum(a, 1e-6), 0)
    lit = L.apply(to_u8(straight), phase).astype(np.float32) / 255.0
    scene = lit * a + sky * (1 - a)
    surf, ctx = new_surface(W, H)
    st.draw_night(ctx, phase)
    scene = _composite(scene, surface_rgba(surf))
    out = to_u8(scene)
    # the signs at dusk and night: their unlit look of the phase
    for house, n in ((1, 3), (2, 10), (3, 12), (4, 19)):
        r = G.LIGHT_BY_N[n].dst
        out[r.y:r.y + r.h, r.x:r.x + r.w] = sign_picture(house, "de", st.season, phase, False)
    return out


def lights_on_picture(st, off_rgb, phase):
    """Every light's lit look over the phase picture, each clipped to its own
    rectangle and kept off the columns two lights share."""
    surf, ctx = new_surface(W, H)
    _paste(ctx, off_rgb, 0, 0)
    shared = G.shared_columns()
    for l in G.LIGHTS:
        r = l.dst
        ctx.save()
        ctx.rectangle(r.x, r.y, r.w, r.h)
        for _a, _b, s in shared:
            if l.n in (_a, _b):
                # cut the shared strip out of the clip (even-odd)
                ctx.rectangle(s.x, s.y, s.w, s.h)
        ctx.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
        ctx.clip()
        if l.n in G.SIGN_LIGHTS:
            pass
        else:
            st.draw_light_on(ctx, l.n, phase)
        ctx.restore()
    out = surface_rgba(surf)[..., :3]
    out = to_u8(out)
    for house, n in ((1, 3), (2, 10), (3, 12), (4, 19)):
        r = G.LIGHT_BY_N[n].dst
        out[r.y:r.y + r.h, r.x:r.x + r.w] = sign_picture(house, "de", st.season, phase, True)
    return out
