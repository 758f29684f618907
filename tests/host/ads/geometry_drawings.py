"""Drawings for the geometry tests of the ADS functions, made with ezdxf,
and the checks of what the host saved, against ezdxf's own geometry.

usage:
  geometry_drawings.py make DIR SAMPLES_DIR
      writes DIR/nested.dxf, DIR/kinds.dxf and DIR/expected.txt (lines of
      "key value...": pick points, handles, the model-to-world matrix of a
      nested entity as ezdxf computes it, in the host's layout)
  geometry_drawings.py moved ORIGINAL SAVED M00 M01 ... M33
      checks that every entity of SAVED is the entity of ORIGINAL as ezdxf
      transforms it by the matrix (given row by row, translation in the
      fourth column)"""

import math
import os
import sys

import ezdxf
from ezdxf.math import Matrix44, Vec3


def make(directory, samples):
    out = []

    # Nested references: OUTER holds INNER, which holds a line on layer 0.
    doc = ezdxf.new("R2010")
    doc.layers.add("DOORS")
    doc.layers.add("FROZEN").freeze()
    doc.layers.add("A-WALL")
    msp = doc.modelspace()
    inner = doc.blocks.new("INNER", base_point=(1, 0))
    inner.add_line((1, 0), (3, 0), dxfattribs={"layer": "0"})
    outer = doc.blocks.new("OUTER")
    middle = outer.add_blockref("INNER", (10, 0), dxfattribs={"xscale": 2, "yscale": 2, "rotation": 90})
    outer.add_circle((0, 0), 1)
    top = msp.add_blockref("OUTER", (100, 100),
                           dxfattribs={"rotation": 30, "xscale": 1.5, "yscale": 1.5, "layer": "DOORS"})
    # The leaf as ezdxf places it: the virtual entities of the references.
    placed = [e for e in top.virtual_entities() if e.dxftype() == "INSERT"][0]
    leaf = [e for e in placed.virtual_entities() if e.dxftype() == "LINE"][0]
    m = placed.matrix44()
    point = (leaf.dxf.start + leaf.dxf.end) / 2
    out.append("nested_point %r %r" % (point.x, point.y))
    out.append("nested_leaf %s" % inner.query("LINE")[0].dxf.handle)
    out.append("nested_containers %s %s" % (middle.dxf.handle, top.dxf.handle))
    # ezdxf keeps row vectors (translation in the last row): transpose.
    out.append("nested_matrix " + " ".join(repr(m[j, i]) for i in range(4) for j in range(4)))
    out.append("nested_top %s" % top.dxf.handle)

    frozen = msp.add_line((0, -50), (40, -50), dxfattribs={"layer": "FROZEN"})
    out.append("frozen_point 20 -50")
    wall = msp.add_line((0, -80), (40, -80), dxfattribs={"layer": "A-WALL"})
    out.append("wall_point 20 -80.05")
    out.append("wall %s" % wall.dxf.handle)

    # A viewport 50 paper units high showing 100 model units around the wall.
    layout = doc.layouts.get("Layout1")
    vp = layout.add_viewport(center=(150, 100), size=(100, 50), view_center_point=(20, -80), view_height=100)
    out.append("viewport %s" % vp.dxf.handle)
    doc.saveas(os.path.join(directory, "nested.dxf"))

    # A wall line of the demo drawing, picked three quarters along it.
    demo = ezdxf.readfile(os.path.join(samples, "demo", "demo.dxf"))
    wall = demo.modelspace().query("LINE[layer=='1-WALL']")[0]
    point = wall.dxf.start.lerp(wall.dxf.end, 0.75)
    out.append("demo_wall %s %r %r" % (wall.dxf.handle, point.x, point.y))

    # One entity of every kind the transforms know.
    doc = ezdxf.new("R2010")
    msp = doc.modelspace()
    msp.add_line((1, 2, 0), (5.5, -3.25, 0))
    msp.add_point((3, 4))
    msp.add_circle((10, 10), 2.5)
    msp.add_arc((20, 5), 3, 30, 250)
    msp.add_ellipse((30, 0), major_axis=(4, 1), ratio=0.4, start_param=0.5, end_param=4.0)
    lw = msp.add_lwpolyline([(0, 20, 0.5, 0.5, 0.25), (10, 20, 0.5, 1.0, -0.5), (10, 30, 0, 0, 0)], format="xyseb")
    lw.close(True)
    p2 = msp.add_polyline2d([(40, 0), (50, 0), (50, 10)], dxfattribs={"default_start_width": 0.2})
    p2.vertices[0].dxf.bulge = 0.4
    msp.add_polyline3d([(60, 0, 0), (65, 5, 2), (70, 0, 4)])
    msp.add_solid([(80, 0), (85, 0), (80, 4), (85, 5)])
    msp.add_text("LEVEL 1", dxfattribs={"height": 2.5, "rotation": 15, "insert": (0, 50), "width": 0.8})
    msp.add_mtext("Wall\\Ptype A", dxfattribs={"char_height": 1.5, "insert": (20, 50), "rotation": 10})
    block = doc.blocks.new("TAG", base_point=(0.5, 0.5))
    block.add_circle((0, 0), 1)
    block.add_attdef("NUM", (0, -2), dxfattribs={"height": 0.5})
    ref = msp.add_blockref("TAG", (40, 50), dxfattribs={"xscale": 2, "yscale": 3, "rotation": 20})
    ref.add_auto_attribs({"NUM": "101"})
    hatch = msp.add_hatch(color=2)
    hatch.paths.add_polyline_path([(60, 50, 0.3), (70, 50, 0), (70, 60, 0)], is_closed=True)
    edge = hatch.paths.add_edge_path()
    edge.add_line((80, 50), (90, 50))
    edge.add_arc((85, 50), 5, 0, 180)
    msp.add_spline([(0, 70), (5, 75), (10, 70), (15, 78)])
    dim = msp.add_linear_dim(base=(100, 10), p1=(100, 0), p2=(110, 0))
    dim.render()
    doc.saveas(os.path.join(directory, "kinds.dxf"))

    with open(os.path.join(directory, "expected.txt"), "w") as f:
        f.write("\n".join(out) + "\n")


def points_of(e):
    """The coordinates that fix an entity, by kind, for comparison."""
    t = e.dxftype()
    d = e.dxf
    if t == "LINE":
        return [d.start, d.end]
    if t == "POINT":
        return [d.location]
    if t in ("CIRCLE", "ARC"):
        pts = [d.center, Vec3(d.radius, 0, 0)]
        if t == "ARC":
            pts.append(e.start_point)
            pts.append(e.end_point)
        return pts
    if t == "ELLIPSE":
        return [d.center, d.major_axis, Vec3(d.ratio, 0, 0), e.start_point, e.end_point]
    if t == "LWPOLYLINE":
        return [Vec3(x, y, 0) for x, y, s, w, b in e.get_points("xyseb")] + \
               [Vec3(s, w, b) for x, y, s, w, b in e.get_points("xyseb")]
    if t == "POLYLINE":
        return [v.dxf.location for v in e.vertices] + \
               [Vec3(v.dxf.start_width, v.dxf.end_width, v.dxf.bulge) for v in e.vertices]
    if t == "SOLID":
        return [d.vtx0, d.vtx1, d.vtx2, d.vtx3]
    if t in ("TEXT", "ATTRIB"):
        return [d.insert, Vec3(d.height, d.get("width", 1), 0), Vec3.from_deg_angle(d.rotation)]
    if t == "MTEXT":
        return [d.insert, Vec3(d.char_height, 0, 0), e.get_rotation() and Vec3.from_deg_angle(e.get_rotation())]
    if t == "INSERT":
        return [d.insert, Vec3(d.xscale, d.yscale, d.zscale), Vec3.from_deg_angle(d.rotation)] + \
               [p for a in e.attribs for p in points_of(a)]
    if t == "HATCH":
        return [v for p in e.paths for v in path_vertices(p)]
    if t == "SPLINE":
        return list(e.control_points) + list(e.fit_points)
    if t == "DIMENSION":
        return [d.defpoint, d.defpoint2, d.defpoint3, d.text_midpoint]
    raise ValueError("no comparison for " + t)


def path_vertices(path):
    if path.type == ezdxf.entities.BoundaryPathType.POLYLINE:
        return [Vec3(x, y, b) for x, y, b in path.vertices]
    out = []
    for edge in path.edges:
        if edge.type == ezdxf.entities.EdgeType.LINE:
            out += [Vec3(edge.start), Vec3(edge.end)]
        elif edge.type == ezdxf.entities.EdgeType.ARC:
            out += [Vec3(edge.center), Vec3(edge.radius, 0, 0), Vec3.from_deg_angle(edge.start_angle),
                    Vec3.from_deg_angle(edge.end_angle)]
    return out


def moved(original, saved, values):
    rows = [values[i * 4:i * 4 + 4] for i in range(4)]
    # The host's matrix takes column vectors; ezdxf's takes row vectors.
    m = Matrix44([rows[j][i] for i in range(4) for j in range(4)])
    before = ezdxf.readfile(original).modelspace()
    after = ezdxf.readfile(saved).modelspace()
    failures = []
    kinds_a = [e.dxftype() for e in before]
    kinds_b = [e.dxftype() for e in after]
    if kinds_a != kinds_b:
        failures.append("kinds differ: %s / %s" % (kinds_a, kinds_b))
    for a, b in zip(before, after):
        expected = a.copy()
        expected.transform(m)
        pa, pb = points_of(expected), points_of(b)
        if len(pa) != len(pb):
            failures.append("%s %s: %d points, expected %d" % (b.dxftype(), b.dxf.handle, len(pb), len(pa)))
            continue
        for i, (u, v) in enumerate(zip(pa, pb)):
            if not Vec3(u).isclose(Vec3(v), abs_tol=1e-9):
                failures.append("%s %s point %d: %s, expected %s" % (b.dxftype(), b.dxf.handle, i, v, u))
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    if sys.argv[1] == "make":
        make(sys.argv[2], sys.argv[3])
    else:
        sys.exit(moved(sys.argv[2], sys.argv[3], [float(v) for v in sys.argv[4:20]]))
