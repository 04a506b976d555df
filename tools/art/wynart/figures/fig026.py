"""Figure 26: the resident of figure 25 in her winter coat, large on the near
pavement at dusk before Christmas. She walks right and, when clicked, stops
to wave and to show the present she carries."""
from ..figdesc import Frame, FigureDesc, SheetPlan, cycle_anchors
from ..figure import Pose, walk_cycle
from .fig025 import WINTER

LOOK = WINTER.__class__(**{**WINTER.__dict__, "height": 126, "bag": ("hand", "#c83a3a")})
FRAME_H = 132
WALK = ((0, 144), (145, 160), (306, 160), (467, 160))
ACT_X = (0, 177, 354, 531, 708)
STRIDE = 21


def _frames():
    out = []
    walk = walk_cycle(1, stride=0.85, lean=3)
    ax = cycle_anchors(4, 66.0, STRIDE, 1)
    for k, (x, w) in enumerate(WALK):
        out.append(Frame(k, x, 0, w, FRAME_H, "walks right in her winter coat, step %d" % k, walk[k], ax[k]))
    acts = [
        ("stops and looks at the viewer", Pose(view="front", lean=0, near_leg=(4, 0), far_leg=(4, 0),
                                               near_arm=(8, 6), far_arm=(8, 6), mouth="smile")),
        ("waves", Pose(view="front", lean=0, near_leg=(4, 0), far_leg=(4, 0), near_arm=(8, 6),
                       far_arm=(140, 30), mouth="open")),
        ("waves the other way", Pose(view="front", lean=0, near_leg=(4, 0), far_leg=(4, 0), near_arm=(8, 6),
                                     far_arm=(120, 60), mouth="open")),
        ("holds up her present", Pose(view="front", lean=0, near_leg=(4, 0), far_leg=(4, 0), near_arm=(60, -110),
                                      far_arm=(60, -110), hand_near="bag:#c83a3a", mouth="smile")),
        ("laughs", Pose(view="front", lean=0, neck=-10, near_leg=(4, 0), far_leg=(4, 0), near_arm=(20, -60),
                        far_arm=(20, -60), mouth="open", eyes="closed")),
    ]
    for k, (what, p) in enumerate(acts):
        out.append(Frame(4 + k, ACT_X[k], 133, 176, FRAME_H, what, p, 88.0))
    return out


DESC = FigureDesc(26, "resident in winter dress", 144, FRAME_H, _frames(), [SheetPlan(0, None, (884, 265))],
                  {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
