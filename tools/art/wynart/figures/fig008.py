"""Figure 8: an elderly man with a beret who gets out of the bus, looks
about slowly and walks off to the left. Summer and winter sheets."""
from dataclasses import replace

from ..figdesc import FigureDesc, SheetPlan, placed, pose_frames, walk_frames
from ..people import LOOKS
from ..figure import stand, walk_cycle

SUMMER = replace(LOOKS[8], height=73)
WINTER = SUMMER.winter(coat="#4a3a30", scarf="#c8b070", hat="beret", hat_colour="#2a2a30", gloves="#3a2a20",
                       coat_len=0.5)
H = 82
LOOK_ABOUT = [
    ("looks left", stand(head="side", head_facing=-1, lean=4)),
    ("looks ahead", stand(head="front", lean=4)),
    ("looks right", stand(head="side", head_facing=1, lean=4)),
    ("adjusts his glasses", stand(near_arm=(120, 140), head="front", lean=4)),
    ("nods to himself", stand(neck=14, mouth="smile", lean=4)),
]


def _frames():
    out = walk_frames(0, placed(0, (0, 65, 130, 187), (64, 64, 56, 56), H), "walks off left",
                      walk_cycle(-1, stride=0.7, lean=8, arm=0.6), 13, -1)
    out += pose_frames(4, placed(0, (244, 333, 422, 511, 600), 88, H), LOOK_ABOUT)
    return out


DESC = FigureDesc(8, "elderly man out of the bus", 64, 81, _frames(),
                  [SheetPlan(0, 1, (688, 82)), SheetPlan(1, 2, (688, 82))],
                  {1: {None: SUMMER}, 2: {None: WINTER}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
