"""Figure 57: Henrik and Greta (figure 40), an older couple out in the
evening, who stop at the shop windows far more often."""
from ..figdesc import SheetPlan
from ..pavementfigs import GRETA, HENRIK, PavementDesc
from ._couples import FH, frames

DESC = PavementDesc(57, "couple Henrik and Greta", 96, FH, frames(HENRIK, GRETA), [SheetPlan(0, None, (1205, 165))],
                    {1: {None: HENRIK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
