"""Figure 60: the window scenes. In one of thirteen windows of the house
fronts a person comes to the window, looks out, waves or leans out, and goes
again. The frames are copied into the background as they are, so each frame
is the wall and window of the background picture of its day phase and season
(in the light state the scene sets) with the person drawn into the window;
its first and last frames show the empty window. One sheet "FF_vvv_tt_ss"
per variant, time of day and season in which the variant may play: one row
of frames a little larger than the window, at the geometry table's anchor.
The figure's own sheet is a placeholder that is loaded but never drawn."""
import math
import os

import numpy as np

from .. import geometry as G
from .. import imageio as io
from .. import lighting as L
from .. import sprite as SP
from .. import street as S
from ..scenefam import _roller_down
from ..figure import Figure, Look, Pose
from ..resources import TT, res

VARIANTS = range(1, 14)
# variant -> frames, frame size, the window's light, where it plays
# (season, times of day), the light's state in its frames by time of day
# (None: as the background shows it, i.e. off), the scene's gesture.
SUMMER, WINTER = L.SUMMER, L.WINTER
SCENES = {
    1: (10, (70, 50), 46, SUMMER, (1, 2, 3), "look"),
    2: (10, (70, 50), 46, SUMMER, (1, 2), "wave"),
    3: (10, (70, 50), 22, SUMMER, (1, 2, 3), "lean"),
    4: (10, (70, 50), 35, SUMMER, (1,), "wave"),
    5: (10, (70, 50), 35, SUMMER, (1, 2), "look"),
    6: (10, (70, 50), 35, SUMMER, (1,), "stretch"),
    7: (11, (68, 60), 47, SUMMER, (1, 2), "look"),
    8: (11, (68, 60), 25, SUMMER, (1, 2, 3), "lean"),
    9: (11, (68, 60), 23, SUMMER, (1, 2, 3), "wave"),
    10: (11, (68, 60), 49, SUMMER, (1, 2), "stretch"),
    11: (11, (88, 127), 17, WINTER, (1, 2, 3), "look"),
    12: (10, (64, 100), 17, SUMMER, (1, 2), "wave"),
    # the frames stop short of light 40's window, which the scene switches by chance
    13: (18, (64, 56), 39, SUMMER, (3,), "look"),
}
# Lights a scene switches on in its frames: variant -> times of day.
LIT = {11: (3,), 13: (3,)}
# The glass of windows whose light rectangle reaches below the window (the
# ground floor's tall lights): picture x, y, w, h.
OPENINGS = {17: (1085, 713, 56, 72)}

PEOPLE = {
    "a": Look(height=66, hair="#4a2e1c", top="#7a9a3a", top_kind="sweater"),
    "b": Look(height=64, female=True, hair="#b07a3a", hair_style="bun", top="#c84a5a", top_kind="shirt"),
    "c": Look(height=66, hair="#9a9a9a", hair_style="bald", beard="#8a8a8a", glasses=True, top="#4a5a8a"),
    "d": Look(height=64, female=True, hair="#2a1a12", hair_style="long", top="#e0b040", top_kind="dress"),
    "e": Look(height=66, hair="#c89a5a", hair_style="curly", top="#3a7a8a", top_kind="shirt", sleeves="short"),
}
WHO = {1: "a", 2: "b", 3: "c", 4: "d", 5: "e", 6: "a", 7: "d", 8: "c", 9: "b", 10: "e", 11: "a", 12: "d", 13: "b"}


def sheet_name(variant, tt, season):
    return "FF_%03d_%02d_%02d" % (variant, tt, season)


def sheets():
    """(variant, time of day, season) of every sheet that exists."""
    return [(v, tt, SCENES[v][3]) for v in VARIANTS for tt in SCENES[v][4]]


def sheet_size(variant):
    n, (w, h) = SCENES[variant][0], SCENES[variant][1]
    return n * (w + 1) - 1, h


def frame_rect(variant, k):
    w, h = SCENES[variant][1]
    return k * (w + 1), 0, w, h


def resources():
    out = [res("FIG060_%02d_00" % tt, 8, 8) for tt in TT]
    out += [res(sheet_name(v, tt, s), *sheet_size(v), key="opaque") for v, tt, s in sheets()]
    return out


# ------------------------------------------------------------------ the background under the frames


def _backgrounds(season, phase):
    """The background of a phase as the program shows it, lights off and
    with every light on: the quantised pictures, pixel for pixel."""
    st, day = S.render_layers(season, rails=True)
    img = S.phase_picture(st, day, phase)
    if phase == L.NIGHT:
        # the night's picture has the shop window's shutter down
        img = _roller_down(img, season, phase)
    idx, pal = io.quantize(img)
    off = pal[idx]
    if phase == L.DAY:
        return off, None
    on = S.lights_on_picture(st, off, phase)
    sheet_on = np.empty((G.LIGHTS_SHEET_H, G.LIGHTS_SHEET_W, 3), dtype=np.uint8)
    sheet_on[:] = off[G.HOUSE_BASE_Y + 20, 640]
    for l in G.LIGHTS:
        d, s = l.dst, l.src
        sheet_on[s.y:s.y + s.h, s.x:s.x + s.w] = on[d.y:d.y + d.h, d.x:d.x + d.w]
    fixed = set()
    for _a, _b, r in G.shared_columns():
        fixed.update(tuple(int(v) for v in c) for c in off[r.y:r.y + r.h, r.x:r.x + r.w].reshape(-1, 3))
    idx, pal = io.quantize(sheet_on, None, sorted(fixed))
    q_on = pal[idx]
    # the lit lights as the program paints them from the "on" sheet
    lit = off.copy()
    for l in G.LIGHTS:
        d, s = l.dst, l.src
        lit[d.y:d.y + d.h, d.x:d.x + d.w] = q_on[s.y:s.y + s.h, s.x:s.x + s.w]
    return off, lit


def _base(variant, tt, off, lit):
    """The wall and window under the variant's frames."""
    ax, ay = G.WINDOW_FIGURE_ANCHORS[variant]
    w, h = SCENES[variant][1]
    base = off[ay:ay + h, ax:ax + w].copy()
    if tt in LIT.get(variant, ()):
        d = G.LIGHT_BY_N[SCENES[variant][2]].dst
        x0, y0 = max(d.x, ax), max(d.y, ay)
        x1, y1 = min(d.x + d.w, ax + w), min(d.y + d.h, ay + h)
        base[y0 - ay:y1 - ay, x0 - ax:x1 - ax] = lit[y0:y1, x0:x1]
    return base


# ------------------------------------------------------------------ the person in the window


def _presence(k, n):
    """How far the person has come up into the window: 0 empty, 1 there."""
    if k == 0 or k == n - 1:
        return 0.0
    if k == 1 or k == n - 2:
        return 0.55
    return 1.0


def _pose(gesture, k, n):
    t = (k - 2) / float(max(1, n - 5))
    wob = math.sin(k * 1.7)
    if gesture == "wave":
        up = 2 < k < n - 3
        arm = (150 + 25 * wob, 35) if up else (10, 20)
        return Pose(view="front", lean=0, near_arm=arm, far_arm=(8, 10), mouth="smile")
    if gesture == "lean":
        return Pose(view="side", facing=-1 if t < 0.5 else 1, lean=18 + 6 * wob, near_arm=(40, 40),
                    far_arm=(35, 45), head_facing=-1 if t < 0.5 else 1, mouth="none")
    if gesture == "stretch":
        e = math.sin(math.pi * min(1.0, max(0.0, t)))
        return Pose(view="front", lean=0, near_arm=(20 + 140 * e, 20), far_arm=(20 + 140 * e, 20),
                    eyes="closed" if e > 0.6 else "open", mouth="o" if e > 0.6 else "none")
    # looks up and down the street
    side = -1 if (k // 2) % 2 == 0 else 1
    return Pose(view="front", lean=0, head="side", head_facing=side, near_arm=(12, 40), far_arm=(12, 40),
                mouth="none")


def _person(variant, k, tt):
    """The person of frame k in the frame's own coordinates: (rgb, key)."""
    n, (w, h), light, _season, _tts, gesture = SCENES[variant]
    e = _presence(k, n)
    if e <= 0:
        return None
    ax, ay = G.WINDOW_FIGURE_ANCHORS[variant]
    d = G.LIGHT_BY_N[light].dst
    # the opening: the glass within the frame, inside the window's frame bars
    ox, oy, ow, oh = OPENINGS.get(light, (d.x + 3, d.y + 3, d.w - 6, d.h - 6))
    gx0, gy0 = max(ox, ax) - ax, max(oy, ay) - ay
    gx1, gy1 = min(ox + ow, ax + w) - ax, min(oy + oh, ay + h) - ay
    look = PEOPLE[WHO[variant]]
    if SCENES[variant][3] == WINTER:
        look = look.winter("#5a3a2a", scarf="#b03a3a", hat=None)
    # hips at the sill: the legs stay below it; the person sinks in as e falls
    sill = gy1
    ground = sill + look.height * 0.47 + (1 - e) * look.height * 0.45
    cx = (gx0 + gx1) / 2.0

    def draw(ctx, layer, phase):
        if layer != "base":
            return
        ctx.save()
        ctx.rectangle(gx0, gy0, gx1 - gx0, gy1 - gy0)
        ctx.clip()
        Figure(look).draw(ctx, _pose(gesture, k, n), cx, ground)
        ctx.restore()
    # people at a lit window keep the room's light on them
    phase = L.DUSK if tt in LIT.get(variant, ()) else tt
    return SP.render(w, h, draw, phase)


def sheet(variant, tt, base):
    n = SCENES[variant][0]
    sw, sh = sheet_size(variant)
    rgb = np.empty((sh, sw, 3), dtype=np.uint8)
    rgb[:] = base[0, 0]
    for k in range(n):
        x, y, w, h = frame_rect(variant, k)
        frame = base.copy()
        person = _person(variant, k, tt)
        if person is not None:
            prgb, key = person
            frame[~key] = prgb[~key]
        rgb[y:y + h, x:x + w] = frame
    return rgb


def build(outdir):
    for tt in TT:
        io.write_bmp8(os.path.join(outdir, "FIG060_%02d_00.bmp" % tt), np.zeros((8, 8, 3), dtype=np.uint8),
                      np.ones((8, 8), dtype=bool))
    wanted = sheets()
    for season in (SUMMER, WINTER):
        for tt in TT:
            mine = [v for v, t, s in wanted if t == tt and s == season]
            if not mine:
                continue
            off, lit = _backgrounds(season, tt)
            for v in mine:
                base = _base(v, tt, off, lit)
                # the wall and window keep the background's colours exactly
                fixed = sorted({tuple(int(c) for c in p) for p in base.reshape(-1, 3)})
                q = io.write_bmp8(os.path.join(outdir, sheet_name(v, tt, season) + ".bmp"), sheet(v, tt, base),
                                  None, fixed)
                w = SCENES[v][1][0]
                for k in (0, SCENES[v][0] - 1):
                    assert np.array_equal(q[:, k * (w + 1):k * (w + 1) + w], base), \
                        "window scene %d: the empty window lost the background's colours" % v


def frame_headers():
    lines = ["// Frame tables of object 60 (window scenes): generated by tools/art from its descriptor.",
             "// The sheet pictures come from the same descriptor, so they always match.",
             "#pragma once", "", '#include "frame_entry.h"', "",
             "// Sheets FF_vvv_tt_ss: one row of frames per variant 1..13 (index 0 unused).",
             "constexpr int32_t kFig060Variants = 13;",
             "constexpr int32_t kFig060MaxFrames = %d;" % max(SCENES[v][0] for v in VARIANTS),
             "constexpr int32_t kFig060FrameCount[14] = {0, %s};" % ", ".join(str(SCENES[v][0]) for v in VARIANTS),
             "// The window light of each variant.",
             "constexpr int32_t kFig060Light[14] = {0, %s};" % ", ".join(str(SCENES[v][2]) for v in VARIANTS),
             "", "// {x, y, w, h} on the variant's sheet; frames past a variant's count are empty.",
             "inline constexpr FrameEntry kFig060Frames[14][%d] = {" % max(SCENES[v][0] for v in VARIANTS),
             "    {},"]
    for v in VARIANTS:
        cells = ", ".join("{%d, %d, %d, %d}" % frame_rect(v, k) for k in range(SCENES[v][0]))
        lines.append("    {%s},  // %d" % (cells, v))
    lines.append("};")
    return [("fig060_frames.h", "\n".join(lines) + "\n")]
