"""Figure 17: a tourist with camera and map who strolls to the right and once
stops to strike a series of poses (photographing, reading the map, pointing,
stretching ...). Summer and winter sheets."""
from ..figdesc import Frame, FigureDesc, SheetPlan, cycle_anchors
from ..people import LOOKS
from ..figure import Look, Pose, stand, walk_cycle

SUMMER = LOOKS[17]
WINTER = SUMMER.winter(coat="#c8403a", scarf="#2f6a8a", hat="beanie", hat_colour="#2f6a8a",
                       gloves="#3a3a40", coat_len=0.2)
WINTER.bottom, WINTER.bottom_kind = "#3a4050", "trousers"

STRIDE = 19
CELL_W, CELL_H = 72, 80


def _rect(k):
    return 73 * (k % 8), 81 * (k // 8)


WALKS = [
    ("strolls", walk_cycle(1, stride=0.9, lean=3)),
    ("strolls, looking at the viewer", walk_cycle(1, stride=0.9, lean=2, head="front", mouth="smile")),
    ("strolls, looking up at the houses", walk_cycle(1, stride=0.85, lean=-2, neck=-16)),
    ("strolls, reading the map", walk_cycle(1, stride=0.8, lean=6, neck=18, arm=0.0, hand_near="map")),
]

# the poses, one per entry from 16: (what, pose)
F = dict(view="front")
POSES = [
    ("photographs the houses", stand(near_arm=(40, -150), far_arm=(40, -150), hand_near="camera", eyes="closed")),
    ("photographs to the right", Pose(facing=1, lean=-4, near_arm=(95, 20), far_arm=(90, 30), hand_near="camera",
                                       near_leg=(6, 0), far_leg=(-6, 0))),
    ("reads the map", stand(near_arm=(20, -100), far_arm=(20, -100), neck=16, hand_near="map")),
    ("turns the map", stand(near_arm=(25, -95), far_arm=(35, -110), neck=16, head="side", head_facing=-1,
                            hand_near="map")),
    ("looks back the way he came", Pose(facing=-1, lean=0, near_arm=(-6, 10), far_arm=(6, 10))),
    ("points up to the right", stand(far_arm=(128, 5), head="side", head_facing=1, mouth="open")),
    ("points to the left", stand(near_arm=(72, 8), head="side", head_facing=-1, mouth="open")),
    ("hands on his hips", stand(near_arm=(40, -95), far_arm=(40, -95), mouth="smile")),
    ("scratches his head", stand(far_arm=(125, 100), head="side", head_facing=1)),
    ("shades his eyes, looks right", stand(near_arm=(122, 93), head="side", head_facing=1)),
    ("shades his eyes, looks left", stand(far_arm=(122, 93), head="side", head_facing=-1)),
    ("checks his watch", stand(near_arm=(18, -105), neck=12)),
    ("stretches, yawning", stand(near_arm=(140, 60), far_arm=(140, 60), eyes="closed", mouth="o")),
    ("waves to someone", stand(far_arm=(120, 40), mouth="smile")),
    ("shrugs", stand(near_arm=(30, 80), far_arm=(30, 80), mouth="frown")),
    ("ties his shoe", Pose(facing=1, lean=40, near_leg=(85, 95), far_leg=(-10, 105), far_toe=60,
                           near_arm=(75, 40), far_arm=(70, 50), neck=20)),
    ("admires the houses from behind", Pose(view="back", near_leg=(4, 0), far_leg=(4, 0), near_arm=(8, 6),
                                            far_arm=(8, 6), lean=0)),
    ("photographs the houses from behind", Pose(view="back", near_leg=(4, 0), far_leg=(4, 0), near_arm=(40, -150),
                                                far_arm=(40, -150), lean=-4, neck=-10)),
    ("takes a selfie", stand(far_arm=(120, -20), hand_far="phone", mouth="smile", head="front")),
    ("crosses his arms", stand(near_arm=(20, -120), far_arm=(25, -125), mouth="none")),
    ("looks at his phone", stand(near_arm=(15, -110), neck=20, hand_near="phone")),
    ("peers ahead", Pose(facing=1, lean=14, neck=8, near_arm=(-30, 40), far_arm=(-35, 40))),
    ("thinks, hand at his chin", stand(near_arm=(20, -150), far_arm=(20, -100), head="side", head_facing=1)),
    ("laughs", stand(neck=-12, mouth="open", eyes="closed", near_arm=(20, -90), far_arm=(20, -90))),
    ("points to the left", Pose(facing=-1, lean=0, near_arm=(90, 0), far_arm=(5, 10), mouth="open")),
    ("jumps for joy", stand(near_arm=(130, 50), far_arm=(130, 50), lift=2, near_leg=(10, 40), far_leg=(10, 40),
                            mouth="open")),
    ("stretches to the side", stand(far_arm=(140, 70), near_arm=(30, -90), lean=-10)),
    ("waves with both arms", stand(near_arm=(130, 50), far_arm=(130, 50), mouth="open")),
    ("photographs something low", Pose(facing=1, lean=25, near_leg=(85, 95), far_leg=(-10, 105), far_toe=60,
                                       near_arm=(80, 30), far_arm=(75, 40), hand_near="camera", neck=10)),
    ("looks up, shading his eyes", Pose(facing=1, lean=-6, neck=-20, near_arm=(150, 110), far_arm=(5, 10))),
    ("bows", Pose(facing=1, lean=35, neck=10, near_arm=(30, 10), far_arm=(25, 10))),
    ("smiles at the viewer", stand(mouth="smile")),
]


def _frames():
    out = []
    ax = cycle_anchors(4, 24, STRIDE, 1)
    for s, (what, cyc) in enumerate(WALKS):
        for k in range(4):
            i = 4 * s + k
            x, y = _rect(i)
            out.append(Frame(i, x, y, CELL_W, CELL_H, "%s, step %d" % (what, k), cyc[k], ax[k]))
    for j, (what, pose) in enumerate(POSES):
        i = 16 + j
        x, y = _rect(i)
        out.append(Frame(i, x, y, CELL_W, CELL_H, "pose: " + what, pose, 34))
    return out


DESC = FigureDesc(17, "posing tourist", 72, 77, _frames(),
                  [SheetPlan(0, 1, (583, 485)), SheetPlan(1, 2, (583, 485))],
                  {1: {None: SUMMER}, 2: {None: WINTER}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
