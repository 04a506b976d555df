"""The pictures of the sound, music, weather and notes pages of the settings:
the loudspeaker of the street noise, the tower clock's bell, the street
musicians, the weather sign without data and the three message signs for the
sign choice (cut from the scene's day signs)."""
import math
import os


from . import imageio as io
from . import lighting as L
from . import props
from . import sprite as SP
from . import weather
from .canvas import FONT_SANS, box, fill_stroke, fit_text, new_surface, rounded_rect, set_col, sprite_from_surface
from .resources import res

SOUND1 = (240, 64)
SOUND2 = (72, 52)
MUSIK = (200, 88)
WETTER = (weather.W, weather.H)
SIGN = (80, 58)      # the board of the scene's sign, without its post
EXIT_SIGN = (64, 48)  # the exit sign's board and the top of its post
BUTTON_FACE = (212, 208, 200)


def resources():
    out = [res("SOUND1", *SOUND1, key="keyed"), res("SOUND2", *SOUND2, key="keyed"),
           res("MUSIK", *MUSIK, key="keyed"), res("WETTER", *WETTER, key="opaque")]
    for name in ("MSGDLG_00", "MSGDLG_01", "MSGDLG_X"):
        out.append(res(name, *SIGN, key="opaque"))
    for name in ("EXIT1", "EXIT2"):
        out.append(res(name, *EXIT_SIGN, key="opaque"))
    return out


def _keyed(size, draw, name, outdir):
    f = 3
    w, h = size
    surf, ctx = new_surface(w * f, h * f)
    ctx.scale(f, f)
    draw(ctx)
    rgb, key = sprite_from_surface(surf, f)
    io.write_bmp8(os.path.join(outdir, name + ".bmp"), rgb, key)


def _note(ctx, x, y, s, colour):
    set_col(ctx, colour)
    ctx.save()
    ctx.translate(x, y)
    ctx.scale(1.0, 0.75)
    ctx.arc(0, 0, 3.2 * s, 0, 2 * math.pi)
    ctx.restore()
    ctx.fill()
    ctx.set_line_width(1.2 * s)
    ctx.move_to(x + 3 * s, y)
    ctx.line_to(x + 3 * s, y - 13 * s)
    ctx.line_to(x + 8 * s, y - 9 * s)
    ctx.stroke()


def _sound1(ctx):
    # a loudspeaker on a pole, its waves running out over small street noises
    box(ctx, 4, 18, 14, 28, "#4b5563", "#1f2530", 1.2, r=2)
    ctx.move_to(18, 22)
    ctx.line_to(40, 8)
    ctx.line_to(40, 56)
    ctx.line_to(18, 42)
    ctx.close_path()
    fill_stroke(ctx, "#9aa4b2", "#1f2530", 1.4)
    set_col(ctx, "#d9485f")
    ctx.set_line_width(2.2)
    for k in range(4):
        r = 12 + k * 9
        ctx.arc(40, 32, r, -0.6, 0.6)
        ctx.stroke()
    # a car, a horn's blast and notes
    rounded_rect(ctx, 110, 30, 54, 18, 5)
    fill_stroke(ctx, "#2f7dc4", "#173b5c", 1.2)
    box(ctx, 120, 22, 30, 11, "#a9d3f0", "#173b5c", 1, r=3)
    for wx in (122, 152):
        ctx.arc(wx, 49, 5, 0, 2 * math.pi)
        fill_stroke(ctx, "#222222", "#000000", 1)
    fit_text(ctx, "TUUT!", 196, 22, 60, 16, "#e07b1a", FONT_SANS)
    _note(ctx, 82, 44, 1.2, "#3a3a3a")
    _note(ctx, 214, 52, 1.0, "#3a3a3a")


def _sound2(ctx):
    w, h = SOUND2
    # the bell under its beam, swinging, with its clapper out
    box(ctx, 8, 3, w - 16, 5, "#6b4a2b", "#3b2714", 1)
    ctx.save()
    ctx.translate(w / 2, 8)
    ctx.rotate(-0.25)
    ctx.move_to(-6, 2)
    ctx.curve_to(-8, 14, -10, 22, -18, 32)
    ctx.line_to(18, 32)
    ctx.curve_to(10, 22, 8, 14, 6, 2)
    ctx.close_path()
    fill_stroke(ctx, "#d6a73c", "#7a5a14", 1.3)
    ctx.arc(4, 36, 3.5, 0, 2 * math.pi)
    fill_stroke(ctx, "#8a6a1c", "#4a3508", 1)
    ctx.restore()
    set_col(ctx, "#555555")
    ctx.set_line_width(1.4)
    for k in range(3):
        ctx.arc(w / 2 - 4, 26, 24 + k * 5, 0.2, 0.7)
        ctx.stroke()


def _musician(ctx, x, skin, shirt, trousers):
    box(ctx, x - 6, 56, 5, 26, trousers, "#222222", 0.8)
    box(ctx, x + 1, 56, 5, 26, trousers, "#222222", 0.8)
    rounded_rect(ctx, x - 9, 28, 18, 30, 5)
    fill_stroke(ctx, shirt, "#222222", 1)
    ctx.arc(x, 19, 8, 0, 2 * math.pi)
    fill_stroke(ctx, skin, "#5a3a28", 1)
    ctx.arc(x, 14, 8, math.pi, 2 * math.pi)
    fill_stroke(ctx, "#4a2e1a", None)


def _musik(ctx):
    # three street musicians: guitar, accordion, drum
    _musician(ctx, 40, "#f0c8a0", "#c23b3b", "#2d3e66")
    ctx.save()
    ctx.translate(40, 48)
    ctx.rotate(-0.5)
    ctx.arc(0, 4, 8, 0, 2 * math.pi)
    fill_stroke(ctx, "#b5782f", "#5a3a12", 1)
    box(ctx, -1.5, -22, 3, 22, "#5a3a12")
    ctx.restore()
    _musician(ctx, 100, "#c89068", "#3b8c4a", "#3a3a3a")
    box(ctx, 88, 38, 24, 16, "#d8d8d8", "#333333", 1)
    set_col(ctx, "#333333")
    ctx.set_line_width(0.8)
    for k in range(5):
        ctx.move_to(92 + k * 4, 38)
        ctx.line_to(92 + k * 4, 54)
    ctx.stroke()
    _musician(ctx, 158, "#f3d2b0", "#e0a628", "#5b3b7a")
    ctx.save()
    ctx.translate(158, 62)
    ctx.scale(1.0, 0.45)
    ctx.arc(0, 0, 13, 0, 2 * math.pi)
    ctx.restore()
    fill_stroke(ctx, "#e8e2d0", "#6a1a1a", 1.2)
    box(ctx, 145, 62, 26, 14, "#b02a2a", "#6a1a1a", 1)
    _note(ctx, 70, 20, 1.2, "#2a2a2a")
    _note(ctx, 128, 14, 1.0, "#2a2a2a")
    _note(ctx, 188, 30, 1.1, "#2a2a2a")


def _wetter(ctx, layer, phase):
    if layer != "base":
        return
    weather._panel(ctx, False, 2)
    set_col(ctx, (0.55, 0.6, 0.66))
    weather._cloud(ctx, weather.W / 2, weather.H / 2 - 6, 22, "#dfe4ea", "#8a96a6")
    fit_text(ctx, "?", weather.W / 2, weather.H / 2 + 2, 20, 22, "#5b6775", FONT_SANS)


def _sign(lang):
    """The day sign of the scene (new message), its board on the button face."""
    rgb, key = SP.render(80, 115, props._msg_frame(lang, True), L.DAY)
    w, h = SIGN
    board = rgb[:h, :w].copy()
    board[key[:h, :w]] = BUTTON_FACE
    return board


def _exit_sign(design):
    """The scene's exit sign by day (design 0 EXIT, 1 STOP) on the button face."""
    rgb, key = SP.render(64, 115, props._exit_frame(design), L.DAY)
    w, h = EXIT_SIGN
    board = rgb[:h, :w].copy()
    board[key[:h, :w]] = BUTTON_FACE
    return board


def build(outdir):
    _keyed(SOUND1, _sound1, "SOUND1", outdir)
    _keyed(SOUND2, _sound2, "SOUND2", outdir)
    _keyed(MUSIK, _musik, "MUSIK", outdir)
    io.write_bmp8(os.path.join(outdir, "WETTER.bmp"), SP.opaque(*WETTER, _wetter, L.DAY))
    for name, lang in (("MSGDLG_00", 2), ("MSGDLG_01", 1), ("MSGDLG_X", 0)):
        io.write_bmp8(os.path.join(outdir, name + ".bmp"), _sign(lang))
    for name, design in (("EXIT1", 0), ("EXIT2", 1)):
        io.write_bmp8(os.path.join(outdir, name + ".bmp"), _exit_sign(design))
