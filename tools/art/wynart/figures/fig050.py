"""Figure 50: Lotte, a young woman with a ponytail, on the far pavement from
the right, who stops to look about; in winter in a coat and a bobble hat.
Where two look frames share columns the strip stays empty in both."""
from ..figdesc import SheetPlan
from ..figure import Look
from ..pavementfigs import PavementDesc, overlaps
from ._lookers import layout_b

SUMMER = Look(female=True, height=76, hair="#e0b050", hair_style="ponytail", skin="#f4d2b8", top="#e86a8a",
              top_kind="shirt", sleeves="short", bottom="#3a5a9a", bottom_kind="skirt", skirt_len=0.45,
              shoes="#f4f4f4")
WINTER = SUMMER.winter(coat="#4a6a9a", scarf="#f4f4f4", hat="beanie", hat_colour="#e86a8a", gloves="#f4f4f4")
FRAMES = layout_b(85, 83)
DESC = PavementDesc(50, "Lotte, far pavement", 72, 83, FRAMES,
                    [SheetPlan(0, 1, (1089, 85)), SheetPlan(1, 2, (1089, 85))],
                    {1: {None: SUMMER}, 2: {None: WINTER}}, blank=overlaps(FRAMES))
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
