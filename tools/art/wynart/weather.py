"""Weather pictures "WET_d_cc_kk" for the shop window: day or night, cloud cover
0 (clear) .. 4 (overcast), weather kind 0 none, 1 thunderstorm, 2 rain, 3 snow,
4 hail, 5 fog; plus "WET_1_--_--" (cover unknown) and "WET_0_00_00" (fallback).
Drawn whole without a mask."""
import math
import os

import cairo
import numpy as np

from . import geometry as G
from . import imageio as io
from . import lighting as L
from . import sprite as SP
from .canvas import FONT_SANS, col, fill_stroke, fit_text, mix, rounded_rect, set_col

W, H = G.WEATHER_PICTURE_SIZE


def resources(dn):
    from .resources import res
    out = []
    for dn in (dn,):
        for cover in range(5):
            for kind in range(6):
                out.append(res("WET_%d_%02d_%02d" % (dn, cover, kind), W, H, "opaque"))
    if dn == 1:
        out.append(res("WET_1_--_--", W, H, "opaque"))
        out.append(res("WET_0_00_00", W, H, "opaque"))
    return out


def _panel(ctx, night, cover):
    if night:
        top, bot = "#0e1838", "#233565"
    else:
        top = mix("#4f97dc", "#8d9aa8", cover / 4.0)
        bot = mix("#bfe0f6", "#c9cfd6", cover / 4.0)
    g = cairo.LinearGradient(0, 0, 0, H)
    g.add_color_stop_rgb(0, *col(top))
    g.add_color_stop_rgb(1, *col(bot))
    ctx.set_source(g)
    ctx.rectangle(0, 0, W, H)
    ctx.fill()
    set_col(ctx, "#2a2f38")
    ctx.set_line_width(2)
    ctx.rectangle(1, 1, W - 2, H - 2)
    ctx.stroke()
    set_col(ctx, "#9aa3ad")
    ctx.set_line_width(0.8)
    ctx.rectangle(2.5, 2.5, W - 5, H - 5)
    ctx.stroke()


def _sun(ctx, x, y, r):
    set_col(ctx, "#ffd23f")
    ctx.set_line_width(2)
    for k in range(10):
        a = k * math.pi / 5
        ctx.move_to(x + math.cos(a) * (r + 3), y + math.sin(a) * (r + 3))
        ctx.line_to(x + math.cos(a) * (r + 8), y + math.sin(a) * (r + 8))
    ctx.stroke()
    ctx.arc(x, y, r, 0, 2 * math.pi)
    fill_stroke(ctx, "#ffd23f", "#e49b1f", 1.2)


def _moon(ctx, x, y, r):
    ctx.arc(x, y, r, 0, 2 * math.pi)
    ctx.arc_negative(x + r * 0.55, y - r * 0.25, r * 0.85, 2 * math.pi, 0)
    ctx.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
    set_col(ctx, "#f6f0c8")
    ctx.fill()
    ctx.set_fill_rule(cairo.FILL_RULE_WINDING)


def _stars(ctx):
    r = np.random.default_rng(5)
    for _ in range(14):
        ctx.set_source_rgba(1, 1, 0.9, r.uniform(0.5, 1))
        ctx.arc(r.uniform(4, W - 4), r.uniform(4, H * 0.6), r.uniform(0.5, 1.1), 0, 2 * math.pi)
        ctx.fill()


def _cloud(ctx, x, y, s, c="#ffffff", line="#8a96a6"):
    ctx.new_path()
    for dx, dy, rr in ((-0.55, 0.15, 0.42), (-0.15, -0.2, 0.55), (0.35, -0.05, 0.45), (0.7, 0.2, 0.32)):
        ctx.new_sub_path()
        ctx.arc(x + dx * s, y + dy * s, rr * s, 0, 2 * math.pi)
    ctx.new_sub_path()
    rounded_rect(ctx, x - 0.9 * s, y, 1.85 * s, 0.5 * s, 0.25 * s)
    set_col(ctx, line)
    ctx.set_line_width(2.2)
    ctx.stroke_preserve()
    set_col(ctx, c)
    ctx.fill()


def _draw(dn, cover, kind):
    night = dn == 2

    def draw(ctx, layer, phase):
        if layer != "base":
            return
        _panel(ctx, night, max(cover, 0))
        if cover == -1:
            _cloud(ctx, 44, 28, 24, "#e6eaf0")
            fit_text(ctx, "?", 44, 32, 20, 22, "#2a3550", FONT_SANS)
            return
        if cover == 0 and night:
            _stars(ctx)
        if cover <= 3:
            sx, sy = (30, 22) if cover > 0 else (44, 28)
            if night:
                _moon(ctx, sx, sy, 11 if cover == 0 else 9)
            else:
                _sun(ctx, sx, sy, 10 if cover == 0 else 8)
        grey = mix("#ffffff", "#9aa4b0", cover / 4.0) if not night else mix("#c8d0dc", "#6c7686", cover / 4.0)
        if kind in (1, 2, 4):
            grey = mix(grey, "#707a88", 0.45)
        if cover == 1:
            _cloud(ctx, 58, 34, 14, grey)
        elif cover == 2:
            _cloud(ctx, 56, 28, 17, grey)
            _cloud(ctx, 28, 42, 11, grey)
        elif cover == 3:
            _cloud(ctx, 52, 26, 22, grey)
            _cloud(ctx, 26, 36, 14, mix(grey, "#8a94a2", 0.2))
        elif cover == 4:
            _cloud(ctx, 30, 24, 18, mix(grey, "#8a94a2", 0.2))
            _cloud(ctx, 56, 28, 22, grey)
        if kind == 0 and cover == 0 and not night:
            pass
        _precip(ctx, kind)
    return draw


def _precip(ctx, kind):
    r = np.random.default_rng(kind)
    if kind == 1:
        ctx.move_to(46, 34)
        ctx.line_to(38, 46)
        ctx.line_to(44, 46)
        ctx.line_to(38, 57)
        ctx.line_to(52, 42)
        ctx.line_to(46, 42)
        ctx.line_to(52, 34)
        ctx.close_path()
        fill_stroke(ctx, "#ffe14a", "#b07a10", 1)
    if kind in (1, 2):
        set_col(ctx, "#3d7fe0")
        ctx.set_line_width(1.8)
        for k in range(9):
            x, y = 18 + k * 7 + r.uniform(-1, 1), 42 + (k % 3) * 4
            ctx.move_to(x, y)
            ctx.line_to(x - 2, y + 6)
        ctx.stroke()
    elif kind == 3:
        set_col(ctx, "#ffffff")
        for k in range(8):
            x, y = 16 + k * 8 + r.uniform(-1, 1), 44 + (k % 2) * 7
            for a in range(3):
                ang = a * math.pi / 3
                ctx.move_to(x - math.cos(ang) * 3, y - math.sin(ang) * 3)
                ctx.line_to(x + math.cos(ang) * 3, y + math.sin(ang) * 3)
            ctx.set_line_width(1.1)
            ctx.stroke()
    elif kind == 4:
        for k in range(10):
            x, y = 16 + k * 6.5, 43 + (k % 3) * 5
            ctx.arc(x, y, 2, 0, 2 * math.pi)
            fill_stroke(ctx, "#eef6ff", "#6f8fb0", 0.8)
    elif kind == 5:
        for k in range(4):
            ctx.set_source_rgba(0.9, 0.92, 0.95, 0.85)
            rounded_rect(ctx, 8 + (k % 2) * 8, 36 + k * 5, W - 24, 3, 1.5)
            ctx.fill()


def build(dn, outdir):
    for dn in (dn,):
        for cover in range(5):
            for kind in range(6):
                rgb = SP.opaque(W, H, _draw(dn, cover, kind), L.DAY)
                io.write_bmp8(os.path.join(outdir, "WET_%d_%02d_%02d.bmp" % (dn, cover, kind)), rgb)
    if dn == 1:
        io.write_bmp8(os.path.join(outdir, "WET_1_--_--.bmp"), SP.opaque(W, H, _draw(1, -1, 0), L.DAY))
        io.write_bmp8(os.path.join(outdir, "WET_0_00_00.bmp"), SP.opaque(W, H, _draw(1, 2, 0), L.DAY))
