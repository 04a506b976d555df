"""Figure 45: Frau Sommerfeld, a tall woman in a green jacket, on the far
pavement from the right, who stops to look about. Where two look frames
share columns the strip stays empty in both."""
from ..figdesc import SheetPlan
from ..figure import Look
from ..pavementfigs import PavementDesc, overlaps
from ._lookers import layout_b

LOOK = Look(female=True, height=80, hair="#2a1a12", hair_style="long", skin="#c48a62", top="#3a8a4a",
            top_kind="jacket", bottom="#e8e0d0", shoes="#6a3a22", bag=("shoulder", "#c8a040"))
FRAMES = layout_b(85, 83)
DESC = PavementDesc(45, "Frau Sommerfeld, far pavement", 82, 83, FRAMES, [SheetPlan(0, None, (1089, 85))],
                    {1: {None: LOOK}}, blank=overlaps(FRAMES))
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
