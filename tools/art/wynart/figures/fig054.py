"""Figure 54: Anton, a photographer in a khaki waistcoat with his camera, who
stops to take pictures of the street, crouching and stepping for the best
angle."""
from ..figdesc import SheetPlan
from ..figure import Look, Pose
from ..pavementfigs import PavementDesc, cycle, pose_row, walk_row, xs_row

LOOK = Look(height=72, build=1.05, hair="#2a2420", hair_style="short", skin="#d8a47e", beard="#2a2420",
            top="#a89a6a", top_kind="jacket", top_len=0.1, bottom="#3a3a30", glasses=True,
            bag=("shoulder", "#3a2a1a"))
H = 77
FH = 74
CAM = dict(near_arm=(100, 120), far_arm=(95, 115), hand_near="camera")
SHOTS = [
    ("lifts the camera", Pose(facing=-1, lean=0, near_arm=(60, 80), far_arm=(50, 70), hand_near="camera")),
    ("aims", Pose(facing=-1, lean=2, **CAM)),
    ("clicks", Pose(facing=-1, lean=2, eyes="closed", **CAM)),
    ("aims a little higher", Pose(facing=-1, lean=-6, neck=-8, **CAM)),
    ("crouches and aims", Pose(facing=-1, lean=20, near_leg=(80, 95), far_leg=(-10, 105), far_toe=60, **CAM)),
    ("leans back for the rooftops", Pose(facing=-1, lean=-12, neck=-16, near_leg=(10, 0), far_leg=(-14, 0),
                                         **CAM)),
    ("checks the picture", Pose(facing=-1, lean=10, neck=20, near_arm=(50, 60), far_arm=(45, 60),
                                hand_near="camera", mouth="smile")),
    ("nods, pleased", Pose(facing=-1, lean=4, neck=10, near_arm=(30, 60), far_arm=(10, 20), hand_near="camera",
                           mouth="smile")),
]


def _frames():
    out = walk_row(0, xs_row((0, 81, 162, 243), (80,) * 4), H, -1, 16, "walks left, camera at the ready",
                   poses=cycle(4, -1, lean=3, near_arm=(30, 50), hand_near="camera"), ground=FH)
    out += pose_row(4, xs_row((324, 397, 462, 535, 608, 681, 762, 835), (72, 64, 72, 72, 72, 80, 72, 72)), H,
                    SHOTS, ground=FH)
    out += walk_row(12, xs_row((908, 981, 1046, 1111), (72, 64, 64, 64)), H, -1, 16,
                    "a few steps to the next picture", poses=cycle(4, -1, lean=6, stride=0.7, near_arm=(60, 80),
                                                                   hand_near="camera", head="side"), ground=FH)
    return out


DESC = PavementDesc(54, "photographer", 80, FH, _frames(), [SheetPlan(0, None, (1175, 77))], {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
