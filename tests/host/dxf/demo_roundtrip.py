"""Read-write-read of the demo drawing gives the same records group by
group; ezdxf's audit of the saved demo drawing finds no errors; binary DWG
content and malformed files are refused naming the file.

usage: demo_roundtrip.py DXF_TOOL SAMPLES_DIR"""

import os
import sys

import ezdxf

from dxfcheck import check, finish, audit_errors, run_tool, temp_dir

tool, samples = sys.argv[1], sys.argv[2]
work = temp_dir()
demo = os.path.join(samples, "demo", "demo.dxf")


def records(path):
    """The file as (section, record type, groups) in order; handle seed and
    table counts left out, since saving may rightly change them."""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        lines = f.read().split("\n")
    out, section, current, i = [], None, None, 0
    while i + 1 < len(lines):
        code, value = int(lines[i]), lines[i + 1].rstrip("\r")
        i += 2
        if code == 0:
            if current:
                out.append(current)
            current = [section, value, []]
            continue
        if code == 2 and current and current[1] == "SECTION":
            section = value
        current[2].append((code, value))
    if current:
        out.append(current)
    return out


first = os.path.join(work, "first.dxf")
second = os.path.join(work, "second.dxf")
run_tool(tool, "copy", demo, first)
run_tool(tool, "copy", first, second)
a, b, original = records(first), records(second), records(demo)
check(len(a) == len(b) == len(original), f"record counts {len(original)} {len(a)} {len(b)}")
for ra, rb, ro in zip(a, b, original):
    check(ra == rb, f"record {ra[1]} differs between the first and the second save")
    if ro[1] == "TABLE":
        continue  # the entry count is recomputed
    if ro[0] == "HEADER":
        continue
    check(ra == ro, f"record {ro[1]} {ro[2][:2]} differs from the demo drawing")

doc = ezdxf.readfile(first)
errors = audit_errors(doc)
check(errors == [], f"audit of the saved demo drawing: {errors}")

# Content that is not DXF.
dwg = os.path.join(work, "door.dwg")
with open(dwg, "wb") as f:
    f.write(b"AC1032\x00\x00\x00\x00\x00\x00\x07\x1f" + bytes(200))
result = run_tool(tool, "check", dwg, expect_ok=False)
check(result.returncode == 1 and "door.dwg" in result.stderr and "binary DWG" in result.stderr,
      f"binary DWG refused: {result.stderr!r}")
cut = os.path.join(work, "cut.dxf")
with open(demo, "rb") as f:
    data = f.read()
with open(cut, "wb") as f:
    f.write(data[: len(data) // 3])
result = run_tool(tool, "check", cut, expect_ok=False)
check(result.returncode == 1 and "cut.dxf:" in result.stderr, f"truncated file refused: {result.stderr!r}")
finish()
