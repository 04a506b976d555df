"""Figure 22: the pavement renewer, a worker in an orange vest with a broom.
He walks right with the broom, sweeps (act 2), straightens up and knocks the
broom on the stones above his head (act 3, drawn 18 pixels higher with his
feet on the frame's bottom row) and kneels to set a paving stone (act 4)."""
from ..canvas import set_col, shade
from ..figdesc import Frame, FigureDesc, SheetPlan, cycle_anchors
from ..figure import Figure, Pose, walk_cycle
from ..people import LOOKS

LOOK = LOOKS[22]
FRAME_H = 68
STRIDE = 14
ACT3_GROUND = 86          # act 3 is drawn 18 pixels up: its feet stay on the foot line

WALK = ((0, 80, 68), (81, 72, 72), (154, 88, 67), (243, 80, 72))
ACT2 = ((324, 80, 68), (405, 88, 68), (494, 112, 67), (607, 88, 66))
ACT3 = ((696, 48, 86), (745, 48, 86), (794, 48, 86), (843, 56, 86))
ACT4 = ((900, 88, 72), (989, 72, 72), (1062, 96, 72))


def _hand(look, pose, ax, ground, which="near"):
    sk = Figure(look).skeleton(pose)
    hx, hy = sk["arms"][which]["hand"]
    return ax + hx, ground + hy


def broom(toward, bristles_down=True):
    """A broom from the near hand to a point (dx, dy) relative to the hand."""
    def draw(ctx, look, fr):
        ground = fr.ground if fr.ground is not None else FRAME_H
        hx, hy = _hand(look, fr.pose, fr.ax, ground)
        dx, dy = toward
        ex, ey = hx + dx, hy + dy
        sx, sy = hx - dx * 0.25, hy - dy * 0.25
        ctx.set_line_width(1.6)
        set_col(ctx, "#8a5a2a")
        ctx.move_to(sx, sy)
        ctx.line_to(ex, ey)
        ctx.stroke()
        # the head of the broom across the stick's end, bristles away from the hand
        ln = (dx * dx + dy * dy) ** 0.5 or 1.0
        ux, uy = dx / ln, dy / ln
        px, py = -uy, ux
        ctx.new_path()
        ctx.move_to(ex - px * 5, ey - py * 5)
        ctx.line_to(ex + px * 5, ey + py * 5)
        ctx.line_to(ex + px * 5 + ux * 4, ey + py * 5 + uy * 4)
        ctx.line_to(ex - px * 5 + ux * 4, ey - py * 5 + uy * 4)
        ctx.close_path()
        set_col(ctx, "#c8a040")
        ctx.fill_preserve()
        set_col(ctx, shade("#c8a040", -0.45))
        ctx.set_line_width(0.6)
        ctx.stroke()
        ctx.rectangle(ex - px * 5 - ux * 1.5, ey - py * 5 - uy * 1.5, 1, 1)
        set_col(ctx, "#3a2a1a")
    return draw


def stone(dx, dy):
    """A paving stone held or set down at (dx, dy) from the near hand."""
    def draw(ctx, look, fr):
        ground = fr.ground if fr.ground is not None else FRAME_H
        hx, hy = _hand(look, fr.pose, fr.ax, ground)
        ctx.rectangle(hx + dx - 4, hy + dy - 2, 8, 5)
        set_col(ctx, "#8c8a86")
        ctx.fill_preserve()
        set_col(ctx, "#55534f")
        ctx.set_line_width(0.6)
        ctx.stroke()
    return draw


def _frames():
    out = []
    walk = walk_cycle(1, stride=0.9, lean=6, arm=0.4)
    ax = cycle_anchors(4, 30.0, STRIDE, 1)
    for k, (x, w, h) in enumerate(WALK):
        p = walk[k]
        p.near_arm = (40, -20)
        out.append(Frame(k, x, 0, w, h, "walks right with his broom, step %d" % k, p, ax[k],
                         ground=min(FRAME_H, h), extra=broom((-24, 16))))
    sweep = [(30, 8, (16, 26)), (45, 10, (24, 20)), (60, 12, (38, 14)), (40, 10, (22, 22))]
    for k, (x, w, h) in enumerate(ACT2):
        arm, lean, tip = sweep[k]
        p = Pose(facing=1, lean=lean, near_arm=(arm, 10), far_arm=(arm - 10, 20), near_leg=(12, 6),
                 far_leg=(-10, 8), neck=10)
        out.append(Frame(4 + k, x, 0, w, h, "sweeps the pavement, stroke %d" % k, p, 26.0,
                         ground=min(FRAME_H, h), extra=broom(tip)))
    knock = [(150, -12, (2, -12)), (155, -8, (4, -11)), (140, -14, (0, -12)), (125, -10, (7, -12))]
    for k, (x, w, h) in enumerate(ACT3):
        arm, neck, tip = knock[k]
        p = Pose(facing=1, lean=-3, near_arm=(arm, 10), far_arm=(arm - 8, 14), near_leg=(3, 0), far_leg=(-3, 0),
                 neck=neck, mouth="o" if k == 1 else "none")
        out.append(Frame(8 + k, x, 0, w, h, "knocks the broom out above his head, %d" % k, p, 22.0,
                         ground=ACT3_GROUND, extra=broom(tip)))
    kneel = [(dict(lean=30, near_leg=(80, 95), far_leg=(-5, 100), far_toe=60, near_arm=(60, 10)), (6, 2)),
             (dict(lean=40, near_leg=(85, 100), far_leg=(-8, 105), far_toe=60, near_arm=(70, 0)), (5, 4)),
             (dict(lean=20, near_leg=(80, 95), far_leg=(-5, 100), far_toe=60, near_arm=(80, 20), mouth="smile"),
              (7, 0))]
    for k, (x, w, h) in enumerate(ACT4):
        kw, at = kneel[k]
        p = Pose(facing=1, far_arm=(50, 20), neck=12, **kw)
        out.append(Frame(12 + k, x, 0, w, h, "kneels and sets a paving stone, %d" % k, p, 30.0,
                         ground=min(FRAME_H + 2, h), extra=stone(*at)))
    return out


DESC = FigureDesc(22, "pavement renewer", 80, FRAME_H, _frames(), [SheetPlan(0, None, (1158, 86))],
                  {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
