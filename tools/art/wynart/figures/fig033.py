"""Figure 33: a married couple of the house at door 2, one of them on stage at
a time. By day she may walk the far pavement with a street act of her own
(sheet 0: walking both ways in six gaits, standing, a stretching routine and
a telephone call); otherwise one of them walks in from the left, climbs the
steps of door 2 and goes in, or comes out of it later and walks off. The door
acts draw from extra sheets, one per person and direction:

  FIG033_tt_02_K / _AK   from the left to door 2 (her / him)   entries 60-118
  FIG033_tt_02_G / _AG   out of door 2 and away (her / him)    entries 0-59

One frame table serves all four and sheet 0; each sheet holds only its own
entries. The door frames show door 2's doorway at the script's door point
(429, 17): the going-in frames stand at the point, the coming-out frames 18
pixels left of it."""
import math

from ..figdesc import FigureDesc, Frame, SheetPlan, cycle_anchors
from ..figure import Look, Pose, stand
from ..frametables import Entry, header
from ..resources import TT, res
from .fig042 import walk6
from .residents import COME_OUT, GO_IN, _door_extra, _held_poses, _look_about, _step_poses

HER = Look(height=70, female=True, hair="#8a8a92", hair_style="bun", skin="#efc4a4", glasses=True, top="#8a3a6a",
           top_kind="coat", top_len=0.45, bottom="#3a3a48", shoes="#2a1a1a", bag=("hand", "#5a3a22"))
HIM = Look(height=72, hair="#b8b8c0", hair_style="short", skin="#e8b894", beard="#c0c0c8", top="#4a5a3a",
           top_kind="jacket", bottom="#2e3440", shoes="#2a1a14", hat="hat", hat_colour="#3a3a30")

STREET_SHEET = (1021, 764)
FROM_LEFT_SHEET = (1021, 340)
OUT_OF_DOOR_SHEET = (780, 605)
STREET_H, FROM_LEFT_H, DOOR_H = 80, 78, 99
OUT_SHIFT = 18                      # the coming-out frames stand this far left of the door point


def _walk(facing, lean=3, **over):
    """A six-frame stride with some of its pose fields replaced (a phone at
    the ear, the head turned)."""
    return [Pose(**{**p.__dict__, **over}) for p in walk6(facing, stride=0.85, lean=lean)]


def _stretch(k, n):
    """The stretching routine: arms rise and sweep, the body sways."""
    t = 2 * math.pi * k / float(n)
    up = 0.5 - 0.5 * math.cos(t * 3)
    sway = math.sin(t * 2)
    return stand(view="front", near_arm=(20 + 150 * up, 10 + 20 * sway), far_arm=(20 + 150 * up, 10 - 20 * sway),
                 near_leg=(4 + 10 * max(0.0, sway), 8 * max(0.0, sway)),
                 far_leg=(4 + 10 * max(0.0, -sway), 8 * max(0.0, -sway)),
                 eyes="closed" if up > 0.7 else "open", mouth="o" if up > 0.8 else "smile", dx=1.5 * sway)


def _phone_call(k):
    """On the telephone: the phone at her ear, the free hand talks along."""
    talk = (k % 4) in (1, 2)
    return stand(view="side", hand_near="phone", near_arm=(150, 150), far_arm=(20 + 40 * talk, 60 * talk),
                 head="side", mouth="open" if k % 2 else "smile")


def _street_frames():
    out = []

    def add(i, x, y, what, pose, ax=36.0):
        out.append(Frame(i, x, y, 72, 84, what, pose, ax, ground=STREET_H))

    # walking right: six poses of six frames, rows y 0, 170, 85
    ax = cycle_anchors(6, 36 - 25 * 5 / 12.0, 25, 1)
    gaits = [dict(), dict(lean=6), dict(head="front", mouth="smile"), dict(head="side", neck=-12),
             dict(hand_near="phone", near_arm=(150, 150)), dict(hand_near="phone", near_arm=(150, 150), mouth="open")]
    for p, extra in enumerate(gaits):
        cyc = _walk(1, **extra)
        for k in range(6):
            i = 136 + 6 * p + k
            col, row = (i - 136) % 12, (i - 136) // 12
            add(i, 73 * col, (0, 170, 85)[row], "walks right, pose %d, step %d" % (p, k), cyc[k], ax[k])
    # standing: variant 0 (172, 173) and variant 1 with the phone (176, 177)
    add(172, 876, 0, "stands, looks about", stand(view="side", head="front"))
    add(173, 949, 0, "stands, looks up the street", stand(view="side", head="side", head_facing=-1))
    add(176, 876, 85, "stands with the phone", stand(view="side", hand_near="phone", near_arm=(150, 150)))
    add(177, 949, 85, "stands with the phone, smiles",
        stand(view="side", hand_near="phone", near_arm=(150, 150), head="front", mouth="smile"))
    for k in range(42):
        add(178 + k, 73 * (k % 14), 255 + 85 * (k // 14), "stretches, %d" % k, _stretch(k, 42))
    for k in range(14):
        add(220 + k, 73 * k, 510, "telephones, %d" % k, _phone_call(k))
    # walking left: four poses of six frames, 12 a row
    ax = cycle_anchors(6, 36 + 25 * 5 / 12.0, 25, -1)
    left = [dict(hand_near="phone", near_arm=(150, 150)), dict(hand_near="phone", near_arm=(150, 150), mouth="open"),
            dict(), dict(head="front", mouth="smile")]
    for p, extra in enumerate(left):
        cyc = _walk(-1, **extra)
        for k in range(6):
            j = 6 * p + k
            add(234 + j, 73 * (j % 12), 595 + 85 * (j // 12), "walks left, pose %d, step %d" % (p, k), cyc[k], ax[k])
    return out


def _from_left_frames():
    out = []

    def add(i, x, y, w, h, what, pose, ax=36.0, ground=FROM_LEFT_H, extra=None):
        out.append(Frame(i, x, y, w, h, what, pose, ax, ground=ground, extra=extra))

    ax = cycle_anchors(6, 36 - 31 * 5 / 12.0, 31, 1)
    for g, lean in enumerate((3, 6)):
        cyc = walk6(1, stride=0.9, lean=lean)
        for k in range(6):
            add(60 + 6 * g + k, 73 * (6 * g + k), 0, 72, 80, "walks right, gait %d, step %d" % (g, k), cyc[k], ax[k])
    looks = _look_about(8, 1)
    add(72, 876, 0, 72, 80, "stands, looks about 0", looks[0])
    add(73, 949, 0, 72, 80, "stands, looks about 1", looks[1])
    for j in range(6):
        add(74 + j, 73 * j, 81, 72, 80, "stands, looks about %d" % (j + 2), looks[(j + 2) % len(looks)])
    add(81, 73 * 7, 81, 72, 80, "turns to the door", stand(view="side", facing=1, head="front"))
    add(82, 73 * 8, 81, 72, 80, "turns to the door", stand(view="back"))
    for j, p in enumerate(_step_poses("back")):
        add(88 + j, 73 * j, 162, 72, 80, "climbs the steps, %d" % j, p)
    held = _held_poses("back")
    for j in range(9):
        add(93 + j, 73 * (j + 5), 162, 72, 80, "waits on the steps, looks %d" % j, held[j % len(held)])
    # going in at door 2: 17 frames, the leaf opens, the person steps in, it shuts
    ground = 93
    for j in range(17):
        opening, pose, dark = GO_IN[min(len(GO_IN) - 1, j * len(GO_IN) // 17)]
        add(102 + j, 57 * j, 243, 56, 97, "goes in at door 2, %d" % j, None, 28, ground,
            _door_extra(2, opening, pose, dark, ground))
    return out


def _shifted(draw):
    def moved(ctx, look, fr):
        ctx.save()
        ctx.translate(OUT_SHIFT, 0)
        draw(ctx, look, fr)
        ctx.restore()
    return moved


def _out_of_door_frames():
    out = []

    def add(i, x, y, w, h, what, pose, ax=36.0, ground=98, extra=None):
        out.append(Frame(i, x, y, w, h, what, pose, ax, ground=ground, extra=extra))

    ground = 93
    for j in range(20):
        opening, pose, dark = COME_OUT[min(len(COME_OUT) - 1, j * len(COME_OUT) // 20)]
        h = (95 if j >= 7 else 91) if j < 10 else 98 + min(2, (j - 10) // 4)
        add(j, 73 * (j % 10), 101 * (j // 10), 72, h, "comes out of door 2, %d" % j, None, 36, ground,
            _shifted(_door_extra(2, opening, pose, dark, ground)))
    x = 0
    steps = _step_poses("front")
    for j, w in enumerate((72, 68, 64, 68, 64)):
        add(20 + j, x, 202, w, 100, "steps down from the door, %d" % j, steps[j], w / 2.0)
        x += w + 1
    looks = _look_about(6, 1)
    for j in range(5):
        add(25 + j, x, 202, 64, 100, "looks about below the door, %d" % j, looks[j], 32)
        x += 65
    ax = cycle_anchors(6, 34 + 25 * 5 / 12.0, 25, -1)
    cyc = walk6(-1, stride=0.9, lean=3)
    x = 0
    for k, w in enumerate((64, 60, 56, 64, 60, 56)):
        add(32 + k, x, 303, w, 100, "walks left, step %d" % k, cyc[k], min(ax[k], w - 14))
        x += w + 1
    for j, p in enumerate(_look_about(6, -1)):
        add(38 + j, x, 303, 56, 100, "looks left, %d" % j, p, 30)
        x += 57
    ax = cycle_anchors(6, 30 - 25 * 5 / 12.0, 25, 1)
    cyc = walk6(1, stride=0.9, lean=3)
    x = 0
    for k, w in enumerate((72, 80, 88, 72, 80, 88)):
        add(46 + k, x, 404, w, 100, "walks right, step %d" % k, cyc[k], ax[k] + (w - 72) / 2.0)
        x += w + 1
    for j, p in enumerate(_look_about(8, 1)):
        add(52 + j, 97 * j, 505, 96, 100, "looks about, %d" % j, p, 48)
    return out


class SheetOf(FigureDesc):
    """One sheet of the figure under a name of its own (the door acts' extra
    sheets are named by person and direction), drawn in one person's look."""

    def __init__(self, pattern, title, frames, size, look, frame_h):
        self.pattern = pattern
        FigureDesc.__init__(self, 33, title, 72, frame_h, frames, [SheetPlan(0, None, size)], {1: {None: look}})

    def name(self, tt, k):
        return self.pattern % tt


STREET = SheetOf("FIG033_%02d_00", "her street act", _street_frames(), STREET_SHEET, HER, STREET_H)
PARTS = (
    STREET,
    SheetOf("FIG033_%02d_02_K", "she comes to door 2", _from_left_frames(), FROM_LEFT_SHEET, HER, FROM_LEFT_H),
    SheetOf("FIG033_%02d_02_AK", "he comes to door 2", _from_left_frames(), FROM_LEFT_SHEET, HIM, FROM_LEFT_H),
    SheetOf("FIG033_%02d_02_G", "she comes out of door 2", _out_of_door_frames(), OUT_OF_DOOR_SHEET, HER, DOOR_H),
    SheetOf("FIG033_%02d_02_AG", "he comes out of door 2", _out_of_door_frames(), OUT_OF_DOOR_SHEET, HIM, DOOR_H),
)


def resources():
    return [r for p in PARTS for r in p.resources()]


def build(outdir):
    for p in PARTS:
        p.build(outdir)


def frame_headers():
    frames = _out_of_door_frames() + _from_left_frames() + _street_frames()
    entries = [Entry(f.idx, f.x, f.y, f.w, f.h, f.what) for f in frames]
    sheets = [("FIG033_tt_00", STREET_SHEET[0], STREET_SHEET[1], "her street act, entries 136-257"),
              ("FIG033_tt_02_K / _AK", FROM_LEFT_SHEET[0], FROM_LEFT_SHEET[1], "to door 2, entries 60-118"),
              ("FIG033_tt_02_G / _AG", OUT_OF_DOOR_SHEET[0], OUT_OF_DOOR_SHEET[1], "out of door 2, entries 0-59")]
    name, text = header(33, "the pair at door 2", sheets, 72, STREET_H, entries)
    # the table runs to 262 entries; the last ones are unused
    count = max(e.idx for e in entries) + 1
    text = text.replace("kFig033Frames[%d] = {" % count, "kFig033Frames[262] = {")
    text = text.replace("};\n", "".join("    {0, 0, 0, 0},  // %d unused\n" % i for i in range(count, 262)) + "};\n")
    return [(name, text)]


__all__ = ["resources", "build", "frame_headers", "TT"]
