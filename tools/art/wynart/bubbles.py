"""Speech bubbles "SPRECHBLASE_01".."04": 184 x 88, the lowest 30 rows the tail.
Kinds 1 and 3 stand left of their figure (tail to the lower right), 2 and 4
right of it; 3 and 4 carry the music buttons."""
import math
import os

from . import geometry as G
from . import imageio as io
from . import lighting as L
from . import sprite as SP
from .canvas import fill_stroke, rounded_rect, set_col
from .resources import res

FILL = "#fffdf4"
LINE = "#27324f"


def resources():
    return [res("SPRECHBLASE_%02d" % k, *G.BUBBLE_SIZE) for k in (1, 2, 3, 4)]


def frame_headers():
    return []


def _bubble(kind):
    w, h = G.BUBBLE_SIZE
    body_h = h - G.BUBBLE_TAIL + (2 if kind >= 3 else 0)
    right = kind in (1, 3)

    def draw(ctx, layer, phase):
        if layer != "base":
            return
        x0, y0, x1, y1 = 1.5, 0.8, w - 1.5, body_h - 0.5
        r = 14
        # body and tail as one outline
        ctx.new_path()
        ctx.arc(x0 + r, y0 + r, r, math.pi, 1.5 * math.pi)
        ctx.arc(x1 - r, y0 + r, r, 1.5 * math.pi, 2 * math.pi)
        ctx.arc(x1 - r, y1 - r, r, 0, 0.5 * math.pi)
        if right:
            ctx.line_to(x1 - 40, y1)
            ctx.curve_to(x1 - 36, y1 + 12, x1 - 28, h - 8, x1 - 16, h - 2)
            ctx.curve_to(x1 - 34, h - 10, x1 - 50, y1 + 10, x1 - 58, y1)
        else:
            ctx.line_to(x0 + 58, y1)
            ctx.curve_to(x0 + 50, y1 + 10, x0 + 34, h - 10, x0 + 16, h - 2)
            ctx.curve_to(x0 + 28, h - 8, x0 + 36, y1 + 12, x0 + 40, y1)
        ctx.arc(x0 + r, y1 - r, r, 0.5 * math.pi, math.pi)
        ctx.close_path()
        fill_stroke(ctx, FILL, LINE, 1.6)
        if kind >= 3:
            _buttons(ctx)
    return draw


def _buttons(ctx):
    for name, r in G.MUSIC_BUTTONS:
        rounded_rect(ctx, r.x + 0.5, r.y + 0.5, r.w - 1, r.h - 1, 3)
        fill_stroke(ctx, "#dfe6f2", LINE, 0.9)
        set_col(ctx, LINE)
        cx, cy = r.x + r.w / 2, r.y + r.h / 2
        if name == "stop":
            ctx.rectangle(cx - 3.5, cy - 3.5, 7, 7)
            ctx.fill()
        elif name == "next":
            for dx in (-6, 0):
                ctx.move_to(cx + dx - 1, cy - 4)
                ctx.line_to(cx + dx + 5, cy)
                ctx.line_to(cx + dx - 1, cy + 4)
                ctx.close_path()
                ctx.fill()
            ctx.rectangle(cx + 5, cy - 4, 1.6, 8)
            ctx.fill()
        else:
            ctx.rectangle(cx - 4, cy - 2, 2.5, 4)
            ctx.move_to(cx - 1.5, cy - 2)
            ctx.line_to(cx + 1.5, cy - 4.5)
            ctx.line_to(cx + 1.5, cy + 4.5)
            ctx.line_to(cx - 1.5, cy + 2)
            ctx.fill()
            set_col(ctx, "#2a7a3a" if name == "louder" else "#a03030")
            ctx.set_line_width(1.3)
            ctx.move_to(cx + 2.8, r.y + 3.5)
            ctx.line_to(cx + 5.8 if name == "quieter" else cx + 5.2, r.y + 3.5)
            if name == "louder":
                ctx.move_to(cx + 4, r.y + 2.2)
                ctx.line_to(cx + 4, r.y + 4.8)
            ctx.stroke()


def build(outdir):
    for k in (1, 2, 3, 4):
        rgb, key = SP.render(G.BUBBLE_SIZE[0], G.BUBBLE_SIZE[1], _bubble(k), L.DAY)
        io.write_bmp8(os.path.join(outdir, "SPRECHBLASE_%02d.bmp" % k), rgb, key)
