"""The passing vehicles' drawings: cars, vans, lorries, a coach, a tractor,
mopeds and bicycles at the scene's scale. Every kind is drawn facing right in
its body box (0..w, 0..h, wheels standing on the last row) and mirrored for
the vehicles that drive left. Side windows are holes of the key colour: the
occupant frame drawn behind the body shows through them. A wheel strip holds
only the wheels, turned on, so it fits every body of its vehicle."""
import math
from dataclasses import dataclass, field
from typing import List, Optional, Tuple

import cairo

from .canvas import FONT_SANS, box, fill_stroke, fit_text, rounded_rect, set_col, shade
from .figure import Figure, Look, Pose

OUTLINE = 0.9
GLASS_FRONT = "#6f8fa8"
TYRE = "#26262a"


@dataclass
class Kind:
    """One vehicle's shape: kind, size and where its parts lie (in the
    right-facing body box)."""
    kind: str                    # car, hatch, estate, van, lorry, coach, tractor, moped, bicycle, icecream, drinks, pickup
    w: int
    h: int
    wheel_r: float = 0.0         # 0: by kind and size
    wheels: Tuple[float, ...] = ()
    box: Optional[Tuple[int, int, int, int]] = None   # lorries: the box side x, y, w, h (right-facing)
    text: str = ""               # lettering on a box or a van side
    win: Tuple[Tuple[float, float, float, float], ...] = ()   # side windows where a script fixes them

    def geometry(self):
        w, h = self.w, self.h
        k = self.kind
        if k in ("moped",):
            r = self.wheel_r or h * 0.14
            return dict(r=r, wheels=self.wheels or (w * 0.2, w * 0.78))
        if k == "bicycle":
            r = self.wheel_r or min(h * 0.3, w * 0.19)
            return dict(r=r, wheels=self.wheels or (w * 0.24, w * 0.76))
        if k == "tractor":
            return dict(r=h * 0.24, wheels=(w * 0.3,), small=(w * 0.82, h * 0.15))
        r = self.wheel_r or max(9.0, min(h * 0.17, 17.0))
        if k in ("lorry", "drinks", "coach"):
            r = self.wheel_r or max(13.0, min(h * 0.14, 18.0))
        if not self.wheels:
            if k in ("lorry", "drinks"):
                wheels = (w * 0.17, w * 0.33, w * 0.83) if w > 380 else (w * 0.2, w * 0.8)
            elif k == "coach":
                wheels = (w * 0.16, w * 0.3, w * 0.82)
            else:
                wheels = (w * 0.19, w * 0.8)
        else:
            wheels = tuple(w * f for f in self.wheels)
        return dict(r=r, wheels=wheels)

    def windows(self):
        """Side windows (x, y, w, h) in the right-facing box: the holes."""
        w, h = self.w, self.h
        k = self.kind
        if self.win:
            return list(self.win)
        if k in ("car", "hatch", "estate"):
            top, bottom = h * 0.1, h * 0.42
            rear = {"car": 0.3, "hatch": 0.2, "estate": 0.14}[k]
            front = 0.7 if k != "hatch" else 0.72
            mid = (rear + front) / 2 + 0.03
            return [(w * rear + 6, top + 3, w * (mid - rear) - 9, bottom - top - 3),
                    (w * mid + 2, top + 3, w * (front - mid) - 8, bottom - top - 3)]
        if k == "pickup":
            return [(w * 0.68, h * 0.2, w * 0.14, h * 0.24)]
        if k in ("van", "icecream"):
            top, bottom = h * 0.12, h * 0.42
            return [(w * 0.7, top, w * 0.14, bottom - top)]
        if k in ("lorry", "drinks"):
            cab = self.cab()
            return [(cab[0] + cab[2] * 0.2, cab[1] + cab[3] * 0.1, cab[2] * 0.45, cab[3] * 0.32)]
        if k == "coach":
            n = max(4, int(w / 48))
            gap = 4
            x0, x1 = 14, w - 40
            ww = (x1 - x0 - gap * (n - 1)) / n
            return [(x0 + i * (ww + gap), h * 0.12, ww, h * 0.3) for i in range(n)] + \
                [(w - 36, h * 0.12, 20, h * 0.3)]
        return []

    def cab(self):
        """Lorries: the cab's box (x, y, w, h); it leads."""
        w, h = self.w, self.h
        if self.box:
            bx, by, bw, bh = self.box
            cx = bx + bw + 3
            return (cx, h * 0.22, w - cx - 2, h * 0.66)
        cw = w * 0.26
        return (w - cw - 2, h * 0.22, cw, h * 0.66)

    def occupant_cell(self):
        """The rectangle of the occupant frames in the body (x, y, w, h)."""
        w, h = self.w, self.h
        if self.kind in ("moped", "bicycle"):
            return (int(w * 0.05), 0, int(w * 0.8), h)
        win = self.windows()
        x0 = min(r[0] for r in win)
        y0 = min(r[1] for r in win)
        x1 = max(r[0] + r[2] for r in win)
        y1 = max(r[1] + r[3] for r in win)
        return (int(x0) - 1, int(y0) - 1, int(math.ceil(x1 - x0)) + 3, int(math.ceil(y1 - y0)) + 3)


# ------------------------------------------------------------------ parts

_MIRRORED = [False]


def _text(ctx, s, cx, cy, max_w, max_h, colour):
    """Lettering reads left to right on either side of a vehicle."""
    ctx.save()
    if _MIRRORED[0]:
        ctx.translate(cx, 0)
        ctx.scale(-1, 1)
        ctx.translate(-cx, 0)
    fit_text(ctx, s, cx, cy, max_w, max_h, colour, FONT_SANS)
    ctx.new_path()
    ctx.restore()


def wheel(ctx, cx, cy, r, turn, hub="#b8bcc4", spokes=5, thin=False):
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    if thin:
        set_col(ctx, "#2a2a2e")
        ctx.set_line_width(max(1.6, r * 0.12))
        ctx.stroke()
        set_col(ctx, "#9aa0a8")
        ctx.set_line_width(0.6)
        for k in range(spokes):
            a = math.radians(turn + k * 360.0 / spokes)
            ctx.move_to(cx, cy)
            ctx.line_to(cx + math.cos(a) * r * 0.92, cy + math.sin(a) * r * 0.92)
        ctx.stroke()
        ctx.arc(cx, cy, 1.6, 0, 2 * math.pi)
        set_col(ctx, "#5c6068")
        ctx.fill()
        return
    fill_stroke(ctx, TYRE, "#111114", OUTLINE)
    ctx.arc(cx, cy, r * 0.58, 0, 2 * math.pi)
    fill_stroke(ctx, hub, "#5c6068", OUTLINE * 0.8)
    set_col(ctx, "#4c5058")
    ctx.set_line_width(max(1.0, r * 0.1))
    for k in range(spokes):
        a = math.radians(turn + k * 360.0 / spokes)
        ctx.move_to(cx + math.cos(a) * r * 0.15, cy + math.sin(a) * r * 0.15)
        ctx.line_to(cx + math.cos(a) * r * 0.52, cy + math.sin(a) * r * 0.52)
    ctx.stroke()
    ctx.arc(cx, cy, r * 0.14, 0, 2 * math.pi)
    set_col(ctx, "#e8eaee")
    ctx.fill()


def wheels(ctx, kind: Kind, turn):
    g = kind.geometry()
    r = g["r"]
    cy = kind.h - 1 - r
    thin = kind.kind == "bicycle"
    for cx in g["wheels"]:
        wheel(ctx, cx, cy, r, turn, thin=thin, spokes=12 if thin else 5)
    if "small" in g:
        sx, sr = g["small"]
        wheel(ctx, sx, kind.h - 1 - sr, sr, turn * 1.8, hub="#c8a030")


def _arches(ctx, kind: Kind):
    g = kind.geometry()
    r = g["r"]
    cy = kind.h - 1 - r
    set_col(ctx, "#1c1c20")
    for cx in g["wheels"]:
        ctx.new_path()
        ctx.arc(cx, cy, r + 2.5, math.pi, 2 * math.pi)
        ctx.close_path()
        ctx.fill()


def _lamps(ctx, kind: Kind, y, lit=False):
    w = kind.w
    box(ctx, w - 6, y, 5, 5, "#f6f0d0", "#7a7a70", 0.6, r=1)
    box(ctx, 1.5, y, 4, 6, "#c0302a", "#6a1a16", 0.6)


def _holes(ctx, kind: Kind):
    ctx.new_path()
    for x, y, ww, hh in kind.windows():
        rounded_rect(ctx, x, y, ww, hh, 2.5)


def _cut_windows(ctx, kind: Kind, frame_colour):
    _holes(ctx, kind)
    set_col(ctx, frame_colour)
    ctx.set_line_width(1.4)
    ctx.stroke()
    _holes(ctx, kind)
    ctx.set_operator(cairo.OPERATOR_CLEAR)
    ctx.fill()
    ctx.set_operator(cairo.OPERATOR_OVER)


# ------------------------------------------------------------------ kinds

def _car(ctx, kind: Kind, paint):
    w, h = kind.w, kind.h
    g = kind.geometry()
    r = g["r"]
    k = kind.kind
    belt = h * 0.48
    sill = h - 1 - r * 0.45
    rear = {"car": 0.26, "hatch": 0.14, "estate": 0.1}[k]
    front = 0.76 if k != "hatch" else 0.8
    if kind.win:
        # the cabin closes round the windows the script placed
        rear = (min(r[0] for r in kind.win) - w * 0.04) / w
        front = (max(r[0] + r[2] for r in kind.win) + w * 0.1) / w
    roof = h * 0.06
    ctx.new_path()
    ctx.move_to(3, sill)
    ctx.line_to(2.5, belt + 5)
    ctx.curve_to(2.5, belt - 1, w * 0.05, belt - 3, w * 0.12, belt - 3)
    ctx.line_to(w * rear, belt - 3)
    ctx.curve_to(w * (rear + 0.02), roof + 6, w * (rear + 0.05), roof, w * (rear + 0.1), roof)
    ctx.line_to(w * (front - 0.12), roof)
    ctx.curve_to(w * (front - 0.07), roof, w * (front - 0.04), roof + 3, w * front, belt - 4)
    ctx.curve_to(w * 0.9, belt - 3, w - 3, belt, w - 2.5, belt + 8)
    ctx.line_to(w - 3, sill)
    ctx.close_path()
    fill_stroke(ctx, paint, shade(paint, -0.5), OUTLINE)
    # light along the roof and a shade along the sill
    set_col(ctx, shade(paint, 0.35))
    ctx.rectangle(w * (rear + 0.1), roof + 1.5, w * (front - rear - 0.22), 1.4)
    ctx.fill()
    set_col(ctx, shade(paint, -0.22))
    ctx.rectangle(4, sill - 6, w - 8, 5)
    ctx.fill()
    # windscreen as a slanted strip of glass ahead of the side windows
    ctx.new_path()
    ctx.move_to(w * (front - 0.09), roof + 3)
    ctx.line_to(w * (front - 0.06), roof + 3)
    ctx.line_to(w * front - 3, belt - 5)
    ctx.line_to(w * (front - 0.035), belt - 5)
    ctx.close_path()
    fill_stroke(ctx, GLASS_FRONT, shade(paint, -0.5), 0.7)
    # door line and handle
    set_col(ctx, shade(paint, -0.45))
    ctx.set_line_width(0.8)
    mid = ((rear + front) / 2 + 0.03) * w
    if kind.win:
        mid = kind.win[-1][0] - 2
    ctx.move_to(mid, roof + 4)
    ctx.line_to(mid, sill - 3)
    ctx.stroke()
    box(ctx, mid + 6, belt + 3, 8, 2.5, shade(paint, 0.4), shade(paint, -0.5), 0.5)
    box(ctx, mid - 16, belt + 3, 8, 2.5, shade(paint, 0.4), shade(paint, -0.5), 0.5)
    # bumpers
    box(ctx, w - 9, sill - 8, 8, 5, "#b8bcc4", "#5c6068", 0.6, r=1.5)
    box(ctx, 1, sill - 8, 8, 5, "#b8bcc4", "#5c6068", 0.6, r=1.5)
    _arches(ctx, kind)
    _lamps(ctx, kind, belt + 2)
    _cut_windows(ctx, kind, shade(paint, -0.5))


def _van(ctx, kind: Kind, paint, extra=None):
    w, h = kind.w, kind.h
    g = kind.geometry()
    r = g["r"]
    sill = h - 1 - r * 0.45
    top = h * 0.05
    ctx.new_path()
    ctx.move_to(3, sill)
    ctx.line_to(3, top + 6)
    ctx.curve_to(3, top + 2, 6, top, 10, top)
    ctx.line_to(w * 0.86, top)
    ctx.curve_to(w * 0.92, top, w * 0.95, h * 0.2, w - 3, h * 0.45)
    ctx.line_to(w - 3, sill)
    ctx.close_path()
    fill_stroke(ctx, paint, shade(paint, -0.5), OUTLINE)
    set_col(ctx, shade(paint, 0.3))
    ctx.rectangle(8, top + 2, w * 0.78, 1.5)
    ctx.fill()
    # windscreen
    ctx.new_path()
    ctx.move_to(w * 0.885, top + 4)
    ctx.curve_to(w * 0.92, top + 6, w * 0.94, h * 0.22, w - 5, h * 0.42)
    ctx.line_to(w * 0.875, h * 0.42)
    ctx.close_path()
    fill_stroke(ctx, GLASS_FRONT, shade(paint, -0.5), 0.7)
    # sliding door and the cab door
    set_col(ctx, shade(paint, -0.45))
    ctx.set_line_width(0.8)
    for x in (w * 0.38, w * 0.62, w * 0.86):
        ctx.move_to(x, top + 3)
        ctx.line_to(x, sill - 2)
    ctx.stroke()
    box(ctx, 1, sill - 8, 8, 5, "#b8bcc4", "#5c6068", 0.6, r=1.5)
    box(ctx, w - 9, sill - 8, 8, 5, "#b8bcc4", "#5c6068", 0.6, r=1.5)
    if kind.win:
        # the script's windows are the passengers'; the cab's own is tinted
        x, y, ww, hh = (w * 0.7, h * 0.12, w * 0.14, h * 0.3)
        box(ctx, x, y, ww, hh, shade(GLASS_FRONT, -0.25), shade(paint, -0.5), 0.8, r=2.5)
    if extra:
        extra(ctx)
    if kind.text:
        _text(ctx, kind.text, w * 0.36, h * 0.42, w * 0.5, h * 0.16, shade(paint, -0.6))
    _arches(ctx, kind)
    _lamps(ctx, kind, h * 0.5)
    _cut_windows(ctx, kind, shade(paint, -0.5))


def _lorry(ctx, kind: Kind, paint, box_colour, load=None):
    w, h = kind.w, kind.h
    g = kind.geometry()
    r = g["r"]
    cx, cy, cw, chh = kind.cab()
    sill = h - 1 - r * 0.55
    # chassis
    box(ctx, 4, sill - 8, w - 8, 8, "#3a3c42", "#1c1c20", 0.7)
    # the box or platform behind the cab
    if kind.box:
        bx, by, bw, bh = kind.box
    else:
        bx, by, bw, bh = 3, h * 0.08, cx - 6, sill - 8 - h * 0.08
    if kind.box and by + bh < sill - 8:
        # under the lettered side: the box's floor frame and the side guard
        box(ctx, bx, by + bh - 1, bw, sill - 8 - (by + bh) + 1, shade(box_colour, -0.35), shade(box_colour, -0.6),
            OUTLINE)
        set_col(ctx, "#8a8e96")
        ctx.set_line_width(1.6)
        for yy in (sill - 14, sill - 20):
            ctx.move_to(bx + bw * 0.3, yy)
            ctx.line_to(bx + bw * 0.75, yy)
        ctx.stroke()
    if load is None:
        box(ctx, bx, by, bw, bh, box_colour, shade(box_colour, -0.5), OUTLINE, r=1.5)
        set_col(ctx, shade(box_colour, -0.18))
        ctx.set_line_width(0.7)
        for k in range(1, 6):
            xx = bx + bw * k / 6.0
            ctx.move_to(xx, by + 2)
            ctx.line_to(xx, by + bh - 2)
        ctx.stroke()
        if kind.text:
            _text(ctx, kind.text, bx + bw / 2, by + bh * 0.45, bw * 0.8, bh * 0.3, shade(box_colour, -0.6))
    else:
        load(ctx, bx, by, bw, bh)
    # cab
    ctx.new_path()
    ctx.move_to(cx, sill)
    ctx.line_to(cx, cy + 4)
    ctx.curve_to(cx, cy, cx + 3, cy, cx + 6, cy)
    ctx.line_to(cx + cw * 0.7, cy)
    ctx.curve_to(cx + cw * 0.9, cy, cx + cw, cy + chh * 0.2, cx + cw, cy + chh * 0.45)
    ctx.line_to(cx + cw, sill)
    ctx.close_path()
    fill_stroke(ctx, paint, shade(paint, -0.5), OUTLINE)
    ctx.new_path()
    ctx.move_to(cx + cw * 0.72, cy + 4)
    ctx.curve_to(cx + cw * 0.88, cy + 5, cx + cw - 2, cy + chh * 0.2, cx + cw - 2, cy + chh * 0.42)
    ctx.line_to(cx + cw * 0.7, cy + chh * 0.42)
    ctx.close_path()
    fill_stroke(ctx, GLASS_FRONT, shade(paint, -0.5), 0.7)
    box(ctx, cx + cw - 7, sill - 10, 7, 6, "#b8bcc4", "#5c6068", 0.6, r=1.5)
    _arches(ctx, kind)
    box(ctx, w - 6, cy + chh * 0.62, 5, 5, "#f6f0d0", "#7a7a70", 0.6, r=1)
    box(ctx, 1.5, sill - 16, 4, 6, "#c0302a", "#6a1a16", 0.6)
    _cut_windows(ctx, kind, shade(paint, -0.5))


def pickup_bed(kind: Kind):
    """The open bed behind the pick-up's cab (x, y, w, h), right-facing: its
    load is drawn behind the body and shows above the side boards."""
    w, h = kind.w, kind.h
    return (4, h * 0.5, w * 0.56, h * 0.2)


def _pickup(ctx, kind: Kind, paint):
    w, h = kind.w, kind.h
    g = kind.geometry()
    r = g["r"]
    sill = h - 1 - r * 0.45
    bx, by, bw, bh = pickup_bed(kind)
    # the bed's side boards and tailgate
    box(ctx, bx, by, bw, sill - by, paint, shade(paint, -0.5), OUTLINE, r=1.5)
    set_col(ctx, shade(paint, -0.25))
    ctx.set_line_width(0.8)
    for yy in (by + bh * 0.45, by + bh):
        ctx.move_to(bx + 2, yy)
        ctx.line_to(bx + bw - 2, yy)
    ctx.stroke()
    box(ctx, bx - 1, by - 2, bw + 2, 3, shade(paint, 0.25), shade(paint, -0.5), 0.6)
    # the cab, with its bonnet ahead
    cx = bx + bw + 2
    top = h * 0.12
    ctx.new_path()
    ctx.move_to(cx, sill)
    ctx.line_to(cx, top + 5)
    ctx.curve_to(cx, top + 1, cx + 3, top, cx + 7, top)
    ctx.line_to(w * 0.83, top)
    ctx.curve_to(w * 0.86, top, w * 0.87, h * 0.2, w * 0.89, h * 0.46)
    ctx.line_to(w - 6, h * 0.5)
    ctx.curve_to(w - 3, h * 0.51, w - 2.5, h * 0.55, w - 2.5, h * 0.6)
    ctx.line_to(w - 3, sill)
    ctx.close_path()
    fill_stroke(ctx, paint, shade(paint, -0.5), OUTLINE)
    set_col(ctx, shade(paint, 0.35))
    ctx.rectangle(cx + 6, top + 1.5, w * 0.83 - cx - 8, 1.4)
    ctx.fill()
    ctx.new_path()
    ctx.move_to(w * 0.845, top + 4)
    ctx.curve_to(w * 0.86, top + 6, w * 0.865, h * 0.22, w * 0.875, h * 0.44)
    ctx.line_to(w * 0.835, h * 0.44)
    ctx.close_path()
    fill_stroke(ctx, GLASS_FRONT, shade(paint, -0.5), 0.7)
    set_col(ctx, shade(paint, -0.45))
    ctx.set_line_width(0.8)
    ctx.move_to(w * 0.64, top + 3)
    ctx.line_to(w * 0.64, sill - 2)
    ctx.move_to(w * 0.85, h * 0.46)
    ctx.line_to(w * 0.85, sill - 2)
    ctx.stroke()
    box(ctx, w * 0.66, h * 0.5, 8, 2.5, shade(paint, 0.4), shade(paint, -0.5), 0.5)
    set_col(ctx, shade(paint, -0.22))
    ctx.rectangle(4, sill - 6, w - 8, 5)
    ctx.fill()
    box(ctx, 1, sill - 8, 8, 5, "#b8bcc4", "#5c6068", 0.6, r=1.5)
    box(ctx, w - 9, sill - 8, 8, 5, "#b8bcc4", "#5c6068", 0.6, r=1.5)
    _arches(ctx, kind)
    _lamps(ctx, kind, h * 0.53)
    _cut_windows(ctx, kind, shade(paint, -0.5))


def platform(ctx, bx, by, bw, bh, colour="#8a6a4a"):
    """An open platform with low side boards in place of a lorry's box: what
    it carries is drawn behind the body and shows above the boards."""
    top = by + bh - 26
    box(ctx, bx, top, bw, by + bh - top, colour, shade(colour, -0.5), OUTLINE, r=1)
    set_col(ctx, shade(colour, -0.3))
    ctx.set_line_width(0.8)
    for k in range(1, 5):
        xx = bx + bw * k / 5.0
        ctx.move_to(xx, top + 2)
        ctx.line_to(xx, by + bh - 2)
    ctx.move_to(bx + 2, top + 13)
    ctx.line_to(bx + bw - 2, top + 13)
    ctx.stroke()
    box(ctx, bx - 1, top - 2, bw + 2, 3, shade(colour, 0.25), shade(colour, -0.5), 0.6)


def draw_platform_load(ctx, kind: Kind, which, facing):
    """A lorry platform's load: stacked crates (0) or timber (1), standing on
    the platform's floor a little below its boards' top."""
    cx = kind.cab()[0]
    bx, bw = 3, cx - 6
    floor = kind.h - 1 - kind.geometry()["r"] * 0.55 - 8 - 14
    ctx.save()
    if facing < 0:
        ctx.translate(kind.w, 0)
        ctx.scale(-1, 1)
    if which == 0:
        for i in range(int(bw // 40)):
            for j in range(3 if i % 2 else 2):
                x, y = bx + 4 + i * 40, floor - 20 * (j + 1)
                box(ctx, x, y, 38, 19, "#3a6aa8" if (i + j) % 2 else "#c8a030", "#1e2e48", 0.8, r=1)
                box(ctx, x + 12, y + 4, 14, 5, shade("#3a6aa8", -0.3), None, 0)
    else:
        # logs lying lengthwise, their cut ends at the back, strapped down
        for j in range(4):
            for i in range(2 if j < 3 else 1):
                y = floor - 12 * (j + 1) + 1
                x0 = bx + 4 + (j % 2) * 6 + i * (bw / 2 - 4)
                length = bw / 2 - 10 if j < 3 else bw - 30
                rounded_rect(ctx, x0, y, length, 12, 5)
                fill_stroke(ctx, "#7a5a3a", "#3a2a1a", 0.8)
                ctx.new_path()
                ctx.arc(x0 + 5, y + 6, 5.5, 0, 2 * math.pi)
                fill_stroke(ctx, "#dcb888", "#7a5a3a", 0.7)
        set_col(ctx, "#c8302a")
        ctx.set_line_width(1.6)
        for k in (0.3, 0.7):
            ctx.move_to(bx + bw * k, floor)
            ctx.line_to(bx + bw * k, floor - 50)
        ctx.stroke()
    ctx.restore()


def draw_load(ctx, kind: Kind, which, facing):
    """One of the pick-up's loads, standing on its bed: crates of apples, a
    household on the move, potted shrubs."""
    bx, by, bw, bh = pickup_bed(kind)
    # the bed's floor lies a little below the boards' top edge
    floor = by + 12
    ctx.save()
    if facing < 0:
        ctx.translate(kind.w, 0)
        ctx.scale(-1, 1)
    if which == 0:
        for i in range(4):
            for j in range(2 if i % 3 else 3):
                x, y = bx + 6 + i * 30, floor - 16 * (j + 1)
                box(ctx, x, y, 28, 15, "#c89a5a", "#6a4a20", 0.8, r=1)
                set_col(ctx, "#8a6a30")
                ctx.set_line_width(0.6)
                ctx.move_to(x + 2, y + 7.5)
                ctx.line_to(x + 26, y + 7.5)
                ctx.stroke()
                for k in range(4):
                    ctx.new_path()
                    ctx.arc(x + 5 + 6 * k, y + 1, 3, 0, 2 * math.pi)
                    fill_stroke(ctx, "#c8302a" if (i + k) % 3 else "#8ab83a", "#5a1a14", 0.5)
    elif which == 1:
        # an armchair, a standard lamp and a rolled carpet
        x = bx + 10
        box(ctx, x, floor - 34, 40, 34, "#6a8a5a", "#2e4028", 0.8, r=5)
        box(ctx, x - 2, floor - 20, 10, 20, "#5a7a4a", "#2e4028", 0.8, r=3)
        box(ctx, x + 34, floor - 20, 10, 20, "#5a7a4a", "#2e4028", 0.8, r=3)
        set_col(ctx, "#3a3c42")
        ctx.set_line_width(1.6)
        ctx.move_to(x + 62, floor)
        ctx.line_to(x + 62, floor - 46)
        ctx.stroke()
        ctx.new_path()
        ctx.move_to(x + 52, floor - 44)
        ctx.line_to(x + 72, floor - 44)
        ctx.line_to(x + 67, floor - 56)
        ctx.line_to(x + 57, floor - 56)
        ctx.close_path()
        fill_stroke(ctx, "#f0d8a0", "#8a6a30", 0.7)
        rounded_rect(ctx, x + 78, floor - 14, 44, 14, 7)
        fill_stroke(ctx, "#a83a3a", "#5a1a1a", 0.8)
    else:
        for i in range(4):
            cx = bx + 18 + i * 30
            box(ctx, cx - 9, floor - 14, 18, 14, "#b8643a", "#6a3018", 0.8, r=2)
            ctx.new_path()
            ctx.arc(cx, floor - 26 - 4 * (i % 2), 14 + 2 * (i % 2), 0, 2 * math.pi)
            fill_stroke(ctx, "#4a8a3a" if i % 2 else "#3a7a44", "#1e4020", 0.8)
    ctx.restore()


def _coach(ctx, kind: Kind, paint, band):
    w, h = kind.w, kind.h
    g = kind.geometry()
    r = g["r"]
    sill = h - 1 - r * 0.45
    rounded_rect(ctx, 2.5, h * 0.04, w - 5, sill - h * 0.04, 9)
    fill_stroke(ctx, paint, shade(paint, -0.5), OUTLINE)
    box(ctx, 3, h * 0.5, w - 6, h * 0.08, band, None, 0)
    box(ctx, 3, h * 0.62, w - 6, h * 0.03, shade(band, -0.2), None, 0)
    set_col(ctx, shade(paint, 0.35))
    ctx.rectangle(12, h * 0.05 + 2, w - 24, 1.5)
    ctx.fill()
    box(ctx, w - 14, h * 0.1, 10, h * 0.4, GLASS_FRONT, shade(paint, -0.5), 0.7, r=3)
    if kind.text:
        _text(ctx, kind.text, w * 0.45, h * 0.7, w * 0.5, h * 0.1, shade(band, -0.5))
    box(ctx, w * 0.86, h * 0.5, 24, sill - h * 0.5 - 2, shade(paint, -0.1), shade(paint, -0.5), 0.7)
    _arches(ctx, kind)
    _lamps(ctx, kind, h * 0.72)
    _cut_windows(ctx, kind, shade(paint, -0.5))


def _tractor(ctx, kind: Kind, paint):
    w, h = kind.w, kind.h
    g = kind.geometry()
    r = g["r"]
    sx, sr = g["small"]
    # bonnet and engine ahead, the cab over the big wheel
    box(ctx, w * 0.42, h * 0.42, w * 0.55, h * 0.3, paint, shade(paint, -0.5), OUTLINE, r=4)
    box(ctx, w * 0.93, h * 0.46, w * 0.05, h * 0.2, "#3a3c42", "#1c1c20", 0.7)
    box(ctx, w * 0.7, h * 0.24, 5, h * 0.2, "#3a3c42", "#1c1c20", 0.7)
    # cab frame: roof and posts; its glass is open
    box(ctx, w * 0.1, h * 0.02, w * 0.42, h * 0.06, paint, shade(paint, -0.5), OUTLINE, r=2)
    for x in (w * 0.12, w * 0.48):
        box(ctx, x, h * 0.07, 4, h * 0.5, shade(paint, -0.15), shade(paint, -0.5), 0.7)
    box(ctx, w * 0.08, h * 0.52, w * 0.45, h * 0.12, paint, shade(paint, -0.5), OUTLINE, r=2)
    # mudguard over the big wheel
    set_col(ctx, shade(paint, -0.1))
    ctx.arc(g["wheels"][0], h - 1 - r, r + 4, math.pi, 2 * math.pi)
    ctx.set_line_width(5)
    ctx.stroke()
    box(ctx, w - 6, h * 0.48, 5, 5, "#f6f0d0", "#7a7a70", 0.6, r=1)


def _moped(ctx, kind: Kind, paint):
    w, h = kind.w, kind.h
    g = kind.geometry()
    r = g["r"]
    cy = h - 1 - r
    # the scooter's shield, floor and rear cowl
    ctx.new_path()
    ctx.move_to(w * 0.3, cy - 2)
    ctx.line_to(w * 0.66, cy - 2)
    ctx.line_to(w * 0.74, h * 0.42)
    ctx.curve_to(w * 0.78, h * 0.36, w * 0.82, h * 0.36, w * 0.82, h * 0.42)
    ctx.line_to(w * 0.8, cy + 2)
    ctx.line_to(w * 0.7, cy + 2)
    ctx.close_path()
    fill_stroke(ctx, paint, shade(paint, -0.5), OUTLINE)
    ctx.new_path()
    ctx.move_to(w * 0.08, cy)
    ctx.curve_to(w * 0.06, h * 0.66, w * 0.18, h * 0.6, w * 0.42, h * 0.62)
    ctx.line_to(w * 0.44, cy)
    ctx.close_path()
    fill_stroke(ctx, paint, shade(paint, -0.5), OUTLINE)
    box(ctx, w * 0.16, h * 0.57, w * 0.3, 5, "#3a2a24", "#1c1410", 0.7, r=2)
    # handlebar and lamp
    set_col(ctx, "#3a3c42")
    ctx.set_line_width(2)
    ctx.move_to(w * 0.78, h * 0.4)
    ctx.line_to(w * 0.76, h * 0.3)
    ctx.line_to(w * 0.7, h * 0.3)
    ctx.stroke()
    box(ctx, w * 0.82, h * 0.4, 5, 5, "#f6f0d0", "#7a7a70", 0.6, r=2)


def _old_bicycle_fittings(ctx, kind: Kind, paint, rx, fx, cy, r, head):
    """An old roadster's mudguards, chain guard, swept-back bars and a
    wicker basket at the front."""
    set_col(ctx, shade(paint, 0.25))
    ctx.set_line_width(2.2)
    for cx in (rx, fx):
        ctx.new_path()
        ctx.arc(cx, cy, r + 2.5, math.pi * 1.05, math.pi * 1.95)
        ctx.stroke()
    ctx.new_path()
    rounded_rect(ctx, kind.w * 0.3, cy - 4, kind.w * 0.22, 7, 3)
    fill_stroke(ctx, shade(paint, 0.1), shade(paint, -0.5), 0.7)
    set_col(ctx, "#3a3c42")
    ctx.set_line_width(1.8)
    ctx.move_to(*head)
    ctx.line_to(head[0] - 1, head[1] - 9)
    ctx.curve_to(head[0] - 6, head[1] - 11, head[0] - 12, head[1] - 9, head[0] - 14, head[1] - 6)
    ctx.stroke()
    box(ctx, head[0] + 2, head[1] - 7, 16, 12, "#b8904a", "#6a4a20", 0.8, r=2)
    set_col(ctx, "#8a6a30")
    ctx.set_line_width(0.6)
    for k in range(1, 4):
        ctx.move_to(head[0] + 2, head[1] - 7 + 3 * k)
        ctx.line_to(head[0] + 18, head[1] - 7 + 3 * k)
    ctx.stroke()


def _bicycle(ctx, kind: Kind, paint, old=False):
    w, h = kind.w, kind.h
    g = kind.geometry()
    r = g["r"]
    cy = h - 1 - r
    rx, fx = g["wheels"]
    bb = (w * 0.47, cy + 2)
    seat = (w * 0.4, cy - r * 1.25)
    head = (w * 0.7, cy - r * 1.3)
    set_col(ctx, paint)
    ctx.set_line_width(2.4)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.move_to(rx, cy)
    ctx.line_to(*bb)
    ctx.line_to(*seat)
    ctx.close_path()
    ctx.move_to(*bb)
    ctx.line_to(*head)
    ctx.line_to(seat[0] + 2, seat[1] + 3)
    ctx.move_to(*head)
    ctx.line_to(fx, cy)
    ctx.stroke()
    box(ctx, seat[0] - 6, seat[1] - 4, 12, 4, "#2a2220", "#100c0a", 0.6, r=1.5)
    if old:
        _old_bicycle_fittings(ctx, kind, paint, rx, fx, cy, r, head)
    else:
        set_col(ctx, "#3a3c42")
        ctx.set_line_width(1.8)
        ctx.move_to(*head)
        ctx.line_to(head[0] - 2, head[1] - 6)
        ctx.line_to(head[0] - 9, head[1] - 7)
        ctx.stroke()
    ctx.arc(bb[0], bb[1], 3.5, 0, 2 * math.pi)
    fill_stroke(ctx, "#8a8e96", "#3a3c42", 0.6)


def draw_body(ctx, kind: Kind, paint, facing, turn=0.0, second=None, load=None, style=None):
    """The body with its wheels in phase 0."""
    ctx.save()
    _MIRRORED[0] = facing < 0
    if facing < 0:
        ctx.translate(kind.w, 0)
        ctx.scale(-1, 1)
    k = kind.kind
    if k in ("car", "hatch", "estate"):
        _car(ctx, kind, paint)
    elif k == "van":
        _van(ctx, kind, paint)
    elif k == "pickup":
        _pickup(ctx, kind, paint)
    elif k == "icecream":
        def cone(c):
            # the serving hatch with three scoops on its sign
            c.new_path()
            box(c, kind.w * 0.18, kind.h * 0.14, kind.w * 0.4, kind.h * 0.26, "#fff4d8", "#7a5a3a", 0.8, r=2)
            for i, col in enumerate(("#f4a0b0", "#fff2c0", "#a06a3a")):
                c.new_path()
                c.arc(kind.w * (0.26 + 0.12 * i), kind.h * 0.24, kind.h * 0.06, 0, 2 * math.pi)
                fill_stroke(c, col, shade(col, -0.4), 0.6)
            c.new_path()
        _van(ctx, kind, paint, extra=cone)
    elif k in ("lorry", "drinks"):
        _lorry(ctx, kind, paint, second or "#e8e4dc", load=load)
    elif k == "coach":
        _coach(ctx, kind, paint, second or "#f2f2f2")
    elif k == "tractor":
        _tractor(ctx, kind, paint)
    elif k == "moped":
        _moped(ctx, kind, paint)
    elif k == "bicycle":
        _bicycle(ctx, kind, paint, old=style == "old")
    wheels(ctx, kind, turn)
    ctx.restore()


def draw_wheels(ctx, kind: Kind, facing, turn):
    ctx.save()
    if facing < 0:
        ctx.translate(kind.w, 0)
        ctx.scale(-1, 1)
    wheels(ctx, kind, turn)
    ctx.restore()


# ------------------------------------------------------------------ people

INTERIOR = "#3e4652"

# Poses of a head in a window: four while standing (looking about), four
# while driving (ahead, a glance aside).
STANDING = [dict(head="front"), dict(head="side", head_facing=-1), dict(head="front", mouth="smile"),
            dict(head="side", head_facing=-1, neck=-8)]
DRIVING = [dict(), dict(neck=4), dict(head="front"), dict(neck=-4)]


def _into_cell(ctx, kind: Kind, facing, cell):
    """Moves ctx so that the body is drawn right-facing into the occupant
    cell: a cell taken from the mirrored body has its x mirrored back."""
    cx0, cy0, cw, ch = cell
    if facing < 0:
        ctx.translate(cw, 0)
        ctx.scale(-1, 1)
        ox = kind.w - (cx0 + cw)
    else:
        ox = cx0
    ctx.translate(-ox, -cy0)


def _seated(ctx, look: Look, pose_kw, x, y, scale):
    """A person seated behind a window, right-facing, head and shoulders:
    the head's top at y (x along the length), drawn at scale."""
    fig = Figure(look)
    pose = Pose(view="side", facing=1, near_arm=(40, -60), far_arm=(40, -60), lean=0, ground=False, **pose_kw)
    ctx.save()
    ctx.translate(x, y + look.height * 0.99 * scale)
    ctx.scale(scale, scale)
    fig.draw(ctx, pose, 0, 0)
    ctx.restore()


def _interior(ctx):
    set_col(ctx, INTERIOR)
    ctx.paint()


def _seat_backs(ctx, kind: Kind, bottom):
    """The seat backs under the window line."""
    set_col(ctx, "#5a3434")
    ctx.rectangle(0, bottom - 4, kind.w, 4)
    ctx.fill()


def person_in_windows(look: Look, kind: Kind, facing, pose_kw, cell, seat_share=0.75, passenger=None, rear=False):
    """An occupant frame: the interior behind every side window, the person's
    head and shoulders at the front seat (and a passenger behind), clipped to
    the windows, so nothing shows outside them. rear: the person alone on
    the rear seat, without the interior, to be drawn over another frame."""

    def draw(ctx, layer, phase):
        if layer != "base":
            return
        ctx.save()
        _into_cell(ctx, kind, facing, cell)
        _holes(ctx, kind)
        ctx.clip()
        if not rear:
            _interior(ctx)
        win = kind.windows()
        top = min(r[1] for r in win)
        bottom = max(r[1] + r[3] for r in win)
        seats = [(max(r[0] + r[2] for r in win) - 10, look)]
        if rear:
            seats = [(min(r[0] for r in win) + 12, look)]
        elif passenger is not None:
            seats.append((min(r[0] for r in win) + 12, passenger))
        for sx, lk in seats:
            _seated(ctx, lk, pose_kw, sx, top + 3, min(1.0, (bottom - top) / 26.0))
        if not rear:
            _seat_backs(ctx, kind, bottom)
        ctx.restore()
    return draw


def rider(look: Look, kind: Kind, facing, pose_kw, cell, pillion=None, upright=False, at=None, foot_down=False):
    """A rider sitting on a two-wheeler (and one behind on a moped); at puts
    the one rider at that share of the length, foot_down sets the near foot
    on the road (stopped)."""

    def draw(ctx, layer, phase):
        if layer != "base":
            return
        ctx.save()
        _into_cell(ctx, kind, facing, cell)
        g = kind.geometry()
        seat_y = kind.h - 1 - g["r"] * (2.25 if kind.kind == "bicycle" else 2.2)
        seats = [(kind.w * (at if at is not None else (0.42 if kind.kind == "bicycle" else 0.36)), look)]
        if pillion is not None:
            seats.insert(0, (kind.w * 0.2, pillion))
        for sx, lk in seats:
            fig = Figure(lk)
            lean = 2 if upright else (12 if kind.kind == "bicycle" else 4)
            pose = Pose(view="side", facing=1, lean=lean, near_leg=(12, 8) if foot_down else (80, 80),
                        far_leg=(65, 70), near_arm=(55, 15), far_arm=(50, 20), ground=False, **pose_kw)
            ctx.save()
            ctx.translate(sx, seat_y - 2)
            # the hip sits on the seat: skeleton's ground offset is the leg length
            b = fig.body
            fig.draw(ctx, pose, 0, b.thigh + b.shin + b.ankle)
            ctx.restore()
        ctx.restore()
    return draw


def people_in_windows(looks, kind: Kind, facing, poses, cell, interior=True):
    """An occupant frame of a vehicle with a row of passenger windows: the
    interior behind them and one person in each window whose look is given
    (None leaves the seat empty), each in a pose of its own. Without the
    interior the frame holds the people alone, to be drawn over another."""

    def draw(ctx, layer, phase):
        if layer != "base":
            return
        ctx.save()
        _into_cell(ctx, kind, facing, cell)
        _holes(ctx, kind)
        ctx.clip()
        if interior:
            _interior(ctx)
        for (x, y, ww, hh), lk, pose_kw in zip(kind.windows(), looks, poses):
            if lk is None:
                continue
            _seated(ctx, lk, pose_kw, x + ww * 0.55, y + 3, min(1.0, hh / 26.0))
        if interior:
            _seat_backs(ctx, kind, max(r[1] + r[3] for r in kind.windows()))
        ctx.restore()
    return draw


def seat_in_windows(look: Look, kind: Kind, facing, pose_kw, cell, seat_x, interior, size=1.0):
    """One person at seat_x (a share of the length, right-facing) behind the
    side windows, head and shoulders, clipped to the windows; with interior
    the inside of every window behind. The family cars draw their three
    seats as frames of their own, the driver's with the inside."""

    def draw(ctx, layer, phase):
        if layer != "base":
            return
        ctx.save()
        _into_cell(ctx, kind, facing, cell)
        _holes(ctx, kind)
        ctx.clip()
        win = kind.windows()
        top = min(r[1] for r in win)
        bottom = max(r[1] + r[3] for r in win)
        if interior:
            _interior(ctx)
        _seated(ctx, look, pose_kw, kind.w * seat_x, bottom - (bottom - top) * size + 3,
                min(1.0, (bottom - top) / 26.0) * size)
        if interior:
            _seat_backs(ctx, kind, bottom)
        ctx.restore()
    return draw


def draw_roof_load(ctx, kind: Kind, which, facing, roof_y):
    """What a family car carries on its roof rails: a roof box, skis,
    suitcases, a sledge, a bicycle, a Christmas tree (right-facing; roof_y
    the roof's top row)."""
    w = kind.w
    x0, x1 = w * 0.22, w * 0.66
    ctx.save()
    if facing < 0:
        ctx.translate(w, 0)
        ctx.scale(-1, 1)
    # the rails
    box(ctx, x0, roof_y - 3, x1 - x0, 2.5, "#3a3c42", "#1c1c20", 0.5)
    for x in (x0 + 4, x1 - 6):
        box(ctx, x, roof_y - 3, 2, 4, "#3a3c42", None, 0)
    base = roof_y - 3
    if which == 0:
        ctx.new_path()
        ctx.move_to(x0 + 4, base)
        ctx.curve_to(x0 + 2, base - 10, x0 + 14, base - 13, x0 + 30, base - 13)
        ctx.line_to(x1 - 16, base - 13)
        ctx.curve_to(x1 - 4, base - 13, x1, base - 6, x1 - 2, base)
        ctx.close_path()
        fill_stroke(ctx, "#2a2c32", "#101014", 0.8)
        set_col(ctx, "#5a5e68")
        ctx.rectangle(x0 + 28, base - 11, x1 - x0 - 48, 1.4)
        ctx.fill()
    elif which == 1:
        for k, col in enumerate(("#c8302a", "#2a6ab0", "#f2c230")):
            ctx.new_path()
            y = base - 3 - k * 3
            ctx.move_to(x0 - 6, y)
            ctx.line_to(x1 + 2, y)
            ctx.curve_to(x1 + 8, y, x1 + 10, y - 3, x1 + 10, y - 5)
            ctx.set_line_width(2.2)
            set_col(ctx, col)
            ctx.stroke()
    elif which == 2:
        for k, (ww, hh, col) in enumerate(((38, 14, "#8a4a2a"), (30, 11, "#2a5a8a"), (26, 9, "#4a7a3a"))):
            x = x0 + 6 + k * 36
            box(ctx, x, base - hh, ww, hh, col, shade(col, -0.5), 0.8, r=2)
            box(ctx, x + ww / 2 - 5, base - hh - 3, 10, 3, "#2a2220", None, 0, r=1)
        set_col(ctx, "#e8e4d8")
        ctx.set_line_width(1.2)
        ctx.move_to(x0 + 2, base - 7)
        ctx.line_to(x1 - 2, base - 7)
        ctx.stroke()
    elif which == 3:
        set_col(ctx, "#8a5a2a")
        ctx.set_line_width(2.6)
        ctx.move_to(x0 + 8, base - 2)
        ctx.line_to(x1 - 14, base - 2)
        ctx.curve_to(x1 - 4, base - 2, x1, base - 8, x1 - 6, base - 11)
        ctx.stroke()
        box(ctx, x0 + 12, base - 9, x1 - x0 - 30, 4, "#b87a3a", "#5a3a1a", 0.7, r=1)
    elif which == 4:
        cy = base - 10
        for cx in (x0 + 20, x0 + 64):
            wheel(ctx, cx, cy, 9, 0, thin=True, spokes=10)
        set_col(ctx, "#c8302a")
        ctx.set_line_width(2)
        ctx.move_to(x0 + 20, cy)
        ctx.line_to(x0 + 40, cy + 1)
        ctx.line_to(x0 + 34, cy - 12)
        ctx.close_path()
        ctx.move_to(x0 + 40, cy + 1)
        ctx.line_to(x0 + 58, cy - 12)
        ctx.line_to(x0 + 34, cy - 12)
        ctx.move_to(x0 + 58, cy - 12)
        ctx.line_to(x0 + 64, cy)
        ctx.stroke()
    else:
        ctx.new_path()
        ctx.move_to(x0 - 4, base - 5)
        ctx.line_to(x1 + 6, base - 2)
        ctx.line_to(x1 + 6, base - 8)
        ctx.close_path()
        fill_stroke(ctx, "#2e6a3a", "#163a1e", 0.8)
        for k in range(6):
            xx = x0 + 6 + k * (x1 - x0) / 6.0
            ctx.new_path()
            ctx.move_to(xx, base - 3)
            ctx.line_to(xx + 10, base - 14 + k * 1.2)
            ctx.line_to(xx + 18, base - 3)
            ctx.close_path()
            fill_stroke(ctx, "#3a7a44", "#163a1e", 0.6)
        set_col(ctx, "#6a4a2a")
        ctx.set_line_width(2.4)
        ctx.move_to(x0 - 10, base - 5)
        ctx.line_to(x0 - 2, base - 5)
        ctx.stroke()
    ctx.restore()
