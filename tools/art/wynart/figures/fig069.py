"""Figure 69: the weather presenter beside the weather sign, seen from the
waist up, in five short scenes of 20 frames (points at the sign, opens an
umbrella, waves, fans herself in the heat, shivers in her scarf). Each scene
is an extra sheet "FIG069_01_vv" of 5 x 4 frames of 81 x 54 at (82 c, 55 r);
her own sheet is a placeholder that is loaded but never drawn."""
import math
import os

from .. import imageio as io
from .. import sprite as SP
from ..canvas import box, set_col, shade
from ..figure import Figure, Look, Pose
from ..frametables import Entry, header
from ..resources import TT, res

FRAME_W, FRAME_H = 81, 54
CELL_W, CELL_H = 82, 55
SHEET = (5 * CELL_W - 1, 4 * CELL_H - 1)   # 409 x 219
FRAMES = 20
PRESENTER = Look(female=True, height=76, hair="#3a2418", hair_style="bob", skin="#eec39e", top="#2a6aa8",
                 top_kind="jacket", bottom="#2a2a3a", scarf=None)
WINTER = Look(female=True, height=76, hair="#3a2418", hair_style="bob", skin="#eec39e", top="#2a6aa8",
              top_kind="coat", bottom="#2a2a3a", scarf="#c8402a", hat="beanie", hat_colour="#c8402a")


def _ease(k):
    """0 -> 1 -> 0 over the scene: the gesture rises, holds, settles."""
    t = k / float(FRAMES - 1)
    return math.sin(math.pi * t) ** 0.6


def _pose(variant, k):
    e = _ease(k)
    wob = math.sin(k * 1.3)
    if variant == 1:      # points at the sign on her left
        return Pose(view="front", lean=0, near_arm=(8, 6), far_arm=(20 + 80 * e, 10), head="side",
                    head_facing=-1 if e > 0.5 else 1, mouth="open" if k % 4 < 2 else "smile")
    if variant == 2:      # opens an umbrella
        return Pose(view="front", lean=0, near_arm=(40 + 100 * e, 60), far_arm=(8, 6), mouth="o", neck=-6 * e)
    if variant == 3:      # waves
        return Pose(view="front", lean=0, near_arm=(150, 30 + 40 * wob * e), far_arm=(8, 6), mouth="smile")
    if variant == 4:      # fans herself
        return Pose(view="front", lean=0, near_arm=(60 + 25 * wob, 120), far_arm=(8, 6), eyes="closed" if e > 0.6
                    else "open", mouth="smile")
    return Pose(view="front", lean=0, near_arm=(20 + 6 * wob, 150), far_arm=(20 - 6 * wob, 150), mouth="frown",
                dx=1.2 * wob)


def _umbrella(ctx, k):
    e = _ease(k)
    if e < 0.15:
        return
    cx, cy, r = 24, 12 - 6 * e, 8 + 16 * e
    ctx.move_to(cx - r, cy + 4)
    ctx.curve_to(cx - r, cy - r * 0.6, cx + r, cy - r * 0.6, cx + r, cy + 4)
    ctx.close_path()
    set_col(ctx, "#c8402a")
    ctx.fill_preserve()
    set_col(ctx, shade("#c8402a", -0.45))
    ctx.set_line_width(0.8)
    ctx.stroke()


def _fan(ctx, k):
    a = math.sin(k * 1.3) * 0.5
    ctx.save()
    ctx.translate(28, 18)
    ctx.rotate(a)
    ctx.move_to(0, 0)
    ctx.arc(0, 0, 9, -2.4, -0.7)
    ctx.close_path()
    set_col(ctx, "#f0d060")
    ctx.fill_preserve()
    set_col(ctx, shade("#f0d060", -0.5))
    ctx.set_line_width(0.7)
    ctx.stroke()
    ctx.restore()


def _frame(variant, k):
    def draw(ctx, layer, phase):
        if layer != "base":
            return
        look = WINTER if variant == 5 else PRESENTER
        # waist-up: her feet stand below the frame
        Figure(look).draw(ctx, _pose(variant, k), 40, FRAME_H + 34)
        if variant == 2:
            _umbrella(ctx, k)
        if variant == 4:
            _fan(ctx, k)
    return draw


def _cell(k):
    return CELL_W * (k % 5), CELL_H * (k // 5)


def sheet(variant):
    rgb, key = SP.blank(*SHEET)
    for k in range(FRAMES):
        SP.place(rgb, key, *_cell(k), *SP.render(FRAME_W, FRAME_H, _frame(variant, k), 1))
    return rgb, key


def _placeholder(ctx, layer, phase):
    if layer == "base":
        box(ctx, 1, 1, 6, 4, PRESENTER.top, shade(PRESENTER.top, -0.5), 0.6)


def resources():
    out = [res("FIG069_%02d_00" % tt, 8, 6) for tt in TT]
    out += [res("FIG069_01_%02d" % v, *SHEET) for v in range(1, 6)]
    return out


def build(outdir):
    for tt in TT:
        io.write_bmp8(os.path.join(outdir, "FIG069_%02d_00.bmp" % tt), *SP.render(8, 6, _placeholder, tt))
    for v in range(1, 6):
        io.write_bmp8(os.path.join(outdir, "FIG069_01_%02d.bmp" % v), *sheet(v))


def frame_headers():
    entries = [Entry(k, *_cell(k), FRAME_W, FRAME_H, "scene frame %d" % k) for k in range(FRAMES)]
    return [header(69, "weather presenter", [("FIG069_01_01 .. _05", SHEET[0], SHEET[1], "one scene each")],
                   FRAME_W, FRAME_H, entries)]
