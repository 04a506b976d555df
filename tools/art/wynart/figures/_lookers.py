"""The two layouts of the far-pavement walkers who stop to look about: 43 and
49 share one, 45 and 50 the other."""
from ..figure import stand
from ..pavementfigs import pose_row, walk_row, xs_row

LOOK_ABOUT = [
    ("looks left", stand(head="side", head_facing=-1)),
    ("looks ahead", stand(head="front")),
    ("looks right", stand(head="side", head_facing=1)),
    ("looks up", stand(head="front", neck=-14, eyes="wide")),
    ("scratches the head", stand(far_arm=(125, 100), head="side", head_facing=1)),
    ("hands on the hips", stand(near_arm=(40, -95), far_arm=(40, -95))),
    ("shades the eyes, looks left", stand(far_arm=(122, 93), head="side", head_facing=-1)),
    ("checks the watch", stand(near_arm=(18, -105), neck=12)),
    ("smiles", stand(head="front", mouth="smile")),
    ("looks back the way they came", stand(head="side", head_facing=1, mouth="o")),
]


def layout_a(h, fh):
    """43 and 49: walk left 0-3, look 4-9, walk right 10-13."""
    out = walk_row(0, xs_row((0, 65, 130, 187), (64, 64, 56, 56)), h, -1, 15, "walks left", ground=fh, lean=3)
    out += pose_row(4, xs_row((244, 293, 342, 391, 440, 489), (48,) * 6), h, LOOK_ABOUT[:6], ground=fh)
    out += walk_row(10, xs_row((538, 579, 628, 677), (40, 48, 48, 56)), h, 1, 15, "walks right", ground=fh,
                    lean=3, stride=0.8)
    return out


def layout_b(h, fh):
    """45 and 50: walk left 0-3, look 4-13, walk right 14-17."""
    out = walk_row(0, xs_row((0, 73, 146, 219), (72, 72, 72, 64)), h, -1, 16, "walks left", ground=fh, lean=3)
    look_x = (284, 349, 414, 479, 544, 609, 666, 723, 780, 837)
    look_w = (64,) * 6 + (56,) * 4
    out += pose_row(4, xs_row(look_x, look_w), h, LOOK_ABOUT, ground=fh, anchor=lambda w: 28.0)
    out += walk_row(14, xs_row((894, 935, 984, 1033), (40, 48, 48, 56)), h, 1, 16, "walks right", ground=fh,
                    lean=3, stride=0.8)
    return out
