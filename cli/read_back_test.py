#!/usr/bin/env python3
"""Reads lists written by orveline-report back with Python's own csv and json
modules: the --header --totals CSV (Shift-JIS) and the --json list of the same
drawings must give the same rows.

Usage: read_back_test.py TOOL WORK DRAWING..."""
import csv
import decimal
import json
import os
import subprocess
import sys


def printed(value):
    """The list's length column: 18 significant digits, then three decimals
    with a half rounded up, right-aligned in ten characters."""
    with decimal.localcontext() as context:
        context.prec = 18
        exact = +decimal.Decimal(value)
    return "{:>10}".format(str(exact.quantize(decimal.Decimal("0.001"), rounding=decimal.ROUND_HALF_UP)))


def run(tool, *args):
    done = subprocess.run([tool, *args], capture_output=True)
    if done.returncode != 0:
        sys.exit("%s %s: exit %d %s" % (tool, " ".join(args), done.returncode, done.stderr))


def main():
    tool, work, drawings = sys.argv[1], sys.argv[2], sys.argv[3:]
    os.makedirs(work, exist_ok=True)
    several = len(drawings) > 1
    csv_path = os.path.join(work, "list.csv")
    json_path = os.path.join(work, "list.json")
    run(tool, "--header", "--totals", *drawings, csv_path)
    run(tool, "--json", "--totals", *drawings, json_path)

    with open(csv_path, encoding="cp932", newline="") as f:
        table = list(csv.DictReader(f))
    with open(json_path, encoding="utf-8") as f:
        objects = json.load(f)

    titles = ["画層", "長さ", "本数", "種類", "重複", "色", "線種", "合計"]
    if several:
        titles.insert(0, "図面")
    with open(csv_path, encoding="cp932", newline="") as f:
        header = next(csv.reader(f))
    failures = []
    if header != titles:
        failures.append("titles %r" % header)
    if len(table) != len(objects) or not table:
        failures.append("%d CSV rows, %d JSON objects" % (len(table), len(objects)))
    for number, (row, obj) in enumerate(zip(table, objects), 1):
        expected = {
            "画層": obj["layer"],
            "長さ": printed(obj["length"]),
            "本数": str(obj["count"]),
            "種類": obj["kind"],
            "重複": str(obj["duplicates"]) if obj["duplicates"] else "",
            "色": obj["color"],
            "線種": obj["linetype"],
            "合計": printed(obj["total"]),
        }
        if several:
            expected["図面"] = obj["drawing"]
        if row != expected:
            failures.append("row %d: CSV %r, JSON %r" % (number, row, expected))
    for failure in failures:
        print("FAILED:", failure)
    print("%d rows compared" % len(table))
    sys.exit(1 if failures else 0)


main()
