"""Figure 64: resident of door 2 with a second costume, on the residents' common layout."""
from ..figure import Look
from .residents import Layout, ResidentDesc, frames

LOOKS = {0: Look(female=True, height=74, hair="#2a1a14", hair_style="bob", skin="#c89070", top="#2f8a7a", top_kind="sweater", bottom="#3a3a44", bag=("hand", "#8a2a2a")), 1: Look(female=True, height=74, hair="#2a1a14", hair_style="bun", skin="#c89070", top="#8a2a5a", top_kind="dress", bottom="#8a2a5a", bottom_kind="skirt", legs="#2a2a2a", bag=("hand", "#e8d8a0"))}
LAYOUT = Layout(True, 4, 4, 1, 4, 5)

DESC = ResidentDesc(64, "resident of door 2 with a second costume", 80, frames(LAYOUT, 80, stride_right=20, stride_left=21), LOOKS)
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
