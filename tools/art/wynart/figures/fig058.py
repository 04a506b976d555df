"""Figure 58: the baker's wife (figure 55) answers a knock at door 1. The
door opens a hand's breadth, she leans out past its edge, looks up and down
the street, says a word and goes back in. 32 frames of 48 x 96 drawn at the
scene point (69, 16), picture (69, 692), in a grid of 8 x 4 cells of 49 x 97;
three sheets, one costume each (apron, cardigan, coat).
"""
from dataclasses import replace

from .. import geometry as G
from ..canvas import box, set_col, shade
from ..figdesc import Frame, FigureDesc, SheetPlan
from ..figure import Figure, stand
from .fig055 import APRON, LOOK

FRAME_W, FRAME_H = 48, 96
CELL_W, CELL_H, COLS = 49, 97, 8
SHEET = (COLS * CELL_W - 1, 4 * CELL_H - 1)     # 391 x 387
ORIGIN = G.WINDOW_FIGURE58_POS
FRAMES = 32
LOOKS = {0: LOOK, 1: replace(LOOK, top="#c86a3a", top_kind="sweater", bottom="#5a4a6a"),
         2: replace(LOOK, top="#3a5a7a", top_kind="coat", bottom="#3a5a7a", scarf="#d8c05a")}


def _gap(k):
    """How far the door stands open, in pixels of its left edge."""
    if k < 4:
        return 5 * (k + 1)
    if k >= 29:
        return 5 * (FRAMES - k)
    return 18


def _lean(k):
    """How far she leans out past the door's edge."""
    if k < 4 or k >= 28:
        return 0.0
    if k < 9:
        return (k - 3) / 5.0
    if k >= 25:
        return (28 - k) / 3.0
    return 1.0


HEADS = [dict(head="side", head_facing=-1), dict(head="side", head_facing=-1, mouth="open"),
         dict(head="front", mouth="smile"), dict(head="side", head_facing=-1, neck=-8),
         dict(head="front", mouth="open"), dict(head="side", head_facing=1)]


def _extra(k, apron):
    d = G.DOORS[1]
    dx, dy = d.x - ORIGIN[0], d.y - ORIGIN[1]        # the door's corner in the frame: (30, 1)
    dh = d.h - 3

    def draw(ctx, look, fr):
        gap = _gap(k)
        # the hall behind the opened edge of door 1
        set_col(ctx, "#2a211b")
        ctx.rectangle(dx, dy, gap, dh)
        ctx.fill()
        box(ctx, dx + gap, dy, 2, dh, shade("#2f6b45", -0.4), shade("#2f6b45", -0.6), 0.6)
        lean = _lean(k)
        if lean <= 0 and not 4 <= k < 29:
            return
        pose = stand(view="side", facing=-1, lean=4 + 22 * lean, near_arm=(-10, 30), far_arm=(10, 20),
                     **HEADS[(k // 3) % len(HEADS)])
        ground = dy + dh
        ctx.save()
        # she stands in the gap; only her upper body leans out past the door
        ctx.rectangle(dx, 0, gap, FRAME_H)
        ctx.rectangle(0, 0, dx, ground - 0.5 * look.height)
        ctx.clip()
        person = Figure(look)
        x = dx + gap / 2.0 + 2
        person.draw(ctx, pose, x, ground)
        if apron:
            sk = person.skeleton(pose)
            set_col(ctx, APRON)
            ctx.rectangle(x + sk["hip"][0] - 8, ground + sk["hip"][1] - 10, 8, 20)
            ctx.fill()
        ctx.restore()
    return draw


class WindowDesc(FigureDesc):
    """Three sheets, one costume each."""

    def __init__(self, frames):
        self._sheet = 0
        plans = [SheetPlan(k, None, SHEET) for k in sorted(LOOKS)]
        FigureDesc.__init__(self, 58, "baker's wife answering the door", FRAME_W, FRAME_H, frames, plans,
                            {1: {None: LOOKS[0]}})

    def _look(self, season, which):
        return LOOKS[self._sheet]

    def render_frame(self, fr, season, which=None):
        fr.extra = _extra(fr.idx, self._sheet == 0)
        return FigureDesc.render_frame(self, fr, season, which)

    def sheet_day(self, sheet):
        self._sheet = sheet.k
        return FigureDesc.sheet_day(self, sheet)


def _frames():
    what = ["opens the door, %d" % k for k in range(4)] + ["leans out, %d" % k for k in range(5)]
    what += ["looks about and talks, %d" % k for k in range(16)] + ["goes back in, %d" % k for k in range(4)]
    what += ["closes the door, %d" % k for k in range(3)]
    return [Frame(k, CELL_W * (k % COLS), CELL_H * (k // COLS), FRAME_W, FRAME_H, what[k], None, 24,
                  extra=_extra(k, True)) for k in range(FRAMES)]


DESC = WindowDesc(_frames())
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
