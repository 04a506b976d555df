"""Figure 5: a heavy bearded man who comes from the left and waits left of
the stop post; he fidgets while he waits, does his exercises when clicked,
and gives up and goes back left when clicked once too often."""
from ..figdesc import FigureDesc, SheetPlan, packed, pose_frames, walk_frames
from ..people import LOOKS
from ..figure import Pose, stand, walk_cycle

LOOK = LOOKS[5]
H = 98
FEET = 95

ROWS = [
    (0, [72, 80, 80, 88, 72, 80, 80, 88, 88, 88, 88]),
    (99, [72, 80, 80, 88, 88, 88, 96, 96, 112, 112]),
    (198, [120, 120, 104, 104, 112, 112, 104, 120]),
    (297, [96, 96, 96, 96, 96, 88, 80, 96, 80, 88]),
    (396, [96, 96, 88, 96, 96, 96, 88, 96, 96, 88]),
    (495, [96, 96, 96, 88, 96, 80, 80, 72, 96, 88, 88]),
]
RECTS = [r for y, ws in ROWS for r in packed(y, ws, H)]

STOPS = [
    ("stops", stand(view="side", facing=1, lean=0)),
    ("stops, looks at the post", stand(head="side", head_facing=1)),
    ("stops, puffs", stand(mouth="o")),
]
SPARE = [
    ("stands, hands behind his back", stand(near_arm=(-30, -40), far_arm=(-30, -40))),
    ("stands, rocks on his heels", stand(near_toe=-10, far_toe=-10)),
    ("stands, looks left", stand(head="side", head_facing=-1)),
    ("stands, looks right", stand(head="side", head_facing=1)),
    ("scratches his beard", stand(near_arm=(30, -150), head="front")),
    ("hums to himself", stand(mouth="o", eyes="closed")),
    ("looks at the sky", stand(neck=-14)),
    ("shrugs", stand(near_arm=(30, 80), far_arm=(30, 80), mouth="frown")),
]
FIDGET = [
    ("shifts his weight", stand(near_leg=(8, 0), far_leg=(-2, 0))),
    ("taps his foot", stand(near_leg=(14, 10), near_toe=-16)),
    ("folds his arms", stand(near_arm=(20, -120), far_arm=(25, -125))),
    ("sighs", stand(near_arm=(20, -120), far_arm=(25, -125), eyes="closed", mouth="o")),
    ("checks his watch", stand(near_arm=(18, -105), neck=12)),
    ("stretches his arms", stand(near_arm=(140, 60), far_arm=(140, 60), mouth="o")),
    ("rubs his back", stand(near_arm=(-40, -70), far_arm=(-40, -70), neck=-6)),
    ("looks up the street", stand(head="side", head_facing=-1, far_arm=(122, 93))),
    ("hands in his pockets", stand(near_arm=(4, -20), far_arm=(4, -20))),
    ("yawns", stand(near_arm=(120, 120), mouth="o", eyes="closed")),
]
WAIT = [
    ("waits, looks right for the bus", stand(head="side", head_facing=1)),
    ("waits, looks ahead", stand(head="front")),
    ("waits, hands behind his back", stand(near_arm=(-30, -40), far_arm=(-30, -40))),
    ("waits, looks left", stand(head="side", head_facing=-1)),
    ("waits, shades his eyes", stand(head="side", head_facing=1, far_arm=(122, 93))),
    ("waits, rocks on his toes", stand(near_toe=14, far_toe=14, lift=1)),
    ("waits, nods", stand(neck=12)),
    ("waits, whistles", stand(mouth="o")),
    ("waits, looks at his watch", stand(near_arm=(18, -105), neck=10)),
    ("waits, smiles", stand(mouth="smile")),
]
EXERCISE = [
    ("arms up", stand(near_arm=(170, 0), far_arm=(170, 0), mouth="o")),
    ("arms out", stand(near_arm=(90, 0), far_arm=(90, 0))),
    ("bends to the side", stand(near_arm=(170, 0), far_arm=(20, 0), tilt=-8)),
    ("bends to the other side", stand(near_arm=(20, 0), far_arm=(170, 0), tilt=8)),
    ("touches his knees", Pose(view="side", facing=1, lean=45, neck=10, near_arm=(70, 0), far_arm=(70, 0))),
    ("straightens up, puffing", stand(mouth="o", eyes="closed")),
    ("knee up", stand(near_leg=(70, 80), near_arm=(30, -90), far_arm=(30, -90))),
    ("other knee up", stand(far_leg=(70, 80), near_arm=(30, -90), far_arm=(30, -90))),
    ("jumps", stand(near_arm=(150, 30), far_arm=(150, 30), lift=2, mouth="open")),
    ("wipes his brow", stand(near_arm=(150, 130), eyes="closed")),
]


def _frames():
    out = walk_frames(0, RECTS[0:4], "walks right", walk_cycle(1, stride=0.9, lean=4), 21, 1)
    out += walk_frames(4, RECTS[4:8], "walks right, hands in his pockets",
                       walk_cycle(1, stride=0.8, lean=2, arm=0.2), 21, 1)
    out += pose_frames(8, RECTS[8:11], STOPS)
    out += pose_frames(11, RECTS[11:19], SPARE)
    out += pose_frames(19, RECTS[19:29], FIDGET)
    out += pose_frames(29, RECTS[29:39], WAIT)
    out += pose_frames(39, RECTS[39:49], EXERCISE)
    out += walk_frames(49, RECTS[49:53], "gives up, walks left", walk_cycle(-1, stride=0.9, lean=5), 21, -1)
    out += pose_frames(53, RECTS[53:60], SPARE[1:])
    return out


DESC = FigureDesc(5, "heavy man at the stop", 80, FEET, _frames(), [SheetPlan(0, None, (986, 593))],
                  {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
