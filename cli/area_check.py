#!/usr/bin/env python3
"""An independent measure of the areas of the closed shapes of DXF drawings,
held against `orveline-report --areas --json --totals`.

area_check.py TOOL WORK DRAWING_OR_FOLDER...

Reads each drawing's pairs on its own (no code of the tool): closed
LWPOLYLINE and 2D POLYLINE (bulges as arcs; an open one ending on its start
is closed), CIRCLE, full ELLIPSE, closed SPLINE (by its control points) and
HATCH (polyline and edge paths; islands by the hatch style: 0 alternate,
1 outermost, 2 ignore), in the ENTITIES section and in the blocks that
references place there (array cells and nesting; an area scales by the
determinant of the placement). A boundary that crosses itself, or whose area
cannot be worked out, is not measured. Runs the tool, sums its area rows by
kind and prints one line per drawing and kind. Exits 1 when a count differs
or a summed area differs by more than a millionth. A folder stands for its
.dxf files that hold a closed shape; a folder that is not there is skipped.
"""
import collections
import json
import math
import os
import subprocess
import sys

KINDS = ["多角線面積", "円面積", "楕円面積", "スプライン面積", "ハッチ面積"]
POLY, CIRCLE, ELLIPSE, SPLINE, HATCH = range(5)
MAX_DEPTH = 64


def pairs(path):
    with open(path, "rb") as f:
        lines = f.read().splitlines()
    if lines and lines[0].startswith(b"\xef\xbb\xbf"):
        lines[0] = lines[0][3:]
    for i in range(0, len(lines) - 1, 2):
        yield int(lines[i].strip()), lines[i + 1].strip()


def entities(path):
    """(section, block name or None, type, [(code, value)]) for every entity
    of the BLOCKS and ENTITIES sections, and the blocks' base points."""
    section = None
    previous = None
    block = None
    current = None
    bases = {}
    out = []
    for code, value in pairs(path):
        if previous == (0, b"SECTION") and code == 2:
            section = value
        previous = (code, value)
        if code == 0:
            if current is not None:
                out.append(current)
                if current[2] == b"BLOCK":
                    tags = dict(current[3])
                    block = tags.get(2, b"")
                    bases.setdefault(block, (float(tags.get(10, 0)), float(tags.get(20, 0))))
                elif current[2] == b"ENDBLK":
                    block = None
            current = None
            if value == b"ENDSEC":
                if section == b"ENTITIES":
                    break
                section = None
            elif section in (b"BLOCKS", b"ENTITIES"):
                current = (section, block if section == b"BLOCKS" else None, value, [])
            continue
        if current is not None:
            current[3].append((code, value))
    return out, bases


# --- curves -------------------------------------------------------------


def bulge_points(p, q, b, size, n=512):
    """Points of a polyline piece from p to q with bulge b, q excluded: at
    most n a turn, fewer where the chords stray from the arc by less than a
    millionth of size."""
    if b == 0:
        return [(p[0], p[1], False)]
    theta = 4 * math.atan(b)
    chord = math.dist(p, q)
    if chord == 0:
        return [(p[0], p[1], False)]
    r = chord * (1 + b * b) / (4 * abs(b))
    # centre: from the chord's middle, along the left normal, by r cos(theta/2) signed
    mx, my = (p[0] + q[0]) / 2, (p[1] + q[1]) / 2
    nx, ny = -(q[1] - p[1]) / chord, (q[0] - p[0]) / chord
    h = (chord / 2) / math.tan(theta / 2)
    cx, cy = mx + nx * h, my + ny * h
    a0 = math.atan2(p[1] - cy, p[0] - cx)
    steps = max(2, int(abs(theta) / (2 * math.pi) * n))
    if r > 1e-6 * size:
        steps = min(steps, max(2, int(abs(theta) / (2 * math.acos(1 - 1e-6 * size / r))) + 1))
    return [(cx + r * math.cos(a0 + theta * k / steps), cy + r * math.sin(a0 + theta * k / steps), True)
            for k in range(steps)]


def segment_area(p, q, b):
    """The signed area between the chord p q and its arc."""
    if b == 0:
        return 0.0
    chord = math.dist(p, q)
    theta = 4 * math.atan(b)
    r = chord * (1 + b * b) / (4 * abs(b))
    return 0.5 * r * r * (theta - math.sin(theta))


def shoelace(points):
    s = 0.0
    for i in range(len(points)):
        x1, y1 = points[i][0], points[i][1]
        x2, y2 = points[(i + 1) % len(points)][0], points[(i + 1) % len(points)][1]
        s += x1 * y2 - x2 * y1
    return s / 2


def bspline_point(degree, knots, control, weights, t):
    n = len(control)
    k = degree
    while k < n - 1 and knots[k + 1] <= t:
        k += 1
    d = [(control[j][0] * weights[j], control[j][1] * weights[j], weights[j]) for j in range(k - degree, k + 1)]
    for r in range(1, degree + 1):
        for j in range(degree, r - 1, -1):
            lo, hi = knots[j + k - degree], knots[j + 1 + k - r]
            a = (t - lo) / (hi - lo) if hi > lo else 0.0
            d[j] = tuple((1 - a) * d[j - 1][i] + a * d[j][i] for i in range(3))
    x, y, w = d[degree]
    return (x / w, y / w)


def spline_points(degree, knots, control, weights, per_span=400):
    """Dense points along a B-spline, or None when the data form none."""
    n = len(control)
    if degree < 1 or n < degree + 1 or len(knots) != n + degree + 1:
        return None
    if any(knots[i] > knots[i + 1] for i in range(len(knots) - 1)):
        return None
    if len(weights) != n:
        weights = [1.0] * n
    if any(w <= 0 for w in weights):
        return None
    spans = sorted(set(knots[degree:n + 1]))
    if len(spans) < 2:
        return None
    pts = []
    for a, b in zip(spans, spans[1:]):
        for k in range(per_span):
            pts.append(bspline_point(degree, knots, control, weights, a + (b - a) * k / per_span))
    pts.append(bspline_point(degree, knots, control, weights, spans[-1]))
    return pts


# --- crossing and nesting ----------------------------------------------------


def crosses_itself(loops, tol_rel=1e-4):
    """Whether two non-neighbouring chords of the loops cross clearly."""
    segs = []
    xs = [p[0] for l in loops for p in l]
    ys = [p[1] for l in loops for p in l]
    if not xs:
        return False
    size = max(max(xs) - min(xs), max(ys) - min(ys)) or 1.0
    tol = tol_rel * size
    for li, pts in enumerate(loops):
        m = len(pts)
        if m < 3:
            continue
        for i in range(m):
            a, b = pts[i], pts[(i + 1) % m]
            segs.append((min(a[0], b[0]), max(a[0], b[0]), min(a[1], b[1]), max(a[1], b[1]), a, b, li, i, m))
    segs.sort()

    def side(a, b, c):
        return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])

    def passes(s, t):
        """Whether the boundary goes through s where t starts: from one side
        of s to the other where t's start is inside s, or, where both start
        at one point, with each visit's directions parting the other's."""
        a, b = s[4], s[5]
        v, after = t[4], t[5]
        pts = loops[t[6]]
        before = pts[(t[7] - 1) % t[8]]
        if s[4][2] or t[4][2] or loops[s[6]][(s[7] - 1) % s[8]][2] or before[2]:
            return False  # between straight pieces only
        length = dist(a, b)
        if length == 0 or abs(side(a, b, v)) > tol * length:
            return False
        u = ((v[0] - a[0]) * (b[0] - a[0]) + (v[1] - a[1]) * (b[1] - a[1])) / (length * length)
        near = tol / length
        if near < u < 1 - near:
            p, q = side(a, b, before), side(a, b, after)
            return (p > tol * length and q < -tol * length) or (p < -tol * length and q > tol * length)
        if abs(u) > near:
            return False
        other_before = loops[s[6]][(s[7] - 1) % s[8]]

        def angle(p):
            return math.atan2(p[1] - v[1], p[0] - v[0]) % (2 * math.pi)

        start = angle(before)
        sector = (angle(after) - start) % (2 * math.pi)
        x = (angle(other_before) - start) % (2 * math.pi)
        y = (angle(b) - start) % (2 * math.pi)
        def same(a, b):  # directions within a millionth of a radian, either way round
            d = abs(a - b)
            return d < 1e-6 or d > 2 * math.pi - 1e-6

        if same(x, 0) or same(y, 0) or same(x, sector) or same(y, sector):
            return False
        return (x < sector) != (y < sector)

    for i, s in enumerate(segs):
        for j in range(i + 1, len(segs)):
            t = segs[j]
            if t[0] > s[1]:
                break
            if t[2] > s[3] or t[3] < s[2]:
                continue
            if s[6] == t[6]:
                d = abs(s[7] - t[7])
                if d <= 1 or d == s[8] - 1:
                    continue
            a, b, c, e = s[4], s[5], t[4], t[5]
            ls, lt = dist(a, b), dist(c, e)
            o1, o2, o3, o4 = side(a, b, c), side(a, b, e), side(c, e, a), side(c, e, b)
            if o1 * o2 < 0 and o3 * o4 < 0 and min(abs(o1), abs(o2)) > tol * ls and min(abs(o3), abs(o4)) > tol * lt:
                return True
            if passes(s, t) or passes(t, s):
                return True
    return False


def inside(p, pts):
    c = False
    j = len(pts) - 1
    for i in range(len(pts)):
        xi, yi, xj, yj = pts[i][0], pts[i][1], pts[j][0], pts[j][1]
        if (yi > p[1]) != (yj > p[1]) and p[0] < (xj - xi) * (p[1] - yi) / (yj - yi) + xi:
            c = not c
        j = i
    return c


def curved(pts):
    """Points of a curve: each with the flag of a curved chord to the next,
    but the last, whose chord to what follows is straight."""
    return [(x, y, True) for x, y in pts[:-1]] + [(pts[-1][0], pts[-1][1], False)]


def dist(a, b):
    return math.hypot(a[0] - b[0], a[1] - b[1])


def seg_dist(p, a, b):
    dx, dy = b[0] - a[0], b[1] - a[1]
    l2 = dx * dx + dy * dy
    t = 0.0 if l2 == 0 else max(0.0, min(1.0, ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / l2))
    return math.hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy)


def holds(outer, inner, near):
    """Whether loop outer holds loop inner, told by the first point of inner
    (segment middles, then vertices) off outer's boundary."""
    m = len(outer)
    candidates = [((inner[i][0] + inner[(i + 1) % len(inner)][0]) / 2,
                   (inner[i][1] + inner[(i + 1) % len(inner)][1]) / 2) for i in range(len(inner))]
    candidates += [p[:2] for p in inner]
    for p in candidates:
        if all(seg_dist(p, outer[k], outer[(k + 1) % m]) > near for k in range(m)):
            return inside(p, outer)
    return False


def dedupe(pts):
    """The points without repeats; a repeated point keeps the flag of the
    chord that leaves it."""
    out = []
    for p in pts:
        if out and p[:2] == out[-1][:2]:
            out[-1] = p
        else:
            out.append(p)
    while len(out) > 1 and out[-1][:2] == out[0][:2]:
        out.pop()
    return out


# --- shapes --------------------------------------------------------------


def polyline_loop(vertices, bulges, last_bulge=True):
    """(signed area, dense points) of a closed polyline."""
    area = 0.0
    pts = []
    n = len(vertices)
    size = max(max(p[0] for p in vertices) - min(p[0] for p in vertices),
               max(p[1] for p in vertices) - min(p[1] for p in vertices)) if vertices else 0.0
    for i in range(n):
        p, q = vertices[i], vertices[(i + 1) % n]
        b = bulges[i] if (i + 1 < n or last_bulge) else 0.0
        area += (p[0] * q[1] - q[0] * p[1]) / 2 + segment_area(p, q, b)
        pts.extend(bulge_points(p, q, b, size))
    return area, pts


def measure_loops(loops, style=0):
    """loops: [(signed area, points)]; the area by the style, or None."""
    loops = [(a, dedupe(p)) for a, p in loops]
    if not loops or any(not math.isfinite(a) for a, _ in loops):
        return None
    if crosses_itself([p for _, p in loops]):
        return None
    xs = [p[0] for _, l in loops for p in l]
    ys = [p[1] for _, l in loops for p in l]
    near = 1e-6 * max(max(xs) - min(xs), max(ys) - min(ys))
    total = 0.0
    for i, (a, pts) in enumerate(loops):
        depth = sum(1 for j, (_, other) in enumerate(loops) if j != i and len(other) >= 3 and holds(other, pts, near))
        if style == 1:
            total += abs(a) if depth == 0 else -abs(a) if depth == 1 else 0
        elif style == 2:
            total += abs(a) if depth == 0 else 0
        else:
            total += abs(a) if depth % 2 == 0 else -abs(a)
    return max(total, 0.0)


def ocs_scale(n):
    """How a plane with extrusion n shrinks areas seen from above."""
    length = math.sqrt(n[0] ** 2 + n[1] ** 2 + n[2] ** 2)
    return abs(n[2]) / length if length > 0 else 1.0


def ocs_matrix(n):
    length = math.sqrt(n[0] ** 2 + n[1] ** 2 + n[2] ** 2)
    if length == 0:
        return (1, 0, 0, 1)
    n = (n[0] / length, n[1] / length, n[2] / length)
    if abs(n[0]) < 1 / 64 and abs(n[1]) < 1 / 64:
        ax = (n[2], 0.0, -n[0])
    else:
        ax = (-n[1], n[0], 0.0)
    al = math.sqrt(sum(c * c for c in ax))
    ax = tuple(c / al for c in ax)
    ay = (n[1] * ax[2] - n[2] * ax[1], n[2] * ax[0] - n[0] * ax[2], n[0] * ax[1] - n[1] * ax[0])
    return (ax[0], ay[0], ax[1], ay[1])


def num(tags, code, default=0.0):
    for c, v in tags:
        if c == code:
            return float(v)
    return default


def extrusion(tags):
    return (num(tags, 210, 0.0), num(tags, 220, 0.0), num(tags, 230, 1.0))


def refined_loop(points_at):
    """(signed area, points) of a loop of curves: the shoelace of its points
    at two densities, extrapolated (the error falls with the square of the
    step)."""
    coarse = points_at(1)
    fine = points_at(2)
    return (4 * shoelace(fine) - shoelace(coarse)) / 3, points_at(0.25)


def edge_curve(etype, et):
    """A function of a density giving the points of a hatch edge, or None."""
    if etype == 1:
        p = (num(et, 10), num(et, 20))
        q = (num(et, 11), num(et, 21))
        return lambda density: [(p[0], p[1], False), (q[0], q[1], False)]
    if etype in (2, 3):
        c = (num(et, 10), num(et, 20))
        s, t = num(et, 50), num(et, 51, 360.0)
        ccw = int(num(et, 73, 1)) != 0
        sweep = 360.0 if t - s >= 360 else (t - s) % 360 or 360.0
        start = s if ccw else -s
        end = start + (sweep if ccw else -sweep)
        if etype == 2:
            r = num(et, 40)
            u, w = (r, 0.0), (0.0, r)
            t0, t1 = math.radians(start), math.radians(end)
        else:
            u = (num(et, 11), num(et, 21))
            ratio = num(et, 40)
            w = (-ratio * u[1], ratio * u[0])

            # angles of points on the ellipse, as parameters
            def par(a):
                return math.atan2(math.sin(a) / ratio, math.cos(a))

            t0 = par(math.radians(start))
            if sweep >= 360:
                t1 = t0 + (2 * math.pi if ccw else -2 * math.pi)
            else:
                t1 = par(math.radians(end))
                while ccw and t1 <= t0:
                    t1 += 2 * math.pi
                while not ccw and t1 >= t0:
                    t1 -= 2 * math.pi

        def points(density):
            steps = max(2, int(abs(t1 - t0) / (2 * math.pi) * 2048 * density))
            ts = [t0 + (t1 - t0) * k / steps for k in range(steps + 1)]
            return curved([(c[0] + u[0] * math.cos(a) + w[0] * math.sin(a),
                            c[1] + u[1] * math.cos(a) + w[1] * math.sin(a)) for a in ts])

        return points
    if etype == 4:
        degree = int(num(et, 94))
        knots = [float(v) for c, v in et if c == 40]
        xs = [float(v) for c, v in et if c == 10]
        ys = [float(v) for c, v in et if c == 20]
        weights = [float(v) for c, v in et if c == 42]
        if not xs or spline_points(degree, knots, list(zip(xs, ys)), weights, 1) is None:
            return None
        return lambda density: curved(spline_points(degree, knots, list(zip(xs, ys)), weights, int(400 * density)))
    return None


def hatch_area(tags):
    """The hatch's area, or None."""
    loops = []
    style = 0
    i = 0
    n = len(tags)
    # skip the head up to the first path
    while i < n and tags[i][0] != 92:
        i += 1
    while i < n and tags[i][0] == 92:
        flags = int(tags[i][1])
        i += 1
        if flags & 2:
            has_bulge = closed = 0
            verts, bulges = [], []
            while i < n and tags[i][0] not in (92, 75):
                c, v = tags[i]
                if c == 72:
                    has_bulge = int(v)
                elif c == 73:
                    closed = int(v)
                elif c == 10:
                    verts.append([float(v), 0.0])
                    bulges.append(0.0)
                elif c == 20:
                    verts[-1][1] = float(v)
                elif c == 42:
                    bulges[-1] = float(v)
                i += 1
            verts = [tuple(p) for p in verts]
            if verts:
                loops.append(polyline_loop(verts, bulges, bool(closed)))
            continue
        edges = []
        while i < n and tags[i][0] not in (92, 75):
            if tags[i][0] == 72:
                edges.append([int(tags[i][1])])
            elif edges:
                edges[-1].append(tags[i])
            i += 1
        curves = []
        for e in edges:
            curve = edge_curve(e[0], e[1:])
            if curve is None:
                return None
            curves.append(curve)
        if curves:
            loops.append(refined_loop(lambda density: [p for c in curves for p in c(density)]))
    for c, v in tags[i:]:
        if c == 75:
            style = int(v)
            break
    return measure_loops(loops, style)


def shape_of(kind, tags, vertices=None):
    """(area kind, area or None, plane matrix, first point) of an entity, or
    None when it is no closed shape."""
    if kind in (b"LWPOLYLINE", b"POLYLINE"):
        flags = int(num(tags, 70))
        if kind == b"POLYLINE" and flags & (8 | 16 | 64):
            return None
        if kind == b"LWPOLYLINE":
            verts, bulges = [], []
            for c, v in tags:
                if c == 10:
                    verts.append([float(v), 0.0])
                    bulges.append(0.0)
                elif c == 20 and verts:
                    verts[-1][1] = float(v)
                elif c == 42 and verts:
                    bulges[-1] = float(v)
            verts = [tuple(p) for p in verts]
        else:
            verts, bulges = vertices
        closed = bool(flags & 1)
        if not closed and len(verts) >= 3:
            xs = [p[0] for p in verts]
            ys = [p[1] for p in verts]
            tol = 1e-9 * max(1.0, max(xs) - min(xs), max(ys) - min(ys))
            if abs(verts[0][0] - verts[-1][0]) <= tol and abs(verts[0][1] - verts[-1][1]) <= tol:
                verts, bulges, closed = verts[:-1], bulges[:-1], True
        if not closed:
            return None
        if len(verts) < 2:
            return (POLY, None, ocs_matrix(extrusion(tags)), (0, 0))
        return (POLY, measure_loops([polyline_loop(verts, bulges)]), ocs_matrix(extrusion(tags)), verts[0])
    if kind == b"CIRCLE":
        r = num(tags, 40)
        return (CIRCLE, math.pi * r * r if r >= 0 else None, ocs_matrix(extrusion(tags)), (num(tags, 10), num(tags, 20)))
    if kind == b"ELLIPSE":
        s, e = num(tags, 41), num(tags, 42, 2 * math.pi)
        sweep = e - s
        if sweep < 0:
            sweep += 2 * math.pi * math.ceil(-sweep / (2 * math.pi))
        if not (abs(sweep - 2 * math.pi) <= 1e-9 or sweep > 2 * math.pi):
            return None
        major = math.sqrt(num(tags, 11) ** 2 + num(tags, 21) ** 2 + num(tags, 31) ** 2)
        # a plane ellipse seen from above: its area times the cosine of its tilt
        area = math.pi * major * major * abs(num(tags, 40, 1.0)) * ocs_scale(extrusion(tags))
        return (ELLIPSE, area, (1, 0, 0, 1), (num(tags, 10), num(tags, 20)))
    if kind == b"SPLINE":
        if not int(num(tags, 70)) & 1:
            return None
        degree = int(num(tags, 71))
        knots = [float(v) for c, v in tags if c == 40]
        weights = [float(v) for c, v in tags if c == 41]
        control = []
        fit = False
        for c, v in tags:
            if c == 11:
                fit = True
            elif c == 10 and not fit:
                control.append([float(v), 0.0])
            elif c == 20 and not fit and control:
                control[-1][1] = float(v)
        control = [tuple(p) for p in control]
        if not control:
            return (SPLINE, None, (1, 0, 0, 1), (0, 0))
        if spline_points(degree, knots, control, weights, 1) is None:
            area = None
        else:
            area = measure_loops(
                [refined_loop(lambda d: curved(spline_points(degree, knots, control, weights, int(400 * d))))])
        return (SPLINE, area, (1, 0, 0, 1), control[0])
    if kind == b"HATCH":
        return (HATCH, hatch_area(tags), ocs_matrix(extrusion(tags)), (0, 0))
    return None


def collect(path):
    ents, bases = entities(path)
    own = []  # ("shape", tuple, layer) / ("ref", tags)
    blocks = collections.defaultdict(list)
    i = 0
    while i < len(ents):
        section, block, kind, tags = ents[i]
        where = own if section == b"ENTITIES" else (blocks[block] if block is not None else None)
        i += 1
        if where is None:
            continue
        if kind == b"POLYLINE":
            verts, bulges = [], []
            while i < len(ents) and ents[i][2] == b"VERTEX":
                vt = ents[i][3]
                if not int(num(vt, 70)) & 16 and any(c == 10 for c, _ in vt):
                    verts.append((num(vt, 10), num(vt, 20)))
                    bulges.append(num(vt, 42))
                i += 1
            s = shape_of(kind, tags, (verts, bulges))
        elif kind in (b"INSERT",):
            where.append(("ref", tags))
            continue
        else:
            s = shape_of(kind, tags)
        if s:
            layer = next((v for c, v in tags if c == 8), b"")
            where.append(("shape", s, layer))
    return own, blocks, bases


def mul(m, n):
    return (m[0] * n[0] + m[1] * n[2], m[0] * n[1] + m[1] * n[3], m[2] * n[0] + m[3] * n[2], m[2] * n[1] + m[3] * n[3])


def similar(m):
    a = m[0] ** 2 + m[2] ** 2
    b = m[1] ** 2 + m[3] ** 2
    s = max(a, b)
    return s == 0 or (abs(a - b) <= 1e-12 * s and abs(m[0] * m[1] + m[2] * m[3]) <= 1e-12 * s)


def measure(path):
    own, blocks, bases = collect(path)
    measured = collections.Counter()
    areas = collections.defaultdict(float)
    not_measured = collections.Counter()

    def add(shape, m):
        kind, area, plane, _ = shape
        total = mul(m, plane)
        if area is None:
            not_measured[kind] += 1
            return
        if kind == CIRCLE and not similar(total):
            kind = ELLIPSE
        measured[kind] += 1
        areas[kind] += area * abs(total[0] * total[3] - total[1] * total[2])

    def place(tags, m, stack):
        name = next((v for c, v in tags if c == 2), b"")
        if name not in blocks and name not in bases:
            return
        if name in stack or len(stack) >= MAX_DEPTH:
            return
        sx, sy = num(tags, 41, 1.0), num(tags, 42, 1.0)
        rot = math.radians(num(tags, 50))
        c, s = math.cos(rot), math.sin(rot)
        n = extrusion(tags)
        inner = (c * sx, -s * sy, s * sx, c * sy)
        if n[0] or n[1]:
            inner = mul(ocs_matrix(n), inner)
        elif n[2] < 0:
            inner = mul((-1, 0, 0, 1), inner)
        cells = max(int(num(tags, 70, 1)), 1) * max(int(num(tags, 71, 1)), 1)
        here = mul(m, inner)
        for _ in range(cells):
            for item in blocks.get(name, []):
                if item[0] == "shape":
                    add(item[1], here)
                else:
                    place(item[1], here, stack + [name])

    for item in own:
        if item[0] == "shape":
            add(item[1], (1, 0, 0, 1))
        else:
            place(item[1], (1, 0, 0, 1), [])
    return measured, areas, not_measured


def drawings(args):
    for a in args:
        if os.path.isdir(a):
            for name in sorted(os.listdir(a)):
                if name.lower().endswith(".dxf"):
                    yield os.path.join(a, name)
        elif os.path.exists(a):
            yield a
        else:
            print("%s: not there, skipped" % a)


def main():
    tool, work, args = sys.argv[1], sys.argv[2], sys.argv[3:]
    os.makedirs(work, exist_ok=True)
    failed = False
    print("%-62s %-10s %6s %20s %20s %6s  %s" % ("drawing", "kind", "count", "area (tool)", "area (script)",
                                                 "not m.", "agrees"))
    for drawing in drawings(args):
        measured, areas, not_measured = measure(drawing)
        if not measured and not not_measured:
            continue
        out = os.path.join(work, os.path.basename(drawing) + ".json")
        run = subprocess.run([tool, "--areas", "--json", "--totals", "--summary", drawing, out], check=True,
                             stderr=subprocess.PIPE)
        # The summary's area lines: "多角線面積: 集計 3 集計外 1".
        summary_not_measured = collections.Counter()
        for line in run.stderr.decode("utf-8", "replace").splitlines():
            word, _, counts = line.partition(": ")
            if word in KINDS:
                summary_not_measured[KINDS.index(word)] = int(counts.split()[3])
        with open(out, encoding="utf-8") as f:
            rows = json.load(f)
        listed_count = collections.Counter()
        listed_area = collections.defaultdict(float)
        for row in rows:
            if "area" in row:
                k = KINDS.index(row["kind"])
                listed_count[k] += row["count"]
                listed_area[k] += row["total"]
        for k in range(5):
            if not (measured[k] or not_measured[k] or listed_count[k]):
                continue
            a, b = listed_area[k], areas[k]
            ok = (listed_count[k] == measured[k] and summary_not_measured[k] == not_measured[k] and
                  abs(a - b) <= 1e-6 * max(1.0, abs(b)))
            failed |= not ok
            print("%-62s %-10s %6d %20.6f %20.6f %6d  %s" % (os.path.basename(drawing)[:62], KINDS[k],
                                                              listed_count[k], a, b, not_measured[k],
                                                              "yes" if ok else "NO (script counts %d, tool not measured %d)" %
                                                              (measured[k], summary_not_measured[k])))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
