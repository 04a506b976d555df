"""Figure 70, the bus: three liveries of local firms with an advert panel of
their own, two wheel strips with the wheels turned on, three drivers and the
faces of figures 1 to 23 for its windows, and the templates the lettering
lays over a user's picture ("BUS_HELL", "BUS_DUNKEL", "BUS_01".."BUS_03").

The bus faces left (it drives leftwards), its front at x = 0. Its windows are
holes in the key colour: what is drawn behind them (a face frame at the
window's offset, or nothing) shows through. Every face and driver frame holds
pixels only inside its own window, so a face frame that reaches over the next
window (frames are 56 wide, windows 37 apart) never shows in it."""
import math

import cairo

from .. import imageio as io
from .. import lighting as L
from .. import sprite as SP
from ..canvas import FONT_SANS, FONT_SERIF, box, fill_stroke, fit_text, rounded_rect, set_col, shade
from ..figure import Figure, Look, Pose
from ..frametables import Entry, header
from ..people import LOOKS
from ..resources import TT, res
from . import _lettered as LT

BODY_W, BODY_H = 312, 113
SHEET_W = 680
SHEET_H = {1: 671, 2: 670, 3: 670}

LIVERY_AT = [(0, 0), (0, 555), (350, 555)]
WHEEL_AT = [(0, 114), (0, 153)]
WHEEL_ROWS = (75, 38)                   # the body's rows under the wheel strips
FACE_X_LOW = [1, 57, 113, 169, 225, 281, 337, 394, 451, 508]
FACE_X_HIGH = [1, 57, 113, 169, 225, 281, 337, 393, 449, 505]

# Windows, in the body's coordinates: the driver's and six passengers'.
DRIVER_AT = (15, 23)
SLOT_AT = [(46 + 37 * k, 23) for k in range(6)]
WINDOW_TOP, WINDOW_BOTTOM = 26, 60      # glass rows
DRIVER_HOLE = (17, 45)                  # glass columns
SLOT_HOLE = (2, 35)                     # glass columns from a slot's offset
WHEELS = (58, 254)                      # wheel centres
WHEEL_R = 14.5
WHEEL_CY = BODY_H - 1 - WHEEL_R
PANEL = (82, 66, 148, 32)               # the advert panel: x, y, w, h

FIRST_WHEEL, FIRST_DRIVER, FIRST_FACE = 3, 5, 17


def face_rect(f, v):
    if f <= 10:
        return FACE_X_LOW[f - 1], 196 + 49 * v, 56, 47
    if f <= 20:
        return FACE_X_HIGH[f - 11], 392 + 39 * v, 56, 37
    if f == 21:
        return 565, 196 + 49 * v, 56, 37
    return (561 if f == 22 else 617), 392 + 39 * v, 56, 37


def entries():
    out = [Entry(i, x, y, BODY_W, BODY_H, "livery %d" % i) for i, (x, y) in enumerate(LIVERY_AT)]
    out += [Entry(FIRST_WHEEL + i, x, y, BODY_W, 38, "wheel strip %d" % (i + 1)) for i, (x, y) in enumerate(WHEEL_AT)]
    for d in range(3):
        for v in range(4):
            out.append(Entry(FIRST_DRIVER + 4 * d + v, 374 + 49 * v, 52 * d, 48, 51, "driver %d, variant %d" % (d, v)))
    for f in range(1, 24):
        for v in range(4):
            out.append(Entry(FIRST_FACE + 4 * (f - 1) + v, *face_rect(f, v), "face of figure %d, variant %d" % (f, v)))
    return out


# ------------------------------------------------------------------ liveries

LIVERIES = [
    dict(name="Bäckerei Krume", body="#f3e4c4", band="#8a4a22", skirt="#6a3a1c", trim="#d8b070",
         panel="#fff6e0", text="#7a3a16", slogan="frisch seit 1921"),
    dict(name="Stadtwerke Wendelby", body="#2f6fb0", band="#f2f2f2", skirt="#1f4a7a", trim="#9cc4e8",
         panel="#f4f8fc", text="#1f4a7a", slogan="Strom · Wasser · Bus"),
    dict(name="Café Lindenblatt", body="#5a9a5a", band="#f2e6c8", skirt="#3a6a3a", trim="#c8e0b0",
         panel="#fbf3dc", text="#3a5a2a", slogan="Torten & Kaffee"),
]

OUTLINE = 0.9


def _body_path(ctx):
    ctx.new_path()
    ctx.move_to(2, 104)
    ctx.line_to(2, 20)
    ctx.curve_to(2, 9, 6, 5, 16, 5)
    ctx.line_to(300, 5)
    ctx.curve_to(306, 5, 310, 9, 310, 15)
    ctx.line_to(310, 104)
    ctx.close_path()


def _window_holes(ctx):
    """The glass of the driver's and the passengers' windows as one path."""
    ctx.new_path()
    rounded_rect(ctx, DRIVER_HOLE[0], WINDOW_TOP, DRIVER_HOLE[1] - DRIVER_HOLE[0], WINDOW_BOTTOM - WINDOW_TOP, 2)
    for sx, _ in SLOT_AT:
        rounded_rect(ctx, sx + SLOT_HOLE[0], WINDOW_TOP, SLOT_HOLE[1] - SLOT_HOLE[0], WINDOW_BOTTOM - WINDOW_TOP, 2)


def _wheel(ctx, cx, turn):
    cy = WHEEL_CY
    ctx.arc(cx, cy, WHEEL_R, 0, 2 * math.pi)
    fill_stroke(ctx, "#26262a", "#151518", OUTLINE)
    ctx.arc(cx, cy, WHEEL_R * 0.6, 0, 2 * math.pi)
    fill_stroke(ctx, "#c4c8d0", "#5c6068", 0.8)
    set_col(ctx, "#4c5058")
    ctx.set_line_width(1.6)
    for k in range(5):
        a = math.radians(turn + k * 72)
        ctx.move_to(cx + math.cos(a) * WHEEL_R * 0.16, cy + math.sin(a) * WHEEL_R * 0.16)
        ctx.line_to(cx + math.cos(a) * WHEEL_R * 0.56, cy + math.sin(a) * WHEEL_R * 0.56)
    ctx.stroke()
    ctx.arc(cx, cy, WHEEL_R * 0.15, 0, 2 * math.pi)
    set_col(ctx, "#eef0f4")
    ctx.fill()


def _wheels(ctx, turn):
    for cx in WHEELS:
        _wheel(ctx, cx, turn)


def _shell(ctx, lv):
    """Body, band, skirt, front and rear, doors: everything but the panel."""
    _body_path(ctx)
    fill_stroke(ctx, lv["body"], shade(lv["body"], -0.55), OUTLINE)
    # roof cap and a light edge along the roof
    box(ctx, 20, 2, 270, 4, shade(lv["body"], -0.15), shade(lv["body"], -0.55), 0.7, r=1.5)
    set_col(ctx, shade(lv["body"], 0.45))
    ctx.rectangle(8, 7, 298, 1.2)
    ctx.fill()
    # the window band
    box(ctx, 3, 22, 306, 42, lv["band"], None, 0)
    # the skirt with the wheel arches
    box(ctx, 3, 100, 306, 5, lv["skirt"], shade(lv["skirt"], -0.5), 0.7)
    for cx in WHEELS:
        set_col(ctx, "#1c1c20")
        ctx.arc(cx, WHEEL_CY, WHEEL_R + 2.5, math.pi, 2 * math.pi)
        ctx.line_to(cx + WHEEL_R + 2.5, 106)
        ctx.line_to(cx - WHEEL_R - 2.5, 106)
        ctx.close_path()
        ctx.fill()
    # the windscreen and the destination sign at the front
    box(ctx, 3.5, 10, 11, 52, "#5f7f9a", shade("#5f7f9a", -0.5), 0.8, r=2)
    set_col(ctx, "#ffffff", 0.35)
    ctx.move_to(6, 12)
    ctx.line_to(10, 12)
    ctx.line_to(6, 30)
    ctx.close_path()
    ctx.fill()
    box(ctx, 20, 10, 60, 9, "#1a1a1a", "#0c0c0c", 0.6, r=1)
    fit_text(ctx, "27 Markt", 50, 14.6, 54, 7, "#ffb030", FONT_SANS)
    # front door under the windscreen, rear door behind the last window
    box(ctx, 3.5, 64, 11, 38, shade(lv["body"], -0.12), shade(lv["body"], -0.55), 0.7, r=1)
    box(ctx, 272, 22, 22, 80, "#5f7f9a", shade(lv["body"], -0.55), 0.8, r=2)
    set_col(ctx, shade(lv["body"], -0.55))
    ctx.set_line_width(0.8)
    ctx.move_to(283, 22)
    ctx.line_to(283, 102)
    ctx.stroke()
    box(ctx, 297, 24, 10, 26, "#4a5a6a", shade(lv["body"], -0.55), 0.7, r=2)
    # lamps: the front lamp leads, the rear lamp red
    box(ctx, 2.5, 88, 4, 6, "#f6f0d0", "#7a7a70", 0.6)
    box(ctx, 306, 86, 3.5, 8, "#c0302a", "#6a1a16", 0.6)
    # the window frames around the holes
    _window_holes(ctx)
    set_col(ctx, shade(lv["band"], -0.5))
    ctx.set_line_width(1.4)
    ctx.stroke()


def _panel(ctx, lv, k):
    x, y, w, h = PANEL
    box(ctx, x, y, w, h, lv["panel"], shade(lv["text"], -0.2), 1.0, r=2)
    if k == 0:
        # a loaf and a pretzel
        ctx.save()
        ctx.translate(x + 17, y + h / 2)
        ctx.scale(1.0, 0.62)
        ctx.arc(0, 0, 10, 0, 2 * math.pi)
        ctx.restore()
        fill_stroke(ctx, "#c8843a", "#7a4a1a", 0.8)
        set_col(ctx, "#7a4a1a")
        ctx.set_line_width(0.8)
        for d in (-4, 0, 4):
            ctx.move_to(x + 13 + d, y + h / 2 - 4)
            ctx.line_to(x + 17 + d, y + h / 2 + 3)
        ctx.stroke()
        fit_text(ctx, lv["name"], x + 84, y + 12, 104, 13, lv["text"], FONT_SERIF)
    elif k == 1:
        # a drop and a lightning bolt
        ctx.move_to(x + 12, y + 7)
        ctx.curve_to(x + 17, y + 15, x + 19, y + 19, x + 12, y + 25)
        ctx.curve_to(x + 5, y + 19, x + 7, y + 15, x + 12, y + 7)
        fill_stroke(ctx, "#3a9ad8", "#1f4a7a", 0.8)
        ctx.move_to(x + 27, y + 6)
        ctx.line_to(x + 21, y + 17)
        ctx.line_to(x + 26, y + 17)
        ctx.line_to(x + 22, y + 27)
        ctx.line_to(x + 31, y + 13)
        ctx.line_to(x + 26, y + 13)
        ctx.close_path()
        fill_stroke(ctx, "#f2c230", "#8a6a10", 0.8)
        fit_text(ctx, lv["name"], x + 88, y + 12, 110, 12, lv["text"], FONT_SANS)
    else:
        # a cup with steam and a linden leaf
        box(ctx, x + 6, y + 13, 14, 12, "#ffffff", "#5a4a3a", 0.8, r=2)
        set_col(ctx, "#8a6a4a")
        ctx.set_line_width(0.8)
        for d in (0, 5):
            ctx.move_to(x + 10 + d, y + 11)
            ctx.curve_to(x + 8 + d, y + 8, x + 12 + d, y + 7, x + 10 + d, y + 4)
        ctx.stroke()
        ctx.move_to(x + 28, y + 24)
        ctx.curve_to(x + 22, y + 16, x + 26, y + 8, x + 34, y + 8)
        ctx.curve_to(x + 35, y + 16, x + 32, y + 22, x + 28, y + 24)
        fill_stroke(ctx, "#6aa84a", "#3a6a2a", 0.8)
        fit_text(ctx, lv["name"], x + 88, y + 12, 106, 13, lv["text"], FONT_SERIF, italic=True)
    fit_text(ctx, lv["slogan"], x + 88, y + 25, 100, 8, shade(lv["text"], 0.1), FONT_SANS, bold=False)


def _livery(k, turn=0.0):
    def draw(ctx, layer, phase):
        if layer != "base":
            return
        lv = LIVERIES[k]
        _shell(ctx, lv)
        _panel(ctx, lv, k)
        _wheels(ctx, turn)
        # the glass is cut out last: the windows are holes of the key colour
        _window_holes(ctx)
        ctx.set_operator(cairo.OPERATOR_CLEAR)
        ctx.fill()
        ctx.set_operator(cairo.OPERATOR_OVER)
    return draw


def _wheel_strip(turn):
    """Only the wheels: drawn over any livery, it changes nothing else."""
    def draw(ctx, layer, phase):
        if layer != "base":
            return
        ctx.translate(0, -WHEEL_ROWS[0])
        _wheels(ctx, turn)
    return draw


# ------------------------------------------------------------------ people in the windows

VARIANTS = [
    dict(head="side", head_facing=-1),           # looks ahead, the way the bus drives
    dict(head="front"),
    dict(head="side", head_facing=1),            # looks back
    dict(head="front", mouth="smile"),
]

DRIVERS = [
    Look(height=78, hair="#3a2a20", hair_style="short", skin="#e9b894", top="#2a4a7a", top_kind="shirt",
         collar="#e8e8e8", hat="cap", hat_colour="#1f2f4a", beard="#3a2a20"),
    Look(female=True, height=75, hair="#b8742e", hair_style="bun", skin="#f3cdb0", top="#2a4a7a",
         top_kind="shirt", collar="#e8e8e8", glasses=True),
    Look(height=79, hair="#d0d0d0", hair_style="short", skin="#c08a64", top="#2a4a7a", top_kind="jacket",
         hat="cap", hat_colour="#1f2f4a", glasses=True),
]

INTERIOR = "#44505e"


def _person_in_window(look, variant, hole_x0, hole_x1, top, bottom):
    def draw(ctx, layer, phase):
        if layer != "base":
            return
        rounded_rect(ctx, hole_x0, top, hole_x1 - hole_x0, bottom - top, 2)
        ctx.clip()
        set_col(ctx, INTERIOR)
        ctx.paint()
        # the seat backs in front of the window's foot
        set_col(ctx, "#6a3a3a")
        ctx.rectangle(hole_x0, bottom - 6, hole_x1 - hole_x0, 6)
        ctx.fill()
        fig = Figure(look)
        pose = Pose(view="front", near_arm=(5, 0), far_arm=(5, 0), lean=0, ground=False, **VARIANTS[variant])
        cx = (hole_x0 + hole_x1) / 2.0
        ctx.translate(cx, top + 3 + look.height * 0.99)
        fig.draw(ctx, pose, 0, 0)
    return draw


def _face_picture(f, v, w, h, tt):
    oy = DRIVER_AT[1]
    return SP.render(w, h, _person_in_window(LOOKS[f], v, SLOT_HOLE[0], SLOT_HOLE[1], WINDOW_TOP - oy,
                                             WINDOW_BOTTOM - oy), tt)


def _driver_picture(d, v, tt):
    ox, oy = DRIVER_AT
    return SP.render(48, 51, _person_in_window(DRIVERS[d], v, DRIVER_HOLE[0] - ox, DRIVER_HOLE[1] - ox,
                                               WINDOW_TOP - oy, WINDOW_BOTTOM - oy), tt)


def sheet(tt):
    rgb, key = SP.blank(SHEET_W, SHEET_H[tt])
    for k, (x, y) in enumerate(LIVERY_AT):
        SP.place(rgb, key, x, y, *SP.render(BODY_W, BODY_H, _livery(k), tt))
    for i, (x, y) in enumerate(WHEEL_AT):
        SP.place(rgb, key, x, y, *SP.render(BODY_W, WHEEL_ROWS[1], _wheel_strip(24.0 * (i + 1)), tt))
    for d in range(3):
        for v in range(4):
            SP.place(rgb, key, 374 + 49 * v, 52 * d, *_driver_picture(d, v, tt))
    for f in range(1, 24):
        for v in range(4):
            x, y, w, h = face_rect(f, v)
            r, k = _face_picture(f, v, w, h, tt)
            # neighbouring face frames may share columns: only a frame's own
            # window area is written
            sub_r, sub_k = rgb[y:y + h, x:x + w], key[y:y + h, x:x + w]
            sub_r[~k] = r[~k]
            sub_k &= k
    return rgb, key


# ------------------------------------------------------------------ lettering templates

def _frame_template(tt):
    """The body of livery 0 in the phase's light, its panel pure green, the
    windows and the outside the key colour."""
    rgb, key = SP.render(BODY_W, BODY_H, _livery(0), tt)
    out = io.push_from_key(rgb)
    out[key] = LT.MAGENTA
    out[LT.area_mask(BODY_W, BODY_H, PANEL, 1)] = LT.GREEN
    return out


def _shading_template(light):
    """Green everywhere but the panel, where the light or the shadow lies."""
    return LT.shading_template(BODY_W, BODY_H, PANEL, 1, light, 70, 0.6)


# ------------------------------------------------------------------ the family

def _name(tt):
    return "FIG070_%02d_00" % tt


def resources():
    return [res(_name(tt), SHEET_W, SHEET_H[tt]) for tt in TT] + LT.resources("BUS", BODY_W, BODY_H)


def build(outdir):
    LT.build(outdir, _name, sheet, "BUS", _frame_template, _shading_template)


def frame_headers():
    sheets = [("FIG070_tt_00", SHEET_W, SHEET_H[1], "671 rows by day, 670 at dusk and night")]
    extra = LT.entry_constants(70, "figure", FIRST_WHEEL, FIRST_DRIVER, FIRST_FACE)
    return [header(70, "bus", sheets, BODY_W, BODY_H, entries(), extra)]
