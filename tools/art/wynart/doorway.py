"""Doors and windows that figures stand in: the frames of a figure in a house
door or a window carry the open doorway or the lit room behind the figure,
placed where the background has its door or window, so that the figure seems
to stand in it."""
from .canvas import set_col, shade
from . import geometry as G
from . import palette as P

HALL = "#3a2c24"
HALL_FLOOR = "#5a4434"
ROOM = "#e8c47a"
ROOM_BACK = "#c89a5a"


def door_in_frame(door, at):
    """The rectangle of background door n inside a frame drawn at scene point at."""
    d = G.DOORS[door]
    return d.x - at[0], d.y - G.SCENE_TOP - at[1], d.w, d.h


def open_door(rect, leaf=P.DOOR_RED, shut=0.0):
    """behind(): the dark hall in the door's rectangle, the leaf swung in at
    the hinge (right); shut 0..1 swings the leaf across the doorway."""
    x, y, w, h = rect

    def behind(ctx, look, fr):
        ctx.rectangle(x + 1, y + 1, w - 2, h - 1)
        set_col(ctx, HALL)
        ctx.fill()
        ctx.rectangle(x + 1, y + h - 10, w - 2, 10)
        set_col(ctx, HALL_FLOOR)
        ctx.fill()
        lw = max(6.0, (w - 2) * shut)
        ctx.rectangle(x + w - 1 - lw, y + 1, lw, h - 1)
        set_col(ctx, leaf if shut > 0 else shade(leaf, -0.3))
        ctx.fill_preserve()
        set_col(ctx, shade(leaf, -0.5))
        ctx.set_line_width(0.8)
        ctx.stroke()
    return behind


def lit_window(rect):
    """behind(): the lit room behind a window, a lamp-warm wall."""
    x, y, w, h = rect

    def behind(ctx, look, fr):
        ctx.rectangle(x, y, w, h)
        set_col(ctx, ROOM_BACK)
        ctx.fill()
        ctx.rectangle(x + 4, y + 4, w - 8, h * 0.55)
        set_col(ctx, ROOM)
        ctx.fill()
    return behind


def window_bars(rect, colour="#f2eee4"):
    """extra(): the window's frame and cross in front of the figure."""
    x, y, w, h = rect

    def extra(ctx, look, fr):
        set_col(ctx, colour)
        ctx.set_line_width(3)
        ctx.rectangle(x + 1.5, y + 1.5, w - 3, h - 3)
        ctx.stroke()
        ctx.set_line_width(2.4)
        ctx.move_to(x + w / 2, y)
        ctx.line_to(x + w / 2, y + h)
        ctx.move_to(x, y + h * 0.38)
        ctx.line_to(x + w, y + h * 0.38)
        ctx.stroke()
    return extra
