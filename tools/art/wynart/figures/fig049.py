"""Figure 49: Frau Kessler, an elderly lady with a hat and a handbag, on the
far pavement from the right, who stops to look about."""
from ..figdesc import SheetPlan
from ..figure import Look
from ..pavementfigs import PavementDesc
from ._lookers import layout_a

LOOK = Look(female=True, height=67, hair="#d8d8d8", hair_style="bun", skin="#f2d0b8", top="#8a3a6a",
            top_kind="coat", top_len=0.4, bottom="#3a3a4a", hat="hat", hat_colour="#4a2a4a", glasses=True,
            bag=("hand", "#2a2a2a"))
DESC = PavementDesc(49, "Frau Kessler, far pavement", 64, 74, layout_a(76, 74), [SheetPlan(0, None, (733, 76))],
                    {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
