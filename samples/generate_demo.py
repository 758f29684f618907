#!/usr/bin/python3
"""Generates the demo kit in samples/demo/:

  demo.dxf        a small office building (30 x 20 m, in metres) on levels
                      1, 2, 3 and a site level (S), with the layers WALL, DOOR,
                      WIND, TEXT, POCHE, FURN and DIM of each level: walls with
                      their thickness, openings and solid poche, doors and
                      windows as blocks, furniture, room names with their
                      areas, dimensions; the site's boundary, paths, trees and
                      north arrow; layers of the attached reference PLAN, an
                      A3 paper-space layout (millimetres) with two viewports
                      at 1:200 and a title block, named views and UCSs, and
                      the blocks door, window, table and arrow (the symbol
                      bar's) besides chair, desk, sofa, wc, basin, stair,
                      tree and north
  demo.Zmb        the modifier bar: one button per level
  demo.Zly        layer configurations over those levels
  symbols.Zsb         the symbol bar: door, window, table, arrow
  blocks/*.dwg        the symbol bar's block drawing files (DXF content)
  bitmaps/*.bmp       20 x 20, 16-colour button images

Paths inside the bar files and the drawing are relative to the drawing's
folder (samples/demo/), so the kit works wherever it is copied and whatever
directory the zan program is started from.

Usage: /usr/bin/python3 samples/generate_demo.py [OUTPUT_DIR]   (needs python3-ezdxf)

The files are the same byte for byte at every run (fixed dates and
identifiers in the drawings), so the kit changes only when the generator
does; OUTPUT_DIR (default samples/demo) lets a test compare a fresh kit
with the one in the repository.
"""

import math
import os
import struct
import sys

import ezdxf
from ezdxf.math import Vec3

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "demo")
REL = ""  # the kit's directory as seen from the drawing's folder: the same one

# Levels: (name, modifier, x offset of the level's plan in model space)
LEVELS = [("Level 1", "1", 0.0), ("Level 2", "2", 50.0), ("Level 3", "3", 100.0), ("Site", "S", 150.0)]
ROOTS = [  # root layer name, colour, linetype
    ("WALL", 7, "Continuous"),
    ("DOOR", 3, "Continuous"),
    ("WIND", 4, "Continuous"),
    ("TEXT", 2, "Continuous"),
    ("POCHE", 8, "Continuous"),
    ("FURN", 6, "DASHED"),
    ("DIM", 1, "Continuous"),
]
APP = "TUV_1001001"

# ---------------------------------------------------------------- bitmaps

PALETTE = [  # the 16 colours of the classic VGA palette (B, G, R, 0)
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128), (128, 128, 0),
    (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255), (255, 0, 0),
    (255, 0, 255), (255, 255, 0), (255, 255, 255),
]
FONT = {  # 5 x 7 glyphs
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "3": ["11110", "00001", "00001", "01110", "00001", "00001", "11110"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
}


def write_bmp(path, pixels):
    """Writes a 4-bit device-independent bitmap; pixels[y][x] are palette
    indices, row 0 at the top."""
    height, width = len(pixels), len(pixels[0])
    row_bytes = ((width * 4 + 31) // 32) * 4
    data = bytearray()
    for row in reversed(pixels):  # bottom-up rows
        packed = bytearray(row_bytes)
        for x, c in enumerate(row):
            packed[x // 2] |= (c & 15) << (4 if x % 2 == 0 else 0)
        data += packed
    palette = b"".join(struct.pack("<BBBB", r, g, b, 0) for (b, g, r) in
                       [(c[2], c[1], c[0]) for c in PALETTE])
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + data)


def canvas(background):
    return [[background] * 20 for _ in range(20)]


def level_bitmap(char, background):
    px = canvas(background)
    glyph = FONT[char]
    for gy, line in enumerate(glyph):
        for gx, bit in enumerate(line):
            if bit == "1":
                for dy in range(2):
                    for dx in range(2):
                        px[3 + gy * 2 + dy - 1][5 + gx * 2 + dx] = 0
    return px


def symbol_bitmap(kind):
    px = canvas(15)
    if kind == "door":
        for y in range(3, 18):
            px[y][4] = 0
        for a in range(0, 91, 3):
            x = 4 + round(13 * math.cos(math.radians(a)))
            y = 17 - round(13 * math.sin(math.radians(a)))
            px[y][x] = 9
    elif kind == "window":
        for x in range(2, 18):
            px[8][x] = px[11][x] = 0
            px[9][x] = px[10][x] = 11
    elif kind == "table":
        for x in range(4, 16):
            px[5][x] = px[14][x] = 5
        for y in range(5, 15):
            px[y][4] = px[y][15] = 5
    elif kind == "arrow":
        for y in range(4, 17):
            for x in range(4, 4 + 2 * (6 - abs(y - 10)) + 1):
                px[y][x] = 12
    return px


# ---------------------------------------------------------------- blocks

def rectangle(block, x0, y0, x1, y1, **attribs):
    return block.add_lwpolyline([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], close=True, dxfattribs=attribs)


def define_blocks(doc):
    """The blocks the plans are drawn with. Each is drawn on layer 0 (so it
    takes the layer of its reference), except the table, whose top and centre
    piece keep layers of their own."""
    # A door of unit width: the opening runs along +X from the hinge at the
    # base point, the leaf stands open along +Y and the arc is its swing.
    door = doc.blocks.new("door", base_point=(0, 0))
    door.add_line((0, 0), (0, 1))
    door.add_arc((0, 0), 1.0, 0, 90)
    # A window 1.5 long in a wall 0.3 thick, the base point on the wall's
    # centre line at one end: the two faces, the glass and the two jambs.
    window = doc.blocks.new("window", base_point=(0, 0))
    window.add_line((0, 0), (1.5, 0))
    window.add_line((0, 0.15), (1.5, 0.15))
    window.add_line((0, -0.15), (1.5, -0.15))
    window.add_line((0, -0.15), (0, 0.15))
    window.add_line((1.5, -0.15), (1.5, 0.15))
    table = doc.blocks.new("table", base_point=(0, 0))
    table.add_lwpolyline([(-0.6, -0.4), (0.6, -0.4), (0.6, 0.4), (-0.6, 0.4)], close=True,
                         dxfattribs={"layer": "FURN"})
    table.add_circle((0, 0), 0.2, dxfattribs={"layer": "TEXT"})
    arrow = doc.blocks.new("arrow", base_point=(0, 0))
    arrow.add_solid([(0, 0), (-1, 0.1667), (-1, -0.1667)])
    init = doc.blocks.new("TUV_INIT_OBJ", base_point=(0, 0))  # empty marker block
    del init

    # A chair seen from above, its back along +Y, the base point in its middle.
    chair = doc.blocks.new("chair", base_point=(0, 0))
    rectangle(chair, -0.22, -0.22, 0.22, 0.18)
    rectangle(chair, -0.24, 0.18, 0.24, 0.26)
    # A desk 1.6 x 0.8, the base point in its middle.
    desk = doc.blocks.new("desk", base_point=(0, 0))
    rectangle(desk, -0.8, -0.4, 0.8, 0.4)
    desk.add_line((-0.3, 0.25), (0.3, 0.25))  # a screen at the back
    # A sofa 2.2 x 0.9, its back along +Y.
    sofa = doc.blocks.new("sofa", base_point=(0, 0))
    rectangle(sofa, -1.1, -0.45, 1.1, 0.45)
    sofa.add_line((-0.9, 0.2), (0.9, 0.2))
    sofa.add_line((-0.9, -0.45), (-0.9, 0.45))
    sofa.add_line((0.9, -0.45), (0.9, 0.45))
    sofa.add_line((0, -0.45), (0, 0.2))
    # A toilet, the cistern against the wall along -Y from the base point.
    wc = doc.blocks.new("wc", base_point=(0, 0))
    rectangle(wc, -0.25, 0.0, 0.25, 0.18)
    wc.add_ellipse((0, 0.45), major_axis=(0, 0.27), ratio=0.7)
    # A wash basin against the wall at the base point.
    basin = doc.blocks.new("basin", base_point=(0, 0))
    rectangle(basin, -0.3, 0.0, 0.3, 0.45)
    basin.add_circle((0, 0.25), 0.14)
    # A stair of two flights, 2.4 wide and 5 long, going up along +Y on the
    # left and coming back on the right; the base point is the lower left
    # corner.
    stair = doc.blocks.new("stair", base_point=(0, 0))
    rectangle(stair, 0, 0, 2.4, 5.0)
    stair.add_line((1.15, 0), (1.15, 3.64))
    stair.add_line((1.25, 0), (1.25, 3.64))
    stair.add_line((1.15, 3.64), (1.25, 3.64))
    for i in range(1, 14):
        y = round(i * 0.28, 2)
        stair.add_line((0, y), (1.15, y))
        stair.add_line((1.25, y), (2.4, y))
    stair.add_lwpolyline([(0.575, 0.2), (0.575, 4.3), (1.825, 4.3), (1.825, 0.6)])
    stair.add_lwpolyline([(1.7, 0.85), (1.825, 0.6), (1.95, 0.85)])
    stair.add_line((0, 2.1), (1.15, 2.6))  # where the cut plane crosses the first flight
    # A tree: its canopy and trunk.
    tree = doc.blocks.new("tree", base_point=(0, 0))
    tree.add_circle((0, 0), 1.5)
    tree.add_circle((0, 0), 0.15)
    for a in range(0, 360, 60):
        c, s = math.cos(math.radians(a)), math.sin(math.radians(a))
        tree.add_line((0.3 * c, 0.3 * s), (1.1 * c, 1.1 * s))
    # A north arrow of radius 1, pointing along +Y.
    north = doc.blocks.new("north", base_point=(0, 0))
    north.add_circle((0, 0), 1.0)
    north.add_solid([(0, 1.0), (-0.3, -0.6), (0, -0.3)])
    north.add_lwpolyline([(0, 1.0), (0.3, -0.6), (0, -0.3)])
    north.add_text("N", dxfattribs={"height": 0.5, "insert": (0, 1.25), "halign": 1, "align_point": (0, 1.25)})


def block_file(name, build):
    """A block drawing file: a drawing whose model space holds the block."""
    doc = ezdxf.new("R2013")
    doc.layers.add("FURN", color=6)
    doc.layers.add("TEXT", color=2)
    build(doc.modelspace())
    doc.header["$INSBASE"] = (0, 0, 0)
    doc.saveas(os.path.join(OUT, "blocks", name + ".dwg"))


# ---------------------------------------------------------------- drawing

def acad_viewport_xdata(center, height, frozen):
    """The "ACAD" extended data of a viewport: view settings and, inside the
    inner braces, one 1003 group per layer frozen in the viewport."""
    cx, cy = center
    data = [(1000, "MVIEW"), (1002, "{"), (1070, 16),
            (1010, (0, 0, 0)), (1010, (0, 0, 1)),
            (1040, 0.0), (1040, height), (1040, cx), (1040, cy), (1040, 50.0), (1040, 0.0), (1040, 0.0),
            (1070, 0), (1070, 1000), (1070, 1), (1070, 1), (1070, 0), (1070, 0), (1070, 0), (1070, 0),
            (1040, 0.0), (1040, 0.0), (1040, 0.0), (1040, 1.0), (1040, 1.0), (1040, 1.0), (1040, 1.0),
            (1070, 0), (1002, "{")]
    data += [(1003, name) for name in frozen]
    data += [(1002, "}"), (1002, "}")]
    return data


# The plan of levels 1 to 3, in metres, the level's own origin at the outer
# south-west corner. The outer walls are 0.3 thick; the building is 30 x 20.
WIDTH, DEPTH, OUTER = 30.0, 20.0, 0.3

# Openings in the outer walls: (side, start, width, kind). The position is
# measured along the side from its south or west end.
def outer_openings(mod):
    entrance = "door" if mod == "1" else "window"
    return [
        ("S", 2.2, 2.4, "window"), ("S", 10.8, 1.2, entrance), ("S", 17.5, 2.4, "window"),
        ("S", 26.5, 1.2, "window"),
        ("N", 2.0, 2.4, "window"), ("N", 6.5, 2.4, "window"), ("N", 11.0, 2.4, "window"),
        ("N", 17.5, 2.4, "window"), ("N", 25.5, 2.4, "window"),
        ("E", 8.0, 2.4, "window"), ("E", 15.0, 2.4, "window"),
        ("W", 3.0, 2.4, "window"), ("W", 13.0, 2.4, "window"),
    ]


# Inner walls: (axis, fixed coordinate, from, to, thickness, doors); an "x"
# wall runs along X at y = fixed. A door is (start, width, swing side: +1
# towards larger coordinates across the wall, -1 towards smaller). The first
# is the spine wall between the west and the east half.
INNER_WALLS = [
    ("y", 15.0, OUTER, DEPTH - OUTER, 0.2, [(9.0, 1.0, -1)]),
    ("x", 8.0, OUTER, 14.9, 0.15, [(3.0, 0.9, -1), (9.0, 1.0, 1)]),
    ("y", 8.0, OUTER, 7.925, 0.15, []),
    ("x", 12.0, 15.1, WIDTH - OUTER, 0.15, [(17.0, 0.9, 1), (26.0, 0.9, 1)]),
    ("y", 22.5, 12.075, DEPTH - OUTER, 0.15, []),
    ("x", 6.0, 15.1, WIDTH - OUTER, 0.15, [(20.6, 0.9, -1), (22.6, 0.8, -1)]),
    ("y", 22.0, OUTER, 5.925, 0.15, []),
]

# Rooms: (name on each level, x0, y0, x1, y1 of the floor, where the name goes).
def rooms(mod):
    big = {"1": "RECEPTION", "2": "OPEN OFFICE", "3": "STUDIO"}[mod]
    return [
        ("MEETING", 0.3, 0.3, 7.925, 7.925, (4.1, 1.6)),
        ("STAIR HALL", 8.075, 0.3, 14.9, 7.925, (10.0, 6.6)),
        (big, 0.3, 8.075, 14.9, 19.7, (7.6, 14.3)),
        ("OFFICE", 15.1, 12.075, 22.425, 19.7, (18.8, 14.3)),
        ("OFFICE", 22.575, 12.075, 29.7, 19.7, (26.1, 14.3)),
        ("LOUNGE", 15.1, 6.075, 29.7, 11.925, (24.5, 7.4)),
        ("KITCHEN", 15.1, 0.3, 21.925, 5.925, (18.5, 4.7)),
        ("WC", 22.075, 0.3, 29.7, 5.925, (25.8, 4.4)),
    ]


def outer_side_point(side, t, inset):
    """A point of the outer wall's face `inset` inside the outer face, at `t`
    along the side."""
    return {"S": (t, inset), "E": (WIDTH - inset, t), "N": (t, DEPTH - inset), "W": (inset, t)}[side]


def outer_runs(openings, inset):
    """The face `inset` inside the outer face, as open paths from one opening
    to the next, turning the corners between them (counter-clockwise)."""
    # Position along the perimeter, counter-clockwise from the south-west corner.
    def along(side, t):
        return {"S": t, "E": WIDTH + t, "N": WIDTH + DEPTH + (WIDTH - t), "W": 2 * WIDTH + DEPTH + (DEPTH - t)}[side]
    cuts = []
    for side, start, width, _ in openings:
        a, b = along(side, start), along(side, start + width)
        cuts.append((min(a, b), max(a, b)))
    cuts.sort()
    corners = [(WIDTH, (WIDTH - inset, inset)), (WIDTH + DEPTH, (WIDTH - inset, DEPTH - inset)),
               (2 * WIDTH + DEPTH, (inset, DEPTH - inset)), (2 * (WIDTH + DEPTH), (inset, inset))]
    perimeter = 2 * (WIDTH + DEPTH)

    def point(p):
        p %= perimeter
        if p < WIDTH:
            return (p, inset)
        if p < WIDTH + DEPTH:
            return (WIDTH - inset, p - WIDTH)
        if p < 2 * WIDTH + DEPTH:
            return (WIDTH - (p - WIDTH - DEPTH), DEPTH - inset)
        return (inset, DEPTH - (p - 2 * WIDTH - DEPTH))

    runs = []
    for i, (_, end) in enumerate(cuts):
        nxt = cuts[(i + 1) % len(cuts)][0]
        if nxt < end:
            nxt += perimeter
        path = [point(end)]
        for at, corner in corners + [(c + perimeter, p) for c, p in corners]:
            if end < at < nxt:
                path.append(corner)
        path.append(point(nxt))
        runs.append(path)
    return runs


def inner_pieces(wall):
    """The solid pieces of an inner wall between its doors: (from, to)."""
    _, _, start, stop, _, doors = wall
    pieces, at = [], start
    for door_start, width, _ in sorted(doors):
        pieces.append((at, door_start))
        at = door_start + width
    pieces.append((at, stop))
    return pieces


def wall_point(axis, fixed, along, across):
    return (along, fixed + across) if axis == "x" else (fixed + across, along)


def place_door(msp, layer, x0, hinge, towards, width, swing):
    """A door of `width` hinged at `hinge` (a point of the wall face on the
    swing side), its opening running towards `towards`, swinging to `swing`
    (a unit vector across the wall)."""
    dx, dy = towards[0] - hinge[0], towards[1] - hinge[1]
    # The block swings to the left of its opening direction; a door that
    # swings to the right is hinged at the other end instead.
    if dx * swing[1] - dy * swing[0] < 0:
        hinge, towards = towards, hinge
        dx, dy = -dx, -dy
    rotation = math.degrees(math.atan2(dy, dx)) % 360
    msp.add_blockref("door", (x0 + hinge[0], hinge[1]),
                     dxfattribs={"layer": layer, "rotation": round(rotation, 6), "xscale": width, "yscale": width})


def add_poche(msp, layer, x0, outline):
    hatch = msp.add_hatch(dxfattribs={"layer": layer})
    hatch.paths.add_polyline_path([(x0 + x, y) for x, y in outline], is_closed=True)


def draw_level_plan(doc, msp, name, mod, x0):
    def L(root):
        return f"{mod}-{root}"

    openings = outer_openings(mod)
    outer_faces = outer_runs(openings, 0.0)
    inner_faces = outer_runs(openings, OUTER)

    # The poche first, so that a pick on a wall face finds the face, drawn later.
    for outer, inner in zip(outer_faces, inner_faces):
        add_poche(msp, L("POCHE"), x0, outer + list(reversed(inner)))
    for wall in INNER_WALLS:
        axis, fixed, _, _, t, _ = wall
        for a, b in inner_pieces(wall):
            add_poche(msp, L("POCHE"), x0, [wall_point(axis, fixed, a, -t / 2), wall_point(axis, fixed, b, -t / 2),
                                            wall_point(axis, fixed, b, t / 2), wall_point(axis, fixed, a, t / 2)])

    # Inner walls: two faces per piece and a jamb at each door. The spine
    # wall's west face is the first line of the level's walls.
    for wall in INNER_WALLS:
        axis, fixed, start, stop, t, doors = wall
        for a, b in inner_pieces(wall):
            for across in (-t / 2, t / 2):
                p, q = wall_point(axis, fixed, a, across), wall_point(axis, fixed, b, across)
                msp.add_line((x0 + p[0], p[1]), (x0 + q[0], q[1]), dxfattribs={"layer": L("WALL")})
        for door_start, width, _ in doors:
            for at in (door_start, door_start + width):
                p, q = wall_point(axis, fixed, at, -t / 2), wall_point(axis, fixed, at, t / 2)
                msp.add_line((x0 + p[0], p[1]), (x0 + q[0], q[1]), dxfattribs={"layer": L("WALL")})
    # Outer walls: the outer and the inner face from opening to opening, and
    # the jambs of the openings.
    for path in outer_faces + inner_faces:
        msp.add_lwpolyline([(x0 + x, y) for x, y in path], dxfattribs={"layer": L("WALL")})
    for side, start, width, _ in openings:
        for t in (start, start + width):
            p, q = outer_side_point(side, t, 0.0), outer_side_point(side, t, OUTER)
            msp.add_line((x0 + p[0], p[1]), (x0 + q[0], q[1]), dxfattribs={"layer": L("WALL")})

    # Windows on the outer walls' centre lines; doors hinged on a wall face.
    inward = {"S": (0, 1), "N": (0, -1), "E": (-1, 0), "W": (1, 0)}
    for side, start, width, kind in openings:
        a = outer_side_point(side, start, OUTER / 2)
        b = outer_side_point(side, start + width, OUTER / 2)
        if kind == "window":
            rotation = math.degrees(math.atan2(b[1] - a[1], b[0] - a[0])) % 360
            msp.add_blockref("window", (x0 + a[0], a[1]),
                             dxfattribs={"layer": L("WIND"), "rotation": round(rotation, 6), "xscale": width / 1.5})
        else:
            n = inward[side]
            hinge = outer_side_point(side, start, OUTER)
            towards = outer_side_point(side, start + width, OUTER)
            place_door(msp, L("DOOR"), x0, hinge, towards, width, n)
    for axis, fixed, _, _, t, doors in INNER_WALLS:
        for door_start, width, swing in doors:
            hinge = wall_point(axis, fixed, door_start, swing * t / 2)
            towards = wall_point(axis, fixed, door_start + width, swing * t / 2)
            n = (0, swing) if axis == "x" else (swing, 0)
            place_door(msp, L("DOOR"), x0, hinge, towards, width, n)

    # Furniture.
    def furn(block, x, y, rotation=0.0, scale=1.0):
        attribs = {"layer": L("FURN"), "rotation": rotation}
        if scale != 1.0:
            attribs.update(xscale=scale, yscale=scale)
        msp.add_blockref(block, (x0 + x, y), dxfattribs=attribs)

    msp.add_blockref("stair", (x0 + 12.2, 0.6), dxfattribs={"layer": L("FURN")})
    # The meeting room: a table for eight.
    furn("table", 4.1, 4.6, 0.0, 2.5)
    for x in (3.1, 4.1, 5.1):
        furn("chair", x, 3.2, 180.0)
        furn("chair", x, 6.0)
    furn("chair", 2.2, 4.6, 90.0)
    furn("chair", 6.0, 4.6, 270.0)
    # The big room: two rows of desks.
    for x in (2.6, 5.6, 8.6, 11.6):
        furn("desk", x, 11.0, 180.0)
        furn("chair", x, 10.2, 180.0)
        furn("desk", x, 17.8)
        furn("chair", x, 18.6)
    # The offices: a desk, a chair and a table with two chairs.
    for ox in (18.8, 26.1):
        furn("desk", ox, 18.6)
        furn("chair", ox, 19.3 - 0.15)
        furn("table", ox, 15.7)
        furn("chair", ox - 0.9, 15.7, 90.0)
        furn("chair", ox + 0.9, 15.7, 270.0)
    # The lounge: two sofas about a table.
    furn("sofa", 20.0, 11.1, 0.0)
    furn("sofa", 20.0, 7.3, 180.0)
    furn("table", 20.0, 9.2, 0.0, 1.3)
    # The kitchen: a counter along the spine wall and a table for four.
    msp.add_lwpolyline([(x0 + 15.1, 0.3), (x0 + 15.75, 0.3), (x0 + 15.75, 4.5), (x0 + 15.1, 4.5)],
                       dxfattribs={"layer": L("FURN")})
    msp.add_circle((x0 + 15.43, 2.0), 0.2, dxfattribs={"layer": L("FURN")})
    furn("table", 19.0, 2.6, 90.0)
    for dx in (-0.8, 0.8):
        furn("chair", 19.0 + dx, 2.3, 90.0 if dx < 0 else 270.0)
        furn("chair", 19.0 + dx, 3.0, 90.0 if dx < 0 else 270.0)
    # The toilets: three pans along the east wall, basins along the west.
    for y in (1.2, 2.6, 4.0):
        furn("wc", 29.7, y, 90.0)
        msp.add_line((x0 + 28.3, y + 0.7), (x0 + 29.7, y + 0.7), dxfattribs={"layer": L("FURN")})
    for y in (1.4, 2.4):
        furn("basin", 22.075, y, 270.0)

    # Room names and floor areas.
    for room, rx0, ry0, rx1, ry1, (tx, ty) in rooms(mod):
        area = (rx1 - rx0) * (ry1 - ry0)
        for text, height, dy in ((room, 0.45, 0.0), (f"{area:.1f} m2", 0.3, -0.55)):
            msp.add_text(text, dxfattribs={"layer": L("TEXT"), "height": height, "insert": (x0 + tx, ty + dy),
                                           "halign": 1, "align_point": (x0 + tx, ty + dy)})
    msp.add_text(f"{name.upper()} PLAN", dxfattribs={"layer": L("TEXT"), "height": 0.6, "insert": (x0, 21.2)})
    msp.add_text(f"FFL +{3.5 * (int(mod) - 1):.2f}", dxfattribs={"layer": L("TEXT"), "height": 0.3,
                                                                    "insert": (x0 + 30.5, 13.0)})
    msp.add_leader([(x0 + 30.5, 12.9), (x0 + 28.2, 10.6)], dxfattribs={"layer": L("TEXT")})

    # Dimensions: a chain of the rooms and the overall size along the south
    # and the west side.
    def dim(p1, p2, base, angle):
        msp.add_linear_dim(base=(x0 + base[0], base[1]), p1=(x0 + p1[0], p1[1]), p2=(x0 + p2[0], p2[1]),
                           angle=angle, dimstyle="ZAN_M_200", dxfattribs={"layer": L("DIM")}).render()
    xs = [0.0, 8.0, 15.0, 22.0, 30.0]
    for a, b in zip(xs, xs[1:]):
        dim((a, 0), (b, 0), (a, -1.2), 0)
    dim((0, 0), (30, 0), (0, -2.2), 0)
    ys = [0.0, 8.0, 20.0]
    for a, b in zip(ys, ys[1:]):
        dim((0, a), (0, b), (-1.2, a), 90)
    dim((0, 0), (0, 20), (-2.2, 0), 90)


def draw_site(msp, x0):
    def L(root):
        return f"S-{root}"

    # The boundary with a gate opposite the entrance, and the building's footprint.
    msp.add_lwpolyline([(x0 + 12.4, -5), (x0 + 35, -5), (x0 + 35, 25), (x0 - 5, 25), (x0 - 5, -5), (x0 + 10.4, -5)],
                       dxfattribs={"layer": L("WALL")})
    msp.add_lwpolyline([(x0, 0), (x0 + 30, 0), (x0 + 30, 20), (x0, 20)], close=True,
                       dxfattribs={"layer": L("WALL")})
    hatch = msp.add_hatch(color=9, dxfattribs={"layer": L("POCHE")})  # light grey, under the texts
    hatch.paths.add_polyline_path([(x0, 0), (x0 + 30, 0), (x0 + 30, 20), (x0, 20)], is_closed=True)
    # The building's windows on its footprint.
    for side, start, width, kind in outer_openings("2"):
        a = outer_side_point(side, start, OUTER / 2)
        b = outer_side_point(side, start + width, OUTER / 2)
        rotation = math.degrees(math.atan2(b[1] - a[1], b[0] - a[0])) % 360
        msp.add_blockref("window", (x0 + a[0], a[1]),
                         dxfattribs={"layer": L("WIND"), "rotation": round(rotation, 6), "xscale": width / 1.5})
    # The gate, 2 m wide, opening inwards.
    msp.add_blockref("door", (x0 + 10.4, -5), dxfattribs={"layer": L("DOOR"), "xscale": 2.0, "yscale": 2.0})
    # Paths: from the gate to the entrance, a terrace along the south front
    # and a path round to the east.
    paths = [
        [(10.4, -5), (10.4, -2), (1, -2), (1, -0.3)],
        [(12.4, -5), (12.4, -2), (31.5, -2), (31.5, 20)],
        [(1, -0.3), (33, -0.3), (33, 20)],
    ]
    for path in paths:
        msp.add_lwpolyline([(x0 + x, y) for x, y in path], dxfattribs={"layer": L("POCHE")})
    # Trees along the north and the west boundary.
    for x, y in ((2, 22.5), (8, 22.8), (14, 22.4), (20, 22.7), (26, 22.5), (32.5, 22.6), (-2.6, 16), (-2.6, 9),
                 (-2.6, 2)):
        msp.add_blockref("tree", (x0 + x, y), dxfattribs={"layer": L("POCHE")})
    # Benches by the terrace.
    for x in (4.0, 24.0):
        msp.add_lwpolyline([(x0 + x, -1.6), (x0 + x + 1.8, -1.6), (x0 + x + 1.8, -1.1), (x0 + x, -1.1)],
                           close=True, dxfattribs={"layer": L("FURN")})
    # Texts and the north arrow.
    msp.add_text("SITE", dxfattribs={"layer": L("TEXT"), "height": 1.0, "insert": (x0 - 5, 25.6)})
    for text, x, y in (("OFFICE BUILDING", 15, 10.2), ("3 LEVELS", 15, 9.2), ("ENTRANCE", 11.4, -1.5),
                       ("GARDEN", 17.2, 20.4), ("STREET", 25, -6.6)):
        msp.add_text(text, dxfattribs={"layer": L("TEXT"), "height": 0.6, "insert": (x0 + x, y), "halign": 1,
                                       "align_point": (x0 + x, y)})
    msp.add_blockref("north", (x0 + 33, 16), dxfattribs={"layer": L("TEXT"), "xscale": 1.2, "yscale": 1.2})
    msp.add_linear_dim(base=(x0, -5.8), p1=(x0 - 5, -5), p2=(x0 + 35, -5), dimstyle="ZAN_M_200",
                       dxfattribs={"layer": L("DIM")}).render()
    msp.add_linear_dim(base=(x0 + 36, -5), p1=(x0 + 35, -5), p2=(x0 + 35, 25), angle=90, dimstyle="ZAN_M_200",
                       dxfattribs={"layer": L("DIM")}).render()


def add_dimstyle(doc):
    """Dimensions in metres for plans at 1:200: 2 mm text, tick marks."""
    style = doc.dimstyles.new("ZAN_M_200")
    style.dxf.dimtxt = 0.4
    style.dxf.dimasz = 0.15
    style.dxf.dimtsz = 0.12
    style.dxf.dimexe = 0.2
    style.dxf.dimexo = 0.15
    style.dxf.dimgap = 0.08
    style.dxf.dimdec = 2
    style.dxf.dimzin = 8
    style.dxf.dimtad = 1
    style.dxf.dimlfac = 1.0
    style.dxf.dimtxsty = "Standard"


def build_drawing():
    doc = ezdxf.new("R2013", setup=True)
    doc.header["$INSUNITS"] = 6  # metres
    if "DASHED" not in doc.linetypes:
        doc.linetypes.add("DASHED", pattern=[0.75, 0.5, -0.25], description="Dashed __ __ __")
    for name, mod, _ in LEVELS:
        for root, color, ltype in ROOTS:
            doc.layers.add(f"{mod}-{root}", color=color, linetype=ltype)
    doc.layers.get("S-FURN").freeze()
    doc.layers.get("3-DIM").off()
    doc.layers.get("S-TEXT").lock()
    doc.appids.add(APP)
    doc.layers.add("VIEWPORTS", color=7)  # ezdxf puts viewports on this layer
    doc.layers.add("FURN", color=6)       # layers of the table block's entities
    doc.layers.add("TEXT", color=2)
    add_dimstyle(doc)

    # The attached reference PLAN and its dependent layers.
    doc.add_xref_def(REL + "plan.dwg", "PLAN")
    for mod in ("1", "2", "S"):
        for root in ("WALL", "DOOR"):
            layer = doc.layers.add(f"PLAN|{mod}-{root}", color=8)
            layer.dxf.flags = 16 | 32  # dependent on an external reference, resolved

    define_blocks(doc)
    msp = doc.modelspace()
    msp.add_blockref("PLAN", (0, 0))

    for name, mod, x0 in LEVELS:
        if mod == "S":
            draw_site(msp, x0)
            continue
        draw_level_plan(doc, msp, name, mod, x0)
        doc.views.new(f"LEVEL-{mod}", dxfattribs={"center": (x0 + 15, 10), "height": 26.0, "width": 40.0})
        doc.ucs.new(f"LEVEL-{mod}", dxfattribs={"origin": (x0, 0, 3.5 * (int(mod) - 1)),
                                                 "xaxis": (1, 0, 0), "yaxis": (0, 1, 0)})
    doc.views.new("SITE", dxfattribs={"center": (165, 10), "height": 34.0, "width": 44.0})
    doc.ucs.new("SITE", dxfattribs={"origin": (150, 0, 0), "xaxis": (1, 0, 0), "yaxis": (0, 1, 0)})

    # The initialization object: where this drawing's bar files live.
    marker = msp.add_blockref("TUV_INIT_OBJ", (0, 0))
    marker.set_xdata(APP, [
        (1000, "TUV_Version_Number"), (1000, "000.001.B"),
        (1000, "Level_bitmap_directory"), (1000, REL + "bitmaps/"), (1070, 1),
        (1000, "Config_files_directory"), (1000, REL or "./"),
        (1000, "Layer_config_file"), (1000, REL + "demo.Zly"),
        (1000, "Modifier_file"), (1000, REL + "demo.Zmb"),
    ])

    # Paper space: an A3 sheet in millimetres with two viewports, level 1 and
    # level 2 at 1:200 (32 m of the plan in 160 mm), and a title block.
    layout = doc.layouts.get("Layout1")
    layout.add_lwpolyline([(0, 0), (420, 0), (420, 297), (0, 297)], close=True)
    layout.add_lwpolyline([(10, 10), (410, 10), (410, 287), (10, 287)], close=True)
    layout.add_text("ZAN DEMO BUILDING", dxfattribs={"height": 5.0, "insert": (15, 274)})
    layout.add_text("FLOOR PLANS, LEVELS 1 AND 2", dxfattribs={"height": 3.5, "insert": (15, 266)})
    all_layers = [f"{m}-{r}" for _, m, _ in LEVELS for r, _, _ in ROOTS]
    for i, (mod, view_x) in enumerate((("1", 15.0), ("2", 65.0))):
        frozen = [n for n in all_layers if not n.startswith(mod + "-")]
        vp = layout.add_viewport(center=(110 + i * 200, 165), size=(190, 160),
                                 view_center_point=(view_x, 10), view_height=32.0)
        vp.frozen_layers = frozen
        vp.set_xdata("ACAD", acad_viewport_xdata((view_x, 10), 32.0, frozen))
        layout.add_text(f"LEVEL {mod} PLAN   1:200", dxfattribs={"height": 3.5, "insert": (15 + i * 200, 76)})
        layout.add_lwpolyline([(15 + i * 200, 74), (85 + i * 200, 74)])
    # The title block in the lower right corner (its rules are polylines,
    # like the frames: paper space holds no lines).
    tb = (270, 10, 410, 60)
    layout.add_lwpolyline([(tb[0], tb[1]), (tb[2], tb[1]), (tb[2], tb[3]), (tb[0], tb[3])], close=True)
    for y in (22, 34, 46):
        layout.add_lwpolyline([(tb[0], y), (tb[2], y)])
    layout.add_lwpolyline([(340, tb[1]), (340, 34)])
    for text, x, y, height in (("ZAN DEMO BUILDING", 274, 50, 5.0), ("Office building, floor plans", 274, 38, 3.0),
                               ("Scale 1:200 on A3, metres", 274, 26, 3.0), ("Drawing A-101", 274, 14, 3.0),
                               ("Revision A", 344, 14, 3.0), ("Drawn by ZAN", 344, 26, 3.0)):
        layout.add_text(text, dxfattribs={"height": height, "insert": (x, y)})
    return doc


# ---------------------------------------------------------------- bar files

def word(n):
    return struct.pack("<H", n & 0xFFFF)


def string(s):
    b = s.encode("cp1252")
    return word(len(b)) + b


def configuration(name, included=(), excluded=(), inc_layers=(), exc_layers=(), ucs="None", view="None",
                  option=0):
    out = word(1000) + word(0) + string(name) + word(1) + string(ucs) + word(2) + string(view)
    out += word(3) + word(1) + word(1) + word(0) + word(option)
    for tag, items in ((4, included), (5, excluded), (6, inc_layers), (7, exc_layers)):
        if items:
            out += word(tag) + word(len(items)) + b"".join(string(s) for s in items)
    return out + word(2000)


def write_bar_files():
    with open(os.path.join(OUT, "demo.Zmb"), "w", newline="\n") as f:
        f.write(f"LEVELS\n{len(LEVELS)}\n1\n20 20\n\"{REL}bitmaps/\"\n")
        for name, mod, _ in LEVELS:
            f.write(f"\"level{mod}.bmp\" \"{name}\" \"{mod}\" \"Primary\"\n")
    symbols = [("door", "Door", "DOOR", 0), ("window", "Window", "WIND", 0), ("table", "Table", "FURN", 1),
               ("arrow", "Arrow", "", 0)]
    with open(os.path.join(OUT, "symbols.Zsb"), "w", newline="\n") as f:
        f.write(f"SYMBOL\n{len(symbols)}\n1\n20 20\n\"FURN\"\n\"{REL}blocks/\"\n\"{REL}bitmaps/\"\n")
        for block, label, layer, search in symbols:
            f.write(f"\"sym_{block}.bmp\" \"{label}\" \"{block}\" \"{layer}\" {search}\n")
    others = ["Level 2", "Level 3", "Site"]
    with open(os.path.join(OUT, "demo.Zly"), "wb") as f:
        f.write(word(999))
        f.write(configuration("Level 1 plan", ["Level 1"], others, ucs="LEVEL-1", view="LEVEL-1", option=1))
        f.write(configuration("Level 2 plan", ["Level 2"], ["Level 1", "Level 3", "Site"], exc_layers=["2-FURN"],
                              ucs="LEVEL-2", view="LEVEL-2", option=1))
        f.write(configuration("Walls only", inc_layers=["*-WALL", "*-POCHE"], option=1))
        f.write(configuration("Everything", ["Level 1", "Level 2", "Level 3", "Site"], option=2))
        f.write(configuration("Site", ["Site"], exc_layers=["S-FURN"], view="SITE", ucs="SITE"))
        f.write(word(3000))


def main(argv):
    global OUT
    # ezdxf writes some objects in the order of a set of names, which
    # follows Python's string hashing: the run is made again with a fixed
    # hash seed so that the order is the same every time.
    if os.environ.get("PYTHONHASHSEED") != "0":
        os.execve(sys.executable, [sys.executable, os.path.abspath(__file__)] + argv[1:],
                  dict(os.environ, PYTHONHASHSEED="0"))
    if len(argv) > 1:
        OUT = argv[1]
    # Fixed creation dates and identifiers: the same kit at every run.
    ezdxf.options.write_fixed_meta_data_for_testing = True
    os.makedirs(os.path.join(OUT, "blocks"), exist_ok=True)
    os.makedirs(os.path.join(OUT, "bitmaps"), exist_ok=True)
    backgrounds = {"1": 11, "2": 10, "3": 14, "S": 7}
    for _, mod, _ in LEVELS:
        write_bmp(os.path.join(OUT, "bitmaps", f"level{mod}.bmp"), level_bitmap(mod, backgrounds[mod]))
    for kind in ("door", "window", "table", "arrow"):
        write_bmp(os.path.join(OUT, "bitmaps", f"sym_{kind}.bmp"), symbol_bitmap(kind))

    doc = build_drawing()
    doc.saveas(os.path.join(OUT, "demo.dxf"))
    for block in ("door", "window", "table", "arrow"):
        source = doc.blocks.get(block)

        def build(msp, source=source):
            for e in source:
                msp.add_entity(e.copy())

        block_file(block, build)
    write_bar_files()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
