"""Figure 6: a man in a long coat and hat on his way home in the evening;
the same layout as figure 4."""
from ..figdesc import FigureDesc, SheetSpec
from ..figure import Look, walk_cycle
from .fig004 import frames_for

LOOK = Look(height=80, build=1.1, hair="#3a2e28", hair_style="short", skin="#e9b894", hat="hat",
            hat_colour="#3a3a40", top="#5a5e68", top_kind="coat", top_len=0.42, bottom="#2a2d34",
            shoes="#1a1a1e", scarf="#a83232", beard="#4a3a30", bag=("shoulder", "#3a2a1e"))

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
                  [SheetSpec(0, None, (1066, 339))], {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
