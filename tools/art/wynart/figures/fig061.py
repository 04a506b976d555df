"""Figure 61's sheet: the group's own frames lie below row 480; above it lie
the parts of the van that brings the group (object 71), which draws them
from this sheet: its body, three wheel strips, five driver sets of four
frames, the sliding door opening in ten frames, the door standing open and
the rear door open while the group gets out. The van faces left (it drives
leftwards), its cab at the front; object 71's own sheet is a placeholder
that is loaded but never drawn."""
import math
import os

import cairo

from .. import imageio as io
from .. import sprite as SP
from ..canvas import FONT_SANS, box, fill_stroke, fit_text, rounded_rect, set_col, shade
from ..figure import Figure, Look, Pose
from ..frametables import Entry, header
from ..resources import TT, res

from . import visitors as V

SHEET = (1060, V.TOP + 5 * V.CELL_H + V.DOOR_H)   # the van's parts above row 480, the group below
BODY = (0, 0, 240, 119)
WHEEL_Y = (120, 162, 204)
WHEEL_STRIP = (200, 41)
WHEEL_ROW = 78                       # the strip's first row in the body
DOOR_X = (241, 322, 403, 484, 565, 646, 727, 808, 889, 970)
DOOR_H = (78, 78, 82, 83, 90, 99, 117, 117, 116, 116)
DOOR_AT = 13                         # the door frames' x in the body
DOOR_STANDING = (201, 120, 48, 82)
OPEN_DOOR = (0, 366, 88, 112)
DRIVER_AT = (40, 19)

PAINT = "#e0e4e8"
STRIPE = "#c8402a"
GLASS = "#5f7f9a"
INTERIOR = "#3a3e46"
WHEELS = (44, 182)
WHEEL_R = 13.0
WHEEL_CY = 118 - WHEEL_R


def _wheel(ctx, cx, cy, turn):
    ctx.arc(cx, cy, WHEEL_R, 0, 2 * math.pi)
    fill_stroke(ctx, "#26262a", "#151518", 0.9)
    ctx.arc(cx, cy, WHEEL_R * 0.6, 0, 2 * math.pi)
    fill_stroke(ctx, "#c4c8d0", "#5c6068", 0.8)
    set_col(ctx, "#4c5058")
    ctx.set_line_width(1.5)
    for k in range(5):
        a = math.radians(turn + k * 72)
        ctx.move_to(cx + math.cos(a) * WHEEL_R * 0.16, cy + math.sin(a) * WHEEL_R * 0.16)
        ctx.line_to(cx + math.cos(a) * WHEEL_R * 0.56, cy + math.sin(a) * WHEEL_R * 0.56)
    ctx.stroke()


def _body(ctx):
    ctx.new_path()
    ctx.move_to(3, 108)
    ctx.line_to(3, 62)
    ctx.curve_to(3, 48, 14, 22, 30, 14)
    ctx.curve_to(34, 10, 40, 8, 48, 8)
    ctx.line_to(228, 8)
    ctx.curve_to(234, 8, 237, 12, 237, 18)
    ctx.line_to(237, 108)
    ctx.close_path()
    fill_stroke(ctx, PAINT, shade(PAINT, -0.55), 0.9)
    box(ctx, 4, 70, 232, 7, STRIPE, shade(STRIPE, -0.4), 0.6)
    fit_text(ctx, "Wendelby Reisen", 150, 88, 110, 10, STRIPE, FONT_SANS)
    # windscreen, cab window with the driver behind it, side windows
    ctx.new_path()
    ctx.move_to(8, 58)
    ctx.curve_to(12, 44, 20, 30, 31, 20)
    ctx.line_to(38, 20)
    ctx.line_to(38, 58)
    ctx.close_path()
    fill_stroke(ctx, GLASS, shade(GLASS, -0.5), 0.8)
    box(ctx, 96, 20, 36, 34, GLASS, shade(GLASS, -0.5), 0.8, r=2)
    box(ctx, 136, 20, 36, 34, GLASS, shade(GLASS, -0.5), 0.8, r=2)
    box(ctx, 176, 20, 36, 34, GLASS, shade(GLASS, -0.5), 0.8, r=2)
    # the sliding door's seams and handle
    set_col(ctx, shade(PAINT, -0.45))
    ctx.set_line_width(0.8)
    ctx.rectangle(58, 22, 34, 84)
    ctx.stroke()
    box(ctx, 62, 66, 6, 2, "#5a5e66", None, 0)
    # rear door seam
    ctx.move_to(216, 12)
    ctx.line_to(216, 106)
    ctx.stroke()
    box(ctx, 3, 92, 5, 6, "#f6f0d0", "#7a7a70", 0.6)
    box(ctx, 234, 84, 3.5, 9, "#c0302a", "#6a1a16", 0.6)
    box(ctx, 2, 104, 236, 5, "#3a3e46", None, 0)
    for cx in WHEELS:
        set_col(ctx, "#1c1c20")
        ctx.arc(cx, WHEEL_CY, WHEEL_R + 2.5, math.pi, 2 * math.pi)
        ctx.line_to(cx + WHEEL_R + 2.5, 110)
        ctx.line_to(cx - WHEEL_R - 2.5, 110)
        ctx.close_path()
        ctx.fill()
        _wheel(ctx, cx, WHEEL_CY, 0)
    # the cab window: the driver is drawn into it from his own frames
    box(ctx, 40, 20, 40, 22, GLASS, shade(GLASS, -0.5), 0.8, r=2)


DRIVER = Look(height=78, hair="#4a3a2a", hair_style="short", skin="#e9b894", top="#c8402a", top_kind="shirt",
              beard="#4a3a2a", glasses=True)
# per set: the view of his head, frame by frame
SETS = {
    4: [dict(head="side", head_facing=-1)] * 2 + [dict(head="front")] * 2,
    8: [dict(head="side", head_facing=-1), dict(head="front"), dict(head="side", head_facing=-1),
        dict(head="front", mouth="smile")],
    12: [dict(head="front"), dict(head="side", head_facing=1), dict(head="front"), dict(head="side", head_facing=-1)],
    16: [dict(head="side", head_facing=-1), dict(head="front"), dict(head="side", head_facing=1),
         dict(head="back")],
    20: [dict(head="front", mouth="smile"), dict(head="side", head_facing=1), dict(head="side", head_facing=1),
         dict(head="front", mouth="open")],
}


def _driver(kw):
    def draw(ctx, layer, phase):
        if layer != "base":
            return
        rounded_rect(ctx, 1, 2, 38, 20, 2)
        ctx.clip()
        set_col(ctx, INTERIOR)
        ctx.paint()
        pose = Pose(view="front", near_arm=(5, 0), far_arm=(5, 0), lean=0, ground=False, **kw)
        ctx.translate(20, 4 + DRIVER.height * 0.99)
        Figure(DRIVER).draw(ctx, pose, 0, 0)
    return draw


def _door_frame(k):
    """The sliding door k tenths open, over the van's front part."""
    def draw(ctx, layer, phase):
        if layer != "base":
            return
        ctx.translate(-DOOR_AT, 0)
        ctx.rectangle(DOOR_AT, 0, 80, DOOR_H[k])
        ctx.clip()
        _body(ctx)
        # the opening behind the door
        t = k / 9.0
        box(ctx, 58, 22, 34, 84, INTERIOR, None, 0)
        step = 2 + int(t * 3)
        set_col(ctx, "#5a5e66")
        ctx.rectangle(58, 106 - step, 34, step)
        ctx.fill()
        # the door panel slides back and out
        dx = 4 + 30 * t
        box(ctx, 58 + dx, 22 - 2 * t, 34, 84 + 4 * t, shade(PAINT, -0.05), shade(PAINT, -0.55), 0.9, r=1)
        box(ctx, 58 + dx, 70, 34, 7, STRIPE, None, 0)
    return draw


def _door_standing(ctx, layer, phase):
    if layer != "base":
        return
    box(ctx, 2, 1, 44, 80, INTERIOR, None, 0)
    box(ctx, 10, 0, 36, 82, shade(PAINT, -0.05), shade(PAINT, -0.55), 0.9, r=1)
    box(ctx, 10, 32, 36, 7, STRIPE, None, 0)


def _open_door(ctx, layer, phase):
    """The rear door swung open, standing out behind the van."""
    if layer != "base":
        return
    box(ctx, 1, 15, 26, 94, INTERIOR, shade(PAINT, -0.55), 0.8)
    ctx.new_path()
    ctx.move_to(24, 14)
    ctx.line_to(86, 2)
    ctx.line_to(86, 108)
    ctx.line_to(24, 110)
    ctx.close_path()
    fill_stroke(ctx, shade(PAINT, -0.12), shade(PAINT, -0.55), 0.9)
    ctx.move_to(36, 22)
    ctx.line_to(80, 14)
    ctx.line_to(80, 46)
    ctx.line_to(36, 50)
    ctx.close_path()
    fill_stroke(ctx, GLASS, shade(GLASS, -0.5), 0.8)
    set_col(ctx, STRIPE)
    ctx.move_to(24, 72)
    ctx.line_to(86, 70)
    ctx.line_to(86, 77)
    ctx.line_to(24, 79)
    ctx.close_path()
    ctx.fill()


def _wheels_only(turn):
    def draw(ctx, layer, phase):
        if layer != "base":
            return
        ctx.translate(0, -WHEEL_ROW)
        for cx in WHEELS:
            _wheel(ctx, cx, WHEEL_CY, turn)
    return draw


def _simple(f):
    def draw(ctx, layer, phase):
        if layer == "base":
            f(ctx)
    return draw


def sheet(tt):
    rgb, key = SP.blank(*SHEET)
    SP.place(rgb, key, 0, 0, *SP.render(240, 119, _simple(_body), tt))
    for k, y in enumerate(WHEEL_Y):
        SP.place(rgb, key, 0, y, *SP.render(WHEEL_STRIP[0], WHEEL_STRIP[1], _wheels_only(18.0 * (k + 1)), tt))
    for s, views in SETS.items():
        for i, kw in enumerate(views):
            SP.place(rgb, key, 41 * i, 246 + 24 * ((s - 4) // 4), *SP.render(40, 23, _driver(kw), tt))
    for k in range(10):
        SP.place(rgb, key, DOOR_X[k], 0, *SP.render(80, DOOR_H[k], _door_frame(k), tt))
    SP.place(rgb, key, DOOR_STANDING[0], DOOR_STANDING[1], *SP.render(48, 82, _door_standing, tt))
    SP.place(rgb, key, OPEN_DOOR[0], OPEN_DOOR[1], *SP.render(88, 112, _open_door, tt))
    _place_group(rgb, key, V.group_frames(), V.TOP, (V.HER, V.HIM), tt)
    return rgb, key


def _group_draw(draw, looks):
    def d(ctx, layer, phase):
        if layer == "base":
            draw(ctx, looks)
    return d


def _place_group(rgb, key, frames, top, looks, tt):
    for i, (what, h, draw) in enumerate(frames):
        x, y = V.cell(i, top)
        SP.place(rgb, key, x, y, *SP.render(56, h, _group_draw(draw, looks), tt))


def extra_sheet(frames):
    rgb, key = SP.blank(*V.extra_size(len(frames)))
    _place_group(rgb, key, frames, 0, (V.HER_SMART, V.HIM_SMART), 1)
    return rgb, key


def _entries(frames, top, first=0):
    out = []
    for i, (what, h, _) in enumerate(frames):
        x, y = V.cell(i, top)
        out.append(Entry(first + i, x, y, 56, h, "group " + what))
    return out


def _table_lines(name, frames):
    lines = ["", "// %s: {x, y, w, h} on its extra sheet." % name,
             "inline constexpr FrameEntry k%s[%d] = {" % (name, len(frames))]
    for e in _entries(frames, 0):
        lines.append("    {%d, %d, %d, %d},  // %d %s" % (e.x, e.y, e.w, e.h, e.idx, e.what))
    lines.append("};")
    return lines


def _placeholder(ctx, layer, phase):
    if layer == "base":
        box(ctx, 1, 1, 14, 6, PAINT, shade(PAINT, -0.55), 0.8)


def resources():
    out = [res("FIG061_%02d_00" % tt, *SHEET) for tt in TT]
    out += [res("FIG061_01_01", *V.extra_size(V.WAY_IN_COUNT)), res("FIG061_01_02", *V.extra_size(V.WAY_OUT_COUNT))]
    out += [res("FIG071_%02d_00" % tt, 16, 8) for tt in TT]
    return out


def build(outdir):
    for tt in TT:
        io.write_bmp8(os.path.join(outdir, "FIG061_%02d_00.bmp" % tt), *sheet(tt))
        io.write_bmp8(os.path.join(outdir, "FIG071_%02d_00.bmp" % tt), *SP.render(16, 8, _placeholder, tt))
    # the group's looks on the way in and out: by day only, as the van comes only by day
    io.write_bmp8(os.path.join(outdir, "FIG061_01_01.bmp"), *extra_sheet(V.way_in_frames()))
    io.write_bmp8(os.path.join(outdir, "FIG061_01_02.bmp"), *extra_sheet(V.way_out_frames()))


def frame_headers():
    entries = [Entry(0, *BODY, "van body")]
    entries += [Entry(1 + k, 0, y, WHEEL_STRIP[0], WHEEL_STRIP[1], "van wheel strip %d" % (k + 1))
                for k, y in enumerate(WHEEL_Y)]
    for s in SETS:
        for i in range(4):
            entries.append(Entry(s + i, 41 * i, 246 + 24 * ((s - 4) // 4), 40, 23, "van driver set %d, frame %d" % (s, i)))
    for k in range(10):
        entries.append(Entry(24 + k, DOOR_X[k], 0, 80, DOOR_H[k], "van door opening, frame %d" % k))
    entries.append(Entry(34, *DOOR_STANDING, "van door standing open"))
    entries.append(Entry(35, *OPEN_DOOR, "van rear door open while the group acts"))
    entries += _entries(V.group_frames(), V.TOP, V.GROUP_FIRST)
    extra = ["constexpr int32_t kFig061GroupFirst = %d;" % V.GROUP_FIRST]
    extra += _table_lines("Fig061WayInFrames", V.way_in_frames())
    extra += _table_lines("Fig061WayOutFrames", V.way_out_frames())
    return [header(61, "group and its van", [("FIG061_tt_00", SHEET[0], SHEET[1], "the van's parts above row 480"),
                                             ("FIG061_01_01", *V.extra_size(V.WAY_IN_COUNT), "the look on the way in"),
                                             ("FIG061_01_02", *V.extra_size(V.WAY_OUT_COUNT), "the look on the way out")],
                   240, 119, entries, extra)]
