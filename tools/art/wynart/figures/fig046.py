"""Figure 46: by day a youth who runs across in long strides, by night a man
walking his dog, and, when new mail has come, the messenger with a big
letter who walks to and fro, shows the letter and waves. The day and night
figures share sheet 0 of their time of day; at dusk only a placeholder
exists. The messenger draws from an extra sheet (1) of his own."""
import math

from ..animal import AnimalLook, AnimalPose
from ..canvas import fill_stroke, set_col
from ..figdesc import FigureDesc, Frame, Placeholder, SheetPlan, cycle_anchors
from ..figure import Look, Pose, stand
from ..frametables import joined
from .. import instruments as I
from .fig042 import walk6

RUNNER = Look(height=68, build=0.9, hair="#e0b040", hair_style="spiky", skin="#f3cdb0", top="#2ab0a0",
              top_kind="tracksuit", stripe="#ffffff", bottom="#2a3a6a", shoes="#f04a3a")
NIGHT = Look(height=79, build=1.05, hair="#6a6a6a", hair_style="short", skin="#e9b894", top="#4a5a6a",
             top_kind="coat", top_len=0.4, bottom="#2a2d34", hat="hat", hat_colour="#2a2a30", scarf="#8a3a3a")
DOG = AnimalLook(shoulder=22, length=32, coat="#d8d0c0", belly="#f4f0e8", patch="#6a4a2a", ears="floppy",
                 tail="up", collar="#d83a3a")
MESSENGER = Look(height=80, hair="#3a2418", hair_style="short", skin="#dca27a", top="#f2c230", top_kind="jacket",
                 collar="#1a3a8a", bottom="#1a3a8a", shoes="#2a1a14", hat="cap", hat_colour="#1a3a8a",
                 bag=("shoulder", "#6a3a1a"))

DAY_X = (0, 65, 138, 227, 324, 429)
DAY_W = (64, 72, 88, 96, 104, 120)
DAY_STRIDE = 70
NIGHT_STRIDE = 26
MAIL_STRIDE = 28


# ------------------------------------------------------------ day and night

def _run(k):
    """Six frames of a long running stride: push off, flight, landing."""
    t = 2 * math.pi * k / 6.0
    near, far = t, t + math.pi
    return Pose(view="side", facing=1, lean=14,
                near_leg=(42 * math.cos(near), 12 + 70 * max(0.0, -math.sin(near))),
                far_leg=(42 * math.cos(far), 12 + 70 * max(0.0, -math.sin(far))),
                near_toe=15, far_toe=15, near_arm=(-50 * math.cos(near), 80), far_arm=(-50 * math.cos(far), 80),
                lift=2 if k % 3 == 1 else 0, mouth="open")


def _day_frames():
    out = []
    ax = cycle_anchors(6, 26, DAY_STRIDE, 1)
    for g, what in enumerate(("runs", "runs, looking at the viewer")):
        for k in range(6):
            pose = _run(k)
            if g:
                pose.head, pose.mouth = "front", "smile"
            out.append(Frame(6 * g + k, DAY_X[k], 73 * g, DAY_W[k], 72, "%s, step %d" % (what, k), pose, ax[k]))
    return out


def _night_frames():
    out = []
    walk = walk6(1, stride=0.9, lean=4, n=5)
    ax = cycle_anchors(5, 24, NIGHT_STRIDE, 1)
    for k in range(5):
        t = math.cos(2 * math.pi * k / 5.0)
        dog = AnimalPose(facing=1, front_near=22 * t, hind_far=20 * t, front_far=-22 * t, hind_near=-20 * t,
                         knee=10 + 10 * abs(t), head=8 + 3 * (k % 2), tail=10 * (1 if k % 2 else -1))
        pose = Pose(**{**walk[k].__dict__, "near_arm": (40, 30)})

        def extra(ctx, look, fr, pose=pose, dog=dog, x=ax[k]):
            fig = I.Figure(NIGHT)
            sk = fig.skeleton(pose)
            fig.draw(ctx, pose, x, 92)
            dx = x + 48
            DOG.model().draw(ctx, dog, dx, 92)
            hand = sk["arms"]["near"]["hand"]
            set_col(ctx, "#5a2a1a")
            ctx.set_line_width(0.8)
            ctx.move_to(x + hand[0], 92 + hand[1])
            ctx.curve_to(x + hand[0] + 10, 92 + hand[1] + 12, dx + 4, 92 - 24, dx + 11, 92 - 20)
            ctx.stroke()
        out.append(Frame(k, 105 * k, 0, 104, 95, "walks his dog, step %d" % k, None, ax[k], extra=extra))
    return out


# ------------------------------------------------------------ the messenger

def _letter(ctx, cx, cy, w=15.0, h=10.0, tilt=0.0):
    ctx.save()
    ctx.translate(cx, cy)
    ctx.rotate(tilt)
    ctx.rectangle(-w / 2, -h / 2, w, h)
    fill_stroke(ctx, "#fbf8ee", "#8a8070", 0.8)
    set_col(ctx, "#8a8070")
    ctx.set_line_width(0.6)
    ctx.move_to(-w / 2, -h / 2)
    ctx.line_to(0, h * 0.1)
    ctx.line_to(w / 2, -h / 2)
    ctx.stroke()
    ctx.rectangle(w / 2 - 4.2, -h / 2 + 1, 3, 3.4)
    set_col(ctx, "#d83a3a")
    ctx.fill()
    ctx.restore()


def _with_letter(pose, ax, hand="near", size=1.0, up=False):
    """The messenger in pose, the letter in one hand."""
    def extra(ctx, look, fr):
        def held(ctx2, sk):
            h = sk["arms"][hand]["hand"]
            _letter(ctx2, h[0], h[1] - (6 if up else 3), 15 * size, 10 * size, -0.15 if up else 0.0)
        I.person(ctx, MESSENGER, pose, ax, 105, None, held)
    return extra


def _mail_frames():
    out = []
    i = 0

    def add(x, y, w, what, pose, ax, **kw):
        nonlocal i
        out.append(Frame(i, x, y, w, 108, what, None, ax, extra=_with_letter(pose, ax, **kw)))
        i += 1
    # walks right, two gaits: the letter under the arm or held up
    for g, (xs, what) in enumerate((((0, 57, 122, 187), "walks right, letter in hand"),
                                   ((268, 325, 390, 455), "walks right, holding the letter up"))):
        cyc = walk6(1, n=4, stride=0.9, lean=3)
        ax = cycle_anchors(4, 22, MAIL_STRIDE, 1)
        for k, (x, w) in enumerate(zip(xs, (56, 64, 64, 80))):
            p = cyc[k] if not g else Pose(**{**cyc[k].__dict__, "near_arm": (150, 20), "head": "front",
                                             "mouth": "smile"})
            add(x, 0, w, "%s, step %d" % (what, k), p, ax[k], up=bool(g))
    looks = [dict(head="side", head_facing=1), dict(head="front"), dict(head="side", head_facing=-1),
             dict(head="front", mouth="smile"), dict(head="side", head_facing=1, neck=-10),
             dict(head="front", eyes="closed")]
    for k, (x, kw) in enumerate(zip((536, 601, 666, 731, 796, 861), looks)):
        add(x, 0, 56 if k == 5 else 64, "stands facing right, looks about %d" % k,
            stand(near_arm=(20, -70), **kw), 30)
    # the act: the letter comes up from the bag and is shown round
    for k, x in enumerate((0, 57, 114, 171, 228, 285, 342, 399, 464, 529, 594, 659, 724)):
        lift = min(k, 6) / 6.0
        shown = k >= 7
        arm = (20 + 130 * lift, -70 + 80 * lift) if not shown else (150 + 10 * ((k % 2) * 2 - 1), 20)
        add(x, 109, 56 if k < 7 else 64, "shows the letter, step %d" % k,
            stand(near_arm=arm, head="front" if shown else "side", head_facing=1,
                  mouth="open" if k in (8, 10, 12) else "smile"), 30 if k < 7 else 32, up=shown)
    # waves: two short frames, then the full wave
    wave_x = [(789, 109), (854, 109)] + [(65 * k, 218) for k in range(14)]
    for k, (x, y) in enumerate(wave_x):
        a = 130 + 25 * math.sin(2 * math.pi * k / 4.0)
        add(x, y, 64, "waves with the letter, step %d" % k,
            stand(near_arm=(a, 20), far_arm=(30, -60), head="front", mouth="open" if k % 4 == 1 else "smile"),
            32, up=True)
    # walks left, three gaits
    for g, what in enumerate(("walks left, letter in hand", "walks left, looking at the viewer",
                              "walks left, holding the letter up")):
        cyc = walk6(-1, n=4, stride=0.9, lean=3)
        ax = cycle_anchors(4, 50, MAIL_STRIDE, -1)
        for k, w in enumerate((80, 80, 72, 64)):
            p = cyc[k]
            if g == 1:
                p = Pose(**{**p.__dict__, "head": "front", "mouth": "smile"})
            if g == 2:
                p = Pose(**{**p.__dict__, "near_arm": (150, 20)})
            add((0, 81, 162, 235)[k] + 300 * g, 327, w, "%s, step %d" % (what, k), p, ax[k], up=g == 2)
    for k in range(11):
        kw = [dict(head="side", head_facing=-1), dict(head="front"), dict(head="side", head_facing=1),
              dict(head="front", mouth="smile"), dict(head="side", head_facing=-1, neck=10)][k % 5]
        add(81 * k, 436, 80, "stands facing left, looks about %d" % k,
            stand(near_arm=(20, -70) if k % 3 else (140, 30), **kw), 40, up=k % 3 == 0)
    return out


DAY = FigureDesc(46, "runner by day", 64, 70, _day_frames(), [SheetPlan(0, None, (549, 145), phases=(1,))],
                 {1: {None: RUNNER}}, table="Day")
NIGHT_DESC = FigureDesc(46, "dog walker by night", 104, 92, _night_frames(),
                        [SheetPlan(0, None, (524, 95), phases=(3,))], {1: {None: NIGHT}}, table="Night")
MAIL = FigureDesc(46, "new-mail messenger", 56, 105, _mail_frames(), [SheetPlan(1, None, (918, 544))],
                  {1: {None: MESSENGER}}, table="Mail")
DUSK = Placeholder("FIG046_02_00")
PARTS = (DAY, NIGHT_DESC, MAIL)


def resources():
    return [r for p in PARTS + (DUSK,) for r in p.resources()]


def build(outdir):
    for p in PARTS + (DUSK,):
        p.build(outdir)


def frame_headers():
    return [joined([h for p in PARTS for h in p.frame_headers()])]
