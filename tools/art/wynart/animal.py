"""The four-legged model: dogs and cats at the scene's scale (a dog about 30
pixels at the shoulder). Same conventions as figure.py: final pixels, ground
at y = 0, the body's middle above x = 0, legs swing forward with positive
angles, far legs a shade darker."""
import math
from dataclasses import dataclass
from typing import Optional

import cairo

from .canvas import col, set_col, shade
from .figure import OUTLINE_W


@dataclass
class AnimalLook:
    shoulder: float = 30.0        # height at the shoulder
    length: float = 44.0          # chest to rump
    coat: str = "#a0622e"
    belly: Optional[str] = "#e8c89a"
    patch: Optional[str] = None   # a patch over the eye and back
    ears: str = "floppy"          # floppy, pointed
    ear_colour: Optional[str] = None
    tail: str = "up"              # up, long, stub
    snout: float = 0.5            # snout length, share of the head
    collar: Optional[str] = "#c0392b"
    build: float = 1.0
    cat: bool = False

    def model(self):
        return Animal(self)


@dataclass
class AnimalPose:
    facing: int = 1
    front_near: float = 0.0       # leg angles, forward positive
    front_far: float = 0.0
    hind_near: float = 0.0
    hind_far: float = 0.0
    knee: float = 0.0             # extra bend of all lower legs
    head: float = 0.0             # head up (+) or down (-), degrees
    tail: float = 0.0             # tail wag angle
    mouth: bool = False           # open: barking, panting
    sit: bool = False
    lie: bool = False
    crouch: float = 0.0           # hind end lowered (pixels)
    lift: float = 0.0


class Animal:
    def __init__(self, look: AnimalLook):
        self.look = look

    def draw(self, ctx, pose: AnimalPose, x, y):
        lk = self.look
        f = pose.facing
        s = lk.shoulder
        leg = s * 0.55
        body_h = s * 0.42 * lk.build
        half = lk.length / 2
        ctx.save()
        ctx.translate(x, y - pose.lift)
        ctx.set_line_cap(cairo.LINE_CAP_ROUND)
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        coat = col(lk.coat)
        # body line: shoulder point and hip point
        sh = (f * half * 0.75, -leg - body_h * 0.5)
        hp = (-f * half * 0.75, -leg - body_h * 0.45 + pose.crouch)
        if pose.sit:
            hp = (-f * half * 0.45, -body_h * 0.6)
            sh = (f * half * 0.55, -leg - body_h * 0.7)
        if pose.lie:
            sh = (f * half * 0.7, -body_h * 0.6)
            hp = (-f * half * 0.7, -body_h * 0.55)

        def legpath(top, angle, far, hind):
            c = shade(coat, -0.18) if far else coat
            a = math.radians(angle)
            ln = leg if not pose.lie else leg * 0.5
            k = math.radians(pose.knee * (1 if hind else -1))
            kx, ky = top[0] + f * math.sin(a) * ln * 0.5, top[1] + math.cos(a) * ln * 0.5
            fx, fy = kx + f * math.sin(a + k) * ln * 0.55, ky + math.cos(a + k) * ln * 0.55
            if pose.lie:
                fx, fy = top[0] + f * ln * 1.1, -1.5
            w = s * 0.16
            for width, colour in ((w + 2 * OUTLINE_W, shade(c, -0.45)), (w, c)):
                set_col(ctx, colour)
                ctx.set_line_width(width)
                ctx.move_to(*top)
                ctx.line_to(kx, ky)
                ctx.line_to(fx, fy)
                ctx.stroke()
            set_col(ctx, shade(c, -0.3))
            ctx.arc(fx + f * 1.2, fy - 0.6, w * 0.55, 0, 2 * math.pi)
            ctx.fill()

        hind_top = (hp[0], hp[1] + body_h * 0.2)
        front_top = (sh[0], sh[1] + body_h * 0.2)
        if not pose.sit:
            legpath(hind_top, pose.hind_far, True, True)
        legpath(front_top, pose.front_far, True, False)
        # tail
        self._tail(ctx, hp, f, pose)
        # body
        ctx.new_path()
        ctx.move_to(hp[0] - f * body_h * 0.3, hp[1] - body_h * 0.45)
        ctx.curve_to(hp[0] + f * half * 0.5, hp[1] - body_h * 0.75, sh[0] - f * half * 0.4, sh[1] - body_h * 0.7,
                     sh[0] + f * body_h * 0.45, sh[1] - body_h * 0.35)
        ctx.curve_to(sh[0] + f * body_h * 0.7, sh[1] + body_h * 0.2, sh[0] + f * body_h * 0.2, sh[1] + body_h * 0.7,
                     sh[0] - f * body_h * 0.2, sh[1] + body_h * 0.6)
        ctx.curve_to(sh[0] - f * half * 0.5, sh[1] + body_h * 0.55, hp[0] + f * half * 0.4, hp[1] + body_h * 0.6,
                     hp[0] - f * body_h * 0.1, hp[1] + body_h * 0.55)
        ctx.curve_to(hp[0] - f * body_h * 0.6, hp[1] + body_h * 0.4, hp[0] - f * body_h * 0.6, hp[1] - body_h * 0.3,
                     hp[0] - f * body_h * 0.3, hp[1] - body_h * 0.45)
        ctx.close_path()
        set_col(ctx, coat)
        ctx.fill_preserve()
        set_col(ctx, shade(coat, -0.45))
        ctx.set_line_width(OUTLINE_W)
        ctx.stroke()
        if lk.belly:
            ctx.save()
            ctx.new_path()
            ctx.move_to(sh[0] - f * 2, sh[1] + body_h * 0.25)
            ctx.curve_to(sh[0] - f * half * 0.4, sh[1] + body_h * 0.55, hp[0] + f * half * 0.4,
                         hp[1] + body_h * 0.55, hp[0] + f * 2, hp[1] + body_h * 0.35)
            ctx.set_line_width(body_h * 0.3)
            set_col(ctx, lk.belly)
            ctx.stroke()
            ctx.restore()
        if lk.patch:
            set_col(ctx, lk.patch)
            ctx.save()
            ctx.translate((sh[0] + hp[0]) / 2, (sh[1] + hp[1]) / 2 - body_h * 0.25)
            ctx.scale(half * 0.35, body_h * 0.28)
            ctx.arc(0, 0, 1, 0, 2 * math.pi)
            ctx.restore()
            ctx.fill()
        if not pose.sit:
            legpath(hind_top, pose.hind_near, False, True)
        else:
            # the folded hind leg of a sitting animal
            set_col(ctx, coat)
            ctx.save()
            ctx.translate(hp[0] + f * body_h * 0.2, hp[1] + body_h * 0.3)
            ctx.scale(body_h * 0.7, body_h * 0.55)
            ctx.arc(0, 0, 1, 0, 2 * math.pi)
            ctx.restore()
            ctx.fill_preserve()
            set_col(ctx, shade(coat, -0.45))
            ctx.set_line_width(OUTLINE_W)
            ctx.stroke()
            set_col(ctx, shade(coat, -0.3))
            ctx.arc(hp[0] + f * body_h * 0.8, -1.2, s * 0.09, 0, 2 * math.pi)
            ctx.fill()
        legpath(front_top, pose.front_near, False, False)
        self._head(ctx, sh, f, pose, body_h)
        ctx.restore()

    def _tail(self, ctx, hp, f, pose):
        lk = self.look
        c = col(lk.coat)
        a = math.radians(pose.tail)
        base = (hp[0] - f * 3, hp[1] - 2)
        if lk.tail == "stub":
            pts = [base, (base[0] - f * 4, base[1] - 3)]
        elif lk.tail == "long":
            pts = [base, (base[0] - f * 8 * math.cos(a), base[1] + 2 - 6 * math.sin(a)),
                   (base[0] - f * 12, base[1] - 10 - 6 * math.sin(a))]
        else:
            pts = [base, (base[0] - f * 6, base[1] - 6 - 3 * math.sin(a)),
                   (base[0] - f * (4 + 5 * math.sin(a)), base[1] - 13)]
        for width, colour in ((3.2 + 2 * OUTLINE_W, shade(c, -0.45)), (3.2, c)):
            set_col(ctx, colour)
            ctx.set_line_width(width)
            ctx.move_to(*pts[0])
            for p in pts[1:]:
                ctx.line_to(*p)
            ctx.stroke()

    def _head(self, ctx, sh, f, pose, body_h):
        lk = self.look
        c = col(lk.coat)
        hs = lk.shoulder * 0.3
        a = math.radians(pose.head)
        nx, ny = sh[0] + f * hs * 0.6, sh[1] - body_h * 0.5
        hx, hy = nx + f * hs * 0.6 * math.cos(a), ny - hs * 0.9 - hs * 0.6 * math.sin(a)
        # neck
        for width, colour in ((hs * 1.1 + 2 * OUTLINE_W, shade(c, -0.45)), (hs * 1.1, c)):
            set_col(ctx, colour)
            ctx.set_line_width(width)
            ctx.move_to(sh[0], sh[1] - body_h * 0.1)
            ctx.line_to(hx, hy)
            ctx.stroke()
        if lk.collar:
            set_col(ctx, lk.collar)
            ctx.set_line_width(1.4)
            ctx.move_to(hx - f * hs * 0.45, hy + hs * 0.55)
            ctx.line_to(hx + f * hs * 0.2, hy + hs * 0.75)
            ctx.stroke()
        # skull and snout
        ctx.arc(hx, hy, hs * 0.6, 0, 2 * math.pi)
        set_col(ctx, c)
        ctx.fill_preserve()
        set_col(ctx, shade(c, -0.45))
        ctx.set_line_width(OUTLINE_W)
        ctx.stroke()
        sl = hs * (0.5 + lk.snout)
        tip = (hx + f * sl * math.cos(a), hy + hs * 0.2 - sl * math.sin(a) * 0.6)
        for width, colour in ((hs * 0.62 + 2 * OUTLINE_W, shade(c, -0.45)), (hs * 0.62, c)):
            set_col(ctx, colour)
            ctx.set_line_width(width)
            ctx.move_to(hx + f * hs * 0.2, hy + hs * 0.15)
            ctx.line_to(*tip)
            ctx.stroke()
        set_col(ctx, "#1e1a1a")
        ctx.arc(tip[0] + f * hs * 0.2, tip[1] - hs * 0.12, hs * 0.17, 0, 2 * math.pi)
        ctx.fill()
        ctx.arc(hx + f * hs * 0.2, hy - hs * 0.2, 0.8, 0, 2 * math.pi)
        ctx.fill()
        if pose.mouth:
            set_col(ctx, "#7a2430")
            ctx.move_to(hx + f * hs * 0.4, hy + hs * 0.4)
            ctx.line_to(tip[0] + f * hs * 0.1, tip[1] + hs * 0.35)
            ctx.line_to(tip[0] - f * hs * 0.25, tip[1] + hs * 0.7)
            ctx.close_path()
            ctx.fill()
        if lk.patch:
            set_col(ctx, lk.patch)
            ctx.arc(hx + f * hs * 0.15, hy - hs * 0.15, hs * 0.3, 0, 2 * math.pi)
            ctx.fill()
            set_col(ctx, "#1e1a1a")
            ctx.arc(hx + f * hs * 0.2, hy - hs * 0.2, 0.8, 0, 2 * math.pi)
            ctx.fill()
        ec = col(lk.ear_colour or shade(c, -0.25))
        ctx.new_path()
        if lk.ears == "pointed" or lk.cat:
            ctx.move_to(hx - f * hs * 0.45, hy - hs * 0.3)
            ctx.line_to(hx - f * hs * 0.25, hy - hs * 1.25)
            ctx.line_to(hx + f * hs * 0.15, hy - hs * 0.45)
        else:
            ctx.move_to(hx - f * hs * 0.1, hy - hs * 0.5)
            ctx.curve_to(hx - f * hs * 0.9, hy - hs * 0.55, hx - f * hs * 0.9, hy + hs * 0.5,
                         hx - f * hs * 0.45, hy + hs * 0.55)
            ctx.line_to(hx - f * hs * 0.05, hy - hs * 0.1)
        ctx.close_path()
        set_col(ctx, ec)
        ctx.fill_preserve()
        set_col(ctx, shade(ec, -0.45))
        ctx.set_line_width(OUTLINE_W * 0.8)
        ctx.stroke()


def trot_cycle(facing=1, swing=22, head=0.0, tail=10.0):
    """Four frames of a walk: diagonal leg pairs swing together."""
    s = swing
    out = []
    for k, t in enumerate((1.0, 0.35, -1.0, -0.35)):
        out.append(AnimalPose(facing=facing, front_near=s * t, hind_far=s * t * 0.9, front_far=-s * t,
                              hind_near=-s * t * 0.9, knee=10 + 10 * abs(t), head=head + 3 * (k % 2),
                              tail=tail * (1 if k % 2 else -1)))
    return out
