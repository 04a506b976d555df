"""The fixed objects of the street: EXIT sign (110), stop post (111), message
sign (112 and "MSG_"), the tram's props (113, 114), bollards (116), ticker
sheet (118), thermometer (119) and the vanish effect (131)."""
import math
import os

import numpy as np

from . import geometry as G
from . import imageio as io
from . import lighting as L
from . import sprite as SP
from .canvas import FONT_SANS, box, fill_stroke, fit_text, mix, rounded_rect, set_col, shade
from .frametables import Entry, header
from .resources import TT, res

SNOW = (0.97, 0.98, 1.0)


def _name(obj, tt, k):
    return "FIG%03d_%02d_%02d" % (obj, tt, k)


def resources():
    out = []
    for tt in TT:
        out.append(res(_name(110, tt, 0), *G.EXIT_SHEET))
        out.append(res(_name(111, tt, 0), *G.STOP_POST_SHEET))
        out.append(res(_name(112, tt, 0), *G.MSG_SIGN_SHEET))
        out.append(res(_name(113, tt, 0), 48, 160))
        out.append(res(_name(114, tt, 0), 40, 171))
        for d in range(3):
            out.append(res(_name(116, tt, d), *G.BOLLARD_SHEET))
        out.append(res(_name(118, tt, 0), 8, 8))
        out.append(res(_name(119, tt, 0), *G.GLYPH_SHEET_SIZE, key="opaque"))
        out.append(res(_name(119, tt, 1), *G.THERMOMETER_SIZE, key="opaque"))
        out.append(res(_name(131, tt, 0), *G.VANISH_SHEET))
        for lang in (1, 2):
            out.append(res("MSG_%02d_%02d" % (tt, lang), *G.MSG_SIGN_SHEET))
        out.append(res("MSG_%02d_X" % tt, *G.MSG_SIGN_SHEET))
    return out


def build(outdir):
    for tt in TT:
        w = lambda name, rgb, key=None: io.write_bmp8(os.path.join(outdir, name + ".bmp"), rgb, key)
        w(_name(110, tt, 0), *_exit_sheet(tt))
        w(_name(111, tt, 0), *_stop_post_sheet(tt))
        w(_name(112, tt, 0), *_msg_sheet(tt, None))
        for lang in (1, 2):
            w("MSG_%02d_%02d" % (tt, lang), *_msg_sheet(tt, lang))
        w("MSG_%02d_X" % tt, *_msg_sheet(tt, 0))
        w(_name(113, tt, 0), *SP.render(48, 160, _mast, tt))
        w(_name(114, tt, 0), *SP.render(40, 171, _tram_stop, tt))
        for d in range(3):
            w(_name(116, tt, d), *SP.render(G.BOLLARD_SHEET[0], G.BOLLARD_SHEET[1], _bollards(d), tt))
        rgb, key = SP.render(8, 8, lambda c, l, p: None, tt)
        w(_name(118, tt, 0), rgb, key)
        w(_name(119, tt, 0), _glyph_sheet(tt))
        w(_name(119, tt, 1), _thermometer(tt))
        w(_name(131, tt, 0), *_vanish_sheet(tt))


# ------------------------------------------------------------------ frame tables

def frame_headers():
    out = []
    ex = G.EXIT_SHEET
    out.append(header(110, "EXIT sign", [("FIG110_tt_00", ex[0], ex[1], "tt = time of day 01..03")], 64, 115,
                      [Entry(0, 0, 0, 64, 115, "EXIT sign (EXIT = 1)"),
                       Entry(1, 64, 0, 64, 115, "STOP sign (EXIT = 2)")],
                      ["// The button part of each frame that the scene step tests for a click.",
                       "constexpr FrameEntry kFig110Button = {%d, %d, %d, %d};" % tuple(G.EXIT_BUTTON)]))
    out.append(header(111, "stop post", [("FIG111_tt_00", G.STOP_POST_SHEET[0], G.STOP_POST_SHEET[1], "")], 32, 115,
                      [Entry(i, r.x, r.y, r.w, r.h, "post variant %d" % i)
                       for i, r in enumerate(G.STOP_POST_VARIANTS)]))
    ms = G.MSG_SIGN_SHEET
    out.append(header(112, "message sign", [("MSG_tt_ll / MSG_tt_X", ms[0], ms[1], "slot 1"),
                                            ("FIG112_tt_00", ms[0], ms[1], "slot 0, never drawn")], 80, 115,
                      [Entry(0, 0, 0, 80, 115, "no new note"), Entry(1, 80, 0, 80, 115, "a new note was written")]))
    out.append(header(113, "overhead line mast", [("FIG113_tt_00", 48, 160, "drawn whole")], 48, 160,
                      [Entry(0, 0, 0, 48, 160, "the mast")], ["constexpr int32_t kFig113Foot = %d;" % G.PROP113_FOOT]))
    out.append(header(114, "tram stop sign", [("FIG114_tt_00", 40, 171, "drawn whole")], 40, 171,
                      [Entry(0, 0, 0, 40, 171, "the sign")], ["constexpr int32_t kFig114Foot = %d;" % G.PROP114_FOOT]))
    out.append(header(116, "bollards", [("FIG116_tt_dd", 120, 40, "dd = design 00..02")], 120, 40,
                      [Entry(0, 0, 0, 120, 40, "a full group"), Entry(1, 0, 0, 7, 40, "a single post")]))
    out.append(header(119, "thermometer", [("FIG119_tt_00", G.GLYPH_SHEET_SIZE[0], G.GLYPH_SHEET_SIZE[1], "glyphs"),
                                           ("FIG119_tt_01", G.THERMOMETER_SIZE[0], G.THERMOMETER_SIZE[1],
                                            "the clean thermometer, drawn at (X, Y - 53)")], 4, 9,
                      [Entry(d, 5 * d, 0, 4, 9, "digit %d" % d) for d in range(10)] +
                      [Entry(10, 50, 0, 4, 9, "minus"), Entry(11, 53, 0, 4, 9, "blank"),
                       Entry(12, 8, 0, 2, 9, "the hundreds one"), Entry(13, 60, 0, 4, 1, "empty tube line"),
                       Entry(14, 60, 8, 4, 1, "warm mercury line"), Entry(15, 60, 6, 4, 1, "cold mercury line"),
                       Entry(16, 65, 0, 8, 7, "warm bulb"), Entry(17, 75, 0, 8, 7, "cold bulb")]))
    out.append(header(131, "vanish effect", [("FIG131_tt_00", G.VANISH_SHEET[0], G.VANISH_SHEET[1], "")], 72, 80,
                      [Entry(k, 72 * k, 0, 72, 80, "puff %d of 7" % (k + 1)) for k in range(7)]))
    return out


# ------------------------------------------------------------------ EXIT / STOP sign (110)

def _exit_frame(design):
    def draw(ctx, layer, phase):
        if layer == "base":
            # post
            box(ctx, 29, 38, 6, 76, "#8e949b", "#555a60", 1)
            set_col(ctx, "#c4c9ce")
            ctx.rectangle(30, 39, 1.5, 74)
            ctx.fill()
            box(ctx, 24, 110, 16, 5, "#6d7278", None, 1)
        if design == 0:
            # green emergency-exit style panel
            if layer == "base" or phase != L.DAY:
                c = "#1f9a4f" if layer == "base" else "#2fd06e"
                if layer == "glow" and phase == L.DUSK:
                    c = "#29b860"
                rounded_rect(ctx, 4, 7, 57, 34, 3)
                fill_stroke(ctx, c, "#0d4d26", 1.2)
                set_col(ctx, "#ffffff")
                ctx.set_line_width(1.2)
                rounded_rect(ctx, 6.5, 9.5, 52, 29, 2)
                ctx.stroke()
                fit_text(ctx, "EXIT", 27, 24.5, 34, 15, "#ffffff", FONT_SANS)
                # arrow
                ctx.move_to(47, 19)
                ctx.line_to(56, 24)
                ctx.line_to(47, 29)
                ctx.close_path()
                ctx.fill()
                ctx.rectangle(44, 22.5, 5, 3)
                ctx.fill()
        else:
            if layer == "base" or phase != L.DAY:
                c = "#d42a2a" if layer == "base" else "#ff4040"
                if layer == "glow" and phase == L.DUSK:
                    c = "#e83434"
                cx, cy, r = 32.5, 24, 17.5
                ctx.new_path()
                for k in range(8):
                    a = math.pi / 8 + k * math.pi / 4
                    ctx.line_to(cx + r * math.cos(a), cy + r * math.sin(a))
                ctx.close_path()
                fill_stroke(ctx, c, "#6d1010", 1.2)
                ctx.new_path()
                for k in range(8):
                    a = math.pi / 8 + k * math.pi / 4
                    ctx.line_to(cx + (r - 2.5) * math.cos(a), cy + (r - 2.5) * math.sin(a))
                ctx.close_path()
                set_col(ctx, "#ffffff")
                ctx.set_line_width(1.2)
                ctx.stroke()
                fit_text(ctx, "STOP", cx, cy, 24, 11, "#ffffff", FONT_SANS)
    return draw


def _exit_sheet(tt):
    rgb, key = SP.blank(*G.EXIT_SHEET)
    for d in range(2):
        r, k = SP.render(64, 115, _exit_frame(d), tt)
        SP.place(rgb, key, 64 * d, 0, r, k)
    return rgb, key


# ------------------------------------------------------------------ stop post (111)

def _stop_post(variant):
    def draw(ctx, layer, phase):
        if layer != "base":
            if variant == 2 and phase != L.DAY:
                # the timetable case is lit
                ctx.set_source_rgba(1.0, 0.95, 0.75, 0.9)
                ctx.rectangle(9, 55, 14, 20)
                ctx.fill()
            return
        box(ctx, 14, 20, 4, 95, "#9aa0a6", "#5b6066", 0.8)
        set_col(ctx, "#d9dde1")
        ctx.rectangle(14.7, 21, 1, 92)
        ctx.fill()
        if variant in (0, 1):
            # the round stop sign: green H on yellow
            cx, cy = 16, 14
            ctx.arc(cx, cy, 13, 0, 2 * math.pi)
            fill_stroke(ctx, "#f2c230", "#2d6b3a", 1.4)
            ctx.arc(cx, cy, 11, 0, 2 * math.pi)
            set_col(ctx, "#2d8a46")
            ctx.set_line_width(1)
            ctx.stroke()
            fit_text(ctx, "H", cx, cy + 0.3, 14, 14, "#2d8a46", FONT_SANS)
        else:
            box(ctx, 3, 2, 26, 24, "#f2c230", "#2d6b3a", 1.2)
            fit_text(ctx, "H", 16, 14, 14, 16, "#2d8a46", FONT_SANS)
        # the line numbers and the stop's name
        box(ctx, 4, 28, 24, 9, "#ffffff", "#3b4046", 0.8)
        fit_text(ctx, "Markt" if variant != 1 else "12  27", 16, 32.5, 20, 6, "#1f2a44", FONT_SANS)
        if variant == 1:
            box(ctx, 6, 39, 20, 7, "#e23b3b", "#7a1c1c", 0.8)
            fit_text(ctx, "BUS", 16, 42.5, 16, 5, "#ffffff", FONT_SANS)
        # the timetable case
        box(ctx, 8, 54, 16, 22, "#e6e9ec", "#5b6066", 0.8)
        set_col(ctx, "#ffffff")
        ctx.rectangle(9.5, 55.5, 13, 19)
        ctx.fill()
        set_col(ctx, "#7b8794")
        for k in range(6):
            ctx.rectangle(11, 58 + k * 2.8, 10 - (k % 2) * 3, 1)
        ctx.fill()
        if variant == 0:
            # a litter bin on the post
            box(ctx, 17, 82, 12, 14, "#d45a2a", "#6d2c14", 0.8)
            set_col(ctx, "#ffffff")
            ctx.rectangle(19, 86, 8, 1.2)
            ctx.fill()
        box(ctx, 11, 111, 10, 4, "#6d7278", None, 0.8)
    return draw


def _stop_post_sheet(tt):
    rgb, key = SP.blank(*G.STOP_POST_SHEET)
    for i, r in enumerate(G.STOP_POST_VARIANTS):
        rr, kk = SP.render(r.w, r.h, _stop_post(i), tt)
        SP.place(rgb, key, r.x, r.y, rr, kk)
    return rgb, key


# ------------------------------------------------------------------ message sign (112, "MSG_")

MSG_TEXT = {1: ("Nachrichten", "Keine neuen", "Neue Nachricht!"),
            2: ("Messages", "No new notes", "New message!")}


def _msg_frame(lang, new):
    def draw(ctx, layer, phase):
        board = (2, 7, 76, 48)
        if layer == "base":
            box(ctx, 37, 54, 6, 60, "#7d848b", "#4b5157", 1)
            box(ctx, 32, 110, 16, 5, "#5f656b", None, 1)
            rounded_rect(ctx, *board, 4)
            fill_stroke(ctx, "#2b3a55", "#141c2b", 1.4)
            set_col(ctx, "#c9d2df")
            ctx.set_line_width(0.8)
            rounded_rect(ctx, board[0] + 2, board[1] + 2, board[2] - 4, board[3] - 4, 3)
            ctx.stroke()
        if lang is None:
            return
        lit = layer == "glow"
        if (phase == L.DAY) == lit:
            # by day the lettering is paint; at dusk and night it glows
            return
        title_c = "#f4f0d8"
        if lang == 0:
            # an envelope, closed or with a red badge
            ex, ey, ew, eh = 20, 16, 40, 28
            box(ctx, ex, ey, ew, eh, "#f6f3e8", "#6b6a62", 1)
            set_col(ctx, "#6b6a62")
            ctx.set_line_width(1)
            ctx.move_to(ex, ey)
            ctx.line_to(ex + ew / 2, ey + eh * 0.55)
            ctx.line_to(ex + ew, ey)
            ctx.stroke()
            if new:
                ctx.arc(ex + ew - 2, ey + 2, 7, 0, 2 * math.pi)
                fill_stroke(ctx, "#e0302a", "#7a1410", 1)
                fit_text(ctx, "!", ex + ew - 2, ey + 2.5, 6, 9, "#ffffff", FONT_SANS)
            return
        title, none_txt, new_txt = MSG_TEXT[lang]
        fit_text(ctx, title, 40, 17, 66, 10, title_c, FONT_SANS)
        set_col(ctx, "#c9d2df")
        ctx.rectangle(10, 24, 60, 0.8)
        ctx.fill()
        if new:
            fit_text(ctx, new_txt, 40, 36, 68, 10, "#ffcf3a", FONT_SANS)
            # a little note with a pin
            box(ctx, 30, 42, 20, 9, "#fff6b0", "#a08a30", 0.8)
            set_col(ctx, "#e0302a")
            ctx.arc(40, 42.5, 1.6, 0, 2 * math.pi)
            ctx.fill()
        else:
            fit_text(ctx, none_txt, 40, 37, 66, 9, "#aab6c8", FONT_SANS, bold=False)
    return draw


def _msg_sheet(tt, lang):
    rgb, key = SP.blank(*G.MSG_SIGN_SHEET)
    for k in range(2):
        r, kk = SP.render(80, 115, _msg_frame(lang, k == 1), tt)
        SP.place(rgb, key, 80 * k, 0, r, kk)
    return rgb, key


# ------------------------------------------------------------------ tram props (113, 114)

def _mast(ctx, layer, phase):
    if layer != "base":
        return
    # a lattice mast of the overhead line with its span-wire bracket
    box(ctx, 8, 4, 8, 155, "#6f7a5e", "#3c4433", 1)
    set_col(ctx, "#4f5843")
    ctx.set_line_width(0.8)
    for y in range(8, 150, 10):
        ctx.move_to(9, y)
        ctx.line_to(15, y + 10)
        ctx.move_to(15, y)
        ctx.line_to(9, y + 10)
    ctx.stroke()
    box(ctx, 5, 152, 14, 8, "#8b8f94", "#4d5156", 1)
    box(ctx, 6, 0, 12, 6, "#6f7a5e", "#3c4433", 1)
    # bracket arm and insulators
    set_col(ctx, "#3c4433")
    ctx.set_line_width(2)
    ctx.move_to(16, 14)
    ctx.line_to(46, 14)
    ctx.stroke()
    ctx.set_line_width(1)
    ctx.move_to(16, 26)
    ctx.line_to(40, 14)
    ctx.stroke()
    for x in (30, 44):
        box(ctx, x - 2, 15, 4, 6, "#c85a3a", "#6d2c18", 0.6)
    # a small timetable frame for the tram
    box(ctx, 17, 70, 14, 20, "#f4f4f0", "#3c4433", 0.8)
    set_col(ctx, "#6b7684")
    for k in range(5):
        ctx.rectangle(19, 73 + k * 3, 10 - (k % 2) * 3, 1)
    ctx.fill()


def _tram_stop(ctx, layer, phase):
    if layer == "glow":
        if phase != L.DAY:
            ctx.set_source_rgba(1.0, 0.95, 0.7, 0.85)
            ctx.rectangle(8, 50, 22, 16)
            ctx.fill()
        return
    box(ctx, 17, 30, 5, 140, "#9aa0a6", "#5b6066", 0.8)
    box(ctx, 12, 165, 15, 6, "#6d7278", None, 0.8)
    # "H" with a tram symbol
    box(ctx, 5, 2, 30, 28, "#f2c230", "#2d6b3a", 1.2)
    fit_text(ctx, "H", 20, 11, 14, 12, "#2d8a46", FONT_SANS)
    box(ctx, 10, 19, 20, 8, "#2d8a46", None, 0.6)
    set_col(ctx, "#f2c230")
    for k in range(3):
        ctx.rectangle(12 + k * 6, 21, 4, 3)
    ctx.fill()
    box(ctx, 7, 34, 26, 9, "#ffffff", "#3b4046", 0.8)
    fit_text(ctx, "Tram 4", 20, 38.5, 22, 6, "#1f2a44", FONT_SANS)
    box(ctx, 7, 48, 24, 20, "#e6e9ec", "#5b6066", 0.8)
    set_col(ctx, "#7b8794")
    for k in range(5):
        ctx.rectangle(10, 52 + k * 3, 17 - (k % 2) * 5, 1)
    ctx.fill()


# ------------------------------------------------------------------ bollards (116)

def _bollards(design):
    def draw(ctx, layer, phase):
        if layer != "base":
            return
        if design == 0:
            # cast-iron posts with a hanging chain to the next group
            c = "#2f3a33"
            ctx.set_line_width(1.4)
            set_col(ctx, "#50555a")
            ctx.move_to(5, 12)
            ctx.curve_to(40, 30, 80, 30, 122, 12)
            ctx.stroke()
            set_col(ctx, "#8a9096")
            ctx.set_line_width(0.6)
            ctx.move_to(5, 11.4)
            ctx.curve_to(40, 29.4, 80, 29.4, 122, 11.4)
            ctx.stroke()
            box(ctx, 1, 8, 5, 32, c, "#151b17", 0.8)
            ctx.arc(3.5, 7, 3, 0, 2 * math.pi)
            fill_stroke(ctx, c, "#151b17", 0.8)
            set_col(ctx, "#c9a24a")
            ctx.rectangle(1, 14, 5, 1.5)
            ctx.fill()
        elif design == 1:
            # steel posts with a red and white rail
            box(ctx, 1, 6, 5, 34, "#b9c0c6", "#5b6066", 0.8)
            for k in range(12):
                set_col(ctx, "#d43a2f" if k % 2 == 0 else "#f4f4f0")
                ctx.rectangle(6 + k * 10, 9, 10, 4)
                ctx.fill()
            set_col(ctx, "#5b6066")
            ctx.set_line_width(0.6)
            ctx.rectangle(6, 9, 114, 4)
            ctx.stroke()
            box(ctx, 0, 4, 7, 4, "#d9dde1", "#5b6066", 0.8)
        else:
            # stone bollards, one at the group's start and one in its middle
            for x in (0, 60):
                ctx.move_to(x + 0.5, 40)
                ctx.line_to(x + 0.5, 14)
                ctx.curve_to(x + 0.5, 5, x + 6.5, 5, x + 6.5, 14)
                ctx.line_to(x + 6.5, 40)
                ctx.close_path()
                fill_stroke(ctx, "#c3bcae", "#6f685c", 0.8)
                set_col(ctx, "#e6e0d4")
                ctx.rectangle(x + 1.5, 12, 1.2, 26)
                ctx.fill()
                set_col(ctx, "#6f685c")
                ctx.rectangle(x + 0.5, 20, 6, 1)
                ctx.fill()
    return draw


# ------------------------------------------------------------------ thermometer (119)

THERMO_PLATE = (0.96, 0.95, 0.9)


def _glyph_sheet(tt):
    """Opaque glyphs: digits, minus, blank, tube and mercury lines, bulbs."""
    w, h = G.GLYPH_SHEET_SIZE
    plate = L.apply_color(THERMO_PLATE, tt)
    ink = L.apply_color((0.12, 0.14, 0.2), tt)
    img = np.zeros((h, w, 3), dtype=np.float32)
    img[:] = plate
    for d in range(10):
        for (x, y) in _digit_pixels(d):
            img[y, 5 * d + x] = ink
    for x in range(3):           # minus in 50..52; column 53 stays blank
        img[4, 50 + x] = ink
    tube = L.apply_color((0.82, 0.86, 0.9), tt)
    img[0, 60:64] = [shade(tube, -0.3), tube, tube, shade(tube, -0.3)]
    warm = (0.86, 0.16, 0.14)
    cold = (0.2, 0.42, 0.86)
    img[8, 60:64] = [shade(warm, -0.3), warm, warm, shade(warm, -0.3)]
    img[6, 60:64] = [shade(cold, -0.3), cold, cold, shade(cold, -0.3)]
    for x0, c in ((65, warm), (75, cold)):
        for y in range(7):
            for x in range(8):
                dx, dy = x - 3.5, y - 3.2
                if dx * dx + dy * dy <= 12.5:
                    img[y, x0 + x] = c if dx * dx + dy * dy < 7 else shade(c, -0.35)
                    if dx < -1 and dy < -1 and dx * dx + dy * dy < 6:
                        img[y, x0 + x] = shade(c, 0.35)
    return np.clip(np.rint(img * 255), 0, 255).astype(np.uint8)


# 4 x 9 digits; digit 1 keeps its stroke in its last column, as the hundreds one
_DIGITS = {
    0: ["0110", "1001", "1001", "1001", "1001", "1001", "1001", "1001", "0110"],
    1: ["0011", "0101", "0001", "0001", "0001", "0001", "0001", "0001", "0001"],
    2: ["0110", "1001", "0001", "0001", "0010", "0100", "1000", "1000", "1111"],
    3: ["1110", "0001", "0001", "0001", "0110", "0001", "0001", "0001", "1110"],
    4: ["0010", "0110", "1010", "1010", "1111", "0010", "0010", "0010", "0010"],
    5: ["1111", "1000", "1000", "1110", "0001", "0001", "0001", "1001", "0110"],
    6: ["0110", "1000", "1000", "1110", "1001", "1001", "1001", "1001", "0110"],
    7: ["1111", "0001", "0001", "0010", "0010", "0100", "0100", "0100", "0100"],
    8: ["0110", "1001", "1001", "1001", "0110", "1001", "1001", "1001", "0110"],
    9: ["0110", "1001", "1001", "1001", "0111", "0001", "0001", "0001", "0110"],
}


def _digit_pixels(d):
    for y, row in enumerate(_DIGITS[d]):
        for x, c in enumerate(row):
            if c == "1":
                yield x, y


def _thermometer(tt):
    w, h = G.THERMOMETER_SIZE

    def draw(ctx, layer, phase):
        if layer != "base":
            return
        set_col(ctx, "#6b6f78")
        ctx.paint()
        rounded_rect(ctx, 0.5, 0.5, w - 1, h - 1, 3)
        fill_stroke(ctx, THERMO_PLATE, "#6b6f78", 1)
        # scale marks beside the tube (tube x 7..10, y 4..43)
        set_col(ctx, "#6b6f78")
        for k in range(9):
            y = 43 - k * 5
            ctx.rectangle(3, y, 3 if k % 2 == 0 else 2, 0.8)
            ctx.rectangle(11, y, 3 if k % 2 == 0 else 2, 0.8)
        ctx.fill()
        set_col(ctx, (0.82, 0.86, 0.9))
        ctx.rectangle(7, 4, 4, 40)
        ctx.fill()
        ctx.arc(9, 46, 4, 0, 2 * math.pi)
        ctx.fill()
        # the reading's field
        set_col(ctx, THERMO_PLATE)
        ctx.rectangle(0.5, 52, 15, 11)
        ctx.fill()
        set_col(ctx, "#6b6f78")
        ctx.rectangle(1, 51.5, 14, 0.8)
        ctx.fill()
    return SP.opaque(w, h, draw, tt)


# ------------------------------------------------------------------ vanish effect (131)

def _vanish_sheet(tt):
    rgb, key = SP.blank(*G.VANISH_SHEET)
    rnd = np.random.default_rng(131)
    puffs = [(rnd.uniform(-1, 1), rnd.uniform(-1, 1), rnd.uniform(0.5, 1.0)) for _ in range(14)]
    sparks = [(rnd.uniform(0, 2 * math.pi), rnd.uniform(0.6, 1.0)) for _ in range(10)]
    for k in range(7):
        t = (k + 1) / 7.0

        def draw(ctx, layer, phase, t=t):
            cx, cy = 36, 48
            if layer == "base":
                spread = 8 + 22 * t
                fade = 1.0 if t < 0.6 else max(0.0, 1 - (t - 0.6) / 0.45)
                for px, py, s in puffs:
                    r = (5 + 9 * t) * s
                    x, y = cx + px * spread, cy + py * spread * 0.8 - 10 * t
                    ctx.arc(x, y, r, 0, 2 * math.pi)
                    set_col(ctx, mix("#f4f2ee", "#c9c6d4", 0.3 + 0.4 * (py + 1) / 2), 1.0 if fade > 0.55 else 0.0)
                    ctx.fill()
            else:
                if t > 0.85:
                    return
                for a, s in sparks:
                    d = (10 + 26 * t) * s
                    x, y = cx + math.cos(a) * d, cy + math.sin(a) * d * 0.8 - 8 * t
                    set_col(ctx, "#fff3a0")
                    _star(ctx, x, y, 2.5 + 2 * (1 - t))
        r, kk = SP.render(72, 80, draw, tt)
        SP.place(rgb, key, 72 * k, 0, r, kk)
    return rgb, key


def _star(ctx, x, y, r):
    ctx.new_path()
    for i in range(8):
        a = i * math.pi / 4
        rr = r if i % 2 == 0 else r * 0.4
        ctx.line_to(x + math.cos(a) * rr, y + math.sin(a) * rr)
    ctx.close_path()
    ctx.fill()
