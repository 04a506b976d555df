"""Figure 72, the tram: a long low-floor car in the town's cream and red with
an ice-cream advert wrapped round its windows, two wheel strips, two drivers
and forty passengers of its own for its ten side windows, and the templates
the lettering lays over a user's picture ("SBAHN_HELL", "SBAHN_DUNKEL",
"SBAHN_01".."SBAHN_03").

The tram drives rightwards, its front on the right. The body is drawn inside
columns 0..887 only (888..895 stay key), because the lettered body is a
picture 888 wide and must look the same. Windows are holes of the key colour:
the face frames drawn behind them show through."""
import math
import random

import cairo
import numpy as np

from .. import geometry as G
from .. import imageio as io
from .. import sprite as SP
from ..canvas import FONT_SANS, FONT_SERIF, box, fill_stroke, fit_text, rounded_rect, set_col, shade
from ..figure import Figure, Look, Pose
from ..frametables import Entry, header
from ..resources import TT, res
from . import _lettered as LT

BODY_W, BODY_H = 896, 185
LETTER_W, LETTER_H = G.LETTER_TRAM      # the lettered body
DRAWN_W = LETTER_W
SHEET_W, SHEET_H = 920, 590

WHEEL_AT = [(0, 196), (0, 218)]
WHEEL_H = 12
WHEEL_ROW = 174                      # where a wheel strip lies on the body
DRIVER_Y = [245, 288, 330, 372, 414, 458, 498, 540]
DRIVER_W, DRIVER_H = 16, 34
FACE_W, FACE_H = 40, 35
FACES = 40

# Windows in the body's coordinates: the driver's and ten passengers'.
DRIVER_AT = (851, 92)
WINDOW_X = [746, 700, 654, 548, 472, 366, 290, 184, 138, 92]
WINDOW_Y = 92
GLASS = (3, 2, 34, 32)               # x, y, w, h of the glass inside a face frame
DRIVER_GLASS = (1, 1, 14, 32)
# The advert band the lettering fills with the user's picture.
BAND = tuple(G.LETTER_TRAM_BAND)

ROOF_Y, SKIRT_Y = 40, 173
WHEELS = [70, 112, 300, 342, 548, 590, 770, 812]
WHEEL_R, WHEEL_CY = 8.0, 176.0
DOORS = [(603, 646), (417, 462), (237, 281), (796, 842)]

FIRST_WHEEL, FIRST_DRIVER, FIRST_FACE = 1, 3, 11

CREAM, RED, GREY = "#efe6cf", "#b8302a", "#5d6168"
OUTLINE = 0.9


def face_rect(f, v):
    return 20 + 44 * ((f - 1) // 2), 243 + 42 * (4 * ((f - 1) % 2) + v), FACE_W, FACE_H


def driver_rect(d, v):
    return 900, DRIVER_Y[4 * d + v], DRIVER_W, DRIVER_H


def entries():
    out = [Entry(0, 0, 0, BODY_W, BODY_H, "body")]
    out += [Entry(FIRST_WHEEL + i, x, y, BODY_W, WHEEL_H, "wheel strip %d" % (i + 1))
            for i, (x, y) in enumerate(WHEEL_AT)]
    for d in range(2):
        for v in range(4):
            out.append(Entry(FIRST_DRIVER + 4 * d + v, *driver_rect(d, v), "driver %d, variant %d" % (d, v)))
    for f in range(1, FACES + 1):
        for v in range(4):
            out.append(Entry(FIRST_FACE + 4 * (f - 1) + v, *face_rect(f, v), "face %d, variant %d" % (f, v)))
    return out


# ------------------------------------------------------------------ the body

def _outline_path(ctx):
    """Rear at the left, the rounded nose at the right, inside 0..887."""
    ctx.new_path()
    ctx.move_to(4, SKIRT_Y)
    ctx.line_to(4, ROOF_Y + 14)
    ctx.curve_to(4, ROOF_Y + 4, 9, ROOF_Y, 20, ROOF_Y)
    ctx.line_to(846, ROOF_Y)
    ctx.curve_to(872, ROOF_Y, 884, ROOF_Y + 22, 886, 84)
    ctx.line_to(886, SKIRT_Y)
    ctx.close_path()


def _holes(ctx):
    """The glass of the driver's and the passengers' windows as one path."""
    ctx.new_path()
    dx, dy, dw, dh = DRIVER_GLASS
    rounded_rect(ctx, DRIVER_AT[0] + dx, DRIVER_AT[1] + dy, dw, dh, 2)
    gx, gy, gw, gh = GLASS
    for wx in WINDOW_X:
        rounded_rect(ctx, wx + gx, WINDOW_Y + gy, gw, gh, 3)


def _pantograph(ctx):
    set_col(ctx, "#3a3d44")
    ctx.set_line_width(1.6)
    base = 450
    ctx.move_to(base - 26, ROOF_Y - 4)
    ctx.line_to(base + 6, 18)
    ctx.line_to(base - 14, 5)
    ctx.move_to(base + 26, ROOF_Y - 4)
    ctx.line_to(base + 6, 18)
    ctx.stroke()
    box(ctx, base - 38, 2, 52, 3.5, "#55585f", "#2a2c30", 0.7, r=1.2)
    box(ctx, base - 34, ROOF_Y - 6, 68, 6, "#7a7e86", "#3a3d44", 0.7, r=1.5)


def _roof(ctx):
    # equipment boxes and the light edge of the roof
    for x0, w in ((120, 150), (600, 130)):
        box(ctx, x0, ROOF_Y - 8, w, 8, "#c9c2b0", shade("#c9c2b0", -0.5), 0.8, r=2)
    set_col(ctx, shade(CREAM, 0.5))
    ctx.rectangle(20, ROOF_Y + 2, 826, 1.5)
    ctx.fill()


def _upper(ctx):
    # the red line under the roof and the one above the band
    box(ctx, 5, 70, 881, 5, RED, shade(RED, -0.45), 0.6)
    # the destination display and the line number at the front
    box(ctx, 770, 48, 74, 16, "#1b1b1d", "#0c0c0d", 0.7, r=2)
    fit_text(ctx, "5 Markt", 807, 56.5, 66, 10, "#ffb030", FONT_SANS)
    box(ctx, 24, 48, 24, 16, "#1b1b1d", "#0c0c0d", 0.7, r=2)
    fit_text(ctx, "5", 36, 56.5, 18, 11, "#ffb030", FONT_SANS)
    # the town's arms on the side
    ctx.move_to(430, 47)
    ctx.line_to(446, 47)
    ctx.line_to(446, 58)
    ctx.curve_to(446, 63, 438, 66, 438, 66)
    ctx.curve_to(438, 66, 430, 63, 430, 58)
    ctx.close_path()
    fill_stroke(ctx, "#2f5f9a", "#1d3a60", 0.7)
    set_col(ctx, "#f2c230")
    ctx.arc(438, 55, 3.2, 0, 2 * math.pi)
    ctx.fill()
    fit_text(ctx, "Stadtbahn Wendelby", 540, 57, 150, 11, shade(RED, -0.2), FONT_SERIF, italic=True)


def _advert(ctx):
    """The default band: an ice-cream parlour's advert over hills and sky."""
    x, y, w, h = BAND
    ctx.save()
    ctx.rectangle(x, y, w, h)
    ctx.clip()
    sky = cairo.LinearGradient(0, y, 0, y + h)
    sky.add_color_stop_rgb(0, 0.55, 0.78, 0.93)
    sky.add_color_stop_rgb(1, 0.85, 0.93, 0.97)
    ctx.set_source(sky)
    ctx.paint()
    # rolling hills along the lower part
    for colour, base, amp, period in (("#8ab85a", y + 62, 8, 190), ("#6a9a44", y + 72, 6, 130)):
        ctx.move_to(x, y + h)
        for k in range(0, w + 10, 6):
            ctx.line_to(x + k, base - amp * math.sin(k / period * 2 * math.pi))
        ctx.line_to(x + w, y + h)
        ctx.close_path()
        set_col(ctx, colour)
        ctx.fill()
    # a sun
    set_col(ctx, "#ffd84a")
    ctx.arc(x + 60, y + 56, 14, 0, 2 * math.pi)
    ctx.fill()
    # three ice-cream cones, between the windows so that they show
    for cx, scoops in ((512, ("#f4e2b8", "#d05a7a")), (330, ("#7a4a2a", "#f6f0e0")), (
            230 + 25, ("#f0a0b8",))):
        _cone(ctx, cx, y + 82, scoops)
    ctx.restore()
    # the parlour's name under the windows
    fit_text(ctx, "Eiscafé Dolomiti", 650, y + 66, 260, 22, "#7a2a3a", FONT_SERIF, italic=True)
    fit_text(ctx, "jeden Tag frisch", 650, y + 82, 160, 10, "#3a4a2a", FONT_SANS)
    fit_text(ctx, "am Markt", 200, y + 74, 120, 14, "#7a2a3a", FONT_SERIF, italic=True)


def _cone(ctx, cx, bottom, scoops):
    ctx.move_to(cx, bottom)
    ctx.line_to(cx - 8, bottom - 24)
    ctx.line_to(cx + 8, bottom - 24)
    ctx.close_path()
    fill_stroke(ctx, "#d8a050", "#8a5a22", 0.8)
    set_col(ctx, "#a8742e")
    ctx.set_line_width(0.6)
    for d in (-5, 0, 5):
        ctx.move_to(cx + d - 4, bottom - 22)
        ctx.line_to(cx + d + 3, bottom - 8)
    ctx.stroke()
    for i, c in enumerate(scoops):
        ctx.arc(cx, bottom - 28 - 11 * i, 9, 0, 2 * math.pi)
        fill_stroke(ctx, c, shade(c, -0.4), 0.8)


def _doors(ctx):
    set_col(ctx, shade(CREAM, -0.55))
    ctx.set_line_width(1.0)
    for x0, x1 in DOORS:
        rounded_rect(ctx, x0, 86, x1 - x0, SKIRT_Y - 88, 2)
        ctx.move_to((x0 + x1) / 2.0, 86)
        ctx.line_to((x0 + x1) / 2.0, SKIRT_Y - 2)
    ctx.stroke()


def _lamps(ctx):
    box(ctx, 879, 148, 6, 9, "#f6f0d0", "#7a7a70", 0.6, r=1.5)
    box(ctx, 5, 146, 5, 10, "#c0302a", "#6a1a16", 0.6, r=1.5)


def _wheel(ctx, cx, turn):
    ctx.arc(cx, WHEEL_CY, WHEEL_R, 0, 2 * math.pi)
    fill_stroke(ctx, "#2a2a2e", "#151518", OUTLINE)
    ctx.arc(cx, WHEEL_CY, WHEEL_R * 0.55, 0, 2 * math.pi)
    fill_stroke(ctx, "#9ca0a8", "#4c5058", 0.7)
    set_col(ctx, "#dfe2e8")
    ctx.set_line_width(1.4)
    for k in range(3):
        a = math.radians(turn + k * 120)
        ctx.move_to(cx, WHEEL_CY)
        ctx.line_to(cx + math.cos(a) * WHEEL_R * 0.5, WHEEL_CY + math.sin(a) * WHEEL_R * 0.5)
    ctx.stroke()


def _bogies(ctx, turn):
    for k in range(0, len(WHEELS), 2):
        a, b = WHEELS[k], WHEELS[k + 1]
        box(ctx, a - 12, SKIRT_Y - 2, b - a + 24, 6, "#3a3c42", "#1c1d20", 0.7, r=2)
        _wheel(ctx, a, turn)
        _wheel(ctx, b, turn)


def _lit_parts(ctx):
    """What shines of itself after dark: the displays and the lamps."""
    box(ctx, 770, 48, 74, 16, "#1b1b1d", "#0c0c0d", 0.7, r=2)
    fit_text(ctx, "5 Markt", 807, 56.5, 66, 10, "#ffb030", FONT_SANS)
    box(ctx, 24, 48, 24, 16, "#1b1b1d", "#0c0c0d", 0.7, r=2)
    fit_text(ctx, "5", 36, 56.5, 18, 11, "#ffb030", FONT_SANS)
    box(ctx, 879, 148, 6, 9, "#fff8d8", "#b8b090", 0.6, r=1.5)
    box(ctx, 5, 146, 5, 10, "#ff4030", "#a02018", 0.6, r=1.5)


def _body(turn=0.0, advert=True):
    def draw(ctx, layer, phase):
        if layer == "glow":
            if phase != 1:
                _lit_parts(ctx)
            return
        _pantograph(ctx)
        _bogies(ctx, turn)
        _outline_path(ctx)
        fill_stroke(ctx, CREAM, shade(CREAM, -0.6), OUTLINE)
        _roof(ctx)
        _upper(ctx)
        if advert:
            _advert(ctx)
        # the skirt under the band
        box(ctx, 5, SKIRT_Y - 2, 881, 3, RED, shade(RED, -0.45), 0.5)
        _doors(ctx)
        _lamps(ctx)
        # window frames, then the glass cut out: what lies behind shows through
        _holes(ctx)
        set_col(ctx, shade(GREY, -0.2))
        ctx.set_line_width(2.0)
        ctx.stroke()
        _holes(ctx)
        ctx.set_operator(cairo.OPERATOR_CLEAR)
        ctx.fill()
        ctx.set_operator(cairo.OPERATOR_OVER)
    return draw


def _wheel_strip(turn):
    """Only the lower wheels: drawn over the body, it turns them."""
    def draw(ctx, layer, phase):
        if layer != "base":
            return
        ctx.translate(0, -WHEEL_ROW)
        for k in range(0, len(WHEELS), 2):
            _wheel(ctx, WHEELS[k], turn)
            _wheel(ctx, WHEELS[k + 1], turn)
    return draw


# ------------------------------------------------------------------ people in the windows

VARIANTS = [
    dict(head="side", head_facing=1),            # looks ahead, the way the tram drives
    dict(head="front"),
    dict(head="side", head_facing=-1),
    dict(head="front", mouth="smile"),
]

DRIVERS = [
    Look(height=79, hair="#4a3020", hair_style="short", skin="#eab894", top="#7a2a26", top_kind="jacket",
         collar="#f0f0f0", hat="cap", hat_colour="#5a1f1c"),
    Look(female=True, height=76, hair="#2a1a10", hair_style="ponytail", skin="#c68a64", top="#7a2a26",
         top_kind="jacket", collar="#f0f0f0", glasses=True),
]

HAIR = ["#2a1a10", "#5a3a22", "#8a4322", "#c8a040", "#d8b060", "#a0a0a0", "#e0e0e0", "#1a1412", "#7a3a1a"]
SKIN = ["#f1c7a5", "#eab894", "#c68a64", "#a8714e", "#8a5a3a", "#f4d0b4", "#e0b090"]
TOPS = ["#3a8ac0", "#c8423a", "#2f9a6a", "#e08a2a", "#5a2a7a", "#d84a7a", "#4a6ab0", "#6a6a72", "#f0d040",
        "#2a3a6a", "#8a2a2a", "#7fb8e0"]
HATS = [None, None, None, "cap", "beanie", "hat", "beret"]


def passengers():
    """Forty townspeople of the tram's own, the same on every sheet."""
    rnd = random.Random(72)
    out = []
    for f in range(FACES):
        female = f % 2 == 1
        styles = ["long", "bob", "bun", "ponytail", "curly"] if female else ["short", "bald", "curly", "spiky"]
        out.append(Look(female=female, height=rnd.uniform(72, 80), hair=rnd.choice(HAIR),
                        hair_style=rnd.choice(styles), skin=rnd.choice(SKIN), top=rnd.choice(TOPS),
                        top_kind=rnd.choice(["shirt", "jacket", "sweater", "coat"]),
                        glasses=rnd.random() < 0.25, hat=rnd.choice(HATS), hat_colour=rnd.choice(TOPS),
                        beard=rnd.choice(HAIR) if not female and rnd.random() < 0.25 else None))
    return out


INTERIOR = "#4a5260"
LIT_INTERIOR = "#d9b36a"


def _person_in_window(look, variant, glass):
    """By day the car is darker than the street; after dark its lights are
    on, so the window with its passenger shines of itself."""
    gx, gy, gw, gh = glass

    def draw(ctx, layer, phase):
        if layer != ("base" if phase == 1 else "glow"):
            return
        rounded_rect(ctx, gx, gy, gw, gh, 2)
        ctx.clip()
        set_col(ctx, INTERIOR if phase == 1 else LIT_INTERIOR)
        ctx.paint()
        set_col(ctx, "#3a5a7a")
        ctx.rectangle(gx, gy + gh - 6, gw, 6)
        ctx.fill()
        pose = Pose(view="front", near_arm=(5, 0), far_arm=(5, 0), lean=0, ground=False, **VARIANTS[variant])
        ctx.translate(gx + gw / 2.0, gy + 3 + look.height * 0.99)
        Figure(look).draw(ctx, pose, 0, 0)
    return draw


def _empty_window(glass):
    gx, gy, gw, gh = glass

    def draw(ctx, layer, phase):
        if layer != "base":
            return
        rounded_rect(ctx, gx, gy, gw, gh, 2)
        set_col(ctx, INTERIOR)
        ctx.fill()
    return draw


def sheet(tt):
    rgb, key = SP.blank(SHEET_W, SHEET_H)
    SP.place(rgb, key, 0, 0, *SP.render(BODY_W, BODY_H, _body(), tt))
    for i, (x, y) in enumerate(WHEEL_AT):
        SP.place(rgb, key, x, y, *SP.render(BODY_W, WHEEL_H, _wheel_strip(40.0 * (i + 1)), tt))
    for d in range(2):
        for v in range(4):
            x, y, w, h = driver_rect(d, v)
            SP.place(rgb, key, x, y, *SP.render(w, h, _person_in_window(DRIVERS[d], v, DRIVER_GLASS), tt))
    people = passengers()
    for f in range(1, FACES + 1):
        for v in range(4):
            x, y, w, h = face_rect(f, v)
            SP.place(rgb, key, x, y, *SP.render(w, h, _person_in_window(people[f - 1], v, GLASS), tt))
    # the body never reaches into the columns the lettered body lacks
    assert key[0:BODY_H, DRAWN_W:BODY_W].all()
    return rgb, key


# ------------------------------------------------------------------ lettering templates

def _frame_template(tt):
    """The body without its advert in the phase's light: the band pure green
    (the picture shows there), windows and outside the key colour."""
    rgb, key = SP.render(BODY_W, BODY_H, _body(advert=False), tt)
    out = np.empty((LETTER_H, LETTER_W, 3), dtype=np.uint8)
    out[:] = LT.MAGENTA
    body = io.push_from_key(rgb[:, :LETTER_W])
    k = key[:, :LETTER_W]
    out[:BODY_H][~k] = body[~k]
    band = LT.area_mask(LETTER_W, LETTER_H, BAND, 0)
    band[BODY_H:] = False
    band[:BODY_H] &= ~k
    out[band] = LT.GREEN
    return out


def _shading_template(light):
    """Green everywhere but the band, where the light or the shadow lies."""
    return LT.shading_template(LETTER_W, LETTER_H, BAND, 0, light, 60, 0.7)


# ------------------------------------------------------------------ the family

def _name(tt):
    return "FIG072_%02d_00" % tt


def resources():
    return [res(_name(tt), SHEET_W, SHEET_H) for tt in TT] + LT.resources("SBAHN", LETTER_W, LETTER_H)


def build(outdir):
    LT.build(outdir, _name, sheet, "SBAHN", _frame_template, _shading_template)


def frame_headers():
    sheets = [("FIG072_tt_00", SHEET_W, SHEET_H, "")]
    extra = LT.entry_constants(72, "face", FIRST_WHEEL, FIRST_DRIVER, FIRST_FACE)
    return [header(72, "tram", sheets, BODY_W, BODY_H, entries(), extra)]
