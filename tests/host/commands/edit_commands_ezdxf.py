"""MOVE, COPY, OFFSET, EXPLODE and INSERT typed at the host's command line,
checked against ezdxf: drawings are made with ezdxf, edited by zan from a
script, saved, and read back; the expected geometry comes from ezdxf's own
transforms and from an offset computed here from first principles.

usage: edit_commands_ezdxf.py ZAN SAMPLES_DIR"""

import math
import os
import shutil
import subprocess
import sys
import tempfile

import ezdxf
from ezdxf.math import Vec3, bulge_to_arc

zan, samples = sys.argv[1], sys.argv[2]
work = tempfile.mkdtemp(prefix="zan-editcmds-")
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def run(drawing, script, out):
    path = os.path.join(work, "script.scr")
    with open(path, "w") as f:
        f.write(script + "QUIT\n")
    result = subprocess.run([zan, "--no-module", "--script", path, "-o", out, drawing], capture_output=True, text=True)
    if result.returncode != 0:
        raise SystemExit(f"zan failed ({result.returncode}):\n{result.stdout}\n{result.stderr}")
    doc = ezdxf.readfile(out)
    auditor = doc.audit()
    check(not auditor.has_errors, f"{os.path.basename(out)}: audit errors {[e.message for e in auditor.errors]}")
    return doc, result.stdout


def close(a, b, tol=1e-9):
    return len(a) == len(b) and all(abs(x - y) <= tol for x, y in zip(a, b))


def key_values(e):
    """The numbers that place an entity: points, radii, angles, bulges."""
    t = e.dxftype()
    v = []
    pts = lambda *ps: [c for p in ps for c in Vec3(p)]
    if t == "LINE":
        v = pts(e.dxf.start, e.dxf.end)
    elif t == "POINT":
        v = pts(e.dxf.location)
    elif t == "CIRCLE":
        v = pts(e.dxf.center) + [e.dxf.radius]
    elif t == "ARC":
        v = pts(e.dxf.center) + [e.dxf.radius, e.dxf.start_angle % 360, e.dxf.end_angle % 360]
    elif t == "ELLIPSE":
        v = pts(e.dxf.center, e.dxf.major_axis) + [e.dxf.ratio, e.dxf.start_param, e.dxf.end_param]
    elif t == "LWPOLYLINE":
        v = [c for p in e.get_points("xyseb") for c in p] + [e.dxf.elevation]
    elif t == "POLYLINE":
        v = [c for vx in e.vertices for c in list(Vec3(vx.dxf.location)) + [vx.dxf.bulge]]
    elif t == "SOLID":
        v = pts(e.dxf.vtx0, e.dxf.vtx1, e.dxf.vtx2, e.dxf.vtx3)
    elif t == "TEXT":
        v = pts(e.dxf.insert) + [e.dxf.height, e.dxf.rotation]
    elif t == "MTEXT":
        v = pts(e.dxf.insert) + [e.dxf.char_height]
    elif t == "INSERT":
        v = pts(e.dxf.insert) + [e.dxf.xscale, e.dxf.rotation]
        for a in e.attribs:
            v += pts(a.dxf.insert)
    elif t == "HATCH":
        for path in e.paths:
            for vx in getattr(path, "vertices", []):
                v += [vx[0], vx[1]]
    elif t == "DIMENSION":
        v = pts(e.dxf.defpoint, e.dxf.defpoint2, e.dxf.defpoint3, e.dxf.text_midpoint)
        block = e.doc.blocks.get(e.dxf.geometry)
        v += [c for x in block if x.dxftype() == "LINE" for c in pts(x.dxf.start, x.dxf.end)]
    return v


# --- MOVE and COPY of every kind of entity -----------------------------------
doc = ezdxf.new("R2013")
msp = doc.modelspace()
doc.layers.add("K")
attrs = {"layer": "K"}
block = doc.blocks.new("TAG", base_point=(1, 1))
block.add_line((0, 0), (2, 0))
block.add_attdef("NAME", (0, 1), dxfattribs={"height": 0.5})
msp.add_line((1.25, 2.5), (7.75, -3.125), dxfattribs=attrs)
msp.add_point((3.3, 4.4), dxfattribs=attrs)
msp.add_circle((10.1, -2.2), 3.3, dxfattribs=attrs)
msp.add_arc((-5.5, 6.6), 2.25, 15, 250, dxfattribs=attrs)
msp.add_ellipse((20.2, 1.1), major_axis=(4, 1.5), ratio=0.4, start_param=0.3, end_param=4.1, dxfattribs=attrs)
msp.add_lwpolyline([(0, 0, 0.1, 0.2, 0.5), (4, 0, 0, 0, -0.3), (4, 3, 0, 0, 0)], format="xyseb",
                   dxfattribs={"layer": "K", "elevation": 2.5})
msp.add_polyline2d([(30, 0), (34, 0), (34, 5)], dxfattribs=attrs).vertices[0].dxf.bulge = 0.6
msp.add_polyline3d([(40, 0, 1), (42, 3, 2), (45, 1, -1)], dxfattribs=attrs)
msp.add_solid([(50, 0), (53, 0), (50, 2), (53, 3)], dxfattribs=attrs)
msp.add_text("wall", dxfattribs={"layer": "K", "insert": (60.5, 1.5), "height": 1.2, "rotation": 17})
msp.add_mtext("note", dxfattribs={"layer": "K", "insert": (70.25, 4.75), "char_height": 0.8})
ref = msp.add_blockref("TAG", (80, 10), dxfattribs={"layer": "K", "rotation": 20})
ref.add_auto_attribs({"NAME": "door"})
hatch = msp.add_hatch(dxfattribs=attrs)
hatch.paths.add_polyline_path([(90, 0), (95, 0), (95, 4), (90, 4)], is_closed=True)
msp.add_linear_dim(base=(100, 5), p1=(100, 0), p2=(110, 0), dxfattribs=attrs).render()
source = os.path.join(work, "kinds.dxf")
doc.saveas(source)
originals = [e for e in ezdxf.readfile(source).modelspace()]

dx, dy = 12.5, -7.25
moved, _ = run(source, f"MOVE ALL\n\n0,0\n{dx},{dy}\n", os.path.join(work, "moved.dxf"))
after = list(moved.modelspace())
check(len(after) == len(originals), f"MOVE: {len(after)} entities, expected {len(originals)}")
for old, new in zip(originals, after):
    expected = old.copy()
    expected.doc = old.doc
    if old.dxftype() == "DIMENSION":
        # ezdxf moves a dimension's definition points; its block is compared moved by hand.
        want = key_values(old)
        shift = [dx, dy, 0] * (len(want) // 3)
        want = [a + b for a, b in zip(want, shift)]
    else:
        expected.translate(dx, dy, 0)
        want = key_values(expected)
    check(close(key_values(new), want), f"MOVE {old.dxftype()}: {key_values(new)} != {want}")

copied, _ = run(source, "COPY ALL\n\n0,0\n100,50\n\n", os.path.join(work, "copied.dxf"))
after = list(copied.modelspace())
n = len(originals)
check(len(after) == 2 * n, f"COPY: {len(after)} entities, expected {2 * n}")
for old, same, copy in zip(originals, after[:n], after[n:]):
    check(close(key_values(same), key_values(old)), f"COPY changed the original {old.dxftype()}")
    check(copy.dxftype() == old.dxftype() and copy.dxf.handle != old.dxf.handle, f"COPY of {old.dxftype()}")
    want = key_values(old)
    if old.dxftype() == "DIMENSION":
        want = [a + b for a, b in zip(want, [100, 50, 0] * (len(want) // 3))]
        check(copy.dxf.geometry != old.dxf.geometry, "COPY of a dimension draws through its own block")
    else:
        e = old.copy()
        e.doc = old.doc
        e.translate(100, 50, 0)
        want = key_values(e)
    check(close(key_values(copy), want), f"COPY {old.dxftype()}: {key_values(copy)} != {want}")


# --- OFFSET ------------------------------------------------------------------
def segments_of(points, closed):
    """(start, end, bulge) of each segment of a polyline given as (x, y, bulge)."""
    count = len(points) if closed else len(points) - 1
    return [(Vec3(points[i][0], points[i][1]), Vec3(points[(i + 1) % len(points)][0], points[(i + 1) % len(points)][1]),
             points[i][2]) for i in range(count)]


def distance_to_segment(p, a, b, bulge):
    if abs(bulge) < 1e-12:
        d = b - a
        t = max(0.0, min(1.0, (p - a).dot(d) / d.dot(d)))
        return (a + d * t - p).magnitude
    center, start, end, radius = bulge_to_arc(a, b, bulge)  # counter-clockwise from start to end
    angle = math.atan2(p.y - center.y, p.x - center.x)
    sweep = (end - start) % math.tau
    if (angle - start) % math.tau <= sweep + 1e-12:
        return abs((p - center).magnitude - radius)
    return min((p - a).magnitude, (p - b).magnitude)


def distance_to_path(p, segs):
    return min(distance_to_segment(p, a, b, g) for a, b, g in segs)


def sample(segs, per=40):
    out = []
    for a, b, g in segs:
        if abs(g) < 1e-12:
            out += [a + (b - a) * (i / per) for i in range(per + 1)]
        else:
            center, start, end, radius = bulge_to_arc(a, b, g)
            sweep = (end - start) % math.tau
            out += [center + Vec3(math.cos(start + sweep * i / per), math.sin(start + sweep * i / per)) * radius
                    for i in range(per + 1)]
    return out


doc = ezdxf.new("R2013")
msp = doc.modelspace()
msp.add_line((0, 0), (10, 0))
msp.add_arc((0, 20), 5, 0, 90)
msp.add_circle((30, 30), 4)
# A U of two lines and a quarter arc meeting a line at an angle (not tangent).
outline = [(30, 0, 0), (40, 0, math.tan(math.radians(22.5))), (45, 5, 0), (45, 10, 0), (30, 10, 0)]
msp.add_lwpolyline(outline, format="xyb", dxfattribs={"const_width": 0.2})
heavy = msp.add_polyline2d([(p[0], p[1] + 50) for p in outline], dxfattribs={"closed": True})
for v, p in zip(heavy.vertices, outline):
    v.dxf.bulge = p[2]
source = os.path.join(work, "offset.dxf")
doc.saveas(source)
script = ("OFFSET 1 5,0 5,5 0,25.001 0,40 30,34 30,40 \n"
          "OFFSET 0.75 35,0 35,5 \n"
          "OFFSET 0.5 30,50 35,55 \n")
result, transcript = run(source, script, os.path.join(work, "offset-out.dxf"))
ents = list(result.modelspace())
check(len(ents) == 10, f"OFFSET: {len(ents)} entities, expected 10")
line, arc, circle = ents[5], ents[6], ents[7]
check(line.dxftype() == "LINE" and close(key_values(line), [0, 1, 0, 10, 1, 0]), f"OFFSET line: {key_values(line)}")
check(arc.dxftype() == "ARC" and close(key_values(arc), [0, 20, 0, 6, 0, 90]), f"OFFSET arc: {key_values(arc)}")
check(circle.dxftype() == "CIRCLE" and abs(circle.dxf.radius - 5) < 1e-12, "OFFSET circle outward through its side")
for made, original_points, closed, d, label in ((ents[8], outline, False, 0.75, "LWPOLYLINE"),
                                                (ents[9], [(p[0], p[1] + 50, p[2]) for p in outline], True, 0.5,
                                                 "POLYLINE")):
    check(made.dxftype() == label, f"OFFSET {label}: made a {made.dxftype()}")
    if label == "LWPOLYLINE":
        got = [(x, y, b) for x, y, b in made.get_points("xyb")]
        check(abs(made.dxf.const_width - 0.2) < 1e-12, "OFFSET keeps the polyline's width")
    else:
        got = [(v.dxf.location.x, v.dxf.location.y, v.dxf.bulge) for v in made.vertices]
        check(made.is_closed, "OFFSET of a closed polyline is closed")
    original = segments_of(original_points, closed)
    # Inside a convex outline every point of the offset lies at the distance from the original.
    far = [p for p in sample(segments_of(got, closed)) if abs(distance_to_path(p, original) - d) > 1e-9]
    check(not far, f"OFFSET {label}: {len(far)} sampled points off the distance, e.g. {far[:2]}")
    # The joins: the inner corner of two lines, and the line-arc join on both carriers.
    check(len(got) == len(original_points), f"OFFSET {label}: {len(got)} vertices")
    if label == "LWPOLYLINE":
        check(close(got[0][:2], (30, 0.75)), f"OFFSET {label} start {got[0]}")
        check(close(got[3][:2], (44.25, 9.25)), f"OFFSET {label} corner {got[3]}")
        # The line y = 0.75 meets the arc (centre (40, 5), radius 4.25) at x = 40 - sqrt(4.25^2 - 4.25^2)...
        cx, cy, r = 40, 5, 5 - 0.75
        x = cx + math.sqrt(r * r - (0.75 - cy) ** 2)
        check(close(got[1][:2], (x, 0.75)), f"OFFSET {label} line-arc join {got[1]} != {(x, 0.75)}")

# Bad input at the OFFSET prompts.
check("Value must be positive and nonzero." in run(source, "OFFSET 0 -2 1 \n", os.path.join(work, "o2.dxf"))[1],
      "OFFSET refuses a distance of zero or less")


# --- EXPLODE of a rotated, scaled reference, and of a polyline ----------------
doc = ezdxf.new("R2013")
doc.layers.add("X")
block = doc.blocks.new("B", base_point=(1, 2))
block.add_line((1, 2), (5, 3))
block.add_arc((3, 3), 1.5, 30, 200, dxfattribs={"layer": "X"})
block.add_circle((0, 0), 0.75)
block.add_lwpolyline([(0, 0, 0.3), (2, 1, 0), (3, -1, 0)], format="xyb", dxfattribs={"layer": "X"})
msp = doc.modelspace()
msp.add_lwpolyline([(0, 0, 0), (10, 0, 0.5), (10, 10, 0)], format="xyb")
reference = msp.add_blockref("B", (50, 40), dxfattribs={"xscale": 2, "yscale": 2, "zscale": 2, "rotation": 30, "layer": "X"})
source = os.path.join(work, "explode.dxf")
doc.saveas(source)
expected = list(reference.virtual_entities())
polyline_parts = list(msp[0].virtual_entities())
result, transcript = run(source, "EXPLODE L \nEXPLODE 5,0 \n", os.path.join(work, "explode-out.dxf"))
ents = list(result.modelspace())
got_block, got_poly = ents[:len(expected)], ents[len(expected):]
check(len(ents) == len(expected) + len(polyline_parts), f"EXPLODE: {[e.dxftype() for e in ents]}")
for want, got in zip(expected, got_block):
    check(want.dxftype() == got.dxftype(), f"EXPLODE reference: {got.dxftype()} for {want.dxftype()}")
    check(close(key_values(got), key_values(want), 1e-9), f"EXPLODE {want.dxftype()}: {key_values(got)} != {key_values(want)}")
    check(got.dxf.layer == want.dxf.layer, f"EXPLODE {want.dxftype()} on {got.dxf.layer}, expected {want.dxf.layer}")
for want, got in zip(polyline_parts, got_poly):
    check(want.dxftype() == got.dxftype() and close(key_values(got), key_values(want), 1e-9),
          f"EXPLODE polyline: {got.dxftype()} {key_values(got)} != {want.dxftype()} {key_values(want)}")
check("1 was not able to be exploded." in run(source, "LINE 0,0 1,1 \nEXPLODE L \n", os.path.join(work, "e2.dxf"))[1],
      "EXPLODE of a line is refused")


# --- INSERT from a block file -------------------------------------------------
blocks = os.path.join(samples, "demo", "blocks")
table = ezdxf.readfile(os.path.join(blocks, "table.dwg"))
drawing = os.path.join(work, "empty.dxf")
ezdxf.new("R2013").saveas(drawing)
script = (f"INSERT {os.path.join(blocks, 'table.dwg')} S 2 R 90 10,20\n"
          f"INSERT desk={os.path.join(blocks, 'table.dwg')} 5,5 3 1.5 45\n")
result, transcript = run(drawing, script, os.path.join(work, "insert-out.dxf"))
check("table" in result.blocks and "desk" in result.blocks, "INSERT defines the blocks from the file")
for name in ("table", "desk"):
    check([e.dxftype() for e in result.blocks.get(name)] == [e.dxftype() for e in table.modelspace()],
          f"block {name}: the file's model space")
check(all(layer.dxf.name in result.layers for layer in table.layers), "INSERT merges the file's layers")
refs = list(result.modelspace().query("INSERT"))
check(len(refs) == 2, "two references")
if len(refs) == 2:
    check(refs[0].dxf.name == "table" and close(key_values(refs[0]), [10, 20, 0, 2, 90]), f"ref 1 {key_values(refs[0])}")
    check(refs[1].dxf.name == "desk" and close(key_values(refs[1]), [5, 5, 0, 3, 45]) and refs[1].dxf.yscale == 1.5,
          f"ref 2 {key_values(refs[1])}")

# A block file with its own linetype, layer and block, under a ".dwg" name,
# inserted into a drawing that already has a block of the nested block's name.
nested = ezdxf.new("R2013")
nested.linetypes.add("EDGE", pattern=[0.5, 0.25, -0.25], description="Edge __ __")
nested.layers.add("NEST", linetype="EDGE", color=3)
nested.blocks.new("INNER").add_circle((0, 0), 1)
nested.modelspace().add_blockref("INNER", (2, 0))
nested.modelspace().add_line((0, 0), (4, 0), dxfattribs={"layer": "NEST"})
nested_file = os.path.join(work, "nested.dwg")
nested.saveas(nested_file)
host = ezdxf.new("R2013")
host.blocks.new("INNER").add_line((0, 0), (1, 1))
drawing = os.path.join(work, "with-inner.dxf")
host.saveas(drawing)
result, transcript = run(drawing, f"INSERT {nested_file} 0,0 1 1 0\n", os.path.join(work, "nested-out.dxf"))
check("nested" in result.blocks, "INSERT of a .dwg holding DXF defines its block")
if "nested" in result.blocks:
    check([e.dxftype() for e in result.blocks.get("nested")] == ["INSERT", "LINE"], "the file's model space")
check([e.dxftype() for e in result.blocks.get("INNER")] == ["LINE"], "the drawing's own INNER is kept")
check("NEST" in result.layers and result.layers.get("NEST").dxf.linetype == "EDGE"
      and result.layers.get("NEST").dxf.color == 3, "the file's layer comes with its colour and linetype")
check("EDGE" in result.linetypes, "the file's linetype comes along")

shutil.rmtree(work)
if failures:
    print(f"{len(failures)} check(s) failed")
    sys.exit(1)
print("all checks passed")
