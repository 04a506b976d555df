"""Figure 7: a woman in a green dress who only ever gets out of the bus;
she looks about beside the stop post and walks off to the left."""
from dataclasses import replace

from ..figdesc import FigureDesc, SheetPlan, placed, pose_frames, walk_frames
from ..people import LOOKS
from ..figure import stand, walk_cycle

LOOK = replace(LOOKS[7], height=69)
H = 77
LOOK_ABOUT = [
    ("looks left", stand(head="side", head_facing=-1)),
    ("looks ahead", stand(head="front")),
    ("looks right after the bus", stand(head="side", head_facing=1)),
    ("smooths her dress", stand(near_arm=(10, -30), far_arm=(10, -30), neck=10)),
    ("looks left, hand at her hair", stand(head="side", head_facing=-1, far_arm=(140, 120))),
    ("smiles", stand(mouth="smile")),
    ("looks up at the houses", stand(neck=-12)),
]


def _frames():
    out = walk_frames(0, placed(0, (0, 57, 114, 171), 56, H), "walks off left",
                      walk_cycle(-1, stride=0.9, lean=3), 14, -1)
    out += pose_frames(4, placed(0, (228, 293, 358, 423, 488, 553), 64, H) + [(0, 78, 64, H)], LOOK_ABOUT)
    return out


DESC = FigureDesc(7, "woman out of the bus", 56, 76, _frames(), [SheetPlan(0, None, (617, 155))],
                  {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
