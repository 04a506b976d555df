"""Figure 30: a young couple pushing a pram to the left, drawn as one
figure; on their way they stop for a long scene with the baby (she lifts
it, rocks it, he makes faces, back into the pram) and walk on. Day only,
summer clothes."""
import math
from dataclasses import replace

from ..canvas import fill_stroke, set_col, shade
from ..figdesc import Frame, FigureDesc, SheetPlan
from ..figure import Look, Pose, stand, walk_cycle

H = 73
SHE = Look(female=True, height=66, hair="#c87a3a", hair_style="ponytail", skin="#f3cdb0", top="#e0c040",
           top_kind="shirt", sleeves="short", bottom="#3a5a8a")
HE = Look(height=70, hair="#2a1a10", hair_style="short", skin="#c68a64", top="#3a8a6a", top_kind="shirt",
          sleeves="short", bottom="#2a2a30", beard="#2a1a10")
PRAM = "#3a5aa0"
# she pushes: both hands on the handle
WALK = [replace(p, near_arm=(60, 20), far_arm=(60, 20)) for p in walk_cycle(-1, stride=0.85, lean=5)]


def _bundle(ctx, x, y):
    ctx.save()
    ctx.translate(x, y)
    ctx.scale(1.0, 0.6)
    ctx.arc(0, 0, 5.0, 0, 2 * math.pi)
    ctx.restore()
    fill_stroke(ctx, "#f4f0e8", "#a0a0a0", 0.5)
    ctx.arc(x - 3.0, y - 0.5, 1.8, 0, 2 * math.pi)
    fill_stroke(ctx, "#f6d4bc", "#c09070", 0.4)


def _pram(px, baby_in=True, rock=0.0):
    """The pram with its front at px, handle to the right (they push it left)."""
    def draw(ctx, look, fr):
        ground = H - 1
        for wx in (px + 6, px + 24):
            ctx.arc(wx, ground - 4, 4, 0, 2 * math.pi)
            fill_stroke(ctx, "#2a2a2e", "#111114", 0.6)
            ctx.arc(wx, ground - 4, 1.5, 0, 2 * math.pi)
            set_col(ctx, "#b0b4bc")
            ctx.fill()
        ctx.save()
        ctx.translate(px + 15, ground - 14)
        ctx.rotate(rock)
        ctx.new_path()
        ctx.move_to(-15, -8)
        ctx.line_to(15, -8)
        ctx.curve_to(15, 2, 10, 6, 0, 6)
        ctx.curve_to(-10, 6, -15, 2, -15, -8)
        ctx.close_path()
        fill_stroke(ctx, PRAM, shade(PRAM, -0.5), 0.8)
        ctx.new_path()
        ctx.move_to(3, -8)
        ctx.curve_to(4, -22, 16, -22, 16, -8)
        ctx.close_path()
        fill_stroke(ctx, shade(PRAM, -0.2), shade(PRAM, -0.55), 0.8)
        if baby_in:
            _bundle(ctx, -4, -9)
        ctx.restore()
        ctx.set_line_width(1.2)
        set_col(ctx, "#3a3a40")
        ctx.move_to(px + 30, ground - 20)
        ctx.line_to(px + 38, ground - 34)
        ctx.stroke()
    return draw


def _with_baby(px, hold):
    pram = _pram(px, baby_in=False)

    def draw(ctx, look, fr):
        pram(ctx, look, fr)
        _bundle(ctx, hold[0], hold[1])
    return draw


def _walk(first, rects):
    out = []
    for k, (x, y, w) in enumerate(rects):
        shift = -18 * k / 4.0
        she = 54 + shift
        out.append(Frame(first + k, x, y, w, H, "pushes the pram left, step %d" % k, WALK[k], she,
                         company=[("he", walk_cycle(-1, stride=0.85, lean=3)[(k + 2) % 4], she + 30)],
                         extra=_pram(she - 50 if she - 50 > 1 else 2)))
    return out


# the act: (what, her pose, his pose, baby: "pram" or the held point relative to her hip)
ACT = [
    ("stop by the pram", stand(head="side", head_facing=-1), stand(head="side", head_facing=-1), "pram"),
    ("she bends over the pram", Pose(facing=-1, lean=35, neck=15, near_arm=(50, 10), far_arm=(40, 10)),
     stand(head="side", head_facing=-1), "pram"),
    ("she reaches in", Pose(facing=-1, lean=45, neck=15, near_arm=(70, 10), far_arm=(65, 10)),
     stand(head="side", head_facing=-1), "pram"),
    ("she lifts the baby", Pose(facing=-1, lean=20, near_arm=(60, 60), far_arm=(60, 60)),
     stand(head="side", head_facing=-1, mouth="smile"), (-10, -36)),
    ("she holds the baby", stand(near_arm=(40, -90), far_arm=(40, -90), mouth="smile"),
     stand(head="side", head_facing=-1, mouth="smile"), (-2, -38)),
    ("she rocks the baby", stand(near_arm=(45, -95), far_arm=(35, -85), tilt=-3, mouth="smile"),
     stand(head="side", head_facing=-1), (-3, -38)),
    ("she rocks it back", stand(near_arm=(35, -85), far_arm=(45, -95), tilt=3, mouth="smile"),
     stand(head="side", head_facing=-1), (-1, -38)),
    ("he makes a face", stand(near_arm=(40, -90), far_arm=(40, -90)),
     Pose(facing=-1, lean=10, mouth="o", eyes="wide", near_arm=(120, 120), far_arm=(120, 120)), (-2, -38)),
    ("the baby laughs, so does she", stand(near_arm=(40, -90), far_arm=(40, -90), mouth="open"),
     Pose(facing=-1, lean=10, mouth="open", near_arm=(120, 120), far_arm=(120, 120)), (-2, -38)),
    ("he waves to the baby", stand(near_arm=(40, -90), far_arm=(40, -90), mouth="smile"),
     Pose(facing=-1, lean=6, mouth="smile", far_arm=(120, 40)), (-2, -38)),
    ("she lifts the baby high", stand(near_arm=(150, 10), far_arm=(150, 10), mouth="open"),
     stand(head="side", head_facing=-1, mouth="smile"), (-1, -66)),
    ("she lowers it again", stand(near_arm=(100, 30), far_arm=(100, 30), mouth="smile"),
     stand(head="side", head_facing=-1, mouth="smile"), (-4, -52)),
    ("she hands it over", Pose(facing=1, lean=6, near_arm=(80, 10), far_arm=(80, 10)),
     Pose(facing=-1, lean=6, near_arm=(80, 10), far_arm=(80, 10)), (14, -40)),
]
HIS = [
    ("he holds the baby", stand(head="side", head_facing=1, mouth="smile"),
     stand(near_arm=(40, -90), far_arm=(40, -90), mouth="smile"), (28, -38)),
    ("he rocks the baby", stand(head="side", head_facing=1),
     stand(near_arm=(45, -95), far_arm=(35, -85), tilt=-3), (27, -38)),
    ("he rocks it back", stand(head="side", head_facing=1),
     stand(near_arm=(35, -85), far_arm=(45, -95), tilt=3), (29, -38)),
    ("he sings to it", stand(head="side", head_facing=1, mouth="smile"),
     stand(near_arm=(40, -90), far_arm=(40, -90), mouth="o"), (28, -38)),
]
BACK = [
    ("he gives it back", Pose(facing=1, lean=6, near_arm=(80, 10), far_arm=(80, 10)),
     Pose(facing=-1, lean=6, near_arm=(80, 10), far_arm=(80, 10)), (14, -40)),
    ("she holds the baby again", stand(near_arm=(40, -90), far_arm=(40, -90), mouth="smile"),
     stand(head="side", head_facing=-1), (-2, -38)),
    ("she bends to the pram", Pose(facing=-1, lean=30, near_arm=(60, 40), far_arm=(60, 40)),
     stand(head="side", head_facing=-1), (-16, -30)),
    ("she lays it down", Pose(facing=-1, lean=45, neck=15, near_arm=(70, 10), far_arm=(65, 10)),
     stand(head="side", head_facing=-1), "pram"),
    ("she tucks it in", Pose(facing=-1, lean=40, neck=15, near_arm=(60, 20), far_arm=(70, 10)),
     stand(head="side", head_facing=-1), "pram"),
    ("she straightens up", stand(head="side", head_facing=-1, mouth="smile"), stand(head="side", head_facing=-1),
     "pram"),
    ("they smile at each other", stand(head="side", head_facing=1, mouth="smile"),
     stand(head="side", head_facing=-1, mouth="smile"), "pram"),
    ("he kisses her cheek", stand(head="side", head_facing=1, eyes="closed", mouth="smile"),
     Pose(facing=-1, lean=10, neck=10, eyes="closed"), "pram"),
    ("a look into the pram", Pose(facing=-1, lean=15, neck=20), Pose(facing=-1, lean=10, neck=20), "pram"),
    ("she takes the handle", Pose(facing=-1, lean=5, near_arm=(60, 20), far_arm=(60, 20)),
     stand(head="side", head_facing=-1), "pram"),
    ("he takes her hand", Pose(facing=-1, lean=5, near_arm=(60, 20), far_arm=(60, 20)),
     Pose(facing=-1, lean=3, near_arm=(30, 10)), "pram"),
    ("ready to go on", Pose(facing=-1, lean=5, near_arm=(60, 20), far_arm=(60, 20), mouth="smile"),
     Pose(facing=-1, lean=3, mouth="smile"), "pram"),
    ("they set off", Pose(facing=-1, lean=6, near_arm=(60, 20), far_arm=(60, 20), near_leg=(20, 4)),
     Pose(facing=-1, lean=4, near_leg=(20, 4)), "pram"),
]
ACT_RECTS = ([(x, 0, w) for x, w in ((436, 104), (541, 104), (646, 112), (759, 112))] +
             [(x, 74, w) for x, w in ((0, 112), (113, 96), (210, 96), (307, 104), (412, 112), (525, 112),
                                      (638, 112), (751, 112))] +
             [(x, 148, w) for x, w in ((0, 112), (113, 104), (218, 104), (323, 104), (428, 112), (541, 104),
                                       (646, 112))] +
             [(x, 222, w) for x, w in ((0, 104), (105, 104), (210, 104), (315, 112), (428, 112), (541, 104),
                                       (646, 96), (743, 104))] +
             [(x, 296, w) for x, w in ((0, 104), (105, 104), (210, 96))])


def _frames():
    out = _walk(0, [(0, 0, 112), (113, 0, 112), (226, 0, 104), (331, 0, 104)])
    for k, ((x, y, w), (what, her, him, baby)) in enumerate(zip(ACT_RECTS, ACT + HIS + BACK)):
        she = 46.0
        px = 6
        extra = _pram(px) if baby == "pram" else _with_baby(px, (she + baby[0], H + baby[1]))
        out.append(Frame(4 + k, x, y, w, H, "act: " + what, her, she, company=[("he", him, min(she + 32, w - 14))],
                         extra=extra))
    out += _walk(35, [(404, 296, 112), (517, 296, 112), (630, 296, 104), (735, 296, 104)])
    return out


DESC = FigureDesc(30, "couple with a pram", 112, H, _frames(), [SheetPlan(0, None, (871, 369))],
                  {1: {None: SHE, "he": HE}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
