"""Figure 40: Greta, who comes along the far pavement from the right, stops
to stand and look about, and may turn back. She is also one of couple 57."""
from ..figure import stand
from ..pavementfigs import GRETA, PavementDesc, pose_row, walk_row, xs_row
from ..figdesc import SheetPlan

H = 79
FH = 76
LOOK_X = (220, 261, 310, 351, 392, 433, 474, 523, 564, 605)
LOOK_W = (40, 48, 40, 40, 40, 40, 48, 40, 40, 40)
LOOKS = [
    ("stands, looks left", stand(head="side", head_facing=-1)),
    ("looks ahead", stand(head="front")),
    ("looks right", stand(head="side", head_facing=1)),
    ("looks up at the houses", stand(head="front", neck=-12)),
    ("looks right, hand on her bag", stand(head="side", head_facing=1, far_arm=(14, -70))),
    ("looks at her watch", stand(near_arm=(18, -105), neck=12)),
    ("waves", stand(far_arm=(120, 40), mouth="smile")),
    ("smiles", stand(head="front", mouth="smile")),
    ("looks left again", stand(head="side", head_facing=-1, mouth="smile")),
    ("sighs", stand(head="front", eyes="closed")),
]


def _frames():
    out = walk_row(0, xs_row((0, 57, 114, 171), (56, 56, 56, 48)), H, -1, 16, "walks left", ground=FH, lean=3)
    out += pose_row(4, xs_row(LOOK_X, LOOK_W), H, LOOKS, ground=FH)
    out += walk_row(14, xs_row((646, 679, 720, 761), (32, 40, 40, 48)), H, 1, 16, "walks right", ground=FH,
                    lean=3, stride=0.8)
    return out


DESC = PavementDesc(40, "Greta on the far pavement", 56, FH, _frames(), [SheetPlan(0, None, (809, 79))],
                    {1: {None: GRETA}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
