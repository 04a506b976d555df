"""Figure 48: Opa Willi, a white-bearded old man with a walking stick's
brisk stride, crossing the near pavement from left to right; in winter in
a coat, scarf and hat."""
from ..figdesc import SheetPlan
from ..figure import Look
from ..pavementfigs import PavementDesc, walk_row, xs_row

SUMMER = Look(height=75, build=1.05, hair="#f0f0f0", hair_style="bald", skin="#eab896", beard="#f0f0f0",
              top="#c8c0a0", top_kind="shirt", sleeves="short", bottom="#6a5a40", hat="hat",
              hat_colour="#d8d0b0", glasses=True)
WINTER = SUMMER.winter(coat="#5a3a2a", scarf="#2a5a3a", hat="hat", hat_colour="#3a2a20", gloves="#2a2a2a")
FRAMES = walk_row(0, xs_row((0, 65, 130, 195), (64,) * 4), 81, 1, 26, "strides across the pavement",
                  ground=81, lean=5, stride=1.1)
DESC = PavementDesc(48, "Opa Willi on the near pavement", 64, 81, FRAMES,
                    [SheetPlan(0, 1, (259, 81)), SheetPlan(1, 2, (259, 81))],
                    {1: {None: SUMMER}, 2: {None: WINTER}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
