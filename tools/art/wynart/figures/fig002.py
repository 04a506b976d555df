"""Figure 2: a tall young jogger who crosses the near pavement in big bounding
leaps, each carrying him 100 pixels; he comes from the other side each time.
The frame widths leave little room behind him, so he leaps with his knees
tucked rather than in a split."""
from ..figdesc import Frame, FigureDesc, SheetPlan, cycle_anchors
from ..people import LOOKS
from ..figure import Look, Pose

LOOK = LOOKS[2]

RIGHT = [(0, 0, 64), (65, 0, 64), (130, 0, 80), (211, 0, 112), (324, 0, 128), (0, 77, 120), (121, 77, 144)]
LEFT = [(266, 77, 144), (0, 154, 128), (129, 154, 112), (242, 154, 104), (347, 154, 80), (428, 154, 72),
        (411, 77, 56)]
LEAP = 100

# one leap in seven frames: (what, pose fields)
PHASES = [
    ("gathers, knees bent", dict(near_leg=(30, 60), far_leg=(-6, 50), near_toe=-4, far_toe=20, lean=16,
                                 near_arm=(-40, 30), far_arm=(-30, 40), mouth="none")),
    ("pushes off", dict(near_leg=(40, 70), far_leg=(-16, 10), far_toe=45, lean=14, near_arm=(60, 40),
                        far_arm=(-30, 30))),
    ("rises, knee up", dict(near_leg=(70, 80), far_leg=(-18, 50), far_toe=30, lean=10, near_arm=(80, 40),
                            far_arm=(-20, 40), lift=4, mouth="open")),
    ("floats at the top", dict(near_leg=(75, 95), far_leg=(10, 95), near_toe=20, far_toe=30, lean=6,
                               near_arm=(95, 40), far_arm=(80, 50), lift=7, mouth="o")),
    ("comes down", dict(near_leg=(50, 30), far_leg=(-10, 90), near_toe=-10, far_toe=30, lean=4,
                        near_arm=(70, 30), far_arm=(20, 40), lift=4)),
    ("lands on the front foot", dict(near_leg=(30, 10), far_leg=(-6, 80), near_toe=-12, far_toe=30, lean=8,
                                     near_arm=(20, 30), far_arm=(30, 40), lift=1)),
    ("takes the landing", dict(near_leg=(18, 50), far_leg=(0, 80), near_toe=-2, far_toe=25, lean=14,
                               near_arm=(-20, 30), far_arm=(10, 40))),
]


def _frames():
    out = []
    ax = cycle_anchors(7, 20, LEAP, 1)
    for k, ((x, y, w), (what, kw)) in enumerate(zip(RIGHT, PHASES)):
        out.append(Frame(k, x, y, w, 76, "leap to the right: " + what, Pose(facing=1, **kw), ax[k]))
    ax = cycle_anchors(7, 124, LEAP, -1)
    for k, ((x, y, w), (what, kw)) in enumerate(zip(LEFT, PHASES)):
        # the frames to the left are narrower behind the figure: keep it inside
        a = min(ax[k], w - 26)
        out.append(Frame(7 + k, x, y, w, 76, "leap to the left: " + what, Pose(facing=-1, **kw), a))
    return out


DESC = FigureDesc(2, "leaping jogger", 80, 75, _frames(), [SheetPlan(0, None, (500, 230))], {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
