"""Runs zan on DXF drawings made by other programs, as a drafter would, and checks what comes out.

For each drawing: ezdxf reads and audits the original; zan opens it, lists the layers, lists an entity inside
a block reference (a module command), moves everything, freezes layers by a wildcard, saves to a temporary file
and plots to PNG (and, in a second run, plots the first paper-space layout); ezdxf then reads and audits the
saved file. Two more sessions copy everything and explode everything. A drawing fails when zan crashes, hangs,
exits non-zero (status 1 with no file saved is a fair refusal of a drawing ezdxf cannot read either), writes a
file ezdxf cannot read, loses entities, blocks or layers, freezes the wrong layers, moves some entities wrongly,
finds nothing where a block's line is, brings audit errors the original did not have, copies the wrong number of
entities, or writes no plot.

    python3 foreign_sweep.py --zan build/bin/zan [--sample N] [--jobs J] [--keep DIR] PATH...

PATH is a DXF file or a folder searched for *.dxf. --sample N takes N drawings spread evenly over the sorted
list, so the same N are taken at every run. Exit status: 0 all passed, 1 some failed, 77 nothing to sweep
(no path exists), 64 usage.
"""

import argparse
import collections
import concurrent.futures
import fnmatch
import os
import re
import shutil
import subprocess
import sys
import tempfile

try:
    import ezdxf
    import ezdxf.bbox
    from ezdxf.lldxf.const import DXFError
except ImportError:  # The check needs Debian's python3-ezdxf.
    print("ezdxf is not installed (python3-ezdxf)", file=sys.stderr)
    sys.exit(77)

SKIP = 77
RUN_SECONDS = 60
SHIFT = (10.0, 5.0)  # what MOVE ALL moves by
MOST_PLACES = 2000  # entities whose places are compared, at most


def find_drawings(paths):
    found = []
    for path in paths:
        if os.path.isdir(path):
            for folder, _, names in os.walk(path):
                found += [os.path.join(folder, n) for n in names if n.lower().endswith(".dxf")]
        elif os.path.isfile(path):
            found.append(path)
    return sorted(set(found))


def spread(items, count):
    """count items spread evenly over the list: the same ones at every run."""
    if count <= 0 or count >= len(items):
        return items
    return [items[i * len(items) // count] for i in range(count)]


class View:
    """What ezdxf sees of a drawing: layers, entities per block, paper layouts, audit errors."""

    def __init__(self, path):
        self.doc = ezdxf.readfile(path)
        self.layers = {layer.dxf.name.upper(): layer for layer in self.doc.layers}
        self.entities = collections.Counter()
        self.blocks = {block.name.upper() for block in self.doc.blocks}
        # References to blocks a session added (the module's initialization object is one) are counted apart.
        self.added_references = collections.Counter()
        for block in self.doc.blocks:
            name = block.name.upper()
            if name.startswith("*PAPER_SPACE"):
                name = "*PAPER_SPACE"
            for entity in block:
                self.entities[(name, entity.dxftype())] += 1
                if entity.dxftype() == "INSERT":
                    self.added_references[(name, entity.dxf.name.upper())] += 1
        self.layouts = [layout.name for layout in self.doc.layouts
                        if not layout.is_modelspace and len(layout) > 0]
        self.current = self.doc.header.get("$CLAYER", "0").upper()
        self.nested_pick = nested_pick(self)
        # Where the entities of the space that is current at opening are (the space MOVE ALL acts on).
        space = self.doc.modelspace() if self.doc.header.get("$TILEMODE", 1) else self.doc.layouts.active_layout()
        self.space_name = "*MODEL_SPACE" if space.is_modelspace else "*PAPER_SPACE"
        self.held_layers = any(layer.dxf.flags & 5 for layer in self.doc.layers)
        self.places = {}
        for entity in list(space)[:MOST_PLACES]:
            # The defining point where the entity has one: a box measured on a flattened curve is not exact.
            place = None
            for point in ("insert", "start", "center"):
                if place is None and entity.dxf.hasattr(point):
                    place = entity.dxf.get(point)
            try:
                if place is None:
                    box = ezdxf.bbox.extents([entity])
                    place = box.center if box.has_data else None
            except Exception:  # ezdxf cannot measure every entity it reads (a text of a missing style)
                pass
            if place is not None:
                self.places[entity.dxf.handle] = (entity.dxftype(), place, entity.dxf.get("layer", "0").upper())
        auditor = self.doc.audit()
        self.audit = collections.Counter(error.code for error in auditor.errors)
        self.audit_text = {error.code: error.message for error in auditor.errors}


def shown(view, entity):
    layer = view.layers.get(entity.dxf.get("layer", "0").upper())
    return layer is None or (layer.dxf.color >= 0 and not layer.dxf.flags & 1)


def nested_pick(view):
    """A point on a line inside a block reference of model space (a pick there finds the line through the
    reference), or None."""
    if not view.doc.header.get("$TILEMODE", 1):
        return None
    for insert in list(view.doc.modelspace().query("INSERT"))[:20]:
        if not shown(view, insert) or insert.dxf.get("column_count", 1) > 1 or insert.dxf.get("row_count", 1) > 1:
            continue
        try:
            for part in insert.virtual_entities():
                if part.dxftype() == "LINE" and shown(view, part) and part.dxf.start.distance(part.dxf.end) > 0:
                    return part.dxf.start.lerp(part.dxf.end, 0.5)
        except Exception:  # a block ezdxf cannot expand is left out
            continue
    return None


def freeze_pattern(view):
    """A wildcard a drafter might type: the first letter of a layer that is not 0, the current one or Defpoints,
    followed by *. None when no layer name starts with a letter or digit."""
    for name in sorted(view.layers):
        if name in ("0", "DEFPOINTS", view.current) or not name[:1].isalnum() or not name.isascii():
            continue
        return name[0] + "*"
    return None


def run_zan(zan, args, script, workdir, name="session"):
    script_path = os.path.join(workdir, name + ".scr")
    with open(script_path, "w") as f:
        f.write(script)
    env = dict(os.environ, XDG_CONFIG_HOME=workdir)
    try:
        result = subprocess.run([zan, "--profile-dir", workdir, "--script", script_path, *args],
                                capture_output=True, cwd=workdir, env=env, timeout=RUN_SECONDS)
    except subprocess.TimeoutExpired:
        return None, "", ""
    return (result.returncode, result.stdout.decode("utf-8", "replace"),
            result.stderr.decode("utf-8", "replace"))


def describe_exit(code, err):
    if code is None:
        return f"hung (no end after {RUN_SECONDS} s)"
    if code < 0:
        return f"crashed with signal {-code}: {err.strip()[-300:]}"
    return f"exit status {code}: {err.strip()[-300:]}"


def sweep_one(zan, path, size, keep):
    """The problems found with one drawing (an empty list when it passed), and a note when it was not swept."""
    problems = []
    note = None
    try:
        before = View(path)
    except (DXFError, IOError, UnicodeDecodeError, ValueError) as error:
        # zan still runs on it: a clear refusal is fine, a crash or hang is not, and a saved file must read.
        before = None
        note = f"ezdxf cannot read the original ({type(error).__name__}: {str(error)[:100]})"
    workdir = tempfile.mkdtemp(prefix="zan-foreign-")
    try:
        saved = os.path.join(workdir, "saved.dxf")
        plot = os.path.join(workdir, "plot.png")
        pattern = freeze_pattern(before) if before else None
        script = "-LAYER\n?\n*\n\n"
        pick = before.nested_pick if before else None
        if pick:
            script += f"xreflist\n{pick.x!r},{pick.y!r}\n"
        script += f"MOVE\nALL\n\n0,0\n{SHIFT[0]},{SHIFT[1]}\n"
        if pattern:
            script += f"-LAYER\nF\n{pattern}\n\n"
        script += "xreflist\n\nSAVE\nQUIT\n"
        code, out, err = run_zan(zan, ["--save-as", saved, "--plot", plot, "--size", size, path], script, workdir)
        if code != 0 and not (before is None and code == 1 and not os.path.exists(saved)):
            problems.append("session: " + describe_exit(code, err))
        if code == 0 and "Layer" not in out and "layer" not in out:
            problems.append("the layer listing printed nothing")
        if code == 0 and pick and "ENTITY -> " not in out and "Entity must be in a block" not in out:
            problems.append(f"xreflist found nothing at {pick.x},{pick.y}, a point on a line of a block reference")
        if code == 0 and (not os.path.isfile(plot) or os.path.getsize(plot) == 0):
            problems.append("no plot was written")
        if before and before.layouts:
            layout_plot = os.path.join(workdir, "layout.png")
            code2, _, err2 = run_zan(zan, ["--no-module", "--plot", layout_plot, "--layout", before.layouts[0],
                                           "--size", size, path], "", workdir)
            if code2 != 0:
                problems.append(f"plot of layout {before.layouts[0]!r}: " + describe_exit(code2, err2))
            elif not os.path.isfile(layout_plot):
                problems.append(f"no plot of layout {before.layouts[0]!r} was written")
        after = read_back(saved, code, problems, "")
        if before and after:
            problems += compare(before, after, pattern, listed_layers(out))
        if not before and after:
            note += f"; zan read it and ezdxf reads what zan saved ({sum(after.audit.values())} audit errors)"

        if before:
            problems += copy_and_explode(zan, path, before, workdir)
        return problems, note
    finally:
        if keep and problems:
            target = os.path.join(keep, os.path.basename(path) + ".d")
            shutil.rmtree(target, ignore_errors=True)
            shutil.copytree(workdir, target)
        shutil.rmtree(workdir, ignore_errors=True)


def read_back(saved, code, problems, what):
    """ezdxf's view of a file a session saved; None (with the problem noted) when there is none."""
    if not os.path.isfile(saved):
        if code == 0:
            problems.append(what + "SAVE wrote no file")
        return None
    try:
        return View(saved)
    except (DXFError, IOError, UnicodeDecodeError, ValueError) as error:
        problems.append(f"{what}ezdxf cannot read the saved file: {type(error).__name__}: {str(error)[:200]}")
        return None


def new_audit_errors(before, after, what, allowed=lambda count: count):
    """Audit errors of the saved file beyond what the original had (`allowed` widens that for edits that copy
    the original's entities, faults included)."""
    return [f"{what}audit error {code} brought by the save ({count} after, {before.audit[code]} before): "
            f"{after.audit_text[code][:150]}"
            for code, count in sorted(after.audit.items()) if count > allowed(before.audit[code])]


def copy_and_explode(zan, path, before, workdir):
    """Two more sessions: COPY ALL must double what the current space holds; EXPLODE ALL must save a file that
    reads and audits as well as the original."""
    problems = []
    copied = os.path.join(workdir, "copied.dxf")
    code, _, err = run_zan(zan, ["--no-module", "--save-as", copied, path],
                           "COPY\nALL\n\n0,0\n1000,0\n\nQUIT\n", workdir, "copy")
    if code != 0:
        problems.append("COPY session: " + describe_exit(code, err))
    after = read_back(copied, code, problems, "COPY: ")
    if after:
        problems += new_audit_errors(before, after, "COPY: ", lambda count: 2 * count)
        space = before.space_name
        for (block, kind), count in sorted(before.entities.items()):
            # What lies on frozen or locked layers is not selected; only spaces without such layers are counted.
            if block != space or space != "*MODEL_SPACE" or before.held_layers:
                continue
            if after.entities[(block, kind)] != 2 * count:
                problems.append(f"COPY: {count} {kind} in {block} became {after.entities[(block, kind)]}")
    exploded = os.path.join(workdir, "exploded.dxf")
    code, _, err = run_zan(zan, ["--no-module", "--save-as", exploded, path], "EXPLODE\nALL\n\nQUIT\n",
                           workdir, "explode")
    if code != 0:
        problems.append("EXPLODE session: " + describe_exit(code, err))
    after = read_back(exploded, code, problems, "EXPLODE: ")
    if after:
        # Exploding spreads a block's entities, and their faults, over the space: only new kinds count.
        problems += new_audit_errors(before, after, "EXPLODE: ", lambda count: float("inf") if count else 0)
    return problems


def listed_layers(transcript):
    """The layer names the listing printed (ezdxf adds layers a file lacks, such as Defpoints)."""
    names, inside = set(), False
    for line in transcript.splitlines():
        if line.startswith("Layer name"):
            inside = True
        elif inside and not line.strip():
            break
        elif inside:
            names.add(re.split(r"\s{2,}", line.strip())[0].upper())
    return names


def compare(before, after, pattern, listed):
    problems = []
    lost_layers = sorted(set(before.layers) - set(after.layers))
    if lost_layers:
        problems.append(f"layers lost: {', '.join(lost_layers[:5])}")
    lost_blocks = sorted(before.blocks - after.blocks)
    if lost_blocks:
        problems.append(f"blocks lost: {', '.join(lost_blocks[:5])}")
    for (space, block), count in after.added_references.items():
        if block not in before.blocks:
            after.entities[(space, "INSERT")] -= count
    for key in sorted(set(before.entities) | set(after.entities)):
        if before.entities[key] != after.entities[key]:
            problems.append(f"{key[0]}: {before.entities[key]} {key[1]} before, {after.entities[key]} after")
    problems += new_audit_errors(before, after, "")
    misplaced = collections.Counter()
    for handle, (kind, center, layer) in before.places.items():
        # ALL leaves out what lies on frozen or locked layers.
        held = before.layers.get(layer)
        if held is not None and held.dxf.flags & 5:
            continue
        if handle in after.places:
            moved = after.places[handle][1]
            if abs(moved.x - center.x - SHIFT[0]) > 1e-6 * max(1.0, abs(center.x)) + 1e-6 or \
                    abs(moved.y - center.y - SHIFT[1]) > 1e-6 * max(1.0, abs(center.y)) + 1e-6:
                misplaced[kind] += 1
    for kind, count in sorted(misplaced.items()):
        problems.append(f"{count} {kind} not moved by {SHIFT[0]},{SHIFT[1]} with the rest")
    if pattern:
        for name, layer in before.layers.items():
            if name not in after.layers or name not in listed:
                continue
            should = fnmatch.fnmatchcase(name, pattern) and name != before.current
            frozen = bool(after.layers[name].dxf.flags & 1)
            if should and not frozen:
                problems.append(f"layer {name} matches {pattern} but is not frozen")
            if not should and frozen and not layer.dxf.flags & 1:
                problems.append(f"layer {name} does not match {pattern} but was frozen")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--zan", required=True)
    parser.add_argument("--sample", type=int, default=0)
    parser.add_argument("--jobs", type=int, default=1)
    parser.add_argument("--size", default="400x300")
    parser.add_argument("--keep", help="keep the work files of failed drawings in this folder")
    parser.add_argument("paths", nargs="+")
    args = parser.parse_args()
    args.zan = os.path.abspath(args.zan)
    drawings = spread(find_drawings(args.paths), args.sample)
    if not drawings:
        print("no DXF drawings found; nothing to sweep")
        return SKIP
    if args.keep:
        os.makedirs(args.keep, exist_ok=True)
    failed = skipped = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        results = pool.map(lambda p: sweep_one(args.zan, p, args.size, args.keep), drawings)
        for path, (problems, note) in zip(drawings, results):
            if problems:
                failed += 1
                print(f"FAILED  {path}")
                for problem in problems:
                    print(f"        {problem}")
            elif note:
                skipped += 1
                print(f"PARTLY  {path}: {note}; zan ran without fault")
            sys.stdout.flush()
    print(f"{len(drawings)} drawings: {len(drawings) - failed} passed, {failed} failed, "
          f"{skipped} of the passed not compared (the original does not read in ezdxf)")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
