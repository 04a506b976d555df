"""Figure 68: the visitor who calls at the doors like figure 62 (on the
residents' common layout) and, on tall screens, looks out of an attic
window of the house she is in: the extra sheets "FIG068_KA_dd" (door 1 to
3) hold 26 frames of 128 x 160, drawn over the background at that house's
upper-window point. Frame 0 is empty (the house as the background has it);
in frames 1 to 5 a small window opens in the wall or roof, from frame 6 on
she rises behind its sill and waves."""
import os

from .. import geometry as G
from .. import imageio as io
from .. import sprite as SP
from ..canvas import box, set_col, shade
from ..figure import Figure, Look, stand
from ..frametables import Entry, header, joined
from .residents import Layout, ResidentDesc, frames

LOOK = Look(female=True, height=76, hair="#b84a2a", hair_style="long", skin="#f4d0b4", top="#3a8a6a",
            top_kind="jacket", bottom="#4a3a5a", bag=("shoulder", "#c8a040"))
LAYOUT = Layout(True, 4, 0, 1, 4, 0)
DESC = ResidentDesc(68, "visitor with a look from the attic", 80, frames(LAYOUT, 80, stride_right=20,
                                                                          stride_left=20), {0: LOOK})

FRAME_W, FRAME_H = G.UPPER_WINDOW_SIZE
CELL_W, CELL_H, COLS = FRAME_W + 1, FRAME_H + 1, 13
SHEET = (COLS * CELL_W - 1, 2 * CELL_H - 1)       # 1676 x 321
FRAMES = 26
# The little window inside each house's frame: x, y, width, height, and
# the colour of its frame (the house's trim).
WINDOWS = {1: (40, 90, 44, 52, "#7a4a2a"), 2: (40, 100, 44, 50, "#f4ebe0"), 3: (8, 100, 44, 52, "#f0ece0")}


def _cell(k):
    return CELL_W * (k % COLS), CELL_H * (k // COLS)


def _frame(door, k):
    wx, wy, ww, wh, trim = WINDOWS[door]

    def draw(ctx, layer, phase):
        if layer != "base":
            return
        opening = min(1.0, k / 5.0)
        # the window's frame and the dark room behind it
        box(ctx, wx - 3, wy - 3, ww + 6, wh + 6, trim, shade(trim, -0.5), 1)
        set_col(ctx, "#2a2420")
        ctx.rectangle(wx, wy, ww, wh)
        ctx.fill()
        rise = max(0.0, min(1.0, (k - 5) / 12.0))
        if rise > 0:
            ctx.save()
            ctx.rectangle(wx, wy, ww, wh)
            ctx.clip()
            pose = stand(view="front", near_arm=(150, 30) if k >= 18 and k % 2 else (8, 6),
                         mouth="smile" if k >= 14 else "none")
            Figure(LOOK).draw(ctx, pose, wx + ww / 2.0, wy + wh + LOOK.height * 0.75 - LOOK.height * 0.55 * rise)
            ctx.restore()
        # the casement swung inwards against the left jamb
        leaf = max(3.0, ww * (1.0 - 0.9 * opening))
        box(ctx, wx, wy, leaf, wh, "#a8c4d4", shade(trim, -0.3), 1)
        # the sill
        box(ctx, wx - 5, wy + wh, ww + 10, 4, shade(trim, 0.1), shade(trim, -0.5), 0.8)
    return draw


def window_sheet(door):
    rgb, key = SP.blank(*SHEET)
    for k in range(1, FRAMES):
        SP.place(rgb, key, *_cell(k), *SP.render(FRAME_W, FRAME_H, _frame(door, k), 1))
    return rgb, key


def resources():
    return DESC.resources() + [io_res for io_res in _window_resources()]


def _window_resources():
    from ..resources import res
    return [res("FIG068_KA_%02d" % door, *SHEET) for door in (1, 2, 3)]


def build(outdir):
    DESC.build(outdir)
    for door in (1, 2, 3):
        io.write_bmp8(os.path.join(outdir, "FIG068_KA_%02d.bmp" % door), *window_sheet(door))


def frame_headers():
    entries = [Entry(k, *_cell(k), FRAME_W, FRAME_H, "empty: the house as it is" if k == 0 else
                     ("the window opens, %d" % k if k < 6 else "she rises and looks out, %d" % k))
               for k in range(FRAMES)]
    window = header(68, "visitor in the attic window", [("FIG068_KA_01 .. _03", SHEET[0], SHEET[1], "door 1 to 3")],
                    FRAME_W, FRAME_H, entries, table="Window")
    return [joined(DESC.frame_headers() + [window])]
