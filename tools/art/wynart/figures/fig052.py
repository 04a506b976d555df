"""Figure 52: the student who lives behind door 3. By day he comes out of his
door, steps down, turns and walks off to the left (sheet 0); or he comes home
from the left in one of two outfits (the extra sheets 1 and 2), looks about,
turns to his door, climbs the steps and goes in. At night he only crosses the
near pavement (sheet 0 of the night). At dusk he never stays: his sheet is a
placeholder.

The frame tables are the script's, copied exactly. Where they overlap the
drawings leave the shared pixels alike: the door frames 11 to 16 (96 high)
reach four rows into the turn frames below them, so both keep those rows
empty; the first look frame lies three columns left of the last step of the
second gait and shows the same pose.
"""
from dataclasses import replace

from ..figdesc import Frame, FigureDesc, Placeholder, SheetPlan, cycle_anchors
from ..figure import Look, Pose, stand, walk_cycle
from ..frametables import joined
from .residents import _door_extra

STUDENT = Look(height=78, build=0.95, hair="#3a2a1a", hair_style="curly", skin="#e8b48c", top="#4a7a3a",
               top_kind="jacket", bottom="#3a4a6a", bag=("backpack", "#a83a2a"))
HOME_LOOKS = {1: replace(STUDENT, top="#c8a040", top_kind="sweater", bag=("shoulder", "#5a3a22")),
              2: replace(STUDENT, top="#2a4a8a", top_kind="tracksuit", stripe="#ffffff", bottom="#2a4a8a",
                         bag=("hand", "#2a2a2a"))}
NIGHT_LOOK = replace(STUDENT, top="#3a3a44", top_kind="coat", top_len=0.4, scarf="#b83a3a", hat="beanie",
                     hat_colour="#b83a3a")
GROUND = 90                 # the feet row of every frame but the door's
DOOR = 3
WALK_LEFT_STRIDE = 27
WALK_RIGHT_STRIDE = 27
NIGHT_STRIDE = 35


def _door_ground():
    from .residents import doorway
    _, y, _, h = doorway(DOOR)
    return y + h


def _out_of_door():
    """17 frames at door 3's point: the door opens, he steps into the
    doorway and out onto the top step, and the door shuts behind him."""
    out = []
    ground = min(_door_ground(), GROUND)
    for k in range(17):
        if k < 11:
            opening = min(1.0, k / 4.0)
            pose = stand(view="front", head="front" if k % 4 else "side", head_facing=-1) if k >= 3 else None
            dark = k in (3, 4)
            x, y, h = 57 * k, 0, 91
        else:
            opening = max(0.0, 1.0 - (k - 11) / 5.0)
            pose = stand(view="front", near_leg=(18, 26) if k % 2 else (4, 0), mouth="smile" if k > 14 else "none")
            dark = False
            x, y, h = 627 + 57 * (k - 11), 0, 96
        out.append(Frame(k, x, y, 56, h, "comes out of his door, %d" % k, None, 28,
                         extra=_door_extra(DOOR, opening, pose, dark, ground)))
    return out


def _steps(first, rects, view, what):
    poses = [stand(view=view, near_leg=(4, 0), far_leg=(4, 0)), stand(view=view, near_leg=(30, 50)),
             stand(view=view, near_leg=(12, 18), far_leg=(-4, 8)), stand(view=view, far_leg=(30, 50)),
             stand(view=view, far_leg=(12, 18), near_leg=(-4, 8))]
    return [Frame(first + k, x, y, w, h, "%s, %d" % (what, k), poses[k % len(poses)], w / 2.0)
            for k, (x, y, w, h) in enumerate(rects)]


def _day_frames():
    out = _out_of_door()
    # stepping down: two gaits of three frames, then five frames of waiting on a step
    downs = [stand(view="front", near_leg=(30, 50)), stand(view="front", near_leg=(12, 18), far_leg=(-4, 8)),
             stand(view="front")]
    downs += [stand(view="front", far_leg=(30, 50)), stand(view="front", far_leg=(12, 18), near_leg=(-4, 8)),
              stand(view="front", mouth="smile")]
    downs += [stand(view="front", head=h, head_facing=f) for h, f in
              (("side", -1), ("front", 1), ("side", 1), ("front", 1), ("side", -1))]
    for k, p in enumerate(downs):
        out.append(Frame(17 + k, 57 * k, 92, 56, 91, "steps down, %d" % k, p, 28))
    turn = [stand(view="front"), stand(view="front", head="side", head_facing=-1),
            Pose(view="side", facing=-1, lean=0, near_leg=(4, 0), far_leg=(-4, 0)),
            Pose(view="side", facing=-1, lean=1, near_leg=(8, 4), far_leg=(-6, 4)),
            Pose(view="side", facing=-1, lean=2, near_leg=(4, 0), far_leg=(-4, 0), head="front"),
            Pose(view="side", facing=-1, lean=2, near_leg=(4, 0), far_leg=(-4, 0))]
    for k, p in enumerate(turn):
        # the door frames above reach into rows 0..3: keep them empty here
        out.append(Frame(28 + k, 627 + 57 * k, 92, 56, 91, "turns to the left, %d" % k, p, 28,
                         ground=GROUND + 1))
    for k in range(3):
        out.append(Frame(34 + k, 57 * k, 276, 56, 91, "stops a moment, %d" % k,
                         stand(view="side", facing=-1, head="front" if k == 1 else None), 28))
    cyc = walk_cycle(-1, stride=1.0, lean=3)
    ax = cycle_anchors(4, 54, WALK_LEFT_STRIDE, -1)
    for k, (x, w) in enumerate(((171, 88), (260, 88), (349, 80), (430, 72))):
        out.append(Frame(37 + k, x, 276, w, 91, "walks left, step %d" % k, cyc[k], min(ax[k], w - 16)))
    return out


def _night_frames():
    cyc = walk_cycle(1, stride=1.2, lean=5)
    ax = cycle_anchors(4, 36, NIGHT_STRIDE, 1)
    return [Frame(k, 101 * k, 0, 100, 90, "crosses at night, step %d" % k, cyc[k], ax[k]) for k in range(4)]


def _home_frames():
    out = []
    walk_x = ((0, 72), (73, 80), (154, 96), (251, 96), (348, 72), (421, 80), (502, 96), (599, 96))
    gaits = (walk_cycle(1, stride=1.0, lean=3), walk_cycle(1, stride=0.8, lean=1, arm=0.5))
    anchors = []
    for k, (x, w) in enumerate(walk_x):
        ax = min(max(20.0 + WALK_RIGHT_STRIDE * (k % 4) / 4.0 + (w - 72) / 2.0, 16.0), w - 20.0)
        anchors.append(ax)
        out.append(Frame(k, x, 0, w, 91, "walks right, gait %d, step %d" % (k // 4 * 4, k % 4),
                         gaits[k // 4][k % 4], ax))
    looks = [Pose(view="side", facing=1, lean=0, near_leg=(3, 0), far_leg=(-3, 0), head=h, head_facing=f)
             for h, f in (("side", 1), ("front", 1), ("side", -1), ("front", 1), ("side", 1), ("back", 1),
                          ("side", 1), ("front", 1))]
    # look entry 0 lies 3 columns left of walk entry 7 and shows its pose
    out.append(Frame(8, 596, 0, 104, 91, "looks about, 0 (the pose of the last step)", gaits[1][3], anchors[7] + 3))
    out.append(Frame(9, 801, 0, 104, 91, "looks about, 1", looks[0], 52))
    for k in range(7):
        out.append(Frame(10 + k, 105 * k, 92, 104, 91, "looks about, %d" % (k + 2), looks[k + 1], 52))
    out.append(Frame(17, 735, 92, 96, 91, "turns to his door, 0",
                     Pose(view="side", facing=1, lean=0, near_leg=(3, 0), far_leg=(-3, 0), head="back"), 48))
    out.append(Frame(18, 840, 92, 96, 91, "turns to his door, 1", stand(view="back"), 48))
    out += _steps(19, ((729, 276, 80, 91), (810, 276, 80, 91), (729, 276, 80, 91), (891, 276, 80, 91)),
                  "back", "climbs the steps")
    # entries 19 and 21 share their rectangle: the same picture twice
    out = [f for f in out if f.idx != 21]
    ground = min(_door_ground(), GROUND)
    xs = [0, 56] + [114 + 57 * k for k in range(15)]
    for k, x in enumerate(xs):
        opening = min(1.0, (k + 1) / 4.0) if k < 12 else max(0.0, (16 - k) / 4.0)
        pose = stand(view="back", near_leg=(16, 24) if k % 2 else (4, 0)) if k < 12 else None
        out.append(Frame(23 + k, x, 368, 56, 91, "goes in at his door, %d" % k, None, 28,
                         extra=_door_extra(DOOR, opening, pose, 8 <= k < 12, ground)))
    return out


class HomeDesc(FigureDesc):
    """The walk home in the outfit of the sheet's number."""

    def __init__(self):
        self._sheet = 1
        FigureDesc.__init__(self, 52, "student walking home", 50, GROUND, _home_frames(),
                            [SheetPlan(k, None, (971, 459)) for k in (1, 2)], {1: {None: HOME_LOOKS[1]}},
                            table="Home")

    def _look(self, season, which):
        return HOME_LOOKS[self._sheet]

    def sheet_day(self, sheet):
        self._sheet = sheet.k
        return FigureDesc.sheet_day(self, sheet)

    def frame_headers(self):
        headers = FigureDesc.frame_headers(self)
        # entry 21 repeats entry 19's rectangle
        name, text = headers[0]
        return [(name, text.replace("    {0, 0, 0, 0},  // 21 unused", "    {729, 276, 80, 91},  // 21 climbs the "
                                                                        "steps, 2 (the picture of 0)"))]


DAY = FigureDesc(52, "student leaving his door", 50, GROUND, _day_frames(), [SheetPlan(0, None, (968, 367), phases=(1,))],
                 {1: {None: STUDENT}}, table="Day")
NIGHT = FigureDesc(52, "student crossing at night", 80, GROUND, _night_frames(),
                   [SheetPlan(0, None, (403, 90), phases=(3,))], {1: {None: NIGHT_LOOK}}, table="Night")
HOME = HomeDesc()
DUSK = Placeholder("FIG052_02_00")
PARTS = (DAY, NIGHT, HOME)


def resources():
    return [r for p in PARTS + (DUSK,) for r in p.resources()]


def build(outdir):
    for p in PARTS + (DUSK,):
        p.build(outdir)


def frame_headers():
    return [joined([h for p in PARTS for h in p.frame_headers()])]
