"""The pictures of the settings pages: the palette source "HG_SMALL", the
title, the page pictures, the clock and pavement choices cut from the day
street, and the mail pictures."""
import math
import os
import tempfile

import cairo
import numpy as np

from . import clocks as C
from . import geometry as G
from . import imageio as io
from . import lighting as L
from . import misc
from . import props
from . import scenefam
from . import sprite as SP
from . import street as S
from .canvas import FONT_SANS, new_surface, surface_rgba, to_u8, set_col, box, rounded_rect, fill_stroke, \
    sprite_from_surface
from .resources import res

CHOICE = (96, 72)
PAGE_PIC = (128, 96)
TITLE = (300, 90)
NEWMAIL = (400, 120)
BRIEF = (200, 90)
SMALL = (152, 112)
FOLDER_PIC = (112, 96)


def resources():
    out = [res("HG_SMALL", *SMALL, key="opaque"), res("TITEL_WYN3", *TITLE, key="opaque")]
    for name in ("SPEED", "TAGNACHT", "BUSBAHN1"):
        out.append(res(name, *PAGE_PIC, key="keyed"))
    for i in range(4):
        out.append(res("MSKUHR%d" % i, *CHOICE, key="opaque"))
        out.append(res("PFLOECKE%d" % i, *CHOICE, key="opaque"))
    out.append(res("NEWMAIL", *NEWMAIL, key="keyed"))
    out.append(res("BRIEF", *BRIEF, key="keyed"))
    return out


def _shrink(img, tw, th):
    """Box filter of an RGB crop down to tw x th."""
    src = img.astype(np.float32)
    out = np.zeros((th, tw, 3), dtype=np.float32)
    ys = np.linspace(0, src.shape[0], th + 1).astype(int)
    xs = np.linspace(0, src.shape[1], tw + 1).astype(int)
    for j in range(th):
        band = src[ys[j]:ys[j + 1]]
        cs = np.add.reduceat(band.sum(axis=0), xs[:-1], axis=0)
        out[j] = cs / ((ys[j + 1] - ys[j]) * np.diff(xs))[:, None]
    return np.clip(np.rint(out), 0, 255).astype(np.uint8)


def _paste(dst, x, y, rgb, key=None):
    h, w = rgb.shape[:2]
    region = dst[y:y + h, x:x + w]
    if key is None:
        region[:] = rgb
    else:
        region[~key] = rgb[~key]


# ---------------------------------------------------------------- from the street

def _digits(img, x0, y0, text, cell, t, on):
    x = x0
    for ch in text:
        if ch == ":":
            img[y0 + cell[1] // 3, x + 1:x + 1 + t] = on
            img[y0 + 2 * cell[1] // 3, x + 1:x + 1 + t] = on
            x += t + 3
            continue
        C._seven(img, x, y0, cell[0], cell[1], t, int(ch), on)
        x += cell[0] + t + 1


def _hands(img, cx, cy, r, hour=10, minute=10, colour=(30, 30, 35)):
    surf, ctx = new_surface(img.shape[1], img.shape[0])
    set_col(ctx, tuple(v / 255.0 for v in colour))
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    for angle, length, width in ((((hour % 12) + minute / 60) * 30, r * 0.55, 2.0), (minute * 6, r * 0.85, 1.3)):
        a = math.radians(angle - 90)
        ctx.set_line_width(width)
        ctx.move_to(cx, cy)
        ctx.line_to(cx + math.cos(a) * length, cy + math.sin(a) * length)
        ctx.stroke()
    rgba = surface_rgba(surf)
    a = rgba[..., 3:4]
    over = np.where(a > 1e-6, rgba[..., :3] / np.maximum(a, 1e-6), 0)
    mixed = img.astype(np.float32) / 255.0 * (1 - a) + over * a
    img[:] = to_u8(mixed)


def _crop(bg, cx, cy):
    w, h = CHOICE
    x = max(0, min(bg.shape[1] - w, cx - w // 2))
    y = max(0, min(bg.shape[0] - h, cy - h // 2))
    return bg[y:y + h, x:x + w].copy(), x, y


def _clock_choices(bg, outdir):
    tmp = tempfile.mkdtemp()
    scenefam._clock_pictures(bg, L.SUMMER, L.DAY, tmp)
    housing = io.read_bmp(os.path.join(tmp, "UHR_01_01_0.bmp"))
    dial = io.read_bmp(os.path.join(tmp, "UHR_01_01_1.bmp"))
    out = []
    # 0: the digital clock in its housing on the bakery front
    hx, hy = G.CLOCK_HOUSING_POS
    pic, x, y = _crop(bg, hx + 20, hy + 15)
    hk = np.all(housing == io.KEY, axis=-1)
    _paste(pic, hx - x, hy - y, housing, hk)
    _digits(pic, G.CLOCK_DIGITS_X[0] - x, G.CLOCK_DIGITS_Y - y + 1, "1010", (5, 9), 1, C.DIGIT_U8)
    out.append(pic)
    # 1: the round dial on the house front
    dx, dy = G.CLOCK_DIAL_POS
    pic, x, y = _crop(bg, dx + 16, dy + 16)
    _paste(pic, dx - x, dy - y, dial)
    _hands(pic, dx - x + G.CLOCK_PIVOT[0] + 0.5, dy - y + G.CLOCK_PIVOT[1] + 0.5, 14)
    out.append(pic)
    # 2 and 3: the clock on the tram's overhead-line pillar, digital and analogue
    sheet, skey = C._pillar_sheet(L.DAY, C._pillar_dial(L.DAY))
    for frame, digital in ((3, True), (1, False)):
        f = G.PILLAR_FRAMES[frame]
        part = sheet[f.y:f.y + f.h, f.x:f.x + f.w]
        pkey = skey[f.y:f.y + f.h, f.x:f.x + f.w]
        px, py = G.PILLAR_POS
        clock_y = G.PILLAR_CLOCK_Y if digital else G.PILLAR_DIAL_Y
        big = bg.copy()
        _paste(big, px, py, part, pkey)
        if digital:
            cx = G.PILLAR_CLOCK_X[1] - f.x + px
            _digits(big, cx + 1, py + G.PILLAR_CLOCK_Y + 2, "10", (12, 22), 3, C.PILLAR_DIGIT_U8)
            _digits(big, cx + 35, py + G.PILLAR_CLOCK_Y + 2, "10", (12, 22), 3, C.PILLAR_DIGIT_U8)
        else:
            dxp = G.PILLAR_DIAL_X[1] - f.x + px
            _hands(big, dxp + G.CLOCK_PIVOT[0] + 0.5, py + G.PILLAR_DIAL_Y + G.CLOCK_PIVOT[1] + 0.5, 14)
        pic, _, _ = _crop(big, px + f.w // 2, py + clock_y + 20)
        out.append(pic)
    for i, pic in enumerate(out):
        io.write_bmp8(os.path.join(outdir, "MSKUHR%d.bmp" % i), pic)


def _pavement_choices(bg, outdir):
    x0 = G.BOLLARD_X0
    top = G.BOLLARD_ROW - G.BOLLARD_SHEET[1]
    for d in range(4):
        big = bg.copy()
        if d > 0:
            rgb, key = SP.render(G.BOLLARD_SHEET[0], G.BOLLARD_SHEET[1], props._bollards(d - 1), L.DAY)
            for k in range(2):
                _paste(big, x0 + k * G.BOLLARD_PITCH, top, rgb, key)
        pic, _, _ = _crop(big, x0 + 40, top + 22)
        io.write_bmp8(os.path.join(outdir, "PFLOECKE%d.bmp" % d), pic)


def _small(bg, outdir):
    """The scene in miniature, in exactly the colours of the palette "PAL"."""
    pal = misc.scene_palette()
    mini = scenefam._miniature(bg).astype(np.int32)
    d = ((mini[:, :, None, :] - pal[None, None].astype(np.int32)) ** 2).sum(-1)
    d[..., 255] = 1 << 30   # never the key
    idx = np.argmin(d, axis=2).astype(np.uint8)
    with open(os.path.join(outdir, "HG_SMALL.bmp"), "wb") as f:
        f.write(io.bmp8_bytes(idx, pal))


def _title(bg, outdir):
    w, h = TITLE
    # a slice of the houses' ground floors behind the lettering
    src_w = 1280
    src_h = int(src_w * h / w)
    y0 = G.PICTURE_H - src_h - 150
    back = _shrink(bg[y0:y0 + src_h, :src_w], w, h).astype(np.float32) / 255.0
    back = back * 0.55 + 0.45 * np.array([0.93, 0.91, 0.85])
    surf, ctx = new_surface(w, h)
    ctx.set_source_rgba(0, 0, 0, 0)
    ctx.paint()
    ctx.select_font_face(FONT_SANS, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    for text, size, y, fill in (("Tandrovi", 22, 30, (0.55, 0.18, 0.12)), ("Wendelby 3", 40, 74, (0.14, 0.26, 0.45))):
        ctx.set_font_size(size)
        ext = ctx.text_extents(text)
        ctx.move_to((w - ext.width) / 2 - ext.x_bearing, y)
        ctx.text_path(text)
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        ctx.set_source_rgb(1, 1, 1)
        ctx.set_line_width(5)
        ctx.stroke_preserve()
        ctx.set_source_rgb(*fill)
        ctx.fill()
    rgba = surface_rgba(surf)
    a = rgba[..., 3:4]
    img = back * (1 - a) + rgba[..., :3]
    pic = to_u8(img)
    pic[0, :] = pic[-1, :] = pic[:, 0] = pic[:, -1] = (110, 100, 90)
    io.write_bmp8(os.path.join(outdir, "TITEL_WYN3.bmp"), pic)


# ---------------------------------------------------------------- drawn pictures

def _bus(ctx, x, y, w, h, body=(0.82, 0.2, 0.16), lights=False):
    rounded_rect(ctx, x, y, w, h, 5)
    fill_stroke(ctx, body, (0.2, 0.08, 0.06), 1)
    box(ctx, x, y + h * 0.62, w, h * 0.14, (0.95, 0.92, 0.84))
    for k in range(4):
        box(ctx, x + 5 + k * (w - 12) / 4, y + 5, (w - 12) / 4 - 3, h * 0.38, (0.62, 0.78, 0.88), (0.2, 0.2, 0.25), 0.8,
            r=1.5)
    for wx in (x + w * 0.2, x + w * 0.8):
        ctx.arc(wx, y + h, h * 0.17, 0, 2 * math.pi)
        fill_stroke(ctx, (0.12, 0.12, 0.14), (0.05, 0.05, 0.05), 1)
        ctx.arc(wx, y + h, h * 0.07, 0, 2 * math.pi)
        set_col(ctx, (0.7, 0.7, 0.72))
        ctx.fill()
    set_col(ctx, (1.0, 0.9, 0.4) if lights else (0.95, 0.95, 0.8))
    ctx.rectangle(x + w - 4, y + h * 0.66, 3, 4)
    ctx.fill()


def _keyed(w, h, draw, name, outdir):
    f = 3
    surf, ctx = new_surface(w * f, h * f)
    ctx.scale(f, f)
    draw(ctx)
    rgb, key = sprite_from_surface(surf, f)
    io.write_bmp8(os.path.join(outdir, name + ".bmp"), rgb, key)


def _speed(ctx):
    w, h = PAGE_PIC
    ctx.arc(w / 2, h / 2, 46, 0, 2 * math.pi)
    fill_stroke(ctx, (0.93, 0.95, 0.97), (0.55, 0.6, 0.66), 1.5)
    set_col(ctx, (0.6, 0.65, 0.7))
    ctx.set_line_width(2)
    for k in range(4):
        ctx.move_to(8, 44 + k * 8)
        ctx.line_to(30 - k * 3, 44 + k * 8)
        ctx.stroke()
    _bus(ctx, 34, 36, 78, 34)
    set_col(ctx, (0.35, 0.35, 0.38))
    ctx.rectangle(14, 82, 104, 3)
    ctx.fill()


def _tagnacht(ctx):
    w, h = PAGE_PIC
    # four panes: summer day, summer night, winter day, winter night
    panes = ((0, 0, (0.55, 0.78, 0.95), (0.42, 0.66, 0.3), False, False),
             (64, 0, (0.1, 0.12, 0.3), (0.15, 0.25, 0.15), True, False),
             (0, 48, (0.7, 0.8, 0.9), (0.95, 0.96, 0.98), False, True),
             (64, 48, (0.08, 0.1, 0.22), (0.55, 0.6, 0.7), True, True))
    for x, y, sky, ground, night, winter in panes:
        box(ctx, x + 1, y + 1, 62, 46, sky, (0.2, 0.2, 0.25), 1, r=4)
        box(ctx, x + 2, y + 34, 60, 12, ground)
        # a small house
        box(ctx, x + 30, y + 18, 22, 17, (0.85, 0.75, 0.6) if not night else (0.3, 0.27, 0.3))
        ctx.move_to(x + 28, y + 19)
        ctx.line_to(x + 41, y + 9)
        ctx.line_to(x + 54, y + 19)
        ctx.close_path()
        set_col(ctx, (0.96, 0.97, 1.0) if winter else (0.65, 0.25, 0.18))
        ctx.fill()
        box(ctx, x + 35, y + 23, 6, 6, (1.0, 0.85, 0.35) if night else (0.55, 0.7, 0.85))
        if night:
            ctx.arc(x + 14, y + 12, 6, 0, 2 * math.pi)
            set_col(ctx, (0.95, 0.93, 0.75))
            ctx.fill()
            ctx.arc(x + 17, y + 10, 5, 0, 2 * math.pi)
            set_col(ctx, (0.1, 0.12, 0.3) if not winter else (0.08, 0.1, 0.22))
            ctx.fill()
        else:
            ctx.arc(x + 14, y + 12, 6, 0, 2 * math.pi)
            set_col(ctx, (1.0, 0.85, 0.2))
            ctx.fill()
        if winter:
            set_col(ctx, (1, 1, 1))
            for k in range(9):
                ctx.arc(x + 6 + (k * 23) % 56, y + 6 + (k * 13) % 26, 1.1, 0, 2 * math.pi)
                ctx.fill()


def _busbahn(ctx):
    # the stop: a post with its sign, a tram behind and the bus in front
    box(ctx, 0, 78, 128, 8, (0.6, 0.6, 0.62))
    rounded_rect(ctx, 2, 22, 124, 40, 6)
    fill_stroke(ctx, (0.96, 0.8, 0.2), (0.35, 0.28, 0.05), 1)
    for k in range(6):
        box(ctx, 7 + k * 20, 27, 15, 16, (0.62, 0.78, 0.88), (0.25, 0.25, 0.2), 0.8, r=1.5)
    set_col(ctx, (0.2, 0.2, 0.2))
    ctx.set_line_width(1.2)
    ctx.move_to(60, 22)
    ctx.line_to(70, 4)
    ctx.stroke()
    _bus(ctx, 24, 46, 80, 30)
    box(ctx, 112, 30, 3, 52, (0.4, 0.42, 0.45))
    ctx.arc(113.5, 28, 8, 0, 2 * math.pi)
    fill_stroke(ctx, (0.98, 0.85, 0.1), (0.1, 0.45, 0.2), 1.5)
    set_col(ctx, (0.1, 0.45, 0.2))
    ctx.select_font_face(FONT_SANS, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(10)
    ctx.move_to(109.5, 31.5)
    ctx.show_text("H")


def _newmail(ctx):
    w, h = NEWMAIL
    rounded_rect(ctx, 4, 10, w - 8, h - 20, 14)
    fill_stroke(ctx, (0.99, 0.97, 0.86), (0.62, 0.45, 0.12), 3)
    _envelope(ctx, 24, 28, 96, 64)
    ctx.select_font_face(FONT_SANS, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    for text, size, y in (("Neue E-Mail!", 34, 62), ("New mail", 20, 92)):
        ctx.set_font_size(size)
        set_col(ctx, (0.55, 0.16, 0.1) if size > 30 else (0.3, 0.3, 0.35))
        ctx.move_to(140, y)
        ctx.show_text(text)


def _envelope(ctx, x, y, w, h):
    box(ctx, x, y, w, h, (0.97, 0.95, 0.9), (0.4, 0.36, 0.3), 1.5, r=3)
    set_col(ctx, (0.4, 0.36, 0.3))
    ctx.set_line_width(1.5)
    ctx.move_to(x + 1, y + 2)
    ctx.line_to(x + w / 2, y + h * 0.55)
    ctx.line_to(x + w - 1, y + 2)
    ctx.stroke()
    box(ctx, x + w - 22, y + 6, 16, 18, (0.85, 0.3, 0.25), (0.5, 0.15, 0.1), 1)


def _brief(ctx):
    w, h = BRIEF
    ctx.save()
    ctx.translate(w / 2, h / 2)
    ctx.rotate(-0.08)
    _envelope(ctx, -86, -36, 172, 72)
    set_col(ctx, (0.35, 0.35, 0.45))
    ctx.set_line_width(1.2)
    for k in range(3):
        ctx.move_to(-30, 4 + k * 8)
        ctx.line_to(40, 4 + k * 8)
        ctx.stroke()
    ctx.restore()


def folder_picture(path):
    """"wyn03conf.bmp", the picture beside the program that the general page
    shows: the bus stop corner of the street on a card with rounded corners
    in the key colour."""
    st, day = S.render_layers(L.SUMMER, rails=True)
    bg = S.phase_picture(st, day, L.DAY)
    w, h = FOLDER_PIC
    scale = 4
    x0 = max(0, min(bg.shape[1] - w * scale, G.CLOCK_DIAL_POS[0] - w * scale // 2))
    y0 = G.PICTURE_H - h * scale - 110
    pic = _shrink(bg[y0:y0 + h * scale, x0:x0 + w * scale], w, h)
    pic[0, :] = pic[-1, :] = pic[:, 0] = pic[:, -1] = (110, 100, 90)
    surf, ctx = new_surface(w, h)
    rounded_rect(ctx, 0, 0, w, h, 9)
    set_col(ctx, (0, 0, 0))
    ctx.fill()
    inside = surface_rgba(surf)[..., 3] > 0.5
    key = ~inside
    padded = np.pad(inside, 1)
    edge = ~padded[2:, 1:-1] | ~padded[:-2, 1:-1] | ~padded[1:-1, 2:] | ~padded[1:-1, :-2]
    pic[inside & edge] = (110, 100, 90)
    io.write_bmp8(path, pic, key)


def build(outdir):
    st, day = S.render_layers(L.SUMMER, rails=True)
    bg = S.phase_picture(st, day, L.DAY)
    _small(bg, outdir)
    _title(bg, outdir)
    _clock_choices(bg, outdir)
    _pavement_choices(bg, outdir)
    _keyed(*PAGE_PIC, _speed, "SPEED", outdir)
    _keyed(*PAGE_PIC, _tagnacht, "TAGNACHT", outdir)
    _keyed(*PAGE_PIC, _busbahn, "BUSBAHN1", outdir)
    _keyed(*NEWMAIL, _newmail, "NEWMAIL", outdir)
    _keyed(*BRIEF, _brief, "BRIEF", outdir)
