#!/usr/bin/env python3
"""Writes a DXF file holding only some entities of another: everything before
and after the ENTITIES section unchanged, and of the section the entities with
the given indexes (a POLYLINE with its VERTEX and SEQEND counts as one), each
with its pairs unchanged. Lines end in CR LF.

    dxf-subset.py DRAWING.dxf 0,3,7 OUT.dxf
    dxf-subset.py DRAWING.dxf --list
"""
import sys


def pairs_of(data):
    lines = data.replace(b"\r\n", b"\n").split(b"\n")
    return [(lines[i], lines[i + 1]) for i in range(0, len(lines) - 1, 2)]


def split(pairs):
    begin = end = None
    for i, (code, value) in enumerate(pairs):
        if begin is None and code.strip() == b"2" and value == b"ENTITIES":
            begin = i + 1
        elif begin is not None and code.strip() == b"0" and value == b"ENDSEC":
            end = i
            break
    entities, in_polyline = [], False
    for i in range(begin, end):
        code, value = pairs[i]
        if code.strip() != b"0":
            continue
        if in_polyline and value in (b"VERTEX", b"SEQEND"):
            if value == b"SEQEND":
                in_polyline = False
            continue
        in_polyline = value == b"POLYLINE"
        entities.append(i)
    bounds = [(start, (entities[k + 1] if k + 1 < len(entities) else end)) for k, start in enumerate(entities)]
    return begin, end, bounds


def main():
    pairs = pairs_of(open(sys.argv[1], "rb").read())
    begin, end, bounds = split(pairs)
    if sys.argv[2] == "--list":
        for k, (s, e) in enumerate(bounds):
            layer = next((v for c, v in pairs[s:e] if c.strip() == b"8"), b"")
            print(k, pairs[s][1].decode(), layer.decode("cp932"))
        return
    keep = sorted({int(x) for x in sys.argv[2].split(",")})
    out = pairs[:begin]
    for k in keep:
        s, e = bounds[k]
        out += pairs[s:e]
    out += pairs[end:]
    with open(sys.argv[3], "wb") as f:
        for code, value in out:
            f.write(code + b"\r\n" + value + b"\r\n")


main()
