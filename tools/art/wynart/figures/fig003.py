"""Figure 3: a woman who strolls right along the pavement, stops to look
about (a long look that turns her head, shades her eyes and glances back),
walks back left now and then, and takes the bus by day."""
from dataclasses import replace

from ..figdesc import FigureDesc, SheetPlan, placed, pose_frames, walk_frames
from ..people import LOOKS
from ..figure import Pose, stand, walk_cycle

LOOK = replace(LOOKS[3], height=67)
H = 76
LOOK_XS = (196, 237, 286, 335, 376, 417, 466, 507, 548, 589, 630, 671, 712, 753, 794, 835, 876, 917, 958, 999)

LOOKS_ABOUT = [
    ("looks ahead", stand(head="front")),
    ("looks left", stand(head="side", head_facing=-1)),
    ("looks left, hand on her bag", stand(head="side", head_facing=-1, near_arm=(14, -70))),
    ("looks right", stand(head="side", head_facing=1)),
    ("shades her eyes, looks right", stand(head="side", head_facing=1, far_arm=(122, 93))),
    ("looks up", stand(neck=-12, eyes="wide")),
    ("smiles", stand(mouth="smile")),
    ("brushes back her hair", stand(far_arm=(140, 120), head="side", head_facing=1)),
    ("looks at her watch", stand(near_arm=(18, -105), neck=10)),
    ("glances back over her shoulder", Pose(facing=1, lean=0, head="side", head_facing=-1,
                                            near_arm=(-4, 12), far_arm=(4, 12))),
]
# the look run reaches the last entries too: a turn to the left that ends the look
TURN = [("turns to the left", Pose(facing=-1, lean=0, near_arm=(-4, 12), far_arm=(4, 12), near_leg=(8, 4),
                                   far_leg=(-6, 0)))]


def _frames():
    out = walk_frames(0, placed(0, (0, 41, 90, 139), (40, 48, 48, 56), H), "strolls right",
                      walk_cycle(1, stride=0.85, lean=2), 21, 1)
    out += pose_frames(4, placed(0, LOOK_XS, 40, H), LOOKS_ABOUT)
    out += pose_frames(24, placed(0, (1040,), 48, H), TURN)
    out += walk_frames(25, placed(0, (1089, 1146, 1195, 1244), (56, 48, 48, 40), H), "strolls left",
                       walk_cycle(-1, stride=0.85, lean=2), 21, -1)
    return out


DESC = FigureDesc(3, "stroller who may take the bus", 56, 73, _frames(), [SheetPlan(0, None, (1284, 76))],
                  {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
