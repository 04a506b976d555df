"""Figure 1: a man with hat and glasses who walks from the right to the bus
stop and waits there; clicked, he searches his pockets, finds his newspaper
("oh?"), opens it wide and folds it again. Summer and winter sheets."""
from dataclasses import replace

from ..figdesc import FigureDesc, SheetPlan, placed, pose_frames, walk_frames
from ..people import LOOKS
from ..figure import Pose, stand, walk_cycle

SUMMER = replace(LOOKS[1], height=65)
WINTER = SUMMER.winter(coat="#3a4a5a", scarf="#8a2a2a", hat="hat", hat_colour="#3a3028", gloves="#2a2a2a")

H = 72
WAIT = [
    ("waits, looks up the street", stand(head="side", head_facing=1)),
    ("waits, looks ahead", stand(head="front")),
    ("waits, checks his watch", stand(near_arm=(18, -105), neck=10)),
    ("waits, looks for the bus", stand(head="side", head_facing=1, far_arm=(122, 93))),
]
SEARCH = [
    ("pats his coat", stand(near_arm=(10, -60), far_arm=(10, -60), head="front")),
    ("pats his trouser pockets", stand(near_arm=(2, 20), far_arm=(2, 20), neck=14)),
    ("looks into his coat", Pose(facing=-1, lean=6, neck=20, near_arm=(30, -90), far_arm=(10, 20))),
    ("searches the inner pocket", Pose(facing=-1, lean=4, neck=16, near_arm=(40, -120), far_arm=(20, -60))),
    ("feels something", stand(near_arm=(40, -120), neck=10, eyes="wide")),
    ("pulls out the newspaper", stand(near_arm=(60, -40), hand_near="map", mouth="o", eyes="wide")),
    ("holds it up, oh?", stand(near_arm=(95, 10), hand_near="map", mouth="o")),
]
READ = [
    ("opens the newspaper wide", stand(near_arm=(70, -30), far_arm=(70, -30), hand_near="map", hand_far="map",
                                       neck=8)),
    ("reads the newspaper", stand(near_arm=(80, -40), far_arm=(80, -40), hand_near="map", hand_far="map",
                                  neck=14)),
    ("turns a page", stand(near_arm=(100, -20), far_arm=(60, -40), hand_near="map", hand_far="map", neck=10)),
]
FOLD = [
    ("folds the newspaper", stand(near_arm=(40, -80), far_arm=(40, -80), hand_near="map")),
    ("folds it once more", stand(near_arm=(30, -100), far_arm=(30, -100), hand_near="map", neck=10)),
    ("tucks it under his arm", stand(near_arm=(20, -60), far_arm=(8, 6), hand_near="map")),
    ("nods, satisfied", stand(mouth="smile", neck=10)),
]


def _frames():
    out = walk_frames(0, placed(0, (0, 57, 114, 163), (56, 56, 48, 40), H), "walks left to the stop",
                      walk_cycle(-1, stride=0.9, lean=4), 17, -1)
    out += pose_frames(4, placed(0, (204, 261, 318, 375), 56, H), WAIT)
    out += pose_frames(13, placed(0, (668, 725, 782), 56, H), SEARCH[:3])
    # entry 16 lies at the start of the second row, where entry 17 follows it
    out += pose_frames(16, [(0, 73, 48, H)] + placed(73, (49, 98, 147), (48, 48, 56), H), SEARCH[3:])
    out += pose_frames(20, placed(73, (204, 285, 374), (80, 88, 80), H), READ)
    out += pose_frames(23, placed(73, (455, 520, 585, 650), 64, H), FOLD)
    return out


DESC = FigureDesc(1, "man waiting for the bus", 56, 72, _frames(),
                  [SheetPlan(0, 1, (838, 145)), SheetPlan(1, 2, (838, 145))],
                  {1: {None: SUMMER}, 2: {None: WINTER}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
