#!/usr/bin/env python3
"""An independent count of the block references of DXF drawings, held against
`orveline-report --blocks --json`.

block_count_check.py TOOL WORK DRAWING...

Reads each drawing's pairs on its own (no code of the tool), counts the
references placed under each block name (array cells, references nested in
blocks once per placement of their parents, anonymous copies of a named block
under that name, other anonymous blocks left out), runs the tool, sums its
block rows by name and prints one line per drawing. Exits 1 when any count
differs.
"""
import collections
import json
import os
import subprocess
import sys

TRUE_NAME_APPS = ("AcDbDynamicBlockTrueName", "AcDbDynamicBlockTrueName2")


def pairs(path):
    with open(path, "rb") as f:
        lines = f.read().splitlines()
    if lines and lines[0].startswith(b"\xef\xbb\xbf"):
        lines[0] = lines[0][3:]
    for i in range(0, len(lines) - 1, 2):
        yield int(lines[i].strip()), lines[i + 1].strip()


class Reference:
    def __init__(self):
        self.name = b""
        self.cells = [1, 1]
        self.true_name = b""


def read(path):
    """The references of the drawing and of its blocks, and the names that
    anonymous blocks copy."""
    blocks = {}  # name -> list of references; the first block of a name
    block_true = {}
    records = []  # [handle, name, true name, true handle]
    own = []
    section = None
    previous = (None, None)
    current = None  # the open entity: ("ref", Reference) / ("block", name) / ("record", list)
    block_name = None
    xdata = None
    utf8 = False
    for code, value in pairs(path):
        if previous == (9, b"$ACADVER") and code == 1:
            utf8 = value >= b"AC1021"
        if previous == (0, b"SECTION") and code == 2:
            section = value
        previous = (code, value)
        if code == 0:
            if current and current[0] == "block":
                block_name = current[1]
                if block_name not in blocks:
                    blocks[block_name] = []
                    block_true[block_name] = current[2]
                else:
                    block_name = ("duplicate", block_name)
                    blocks[block_name] = []
            current = None
            xdata = None
            if value == b"ENDSEC":
                if section == b"ENTITIES":
                    break
                section = None
            elif section == b"TABLES" and value == b"BLOCK_RECORD":
                records.append([b"", b"", b"", b""])
                current = ("record", records[-1])
            elif section == b"BLOCKS" and value == b"BLOCK":
                current = ["block", b"", b""]
            elif section == b"BLOCKS" and value == b"ENDBLK":
                block_name = None
            elif value == b"INSERT" and (section == b"ENTITIES" or (section == b"BLOCKS" and block_name is not None)):
                ref = Reference()
                (own if section == b"ENTITIES" else blocks[block_name]).append(ref)
                current = ("ref", ref)
            continue
        if current is None:
            continue
        if code == 1001:
            xdata = value.decode("latin-1")
        kind = current[0]
        if kind == "record":
            r = current[1]
            if code == 5:
                r[0] = value
            elif code == 2:
                r[1] = value
            elif code == 1000 and xdata in TRUE_NAME_APPS and not r[2]:
                r[2] = value
            elif code == 1005 and xdata == "AcDbBlockRepBTag" and not r[3]:
                r[3] = value
        elif kind == "block":
            if code == 2:
                current[1] = value
            elif code == 1000 and xdata in TRUE_NAME_APPS and not current[2]:
                current[2] = value
        elif kind == "ref":
            ref = current[1]
            if code == 2:
                ref.name = value
            elif code == 70:
                ref.cells[0] = int(value)
            elif code == 71:
                ref.cells[1] = int(value)
            elif code == 1000 and xdata in TRUE_NAME_APPS and not ref.true_name:
                ref.true_name = value
    by_handle = {r[0]: r for r in records}
    by_name = {}
    for r in records:
        by_name.setdefault(r[1], r)
    for name in list(block_true):
        if isinstance(name, tuple) or not name.startswith(b"*") or block_true[name]:
            continue
        r = by_name.get(name)
        if r:
            block_true[name] = r[2] or (by_handle[r[3]][1] if r[3] in by_handle else b"")
    return own, blocks, block_true, utf8


def count(path):
    own, blocks, block_true, utf8 = read(path)
    counts = collections.Counter()
    left_out = [0]

    def place(ref, times, stack):
        cells = max(ref.cells[0], 1) * max(ref.cells[1], 1) * times
        if ref.name in stack or len(stack) >= 64:
            return
        name = ref.name
        if name.startswith(b"*"):
            name = ref.true_name or block_true.get(ref.name, b"")
            if not name or name.startswith(b"*"):
                left_out[0] += cells
                return
        counts[name] += cells
        for nested in blocks.get(ref.name, []):
            place(nested, cells, stack + [ref.name])

    for ref in own:
        place(ref, 1, [])
    encoding = "utf-8" if utf8 else "cp932"
    return {k.decode(encoding, "replace"): v for k, v in counts.items()}, left_out[0]


def main():
    tool, work, drawings = sys.argv[1], sys.argv[2], sys.argv[3:]
    os.makedirs(work, exist_ok=True)
    failed = False
    print("%-60s %10s %6s %9s  %s" % ("drawing", "references", "names", "left out", "agrees"))
    for drawing in drawings:
        expected, left_out = count(drawing)
        out = os.path.join(work, os.path.basename(drawing) + ".json")
        subprocess.run([tool, "--blocks", "--json", drawing, out], check=True)
        with open(out, encoding="utf-8") as f:
            rows = json.load(f)
        listed = collections.Counter()
        for row in rows:
            if "block" in row:
                listed[row["block"]] += row["count"]
        agrees = listed == collections.Counter(expected)
        failed |= not agrees
        print("%-60s %10d %6d %9d  %s" % (os.path.basename(drawing), sum(expected.values()), len(expected), left_out,
                                         "yes" if agrees else "NO"))
        if not agrees:
            print("  independent:", dict(sorted(expected.items())))
            print("  listed:     ", dict(sorted(listed.items())))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
