"""Figure 66: the senior painter of door 2, on the residents' common layout."""
from ..figure import Look
from .residents import Layout, ResidentDesc, frames

SUMMER = Look(height=76, build=1.05, hair="#e0e0e0", hair_style="short", skin="#f0c8a8", beard="#d8d8d8", top="#e8e0c8", top_kind="coat", bottom="#5a5a6a", hat="beret", hat_colour="#2a2a2a")
LOOKS = {0: SUMMER, 1: SUMMER.winter(coat="#5a3a2a", scarf="#b03a3a", hat="beret", hat_colour="#2a2a2a")}
LAYOUT = Layout(False, 6, 6, 2, 6, 5)

DESC = ResidentDesc(66, "the senior painter of door 2", 81, frames(LAYOUT, 81, stride_right=28, stride_left=28), LOOKS)
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
