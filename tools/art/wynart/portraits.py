"""The figures' portraits of the interaction and speech-bubble pages: each
figure's standing day frame from its own descriptor, so that the portrait and
the street figure never drift. 1:1 when it fits, else scaled down, centred on
the key colour."""
import importlib
import os

import numpy as np

from . import imageio as io
from .resources import res

SIZE = 100
# The figures with a section of speech texts, as the settings list them.
SPEECH_IDS = (1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 17, 18, 20, 22, 23, 24, 25, 29, 30, 32, 33, 34, 35, 36, 37,
              38, 39, 40, 41, 42, 43, 44, 45, 46, 48, 49, 50, 51, 52, 54, 56, 57, 58, 59, 62, 63, 64, 65, 66, 67, 68)
# Words of a frame's description that show the figure at rest, best first.
RESTING = ("looks ahead", "stand", "look", "smile")


def _descriptors():
    from .figures import DESCRIPTORS
    out = []
    for mod in DESCRIPTORS:
        desc = getattr(importlib.import_module("wynart.figures." + mod), "DESC", None)
        if desc is not None and desc.obj_id in SPEECH_IDS:
            out.append(desc)
    return out


def _resting_frame(desc):
    # A figure drawn by its frames' own painter (a band, a pair with a
    # ladder) has no pose of its own in any frame.
    drawn = [f for f in desc.frames if f.pose is not None or f.extra is not None or f.company]
    for word in RESTING:
        for f in drawn:
            if word in f.what:
                return f
    return drawn[0]


def _shrink(rgb, key, factor):
    """Nearest-colour downscale that keeps the key exact: a target pixel is
    the figure's where most of its source pixels are."""
    h, w = key.shape
    nh, nw = max(1, int(h * factor)), max(1, int(w * factor))
    ys = (np.arange(nh) / factor).astype(int).clip(0, h - 1)
    xs = (np.arange(nw) / factor).astype(int).clip(0, w - 1)
    return rgb[ys][:, xs], key[ys][:, xs]


def portrait(desc):
    rgb, key = desc.render_frame(_resting_frame(desc), 1)
    rows = np.where((~key).any(axis=1))[0]
    cols = np.where((~key).any(axis=0))[0]
    rgb = rgb[rows[0]:rows[-1] + 1, cols[0]:cols[-1] + 1]
    key = key[rows[0]:rows[-1] + 1, cols[0]:cols[-1] + 1]
    h, w = key.shape
    if h > SIZE or w > SIZE:
        rgb, key = _shrink(rgb, key, min(SIZE / h, SIZE / w))
        h, w = key.shape
    out = np.zeros((SIZE, SIZE, 3), dtype=np.uint8)
    out_key = np.ones((SIZE, SIZE), dtype=bool)
    y, x = (SIZE - h) // 2, (SIZE - w) // 2
    out[y:y + h, x:x + w] = rgb
    out_key[y:y + h, x:x + w] = key
    return out, out_key


def resources():
    return [res("FS_%03d" % d.obj_id, SIZE, SIZE, key="keyed") for d in _descriptors()]


def build(outdir):
    for d in _descriptors():
        rgb, key = portrait(d)
        io.write_bmp8(os.path.join(outdir, "FS_%03d.bmp" % d.obj_id), rgb, key)
