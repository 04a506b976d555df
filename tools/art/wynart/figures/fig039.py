"""Figure 39: a carnival clown in a patched suit, a pointed hat and a red
nose, who walks the far pavement in two gaits: a waddle in big shoes and a
skipping step."""
from ..figdesc import SheetPlan
from ..figure import Look
from ..pavementfigs import PavementDesc, clown_face, cycle, on_body, walk_row, xs_row

LOOK = Look(height=74, build=1.15, hair="#f07a20", hair_style="curly", skin="#f8e8e0", top="#e8c020",
            top_kind="sweater", top_len=0.2, bottom="#3a6ae0", shoes="#e02020", gloves="#f8f8f8")
H = 93
FH = 92
FACE = on_body(clown_face, FH)


def _frames():
    out = walk_row(0, xs_row((0, 89, 186, 283), (88, 96, 96, 112)), H, 1, 29, "waddles in big shoes",
                   poses=cycle(4, 1, lean=-2, stride=1.2, arm=1.6, mouth="smile"), ground=FH)
    out += walk_row(4, xs_row((396, 477, 558, 647), (80, 80, 88, 104)), H, 1, 29, "skips",
                    poses=cycle(4, 1, lean=6, bounce=2.0, arm=2.0, mouth="open"), ground=FH)
    for f in out:
        f.extra = FACE
    return out


DESC = PavementDesc(39, "clown", 96, FH, _frames(), [SheetPlan(0, None, (751, 93))], {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
