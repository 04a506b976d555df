"""The vehicle model: cars, vans, trucks, buses and trams at the scene's scale
(a bus about 312 pixels long, cars 120 to 180). A vehicle is drawn from the
left end of its body with its wheels on the ground line y = 0; it faces the
way it drives, so its headlights lead. Wheels turn by their angle; faces in
the windows are people of the figure model, head and shoulders only."""
import math
from dataclasses import dataclass, field
from typing import List, Optional, Tuple

from .canvas import fill_stroke, rounded_rect, set_col, shade
from .figure import OUTLINE_W, Figure, Look, Pose


@dataclass
class VehicleLook:
    kind: str = "car"             # car, van, truck, bus, tram
    length: float = 150.0
    height: float = 52.0
    body: str = "#c0392b"
    trim: str = "#e8e8e8"
    window: str = "#7fa6c4"
    wheel_r: float = 11.0
    wheels: Tuple[float, ...] = (0.18, 0.8)     # wheel centres as shares of the length
    roof: float = 0.55            # where the roof line is, as a share of the height from the ground (cars)
    cab: float = 0.28             # trucks: length share of the cab
    windows: int = 0              # buses and trams: windows along the side (0: by length)
    faces: List[Tuple[int, Look]] = field(default_factory=list)   # window index, person
    sign: Optional[str] = None    # destination text (buses, trams)

    def model(self):
        return Vehicle(self)


@dataclass
class VehiclePose:
    facing: int = 1
    wheel: float = 0.0            # wheel turn, degrees
    lights: bool = False          # headlights and tail lights on
    doors_open: bool = False
    bounce: float = 0.0


class Vehicle:
    def __init__(self, look: VehicleLook):
        self.look = look

    def draw(self, ctx, pose: VehiclePose, x, y):
        lk = self.look
        ctx.save()
        if pose.facing < 0:
            ctx.translate(x + lk.length, y - pose.bounce)
            ctx.scale(-1, 1)
        else:
            ctx.translate(x, y - pose.bounce)
        getattr(self, "_" + lk.kind)(ctx, pose)
        for w in lk.wheels:
            self._wheel(ctx, w * lk.length, -lk.wheel_r, lk.wheel_r, pose.wheel)
        ctx.restore()

    # ---------------------------------------------------------------- parts
    def _wheel(self, ctx, cx, cy, r, turn):
        ctx.arc(cx, cy, r, 0, 2 * math.pi)
        fill_stroke(ctx, "#26262a", "#111114", OUTLINE_W)
        ctx.arc(cx, cy, r * 0.58, 0, 2 * math.pi)
        fill_stroke(ctx, "#b8bcc4", "#5c6068", OUTLINE_W * 0.8)
        set_col(ctx, "#5c6068")
        ctx.set_line_width(1.1)
        for k in range(5):
            a = math.radians(turn + k * 72)
            ctx.move_to(cx + math.cos(a) * r * 0.15, cy + math.sin(a) * r * 0.15)
            ctx.line_to(cx + math.cos(a) * r * 0.52, cy + math.sin(a) * r * 0.52)
        ctx.stroke()
        ctx.arc(cx, cy, r * 0.14, 0, 2 * math.pi)
        set_col(ctx, "#e8eaee")
        ctx.fill()

    def _arch(self, ctx, cx, r):
        set_col(ctx, "#1c1c20")
        ctx.arc(cx, -r, r + 2.5, math.pi, 2 * math.pi)
        ctx.fill()

    def _lamps(self, ctx, front_x, back_x, y, lit):
        ctx.rectangle(front_x - 5, y, 5, 4)
        set_col(ctx, "#fff6c8" if lit else "#f0f0e0")
        ctx.fill_preserve()
        set_col(ctx, "#7a7a70")
        ctx.set_line_width(0.7)
        ctx.stroke()
        ctx.rectangle(back_x, y, 3, 5)
        set_col(ctx, "#ff3b2f" if lit else "#b0302a")
        ctx.fill()

    def _face(self, ctx, look, cx, top, h):
        """Head and shoulders of a passenger at the scene's scale, the head a
        little below the window's top; the caller clips to the window."""
        fig = Figure(look)
        pose = Pose(view="front", near_arm=(5, 0), far_arm=(5, 0), lean=0, ground=False)
        ctx.save()
        ctx.translate(cx, top + max(2.0, h * 0.12) + look.height * 0.99)
        fig.draw(ctx, pose, 0, 0)
        ctx.restore()

    def _windows_row(self, ctx, x0, x1, top, h, n, faces, radius=2.5):
        gap = 3
        w = (x1 - x0 - gap * (n - 1)) / n
        for i in range(n):
            wx = x0 + i * (w + gap)
            rounded_rect(ctx, wx, top, w, h, radius)
            set_col(ctx, self.look.window)
            ctx.fill_preserve()
            ctx.save()
            ctx.clip()
            for idx, look in faces:
                if idx == i:
                    self._face(ctx, look, wx + w / 2, top, h)
            ctx.set_source_rgba(1, 1, 1, 0.3)
            ctx.move_to(wx + w * 0.55, top)
            ctx.line_to(wx + w * 0.75, top)
            ctx.line_to(wx + w * 0.35, top + h)
            ctx.line_to(wx + w * 0.15, top + h)
            ctx.fill()
            ctx.restore()
            rounded_rect(ctx, wx, top, w, h, radius)
            set_col(ctx, shade(self.look.body, -0.5))
            ctx.set_line_width(OUTLINE_W)
            ctx.stroke()

    def _arches(self, ctx):
        for w in self.look.wheels:
            self._arch(ctx, w * self.look.length, self.look.wheel_r)

    def _glass(self, ctx, inside=None):
        """The current path as a window: filled with the glass colour, with
        what inside draws clipped to it, and outlined."""
        set_col(ctx, self.look.window)
        ctx.fill_preserve()
        if inside:
            ctx.save()
            ctx.clip()
            inside()
            ctx.restore()
        set_col(ctx, shade(self.look.body, -0.5))
        ctx.set_line_width(OUTLINE_W)
        ctx.stroke()

    def _long_body(self, ctx, skirt, corner, stripe_at, stripe_h):
        """The box of a bus or a tram, its lower edge skirt wheel radii above
        the road, with the stripe of its trim at stripe_at of its height."""
        lk = self.look
        L_, H = lk.length, lk.height
        rounded_rect(ctx, 2, -H, L_ - 4, H - lk.wheel_r * skirt, corner)
        fill_stroke(ctx, lk.body, shade(lk.body, -0.5), OUTLINE_W)
        set_col(ctx, lk.trim)
        ctx.rectangle(3, -H * stripe_at, L_ - 6, stripe_h)
        ctx.fill()

    def _window_count(self, least, spacing):
        """The look's number of side windows, else one every spacing pixels."""
        return self.look.windows or max(least, int(self.look.length / spacing))

    # ---------------------------------------------------------------- kinds
    def _car(self, ctx, pose):
        lk = self.look
        L_, H = lk.length, lk.height
        r = lk.wheel_r
        roof_y = -H
        belt = -H * lk.roof
        ctx.new_path()
        ctx.move_to(2, -r * 0.7)
        ctx.line_to(2, belt + 4)
        ctx.curve_to(2, belt - 2, L_ * 0.12, belt - 4, L_ * 0.22, belt - 4)
        ctx.line_to(L_ * 0.3, roof_y + 3)
        ctx.curve_to(L_ * 0.33, roof_y, L_ * 0.36, roof_y, L_ * 0.4, roof_y)
        ctx.line_to(L_ * 0.66, roof_y)
        ctx.curve_to(L_ * 0.7, roof_y, L_ * 0.72, roof_y + 1, L_ * 0.74, roof_y + 3)
        ctx.line_to(L_ * 0.84, belt - 3)
        ctx.curve_to(L_ * 0.95, belt - 2, L_ - 2, belt, L_ - 2, belt + 6)
        ctx.line_to(L_ - 2, -r * 0.7)
        ctx.close_path()
        fill_stroke(ctx, lk.body, shade(lk.body, -0.5), OUTLINE_W)
        # windows
        ctx.new_path()
        ctx.move_to(L_ * 0.245, belt - 4)
        ctx.line_to(L_ * 0.315, roof_y + 4)
        ctx.line_to(L_ * 0.5, roof_y + 4)
        ctx.line_to(L_ * 0.5, belt - 4)
        ctx.close_path()
        ctx.move_to(L_ * 0.53, belt - 4)
        ctx.line_to(L_ * 0.53, roof_y + 4)
        ctx.line_to(L_ * 0.715, roof_y + 4)
        ctx.line_to(L_ * 0.805, belt - 4)
        ctx.close_path()
        def faces():
            for idx, look in lk.faces:
                cx = L_ * (0.4 if idx == 0 else 0.62)
                self._face(ctx, look, cx, roof_y + 4, belt - roof_y - 8)
        self._glass(ctx, faces)
        # door line, handle, bumpers
        set_col(ctx, shade(lk.body, -0.35))
        ctx.move_to(L_ * 0.515, belt - 4)
        ctx.line_to(L_ * 0.515, -r * 0.8)
        ctx.stroke()
        ctx.rectangle(L_ * 0.56, belt + 2, 6, 1.5)
        ctx.fill()
        set_col(ctx, lk.trim)
        ctx.rectangle(0, -r * 0.9, 6, 3)
        ctx.rectangle(L_ - 6, -r * 0.9, 6, 3)
        ctx.fill()
        set_col(ctx, shade(lk.body, 0.3))
        ctx.rectangle(4, belt + 1, L_ - 8, 1)
        ctx.fill()
        self._arches(ctx)
        self._lamps(ctx, L_ - 1, 1, belt + 2, pose.lights)

    def _van(self, ctx, pose):
        lk = self.look
        L_, H, r = lk.length, lk.height, lk.wheel_r
        rounded_rect(ctx, 2, -H, L_ - 4, H - r * 0.6, 5)
        fill_stroke(ctx, lk.body, shade(lk.body, -0.5), OUTLINE_W)
        ctx.new_path()
        ctx.move_to(L_ * 0.78, -H + 5)
        ctx.line_to(L_ * 0.9, -H + 5)
        ctx.line_to(L_ - 4, -H * 0.55)
        ctx.line_to(L_ * 0.78, -H * 0.55)
        ctx.close_path()
        self._glass(ctx)
        self._arches(ctx)
        self._lamps(ctx, L_ - 2, 2, -H * 0.4, pose.lights)

    def _truck(self, ctx, pose):
        lk = self.look
        L_, H, r = lk.length, lk.height, lk.wheel_r
        cab = L_ * lk.cab
        rounded_rect(ctx, 2, -H, L_ - cab - 6, H - r * 0.5, 2)
        fill_stroke(ctx, lk.trim, shade(lk.trim, -0.5), OUTLINE_W)
        ctx.new_path()
        ctx.move_to(L_ - cab, -r * 0.5)
        ctx.line_to(L_ - cab, -H * 0.82)
        ctx.line_to(L_ - cab * 0.35, -H * 0.82)
        ctx.line_to(L_ - 3, -H * 0.5)
        ctx.line_to(L_ - 3, -r * 0.5)
        ctx.close_path()
        fill_stroke(ctx, lk.body, shade(lk.body, -0.5), OUTLINE_W)
        ctx.new_path()
        ctx.move_to(L_ - cab * 0.8, -H * 0.76)
        ctx.line_to(L_ - cab * 0.38, -H * 0.76)
        ctx.line_to(L_ - cab * 0.1, -H * 0.5)
        ctx.line_to(L_ - cab * 0.8, -H * 0.5)
        ctx.close_path()
        def faces():
            for idx, look in lk.faces:
                self._face(ctx, look, L_ - cab * 0.55, -H * 0.76, H * 0.26)
        self._glass(ctx, faces)
        self._arches(ctx)
        self._lamps(ctx, L_ - 3, 2, -H * 0.35, pose.lights)

    def _bus(self, ctx, pose):
        lk = self.look
        L_, H, r = lk.length, lk.height, lk.wheel_r
        self._long_body(ctx, 0.5, 8, 0.38, 4)
        self._windows_row(ctx, 10, L_ - 34, -H + 8, H * 0.36, self._window_count(3, 42), lk.faces)
        # windscreen and destination sign
        rounded_rect(ctx, L_ - 30, -H + 6, 26, H * 0.45, 4)
        self._glass(ctx)
        if lk.sign:
            ctx.rectangle(L_ * 0.3, -H + 1.5, L_ * 0.3, 5)
            set_col(ctx, "#1a1a1a")
            ctx.fill()
        self._arches(ctx)
        self._lamps(ctx, L_ - 2, 2, -r * 1.6, pose.lights)

    def _tram(self, ctx, pose):
        lk = self.look
        L_, H, r = lk.length, lk.height, lk.wheel_r
        self._long_body(ctx, 0.8, 10, 0.32, 5)
        self._windows_row(ctx, 14, L_ - 14, -H + 10, H * 0.38, self._window_count(4, 40), lk.faces, radius=4)
        # pantograph
        set_col(ctx, "#3a3c42")
        ctx.set_line_width(1.2)
        px = L_ * 0.5
        ctx.move_to(px - 14, -H)
        ctx.line_to(px, -H - 14)
        ctx.line_to(px + 14, -H)
        ctx.move_to(px - 10, -H - 14)
        ctx.line_to(px + 10, -H - 14)
        ctx.stroke()
        self._lamps(ctx, L_ - 2, 2, -r * 2.2, pose.lights)
