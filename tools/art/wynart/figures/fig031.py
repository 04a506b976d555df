"""Figure 31: the man of door 2 out for a walk: right in three gaits, a stand
and look about, his act (he stretches, checks his watch, waves), the turn and
the walk back left in two gaits."""
from ..figdesc import Frame, FigureDesc, SheetPlan, cycle_anchors
from ..figure import Pose, stand, walk_cycle
from .fig028 import LOOK

OUT = LOOK.__class__(**{**LOOK.__dict__, "top": "#4a5a7a", "top_kind": "jacket", "hat": "hat",
                        "hat_colour": "#5a4a3a"})
ROW0 = ((0, 48), (49, 48), (98, 64), (163, 64), (228, 72), (301, 48), (350, 48), (399, 64), (464, 64), (529, 72),
        (602, 48), (651, 48), (700, 64), (765, 64), (830, 72))
ROW5 = ((0, 80), (81, 80), (162, 80), (243, 80), (324, 72), (397, 72), (470, 64), (535, 80), (616, 80), (697, 72),
        (770, 72), (843, 64))
H = 91


def _rect(k):
    if k <= 14:
        return ROW0[k][0], 0, ROW0[k][1]
    if k == 15:
        return 0, 92, 72
    if k <= 26:
        return 73 + 81 * (k - 16), 92, 80
    if k == 27:
        return 0, 184, 72
    if k <= 38:
        return 73 + 81 * (k - 28), 184, 80
    if k <= 50:
        return 81 * (k - 39), 276, 80
    if k <= 62:
        return 81 * (k - 51), 368, 80
    x, w = ROW5[k - 63]
    return x, 460, w




def _walk5(facing, stride, **kw):
    four = walk_cycle(facing, stride=stride, **kw)
    return four + [four[0]]


STANDS = [dict(head="front"), dict(head="side", head_facing=-1), dict(head="side", head_facing=1),
          dict(head="front", mouth="smile"), dict(head="side", head_facing=1, neck=-12),
          dict(head="front", near_arm=(40, -95), far_arm=(40, -95)), dict(head="side", head_facing=-1, neck=8),
          dict(head="front", near_arm=(18, -105), neck=12), dict(head="front")]
ACTS = [dict(near_arm=(18, -105), neck=12), dict(near_arm=(18, -105), neck=14, mouth="o"),
        dict(near_arm=(140, 60), far_arm=(140, 60), eyes="closed", mouth="o"),
        dict(near_arm=(150, 40), far_arm=(150, 40), eyes="closed"), dict(far_arm=(120, 40), mouth="smile"),
        dict(far_arm=(135, 20), mouth="open"), dict(far_arm=(120, 40), mouth="smile"), dict(mouth="smile")]


def _frames():
    out = []
    gaits = [_walk5(1, 0.8, lean=3), _walk5(1, 0.7, lean=1, head="front", mouth="smile"),
             _walk5(1, 0.9, lean=6, neck=10)]
    lefts = [_walk5(-1, 0.8, lean=3), _walk5(-1, 0.7, lean=1, neck=-10)]
    for k in range(75):
        x, y, w = _rect(k)
        if k <= 14:
            p, what, ax = gaits[k // 5][k % 5], "walks right, gait %d, step %d" % (k // 5, k % 5), w / 2.0 - 2
        elif k <= 19:
            p, what, ax = stand(**STANDS[k - 15]), "stands and looks about, %d" % (k - 15), w / 2.0
        elif k <= 27:
            p, what, ax = stand(**ACTS[k - 20]), "his act: watch, stretch, wave, %d" % (k - 20), w / 2.0
        elif k <= 48:
            p, what, ax = None, "unused", 0
        elif k <= 64:
            t = (k - 49) / 15.0
            view = "front" if t < 0.5 else "side"
            p = stand(view=view, facing=-1, head="side" if t > 0.3 else "front", head_facing=-1)
            what, ax = "turns round to the left, %d" % (k - 49), w / 2.0
        else:
            g = (k - 65) // 5
            p, what, ax = lefts[g][(k - 65) % 5], "walks left, gait %d, step %d" % (g, (k - 65) % 5), w / 2.0 + 2
        if p is None:
            continue
        out.append(Frame(k, x, y, w, H, what, p, ax, ground=H - 2))
    return out


DESC = FigureDesc(31, "resident of door 2 out for a walk", 80, 91, _frames(), [SheetPlan(0, None, (971, 551))],
                  {1: {None: OUT}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
