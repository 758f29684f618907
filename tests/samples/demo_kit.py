"""The demo kit in the repository is the one its generator makes, byte for
byte, and its drawing is what the kit promises: content on every layer of
every level, and an A3 sheet whose viewports each show their whole level at
1:200.

usage: demo_kit.py SAMPLES_DIR"""

import filecmp
import os
import subprocess
import sys
import tempfile

import ezdxf
from ezdxf import bbox

samples = sys.argv[1]
kit = os.path.join(samples, "demo")
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


# A fresh kit, compared file by file with the repository's.
with tempfile.TemporaryDirectory() as fresh:
    subprocess.run([sys.executable, os.path.join(samples, "generate_demo.py"), fresh], check=True)
    made = sorted(os.path.relpath(os.path.join(d, f), fresh) for d, _, files in os.walk(fresh) for f in files)
    check(len(made) > 10, f"the generator made only {made}")
    for name in made:
        kept = os.path.join(kit, name)
        check(os.path.exists(kept) and filecmp.cmp(os.path.join(fresh, name), kept, shallow=False),
              f"{name} differs from what samples/generate_demo.py makes: run it and commit the kit")

demo = os.path.join(kit, "demo.dxf")
check(os.path.getsize(demo) < 1_000_000, f"demo.dxf is {os.path.getsize(demo)} bytes")
doc = ezdxf.readfile(demo)
msp = doc.modelspace()
levels = {"1", "2", "3", "S"}
roots = ("WALL", "DOOR", "WIND", "TEXT", "POCHE", "FURN", "DIM")
for level in sorted(levels):
    for root in roots:
        layer = f"{level}-{root}"
        check(len(msp.query(f'*[layer=="{layer}"]')) > 0, f"nothing on {layer}")

# Each floating viewport: 1:200 (a metre of the plan in 5 mm of the sheet), the
# sheet in millimetres, and its level's plan inside its view.
sheet = doc.layouts.get("Layout1")
viewports = [v for v in sheet.query("VIEWPORT") if v.dxf.id != 1]  # not the sheet's own
check(len(viewports) == 2, f"{len(viewports)} viewports")
for vp in viewports:
    check(abs(vp.dxf.view_height / vp.dxf.height - 0.2) < 1e-9, f"viewport {vp.dxf.id} is not at 1:200")
    left, bottom = vp.dxf.center.x - vp.dxf.width / 2, vp.dxf.center.y - vp.dxf.height / 2
    check(0 <= left and left + vp.dxf.width <= 420 and 0 <= bottom and bottom + vp.dxf.height <= 297,
          f"viewport {vp.dxf.id} is not on the A3 sheet")
    frozen = set(vp.frozen_layers)
    shown = [level for level in levels if f"{level}-WALL" not in frozen]
    check(len(shown) == 1, f"viewport {vp.dxf.id} shows the levels {shown}")
    if len(shown) != 1:
        continue
    plan = bbox.extents(e for e in msp if e.dxf.layer.startswith(shown[0] + "-") and e.dxf.layer not in frozen)
    half_h = vp.dxf.view_height / 2
    half_w = half_h * vp.dxf.width / vp.dxf.height
    cx, cy = vp.dxf.view_center_point.x, vp.dxf.view_center_point.y
    check(cx - half_w <= plan.extmin.x and plan.extmax.x <= cx + half_w and
          cy - half_h <= plan.extmin.y and plan.extmax.y <= cy + half_h,
          f"viewport {vp.dxf.id} cuts level {shown[0]}: {plan} outside the view about ({cx}, {cy})")

if failures:
    print(f"{len(failures)} check(s) failed")
    sys.exit(1)
print("all checks passed")
