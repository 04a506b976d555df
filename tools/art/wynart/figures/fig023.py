"""Figure 23: a couple walking right along the pavement, drawn as one
figure: she in a red coat, he in a grey jacket. Past the stop they may stand
a long while, each moment in another pose; clicked, they act a short scene
(a dance turn) or a long one put together from their poses."""
from dataclasses import replace

from ..figdesc import Frame, FigureDesc, SheetPlan
from ..people import LOOKS
from ..figure import Look, Pose, stand, walk_cycle

H = 78
FEET = 76
HER = replace(LOOKS[23], height=70)
HIM = Look(height=74, hair="#6a4a2a", hair_style="short", skin="#e0b48c", top="#6a6e78", top_kind="jacket",
           bottom="#2a2e3a", glasses=True)
WALK = walk_cycle(1, stride=0.9, lean=3)

# (what, her pose, his pose)
STAND = [
    ("stand: they look at each other", stand(head="side", head_facing=1, mouth="smile"),
     stand(head="side", head_facing=-1, mouth="smile")),
    ("stand: she points at the houses", stand(far_arm=(110, 0), head="side", head_facing=-1),
     stand(head="side", head_facing=-1)),
    ("stand: he checks his watch", stand(head="side", head_facing=1), stand(near_arm=(18, -105), neck=10)),
    ("stand: both look for the bus", stand(head="side", head_facing=-1), stand(head="side", head_facing=-1)),
    ("stand: she laughs", stand(mouth="open", eyes="closed", neck=-8), stand(head="side", head_facing=-1,
                                                                             mouth="smile")),
    ("stand: he tells her something", stand(head="side", head_facing=1), stand(head="side", head_facing=-1,
                                                                               mouth="open",
                                                                               near_arm=(60, -30))),
    ("stand: arm in arm", stand(far_arm=(40, -60)), stand(near_arm=(40, -60))),
    ("stand: she fixes his collar", Pose(facing=1, lean=4, near_arm=(80, -60), far_arm=(80, -60)),
     stand(mouth="smile")),
    ("stand: both look up", stand(neck=-12), stand(neck=-12)),
    ("stand: he shrugs", stand(head="side", head_facing=1), stand(near_arm=(30, 80), far_arm=(30, 80),
                                                                  mouth="frown")),
    ("stand: she leans on his shoulder", stand(tilt=6, eyes="closed", mouth="smile"), stand(mouth="smile")),
]
BOARD = [
    ("boarding: they turn to the door", Pose(facing=-1, lean=2), Pose(facing=-1, lean=2)),
    ("boarding: she steps up first", Pose(facing=-1, lean=6, near_leg=(40, 40)), Pose(facing=-1, lean=2)),
]
ACT = [
    ("act: he takes her hand", stand(far_arm=(70, 10)), stand(near_arm=(70, 10), mouth="smile")),
    ("act: she turns under his arm", Pose(view="back", near_arm=(160, 10), far_arm=(20, 10)),
     stand(near_arm=(160, 10))),
    ("act: she turns on", stand(view="front", near_arm=(160, 10), mouth="open"), stand(near_arm=(160, 10))),
    ("act: a bow", Pose(facing=1, lean=30, near_arm=(30, 10), far_arm=(-20, 10)),
     Pose(facing=-1, lean=30, near_arm=(30, 10), far_arm=(-20, 10))),
]


def _pair(idx, x, y, w, what, her, him):
    return Frame(idx, x, y, w, H, what, her, w * 0.36, company=[("him", him, w * 0.66)])


def _frames():
    out = []
    for k, (x, y, w) in enumerate([(0, 0, 80), (81, 0, 80), (162, 0, 80), (243, 0, 96)]):
        shift = 15 * k / 4.0
        out.append(Frame(k, x, y, w, H, "walk right, step %d" % k, WALK[k], 24 + shift,
                         company=[("him", WALK[(k + 2) % 4], 52 + shift)]))
    stands = [(340, 0), (437, 0), (534, 0), (631, 0), (97, 79), (194, 79), (291, 79), (388, 79), (485, 79),
              (582, 79), (679, 79)]
    for k, ((x, y), (what, her, him)) in enumerate(zip(stands, STAND)):
        out.append(_pair(4 + k, x, y, 96, what, her, him))
    for k, ((x, y), (what, her, him)) in enumerate(zip([(776, 79), (873, 79)], BOARD)):
        out.append(_pair(15 + k, x, y, 96, what, her, him))
    for k, ((x, y), (what, her, him)) in enumerate(zip([(728, 0), (825, 0), (922, 0), (0, 79)], ACT)):
        out.append(_pair(17 + k, x, y, 96, what, her, him))
    # the long act strings standing poses together: it shares their pictures
    for k, (x, y, same) in enumerate([(437, 0, 5), (728, 0, 17), (97, 79, 8), (291, 79, 10), (679, 79, 14)]):
        out.append(Frame(21 + k, x, y, 96, H, "long act: as entry %d" % same))
    return out


DESC = FigureDesc(23, "couple walking to the right", 80, FEET, _frames(), [SheetPlan(0, None, (1018, 157))],
                  {1: {None: HER, "him": HIM},
                   2: {None: HER.winter(coat="#b03030", scarf="#e8e4d8", hat="beret", hat_colour="#2a2a2a"),
                       "him": HIM.winter(coat="#3a3e48", scarf="#a83232", hat="hat", hat_colour="#2a2a30")}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
