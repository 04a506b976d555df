"""Figure 29: the man of door 2 at his lit window, drawn at scene (324, 17)
over the background's window: he comes to the window from the back of the
room (0-23), looks out (24-47) and goes back into the room (48-71). Sheet 0
in summer clothes, sheet 1 in his winter cardigan and scarf."""
from ..canvas import set_col
from ..doorway import lit_window, window_bars
from ..figdesc import Frame, FigureDesc, SheetPlan
from ..figure import stand
from .fig028 import LOOK

WINTER = LOOK.__class__(**{**LOOK.__dict__, "top": "#6a3a3a", "scarf": "#3a6a4a"})
WINDOW = (0, 0, 64, 58)
ROW_Y = (0, 59, 118, 187, 259, 318)


def _height(k):
    if 26 <= k <= 35:
        return 64
    if 36 <= k <= 43:
        return 71
    if 44 <= k <= 47:
        return 65
    return 58


def _room_and_clip(ctx, look, fr):
    lit_window(WINDOW)(ctx, look, fr)
    # he stands behind the sill: nothing of him below the window
    ctx.rectangle(*WINDOW)
    ctx.clip()


LOOKS = [dict(head="front"), dict(head="side", head_facing=-1), dict(head="front", mouth="smile"),
         dict(head="side", head_facing=1), dict(head="front", far_arm=(120, 40), mouth="open"),
         dict(head="side", head_facing=-1, neck=10), dict(head="front", near_arm=(40, -150), far_arm=(40, -150)),
         dict(head="side", head_facing=1, neck=-10)]


def _frames():
    out = []
    for k in range(72):
        x, y = 65 * (k % 12), ROW_Y[k // 12]
        h = _height(k)
        if k <= 23:
            t = k / 23.0
            scale, ax, what = 1.0, -12 + 44 * t, "comes to the window, %d" % k
            pose = stand(view="side", facing=1, head="side", head_facing=1) if k < 16 else stand(head="front")
        elif k <= 47:
            scale, ax, what = 1.0, 32.0, "looks out of the window, %d" % (k - 24)
            pose = stand(**LOOKS[(k - 24) // 3])
        else:
            t = (k - 48) / 23.0
            scale, ax, what = 1.0, 32 + 50 * t, "goes back into the room, %d" % (k - 48)
            pose = stand(view="side", facing=1, head="side", head_facing=1) if k < 68 else None
        out.append(Frame(k, x, y, 64, h, what, pose, ax, ground=92, behind=_room_and_clip,
                         extra=window_bars(WINDOW), scale=scale))
    return out


DESC = FigureDesc(29, "resident of door 2 at his window", 64, 58, _frames(),
                  [SheetPlan(0, 1, (779, 376)), SheetPlan(1, 2, (779, 376))],
                  {1: {None: LOOK}, 2: {None: WINTER}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
