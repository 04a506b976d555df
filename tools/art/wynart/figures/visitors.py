"""The group that the van (object 71) brings, figure 61: a couple with a
bunch of flowers and a bag. Their frames lie on figure 61's sheet below the
van's parts, in cells of 57 x 96, 18 to a row; the looks on the way in and
out are extra sheets of the same cells. Walking and standing frames are
56 x 82 with the feet on row 80; the door frames are 56 x 95, drawn at the
door's point like the residents', and show the couple in the doorway.

The group's table (entries from GROUP_FIRST on in figure 61's table):
  walk right 0..3, step 4..5, to the van's rear 6..8, get out 9..16,
  wait 17, turn to the steps 18..23, stand 24, climb 25..29 (held 30..34),
  stand 35, go in at door 2 / 3 36..41 / 42..47, come out at door 2 / 3
  48..53 / 54..59, step down 60..64 (held 65..69), stand 70, get in 71..82,
  walk left 83..86, at the van 87..94.
The way in (FIG061_01_01): stand 0, climb 1..5 (held 6..10), stand 11, go in
at door 2 / 3 12..17 / 18..23. The way out (FIG061_01_02): come out at
door 2 / 3 0..5 / 6..11, step down 12..16 (held 17..21), at the van 22..27.
"""
import cairo

from ..canvas import new_surface
from ..figure import Figure, Look, Pose, stand, walk_cycle
from .residents import DOOR_COLOURS, DOOR_POINTS, doorway, _step_poses, _held_poses, cycle
from .. import geometry as G
from .. import palette as P
from ..canvas import box, set_col, shade

CELL_W, CELL_H = 57, 96
COLS = 18
TOP = 480
WALK_H, DOOR_H = 82, 95
GROUND = 80
GROUP_FIRST = 36
GROUP_COUNT = 95
WAY_IN_COUNT = 24
WAY_OUT_COUNT = 28

HER = Look(female=True, height=74, hair="#b86a2a", hair_style="bob", skin="#f3cdb0", top="#d85a7a",
           top_kind="coat", bottom="#3a3a4a", bag=("hand", "#6a4a2a"))
HIM = Look(height=79, hair="#4a3a2a", hair_style="short", skin="#e0b090", top="#3a5a8a", top_kind="jacket",
           bottom="#4a4238", glasses=True)
# the looks on the way in and out: dressed up for the visit
HER_SMART = Look(female=True, height=74, hair="#b86a2a", hair_style="bun", skin="#f3cdb0", top="#2a7a6a",
                 top_kind="dress", bottom="#2a7a6a", bottom_kind="skirt", legs="#3a2a2a", bag=("hand", "#e8d8a0"))
HIM_SMART = Look(height=79, hair="#4a3a2a", hair_style="short", skin="#e0b090", top="#2a2a2a",
                 top_kind="coat", bottom="#2a2a2a", glasses=True, hat="hat", hat_colour="#2a2a2a")


def cell(i, top=TOP):
    return (i % COLS) * CELL_W, top + (i // COLS) * CELL_H


def _pair(ctx, poses, looks, x, ground, scale=1.0):
    """The two side by side: she a little behind, he in front."""
    her, him = looks
    p_her, p_him = poses
    ctx.save()
    ctx.translate(x, ground)
    ctx.scale(scale, scale)
    Figure(her).draw(ctx, p_her, -9, 0)
    Figure(him).draw(ctx, p_him, 9, 0)
    ctx.restore()


def _door_scene(k, opening, poses, dark):
    ox, oy, w, h = doorway(k)
    colour = DOOR_COLOURS[k]

    def draw(ctx, looks):
        grad = cairo.LinearGradient(ox, oy, ox, oy + h)
        grad.add_color_stop_rgb(0, 0.16, 0.12, 0.10)
        grad.add_color_stop_rgb(1, 0.30, 0.24, 0.19)
        ctx.set_source(grad)
        ctx.rectangle(ox, oy, w, h)
        ctx.fill()
        lw = max(3.0, (w - 2) * (1.0 - 0.85 * opening))
        box(ctx, ox + 1, oy + 1, lw, h - 1, shade(colour, -0.25 * opening), shade(colour, -0.5), 1)
        if poses is not None:
            ctx.save()
            ctx.rectangle(ox, oy - 12, w, h + 12)
            ctx.clip()
            _pair(ctx, poses, looks, ox + w / 2.0, oy + h, 0.92)
            if dark:
                ctx.set_source_rgba(0.12, 0.09, 0.07, 0.45)
                ctx.rectangle(ox, oy, w, h)
                ctx.fill()
            ctx.restore()
    return draw


def _both(p):
    return (p, p)


def _front(**kw):
    return _both(stand(view="front", **kw))


def _back(**kw):
    return _both(stand(view="back", **kw))


def _door_run(k, out):
    if out:
        steps = [(0.3, None, False), (0.7, _front(), True), (1.0, _front(), False),
                 (1.0, _front(mouth="smile"), False), (0.6, _front(), False), (0.2, _front(), False)]
    else:
        steps = [(0.25, _back(), False), (0.6, _back(), False), (1.0, _back(), False),
                 (1.0, _back(), True), (0.5, None, False), (0.15, None, False)]
    return [("%s door %d, %d" % ("comes out of" if out else "goes in at", k, j), DOOR_H,
             _door_scene(k, o, p, d)) for j, (o, p, d) in enumerate(steps)]


def _walk(n, facing):
    poses = walk_cycle(facing, stride=0.9, lean=3)
    out = []
    for j in range(n):
        # she steps a beat behind him
        pair = (poses[(j + 2) % 4], poses[j % 4])
        out.append(("walks %s, %d" % ("right" if facing > 0 else "left", j), WALK_H, _figures(pair, 28)))
    return out


def _figures(pair, x, scale=1.0):
    def draw(ctx, looks):
        _pair(ctx, pair, looks, x, GROUND, scale)
    return draw


def _stands(what, n, view="front"):
    heads = [dict(), dict(head="side", head_facing=1), dict(mouth="smile"), dict(head="side", head_facing=-1)]
    return [(what + ", %d" % j, WALK_H, _figures(_both(stand(view=view, **heads[j % 4])), 28)) for j in range(n)]


def _steps(what, view, held=False):
    poses = _held_poses(view) if held else _step_poses(view)
    return [(what + ", %d" % j, WALK_H, _figures(_both(p), 28)) for j, p in enumerate(poses)]


def group_frames():
    """The group's 95 frames on the main sheet: (what, height, draw(ctx, looks))."""
    f = []
    f += _walk(4, 1)                                       # 0..3
    f += _stands("steps up to the van's door", 2, "side")  # 4..5
    f += _stands("at the van's rear", 3)                   # 6..8
    f += _stands("gets out of the van", 8)                 # 9..16
    f += _stands("waits by the van", 1)                    # 17
    f += _stands("turns to the steps", 6, "back")          # 18..23
    f += _stands("stands at the steps", 1, "back")         # 24
    f += _steps("climbs", "back")                          # 25..29
    f += _steps("waits on the steps going up", "back", True)  # 30..34
    f += _stands("at the door", 1, "back")                 # 35
    f += _door_run(2, False) + _door_run(3, False)         # 36..47
    f += _door_run(2, True) + _door_run(3, True)           # 48..59
    f += _steps("steps down", "front")                     # 60..64
    f += _steps("waits on the steps going down", "front", True)  # 65..69
    f += _stands("back at the van", 1)                     # 70
    f += _stands("gets into the van", 12, "back")          # 71..82
    f += _walk(4, -1)                                      # 83..86
    f += _stands("at the van's door", 8, "back")           # 87..94
    assert len(f) == GROUP_COUNT
    return f


def way_in_frames():
    f = _stands("stands at the steps", 1, "back") + _steps("climbs", "back")
    f += _steps("waits on the steps going up", "back", True) + _stands("at the door", 1, "back")
    f += _door_run(2, False) + _door_run(3, False)
    assert len(f) == WAY_IN_COUNT
    return f


def way_out_frames():
    f = _door_run(2, True) + _door_run(3, True) + _steps("steps down", "front")
    f += _steps("waits on the steps going down", "front", True) + _stands("back at the van", 6)
    assert len(f) == WAY_OUT_COUNT
    return f


def extra_size(count):
    rows = (count + COLS - 1) // COLS
    return COLS * CELL_W - 1, (rows - 1) * CELL_H + DOOR_H
