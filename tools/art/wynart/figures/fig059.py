"""Figure 59: the window cleaner and his apprentice, carrying their long
ladder across the street on their shoulders. Twenty frames of 88 x 81 in
cells of 89 x 82, ten to a row: walking right in three gaits (0..3 brisk,
4..7 the ladder shifted, 8..11 slow) and left in two (12..15, 16..19)."""
from dataclasses import replace

from ..canvas import set_col, shade
from ..figdesc import Frame, FigureDesc, SheetPlan, cycle_anchors
from ..figure import Figure, Look, walk_cycle

CELL_W, CELL_H, COLS = 89, 82, 10
FRAME_W, FRAME_H = 88, 81
STRIDE = 17
MASTER = Look(height=79, build=1.1, hair="#5a4a3a", hair_style="short", skin="#e9b894", top="#2a6a9a",
              top_kind="jacket", bottom="#2a4a6a", hat="cap", hat_colour="#c8402a")
APPRENTICE = Look(height=74, build=0.9, hair="#c89050", hair_style="spiky", skin="#f4d0b4", top="#e8a030",
                  top_kind="shirt", bottom="#2a4a6a", shoes="#5a3a22")
LADDER = "#b08850"
GAP = 40        # between the two carriers' hips


def _carry(poses, facing, ax, tilt):
    """Both walk in step, each with a hand up at the ladder on his shoulder."""
    def draw(ctx, look, fr):
        front, back = (MASTER, APPRENTICE) if facing > 0 else (APPRENTICE, MASTER)
        lead = ax + facing * GAP / 2.0
        tail = ax - facing * GAP / 2.0
        p_back, p_front = poses
        Figure(back).draw(ctx, p_back, tail, FRAME_H)
        # the ladder: two rails and rungs, resting on both shoulders
        y0 = FRAME_H - 0.83 * back.height + tilt
        y1 = FRAME_H - 0.83 * front.height - tilt
        x0, x1 = tail - facing * 22, lead + facing * 24
        for dy, shade_k in ((0, -0.35), (3, 0.0)):
            set_col(ctx, shade(LADDER, shade_k))
            ctx.set_line_width(1.6)
            ctx.move_to(x0, y0 + dy)
            ctx.line_to(x1, y1 + dy)
            ctx.stroke()
        set_col(ctx, shade(LADDER, -0.2))
        ctx.set_line_width(1.0)
        for k in range(1, 12):
            t = k / 12.0
            x, y = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
            ctx.move_to(x, y)
            ctx.line_to(x, y + 3)
        ctx.stroke()
        Figure(front).draw(ctx, p_front, lead, FRAME_H)
    return draw


def _frames():
    out = []
    gaits = [(1, dict(stride=0.9, lean=4), 0.0), (1, dict(stride=0.9, lean=3, arm=0.3), 1.5),
             (1, dict(stride=0.7, lean=2, arm=0.5), -1.0),
             (-1, dict(stride=0.9, lean=4), 0.0), (-1, dict(stride=0.8, lean=3, arm=0.4), 1.0)]
    for g, (facing, kw, tilt) in enumerate(gaits):
        cyc = [replace(p, near_arm=(40, 110)) for p in walk_cycle(facing, **kw)]
        ax = cycle_anchors(4, 44 - facing * STRIDE * 3 / 8.0, STRIDE, facing)
        for k in range(4):
            i = 4 * g + k
            x, y = (i % COLS) * CELL_W, (i // COLS) * CELL_H
            pair = (cyc[(k + 2) % 4], cyc[k])
            out.append(Frame(i, x, y, FRAME_W, FRAME_H, "carry the ladder %s, gait %d, step %d"
                             % ("right" if facing > 0 else "left", g if facing > 0 else g - 3, k),
                             None, ax[k], extra=_carry(pair, facing, ax[k], tilt)))
    return out


DESC = FigureDesc(59, "window cleaner and apprentice with their ladder", FRAME_W, FRAME_H, _frames(),
                  [SheetPlan(0, None, (COLS * CELL_W - 1, CELL_H + FRAME_H))], {1: {None: MASTER}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
