"""The scene's pictures of one season and day phase: the background, its
light sheets, street overlays, pavement strip, roller shutter, clock housing
and dial and the empty sign templates."""
import os

import numpy as np

from . import geometry as G
from . import imageio as io
from . import lighting as L
from . import street as S
from .canvas import new_surface, surface_rgba, to_u8, sprite_from_surface, set_col, shade, box, rounded_rect
from .resources import res

TT_NAMES = {1: "day", 2: "dusk", 3: "night"}


def resources(season, phase):
    out = [res("HG_%02d_%02d" % (phase, season), G.PICTURE_W, G.PICTURE_H, "opaque"),
           res("STR_%02d_%02d_01" % (phase, season), G.STREET_OVERLAY.w, G.STREET_OVERLAY.h, "any"),
           res("UHR_%02d_%02d_0" % (phase, season), *G.CLOCK_HOUSING_SIZE, key="keyed",
               opaque_rects=[(G.CLOCK_DIGITS_X[0] - G.CLOCK_HOUSING_POS[0], G.CLOCK_DIGITS_Y - G.CLOCK_HOUSING_POS[1],
                              G.CLOCK_DIGITS_X[3] + 5 - G.CLOCK_DIGITS_X[0], 11)]),
           res("UHR_%02d_%02d_1" % (phase, season), *G.CLOCK_DIAL_SIZE, key="opaque")]
    for house in (1, 2, 3, 4):
        r = G.LIGHT_BY_N[{1: 3, 2: 10, 3: 12, 4: 19}[house]].dst
        out.append(res("B%02d_%02d_%02d" % (house, phase, season), r.w, r.h, "opaque", rtype="MASKE", fmt="bmp24"))
    if phase == L.DAY:
        out.append(res("GEHWEG_%02d" % season, G.PAVEMENT.w, G.PAVEMENT.h, "opaque"))
        out.append(res("STR_00_%02d_00" % season, G.LIT_STREET.w, G.LIT_STREET.h, "opaque"))
        out.append(res("STR_00_%02d_01" % season, G.LIT_STREET.w, G.LIT_STREET.h, "opaque"))
        if season == L.SUMMER:
            out.append(res("GEHWEG", G.PAVEMENT.w, G.PAVEMENT.h, "opaque"))
            out.append(res("HG_CONFIG", 152, 112, "opaque"))
    else:
        out.append(res("LICHTER_%02d_%02d_0" % (season, phase), G.LIGHTS_SHEET_W, G.LIGHTS_SHEET_H, "opaque"))
        out.append(res("LICHTER_%02d_%02d_1" % (season, phase), G.LIGHTS_SHEET_W, G.LIGHTS_SHEET_H, "opaque"))
        if phase == L.DUSK:
            out.append(res("ROLL2_%02d" % season, *G.ROLL2_SHEET, key="opaque"))
        if season == L.SUMMER:
            out.append(res("FENSTERLADEN_%02d" % phase, *G.SHUTTER_SIZE, key="keyed"))
    return out


def build(season, phase, outdir):
    st, day = S.render_layers(season, rails=True)
    img = S.phase_picture(st, day, phase)
    if phase == L.NIGHT:
        img = _roller_down(img, season, phase)
    bg = io.write_bmp8(os.path.join(outdir, "HG_%02d_%02d.bmp" % (phase, season)), img)

    # street without rails, same phase: only the track differs, the rest is key
    _, day_nr = S.render_layers(season, rails=False)
    img_nr = S.phase_picture(st, day_nr, phase)
    o = G.STREET_OVERLAY
    strip = img_nr[o.y:o.y + o.h, o.x:o.x + o.w]
    same = np.all(strip == img[o.y:o.y + o.h, o.x:o.x + o.w], axis=-1)
    io.write_bmp8(os.path.join(outdir, "STR_%02d_%02d_01.bmp" % (phase, season)), strip, same)

    _clock_pictures(bg, season, phase, outdir)
    for house in (1, 2, 3, 4):
        rgb = S.sign_picture(house, None, season, phase, False)
        with open(os.path.join(outdir, "B%02d_%02d_%02d.bmp" % (house, phase, season)), "wb") as f:
            f.write(io.rgb_bmp_bytes(rgb))

    if phase == L.DAY:
        p = G.PAVEMENT
        strip = bg[p.y:p.y + p.h, p.x:p.x + p.w]
        io.write_bmp8(os.path.join(outdir, "GEHWEG_%02d.bmp" % season), strip)
        for variant, source in ((0, day), (1, day_nr)):
            io.write_bmp8(os.path.join(outdir, "STR_00_%02d_%02d.bmp" % (season, variant)), _lit_street(source))
        if season == L.SUMMER:
            io.write_bmp8(os.path.join(outdir, "GEHWEG.bmp"), strip)
            io.write_bmp8(os.path.join(outdir, "HG_CONFIG.bmp"), _miniature(bg))
        return

    on = S.lights_on_picture(st, bg, phase)
    _light_sheets(bg, on, season, phase, outdir)
    if phase == L.DUSK:
        _roller_sheet(st, bg, season, outdir)
    if season == L.SUMMER:
        _shutters(phase, bg, outdir)


# ------------------------------------------------------------------ light sheets


def _light_sheets(off, on, season, phase, outdir):
    sheet_off = np.empty((G.LIGHTS_SHEET_H, G.LIGHTS_SHEET_W, 3), dtype=np.uint8)
    sheet_on = np.empty_like(sheet_off)
    # filler from the picture's own colours, so the off sheet keeps exactly its palette
    sheet_off[:] = off[G.HOUSE_BASE_Y + 20, 640]
    sheet_on[:] = off[G.HOUSE_BASE_Y + 20, 640]
    for l in G.LIGHTS:
        d, s = l.dst, l.src
        sheet_off[s.y:s.y + s.h, s.x:s.x + s.w] = off[d.y:d.y + d.h, d.x:d.x + d.w]
        sheet_on[s.y:s.y + s.h, s.x:s.x + s.w] = on[d.y:d.y + d.h, d.x:d.x + d.w]
    # the columns two lights share must stay exact in the lit sheet too
    fixed = set()
    for a, b, r in G.shared_columns():
        patch = off[r.y:r.y + r.h, r.x:r.x + r.w].reshape(-1, 3)
        fixed.update(tuple(int(v) for v in c) for c in patch)
    q_off = io.write_bmp8(os.path.join(outdir, "LICHTER_%02d_%02d_0.bmp" % (season, phase)), sheet_off)
    assert np.array_equal(q_off, sheet_off), "light sheet lost colours of the background"
    q_on = io.write_bmp8(os.path.join(outdir, "LICHTER_%02d_%02d_1.bmp" % (season, phase)), sheet_on,
                         fixed=sorted(fixed))
    for a, b, r in G.shared_columns():
        for n in (a, b):
            d, s = G.LIGHT_BY_N[n].dst, G.LIGHT_BY_N[n].src
            x, y = s.x + r.x - d.x, s.y + r.y - d.y
            assert np.array_equal(q_on[y:y + r.h, x:x + r.w], off[r.y:r.y + r.h, r.x:r.x + r.w]), \
                "lights %d and %d differ where they overlap" % (a, b)


# ------------------------------------------------------------------ roller shutter of the shop window


def _shutter_frame(base_rgb, k, phase):
    """Frame k of 15 of the roller shutter over the shop window: 0 up, 14 down."""
    l = G.LIGHT_BY_N[G.SHOP_WINDOW_LIGHT].dst
    w, h = l.w, l.h
    surf, ctx = new_surface(w, h)
    S._paste(ctx, base_rgb, 0, 0)
    glass_top, glass_bottom = 3, 85  # relative to the light's rectangle
    drop = (glass_bottom - glass_top) * k / 14.0
    slat = L.apply_color((0.72, 0.74, 0.76), phase)
    if drop > 0:
        y0 = glass_top
        ctx.rectangle(3, y0, w - 6, drop)
        set_col(ctx, slat)
        ctx.fill()
        set_col(ctx, shade(slat, -0.35))
        ctx.set_line_width(1)
        yy = y0 + drop
        while yy > y0:
            ctx.move_to(3, yy)
            ctx.line_to(w - 3, yy)
            yy -= 4
        ctx.stroke()
        set_col(ctx, shade(slat, -0.5))
        ctx.rectangle(3, y0 + drop - 2, w - 6, 2)
        ctx.fill()
        if k == 14:
            set_col(ctx, L.apply_color((0.6, 0.6, 0.62), phase))
            ctx.rectangle(w / 2 - 6, y0 + drop - 6, 12, 3)
            ctx.fill()
    return to_u8(surface_rgba(surf)[..., :3])


def _roller_sheet(st, dusk_bg, season, outdir):
    l = G.LIGHT_BY_N[G.SHOP_WINDOW_LIGHT].dst
    base = dusk_bg[l.y:l.y + l.h, l.x:l.x + l.w]
    sheet = np.empty((G.ROLL2_SHEET[1], G.ROLL2_SHEET[0], 3), dtype=np.uint8)
    sheet[:] = base[0, 0]
    for k in range(G.ROLL2_FRAMES):
        fx, fy = G.ROLL2_PITCH[0] * (k % 5), G.ROLL2_PITCH[1] * (k // 5)
        sheet[fy:fy + l.h, fx:fx + l.w] = base if k == 0 else _shutter_frame(base, k, L.DUSK)
    io.write_bmp8(os.path.join(outdir, "ROLL2_%02d.bmp" % season), sheet)


def _roller_down(img, season, phase):
    l = G.LIGHT_BY_N[G.SHOP_WINDOW_LIGHT].dst
    img = img.copy()
    base = img[l.y:l.y + l.h, l.x:l.x + l.w]
    img[l.y:l.y + l.h, l.x:l.x + l.w] = _shutter_frame(base, 14, phase)
    return img


# ------------------------------------------------------------------ left shutters (closed)


def closed_shutters(phase, bg):
    """The two leaves shut over the bakery window, the folded leaves beside it
    covered with wall: the screen's "FENSTERLADEN" and figure 55's closed
    picture are this one drawing. bg: the summer picture of the phase."""
    w, h = G.SHUTTER_SIZE
    f = 2
    surf, ctx = new_surface(w * f, h * f)
    ctx.scale(f, f)
    wood = L.apply_color((0.25, 0.42, 0.31), phase)
    dark = shade(wood, -0.45)
    l4 = G.LIGHT_BY_N[4].dst
    x0 = l4.x - G.SHUTTER_POS[0]          # 8
    top = 690 - G.SHUTTER_POS[1]
    leaf_h = G.BAKERY_GLASS_H + 5
    # wall patches that hide the opened leaves at both sides
    for sx in (158, 262):
        rx = sx - G.SHUTTER_POS[0]
        wall = bg[740, sx - 3 if sx < 200 else sx + 12] / 255.0
        set_col(ctx, tuple(float(v) for v in wall))
        ctx.rectangle(rx - 0.5, top, 11, leaf_h)
        ctx.fill()
    leaf_w = (l4.w + 2) / 2
    for k in range(2):
        lx = x0 - 1 + k * leaf_w
        box(ctx, lx, top, leaf_w, leaf_h, wood, dark, 1)
        set_col(ctx, shade(wood, -0.25))
        for j in range(int(leaf_h // 8)):
            ctx.rectangle(lx + 3, top + 4 + j * 8, leaf_w - 6, 2)
        ctx.fill()
        set_col(ctx, shade(wood, 0.15))
        ctx.rectangle(lx + 1, top + 1, leaf_w - 2, 1)
        ctx.fill()
    # hinges and the latch
    set_col(ctx, L.apply_color((0.2, 0.2, 0.22), phase))
    for yy in (top + 10, top + leaf_h - 12):
        ctx.rectangle(x0 - 3, yy, 8, 2)
        ctx.rectangle(x0 + l4.w - 5, yy, 8, 2)
    ctx.rectangle(x0 + leaf_w - 2, top + leaf_h / 2 - 3, 4, 6)
    ctx.fill()
    return sprite_from_surface(surf, f)


def _shutters(phase, bg, outdir):
    rgb, key = closed_shutters(phase, bg)
    io.write_bmp8(os.path.join(outdir, "FENSTERLADEN_%02d.bmp" % phase), rgb, key)


# ------------------------------------------------------------------ clock housing and dial on the bakery


def _clock_pictures(bg, season, phase, outdir):
    # design 0: a dark LED display in a small housing on a bracket
    w, h = G.CLOCK_HOUSING_SIZE
    f = 2
    surf, ctx = new_surface(w * f, h * f)
    ctx.scale(f, f)
    case = L.apply_color((0.22, 0.24, 0.28), phase)
    rounded_rect(ctx, 1, 2, w - 2, h - 4, 4)
    set_col(ctx, case)
    ctx.fill_preserve()
    set_col(ctx, shade(case, -0.4))
    ctx.set_line_width(1)
    ctx.stroke()
    set_col(ctx, shade(case, 0.35))
    ctx.rectangle(4, 3, w - 8, 1)
    ctx.fill()
    dx = G.CLOCK_DIGITS_X[0] - G.CLOCK_HOUSING_POS[0]
    dy = G.CLOCK_DIGITS_Y - G.CLOCK_HOUSING_POS[1]
    dw = G.CLOCK_DIGITS_X[3] + G.SMALL_DIGIT[0] - G.CLOCK_DIGITS_X[0]
    set_col(ctx, DISPLAY_BG)
    ctx.rectangle(dx - 2, dy - 2, dw + 4, G.SMALL_DIGIT[1] + 4)
    ctx.fill()
    # the colon between hours and minutes
    set_col(ctx, DIGIT_COLOUR)
    cx = G.CLOCK_DIGITS_X[1] + 5 - G.CLOCK_HOUSING_POS[0] + 1.5
    ctx.rectangle(cx, dy + 3, 1, 1)
    ctx.rectangle(cx, dy + 7, 1, 1)
    ctx.fill()
    if season == L.WINTER:
        S._snow_cap(ctx, 2, w - 2, 3, 2.5)
    rgb, key = sprite_from_surface(surf, f)
    # the display must be exactly the digit strip's background
    rgb[dy - 1:dy + 12, dx - 1:dx + dw + 1] = np.array(DISPLAY_BG_U8, dtype=np.uint8)
    key[dy - 1:dy + 12, dx - 1:dx + dw + 1] = False
    cxi = int(cx)
    rgb[dy + 3, cxi] = DIGIT_U8
    rgb[dy + 7, cxi] = DIGIT_U8
    io.write_bmp8(os.path.join(outdir, "UHR_%02d_%02d_0.bmp" % (phase, season)), rgb, key,
                  fixed=[DISPLAY_BG_U8, DIGIT_U8])

    # design 1: a round dial over the wall it hangs on
    x, y = G.CLOCK_DIAL_POS
    dwid, dhei = G.CLOCK_DIAL_SIZE
    wall = bg[y:y + dhei, x:x + dwid]
    io.write_bmp8(os.path.join(outdir, "UHR_%02d_%02d_1.bmp" % (phase, season)), dial_picture(wall, phase, season))


DISPLAY_BG_U8 = (18, 26, 22)
DISPLAY_BG = tuple(v / 255.0 for v in DISPLAY_BG_U8)
DIGIT_U8 = (255, 176, 58)
DIGIT_COLOUR = tuple(v / 255.0 for v in DIGIT_U8)


def dial_picture(under, phase, season, rim=(0.18, 0.2, 0.24)):
    """A 33 x 33 clock face over `under` (the wall or case behind it); hands are
    drawn by the program about the pivot (16, 16)."""
    dwid, dhei = G.CLOCK_DIAL_SIZE
    f = 4
    surf, ctx = new_surface(dwid * f, dhei * f)
    ctx.scale(f, f)
    S._paste(ctx, np.repeat(np.repeat(under, 1, 0), 1, 1), 0, 0)
    cx, cy = G.CLOCK_PIVOT[0] + 0.5, G.CLOCK_PIVOT[1] + 0.5
    ctx.arc(cx, cy, 16, 0, 2 * np.pi)
    set_col(ctx, L.apply_color(rim, phase))
    ctx.fill()
    face = (0.97, 0.95, 0.88) if phase == L.DAY else ((0.93, 0.86, 0.66) if phase == L.DUSK else (0.95, 0.88, 0.62))
    ctx.arc(cx, cy, 14.3, 0, 2 * np.pi)
    set_col(ctx, face)
    ctx.fill()
    tick = L.apply_color((0.2, 0.2, 0.25), phase) if phase != L.NIGHT else (0.35, 0.3, 0.2)
    set_col(ctx, tick)
    for k in range(12):
        a = k * np.pi / 6
        r0 = 11.5 if k % 3 else 10.5
        ctx.set_line_width(1.2 if k % 3 == 0 else 0.7)
        ctx.move_to(cx + np.sin(a) * r0, cy - np.cos(a) * r0)
        ctx.line_to(cx + np.sin(a) * 13.6, cy - np.cos(a) * 13.6)
        ctx.stroke()
    if season == L.WINTER:
        ctx.save()
        ctx.arc(cx, cy, 16, np.pi * 1.15, np.pi * 1.85)
        ctx.set_line_width(1.8)
        set_col(ctx, (0.97, 0.98, 1.0))
        ctx.stroke()
        ctx.restore()
    surf.flush()
    p = surface_rgba(surf)
    p = p.reshape(dhei, f, dwid, f, 4).mean(axis=(1, 3))
    return to_u8(p[..., :3])


# ------------------------------------------------------------------ small pictures cut from the scene


def _lit_street(day_rgba):
    """The street as the headlights show it: the day street, a little warmer."""
    r = G.LIT_STREET
    a = day_rgba[r.y:r.y + r.h, r.x:r.x + r.w]
    rgb = a[..., :3] / np.maximum(a[..., 3:4], 1e-6)
    rgb = rgb * np.array([1.0, 0.95, 0.82]) * 0.92
    return to_u8(rgb)


def _miniature(bg):
    """The preview's still picture: the lower part of the day street, shrunk."""
    tw, th = 152, 112
    src_h = int(round(G.PICTURE_W * th / tw))
    y0 = G.PICTURE_H - src_h
    crop = bg[y0:, :].astype(np.float32)
    out = np.zeros((th, tw, 3), dtype=np.float32)
    ys = np.linspace(0, crop.shape[0], th + 1).astype(int)
    xs = np.linspace(0, crop.shape[1], tw + 1).astype(int)
    for j in range(th):
        band = crop[ys[j]:ys[j + 1]]
        cs = np.add.reduceat(band.sum(axis=0), xs[:-1], axis=0)
        out[j] = cs / ((ys[j + 1] - ys[j]) * np.diff(xs))[:, None]
    return np.clip(np.rint(out), 0, 255).astype(np.uint8)
