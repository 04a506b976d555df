"""Figure 63: resident of door 2 in summer and winter clothes, on the residents' common layout."""
from ..figure import Look
from .residents import Layout, ResidentDesc, frames

SUMMER = Look(height=80, hair="#3a2a1e", hair_style="short", skin="#f1c7a5", top="#6a8ab0", top_kind="shirt", bottom="#4a4238", glasses=True)
LOOKS = {0: SUMMER, 1: SUMMER.winter(coat="#4a5a7a", scarf="#c8a040", hat="beanie", hat_colour="#c8a040")}
LAYOUT = Layout(False, 6, 6, 2, 6, 5)

DESC = ResidentDesc(63, "resident of door 2 in summer and winter clothes", 81, frames(LAYOUT, 81, stride_right=28, stride_left=28), LOOKS)
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
