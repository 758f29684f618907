"""Helpers shared by the checks that hold the host's DXF files against ezdxf."""

import json
import os
import subprocess
import sys
import tempfile

import ezdxf

failures = []
SPACES = ("*MODEL_SPACE", "*PAPER_SPACE", "$MODEL_SPACE", "$PAPER_SPACE")


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def finish():
    if failures:
        print(f"{len(failures)} check(s) failed")
        sys.exit(1)
    print("all checks passed")
    sys.exit(0)


def run_tool(tool, *args, expect_ok=True):
    result = subprocess.run([tool, *args], capture_output=True, text=True)
    if expect_ok and result.returncode != 0:
        raise SystemExit(f"{tool} {' '.join(args)} failed: {result.stderr}")
    return result


def host_dump(tool, path):
    return json.loads(run_tool(tool, "dump", path).stdout)


def temp_dir():
    return tempfile.mkdtemp(prefix="zan-dxf-")


def audit_errors(doc):
    auditor = doc.audit()
    return [e.message for e in auditor.errors]


def ezdxf_view(doc):
    """Layers, entities (model and paper space), blocks and extended data as
    ezdxf sees them, in the shape of the host's dump."""
    layers = [{"name": l.dxf.name, "flags": l.dxf.flags, "color": l.dxf.color, "linetype": l.dxf.linetype}
              for l in doc.layers]
    entities = []

    def entity(e, space):
        xdata = []
        if e.xdata:
            for app, tags in e.xdata.data.items():
                xdata.append([1001, app])
                for t in tags:
                    # Skip the 1001 tag ezdxf keeps at the front.
                    if t.code == 1001:
                        continue
                    xdata.append([t.code, t.value])
        return {"type": e.dxftype(), "handle": e.dxf.handle, "layer": e.dxf.get("layer", "0"),
                "space": space, "xdata": xdata}
    for layout in doc.layouts:
        space = "model" if layout.is_modelspace else "paper"
        if not layout.is_modelspace and layout.block_record.dxf.name.upper() not in SPACES:
            continue
        for e in layout:
            entities.append(entity(e, space))
    blocks = []
    for b in doc.blocks:
        if b.name.upper() in SPACES:
            continue
        blocks.append({"name": b.name, "entities": [entity(e, b.name) for e in b]})
    return {"layers": layers, "entities": entities, "blocks": blocks}


def normalise_xdata(items):
    """Xdata values as text so that ezdxf's typed values compare with the
    host's text; points are split the way the file holds them."""
    out = []
    for code, value in items:
        if isinstance(value, (tuple, list)) or hasattr(value, "x"):
            coords = list(value)
            for i, c in enumerate(coords):
                out.append((code + 10 * i, round(float(c), 9)))
        elif code in range(1010, 1060) and not isinstance(value, str):
            out.append((code, round(float(value), 9)))
        elif code in range(1010, 1060):
            out.append((code, round(float(value), 9)))
        elif code in range(1060, 1072):
            out.append((code, int(value)))
        else:
            out.append((code, str(value)))
    return out


def compare_views(host, ez, label):
    hl = {l["name"]: l for l in host["layers"]}
    el = {l["name"]: l for l in ez["layers"]}
    check(sorted(hl) == sorted(el), f"{label}: layer names differ: {sorted(set(hl) ^ set(el))}")
    for name in set(hl) & set(el):
        h, e = hl[name], el[name]
        check(h["flags"] == e["flags"], f"{label}: layer {name} flags {h['flags']} != {e['flags']}")
        check(h["color"] == e["color"], f"{label}: layer {name} colour {h['color']} != {e['color']}")
        check(h["linetype"].upper() == e["linetype"].upper(),
              f"{label}: layer {name} linetype {h['linetype']} != {e['linetype']}")

    def key(e):
        return (e["type"], e["handle"].upper(), e["layer"], e["space"])

    hs = [key(e) for e in host["entities"] if e["type"] not in ("VERTEX", "SEQEND", "ATTRIB")]
    es = [key(e) for e in ez["entities"]]
    check(sorted(hs) == sorted(es), f"{label}: entities differ: host-only {sorted(set(hs) - set(es))[:5]}, "
                                    f"ezdxf-only {sorted(set(es) - set(hs))[:5]}")
    hx = {e["handle"].upper(): normalise_xdata(e["xdata"]) for e in host["entities"]}
    ex = {e["handle"].upper(): normalise_xdata(e["xdata"]) for e in ez["entities"]}
    for handle in set(hx) & set(ex):
        check(hx[handle] == ex[handle], f"{label}: extended data of {handle} differs: {hx[handle]} != {ex[handle]}")
    hb = {b["name"].upper(): sorted(key(e) for e in b["entities"]
                                    if e["type"] not in ("VERTEX", "SEQEND", "ATTRIB")) for b in host["blocks"]
          if b["name"].upper() not in SPACES}
    eb = {b["name"].upper(): sorted((e["type"], e["handle"].upper(), e["layer"], b["name"])
                                    for e in b["entities"]) for b in ez["blocks"]}
    check(sorted(hb) == sorted(eb), f"{label}: block names differ: {sorted(set(hb) ^ set(eb))}")
    for name in set(hb) & set(eb):
        hk = [(t, h, l) for t, h, l, _ in hb[name]]
        ek = [(t, h, l) for t, h, l, _ in eb[name]]
        check(hk == ek, f"{label}: entities of block {name} differ")


def file_groups(path):
    """The (code, value) pairs of a DXF file as written."""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        lines = f.read().split("\n")
    return [(int(lines[i]), lines[i + 1].rstrip("\r")) for i in range(0, len(lines) - 1, 2)]
