"""The layout of the two couples, 56 and 57: two people in every frame,
walking left, looking at a shop window (from behind), looking about and
walking right. Entry 14 is not in the table and stays empty."""
from ..figdesc import Frame
from ..figure import Pose, stand
from ..pavementfigs import companion, cycle

H = 82
FH = 80
GAP = 30


def _walk(first, rects, facing, lead, follow, what):
    pa = cycle(4, facing, lean=3)
    pb = cycle(4, facing, lean=3)
    pb = pb[2:] + pb[:2]
    out = []
    for k, (x, y, w) in enumerate(rects):
        if facing < 0:
            a = 26 - 18 * k / 4.0
            dx = GAP
        else:
            a = w - 24 - 18 * (3 - k) / 4.0
            dx = -GAP
        out.append(Frame(first + k, x, y, w, H, "%s, step %d" % (what, k), pa[k], a, ground=FH,
                         extra=companion(follow, pb[k], dx, FH)))
    return out


def frames(lead, follow):
    out = _walk(0, [(0, 0, 104), (105, 0, 104), (210, 0, 104), (315, 0, 96)], -1, lead, follow, "stroll left")
    window = [(412, 0, 96), (509, 0, 96), (606, 0, 88), (695, 0, 96), (792, 0, 96), (889, 0, 96), (986, 0, 96),
              (1083, 0, 96), (0, 83, 96), (97, 83, 88)]
    back = dict(view="back", near_leg=(4, 0), far_leg=(4, 0), lean=0)
    acts = [
        ("look at the window", dict(near_arm=(8, 6), far_arm=(8, 6)), dict(near_arm=(8, 6), far_arm=(8, 6))),
        ("she points at something", dict(near_arm=(8, 6), far_arm=(8, 6)), dict(far_arm=(100, 10))),
        ("he leans closer", dict(near_arm=(8, 6), far_arm=(8, 6), neck=12), dict(far_arm=(100, 10))),
        ("both look", dict(near_arm=(8, 6), far_arm=(8, 6)), dict(near_arm=(8, 6), far_arm=(8, 6))),
        ("arm in arm", dict(far_arm=(30, 40)), dict(near_arm=(30, 40))),
        ("she leans on him", dict(far_arm=(30, 40)), dict(near_arm=(30, 40), neck=-10)),
        ("he points", dict(near_arm=(95, 10)), dict(near_arm=(8, 6), far_arm=(8, 6))),
        ("both look up", dict(neck=-12), dict(neck=-12)),
        ("hands on the glass", dict(near_arm=(110, 20), far_arm=(110, 20)), dict(near_arm=(8, 6), far_arm=(8, 6))),
        ("step back from the window", dict(near_arm=(8, 6), far_arm=(8, 6)), dict(near_arm=(8, 6), far_arm=(8, 6))),
    ]
    for k, ((x, y, w), (what, ka, kb)) in enumerate(zip(window, acts)):
        pa = Pose(**{**back, **ka})
        pb = Pose(**{**back, **kb})
        out.append(Frame(4 + k, x, y, w, H, "at the shop window: " + what, pa, w / 2.0 - GAP / 2.0, ground=FH,
                         extra=companion(follow, pb, GAP, FH)))
    about = [
        ("look left", dict(head="side", head_facing=-1), dict(head="side", head_facing=-1)),
        ("look at each other", dict(head="side", head_facing=1), dict(head="side", head_facing=-1, mouth="smile")),
        ("look ahead", dict(head="front"), dict(head="front")),
        ("she talks", dict(head="side", head_facing=1), dict(head="side", head_facing=-1, mouth="open")),
        ("he laughs", dict(head="front", mouth="open", eyes="closed"), dict(head="front", mouth="smile")),
        ("look right", dict(head="side", head_facing=1), dict(head="side", head_facing=1)),
        ("shrug", dict(near_arm=(30, 80), far_arm=(30, 80)), dict(head="front")),
    ]
    for k, (what, ka, kb) in enumerate(about):
        x = 275 + 81 * k
        out.append(Frame(15 + k, x, 83, 80, H, "looks about: " + what, stand(**ka), 80 / 2.0 - GAP / 2.0, ground=FH,
                         extra=companion(follow, stand(**kb), GAP, FH)))
    out += _walk(22, [(842, 83, 88), (931, 83, 88), (1020, 83, 88), (1109, 83, 96)], 1, lead, follow,
                 "stroll right")
    return out
