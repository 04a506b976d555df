"""The street's colours (day colours; dusk and night come from lighting.py)."""

PLASTER = {
    "bakery": "#e2b35c",     # ochre
    "door2": "#c8725a",      # terracotta
    "shop": "#9fb58e",       # sage
    "resident": "#eadfc0",   # cream
    "pub": "#8e5a4a",        # dark red-brown with timber
}
TRIM = {
    "bakery": "#f4e6c4",
    "door2": "#f1dcc6",
    "shop": "#eef0e2",
    "resident": "#b8a27a",
    "pub": "#e9d9b8",
}
ROOF_SLATE = "#5f6778"
ROOF_TILE = "#b0543c"
ROOF_DARK_TILE = "#8a4434"
WINDOW_FRAME = "#f5f1e6"
GLASS = "#9cc3d8"
GLASS_DARK = "#6d94ad"
CURTAIN = "#f1ead8"
DOOR_WOOD = "#7a4a2a"
DOOR_GREEN = "#3f6b4f"
DOOR_BLUE = "#3d5a86"
DOOR_RED = "#8e3b32"
STONE = "#b9b2a4"
STONE_DARK = "#8d8676"
PAVEMENT = "#c9c1b2"
PAVEMENT_DARK = "#aca392"
KERB = "#d6d2c8"
KERB_FRONT = "#8f8a80"
ASPHALT = "#6c6d70"
ASPHALT_DARK = "#5d5e62"
COBBLE = "#857f76"
RAIL = "#c8ccd2"
RAIL_DARK = "#4d4f55"
SNOW = "#f7f9fc"
SNOW_SHADE = "#d5deea"
FLOWER_COLOURS = ["#e0474c", "#f2c94c", "#e86fa5", "#ffffff", "#f08a3c"]
LEAF = "#4f8a3a"
WARM_LIGHT = (1.0, 0.84, 0.52)
WARM_LIGHT_DEEP = (0.98, 0.66, 0.32)
