"""Figure descriptors: a figure's sheets, its frame table and what every frame
shows, turned into the sheet pictures and the C++ frame table.

A descriptor module builds a FigureDesc and exposes resources(), build() and
frame_headers() through it. Looks are people (figure.Look); an animal
(animal.AnimalLook) or a vehicle (vehicle.VehicleLook) brings its own model. Frames are drawn at their rectangle's top-left,
the figure's feet on the row FrameH below the frame's top; the hip's x within
the frame (the anchor) carries the figure's motion inside a walk cycle.
"""
import os
import sys
from dataclasses import dataclass
from typing import Callable, Optional

import numpy as np

from . import imageio as io
from . import lighting as L
from .canvas import downsample, new_surface, surface_rgba, to_u8
from .figure import Figure, Pose
from .frametables import Entry, header
from .resources import TT, res

FACTOR = 3


@dataclass
class Frame:
    idx: int
    x: int
    y: int
    w: int
    h: int
    what: str
    pose: Optional[Pose] = None          # None: the entry exists but shows nothing of its own
    ax: float = 0.0                      # hip x inside the frame
    ground: Optional[float] = None       # feet row inside the frame (default: the figure's FrameH)
    extra: Optional[Callable] = None     # extra(ctx, look, frame) drawn after the figure (props, effects)
    look: Optional[str] = None           # a second look of the same figure (e.g. "skates off")
    # the other people of a pair or a group, drawn behind the figure itself:
    # (name of a look, pose, hip x inside the frame)
    company: Optional[list] = None
    behind: Optional[Callable] = None    # behind(ctx, look, frame) drawn before the figure (an open door, a window)
    scale: float = 1.0                   # the figure smaller, about its feet (going into a house)


@dataclass
class SheetPlan:
    k: int                               # sheet number in the resource name
    season: Optional[int]                # 1 summer, 2 winter, None: all year
    size: tuple
    phases: Optional[tuple] = None       # times of day with this layout (None: the figure's)
    name: Optional[str] = None           # a named extra sheet: the pattern with the time of day ("FIG025_%02d_01_K")
    only: Optional[tuple] = None         # the frame indices on this sheet (None: all)
    look: Optional[str] = None           # the look its frames are drawn in (None: each frame's own)

    def holds(self, idx):
        return self.only is None or idx in self.only


class FigureDesc:
    def __init__(self, obj_id, title, frame_w, frame_h, frames, sheets, looks, phases=TT, table=""):
        self.obj_id, self.title, self.table = obj_id, title, table
        self.frame_w, self.frame_h = frame_w, frame_h
        self.frames = sorted(frames, key=lambda f: f.idx)
        self.sheets = sheets
        self.looks = looks                # season -> {name: Look}; key None for the main look
        self.phases = phases
        idx = [f.idx for f in self.frames]
        if len(idx) != len(set(idx)):
            raise ValueError("figure %d: frame index twice" % obj_id)
        for s in sheets:
            held = [f for f in self.frames if s.holds(f.idx)]
            if not held:
                continue
            need_w = max(f.x + f.w for f in held)
            need_h = max(f.y + f.h for f in held)
            if s.size[0] < need_w or s.size[1] < need_h:
                raise ValueError("figure %d: sheet smaller than its frames" % obj_id)

    def name(self, tt, k):
        return "FIG%03d_%02d_%02d" % (self.obj_id, tt, k)

    def sheet_name(self, tt, sheet):
        return sheet.name % tt if sheet.name else self.name(tt, sheet.k)

    def sheet_phases(self, sheet):
        return sheet.phases or self.phases

    def resources(self):
        return [res(self.sheet_name(tt, s), s.size[0], s.size[1]) for s in self.sheets for tt in self.sheet_phases(s)]

    def frame_headers(self):
        entries = [Entry(f.idx, f.x, f.y, f.w, f.h, f.what) for f in self.frames]
        sheets = [(self._header_name(s), s.size[0], s.size[1],
                   {None: "all year", 1: "summer", 2: "winter"}[s.season]) for s in self.sheets]
        return [header(self.obj_id, self.title, sheets, self.frame_w, self.frame_h, entries, table=self.table)]

    def _header_name(self, sheet):
        if sheet.name:
            return sheet.name.replace("%02d", self._tt_name(sheet))
        return "FIG%03d_%s_%02d" % (self.obj_id, self._tt_name(sheet), sheet.k)

    def _tt_name(self, sheet):
        ph = self.sheet_phases(sheet)
        return "tt" if tuple(ph) == tuple(TT) else "/".join("%02d" % t for t in ph)

    # ------------------------------------------------------------ drawing
    def _look(self, season, which):
        looks = self.looks.get(season) or self.looks[1]
        return looks.get(which) or looks[None]

    def render_frame(self, fr, season, which=None):
        surf, ctx = new_surface(fr.w * FACTOR, fr.h * FACTOR)
        ctx.scale(FACTOR, FACTOR)
        look = self._look(season, which or fr.look)
        if fr.behind is not None:
            fr.behind(ctx, look, fr)
        for who, pose, ax in fr.company or ():
            Figure(self._look(season, who)).draw(ctx, pose, ax, self.frame_h if fr.ground is None else fr.ground)
        if fr.pose is not None:
            # people by default; animals and vehicles bring their own model
            model = look.model() if hasattr(look, "model") else Figure(look)
            ground = self.frame_h if fr.ground is None else fr.ground
            if fr.scale != 1.0:
                ctx.save()
                ctx.translate(fr.ax, ground)
                ctx.scale(fr.scale, fr.scale)
                ctx.translate(-fr.ax, -ground)
            model.draw(ctx, fr.pose, fr.ax, ground)
            if fr.scale != 1.0:
                ctx.restore()
        if fr.extra is not None:
            fr.extra(ctx, look, fr)
        p = downsample(surface_rgba(surf), FACTOR)
        a = p[..., 3]
        key = a < 0.5
        rgb = np.where(a[..., None] > 1e-6, p[..., :3] / np.maximum(a[..., None], 1e-6), 0)
        self._check_edges(fr, a)
        return to_u8(rgb), key

    def _check_edges(self, fr, a):
        cut = []
        if fr.pose is None:
            return
        if (a[:, 0] >= 0.5).any():
            cut.append("left")
        if (a[:, -1] >= 0.5).any():
            cut.append("right")
        if (a[0, :] >= 0.5).any():
            cut.append("top")
        if cut:
            sys.stderr.write("figure %d frame %d (%s): drawing touches the %s edge\n"
                             % (self.obj_id, fr.idx, fr.what, "/".join(cut)))

    def sheet_day(self, sheet):
        w, h = sheet.size
        rgb = np.zeros((h, w, 3), dtype=np.uint8)
        key = np.ones((h, w), dtype=bool)
        season = sheet.season or 1
        for fr in self.frames:
            if (fr.pose is None and fr.extra is None and fr.behind is None) or not sheet.holds(fr.idx):
                continue
            r, k = self.render_frame(fr, season, sheet.look)
            sub_k = key[fr.y:fr.y + fr.h, fr.x:fr.x + fr.w]
            sub_r = rgb[fr.y:fr.y + fr.h, fr.x:fr.x + fr.w]
            # frames may share pixels where the table lets them overlap: the later wins where it draws
            sub_r[~k] = r[~k]
            sub_k &= k
        return rgb, key

    def build(self, outdir):
        for sheet in self.sheets:
            rgb, key = self.sheet_day(sheet)
            for tt in self.sheet_phases(sheet):
                lit = L.apply(rgb, tt) if tt != L.DAY else rgb
                io.write_bmp8(os.path.join(outdir, self.sheet_name(tt, sheet) + ".bmp"), lit, key)


class Placeholder:
    """A sheet that must exist for the loader but is never drawn: a few
    pixels of the key colour."""

    def __init__(self, name, size=(8, 8)):
        self.pname, self.size = name, size

    def resources(self):
        return [res(self.pname, self.size[0], self.size[1])]

    def build(self, outdir):
        w, h = self.size
        io.write_bmp8(os.path.join(outdir, self.pname + ".bmp"), np.zeros((h, w, 3), dtype=np.uint8),
                      np.ones((h, w), dtype=bool))


def cycle_anchors(n, start, stride, direction):
    """Hip positions inside n frames of a cycle that moves `stride` pixels."""
    return [start + direction * stride * k / float(n) for k in range(n)]


def packed(y, widths, h, x0=0, gap=1):
    """Rectangles side by side from x0, gap pixels apart: (x, y, w, h)."""
    out, x = [], x0
    for w in widths:
        out.append((x, y, w, h))
        x += w + gap
    return out


def placed(y, xs, widths, h):
    """Rectangles at the given x, one width each (or one width for all)."""
    if isinstance(widths, int):
        widths = [widths] * len(xs)
    return [(x, y, w, h) for x, w in zip(xs, widths)]


def walk_frames(first, rects, what, cycle, stride, facing, company=None):
    """A four-frame walk cycle on rects; the hip travels a quarter stride a
    frame in the walking direction, from where the frame leaves room for it.
    company: a function (frame number, hip x) -> the other people's list."""
    out = []
    for k, (x, y, w, h) in enumerate(rects):
        ax = (w * 0.42 + stride * k / 4.0) if facing > 0 else (w * 0.58 - stride * k / 4.0)
        ax = min(max(ax, 13.0), w - 13.0)
        out.append(Frame(first + k, x, y, w, h, "%s, step %d" % (what, k), cycle[k % len(cycle)], ax,
                         company=company(k, ax) if company else None))
    return out


def pose_frames(first, rects, poses, ax=None, company=None):
    """One frame a pose on rects: poses is a list of (what, pose), cycled when
    shorter than rects; the hip in the middle unless ax says otherwise."""
    out = []
    for k, (x, y, w, h) in enumerate(rects):
        what, pose = poses[k % len(poses)]
        hip = (w / 2.0) if ax is None else ax(k, w)
        out.append(Frame(first + k, x, y, w, h, what, pose, hip, company=company(k, hip) if company else None))
    return out
