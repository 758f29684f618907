#!/usr/bin/python3
"""Generates the demo kit in samples/demo/:

  demo.dxf        a small building on levels 1, 2, 3 and a site level (S),
                      with the layers WALL, DOOR, WIND, TEXT, POCHE, FURN and DIM
                      of each level, layers of the attached reference PLAN,
                      a paper-space layout with two viewports, named views and
                      UCSs, and the blocks door, window, table and arrow
  demo.Zmb        the modifier bar: one button per level
  demo.Zly        layer configurations over those levels
  symbols.Zsb         the symbol bar: door, window, table, arrow
  blocks/*.dwg        the symbol bar's block drawing files (DXF content)
  bitmaps/*.bmp       20 x 20, 16-colour button images

Paths inside the bar files and the drawing are relative to the drawing's
folder (samples/demo/), so the kit works wherever it is copied and whatever
directory the zan program is started from.

Usage: /usr/bin/python3 samples/generate_demo.py   (needs python3-ezdxf)
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

def define_blocks(doc):
    door = doc.blocks.new("door", base_point=(0, 0))
    door.add_line((0, 0), (0, 1))
    door.add_arc((0, 0), 1.0, 0, 90)
    window = doc.blocks.new("window", base_point=(0, 0))
    window.add_line((0, 0), (1.5, 0))
    window.add_line((0, 0.15), (1.5, 0.15))
    window.add_line((0, -0.15), (1.5, -0.15))
    table = doc.blocks.new("table", base_point=(0, 0))
    table.add_lwpolyline([(-0.6, -0.4), (0.6, -0.4), (0.6, 0.4), (-0.6, 0.4)], close=True,
                         dxfattribs={"layer": "FURN"})
    table.add_circle((0, 0), 0.2, dxfattribs={"layer": "TEXT"})
    arrow = doc.blocks.new("arrow", base_point=(0, 0))
    arrow.add_solid([(0, 0), (-1, 0.1667), (-1, -0.1667)])
    init = doc.blocks.new("TUV_INIT_OBJ", base_point=(0, 0))  # empty marker block
    del init


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

    # The attached reference PLAN and its dependent layers.
    doc.add_xref_def(REL + "plan.dwg", "PLAN")
    for mod in ("1", "2", "S"):
        for root in ("WALL", "DOOR"):
            layer = doc.layers.add(f"PLAN|{mod}-{root}", color=8)
            layer.dxf.flags = 16 | 32  # dependent on an external reference, resolved

    define_blocks(doc)
    msp = doc.modelspace()
    msp.add_blockref("PLAN", (0, -40))

    for name, mod, x0 in LEVELS:
        def L(root):
            return f"{mod}-{root}"

        if mod == "S":
            msp.add_lwpolyline([(x0 - 5, -5), (x0 + 35, -5), (x0 + 35, 25), (x0 - 5, 25)], close=True,
                               dxfattribs={"layer": L("WALL")})
            msp.add_text("SITE", dxfattribs={"layer": L("TEXT"), "height": 1.0, "insert": (x0, 27)})
            for i in range(4):
                msp.add_circle((x0 + 2 + i * 8, 22), 1.5, dxfattribs={"layer": L("FURN")})
            msp.add_linear_dim(base=(x0, -8), p1=(x0 - 5, -5), p2=(x0 + 35, -5),
                               dxfattribs={"layer": L("DIM")}).render()
            continue
        # Outer and inner wall faces, poche between them.
        msp.add_lwpolyline([(x0, 0), (x0 + 30, 0), (x0 + 30, 20), (x0, 20)], close=True,
                           dxfattribs={"layer": L("WALL")})
        msp.add_lwpolyline([(x0 + 0.3, 0.3), (x0 + 29.7, 0.3), (x0 + 29.7, 19.7), (x0 + 0.3, 19.7)],
                           close=True, dxfattribs={"layer": L("WALL")})
        msp.add_line((x0 + 15, 0.3), (x0 + 15, 19.7), dxfattribs={"layer": L("WALL")})
        poche = msp.add_lwpolyline([(x0 + 0.15, 0.15), (x0 + 29.85, 0.15)], dxfattribs={"layer": L("POCHE")})
        poche.dxf.const_width = 0.3
        msp.add_blockref("door", (x0 + 15, 5), dxfattribs={"layer": L("DOOR"), "rotation": 0})
        msp.add_blockref("door", (x0 + 5, 0.3), dxfattribs={"layer": L("DOOR"), "rotation": 90})
        for wx in (x0 + 3, x0 + 20, x0 + 25):
            msp.add_blockref("window", (wx, 20), dxfattribs={"layer": L("WIND")})
        msp.add_text(f"{name.upper()} - ROOM A", dxfattribs={"layer": L("TEXT"), "height": 0.5,
                                                             "insert": (x0 + 4, 10)})
        msp.add_text(f"{name.upper()} - ROOM B", dxfattribs={"layer": L("TEXT"), "height": 0.5,
                                                             "insert": (x0 + 19, 10)})
        msp.add_blockref("table", (x0 + 7, 14), dxfattribs={"layer": L("FURN")})
        msp.add_blockref("table", (x0 + 22, 14), dxfattribs={"layer": L("FURN"), "rotation": 90})
        msp.add_linear_dim(base=(x0, -3), p1=(x0, 0), p2=(x0 + 30, 0), dxfattribs={"layer": L("DIM")}).render()
        leader = msp.add_leader([(x0 + 32, 24), (x0 + 28, 21)], dxfattribs={"layer": L("TEXT")})
        del leader
        doc.views.new(f"LEVEL-{mod}" if mod != "S" else "SITE",
                      dxfattribs={"center": (x0 + 15, 10), "height": 26.0, "width": 40.0})
        doc.ucs.new(f"LEVEL-{mod}", dxfattribs={"origin": (x0, 0, 3.0 * (int(mod) - 1)),
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

    # Paper space: a sheet with two viewports, level 1 and level 2.
    layout = doc.layouts.get("Layout1")
    layout.add_lwpolyline([(0, 0), (420, 0), (420, 297), (0, 297)], close=True)
    layout.add_text("ZAN DEMO BUILDING", dxfattribs={"height": 5.0, "insert": (10, 280)})
    all_layers = [f"{m}-{r}" for _, m, _ in LEVELS for r, _, _ in ROOTS]
    for i, (mod, view_x) in enumerate((("1", 15.0), ("2", 65.0))):
        frozen = [n for n in all_layers if not n.startswith(mod + "-")]
        vp = layout.add_viewport(center=(110 + i * 200, 150), size=(190, 130),
                                 view_center_point=(view_x, 10), view_height=26.0)
        vp.frozen_layers = frozen
        vp.set_xdata("ACAD", acad_viewport_xdata((view_x, 10), 26.0, frozen))
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


def main():
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
    sys.exit(main())
