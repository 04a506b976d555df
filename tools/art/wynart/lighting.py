"""The scene's lighting: how a day drawing looks at dusk and at night.

Every dusk and night picture comes from its day drawing through these curves,
so that the street, the figures and the props change together. Lit things
(windows, lamps) are drawn on top afterwards.
"""
import numpy as np

DAY, DUSK, NIGHT = 1, 2, 3
PHASES = (DAY, DUSK, NIGHT)
SUMMER, WINTER = 1, 2
SEASONS = (SUMMER, WINTER)

# Per phase: gain per channel, how far colours move toward their grey, a tint
# added after, and a gamma that deepens the shadows.
_CURVES = {
    DUSK: dict(gain=(0.80, 0.62, 0.64), desat=0.22, tint=(0.045, 0.012, 0.05), gamma=1.10),
    NIGHT: dict(gain=(0.30, 0.36, 0.60), desat=0.55, tint=(0.012, 0.020, 0.055), gamma=1.18),
}


def apply(rgb, phase):
    """rgb: uint8 HxWx3 (or float 0..1) day colours -> uint8 colours of the phase."""
    if phase == DAY:
        return np.asarray(rgb, dtype=np.uint8) if np.asarray(rgb).dtype == np.uint8 else \
            np.clip(np.rint(np.asarray(rgb) * 255), 0, 255).astype(np.uint8)
    c = _CURVES[phase]
    x = np.asarray(rgb)
    x = x.astype(np.float32) / 255.0 if x.dtype == np.uint8 else x.astype(np.float32)
    y = (x[..., 0] * 0.30 + x[..., 1] * 0.55 + x[..., 2] * 0.15)[..., None]
    x = x * (1 - c["desat"]) + y * c["desat"]
    x = np.power(np.clip(x, 0, 1), c["gamma"])
    x = x * np.array(c["gain"], dtype=np.float32) + np.array(c["tint"], dtype=np.float32)
    return np.clip(np.rint(x * 255.0), 0, 255).astype(np.uint8)


def apply_color(c, phase):
    """One 0..1 colour through the phase's curve, as a 0..1 tuple."""
    a = np.array([[c]], dtype=np.float32)
    out = apply(a, phase)[0, 0] / 255.0
    return tuple(float(v) for v in out)
