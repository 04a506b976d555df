"""Figure 11: a girl on inline skates who glides in from the right along the
near pavement in eight styles. Clicked, she brakes, wobbles, windmills, falls,
sits dazed, gets up and clomps off on her skates (and shakes her fist when
clicked again). She also clomps off the same way out of the bus."""
import math

from ..canvas import set_col
from ..figdesc import Frame, FigureDesc, SheetPlan
from ..people import LOOKS
from ..figure import Look, Pose

LOOK = LOOKS[11]

L = -1   # she moves to the left


def P(**kw):
    kw.setdefault("facing", L)
    return Pose(**kw)


# eight glide styles of four frames each
GLIDES = [
    ("skates with long strides", [
        dict(near_leg=(6, 10), far_leg=(-30, 12), lean=20, near_arm=(-30, 20), far_arm=(30, 30)),
        dict(near_leg=(0, 20), far_leg=(-20, 30), lean=22, near_arm=(-10, 20), far_arm=(10, 30)),
        dict(near_leg=(-30, 12), far_leg=(6, 10), lean=20, near_arm=(30, 30), far_arm=(-30, 20)),
        dict(near_leg=(-20, 30), far_leg=(0, 20), lean=22, near_arm=(10, 30), far_arm=(-10, 20))]),
    ("glides like a speed skater, hands behind", [
        dict(near_leg=(20, 60), far_leg=(-40, 30), lean=45, neck=-25, near_arm=(-70, 60), far_arm=(-70, 60)),
        dict(near_leg=(15, 60), far_leg=(-30, 40), lean=45, neck=-25, near_arm=(-70, 60), far_arm=(-70, 60)),
        dict(near_leg=(-40, 30), far_leg=(20, 60), lean=45, neck=-25, near_arm=(-70, 60), far_arm=(-70, 60)),
        dict(near_leg=(-30, 40), far_leg=(15, 60), lean=45, neck=-25, near_arm=(-70, 60), far_arm=(-70, 60))]),
    ("glides upright", [
        dict(near_leg=(8, 6), far_leg=(-8, 6), lean=4, near_arm=(-14, 20), far_arm=(14, 20)),
        dict(near_leg=(10, 8), far_leg=(-6, 8), lean=4, near_arm=(-8, 20), far_arm=(8, 20)),
        dict(near_leg=(8, 6), far_leg=(-8, 6), lean=4, near_arm=(14, 20), far_arm=(-14, 20)),
        dict(near_leg=(6, 8), far_leg=(-10, 8), lean=4, near_arm=(8, 20), far_arm=(-8, 20))]),
    ("glides on one leg", [
        dict(near_leg=(4, 10), far_leg=(-50, 30), lean=20, near_arm=(70, 10), far_arm=(-50, 10)),
        dict(near_leg=(4, 12), far_leg=(-58, 30), lean=24, near_arm=(75, 10), far_arm=(-55, 10)),
        dict(near_leg=(4, 14), far_leg=(-64, 30), lean=28, near_arm=(80, 10), far_arm=(-60, 10)),
        dict(near_leg=(4, 12), far_leg=(-56, 30), lean=24, near_arm=(75, 10), far_arm=(-55, 10))]),
    ("crosses over", [
        dict(near_leg=(-10, 20), far_leg=(20, 20), lean=15, near_arm=(40, 30), far_arm=(-20, 30)),
        dict(near_leg=(18, 30), far_leg=(-6, 20), lean=15, near_arm=(-20, 30), far_arm=(40, 30)),
        dict(near_leg=(-10, 20), far_leg=(20, 20), lean=15, near_arm=(40, 30), far_arm=(-20, 30)),
        dict(near_leg=(18, 30), far_leg=(-6, 20), lean=15, near_arm=(-20, 30), far_arm=(40, 30))]),
    ("tucks in low", [
        dict(near_leg=(40, 90), far_leg=(30, 90), lean=40, near_arm=(50, 60), far_arm=(45, 60)),
        dict(near_leg=(42, 92), far_leg=(28, 88), lean=42, near_arm=(52, 60), far_arm=(45, 60)),
        dict(near_leg=(40, 90), far_leg=(30, 90), lean=40, near_arm=(50, 60), far_arm=(45, 60)),
        dict(near_leg=(38, 88), far_leg=(32, 92), lean=38, near_arm=(48, 60), far_arm=(45, 60))]),
    ("waves while gliding", [
        dict(near_leg=(8, 6), far_leg=(-8, 6), lean=4, head="front", mouth="smile", near_arm=(150, 30),
             far_arm=(10, 20)),
        dict(near_leg=(8, 6), far_leg=(-8, 6), lean=4, head="front", mouth="smile", near_arm=(135, 10),
             far_arm=(10, 20)),
        dict(near_leg=(8, 6), far_leg=(-8, 6), lean=4, head="front", mouth="smile", near_arm=(150, 30),
             far_arm=(10, 20)),
        dict(near_leg=(8, 6), far_leg=(-8, 6), lean=4, head="front", mouth="open", near_arm=(160, 40),
             far_arm=(10, 20))]),
    ("balances with her arms out", [
        dict(near_leg=(10, 10), far_leg=(-10, 10), lean=8, near_arm=(85, 5), far_arm=(-80, 5)),
        dict(near_leg=(12, 14), far_leg=(-8, 10), lean=4, near_arm=(95, 5), far_arm=(-70, 5), mouth="o"),
        dict(near_leg=(10, 10), far_leg=(-10, 10), lean=10, near_arm=(80, 5), far_arm=(-88, 5)),
        dict(near_leg=(8, 8), far_leg=(-12, 12), lean=6, near_arm=(88, 5), far_arm=(-82, 5))]),
]

# acts after a click: (index, x, y, w, what, pose, anchor)
ACT = [
    (32, 0, 300, 64, "brakes", dict(near_leg=(25, 0), far_leg=(-10, 20), lean=-10, near_arm=(40, 20),
                                    far_arm=(30, 20), mouth="o", eyes="wide")),
    (33, 65, 300, 80, "wobbles", dict(near_leg=(20, 10), far_leg=(-14, 20), lean=-16, near_arm=(100, 10),
                                      far_arm=(-60, 10), mouth="o", eyes="wide")),
    (34, 146, 300, 80, "wobbles the other way", dict(near_leg=(10, 20), far_leg=(-24, 10), lean=18,
                                                     near_arm=(-60, 10), far_arm=(110, 10), mouth="o",
                                                     eyes="wide")),
    (35, 227, 300, 88, "windmills her arms", dict(near_leg=(28, 10), far_leg=(-6, 20), lean=-20,
                                                  near_arm=(160, 20), far_arm=(-120, 10), mouth="open",
                                                  eyes="wide")),
    (36, 316, 300, 104, "tips backward", dict(near_leg=(55, 10), far_leg=(5, 20), lean=-34,
                                              near_arm=(120, 20), far_arm=(-140, 10), mouth="open",
                                              eyes="wide")),
]
FALL = [
    (37, 421, 300, 120, "falls backward", dict(near_leg=(60, 10), far_leg=(20, 20), lean=-10, near_arm=(100, 20),
                                                far_arm=(-150, 10), mouth="open", eyes="wide", tilt=25)),
    (38, 0, 375, 120, "falls further", dict(near_leg=(70, 20), far_leg=(40, 30), lean=-10, near_arm=(110, 20),
                                             far_arm=(-160, 10), mouth="open", eyes="wide", tilt=50)),
    (39, 121, 375, 120, "hits the ground", dict(near_leg=(70, 10), far_leg=(50, 20), lean=-10,
                                                 near_arm=(140, 20), far_arm=(-140, 10), mouth="open",
                                                 eyes="closed", tilt=75)),
    (40, 242, 375, 128, "lies flat, skates up", dict(near_leg=(110, 20), far_leg=(90, 30), lean=-10,
                                                      near_arm=(150, 20), far_arm=(-150, 10), eyes="closed",
                                                      tilt=88)),
]
SIT = [
    (41, 371, 375, 120, "sits dazed, rubbing her head", dict(near_arm=(130, 110), far_arm=(-30, 20))),
    (42, 0, 450, 128, "sits and sees stars", dict(near_arm=(-20, 20), far_arm=(-30, 20), eyes="closed",
                                                  stars=True)),
    (43, 129, 450, 120, "sits and looks round", dict(near_arm=(-20, 20), far_arm=(-30, 20), head="front")),
    (44, 250, 450, 120, "rubs her backside", dict(near_arm=(-60, 40), far_arm=(-30, 20), mouth="frown",
                                                  head="front")),
    (45, 371, 450, 120, "shakes her head", dict(near_arm=(-20, 20), far_arm=(-30, 20), head="side",
                                                head_facing=1, eyes="closed")),
]
UP = [
    (46, 0, 525, 72, "gets up on one knee", dict(near_leg=(80, 100), far_leg=(-10, 110), far_toe=60, lean=20,
                                                 near_arm=(60, 30), far_arm=(40, 30))),
    (47, 73, 525, 72, "stands and brushes herself off", dict(near_leg=(8, 10), far_leg=(-6, 10), lean=10,
                                                             near_arm=(-50, 60), far_arm=(-40, 60),
                                                             mouth="frown")),
]
WALK_RECTS = {48: (146, 525, 80), 49: (227, 525, 72), 50: (300, 525, 72), 51: (373, 525, 64),
              52: (438, 525, 96), 53: (0, 600, 88), 54: (89, 600, 88), 55: (178, 600, 80),
              56: (259, 600, 96), 57: (356, 600, 96), 58: (453, 600, 88), 59: (0, 675, 88),
              60: (89, 675, 96), 61: (186, 675, 96), 62: (283, 675, 88), 63: (372, 675, 80)}

# clomping on skates: short steps, knees bent, arms out for balance
CLOMP = [dict(near_leg=(14, 24), far_leg=(-10, 30), near_arm=(40, 30), far_arm=(-30, 30)),
         dict(near_leg=(4, 40), far_leg=(-4, 20), near_arm=(30, 30), far_arm=(-20, 30)),
         dict(near_leg=(-10, 30), far_leg=(14, 24), near_arm=(-30, 30), far_arm=(40, 30)),
         dict(near_leg=(-4, 20), far_leg=(4, 40), near_arm=(-20, 30), far_arm=(30, 30))]
LIMP = [dict(c, lean=14, far_arm=(-70, 80), mouth="frown") for c in CLOMP]
FIST = [dict(near_leg=(8, 10), far_leg=(-8, 10), head="front", mouth="open", near_arm=(150, 70), far_arm=(20, 20)),
        dict(near_leg=(8, 10), far_leg=(-8, 10), head="front", mouth="open", near_arm=(130, 110), far_arm=(20, 20)),
        dict(near_leg=(8, 10), far_leg=(-8, 10), head="front", mouth="open", near_arm=(150, 70), far_arm=(20, 20)),
        dict(near_leg=(8, 10), far_leg=(-8, 10), head="front", mouth="frown", near_arm=(40, 60), far_arm=(20, 20))]
STICK = [dict(near_leg=(8, 10), far_leg=(-8, 10), head="front", mouth="o", near_arm=(40, -120), far_arm=(40, -120)),
         dict(near_leg=(8, 10), far_leg=(-8, 10), head="front", mouth="frown", near_arm=(30, -120),
              far_arm=(40, -120)),
         dict(near_leg=(8, 10), far_leg=(-8, 10), head="side", head_facing=1, mouth="frown",
              near_arm=(30, -120), far_arm=(40, -120)),
         dict(near_leg=(8, 10), far_leg=(-8, 10), head="front", mouth="o", near_arm=(40, -120), far_arm=(40, -120))]


def _sitting(stars):
    def extra(ctx, look, fr):
        if not stars:
            return
        for k, (dx, dy) in enumerate(((-10, -62), (2, -68), (12, -60))):
            x, y = fr.ax + dx + 4, 74 + dy + 10
            set_col(ctx, "#ffe14a")
            ctx.new_path()
            for i in range(10):
                a = i * math.pi / 5 - math.pi / 2
                r = 3.2 if i % 2 == 0 else 1.3
                ctx.line_to(x + math.cos(a) * r, y + math.sin(a) * r)
            ctx.close_path()
            ctx.fill()
    return extra


def _frames():
    out = []
    for s, (what, poses) in enumerate(GLIDES):
        for k in range(4):
            i = 4 * s + k
            out.append(Frame(i, 65 * (i % 8), 75 * (i // 8), 64, 74, "%s, frame %d" % (what, k), P(**poses[k]), 32))
    for i, x, y, w, what, kw in ACT:
        out.append(Frame(i, x, y, w, 74, "after a click: " + what, P(**kw), 30))
    for i, x, y, w, what, kw in FALL:
        out.append(Frame(i, x, y, w, 74, what, P(**kw), 44))
    for i, x, y, w, what, kw in SIT:
        stars = kw.pop("stars", False)
        pose = P(sit=True, near_leg=(85, 10), far_leg=(80, 20), lean=-10, **kw)
        out.append(Frame(i, x, y, w, 74, what, pose, 60, extra=_sitting(stars)))
    for i, x, y, w, what, kw in UP:
        out.append(Frame(i, x, y, w, 74, what, P(**kw), 36))
    for style, (first, kinds, what) in enumerate(((48, CLOMP, "clomps off on her skates"),
                                                   (52, LIMP, "limps off, hand on her back"),
                                                   (56, FIST, "shakes her fist"),
                                                   (60, STICK, "stamps, hands on her hips"))):
        for k in range(4):
            i = first + k
            x, y, w = WALK_RECTS[i]
            walking = style < 2
            ax = w - 30 if walking else w - 44
            kw = dict(lean=8 if walking else 2)
            kw.update(kinds[k])
            pose = P(**kw)
            out.append(Frame(i, x, y, w, 74, "%s, step %d" % (what, k), pose, ax))
    return out


DESC = FigureDesc(11, "skater", 64, 74, _frames(), [SheetPlan(0, None, (541, 749))], {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
