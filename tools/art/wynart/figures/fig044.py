"""Figure 44: a passer-by who stops beside the street musician to listen,
nods, sways and claps along, and walks on when the music stops. The same
table as figure 42."""
from ..figdesc import SheetPlan
from ..figure import Look, Pose, stand
from .fig042 import FRAME_H, SHARED_STRIPS, TableDesc, play_frames, walk_frames

LOOK = Look(female=True, height=75, hair="#c05a2a", hair_style="ponytail", skin="#f3cdb0", top="#3a8a9a",
            top_kind="jacket", top_len=0.1, bottom="#2a2a3a", bottom_kind="skirt", skirt_len=0.45, legs="#4a3a3a",
            shoes="#6a2a2a", bag=("shoulder", "#d8b040"), scarf="#f0e0b0")


def _listening(facing):
    """She faces the way she walked, her head turned to the music behind her."""
    to = -facing
    return [
        ("stops and turns her head", stand(head="side", head_facing=to)),
        ("listens", stand(head="side", head_facing=to, mouth="smile")),
        ("nods along", stand(head="side", head_facing=to, neck=12, mouth="smile")),
        ("listens", stand(head="side", head_facing=to, mouth="smile")),
        ("nods along", stand(head="side", head_facing=to, neck=12, mouth="smile")),
        ("claps, hands apart", stand(near_arm=(30, -100), far_arm=(30, -100), mouth="open")),
        ("claps, hands together", stand(near_arm=(22, -125), far_arm=(22, -125), mouth="open")),
        ("claps, hands apart", stand(near_arm=(30, -100), far_arm=(30, -100), mouth="smile")),
        ("claps, hands together", stand(near_arm=(22, -125), far_arm=(22, -125), mouth="smile")),
        ("sways to the left", stand(lean=-4, head="side", head_facing=to, eyes="closed", mouth="smile")),
        ("sways to the right", stand(lean=4, head="side", head_facing=to, eyes="closed", mouth="smile")),
        ("hums along, hand on her bag", stand(near_arm=(14, -60), head="front", mouth="o")),
        ("taps her foot", stand(near_leg=(10, 6), near_toe=-20, head="side", head_facing=to)),
        ("smiles at the viewer", stand(head="front", mouth="smile")),
    ]


def _frames():
    gaits = [("strolls", dict(stride=0.9, lean=3)), ("strolls, looking about", dict(stride=0.9, lean=2,
                                                                                  head="front"))]
    return walk_frames(0, 26, gaits) + play_frames(12, 38, _listening)


DESC = TableDesc(44, "listener", 50, FRAME_H, _frames(), [SheetPlan(0, None, (909, 371))], {1: {None: LOOK}},
                 blank=SHARED_STRIPS)
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
