"""Figure 9: a young woman with a backpack who gets out of the bus, looks
left and right twice and hurries off to the left."""
from dataclasses import replace

from ..figdesc import FigureDesc, SheetPlan, placed, pose_frames, walk_frames
from ..people import LOOKS
from ..figure import stand, walk_cycle

LOOK = replace(LOOKS[9], height=62)
H = 70


def _frames():
    out = walk_frames(0, placed(0, (0, 65, 130, 187), (64, 64, 56, 56), H), "hurries off left",
                      walk_cycle(-1, stride=1.1, lean=7), 15, -1)
    out += pose_frames(13, placed(0, (765, 838), 72, H), [
        ("looks left", stand(head="side", head_facing=-1, near_arm=(14, -70))),
        ("looks right", stand(head="side", head_facing=1, near_arm=(14, -70))),
    ])
    return out


DESC = FigureDesc(9, "young woman out of the bus", 64, 69, _frames(), [SheetPlan(0, None, (910, 70))],
                  {1: {None: LOOK}})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
