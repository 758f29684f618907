"""What the host writes opens in ezdxf without errors and holds the same
layers, entities, blocks and extended data as the host sees.

usage: ezdxf_reads_host.py DXF_TOOL SAMPLES_DIR"""

import os
import sys

import ezdxf

from dxfcheck import file_groups, check, compare_views, finish, host_dump, audit_errors, ezdxf_view, run_tool, temp_dir

tool, samples = sys.argv[1], sys.argv[2]
work = temp_dir()

# A drawing made from scratch.
new = os.path.join(work, "new.dxf")
run_tool(tool, "new", new)
doc = ezdxf.readfile(new)
check(audit_errors(doc) == [], f"new drawing: audit errors {audit_errors(doc)}")
check(len(doc.layouts) == 2, "new drawing: model and one paper layout")
compare_views(host_dump(tool, new), ezdxf_view(doc), "new drawing")

# The demo drawing and the block drawing files, read and saved by the host.
sources = [os.path.join(samples, "demo", "demo.dxf")]
sources += [os.path.join(samples, "demo", "blocks", n) for n in sorted(os.listdir(os.path.join(samples, "demo", "blocks")))]
for source in sources:
    name = os.path.basename(source)
    saved = os.path.join(work, "saved-" + name)
    run_tool(tool, "copy", source, saved)
    doc = ezdxf.readfile(saved)
    errors = audit_errors(doc)
    check(errors == [], f"{name}: audit errors {errors}")
    compare_views(host_dump(tool, saved), ezdxf_view(doc), name)

# The viewports' frozen layers survive in their ACAD extended data.
doc = ezdxf.readfile(os.path.join(work, "saved-demo.dxf"))
viewports = [e for e in doc.layouts.get("Layout1") if e.dxftype() == "VIEWPORT" and e.dxf.id != 1]
check(len(viewports) >= 2, "demo: two floating viewports")
for vp in viewports:
    frozen = [v for c, v in vp.get_xdata("ACAD") if c == 1003]
    check(len(frozen) > 0, f"viewport {vp.dxf.handle}: frozen layers in ACAD data")

# Every handle in the saved file is unique and below the seed.
for name in ("saved-demo.dxf", "new.dxf"):
    groups = file_groups(os.path.join(work, name))
    header_end = groups.index((0, "ENDSEC"))
    handles = [int(v, 16) for c, v in groups[header_end:] if c in (5, 105)]
    seed = int(groups[[i for i, (c, v) in enumerate(groups) if v == "$HANDSEED"][0] + 1][1], 16)
    check(len(handles) == len(set(handles)), f"{name}: handles unique")
    check(max(handles) < seed, f"{name}: $HANDSEED above every handle")
finish()
