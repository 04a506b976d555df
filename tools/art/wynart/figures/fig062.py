"""Figure 62: visitor who calls at the houses, on the residents' common layout."""
from ..figure import Look
from .residents import Layout, ResidentDesc, frames

LOOKS = {0: Look(female=True, height=75, hair="#6a3a1e", hair_style="ponytail", skin="#f0c8a8", top="#e07a3a", top_kind="jacket", bottom="#2f3f6a", bag=("shoulder", "#5a3a22"))}
LAYOUT = Layout(True, 4, 0, 1, 4, 0)

DESC = ResidentDesc(62, "visitor who calls at the houses", 80, frames(LAYOUT, 80, stride_right=20, stride_left=20), LOOKS)
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
