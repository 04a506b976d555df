"""Figure 25: a woman who lives behind door 1 or door 2. Her sheet 0 is a
placeholder; she draws from one extra sheet at a time: the arrival ("K":
walking in from the left, turning to her door, climbing the steps and going
in) or the departure ("G": coming out of the door, stepping down, walking off
to either side). Door 1's departure has two variants (G1 with her shopping
bag, G2 with an umbrella). The door frames show the open doorway behind her,
so that she stands in the door of the background."""
from ..canvas import set_col, shade
from ..figdesc import Frame, FigureDesc, SheetPlan, cycle_anchors
from ..figure import Look, Pose, stand, walk_cycle

LOOK = Look(female=True, height=76, hair="#b04a2a", hair_style="bun", skin="#f0c6a4", top="#2f6a5a",
            top_kind="coat", top_len=0.3, bottom="#2a2a34", bottom_kind="skirt", skirt_len=0.55,
            legs="#3a3030", shoes="#4a2a1a", scarf="#e0b040", bag=("hand", "#7a3a2a"))
LOOK_G2 = Look(**{**LOOK.__dict__, "bag": None, "top": "#6a3a6a", "scarf": "#c8c8d0"})
WINTER = LOOK.winter(coat="#2f5a7a", scarf="#c83a3a", hat="beanie", hat_colour="#c83a3a", gloves="#3a2a2a")

FRAME_W, FRAME_H = 44, 78
DOOR_STEP_GROUND = 93     # the door frames stand her on the threshold
DOORWAY = "#2a221e"


def doorway(h):
    """The open door behind her: the dark hall and the door leaf swung in."""
    def draw_behind(ctx, look, fr):
        ctx.rectangle(2, 0, fr.w - 4, min(h, fr.h))
        set_col(ctx, DOORWAY)
        ctx.fill()
        ctx.rectangle(fr.w - 12, 0, 8, min(h, fr.h))
        set_col(ctx, "#6a2a22")
        ctx.fill()
    return draw_behind


def _row(text):
    """x/width pairs from a string 'x/w, x/w, ...'."""
    return [tuple(int(v) for v in p.split("/")) for p in text.split(",")]


ROW_G1 = _row("0/48, 65/48, 114/48, 163/48, 212/48, 261/48, 310/48, 359/48, 408/48, 457/48, 506/48, 555/48, "
              "604/48, 653/56, 710/64, 775/72, 848/56, 905/56")
ROW_G3 = _row("0/56, 57/56, 114/56, 171/56, 228/56, 285/64, 350/72, 423/72, 496/72, 569/72, 642/72, 715/72, "
              "788/72, 861/72")
ROW_K0 = _row("0/48, 49/56, 106/56, 163/64, 228/48, 277/56, 334/56, 391/64, 456/64, 521/72, 594/80, 675/80, "
              "756/80, 837/80, 918/80")
ROW_K1 = _row("0/80, 81/72, 154/72, 227/64, 292/64, 357/64, 422/64, 487/64, 552/72, 625/64, 690/64, 755/64, "
              "820/64, 885/64")
GOING_IN_H = (96, 96, 96, 96, 94, 92) + (91,) * 11


def _look_about(k, facing):
    heads = ["side", "front", "side", "side", "front", "side", "side", "front"]
    return stand(view="side", facing=facing, head=heads[k % 8],
                 head_facing=(facing if k % 3 else -facing), near_arm=(6, 8), far_arm=(-4, 10))


def _frames():
    out = []
    walk = walk_cycle(1, stride=0.85, lean=3)
    walk2 = walk_cycle(1, stride=0.75, lean=1, head="front", mouth="smile")
    walk_l = walk_cycle(-1, stride=0.85, lean=3)
    ax = cycle_anchors(4, 22.0, 20, 1)
    # departure: coming out of the door (6-22), 56 wide, the doorway behind her
    for k in range(17):
        e = 6 + k
        h = 91 if e <= 16 else 96
        t = k / 16.0
        p = Pose(view="back" if k < 4 else ("front" if k < 12 else "side"), facing=1, lean=0,
                 near_leg=(4, 0), far_leg=(4, 0), near_arm=(8, 8), far_arm=(10, 8))
        out.append(Frame(e, 57 * k, 0, 56, h, "comes out of the door, %d" % k, p, 28.0, ground=min(h, 91) - 1,
                         extra=None, look=None, behind=doorway(86) if k < 14 else None,
                         scale=0.72 + 0.28 * t if k < 8 else 1.0))
    # 23-40 on the steps, stepping down, walking right
    for k, (x, w) in enumerate(ROW_G1):
        e = 23 + k
        if e <= 29:
            p, what = _look_about(k, 1), "stands on the steps, looks about %d" % k
        elif e <= 34:
            p, what = walk_cycle(1, stride=0.6, lean=2)[(e - 30) % 4], "steps down, %d" % (e - 30)
        else:
            p, what = walk[(e - 35) % 4], "walks right, step %d" % ((e - 35) % 4)
        out.append(Frame(e, x, 105, w, 79, what, p, w / 2.0 - 2))
    # 41-57 walking left and standing facing left
    for k in range(17):
        e = 41 + k
        if e <= 44:
            p, what = walk_l[e - 41], "walks left, step %d" % (e - 41)
        else:
            p, what = _look_about(k, -1), "stands facing left, %d" % (e - 45)
        out.append(Frame(e, 57 * k, 185, 56, 79, what, p, 30.0))
    # 58-71 standing facing right
    for k, (x, w) in enumerate(ROW_G3):
        e = 58 + k
        out.append(Frame(e, x, 265, w, 79, "stands facing right, %d" % k, _look_about(k, 1), w / 2.0 - 2))
    # arrival (K sheets)
    for k, (x, w) in enumerate(ROW_K0):
        e = 72 + k
        if e <= 75:
            p, what = walk[e - 72], "walks right, step %d" % (e - 72)
        elif e <= 79:
            p, what = walk2[e - 76], "walks right smiling, step %d" % (e - 76)
        else:
            p, what = _look_about(k, 1), "stands, looks about %d" % (e - 80)
        out.append(Frame(e, x, 0, w, 79, what, p, ax[(e - 72) % 4] if e <= 79 else w / 2.0 - 2))
    for k, (x, w) in enumerate(ROW_K1):
        e = 87 + k
        h = 80 if e in (95, 96) else 79
        if e == 87:
            p, what = _look_about(7, 1), "stands, looks about 7"
        elif e <= 89:
            p, what = stand(view="back" if e == 89 else "front"), "turns to the door, %d" % (e - 88)
        elif e <= 94:
            p = Pose(view="back", lean=0, near_leg=(30 if e % 2 else 4, 30 if e % 2 else 0),
                     far_leg=(4, 0) if e % 2 else (30, 30))
            what = "climbs the steps, %d" % (e - 90)
        else:
            p, what = stand(view="back", head="side", head_facing=1 if e % 2 else -1), "waits on the steps, %d" % e
        out.append(Frame(e, x, 80, w, h, what, p, w / 2.0, ground=78))
    for k in range(17):
        e = 101 + k
        h = GOING_IN_H[k]
        p = Pose(view="back", lean=0, near_leg=(4, 0), far_leg=(4, 0), near_arm=(6, 8), far_arm=(6, 8))
        out.append(Frame(e, 57 * k, 160, 56, h, "goes in, %d" % k, p if k < 13 else None, 28.0,
                         ground=min(h, 91) - 1, behind=doorway(86), scale=1.0 - 0.28 * k / 16.0))
    return out


FRAMES = _frames()
K_SHEET = (998, 256)
G_SHEET = (968, 344)
DESC = FigureDesc(25, "resident of doors 1 and 2", FRAME_W, FRAME_H, FRAMES, [
    SheetPlan(0, None, (8, 8), only=()),
    SheetPlan(1, None, K_SHEET, name="FIG025_%02d_01_K", only=range(72, 118)),
    SheetPlan(2, None, K_SHEET, name="FIG025_%02d_02_K", only=range(72, 118)),
    SheetPlan(1, None, G_SHEET, name="FIG025_%02d_01_G1", only=range(6, 72)),
    SheetPlan(1, None, G_SHEET, name="FIG025_%02d_01_G2", only=range(6, 72), look="G2"),
    SheetPlan(2, None, G_SHEET, name="FIG025_%02d_02_G", only=range(6, 72)),
], {1: {None: LOOK, "G2": LOOK_G2}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
