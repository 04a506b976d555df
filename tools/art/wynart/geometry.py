"""The street's geometry: one table for the background drawing and for the
scene code.

All coordinates are picture coordinates of the 1280 x 1024 background (x from
the left, y from the top). The scene code receives the same numbers through
the generated header scene_geometry.h (see emit_header), so a window drawn
here and a light switched there can never drift apart.
"""
from collections import namedtuple

Rect = namedtuple("Rect", "x y w h")

PICTURE_W = 1280
PICTURE_H = 1024
SCENE_H = 348                       # height of the work area at the picture's bottom
SCENE_TOP = PICTURE_H - SCENE_H     # 676: first picture row of the work area

# ---------------------------------------------------------------- street bands
HOUSE_BASE_Y = 794      # the house fronts stand on the far pavement from here
PAVEMENT = Rect(0, 794, PICTURE_W, 74)      # the clean pavement strip "GEHWEG"
KERB_Y = 868            # top of the far kerb stone; the road begins below it
ROAD_TOP = 873
LIT_STREET = Rect(0, 868, PICTURE_W, 156)   # "STR_00_ss_vv", the street in headlights
STREET_OVERLAY = Rect(0, 896, PICTURE_W, 128)   # "STR_tt_ss_01", the street without rails
RAIL_Y = (943, 968)     # the two rails of the tram track (tram wheels sit at 954..965)
RAIL_W = 4
NEAR_KERB_Y = 1004      # the near pavement's kerb; the near pavement lies below it
LANE_FAR_Y = 905        # centre line between the two lanes is drawn here (dashes)

# ---------------------------------------------------------------- houses
# Facades from left to right: x range, the kind that names its look, the
# cornice row (top of the front wall) and the roof's highest row.
House = namedtuple("House", "name x0 x1 cornice ridge kind")
HOUSES = [
    House("bakery", -8, 293, 366, 268, "gable"),
    House("door2", 293, 634, 392, 292, "mansard"),
    House("shop", 634, 874, 352, 258, "stepgable"),
    House("resident", 874, 1158, 372, 300, "dormer"),
    House("pub", 1158, 1290, 350, 300, "flat"),
]

# ---------------------------------------------------------------- lights
# Light n: picture rectangle, source rectangle in the "LICHTER" sheets, part of
# the night repaint, timed. Lights 0 and 15 do not exist.
Light = namedtuple("Light", "n dst src night timed")


def _L(n, x, y, sx, sy, w, h, night, timed):
    return Light(n, Rect(x, y, w, h), Rect(sx, sy, w, h), night, timed)


LIGHTS = [
    _L(1, 0, 689, 330, 49, 72, 88, True, True),
    _L(2, 75, 666, 403, 49, 82, 143, True, True),
    _L(3, 159, 653, 0, 127, 112, 32, True, False),
    _L(4, 165, 690, 492, 49, 96, 135, False, False),
    _L(5, 345, 693, 589, 49, 40, 58, True, False),
    _L(6, 531, 693, 589, 108, 40, 58, True, False),
    _L(7, 315, 767, 347, 193, 96, 66, True, True),
    _L(8, 504, 768, 492, 185, 96, 66, True, True),
    _L(9, 418, 697, 614, 167, 72, 124, True, False),
    _L(10, 333, 666, 0, 99, 240, 27, False, False),
    _L(11, 636, 705, 0, 160, 120, 129, False, False),
    _L(12, 650, 668, 241, 99, 88, 34, False, False),
    _L(13, 751, 669, 121, 127, 112, 149, True, True),
    _L(14, 886, 672, 234, 138, 112, 150, True, True),
    _L(16, 990, 706, 630, 49, 72, 116, True, True),
    _L(17, 1077, 706, 703, 49, 72, 115, False, False),
    _L(18, 1192, 702, 687, 166, 88, 124, False, False),
    _L(19, 1192, 662, 492, 252, 88, 33, False, False),
    _L(20, 6, 577, 0, 0, 32, 41, True, True),
    _L(21, 108, 577, 33, 0, 32, 41, True, True),
    _L(22, 209, 577, 66, 0, 32, 41, True, True),
    _L(23, 350, 586, 99, 0, 32, 48, True, True),
    _L(24, 443, 586, 132, 0, 32, 48, True, True),
    _L(25, 536, 586, 165, 0, 32, 48, True, True),
    _L(26, 654, 568, 198, 0, 32, 46, True, True),
    _L(27, 735, 568, 231, 0, 32, 46, True, True),
    _L(28, 816, 568, 264, 0, 32, 46, True, True),
    _L(29, 933, 589, 297, 0, 32, 41, True, False),
    _L(30, 1014, 589, 330, 0, 32, 41, True, True),
    _L(31, 1094, 589, 363, 0, 32, 41, True, True),
    _L(32, 1209, 568, 396, 0, 32, 42, True, True),
    _L(33, 6, 480, 429, 0, 32, 41, True, True),
    _L(34, 108, 480, 462, 0, 32, 41, True, True),
    _L(35, 209, 480, 495, 0, 32, 41, True, True),
    _L(36, 350, 489, 528, 0, 32, 48, True, True),
    _L(37, 443, 489, 561, 0, 32, 48, True, True),
    _L(38, 536, 489, 594, 0, 32, 48, True, True),
    _L(39, 654, 459, 627, 0, 32, 46, True, True),
    _L(40, 735, 458, 660, 0, 32, 46, True, True),
    _L(41, 816, 458, 693, 0, 32, 46, True, True),
    _L(42, 933, 481, 726, 0, 32, 46, True, True),
    _L(43, 1014, 481, 759, 0, 32, 46, True, True),
    _L(44, 1094, 481, 792, 0, 32, 46, True, True),
    _L(45, 1210, 460, 776, 216, 32, 42, True, True),
    _L(46, 108, 385, 776, 174, 32, 41, True, True),
    _L(47, 350, 395, 0, 49, 32, 48, True, True),
    _L(48, 443, 395, 33, 49, 32, 48, True, True),
    _L(49, 536, 395, 66, 49, 32, 48, True, True),
    _L(50, 735, 361, 99, 49, 32, 46, True, True),
    _L(51, 1014, 384, 132, 49, 32, 46, True, True),
    _L(52, 444, 311, 165, 49, 32, 42, True, True),
    _L(53, 321, 342, 198, 49, 32, 26, True, True),
    _L(54, 599, 369, 231, 49, 32, 24, True, True),
    _L(55, 887, 329, 264, 49, 32, 41, True, True),
    _L(56, 1164, 355, 297, 49, 32, 41, True, True),
]
LIGHT_BY_N = {l.n: l for l in LIGHTS}
LIGHTS_SHEET_W = max(l.src.x + l.src.w for l in LIGHTS)   # 824
LIGHTS_SHEET_H = max(l.src.y + l.src.h for l in LIGHTS)   # 291

SIGN_LIGHTS = {3: 1, 10: 2, 12: 3, 19: 4}   # sign light -> house number of its lettering
SHOP_WINDOW_LIGHT = 11                      # the right roller shutter's window
LEFT_SHUTTER_LIGHT = 4

# The English sign lettering: a column per sign, ten variants of 34 rows each.
LICHTERE_COLUMNS = {3: 0, 10: 114, 19: 356}
LICHTERE_ROW = 34
LICHTERE_VARIANTS = 10
LICHTERE_W = 444
LICHTERE_H = 339

# ---------------------------------------------------------------- shutters and clocks
ROLL2_POS = (636, 705)          # = light 11
ROLL2_FRAME = (120, 129)
ROLL2_FRAMES = 15
ROLL2_PITCH = (121, 130)
ROLL2_SHEET = (604, 389)

SHUTTER_POS = (157, 685)        # "FENSTERLADEN" closed over light 4
SHUTTER_SIZE = (120, 81)        # = figure 55's closed-shutters picture
BAKERY_GLASS_H = 70             # the shop window under the shutters, from row 693
# Where the figures at the left house show themselves: figure 55 at door 1
# (scene (91, 9)), figure 58 at (69, 16); figure 68's upper windows of the
# houses 1 to 3, 128 x 160 each.
SHUTTER_FIGURE_POS = (91, SCENE_TOP + 9)
WINDOW_FIGURE58_POS = (69, SCENE_TOP + 16)
UPPER_WINDOWS = {1: (138, 246), 2: (473, 202), 3: (766, 246)}
UPPER_WINDOW_SIZE = (128, 160)

CLOCK_HOUSING_POS = (103, 635)  # design 0, "UHR_tt_ss_0"
CLOCK_HOUSING_SIZE = (40, 30)
CLOCK_DIGITS_Y = 646
CLOCK_DIGITS_X = (110, 116, 124, 130)
SMALL_DIGIT = (5, 11)
LARGE_DIGIT = (14, 26)
CLOCK_DIAL_POS = (107, 631)     # design 1, "UHR_tt_ss_1"
CLOCK_DIAL_SIZE = (33, 33)
CLOCK_PIVOT = (16, 16)

PILLAR_POS = (19, 753)          # object 115 at scene (19, SceneH - 271)
PILLAR_SHEET = (312, 271)
PILLAR_FRAMES = [Rect(0, 0, 24, 271), Rect(24, 0, 72, 271), Rect(96, 0, 72, 271),
                 Rect(168, 0, 72, 271), Rect(240, 0, 72, 271)]
PILLAR_DIGITS_X = (0, 15, 34, 49)           # from ClockX, large digits at ClockY = 70
PILLAR_DATE_X = (10, 16, 26, 32, 42, 48)    # small digits at ClockY + 31
PILLAR_CLOCK_X = {1: 171, 2: 243}           # digital, by season
PILLAR_CLOCK_Y = 70
PILLAR_DIAL_X = {1: 55, 2: 127}             # analogue, by season
PILLAR_DIAL_Y = 65

# ---------------------------------------------------------------- signs and props
WEATHER_PICTURE_POS = (656, 704)
WEATHER_PICTURE_SIZE = (88, 60)
THERMOMETER_ORIGIN = (626, 752)             # the clean sheet is drawn at (x, y - 53)
THERMOMETER_SIZE = (16, 64)
GLYPH_SHEET_SIZE = (84, 9)

STOP_POST = Rect(265, 756, 32, 115)
STOP_POST_SHEET = (112, 115)
STOP_POST_VARIANTS = [Rect(0, 0, 32, 115), Rect(33, 0, 32, 115), Rect(66, 0, 32, 115)]
EXIT_SIGN_X = (6, 46)
EXIT_SIGN_Y = SCENE_TOP + SCENE_H - 113     # 911
EXIT_SHEET = (128, 115)
EXIT_BUTTON = Rect(4, 7, 58, 35)            # the part of a frame that must read as the button
MSG_SIGN_SHEET = (160, 115)
MSG_SIGN_CLICK = Rect(1, 7, 79, 49)
PROP113_POS = (13, 710)
PROP113_FOOT = 159
PROP114_POS = (0, 759)
PROP114_FOOT = 170
BOLLARD_ROW = 830
BOLLARD_SHEET = (120, 40)
BOLLARD_X0 = 520
BOLLARD_PITCH = 120
VANISH_SHEET = (504, 80)
BUBBLE_SIZE = (184, 88)
BUBBLE_TAIL = 30
BUBBLE_TEXT = {1: Rect(10, 2, 165, 52), 2: Rect(10, 2, 165, 52), 3: Rect(10, 6, 165, 37), 4: Rect(10, 6, 165, 37)}
# Also the click band: a click in rows 41..58 beside the buttons closes the bubble.
MUSIC_BUTTONS = [("stop", Rect(7, 41, 17, 18)), ("next", Rect(29, 41, 25, 18)),
                 ("quieter", Rect(61, 41, 14, 18)), ("louder", Rect(81, 41, 11, 18))]

# ---------------------------------------------------------------- doors and hot spots
# Doors 2 to 4 lie inside the residents' 56 x 95 door frames, which their
# scripts draw at the scene points (429, 17), (779, 18) and (914, 18).
DOORS = {1: Rect(99, 693, 41, 89), 2: Rect(429, 700, 54, 86), 3: Rect(779, 694, 46, 90), 4: Rect(914, 694, 46, 90)}
HOT_SPOTS = {
    "A": Rect(99, 693, 41, 77),     # door 1
    "B": Rect(414, 728, 8, 7),      # bell push of door 2
    "C": Rect(754, 720, 17, 20),    # bell of door 3
    "D": Rect(901, 731, 11, 15),    # bell of door 4
    "E": Rect(651, 705, 89, 57),    # shop window / roller shutter
    "F1": Rect(108, 669, 27, 116),  # light 2
    "F2": Rect(794, 675, 26, 15),   # light 13
    "F3": Rect(936, 679, 23, 12),   # light 14
    "G1": Rect(438, 582, 42, 53),
    "G2": Rect(519, 582, 59, 53),
    "H": Rect(191, 477, 71, 56),
    "I": Rect(90, 382, 71, 56),
}
FIGURE29_WINDOW = Rect(324, 693, 64, 58)
WINDOW_FIGURE_ANCHORS = {1: (89, 381), 2: (89, 381), 3: (190, 573), 4: (190, 476), 5: (190, 476),
                         6: (190, 476), 7: (332, 390), 8: (518, 581), 9: (332, 581), 10: (518, 389),
                         11: (1069, 700), 12: (1090, 701), 13: (654, 459)}

# ---------------------------------------------------------------- lettered vehicles
# The advertising panels the user's pictures are fitted to: the bus's and the
# lorry's panel is the whole lettered picture; the tram's picture band lies on
# its lettered body. The vehicles' lettering templates and frames are drawn at
# these sizes.
LETTER_BUS = (312, 113)
LETTER_TRAM = (888, 187)
LETTER_TRAM_BAND = Rect(11, 83, 857, 90)
LETTER_TRUCK = (305, 80)

# ---------------------------------------------------------------- header for the scene code


def _rect(r):
    return "{%d, %d, %d, %d}" % tuple(r)


def emit_header():
    out = []
    w = out.append
    w("// Scene geometry: generated from tools/art/wynart/geometry.py, the one table the")
    w("// background pictures are drawn from. Picture coordinates of the 1280 x 1024")
    w("// background, y from the top. Do not edit: change the table and rebuild.")
    w("#pragma once")
    w("")
    w("#include <cstdint>")
    w("")
    w("namespace scene {")
    w("")
    w("struct GeoRect {")
    w("    int32_t x, y, w, h;")
    w("};")
    w("")
    w("struct LightPlace {")
    w("    int32_t n;          // light number 1..56 (0 and 15 unused)")
    w("    GeoRect dst;        // picture rectangle")
    w("    GeoRect src;        // rectangle in the LICHTER sheets")
    w("    bool night;         // part of the night repaint")
    w("    bool timed;         // counts down and goes off by itself")
    w("};")
    w("")
    consts = [
        ("kPictureW", PICTURE_W), ("kPictureH", PICTURE_H), ("kSceneH", SCENE_H), ("kSceneTop", SCENE_TOP),
        ("kHouseBaseY", HOUSE_BASE_Y), ("kKerbY", KERB_Y), ("kRoadTop", ROAD_TOP), ("kNearKerbY", NEAR_KERB_Y),
        ("kRailY0", RAIL_Y[0]), ("kRailY1", RAIL_Y[1]),
        ("kLightsSheetW", LIGHTS_SHEET_W), ("kLightsSheetH", LIGHTS_SHEET_H),
        ("kLichterEW", LICHTERE_W), ("kLichterEH", LICHTERE_H), ("kLichterERow", LICHTERE_ROW),
        ("kRoll2X", ROLL2_POS[0]), ("kRoll2Y", ROLL2_POS[1]), ("kRoll2FrameW", ROLL2_FRAME[0]),
        ("kRoll2FrameH", ROLL2_FRAME[1]), ("kRoll2Frames", ROLL2_FRAMES), ("kRoll2PitchX", ROLL2_PITCH[0]),
        ("kRoll2PitchY", ROLL2_PITCH[1]),
        ("kShutterX", SHUTTER_POS[0]), ("kShutterY", SHUTTER_POS[1]),
        ("kShutterW", SHUTTER_SIZE[0]), ("kShutterH", SHUTTER_SIZE[1]),
        ("kShutterFigureX", SHUTTER_FIGURE_POS[0]), ("kShutterFigureY", SHUTTER_FIGURE_POS[1] - SCENE_TOP),
        ("kWindowFigure58X", WINDOW_FIGURE58_POS[0]), ("kWindowFigure58Y", WINDOW_FIGURE58_POS[1] - SCENE_TOP),
        ("kUpperWindowW", UPPER_WINDOW_SIZE[0]), ("kUpperWindowH", UPPER_WINDOW_SIZE[1]),
        ("kClockHousingX", CLOCK_HOUSING_POS[0]), ("kClockHousingY", CLOCK_HOUSING_POS[1]),
        ("kClockDigitsY", CLOCK_DIGITS_Y), ("kClockDialX", CLOCK_DIAL_POS[0]), ("kClockDialY", CLOCK_DIAL_POS[1]),
        ("kClockPivotX", CLOCK_PIVOT[0]), ("kClockPivotY", CLOCK_PIVOT[1]),
        ("kSmallDigitW", SMALL_DIGIT[0]), ("kSmallDigitH", SMALL_DIGIT[1]),
        ("kLargeDigitW", LARGE_DIGIT[0]), ("kLargeDigitH", LARGE_DIGIT[1]),
        ("kPillarX", PILLAR_POS[0]), ("kPillarY", PILLAR_POS[1]),
        ("kPillarClockYDigital", PILLAR_CLOCK_Y), ("kPillarClockYAnalogue", PILLAR_DIAL_Y),
        ("kWeatherPictureX", WEATHER_PICTURE_POS[0]), ("kWeatherPictureY", WEATHER_PICTURE_POS[1]),
        ("kThermometerX", THERMOMETER_ORIGIN[0]), ("kThermometerY", THERMOMETER_ORIGIN[1]),
        ("kStopPostX", STOP_POST.x), ("kStopPostY", STOP_POST.y), ("kStopPostW", STOP_POST.w),
        ("kStopPostH", STOP_POST.h),
        ("kExitSignY", EXIT_SIGN_Y), ("kProp113X", PROP113_POS[0]), ("kProp113Y", PROP113_POS[1]),
        ("kProp113Foot", PROP113_FOOT), ("kProp114X", PROP114_POS[0]), ("kProp114Y", PROP114_POS[1]),
        ("kProp114Foot", PROP114_FOOT), ("kBollardRow", BOLLARD_ROW), ("kBollardX0", BOLLARD_X0),
        ("kBollardPitch", BOLLARD_PITCH), ("kBubbleW", BUBBLE_SIZE[0]), ("kBubbleH", BUBBLE_SIZE[1]),
        ("kBubbleTail", BUBBLE_TAIL),
        ("kLetterBusW", LETTER_BUS[0]), ("kLetterBusH", LETTER_BUS[1]),
        ("kLetterTramW", LETTER_TRAM[0]), ("kLetterTramH", LETTER_TRAM[1]),
        ("kLetterTruckW", LETTER_TRUCK[0]), ("kLetterTruckH", LETTER_TRUCK[1]),
    ]
    for name, v in consts:
        w("constexpr int32_t %s = %d;" % (name, v))
    w("")
    w("constexpr int32_t kClockDigitsX[4] = {%s};" % ", ".join(map(str, CLOCK_DIGITS_X)))
    w("constexpr int32_t kPillarDigitsX[4] = {%s};" % ", ".join(map(str, PILLAR_DIGITS_X)))
    w("constexpr int32_t kPillarDateX[6] = {%s};" % ", ".join(map(str, PILLAR_DATE_X)))
    w("// Pillar clock x by season (index 1 summer, 2 winter; 0 unused).")
    w("constexpr int32_t kPillarClockXDigital[3] = {0, %d, %d};" % (PILLAR_CLOCK_X[1], PILLAR_CLOCK_X[2]))
    w("constexpr int32_t kPillarClockXAnalogue[3] = {0, %d, %d};" % (PILLAR_DIAL_X[1], PILLAR_DIAL_X[2]))
    w("constexpr GeoRect kPillarFrames[5] = {%s};" % ", ".join(_rect(r) for r in PILLAR_FRAMES))
    w("constexpr GeoRect kStopPostVariants[3] = {%s};" % ", ".join(_rect(r) for r in STOP_POST_VARIANTS))
    w("constexpr int32_t kExitSignX[2] = {%d, %d};  // tram off, tram on" % EXIT_SIGN_X)
    w("constexpr GeoRect kExitButton = %s;" % _rect(EXIT_BUTTON))
    w("constexpr GeoRect kMsgSignClick = %s;" % _rect(MSG_SIGN_CLICK))
    w("constexpr GeoRect kLetterTramBand = %s;" % _rect(LETTER_TRAM_BAND))
    w("")
    w("// Text boxes of the speech bubbles by kind (index 0 unused): left, top, width, height.")
    w("constexpr GeoRect kBubbleText[5] = {{0, 0, 0, 0}, %s};" % ", ".join(_rect(BUBBLE_TEXT[k]) for k in (1, 2, 3, 4)))
    w("// Buttons of the music bubbles: stop, next, quieter, louder.")
    w("constexpr GeoRect kMusicButtons[4] = {%s};" % ", ".join(_rect(r) for _, r in MUSIC_BUTTONS))
    w("")
    w("// Doors 1..4 (index 0 unused) and the click spots of the house fronts.")
    w("constexpr GeoRect kDoors[5] = {{0, 0, 0, 0}, %s};" % ", ".join(_rect(DOORS[k]) for k in (1, 2, 3, 4)))
    for k, r in HOT_SPOTS.items():
        w("constexpr GeoRect kHotSpot%s = %s;" % (k, _rect(r)))
    w("constexpr GeoRect kFigure29Window = %s;" % _rect(FIGURE29_WINDOW))
    w("// Upper windows of the houses 1..3 (index 0 unused): picture x, y of the top-left.")
    w("constexpr int32_t kUpperWindow[4][2] = {{0, 0}, %s};" % ", ".join(
        "{%d, %d}" % UPPER_WINDOWS[k] for k in (1, 2, 3)))
    w("// Top-left anchors of the window figures 1..13 (index 0 unused).")
    w("constexpr int32_t kWindowFigureAnchor[14][2] = {{0, 0}, %s};" % ", ".join(
        "{%d, %d}" % WINDOW_FIGURE_ANCHORS[k] for k in range(1, 14)))
    w("")
    w("constexpr int32_t kShutterWindowLight = %d;" % LEFT_SHUTTER_LIGHT)
    w("constexpr int32_t kShopWindowLight = %d;" % SHOP_WINDOW_LIGHT)
    w("// Sign lights of the houses 1..4 (index 0 unused).")
    inv = {v: k for k, v in SIGN_LIGHTS.items()}
    w("constexpr int32_t kSignLight[5] = {0, %d, %d, %d, %d};" % tuple(inv[h] for h in (1, 2, 3, 4)))
    w("")
    w("// The house lights in table order (%d entries)." % len(LIGHTS))
    w("constexpr LightPlace kLights[%d] = {" % len(LIGHTS))
    for l in LIGHTS:
        w("    {%d, %s, %s, %s, %s}," % (l.n, _rect(l.dst), _rect(l.src), "true" if l.night else "false",
                                         "true" if l.timed else "false"))
    w("};")
    w("")
    w("}  // namespace scene")
    return "\n".join(out) + "\n"


def check():
    """The table's own promises: no two source rectangles overlap, and the
    light rectangles overlap only where the layout says they may."""
    for i, a in enumerate(LIGHTS):
        for b in LIGHTS[i + 1:]:
            if _overlap(a.src, b.src):
                raise ValueError("light sources %d and %d overlap" % (a.n, b.n))
    return True


def _overlap(a, b):
    return a.x < b.x + b.w and b.x < a.x + a.w and a.y < b.y + b.h and b.y < a.y + a.h


def shared_columns():
    """Pixels that belong to two light rectangles: they must look the same in
    both lights' on and off looks."""
    out = []
    for i, a in enumerate(LIGHTS):
        for b in LIGHTS[i + 1:]:
            if _overlap(a.dst, b.dst):
                x0, x1 = max(a.dst.x, b.dst.x), min(a.dst.x + a.dst.w, b.dst.x + b.dst.w)
                y0, y1 = max(a.dst.y, b.dst.y), min(a.dst.y + a.dst.h, b.dst.y + b.dst.h)
                out.append((a.n, b.n, Rect(x0, y0, x1 - x0, y1 - y0)))
    return out
