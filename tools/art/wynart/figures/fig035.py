"""Figure 35: Tante Hedwig, who never forgets a birthday: she walks the far
pavement with a bunch of balloons and stops to tell today's reminders."""
from ..figdesc import SheetPlan
from ..figure import Look, stand
from ..pavementfigs import PavementDesc, balloons, cycle, on_body, pose_row, walk_row, xs_row

LOOK = Look(female=True, height=76, build=1.1, hair="#b0a0a0", hair_style="curly", skin="#f0c8aa",
            top="#6a4aa0", top_kind="coat", top_len=0.4, bottom="#3a3048", glasses=True,
            bag=("hand", "#7a3a2a"))
H = 118
FH = 117
B = on_body(balloons, FH)
WALK = cycle(4, 1, lean=3, far_arm=(20, 90))
STAND = [
    ("stops, balloons up", stand(far_arm=(20, 90), mouth="smile"), B),
    ("tells: hand raised", stand(far_arm=(20, 90), near_arm=(110, 40), mouth="open"), B),
    ("tells: points ahead", stand(far_arm=(20, 90), near_arm=(85, 5), mouth="open", head="side", head_facing=1),
     B),
    ("tells: laughs", stand(far_arm=(20, 90), mouth="open", eyes="closed"), B),
    ("tells: hand on her heart", stand(far_arm=(20, 90), near_arm=(30, -120), mouth="smile"), B),
]


def _frames():
    out = walk_row(0, xs_row((0, 89, 178, 267), (88, 88, 88, 96)), H, 1, 20, "walks right with balloons",
                   poses=WALK, ground=FH)
    for f in out:
        f.extra = B
    out += pose_row(4, xs_row((364, 469, 590, 703, 816), (104, 120, 112, 112, 120)), H, STAND, ground=FH)
    return out


DESC = PavementDesc(35, "birthday reminder", 96, FH, _frames(), [SheetPlan(0, None, (936, 118))],
                    {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
