"""What a family of pictures promises: resource names, types, files and the
sizes and key rules the resource test checks."""
from collections import namedtuple

# key rule of a picture:
#   "keyed"  transparent parts in the exact key colour, nothing near it
#   "opaque" no key colour at all (copied without a mask)
#   "any"    may hold the key colour (drawn masked or not), nothing near it
Res = namedtuple("Res", "name rtype file min_w min_h key fmt opaque_rects exact")


def res(name, min_w, min_h, key="keyed", rtype="BITMAP", fmt="bmp8", opaque_rects=(), exact=True, file=None):
    return Res(name, rtype, file or (name + _ext(fmt)), min_w, min_h, key, fmt, tuple(opaque_rects), exact)


def _ext(fmt):
    return {"ico": ".ico", "cur": ".cur"}.get(fmt, ".bmp")


TT = (1, 2, 3)
SEASONS = (1, 2)
