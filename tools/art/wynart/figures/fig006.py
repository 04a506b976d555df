"""Figure 6: a man in a long coat and hat on his way home in the evening;
the same layout as figure 4."""
from ..figdesc import FigureDesc, SheetPlan
from ..people import LOOKS
from ..figure import Look, walk_cycle
from .fig004 import frames_for

LOOK = LOOKS[6]

LOOK_ABOUT = [
    ("looks left", dict(head="side", head_facing=-1)),
    ("looks ahead", dict(head="front")),
    ("looks right", dict(head="side", head_facing=1)),
    ("checks his watch", dict(head="front", neck=10, near_arm=(18, -105))),
    ("looks right, hand at his hat", dict(head="side", head_facing=1, far_arm=(125, 98))),
    ("looks up at the sky", dict(head="front", neck=-14)),
    ("turns up his collar", dict(head="front", near_arm=(55, 170), far_arm=(55, 170))),
    ("yawns", dict(head="front", eyes="closed", mouth="o")),
]

DESC = FigureDesc(6, "evening walker to the right", 80, 84,
                  frames_for(LOOK_ABOUT, walk=walk_cycle(1, stride=0.95, lean=6, arm=0.7),
                             gait2=walk_cycle(1, stride=0.95, lean=8, arm=0.4, neck=14)),
                  [SheetPlan(0, None, (1066, 339))], {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
