"""Figure 34: Ferdinand, a street performer in a waistcoat and bowler hat who
walks the far pavement and, clicked, plays one of two little acts: a bow
with his hat, or a dance. He may turn back afterwards."""
from ..figdesc import SheetPlan
from ..figure import Look, Pose, stand
from ..pavementfigs import PavementDesc, pose_row, walk_row, xs_row

LOOK = Look(height=74, hair="#3a2a1a", hair_style="short", skin="#e8bc98", top="#8a2a3a", top_kind="jacket",
            top_len=0.12, collar="#f4f4f4", bottom="#2a2a34", shoes="#1a1a1a", hat="hat", hat_colour="#1a1a1e",
            beard="#3a2a1a")
H = 77
ROW0 = [(0, 64), (65, 72), (138, 80), (219, 88), (308, 88), (397, 88), (486, 80), (567, 64), (632, 88),
        (721, 88), (810, 72), (883, 64), (948, 80)]
ROW1 = [(0, 80), (81, 80), (162, 88), (251, 88), (340, 88), (429, 88), (518, 88), (607, 88), (696, 80),
        (777, 80)]
RECTS = [(x, 0, w) for x, w in ROW0] + [(x, 78, w) for x, w in ROW1]

ACT_A = [
    ("act A: stops and faces the street", stand(mouth="smile")),
    ("act A: lifts his hat", stand(far_arm=(150, 40), mouth="smile")),
    ("act A: begins a bow", Pose(facing=1, lean=25, near_arm=(30, 10), far_arm=(60, 30))),
    ("act A: bows deep", Pose(facing=1, lean=55, neck=10, near_arm=(60, 10), far_arm=(20, 20))),
    ("act A: comes up again", Pose(facing=1, lean=25, near_arm=(30, 10), far_arm=(60, 30))),
    ("act A: hat back on", stand(far_arm=(150, 60), mouth="smile")),
    ("act A: waves", stand(far_arm=(120, 40), mouth="open")),
]
ACT_B = [
    ("act B: claps", stand(near_arm=(60, 80), far_arm=(60, 80), mouth="smile")),
    ("act B: kicks right", Pose(facing=1, lean=-4, near_leg=(60, 5), near_arm=(110, 20), far_arm=(110, 20),
                                mouth="open")),
    ("act B: hops", stand(lift=3, near_leg=(20, 40), far_leg=(-10, 30), near_arm=(130, 30), far_arm=(130, 30))),
    ("act B: kicks left", Pose(facing=-1, lean=-4, near_leg=(60, 5), near_arm=(110, 20), far_arm=(110, 20),
                               mouth="open")),
    ("act B: spins", Pose(view="back", near_leg=(4, 0), far_leg=(4, 0), near_arm=(90, 10), far_arm=(90, 10))),
    ("act B: arms up", stand(near_arm=(160, 10), far_arm=(160, 10), mouth="open")),
    ("act B: curtsy step", stand(near_leg=(10, 30), far_leg=(-20, 40), near_arm=(60, 20), far_arm=(60, 20))),
    ("act B: ta-daa", stand(near_arm=(130, 0), far_arm=(130, 0), mouth="open", eyes="closed")),
]


def _frames():
    out = walk_row(0, RECTS[0:4], H, 1, 31, "walks right", lean=3)
    out += walk_row(4, RECTS[4:8], H, -1, 31, "walks left", lean=3)
    out += pose_row(8, RECTS[8:15], H, ACT_A)
    out += pose_row(15, RECTS[15:23], H, ACT_B)
    return out


DESC = PavementDesc(34, "street performer with two acts", 64, 77, _frames(), [SheetPlan(0, None, (1028, 155))],
                    {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
