"""Figure 67: young resident of door 2, on the residents' common layout."""
from ..figure import Look
from .residents import Layout, ResidentDesc, frames

LOOKS = {0: Look(height=77, build=0.95, hair="#c89050", hair_style="spiky", skin="#f4d0b4", top="#3a8a3a", top_kind="tracksuit", bottom="#2a2a2a", shoes="#f4f4f4", bag=("backpack", "#d8602a"))}
LAYOUT = Layout(False, 5, 6, 2, 6, 5)

DESC = ResidentDesc(67, "young resident of door 2", 81, frames(LAYOUT, 81, stride_right=20, stride_left=20), LOOKS)
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
