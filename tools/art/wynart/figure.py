"""The figure model: people drawn from a look (who they are) and a pose (what
they do), at one scale for the whole scene.

Units are final pixels. The figure stands on the ground line y = 0 with the
hip above x = 0; y grows downward as in the pictures. Angles are degrees:
for limbs 0 points straight down and positive swings forward (toward the way
the figure faces) in side view, outward (away from the body) in front view.
Knees bend backward by their bend, elbows forward. Far limbs are drawn a shade
darker, so that a figure reads in depth at small size.
"""
import math
from dataclasses import dataclass, field, replace
from typing import Optional, Tuple

import cairo

from .canvas import col, fill_stroke, set_col, shade

OUTLINE_W = 0.85


@dataclass
class Look:
    height: float = 78.0
    build: float = 1.0               # width of the body
    skin: str = "#f1c7a5"
    hair: str = "#5a3a22"
    hair_style: str = "short"        # short, long, bob, bun, ponytail, bald, curly, spiky
    beard: Optional[str] = None
    glasses: bool = False
    top: str = "#3d6fb0"
    top_kind: str = "shirt"          # shirt, jacket, coat, sweater, dress, tracksuit
    top_len: float = 0.15            # how far the top reaches below the hip, as a share of the leg
    sleeves: str = "long"            # long, short
    collar: Optional[str] = None
    bottom: str = "#394255"
    bottom_kind: str = "trousers"    # trousers, skirt, shorts
    skirt_len: float = 0.55
    legs: Optional[str] = None       # tights or bare legs under a skirt (None: skin)
    shoes: str = "#3a2a22"
    hat: Optional[str] = None        # cap, beanie, hat, helmet, beret
    hat_colour: str = "#7a2a2a"
    scarf: Optional[str] = None
    gloves: Optional[str] = None
    bag: Optional[Tuple[str, str]] = None   # ("shoulder" | "hand" | "backpack", colour)
    stripe: Optional[str] = None     # a stripe down the trousers and sleeves (track suits)
    skates: Optional[str] = None     # inline skates of this colour
    female: bool = False

    def winter(self, coat, scarf=None, hat="beanie", hat_colour=None, gloves=None, coat_len=0.45):
        """The same person dressed for winter."""
        return replace(self, top=coat, top_kind="coat", top_len=coat_len, sleeves="long", scarf=scarf,
                       hat=hat, hat_colour=hat_colour or self.hat_colour, gloves=gloves)


@dataclass
class Pose:
    view: str = "side"               # side, front, back
    facing: int = 1                  # +1 right, -1 left (side view)
    lean: float = 3.0                # torso, forward
    neck: float = 0.0                # head tilt, forward
    head: Optional[str] = None       # head view: side, front, back, or None = as the body
    head_facing: Optional[int] = None
    near_leg: Tuple[float, float] = (0.0, 0.0)   # thigh angle, knee bend
    far_leg: Tuple[float, float] = (0.0, 0.0)
    near_arm: Tuple[float, float] = (-4.0, 12.0)  # shoulder angle, elbow bend
    far_arm: Tuple[float, float] = (4.0, 12.0)
    near_toe: float = 0.0            # foot pitch: + toes down (on tiptoe), - toes up (heel strike)
    far_toe: float = 0.0
    mouth: str = "none"              # none, smile, open, o, frown
    eyes: str = "open"               # open, closed, wide
    ground: bool = True              # put the lowest foot on the ground line
    lift: float = 0.0                # raise the body (jumps), with ground=True: above the ground
    dx: float = 0.0
    dy: float = 0.0
    hand_near: Optional[str] = None  # what the near hand holds: map, camera, bag, fist, phone, cup
    hand_far: Optional[str] = None
    sit: bool = False                # sitting on the ground: hips on the ground line
    squash: float = 1.0              # vertical squash of the whole figure (landings)
    tilt: float = 0.0                # whole body rotation about the feet (falls), degrees clockwise


@dataclass
class Body:
    """Lengths of the body parts for a look."""
    H: float
    head_h: float = field(init=False)
    head_w: float = field(init=False)
    neck: float = field(init=False)
    torso: float = field(init=False)
    thigh: float = field(init=False)
    shin: float = field(init=False)
    ankle: float = field(init=False)
    foot: float = field(init=False)
    upper_arm: float = field(init=False)
    forearm: float = field(init=False)
    hand: float = field(init=False)
    shoulder_w: float = field(init=False)
    hip_w: float = field(init=False)
    chest: float = field(init=False)
    waist: float = field(init=False)
    thigh_w: float = field(init=False)
    shin_w: float = field(init=False)
    arm_w: float = field(init=False)
    forearm_w: float = field(init=False)
    build: float = 1.0

    def __post_init__(self):
        H, b = self.H, self.build
        self.head_h = H * 0.145
        self.head_w = self.head_h * 0.84
        self.neck = H * 0.03
        self.torso = H * 0.30
        self.thigh = H * 0.245
        self.shin = H * 0.225
        self.ankle = H * 0.035
        self.foot = H * 0.125
        self.upper_arm = H * 0.17
        self.forearm = H * 0.15
        self.hand = H * 0.028
        self.shoulder_w = H * 0.125 * b
        self.hip_w = H * 0.09 * b
        self.chest = H * 0.13 * b
        self.waist = H * 0.11 * b
        self.thigh_w = H * 0.085 * b
        self.shin_w = H * 0.062 * (0.5 + 0.5 * b)
        self.arm_w = H * 0.058 * (0.6 + 0.4 * b)
        self.forearm_w = H * 0.048 * (0.6 + 0.4 * b)


def _rad(a):
    return math.radians(a)


class Figure:
    """Draws one look in any pose."""

    def __init__(self, look: Look):
        self.look = look
        self.body = Body(look.height, build=look.build)

    # ---------------------------------------------------------------- skeleton
    def skeleton(self, pose: Pose):
        b = self.body
        f = pose.facing if pose.view == "side" else 1
        hip = (0.0, 0.0)

        def leg(thigh, knee, side_x, toe):
            if pose.view == "side":
                ka = _rad(thigh)
                kx, ky = hip[0] + f * math.sin(ka) * b.thigh, hip[1] + math.cos(ka) * b.thigh
                sa = _rad(thigh - knee)
                ax, ay = kx + f * math.sin(sa) * b.shin, ky + math.cos(sa) * b.shin
            else:
                s = -1 if side_x < 0 else 1
                ka = _rad(thigh)
                hx = hip[0] + side_x
                kx, ky = hx + s * math.sin(ka) * b.thigh, hip[1] + math.cos(ka) * b.thigh
                sa = _rad(thigh - knee)
                ax, ay = kx + s * math.sin(sa) * b.shin, ky + math.cos(sa) * b.shin
            # the foot: heel below the ankle, toe ahead
            pitch = _rad(toe)
            if pose.view == "side":
                heel = (ax - f * b.foot * 0.22, ay + b.ankle)
                tx = ax + f * b.foot * 0.78 * math.cos(pitch)
                ty = ay + b.ankle + b.foot * 0.78 * math.sin(pitch)
                if toe > 0:   # on the toes: the heel lifts
                    heel = (ax - f * b.foot * 0.2 * math.cos(pitch), ay + b.ankle - b.foot * 0.22 * math.sin(pitch))
                toe_pt = (tx, ty)
            else:
                heel = (ax, ay + b.ankle)
                toe_pt = (ax + (b.foot * 0.18 if side_x > 0 else -b.foot * 0.18), ay + b.ankle)
            return {"hip": (hip[0] + (0 if pose.view == "side" else side_x), hip[1]), "knee": (kx, ky),
                    "ankle": (ax, ay), "heel": heel, "toe": toe_pt}

        if pose.view == "side":
            legs = {"near": leg(*pose.near_leg, 0, pose.near_toe), "far": leg(*pose.far_leg, 0, pose.far_toe)}
        else:
            hx = b.hip_w * 0.55
            legs = {"near": leg(*pose.near_leg, -hx, pose.near_toe), "far": leg(*pose.far_leg, hx, pose.far_toe)}
        la = _rad(pose.lean)
        if pose.view == "side":
            shoulder = (hip[0] + f * math.sin(la) * b.torso, hip[1] - math.cos(la) * b.torso)
        else:
            shoulder = (hip[0] + math.sin(la) * b.torso, hip[1] - math.cos(la) * b.torso)
        na = _rad(pose.lean + pose.neck)
        sgn = f if pose.view == "side" else 1
        neck_top = (shoulder[0] + sgn * math.sin(na) * b.neck, shoulder[1] - math.cos(na) * b.neck)
        head_c = (neck_top[0] + sgn * math.sin(na) * b.head_h * 0.42, neck_top[1] - math.cos(na) * b.head_h * 0.45)

        def arm(angle, elbow, side_x):
            if pose.view == "side":
                sx, sy = shoulder[0] - f * b.chest * 0.08, shoulder[1] + b.H * 0.012
                ua = _rad(angle)
                ex, ey = sx + f * math.sin(ua) * b.upper_arm, sy + math.cos(ua) * b.upper_arm
                fa = _rad(angle + elbow)
                hx, hy = ex + f * math.sin(fa) * b.forearm, ey + math.cos(fa) * b.forearm
            else:
                s = -1 if side_x < 0 else 1
                sx, sy = shoulder[0] + side_x, shoulder[1] + b.H * 0.015
                ua = _rad(angle)
                ex, ey = sx + s * math.sin(ua) * b.upper_arm, sy + math.cos(ua) * b.upper_arm
                fa = _rad(angle + elbow)
                hx, hy = ex + s * math.sin(fa) * b.forearm, ey + math.cos(fa) * b.forearm
            return {"shoulder": (sx, sy), "elbow": (ex, ey), "hand": (hx, hy)}

        if pose.view == "side":
            arms = {"near": arm(*pose.near_arm, 0), "far": arm(*pose.far_arm, 0)}
        else:
            sw = b.shoulder_w * 0.92
            arms = {"near": arm(*pose.near_arm, -sw), "far": arm(*pose.far_arm, sw)}
        sk = {"hip": hip, "shoulder": shoulder, "neck_top": neck_top, "head": head_c, "legs": legs, "arms": arms,
              "facing": f}
        # stand on the ground: the lowest point of the feet at y = 0
        if pose.sit:
            # sitting: the seat and the feet rest on the ground line
            low = max(max(max(l["heel"][1], l["toe"][1]) for l in legs.values()), hip[1] + b.thigh_w * 0.55)
            dy = -low
        elif pose.ground:
            low = max(max(l["heel"][1], l["toe"][1]) for l in legs.values())
            dy = -low - pose.lift
        else:
            dy = -(b.thigh + b.shin + b.ankle) - pose.lift
        return _shift(sk, pose.dx, dy + pose.dy)

    # ---------------------------------------------------------------- drawing
    def draw(self, ctx, pose: Pose, x, y):
        """Draws the figure with its ground point at (x, y) of ctx."""
        sk = self.skeleton(pose)
        ctx.save()
        ctx.translate(x, y)
        if pose.tilt:
            ctx.rotate(_rad(pose.tilt))
        if pose.squash != 1.0:
            ctx.scale(1.0, pose.squash)
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        ctx.set_line_cap(cairo.LINE_CAP_ROUND)
        if pose.view == "side":
            self._draw_side(ctx, pose, sk)
        else:
            self._draw_front(ctx, pose, sk)
        ctx.restore()

    # -- colours
    def _c(self, c, far=False):
        return shade(c, -0.16) if far else col(c)

    def _sleeve(self):
        lk = self.look
        return lk.top

    def _leg_colours(self, far):
        lk = self.look
        if lk.bottom_kind == "trousers":
            return self._c(lk.bottom, far), self._c(lk.bottom, far)
        bare = lk.legs or lk.skin
        if lk.bottom_kind == "shorts":
            return self._c(lk.bottom, far), self._c(bare, far)
        return self._c(bare, far), self._c(bare, far)

    # -- primitives
    def _limb(self, ctx, pts, widths, fill, outline=None):
        """A limb as a chain of round-capped strokes: outline pass, then fill."""
        outline = outline or shade(fill, -0.45)
        set_col(ctx, outline)
        for (a, b_), w in zip(zip(pts, pts[1:]), widths):
            ctx.set_line_width(w + OUTLINE_W * 2)
            ctx.move_to(*a)
            ctx.line_to(*b_)
            ctx.stroke()
        set_col(ctx, fill)
        for (a, b_), w in zip(zip(pts, pts[1:]), widths):
            ctx.set_line_width(w)
            ctx.move_to(*a)
            ctx.line_to(*b_)
            ctx.stroke()

    def _shoe(self, ctx, leg, far, f):
        lk, b = self.look, self.body
        c = self._c(lk.skates or lk.shoes, far)
        hx, hy = leg["heel"]
        tx, ty = leg["toe"]
        ax, ay = leg["ankle"]
        w = b.H * 0.045
        ctx.new_path()
        ctx.move_to(hx, hy)
        ctx.line_to(tx, ty)
        ctx.line_to(tx - (tx - ax) * 0.15, ty - w * 0.9)
        ctx.line_to(ax, ay - w * 0.5)
        ctx.line_to(hx - (ax - hx) * 0.1, hy - w)
        ctx.close_path()
        set_col(ctx, c)
        ctx.fill_preserve()
        set_col(ctx, shade(c, -0.5))
        ctx.set_line_width(OUTLINE_W)
        ctx.stroke()
        if lk.skates:
            # the frame and wheels under the boot
            set_col(ctx, "#3a3d44")
            ctx.set_line_width(1.0)
            ctx.move_to(hx, hy + 0.6)
            ctx.line_to(tx, ty + 0.6)
            ctx.stroke()
            for k in range(4):
                t = (k + 0.5) / 4
                wx, wy = hx + (tx - hx) * t, hy + (ty - hy) * t + 1.8
                ctx.arc(wx, wy, 1.1, 0, 2 * math.pi)
                set_col(ctx, "#f2d23a" if not far else "#c9ad2f")
                ctx.fill()

    def _leg(self, ctx, leg, far, pose):
        b = self.body
        upper, lower = self._leg_colours(far)
        hip, knee, ankle = leg["hip"], leg["knee"], leg["ankle"]
        lk = self.look
        if lk.bottom_kind == "shorts":
            mid = (hip[0] + (knee[0] - hip[0]) * 0.6, hip[1] + (knee[1] - hip[1]) * 0.6)
            self._limb(ctx, [knee, ankle], [b.shin_w], lower)
            self._limb(ctx, [mid, knee], [b.thigh_w * 0.8], lower)
            self._limb(ctx, [hip, mid], [b.thigh_w * 1.05], upper)
        else:
            self._limb(ctx, [hip, knee, ankle], [b.thigh_w, b.shin_w], upper if lk.bottom_kind == "trousers" else lower)
        if lk.stripe and lk.bottom_kind == "trousers":
            set_col(ctx, lk.stripe)
            ctx.set_line_width(0.8)
            ctx.move_to(*hip)
            ctx.line_to(*knee)
            ctx.line_to(*ankle)
            ctx.stroke()
        self._shoe(ctx, leg, far, pose.facing)

    def _hand(self, ctx, p, far):
        lk, b = self.look, self.body
        c = self._c(lk.gloves or lk.skin, far)
        ctx.arc(p[0], p[1], b.hand * 1.1, 0, 2 * math.pi)
        fill_stroke(ctx, c, None, OUTLINE_W * 0.8)

    def _arm(self, ctx, arm, far):
        lk, b = self.look, self.body
        c = self._c(self._sleeve(), far)
        s, e, h = arm["shoulder"], arm["elbow"], arm["hand"]
        if lk.sleeves == "short":
            mid = (s[0] + (e[0] - s[0]) * 0.55, s[1] + (e[1] - s[1]) * 0.55)
            skin = self._c(lk.skin, far)
            self._limb(ctx, [mid, e, h], [b.arm_w * 0.85, b.forearm_w], skin)
            self._limb(ctx, [s, mid], [b.arm_w * 1.1], c)
        else:
            self._limb(ctx, [s, e, h], [b.arm_w, b.forearm_w], c)
            if lk.stripe:
                set_col(ctx, lk.stripe)
                ctx.set_line_width(0.7)
                ctx.move_to(*s)
                ctx.line_to(*e)
                ctx.line_to(*h)
                ctx.stroke()
        self._hand(ctx, h, far)

    def _torso_side(self, ctx, sk, pose):
        lk, b = self.look, self.body
        f = sk["facing"]
        hip = sk["hip"]
        la = _rad(pose.lean)
        # unit vectors along the spine and forward
        ux, uy = f * math.sin(la), -math.cos(la)
        fx, fy = f * math.cos(la), f * math.sin(la)
        chest, waist = b.chest, b.waist
        top_drop = lk.top_len * (b.thigh + b.shin)
        c = col(lk.top)

        def P(along, fwd):
            return (hip[0] + ux * along + fx * fwd, hip[1] + uy * along + fy * fwd)

        hem = -top_drop
        back_hip = -waist * 0.55
        front_hip = waist * 0.55
        if lk.top_kind in ("coat", "dress"):
            spread = 1.0 + top_drop / (b.thigh + b.shin) * 0.9
            back_hip *= spread
            front_hip *= spread
        pts = [P(hem, back_hip), P(b.torso * 0.45, -chest * 0.5), P(b.torso * 0.95, -chest * 0.42),
               P(b.torso * 1.02, -chest * 0.05), P(b.torso * 0.95, chest * 0.38),
               P(b.torso * 0.6, chest * (0.58 if lk.female else 0.5)), P(b.torso * 0.25, waist * 0.5),
               P(hem, front_hip)]
        ctx.new_path()
        ctx.move_to(*pts[0])
        for p in pts[1:]:
            ctx.line_to(*p)
        ctx.close_path()
        fill_stroke(ctx, c, None, OUTLINE_W)
        # shading on the back, a highlight on the chest (light from the upper left)
        ctx.new_path()
        ctx.move_to(*P(hem + 0.5, back_hip * 0.95))
        ctx.line_to(*P(b.torso * 0.9, -chest * 0.38))
        ctx.line_to(*P(b.torso * 0.85, -chest * 0.18))
        ctx.line_to(*P(hem + 0.5, back_hip * 0.55))
        ctx.close_path()
        set_col(ctx, shade(c, -0.12 if f > 0 else 0.1))
        ctx.fill()
        # belt line / waist of trousers under a short top
        if lk.top_kind in ("jacket", "coat") and lk.top_len > 0.05:
            set_col(ctx, shade(c, -0.35))
            ctx.set_line_width(0.6)
            ctx.move_to(*P(b.torso * 0.9, chest * 0.3))
            ctx.line_to(*P(hem + 0.5, front_hip * 0.8))
            ctx.stroke()
        if lk.scarf:
            sc = col(lk.scarf)
            ctx.new_path()
            ctx.move_to(*P(b.torso * 1.05, -chest * 0.45))
            ctx.line_to(*P(b.torso * 1.05, chest * 0.4))
            ctx.line_to(*P(b.torso * 0.86, chest * 0.42))
            ctx.line_to(*P(b.torso * 0.86, -chest * 0.45))
            ctx.close_path()
            fill_stroke(ctx, sc, None, OUTLINE_W * 0.8)
            # the hanging end
            ctx.new_path()
            ctx.move_to(*P(b.torso * 0.9, -chest * 0.42))
            ctx.line_to(*P(b.torso * 0.55, -chest * 0.62))
            ctx.line_to(*P(b.torso * 0.52, -chest * 0.42))
            ctx.line_to(*P(b.torso * 0.88, -chest * 0.25))
            ctx.close_path()
            set_col(ctx, sc)
            ctx.fill_preserve()
            set_col(ctx, shade(sc, -0.45))
            ctx.stroke()

    def _skirt_side(self, ctx, sk, pose):
        lk, b = self.look, self.body
        if lk.bottom_kind != "skirt":
            return
        f = sk["facing"]
        hip = sk["hip"]
        ln = lk.skirt_len * (b.thigh + b.shin)
        legs = sk["legs"]
        front = max(legs["near"]["knee"][0] * f, legs["far"]["knee"][0] * f, 0)
        back = min(legs["near"]["knee"][0] * f, legs["far"]["knee"][0] * f, 0)
        c = col(lk.bottom)
        ctx.new_path()
        ctx.move_to(hip[0] - f * b.waist * 0.55, hip[1] - 2)
        ctx.line_to(hip[0] + f * b.waist * 0.55, hip[1] - 2)
        ctx.line_to(hip[0] + f * (front * 0.6 + b.waist * 0.75), hip[1] + ln)
        ctx.line_to(hip[0] + f * (back * 0.6 - b.waist * 0.75), hip[1] + ln)
        ctx.close_path()
        fill_stroke(ctx, c, None, OUTLINE_W)

    def _head(self, ctx, sk, pose):
        lk, b = self.look, self.body
        view = pose.head or ("side" if pose.view == "side" else pose.view)
        f = pose.head_facing if pose.head_facing is not None else sk["facing"]
        cx, cy = sk["head"]
        hw, hh = b.head_w / 2, b.head_h / 2
        skin = col(lk.skin)
        hair = col(lk.hair)
        # neck
        self._limb(ctx, [sk["shoulder"], sk["neck_top"]], [b.H * 0.045], skin)
        # hair behind the head (long styles)
        if lk.hair_style in ("long", "ponytail", "bob", "curly") and (lk.hat != "helmet" or lk.hair_style == "ponytail"):
            ctx.new_path()
            if lk.hair_style == "long":
                if view == "side":
                    ctx.move_to(cx - f * hw * 0.2, cy - hh)
                    ctx.curve_to(cx - f * hw * 1.5, cy - hh * 0.6, cx - f * hw * 1.2, cy + hh * 1.6,
                                 cx - f * hw * 0.1, cy + hh * 1.8)
                    ctx.line_to(cx + f * hw * 0.2, cy + hh * 0.4)
                else:
                    ctx.rectangle(cx - hw * 1.15, cy - hh * 0.4, hw * 2.3, hh * 2.2)
            elif lk.hair_style == "bob":
                ctx.arc(cx - (f * hw * 0.15 if view == "side" else 0), cy + hh * 0.05, hw * 1.18, 0, 2 * math.pi)
            elif lk.hair_style == "curly":
                for dx, dy in ((-0.7, -0.6), (0.0, -0.95), (0.7, -0.6), (-0.95, 0.1), (0.95, 0.1)):
                    ctx.new_sub_path()
                    ctx.arc(cx + dx * hw, cy + dy * hh, hw * 0.55, 0, 2 * math.pi)
            elif lk.hair_style == "ponytail" and view == "side":
                ctx.move_to(cx - f * hw * 0.6, cy - hh * 0.5)
                ctx.curve_to(cx - f * hw * 1.8, cy - hh * 0.3, cx - f * hw * 1.6, cy + hh * 1.2,
                             cx - f * hw * 1.3, cy + hh * 1.4)
                ctx.line_to(cx - f * hw * 0.9, cy - hh * 0.1)
            fill_stroke(ctx, hair, shade(hair, -0.4), OUTLINE_W * 0.8)
        # the head
        ctx.save()
        ctx.translate(cx, cy)
        ctx.scale(hw, hh)
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.restore()
        fill_stroke(ctx, skin, shade(skin, -0.4), OUTLINE_W)
        eye = (0.12, 0.1, 0.12)
        if view == "side":
            # nose, eye, ear, mouth
            ctx.new_path()
            ctx.move_to(cx + f * hw * 0.92, cy - hh * 0.05)
            ctx.line_to(cx + f * hw * 1.2, cy + hh * 0.22)
            ctx.line_to(cx + f * hw * 0.9, cy + hh * 0.3)
            fill_stroke(ctx, skin, shade(skin, -0.4), OUTLINE_W * 0.7)
            if pose.eyes == "closed":
                set_col(ctx, eye)
                ctx.set_line_width(0.6)
                ctx.move_to(cx + f * hw * 0.35, cy - hh * 0.08)
                ctx.line_to(cx + f * hw * 0.7, cy - hh * 0.08)
                ctx.stroke()
            else:
                set_col(ctx, eye)
                ctx.arc(cx + f * hw * 0.52, cy - hh * 0.1, 0.75 if pose.eyes != "wide" else 0.95, 0, 2 * math.pi)
                ctx.fill()
            set_col(ctx, shade(skin, -0.15))
            ctx.arc(cx - f * hw * 0.18, cy + hh * 0.05, hw * 0.22, 0, 2 * math.pi)
            ctx.fill()
            if pose.mouth in ("open", "o"):
                set_col(ctx, "#7a2a2a")
                ctx.arc(cx + f * hw * 0.72, cy + hh * 0.52, 0.8, 0, 2 * math.pi)
                ctx.fill()
            elif pose.mouth == "smile":
                set_col(ctx, "#8a3a2a")
                ctx.set_line_width(0.55)
                ctx.move_to(cx + f * hw * 0.5, cy + hh * 0.45)
                ctx.line_to(cx + f * hw * 0.82, cy + hh * 0.5)
                ctx.stroke()
            if lk.glasses:
                set_col(ctx, "#2a2a30")
                ctx.set_line_width(0.6)
                ctx.rectangle(cx + f * hw * 0.3 - (0 if f > 0 else hw * 0.5), cy - hh * 0.28, hw * 0.5, hh * 0.32)
                ctx.move_to(cx + f * hw * 0.3, cy - hh * 0.15)
                ctx.line_to(cx - f * hw * 0.15, cy - hh * 0.1)
                ctx.stroke()
        elif view == "front":
            set_col(ctx, eye)
            for s in (-1, 1):
                if pose.eyes == "closed":
                    ctx.set_line_width(0.6)
                    ctx.move_to(cx + s * hw * 0.55, cy - hh * 0.05)
                    ctx.line_to(cx + s * hw * 0.2, cy - hh * 0.05)
                    ctx.stroke()
                else:
                    ctx.arc(cx + s * hw * 0.38, cy - hh * 0.06, 0.75 if pose.eyes != "wide" else 0.95, 0, 2 * math.pi)
                    ctx.fill()
            if pose.mouth in ("open", "o"):
                set_col(ctx, "#7a2a2a")
                ctx.arc(cx, cy + hh * 0.5, 0.9, 0, 2 * math.pi)
                ctx.fill()
            elif pose.mouth in ("smile", "none"):
                set_col(ctx, "#8a3a2a")
                ctx.set_line_width(0.55)
                ctx.arc(cx, cy + hh * 0.25, hw * 0.32, 0.35 * math.pi, 0.65 * math.pi)
                ctx.stroke()
            elif pose.mouth == "frown":
                set_col(ctx, "#8a3a2a")
                ctx.set_line_width(0.55)
                ctx.arc(cx, cy + hh * 0.75, hw * 0.3, 1.3 * math.pi, 1.7 * math.pi)
                ctx.stroke()
            if lk.glasses:
                set_col(ctx, "#2a2a30")
                ctx.set_line_width(0.6)
                for s in (-1, 1):
                    ctx.rectangle(cx + s * hw * 0.38 - hw * 0.25, cy - hh * 0.22, hw * 0.5, hh * 0.32)
                ctx.stroke()
        if lk.beard and view != "back":
            ctx.new_path()
            if view == "side":
                ctx.move_to(cx + f * hw * 0.95, cy + hh * 0.3)
                ctx.curve_to(cx + f * hw * 0.9, cy + hh * 1.25, cx - f * hw * 0.2, cy + hh * 1.1,
                             cx - f * hw * 0.35, cy + hh * 0.2)
                ctx.line_to(cx + f * hw * 0.1, cy + hh * 0.45)
            else:
                ctx.move_to(cx - hw * 0.9, cy + hh * 0.1)
                ctx.curve_to(cx - hw * 0.8, cy + hh * 1.3, cx + hw * 0.8, cy + hh * 1.3, cx + hw * 0.9, cy + hh * 0.1)
                ctx.line_to(cx + hw * 0.4, cy + hh * 0.55)
                ctx.line_to(cx - hw * 0.4, cy + hh * 0.55)
            ctx.close_path()
            set_col(ctx, lk.beard)
            ctx.fill()
        self._hair_top(ctx, cx, cy, hw, hh, view, f, pose)
        self._hat(ctx, cx, cy, hw, hh, view, f)

    def _hair_top(self, ctx, cx, cy, hw, hh, view, f, pose):
        lk = self.look
        if lk.hair_style == "bald" or lk.hat in ("beanie", "helmet"):
            if lk.hair_style == "bald" and view != "back":
                set_col(ctx, lk.hair)
                ctx.set_line_width(1.2)
                ctx.arc(cx - (f * hw * 0.2 if view == "side" else 0), cy, hw * 0.95, 0.6 * math.pi, 1.05 * math.pi)
                ctx.stroke()
            return
        hair = col(lk.hair)
        ctx.new_path()
        if view == "side":
            # a cap of hair from the forehead over the crown to the nape
            ctx.move_to(cx + f * hw * 0.75, cy - hh * 0.55)
            ctx.curve_to(cx + f * hw * 0.7, cy - hh * 1.25, cx - f * hw * 1.2, cy - hh * 1.25,
                         cx - f * hw * 1.08, cy + hh * 0.05)
            ctx.line_to(cx - f * hw * 0.85, cy + hh * 0.45)
            ctx.line_to(cx - f * hw * 0.35, cy + hh * 0.05)
            ctx.line_to(cx - f * hw * 0.05, cy - hh * 0.45)
            if lk.hair_style == "spiky":
                for k in range(4):
                    t = k / 3.0
                    ctx.line_to(cx + f * hw * (0.8 - t * 1.6), cy - hh * (1.35 + 0.1 * (k % 2)))
        elif view == "front":
            ctx.move_to(cx - hw * 1.05, cy - hh * 0.05)
            ctx.curve_to(cx - hw * 1.15, cy - hh * 1.35, cx + hw * 1.15, cy - hh * 1.35, cx + hw * 1.05, cy - hh * 0.05)
            ctx.line_to(cx + hw * 0.85, cy - hh * 0.35)
            ctx.curve_to(cx + hw * 0.4, cy - hh * 0.65, cx - hw * 0.4, cy - hh * 0.7, cx - hw * 0.85, cy - hh * 0.35)
        else:
            ctx.save()
            ctx.translate(cx, cy - hh * 0.05)
            ctx.scale(hw * 1.06, hh * 1.06)
            ctx.arc(0, 0, 1, 0, 2 * math.pi)
            ctx.restore()
        ctx.close_path()
        fill_stroke(ctx, hair, shade(hair, -0.4), OUTLINE_W * 0.8)
        if lk.hair_style == "bun":
            ctx.arc(cx - (f * hw * 0.7 if view == "side" else 0), cy - hh * 1.05, hw * 0.42, 0, 2 * math.pi)
            set_col(ctx, hair)
            ctx.fill_preserve()
            set_col(ctx, shade(hair, -0.4))
            ctx.stroke()
        if lk.hair_style == "ponytail" and view != "side":
            set_col(ctx, hair)
            ctx.arc(cx + (hw * 1.0 if view == "front" else 0), cy + hh * 0.2, hw * 0.35, 0, 2 * math.pi)
            ctx.fill()

    def _hat(self, ctx, cx, cy, hw, hh, view, f):
        lk = self.look
        if not lk.hat:
            return
        c = col(lk.hat_colour)
        ctx.new_path()
        if lk.hat == "beanie":
            ctx.move_to(cx - hw * 1.08, cy - hh * 0.2)
            ctx.curve_to(cx - hw * 1.1, cy - hh * 1.45, cx + hw * 1.1, cy - hh * 1.45, cx + hw * 1.08, cy - hh * 0.2)
            ctx.close_path()
            fill_stroke(ctx, c, None, OUTLINE_W)
            ctx.rectangle(cx - hw * 1.1, cy - hh * 0.45, hw * 2.2, hh * 0.3)
            set_col(ctx, shade(c, -0.15))
            ctx.fill()
            ctx.arc(cx, cy - hh * 1.32, hw * 0.32, 0, 2 * math.pi)
            set_col(ctx, shade(c, 0.4))
            ctx.fill()
        elif lk.hat == "cap":
            ctx.move_to(cx - hw * 1.0, cy - hh * 0.35)
            ctx.curve_to(cx - hw * 1.0, cy - hh * 1.3, cx + hw * 1.0, cy - hh * 1.3, cx + hw * 1.0, cy - hh * 0.35)
            ctx.close_path()
            fill_stroke(ctx, c, None, OUTLINE_W)
            if view == "side":
                ctx.rectangle(min(cx + f * hw * 0.7, cx + f * hw * 1.6), cy - hh * 0.45, hw * 0.9, hh * 0.18)
            else:
                ctx.rectangle(cx - hw * 0.8, cy - hh * 0.45, hw * 1.6, hh * 0.2)
            set_col(ctx, shade(c, -0.2))
            ctx.fill()
        elif lk.hat == "hat":
            ctx.rectangle(cx - hw * 1.55, cy - hh * 0.6, hw * 3.1, hh * 0.22)
            fill_stroke(ctx, c, None, OUTLINE_W)
            ctx.new_path()
            ctx.move_to(cx - hw * 0.95, cy - hh * 0.55)
            ctx.line_to(cx - hw * 0.8, cy - hh * 1.45)
            ctx.line_to(cx + hw * 0.8, cy - hh * 1.45)
            ctx.line_to(cx + hw * 0.95, cy - hh * 0.55)
            ctx.close_path()
            set_col(ctx, c)
            ctx.fill_preserve()
            set_col(ctx, shade(c, -0.45))
            ctx.stroke()
            ctx.rectangle(cx - hw * 0.92, cy - hh * 0.78, hw * 1.84, hh * 0.18)
            set_col(ctx, shade(c, -0.35))
            ctx.fill()
        elif lk.hat == "helmet":
            ctx.move_to(cx - hw * 1.15, cy - hh * 0.1)
            ctx.curve_to(cx - hw * 1.2, cy - hh * 1.55, cx + hw * 1.2, cy - hh * 1.55, cx + hw * 1.15, cy - hh * 0.1)
            ctx.close_path()
            fill_stroke(ctx, c, None, OUTLINE_W)
            set_col(ctx, shade(c, 0.5))
            ctx.set_line_width(0.7)
            ctx.move_to(cx - hw * 0.5, cy - hh * 1.0)
            ctx.line_to(cx + hw * 0.3, cy - hh * 1.1)
            ctx.stroke()
        elif lk.hat == "beret":
            ctx.save()
            ctx.translate(cx - (f * hw * 0.2 if view == "side" else 0), cy - hh * 0.85)
            ctx.scale(hw * 1.2, hh * 0.45)
            ctx.arc(0, 0, 1, 0, 2 * math.pi)
            ctx.restore()
            fill_stroke(ctx, c, None, OUTLINE_W)

    def _held(self, ctx, what, p, f, far):
        if not what:
            return
        x, y = p
        if what == "map":
            ctx.new_path()
            ctx.rectangle(x - 5, y - 6, 10, 7)
            set_col(ctx, "#f4eed2")
            ctx.fill_preserve()
            set_col(ctx, "#8a7a4a")
            ctx.set_line_width(0.5)
            ctx.stroke()
            set_col(ctx, "#5a9a5a")
            ctx.rectangle(x - 3, y - 4, 3, 2)
            ctx.fill()
            set_col(ctx, "#d05a3a")
            ctx.move_to(x - 4, y - 1)
            ctx.line_to(x + 3, y - 5)
            ctx.stroke()
        elif what == "camera":
            ctx.rectangle(x - 3.5 + f * 1, y - 2.5, 7, 5)
            set_col(ctx, "#2a2c32")
            ctx.fill()
            ctx.arc(x + f * 2.5, y, 1.6, 0, 2 * math.pi)
            set_col(ctx, "#6a7a90")
            ctx.fill()
        elif what == "phone":
            ctx.rectangle(x - 1.2, y - 3, 2.4, 4)
            set_col(ctx, "#202428")
            ctx.fill()
        elif what == "cup":
            ctx.rectangle(x - 1.5, y - 3.5, 3, 4)
            set_col(ctx, "#f4f0e6")
            ctx.fill()
        elif what.startswith("bag:"):
            c = what[4:]
            ctx.set_line_width(0.7)
            set_col(ctx, shade(c, -0.4))
            ctx.move_to(x - 2, y)
            ctx.line_to(x, y - 1)
            ctx.line_to(x + 2, y)
            ctx.stroke()
            ctx.rectangle(x - 4.5, y, 9, 7)
            set_col(ctx, c)
            ctx.fill_preserve()
            set_col(ctx, shade(c, -0.45))
            ctx.stroke()

    def _bag(self, ctx, sk, pose, layer):
        lk, b = self.look, self.body
        if not lk.bag:
            return
        kind, c = lk.bag
        f = sk["facing"]
        sh = sk["shoulder"]
        hip = sk["hip"]
        if kind == "backpack" and layer == "back" and pose.view == "side":
            ctx.new_path()
            x = sh[0] - f * b.chest * 0.45
            ctx.rectangle(min(x, x - f * b.chest * 0.55), sh[1] + 2, b.chest * 0.55, b.torso * 0.55)
            fill_stroke(ctx, c, None, OUTLINE_W)
        elif kind == "shoulder" and layer == "front":
            set_col(ctx, shade(c, -0.3))
            ctx.set_line_width(0.8)
            ctx.move_to(sh[0] + f * b.chest * 0.1, sh[1] + 1)
            bx = hip[0] - f * b.waist * 0.35
            by = hip[1] - b.torso * 0.05
            ctx.line_to(bx, by)
            ctx.stroke()
            ctx.rectangle(bx - 4, by - 1, 8, 7)
            fill_stroke(ctx, c, None, OUTLINE_W)
            set_col(ctx, shade(c, 0.3))
            ctx.rectangle(bx - 3, by + 1, 6, 0.8)
            ctx.fill()

    def _draw_side(self, ctx, pose, sk):
        f = sk["facing"]
        self._bag(ctx, sk, pose, "back")
        self._arm(ctx, sk["arms"]["far"], True)
        self._held(ctx, pose.hand_far, sk["arms"]["far"]["hand"], f, True)
        self._leg(ctx, sk["legs"]["far"], True, pose)
        self._leg(ctx, sk["legs"]["near"], False, pose)
        self._skirt_side(ctx, sk, pose)
        self._torso_side(ctx, sk, pose)
        self._head(ctx, sk, pose)
        self._bag(ctx, sk, pose, "front")
        self._arm(ctx, sk["arms"]["near"], False)
        self._held(ctx, pose.hand_near, sk["arms"]["near"]["hand"], f, False)

    def _torso_front(self, ctx, sk, pose):
        lk, b = self.look, self.body
        hip, sh = sk["hip"], sk["shoulder"]
        c = col(lk.top)
        drop = lk.top_len * (b.thigh + b.shin)
        sw, ww = b.shoulder_w, b.waist * 0.85
        hw = b.hip_w * (1.0 + (0.5 if lk.top_kind == "coat" else 0.1) * lk.top_len * 2)
        ctx.new_path()
        ctx.move_to(sh[0] - sw, sh[1] + 1.5)
        ctx.curve_to(sh[0] - sw * 0.6, sh[1] - 1.2, sh[0] + sw * 0.6, sh[1] - 1.2, sh[0] + sw, sh[1] + 1.5)
        ctx.line_to(hip[0] + ww, hip[1] - b.torso * 0.35)
        ctx.line_to(hip[0] + hw, hip[1] + drop)
        ctx.line_to(hip[0] - hw, hip[1] + drop)
        ctx.line_to(hip[0] - ww, hip[1] - b.torso * 0.35)
        ctx.close_path()
        fill_stroke(ctx, c, None, OUTLINE_W)
        # light from the upper left: the right side of the body in shade
        ctx.new_path()
        ctx.move_to(sh[0] + sw * 0.45, sh[1] + 1)
        ctx.line_to(sh[0] + sw * 0.95, sh[1] + 2)
        ctx.line_to(hip[0] + ww * 0.95, hip[1] - b.torso * 0.35)
        ctx.line_to(hip[0] + hw * 0.95, hip[1] + drop - 0.5)
        ctx.line_to(hip[0] + hw * 0.5, hip[1] + drop - 0.5)
        ctx.close_path()
        set_col(ctx, shade(c, -0.12))
        ctx.fill()
        if lk.top_kind in ("jacket", "coat"):
            set_col(ctx, shade(c, -0.4))
            ctx.set_line_width(0.6)
            ctx.move_to(sh[0], sh[1] + 2)
            ctx.line_to(hip[0], hip[1] + drop)
            ctx.stroke()
            for k in range(3):
                ctx.arc(sh[0] + 0.9, sh[1] + 6 + k * 5, 0.5, 0, 2 * math.pi)
                ctx.fill()
        if lk.scarf:
            sc = col(lk.scarf)
            ctx.new_path()
            ctx.rectangle(sh[0] - sw * 0.55, sh[1] - 2, sw * 1.1, 3.5)
            ctx.rectangle(sh[0] + sw * 0.15, sh[1], 2.6, b.torso * 0.4)
            set_col(ctx, sc)
            ctx.fill()
        if lk.bottom_kind == "skirt":
            ln = lk.skirt_len * (b.thigh + b.shin)
            c2 = col(lk.bottom)
            ctx.new_path()
            ctx.move_to(hip[0] - b.waist * 0.9, hip[1] - 2)
            ctx.line_to(hip[0] + b.waist * 0.9, hip[1] - 2)
            ctx.line_to(hip[0] + b.hip_w * 1.5, hip[1] + ln)
            ctx.line_to(hip[0] - b.hip_w * 1.5, hip[1] + ln)
            ctx.close_path()
            set_col(ctx, c2)
            ctx.fill_preserve()
            set_col(ctx, shade(c2, -0.45))
            ctx.stroke()

    def _draw_front(self, ctx, pose, sk):
        back = pose.view == "back"
        self._leg(ctx, sk["legs"]["far"], False, pose)
        self._leg(ctx, sk["legs"]["near"], False, pose)
        if back:
            self._arm(ctx, sk["arms"]["far"], False)
            self._arm(ctx, sk["arms"]["near"], False)
        self._torso_front(ctx, sk, pose)
        if self.look.bag and self.look.bag[0] == "shoulder":
            c = self.look.bag[1]
            sh, hip = sk["shoulder"], sk["hip"]
            set_col(ctx, shade(c, -0.3))
            ctx.set_line_width(0.8)
            ctx.move_to(sh[0] - self.body.shoulder_w * 0.6, sh[1])
            ctx.line_to(hip[0] + self.body.hip_w * 1.2, hip[1] - 2)
            ctx.stroke()
            ctx.rectangle(hip[0] + self.body.hip_w * 0.9, hip[1] - 3, 7, 7)
            fill_stroke(ctx, c, None, OUTLINE_W)
        self._head(ctx, sk, pose)
        if not back:
            self._arm(ctx, sk["arms"]["far"], False)
            self._arm(ctx, sk["arms"]["near"], False)
        self._held(ctx, pose.hand_near, sk["arms"]["near"]["hand"], 1, False)
        self._held(ctx, pose.hand_far, sk["arms"]["far"]["hand"], -1, False)


def _shift(sk, dx, dy):
    def s(p):
        return (p[0] + dx, p[1] + dy)

    out = {"facing": sk["facing"]}
    for k in ("hip", "shoulder", "neck_top", "head"):
        out[k] = s(sk[k])
    out["legs"] = {n: {k: s(v) for k, v in l.items()} for n, l in sk["legs"].items()}
    out["arms"] = {n: {k: s(v) for k, v in a.items()} for n, a in sk["arms"].items()}
    return out


# ----------------------------------------------------------------------------- gaits

def walk_cycle(facing=1, stride=1.0, arm=1.0, lean=4.0, bounce=1.0, **extra):
    """The four frames of one step: contact, down, passing, up. Both legs look
    alike, so the next step repeats the same frames with the legs swapped."""
    s, a = stride, arm
    frames = [
        dict(near_leg=(24 * s, 4), far_leg=(-20 * s, 14), near_toe=-12, far_toe=22,
             near_arm=(-22 * a, 10), far_arm=(24 * a, 24)),
        dict(near_leg=(14 * s, 22 * bounce), far_leg=(-14 * s, 42), near_toe=-2, far_toe=40,
             near_arm=(-12 * a, 14), far_arm=(14 * a, 22)),
        dict(near_leg=(-1 * s, 8), far_leg=(8 * s, 58), near_toe=0, far_toe=30,
             near_arm=(-2 * a, 14), far_arm=(2 * a, 14)),
        dict(near_leg=(-16 * s, 4), far_leg=(24 * s, 22), near_toe=18, far_toe=-6,
             near_arm=(16 * a, 22), far_arm=(-16 * a, 10)),
    ]
    return [Pose(view="side", facing=facing, lean=lean, **fr, **extra) for fr in frames]


def stand(view="front", **kw):
    base = dict(near_leg=(4, 0), far_leg=(4, 0), near_arm=(8, 6), far_arm=(8, 6), lean=0)
    base.update(kw)
    return Pose(view=view, **base)
