"""Drawings written by ezdxf, in versions R12 to R2018, read into the host
with the same layers, entities, blocks and extended data; the host's copy
of them opens in ezdxf again without errors.

usage: ezdxf_to_host.py DXF_TOOL SAMPLES_DIR"""

import os
import sys

import ezdxf

from dxfcheck import check, compare_views, finish, host_dump, audit_errors, ezdxf_view, run_tool, temp_dir

tool = sys.argv[1]
work = temp_dir()


def make(version):
    doc = ezdxf.new(version)
    doc.appids.add("TUV_1001001")
    doc.layers.add("A-WALL", color=1, linetype="Continuous")
    doc.layers.add("A-DOOR", color=3)
    doc.layers.add("Frozen", color=5).freeze()
    doc.layers.add("Off", color=6).off()
    blk = doc.blocks.new("door")
    blk.add_line((0, 0), (1, 0))
    blk.add_arc((0, 0), 1, 0, 90)
    msp = doc.modelspace()
    msp.add_line((0, 0), (10, 5), dxfattribs={"layer": "A-WALL"})
    msp.add_circle((3, 3), 2, dxfattribs={"layer": "A-DOOR"})
    msp.add_text("Hello ^ world", dxfattribs={"layer": "A-WALL"})
    msp.add_polyline2d([(0, 0), (1, 1), (2, 0)], dxfattribs={"layer": "A-WALL"})
    ref = msp.add_blockref("door", (5, 5), dxfattribs={"layer": "A-DOOR"})
    ref.set_xdata("TUV_1001001", [(1000, "key"), (1000, "value"), (1070, 3), (1040, 2.5), (1010, (1, 2, 3))])
    if version != "R12":
        msp.add_lwpolyline([(0, 0), (4, 0), (4, 4)], dxfattribs={"layer": "Off"})
        msp.add_mtext("multi\\Pline", dxfattribs={"layer": "A-WALL"})
        msp.add_ellipse((0, 0), (2, 0), 0.5)
        hatch = msp.add_hatch(color=2)
        hatch.paths.add_polyline_path([(0, 0), (1, 0), (1, 1)], is_closed=True)
    psp = doc.layout()
    psp.add_line((0, 0), (100, 100))
    return doc


for version in ("R12", "R2000", "R2004", "R2007", "R2010", "R2013", "R2018"):
    source = os.path.join(work, f"ez-{version}.dxf")
    doc = make(version)
    doc.saveas(source)
    original = ezdxf.readfile(source)
    host = host_dump(tool, source)
    check(host["version"] == original.dxfversion, f"{version}: version {host['version']}")
    compare_views(host, ezdxf_view(original), f"{version} read")

    saved = os.path.join(work, f"host-{version}.dxf")
    run_tool(tool, "copy", source, saved)
    again = ezdxf.readfile(saved)
    check(again.dxfversion == original.dxfversion, f"{version}: saved as {again.dxfversion}")
    if version != "R12":  # ezdxf audits R2000 and later
        errors = audit_errors(again)
        check(errors == [], f"{version}: audit errors after the host's save: {errors}")
    compare_views(host_dump(tool, saved), ezdxf_view(again), f"{version} saved")
finish()
