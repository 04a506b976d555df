"""Figure 41: a band of three on the far pavement: a guitarist, an
accordionist and a drummer. They walk in to the right, set up, play facing
the street and pack up again."""
import math

from ..figdesc import Frame, FigureDesc, SheetPlan, cycle_anchors
from ..figure import Look, Pose, stand
from .. import instruments as I
from .fig042 import walk6

GUITAR = Look(height=78, hair="#1a1a1a", hair_style="curly", skin="#8a5a3a", top="#e0a030", top_kind="shirt",
              top_len=0.1, bottom="#2a3a5a", shoes="#3a2a1a", hat="beret", hat_colour="#2a2a30")
ACCORDION = Look(female=True, height=75, hair="#e8d080", hair_style="bun", skin="#f4d0b4", top="#2f8a5a",
                 top_kind="dress", bottom="#2f8a5a", bottom_kind="skirt", skirt_len=0.6, legs="#3a3030",
                 shoes="#2a1a14")
DRUM = Look(height=80, build=1.1, hair="#8a5a2a", hair_style="short", beard="#8a5a2a", skin="#f0c4a0",
            top="#b03a3a", top_kind="sweater", bottom="#3a3a30", hat="cap", hat_colour="#3a5ab0")

FRAME_H = 94
STRIDE = 24
HIPS = (26, 72, 118)          # the three players' places inside a frame


def _rect(k):
    return 161 * (k % 6), 99 * (k // 6)


def _accordion_held(sk, facing):
    def draw(ctx, _sk):
        a, b = sk["arms"]["near"]["hand"], sk["arms"]["far"]["hand"]
        if abs(a[0] - b[0]) < 7:        # from the side: the box is carried at the chest
            cx = (a[0] + b[0]) / 2.0
            a, b = (cx - 5, a[1]), (cx + 5, b[1])
        I.accordion(ctx, a, b)
    return draw


def _drum_held(sk, facing):
    def draw(ctx, _sk):
        hip = sk["hip"]
        I.drum(ctx, (hip[0] + facing * 4 if sk.get("facing") else hip[0], hip[1] - 8))
        for side in ("near", "far"):
            h = sk["arms"][side]["hand"]
            I.stick(ctx, h, (h[0] + 5, h[1] + 4))
    return draw


def _band(poses, held=(True, True, True)):
    """extra() drawing the three players in their poses, back to front."""
    def extra(ctx, look, fr):
        players = [(GUITAR, I.guitar_on_back, I.guitar_played_front),
                   (ACCORDION, None, _accordion_held), (DRUM, None, _drum_held)]
        for (lk, back, play), pose, x, h in zip(players, poses, HIPS, held):
            sk = I.Figure(lk).skeleton(pose)
            f = pose.facing if pose.view == "side" else 1
            if lk is GUITAR:
                if h:
                    I.person(ctx, lk, pose, x, FRAME_H, None, I.guitar_played_front(sk))
                else:
                    I.person(ctx, lk, pose, x, FRAME_H, back(sk, f))
            else:
                I.person(ctx, lk, pose, x, FRAME_H, None, play(sk, f))
    return extra


def _walks():
    out = []
    for g, kw in enumerate((dict(lean=4), dict(lean=2, head="front", mouth="smile"))):
        cyc = walk6(1, stride=0.9, **kw)
        ax = cycle_anchors(6, 0, STRIDE, 1)
        for k in range(6):
            i = 6 * g + k
            gp = cyc[k]
            ap = Pose(**{**gp.__dict__, "near_arm": (40, -95), "far_arm": (45, -100)})
            dp = Pose(**{**cyc[(k + 3) % 6].__dict__, "near_arm": (35, -80), "far_arm": (40, -85)})
            x, y = _rect(i)

            def extra(ctx, look, fr, gp=gp, ap=ap, dp=dp, off=ax[k]):
                ctx.save()
                ctx.translate(off - 8, 0)
                _band((gp, ap, dp), held=(False, True, True))(ctx, look, fr)
                ctx.restore()
            out.append(Frame(i, x, y, 160, 98, "the band walks right, %s, step %d"
                             % ("gait 0" if g == 0 else "smiling at the street", k), None, HIPS[0], extra=extra))
    return out


def _front(near_arm, far_arm, **kw):
    return stand(near_arm=near_arm, far_arm=far_arm, **kw)


def _setup():
    out = []
    lowered = (stand(head="side", head_facing=1), _front((20, -40), (20, -40)), _front((20, -50), (20, -50)))
    ready = (_front((70, -60), (25, -90), mouth="smile"), _front((45, -100), (45, -100), mouth="smile"),
             _front((35, -95), (35, -95), mouth="smile"))
    for i, (what, poses, held) in enumerate((("the band sets up", lowered, (False, True, True)),
                                             ("the band is ready to play", ready, (True, True, True)))):
        x, y = _rect(12 + i)
        out.append(Frame(12 + i, x, y, 160, 98, what, None, HIPS[0], extra=_band(poses, held)))
    return out


def _play():
    out = []
    for k in range(16):
        t = 2 * math.pi * k / 8.0
        strum = k % 2 == 0
        g = _front((70, -60), (28 if strum else 16, -95 if strum else -75), lean=2 * math.sin(t),
                   mouth=("open", "o", "smile", "open")[k % 4], neck=-6 if k % 8 < 2 else 0)
        spread = 20 + 16 * math.sin(t)
        a = _front((spread + 25, -100), (spread + 25, -100), lean=-2 * math.sin(t),
                   eyes="closed" if k % 8 in (3, 4) else "open", mouth="smile")
        left = k % 4 < 2
        d = _front((70 if left else 30, -110), (30 if left else 70, -110), neck=8 * (k % 2),
                   mouth="none" if k % 3 else "open", near_leg=(4, 0 if k % 2 else 12))
        x, y = _rect(14 + k)
        out.append(Frame(14 + k, x, y, 160, 98, "the band plays, beat %d" % k, None, HIPS[0], extra=_band((g, a, d))))
    return out


DESC = FigureDesc(41, "band of musicians", 150, FRAME_H, _walks() + _setup() + _play(),
                  [SheetPlan(0, None, (965, 494))], {1: {None: GUITAR}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
