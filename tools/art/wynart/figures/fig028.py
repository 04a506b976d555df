"""Figure 28: the man who lives behind door 2, in his open doorway. He looks
out (0-40), goes back in and shuts the door (41-50) or steps out (51-59),
stands before the door (61-71) and walks off to the left (72-83). The
doorway frames are drawn at scene (411, 17) and carry the open door of the
background behind him."""
from ..doorway import door_in_frame, open_door
from ..figdesc import Frame, FigureDesc, SheetPlan, cycle_anchors
from ..figure import Look, Pose, stand, walk_cycle

LOOK = Look(height=78, build=1.08, hair="#b8b8b0", hair_style="short", skin="#efc3a0", glasses=True,
            top="#7a6a3a", top_kind="sweater", collar="#e8e4d8", bottom="#4a4a52", shoes="#3a2a1e",
            beard="#c8c8c0")
WINTER = LOOK.winter(coat="#4a3a2e", scarf="#3a6a4a", hat="hat", hat_colour="#3a3430")
AT = (411, 17)                 # the doorway frames' corner in the scene
DOOR = door_in_frame(2, AT)    # door 2 inside those frames
THRESHOLD = DOOR[1] + DOOR[3]  # his feet in the doorway

HEIGHTS = ([91] * 3 + [93] * 2 + [97] * 2 + [98, 97] + [96] * 12 + [97] + [100] * 19 + [93] * 3 + [91] * 2
           + [92] * 2 + [91] * 3 + [94, 98] + [101] * 4 + [108] * 2 + [109])
ROW61 = ((0, 64), (65, 72), (138, 64), (211, 64), (276, 64), (341, 64), (406, 64), (471, 64), (536, 64),
         (601, 64), (666, 64))
ROW72 = ((0, 64), (65, 64), (130, 64), (195, 64), (260, 64), (325, 64), (390, 56), (447, 56), (504, 56),
         (561, 56), (618, 56), (675, 56))


def _rect(k):
    if k <= 29:
        return 73 * (k % 10), 101 * (k // 10)
    if k == 30:
        return 657, 202
    return 73 * ((k - 31) % 10), 303 + 101 * ((k - 31) // 10)


LOOKS_OUT = [
    dict(head="front"), dict(head="side", head_facing=-1), dict(head="side", head_facing=-1, neck=-8),
    dict(head="front", mouth="smile"), dict(head="side", head_facing=1), dict(head="side", head_facing=1, neck=-10),
    dict(head="front", near_arm=(40, -95)), dict(head="front", near_arm=(40, -95), far_arm=(40, -95)),
    dict(head="side", head_facing=-1, far_arm=(122, 93)), dict(head="front", eyes="closed", mouth="o",
                                                              near_arm=(140, 60), far_arm=(140, 60)),
]


def _frames():
    out = []
    for k in range(60):
        x, y = _rect(k)
        h = HEIGHTS[k]
        if k <= 40:
            kw = LOOKS_OUT[(k // 4) % len(LOOKS_OUT)]
            p, what = stand(**kw), "looks out of his doorway, %d" % k
            behind, ground, scale = open_door(DOOR), min(h, THRESHOLD), 1.0
        elif k <= 50:
            t = (k - 41) / 9.0
            p = stand(view="back") if k < 46 else None
            what = "goes back in and shuts the door, %d" % (k - 41)
            behind, ground, scale = open_door(DOOR, shut=max(0.0, (k - 45) / 5.0)), min(h, THRESHOLD), 1 - 0.2 * t
        else:
            t = (k - 51) / 8.0
            p = walk_cycle(1, stride=0.5, lean=2, head="front")[(k - 51) % 4]
            p.view = "front"
            what = "steps out of the door, %d" % (k - 51)
            behind, ground, scale = open_door(DOOR, shut=t if k >= 56 else 0.0), min(h, THRESHOLD + int(16 * t)), 1.0
        out.append(Frame(k, x, y, 72, h, what, p, 40.0, ground=ground, behind=behind, scale=scale))
    for k, (x, w) in enumerate(ROW61):
        e = 61 + k
        kw = LOOKS_OUT[k % len(LOOKS_OUT)]
        out.append(Frame(e, x, 616, w, 88 if e in (64, 65) else 87, "stands before his door, %d" % k,
                         stand(**kw), w / 2.0, ground=86))
    walk = walk_cycle(-1, stride=0.8, lean=3)
    for k, (x, w) in enumerate(ROW72):
        e = 72 + k
        h = 86 if e in (78, 79, 80) else 87
        out.append(Frame(e, x, 707, w, h, "walks left, step %d" % k, walk[k % 4], w / 2.0 + 2, ground=86))
    return out


DESC = FigureDesc(28, "resident of door 2 in his doorway", 64, 87, _frames(), [SheetPlan(0, None, (731, 794))],
                  {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
