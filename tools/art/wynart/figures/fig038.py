"""Figure 38: the Easter bunny, someone in a white bunny suit with long ears
and a basket of painted eggs, who hops along the far pavement and stops to
look about."""
from ..figdesc import SheetPlan
from ..figure import Look, stand
from ..pavementfigs import PavementDesc, bunny_ears, chain, cycle, egg_basket, on_body, pose_row, walk_row, xs_row

LOOK = Look(height=76, build=1.15, hair="#f0ece4", hair_style="bald", skin="#f0ece4", top="#f0ece4",
            top_kind="sweater", top_len=0.3, bottom="#f0ece4", shoes="#e8c0c8", gloves="#f0ece4")
H = 103
FH = 101
EXTRA = chain(on_body(bunny_ears, FH), on_body(egg_basket, FH))
LOOKS = [
    ("pause, ears up", stand(near_arm=(30, 40), mouth="smile")),
    ("looks left", stand(near_arm=(30, 40), head="side", head_facing=-1)),
    ("looks right", stand(near_arm=(30, 40), head="side", head_facing=1)),
    ("waves", stand(near_arm=(30, 40), far_arm=(125, 40), mouth="open")),
    ("looks ahead", stand(near_arm=(30, 40), head="front", mouth="smile")),
    ("hops on the spot", stand(near_arm=(30, 40), lift=3, near_leg=(15, 30), far_leg=(15, 30), mouth="open")),
]


def _frames():
    out = walk_row(0, xs_row((0, 73, 154, 243), (72, 80, 88, 96)), H, 1, 33, "hops right",
                   poses=cycle(4, 1, lean=6, bounce=1.8, near_arm=(30, 40)), ground=FH)
    out += pose_row(4, xs_row([340 + 121 * k for k in range(6)], (120,) * 6), H, LOOKS, ground=FH)
    for f in out:
        f.extra = EXTRA
    return out


DESC = PavementDesc(38, "Easter bunny", 96, FH, _frames(), [SheetPlan(0, None, (1065, 103))], {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
