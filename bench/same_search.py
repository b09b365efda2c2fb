#!/usr/bin/env python3
"""Compares two builds of pbrain-gomoku move by move at a fixed node count: for each
opening of bench/openings15.txt (the first --count) and each rule, both engines answer
the same positions (the opening, then the moves the first engine chose, --plies of them)
and the script prints every position where the move, depth, score or node count differ.
A search refactor that keeps the search as it was shows no difference.

  bench/same_search.py BASE_EXE build/pbrain-gomoku --nodes 20000 --count 20
"""
import argparse
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RULES = {"freestyle": 0, "standard": 1, "renju": 4, "caro": 8}


def point(token):
    """'H8' as (x, y) from 0 on 15x15 (column letters without I)."""
    x = "ABCDEFGHJKLMNOP".index(token[0].upper())
    return x, int(token[1:]) - 1


def answer(exe, nodes, rule, stones):
    """The engine's move and MESSAGE line for the position of `stones` (black first)."""
    lines = ["START 15", f"INFO rule {RULES[rule]}", "BOARD"]
    mover = len(stones) % 2  # 0: black to move
    for i, (x, y) in enumerate(stones):
        lines.append(f"{x},{y},{1 if i % 2 == mover else 2}")
    lines += ["DONE", "END"]
    out = subprocess.run([exe, "--nodes", str(nodes)], input="\n".join(lines) + "\n",
                         capture_output=True, text=True, timeout=120).stdout.split("\n")
    msg = next((l for l in out if l.startswith("MESSAGE depth")), "")
    move = next(l for l in out if "," in l and not l.startswith("MESSAGE"))
    fields = msg.split()
    keep = " ".join(fields[1:7])  # depth, score and nodes; not the clock
    return tuple(int(v) for v in move.split(",")), keep


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("base")
    ap.add_argument("new")
    ap.add_argument("--nodes", type=int, default=20000)
    ap.add_argument("--count", type=int, default=20)
    ap.add_argument("--plies", type=int, default=6)
    ap.add_argument("--rules", default="freestyle,standard,renju,caro")
    a = ap.parse_args()
    with open(os.path.join(ROOT, "bench", "openings15.txt")) as f:
        openings = [l.split() for l in f if l.strip() and not l.startswith("#")][:a.count]
    same = differ = 0
    for rule in a.rules.split(","):
        for opening in openings:
            stones = [point(t) for t in opening]
            for _ in range(a.plies):
                m0, s0 = answer(a.base, a.nodes, rule, stones)
                m1, s1 = answer(a.new, a.nodes, rule, stones)
                if (m0, s0) == (m1, s1):
                    same += 1
                else:
                    differ += 1
                    print(f"{rule} {' '.join(opening)} +{len(stones) - len(opening)}: "
                          f"{m0} {s0} | {m1} {s1}")
                stones.append(m0)
    print(f"{same} positions alike, {differ} differ")
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
