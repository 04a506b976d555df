"""Instruments for the street musicians and a helper that draws a person with
an instrument in the right order: an instrument on the back goes behind the
body, one that is played lies over the body and under the arms that play it.
Coordinates are those of the figure model (ground point at 0, 0)."""
import math

from .canvas import fill_stroke, set_col, shade
from .figure import OUTLINE_W, Figure

WOOD = "#c8843a"
DARK_WOOD = "#6a3a1a"
BRASS = "#e0b040"
RED = "#b83232"


def _ellipse(ctx, cx, cy, rx, ry, angle):
    ctx.save()
    ctx.translate(cx, cy)
    ctx.rotate(angle)
    ctx.scale(rx, ry)
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()


def guitar(ctx, body, neck_end, size=1.0, colour=WOOD):
    """A guitar whose lower bout lies at body and whose head reaches neck_end."""
    bx, by = body
    nx, ny = neck_end
    ang = math.atan2(ny - by, nx - bx)
    ux, uy = math.cos(ang), math.sin(ang)
    # neck and head
    ctx.set_line_cap(1)
    set_col(ctx, DARK_WOOD)
    ctx.set_line_width(2.2 * size)
    ctx.move_to(bx + ux * 6 * size, by + uy * 6 * size)
    ctx.line_to(nx, ny)
    ctx.stroke()
    set_col(ctx, "#e8e0c8")
    ctx.set_line_width(0.4)
    ctx.move_to(bx + ux * 6 * size, by + uy * 6 * size)
    ctx.line_to(nx, ny)
    ctx.stroke()
    _ellipse(ctx, nx + ux * 1.5 * size, ny + uy * 1.5 * size, 2.4 * size, 1.5 * size, ang)
    fill_stroke(ctx, DARK_WOOD, None, OUTLINE_W * 0.7)
    # the body: a lower and an upper bout
    _ellipse(ctx, bx + ux * 4.5 * size, by + uy * 4.5 * size, 4.2 * size, 3.6 * size, ang)
    fill_stroke(ctx, colour, None, OUTLINE_W)
    _ellipse(ctx, bx, by, 5.6 * size, 5.0 * size, ang)
    fill_stroke(ctx, colour, None, OUTLINE_W)
    ctx.arc(bx + ux * 3.6 * size, by + uy * 3.6 * size, 1.5 * size, 0, 2 * math.pi)
    set_col(ctx, "#2a1a10")
    ctx.fill()
    set_col(ctx, shade(colour, 0.35))
    _ellipse(ctx, bx - uy * 2 * size - ux * 1.5 * size, by + ux * 2 * size - uy * 1.5 * size, 1.8 * size,
             1.0 * size, ang)
    ctx.fill()


def accordion(ctx, left, right, height=13.0):
    """An accordion held between two hands; the bellows stretch with them."""
    lx, ly = left
    rx, ry = right
    if rx < lx:
        lx, ly, rx, ry = rx, ry, lx, ly
    cy = (ly + ry) / 2.0
    w = max(6.0, rx - lx)
    top = cy - height / 2.0
    # bellows: pleats across the middle
    ctx.rectangle(lx + 2.5, top + 1, w - 5, height - 2)
    fill_stroke(ctx, "#e8e4d8", "#5a5a60", OUTLINE_W * 0.8)
    set_col(ctx, "#3a3a44")
    ctx.set_line_width(0.6)
    n = max(2, int((w - 5) / 2.2))
    for k in range(1, n):
        x = lx + 2.5 + (w - 5) * k / n
        ctx.move_to(x, top + 1)
        ctx.line_to(x, top + height - 1)
    ctx.stroke()
    # the two ends, one with keys
    for x0 in (lx - 1, rx - 4):
        ctx.rectangle(x0, top, 5, height)
        fill_stroke(ctx, RED, None, OUTLINE_W)
    set_col(ctx, "#f8f4ea")
    for k in range(4):
        ctx.rectangle(rx - 3.2, top + 1.5 + k * (height - 3) / 4.0, 3.4, (height - 3) / 4.0 - 0.7)
    ctx.fill()


def drum(ctx, centre, width=15.0, height=10.0):
    """A small marching drum hanging in front of the belly."""
    cx, cy = centre
    ctx.rectangle(cx - width / 2, cy - height / 2, width, height)
    fill_stroke(ctx, "#3a5ab0", None, OUTLINE_W)
    set_col(ctx, "#f0e8c8")
    ctx.set_line_width(0.6)
    for k in range(5):
        x0 = cx - width / 2 + k * width / 4.0
        ctx.move_to(x0, cy - height / 2 + 1)
        ctx.line_to(x0 + width / 8.0, cy + height / 2 - 1)
        ctx.line_to(x0 + width / 4.0, cy - height / 2 + 1)
    ctx.stroke()
    _ellipse(ctx, cx, cy - height / 2, width / 2, 2.0, 0)
    fill_stroke(ctx, "#f4f0e4", "#8a8070", OUTLINE_W * 0.8)
    _ellipse(ctx, cx, cy + height / 2, width / 2, 1.4, 0)
    fill_stroke(ctx, "#d8d0b8", "#8a8070", OUTLINE_W * 0.8)


def stick(ctx, hand, tip):
    set_col(ctx, "#e8d4a0")
    ctx.set_line_width(1.0)
    ctx.move_to(*hand)
    ctx.line_to(*tip)
    ctx.stroke()


def person(ctx, look, pose, x, ground, behind=None, held=None):
    """Draws look in pose with its ground point at (x, ground). behind(ctx, sk)
    draws before the body; held(ctx, sk) after it, with the playing arms drawn
    again over it (both arms in front view, the near arm from the side)."""
    fig = Figure(look)
    sk = fig.skeleton(pose)
    if behind is not None:
        ctx.save()
        ctx.translate(x, ground)
        behind(ctx, sk)
        ctx.restore()
    fig.draw(ctx, pose, x, ground)
    if held is not None:
        ctx.save()
        ctx.translate(x, ground)
        ctx.set_line_join(1)
        ctx.set_line_cap(1)
        held(ctx, sk)
        if pose.view == "side":
            fig._arm(ctx, sk["arms"]["near"], False)
        elif pose.view == "front":
            fig._arm(ctx, sk["arms"]["far"], False)
            fig._arm(ctx, sk["arms"]["near"], False)
        ctx.restore()


def guitar_on_back(sk, facing):
    """The guitar slung on the back while walking."""
    def draw(ctx, _sk):
        sh, hip = sk["shoulder"], sk["hip"]
        f = facing
        body = (hip[0] - f * 6, hip[1] - 2)
        head = (sh[0] - f * 1, sh[1] - 14)
        guitar(ctx, body, head, 1.15)
    return draw


def guitar_played_side(sk, facing):
    """Held from the side: the body at the belly, the neck towards the far hand."""
    def draw(ctx, _sk):
        hip = sk["hip"]
        far = sk["arms"]["far"]["hand"]
        body = (hip[0] + facing * 3, hip[1] - 7)
        ang = math.atan2(far[1] - body[1], far[0] - body[0])
        head = (far[0] + math.cos(ang) * 5, far[1] + math.sin(ang) * 5)
        guitar(ctx, body, head, 1.25)
    return draw


def guitar_played_front(sk):
    """Held across the body, the neck up to the viewer's left."""
    def draw(ctx, _sk):
        hip = sk["hip"]
        near = sk["arms"]["near"]["hand"]
        body = (hip[0] + 3, hip[1] - 8)
        ang = math.atan2(near[1] - body[1], near[0] - body[0])
        head = (near[0] + math.cos(ang) * 6, near[1] + math.sin(ang) * 6)
        guitar(ctx, body, head, 1.25)
    return draw
