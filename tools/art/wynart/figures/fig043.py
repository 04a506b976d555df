"""Figure 43: Herr Pohl, a stout man with a flat cap and a newspaper bag, on
the far pavement from the right, who stops to look about."""
from ..figdesc import SheetPlan
from ..figure import Look
from ..pavementfigs import PavementDesc
from ._lookers import layout_a

LOOK = Look(height=70, build=1.2, hair="#8a8a8a", hair_style="short", skin="#e8b898", top="#7a5a3a",
            top_kind="jacket", bottom="#4a4a4a", hat="cap", hat_colour="#5a4a3a", bag=("shoulder", "#3a5a3a"))
DESC = PavementDesc(43, "Herr Pohl, far pavement", 56, 74, layout_a(76, 74), [SheetPlan(0, None, (733, 76))],
                    {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
