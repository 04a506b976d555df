"""Figure 4: a woman who walks to the right along the far pavement, with a
second gait in which she looks at the shop windows, and a look-about when she
gets out of the bus."""
from ..figdesc import Frame, FigureDesc, SheetPlan, cycle_anchors
from ..people import LOOKS
from ..figure import Look, stand, walk_cycle

LOOK = LOOKS[4]

WALK_X = (0, 81, 162, 243, 332, 413, 494, 575)
WALK_W = (80, 80, 80, 88, 80, 80, 80, 88)
LOOK_X = (291, 388, 485, 582, 679, 776, 873, 970)
STRIDE = 19      # X moves by this at the end of each walk cycle

# what she looks at while standing: head view, head facing, arms, mouth
LOOK_ABOUT = [
    ("looks left", dict(head="side", head_facing=-1)),
    ("looks ahead", dict(head="front")),
    ("looks right", dict(head="side", head_facing=1)),
    ("shades her eyes", dict(head="side", head_facing=1, far_arm=(122, 93))),
    ("looks right, hand on the bag", dict(head="side", head_facing=1, far_arm=(14, -70))),
    ("looks up", dict(head="front", neck=-12, eyes="wide")),
    ("looks left, hand on her hip", dict(head="side", head_facing=-1, near_arm=(40, -95))),
    ("smiles ahead", dict(head="front", mouth="smile")),
]


def frames_for(look_about=LOOK_ABOUT, stride=STRIDE, start=30.0, walk=None, gait2=None):
    walk = walk or walk_cycle(1, stride=1.0, lean=4)
    gait2 = gait2 or walk_cycle(1, stride=1.0, lean=2, head="front")
    out = []
    ax = cycle_anchors(4, start, stride, 1)
    for k in range(4):
        out.append(Frame(k, WALK_X[k], 0, WALK_W[k], 84, "walks right, gait 0, step %d" % k, walk[k], ax[k]))
        out.append(Frame(4 + k, WALK_X[4 + k], 0, WALK_W[4 + k], 84,
                         "walks right looking at the shop windows, step %d" % k, gait2[k], ax[k]))
    for k, (what, kw) in enumerate(look_about):
        out.append(Frame(37 + k, LOOK_X[k], 255, 96, 84, what, stand(**kw), start + 4))
    return out


DESC = FigureDesc(4, "walker to the right", 80, 84, frames_for(), [SheetPlan(0, None, (1066, 339))],
                  {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
