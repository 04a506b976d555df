"""Figure 24: the dog, a brown terrier with a red collar. It trots right and
left, stands and barks, and squats to leave a trace on the pavement; the
trace alone is entry 31 and, for the rebuilt backgrounds, the picture
FIG024_01_01 (dark, for it is drawn into the dusk and night backgrounds too)."""
import os

from .. import imageio as io
from ..animal import AnimalLook, AnimalPose, trot_cycle
from ..canvas import set_col
from ..figdesc import Frame, FigureDesc, SheetPlan
from ..resources import res

LOOK = AnimalLook(shoulder=27, length=33, coat="#9a5a2a", belly="#e8c89a", patch="#5a3218", ears="floppy",
                  tail="up", collar="#c0392b")
FRAME_H = 54
TRACE_AT = 19             # the trace's column in the frame, as the script draws it into the background
TRACE_NAME = "FIG024_01_01"

WALK_R = ((0, 64), (65, 64), (130, 72), (203, 72))
STAND = ((276, 80), (357, 72), (430, 72), (503, 64), (568, 80), (649, 72), (722, 64), (787, 56), (844, 64))
WALK_L = ((909, 64), (974, 64), (1039, 56), (1096, 56))
TRACE_ROW = 55
SQUAT_X = [81 * k for k in range(12)] + [972]
SQUAT_W = [80] * 12 + [72]
TRACE_ENTRY = (1118, 16)


def trace(ctx, look, fr):
    """A small dark heap on the frame's bottom rows."""
    x0, base = 2.0, FRAME_H - 0.5
    set_col(ctx, "#3a2412")
    ctx.move_to(x0, base)
    ctx.curve_to(x0 + 1, base - 4, x0 + 3, base - 5, x0 + 5, base - 6)
    ctx.curve_to(x0 + 7, base - 8, x0 + 9, base - 6, x0 + 10, base - 4)
    ctx.curve_to(x0 + 11.5, base - 3, x0 + 12, base - 1, x0 + 12, base)
    ctx.close_path()
    ctx.fill()
    set_col(ctx, "#5a3a20")
    ctx.arc(x0 + 5.5, base - 4.5, 1.2, 0, 6.3)
    ctx.fill()


def squat_with_trace(k):
    """Squatting frames: the trace shows under the hind end in the last ones."""
    def draw(ctx, look, fr):
        if k >= 9:
            ctx.save()
            ctx.translate(TRACE_AT, 0)
            trace(ctx, look, fr)
            ctx.restore()
    return draw


def _frames():
    out = []
    right = trot_cycle(1, swing=24, tail=14)
    for k, (x, w) in enumerate(WALK_R):
        out.append(Frame(k, x, 0, w, FRAME_H, "trots right, step %d" % k, right[k], w / 2.0 - 6))
    stands = [
        ("stands, looking ahead", AnimalPose(head=5, tail=10)),
        ("barks", AnimalPose(head=18, mouth=True, tail=-10)),
        ("stands, wagging", AnimalPose(head=8, tail=25)),
        ("sniffs the ground", AnimalPose(head=-30, tail=5, front_near=6)),
        ("barks again", AnimalPose(head=22, mouth=True, tail=15, lift=1)),
        ("stands, head cocked", AnimalPose(head=-8, tail=12)),
        ("pants", AnimalPose(head=12, mouth=True, tail=10)),
        ("looks back", AnimalPose(facing=-1, head=8, tail=-8)),
        ("stands, wagging the other way", AnimalPose(head=8, tail=-25)),
    ]
    for k, ((x, w), (what, pose)) in enumerate(zip(STAND, stands)):
        out.append(Frame(4 + k, x, 0, w, FRAME_H, what, pose, w / 2.0 + (5 if pose.facing < 0 else -6)))
    left = trot_cycle(-1, swing=24, tail=14)
    for k, (x, w) in enumerate(WALK_L):
        out.append(Frame(13 + k, x, 0, w, FRAME_H, "trots left, step %d" % k, left[k], w / 2.0 + 5))
    for k in range(13):
        crouch = min(k, 4) * 2.5 if k < 11 else (12 - k) * 4.0
        pose = AnimalPose(crouch=crouch, head=-5 + 3 * (k % 3), tail=30 if 3 <= k <= 10 else 10, knee=crouch * 3)
        # the hind end stands over the trace's column
        out.append(Frame(17 + k, SQUAT_X[k], TRACE_ROW, SQUAT_W[k], FRAME_H, "squats to leave a trace, %d" % k,
                         pose, TRACE_AT + 18.0, extra=squat_with_trace(k)))
    out.append(Frame(31, TRACE_ENTRY[0], TRACE_ROW, TRACE_ENTRY[1], FRAME_H, "the trace alone", None, 0.0,
                     extra=trace))
    return out


class DogDesc(FigureDesc):
    """The sheet and the trace on its own."""

    def resources(self):
        return super().resources() + [res(TRACE_NAME, TRACE_ENTRY[1], FRAME_H)]

    def build(self, outdir):
        super().build(outdir)
        fr = next(f for f in self.frames if f.idx == 31)
        rgb, key = self.render_frame(fr, 1)
        io.write_bmp8(os.path.join(outdir, TRACE_NAME + ".bmp"), rgb, key)


DESC = DogDesc(24, "dog", 60, FRAME_H, _frames(), [SheetPlan(0, None, (1152, 109))], {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
