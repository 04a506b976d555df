"""Shared pieces of the pavement figures from 34 on: their people, walk cycles
of any length laid onto a row of frame rectangles, a second person drawn into
the same frame (couples, two men with a parcel), and sheets whose overlapping
rectangles keep the shared strip empty."""
from dataclasses import fields, replace

import numpy as np

from .figdesc import FigureDesc, Frame
from .figure import Figure, Look, Pose, stand, walk_cycle

# People who come again as parts of other figures: 40 walks alone and with
# her partner as couple 57.
GRETA = Look(female=True, height=71, hair="#c0662e", hair_style="bun", skin="#f2cdb2", top="#2f7f8a",
             top_kind="coat", top_len=0.35, bottom="#3a3440", bottom_kind="skirt", skirt_len=0.45,
             legs="#4a3a3a", shoes="#5a2a22", scarf="#e8c040", bag=("shoulder", "#7a4a2a"))
HENRIK = Look(height=80, build=1.05, hair="#4a4a50", hair_style="short", skin="#e6b896", top="#3a4a6a",
              top_kind="jacket", bottom="#5a5040", glasses=True, shoes="#2a1e18")

MARGIN = 22


def _lerp(a, b, t):
    if isinstance(a, tuple):
        return tuple(_lerp(x, y, t) for x, y in zip(a, b))
    if isinstance(a, (int, float)) and not isinstance(a, bool) and isinstance(b, (int, float)):
        return a + (b - a) * t
    return a if t < 0.5 else b


def cycle(n, facing=1, **kw):
    """A walk step in n frames, in between the four key frames of walk_cycle."""
    fixed = {k: kw.pop(k) for k in ("near_leg", "far_leg", "near_toe", "far_toe", "near_arm", "far_arm") if k in kw}
    keys = [replace(p, **fixed) for p in walk_cycle(facing, **kw)]
    if n == 4:
        return keys
    out = []
    for k in range(n):
        t = 4.0 * k / n
        i = int(t)
        a, b = keys[i % 4], keys[(i + 1) % 4]
        vals = {f.name: _lerp(getattr(a, f.name), getattr(b, f.name), t - i) for f in fields(Pose)}
        out.append(Pose(**vals))
    return out


def walk_row(first, rects, h, facing, move, what, poses=None, look=None, ground=None, **kw):
    """Frames first.. on rects [(x, y, w)], one walk step across them; the hip
    moves `move` pixels over the step, kept inside every frame."""
    n = len(rects)
    poses = poses or cycle(n, facing, **kw)
    out = []
    for k, ((x, y, w), pose) in enumerate(zip(rects, poses)):
        if facing > 0:
            a = min(MARGIN + move * k / float(n), w - MARGIN)
        else:
            a = max(rects[0][2] - MARGIN - move * k / float(n), MARGIN)
        out.append(Frame(first + k, x, y, w, h, "%s, step %d" % (what, k), pose, a, ground=ground, look=look))
    return out


def pose_row(first, rects, h, items, look=None, ground=None, anchor=None):
    """Frames first.. on rects [(x, y, w)], one (what, pose[, extra]) each, the
    figure in the middle of its frame unless anchor gives its hip."""
    out = []
    for k, ((x, y, w), item) in enumerate(zip(rects, items)):
        what, pose = item[0], item[1]
        extra = item[2] if len(item) > 2 else None
        a = anchor(w) if anchor else w / 2.0
        out.append(Frame(first + k, x, y, w, h, what, pose, a, ground=ground, extra=extra, look=look))
    return out


def xs_row(xs, ws, y=0):
    return [(x, y, w) for x, w in zip(xs, ws)]


def companion(look, pose, dx, ground=None):
    """An extra that draws a second person dx pixels from the frame's hip."""
    def draw(ctx, _look, fr):
        Figure(look).draw(ctx, pose, fr.ax + dx, fr.h if ground is None else ground)
    return draw


def chain(*extras):
    def draw(ctx, look, fr):
        for e in extras:
            if e is not None:
                e(ctx, look, fr)
    return draw


class PavementDesc(FigureDesc):
    """A figure descriptor whose sheet keeps some rectangles empty: where two
    frame rectangles share columns, neither frame may show anything there."""

    def __init__(self, *args, blank=(), **kw):
        super().__init__(*args, **kw)
        self.blank = list(blank)

    def sheet_day(self, sheet):
        rgb, key = super().sheet_day(sheet)
        for (x, y, w, h) in self.blank:
            key[y:y + h, x:x + w] = True
            rgb[y:y + h, x:x + w] = 0
        return rgb, key


def overlaps(frames):
    """The strips that two frames of one sheet share."""
    out = []
    fs = [f for f in frames if f.w > 0]
    for i, a in enumerate(fs):
        for b in fs[i + 1:]:
            x0, x1 = max(a.x, b.x), min(a.x + a.w, b.x + b.w)
            y0, y1 = max(a.y, b.y), min(a.y + a.h, b.y + b.h)
            if x0 < x1 and y0 < y1:
                out.append((x0, y0, x1 - x0, y1 - y0))
    return out


__all__ = ["GRETA", "HENRIK", "cycle", "walk_row", "pose_row", "xs_row", "companion", "chain", "PavementDesc",
           "overlaps", "stand", "Look", "Pose", "replace", "np"]


# ------------------------------------------------------------ props and costumes
import math  # noqa: E402

from .canvas import fill_stroke, set_col, shade  # noqa: E402


def _ground(fr, desc_h):
    return desc_h if fr.ground is None else fr.ground


def on_body(fn, frame_h):
    """An extra that calls fn(ctx, sk, body, pose) in the figure's own
    coordinates (hip above x 0, feet on y 0), for props and costumes."""
    def draw(ctx, look, fr):
        if fr.pose is None:
            return
        fig = Figure(look)
        sk = fig.skeleton(fr.pose)
        ctx.save()
        ctx.translate(fr.ax, _ground(fr, frame_h))
        fn(ctx, sk, fig.body, fr.pose)
        ctx.restore()
    return draw


def ellipse(ctx, cx, cy, rx, ry, angle=0.0):
    ctx.save()
    ctx.translate(cx, cy)
    ctx.rotate(math.radians(angle))
    ctx.scale(rx, ry)
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()


def balloons(ctx, sk, body, pose, colours=("#e04040", "#f0c030", "#4a8ae0")):
    hx, hy = sk["arms"]["far"]["hand"]
    top = sk["head"][1] - body.head_h * 1.6
    for k, c in enumerate(colours):
        bx, by = hx + (k - 1) * 7.0, top - (k % 2) * 5.0
        ctx.new_path()
        ctx.set_line_width(0.5)
        set_col(ctx, "#6a6a6a")
        ctx.move_to(hx, hy)
        ctx.line_to(bx, by + 6)
        ctx.stroke()
        ellipse(ctx, bx, by, 5.0, 6.2)
        fill_stroke(ctx, c, shade(c, -0.45), 0.6)


def santa_hat(ctx, sk, body, pose):
    cx, cy = sk["head"]
    f = sk["facing"]
    hw = body.head_w
    ctx.new_path()
    ctx.move_to(cx - hw * 0.62, cy - body.head_h * 0.22)
    ctx.curve_to(cx - hw * 0.4, cy - body.head_h * 1.1, cx - f * hw * 0.2, cy - body.head_h * 1.2,
                 cx - f * hw * 1.0, cy - body.head_h * 0.6)
    ctx.line_to(cx + hw * 0.62, cy - body.head_h * 0.22)
    ctx.close_path()
    fill_stroke(ctx, "#c8202a", "#7a1016", 0.6)
    ellipse(ctx, cx, cy - body.head_h * 0.24, hw * 0.66, body.head_h * 0.12)
    fill_stroke(ctx, "#f4f4f4", "#a0a0a8", 0.5)
    ellipse(ctx, cx - f * hw * 1.0, cy - body.head_h * 0.6, 2.0, 2.0)
    fill_stroke(ctx, "#f4f4f4", "#a0a0a8", 0.5)


def sack(ctx, sk, body, pose):
    sx, sy = sk["shoulder"]
    f = sk["facing"]
    ellipse(ctx, sx - f * body.chest * 0.9, sy + body.torso * 0.25, body.chest * 0.75, body.torso * 0.45, -f * 15)
    fill_stroke(ctx, "#8a6a3a", "#4a3418", 0.7)
    set_col(ctx, "#4a3418")
    ctx.set_line_width(0.8)
    ctx.move_to(sx - f * body.chest * 0.5, sy - body.torso * 0.15)
    ctx.line_to(sx + f * body.chest * 0.1, sy + body.torso * 0.05)
    ctx.stroke()


def bunny_ears(ctx, sk, body, pose):
    cx, cy = sk["head"]
    for dx, tilt in ((-0.28, -10), (0.28, 12)):
        ex = cx + dx * body.head_w
        ellipse(ctx, ex, cy - body.head_h * 1.25, body.head_w * 0.22, body.head_h * 0.85, tilt)
        fill_stroke(ctx, "#f0ece4", "#9a9088", 0.6)
        ellipse(ctx, ex, cy - body.head_h * 1.2, body.head_w * 0.1, body.head_h * 0.6, tilt)
        set_col(ctx, "#f0a8b8")
        ctx.fill()
    # the nose and the whiskers
    f = sk["facing"] if pose.view == "side" and (pose.head in (None, "side")) else 0
    nx, ny = cx + f * body.head_w * 0.5, cy + body.head_h * 0.1
    ellipse(ctx, nx, ny, 1.3, 1.0)
    set_col(ctx, "#e06080")
    ctx.fill()


def egg_basket(ctx, sk, body, pose):
    hx, hy = sk["arms"]["near"]["hand"]
    ctx.new_path()
    ctx.move_to(hx - 6, hy + 1)
    ctx.line_to(hx + 6, hy + 1)
    ctx.line_to(hx + 4.5, hy + 7)
    ctx.line_to(hx - 4.5, hy + 7)
    ctx.close_path()
    fill_stroke(ctx, "#b08040", "#6a4a20", 0.6)
    for k, c in enumerate(("#e04a4a", "#4ab0e0", "#f0d040")):
        ellipse(ctx, hx - 3.5 + 3.5 * k, hy, 1.8, 2.3)
        fill_stroke(ctx, c, shade(c, -0.4), 0.4)


def clown_face(ctx, sk, body, pose):
    cx, cy = sk["head"]
    f = sk["facing"] if pose.view == "side" and pose.head in (None, "side") else 0
    # a pointed hat with a bobble, a red nose, a ruff
    ctx.new_path()
    ctx.move_to(cx - body.head_w * 0.5, cy - body.head_h * 0.3)
    ctx.line_to(cx + body.head_w * 0.1, cy - body.head_h * 1.55)
    ctx.line_to(cx + body.head_w * 0.55, cy - body.head_h * 0.3)
    ctx.close_path()
    fill_stroke(ctx, "#3a9a4a", "#1a5a2a", 0.6)
    for k in range(3):
        ellipse(ctx, cx - body.head_w * 0.05 + k * 0.07 * body.head_w, cy - body.head_h * (0.55 + 0.3 * k), 1.1, 1.1)
        set_col(ctx, "#f4e040")
        ctx.fill()
    ellipse(ctx, cx + body.head_w * 0.1, cy - body.head_h * 1.6, 2.0, 2.0)
    fill_stroke(ctx, "#f04040", "#902020", 0.5)
    ellipse(ctx, cx + f * body.head_w * 0.5, cy + body.head_h * 0.08, 1.8, 1.8)
    fill_stroke(ctx, "#e82020", "#901010", 0.4)
    sx, sy = sk["neck_top"]
    ellipse(ctx, sx, sy + 1.0, body.head_w * 0.75, 2.2)
    fill_stroke(ctx, "#f8f8f8", "#a0a0a8", 0.5)


def brush_and_pot(ctx, sk, body, pose):
    hx, hy = sk["arms"]["near"]["hand"]
    ex, ey = sk["arms"]["near"]["elbow"]
    dx, dy = hx - ex, hy - ey
    n = math.hypot(dx, dy) or 1.0
    ux, uy = dx / n, dy / n
    set_col(ctx, "#8a5a2a")
    ctx.set_line_width(1.6)
    ctx.move_to(hx - ux * 2, hy - uy * 2)
    ctx.line_to(hx + ux * 7, hy + uy * 7)
    ctx.stroke()
    ellipse(ctx, hx + ux * 9, hy + uy * 9, 2.2, 2.2)
    fill_stroke(ctx, "#f0f0e8", "#8a8a80", 0.5)
    px, py = sk["arms"]["far"]["hand"]
    ctx.new_path()
    ctx.rectangle(px - 3.5, py, 7, 7)
    fill_stroke(ctx, "#c8c8d0", "#6a6a74", 0.6)
    ctx.rectangle(px - 3.5, py, 7, 2)
    set_col(ctx, "#f0f0e8")
    ctx.fill()


def parcel(width, height=14.0, lift=0.55):
    """An extra: a big parcel carried between two people, at hip height."""
    def draw(ctx, look, fr):
        g = fr.h if fr.ground is None else fr.ground
        y = g - look.height * lift
        x0 = fr.ax + 6
        ctx.new_path()
        ctx.rectangle(x0, y - height / 2, width, height)
        fill_stroke(ctx, "#c89a5a", "#6a4a22", 0.8)
        set_col(ctx, "#8a3a2a")
        ctx.set_line_width(1.2)
        ctx.move_to(x0 + width / 2, y - height / 2)
        ctx.line_to(x0 + width / 2, y + height / 2)
        ctx.move_to(x0, y)
        ctx.line_to(x0 + width, y)
        ctx.stroke()
    return draw


class SplitDesc(PavementDesc):
    """A descriptor whose sheets each hold only some of the frame table: the
    entries listed per sheet number (an object with an extra sheet)."""

    def __init__(self, obj_id, title, frame_w, frame_h, frames, sheets, looks, per_sheet, blank=()):
        self.obj_id, self.title, self.table = obj_id, title, ""
        self.frame_w, self.frame_h = frame_w, frame_h
        self.frames = sorted(frames, key=lambda f: f.idx)
        self.sheets = sheets
        self.looks = looks
        from .resources import TT
        self.phases = TT
        self.blank = list(blank)
        self.per_sheet = per_sheet
        for s in sheets:
            mine = [f for f in self.frames if f.idx in per_sheet[s.k]]
            if s.size[0] < max(f.x + f.w for f in mine) or s.size[1] < max(f.y + f.h for f in mine):
                raise ValueError("figure %d: sheet %d smaller than its frames" % (obj_id, s.k))

    def sheet_day(self, sheet):
        all_frames = self.frames
        self.frames = [f for f in all_frames if f.idx in self.per_sheet[sheet.k]]
        try:
            return super().sheet_day(sheet)
        finally:
            self.frames = all_frames
