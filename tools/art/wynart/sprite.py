"""Sprites: a drawing in day colours with optional self-lit parts, turned into
the picture of a day phase with an exact key colour outside it."""
import numpy as np

from . import lighting as L
from .canvas import downsample, new_surface, surface_rgba, to_u8

KEY_RGB = np.array([255, 0, 255], dtype=np.uint8)


def render(w, h, draw, phase, factor=3, threshold=0.5):
    """draw(ctx, layer, phase) is called for layer "base" (lit by the scene:
    goes through the phase's lighting) and "glow" (self-lit: kept as drawn).
    Returns (rgb uint8 HxWx3, key mask HxW)."""
    layers = []
    for layer in ("base", "glow"):
        surf, ctx = new_surface(w * factor, h * factor)
        ctx.scale(factor, factor)
        draw(ctx, layer, phase)
        layers.append(downsample(surface_rgba(surf), factor))
    base, glow = layers
    ba, ga = base[..., 3:4], glow[..., 3:4]
    b_straight = np.where(ba > 1e-6, base[..., :3] / np.maximum(ba, 1e-6), 0)
    b_lit = L.apply(to_u8(b_straight), phase).astype(np.float32) / 255.0
    total_a = 1 - (1 - ba) * (1 - ga)
    prem = glow[..., :3] + b_lit * ba * (1 - ga)
    rgb = np.where(total_a > 1e-6, prem / np.maximum(total_a, 1e-6), 0)
    key = total_a[..., 0] < threshold
    return to_u8(rgb), key


def opaque(w, h, draw, phase, factor=3):
    """A picture without transparency (copied as it is)."""
    rgb, _ = render(w, h, draw, phase, factor, threshold=-1)
    return rgb


def place(sheet_rgb, sheet_key, x, y, rgb, key):
    h, w = key.shape
    sheet_rgb[y:y + h, x:x + w] = rgb
    sheet_key[y:y + h, x:x + w] = key


def blank(w, h):
    return np.zeros((h, w, 3), dtype=np.uint8), np.ones((h, w), dtype=bool)
