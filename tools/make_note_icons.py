#!/usr/bin/env python3
"""Draws the notes companion's icons and writes them as .ico files.

    make_note_icons.py OUTDIR

Each icon is drawn with cairo on a 32 x 32 canvas (NOTE_EDIT also at 16 x 16)
and stored as a 32-bit image with alpha plus the 1-bit mask older Windows
versions use. The "_OFF" icons are the same drawings greyed out, for buttons
that cannot be used at the moment.
"""
import math
import os
import struct
import sys

import cairo


def rgb(hex_colour):
    return tuple(int(hex_colour[i:i + 2], 16) / 255.0 for i in (1, 3, 5))


def rounded_rect(cr, x, y, w, h, r):
    cr.new_sub_path()
    cr.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    cr.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    cr.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    cr.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    cr.close_path()


def fill_stroke(cr, fill, line, width=1.0):
    cr.set_source_rgb(*rgb(fill))
    cr.fill_preserve()
    cr.set_source_rgb(*rgb(line))
    cr.set_line_width(width)
    cr.stroke()


def round_button(cr):
    # A green pad lit from the upper left.
    grad = cairo.RadialGradient(11, 10, 2, 16, 16, 15)
    grad.add_color_stop_rgb(0, *rgb("#8fd67a"))
    grad.add_color_stop_rgb(1, *rgb("#3f8f35"))
    cr.arc(16, 16, 14, 0, 2 * math.pi)
    cr.set_source(grad)
    cr.fill_preserve()
    cr.set_source_rgb(*rgb("#2a6424"))
    cr.set_line_width(1.2)
    cr.stroke()


def arrow(cr, pointing_left):
    pts = [(23, 13), (15, 13), (15, 8), (7, 16), (15, 24), (15, 19), (23, 19)]
    if not pointing_left:
        pts = [(32 - x, y) for x, y in pts]
    cr.move_to(*pts[0])
    for p in pts[1:]:
        cr.line_to(*p)
    cr.close_path()
    fill_stroke(cr, "#fdfbf2", "#2a6424", 1.0)


def draw_back(cr):
    round_button(cr)
    arrow(cr, True)


def draw_forw(cr):
    round_button(cr)
    arrow(cr, False)


def draw_del(cr):
    # A waste bin with its lid and ribs.
    cr.move_to(8, 10)
    cr.line_to(24, 10)
    cr.line_to(22, 29)
    cr.line_to(10, 29)
    cr.close_path()
    grad = cairo.LinearGradient(8, 0, 24, 0)
    grad.add_color_stop_rgb(0, *rgb("#9fb6c8"))
    grad.add_color_stop_rgb(1, *rgb("#5d7a91"))
    cr.set_source(grad)
    cr.fill_preserve()
    cr.set_source_rgb(*rgb("#33495a"))
    cr.set_line_width(1.2)
    cr.stroke()
    cr.set_line_width(1.2)
    for x0, x1 in ((12.5, 13), (16, 16), (19.5, 19)):
        cr.move_to(x0, 13)
        cr.line_to(x1, 26)
    cr.set_source_rgb(*rgb("#33495a"))
    cr.stroke()
    rounded_rect(cr, 6, 6, 20, 4, 1.5)
    fill_stroke(cr, "#b9cad8", "#33495a", 1.1)
    rounded_rect(cr, 13, 3, 6, 3.5, 1.2)
    fill_stroke(cr, "#b9cad8", "#33495a", 1.0)
    # A crumpled red note peeking out.
    cr.move_to(17, 6)
    cr.line_to(22, 1.5)
    cr.line_to(25, 4.5)
    cr.line_to(21, 6)
    cr.close_path()
    fill_stroke(cr, "#f2d24b", "#9a7a12", 0.8)


def draw_help(cr):
    cr.arc(16, 16, 14, 0, 2 * math.pi)
    grad = cairo.RadialGradient(11, 10, 2, 16, 16, 15)
    grad.add_color_stop_rgb(0, *rgb("#8cc2f0"))
    grad.add_color_stop_rgb(1, *rgb("#2e6aa8"))
    cr.set_source(grad)
    cr.fill_preserve()
    cr.set_source_rgb(*rgb("#1d4673"))
    cr.set_line_width(1.2)
    cr.stroke()
    cr.set_source_rgb(*rgb("#ffffff"))
    cr.select_font_face("Liberation Sans", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    cr.set_font_size(22)
    ext = cr.text_extents("?")
    cr.move_to(16 - ext.width / 2 - ext.x_bearing, 16 - ext.height / 2 - ext.y_bearing)
    cr.show_text("?")


def draw_exit(cr):
    # A door frame with the door swung half open and light behind it.
    rounded_rect(cr, 6, 3, 20, 27, 1.5)
    fill_stroke(cr, "#fff3b8", "#6b4a2b", 1.2)
    cr.move_to(8, 5)
    cr.line_to(19, 8)
    cr.line_to(19, 31)
    cr.line_to(8, 28)
    cr.close_path()
    grad = cairo.LinearGradient(8, 0, 19, 0)
    grad.add_color_stop_rgb(0, *rgb("#b97a45"))
    grad.add_color_stop_rgb(1, *rgb("#8a5528"))
    cr.set_source(grad)
    cr.fill_preserve()
    cr.set_source_rgb(*rgb("#5a3517"))
    cr.set_line_width(1.1)
    cr.stroke()
    cr.arc(16.5, 18, 1.3, 0, 2 * math.pi)
    cr.set_source_rgb(*rgb("#f4d35e"))
    cr.fill()


def draw_edit(cr):
    # A note pad with ruled lines and a pencil across it.
    rounded_rect(cr, 5, 3, 19, 26, 1.5)
    fill_stroke(cr, "#fff6b0", "#8d7a2a", 1.1)
    cr.set_source_rgb(*rgb("#c9a33a"))
    cr.rectangle(5, 3, 19, 4)
    cr.fill()
    cr.set_source_rgb(*rgb("#8da9c4"))
    cr.set_line_width(1.0)
    for y in (11.5, 15.5, 19.5, 23.5):
        cr.move_to(8, y)
        cr.line_to(21, y)
    cr.stroke()
    cr.save()
    cr.translate(20, 20)
    cr.rotate(-math.pi / 4)
    cr.rectangle(-2.5, -12, 5, 16)
    fill_stroke(cr, "#f08a24", "#7a3f0b", 1.0)
    cr.move_to(-2.5, 4)
    cr.line_to(2.5, 4)
    cr.line_to(0, 9)
    cr.close_path()
    fill_stroke(cr, "#f1d3a5", "#7a3f0b", 0.9)
    cr.rectangle(-2.5, -14.5, 5, 2.5)
    fill_stroke(cr, "#e86f8e", "#7a3f0b", 0.9)
    cr.restore()


def render(draw, size, greyed=False):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, size, size)
    cr = cairo.Context(surface)
    cr.scale(size / 32.0, size / 32.0)
    draw(cr)
    surface.flush()
    data = bytearray(surface.get_data())
    stride = surface.get_stride()
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            b, g, r, a = data[y * stride + 4 * x:y * stride + 4 * x + 4]
            if a:
                # Un-premultiply: icons store straight alpha.
                r, g, b = (min(255, c * 255 // a) for c in (r, g, b))
            if greyed:
                grey = (r * 30 + g * 59 + b * 11) // 100
                grey = 125 + grey * 100 // 255
                r = g = b = grey
                a = a * 75 // 100
            row.append((b, g, r, a))
        pixels.append(row)
    return pixels


def icon_image(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(pixels):
        for b, g, r, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def write_ico(path, images):
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    blobs = []
    for pixels in images:
        size = len(pixels)
        blob = icon_image(pixels)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    for blob in blobs:
        out += blob
    with open(path, "wb") as f:
        f.write(out)


ICONS = [
    ("note_back.ico", draw_back, False, (32,)),
    ("note_back_off.ico", draw_back, True, (32,)),
    ("note_forw.ico", draw_forw, False, (32,)),
    ("note_forw_off.ico", draw_forw, True, (32,)),
    ("note_del.ico", draw_del, False, (32,)),
    ("note_del_off.ico", draw_del, True, (32,)),
    ("note_help.ico", draw_help, False, (32,)),
    ("note_exit.ico", draw_exit, False, (32,)),
    ("note_edit.ico", draw_edit, False, (32, 16)),
]


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_note_icons.py OUTDIR")
    outdir = sys.argv[1]
    os.makedirs(outdir, exist_ok=True)
    for name, draw, greyed, sizes in ICONS:
        write_ico(os.path.join(outdir, name), [render(draw, s, greyed) for s in sizes])


if __name__ == "__main__":
    main()
