"""Figure 55: the baker's wife at door 1 of the left house. She comes out on
the step and, with her hook pole, pulls the shutters of the bakery's shop
window shut at dusk or folds them back open in the morning. The same person
as figure 58. Her frames are drawn at the scene point (91, 9), picture
(91, 685): door 1's doorway lies at frame (8, 8), the shutters' place at
frame (66, 0).

The frame table is the script's, copied exactly; the same sheet holds the
two pictures the script paints into the background: the closed shutters
(as the screen's "FENSTERLADEN" draws them) and the open window, which is
the summer background there, for she has no winter sheet.
"""
import math
import os

import numpy as np

from .. import geometry as G
from .. import imageio as io
from .. import lighting as L
from .. import sprite as SP
from .. import street as S
from ..canvas import box, set_col, shade
from ..figure import Figure, Look, stand
from ..frametables import Entry, header
from ..resources import TT, res
from ..scenefam import closed_shutters

SHEET = (918, 623)
FRAME_H = 103
CLOSED = (0, 416, 120, 81)
OPEN = (798, 416, 120, 81)
ORIGIN = (91, 685)                  # the frames' corner in the picture
GROUND = 96                         # her feet on the door step (FootLine 105 at Y 9)
LOOK = Look(female=True, height=72, build=1.05, hair="#8a8a8a", hair_style="bun", skin="#f0c8a8", top="#7a4a8a",
            top_kind="dress", bottom="#7a4a8a", bottom_kind="skirt", legs="#d8b8a0")
APRON = "#f4f0e6"
POLE = "#6a4a2a"


def _rects():
    """The 58 entries, in the script's rows."""
    out = [(65 * i, 0, 64) for i in range(14)] + [(65 * i, 104, 64) for i in range(14)]
    out += list(zip((0, 73, 146, 235, 324, 429, 534, 655, 776), [208] * 9, (72, 72, 88, 88, 104, 104, 120, 120, 136)))
    out += list(zip((0, 137, 330, 523, 716), [312] * 5, (136, 184, 184, 184, 184)))
    out += list(zip((121, 266, 411, 548, 677), [416] * 5, (144, 144, 136, 128, 120)))
    out += list(zip((0, 113, 218, 323, 412, 493, 574, 639, 704, 769, 834), [520] * 11,
                    (112, 104, 96, 88, 80, 80, 64, 64, 64, 64, 64)))
    return [(x, y, w, FRAME_H) for x, y, w in out]


RECTS = _rects()


def _door(k):
    """How far the door leaf stands open in frame k (0 shut, 1 open)."""
    if k < 6:
        return k / 5.0
    if k > 51:
        return (57 - k) / 6.0
    return 1.0


def _leaves(k):
    """How far each shutter leaf has swung shut in frame k (0 folded back,
    1 over the glass), for the swinging frames 37 to 41."""
    if 37 <= k <= 41:
        t = (k - 36) / 5.0
        return min(1.0, t * 1.6), max(0.0, t * 1.6 - 0.6)
    return None


def _act(k):
    """Her place, her pose and where the pole's hook is, frame by frame."""
    if k < 14:      # the door opens, she steps into the doorway and looks about
        heads = ("front", "front", "side", "front", "side", "front")
        return 28, stand(view="front", head=heads[k % 6], head_facing=1, mouth="smile" if k > 9 else "none"), None
    if k < 28:      # onto the step, turning towards the window, the pole in hand
        t = (k - 14) / 13.0
        return 28 + 6 * t, stand(view="side", facing=1, near_arm=(20 + 30 * t, 20)), (48 + 10 * t, 40 - 6 * t)
    if k < 47:      # reaching out with the pole; 37..41 pull the leaves over
        reach = {36: 128, 37: 120, 38: 150, 39: 160, 40: 172, 41: 176, 42: 130, 43: 118, 44: 104, 45: 92, 46: 80}
        tip = reach.get(k, 60 + 8 * (k - 28))
        return 36, stand(view="side", facing=1, lean=8, near_arm=(80 + (k % 3), 8), far_arm=(30, 30)), (tip, 30)
    t = (k - 47) / 10.0
    return 34 - 6 * t, stand(view="back" if k > 50 else "side", facing=-1, near_arm=(20, 20)), None


def _frame(k, w):
    dx, dy, dw, dh = (G.DOORS[1].x - ORIGIN[0], G.DOORS[1].y - ORIGIN[1], G.DOORS[1].w, G.DOORS[1].h - 3)

    def draw(ctx, layer, phase):
        if layer != "base":
            return
        # the hall behind door 1 and its leaf swinging in
        opening = _door(k)
        set_col(ctx, "#2a211b")
        ctx.rectangle(dx, dy, dw, dh)
        ctx.fill()
        lw = max(3.0, (dw - 2) * (1.0 - 0.85 * opening))
        box(ctx, dx + 1, dy + 1, lw, dh - 1, shade("#2f6b45", -0.3 * opening), shade("#2f6b45", -0.5), 1)
        leaves = _leaves(k)
        if leaves:
            _swinging(ctx, leaves)
        if 3 <= k <= 54:
            hx, pose, hook = _act(k)
            person = Figure(LOOK)
            ctx.save()
            if k < 6 or k > 51:
                ctx.rectangle(dx, dy - 12, dw, dh + 12)
                ctx.clip()
            person.draw(ctx, pose, hx, GROUND)
            _apron(ctx, person, pose, hx)
            ctx.restore()
            if hook:
                hand = person.skeleton(pose)["arms"]["near"]["hand"]
                _pole(ctx, (hx + hand[0], GROUND + hand[1]), (min(hook[0], w - 4), hook[1]))
    return draw


def _apron(ctx, person, pose, hx):
    if pose.view == "back":
        return
    sk = person.skeleton(pose)
    x, y = hx + sk["hip"][0], GROUND + sk["hip"][1]
    set_col(ctx, APRON)
    ctx.rectangle(x - 5, y - 10, 10, 22)
    ctx.fill()


def _pole(ctx, hand, tip):
    set_col(ctx, POLE)
    ctx.set_line_width(1.4)
    ctx.move_to(*hand)
    ctx.line_to(*tip)
    ctx.stroke()
    ctx.set_line_width(1.0)
    ctx.arc(tip[0] + 1.5, tip[1], 1.8, math.pi, 2.5 * math.pi)
    ctx.stroke()


def _swinging(ctx, leaves):
    """The two leaves on their way over the glass (hinges at the window's
    sides), drawn as panels that widen as they swing shut."""
    l4 = G.LIGHT_BY_N[4].dst
    left, right = l4.x - ORIGIN[0], l4.x + l4.w - ORIGIN[0]
    top, h = 693 - ORIGIN[1] - 2, G.BAKERY_GLASS_H + 4
    half = l4.w / 2.0
    for t, hinge, sign in ((leaves[0], left, 1), (leaves[1], right, -1)):
        width = 9 + (half + 1 - 9) * t
        x = hinge if sign > 0 else hinge - width
        colour = shade("#3f6b4f", -0.25 * (1 - t))
        box(ctx, x, top, width, h, colour, "#24402f", 0.8)
        set_col(ctx, shade(colour, -0.2))
        for j in range(int(h // 8)):
            ctx.rectangle(x + 1.5, top + 4 + j * 8, max(1.0, width - 3), 1.5)
        ctx.fill()


def _background(layers, phase):
    """The summer background of the phase, with every light off."""
    st, day = layers
    return S.phase_picture(st, day, phase)


def sheet(phase, bg):
    rgb, key = SP.blank(*SHEET)
    for k, (x, y, w, h) in enumerate(RECTS):
        SP.place(rgb, key, x, y, *SP.render(w, h, _frame(k, w), phase))
    cr, ck = closed_shutters(phase, bg)
    SP.place(rgb, key, CLOSED[0], CLOSED[1], cr, ck)
    sx, sy = G.SHUTTER_POS
    open_rgb = bg[sy:sy + CLOSED[3], sx:sx + CLOSED[2]]
    SP.place(rgb, key, OPEN[0], OPEN[1], open_rgb, np.zeros(open_rgb.shape[:2], dtype=bool))
    return rgb, key


def resources():
    return [res("FIG055_%02d_00" % tt, *SHEET) for tt in TT]


def build(outdir):
    layers = S.render_layers(1, rails=False)
    for tt in TT:
        rgb, key = sheet(tt, _background(layers, tt))
        io.write_bmp8(os.path.join(outdir, "FIG055_%02d_00.bmp" % tt), rgb, key)


def frame_headers():
    what = ["comes to the door, %d" % k for k in range(14)] + ["steps out with the pole, %d" % k for k in range(14)]
    what += ["reaches for the shutters, %d" % k for k in range(9)] + ["swings the leaves, %d" % k for k in range(5)]
    what += ["draws the pole back, %d" % k for k in range(5)] + ["goes back in, %d" % k for k in range(11)]
    entries = [Entry(k, x, y, w, h, what[k]) for k, (x, y, w, h) in enumerate(RECTS)]
    extra = ["// The two pictures the script paints into the background, 120 x 81 each.",
             "inline constexpr FrameEntry kFig055ShuttersClosed = {%d, %d, %d, %d};" % CLOSED,
             "inline constexpr FrameEntry kFig055ShuttersOpen = {%d, %d, %d, %d};" % OPEN]
    return [header(55, "baker's wife closing and opening the shutters", [("FIG055_tt_00", SHEET[0], SHEET[1], "")],
                   184, FRAME_H, entries, extra=extra)]
