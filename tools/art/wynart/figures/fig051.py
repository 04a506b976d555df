"""Figure 51: Timo, the painter's apprentice in white overalls and a paper
cap, with a brush and a paint pot; he stops to give a wall a few strokes."""
from ..figdesc import SheetPlan
from ..figure import Look, Pose
from ..pavementfigs import PavementDesc, brush_and_pot, cycle, on_body, pose_row, walk_row, xs_row

LOOK = Look(height=74, hair="#c88a3a", hair_style="spiky", skin="#f2c8a6", top="#f0f0ea", top_kind="tracksuit",
            bottom="#f0f0ea", shoes="#4a3a2a", hat="cap", hat_colour="#f8f8f4")
H = 84
FH = 82
TOOLS = on_body(brush_and_pot, FH)
CARRY = dict(near_arm=(40, 60), far_arm=(10, 20))
STROKES = [
    ("brush at the wall, low", Pose(facing=-1, lean=4, near_arm=(70, 30), far_arm=(10, 20))),
    ("brush goes up", Pose(facing=-1, lean=2, near_arm=(100, 25), far_arm=(10, 20))),
    ("brush higher", Pose(facing=-1, lean=-2, near_arm=(130, 20), far_arm=(10, 20), neck=-6)),
    ("brush at the top, on tiptoe", Pose(facing=-1, lean=-6, near_arm=(160, 10), far_arm=(10, 20), neck=-12,
                                         near_toe=25, far_toe=25)),
]


def _frames():
    out = walk_row(0, xs_row((0, 89, 178, 259), (88, 88, 80, 80)), H, -1, 16, "walks left with brush and pot",
                   poses=cycle(4, -1, lean=3, **CARRY), ground=FH)
    out += pose_row(4, xs_row((340, 413, 486, 575), (72, 72, 88, 88)), H, STROKES, ground=FH,
                    anchor=lambda w: w - 30.0)
    for f in out:
        f.extra = TOOLS
    return out


DESC = PavementDesc(51, "painter's apprentice", 72, FH, _frames(), [SheetPlan(0, None, (663, 84))],
                    {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
