"""The English sign lettering "LICHTERE_02": the signs of houses 1, 2 and 4 in
ten looks each (day summer/winter, then dusk and night off/on per season)."""
import os

import numpy as np

from . import geometry as G
from . import imageio as io
from . import lighting as L
from .resources import res
from .street import sign_picture

# variant -> (season, phase, lit)
VARIANTS = [(1, L.DAY, False), (2, L.DAY, False),
            (1, L.DUSK, False), (1, L.DUSK, True), (2, L.DUSK, False), (2, L.DUSK, True),
            (1, L.NIGHT, False), (1, L.NIGHT, True), (2, L.NIGHT, False), (2, L.NIGHT, True)]
LANGUAGE = 2


def resources():
    return [res("LICHTERE_%02d" % LANGUAGE, G.LICHTERE_W, G.LICHTERE_H, "opaque")]


def build(outdir):
    sheet = np.zeros((G.LICHTERE_H, G.LICHTERE_W, 3), dtype=np.uint8)
    sheet[:] = (40, 40, 40)
    for n, x in G.LICHTERE_COLUMNS.items():
        house = G.SIGN_LIGHTS[n]
        r = G.LIGHT_BY_N[n].dst
        for v, (season, phase, lit) in enumerate(VARIANTS):
            y = G.LICHTERE_ROW * v
            sheet[y:y + r.h, x:x + r.w] = sign_picture(house, "en", season, phase, lit)
    io.write_bmp8(os.path.join(outdir, "LICHTERE_%02d.bmp" % LANGUAGE), sheet)
