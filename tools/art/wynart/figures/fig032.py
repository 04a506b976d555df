"""Figure 32: the man of door 2 coming home: he walks right in three gaits,
stands, turns to his door, waits on the steps while someone is in the way,
climbs them and goes in. The going-in frames are drawn at the door (scene
429, 17) and carry the open door behind him."""
from ..doorway import door_in_frame, open_door
from ..figdesc import Frame, FigureDesc, SheetPlan
from ..figure import Pose, stand, walk_cycle
from .fig031 import OUT, STANDS

AT = (429, 17)
DOOR = door_in_frame(2, AT)
THRESHOLD = DOOR[1] + DOOR[3]
ROW0 = ((0, 48), (49, 48), (98, 56), (163, 64), (228, 72), (301, 48), (350, 48), (399, 64), (464, 64), (529, 72),
        (602, 48), (651, 48), (700, 64), (765, 64), (830, 72))
ROW1 = ((0, 72), (73, 80), (154, 80), (235, 80), (316, 72), (397, 72), (478, 72), (559, 80), (640, 80), (721, 80),
        (802, 80), (883, 80))
H = 91


def _walk5(facing, stride, **kw):
    four = walk_cycle(facing, stride=stride, **kw)
    return four + [four[0]]


def _frames():
    out = []
    gaits = [_walk5(1, 0.8, lean=3), _walk5(1, 0.7, lean=1, head="front", mouth="smile"),
             _walk5(1, 0.9, lean=6, neck=10)]
    for k in range(15):
        x, w = ROW0[k]
        out.append(Frame(6 + k, x, 0, w, H, "walks home, gait %d, step %d" % (k // 5, k % 5), gaits[k // 5][k % 5],
                         w / 2.0 - 2, ground=89))
    for k in range(12):
        e = 21 + k
        x, w = ROW1[k]
        if e <= 28:
            p, what = stand(**STANDS[k]), "stands, %d" % k
        elif e <= 30:
            p, what = stand(view="back" if e == 30 else "front"), "turns to his door, %d" % (e - 29)
        else:
            p, what = stand(view="back", head="side", head_facing=1 if e % 2 else -1), "waits on the steps, %d" % e
        out.append(Frame(e, x, 92, w, H, what, p, w / 2.0, ground=89))
    for k in range(12):
        e = 33 + k
        p = stand(view="back", head="side", head_facing=1 if k % 3 else -1, neck=(k % 4) * 3)
        out.append(Frame(e, 81 * k, 184, 80, H, "waits on the steps looking about, %d" % k, p, 40.0, ground=89))
    for k in range(12):
        e = 45 + k
        w = 72 if e == 56 else 80
        up = k % 2 == 1
        p = Pose(view="back", lean=0, near_leg=(35, 40) if up else (4, 0), far_leg=(4, 0) if up else (35, 40),
                 near_arm=(6, 8), far_arm=(6, 8))
        out.append(Frame(e, 81 * k, 276, w, H, "climbs the steps, %d" % k, p, w / 2.0, ground=89))
    for k in range(17):
        e = 57 + k
        t = k / 16.0
        p = Pose(view="back", lean=0, near_leg=(4, 0), far_leg=(4, 0)) if k < 13 else None
        out.append(Frame(e, 57 * k, 368, 56, H, "goes in, %d" % k, p, 28.0, ground=min(H, THRESHOLD),
                         behind=open_door(DOOR, shut=max(0.0, (k - 12) / 4.0)), scale=1.0 - 0.25 * t))
    return out


DESC = FigureDesc(32, "resident of door 2 coming home", 50, 90, _frames(), [SheetPlan(0, None, (971, 459))],
                  {1: {None: OUT}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
