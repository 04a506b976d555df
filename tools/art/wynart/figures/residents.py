"""The house residents and visitors (figures 62 to 68) share one sheet layout:
a grid of 12 columns of 57 x 97 cells, frame i in cell i. Walking, standing
and the steps are 56 x 92 with the feet on the figure's foot line; the door
frames are 56 x 95, drawn by the script at the door's point, and show the
doorway with the leaf swinging in and the person in it (the closed door is
the background's). Index groups, per layout:

  come out of door k   6k .. 6k+5          go in at door k   6k+78 .. 6k+83
  step down            30..34, held 36..40 (narrow: 30..34, held 42..46)
  climb                42..46, held 54..58 (narrow: 48..52, held 54..58)
  walk right           60.. (two gaits from 60 and 66; narrow: 60..63)
  stand right          72..77              (narrow: 64..67)
  walk left            108..               (narrow: 69..72)
  stand left           114..118            (narrow: 73..77)
"""
import cairo

from .. import geometry as G
from .. import palette as P
from ..canvas import box, set_col, shade
from ..figdesc import Frame, FigureDesc, SheetPlan, cycle_anchors
from ..figure import Figure, Pose, stand, walk_cycle

CELL_W, CELL_H = 57, 97
COLS = 12
WALK_H, DOOR_H = 92, 95
FRAME_W = 56
SHEET = (COLS * CELL_W - 1, 9 * CELL_H + DOOR_H)   # 683 x 968
SCENE_TOP = 1024 - 348                              # picture row of the scene's row 0

# The scripts' door points {x, y} (scene rows), doors 0 to 4.
DOOR_POINTS = ((14, 11), (93, 11), (429, 17), (779, 18), (914, 18))
DOOR_COLOURS = {1: P.DOOR_GREEN, 2: P.DOOR_RED, 3: P.DOOR_BLUE, 4: P.DOOR_WOOD}


def cell(i):
    return (i % COLS) * CELL_W, (i // COLS) * CELL_H


def doorway(k):
    """Door k's opening inside its door frame, from the scene's geometry."""
    dx, dy = DOOR_POINTS[k]
    d = G.DOORS[k]
    return d.x - dx, d.y - SCENE_TOP - dy, d.w, d.h


def _lerp(a, b, t):
    if isinstance(a, tuple):
        return tuple(_lerp(x, y, t) for x, y in zip(a, b))
    return a + (b - a) * t


def cycle(n, facing, **kw):
    """A walk of n frames: the four key poses of one step, stretched over n."""
    keys = walk_cycle(facing, **kw)
    out = []
    for k in range(n):
        t = 4.0 * k / n
        a, b, f = keys[int(t) % 4], keys[(int(t) + 1) % 4], t - int(t)
        fields = {}
        for name in ("near_leg", "far_leg", "near_arm", "far_arm", "near_toe", "far_toe", "lean"):
            fields[name] = _lerp(getattr(a, name), getattr(b, name), f)
        out.append(Pose(view="side", facing=facing, **fields))
    return out


def _step_poses(view):
    """Five frames of a step up or down: one leg lifts, lands, the other follows."""
    return [stand(view=view, near_leg=(4, 0), far_leg=(4, 0)),
            stand(view=view, near_leg=(35, 60), far_leg=(0, 0)),
            stand(view=view, near_leg=(15, 20), far_leg=(-5, 10)),
            stand(view=view, far_leg=(35, 60), near_leg=(0, 0)),
            stand(view=view, far_leg=(15, 20), near_leg=(-5, 10))]


def _held_poses(view):
    """Standing still on a step while someone passes: the head turns."""
    return [stand(view=view), stand(view=view, head="side", head_facing=-1),
            stand(view=view, head="side", head_facing=-1), stand(view=view, head="side", head_facing=1),
            stand(view=view)]


def _look_about(n, facing):
    heads = [dict(head="side", head_facing=facing), dict(head="front"),
             dict(head="side", head_facing=-facing), dict(head="front", mouth="smile"),
             dict(head="side", head_facing=facing, neck=-10), dict(head="side", head_facing=facing)]
    return [Pose(view="side", facing=facing, lean=0, near_leg=(3, 0), far_leg=(-3, 0),
                 near_arm=(4, 8), far_arm=(-4, 8), **heads[k % len(heads)]) for k in range(n)]


def _door_extra(k, opening, pose, shade_person, ground):
    """Draws door k's doorway, its leaf opened by `opening` (0 shut .. 1 open)
    and the person (pose, or None) in it."""
    ox, oy, w, h = doorway(k)
    colour = DOOR_COLOURS.get(k, P.DOOR_WOOD)

    def draw(ctx, look, fr):
        # the hall behind the door, darker towards the back
        grad = cairo.LinearGradient(ox, oy, ox, oy + h)
        grad.add_color_stop_rgb(0, 0.16, 0.12, 0.10)
        grad.add_color_stop_rgb(1, 0.30, 0.24, 0.19)
        ctx.set_source(grad)
        ctx.rectangle(ox, oy, w, h)
        ctx.fill()
        # the leaf swings inwards on its left hinge: seen from the street it
        # narrows and darkens as it opens
        lw = max(3.0, (w - 2) * (1.0 - 0.85 * opening))
        box(ctx, ox + 1, oy + 1, lw, h - 1, shade(colour, -0.25 * opening), shade(colour, -0.5), 1)
        if lw > 12:
            set_col(ctx, "#e3c36a")
            ctx.rectangle(ox + lw - 6, oy + h * 0.52, 3, 2)
            ctx.fill()
        if pose is not None:
            ctx.save()
            ctx.rectangle(ox, oy - 12, w, h + 12)
            ctx.clip()
            Figure(look).draw(ctx, pose, ox + w / 2.0, ground)
            if shade_person:
                ctx.set_source_rgba(0.12, 0.09, 0.07, 0.45)
                ctx.rectangle(ox, oy, w, h)
                ctx.fill()
            ctx.restore()
    return draw


# The door animations: (leaf opening, person's pose or None, in the hall's shadow)
COME_OUT = [(0.3, None, False), (0.7, stand(view="front"), True), (1.0, stand(view="front"), False),
            (1.0, stand(view="front", near_leg=(20, 30)), False), (0.6, stand(view="front", mouth="smile"), False),
            (0.2, stand(view="front", head="side", head_facing=1), False)]
GO_IN = [(0.25, stand(view="back"), False), (0.6, stand(view="back", near_leg=(20, 30)), False),
         (1.0, stand(view="back"), False), (1.0, stand(view="back"), True), (0.5, None, False),
         (0.15, None, False)]


class Layout:
    """Where a figure's groups start; `narrow` is the layout of 62, 64 and 68."""

    def __init__(self, narrow, right_frames, left_frames, gaits, stand_right, stand_left):
        self.narrow = narrow
        self.right_frames, self.left_frames, self.gaits = right_frames, left_frames, gaits
        self.stand_right, self.stand_left = stand_right, stand_left
        self.down, self.down_held = 30, (42 if narrow else 36)
        self.climb, self.climb_held = (48 if narrow else 42), 54
        self.walk_right = 60
        self.stand_right_at = 64 if narrow else 72
        self.walk_left_at = 69 if narrow else 108
        self.stand_left_at = 73 if narrow else 114


def frames(layout, frame_h, doors=(1, 2, 3, 4), stride_right=28, stride_left=28):
    out = []

    def add(i, h, what, pose=None, ax=28.0, ground=None, extra=None):
        x, y = cell(i)
        out.append(Frame(i, x, y, FRAME_W, h, what, pose, ax, ground if ground is not None else frame_h, extra))

    for k in doors:
        ground = doorway(k)[1] + doorway(k)[3]
        for j, (opening, pose, dark) in enumerate(COME_OUT):
            add(6 * k + j, DOOR_H, "comes out of door %d, %d" % (k, j), extra=_door_extra(k, opening, pose, dark, ground))
        for j, (opening, pose, dark) in enumerate(GO_IN):
            add(6 * k + 78 + j, DOOR_H, "goes in at door %d, %d" % (k, j),
                extra=_door_extra(k, opening, pose, dark, ground))
    for j, p in enumerate(_step_poses("front")):
        add(layout.down + j, WALK_H, "steps down, %d" % j, p)
    for j, p in enumerate(_held_poses("front")):
        add(layout.down_held + j, WALK_H, "waits on a step going down, %d" % j, p)
    for j, p in enumerate(_step_poses("back")):
        add(layout.climb + j, WALK_H, "climbs the steps, %d" % j, p)
    for j, p in enumerate(_held_poses("back")):
        add(layout.climb_held + j, WALK_H, "waits on a step going up, %d" % j, p)
    n = layout.right_frames
    # the hip sweeps through the frame, centred on it, as X moves by a stride
    ax = cycle_anchors(n, 28 - stride_right * (n - 1) / (2.0 * n), stride_right, 1)
    for g in range(layout.gaits):
        poses = cycle(n, 1, stride=1.0, lean=4 if g == 0 else 1, arm=1.0 if g == 0 else 0.5)
        for j in range(n):
            add(layout.walk_right + 6 * g + j, WALK_H, "walks right, gait %d, %d" % (g, j), poses[j], ax[j])
    for j, p in enumerate(_look_about(layout.stand_right, 1)):
        add(layout.stand_right_at + j, WALK_H, "stands facing right, %d" % j, p, 26)
    if layout.left_frames:
        n = layout.left_frames
        ax = cycle_anchors(n, 28 + stride_left * (n - 1) / (2.0 * n), stride_left, -1)
        for j, p in enumerate(cycle(n, -1, stride=1.0, lean=4)):
            add(layout.walk_left_at + j, WALK_H, "walks left, %d" % j, p, ax[j])
        for j, p in enumerate(_look_about(layout.stand_left, -1)):
            add(layout.stand_left_at + j, WALK_H, "stands facing left, %d" % j, p, 30)
    return out


class ResidentDesc(FigureDesc):
    """A figure whose sheets are different people or costumes: sheet k wears
    looks[k] (FigureDesc dresses by season only)."""

    def __init__(self, obj_id, title, frame_h, frame_list, sheet_looks):
        self.sheet_looks = sheet_looks
        self._sheet = 0
        plans = [SheetPlan(k, None, SHEET) for k in sorted(sheet_looks)]
        FigureDesc.__init__(self, obj_id, title, 48, frame_h, frame_list, plans, {1: {None: sheet_looks[0]}})

    def _look(self, season, which):
        return self.sheet_looks[self._sheet]

    def sheet_day(self, sheet):
        self._sheet = sheet.k
        return FigureDesc.sheet_day(self, sheet)
