"""The clocks: digit strips "UHR_00".."UHR_02", the pillar of the overhead line
with its clock (object 115) and the pillar's analogue dials "UHR_tt_01_2"."""
import math
import os

import numpy as np

from . import geometry as G
from . import imageio as io
from . import lighting as L
from . import sprite as SP
from .canvas import box, fill_stroke, rounded_rect, set_col, shade
from .frametables import Entry, header
from .resources import TT, res
from .scenefam import DIGIT_U8, DISPLAY_BG_U8, dial_picture

# The pillar's display: its own dark ground, shared with its digit strips.
PILLAR_BG_U8 = (14, 20, 30)
PILLAR_DIGIT_U8 = (120, 220, 255)
DATE_DIGIT_U8 = (190, 235, 255)
CASE = (0.23, 0.3, 0.27)

# 7-segment layouts: a b c d e f g
_SEG = {0: "abcdef", 1: "bc", 2: "abged", 3: "abgcd", 4: "fgbc", 5: "afgcd", 6: "afgedc", 7: "abc", 8: "abcdefg",
        9: "abcdfg"}


def resources():
    out = [res("UHR_00", 50, 11, key="opaque"), res("UHR_01", 50, 11, key="opaque"),
           res("UHR_02", 140, 26, key="opaque")]
    for tt in TT:
        out.append(res("UHR_%02d_01_2" % tt, *G.CLOCK_DIAL_SIZE, key="opaque"))
        rects = []
        for season in (1, 2):
            cx = G.PILLAR_CLOCK_X[season]
            rects.append((cx - 1, G.PILLAR_CLOCK_Y - 1, 66, 44))
            dx = G.PILLAR_DIAL_X[season]
            rects.append((dx, G.PILLAR_DIAL_Y, G.CLOCK_DIAL_SIZE[0], G.CLOCK_DIAL_SIZE[1]))
        out.append(res("FIG115_%02d_00" % tt, *G.PILLAR_SHEET, opaque_rects=rects))
    return out


def frame_headers():
    f = G.PILLAR_FRAMES
    what = ["no clock", "analogue, summer", "analogue, winter", "digital, summer", "digital, winter"]
    return [header(115, "pillar clock", [("FIG115_tt_00", G.PILLAR_SHEET[0], G.PILLAR_SHEET[1], "")], 72, 271,
                   [Entry(i, r.x, r.y, r.w, r.h, what[i]) for i, r in enumerate(f)])]


def _seven(img, x0, y0, w, h, t, d, on, off=None):
    """Draws digit d as seven segments of thickness t into img (uint8)."""
    segs = _SEG[d]
    hm = (h - 1) // 2
    rects = {
        "a": (x0 + t, y0, w - 2 * t, t), "d": (x0 + t, y0 + h - t, w - 2 * t, t),
        "g": (x0 + t, y0 + hm - t // 2, w - 2 * t, t),
        "f": (x0, y0 + t, t, hm - t), "b": (x0 + w - t, y0 + t, t, hm - t),
        "e": (x0, y0 + hm + (t + 1) // 2, t, h - hm - t - (t + 1) // 2),
        "c": (x0 + w - t, y0 + hm + (t + 1) // 2, t, h - hm - t - (t + 1) // 2),
    }
    for s, (x, y, ww, hh) in rects.items():
        c = on if s in segs else off
        if c is not None:
            img[y:y + hh, x:x + ww] = c


def _strip(cell_w, cell_h, bg, fg, dim, inner, t):
    img = np.zeros((cell_h, cell_w * 10, 3), dtype=np.uint8)
    img[:] = bg
    ix, iy, iw, ih = inner
    for d in range(10):
        _seven(img, d * cell_w + ix, iy, iw, ih, t, d, fg, dim)
    return img


def _dim(fg, bg, k=0.16):
    return tuple(int(round(b + (f - b) * k)) for f, b in zip(fg, bg))


def build(outdir):
    small = _strip(5, 11, DISPLAY_BG_U8, DIGIT_U8, _dim(DIGIT_U8, DISPLAY_BG_U8), (0, 1, 4, 9), 1)
    io.write_bmp8(os.path.join(outdir, "UHR_00.bmp"), small)
    date = _strip(5, 11, PILLAR_BG_U8, DATE_DIGIT_U8, _dim(DATE_DIGIT_U8, PILLAR_BG_U8), (0, 1, 4, 9), 1)
    io.write_bmp8(os.path.join(outdir, "UHR_01.bmp"), date)
    large = _strip(14, 26, PILLAR_BG_U8, PILLAR_DIGIT_U8, _dim(PILLAR_DIGIT_U8, PILLAR_BG_U8), (1, 2, 12, 22), 3)
    io.write_bmp8(os.path.join(outdir, "UHR_02.bmp"), large)
    for tt in TT:
        dial = _pillar_dial(tt)
        io.write_bmp8(os.path.join(outdir, "UHR_%02d_01_2.bmp" % tt), dial)
        rgb, key = _pillar_sheet(tt, dial)
        io.write_bmp8(os.path.join(outdir, "FIG115_%02d_00.bmp" % tt), rgb, key,
                      fixed=[PILLAR_BG_U8, PILLAR_DIGIT_U8, DATE_DIGIT_U8])


def _case_rgb(tt):
    return tuple(int(round(v * 255)) for v in L.apply_color(CASE, tt))


def _pillar_dial(tt):
    under = np.zeros((G.CLOCK_DIAL_SIZE[1], G.CLOCK_DIAL_SIZE[0], 3), dtype=np.uint8)
    under[:] = _case_rgb(tt)
    return dial_picture(under, tt, 1, rim=(0.7, 0.62, 0.3))


def _pillar(kind, winter):
    """kind: 0 plain, 1 analogue, 2 digital. Local frame coordinates."""
    w = 24 if kind == 0 else 72
    px = 12 if kind == 0 else (47 if kind == 1 else 36)

    def draw(ctx, layer, phase):
        if layer == "glow":
            if kind == 2 and phase != L.DAY:
                ctx.set_source_rgba(0.6, 0.85, 1.0, 0.25)
                rounded_rect(ctx, 0, 60, 72, 64, 6)
                ctx.fill()
            return
        pole = "#4f6b5c"
        # the mast: a tapered tube with bands, a foot and a cap
        ctx.move_to(px - 5, 271)
        ctx.line_to(px - 4, 6)
        ctx.line_to(px + 4, 6)
        ctx.line_to(px + 5, 271)
        ctx.close_path()
        fill_stroke(ctx, pole, "#2a3a31", 1)
        set_col(ctx, shade(pole, 0.3))
        ctx.rectangle(px - 3, 8, 1.5, 258)
        ctx.fill()
        for y in (40, 150, 230):
            box(ctx, px - 6, y, 12, 4, shade(pole, -0.1), "#2a3a31", 0.8)
        box(ctx, px - 8, 258, 16, 13, "#6e7a72", "#2a3a31", 1)
        ctx.arc(px, 5, 5, math.pi, 2 * math.pi)
        fill_stroke(ctx, shade(pole, -0.1), "#2a3a31", 1)
        # the span-wire bracket at the top
        set_col(ctx, "#2a3a31")
        ctx.set_line_width(1.5)
        ctx.move_to(px, 14)
        ctx.line_to(w, 14)
        ctx.stroke()
        if winter:
            set_col(ctx, (0.97, 0.98, 1.0))
            ctx.arc(px, 3, 5.5, math.pi, 2 * math.pi)
            ctx.fill()
            ctx.rectangle(px - 8, 256, 16, 3)
            ctx.fill()
        if kind == 1:
            cx, cy, r = 47.5, 81.5, 21
            set_col(ctx, "#2a3a31")
            ctx.rectangle(px - 2, 55, 4, 8)
            ctx.fill()
            ctx.arc(cx, cy, r, 0, 2 * math.pi)
            fill_stroke(ctx, CASE, "#182018", 1.2)
            ctx.arc(cx, cy, r - 2, 0, 2 * math.pi)
            set_col(ctx, shade(CASE, 0.25))
            ctx.set_line_width(0.8)
            ctx.stroke()
            if winter:
                ctx.arc(cx, cy, r, math.pi * 1.1, math.pi * 1.9)
                set_col(ctx, (0.97, 0.98, 1.0))
                ctx.set_line_width(2.2)
                ctx.stroke()
        elif kind == 2:
            rounded_rect(ctx, 0.5, 60.5, 71, 62, 5)
            fill_stroke(ctx, CASE, "#182018", 1.2)
            set_col(ctx, shade(CASE, 0.3))
            ctx.rectangle(3, 62, 66, 1)
            ctx.fill()
            set_col(ctx, tuple(v / 255.0 for v in PILLAR_BG_U8))
            ctx.rectangle(1, 66, 70, 49)
            ctx.fill()
            if winter:
                set_col(ctx, (0.97, 0.98, 1.0))
                rounded_rect(ctx, 1, 57.5, 70, 4.5, 2)
                ctx.fill()
    return draw, w


def _pillar_sheet(tt, dial):
    rgb, key = SP.blank(*G.PILLAR_SHEET)
    kinds = [(0, False), (1, False), (1, True), (2, False), (2, True)]
    for i, (kind, winter) in enumerate(kinds):
        draw, w = _pillar(kind, winter)
        r, k = SP.render(w, 271, draw, tt)
        f = G.PILLAR_FRAMES[i]
        SP.place(rgb, key, f.x, f.y, r, k)
    for season in (1, 2):
        # the digital display's ground must be exactly the strips' ground
        cx = G.PILLAR_CLOCK_X[season]
        rgb[G.PILLAR_CLOCK_Y - 3:G.PILLAR_CLOCK_Y + 44, cx - 2:cx + 66] = PILLAR_BG_U8
        key[G.PILLAR_CLOCK_Y - 3:G.PILLAR_CLOCK_Y + 44, cx - 2:cx + 66] = False
        # the colon between hours and minutes
        for dy in (7, 17):
            rgb[G.PILLAR_CLOCK_Y + dy:G.PILLAR_CLOCK_Y + dy + 3, cx + 29:cx + 32] = PILLAR_DIGIT_U8
        # the dots of the date
        for dx in (22, 38):
            rgb[G.PILLAR_CLOCK_Y + 40:G.PILLAR_CLOCK_Y + 42, cx + dx:cx + dx + 2] = DATE_DIGIT_U8
        # the analogue dial, as the program copies it in
        dx = G.PILLAR_DIAL_X[season]
        dh, dw = dial.shape[:2]
        rgb[G.PILLAR_DIAL_Y:G.PILLAR_DIAL_Y + dh, dx:dx + dw] = dial
        key[G.PILLAR_DIAL_Y:G.PILLAR_DIAL_Y + dh, dx:dx + dw] = False
    return rgb, key
