"""Figure 42: a street musician with a guitar who walks in along the near
pavement from either side, stops and plays (facing the way he came from or
the way he goes), and walks on when the music ends. Figure 44, the listener,
uses the same table."""
import math

from ..figdesc import Frame, FigureDesc, SheetPlan, cycle_anchors
from ..figure import Look, Pose
from .. import instruments as I

LOOK = Look(height=79, hair="#2a2420", hair_style="long", beard="#3a2a20", skin="#e2b08a", top="#7a2a3a",
            top_kind="jacket", top_len=0.18, bottom="#3a3a48", shoes="#4a3020", hat="hat", hat_colour="#4a3a2a",
            scarf="#d8a030")

STRIDE = 22
FRAME_H = 92

WALK_LEFT_X = (0, 73, 154, 235, 308, 373)
WALK_LEFT_W = (72, 80, 80, 72, 64, 56)
WALK_LEFT_H = (92, 92, 92, 95, 95, 95)
PLAY_LEFT_X = (0, 65, 130, 192, 260, 325, 390, 455, 520, 585, 650, 715, 780, 845)
WALK_RIGHT_X = (0, 65, 130, 195, 260, 333)
WALK_RIGHT_W = (64, 64, 56, 64, 72, 72)
PLAY_RIGHT_X = (812, 0, 73, 146, 219, 292, 365, 438, 511, 584, 657, 730, 803)

# Strips that two entries of the table share: nothing may be drawn there,
# or one entry would show a sliver of its neighbour.
SHARED_STRIPS = [(235, 93, 210, 2), (665, 93, 194, 2), (192, 93, 2, 92)]


def walk6(facing, stride=1.0, arm=1.0, lean=4.0, n=6, **extra):
    """n (six) frames of one stride: the legs swing in opposite phase, the
    swinging knee bends, the arms swing against the legs."""
    out = []
    for k in range(n):
        t = 2 * math.pi * k / float(n)
        near, far = t, t + math.pi
        out.append(Pose(view="side", facing=facing, lean=lean,
                        near_leg=(24 * stride * math.cos(near), 6 + 40 * max(0.0, -math.sin(near))),
                        far_leg=(24 * stride * math.cos(far), 6 + 40 * max(0.0, -math.sin(far))),
                        near_toe=-10 * max(0.0, math.cos(near)) + 25 * max(0.0, -math.sin(near)),
                        far_toe=-10 * max(0.0, math.cos(far)) + 25 * max(0.0, -math.sin(far)),
                        near_arm=(-22 * arm * math.cos(near), 14), far_arm=(-22 * arm * math.cos(far), 14),
                        **extra))
    return out


def walk_frames(first_left, first_right, gait_extras, behind=None):
    """The four walk runs of the table; behind(pose, facing) gives what hangs
    on the back."""
    out = []
    for g, (what, kw) in enumerate(gait_extras):
        cyc = walk6(-1, **kw)
        ax = cycle_anchors(6, 42, STRIDE, -1)
        for k in range(6):
            x = WALK_LEFT_X[k] + 430 * g
            out.append(_frame(first_left + 6 * g + k, x, 0, WALK_LEFT_W[k], WALK_LEFT_H[k],
                              "walks left, %s, step %d" % (what, k), cyc[k], ax[k], behind, -1))
        cyc = walk6(1, **kw)
        ax = cycle_anchors(6, 22, STRIDE, 1)
        for k in range(6):
            x = WALK_RIGHT_X[k] + 406 * g
            out.append(_frame(first_right + 6 * g + k, x, 186, WALK_RIGHT_W[k], 92,
                              "walks right, %s, step %d" % (what, k), cyc[k], ax[k], behind, 1))
    return out


def _frame(idx, x, y, w, h, what, pose, ax, behind=None, facing=1, held=None):
    def extra(ctx, look, fr, pose=pose, ax=ax):
        sk = I.Figure(look).skeleton(pose)
        I.person(ctx, look, pose, ax, FRAME_H, behind(sk, facing) if behind else None,
                 held(sk, facing) if held else None)
    return Frame(idx, x, y, w, h, what, None, ax, extra=extra)


def play_frames(first_left, first_right, acts, held=None):
    """acts(facing) lists (what, pose) for the runs facing left (14) and right (13)."""
    out = []
    for k, (what, pose) in enumerate(acts(-1)[:14]):
        out.append(_frame(first_left + k, PLAY_LEFT_X[k], 93, 64, 92, what + ", facing left", pose, 34, None, -1,
                          held))
    for k, (what, pose) in enumerate(acts(1)[:13]):
        y = 186 if k == 0 else 279
        out.append(_frame(first_right + k, PLAY_RIGHT_X[k], y, 72, 92, what + ", facing right", pose, 34, None, 1,
                          held))
    return out


def _playing(facing):
    out = []
    mouths = ["none", "open", "o", "open", "smile", "open", "o"]
    for k in range(14):
        up = k % 2 == 0
        out.append(("plays, strum %s, %s" % ("down" if up else "up", mouths[k % 7]),
                    Pose(view="side", facing=facing, lean=-2 + (k % 3), neck=(-8 if k % 4 == 1 else 4),
                         near_leg=(6, 0), far_leg=(-4, 0), near_toe=(-14 if k % 4 in (1, 2) else 0),
                         near_arm=(34 if up else 18, 70 if up else 92), far_arm=(72, 28),
                         mouth=mouths[k % 7], eyes="closed" if k in (5, 6, 12) else "open")))
    return out


class TableDesc(FigureDesc):
    """A descriptor whose table makes some entries share a strip: the strips
    stay empty in the sheet."""

    def __init__(self, *args, blank=(), **kw):
        super().__init__(*args, **kw)
        self.blank = blank

    def sheet_day(self, sheet):
        rgb, key = super().sheet_day(sheet)
        for (x, y, w, h) in self.blank:
            key[y:y + h, x:x + w] = True
        return rgb, key


def _frames():
    gaits = [("guitar on his back", dict(lean=4)), ("looking about", dict(lean=2, head="front", mouth="smile"))]
    return (walk_frames(0, 26, gaits, I.guitar_on_back) + play_frames(12, 38, _playing, I.guitar_played_side))


DESC = TableDesc(42, "street musician", 50, FRAME_H, _frames(), [SheetPlan(0, None, (909, 371))],
                 {1: {None: LOOK}}, blank=SHARED_STRIPS)
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
