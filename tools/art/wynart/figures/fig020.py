"""Figure 20: a bearded man in a beanie who walks through or stands on the
pavement and gives way; clicked while he stands he lifts his cap and bows
deeper and deeper, then straightens up again."""
from dataclasses import replace

from ..figdesc import FigureDesc, SheetPlan, placed, pose_frames, walk_frames
from ..people import LOOKS
from ..figure import Pose, stand, walk_cycle

LOOK = replace(LOOKS[20], height=70)
H = 76
XS = (0, 57, 114, 163, 212, 261, 310, 367, 424, 473, 522, 571, 620, 669)
WS = (56, 56, 48, 48, 48, 48, 56, 56, 48, 48, 48, 48, 48, 48)

STAND = [
    ("stands, looks left", stand(head="side", head_facing=-1)),
    ("stands, looks ahead", stand(head="front")),
    ("stands, looks right", stand(head="side", head_facing=1)),
    ("stands, hands in his pockets", stand(near_arm=(4, -20), far_arm=(4, -20))),
    ("stands, strokes his beard", stand(near_arm=(30, -150))),
    ("stands, rocks on his heels", stand(near_toe=-10, far_toe=-10, mouth="smile")),
]


def _bow(k):
    """The bow of the act: the arm lifts the cap first, then the body leans
    further with each frame."""
    lean = 0 if k < 3 else min(45, 5 * (k - 2))
    arm = (min(150, 50 * (k + 1)), 130) if k < 3 else (max(10, 60 - 5 * k), 30)
    return ("bows, step %d" % k, Pose(facing=1, lean=lean, neck=min(20, 2 * k), near_arm=arm,
                                       far_arm=(-10 - 3 * k, 10), mouth="smile" if k > 8 else "none"))


def _frames():
    out = walk_frames(0, placed(0, XS[0:4], WS[0:4], H), "walks left", walk_cycle(-1, stride=0.9, lean=4), 19, -1)
    out += walk_frames(4, placed(0, XS[4:8], WS[4:8], H), "walks right", walk_cycle(1, stride=0.9, lean=4), 19, 1)
    out += pose_frames(8, placed(0, XS[8:14], WS[8:14], H), STAND)
    out += pose_frames(14, placed(77, [49 * k for k in range(14)], 48, H), [_bow(k) for k in range(14)],
                       ax=lambda k, w: 20.0)
    return out


DESC = FigureDesc(20, "man who gives way", 56, 74, _frames(), [SheetPlan(0, None, (717, 153))],
                  {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
