"""Figure 10: a young man in a cap who walks left and either waits at the
stop or passes by; a second gait with a skip in it; clicked while he waits
he plays air guitar."""
from dataclasses import replace

from ..figdesc import FigureDesc, SheetPlan, placed, pose_frames, walk_frames
from ..people import LOOKS
from ..figure import Pose, stand, walk_cycle

LOOK = replace(LOOKS[10], height=72)
H = 82
XS = (0, 65, 130, 187)
WS = (64, 64, 56, 56)
ACT_XS = (244, 333, 422, 511, 600)

GUITAR = [
    ("air guitar, strums", stand(near_arm=(40, -100), far_arm=(70, -40), mouth="open")),
    ("air guitar, strums down", stand(near_arm=(20, -90), far_arm=(70, -40), neck=10)),
    ("air guitar, head bang", stand(near_arm=(40, -100), far_arm=(70, -40), neck=25, eyes="closed")),
    ("air guitar, arm up", stand(near_arm=(150, 20), far_arm=(70, -40), mouth="open")),
    ("air guitar, kneels", Pose(facing=-1, lean=-10, near_leg=(80, 90), far_leg=(-10, 100), far_toe=60,
                                near_arm=(40, -100), far_arm=(70, -40), mouth="open")),
]
SKIP = [
    ("nods to the music", stand(neck=12, mouth="smile")),
    ("bobs his head", stand(neck=-6)),
    ("snaps his fingers", stand(near_arm=(60, -20))),
    ("taps his foot", stand(near_leg=(14, 10), near_toe=-16)),
    ("looks for the bus", stand(head="side", head_facing=1)),
]
WAIT = [
    ("waits, hands in his pockets", stand(near_arm=(4, -20), far_arm=(4, -20))),
    ("waits, looks right", stand(head="side", head_facing=1)),
    ("waits, looks ahead", stand(head="front")),
    ("waits, checks his phone", stand(near_arm=(15, -110), neck=20, hand_near="phone")),
    ("waits, types on his phone", stand(near_arm=(15, -110), far_arm=(15, -110), neck=20, hand_near="phone")),
    ("waits, looks left", stand(head="side", head_facing=-1)),
    ("waits, stretches", stand(near_arm=(140, 60), far_arm=(140, 60), mouth="o")),
]


def _frames():
    out = walk_frames(0, placed(0, XS, WS, H), "walks left", walk_cycle(-1, stride=0.95, lean=4), 13, -1)
    out += pose_frames(4, placed(0, ACT_XS, 88, H), GUITAR)
    out += walk_frames(9, placed(83, XS, WS, H), "walks left with a skip",
                       walk_cycle(-1, stride=1.0, lean=2, bounce=1.6, mouth="smile"), 13, -1)
    out += pose_frames(13, placed(83, ACT_XS, 88, H), SKIP)
    out += pose_frames(18, placed(166, (0, 89, 178, 267, 356, 445, 534), 88, H), WAIT)
    return out


DESC = FigureDesc(10, "young man at the stop", 56, 80, _frames(), [SheetPlan(0, None, (688, 248))],
                  {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
