"""Figure 37: up to Christmas Day the Christmas figure with his sack (sheet
0, entries 12-24); on every other day two men carrying a big parcel between
them (the extra sheet 1, entries 0-11)."""
from ..figdesc import SheetPlan
from ..figure import Look, Pose, stand
from ..pavementfigs import (SplitDesc, chain, companion, cycle, on_body, parcel, pose_row, sack, santa_hat,
                            walk_row, xs_row)

SANTA = Look(height=76, build=1.3, hair="#f4f4f4", hair_style="short", skin="#f0c4a4", beard="#f8f8f8",
             top="#c8202a", top_kind="coat", top_len=0.45, bottom="#c8202a", shoes="#1a1a1a",
             gloves="#1a1a1a")
MAN_A = Look(height=76, hair="#3a2a1a", hair_style="short", skin="#e0b090", top="#3a5a8a", top_kind="shirt",
             bottom="#2a3a4a", hat="cap", hat_colour="#c87a2a")
MAN_B = Look(height=77, build=1.1, hair="#8a6a3a", hair_style="curly", skin="#c89068", top="#5a7a3a",
             top_kind="shirt", bottom="#3a3a3a", beard="#8a6a3a")

HAT = on_body(santa_hat, 83)
SACK = on_body(sack, 83)
SANTA_X = ((0, 64), (65, 64), (130, 64), (195, 72), (268, 80), (349, 80), (430, 80), (511, 88), (600, 88),
           (689, 72), (762, 72), (835, 64), (900, 64))
SANTA_RECTS = [(x, 0, w) for x, w in SANTA_X]
SANTA_STANDS = [
    ("stands, looks about", stand(head="side", head_facing=-1)),
    ("ho ho ho", stand(near_arm=(40, -95), far_arm=(40, -95), mouth="open", eyes="closed")),
    ("waves", stand(far_arm=(125, 40), mouth="smile")),
    ("looks into the sack", Pose(facing=1, lean=20, neck=15, near_arm=(40, 40), far_arm=(30, 30))),
    ("holds up a present", stand(far_arm=(130, 30), mouth="smile")),
    ("not drawn: looks right", stand(head="side", head_facing=1)),
    ("not drawn: smiles", stand(mouth="smile")),
    ("not drawn: rubs his hands", stand(near_arm=(30, 100), far_arm=(30, 100))),
    ("not drawn: nods", stand(neck=15, mouth="smile")),
]

# the parcel men: both face right, the front man ahead; the parcel between them
GAP = 62
CARRY = dict(near_arm=(35, 60), far_arm=(40, 55))


def _men(pose_a, pose_b, lift=0.55, what=""):
    return chain(companion(MAN_B, pose_b, GAP, 80), parcel(GAP - 12, 16, lift))


def _parcel_frames():
    out = []
    walk_a = cycle(4, 1, lean=4, arm=0.0, **CARRY)
    walk_b = cycle(4, 1, lean=4, arm=0.0, **CARRY)
    walk_b = walk_b[2:] + walk_b[:2]
    rects = [(0, 0, 120), (121, 0, 120), (242, 0, 120), (363, 0, 128)]
    for k, (x, y, w) in enumerate(rects):
        from ..figdesc import Frame
        out.append(Frame(k, x, y, w, 80, "the men carry the parcel, step %d" % k, walk_a[k], 20 + 4 * k,
                         ground=80, extra=_men(walk_a[k], walk_b[k])))
    act = [
        ("put the parcel down", dict(lean=30, near_arm=(20, 20), far_arm=(25, 20)), 0.3),
        ("straighten up", dict(lean=0, near_arm=(8, 6), far_arm=(8, 6)), 0.12),
        ("wipe their brows", dict(lean=0, far_arm=(150, 110), near_arm=(8, 6)), 0.12),
        ("stretch their backs", dict(lean=-10, near_arm=(30, -80), far_arm=(30, -80)), 0.12),
        ("shake their arms", dict(lean=0, near_arm=(20, 10), far_arm=(-20, 10)), 0.12),
        ("bend to lift", dict(lean=35, near_arm=(25, 20), far_arm=(30, 20)), 0.3),
        ("lift the parcel", dict(lean=15, near_arm=(30, 50), far_arm=(35, 50)), 0.45),
        ("shoulder the parcel again", dict(lean=4, **CARRY), 0.55),
    ]
    xs = (0, 129, 258, 387)
    for k, (what, kw, lift) in enumerate(act):
        x, y = xs[k % 4], 81 + 81 * (k // 4)
        pa = Pose(facing=1, near_leg=(4, 0), far_leg=(-4, 0), **kw)
        pb = Pose(facing=-1 if k in (2, 3, 4) else 1, near_leg=(4, 0), far_leg=(-4, 0), **kw)
        out.append(Frame(4 + k, x, y, 128, 80, "parcel act: " + what, pa, 24, ground=80,
                         extra=chain(companion(MAN_B, pb, GAP + 4, 80), parcel(GAP - 10, 16, lift))))
    return out


def _frames():
    out = _parcel_frames()
    santa = walk_row(12, SANTA_RECTS[0:4], 83, 1, 17, "the Christmas figure walks with his sack", lean=4,
                     stride=0.8)
    santa += pose_row(16, SANTA_RECTS[4:13], 83, SANTA_STANDS)
    for f in santa:
        f.look = "santa"
        f.extra = chain(SACK, HAT)
    return out + santa


DESC = SplitDesc(37, "Christmas figure or two men with a parcel", 72, 83, _frames(),
                 [SheetPlan(0, None, (964, 83)), SheetPlan(1, None, (515, 242))],
                 {1: {None: MAN_A, "santa": SANTA}},
                 {0: set(range(12, 25)), 1: set(range(0, 12))})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
