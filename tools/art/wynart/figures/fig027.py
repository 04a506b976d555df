"""Figure 27: a tall man in a long coat and a hat who walks right along the
near pavement at night, in two gaits: striding, and sauntering with his head
up at the lit windows."""
from ..figdesc import Frame, FigureDesc, SheetPlan, cycle_anchors
from ..figure import Look, walk_cycle

LOOK = Look(height=90, build=1.05, hair="#2a2a2a", hair_style="short", skin="#d8a884", top="#3a3a48",
            top_kind="coat", top_len=0.45, bottom="#22222a", shoes="#141418", hat="hat", hat_colour="#24242c",
            scarf="#8a2a2a")
FRAME_H = 94
GAIT0 = ((0, 96), (99, 104), (204, 104), (309, 120))
GAIT4 = ((430, 96), (529, 104), (634, 104), (739, 120))
STRIDE = 33


def _frames():
    out = []
    stride = walk_cycle(1, stride=1.0, lean=5)
    saunter = walk_cycle(1, stride=0.8, lean=0, neck=-14, arm=0.4)
    ax = cycle_anchors(4, 44.0, STRIDE, 1)
    for k, (x, w) in enumerate(GAIT0):
        out.append(Frame(k, x, 0, w, FRAME_H, "strides right, step %d" % k, stride[k], ax[k]))
    for k, (x, w) in enumerate(GAIT4):
        out.append(Frame(4 + k, x, 0, w, FRAME_H, "saunters right looking up, step %d" % k, saunter[k], ax[k]))
    return out


DESC = FigureDesc(27, "night walker", 104, FRAME_H, _frames(), [SheetPlan(0, None, (859, 94))],
                  {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
