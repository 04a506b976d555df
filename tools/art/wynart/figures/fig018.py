"""Figure 18: three men who walk along the far pavement together, drawn as
one wide figure; they stop to talk (gestures, laughter, a shrug), may turn
round and walk back to the right."""
from ..figdesc import Frame, FigureDesc, SheetPlan
from ..people import LOOKS
from ..figure import Look, Pose, stand, walk_cycle

H = 88
FEET = 87
FIRST = LOOKS[18]
SECOND = Look(height=77, build=1.2, hair="#8a8a8a", hair_style="bald", skin="#e8b898", top="#7a4a2a",
              top_kind="jacket", beard="#9a9a9a", bottom="#3a3a40")
THIRD = Look(height=81, build=0.95, hair="#1a1410", hair_style="curly", skin="#9a6a48", top="#2a5a8a",
             top_kind="sweater", bottom="#2a2a30", hat="cap", hat_colour="#3a3a3a")
WINTER_LOOKS = {None: FIRST.winter(coat="#4a4a52", scarf="#3a6a9a", hat="hat", hat_colour="#2a2a2a"),
                "second": SECOND.winter(coat="#5a3a22", scarf="#c8b070", hat="beanie", hat_colour="#7a2a2a"),
                "third": THIRD.winter(coat="#1a3a5a", scarf="#e0e0e0", hat="beanie", hat_colour="#3a3a3a")}

LEFT = walk_cycle(-1, stride=0.9, lean=3)
LEFT_TALK = walk_cycle(-1, stride=0.85, lean=2, head="front", mouth="open")
RIGHT = walk_cycle(1, stride=0.9, lean=3)


def _group(idx, x, y, w, what, poses, hips):
    """Three men: the first in front, the others behind him."""
    company = [("second", poses[1], hips[1]), ("third", poses[2], hips[2])]
    return Frame(idx, x, y, w, H, what, poses[0], hips[0], company=company)


def _walk(first, rects, what, cycle, direction, talk=False):
    out = []
    for k, (x, y, w) in enumerate(rects):
        shift = direction * 15 * k / 4.0
        base = (28, 64, 100) if direction < 0 else (28, 64, 100)
        hips = [min(max(h + shift + (6 if direction < 0 else -6), 14), w - 14) for h in base]
        poses = [cycle[k % 4], cycle[(k + 2) % 4], cycle[(k + 1) % 4]]
        out.append(_group(first + k, x, y, w, "%s, step %d" % (what, k), poses, hips))
    return out


TALK = [
    ("talk: the first tells a story", [stand(head="side", head_facing=1, mouth="open", near_arm=(60, -20)),
                                       stand(head="side", head_facing=-1), stand(head="side", head_facing=-1)]),
    ("talk: the second laughs", [stand(head="side", head_facing=1, mouth="smile"),
                                 stand(mouth="open", eyes="closed", neck=-10), stand(head="side", head_facing=-1,
                                                                                      mouth="smile")]),
    ("talk: the third points down the street", [stand(head="side", head_facing=1),
                                                stand(head="side", head_facing=1),
                                                stand(far_arm=(100, 0), head="side", head_facing=1, mouth="open")]),
    ("talk: they all nod", [stand(neck=12), stand(neck=12), stand(neck=12)]),
    ("talk: the second shrugs", [stand(head="side", head_facing=1), stand(near_arm=(30, 80), far_arm=(30, 80),
                                                                          mouth="frown"),
                                 stand(head="side", head_facing=-1)]),
]
TALK_ON = [
    ("talk on: the first waves his hands", [stand(near_arm=(80, -40), far_arm=(80, -40), mouth="open"),
                                            stand(head="side", head_facing=-1), stand(head="side",
                                                                                      head_facing=-1)]),
    ("talk on: the third scratches his head", [stand(), stand(head="side", head_facing=1),
                                               stand(far_arm=(125, 100), head="side", head_facing=-1)]),
    ("talk on: they laugh together", [stand(mouth="open", eyes="closed"), stand(mouth="open", eyes="closed"),
                                      stand(mouth="open", eyes="closed", neck=-8)]),
    ("talk on: the second counts on his fingers", [stand(head="side", head_facing=1),
                                                   stand(near_arm=(60, -60), far_arm=(60, -60), neck=10),
                                                   stand(head="side", head_facing=-1)]),
    ("talk on: the first checks his watch", [stand(near_arm=(18, -105), neck=10), stand(head="side",
                                                                                     head_facing=-1),
                                             stand(head="side", head_facing=-1)]),
    ("talk on: the third slaps the second's shoulder", [stand(head="side", head_facing=1), stand(mouth="smile"),
                                                        stand(near_arm=(80, 0), mouth="smile")]),
    ("talk on: all listen", [stand(head="side", head_facing=1), stand(), stand(head="side", head_facing=-1)]),
]
TURN = [
    ("turn: the first turns round", [Pose(facing=1, lean=0, near_arm=(-4, 12), far_arm=(4, 12)),
                                     stand(head="side", head_facing=1), stand(head="side", head_facing=1)]),
    ("turn: the others turn", [Pose(facing=1, lean=0), Pose(facing=1, lean=0), stand(head="side",
                                                                                     head_facing=1)]),
    ("turn: all face right", [Pose(facing=1, lean=2), Pose(facing=1, lean=2), Pose(facing=1, lean=2)]),
]


def _frames():
    out = _walk(0, [(129 * k, 0, 128) for k in range(4)], "walk left", LEFT, -1)
    out += _walk(4, [(129 * k, 0, 128) for k in range(4, 7)] + [(0, 89, 128)], "walk left, talking", LEFT_TALK, -1)
    talk_rects = [(x, 89, 120) for x in (129, 250, 371, 492, 613)]
    on_rects = [(734, 89, 120)] + [(x, 178, w) for x, w in zip((0, 121, 242, 355, 468, 581),
                                                               (120, 120, 112, 112, 112, 112))]
    for k, ((x, y, w), (what, poses)) in enumerate(zip(talk_rects, TALK)):
        out.append(_group(8 + k, x, y, w, what, poses, (24, w / 2.0, w - 24)))
    for k, ((x, y, w), (what, poses)) in enumerate(zip(on_rects, TALK_ON)):
        out.append(_group(13 + k, x, y, w, what, poses, (24, w / 2.0, w - 24)))
    for k, ((x, y, w), (what, poses)) in enumerate(zip([(694, 178, 128), (823, 178, 128), (0, 267, 112)], TURN)):
        out.append(_group(20 + k, x, y, w, what, poses, (26, w / 2.0, w - 26)))
    out += _walk(23, [(x, 267, 128) for x in (113, 242, 371, 500)], "walk right", RIGHT, 1)
    return out


DESC = FigureDesc(18, "three men walking and talking", 128, FEET, _frames(), [SheetPlan(0, None, (951, 355))],
                  {1: {None: FIRST, "second": SECOND, "third": THIRD}, 2: WINTER_LOOKS})
resources, build, frame_headers = DESC.resources, DESC.build, DESC.frame_headers
