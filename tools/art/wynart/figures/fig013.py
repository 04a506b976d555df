"""Figure 13: a man in a white shirt with a briefcase who comes from the
left to a spot right of the stop post; in the cold he coughs and rubs his
hands, and clicked he does knee bends."""
from dataclasses import replace

from ..figdesc import FigureDesc, SheetPlan, placed, pose_frames, walk_frames
from ..people import LOOKS
from ..figure import Pose, stand, walk_cycle

LOOK = replace(LOOKS[13], height=69)
H = 78

WAIT = [
    ("waits, looks left for the bus", stand(head="side", head_facing=-1)),
    ("waits, looks ahead", stand(head="front")),
    ("waits, checks his watch", stand(near_arm=(18, -105), neck=10)),
    ("waits, sighs", stand(eyes="closed", mouth="o")),
]
COLD = [
    ("coughs", stand(near_arm=(120, 150), neck=20, eyes="closed")),
    ("coughs again", stand(near_arm=(120, 150), neck=28, eyes="closed", mouth="o")),
    ("rubs his hands", stand(near_arm=(40, -120), far_arm=(40, -120), neck=10)),
    ("blows into his hands", stand(near_arm=(110, 140), far_arm=(110, 140), mouth="o")),
]
DOOR = [("steps to the door", Pose(facing=-1, lean=4, near_leg=(18, 6), far_leg=(-12, 14),
                                   near_arm=(-10, 12), far_arm=(10, 20)))]
BENDS = [
    ("puts the case down", Pose(facing=1, lean=30, neck=10, near_arm=(40, 10), far_arm=(20, 10))),
    ("arms forward", stand(near_arm=(90, 0), far_arm=(90, 0))),
    ("knee bend, down", stand(near_leg=(60, 110), far_leg=(60, 110), near_arm=(90, 0), far_arm=(90, 0))),
    ("knee bend, deep", stand(near_leg=(80, 140), far_leg=(80, 140), near_arm=(90, 0), far_arm=(90, 0))),
    ("knee bend, up", stand(near_leg=(40, 70), far_leg=(40, 70), near_arm=(90, 0), far_arm=(90, 0))),
    ("stands up straight", stand(near_arm=(90, 0), far_arm=(90, 0), mouth="o")),
    ("knee bend again", stand(near_leg=(70, 120), far_leg=(70, 120), near_arm=(90, 0), far_arm=(90, 0))),
    ("up again", stand(near_arm=(90, 0), far_arm=(90, 0), mouth="o")),
    ("shakes his legs", stand(near_leg=(30, 20), near_arm=(8, 6))),
    ("picks up the case", Pose(facing=1, lean=30, neck=10, near_arm=(40, 10), far_arm=(20, 10))),
    ("smooths his shirt", stand(near_arm=(10, -40), far_arm=(10, -40), mouth="smile")),
]


def _frames():
    out = walk_frames(0, placed(0, (0, 41, 82, 123), (40, 40, 40, 48), H), "walks right",
                      walk_cycle(1, stride=0.9, lean=4), 15, 1)
    out += pose_frames(4, placed(0, (172, 221, 270, 327), (48, 48, 56, 56), H), WAIT)
    out += pose_frames(8, placed(0, (384, 433, 490, 547), (48, 56, 56, 56), H), COLD)
    out += pose_frames(12, placed(0, (604,), 48, H), DOOR)
    out += pose_frames(13, placed(79, (0, 49, 98, 155, 212, 261, 318, 375, 432, 481, 530),
                                  (48, 48, 56, 56, 48, 56, 56, 56, 48, 48, 56), H), BENDS)
    return out


DESC = FigureDesc(13, "man with a briefcase at the stop", 48, 76, _frames(), [SheetPlan(0, None, (652, 157))],
                  {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
