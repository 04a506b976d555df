"""Figure 65: resident of door 2 who also comes at dusk and night, on the residents' common layout."""
from ..figure import Look
from .residents import Layout, ResidentDesc, frames

LOOKS = {0: Look(height=78, build=1.1, hair="#9a9a9a", hair_style="short", skin="#eab894", top="#7a4a2a", top_kind="jacket", bottom="#4a4a3a", hat="cap", hat_colour="#4a4a3a")}
LAYOUT = Layout(False, 5, 5, 2, 6, 5)

DESC = ResidentDesc(65, "resident of door 2 who also comes at dusk and night", 81, frames(LAYOUT, 81, stride_right=28, stride_left=28), LOOKS)
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
