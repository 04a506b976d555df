"""What flies over the street and what lights it: the banner plane ("FLUG02"),
four kinds of birds ("FLUG04".."FLUG07") and the two headlight cones
("M_SCHEIN_WR", "M_SCHEIN_WL").

Flights come by day only and cones only at dusk and night, so none of these
pictures has a time of day."""
import math
import os

import numpy as np

from . import imageio as io
from . import sprite as SP
from .canvas import bayer, box, fill_stroke, set_col, shade
from .resources import res

# ------------------------------------------------------------------ the banner plane

PLANE_W, PLANE_H = 400, 86
PLANE_SHEET = (400, 173)
PLANE_FRAMES_Y = (0, 87)


def _plane(frame):
    """A light aircraft flying left, its banner on a tow line behind it."""
    def draw(ctx, layer, phase):
        if layer != "base":
            return
        wave = 2.5 if frame else -2.5
        # the tow line, then the banner with an envelope that says "mail"
        set_col(ctx, "#5a5a5a")
        ctx.set_line_width(1.0)
        ctx.move_to(104, 44)
        ctx.curve_to(120, 47, 136, 46, 152, 43)
        ctx.stroke()
        x0, x1, top, bottom = 152, 396, 22, 66
        ctx.move_to(x0, top)
        n = 8
        for k in range(1, n + 1):
            x = x0 + (x1 - x0) * k / n
            ctx.line_to(x, top + wave * math.sin(k * 1.1 + frame))
        for k in range(n, -1, -1):
            x = x0 + (x1 - x0) * k / n
            ctx.line_to(x, bottom + wave * math.sin(k * 1.1 + frame))
        ctx.close_path()
        fill_stroke(ctx, "#fbfaf4", "#b8302a", 1.4)
        _envelope(ctx, 274, 44 + wave * 0.4, 1.0)
        for dx in (-78, 78):
            _envelope(ctx, 274 + dx, 44 - wave * 0.3, 0.55)
        # the aircraft: fuselage, tail, wing, wheels, propeller
        ctx.move_to(14, 42)
        ctx.curve_to(18, 32, 40, 30, 60, 33)
        ctx.line_to(104, 38)
        ctx.line_to(104, 46)
        ctx.curve_to(70, 52, 30, 54, 16, 49)
        ctx.close_path()
        fill_stroke(ctx, "#f4f4f0", "#6a6a70", 1.0)
        ctx.move_to(88, 38)
        ctx.line_to(98, 20)
        ctx.line_to(106, 20)
        ctx.line_to(104, 39)
        ctx.close_path()
        fill_stroke(ctx, "#c8302a", "#6a1a16", 0.9)
        box(ctx, 34, 26, 40, 5, "#c8302a", "#6a1a16", 0.8, r=2)      # the high wing
        set_col(ctx, "#6a6a70")
        ctx.set_line_width(1.0)
        ctx.move_to(42, 31)
        ctx.line_to(48, 40)
        ctx.stroke()
        box(ctx, 30, 33, 16, 7, "#7fa6c4", "#3a5a7a", 0.8, r=2)       # cabin window
        ctx.move_to(16, 44)
        ctx.line_to(104, 42)
        set_col(ctx, "#c8302a")
        ctx.set_line_width(2.0)
        ctx.stroke()
        for wx in (30, 48):
            ctx.arc(wx, 56, 3.2, 0, 2 * math.pi)
            fill_stroke(ctx, "#2a2a2e", "#151518", 0.7)
        box(ctx, 9, 39, 6, 7, "#5a5a60", "#2a2a2e", 0.7, r=2)         # spinner
        set_col(ctx, "#3a3a40")
        if frame == 0:
            ctx.rectangle(7, 27, 2.4, 32)
            ctx.fill()
        else:
            ctx.save()
            ctx.translate(8, 43)
            ctx.scale(1.6, 16)
            ctx.arc(0, 0, 1, 0, 2 * math.pi)
            ctx.restore()
            set_col(ctx, "#8a8a90")
            ctx.fill()
    return draw


def _envelope(ctx, cx, cy, s):
    w, h = 56 * s, 34 * s
    x, y = cx - w / 2, cy - h / 2
    box(ctx, x, y, w, h, "#f2d98a", "#8a6a22", 1.1)
    set_col(ctx, "#8a6a22")
    ctx.set_line_width(1.1)
    ctx.move_to(x, y)
    ctx.line_to(cx, y + h * 0.58)
    ctx.line_to(x + w, y)
    ctx.stroke()
    ctx.arc(cx, y + h * 0.58, 4.2 * s, 0, 2 * math.pi)
    set_col(ctx, "#c8302a")
    ctx.fill()


def plane_sheet():
    w, h = PLANE_SHEET
    rgb, key = SP.blank(w, h)
    for k, y in enumerate(PLANE_FRAMES_Y):
        SP.place(rgb, key, 0, y, *SP.render(PLANE_W, PLANE_H, _plane(k), 1))
    return rgb, key


# ------------------------------------------------------------------ the birds

BIRD_SHEET = (248, 299)
CELL_W, CELL_H = 120, 74
RIGHT_CELL_X = 121
BEATS = (1.0, 0.15, -0.9, 0.15)     # wing lift of the four frames: up, level, down, level

# kind: body, back (wing), dark (tips, beak), length, span, facing, forked tail
BIRDS = {
    4: dict(name="gull", body="#f6f6f2", wing="#b8bec8", tip="#2a2a2e", beak="#f2c230", length=30, span=34,
            facing=-1, tail="fan"),
    5: dict(name="pigeon", body="#9aa0ac", wing="#7c8290", tip="#3a3c44", beak="#4a4a50", length=24, span=27,
            facing=-1, tail="fan", neck="#5a8a7a"),
    6: dict(name="swallow", body="#f2ece0", wing="#22305a", tip="#151c36", beak="#2a2a2e", length=20, span=25,
            facing=1, tail="fork", throat="#b8402a"),
    7: dict(name="stork", body="#f8f8f4", wing="#f0f0ec", tip="#1e1e22", beak="#d8402a", length=40, span=33,
            facing=1, tail="fan", legs="#d8402a"),
}


def _wing(ctx, b, sx, sy, lift, far):
    """One wing from the shoulder, seen a little from the front and below:
    the near wing swings towards the viewer and down, the far one away and
    up; lift (-1..1) is the beat, from wings raised to wings lowered."""
    angle = math.radians(55.0 * lift)
    out = (1.0 if not far else -1.0) * math.cos(angle)
    up = math.sin(angle)
    span, chord = b["span"], b["length"] * 0.7
    dx = (-0.3 + 0.25 * out) * span
    dy = (-up + 0.35 * out) * span
    root_f, root_b = (sx - chord * 0.45, sy), (sx + chord * 0.55, sy)
    wrist = (sx + dx * 0.5 + chord * 0.05, sy + dy * 0.5)
    tip = (sx + dx + chord * 0.6, sy + dy)
    ctx.move_to(*root_f)
    ctx.curve_to(root_f[0], root_f[1] + dy * 0.3, wrist[0] - chord * 0.35, wrist[1], wrist[0] - chord * 0.3, wrist[1])
    ctx.line_to(*tip)
    ctx.curve_to(wrist[0] + chord * 0.45, wrist[1] + dy * 0.05, root_b[0], root_b[1] + dy * 0.3, *root_b)
    ctx.close_path()
    wing = shade(b["wing"], -0.25) if far else b["wing"]
    path = ctx.copy_path()
    fill_stroke(ctx, wing, shade(b["wing"], -0.55), 0.8)
    ctx.save()
    ctx.append_path(path)
    ctx.clip()
    ctx.arc(tip[0], tip[1], max(span * 0.3, 5.0), 0, 2 * math.pi)
    set_col(ctx, b["tip"])
    ctx.fill()
    ctx.restore()


def _bird(kind, beat, cx, cy, size=1.0):
    """A bird drawn facing left (head at the left); the caller mirrors it."""
    b = dict(BIRDS[kind])
    b["length"] *= size
    b["span"] *= size
    lift = BEATS[beat]

    def draw(ctx):
        L = b["length"]
        _wing(ctx, b, cx + 2, cy - 2, lift * 0.9, True)
        # tail
        ctx.move_to(cx + L * 0.35, cy - 2)
        if b["tail"] == "fork":
            ctx.line_to(cx + L * 1.05, cy - 6)
            ctx.line_to(cx + L * 0.75, cy)
            ctx.line_to(cx + L * 1.05, cy + 5)
        else:
            ctx.line_to(cx + L * 0.75, cy - 4)
            ctx.line_to(cx + L * 0.78, cy + 4)
        ctx.line_to(cx + L * 0.35, cy + 3)
        ctx.close_path()
        fill_stroke(ctx, b["wing"], shade(b["wing"], -0.55), 0.8)
        if "legs" in b:
            set_col(ctx, b["legs"])
            ctx.set_line_width(1.6)
            ctx.move_to(cx + L * 0.3, cy + 2)
            ctx.line_to(cx + L * 1.1, cy + 5)
            ctx.stroke()
        # body and head
        ctx.save()
        ctx.translate(cx, cy)
        ctx.scale(L * 0.5, L * 0.17)
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.restore()
        fill_stroke(ctx, b["body"], shade(b["body"], -0.5), 0.8)
        hx = cx - L * 0.52
        neck = 0.22 if kind != 7 else 0.45
        if kind == 7:
            set_col(ctx, b["body"])
            ctx.set_line_width(3.0)
            ctx.move_to(cx - L * 0.35, cy - 1)
            ctx.line_to(hx - L * 0.05, cy - 3)
            ctx.stroke()
            hx -= L * 0.12
        ctx.arc(hx, cy - 3, L * 0.12 + 1.2, 0, 2 * math.pi)
        fill_stroke(ctx, b.get("neck", b["body"]) if kind == 5 else b["body"], shade(b["body"], -0.5), 0.8)
        if "throat" in b:
            ctx.arc(hx + 0.5, cy - 1.5, L * 0.08, 0, 2 * math.pi)
            set_col(ctx, b["throat"])
            ctx.fill()
        if kind == 6:
            ctx.arc(hx, cy - 4.5, L * 0.12 + 0.4, math.pi, 2 * math.pi)
            set_col(ctx, b["wing"])
            ctx.fill()
        set_col(ctx, "#151518")
        ctx.arc(hx - 1.2, cy - 4, 0.9, 0, 2 * math.pi)
        ctx.fill()
        beak = L * (0.5 if kind == 7 else 0.16) * (1 + neck - 0.22)
        ctx.move_to(hx - L * 0.1, cy - 4)
        ctx.line_to(hx - L * 0.1 - beak, cy - 2.5)
        ctx.line_to(hx - L * 0.1, cy - 1.5)
        ctx.close_path()
        set_col(ctx, b["beak"])
        ctx.fill()
        _wing(ctx, b, cx, cy, lift, False)
    return draw


def _cell(kind, beat, second):
    """One bird in a 120 x 74 cell; the second bird of a pair sits a little
    higher, smaller and a beat later, so that the pair does not fly in step."""
    facing = BIRDS[kind]["facing"]
    size = 0.85 if second else 1.0
    beat = (beat + 1) % 4 if second else beat
    cy = 34 if second else 40

    def draw(ctx, layer, phase):
        if layer != "base":
            return
        if facing > 0:
            ctx.translate(CELL_W, 0)
            ctx.scale(-1, 1)
        _bird(kind, beat, 60, cy, size)(ctx)
    return draw


def bird_sheet(kind):
    w, h = BIRD_SHEET
    rgb, key = SP.blank(w, h)
    for k in range(4):
        for second, x in ((False, 0), (True, RIGHT_CELL_X)):
            r, m = SP.render(CELL_W, CELL_H, _cell(kind, k, second), 1)
            # a bird never reaches its cell's last column: the pair's frame
            # is 240 wide and cuts the right cell's last column off
            m[:, CELL_W - 1] = True
            SP.place(rgb, key, x, 75 * k, r, m)
    return rgb, key


# ------------------------------------------------------------------ headlight cones

CONE_W, CONE_H = 128, 44
YELLOW = np.array([255, 255, 0], dtype=np.uint8)
MAGENTA = np.array([255, 0, 255], dtype=np.uint8)


def cone_right():
    """The pool of light ahead of a right-moving vehicle: it starts narrow at
    the lamp (the left edge) and widens to the right over the road, fading
    with distance and at its edges through an ordered dither."""
    ys, xs = np.mgrid[0:CONE_H, 0:CONE_W].astype(np.float32)
    u = xs / (CONE_W - 1)
    top = 15.0 - 13.0 * u
    bottom = 27.0 + 16.5 * u
    centre, half = (top + bottom) / 2, (bottom - top) / 2
    v = np.abs(ys - centre) / half
    edge = np.clip((1.0 - v) / 0.45, 0.0, 1.0)
    fade = np.clip(1.25 - 1.15 * u, 0.0, 1.0)
    light = edge * fade
    lit = light > (bayer(CONE_H, CONE_W) + 0.5)
    out = np.empty((CONE_H, CONE_W, 3), dtype=np.uint8)
    out[:] = MAGENTA
    out[lit] = YELLOW
    return out


# ------------------------------------------------------------------ the family

def resources():
    out = [res("FLUG02", *PLANE_SHEET)]
    out += [res("FLUG%02d" % kind, *BIRD_SHEET) for kind in sorted(BIRDS)]
    out += [res("M_SCHEIN_WR", CONE_W, CONE_H, "any"), res("M_SCHEIN_WL", CONE_W, CONE_H, "any")]
    return out


def _write_two_colour(path, rgb):
    """Only the two exact colours: no palette reduction may blend them."""
    idx = np.where(np.all(rgb == YELLOW, axis=-1), 1, 0).astype(np.uint8)
    pal = np.zeros((256, 3), dtype=np.uint8)
    pal[0], pal[1] = MAGENTA, YELLOW
    with open(path, "wb") as f:
        f.write(io.bmp8_bytes(idx, pal))


def build(outdir):
    io.write_bmp8(os.path.join(outdir, "FLUG02.bmp"), *plane_sheet())
    for kind in sorted(BIRDS):
        io.write_bmp8(os.path.join(outdir, "FLUG%02d.bmp" % kind), *bird_sheet(kind))
    right = cone_right()
    _write_two_colour(os.path.join(outdir, "M_SCHEIN_WR.bmp"), right)
    _write_two_colour(os.path.join(outdir, "M_SCHEIN_WL.bmp"), right[:, ::-1])
