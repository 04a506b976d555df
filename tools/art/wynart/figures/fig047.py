"""Figure 47: the person of figures 25 and 26, crossing the near pavement
from left to right without stopping."""
from ..figdesc import SheetPlan
from ..figure import Look
from ..pavementfigs import PavementDesc, walk_row, xs_row

LOOK = Look(female=True, height=77, hair="#6a3a1a", hair_style="bob", skin="#f0c8a8", top="#d8a030",
            top_kind="sweater", bottom="#3a4a6a", shoes="#3a2a1a", bag=("hand", "#8a2a2a"))
FRAMES = walk_row(0, xs_row((0, 49, 106, 163), (48, 56, 56, 64)), 79, 1, 16, "crosses the pavement", ground=79,
                  lean=4)
DESC = PavementDesc(47, "crosser of the near pavement", 56, 79, FRAMES, [SheetPlan(0, None, (227, 79))],
                    {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
