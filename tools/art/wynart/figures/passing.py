"""The passing vehicles, objects 73 to 105: one descriptor per vehicle (its
kind and size, bodies, wheel phases and occupants), from which both its
sheets "FIGnnn_tt_00" and its frame table are made.

A sheet is laid out like the car's (object 74): the bodies stacked at x 0,
each with its wheels in phase 0; below them the wheel strips of the other
phases (only the wheels, so they fit every body); then the occupant frames,
a set of eight per row (four poses standing, four driving), drawn behind the
body at the occupant's offset and seen through its windows; below them the
further pictures some vehicles carry (passengers, pillion riders, loads,
roof loads), each at its own offset. Where a script names frames, the
descriptor puts them there. Vehicles 73 and 74 keep the layout their
scripts were written for. Vehicles that drive left face left."""
import os
from dataclasses import dataclass, field, replace
from typing import Dict, List, Optional, Tuple

import numpy as np

from .. import imageio as io
from .. import sprite as SP
from ..figure import Look
from ..frametables import Entry
from ..people import LOOKS
from ..resources import TT, res
from ..roadvehicles import (DRIVING, STANDING, Kind, draw_body, draw_load, draw_platform_load, draw_roof_load,
                             draw_wheels, platform, seat_in_windows, people_in_windows, person_in_windows,
                             rider)

LEFT, RIGHT = -1, 1
PER_SET = 8
PART_ROW = 12      # further pictures a row of the sheet


@dataclass
class Part:
    """Pictures a script draws beside the body at its own offset: name (its
    constants in the frame header), first frame, how many, its rectangle in
    the body (as drawn) and the drawing of picture k."""
    name: str
    first: int
    count: int
    cell: Tuple[int, int, int, int]       # (0, 0, 0, 0): the occupant's cell
    draw: object
    skip: Tuple[int, ...] = ()            # pictures left out (frame numbers kept)


@dataclass
class Member:
    obj_id: int
    title: str
    kind: Kind
    facing: int
    paints: List[str]
    phases: int = 4
    sets: int = 4
    second: Optional[str] = None          # box or band colour
    cell: Optional[Tuple[int, int, int, int]] = None   # occupant frame rectangle in the body (facing box)
    people: Tuple[int, ...] = (1, 5, 8, 3)
    occupant_first: Optional[int] = None  # where a script names the occupant frames
    poses: int = PER_SET                  # occupant frames in a set
    stride: int = PER_SET                 # from one set's first frame to the next
    strip_y: Optional[int] = None         # where a script fixes the wheel strip's row
    crowd: Optional[Tuple[Tuple[Optional[int], ...], ...]] = None   # a set's people, one a window
    old_last: bool = False                # the last body is an old bicycle, the last set its rider
    parts: Tuple["Part", ...] = ()         # further pictures at fixed frames and offsets
    platform: bool = False                # a lorry with an open platform for its loads
    headroom: int = 0                     # rows above the vehicle kept free for what it carries on its roof
    body_first: int = 0                   # where a script puts the bodies and the wheel strips elsewhere
    strip_first: Optional[int] = None

    @property
    def w(self):
        return self.kind.w

    def inner(self):
        """The vehicle as drawn, below its headroom."""
        return replace(self.kind, h=self.kind.h - self.headroom) if self.headroom else self.kind

    @property
    def h(self):
        return self.kind.h


def _k(kind, w, h, **kw):
    return Kind(kind, w, h, **kw)


# The minibus (78) shows its passengers at (x + 111, y + 7) in two sets of
# seven poses at 5 and 12, and its wheels from row 42; the day look shares it.
_MINIBUS_WINDOWS = ((14, 10, 42, 23), (60, 10, 46, 23), (110, 10, 48, 23))
_MINIBUS = dict(phases=3, sets=2, occupant_first=5, poses=7, stride=7, cell=(111, 7, 150, 30), strip_y=42,
                crowd=((4, 9, 2), (12, None, 6)))

# The cars with a driver and, now and then, a passenger behind (84 and 97):
# five drivers of four poses from 7, fifteen passengers of four from 27. The
# driver's frame holds the inside of both windows; the passenger's only the
# passenger, drawn over it. 84's driver is at (x + 97, y + 2), its passenger
# at (x + 142, y + 2).
_COUPLE_WINDOWS = ((24, 12, 40, 24), (69, 12, 40, 24))
_PASSENGERS = 15


def _couple(facing):
    left = facing < 0
    return dict(sets=5, poses=4, stride=4, occupant_first=7, cell=(97, 2, 90, 36) if left else (22, 2, 90, 36),
                crowd=tuple((None, n) for n in (1, 3, 5, 8, 11)),
                parts=(Part("Passenger", 27, 4 * _PASSENGERS, (142, 2, 44, 36) if left else (22, 2, 44, 36),
                            "passenger"),))


# The mopeds (76 and 103): a rider in five head poses while moving and five
# stopped with a foot down, from 4; a pillion rider likewise from 14.
_MOPED = dict(sets=1, poses=10, stride=10, occupant_first=4,
              parts=(Part("Pillion", 14, 10, (0, 0, 108, 96), "pillion"),))
HEADS_MOVING = [dict(), dict(neck=5), dict(head="front"), dict(neck=-5), dict(head="front", mouth="smile")]
HEADS_STOPPED = [dict(head="front"), dict(head="side", head_facing=-1), dict(neck=8), dict(head="front", mouth="smile"),
                 dict(head="side", head_facing=-1, neck=-6)]
PILLION_LOOKS = {76: 12, 103: 2}


# The family cars (82 and 92): the car sits low in its box under what it
# carries on the roof (six loads from 8); five families of three seats from
# 14, twelve frames each: the driver's four poses (with the inside of the
# car), then those of the one beside and of the child behind.
_FAMILY = dict(headroom=18, occupant_first=14, sets=5, poses=12, stride=12,
               parts=(Part("Roof", 8, 6, (0, 0, 0, 0), "roof"),))
FAMILIES = ((1, 12, 17), (9, 2, 19), (5, 16, 21), (11, 6, 18), (3, 14, 20))
SEATS = ((0.6, 1.0), (0.42, 1.0), (0.24, 0.78))   # share of the length, size


MEMBERS = {m.obj_id: m for m in [
    Member(75, "estate car", _k("estate", 216, 75), LEFT, ["#3a7a5a", "#c8c2b4", "#8a2a2a"]),
    Member(76, "moped", _k("moped", 108, 96), LEFT, ["#e0a020"], **_MOPED),
    Member(77, "small delivery car", _k("hatch", 208, 64), LEFT, ["#d8d8d0", "#3a6ab0"]),
    Member(78, "minibus", _k("van", 272, 86, win=_MINIBUS_WINDOWS), LEFT, ["#f0f0ea"], **_MINIBUS),
    Member(79, "coach", _k("coach", 400, 139, text="Wendelby Reisen"), LEFT, ["#2a5aa0"], second="#f2d040"),
    Member(80, "saloon", _k("car", 256, 76), LEFT, ["#1e2a3a", "#6a6e74"]),
    Member(82, "family estate", _k("estate", 264, 92), LEFT, ["#7a4a8a", "#4a7aa8"], **_FAMILY),
    Member(83, "small car", _k("hatch", 144, 87), LEFT, ["#e8c020", "#c83a2a", "#4aa0c8"]),
    Member(84, "car", _k("car", 208, 90, win=_COUPLE_WINDOWS), LEFT, ["#5a8a3a", "#b86a2a", "#3a4a6a", "#a8a8a0"],
           **_couple(LEFT)),
    Member(85, "drinks lorry", _k("drinks", 216, 95, text="Brunnen"), LEFT, ["#2a7a3a"], second="#f2f0e4"),
    Member(86, "coupe", _k("car", 232, 81), LEFT, ["#c82a2a", "#2a2a30"]),
    Member(87, "small car", _k("hatch", 168, 80), LEFT, ["#5ab0a0", "#e89a3a"], phases=3),
    Member(88, "car", _k("car", 216, 82), LEFT, ["#f4f2ea", "#3a5a8a", "#8a3a3a", "#5a5a5a"], phases=3),
    Member(89, "pick-up", _k("pickup", 240, 112), RIGHT, ["#c86a2a"], phases=3, sets=2,
           parts=(Part("Load", 20, 3, (2, 8, 140, 62), "load"),)),
    Member(90, "estate car", _k("estate", 216, 75), RIGHT, ["#a83a3a", "#4a6a8a", "#d8d2c0"]),
    Member(91, "coupe", _k("car", 232, 81), RIGHT, ["#2a5a9a", "#e0e0d8"]),
    Member(92, "family estate", _k("estate", 264, 92), RIGHT, ["#3a6a4a", "#b8a888"], **_FAMILY),
    Member(94, "lettered box lorry", _k("lorry", 440, 126, box=(4, 0, 305, 80), text="Obsthof Lindenau"), RIGHT, ["#c8302a"],
           phases=3, second="#f4f2ec"),
    Member(95, "small car", _k("hatch", 144, 81), RIGHT, ["#4a8ac8", "#e8e4d8"], phases=3),
    Member(96, "car", _k("car", 216, 82), RIGHT, ["#f4f2ea", "#8a6a3a", "#2a4a3a", "#6a2a4a"], phases=3),
    Member(97, "car", _k("car", 208, 90, win=_COUPLE_WINDOWS), RIGHT, ["#c8a030", "#3a3a6a", "#7a9a5a", "#9a3a2a"],
           **_couple(RIGHT)),
    Member(98, "small car", _k("hatch", 168, 80), RIGHT, ["#d86a8a", "#6a8a3a"], phases=3),
    Member(99, "ice-cream van", _k("icecream", 264, 117, text="Eis Gelato"), RIGHT, ["#f6e6f0"], phases=3),
    Member(100, "small delivery car", _k("hatch", 208, 64), RIGHT, ["#e8e4d8", "#b83a3a"], phases=3),
    Member(101, "cyclist", _k("bicycle", 96, 80), RIGHT, ["#2a6ab0", "#c83a2a", "#3a8a3a", "#e0a020"],
           phases=5, sets=5, occupant_first=14),
    Member(102, "cyclist", _k("bicycle", 128, 106), RIGHT, ["#3a3a3a", "#2a8a8a", "#a83a6a", "#1e1e22"],
           sets=3, people=(10, 14, 1), old_last=True),
    Member(103, "moped", _k("moped", 108, 96), RIGHT, ["#3a8ac8"], people=(8,), **_MOPED),
    Member(104, "small saloon", _k("car", 208, 75, win=((61, 8, 21, 20), (85, 8, 22, 20))), RIGHT, ["#b8b8b0", "#5a2a2a"], cell=(60, 0, 48, 31)),
    Member(105, "minibus", _k("van", 272, 86), RIGHT, ["#f0f0ea"], phases=3, sets=2),
]}
# Lorries that differ by time of day, and the plain car.
# The lettered lorry's three drivers come first, its body after them, then
# two co-drivers of four poses from 5.
MEMBERS[81] = Member(81, "lettered box lorry", _k("lorry", 440, 126, box=(7, 0, 305, 80), text="Möbel Hansen"), LEFT, ["#2a5a9a"],
                     phases=3, second="#f4f2ec", occupant_first=0, sets=3, poses=1, stride=1, body_first=3,
                     strip_first=13, people=(1, 11, 15, 4, 9),
                     parts=(Part("Second", 5, 8, (0, 0, 0, 0), "codriver"),))
MEMBERS[93] = Member(93, "tipper lorry", _k("lorry", 392, 139), RIGHT, ["#e0a020"], phases=3, second="#8a8e96")
MEMBERS[74] = Member(74, "car", _k("car", 208, 78, win=((61, 8, 21, 21), (85, 8, 22, 21))), LEFT, ["#c0392b", "#2e6db4", "#f2c230", "#3a8a4a", "#e8e8e0"],
                     cell=(100, 0, 48, 31))
# At dusk and at night 81 and 93 are other, plain lorries.
OTHER_LOOK = {
    81: Member(81, "platform lorry", _k("lorry", 360, 120), LEFT, ["#4a6a3a"], phases=3, second="#8a6a4a",
               platform=True, people=(1, 11, 4, 9), sets=2, poses=1, stride=1, occupant_first=13,
               parts=(Part("Second", 17, 8, (0, 0, 0, 0), "codriver"),
                      Part("Load", 25, 4, (0, 0, 0, 0), "platform", skip=(1, 2)))),
    93: Member(93, "plain lorry", _k("lorry", 360, 120), RIGHT, ["#8a2a2a"], phases=3, second="#d8d4c8"),
}
IDS = list(range(73, 106))

# Sheets asked for by name on demand (into the extra slot): the long
# variants of 77 and 100 and the day look of 78. name -> (member, phases of day).
_LONG = dict(phases=3, sets=2, occupant_first=5, stride=9)
EXTRA = {
    "FIG077_01_01": (Member(77, "box lorry", _k("lorry", 320, 136, text="Kühlhaus Nord"), LEFT, ["#3a6a9a"],
                            second="#f0f0ec", poses=9, **_LONG), (1,)),
    "FIG077_01_02": (Member(77, "articulated lorry", _k("lorry", 578, 132, text="Spedition Wendelby"), LEFT,
                            ["#b83a2a"], second="#e8e4d8", poses=9, **_LONG), (1,)),
    "FIG100_%02d_01": (Member(100, "box lorry", _k("lorry", 320, 136, text="Bäckerei Krume"), RIGHT, ["#8a5a2a"],
                              second="#f6ecd8", poses=4, **_LONG), (1, 2)),
    "FIG100_%02d_02": (Member(100, "articulated lorry", _k("lorry", 584, 132, text="Frisch & Fein"), RIGHT,
                              ["#2a7a5a"], second="#eef2ea", poses=4, **_LONG), (1, 2)),
    "FIG078_01_01": (Member(78, "post minibus", _k("van", 272, 86, text="Post", win=_MINIBUS_WINDOWS), LEFT,
                            ["#f2c230"], **_MINIBUS), (1,)),
}


def extra_names(obj_id):
    out = []
    for pattern, (m, tts) in EXTRA.items():
        if m.obj_id == obj_id:
            out += [(pattern % tt if "%" in pattern else pattern, m, tt) for tt in tts]
    return out


# ------------------------------------------------------------------ layout

def strip_top(m: Member):
    """The body's first row under the wheel strips."""
    if m.strip_y is not None:
        return m.strip_y
    g = m.inner().geometry()
    return int(m.h - 1 - 2 * g["r"] - 3)


def occupant_cell(m: Member):
    if m.cell:
        return m.cell
    x, y, w, h = m.inner().occupant_cell()
    y += m.headroom
    if m.facing < 0:
        x = m.w - x - w
    return (max(0, x), max(0, y), w, h)


@dataclass
class Layout:
    entries: List[Entry]
    size: Tuple[int, int]
    consts: Dict[str, int]
    draw: list = field(default_factory=list)   # (entry, kind, payload)


def _part_cell(m: Member, part: Part):
    if part.cell != (0, 0, 0, 0):
        return part.cell
    if part.draw == "roof":
        x, w = int(m.w * 0.22 - 14), int(m.w * 0.44 + 28)
        if m.facing < 0:
            x = m.w - x - w
        return (x, 0, w, m.headroom + 8)
    if part.draw == "platform":
        # the box's place behind the cab, as drawn
        cx = m.kind.cab()[0]
        x, w = 2, int(cx - 4)
        if m.facing < 0:
            x = m.w - x - w
        return (x, 4, w, int(m.h * 0.6))
    return occupant_cell(m)


def layout(m: Member):
    w, h = m.w, m.h
    nb = len(m.paints)
    sdy = strip_top(m)
    sh = h - sdy
    cx, cy, cw, ch = occupant_cell(m)
    out, draws = [], []
    y = 0
    strip = nb if m.strip_first is None else m.strip_first
    for b in range(nb):
        e = Entry(m.body_first + b, 0, y, w, h, "body %d" % b)
        out.append(e)
        draws.append((e, "body", b))
        y += h + 1
    for p in range(1, m.phases):
        e = Entry(strip + p - 1, 0, y, w, sh, "wheel strip, phase %d" % p)
        out.append(e)
        draws.append((e, "strip", p))
        y += sh + 1
    first = nb + m.phases - 1 if m.occupant_first is None else m.occupant_first
    for s in range(m.sets):
        for i in range(m.poses):
            e = Entry(first + s * m.stride + i, i * (cw + 1), y, cw, ch,
                      "occupant set %d, %s pose %d" % (s, "driving" if i >= 4 else "standing", i % 4))
            out.append(e)
            draws.append((e, "occupant", (s, i)))
        y += ch + 1
    consts = dict(Bodies=nb, BodyFirst=m.body_first, Strip=strip, StripY=sdy, Phases=m.phases, Occupant=first, OccupantSets=m.sets,
                  OccupantX=cx, OccupantY=cy, W=w, H=h, Poses=m.poses, Stride=m.stride)
    for part in m.parts:
        px, py, pw, ph = _part_cell(m, part)
        for k in range(part.count):
            if k in part.skip:
                continue
            col, row = k % PART_ROW, k // PART_ROW
            e = Entry(part.first + k, col * (pw + 1), y + row * (ph + 1), pw, ph, "%s %d" % (part.name.lower(), k))
            out.append(e)
            draws.append((e, "part", (part, k)))
        y += ((part.count + PART_ROW - 1) // PART_ROW) * (ph + 1)
        consts.update({part.name: part.first, part.name + "Count": part.count, part.name + "X": px,
                       part.name + "Y": py})
    sw = max(max(e.x + e.w for e in out), 8)
    return Layout(out, (sw, y), consts, draws)


def layout74():
    m = MEMBERS[74]
    out, draws = [], []
    for b in range(5):
        e = Entry(b, 0, 79 * b, 208, 78, "body %d" % b)
        out.append(e)
        draws.append((e, "body", b))
    for p in range(1, 4):
        e = Entry(4 + p, 0, 395 + 36 * (p - 1), 208, 35, "wheel strip, phase %d" % p)
        out.append(e)
        draws.append((e, "strip", p))
    for s in range(4):
        for i in range(8):
            e = Entry(8 + 8 * s + i, 209 + 49 * (i // 4), 128 * s + 32 * (i % 4), 48, 31,
                      "occupant set %d, %s pose %d" % (s, "driving" if i >= 4 else "standing", i % 4))
            out.append(e)
            draws.append((e, "occupant", (s, i)))
    consts = dict(Bodies=5, BodyFirst=0, Strip=5, StripY=43, Phases=4, Occupant=8, OccupantSets=4, OccupantX=100,
                  OccupantY=0, W=208, H=78, Poses=8, Stride=8)
    return Layout(out, (306, 511), consts, draws)


TRACTOR = Kind("tractor", 140, 102)


def layout73():
    out = [Entry(0, 0, 0, 140, 102, "tractor")]
    out += [Entry(1 + k, 8, 104 + 52 * k, 128, 51, "wheel strip, phase %d" % (k + 1)) for k in range(6)]
    out.append(Entry(7, 145, 0, 36, 8, "exhaust puff, phase 0"))
    out += [Entry(8 + j, 145, 10 + 46 * j, 48, 45, "driver facing left %d" % j) for j in range(7)]
    out += [Entry(15 + j, 194, 10 + 46 * j, 48, 45, "driver facing right %d" % j) for j in range(7)]
    draws = [(e, "tractor", e.idx) for e in out]
    consts = dict(Bodies=1, BodyFirst=0, Strip=1, StripY=51, Phases=7, Occupant=8, OccupantSets=2, OccupantX=84,
                  OccupantY=7, W=144, H=100, Poses=7, Stride=7)
    return Layout(out, (243, 416), consts, draws)


def layout_of(obj_id, tt=1):
    if obj_id == 73:
        return layout73()
    if obj_id == 74:
        return layout74()
    return layout(member(obj_id, tt))


def member(obj_id, tt=1):
    if tt != 1 and obj_id in OTHER_LOOK:
        return OTHER_LOOK[obj_id]
    return MEMBERS[obj_id]


# ------------------------------------------------------------------ drawing

WHEEL_TURN = 90.0


def _occupant_look(m: Member, s):
    return LOOKS[m.people[s % len(m.people)]] if s < len(m.people) else LOOKS[(s * 7) % 23 + 1]


def _draw_entry(m: Member, e, what, payload, tt):
    kind = m.kind
    if what == "body":
        def d(ctx, layer, phase):
            if layer == "base":
                style = "old" if m.old_last and payload == len(m.paints) - 1 else None
                load = (lambda c, bx, by, bw, bh: platform(c, bx, by, bw, bh, m.second)) if m.platform else None
                ctx.translate(0, m.headroom)
                draw_body(ctx, m.inner(), m.paints[payload], m.facing, 0.0, second=m.second, style=style, load=load)
        return SP.render(e.w, e.h, d, tt)
    if what == "strip":
        sdy = m.h - e.h

        def d(ctx, layer, phase):
            if layer == "base":
                ctx.translate(0, -sdy + m.headroom)
                draw_wheels(ctx, m.inner(), m.facing, WHEEL_TURN * payload / m.phases)
        return SP.render(e.w, e.h, d, tt)
    if what == "part":
        part, k = payload
        px, py = _part_cell(m, part)[:2]
        if part.draw == "codriver":
            look = LOOKS[m.people[m.sets + k // 4]]
            kw = (STANDING + DRIVING)[k % 4 * 2]
            return SP.render(e.w, e.h, person_in_windows(look, kind, m.facing, kw, occupant_cell(m), rear=True), tt)
        if part.draw == "roof":
            inner = m.inner()
            roof_y = m.headroom + inner.h * 0.06

            def d(ctx, layer, phase):
                if layer == "base":
                    ctx.translate(-px, -py)
                    draw_roof_load(ctx, inner, k, m.facing, roof_y)
            return SP.render(e.w, e.h, d, tt)
        if part.draw == "platform":
            def d(ctx, layer, phase):
                if layer == "base":
                    ctx.translate(-px, -py)
                    draw_platform_load(ctx, kind, 0 if k == 0 else 1, m.facing)
            return SP.render(e.w, e.h, d, tt)

        if part.draw == "pillion":
            look = LOOKS[PILLION_LOOKS[m.obj_id]]
            kw = (HEADS_MOVING + HEADS_STOPPED)[k]
            return SP.render(e.w, e.h, rider(look, kind, m.facing, kw, part.cell, at=0.18, foot_down=k >= 5), tt)
        if part.draw == "passenger":
            look = LOOKS[(k // 4 * 5 + 2) % 23 + 1]
            poses = [(STANDING + DRIVING)[k % 4 * 2], None]
            return SP.render(e.w, e.h, people_in_windows([look, None], kind, m.facing, poses, part.cell,
                                                         interior=False), tt)

        def d(ctx, layer, phase):
            if layer == "base":
                ctx.translate(-px, -py)
                draw_load(ctx, kind, k, m.facing)
        return SP.render(e.w, e.h, d, tt)
    s, i = payload
    look = _occupant_look(m, s)
    kw = (DRIVING if i >= 4 else STANDING)[i % 4] if i < 8 else DRIVING[0]
    cell = occupant_cell(m)
    if kind.kind == "moped":
        kw = (HEADS_MOVING + HEADS_STOPPED)[i]
        return SP.render(e.w, e.h, rider(look, kind, m.facing, kw, cell, foot_down=i >= 5), tt)
    if kind.kind == "bicycle":
        upright = m.old_last and s == m.sets - 1
        return SP.render(e.w, e.h, rider(look, kind, m.facing, kw, cell, upright=upright), tt)
    if m.headroom:
        seat, pose = divmod(i, 4)
        at, size = SEATS[seat]
        look = LOOKS[FAMILIES[s][seat]]
        x, y, w, h = cell
        kw = (DRIVING if seat == 0 else STANDING)[pose]
        return SP.render(e.w, e.h, seat_in_windows(look, m.inner(), m.facing, kw, (x, y - m.headroom, w, h), at,
                                                   interior=seat == 0, size=size), tt)
    if m.crowd:
        looks = [LOOKS[n] if n is not None else None for n in m.crowd[s % len(m.crowd)]]
        poses = [(STANDING + DRIVING)[(i * 2 + 3 * k) % 8 if m.poses < 8 else (i + 3 * k) % 8]
                 for k in range(len(looks))]
        return SP.render(e.w, e.h, people_in_windows(looks, kind, m.facing, poses, cell), tt)
    riding_along = any(p.draw == "codriver" for p in m.parts)
    passenger = _occupant_look(m, s + 2) if s % 2 == 1 and not riding_along else None
    return SP.render(e.w, e.h, person_in_windows(look, kind, m.facing, kw, cell, passenger=passenger), tt)


TRACTOR_PAINT = "#3a8a3a"
FARMER = Look(height=78, hair="#6a4a2a", hair_style="short", skin="#e0a880", top="#4a6a9a", top_kind="shirt",
              hat="cap", hat_colour="#c83a2a")


def _draw73(e, tt):
    import math
    from ..roadvehicles import draw_body as db, wheel
    from ..figure import Figure, Pose
    if e.idx == 0:
        def d(ctx, layer, phase):
            if layer == "base":
                db(ctx, TRACTOR, TRACTOR_PAINT, -1, 0.0)
        return SP.render(e.w, e.h, d, tt)
    if 1 <= e.idx <= 6:
        def d(ctx, layer, phase):
            if layer == "base":
                ctx.translate(140 - 8, -51)
                ctx.scale(-1, 1)
                g = TRACTOR.geometry()
                r = g["r"]
                wheel(ctx, g["wheels"][0], 101 - r, r, 360.0 / 7 * e.idx, hub="#c8a030")
                sx, sr = g["small"]
                wheel(ctx, sx, 101 - sr, sr, 360.0 / 7 * e.idx * 1.8, hub="#c8a030")
        return SP.render(e.w, e.h, d, tt)
    if e.idx == 7:
        def d(ctx, layer, phase):
            if layer == "base":
                for k in range(3):
                    ctx.arc(6 + 11 * k, 4, 3 + k * 0.5, 0, 2 * math.pi)
                    ctx.set_source_rgb(0.55, 0.55, 0.58)
                    ctx.fill()
        return SP.render(e.w, e.h, d, tt)
    facing = -1 if e.idx < 15 else 1
    j = (e.idx - 8) % 7
    turns = [0, 4, -4, 8, 0, -8, 2]

    def d(ctx, layer, phase):
        if layer != "base":
            return
        fig = Figure(FARMER)
        pose = Pose(view="side", facing=facing, lean=2, neck=turns[j], near_leg=(80, 85), far_leg=(75, 80),
                    near_arm=(40, 30), far_arm=(35, 35), ground=False,
                    mouth="smile" if j == 3 else "none", head="front" if j == 6 else None)
        b = fig.body
        fig.draw(ctx, pose, 24, 34 + b.thigh + b.shin + b.ankle)
    return SP.render(e.w, e.h, d, tt)


def sheet(obj_id, tt):
    lay = layout_of(obj_id, tt)
    rgb, key = SP.blank(*lay.size)
    if obj_id == 73:
        for e, _, _ in lay.draw:
            SP.place(rgb, key, e.x, e.y, *_draw73(e, tt))
        return rgb, key
    m = member(obj_id, tt)
    for e, what, payload in lay.draw:
        SP.place(rgb, key, e.x, e.y, *_draw_entry(m, e, what, payload, tt))
    return rgb, key


# ------------------------------------------------------------------ the family

def _name(obj_id, tt):
    return "FIG%03d_%02d_00" % (obj_id, tt)


# ------------------------------------------------------------------ lettering templates

# The lettering lays the user's picture on the box side of the lettered
# lorries (305 x 80), then these two over it: green leaves the picture as it
# is, anything else shades it, so the picture reads as painted on a ribbed
# box lit from the upper left.
LETTER_W, LETTER_H = 305, 80
GREEN = np.array([0, 255, 0], dtype=np.uint8)
RIBS = (61, 122, 183, 244)


def light_template():
    out = np.tile(GREEN, (LETTER_H, LETTER_W, 1))
    for row in range(6):
        v = 255 - 12 * row
        out[row, :] = (v, v, v - 6)
    for col in range(3):
        v = 250 - 14 * col
        out[6:, col] = (v, v, v - 6)
    for x in RIBS:
        out[6:LETTER_H - 8, x + 2] = (236, 236, 230)
    return out


def dark_template():
    out = np.tile(GREEN, (LETTER_H, LETTER_W, 1))
    for x in RIBS:
        out[:, x:x + 2] = (70, 72, 78)
    for row in range(8):
        v = 150 - 12 * row
        out[LETTER_H - 8 + row, :] = (v, v - 4, v - 8)
    for col in range(3):
        v = 120 - 20 * col
        out[:, LETTER_W - 3 + col] = (v, v - 4, v - 8)
    return out


def _templates(obj_id):
    return [("LKW_HELL", light_template), ("LKW_DUNKEL", dark_template)] if obj_id == 81 else []


def resources(obj_id):
    out = [res(_name(obj_id, tt), *layout_of(obj_id, tt).size) for tt in TT]
    out += [res(name, *layout(m).size) for name, m, _ in extra_names(obj_id)]
    out += [res(name, LETTER_W, LETTER_H, "opaque", rtype="MASKE", fmt="bmp24") for name, _ in _templates(obj_id)]
    return out


def build(obj_id, outdir):
    for tt in TT:
        rgb, key = sheet(obj_id, tt)
        io.write_bmp8(os.path.join(outdir, _name(obj_id, tt) + ".bmp"), rgb, key)
    for name, m, tt in extra_names(obj_id):
        lay = layout(m)
        rgb, key = SP.blank(*lay.size)
        for e, what, payload in lay.draw:
            SP.place(rgb, key, e.x, e.y, *_draw_entry(m, e, what, payload, tt))
        io.write_bmp8(os.path.join(outdir, name + ".bmp"), rgb, key)
    for name, make in _templates(obj_id):
        with open(os.path.join(outdir, name + ".bmp"), "wb") as f:
            f.write(io.rgb_bmp_bytes(make()))


def _table(ident, lay, w):
    n = max(e.idx for e in lay.entries) + 1
    byidx = {e.idx: e for e in lay.entries}
    w("inline constexpr FrameEntry %s[%d] = {" % (ident, n))
    for i in range(n):
        e = byidx.get(i)
        if e is None:
            w("    {0, 0, 0, 0},  // %d unused" % i)
        else:
            w("    {%d, %d, %d, %d},  // %d %s" % (e.x, e.y, e.w, e.h, i, e.what))
    w("};")


def _consts(ident, lay, w):
    for k, v in lay.consts.items():
        w("constexpr int32_t %s%s = %d;" % (ident, k, v))


def frame_header(obj_id):
    lines = []
    w = lines.append
    title = "tractor" if obj_id == 73 else member(obj_id).title
    w("// Frame table of object %d (%s): generated by tools/art from its descriptor." % (obj_id, title))
    w("// The sheet pictures come from the same descriptor, so they always match.")
    w("#pragma once")
    w("")
    w('#include "frame_entry.h"')
    w("")
    ident = "kFig%03d" % obj_id
    lay = layout_of(obj_id, 1)
    w("// Sheet FIG%03d_tt_00: %d x %d%s" % (obj_id, lay.size[0], lay.size[1],
                                               ", by day" if obj_id in OTHER_LOOK else ""))
    w("// Bodies, the first wheel strip and its row in the body, wheel phases, the")
    w("// first occupant frame, its sets, where an occupant frame goes, the frames")
    w("// of a set and from one set to the next; then the further pictures (first")
    w("// frame, count, where they go).")
    _consts(ident, lay, w)
    w("")
    _table(ident + "Frames", lay, w)
    if obj_id in OTHER_LOOK:
        other = layout_of(obj_id, 2)
        w("")
        w("// Sheet FIG%03d_tt_00 at dusk and at night: %d x %d, another lorry" % (obj_id, *other.size))
        _consts(ident + "Dark", other, w)
        w("")
        _table(ident + "DarkFrames", other, w)
    seen = set()
    for name, m, tt in extra_names(obj_id):
        if m.title in seen or obj_id == 78:
            continue
        seen.add(m.title)
        extra = layout(m)
        tag = "Long%d" % len(seen)
        w("")
        w("// Sheet %s, asked for on demand: %d x %d, the %s" % (name[:7] + "tt" + name[9:], *extra.size, m.title))
        _consts(ident + tag, extra, w)
        w("")
        _table(ident + tag + "Frames", extra, w)
    return "fig%03d_frames.h" % obj_id, "\n".join(lines) + "\n"


def frame_headers():
    return [frame_header(i) for i in IDS]
