"""Figure 36: a lanky man in a long scarf who strides along the very front
edge of the scene in two gaits; clicked, he strikes a pose and plays out a
slow-motion stride that runs down like a clockwork toy, then walks on
briskly."""
from ..figdesc import Frame, SheetPlan
from ..figure import Look, Pose
from ..pavementfigs import PavementDesc, cycle, pose_row, walk_row, xs_row

LOOK = Look(height=67, build=0.9, hair="#2a2a2a", hair_style="spiky", skin="#eec2a0", top="#6a3a8a",
            top_kind="jacket", top_len=0.1, bottom="#2a2a3a", shoes="#8a3a20", scarf="#e05030")
H = 72
FH = 70
ROW_X = (0, 65, 138, 227, 324, 429)
ROW_W = (64, 72, 88, 96, 104, 120)
WALK_ON_W = (64, 64, 72, 80, 80, 96)
WALK_ON_X = (0, 65, 138, 211, 292, 373)

ACT_RECTS = [(145, 146, 112), (258, 146, 112), (371, 146, 112), (0, 219, 112), (113, 219, 112), (226, 219, 112),
             (339, 219, 112), (0, 292, 112), (113, 292, 112), (226, 292, 104), (339, 292, 104)]
# the slow-motion stride, winding down: a long lunge, the body sinking
SLOW = []
for k in range(11):
    t = k / 10.0
    SLOW.append(("slow-motion stride, winding down %d" % k,
                 Pose(facing=1, lean=6 + 10 * t, neck=8 * t, near_leg=(48 - 20 * t, 8 + 30 * t),
                      far_leg=(-36 + 10 * t, 12 + 20 * t), near_toe=-14, far_toe=30,
                      near_arm=(70 - 60 * t, 30 + 40 * t), far_arm=(-50 + 30 * t, 20 + 30 * t),
                      mouth="o" if k < 6 else "none", eyes="open" if k < 8 else "closed")))


def _frames():
    out = []
    out += walk_row(0, xs_row(ROW_X, ROW_W, 0), H, 1, 72, "long stride, gait 0",
                    poses=cycle(6, 1, stride=1.5, arm=1.3, lean=5), ground=FH)
    out += walk_row(6, xs_row(ROW_X, ROW_W, 73), H, 1, 72, "long stride with a hop, gait 6",
                    poses=cycle(6, 1, stride=1.6, arm=1.6, lean=8, bounce=1.6, mouth="smile"), ground=FH)
    out += pose_row(12, [(0, 146, 144)], H, [("strikes a pose, arms flung wide",
                                               Pose(facing=1, lean=-6, near_leg=(50, 4), far_leg=(-40, 6),
                                                    near_arm=(120, 10), far_arm=(110, 10), mouth="open",
                                                    near_toe=-10, far_toe=20))], ground=FH)
    out += pose_row(13, ACT_RECTS, H, SLOW, ground=FH, anchor=lambda w: w * 0.45)
    out.append(Frame(24, 452, 292, 32, H, "not drawn"))
    out += walk_row(25, xs_row(ROW_X, ROW_W, 365), H, 1, 72, "stride, gait 0 (never drawn)",
                    poses=cycle(6, 1, stride=1.5, arm=1.3, lean=5), ground=FH)
    out += walk_row(31, xs_row(WALK_ON_X, WALK_ON_W, 438), H, 1, 53, "brisk walk on after the act",
                    poses=cycle(6, 1, stride=1.1, arm=1.0, lean=4, mouth="smile"), ground=FH)
    return out


DESC = PavementDesc(36, "long strider on the front edge", 96, FH, _frames(), [SheetPlan(0, None, (549, 510))],
                    {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
