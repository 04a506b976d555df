"""What the bus's and the tram's sheets share: the templates the lettering
lays over a user's picture (a frame template per phase, the body with the
area the picture shows in pure green and the rest the key colour, and the
light and dark shading templates of that area), and the frame header's names
of the first entries."""
import os

import numpy as np

from .. import imageio as io
from ..resources import TT, res

GREEN = np.array([0, 255, 0], dtype=np.uint8)
MAGENTA = np.array([255, 0, 255], dtype=np.uint8)


def area_mask(width, height, area, inset):
    """The area (x, y, w, h) less inset on every side, as a mask of the body."""
    x, y, w, h = area
    m = np.zeros((height, width), dtype=bool)
    m[y + inset:y + h - inset, x + inset:x + w - inset] = True
    return m


def shading_template(width, height, area, inset, light, fade, shadow_from):
    """Green everywhere but the area (less inset), where a soft light from
    above that loses fade to the lower edge (light template) or a shadow
    along the lower edge from shadow_from of the height on (dark template)
    lies."""
    out = np.tile(GREEN, (height, width, 1))
    x, y, w, h = area
    for row in range(y + inset, y + h - inset):
        t = (row - y) / float(h)
        if light:
            v = int(round(255 - fade * t))
            out[row, x + inset:x + w - inset] = (v, v, v)
        else:
            v = int(round(40 + 120 * t))
            out[row, x + inset:x + w - inset] = (v, v - 10, v - 20) if t > shadow_from else (200, 200, 200)
    return out


def resources(prefix, width, height):
    """The templates' resources: PREFIX_HELL, PREFIX_DUNKEL, PREFIX_01.."""
    out = [res(prefix + "_HELL", width, height, "opaque", rtype="MASKE", fmt="bmp24"),
           res(prefix + "_DUNKEL", width, height, "opaque", rtype="MASKE", fmt="bmp24")]
    out += [res("%s_%02d" % (prefix, tt), width, height, "any", rtype="MASKE", fmt="bmp24") for tt in TT]
    return out


def _write_template(outdir, name, rgb):
    with open(os.path.join(outdir, name + ".bmp"), "wb") as f:
        f.write(io.rgb_bmp_bytes(rgb))


def build(outdir, sheet_name, sheet, prefix, frame_template, shading):
    """Writes the figure's sheet of each phase with its frame template, then
    the two shading templates."""
    for tt in TT:
        rgb, key = sheet(tt)
        io.write_bmp8(os.path.join(outdir, sheet_name(tt) + ".bmp"), rgb, key)
        _write_template(outdir, "%s_%02d" % (prefix, tt), frame_template(tt))
    for suffix, light in (("_HELL", True), ("_DUNKEL", False)):
        _write_template(outdir, prefix + suffix, shading(light))


def entry_constants(fig, face_of, first_wheel, first_driver, first_face):
    """The frame header's lines naming the first entries of the wheel strips,
    the drivers and the faces (face_of: what the faces are counted by)."""
    return ["// Entries of the wheel strips, the drivers (4 per driver) and the faces",
            "// (4 per %s, from %s 1)." % (face_of, face_of),
            "constexpr int kFig%03dWheel = %d;" % (fig, first_wheel),
            "constexpr int kFig%03dDriver = %d;" % (fig, first_driver),
            "constexpr int kFig%03dFace = %d;" % (fig, first_face)]
