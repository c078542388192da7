#!/usr/bin/env python3
"""Checks `vorselplot --stats` against an independent computation.

    tools/check-stats.py VORSELPLOT DATA.vorsel [LIMIT]

Reads the data file on its own (fields of 10 characters, each the nearest
4-byte real), works every figure out again in plain double precision (math.fsum,
the standard library's normal distribution, mpmath for the chi-squared tail) and
compares: figures to 1e-6 relative, the same bin membership (counts and x
ranges of every bin), p-values to 1e-3 relative where p > 1e-12. Exit status 0
when all agree; each difference is printed.
"""
import json
import math
import os
import struct
import subprocess
import sys
import tempfile
from statistics import NormalDist

import mpmath

X = [("Fo", 2), ("Fc", 3), ("theta", 6), ("phi", 7), ("omega", 8), ("kappa", 9),
     ("abscor", 11), ("drift", 12), ("weight", 13), ("XRtime", 5)]


def f32(v):
    return struct.unpack("f", struct.pack("f", v))[0]


def read(path):
    with open(path, "rb") as f:
        lines = f.read().replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n")
    n = min(int(lines[0][:6]), 15)
    rows = []
    for line in lines[1:]:
        if not line.strip():
            continue
        text = line.decode("ascii").ljust(10 * n)
        row = []
        for c in range(n):
            t = text[10 * c:10 * c + 10].replace(" ", "").replace("D", "E").replace("d", "e")
            row.append(f32(float(t)) if t else 0.0)
        row[1] = abs(row[1])
        rows.append(row + [0.0] * (15 - n))
    return rows


def field(r, f):
    return r[f - 1]


def agreement(rows):
    fo = [field(r, 2) for r in rows]
    fc = [abs(field(r, 3)) for r in rows]
    s = [field(r, 4) for r in rows]
    w = [field(r, 13) for r in rows]
    out = {"n": len(rows), "R1": math.fsum(abs(a - b) for a, b in zip(fo, fc)) / math.fsum(fo),
           "sum_fo2_over_sum_fc2": math.fsum(a * a for a in fo) / math.fsum(b * b for b in fc)}
    if rows and all(x != 0 for x in w):
        num = math.fsum(x * (a * a - b * b) ** 2 for x, a, b in zip(w, fo, fc))
        out["wR2"] = math.sqrt(num / math.fsum(x * a ** 4 for x, a in zip(w, fo)))
        out["S"] = math.sqrt(num / len(rows))
    else:
        keep = [(a, b, e) for a, b, e in zip(fo, fc, s) if e != 0]
        out["wRF"] = math.sqrt(math.fsum(((a - b) / e) ** 2 for a, b, e in keep) /
                               math.fsum((a / e) ** 2 for a, b, e in keep))
        out["wRF_left_out"] = len(rows) - len(keep)
    return out


def mean(v):
    return math.fsum(v) / len(v)


def binned(used, d, f):
    xs = [field(r, f) for r in used]
    if min(xs) == max(xs):
        return {"constant": True}
    order = sorted(xs)
    n = len(xs)
    cuts = [order[b * n // 10] for b in range(1, 10)]
    members = {}
    for i, x in enumerate(xs):
        members.setdefault(sum(1 for c in cuts if c <= x), []).append(i)
    m_all = mean(d)
    bins, chi2, used_bins = [], 0.0, 0
    for b in sorted(members):
        idx = members[b]
        dv = [d[i] for i in idx]
        m = mean(dv)
        sd = math.sqrt(math.fsum((v - m) ** 2 for v in dv) / (len(dv) - 1)) if len(dv) > 1 else None
        fo = [field(used[i], 2) for i in idx]
        fc = [abs(field(used[i], 3)) for i in idx]
        bins.append({"x_min": min(xs[i] for i in idx), "x_max": max(xs[i] for i in idx),
                     "n": len(idx), "mean": m, "sd": sd,
                     "rms": math.sqrt(math.fsum(v * v for v in dv) / len(dv)),
                     "sum_fo2_over_sum_fc2": math.fsum(a * a for a in fo) / math.fsum(c * c for c in fc),
                     "R1": math.fsum(abs(a - c) for a, c in zip(fo, fc)) / math.fsum(fo)})
        if len(dv) >= 2 and sd > 0:
            chi2 += ((m - m_all) / (sd / math.sqrt(len(dv)))) ** 2
            used_bins += 1
    dof = used_bins - 1
    p = float(mpmath.gammainc(dof / 2, chi2 / 2, mpmath.inf, regularized=True))
    return {"constant": False, "chi2": chi2, "dof": dof, "p": p, "trend": p < 0.001, "bins": bins}


def main():
    program, path = sys.argv[1], sys.argv[2]
    limit = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "s.json")
        subprocess.run([program, "--stats", out, "--limit", str(limit), path], check=True)
        with open(out) as f:
            got = json.load(f)

    rows = read(path)
    sig = [r for r in rows if f32(abs(field(r, 2)) / field(r, 4)) >= limit]
    used = [r for r in sig if field(r, 4) > 0]
    lines = [i + 1 for i, r in enumerate(rows)
             if f32(abs(field(r, 2)) / field(r, 4)) >= limit and field(r, 4) > 0]
    d = [(field(r, 2) - field(r, 3)) / field(r, 4) for r in used]

    want = {"agreement": {"significant": agreement(sig), "all": agreement(rows)},
            "x": {name: binned(used, d, f) for name, f in X}}
    ds = sorted(d)
    n = len(ds)
    e = [NormalDist().inv_cdf((i + 0.5) / n) for i in range(n)]
    me, md = mean(e), mean(ds)
    slope = math.fsum((a - me) * (b - md) for a, b in zip(e, ds)) / math.fsum((a - me) ** 2 for a in e)
    want["normal_probability"] = {"n": n, "slope": slope, "intercept": md - slope * me}
    worst = sorted(range(n), key=lambda i: (-abs(d[i]), lines[i]))[:20]
    want["worst"] = [{"data_line": lines[i], "dF_sFo": d[i]} for i in worst]

    problems = []

    def compare(w, g, where):
        if isinstance(w, dict):
            for k, v in w.items():
                if k not in g:
                    problems.append(f"{where}.{k}: missing")
                else:
                    compare(v, g[k], f"{where}.{k}")
        elif isinstance(w, list):
            if len(w) != len(g):
                problems.append(f"{where}: {len(g)} entries, expected {len(w)}")
            for i, (a, b) in enumerate(zip(w, g)):
                compare(a, b, f"{where}[{i}]")
        elif isinstance(w, bool) or isinstance(w, int) or w is None:
            if w != g:
                problems.append(f"{where}: {g}, expected {w}")
        else:
            tol = 1e-3 if where.endswith(".p") else 1e-6
            if where.endswith(".p") and w <= 1e-12:
                return
            if g is None or abs(g - w) > tol * abs(w) + 1e-12:
                problems.append(f"{where}: {g}, expected {w}")

    compare(want, got, "stats")
    for p in problems:
        print(p)
    flagged = [k for k, v in got["x"].items() if v.get("trend")]
    print(f"{path}: {len(rows)} reflections, {n} used; trends: {', '.join(flagged) or 'none'}; "
          f"{'agrees' if not problems else str(len(problems)) + ' differences'}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
