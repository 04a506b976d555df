"""Figure 56: Paula and Jakob, a young couple out for a stroll by day and at
night, who stop at the shop windows."""
from ..figdesc import SheetPlan
from ..figure import Look
from ..pavementfigs import PavementDesc
from ._couples import FH, frames

JAKOB = Look(height=77, hair="#1a1a1a", hair_style="short", skin="#b8805a", top="#d8d0c0", top_kind="sweater",
             bottom="#2a3a5a", shoes="#f4f4f4")
PAULA = Look(female=True, height=71, hair="#e0b060", hair_style="long", skin="#f4d2b8", top="#e05a4a",
             top_kind="jacket", bottom="#2a2a3a", bottom_kind="skirt", skirt_len=0.45, legs="#2a2a2a",
             bag=("shoulder", "#6a3a22"))
DESC = PavementDesc(56, "couple Paula and Jakob", 88, FH, frames(JAKOB, PAULA), [SheetPlan(0, None, (1205, 165))],
                    {1: {None: JAKOB}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
